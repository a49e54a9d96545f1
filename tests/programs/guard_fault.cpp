// guard_fault MODE: one guarded operation, or one scenario around the guard,
// in a process of its own.
//   - an OPERATION runs on text that runs into unreadable memory; exit code 0
//     when the guard turned the fault into one "Exception occurred" record
//     and a CSystemException of the operation's code, 1 otherwise;
//   - a SCENARIO exits with 0 when it went as it should, another number when
//     not;
// a fault that nobody handles ends the process with the fault's code (the
// top-level filter below), a crash ends it anyway.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <string>

#include "LogCapture.h"
#include "common/FileName.h"
#include "common/Guard.h"
#include "common/SystemException.h"

namespace {

DWORD PageSize()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

// Two pages: the first filled with text that has no terminator, the second unreadable.
char* TextRunningIntoNoAccess()
{
    const DWORD page = PageSize();
    auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::memset(pages, 'a', page);
    DWORD old = 0;
    VirtualProtect(pages + page, page, PAGE_NOACCESS, &old);
    return pages;
}

// A string whose text pointer leads into unreadable memory (the storage is
// the text pointer and the size, in this order); never destroyed, as its
// text cannot be freed.
CMyString& ForgedString(const wchar_t* text, unsigned int size)
{
    struct Storage {
        const wchar_t* text;
        unsigned int size;
    } forged{text, size};
    auto* object = new CMyString();
    std::memcpy(static_cast<void*>(object), &forged, sizeof(forged));
    return *object;
}

LONG WINAPI EndWithFaultCode(EXCEPTION_POINTERS* info)
{
    ExitProcess(info->ExceptionRecord->ExceptionCode);
}

struct Operation {
    unsigned int code;
    std::function<void()> work;
};

int RunOperation(const Operation& operation)
{
    testsupport::LogCapture log;
    unsigned int code = 0;
    try {
        operation.work();
    } catch (const CSystemException& e) {
        code = e.code;
    }
    const auto records = log.Records();
    for (const std::string& record : records)
        std::printf("%s\n", record.c_str());
    std::printf("code 0x%x\n", code);
    const bool logged = records.size() == 1 && records[0] == "Error Wexmoor Exception occurred";
    return (code == operation.code && logged) ? 0 : 1;
}

unsigned int CodeOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const CSystemException& e) {
        return e.code;
    }
    return 0;
}

