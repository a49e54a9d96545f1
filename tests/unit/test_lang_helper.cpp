// The language object: choice of the interface language through the registry and real language folders,
// the saved choice and its copies, the installed languages and the support mask with real Languages.xml files.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "lang/MUIHelper.h"
#include "lang_test_install.h"

using namespace langtest;

namespace {

std::string Bytes(unsigned long long number, size_t count) { return std::string(reinterpret_cast<const char*>(&number), count); }

void CreateMachineKey(const wchar_t* path)   // removed with the TempInstall
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
}

// The saved value, the hosted scanner's copy and the web safety's copy as stored.
std::vector<RegValue> Stored()
{
    return {ReadValue(HKEY_CURRENT_USER, kAgentKey, kSavedLcidValue),
            ReadValue(HKEY_CURRENT_USER, kHostedScannerLanguageKey, kHostedScannerLanguageValue),
            ReadValue(HKEY_CURRENT_USER, kWebSafetyLanguageKey, kWebSafetyLanguageValue)};
}

} // namespace

TEST(CMUIHelper, ChoiceOfTheInterfaceLanguage)
{
    // The saved value: its type (0: none) and bytes, and whether it counts as a saved language.
    const struct { const char* what; std::vector<std::wstring> installed; LANGID user, system; DWORD savedType;
                   std::string saved; bool savedCounts; LCID expected; } cases[] = {
        {"user language installed", {L"0409", L"0411"}, 0x0411, 0x0409, 0, "", false, 0x0411},
        {"user variant through its base language", {L"0409"}, 0x0c09, 0x0c09, 0, "", false, 0x0409},
        {"Spanish variant to 040a", {L"040a"}, 0x0c0a, 0x0409, 0, "", false, 0x040a},
        {"variant installed itself wins", {L"040a", L"0c0a"}, 0x0c0a, 0x0409, 0, "", false, 0x0c0a},
        {"system language when the user's is missing", {L"0407"}, 0x0416, 0x0407, 0, "", false, 0x0407},
        {"system variant through its base language", {L"0407"}, 0x0416, 0x0807, 0, "", false, 0x0407},
        {"nothing fits: English", {L"0407"}, 0x0416, 0x0416, 0, "", false, 0x0409},
        {"nothing installed: English", {}, 0x0411, 0x0407, 0, "", false, 0x0409},
        {"saved language is not compared with the installed ones", {L"0409"}, 0x0409, 0x0409, REG_DWORD, Bytes(0x0407, 4), true, 0x0407},
        {"saved LCID with a sort identifier is kept whole", {L"0409"}, 0x0409, 0x0409, REG_DWORD, Bytes(0x10407, 4), true, 0x10407},
        {"saved string", {L"0409"}, 0x0409, 0x0409, REG_SZ, WideBytes(L"0407"), false, 0x0409},
        {"saved REG_DWORD of 8 bytes", {L"0409"}, 0x0409, 0x0409, REG_DWORD, Bytes(0x0407, 8), false, 0x0409},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempInstall install;
        for (const std::wstring& id : c.installed)
            install.InstallLanguage(id);
        if (c.savedType)
            install.user.SetRaw(kSavedLcidValue, c.savedType, c.saved.data(), static_cast<DWORD>(c.saved.size()));
        HelperPtr helper = MakeHelper();
        EXPECT_EQ(c.expected, static_cast<CMUIHelper*>(helper.get())->ChooseUILCID(c.user, c.system));
        LCID lcid = 0xdead;
        EXPECT_EQ(c.savedCounts ? 1 : 0, helper->GetSavedLCID(lcid));
        EXPECT_EQ(c.savedCounts ? c.expected : 0xdeadu, lcid);
    }
}

