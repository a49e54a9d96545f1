// guard_fault CASE: one case of the fault guard in a process of its own, so that a fault it misses or wrongly takes
// ends only this process. Prints "verdict 0" and exits with 0 when the case passed; without CASE, names the cases.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

#include "LogCapture.h"
#include "common/FileName.h"
#include "common/Guard.h"
#include "common/SystemException.h"

namespace {

bool g_faultMustEscape = false;   // set by the scenarios that pass only when the fault reaches the process

LONG WINAPI TopLevelFilter(EXCEPTION_POINTERS* info)
{
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    const DWORD verdict = g_faultMustEscape && code == EXCEPTION_ACCESS_VIOLATION ? 0 : code;
    std::printf("unhandled 0x%lx\nverdict %lu\n", code, verdict);
    std::fflush(stdout);
    ExitProcess(verdict);
}

// A string whose storage (the text pointer, then the size) leads into unreadable memory; never destroyed.
CMyString& ForgedString(const wchar_t* text, unsigned int size)
{
    struct { const wchar_t* text; unsigned int size; } forged{text, size};
    return *static_cast<CMyString*>(std::memcpy(static_cast<void*>(new CMyString()), &forged, sizeof forged));
}

// The code of the CSystemException that work throws, 0 for none.
unsigned int CodeOf(const std::function<void()>& work)
{
    try { work(); } catch (const CSystemException& e) { return e.code; }
    return 0;
}

unsigned int GuardedCode(std::function<void()> work)
{
    return CodeOf([&] { RUN_GUARDED(Tolvane::kStringFailure, work, [] {}); });
}

// An operation passes when the guard turned its fault into one "Exception occurred" record and a
// CSystemException of the operation's code.
std::function<int()> Converted(unsigned int code, std::function<void()> work)
{
    return [=] {
        testsupport::LogCapture log;
        const unsigned int thrown = CodeOf(work);
        std::printf("code 0x%x, %zu records\n", thrown, log.Records().size());
        return thrown == code && log.Records() == std::vector<std::string>{"Error Wexmoor Exception occurred"} ? 0 : 1;
    };
}

} // namespace

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(TopLevelFilter);
    const DWORD page = 4096;   // text without a terminator, narrow or wide, then an unreadable page
    auto* narrow = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::memset(narrow, 'a', page);
    VirtualFree(narrow + page, page, MEM_DECOMMIT);
    const auto* wide = reinterpret_cast<const wchar_t*>(narrow);
    const volatile char* unreadable = narrow + page;
    const CMyString& forgedString = ForgedString(wide, 4);
    CMyString& forgedBuffer = ForgedString(wide, 0x100000);   // the scan runs into the unreadable page
    const unsigned int kString = Tolvane::kStringFailure;
    auto emptied = [&](std::function<void(CMyString&)> work) {   // converted, and the string left without text
        return Converted(kString, [=] { CMyString s(L"abc"); try { work(s); } catch (...) { if (s.GetSize() == 0) throw; } })();
    };
    auto faultEscapes = [&] { g_faultMustEscape = true; (void)*unreadable; return 5; };   // passes in TopLevelFilter
    // Every guarded operation survives a fault on text, also inside the C runtime; nothing of the guard outlives
    // the library or reaches beyond its own calls.
    const std::map<std::string, std::function<int()>> cases = {
        {"constructor", Converted(kString, [&] { CMyString s(wide); })},
        {"copy-constructor", Converted(kString, [&] { CMyString s(forgedString); })},
        {"wide-assignment", [&] { return emptied([&](CMyString& s) { s = wide; }); }},
        {"replace-with", [&] { return emptied([&](CMyString& s) { s.Replace(L"b", wide); }); }},
        {"narrow-assignment", Converted(kString, [&] { CMyString s(L"old"); s = narrow; })},
        {"string-assignment", Converted(kString, [&] { CMyString s(L"old"); s = forgedString; })},
        {"replacechar-with", Converted(kString, [&] { CMyString s(L"abc"); s.ReplaceChar(L'b', wide); })},
        {"filename-assignment", Converted(kString, [&] { CFileName f; f = wide; })},
        {"filename-append", Converted(kString, [&] { CFileName f(L"C:\\dir"); f.Append(wide); })},
        {"buffer-removechar", Converted(Tolvane::kBufferFailure, [&] { forgedBuffer.RemoveChar(L'x'); })},
        {"buffer-removeallchars", Converted(Tolvane::kBufferFailure, [&] { forgedBuffer.RemoveAllChars(L'x'); })},
        // The library loaded, used (a guarded file-name assignment inside) and unloaded: the host's own
        // exceptions still work.
        {"unload-then-throw", [] {
             HMODULE dll = LoadLibraryW(L"Tolvane.dll");
             reinterpret_cast<BOOL(WINAPI*)(int)>(reinterpret_cast<void*>(GetProcAddress(dll, "IsSubSysEnabled")))(0);
             FreeLibrary(dll);
             try { throw 42; } catch (int) { return GetModuleHandleW(L"Tolvane.dll") ? 4 : 0; }
         }},
        {"fault-after-guard", [&] { CodeOf([&] { CMyString s(wide); }); return faultEscapes(); }},
        {"fault-beside-guard", [&] {   // while another thread is inside a guard
             HANDLE inside = CreateEventW(nullptr, TRUE, FALSE, nullptr);
             auto guarded = [](void* event) -> DWORD { return GuardedCode([&] { SetEvent(event); Sleep(INFINITE); }); };
             CreateThread(nullptr, 0, guarded, inside, 0, nullptr);
             WaitForSingleObject(inside, INFINITE);
             return faultEscapes();
         }},
        // A handler nearer the fault (IsBadReadPtr's own) sees it first. On a thread of its own: a guard
        // that pre-empts that handler makes it loop.
        {"isbadreadptr-in-guard", [&] {
             struct Probe { const void* address; BOOL answer; unsigned int code; } probe{narrow + page, FALSE, 1};
             HANDLE thread = CreateThread(nullptr, 0, [](void* p) -> DWORD {
                 auto& probe = *static_cast<Probe*>(p);
                 probe.code = GuardedCode([&] { probe.answer = IsBadReadPtr(probe.address, 4); });
                 return 0;
             }, &probe, 0, nullptr);
             return WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0 && probe.answer && probe.code == 0 ? 0 : 1;
         }},
        {"direction-flag", [&] {   // a fault while a backward copy has the direction flag set
             const unsigned int code =
                 GuardedCode([&] { asm volatile("std\n\tmovb (%0), %%al" : : "r"(unreadable) : "rax", "cc", "memory"); });
             unsigned long long flags = 0;
             asm volatile("pushfq\n\tpopq %0" : "=r"(flags));
             return code == kString && !(flags & 0x400) ? 0 : 1;
         }},
        {"retry-in-catch", [&] {   // a guarded operation inside the handler of a converted fault
             try { CMyString s(wide); } catch (const CSystemException&) {
                 return CodeOf([&] { CMyString again(wide); }) == kString ? 0 : 1;
             }
             return 1;
         }},
    };
    if (argc < 2) {
        for (const auto& c : cases)
            std::printf("%s\n", c.first.c_str());
        return 0;
    }
    const int verdict = cases.count(argv[1]) ? cases.at(argv[1])() : 2;
    std::printf("verdict %d\n", verdict);   // a crash inside exception dispatch may end the process with 0
    return verdict;
}
