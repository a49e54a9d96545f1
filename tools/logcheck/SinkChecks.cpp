// What a sink needs from the machine to write anything, asked the way the
// library's sinks ask it.
#include <winsock2.h>

#include "LogCheck.h"

#include <windows.h>
#include <shlwapi.h>

#include "log/SyslogSink.h"

namespace LogCheck {

bool FolderOfFileExists(const wchar_t* filePath)
{
    wchar_t folder[MAX_PATH];
    lstrcpynW(folder, filePath, MAX_PATH);
    PathRemoveFileSpecW(folder);
    return PathIsDirectoryW(folder) != FALSE;
}

bool IsSyslogAddress(const char* server)
{
    return LogUtils::SyslogReceiver(server).sin_addr.s_addr != INADDR_NONE;
}

} // namespace LogCheck
