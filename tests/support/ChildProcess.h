// Runs a test program of the build's bin folder as a process of its own and collects its exit code and console output.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "TestSupport.h"

namespace testsupport {

struct ChildResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// command: the program's name in the bin folder followed by its arguments (started by the command interpreter,
// whose /c takes off the outer quotes). A program that never ends is ended by the test run's time limit.
inline ChildResult RunChild(const std::wstring& command)
{
    ChildResult result;
    const size_t blank = command.find(L' ') == std::wstring::npos ? command.size() : command.find(L' ');
    const std::wstring line = L"\"\"" + ModuleFolder() + L"\\" + command.substr(0, blank) + L"\"" + command.substr(blank);
    FILE* pipe = _wpopen((line + L" 2>&1\"").c_str(), L"rb");
    char chunk[4096];
    for (size_t got = 0; pipe && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        result.output.append(chunk, got);
    result.exitCode = pipe ? static_cast<DWORD>(_pclose(pipe)) : result.exitCode;
    return result;
}

} // namespace testsupport
