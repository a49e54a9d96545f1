// CExcludeHelper through Tolvane.dll: items written into the registry, paths
// of real folders and files on disk.

#include <gtest/gtest.h>

#include <tolvane.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

const wchar_t kScannerKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\ExcludeClientTest";
const wchar_t kExchangeKey[] = L"System\\CurrentControlSet\\Services\\MSExchangeIS";
const wchar_t kExchangeParametersKey[] =
    L"System\\CurrentControlSet\\Services\\MSExchangeIS\\ParametersSystem";

const unsigned short* U(const wchar_t* text)
{
    return reinterpret_cast<const unsigned short*>(text);
}

const unsigned short* U(const std::wstring& text)
{
    return U(text.c_str());
}

// The texts of a null-terminated item array.
std::vector<std::wstring> Texts(unsigned short* const* array)
{
    std::vector<std::wstring> texts;
    if (!array)
        return texts;
    for (; *array; ++array)
        texts.emplace_back(reinterpret_cast<const wchar_t*>(*array));
    return texts;
}

using Items = std::vector<std::wstring>;

TEST(ExcludeHelper, ItemsOfTheKeyThenTheBuiltInOnes)
{
    testsupport::ScopedRegistryKey exchangeRoot(HKEY_LOCAL_MACHINE, kExchangeKey);
    testsupport::ScopedRegistryKey exchange(HKEY_LOCAL_MACHINE, kExchangeParametersKey);
    exchange.SetString(L"Working Directory", L"D:\\Store\\mdbdata");
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    // Written in alphabetical order, so that the registry's enumeration
    // order is the order of writing, whichever of the two it follows.
    key.SetString(L"other", L"not an item");
    key.SetString(L"szExcl", L"too short");
    key.SetString(L"szExclude", L"*.tmp;*.bak");
    key.SetString(L"szExclude1", L"C:\\Temp");
    key.SetString(L"SzExclude2", L"case differs");
    key.SetString(L"szExcludeBlank", L" C:\\Spaced ");
    key.SetString(L"szExcludeExpand", L"%TEMP%\\x ", REG_EXPAND_SZ);
    key.SetRaw(L"szExcludeNoData", REG_SZ, nullptr, 0);
    key.SetDword(L"szExcludeNumber", 7);

    CExcludeHelper helper;
    EXPECT_EQ(nullptr, helper.GetExcludeItems());
    unsigned short* const* array = helper.GetExcludeItems(U(kScannerKey));
    const Items expected = {L"*.tmp;*.bak", L"C:\\Temp", L" C:\\Spaced ", L"%TEMP%\\x ",
                            L"D:\\Store\\mdbdata", L"pagefile.sys"};
    EXPECT_EQ(expected, Texts(array));
    EXPECT_EQ(array, helper.GetExcludeItems());

    // The Exchange working folder is a plain folder item.
    EXPECT_EQ(1, helper.IsExcluded(U(L"D:\\Store\\mdbdata\\priv1.edb")));
    EXPECT_EQ(0, helper.IsExcluded(U(L"D:\\Store\\mdbdata\\sub\\priv1.edb")));

    helper.Empty();
    EXPECT_EQ(nullptr, helper.GetExcludeItems());
}

