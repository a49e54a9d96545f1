// The one log record of the on-access exclusion: a missing installation
// folder. The other failures (no library, a library that is not accepted)
// stay silent.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "tolvane/OnAccExcl.h"

namespace {

const wchar_t kClientKey[] = L"SOFTWARE\\Tavrel\\Orbisk";

TEST(OnAccessExclusionLog, MissingInstallFolderIsLoggedOnce)
{
    testsupport::TempFolder scratch;
    const std::wstring recordPath = scratch.Join(L"record.txt");
    SetEnvironmentVariableW(L"TRENNIX_RECORD", recordPath.c_str());
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kClientKey);   // no szInstallDir

    testsupport::LogCapture capture;
    {
        COnAccExcl exclusion;
        exclusion.Init();
        exclusion.ExcludeThisProcess(1);
        exclusion.ExcludeThisProcess(0);
    }
    SetEnvironmentVariableW(L"TRENNIX_RECORD", nullptr);

    ASSERT_EQ(1u, capture.events.size());
    const testsupport::CapturedEvent& event = capture.events[0];
    EXPECT_EQ(LogUtils::Error, event.level);
    EXPECT_EQ("Tolvane", event.category);
    EXPECT_EQ("Unable to load the Trennix.DLL library from ", event.message);
    EXPECT_FALSE(event.hasError);
    EXPECT_FALSE(testsupport::FileExists(recordPath));
}

TEST(OnAccessExclusionLog, OtherFailuresAreSilent)
{
    for (const wchar_t* libraryBuild : {L"Trennix_WithoutEnd.DLL", L"Trennix_InitFails.DLL",
                                        static_cast<const wchar_t*>(nullptr)}) {
        SCOPED_TRACE(libraryBuild ? testsupport::Narrow(libraryBuild) : "no library");
        testsupport::TempFolder installation;
        installation.MakeFolder(L"Kelmo");
        if (libraryBuild) {
            const std::wstring source = testsupport::ModuleFolder() + L"\\" + libraryBuild;
            ASSERT_TRUE(CopyFileW(source.c_str(), installation.Join(L"Kelmo\\Trennix.DLL").c_str(), FALSE));
        }
        testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kClientKey);
        key.SetString(L"szInstallDir", installation.Path());

        testsupport::LogCapture capture;
        COnAccExcl exclusion;
        exclusion.Init();
        exclusion.ExcludeThisProcess(1);
        EXPECT_TRUE(capture.Messages().empty());
    }
}

} // namespace
