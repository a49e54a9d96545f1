// IsSubSysEnabled through Tolvane.dll, with the switch values in the registry.
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
        murmel.SetDword(L"dwAttrib", attrib ^ 1);   // subsystem 1 reads Murmel, never OnAccess
        root.SetDword(L"dwAttrib", attrib);
        const BOOL on = !(attrib & 1);
        EXPECT_EQ((std::vector<BOOL>{IsSubSysEnabled(0), IsSubSysEnabled(1), IsSubSysEnabled(2), IsSubSysEnabled(-1)}),
                  (std::vector<BOOL>{on, !on, on, on})) << attrib;
    }
    onAccess.SetString(L"dwAttrib", L"0");
    murmel.DeleteValue(L"dwAttrib");
    EXPECT_EQ(IsSubSysEnabled(0) + IsSubSysEnabled(1), 0) << "a string value or a missing value answers 0";
}