TEST(ExcludeHelper, KeyNamesThatOpenNothingOfTheirOwn)
{
    const std::wstring longName(32767, L'k');
    const struct {
        const char* what;
        const unsigned short* keyName;
    } cases[] = {
        {"null key name (the root)", nullptr},
        {"empty key name (the root)", U(L"")},
        {"missing key", U(L"SOFTWARE\\Tavrel\\Orbisk\\NoSuchScanner")},
        {"32767-character key name", U(longName)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CExcludeHelper helper;
        EXPECT_EQ(Items{L"pagefile.sys"}, Texts(helper.GetExcludeItems(c.keyName)));
    }
}

TEST(ExcludeHelper, ReloadReplacesTheItems)
{
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    key.SetString(L"szExclude1", L"C:\\First");
    CExcludeHelper helper;
    EXPECT_EQ((Items{L"C:\\First", L"pagefile.sys"}), Texts(helper.GetExcludeItems(U(kScannerKey))));
    key.SetString(L"szExclude1", L"C:\\Second");
    EXPECT_EQ((Items{L"C:\\Second", L"pagefile.sys"}), Texts(helper.GetExcludeItems(U(kScannerKey))));
    EXPECT_EQ(1, helper.IsExcluded(U(L"C:\\Second\\a.txt")));
    EXPECT_EQ(0, helper.IsExcluded(U(L"C:\\First\\a.txt")));
}

TEST(ExcludeHelper, BuiltInItemsWithoutAPriorLoad)
{
    CExcludeHelper helper;
    EXPECT_EQ(1, helper.IsExcluded(U(L"C:\\pagefile.sys")));
    EXPECT_EQ(1, helper.IsExcluded(U(L"C:\\Some\\Folder\\PAGEFILE.SYS")));
    EXPECT_EQ(0, helper.IsExcluded(U(L"pagefile.sys")));   // neither a folder nor a name part
    EXPECT_EQ(0, helper.IsExcluded(U(L"C:\\pagefile.sys.bak")));
    EXPECT_EQ((Items{L"pagefile.sys"}), Texts(helper.GetExcludeItems()));
}

// Paths relative to a test folder, answered against items that name parts
// of the same folder. Folders marked existing are created on disk.
TEST(ExcludeHelper, PathsOnDiskAgainstRegistryItems)
{
    testsupport::TempFolder root;
    for (const wchar_t* folder : {L"Plain", L"Plain\\sub", L"Deep", L"Deep\\sub", L"Other"})
        root.MakeFolder(folder);
    testsupport::WriteFileBytes(root.Join(L"Plain\\a.txt"), "a");

    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    key.SetString(L"szExclude1", root.Join(L"plain"));   // letter case differs from the disk
    key.SetString(L"szExclude2", root.Join(L"Deep\\*"));
    key.SetString(L"szExclude3", L"*.tmp;*.bak");
    key.SetString(L"szExclude4", L"Q:\\");

    CExcludeHelper helper;
    helper.GetExcludeItems(U(kScannerKey));

    const struct {
        std::wstring path;
        int expected;
    } cases[] = {
        {root.Join(L"Plain\\a.txt"), 1},         // existing file directly in the folder
        {root.Join(L"Plain\\missing.txt"), 1},   // missing file directly in the folder
        {root.Join(L"Plain"), 1},                // the existing folder itself
        {root.Join(L"Plain\\sub"), 0},           // an existing subfolder is tested whole
        {root.Join(L"Plain\\sub\\a.txt"), 0},
        {root.Join(L"Deep\\a.txt"), 0},
        {root.Join(L"Deep"), 0},
        {root.Join(L"Deep\\sub"), 1},
        {root.Join(L"Deep\\sub\\a.txt"), 1},
        {root.Join(L"Deep\\missing\\deeper\\a.txt"), 1},
        {root.Join(L"Other\\x.TMP"), 1},
        {root.Join(L"Other\\x.tmp.txt"), 0},
        {root.Join(L"Other\\.bak"), 0},
        {root.Join(L"Other\\x.txt"), 0},
        {root.Join(L"Other\\"), 0},              // existing folder: tested whole, no name part
        {root.Join(L"Missing\\"), 1},            // missing folder: the empty name part matches
        {root.Join(L"Missing"), 0},
        {L"Q:\\", 1},                            // unreadable drive root, tested whole
        {L"q:\\", 1},
        {L"Q:", 0},
        {L"Q:\\file.txt", 0},                    // folder part "Q:" differs from "Q:\"
        {L"C:\\", 0},                            // existing drive root, tested whole
        {L"C:\\pagefile.sys", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.path));
        EXPECT_EQ(c.expected, helper.IsExcluded(U(c.path)));
    }
}

TEST(ExcludeHelper, BadPathsAndItemsAnswerWithoutFailing)
{
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    key.SetString(L"szExclude1", L";");
    key.SetString(L"szExclude2", L";;;");
    key.SetString(L"szExclude3", L"*.tmp");
    key.SetString(L"szExclude4", L"C:\\Bad\xDC00");
    key.SetString(L"szExclude5", L"\xD800?.bak");

    CExcludeHelper helper;
    EXPECT_EQ((Items{L";", L";;;", L"*.tmp", L"C:\\Bad\xDC00", L"\xD800?.bak", L"pagefile.sys"}),
              Texts(helper.GetExcludeItems(U(kScannerKey))));

    const std::wstring longPath = L"C:\\" + std::wstring(32767 - 3 - 4, L'a') + L".tmp";
    const std::wstring longFolderPath = L"C:\\" + std::wstring(32767 - 3, L'b');
    const struct {
        const char* what;
        const unsigned short* path;
        int expected;
    } cases[] = {
        {"null path", nullptr, 0},
        {"empty path", U(L""), 0},
        {"unreadable pointer", reinterpret_cast<const unsigned short*>(0x10), 0},
        {"separator only: the current drive's root, tested whole", U(L"\\"), 0},
        {"32767 characters, excluded extension", U(longPath), 1},
        {"32767 characters, no extension", U(longFolderPath), 0},
        {"unpaired surrogate in the folder", U(L"C:\\Bad\xDC00\\x.txt"), 1},
        {"unpaired surrogate in the name", U(L"C:\\Good\\\xD800x.bak"), 1},
        {"'?' at a dot matches nothing", U(L"C:\\Good\\\xD800.bak"), 1},
        {"lone low surrogate as the name", U(L"C:\\Good\\\xDC00"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, helper.IsExcluded(c.path));
    }
}

TEST(ExcludeHelper, StarItemExcludesEveryPathWithAFolder)
{
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    key.SetString(L"szExclude", L"*");
    CExcludeHelper helper;
    EXPECT_EQ((Items{L"*", L"pagefile.sys"}), Texts(helper.GetExcludeItems(U(kScannerKey))));
    EXPECT_EQ(1, helper.IsExcluded(U(L"C:\\Windows\\notepad.exe")));
    EXPECT_EQ(1, helper.IsExcluded(U(L"C:\\")));
    EXPECT_EQ(0, helper.IsExcluded(U(L"notepad.exe")));
}

} // namespace
