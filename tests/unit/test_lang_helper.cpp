// The language object: choice of the interface language through the
// registry and real language folders, the saved choice and its copies,
// the support mask with real Languages.xml files, and the fixed tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "lang/LanguageTables.h"
#include "lang/MUIHelper.h"
#include "lang_test_install.h"

using langtest::HelperPtr;
using langtest::MakeHelper;
using langtest::ReadValue;
using langtest::TempInstall;

namespace {

// The slot of a virtual member function in the vtable (Itanium C++ ABI: a
// pointer to a virtual member holds 1 + the byte offset of its slot).
template <class F>
long VirtualSlot(F member)
{
    struct Representation {
        long long pointer;
        long long adjustment;
    } representation;
    static_assert(sizeof(member) == sizeof(representation), "member pointer layout");
    std::memcpy(&representation, &member, sizeof(member));
    return static_cast<long>((representation.pointer - 1) / static_cast<long long>(sizeof(void*)));
}

// A component key below the client key (removed with the TempInstall).
void CreateMachineKey(const wchar_t* path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
}

CMUIHelper* AsHelper(const HelperPtr& helper)
{
    return static_cast<CMUIHelper*>(helper.get());
}

} // namespace

TEST(CMUIHelper, InterfaceSlotsInOrder)
{
    const long slots[] = {
        VirtualSlot(&IMUIHelper::GetSystemLanguageAbbrev), VirtualSlot(&IMUIHelper::GetSystemUILanguage),
        VirtualSlot(&IMUIHelper::GetSystemUILanguageString), VirtualSlot(&IMUIHelper::GetSystemUILCID),
        VirtualSlot(&IMUIHelper::GetSystemLCIDString), VirtualSlot(&IMUIHelper::GetSavedLanguageAbbrev),
        VirtualSlot(&IMUIHelper::GetSavedLanguage), VirtualSlot(&IMUIHelper::GetSavedLanguageString),
        VirtualSlot(&IMUIHelper::GetSavedLCIDUnder), VirtualSlot(&IMUIHelper::GetSavedLCID),
        VirtualSlot(&IMUIHelper::SaveLCID), VirtualSlot(&IMUIHelper::ClearSavedLCID),
        VirtualSlot(&IMUIHelper::GetSavedLCIDString), VirtualSlot(&IMUIHelper::GetUILanguageAbbrev),
        VirtualSlot(&IMUIHelper::GetUILanguage), VirtualSlot(&IMUIHelper::GetUILanguageString),
        VirtualSlot(&IMUIHelper::GetUILCID), VirtualSlot(&IMUIHelper::GetUILCIDString),
        VirtualSlot(&IMUIHelper::IsLanguageInstalled), VirtualSlot(&IMUIHelper::IsLanguageSupported),
        VirtualSlot(&IMUIHelper::GetEnglishLanguageName), VirtualSlot(&IMUIHelper::GetSystemUILanguages),
        VirtualSlot(&IMUIHelper::IsRightToLeftString), VirtualSlot(&IMUIHelper::IsRightToLeft),
        VirtualSlot(&IMUIHelper::GetLanguageFromAbbrev), VirtualSlot(&IMUIHelper::GetLanguageAbbrev),
        VirtualSlot(&IMUIHelper::GetFallbackLanguage), VirtualSlot(&IMUIHelper::EnumInstalledLanguages),
        VirtualSlot(&IMUIHelper::GetInstalledLanguages), VirtualSlot(&IMUIHelper::Release),
    };
    for (long i = 0; i < static_cast<long>(sizeof(slots) / sizeof(slots[0])); ++i)
        EXPECT_EQ(i, slots[i]) << "operation " << i;
}

