// Several client processes that start reports at the same moment while the
// upload folder is missing: each of them gets its report names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../client/report_sandbox.h"
#include "ReleasedTogether.h"

using reporttest::ReportSandbox;

namespace {

// Writers that ask for one report name per round, released together; before
// each round the upload folder is removed. Gives each writer's refusals and
// adds up the report files that each round left.
std::vector<DWORD> RaceForTheUploadFolder(const ReportSandbox& sandbox, int writers, int rounds, size_t& files)
{
    files = 0;
    auto removeFolder = [&](int round) {
        if (round > 0)
            files += sandbox.Files(L"CIO*.tmp").size();
        testsupport::RemoveTree(sandbox.UploadFolder());
    };
    std::vector<DWORD> refusals = testsupport::RunReleasedTogether(
        testsupport::ModuleFolder() + L"\\report_name_race.exe", "", std::to_string(rounds), writers, rounds,
        removeFolder);
    files += sandbox.Files(L"CIO*.tmp").size();
    return refusals;
}

TEST(ReportFiles, WritersReleasedTogetherAllGetNamesInAMissingUploadFolder)
{
    const int writers = 4, rounds = 200;
    ReportSandbox sandbox;   // the upload folder does not exist before any round
    size_t files = 0;
    EXPECT_EQ(std::vector<DWORD>(writers, 0), RaceForTheUploadFolder(sandbox, writers, rounds, files));
    EXPECT_EQ(static_cast<size_t>(writers * rounds), files);
}

// A file where the folder should be is no folder that another writer made:
// the path is used as it is, and no report file can be made there.
TEST(ReportFiles, AFileInPlaceOfTheUploadFolderIsUsedAsAnExistingPath)
{
    ReportSandbox sandbox;
    testsupport::WriteFileBytes(sandbox.UploadFolder(), "not a folder");
    const std::vector<DWORD> refusals = testsupport::RunReleasedTogether(
        testsupport::ModuleFolder() + L"\\report_name_race.exe", "", "2", 2, 2);
    EXPECT_EQ(std::vector<DWORD>(2, static_cast<DWORD>(2)), refusals);
    EXPECT_EQ("not a folder", testsupport::ReadFileBytes(sandbox.UploadFolder()));
}

} // namespace
