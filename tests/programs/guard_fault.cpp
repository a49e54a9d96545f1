// guard_fault OPERATION: runs one guarded string operation on text that runs
// into unreadable memory and checks that the guard turned the fault into one
// "Exception occurred" record and a CSystemException 0x10001. Exit code 0
// when it did, 1 when it answered otherwise; a crash ends the process anyway.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "LogCapture.h"
#include "common/FileName.h"
#include "common/SystemException.h"

namespace {

// Two pages: the first filled with text that has no terminator, the second unreadable.
char* TextRunningIntoNoAccess()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const DWORD page = info.dwPageSize;
    auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::memset(pages, 'a', page);
    DWORD old = 0;
    VirtualProtect(pages + page, page, PAGE_NOACCESS, &old);
    return pages;
}

// A string whose text pointer leads into unreadable memory (the storage is
// the text pointer and the size, in this order).
struct ForgedString {
    const wchar_t* text;
    unsigned int size;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* narrow = TextRunningIntoNoAccess();
    const auto* wide = reinterpret_cast<const wchar_t*>(TextRunningIntoNoAccess());
    const ForgedString forged{wide, 4};
    auto* forgedObject = new CMyString();   // never destroyed: its text cannot be freed
    std::memcpy(static_cast<void*>(forgedObject), &forged, sizeof(forged));
    const CMyString& forgedString = *forgedObject;

    const std::map<std::string, std::function<void()>> operations = {
        {"wide-constructor", [&] { CMyString s(wide); }},
        {"copy-constructor", [&] { CMyString s(forgedString); }},
        {"wide-assignment", [&] { CMyString s(L"old"); s = wide; }},
        {"narrow-assignment", [&] { CMyString s(L"old"); s = narrow; }},
        {"string-assignment", [&] { CMyString s(L"old"); s = forgedString; }},
        {"replace-find", [&] { CMyString s(L"abc"); s.Replace(wide, L"x"); }},
        {"replace-with", [&] { CMyString s(L"abc"); s.Replace(L"b", wide); }},
        {"replacechar-with", [&] { CMyString s(L"abc"); s.ReplaceChar(L'b', wide); }},
        {"filename-assignment", [&] { CFileName f; f = wide; }},
        {"filename-append", [&] { CFileName f(L"C:\\dir"); f.Append(wide); }},
    };
    const auto operation = operations.find(argv[1]);
    if (operation == operations.end())
        return 2;

    testsupport::LogCapture log;
    unsigned int code = 0;
    try {
        operation->second();
    } catch (const CSystemException& e) {
        code = e.code;
    }
    const auto records = log.Records();
    for (const std::string& record : records)
        std::printf("%s\n", record.c_str());
    std::printf("code 0x%x\n", code);
    const bool logged = records.size() == 1 && records[0] == "Error Wexmoor Exception occurred";
    return (code == Tolvane::kStringFailure && logged) ? 0 : 1;
}
