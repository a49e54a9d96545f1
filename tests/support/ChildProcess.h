// Runs a test program of the build's bin folder as a process of its own and collects its exit code and console output.
#pragma once

#include <windows.h>

#include <string>

#include "TestSupport.h"

namespace testsupport {

struct ChildResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// command: the program's name in the bin folder followed by its arguments.
inline ChildResult RunChild(const std::wstring& command, DWORD timeoutMs = 60000)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const size_t blank = command.find(L' ') == std::wstring::npos ? command.size() : command.find(L' ');
    std::wstring line = L"\"" + ModuleFolder() + L"\\" + command.substr(0, blank) + L"\"" + command.substr(blank);
    const BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    char chunk[4096];
    for (DWORD got = 0; started && ReadFile(readEnd, chunk, sizeof(chunk), &got, nullptr) && got > 0;)
        result.output.append(chunk, got);
    if (started && WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &result.exitCode);
    for (HANDLE handle : {process.hThread, process.hProcess, readEnd})
        CloseHandle(handle);
    return result;
}

} // namespace testsupport
