#include "host/Launch/LaunchApp.h"

// wsprintfW builds the command line with arguments, as the platform limits it.
#define STRSAFE_NO_DEPRECATE
#include <strsafe.h>

#include <cwchar>

#include "common/ScopedHandle.h"
#include "log/LogEvent.h"

static_assert(CLauncher::kCreationFlags == 0x4000220, "creation flags of launched programs");

CLauncher::CLauncher()
    : m_startupFlags(STARTF_USESHOWWINDOW), m_showWindow(SW_SHOWNORMAL)
{
}

int CLauncher::LaunchApp(const wchar_t* application, const wchar_t* arguments, int wait)
{
    if (application == nullptr)
        application = L"";

    // A path with blanks is quoted, so that the platform starts that program and
    // never one at a blank-cut prefix of it ("C:\Program.exe").
    const bool quote = application[0] != L'"' && wcspbrk(application, L" \t") != nullptr;
    wchar_t commandLine[kCommandLineChars];
    if (arguments == nullptr || arguments[0] == L'\0') {
        if (FAILED(StringCchPrintfW(commandLine, kCommandLineChars, quote ? L"\"%ls\"" : L"%ls", application)))
            WEXMOOR_LOG(Warning).Write(L"StringCchCopy failed in LaunchApp");
    } else {
        // The platform's formatter stops at 1,024 characters.
        wsprintfW(commandLine, quote ? L"\"%s\" %s" : L"%s %s", application, arguments);
    }
    WEXMOOR_LOG(Debug).Write(L"Trying to launch: %s", commandLine);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = m_startupFlags;
    startup.wShowWindow = m_showWindow;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, kCreationFlags,
                        nullptr, nullptr, &startup, &process)) {
        WEXMOOR_LOG(Debug).Write(L"*** ERROR *** launching program");
        return 0;
    }

    const CScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
    WEXMOOR_LOG(Debug).Write(L"Launched OK");
    if (wait == 1) {
        WEXMOOR_LOG(Debug).Write(L"We are waiting for execution to complete...");
        WaitForSingleObject(processHandle.Get(), INFINITE);
        WEXMOOR_LOG(Debug).Write(L"Completed successfully.");
    }
    return 1;
}