TEST(CMUIHelper, ChoiceOfTheInterfaceLanguage)
{
    struct Case {
        const char* what;
        std::vector<std::wstring> installed;
        LANGID user;
        LANGID system;
        LCID expected;
        std::optional<DWORD> savedDword;
    };
    const Case cases[] = {
        {"user language installed", {L"0409", L"0411"}, 0x0411, 0x0409, 0x0411, {}},
        {"user variant through its base language", {L"0409"}, 0x0c09, 0x0c09, 0x0409, {}},
        {"Spanish variant to 040a", {L"040a"}, 0x0c0a, 0x0409, 0x040a, {}},
        {"variant installed itself wins", {L"040a", L"0c0a"}, 0x0c0a, 0x0409, 0x0c0a, {}},
        {"system language when the user's is missing", {L"0407"}, 0x0416, 0x0407, 0x0407, {}},
        {"system variant through its base language", {L"0407"}, 0x0416, 0x0807, 0x0407, {}},
        {"nothing fits: English", {L"0407"}, 0x0416, 0x0416, 0x0409, {}},
        {"nothing installed: English", {}, 0x0411, 0x0407, 0x0409, {}},
        {"saved language is not compared with the installed ones", {L"0409"}, 0x0409, 0x0409, 0x0407, 0x0407},
        {"saved LCID with a sort identifier is kept whole", {L"0409"}, 0x0409, 0x0409, 0x10407, 0x10407},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempInstall install;
        for (const std::wstring& id : c.installed)
            install.InstallLanguage(id);
        if (c.savedDword)
            install.user.SetDword(kSavedLcidValue, *c.savedDword);
        HelperPtr helper = MakeHelper();
        EXPECT_EQ(c.expected, AsHelper(helper)->ChooseUILCID(c.user, c.system));
    }
}

TEST(CMUIHelper, SavedLanguageCountsOnlyAsFourByteNumber)
{
    struct Case {
        const char* what;
        DWORD type;
        std::string bytes;
        bool counts;
    };
    const DWORD german = 0x0407;
    const unsigned long long wide = 0x0407;
    const Case cases[] = {
        {"REG_DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&german), 4), true},
        {"string", REG_SZ, langtest::WideBytes(L"0407"), false},
        {"REG_DWORD of 8 bytes", REG_DWORD, std::string(reinterpret_cast<const char*>(&wide), 8), false},
        {"REG_DWORD of 2 bytes", REG_DWORD, std::string(reinterpret_cast<const char*>(&german), 2), false},
        {"binary", REG_BINARY, std::string(reinterpret_cast<const char*>(&german), 4), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempInstall install;
        install.InstallLanguage(L"0409");
        install.user.SetRaw(kSavedLcidValue, c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        HelperPtr helper = MakeHelper();
        LCID lcid = 0xdead;
        EXPECT_EQ(c.counts ? 1 : 0, helper->GetSavedLCID(lcid));
        EXPECT_EQ(c.counts ? 0x0407u : 0xdeadu, lcid);
        EXPECT_EQ(c.counts ? 0x0407u : 0x0409u, AsHelper(helper)->ChooseUILCID(0x0409, 0x0409));
    }
}

TEST(CMUIHelper, InterfaceLanguageOnThisPlatform)
{
    // Wine reports 0409 as the user and system UI language; 0409 is not
    // installed and has no base language: English all the same.
    TempInstall install;
    install.InstallLanguage(L"0407");
    HelperPtr helper = MakeHelper();
    EXPECT_EQ(0x0409u, helper->GetUILCID());
    std::wstring text = L"untouched";
    LANGID language = 0;
    EXPECT_EQ(0, helper->GetSavedLanguage(language));
    EXPECT_EQ(0, helper->GetSavedLanguageString(text));
    EXPECT_EQ(0, helper->GetSavedLCIDString(text));
    EXPECT_EQ(0, helper->GetSavedLanguageAbbrev(text));
    EXPECT_EQ(std::wstring(L"untouched"), text);

    const struct { DWORD saved; const wchar_t* language; const wchar_t* lcid; const wchar_t* abbrev; } cases[] = {
        {0x10407, L"0407", L"00010407", L"DEU"},
        {0x0411, L"0411", L"00000411", L"JPN"},
        {0x0c0a, L"0c0a", L"00000c0a", L"ESN"},
    };
    for (const auto& c : cases) {
        install.user.SetDword(kSavedLcidValue, c.saved);
        EXPECT_EQ(c.saved, helper->GetUILCID());
        EXPECT_EQ(std::wstring(c.language), helper->GetUILanguageString());
        EXPECT_EQ(std::wstring(c.lcid), helper->GetUILCIDString());
        EXPECT_EQ(std::wstring(c.abbrev), helper->GetUILanguageAbbrev());
        ASSERT_EQ(1, helper->GetSavedLanguageString(text));
        EXPECT_EQ(std::wstring(c.language), text);
        ASSERT_EQ(1, helper->GetSavedLCIDString(text));
        EXPECT_EQ(std::wstring(c.lcid), text);
        ASSERT_EQ(1, helper->GetSavedLanguageAbbrev(text));
        EXPECT_EQ(std::wstring(c.abbrev), text);
    }
}

TEST(CMUIHelper, SavedLanguageUnderAnotherRoot)
{
    TempInstall install;
    install.machine.SetString(L"szInstallDir", install.Path());
    testsupport::ScopedRegistryKey machineAgent(HKEY_LOCAL_MACHINE, kAgentKey);
    machineAgent.SetDword(kSavedLcidValue, 0x040c);
    HelperPtr helper = MakeHelper();
    LCID lcid = 0;
    EXPECT_EQ(1, helper->GetSavedLCIDUnder(lcid, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(0x040cu, lcid);
    EXPECT_EQ(0, helper->GetSavedLCID(lcid)) << "the current user has none";
}

TEST(CMUIHelper, SaveLCIDWritesTheChoiceAndItsCopies)
{
    struct Case {
        LCID lcid;
        bool hostedScanner;
        bool webSafety;
        const wchar_t* preferredLanguage;   // null: not written
        const wchar_t* languageOverride;
    };
    const Case cases[] = {
        {0x0c0a, true, true, L"0a03", L"0x0c0a"},
        {0x0409, true, true, L"0901", L"0x0409"},
        {0x0804, true, false, L"0402", nullptr},
        {0x0411, false, true, nullptr, L"0x0411"},
        {0x10407, true, true, L"0701", L"0x0407"},
        {0x0407, false, false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.lcid);
        TempInstall install;
        testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kAgentKey);   // created by SaveLCID
        if (c.hostedScanner)
            CreateMachineKey(kHostedScannerComponentKey);
        if (c.webSafety)
            CreateMachineKey(kWebSafetyComponentKey);

        HelperPtr helper = MakeHelper();
        ASSERT_EQ(1, helper->SaveLCID(c.lcid));

        const langtest::RegValue saved = ReadValue(HKEY_CURRENT_USER, kAgentKey, kSavedLcidValue);
        ASSERT_TRUE(saved.exists);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), saved.type);
        ASSERT_EQ(4u, saved.bytes.size());
        DWORD number = 0;
        std::memcpy(&number, saved.bytes.data(), 4);
        EXPECT_EQ(c.lcid, number);

        const langtest::RegValue preferred =
            ReadValue(HKEY_CURRENT_USER, kHostedScannerLanguageKey, kHostedScannerLanguageValue);
        EXPECT_EQ(c.preferredLanguage != nullptr, preferred.exists);
        if (c.preferredLanguage) {
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), preferred.type);
            EXPECT_EQ(langtest::WideBytes(c.preferredLanguage), preferred.bytes) << "text and terminator";
        }
        const langtest::RegValue override_ =
            ReadValue(HKEY_CURRENT_USER, kWebSafetyLanguageKey, kWebSafetyLanguageValue);
        EXPECT_EQ(c.languageOverride != nullptr, override_.exists);
        if (c.languageOverride) {
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), override_.type);
            EXPECT_EQ(langtest::WideBytes(c.languageOverride), override_.bytes);
        }
        EXPECT_EQ(c.lcid, helper->GetUILCID()) << "the saved choice decides alone";
    }
}

