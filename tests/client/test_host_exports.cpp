// The help export as a client program reaches it through Tolvane.dll (the
// C client of tests/scripts/c_exports.sh creates its special-access file).
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "tolvane.h"

TEST(HostExports, HelpFileStartsThroughTheDll)
{
    testsupport::TempFolder folder;
    // Without a help address the installed help file starts: helprecorder.exe, which writes its
    // command line into "<its path>.received". The install folder's trailing backslash is not doubled.
    testsupport::ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", folder.Path() + L"\\");
    const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm");
    ASSERT_TRUE(testsupport::CopyBuilt(L"helprecorder.exe", helpFile));
    DisplayKelmoHelp();
    EXPECT_EQ(testsupport::WaitForLines(helpFile + L".received"), std::vector<std::string>{testsupport::Narrow(helpFile)});
}
