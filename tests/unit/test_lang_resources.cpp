// The lookup of the resource library QxRes_l.dll in the program's folder and
// the install folders, with the libraries this build makes, and their texts.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "lang/LoadLang.h"
#include "lang/MUIHelper.h"
#include "lang_test_install.h"

using langtest::TempInstall;
using testsupport::ModuleFolder;

namespace {

const wchar_t kLibrary[] = L"QxRes_l.dll";
const std::vector<unsigned int> kReportStrings = {
    700, 701, 702, 703, 704, 705, 706, 707, 708, 709, 710, 711,
    713, 714, 715, 716, 717, 718, 719, 720, 721, 724, 725, 726,
};

// The copies this build makes, and the text of string 705 in each.
struct Copy {
    const wchar_t* folder;   // below bin\qxres
    const wchar_t* cleaned;
};
const Copy kCopies[] = {
    {L"0409", L"Cleaned"},      {L"0407", L"Bereinigt"},          {L"040c", L"Nettoy\x00E9"},
    {L"0c0a", L"Limpiado"},     {L"0411", L"\x99C6\x9664\x6E08\x307F"}, {L"neutral", L"Cleaned"},
};

std::wstring BuiltCopy(const std::wstring& folder)
{
    return ModuleFolder() + L"\\qxres\\" + folder + L"\\" + kLibrary;
}

void MakeFolders(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

void Place(const Copy& copy, const std::wstring& path)
{
    MakeFolders(path.substr(0, path.rfind(L'\\')));
    ASSERT_TRUE(CopyFileW(BuiltCopy(copy.folder).c_str(), path.c_str(), FALSE)) << testsupport::Narrow(path);
}

// The Res folder beside the test program, removed when the test ends.
class ModuleResFolder {
public:
    ModuleResFolder() : m_path(ModuleFolder() + L"\\Res") { testsupport::RemoveTree(m_path); }
    ~ModuleResFolder() { testsupport::RemoveTree(m_path); }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// The candidates in search order for the language folder L.
std::vector<std::wstring> Candidates(const std::wstring& install, const std::wstring& language)
{
    std::vector<std::wstring> folders = {ModuleFolder()};
    for (const wchar_t* sub : {L"\\Agent", L"\\Kelmo", L"\\Firewall", L"\\BrowseProtection", L"\\Shared"})
        folders.push_back(install + sub);
    std::vector<std::wstring> candidates;
    for (const std::wstring& folder : folders) {
        candidates.push_back(folder + L"\\Res\\" + kLibrary);
        candidates.push_back(folder + L"\\Res\\" + language + L"\\" + kLibrary);
    }
    return candidates;
}

std::wstring LoadText(HMODULE module, unsigned int id)
{
    wchar_t buffer[1000];
    const int length = LoadStringW(module, id, buffer, 1000);
    return std::wstring(buffer, length > 0 ? length : 0);
}

std::wstring Found(HMODULE module = nullptr)
{
    wchar_t path[kResourcePathChars];
    if (FindResourceLibrary(kLibrary, path, kResourcePathChars, module) != 1)
        return L"<not found>";
    return path;
}

// The strings of a resource script: lines of a number and a quoted text.
std::map<unsigned int, std::wstring> ReadScriptStrings(const std::wstring& path)
{
    std::map<unsigned int, std::wstring> strings;
    const std::string bytes = testsupport::ReadFileBytes(path);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const size_t digits = line.find_first_not_of(' ');
        const size_t quote = line.find(" \"");
        if (digits == std::string::npos || quote == std::string::npos || line.back() != '"' ||
            line[digits] < '0' || line[digits] > '9')
            continue;
        const std::string text = line.substr(quote + 2, line.size() - quote - 3);
        std::wstring wide(text.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                        static_cast<int>(wide.size())));
        strings[static_cast<unsigned int>(std::stoul(line.substr(digits, quote - digits)))] = wide;
    }
    return strings;
}

} // namespace

