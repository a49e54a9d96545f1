#include "common/WindowsVersion.h"

#include <windows.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

WindowsVersion AskWindowsVersion(VersionQuery query)
{
    WindowsVersion version;
    if (query != VersionQuery::Basic) {
        OSVERSIONINFOEXW extended = {};
        extended.dwOSVersionInfoSize = sizeof extended;
        if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
            version.nt = extended.dwPlatformId == VER_PLATFORM_WIN32_NT;
            version.terminalServices =
                (extended.wSuiteMask & (VER_SUITE_TERMINAL | VER_SUITE_SINGLEUSERTS)) != 0;
            return version;
        }
        if (query == VersionQuery::Extended)
            return version;
    }
    OSVERSIONINFOW basic = {};
    basic.dwOSVersionInfoSize = sizeof basic;
    version.nt = GetVersionExW(&basic) && basic.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return version;
}

#pragma GCC diagnostic pop