TEST(CMUIHelper, ClearSavedLCIDRemovesTheChoiceAndItsCopies)
{
    TempInstall install;
    CreateMachineKey(kHostedScannerComponentKey);
    CreateMachineKey(kWebSafetyComponentKey);

    HelperPtr helper = MakeHelper();
    ASSERT_EQ(1, helper->SaveLCID(0x0407));
    EXPECT_EQ(1, helper->ClearSavedLCID());
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kAgentKey, kSavedLcidValue).exists);
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kHostedScannerLanguageKey, kHostedScannerLanguageValue).exists);
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kWebSafetyLanguageKey, kWebSafetyLanguageValue).exists);
    EXPECT_EQ(1, helper->ClearSavedLCID()) << "nothing saved";

    // A copy stays when its component is not installed.
    ASSERT_EQ(1, helper->SaveLCID(0x0407));
    testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kWebSafetyComponentKey);
    EXPECT_EQ(1, helper->ClearSavedLCID());
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kHostedScannerLanguageKey, kHostedScannerLanguageValue).exists);
    EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kWebSafetyLanguageKey, kWebSafetyLanguageValue).exists);

    // A saved value of another type is not a saved language: left alone.
    ASSERT_EQ(1, helper->SaveLCID(0x0407));
    install.user.SetString(kSavedLcidValue, L"0407");
    EXPECT_EQ(1, helper->ClearSavedLCID());
    EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kAgentKey, kSavedLcidValue).exists);
    EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, kHostedScannerLanguageKey, kHostedScannerLanguageValue).exists);

    testsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kAgentKey);
    EXPECT_EQ(0, helper->ClearSavedLCID()) << "no key to open";
}

