// CLauncher: starts programs with a command line built from an application
// and its arguments, optionally waiting for them to end.
#pragma once

#include <windows.h>

class CLauncher {
public:
    CLauncher();

    // 1 when the process was created, else 0. With wait 1 it returns only
    // after the process has ended. The command line is "application" or
    // "application arguments"; an application path with blanks is put in
    // quotes. On failure the thread's last error is CreateProcessW's
    // (ERROR_BAD_EXE_FORMAT for a file that is not a program).
    int LaunchApp(const wchar_t* application, const wchar_t* arguments, int wait);

    static constexpr DWORD kCreationFlags =
        CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS;
    static constexpr int kCommandLineChars = 4096;

private:
    DWORD m_startupFlags;
    WORD m_showWindow;
};
