// The recorder program (helprecorder.exe), copied where a test needs it: it
// writes its command line, then each argument, into "<its path>.received".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace hosttest {

// Copies the recorder to target; returns the file it will write there.
inline std::wstring InstallRecorder(const std::wstring& target)
{
    const std::wstring source = testsupport::ModuleFolder() + L"\\helprecorder.exe";
    return CopyFileW(source.c_str(), target.c_str(), FALSE) ? target + L".received" : std::wstring();
}

// The recorder's lines, waiting up to a minute for them; empty when none came.
inline std::vector<std::string> WaitForRecord(const std::wstring& record)
{
    for (int i = 0; i < 600 && !testsupport::FileExists(record); ++i)
        Sleep(100);
    return testsupport::FileExists(record) ? testsupport::ReadLines(record) : std::vector<std::string>();
}

} // namespace hosttest