TEST(CMUIHelper, InstalledLanguages)
{
    TempInstall install;
    HelperPtr helper = MakeHelper();
    std::vector<LANGID> languages;
    EXPECT_EQ(0, helper->GetInstalledLanguages(&languages)) << "no Res folder";

    for (const wchar_t* id : {L"0409", L"0407", L"0c0a", L"abc", L"xyz"})
        install.InstallLanguage(id);
    testsupport::WriteFileBytes(install.folder.Join(L"Agent\\Res\\0411"), "a file, not a folder");

    std::multiset<LANGID> expected = {0x0407, 0x0409, 0x0c0a, 0x0409 /* xyz */};
    if (IsValidLocale(0x0abc, LCID_SUPPORTED))
        expected.insert(0x0abc);
    EXPECT_EQ(1, helper->GetInstalledLanguages(&languages));
    EXPECT_EQ(expected, std::multiset<LANGID>(languages.begin(), languages.end()));
    EXPECT_EQ(1, helper->GetInstalledLanguages(nullptr));

    int calls = 0;
    auto stopAtFirst = [](LANGID, void* context) -> BOOL {
        ++*static_cast<int*>(context);
        return 0;
    };
    EXPECT_EQ(1, helper->EnumInstalledLanguages(stopAtFirst, &calls));
    EXPECT_EQ(1, calls);
    EXPECT_EQ(0, helper->EnumInstalledLanguages(nullptr, nullptr)) << "nothing reported";

    EXPECT_EQ(1, helper->IsLanguageInstalled(0x0411)) << "a file of that name counts";
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x0abc)) << "listed as 0abc, but the folder is abc";
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x040c));

    install.machine.SetString(L"szInstallDir", install.Path() + L"\\");
    EXPECT_EQ(1, helper->IsLanguageInstalled(0x0407)) << "install folder with a trailing backslash";

    install.machine.DeleteValue(L"szInstallDir");
    EXPECT_EQ(0, helper->IsLanguageInstalled(0x0407));
    EXPECT_EQ(0, helper->GetInstalledLanguages(&languages));
}

