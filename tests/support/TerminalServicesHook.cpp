// With TOLVANE_TEST_TERMINAL_SERVICES set (child programs inherit it), this program's version query reports
// terminal services, as Windows 10/11 and Server do, so the library takes the log file mutex's global name.
#include <windows.h>

#include "ImportHook.h"

namespace {
void* g_realGetVersionEx = nullptr;

BOOL WINAPI GetVersionExWithTerminalServices(OSVERSIONINFOW* info)
{
    const BOOL known = reinterpret_cast<decltype(&GetVersionExW)>(g_realGetVersionEx)(info);
    if (known && info->dwOSVersionInfoSize >= sizeof(OSVERSIONINFOEXW))
        reinterpret_cast<OSVERSIONINFOEXW*>(info)->wSuiteMask |= VER_SUITE_TERMINAL;
    return known;
}

const bool g_hooked = [] {
    if (GetEnvironmentVariableW(L"TOLVANE_TEST_TERMINAL_SERVICES", nullptr, 0) == 0)
        return false;
    static testsupport::ImportHook hook("GetVersionExW", reinterpret_cast<void*>(&GetVersionExWithTerminalServices));
    g_realGetVersionEx = hook.Original();
    return true;
}();
} // namespace
