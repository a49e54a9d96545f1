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
    testsupport::ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", folder.Path() + L"\\");
    const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm");
    ASSERT_TRUE(testsupport::CopyBuilt(L"helprecorder.exe", helpFile));
    DisplayKelmoHelp();
    EXPECT_EQ(testsupport::WaitForLines(helpFile + L".received"), std::vector<std::string>{testsupport::Narrow(helpFile)});
}
