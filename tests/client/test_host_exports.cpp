// The host service exports as a client program reaches them through
// Tolvane.dll: a special-access file created, the help file started.
#include <gtest/gtest.h>

#include <windows.h>

#include "../unit/help_recorder.h"
#include "TestSupport.h"
#include "tolvane.h"

TEST(HostExports, ExportsWorkThroughTheDll)
{
    testsupport::TempFolder folder;
    const std::wstring file = folder.Join(L"fresh.dat");
    EXPECT_EQ(CreateFileSpecialAccess(file.c_str()), TRUE);
    EXPECT_EQ(testsupport::ReadFileBytes(file), "");

    // Without a help address the installed help file (the recorder) starts. The
    // install folder ends with a backslash; the path has exactly one.
    folder.MakeFolder(L"Agent");
    testsupport::ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", folder.Path() + L"\\");
    const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm");
    const std::wstring record = hosttest::InstallRecorder(helpFile);
    DisplayKelmoHelp();
    EXPECT_EQ(hosttest::WaitForRecord(record), std::vector<std::string>{testsupport::Narrow(helpFile)});
}
