// The language object (choice of the interface language, saved choice and its copies, installed languages, support
// mask) on real language folders, registry values and Languages.xml files; the lookup of the resource library QxRes_l.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestInstall.h"
#include "lang/LoadLang.h"
#include "lang/MUIHelper.h"

using testsupport::ModuleFolder;
using testsupport::TestInstall;

namespace {

using HelperPtr = std::unique_ptr<IMUIHelper, void (*)(IMUIHelper*)>;
HelperPtr MakeHelper() { return HelperPtr(CMUIHelperFactory::CreateInstance(), [](IMUIHelper* h) { h->Release(); }); }

std::string Bytes(unsigned long long number, size_t count) { return std::string(reinterpret_cast<const char*>(&number), count); }
std::string WideBytes(const std::wstring& s) { return std::string(reinterpret_cast<const char*>(s.c_str()), (s.size() + 1) * 2); }

// The saved value, the hosted scanner's copy and the web safety's copy as stored: type (0: missing) and bytes.
using RegValue = std::pair<DWORD, std::string>;
using Values = std::vector<RegValue>;
Values Stored()
{
    Values values;
    for (const auto& [key, name] : {std::pair{kAgentKey, kSavedLcidValue}, {kHostedScannerLanguageKey, kHostedScannerLanguageValue},
                                    {kWebSafetyLanguageKey, kWebSafetyLanguageValue}}) {
        DWORD type = 0, size = 256;
        char data[256];
        const bool read = RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) == ERROR_SUCCESS;
        values.push_back(read ? RegValue(type, std::string(data, size)) : RegValue());
    }
    return values;
}

// A component key below the install's machine key (removed with it).
void InstallComponent(const wchar_t* key) { RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, nullptr, REG_SZ, L"", sizeof(wchar_t)); }

const wchar_t kLibrary[] = L"QxRes_l.dll";

void Place(const wchar_t* built, const std::wstring& path)   // a copy this build makes below bin\qxres
{
    ASSERT_TRUE(testsupport::CopyBuilt(L"qxres\\" + std::wstring(built) + L"\\" + kLibrary, path));
}

struct ModuleResFolder {   // the Res folder beside the test program, removed before and after the test
    ModuleResFolder() { testsupport::RemoveTree(ModuleFolder() + L"\\Res"); }
    ~ModuleResFolder() { testsupport::RemoveTree(ModuleFolder() + L"\\Res"); }
};

std::wstring Found(HMODULE module = nullptr)
{
    wchar_t path[kResourcePathChars] = L"stale";
    return FindResourceLibrary(kLibrary, path, kResourcePathChars, module) == 1 ? path : L"<not found: " + std::wstring(path) + L">";
}

} // namespace

TEST(CMUIHelper, ChoiceOfTheInterfaceLanguage)
{
    // The saved value: its type (0: none) and bytes, and whether it counts as a saved language.
    const struct { const char* what; std::vector<std::wstring> installed; LANGID user, system; DWORD savedType;
                   std::string saved; bool savedCounts; LCID expected; } cases[] = {
        {"Spanish variant to 040a", {L"040a"}, 0x0c0a, 0x0409, 0, "", false, 0x040a},
        {"user language itself first", {L"040a", L"0c0a", L"0409"}, 0x0c0a, 0x0409, 0, "", false, 0x0c0a},
        {"system language when neither the user's nor its base is installed", {L"0407"}, 0x080a, 0x0407, 0, "", false, 0x0407},
        {"saved language is not compared with the installed ones", {L"0409"}, 0x0409, 0x0409, REG_DWORD, Bytes(0x0407, 4), true, 0x0407},
        {"saved string", {L"0409"}, 0x0409, 0x0409, REG_SZ, WideBytes(L"0407"), false, 0x0409},
        {"saved REG_DWORD of 2 bytes", {L"0409"}, 0x0409, 0x0409, REG_DWORD, Bytes(0x0407, 2), false, 0x0409},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestInstall install;
        for (const std::wstring& id : c.installed)
            install.InstallLanguage(id);
        if (c.savedType)
            install.user.SetRaw(kSavedLcidValue, c.savedType, c.saved.data(), static_cast<DWORD>(c.saved.size()));
        HelperPtr helper = MakeHelper();
        LCID lcid = 0xdead;
        EXPECT_EQ(c.savedCounts ? 1 : 0, helper->GetSavedLCID(lcid));
        EXPECT_EQ(c.savedCounts ? c.expected : 0xdeadu, lcid);
        EXPECT_EQ(c.expected, static_cast<CMUIHelper*>(helper.get())->ChooseUILCID(c.user, c.system));
    }
}

