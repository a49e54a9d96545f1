// The registry readers of the library (typed reads of a key, checked strings, the install folder) on real values.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "common/ClientKeys.h"
#include "common/InstallDir.h"
#include "common/RegHelp.h"
#include "common/RegKey.h"

using testsupport::ScopedRegistryKey;

// Numbers of fewer than four bytes read the bytes there; more than four do not fit the read. Strings are read
// without expansion; CRegHelp ends data without a terminator, ReadRegString refuses it.
TEST(Registry, CRegHelpAndReadRegStringOnOneKey)
{
    const wchar_t keyName[] = L"SOFTWARE\\Tavrel\\TolvaneTests\\Registry";
    ScopedRegistryKey key(HKEY_LOCAL_MACHINE, keyName);
    const unsigned char bytes[] = {0x34, 0x12, 0x56}, eight[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    const wchar_t unterminated[] = {L'a', L'b', L'!'};   // the platform would add a terminator that follows the data
    key.SetRaw(L"dw0", REG_DWORD, bytes, 0);
    key.SetRaw(L"dw3", REG_DWORD, bytes, 3);
    key.SetRaw(L"dwEight", REG_DWORD, eight, sizeof(eight));
    key.SetDword(L"dwNumber", 42);
    key.SetString(L"szText", L"hello");
    key.SetString(L"szExpand", L"%TEMP%\\x", REG_EXPAND_SZ);
    key.SetRaw(L"szRaw", REG_SZ, unterminated, 2 * sizeof(wchar_t));
    key.SetRaw(L"szEmpty", REG_SZ, L"", 0);
    key.SetRaw(L"szOdd", REG_SZ, "a\0\0\0x", 5);   // a terminator, then half a character
    CRegHelp reg, writer, missing;
    reg.SetKeyName(keyName);
    ASSERT_EQ(1, reg.Open(HKEY_LOCAL_MACHINE, 0));
    const struct { const wchar_t* name; int result; DWORD number; } numbers[] = {
        {L"dw0", 1, 0}, {L"dw3", 1, 0x561234}, {L"dwEight", 0, 0}, {L"dwNumber", 1, 42}, {L"szRaw", 0, 0},
    };
    for (const auto& c : numbers) {
        DWORD number = 0xFFFFFFFF;
        EXPECT_EQ(c.result, reg.GetDword(c.name, number)) << testsupport::Narrow(c.name);
        EXPECT_EQ(c.number, number) << testsupport::Narrow(c.name);
    }
    // CRegHelp::GetString: result and text; ReadRegString into 521 characters: result, count and text.
    const struct { const wchar_t* name; const wchar_t* read; } strings[] = {
        {L"szText", L"1 hello | 0 6 hello"}, {L"szExpand", L"1 %TEMP%\\x | 0 9 %TEMP%\\x"}, {L"szRaw", L"1 ab | 13 0"},
        {L"szEmpty", L"0 (none) | 0 1 "}, {L"szOdd", L"1 a | 13 0"}, {L"dwNumber", L"0 (none) | 13 0"}, {L"missing", L"0 (none) | 2 0"},
    };
    for (const auto& c : strings) {
        CMyString text(L"stale");
        wchar_t buffer[521] = L"?";
        DWORD count = 521;
        const int got = reg.GetString(c.name, text);
        const LONG result = ReadRegString(key.Handle(), c.name, buffer, &count);
        EXPECT_EQ(c.read, std::to_wstring(got) + L" " + (text.HasText() ? text.c_str() : L"(none)") + L" | " + std::to_wstring(result) + L" " +
                              std::to_wstring(count) + (result ? L"" : L" " + std::wstring(buffer)));
    }
    DWORD none = 0, type = 0, number = 0, count = 0;
    wchar_t room[1];
    EXPECT_EQ(ERROR_MORE_DATA, ReadRegString(key.Handle(), L"szEmpty", room, &none)) << "no room for the terminator";
    EXPECT_EQ(0, reg.SetString(L"szNew", CMyString(L"x"))) << "read-only key";
    CMyString name, text;
    while (reg.EnumValueName(count, name, &type))
        ++count;
    EXPECT_EQ(9u, count);
    EXPECT_FALSE(name.HasText()) << "failed enumeration empties the name";
    writer.SetKeyName(keyName);
    ASSERT_EQ(1, writer.Open(HKEY_LOCAL_MACHINE, 1));
    EXPECT_TRUE(writer.SetString(L"szNew", CMyString(L"written")) == 1 && reg.GetString(L"szNew", text) == 1);
    EXPECT_STREQ(L"written", text.c_str());
    reg.Close();
    EXPECT_EQ(0, reg.GetDword(L"dwNumber", number) + reg.GetString(L"szText", text));
    EXPECT_EQ(1, CRegHelp().Open(HKEY_LOCAL_MACHINE, 0)) << "no key name opens the root itself";
    missing.SetKeyName(L"SOFTWARE\\Tavrel\\TolvaneTests\\DoesNotExist");
    EXPECT_EQ(0, missing.Open(HKEY_LOCAL_MACHINE, 0));
}

TEST(GetInstallDir, ReadsTheClientsInstallFolder)
{
    auto read = [] {   // the folder read, or what a failed read leaves in the buffer
        wchar_t dir[kInstallDirChars] = L"stale";
        return GetInstallDir(dir) ? std::wstring(dir) : L"<failed: " + std::wstring(dir) + L">";
    };
    testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kClientRootKey);
    EXPECT_EQ(L"<failed: >", read());
    ScopedRegistryKey root(HKEY_LOCAL_MACHINE, kClientRootKey);
    root.SetString(L"szInstallDir", std::wstring(520, L'x'));
    EXPECT_EQ(std::wstring(520, L'x'), read());
    root.SetString(L"szInstallDir", std::wstring(521, L'x'));
    EXPECT_EQ(L"<failed: >", read()) << "521 characters and the terminator do not fit";
}
