#include "log/SystemInfo.h"

#include <windows.h>

namespace LogUtils {
namespace {

struct VersionFacts {
    bool nt = false;
    bool terminalServices = false;

    VersionFacts()
    {
        OSVERSIONINFOEXW info = {};
        info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        BOOL known = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
#pragma GCC diagnostic pop
        if (known) {
            nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
            terminalServices = (info.wSuiteMask & (VER_SUITE_TERMINAL | VER_SUITE_SINGLEUSERTS)) != 0;
        }
    }
};

// Asked once; the function-local static is created exactly once even when
// many threads log at the same moment.
const VersionFacts& Facts()
{
    static const VersionFacts facts;
    return facts;
}

} // namespace

bool IsNtPlatform() { return Facts().nt; }
bool HasTerminalServices() { return Facts().terminalServices; }

} // namespace LogUtils