TEST(CMUIHelper, InterfaceLanguageNamesAndInstalledLanguagesOnThisPlatform)
{
    TestInstall install;   // Wine reports 0409 as the system UI language here
    HelperPtr helper = MakeHelper();
    std::wstring saved[3];
    LANGID language = 0;
    std::vector<LANGID> installed;
    std::vector<std::wstring> languages{L"kept"};
    install.InstallLanguage(L"0407");
    EXPECT_EQ(0, helper->GetSavedLanguage(language) + helper->GetSavedLanguageString(saved[0]) + helper->GetSavedLCIDString(saved[1]) +
                     helper->GetSavedLanguageAbbrev(saved[2]));
    install.user.SetDword(kSavedLcidValue, 0x10407);
    EXPECT_EQ(4, helper->GetSavedLanguage(language) + helper->GetSavedLanguageString(saved[0]) + helper->GetSavedLCIDString(saved[1]) +
                     helper->GetSavedLanguageAbbrev(saved[2]));
    EXPECT_EQ(L"0407 00010407 DEU 0407 00010407 DEU 1031", helper->GetUILanguageString() + L" " + helper->GetUILCIDString() + L" " +
                  helper->GetUILanguageAbbrev() + L" " + saved[0] + L" " + saved[1] + L" " + saved[2] + L" " + std::to_wstring(language));
    EXPECT_EQ(L"DEU German ENU 0409 ", helper->GetLanguageAbbrev(0x0407) + L" " + helper->GetEnglishLanguageName(0x0407) + L" " +
                                           helper->GetSystemLanguageAbbrev() + L" " + helper->GetSystemUILanguageString() + L" " +
                                           helper->GetLanguageAbbrev(0x0abc));
    EXPECT_EQ(1, helper->GetSystemUILanguages(languages));
    EXPECT_TRUE(languages.at(0) == L"kept" && std::find(languages.begin() + 1, languages.end(), L"0409") != languages.end());
    // The installed languages: the folders below Agent\Res named by a number.
    for (const wchar_t* id : {L"0409", L"0c0a", L"abc", L"xyz"})
        install.InstallLanguage(id);
    testsupport::WriteFileBytes(install.folder.Join(L"Agent\\Res\\0411"), "a file, not a folder");
    std::multiset<LANGID> expected = {0x0407, 0x0409, 0x0c0a, 0x0409 /* xyz */};
    if (IsValidLocale(0x0abc, LCID_SUPPORTED))
        expected.insert(0x0abc);
    EXPECT_EQ(1, helper->GetInstalledLanguages(&installed));
    EXPECT_EQ(expected, std::multiset<LANGID>(installed.begin(), installed.end()));
    // A file of that name counts; 0abc is listed, but the folder is abc.
    EXPECT_EQ(L"100", std::to_wstring(helper->IsLanguageInstalled(0x0411)) + std::to_wstring(helper->IsLanguageInstalled(0x0abc)) +
                          std::to_wstring(helper->IsLanguageInstalled(0x040c)));
    install.root.DeleteValue(L"szInstallDir");
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x0407) + helper->GetInstalledLanguages(&installed)) << "no install folder";
}

