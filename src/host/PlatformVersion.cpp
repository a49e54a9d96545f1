#include "host/PlatformVersion.h"

#include <windows.h>

namespace Host {

bool AskIsNtPlatform()
{
    OSVERSIONINFOW basic = {};
    basic.dwOSVersionInfoSize = sizeof basic;
    return GetVersionExW(&basic) && basic.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool AskIsNtPlatformExtendedFirst()
{
    OSVERSIONINFOEXW extended = {};
    extended.dwOSVersionInfoSize = sizeof extended;
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended)))
        return extended.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return AskIsNtPlatform();
}

} // namespace Host