TEST(CMUIHelper, InterfaceLanguageNamesAndInstalledLanguagesOnThisPlatform)
{
    // Wine reports 0409 as the user and system UI language: not installed, no base language, English all the same.
    TempInstall install;
    HelperPtr helper = MakeHelper();
    std::vector<LANGID> installed;
    EXPECT_EQ(0, helper->GetInstalledLanguages(&installed)) << "no Res folder";
    install.InstallLanguage(L"0407");
    EXPECT_EQ(0x0409u, helper->GetUILCID());
    std::wstring saved[3];
    LANGID language = 0;
    EXPECT_EQ(0, helper->GetSavedLanguage(language) + helper->GetSavedLanguageString(saved[0]) +
                     helper->GetSavedLCIDString(saved[1]) + helper->GetSavedLanguageAbbrev(saved[2]));
    install.user.SetDword(kSavedLcidValue, 0x10407);
    EXPECT_EQ(0x10407u, helper->GetUILCID());
    EXPECT_EQ(L"0407 00010407 DEU",
              helper->GetUILanguageString() + L" " + helper->GetUILCIDString() + L" " + helper->GetUILanguageAbbrev());
    EXPECT_EQ(3, helper->GetSavedLanguageString(saved[0]) + helper->GetSavedLCIDString(saved[1]) +
                     helper->GetSavedLanguageAbbrev(saved[2]));
    EXPECT_EQ(L"0407 00010407 DEU", saved[0] + L" " + saved[1] + L" " + saved[2]);
    testsupport::ScopedRegistryKey machineAgent(HKEY_LOCAL_MACHINE, kAgentKey);
    machineAgent.SetDword(kSavedLcidValue, 0x040c);
    LCID lcid = 0;
    EXPECT_EQ(1, helper->GetSavedLCIDUnder(lcid, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(0x040cu, lcid);
    EXPECT_EQ(L"DEU German ENU 0409 ", helper->GetLanguageAbbrev(0x0407) + L" " + helper->GetEnglishLanguageName(0x0407) + L" " +
                                           helper->GetSystemLanguageAbbrev() + L" " + helper->GetSystemUILanguageString() + L" " +
                                           helper->GetLanguageAbbrev(0x0abc));
    std::vector<std::wstring> languages{L"kept"};
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
    int calls = 0;
    EXPECT_EQ(1, helper->EnumInstalledLanguages([](LANGID, void* calls) -> BOOL { return ++*static_cast<int*>(calls) == 0; }, &calls));
    EXPECT_EQ(1, calls) << "stops when told";
    EXPECT_EQ(1, helper->IsLanguageInstalled(0x0411)) << "a file of that name counts";
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x0abc)) << "listed as 0abc, but the folder is abc";
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x040c));
    install.machine.SetString(L"szInstallDir", install.Path() + L"\\");
    EXPECT_EQ(1, helper->IsLanguageInstalled(0x0407)) << "install folder with a trailing backslash";
    install.machine.DeleteValue(L"szInstallDir");
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x0407) + helper->GetInstalledLanguages(&installed)) << "no install folder";
}