TEST(CMUIHelper, SaveLCIDAndClearSavedLCIDWriteAndRemoveTheChoiceAndItsCopies)
{
    // The copies: written when their component is installed (null: it is not).
    const struct { LCID lcid; const wchar_t* preferredLanguage; const wchar_t* languageOverride; } cases[] = {
        {0x0c0a, L"0a03", L"0x0c0a"}, {0x0804, L"0402", nullptr}, {0x0411, nullptr, L"0x0411"}, {0x10407, L"0701", L"0x0407"},
        {0x0407, nullptr, nullptr},
    };
    auto text = [](const wchar_t* value) { return value ? RegValue(REG_SZ, WideBytes(value)) : RegValue(); };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.lcid);
        TestInstall install;
        testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kAgentKey);   // created by SaveLCID
        if (c.preferredLanguage)
            InstallComponent(kHostedScannerComponentKey);
        if (c.languageOverride)
            InstallComponent(kWebSafetyComponentKey);
        install.webSafety.SetString(kWebSafetyLanguageValue, L"old");   // stays when its component is not installed
        const RegValue webSafety = text(c.languageOverride ? c.languageOverride : L"old");
        HelperPtr helper = MakeHelper();
        ASSERT_EQ(1, helper->SaveLCID(c.lcid));
        EXPECT_EQ((Values{RegValue(REG_DWORD, Bytes(c.lcid, 4)), text(c.preferredLanguage), webSafety}), Stored());
        EXPECT_EQ(c.lcid, helper->GetUILCID()) << "the saved choice decides alone";
        EXPECT_EQ(1, helper->ClearSavedLCID());
        EXPECT_EQ((Values{RegValue(), RegValue(), c.languageOverride ? RegValue() : webSafety}), Stored());
    }
    TestInstall install;
    InstallComponent(kHostedScannerComponentKey);
    HelperPtr helper = MakeHelper();
    ASSERT_EQ(1, helper->SaveLCID(0x0407));
    install.user.SetString(kSavedLcidValue, L"0407");
    EXPECT_EQ(1, helper->ClearSavedLCID());
    EXPECT_EQ((Values{RegValue(REG_SZ, WideBytes(L"0407")), text(L"0701"), RegValue()}), Stored()) << "another type is no saved language";
    testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kAgentKey);
    EXPECT_EQ(0, helper->ClearSavedLCID()) << "no key to open";
}

TEST(CMUIHelper, IsLanguageSupported)
{
    auto entry = [](const char* id, const char* bit) {
        return std::string("<Language name=\"x\" abbrev=\"X\" culture=\"x-X\" id=\"") + id + "\" bit=\"" + bit + "\"/>\r\n";
    };
    // The key is compared ignoring case; entries without a fourth or fifth attribute are passed over.
    const std::string sample = "<Languages>\r\n<Language a=\"1\" b=\"2\" id=\"0407\"/>\r\n<Language a=\"1\" b=\"2\" c=\"3\" id=\"0407\"/>\r\n" +
                               entry("0409", "0") + entry("0407", "8") + entry("040C", " +4") + entry("0412", "-2") + "</Languages>\r\n";
    enum Where { AgentList, RootList, NoList };
    // Installed: 0409 and 0416 (not listed). Registry mask null: no value. Caller's folder "*": the install folder;
    // "#n": a real folder of n characters holding the list.
    const struct { const char* what; std::string list; Where where; const wchar_t* registryMask; std::wstring callerFolder,
                   callerMask; LANGID language; BOOL expected; bool registered; } cases[] = {
        {"odd length gets a leading 0: 100 sets bit 8", sample, AgentList, L"100", L"", L"", 0x0407, 1, true},
        {"bit beyond the mask", sample, AgentList, L"ff", L"", L"", 0x0407, 0, true},
        {"negative bit", sample, AgentList, L"ffff", L"", L"", 0x0412, 0, true},
        {"non-hexadecimal pair gives 0", sample, AgentList, L"z1", L"", L"", 0x0409, 0, true},
        {"caller's mask when the registry has none", sample, AgentList, nullptr, L"", L"10", 0x040c, 1, true},
        {"no mask at all: installed", sample, AgentList, nullptr, L"", L"", 0x0409, 1, true},
        {"not listed: installed", sample, AgentList, L"00", L"", L"", 0x0416, 1, true},
        {"not listed: not installed", sample, AgentList, L"ff", L"", L"", 0x0419, 0, true},
        {"no list: not installed", "", NoList, L"ff", L"", L"", 0x0407, 0, true},
        {"empty list", "", AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"caller's folder ignored for the base, not for the name", sample, RootList, L"00", L"C:\\elsewhere", L"", 0x0409, 0, true},
        {"caller's folder when the registry has none", sample, RootList, L"01", L"*", L"", 0x0409, 1, false},
        {"caller's folder of 259 characters", sample, RootList, L"01", L"#259", L"", 0x0409, 1, false},
        {"caller's folder too long", sample, RootList, L"01", L"#260", L"", 0x0409, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestInstall install(c.registered);
        for (const wchar_t* id : {L"0409", L"0416"})
            install.InstallLanguage(id);
        std::wstring callerFolder = c.callerFolder == L"*" ? install.Path() : c.callerFolder, rootFolder = install.Path();
        if (callerFolder[0] == L'#') {   // one folder level (of under 255 characters) below the install
            rootFolder = callerFolder = install.Path() + L"\\" + std::wstring(std::stoul(callerFolder.substr(1)) - install.Path().size() - 1, L'f');
            CreateDirectoryW(callerFolder.c_str(), nullptr);
        }
        if (c.where != NoList)
            testsupport::WriteFileBytes(c.where == RootList ? rootFolder + L"\\Languages.xml" : install.folder.Join(L"Agent\\Languages.xml"), c.list);
        if (c.registryMask)   // below the install's machine key
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, kAgentKey, kSupportMaskValue, REG_SZ, c.registryMask, (wcslen(c.registryMask) + 1) * 2);
        EXPECT_EQ(c.expected, MakeHelper()->IsLanguageSupported(c.language, callerFolder, c.callerMask));
    }
}