// Languages.xml and the support mask.
TEST(CMUIHelper, IsLanguageSupported)
{
    const std::string sample =
        "<Languages>\r\n"
        "<Language name=\"English\" abbrev=\"ENU\" culture=\"en-US\" id=\"0409\" bit=\"0\"/>\r\n"
        "<Language name=\"German\" abbrev=\"DEU\" culture=\"de-DE\" id=\"0407\" bit=\"8\"/>\r\n"
        "<Language name=\"French\" abbrev=\"FRA\" culture=\"fr-FR\" id=\"040C\" bit=\" +4\"/>\r\n"
        "<Language name=\"Japanese\" abbrev=\"JPN\" culture=\"ja-JP\" id=\"0411\" bit=\"9x\"/>\r\n"
        "<Language name=\"Korean\" abbrev=\"KOR\" culture=\"ko-KR\" id=\"0412\" bit=\"-2\"/>\r\n"
        "</Languages>\r\n";
    const std::string entriesShort =
        "<Languages>\r\n"
        "<Language name=\"German\" abbrev=\"DEU\" id=\"0407\"/>\r\n"
        "<Language name=\"German\" abbrev=\"DEU\" culture=\"de-DE\" id=\"0407\"/>\r\n"
        "<Language name=\"German\" abbrev=\"DEU\" culture=\"de-DE\" id=\"0407\" bit=\"1\"/>\r\n"
        "<Language name=\"English\" abbrev=\"ENU\" culture=\"en-US\" id=\"0409\"/>\r\n"
        "</Languages>\r\n";
    enum Where { AgentList, RootList, NoList, FolderList };
    struct Case {
        const char* what;
        std::string list;
        Where where;
        const wchar_t* registryMask;   // null: no value
        std::wstring callerFolder;     // "*": the install folder
        std::wstring callerMask;
        LANGID language;
        BOOL expected;
        bool registered = true;
    };
    // Installed in every case: 0409 and 0416 (not listed).
    const std::wstring longText(260, L'1');
    const Case cases[] = {
        {"bit 0 set", sample, AgentList, L"01", L"", L"", 0x0409, 1},
        {"bit 8 clear", sample, AgentList, L"01", L"", L"", 0x0407, 0},
        {"odd length gets a leading 0: 101 sets bits 0 and 8", sample, AgentList, L"101", L"", L"", 0x0407, 1},
        {"101 leaves bit 4 clear", sample, AgentList, L"101", L"", L"", 0x040c, 0},
        {"key compared ignoring case, number with blanks and sign", sample, AgentList, L"10", L"", L"", 0x040c, 1},
        {"number read up to the first other character", sample, AgentList, L"0200", L"", L"", 0x0411, 1},
        {"bit beyond the mask", sample, AgentList, L"ff", L"", L"", 0x0407, 0},
        {"negative bit", sample, AgentList, L"ffff", L"", L"", 0x0412, 0},
        {"non-hexadecimal pair gives 0", sample, AgentList, L"z1", L"", L"", 0x0409, 0},
        {"pair read up to its first other character", sample, AgentList, L"1z", L"", L"", 0x0409, 1},
        {"non-hexadecimal high byte", sample, AgentList, L"zz01", L"", L"", 0x0409, 1},
        {"empty registry mask offers nothing", sample, AgentList, L"", L"", L"", 0x0409, 0},
        {"caller's mask when the registry has none", sample, AgentList, nullptr, L"", L"10", 0x040c, 1},
        {"caller's mask applies the bits", sample, AgentList, nullptr, L"", L"10", 0x0409, 0},
        {"no mask at all: installed", sample, AgentList, nullptr, L"", L"", 0x0409, 1},
        {"no mask at all: not installed", sample, AgentList, nullptr, L"", L"", 0x0407, 0},
        {"caller's mask too long: installed", sample, AgentList, nullptr, L"", longText, 0x0409, 1},
        {"not listed: installed", sample, AgentList, L"00", L"", L"", 0x0416, 1},
        {"not listed: not installed", sample, AgentList, L"ff", L"", L"", 0x0419, 0},
        {"no list: installed", "", NoList, L"00", L"", L"", 0x0409, 1},
        {"no list: not installed", "", NoList, L"ff", L"", L"", 0x0407, 0},
        {"folder named Languages.xml", "", FolderList, L"00", L"", L"", 0x0409, 1},
        {"empty list", "", AgentList, L"00", L"", L"", 0x0409, 1},
        {"LF line ends", "<Languages>\n<Language a=\"\" b=\"\" c=\"\" id=\"0409\" bit=\"0\"/>\n</Languages>\n",
         AgentList, L"00", L"", L"", 0x0409, 1},
        {"declaration first", "<?xml version=\"1.0\"?>\r\n" + sample, AgentList, L"00", L"", L"", 0x0409, 1},
        {"comment first", "<!-- languages -->\r\n" + sample, AgentList, L"00", L"", L"", 0x0409, 1},
        {"byte-order mark", "\xEF\xBB\xBF" + sample, AgentList, L"00", L"", L"", 0x0409, 1},
        {"truncated: entries before the cut count", sample.substr(0, 140), AgentList, L"ff", L"", L"", 0x0409, 1},
        {"truncated: entries after the cut are missing", sample.substr(0, 140), AgentList, L"ff", L"", L"", 0x0407, 0},
        {"short entries are passed over", entriesShort, AgentList, L"02", L"", L"", 0x0407, 1},
        {"short entry for the language: not listed", entriesShort, AgentList, L"00", L"", L"", 0x0409, 1},
        {"caller's folder: list directly in it", sample, RootList, L"00", L"*", L"", 0x0409, 0},
        {"caller's folder ignored for the base, not for the name", sample, RootList, L"00", L"C:\\elsewhere", L"", 0x0409, 0},
        {"caller's folder when the registry has none", sample, RootList, L"01", L"*", L"", 0x0409, 1, false},
        {"no install folder: not installed", sample, AgentList, L"00", L"*", L"", 0x0409, 0, false},
        {"no folder at all", sample, AgentList, L"01", L"", L"", 0x0409, 0, false},
        {"caller's folder too long", sample, RootList, L"01", longText, L"", 0x0409, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempInstall install(c.registered);
        install.InstallLanguage(L"0409");
        install.InstallLanguage(L"0416");
        install.folder.MakeFolder(L"Agent");
        if (c.where == AgentList)
            testsupport::WriteFileBytes(install.folder.Join(L"Agent\\Languages.xml"), c.list);
        else if (c.where == RootList)
            testsupport::WriteFileBytes(install.folder.Join(L"Languages.xml"), c.list);
        else if (c.where == FolderList)
            install.folder.MakeFolder(L"Agent\\Languages.xml");
        testsupport::ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, kAgentKey);
        if (c.registryMask)
            agent.SetString(kSupportMaskValue, c.registryMask);
        const std::wstring folder = c.callerFolder == L"*" ? install.Path() : c.callerFolder;
        HelperPtr helper = MakeHelper();
        EXPECT_EQ(c.expected, helper->IsLanguageSupported(c.language, folder, c.callerMask));
    }
}

