// The host service exports as a client program reaches them through
// Tolvane.dll: a special-access file created, the help file started.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "tolvane.h"

TEST(HostExports, ExportsWorkThroughTheDll)
{
    testsupport::TempFolder folder;
    const std::wstring file = folder.Join(L"fresh.dat");
    EXPECT_EQ(CreateFileSpecialAccess(file.c_str()), TRUE);
    EXPECT_EQ(testsupport::ReadFileBytes(file), "");
    // Without a help address the installed help file starts: helprecorder.exe, which writes its
    // command line into "<its path>.received". The install folder's trailing backslash is not doubled.
    folder.MakeFolder(L"Agent");
    testsupport::ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", folder.Path() + L"\\");
    const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm"), record = helpFile + L".received";
    ASSERT_TRUE(CopyFileW((testsupport::ModuleFolder() + L"\\helprecorder.exe").c_str(), helpFile.c_str(), FALSE));
    DisplayKelmoHelp();
    for (int i = 0; i < 600 && !testsupport::FileExists(record); ++i)
        Sleep(100);
    EXPECT_EQ(testsupport::ReadLines(record), std::vector<std::string>{testsupport::Narrow(helpFile)});
}
