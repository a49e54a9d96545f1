#include "ImportHook.h"

#include <windows.h>

#include <cstring>

namespace testsupport {

namespace {

void** FindImportSlot(const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports && module->Name; ++module)
        for (auto *names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk),
                  *slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); names->u1.AddressOfData; ++names, ++slots)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
    return nullptr;
}

void WriteSlot(void** slot, void* value)
{
    DWORD old = 0;
    if (slot && VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) {
        *slot = value;
        VirtualProtect(slot, sizeof(void*), old, &old);
    }
}

} // namespace

ImportHook::ImportHook(const char* function, void* replacement) : m_slot(FindImportSlot(function))
{
    m_original = m_slot ? *m_slot : nullptr;
    WriteSlot(m_slot, replacement);
}

ImportHook::~ImportHook()
{
    WriteSlot(m_slot, m_original);
}

} // namespace testsupport
