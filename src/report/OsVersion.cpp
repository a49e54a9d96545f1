// The operating-system description of the reports.
#include "report/OsVersion.h"

#include <strsafe.h>

#include <cwchar>

namespace Report {

namespace {

const wchar_t* const kOsNames[] = {
    L"Unknown",
    L"Windows 95A",
    L"Windows 95B",
    L"Windows 95C",
    L"Windows 98",
    L"Windows 98SE",
    L"Windows ME",
    L"Windows NT4 Workstation",
    L"Windows NT4 Server",
    L"Windows 2000 Professional",
    L"Windows 2000 Server",
    L"Windows 2000 Advanced Server",
    L"Windows 2000 DataCenter Server",
    L"Windows XP Home",
    L"Windows XP Professional",
    L"Windows .NET Server",
    L"Windows Longhorn DataCenter Server",
    L"Windows Longhorn Enterprise Server",
    L"Windows Vista",
};
constexpr int kOsNameCount = sizeof(kOsNames) / sizeof(kOsNames[0]);

int NineXIndex(const OSVERSIONINFOEXW& info)
{
    if (info.dwMajorVersion != 4)
        return 0;
    const wchar_t servicePackLetter = info.szCSDVersion[0] ? info.szCSDVersion[1] : L'\0';
    switch (info.dwMinorVersion) {
    case 0:
        return servicePackLetter == L'B' ? 2 : servicePackLetter == L'C' ? 3 : 1;
    case 10:
        return servicePackLetter == L'A' ? 5 : 4;
    case 90:
        return 6;
    default:
        return 0;
    }
}

int NtIndex(const OSVERSIONINFOEXW& info, bool extended)
{
    const BYTE productType = extended ? info.wProductType : 0;
    const WORD suite = extended ? info.wSuiteMask : 0;
    const bool server = productType == VER_NT_DOMAIN_CONTROLLER || productType == VER_NT_SERVER;
    const bool workstation = productType == VER_NT_WORKSTATION;
    const bool dataCentre = suite & VER_SUITE_DATACENTER;
    const bool enterprise = suite & VER_SUITE_ENTERPRISE;
    const bool personal = suite & VER_SUITE_PERSONAL;

    switch (info.dwMajorVersion) {
    case 4:
        return server ? 8 : 7;
    case 5:
        switch (info.dwMinorVersion) {
        case 0:
            if (!server)
                return 9;
            return dataCentre ? 12 : enterprise ? 11 : 10;
        case 1:
            if (workstation)
                return personal ? 13 : 14;
            return enterprise ? 15 : 14;
        case 2:
            return server && !personal ? 15 : 0;
        default:
            return 0;
        }
    case 6:
        if (info.dwMinorVersion != 0)
            return 18;
        return dataCentre ? 16 : enterprise ? 17 : 18;
    default:
        return 0;
    }
}

} // namespace

int OsNameIndex(const OSVERSIONINFOEXW& info, bool extended)
{
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        return NineXIndex(info);
    case VER_PLATFORM_WIN32_NT:
        return NtIndex(info, extended);
    default:
        return 0;
    }
}

const wchar_t* OsName(int index)
{
    return index >= 0 && index < kOsNameCount ? kOsNames[index] : kOsNames[0];
}

bool DescribeOsVersion(const OSVERSIONINFOEXW& info, bool extended,
                       wchar_t (&text)[kOsVersionChars])
{
    const int index = OsNameIndex(info, extended);
    if (index == 0) {
        StringCchPrintfW(text, kOsVersionChars, L"Microsoft Windows %d.%d,Build %d",
                         static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion),
                         static_cast<int>(info.dwBuildNumber));
    } else {
        // The 9x family keeps version numbers in the high word of the build.
        const DWORD build = index <= 6 ? LOWORD(info.dwBuildNumber) : info.dwBuildNumber;
        StringCchPrintfW(text, kOsVersionChars, L"%ls,Build %d", OsName(index),
                         static_cast<int>(build));
    }
    if (wcsncmp(info.szCSDVersion, L"Service Pack", 12) != 0)
        return true;
    return SUCCEEDED(StringCchCatW(text, kOsVersionChars, L",")) &&
           SUCCEEDED(StringCchCatW(text, kOsVersionChars, info.szCSDVersion));
}

} // namespace Report