TEST(CMUIHelper, FixedTables)
{
    EXPECT_EQ(26u, kRightToLeftLanguageCount);
    EXPECT_EQ(48u, kLanguageFallbackCount);
    EXPECT_EQ(133u, kLanguageAbbrevCount);
    std::set<std::wstring> abbrevs;
    for (size_t i = 0; i < kLanguageAbbrevCount; ++i)
        abbrevs.insert(kLanguageAbbrevs[i].abbrev);
    EXPECT_EQ(kLanguageAbbrevCount, abbrevs.size()) << "every abbreviation once";
    std::set<LANGID> variants;
    for (size_t i = 0; i < kLanguageFallbackCount; ++i)
        variants.insert(kLanguageFallbacks[i].variant);
    EXPECT_EQ(kLanguageFallbackCount, variants.size());

    HelperPtr helper = MakeHelper();
    const struct { const wchar_t* abbrev; LANGID language; } abbrevCases[] = {
        {L"ENU", 0x0409}, {L"enu", 0x0409}, {L"Esn", 0x0c0a}, {L"JPN", 0x0411}, {L"DEU", 0x0407},
        {L"FRA", 0x040c}, {L"VIT", 0x042a}, {L"ARG", 0x1401}, {L"EN", 0}, {L"ENUX", 0}, {L"", 0},
    };
    for (const auto& c : abbrevCases)
        EXPECT_EQ(c.language, helper->GetLanguageFromAbbrev(c.abbrev)) << testing::PrintToString(std::wstring(c.abbrev));

    const struct { LANGID in; BOOL result; LANGID out; } fallbackCases[] = {
        {0x0c0a, 1, 0x040a}, {0x0403, 1, 0x040a}, {0x3409, 1, 0x0409}, {0x1407, 1, 0x0407},
        {0x1004, 1, 0x0804}, {0x1404, 1, 0x0404}, {0x0409, 0, 0x0409}, {0x0416, 0, 0x0416},
    };
    for (const auto& c : fallbackCases) {
        LANGID language = c.in;
        EXPECT_EQ(c.result, helper->GetFallbackLanguage(language)) << std::hex << c.in;
        EXPECT_EQ(c.out, language) << std::hex << c.in;
    }

    const struct { const wchar_t* text; BOOL rtl; } rtlCases[] = {
        {L"0401", 1}, {L"40d", 1}, {L"0c01junk", 1}, {L"04010", 1}, {L"0820", 1},
        {L"0409", 0}, {L"xyz", 0}, {L"", 0}, {L"0x0401", 0},
    };
    for (const auto& c : rtlCases)
        EXPECT_EQ(c.rtl, helper->IsRightToLeftString(c.text)) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(1, helper->IsRightToLeft(0x040d));
    EXPECT_EQ(0, helper->IsRightToLeft(0x0411));
}

TEST(CMUIHelper, PlatformLanguageNames)
{
    HelperPtr helper = MakeHelper();
    EXPECT_EQ(std::wstring(L"DEU"), helper->GetLanguageAbbrev(0x0407));
    EXPECT_EQ(std::wstring(L"German"), helper->GetEnglishLanguageName(0x0407));
    EXPECT_EQ(std::wstring(), helper->GetLanguageAbbrev(0x0abc)) << "unknown language";
    EXPECT_EQ(std::wstring(L"0409"), helper->GetSystemUILanguageString());
    EXPECT_EQ(std::wstring(L"ENU"), helper->GetSystemLanguageAbbrev());

    std::vector<std::wstring> languages{L"kept"};
    EXPECT_EQ(1, helper->GetSystemUILanguages(languages));
    ASSERT_GE(languages.size(), 2u);
    EXPECT_EQ(std::wstring(L"kept"), languages[0]) << "appended";
    EXPECT_NE(languages.end(), std::find(languages.begin(), languages.end(), std::wstring(L"0409")));
}
