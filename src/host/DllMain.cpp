// DisplayKelmoHelp: opens the product help for the client's user interface.
#include "host/HelpDisplay.h"

#include <windows.h>
#include <shellapi.h>

#include "common/ExportCall.h"
#include "common/FileName.h"
#include "common/InstallDir.h"
#include "common/RegKey.h"
#include "host/Launch/LaunchApp.h"
#include "log/LogEvent.h"
#include "tolvane/Functions.h"

CMyString GetHelpURL()
{
    CMyString url(L"");
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kAgentKey, KEY_QUERY_VALUE)) {
        TOLVANE_LOG(Debug).Write(L"Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...");
        return url;
    }
    wchar_t value[kHelpUrlChars];
    DWORD count = kHelpUrlChars;
    if (ReadRegString(key.Get(), kHelpUrlValue, value, &count) != ERROR_SUCCESS)
        TOLVANE_LOG(Debug).Write(L"Tolvane::Unable to get szHelpURL value from registry...");
    else
        url = value;
    return url;
}

namespace {

// True when the shell opened the target (the help address, or a help file
// that is not a program) with the "open" verb of its handler.
bool OpenWithShell(const wchar_t* target, const wchar_t* opened, const wchar_t* failed)
{
    HINSTANCE result = ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    DWORD error = GetLastError();
    long code = static_cast<long>(reinterpret_cast<INT_PTR>(result));
    if (code > 32) {
        TOLVANE_LOG(Debug).Write(opened, target);
        return true;
    }
    TOLVANE_LOG(Error).Write(failed, target, code, static_cast<long>(error));
    return false;
}

bool OpenHelpAddress(const CMyString& url)
{
    return OpenWithShell(url.c_str(), L"Tolvane::HelpUrl %s launched successfully...",
                         L"Tolvane::Failed to launch HelpUrl %s, iReturnValue = %ld, GetLastError = %ld");
}

void StartHelpFile()
{
    wchar_t installDir[kInstallDirChars];
    if (!GetInstallDir(installDir))
        return;
    CFileName helpFile(installDir);
    helpFile.Append(kHelpFile);
    CLauncher launcher;
    if (launcher.LaunchApp(helpFile.c_str(), nullptr, 0) || GetLastError() != ERROR_BAD_EXE_FORMAT)
        return;
    // A compiled help file is a document, not a program: its handler opens it.
    OpenWithShell(helpFile.c_str(), L"Tolvane::Help file %s opened by its handler...",
                  L"Tolvane::Failed to open help file %s, iReturnValue = %ld, GetLastError = %ld");
}

} // namespace

extern "C" TOLVANE_API void DisplayKelmoHelp(void)
{
    // No failure reaches the caller, and no exception leaves this C function.
    CallExport([] {
        CMyString url = GetHelpURL();
        if (url.GetLength() > 0 && OpenHelpAddress(url))
            return;
        StartHelpFile();
    });
}