TEST(LoadResourceLibrary, SearchOrderAndEveryPlace)
{
    // Every place is searched, and before the later ones: the first of the candidates from there on is found.
    for (size_t first = 0; first < 12; ++first) {
        SCOPED_TRACE(testing::Message() << "candidate " << first);
        ModuleResFolder moduleRes;
        TestInstall install;
        install.user.SetDword(kSavedLcidValue, 0x0411);
        // In search order: the program's folder, then the install sub-folders; each neutral, then 0411.
        std::vector<std::wstring> candidates;
        for (const wchar_t* folder : {L"", L"\\Agent", L"\\Kelmo", L"\\Firewall", L"\\BrowseProtection", L"\\Shared"})
            for (const wchar_t* sub : {L"\\Res\\", L"\\Res\\0411\\"})
                candidates.push_back((*folder ? install.Path() + folder : ModuleFolder()) + sub + kLibrary);
        for (size_t i = first; i < candidates.size(); ++i)
            Place(L"0409", candidates[i]);
        EXPECT_EQ(candidates[first], Found());
    }
}

TEST(LoadResourceLibrary, InstallFolderModuleArgumentAndBadInput)
{
    ModuleResFolder moduleRes;
    TestInstall install(false);
    const std::wstring agentCopy = install.Path() + L"\\Agent\\Res\\QxRes_l.dll";
    Place(L"0409", agentCopy);
    EXPECT_EQ(L"<not found: >", Found()) << "no install folder in the registry";
    const std::wstring followed = install.Path() + L"!";   // a terminator behind the data would be stored with it
    install.root.SetRaw(L"szInstallDir", REG_EXPAND_SZ, followed.c_str(), static_cast<DWORD>(install.Path().size() * 2));
    EXPECT_EQ(agentCopy, Found()) << "any type, no terminator stored";
    wchar_t small[10], path[kResourcePathChars] = L"stale";
    ASSERT_EQ(1, FindResourceLibrary(kLibrary, small, 10, nullptr));
    EXPECT_EQ(install.Path().substr(0, 9), std::wstring(small)) << "copied as far as it fits";
    EXPECT_EQ(0, FindResourceLibrary(nullptr, path, kResourcePathChars, nullptr));
    EXPECT_EQ(L"", std::wstring(path));
    testsupport::RemoveTree(install.Path() + L"\\Agent");
    install.folder.MakeFolder(L"Agent\\Res\\QxRes_l.dll");
    Place(L"0409", install.Path() + L"\\Shared\\Res\\QxRes_l.dll");
    EXPECT_EQ(agentCopy, Found()) << "a folder of that name stops the search";
    // The folder of the module given, not the program's.
    const std::wstring host = install.folder.MakeFolder(L"Host");
    Place(L"0c0a", host + L"\\Host.dll");
    Place(L"0407", host + L"\\Res\\QxRes_l.dll");
    HMODULE loadedHost = LoadLibraryExW((host + L"\\Host.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, loadedHost);
    EXPECT_EQ(host + L"\\Res\\QxRes_l.dll", Found(loadedHost));
    HMODULE library = LoadResourceLibrary(kLibrary, loadedHost);
    wchar_t text[100] = L"<not loaded>";
    EXPECT_TRUE(library && LoadStringW(library, 705, text, 100) > 0);
    EXPECT_STREQ(L"Bereinigt", text) << "string 705 of the library found for the module";
    FreeLibrary(library);
    FreeLibrary(loadedHost);
}
