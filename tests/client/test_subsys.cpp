// IsSubSysEnabled through Tolvane.dll, with the switch values in the registry.
#include <gtest/gtest.h>

#include <tolvane.h>

#include "TestSupport.h"

using testsupport::ScopedRegistryKey;

namespace {

const wchar_t kSwitchKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM";

} // namespace

TEST(IsSubSysEnabled, AnswersFromTheSwitchKeys)
{
    ScopedRegistryKey root(HKEY_LOCAL_MACHINE, kSwitchKey);
    ScopedRegistryKey onAccess(HKEY_LOCAL_MACHINE, std::wstring(kSwitchKey) + L"\\OnAccess");
    ScopedRegistryKey murmel(HKEY_LOCAL_MACHINE, std::wstring(kSwitchKey) + L"\\Murmel");

    struct { DWORD attrib; BOOL enabled; } bits[] = {{0, TRUE}, {1, FALSE}, {2, TRUE}, {3, FALSE}, {0xFFFFFFFE, TRUE}};
    for (const auto& b : bits) {
        onAccess.SetDword(L"dwAttrib", b.attrib);
        murmel.SetDword(L"dwAttrib", b.attrib ^ 1);
        root.SetDword(L"dwAttrib", b.attrib);
        EXPECT_EQ(b.enabled, IsSubSysEnabled(0)) << b.attrib;
        EXPECT_EQ(!b.enabled, IsSubSysEnabled(1)) << "reads Murmel, never OnAccess: " << b.attrib;
        EXPECT_EQ(b.enabled, IsSubSysEnabled(2)) << b.attrib;
        EXPECT_EQ(b.enabled, IsSubSysEnabled(-1)) << b.attrib;
    }

    onAccess.SetString(L"dwAttrib", L"0");
    EXPECT_FALSE(IsSubSysEnabled(0)) << "a string value answers 0";
    murmel.DeleteValue(L"dwAttrib");
    EXPECT_FALSE(IsSubSysEnabled(1)) << "a missing value answers 0";
}

TEST(IsSubSysEnabled, MissingKeysAnswerZero)
{
    testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kSwitchKey);
    for (int subsystem : {0, 1, 2, -1, 1000})
        EXPECT_FALSE(IsSubSysEnabled(subsystem)) << subsystem;
    SetLastError(0);
}
