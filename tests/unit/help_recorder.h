// The recorder program (helprecorder.exe) seen from the tests: it is
// copied where a test needs it and writes what it received beside itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace hosttest {

// Copies the recorder to target; returns the file it will write there.
inline std::wstring InstallRecorder(const std::wstring& target)
{
    std::wstring source = testsupport::ModuleFolder() + L"\\helprecorder.exe";
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE))
        return std::wstring();
    return target + L".received";
}

// The lines of the recorder's report (its command line, then each argument),
// waiting up to a minute for the program to write it; empty when none came.
inline std::vector<std::string> WaitForRecord(const std::wstring& record)
{
    for (int i = 0; i < 600 && !testsupport::FileExists(record); ++i)
        Sleep(100);
    if (!testsupport::FileExists(record))
        return {};
    return testsupport::ReadLines(record);
}

} // namespace hosttest