TEST(LoadResourceLibrary, SearchOrderAndEveryPlace)
{
    testsupport::LogCapture log;
    for (size_t first = 0; first < 12; ++first) {
        for (bool alone : {true, false}) {
            SCOPED_TRACE(testing::Message() << "candidate " << first << (alone ? " alone" : " and all later ones"));
            ModuleResFolder moduleRes;
            TempInstall install;
            install.user.SetDword(kSavedLcidValue, 0x0411);
            const std::vector<std::wstring> candidates = Candidates(install.Path(), L"0411");
            for (size_t i = first; i < (alone ? first + 1 : candidates.size()); ++i)
                Place(kCopies[i % 6], candidates[i]);

            EXPECT_EQ(candidates[first], Found());
            HMODULE library = LoadResourceLibrary(kLibrary, nullptr);
            ASSERT_NE(nullptr, library);
            EXPECT_EQ(std::wstring(kCopies[first % 6].cleaned), LoadText(library, 705));
            FreeLibrary(library);
        }
    }
    EXPECT_TRUE(log.events.empty());
}

TEST(LoadResourceLibrary, NoFallbackToEnglish)
{
    ModuleResFolder moduleRes;
    TempInstall install;
    install.user.SetDword(kSavedLcidValue, 0x0c0a);
    Place(kCopies[0], install.Path() + L"\\Shared\\Res\\0409\\QxRes_l.dll");
    wchar_t path[kResourcePathChars] = L"stale";
    EXPECT_EQ(0, FindResourceLibrary(kLibrary, path, kResourcePathChars, nullptr));
    EXPECT_EQ(std::wstring(), std::wstring(path));
    EXPECT_EQ(nullptr, LoadResourceLibrary(kLibrary, nullptr));
}

TEST(LoadResourceLibrary, FolderNamedLikeTheLibraryStopsTheSearch)
{
    ModuleResFolder moduleRes;
    TempInstall install;
    install.folder.MakeFolder(L"Agent\\Res\\QxRes_l.dll");
    Place(kCopies[0], install.Path() + L"\\Shared\\Res\\QxRes_l.dll");
    EXPECT_EQ(install.Path() + L"\\Agent\\Res\\QxRes_l.dll", Found());
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadResourceLibrary(kLibrary, nullptr));
    EXPECT_NE(0u, GetLastError());
}

