// With TOLVANE_TEST_TERMINAL_SERVICES set, this program's version query
// reports terminal services (the suite mask of Windows 10/11 and Server), so
// the library uses the global name of the log file mutex as it does there.
// Child programs inherit the variable and take the same name.
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

struct TerminalServicesHook {
    TerminalServicesHook()
    {
        if (GetEnvironmentVariableW(L"TOLVANE_TEST_TERMINAL_SERVICES", nullptr, 0) == 0)
            return;
        static testsupport::ImportHook hook("GetVersionExW", reinterpret_cast<void*>(&GetVersionExWithTerminalServices));
        g_realGetVersionEx = hook.Original();
    }
} g_terminalServicesHook;

} // namespace