bool DirectionFlagSet()
{
    unsigned long long flags = 0;
    asm volatile("pushfq\n\tpopq %0" : "=r"(flags));
    return (flags & 0x400) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    SetUnhandledExceptionFilter(EndWithFaultCode);
    const char* narrow = TextRunningIntoNoAccess();
    const auto* wide = reinterpret_cast<const wchar_t*>(TextRunningIntoNoAccess());
    const volatile char* unreadable = narrow + PageSize();
    const CMyString& forgedString = ForgedString(wide, 4);
    CMyString& forgedBuffer = ForgedString(wide, 0x100000);   // the scan runs into the unreadable page

    const std::map<std::string, Operation> operations = {
        {"wide-constructor", {Tolvane::kStringFailure, [&] { CMyString s(wide); }}},
        {"copy-constructor", {Tolvane::kStringFailure, [&] { CMyString s(forgedString); }}},
        {"wide-assignment", {Tolvane::kStringFailure, [&] { CMyString s(L"old"); s = wide; }}},
        {"narrow-assignment", {Tolvane::kStringFailure, [&] { CMyString s(L"old"); s = narrow; }}},
        {"string-assignment", {Tolvane::kStringFailure, [&] { CMyString s(L"old"); s = forgedString; }}},
        {"replace-find", {Tolvane::kStringFailure, [&] { CMyString s(L"abc"); s.Replace(wide, L"x"); }}},
        {"replace-with", {Tolvane::kStringFailure, [&] { CMyString s(L"abc"); s.Replace(L"b", wide); }}},
        {"replacechar-with", {Tolvane::kStringFailure, [&] { CMyString s(L"abc"); s.ReplaceChar(L'b', wide); }}},
        {"filename-assignment", {Tolvane::kStringFailure, [&] { CFileName f; f = wide; }}},
        {"filename-append", {Tolvane::kStringFailure, [&] { CFileName f(L"C:\\dir"); f.Append(wide); }}},
        {"buffer-removechar", {Tolvane::kBufferFailure, [&] { forgedBuffer.RemoveChar(L'x'); }}},
        {"buffer-removeallchars", {Tolvane::kBufferFailure, [&] { forgedBuffer.RemoveAllChars(L'x'); }}},
    };
    const auto operation = operations.find(argv[1]);
    if (operation != operations.end())
        return RunOperation(operation->second);

    const std::map<std::string, std::function<int()>> scenarios = {
        // The library loaded, used and unloaded: the host's own exceptions
        // still work afterwards.
        {"unload-then-throw", [] {
             HMODULE dll = LoadLibraryW(L"Tolvane.dll");
             auto isEnabled = reinterpret_cast<BOOL(WINAPI*)(int)>(
                 reinterpret_cast<void*>(GetProcAddress(dll, "IsSubSysEnabled")));
             if (!isEnabled)
                 return 4;
             isEnabled(0);   // a guarded file-name assignment inside
             FreeLibrary(dll);
             if (GetModuleHandleW(L"Tolvane.dll"))
                 return 4;
             try {
                 throw 42;
             } catch (int) {
                 return 0;
             }
         }},
        // A fault outside any guard, after one inside a guard: not swallowed.
        {"fault-after-guard", [&] {
             CodeOf([&] { CMyString s(wide); });
             return static_cast<int>(*unreadable);
         }},
        // A fault on this thread while another thread is inside a guard: not swallowed.
        {"fault-beside-guard", [&] {
             HANDLE inside = CreateEventW(nullptr, TRUE, FALSE, nullptr);
             auto guarded = [](void* event) -> DWORD {
                 RUN_GUARDED(Tolvane::kStringFailure, [&] { SetEvent(event); Sleep(INFINITE); }, [] {});
                 return 0;
             };
             CreateThread(nullptr, 0, guarded, inside, 0, nullptr);
             WaitForSingleObject(inside, INFINITE);
             return static_cast<int>(*unreadable);
         }},
        // A handler nearer the fault (IsBadReadPtr's own) sees it first.
        {"isbadreadptr-in-guard", [&] {
             BOOL answer = FALSE;
             const unsigned int code = CodeOf([&] {
                 RUN_GUARDED(Tolvane::kStringFailure,
                             [&] { answer = IsBadReadPtr(const_cast<const char*>(unreadable), 4); }, [] {});
             });
             return answer && code == 0 ? 0 : 1;
         }},
        // A fault while a backward copy has the direction flag set.
        {"direction-flag", [&] {
             const unsigned int code = CodeOf([&] {
                 RUN_GUARDED(Tolvane::kStringFailure, [&] {
                     asm volatile("std\n\tmovb (%0), %%al" : : "r"(unreadable) : "rax", "cc", "memory");
                 }, [] {});
             });
             return code == Tolvane::kStringFailure && !DirectionFlagSet() ? 0 : 1;
         }},
        // Guarded operations inside the handler of a converted fault.
        {"retry-in-catch", [&] {
             unsigned int inner = 0;
             bool usable = false;
             try {
                 CMyString s(wide);
             } catch (const CSystemException&) {
                 inner = CodeOf([&] { CMyString again(wide); });
                 CMyString text(L"ok");
                 usable = text.HasText() && std::wcscmp(text.c_str(), L"ok") == 0;
             }
             return inner == Tolvane::kStringFailure && usable ? 0 : 1;
         }},
    };
    const auto scenario = scenarios.find(argv[1]);
    return scenario != scenarios.end() ? scenario->second() : 2;
}