TEST(LoadResourceLibrary, InstallFolderAndModuleArgument)
{
    ModuleResFolder moduleRes;
    {
        TempInstall install(false);
        Place(kCopies[0], install.Path() + L"\\Agent\\Res\\QxRes_l.dll");
        EXPECT_EQ(L"<not found>", Found()) << "no install folder in the registry";
        install.machine.SetString(L"szInstallDir", install.Path() + L"\\");
        EXPECT_EQ(install.Path() + L"\\\\Agent\\Res\\QxRes_l.dll", Found()) << "trailing backslash";
        HMODULE library = LoadResourceLibrary(kLibrary, nullptr);
        ASSERT_NE(nullptr, library);
        EXPECT_EQ(std::wstring(L"Cleaned"), LoadText(library, 705));
        FreeLibrary(library);
        install.machine.SetRaw(L"szInstallDir", REG_EXPAND_SZ, install.Path().c_str(),
                               static_cast<DWORD>(install.Path().size() * sizeof(wchar_t)));
        EXPECT_EQ(install.Path() + L"\\Agent\\Res\\QxRes_l.dll", Found())
            << "any type, no terminator stored";
    }
    {
        // The folder of the module given, not the program's.
        TempInstall install(false);
        const std::wstring moduleFolder = install.folder.MakeFolder(L"Host");
        Place(kCopies[3], moduleFolder + L"\\Host.dll");
        Place(kCopies[1], moduleFolder + L"\\Res\\QxRes_l.dll");
        Place(kCopies[2], moduleRes.Path() + L"\\QxRes_l.dll");
        HMODULE host = LoadLibraryExW((moduleFolder + L"\\Host.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, host);
        HMODULE library = LoadResourceLibrary(kLibrary, GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, library);
        EXPECT_EQ(std::wstring(L"Nettoy\x00E9"), LoadText(library, 705)) << "the program's Res folder";
        FreeLibrary(library);
        FreeLibrary(host);

        HMODULE loadedHost = LoadLibraryExW((moduleFolder + L"\\Host.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(nullptr, loadedHost);
        EXPECT_EQ(moduleFolder + L"\\Res\\QxRes_l.dll", Found(loadedHost));
        FreeLibrary(loadedHost);
    }
}

TEST(LoadResourceLibrary, BadNamesAndBuffers)
{
    ModuleResFolder moduleRes;
    TempInstall install;
    Place(kCopies[0], install.Path() + L"\\Agent\\Res\\QxRes_l.dll");

    wchar_t path[kResourcePathChars] = L"stale";
    EXPECT_EQ(0, FindResourceLibrary(nullptr, path, kResourcePathChars, nullptr));
    EXPECT_EQ(std::wstring(), std::wstring(path));
    EXPECT_EQ(nullptr, LoadResourceLibrary(nullptr, nullptr));

    const std::wstring longName(1100, L'x');
    EXPECT_EQ(0, FindResourceLibrary(longName.c_str(), path, kResourcePathChars, nullptr)) << "cut path";
    EXPECT_EQ(nullptr, LoadResourceLibrary(longName.c_str(), nullptr));

    wchar_t small[10];
    ASSERT_EQ(1, FindResourceLibrary(kLibrary, small, 10, nullptr));
    EXPECT_EQ((install.Path() + L"\\Agent").substr(0, 9), std::wstring(small)) << "copied as far as it fits";
}

TEST(ResourceLibrary, TextsOfEveryLanguage)
{
    struct Case {
        const wchar_t* built;
        LCID saved;
        const wchar_t* placedIn;
        const wchar_t* script;
    };
    const Case cases[] = {
        {L"0409", 0x0409, L"Agent\\Res\\0409", L"QxRes_0409.rc"},
        {L"0407", 0x0407, L"Agent\\Res\\0407", L"QxRes_0407.rc"},
        {L"040c", 0x040c, L"Agent\\Res\\040c", L"QxRes_040c.rc"},
        {L"0c0a", 0x0c0a, L"Agent\\Res\\0c0a", L"QxRes_0c0a.rc"},
        {L"0411", 0x0411, L"Agent\\Res\\0411", L"QxRes_0411.rc"},
        {L"neutral", 0x0416, L"Shared\\Res", L"QxRes_0409.rc"},
    };
    const std::set<unsigned int> wanted(kReportStrings.begin(), kReportStrings.end());
    std::set<std::wstring> statusTexts;
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.built));
        ModuleResFolder moduleRes;
        TempInstall install;
        install.user.SetDword(kSavedLcidValue, c.saved);
        Place({c.built, L""}, install.folder.Join(c.placedIn) + L"\\QxRes_l.dll");

        const std::map<unsigned int, std::wstring> script =
            ReadScriptStrings(ModuleFolder() + L"\\qxres\\" + c.script);
        std::set<unsigned int> numbers;
        for (const auto& entry : script)
            numbers.insert(entry.first);
        EXPECT_EQ(wanted, numbers) << "exactly the numbers the report reads";

        HMODULE library = LoadResourceLibrary(kLibrary, nullptr);
        ASSERT_NE(nullptr, library);
        for (unsigned int id : kReportStrings) {
            const std::wstring text = LoadText(library, id);
            EXPECT_FALSE(text.empty()) << id;
            EXPECT_EQ(script.at(id), text) << id;
        }
        EXPECT_EQ(std::wstring(), LoadText(library, 712)) << "not a report string";
        statusTexts.insert(LoadText(library, 706));
        FreeLibrary(library);
    }
    EXPECT_EQ(5u, statusTexts.size()) << "five languages, the neutral copy is English";
}

TEST(ResourceLibrary, SampleLanguageList)
{
    TempInstall install;
    for (const wchar_t* id : {L"0409", L"0407", L"040c", L"0c0a", L"0411"})
        install.InstallLanguage(id);
    ASSERT_TRUE(CopyFileW((ModuleFolder() + L"\\qxres\\Languages.xml").c_str(),
                          install.folder.Join(L"Agent\\Languages.xml").c_str(), FALSE));
    testsupport::ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, kAgentKey);
    langtest::HelperPtr helper = langtest::MakeHelper();
    const struct { const wchar_t* mask; LANGID language; BOOL offered; } cases[] = {
        {L"01", 0x0409, 1}, {L"02", 0x0407, 1}, {L"04", 0x040c, 1}, {L"08", 0x0c0a, 1},
        {L"10", 0x0411, 1}, {L"0F", 0x0411, 0}, {L"1E", 0x0409, 0}, {L"00", 0x0416, 0},
    };
    for (const auto& c : cases) {
        agent.SetString(kSupportMaskValue, c.mask);
        EXPECT_EQ(c.offered, helper->IsLanguageSupported(c.language, L"", L""))
            << testsupport::Narrow(c.mask) << " " << std::hex << c.language;
    }
}
