// debug_capture PROGRAM [ARGS...]: runs PROGRAM as its debugger and prints each text that it passes to the
// debugger, one per line ("debug: TEXT"), then "exit: CODE".
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    std::string command;
    for (int i = 1; i < argc; ++i)
        command += (i > 1 ? " \"" : "\"") + std::string(argv[i]) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    if (argc < 2 || !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                                    nullptr, &startup, &child))
        return 2;
    DEBUG_EVENT event = {};
    while (event.dwDebugEventCode != EXIT_PROCESS_DEBUG_EVENT) {
        if (!WaitForDebugEvent(&event, 60000))
            return 2;
        if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT) {
            std::string text(event.u.DebugString.nDebugStringLength, '\0');
            ReadProcessMemory(child.hProcess, event.u.DebugString.lpDebugStringData, &text[0], text.size(), nullptr);
            std::printf("debug: %s", text.c_str());
        }
        const bool fault = event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                           event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT;
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, fault ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
    }
    std::printf("exit: %lu\n", event.u.ExitProcess.dwExitCode);
    return 0;
}
