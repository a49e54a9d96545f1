// CScnXml under its Microsoft names, and the virtual table that its
// Microsoft constructor installs. A Microsoft client reaches the virtual
// members through that table, or by name when its compiler resolves a call
// statically (CScnXml is final, so a call through a CScnXml* names the
// member, inherited ones included). Either way it meets a thunk of this file
// that translates exceptions; the library's own virtual calls on the same
// object meet the same thunks and pass straight through, so that they keep
// GCC's exceptions, which the library's own handlers catch.
#include <windows.h>

#include "MsvcEntry.h"
#include "tolvane/ScnXml.h"

using msvcabi::Translated;

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The virtual table that the library's CScnXml constructor installs, in
// GCC's layout: the offset to the top, the type information, then the slots
// in their order (ReportBase.h).
extern const void* const GccScnXmlTable[] __asm__("_ZTV7CScnXml");

namespace {

constexpr int kGccFirstSlot = 2;

// Whether a return address lies in Tolvane.dll: a call from the library's own code.
bool CalledFromLibrary(const void* returnAddress)
{
    const auto* base = reinterpret_cast<const char*>(&__ImageBase);
    asm("" : "+r"(base));   // the image's headers lie beyond the DOS header that the symbol names
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + __ImageBase.e_lfanew);
    const auto* address = static_cast<const char*>(returnAddress);
    return address >= base && address < base + headers->OptionalHeader.SizeOfImage;
}

// Calls virtual slot `Slot` of the library's own table on self; for a client
// (a caller outside the library) the call is translated.
template <int Slot, class Result, class... Args>
Result CallSlot(const void* caller, CReportBase* self, Args... args)
{
    const auto member = reinterpret_cast<Result (*)(CReportBase*, Args...)>(GccScnXmlTable[kGccFirstSlot + Slot]);
    if (CalledFromLibrary(caller))
        return member(self, args...);
    return Translated([&] { return member(self, args...); });
}

} // namespace

// The virtual members, in slot order. Each takes its own return address, so
// none of them may be inlined or tail-called by another thunk.
extern "C" __attribute__((noinline)) int MsvcScnXmlWriteReport(CReportBase* self, void* arg)
{
    return CallSlot<0, int>(__builtin_return_address(0), self, arg);
}

extern "C" __attribute__((noinline)) int MsvcScnXmlInit(CReportBase* self, const unsigned short* path)
{
    return CallSlot<1, int>(__builtin_return_address(0), self, path);
}

extern "C" __attribute__((noinline)) int MsvcScnXmlGetReportFileName(CReportBase* self, wchar_t* buffer,
                                                                      unsigned int length)
{
    return CallSlot<2, int>(__builtin_return_address(0), self, buffer, length);
}

extern "C" __attribute__((noinline)) void MsvcScnXmlSetEncoding(CReportBase* self)
{
    CallSlot<3, void>(__builtin_return_address(0), self);
}

extern "C" __attribute__((noinline)) int MsvcScnXmlWriteToXmlFile(CReportBase* self, const wchar_t* tempPath,
                                                                   CMyString* content)
{
    return CallSlot<4, int>(__builtin_return_address(0), self, tempPath, content);
}

extern "C" __attribute__((noinline)) int MsvcScnXmlBuildReport(CReportBase* self, CMyString* content, void* arg)
{
    return CallSlot<5, int>(__builtin_return_address(0), self, content, arg);
}

namespace {

// The table a Microsoft client's virtual calls go through. The entry before
// the slots stands where a Microsoft compiler expects the complete object
// locator of typeid and dynamic_cast, which are not supported.
const void* const kMsvcScnXmlTable[] = {
    nullptr,
    reinterpret_cast<const void*>(&MsvcScnXmlWriteReport),
    reinterpret_cast<const void*>(&MsvcScnXmlInit),
    reinterpret_cast<const void*>(&MsvcScnXmlGetReportFileName),
    reinterpret_cast<const void*>(&MsvcScnXmlSetEncoding),
    reinterpret_cast<const void*>(&MsvcScnXmlWriteToXmlFile),
    reinterpret_cast<const void*>(&MsvcScnXmlBuildReport),
};

} // namespace

extern "C" CScnXml* MsvcScnXmlConstruct(CScnXml* self)
{
    CScnXml* built = msvcabi::Construct(self);
    *reinterpret_cast<const void* const**>(built) = &kMsvcScnXmlTable[1];
    return built;
}

extern "C" void MsvcScnXmlDestroy(CScnXml* self)
{
    msvcabi::Destroy(self);
}

extern "C" int MsvcScnXmlAddInfected(CScnXml* self, CInfected* record)
{
    return Translated([=] { return self->AddInfected(*record); });
}

extern "C" void MsvcScnXmlSetNumScanned(CScnXml* self, unsigned int count)
{
    Translated([=] { self->SetNumScanned(count); });
}

extern "C" const unsigned short* MsvcScnXmlGetXmlFile(CScnXml* self)
{
    return Translated([=] { return self->GetXmlFile(); });
}

extern "C" int MsvcScnXmlXmlFileExist(CScnXml* self)
{
    return Translated([=] { return self->XmlFileExist(); });
}
