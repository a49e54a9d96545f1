// Several client processes that start reports at the same moment while the
// upload folder is missing: each of them gets its report names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstall.h"
#include "ReleasedTogether.h"

using testsupport::TestInstall;

namespace {

// Writers ask for one report name per round, released together; before each round the upload folder is
// removed, after it the report files it left are counted. Each writer's exit code is its refusals.
TEST(ReportFiles, WritersReleasedTogetherAllGetNamesInAMissingUploadFolder)
{
    const int writers = 4, rounds = 200;
    TestInstall sandbox;   // the upload folder does not exist before any round
    size_t files = 0;
    auto removeFolder = [&](int round) {
        files += round > 0 ? sandbox.Files(L"CIO*.tmp").size() : 0;
        testsupport::RemoveTree(sandbox.UploadFolder());
    };
    EXPECT_EQ(std::vector<DWORD>(writers, 0),
              testsupport::RunReleasedTogether(testsupport::ModuleFolder() + L"\\report_name_race.exe", "",
                                               std::to_string(rounds), writers, rounds, removeFolder));
    files += sandbox.Files(L"CIO*.tmp").size();
    EXPECT_EQ(static_cast<size_t>(writers * rounds), files);
}

// A file where the folder should be is no folder that another writer made:
// the path is used as it is, and no report file can be made there.
TEST(ReportFiles, AFileInPlaceOfTheUploadFolderIsUsedAsAnExistingPath)
{
    TestInstall sandbox;
    testsupport::WriteFileBytes(sandbox.UploadFolder(), "not a folder");
    const std::vector<DWORD> refusals = testsupport::RunReleasedTogether(
        testsupport::ModuleFolder() + L"\\report_name_race.exe", "", "2", 2, 2);
    EXPECT_EQ(std::vector<DWORD>(2, static_cast<DWORD>(2)), refusals);
    EXPECT_EQ("not a folder", testsupport::ReadFileBytes(sandbox.UploadFolder()));
}

} // namespace
