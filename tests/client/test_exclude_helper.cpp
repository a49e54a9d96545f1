// CExcludeHelper through Tolvane.dll: items written into the registry, paths of real folders and files.
#include <gtest/gtest.h>

#include <tolvane.h>

#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"

namespace {

const wchar_t kScannerKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\ExcludeClientTest";
using Items = std::vector<std::wstring>;
using Cases = std::vector<std::pair<std::wstring, int>>;

const unsigned short* U(const wchar_t* text) { return reinterpret_cast<const unsigned short*>(text); }

Items Texts(unsigned short* const* array)   // of a null-terminated item array
{
    Items texts;
    for (; array && *array; ++array)
        texts.emplace_back(reinterpret_cast<const wchar_t*>(*array));
    return texts;
}

void ExpectExcluded(CExcludeHelper& helper, const Cases& cases)
{
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(expected, helper.IsExcluded(U(path.c_str()))) << testsupport::Narrow(path.substr(0, 200));
}

TEST(ExcludeHelper, ItemsOfTheKeyThenTheBuiltInOnes)
{
    CExcludeHelper helper;   // IsExcluded loads the built-in item when nothing is loaded
    EXPECT_EQ(nullptr, helper.GetExcludeItems());
    ExpectExcluded(helper, {{L"C:\\pagefile.sys", 1}, {L"C:\\Some\\Folder\\PAGEFILE.SYS", 1}, {L"pagefile.sys", 0}, {L"C:\\pagefile.sys.bak", 0}});
    EXPECT_EQ(Items{L"pagefile.sys"}, Texts(helper.GetExcludeItems()));
    for (const unsigned short* keyName : {U(nullptr), U(L"SOFTWARE\\Tavrel\\Orbisk\\NoSuchScanner")})   // the built-in item only
        EXPECT_EQ(Items{L"pagefile.sys"}, Texts(helper.GetExcludeItems(keyName)));
    const std::wstring exchangeKey = L"System\\CurrentControlSet\\Services\\MSExchangeIS";
    testsupport::ScopedRegistryKey exchangeRoot(HKEY_LOCAL_MACHINE, exchangeKey), exchange(HKEY_LOCAL_MACHINE, exchangeKey + L"\\ParametersSystem");
    exchange.SetString(L"Working Directory", L"D:\\Store\\mdbdata");
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    // In alphabetical order: the order of writing, whichever order the registry enumerates in.
    for (const auto& [name, text] : {std::pair{L"szExcl", L"too short"}, {L"szExclude", L"*.tmp;*.bak"}, {L"szExclude1", L"C:\\Temp"},
                                     {L"SzExclude2", L"case differs"}, {L"szExcludeBlank", L" C:\\Spaced "}})
        key.SetString(name, text);
    key.SetRaw(L"szExcludeNoData", REG_SZ, nullptr, 0);
    key.SetDword(L"szExcludeNumber", 7);
    unsigned short* const* array = helper.GetExcludeItems(U(kScannerKey));
    EXPECT_EQ((Items{L"*.tmp;*.bak", L"C:\\Temp", L" C:\\Spaced ", L"D:\\Store\\mdbdata", L"pagefile.sys"}), Texts(array));
    EXPECT_EQ(array, helper.GetExcludeItems());
    key.SetString(L"szExclude1", L"C:\\Second");   // a reload replaces the items
    EXPECT_EQ(L"C:\\Second", Texts(helper.GetExcludeItems(U(kScannerKey))).at(1));
    helper.Empty();
    EXPECT_EQ(nullptr, helper.GetExcludeItems());
}

// Paths of real folders and files, of drive roots and bad input, against items that name parts of the
// same folders, and items of ';' only. "." and ".." segments and stream names cannot widen an exclusion.
TEST(ExcludeHelper, PathsAgainstRegistryItems)
{
    testsupport::TempFolder root;
    for (const wchar_t* folder : {L"Plain\\sub", L"Deep\\sub", L"Other"})
        root.MakeFolder(folder);
    testsupport::WriteFileBytes(root.Join(L"Plain\\a.txt"), "a");
    const Items items = {root.Join(L"plain"), root.Join(L"Deep\\*"), L"*.bak;*.tmp", L"Q:\\", L";", L";;;",
                         L"C:\\Bad\xDC00", L"\xD800?.dat", L"C:\\Temp\\*", L"*.log"};   // "plain": the letter case differs from the disk
    testsupport::ScopedRegistryKey key(HKEY_LOCAL_MACHINE, kScannerKey);
    for (size_t i = 0; i < items.size(); ++i)
        key.SetString(L"szExclude" + std::to_wstring(i + 10), items[i]);   // in the order of their names
    CExcludeHelper helper;
    helper.GetExcludeItems(U(kScannerKey));
    ExpectExcluded(helper, {
        {root.Join(L"Plain\\a.txt"), 1},         // existing file directly in the folder
        {root.Join(L"Plain"), 1},                // the existing folder itself
        {root.Join(L"Plain\\sub"), 0},           // an existing subfolder is tested whole
        {root.Join(L"Deep\\sub"), 1}, {root.Join(L"Deep\\missing\\deeper\\a.txt"), 1}, {root.Join(L"Other\\x.TMP"), 1},
        {root.Join(L"Other\\"), 0},              // existing folder: tested whole, no name part
        {root.Join(L"Missing\\"), 1},            // missing folder: the empty name part matches
        {L"q:\\", 1}, {L"", 0}, {L"C:\\" + std::wstring(32767 - 3 - 4, L'a') + L".tmp", 1},
        {L"C:\\Bad\xDC00\\x.txt", 1}, {L"C:\\Good\\\xD800x.dat", 1},   // unpaired surrogates in the folder and the name
        {L"C:\\Temp\\..\\Windows\\System32\\evil.exe", 0}, {L"C:\\Temp\\sub/../..\\Windows\\evil.exe", 0},
        {L"C:\\Windows\\..\\Temp\\sub\\.\\a.exe", 1}, {L"C:\\Temp\\.\\evil.exe", 0},
        {L"C:\\Users\\x\\evil.exe:payload.log", 0}, {L"C:\\Users\\x\\data.log:meta", 1},
    });
    EXPECT_EQ(0, helper.IsExcluded(nullptr) + helper.IsExcluded(reinterpret_cast<const unsigned short*>(0x10)));   // unreadable
}

} // namespace
