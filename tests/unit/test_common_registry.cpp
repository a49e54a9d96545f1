// The registry readers of the library (typed reads of a key, checked strings, the install folder) on real values.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "common/ClientKeys.h"
#include "common/InstallDir.h"
#include "common/RegHelp.h"
#include "common/RegKey.h"

using testsupport::ScopedRegistryKey;

namespace {

const wchar_t kTestKey[] = L"SOFTWARE\\Tavrel\\TolvaneTests\\Registry";

} // namespace

// A test key with numbers of 0 to 4 and 8 bytes, strings with and without a terminator, of odd size,
// empty, longer than 520 characters and to be expanded.
class RegistryValues : public testing::Test {
protected:
    RegistryValues()
    {
        const unsigned char bytes[] = {0x34, 0x12, 0x56}, eight[8] = {1, 0, 0, 0, 1, 0, 0, 0};
        for (DWORD size = 0; size < 4; ++size)
            key.SetRaw(L"dw" + std::to_wstring(size), REG_DWORD, bytes, size);
        key.SetRaw(L"dwEight", REG_DWORD, eight, sizeof(eight));
        key.SetDword(L"dwNumber", 42);
        key.SetString(L"szText", L"hello");
        key.SetString(L"szExpand", L"%TEMP%\\x", REG_EXPAND_SZ);
        key.SetString(L"szLong", std::wstring(600, L'x'));
        const wchar_t unterminated[] = {L'a', L'b', L'!'};   // the platform would add a terminator that follows the data
        key.SetRaw(L"szRaw", REG_SZ, unterminated, 2 * sizeof(wchar_t));
        key.SetRaw(L"szEmpty", REG_SZ, L"", 0);
        key.SetRaw(L"szOdd", REG_SZ, "abc", 3);
    }
    ScopedRegistryKey key{HKEY_LOCAL_MACHINE, kTestKey};
};

// Numbers of fewer than four bytes read the bytes there; more than four do not fit the read.
// Strings are read without expansion, and data without a terminator still ends.
TEST_F(RegistryValues, CRegHelpTypedReadsAndWrites)
{
    CRegHelp reg, writer, missing;
    reg.SetKeyName(kTestKey);
    ASSERT_EQ(1, reg.Open(HKEY_LOCAL_MACHINE, 0));
    const struct { const wchar_t* name; int result; DWORD number; } numbers[] = {
        {L"dw0", 1, 0}, {L"dw1", 1, 0x34}, {L"dw2", 1, 0x1234}, {L"dw3", 1, 0x561234}, {L"dwEight", 0, 0}, {L"dwNumber", 1, 42}, {L"szText", 0, 0},
    };
    for (const auto& c : numbers) {
        DWORD number = 0xFFFFFFFF;
        EXPECT_EQ(c.result, reg.GetDword(c.name, number)) << testsupport::Narrow(c.name);
        EXPECT_EQ(c.number, number) << testsupport::Narrow(c.name);
    }
    const struct { const wchar_t* name; int result; const wchar_t* text; } strings[] = {
        {L"szText", 1, L"hello"}, {L"szExpand", 1, L"%TEMP%\\x"}, {L"szRaw", 1, L"ab"}, {L"szEmpty", 0, L"(none)"},
        {L"dwNumber", 0, L"(none)"}, {L"missing", 0, L"(none)"},
    };
    for (const auto& c : strings) {
        CMyString text(L"stale");
        EXPECT_EQ(c.result, reg.GetString(c.name, text)) << testsupport::Narrow(c.name);
        EXPECT_EQ(c.text, std::wstring(text.HasText() ? text.c_str() : L"(none)"));
    }
    EXPECT_EQ(0, reg.SetString(L"szNew", CMyString(L"x"))) << "read-only key";
    CMyString name, text;
    DWORD type = 0, number = 0, count = 0;
    while (reg.EnumValueName(count, name, &type))
        ++count;
    EXPECT_EQ(12u, count);
    EXPECT_FALSE(name.HasText()) << "failed enumeration empties the name";
    writer.SetKeyName(kTestKey);
    ASSERT_EQ(1, writer.Open(HKEY_LOCAL_MACHINE, 1));
    EXPECT_TRUE(writer.SetString(L"szNew", CMyString(L"written")) == 1 && reg.GetString(L"szNew", text) == 1);
    EXPECT_STREQ(L"written", text.c_str());
    reg.Close();
    EXPECT_EQ(0, reg.GetDword(L"dwNumber", number) + reg.GetString(L"szText", text));
    EXPECT_EQ(1, CRegHelp().Open(HKEY_LOCAL_MACHINE, 0)) << "no key name opens the root itself";
    missing.SetKeyName(L"SOFTWARE\\Tavrel\\TolvaneTests\\DoesNotExist");
    EXPECT_EQ(0, missing.Open(HKEY_LOCAL_MACHINE, 0));
}

TEST_F(RegistryValues, ReadRegStringResultsAndCounts)
{
    struct { const wchar_t* name; DWORD capacity; LONG result; DWORD count; const wchar_t* text; } cases[] = {
        {L"szLong", 521, ERROR_MORE_DATA, 0, nullptr}, {L"szLong", 601, ERROR_SUCCESS, 601, nullptr},
        {L"szText", 521, ERROR_SUCCESS, 6, L"hello"}, {L"missing", 521, ERROR_FILE_NOT_FOUND, 0, nullptr},
        {L"dwNumber", 521, ERROR_INVALID_DATA, 0, nullptr}, {L"szOdd", 521, ERROR_INVALID_DATA, 0, nullptr},
        {L"szRaw", 521, ERROR_INVALID_DATA, 0, nullptr}, {L"szEmpty", 521, ERROR_SUCCESS, 1, L""},
    };
    for (const auto& c : cases) {
        std::wstring buffer(c.capacity, L'?');
        DWORD count = c.capacity;
        EXPECT_EQ(c.result, ReadRegString(key.Handle(), c.name, &buffer[0], &count)) << c.name;
        EXPECT_TRUE(count == c.count && (!c.text || buffer.c_str() == std::wstring(c.text))) << c.name;
    }
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
    root.SetString(L"szInstallDir", L"C:\\Program Files\\Client\\");
    EXPECT_EQ(L"C:\\Program Files\\Client\\", read());
    root.SetString(L"szInstallDir", std::wstring(521, L'x'));
    EXPECT_EQ(L"<failed: >", read()) << "521 characters and the terminator do not fit";
    root.SetDword(L"szInstallDir", 5);
    EXPECT_EQ(L"<failed: >", read());
}
