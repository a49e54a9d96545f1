// guard_fault MODE: one guarded operation, or one scenario around the guard,
// in a process of its own.
//   - an OPERATION runs on text that runs into unreadable memory; exit code 0
//     when the guard turned the fault into one "Exception occurred" record
//     and a CSystemException of the operation's code, 1 otherwise;
//   - a SCENARIO exits with 0 when it went as it should, another number when
//     not;
// the verdict is printed as well ("verdict 0");
// a fault that nobody handles ends the process with the fault's code (the
// top-level filter below), a crash ends it anyway.
#include <windows.h>

#include <cstdio>
#include <cstring>
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

// The code of the CSystemException that work throws, 0 for none.
unsigned int CodeOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const CSystemException& e) {
        return e.code;
    }
    return 0;
}

unsigned int GuardedCode(std::function<void()> work)
{
    return CodeOf([&] { RUN_GUARDED(Tolvane::kStringFailure, work, [] {}); });
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
             auto guarded = [](void* event) -> DWORD { return GuardedCode([&] { SetEvent(event); Sleep(INFINITE); }); };
             CreateThread(nullptr, 0, guarded, inside, 0, nullptr);
             WaitForSingleObject(inside, INFINITE);
             return static_cast<int>(*unreadable);
         }},
        // A handler nearer the fault (IsBadReadPtr's own) sees it first. On a
        // thread of its own: a guard that pre-empts that handler makes it loop.
        {"isbadreadptr-in-guard", [&] {
             struct Probe {
                 const void* address;
                 BOOL answer;
                 unsigned int code;
             } probe{const_cast<const char*>(unreadable), FALSE, 1};
             HANDLE thread = CreateThread(nullptr, 0, [](void* p) -> DWORD {
                 auto& probe = *static_cast<Probe*>(p);
                 probe.code = GuardedCode([&] { probe.answer = IsBadReadPtr(probe.address, 4); });
                 return 0;
             }, &probe, 0, nullptr);
             if (WaitForSingleObject(thread, 20000) != WAIT_OBJECT_0)
                 return 6;
             return probe.answer && probe.code == 0 ? 0 : 1;
         }},
        // A fault while a backward copy has the direction flag set.
        {"direction-flag", [&] {
             const unsigned int code = GuardedCode([&] {
                 asm volatile("std\n\tmovb (%0), %%al" : : "r"(unreadable) : "rax", "cc", "memory");
             });
             unsigned long long flags = 0;
             asm volatile("pushfq\n\tpopq %0" : "=r"(flags));
             return code == Tolvane::kStringFailure && !(flags & 0x400) ? 0 : 1;
         }},
        // A guarded operation inside the handler of a converted fault is converted too.
        {"retry-in-catch", [&] {
             try {
                 CMyString s(wide);
             } catch (const CSystemException&) {
                 return CodeOf([&] { CMyString again(wide); }) == Tolvane::kStringFailure ? 0 : 1;
             }
             return 1;
         }},
    };
    const auto operation = operations.find(argv[1]);
    const auto scenario = scenarios.find(argv[1]);
    const int verdict = operation != operations.end() ? RunOperation(operation->second)
                        : scenario != scenarios.end() ? scenario->second() : 2;
    std::printf("verdict %d\n", verdict);   // a crash inside exception dispatch may end the process with 0
    return verdict;
}