TEST(CMUIHelper, SaveLCIDAndClearSavedLCIDWriteAndRemoveTheChoiceAndItsCopies)
{
    // The copies: written when their component is installed (null: it is not).
    const struct { LCID lcid; const wchar_t* preferredLanguage; const wchar_t* languageOverride; } cases[] = {
        {0x0c0a, L"0a03", L"0x0c0a"}, {0x0409, L"0901", L"0x0409"}, {0x0804, L"0402", nullptr},
        {0x0411, nullptr, L"0x0411"}, {0x10407, L"0701", L"0x0407"}, {0x0407, nullptr, nullptr},
    };
    auto text = [](const wchar_t* value) { return value ? RegValue(REG_SZ, WideBytes(value)) : RegValue(); };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.lcid);
        TempInstall install;
        testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kAgentKey);   // created by SaveLCID
        if (c.preferredLanguage)
            CreateMachineKey(kHostedScannerComponentKey);
        if (c.languageOverride)
            CreateMachineKey(kWebSafetyComponentKey);
        HelperPtr helper = MakeHelper();
        ASSERT_EQ(1, helper->SaveLCID(c.lcid));
        EXPECT_EQ((std::vector<RegValue>{RegValue(REG_DWORD, Bytes(c.lcid, 4)), text(c.preferredLanguage),
                                         text(c.languageOverride)}), Stored());
        EXPECT_EQ(c.lcid, helper->GetUILCID()) << "the saved choice decides alone";
        EXPECT_EQ(1, helper->ClearSavedLCID());
        EXPECT_EQ(std::vector<RegValue>(3), Stored());
        EXPECT_EQ(1, helper->ClearSavedLCID()) << "nothing saved";
    }
    TempInstall install;
    CreateMachineKey(kHostedScannerComponentKey);
    HelperPtr helper = MakeHelper();
    install.webSafety.SetString(kWebSafetyLanguageValue, L"0x0407");
    ASSERT_EQ(1, helper->SaveLCID(0x0407));
    EXPECT_EQ(1, helper->ClearSavedLCID());
    EXPECT_EQ(text(L"0x0407"), Stored()[2]) << "a copy stays when its component is not installed";
    ASSERT_EQ(1, helper->SaveLCID(0x0407));
    install.user.SetString(kSavedLcidValue, L"0407");
    EXPECT_EQ(1, helper->ClearSavedLCID());
    EXPECT_EQ((std::vector<RegValue>{RegValue(REG_SZ, WideBytes(L"0407")), text(L"0701"), text(L"0x0407")}), Stored())
        << "a saved value of another type is no saved language: left alone";
    testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kAgentKey);
    EXPECT_EQ(0, helper->ClearSavedLCID()) << "no key to open";
}

