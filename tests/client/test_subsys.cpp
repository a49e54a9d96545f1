// IsSubSysEnabled through Tolvane.dll, with the switch values in the registry.
#include <gtest/gtest.h>

#include <tolvane.h>

#include "TestSupport.h"

TEST(IsSubSysEnabled, AnswersFromItsSwitchKey)
{
    const std::wstring switches = L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM";
    testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, switches);
    EXPECT_FALSE(IsSubSysEnabled(2)) << "no key";
    // Subsystem 0 reads OnAccess, 1 Murmel, any other the switch key itself; bit 0 of "dwAttrib" switches it off.
    testsupport::ScopedRegistryKey keys[] = {{HKEY_LOCAL_MACHINE, switches}, {HKEY_LOCAL_MACHINE, switches + L"\\OnAccess"},
                                             {HKEY_LOCAL_MACHINE, switches + L"\\Murmel"}};
    for (int off = 0; off < 3; ++off) {
        for (int key = 0; key < 3; ++key)
            keys[key].SetDword(L"dwAttrib", key == off ? 3 : 2);
        EXPECT_EQ((std::vector<BOOL>{IsSubSysEnabled(2), IsSubSysEnabled(0), IsSubSysEnabled(1)}),
                  (std::vector<BOOL>{off != 0, off != 1, off != 2})) << off;
    }
    keys[0].DeleteValue(L"dwAttrib");
    EXPECT_FALSE(IsSubSysEnabled(-1)) << "no value";
}
