// DisplayKelmoHelp: opens the product help for the client's user interface.
#include "host/HelpDisplay.h"

#include <windows.h>
#include <shellapi.h>

#include "common/FileName.h"
#include "common/RegHelp.h"
#include "host/Launch/LaunchApp.h"
#include "log/LogEvent.h"
#include "tolvane/Functions.h"

CMyString GetHelpURL()
{
    CMyString url(L"");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAgentKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        TOLVANE_LOG(Debug).Write(L"Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...");
        return url;
    }
    wchar_t value[kHelpUrlChars];
    DWORD count = kHelpUrlChars;
    if (ReadRegString(key, kHelpUrlValue, value, &count) != ERROR_SUCCESS)
        TOLVANE_LOG(Debug).Write(L"Tolvane::Unable to get szHelpURL value from registry...");
    else
        url = value;
    RegCloseKey(key);
    return url;
}

namespace {

// True when the shell opened the address.
bool OpenHelpAddress(const CMyString& url)
{
    HINSTANCE result = ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    DWORD error = GetLastError();
    long code = static_cast<long>(reinterpret_cast<INT_PTR>(result));
    if (code > 32) {
        TOLVANE_LOG(Debug).Write(L"Tolvane::HelpUrl %s launched successfully...", url.c_str());
        return true;
    }
    TOLVANE_LOG(Error).Write(L"Tolvane::Failed to launch HelpUrl %s, iReturnValue = %ld, GetLastError = %ld",
                             url.c_str(), code, static_cast<long>(error));
    return false;
}

void StartHelpFile()
{
    wchar_t installDir[kInstallDirChars];
    if (!GetInstallDir(installDir))
        return;
    CFileName helpFile(installDir);
    helpFile.Append(kHelpFile);
    CLauncher launcher;
    launcher.LaunchApp(helpFile.c_str(), nullptr, 0);
}

} // namespace

extern "C" TOLVANE_API void DisplayKelmoHelp(void)
{
    try {
        CMyString url = GetHelpURL();
        if (url.GetLength() > 0 && OpenHelpAddress(url))
            return;
        StartHelpFile();
    } catch (...) {
        // No failure reaches the caller, and no exception leaves this C function.
    }
}
