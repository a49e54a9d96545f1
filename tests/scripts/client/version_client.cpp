// Prints the version resource of the Tolvane.dll that this program loaded,
// one "name=value" line each, and the version of the headers it was built
// with.
#include <tolvane.h>

#include <cstdio>
#include <vector>

namespace {

void PrintString(const std::vector<char>& data, const wchar_t* name)
{
    wchar_t query[128];
    std::swprintf(query, 128, L"\\StringFileInfo\\040904b0\\%ls", name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length) && value)
        std::printf("%ls=%ls\n", name, value);
    else
        std::printf("%ls missing\n", name);
}

} // namespace

int main()
{
    std::printf("header=%s %d.%d.%d\n", TOLVANE_VERSION_STRING, TOLVANE_VERSION_MAJOR,
                TOLVANE_VERSION_MINOR, TOLVANE_VERSION_PATCH);
    wchar_t path[MAX_PATH] = {};
    IsSubSysEnabled(0);  // the DLL is loaded by now in any case
    if (!GetModuleFileNameW(GetModuleHandleW(L"Tolvane.dll"), path, MAX_PATH))
        return 2;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        std::printf("GetFileVersionInfoSizeW failed: %lu\n", GetLastError());
        return 1;
    }
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path, 0, size, data.data())
        || !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return 1;
    std::printf("fixed file=%u.%u.%u.%u product=%u.%u.%u.%u\n",
                HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
                HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription",
                                L"LegalCopyright", L"CompanyName", L"OriginalFilename"})
        PrintString(data, name);
    return 0;
}
