// Several client processes that start reports at the same moment while the
// upload folder is missing: each of them gets its report names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../client/report_sandbox.h"

using reporttest::ReportSandbox;

namespace {

struct Handle {
    explicit Handle(HANDLE h) : h(h) {}
    ~Handle() { if (h) CloseHandle(h); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE h;
};

// Starts `writers` report_name_race.exe processes, lets them all wait on one
// event, sets it and collects the exit codes (the refusals of each).
std::vector<DWORD> RaceForTheUploadFolder(int writers, int namesEach)
{
    const std::string tag = std::to_string(GetCurrentProcessId());
    const std::string readyName = "TolvaneRaceReady" + tag, goName = "TolvaneRaceGo" + tag;
    Handle ready(CreateSemaphoreA(nullptr, 0, writers, readyName.c_str()));
    Handle go(CreateEventA(nullptr, TRUE, FALSE, goName.c_str()));
    std::vector<PROCESS_INFORMATION> processes;
    for (int i = 0; i < writers; ++i) {
        std::wstring command = L"\"" + testsupport::ModuleFolder() + L"\\report_name_race.exe\" " +
                               testsupport::Wide(readyName + " " + goName + " " + std::to_string(namesEach));
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            processes.push_back(process);
    }
    for (size_t i = 0; i < processes.size(); ++i)
        WaitForSingleObject(ready.h, 60000);
    SetEvent(go.h);
    std::vector<DWORD> refusals;
    for (PROCESS_INFORMATION& process : processes) {
        WaitForSingleObject(process.hProcess, 60000);
        DWORD code = 1000;
        GetExitCodeProcess(process.hProcess, &code);
        refusals.push_back(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return refusals;
}

TEST(ReportFiles, WritersReleasedTogetherAllGetNamesInAMissingUploadFolder)
{
    const int writers = 4, namesEach = 3;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        ReportSandbox sandbox;   // the upload folder does not exist yet
        ASSERT_FALSE(testsupport::FileExists(sandbox.UploadFolder()));
        EXPECT_EQ(std::vector<DWORD>(writers, 0), RaceForTheUploadFolder(writers, namesEach));
        EXPECT_EQ(static_cast<size_t>(writers * namesEach), sandbox.Files(L"CIO*.tmp").size());
    }
}

// A file where the folder should be is no folder that another writer made.
TEST(ReportFiles, AFileInPlaceOfTheUploadFolderIsUsedAsAnExistingPath)
{
    ReportSandbox sandbox;
    testsupport::WriteFileBytes(sandbox.UploadFolder(), "not a folder");
    EXPECT_EQ(std::vector<DWORD>(2, static_cast<DWORD>(2)), RaceForTheUploadFolder(2, 2));
    EXPECT_EQ("not a folder", testsupport::ReadFileBytes(sandbox.UploadFolder()));
}

} // namespace