TEST(CMUIHelper, IsLanguageSupported)
{
    auto entry = [](const char* id, const char* bit) {
        return std::string("<Language name=\"x\" abbrev=\"X\" culture=\"x-X\" id=\"") + id + "\" bit=\"" + bit + "\"/>\r\n";
    };
    // The key is compared ignoring case, the bit read with blanks and sign up to the first other character.
    const std::string sample = "<Languages>\r\n" + entry("0409", "0") + entry("0407", "8") + entry("040C", " +4") +
                               entry("0411", "9x") + entry("0412", "-2") + "</Languages>\r\n";
    const std::string truncated = sample.substr(0, sample.find("\"0407\"") + 3);
    const std::string entriesShort = "<Languages>\r\n<Language a=\"1\" b=\"2\" id=\"0407\"/>\r\n"
                                     "<Language a=\"1\" b=\"2\" c=\"3\" id=\"0407\"/>\r\n" + entry("0407", "1") +
                                     "<Language a=\"1\" b=\"2\" c=\"3\" id=\"0409\"/>\r\n</Languages>\r\n";
    const std::string lf = "<Languages>\n<Language a=\"\" b=\"\" c=\"\" id=\"0409\" bit=\"0\"/>\n</Languages>\n";
    enum Where { AgentList, RootList, NoList, FolderList };
    const std::string built = testsupport::ReadFileBytes(testsupport::ModuleFolder() + L"\\qxres\\Languages.xml");
    const std::wstring longText(260, L'1');
    // Installed: 0409 and 0416 (not listed). Registry mask null: no value. Caller's folder "*": the install folder.
    const struct { const char* what; std::string list; Where where; const wchar_t* registryMask; std::wstring callerFolder,
                   callerMask; LANGID language; BOOL expected; bool registered; } cases[] = {
        {"bit 0 set", sample, AgentList, L"01", L"", L"", 0x0409, 1, true},
        {"odd length gets a leading 0: 101 sets bits 0 and 8", sample, AgentList, L"101", L"", L"", 0x0407, 1, true},
        {"bit with blanks and sign", sample, AgentList, L"10", L"", L"", 0x040c, 1, true},
        {"bit read up to the first other character", sample, AgentList, L"0200", L"", L"", 0x0411, 1, true},
        {"bit beyond the mask", sample, AgentList, L"ff", L"", L"", 0x0407, 0, true},
        {"negative bit", sample, AgentList, L"ffff", L"", L"", 0x0412, 0, true},
        {"non-hexadecimal pair gives 0", sample, AgentList, L"z1", L"", L"", 0x0409, 0, true},
        {"pair read up to its first other character", sample, AgentList, L"1z", L"", L"", 0x0409, 1, true},
        {"empty registry mask offers nothing", sample, AgentList, L"", L"", L"", 0x0409, 0, true},
        {"caller's mask when the registry has none", sample, AgentList, nullptr, L"", L"10", 0x040c, 1, true},
        {"no mask at all: installed", sample, AgentList, nullptr, L"", L"", 0x0409, 1, true},
        {"caller's mask too long: installed", sample, AgentList, nullptr, L"", longText, 0x0409, 1, true},
        {"not listed: installed", sample, AgentList, L"00", L"", L"", 0x0416, 1, true},
        {"not listed: not installed", sample, AgentList, L"ff", L"", L"", 0x0419, 0, true},
        {"no list: not installed", "", NoList, L"ff", L"", L"", 0x0407, 0, true},
        {"folder named Languages.xml", "", FolderList, L"00", L"", L"", 0x0409, 1, true},
        {"empty list", "", AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"LF line ends", lf, AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"declaration first", "<?xml version=\"1.0\"?>\r\n" + sample, AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"comment first", "<!-- languages -->\r\n" + sample, AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"byte-order mark", "\xEF\xBB\xBF" + sample, AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"truncated: entries before the cut count", truncated, AgentList, L"ff", L"", L"", 0x0409, 1, true},
        {"truncated: entries after the cut are missing", truncated, AgentList, L"ff", L"", L"", 0x0407, 0, true},
        {"short entries are passed over", entriesShort, AgentList, L"02", L"", L"", 0x0407, 1, true},
        {"short entry for the language: not listed", entriesShort, AgentList, L"00", L"", L"", 0x0409, 1, true},
        {"caller's folder: list directly in it", sample, RootList, L"00", L"*", L"", 0x0409, 0, true},
        {"caller's folder ignored for the base, not for the name", sample, RootList, L"00", L"C:\\elsewhere", L"", 0x0409, 0, true},
        {"caller's folder when the registry has none", sample, RootList, L"01", L"*", L"", 0x0409, 1, false},
        {"no install folder: not installed", sample, AgentList, L"00", L"*", L"", 0x0409, 0, false},
        {"no folder at all", sample, AgentList, L"01", L"", L"", 0x0409, 0, false},
        {"caller's folder too long", sample, RootList, L"01", longText, L"", 0x0409, 0, false},
        {"built sample: bit 1 German", built, AgentList, L"02", L"", L"", 0x0407, 1, true},
        {"built sample: bit 2 French", built, AgentList, L"04", L"", L"", 0x040c, 1, true},
        {"built sample: bit 3 Spanish", built, AgentList, L"08", L"", L"", 0x0c0a, 1, true},
        {"built sample: bit 4 Japanese", built, AgentList, L"10", L"", L"", 0x0411, 1, true},
        {"built sample: 1E leaves out English", built, AgentList, L"1E", L"", L"", 0x0409, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempInstall install(c.registered);
        for (const wchar_t* id : {L"0409", L"0416"})
            install.InstallLanguage(id);
        if (c.where == FolderList)
            install.folder.MakeFolder(L"Agent\\Languages.xml");
        else if (c.where != NoList)
            testsupport::WriteFileBytes(install.folder.Join(c.where == RootList ? L"Languages.xml" : L"Agent\\Languages.xml"), c.list);
        testsupport::ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, kAgentKey);
        if (c.registryMask)
            agent.SetString(kSupportMaskValue, c.registryMask);
        EXPECT_EQ(c.expected, MakeHelper()->IsLanguageSupported(c.language, c.callerFolder == L"*" ? install.Path() : c.callerFolder,
                                                                c.callerMask));
    }
}
