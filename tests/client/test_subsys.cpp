// The plain C exports through Tolvane.dll: IsSubSysEnabled with the switch values in the registry, and
// the help file that DisplayKelmoHelp starts.
#include <gtest/gtest.h>

#include <tolvane.h>

#include "TestSupport.h"

using testsupport::ScopedRegistryKey;

TEST(IsSubSysEnabled, AnswersFromTheSwitchKeys)
{
    const std::wstring switches = L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM";
    testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, switches.c_str());
    for (int subsystem : {0, 1, 2, -1, 1000})
        EXPECT_FALSE(IsSubSysEnabled(subsystem)) << "no key: " << subsystem;
    ScopedRegistryKey root(HKEY_LOCAL_MACHINE, switches), onAccess(HKEY_LOCAL_MACHINE, switches + L"\\OnAccess"),
        murmel(HKEY_LOCAL_MACHINE, switches + L"\\Murmel");
    for (DWORD attrib : {0u, 1u, 2u, 3u, 0xFFFFFFFEu}) {
        onAccess.SetDword(L"dwAttrib", attrib);
        murmel.SetDword(L"dwAttrib", attrib ^ 1);
        root.SetDword(L"dwAttrib", attrib);
        const BOOL enabled = !(attrib & 1);
        EXPECT_EQ(enabled, IsSubSysEnabled(0)) << attrib;
        EXPECT_EQ(!enabled, IsSubSysEnabled(1)) << "reads Murmel, never OnAccess: " << attrib;
        EXPECT_EQ(enabled, IsSubSysEnabled(2)) << attrib;
        EXPECT_EQ(enabled, IsSubSysEnabled(-1)) << attrib;
    }
    onAccess.SetString(L"dwAttrib", L"0");
    EXPECT_FALSE(IsSubSysEnabled(0)) << "a string value answers 0";
    murmel.DeleteValue(L"dwAttrib");
    EXPECT_FALSE(IsSubSysEnabled(1)) << "a missing value answers 0";
}

// Without a help address the installed help file starts: helprecorder.exe, which writes its command line
// into "<its path>.received". The installation folder's trailing backslash is not doubled.
TEST(HostExports, HelpFileStartsThroughTheDll)
{
    testsupport::TempFolder folder;
    ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", folder.Path() + L"\\");
    const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm");
    ASSERT_TRUE(testsupport::CopyBuilt(L"helprecorder.exe", helpFile));
    DisplayKelmoHelp();
    EXPECT_EQ(testsupport::WaitForLines(helpFile + L".received"), std::vector<std::string>{testsupport::Narrow(helpFile)});
}
