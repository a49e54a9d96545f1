// The lookup of QxRes_l.dll in the program's folder and the install folders, with the libraries this build makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "lang/LoadLang.h"
#include "lang_test_install.h"

using langtest::TempInstall;
using testsupport::ModuleFolder;

namespace {

const wchar_t kLibrary[] = L"QxRes_l.dll";

// The copies this build makes (below bin\qxres), their resource scripts, and the text of string 705 in each.
const struct { const wchar_t* folder; const wchar_t* script; const wchar_t* cleaned; } kCopies[] = {
    {L"0409", L"0409", L"Cleaned"}, {L"0407", L"0407", L"Bereinigt"}, {L"040c", L"040c", L"Nettoy\x00E9"},
    {L"0c0a", L"0c0a", L"Limpiado"}, {L"0411", L"0411", L"\x99C6\x9664\x6E08\x307F"}, {L"neutral", L"0409", L"Cleaned"},
};

void Place(const wchar_t* builtFolder, const std::wstring& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(CopyFileW((ModuleFolder() + L"\\qxres\\" + builtFolder + L"\\" + kLibrary).c_str(), path.c_str(), FALSE));
}

// The Res folder beside the test program, removed before and after the test.
struct ModuleResFolder {
    std::wstring path = ModuleFolder() + L"\\Res";
    ModuleResFolder() { testsupport::RemoveTree(path); }
    ~ModuleResFolder() { testsupport::RemoveTree(path); }
};

std::wstring LoadText(HMODULE module, unsigned int id)
{
    wchar_t buffer[1000];
    return std::wstring(buffer, std::max(0, LoadStringW(module, id, buffer, 1000)));
}

std::wstring Found(HMODULE module = nullptr)
{
    wchar_t path[kResourcePathChars] = L"stale";
    return FindResourceLibrary(kLibrary, path, kResourcePathChars, module) == 1 ? path : L"<not found: " + std::wstring(path) + L">";
}

// The library holds the texts of its resource script (lines of a number and
// a quoted UTF-8 text): exactly the 24 strings the scan report reads.
void ExpectScriptTexts(HMODULE library, const wchar_t* language)
{
    const std::vector<unsigned int> reportStrings = {700, 701, 702, 703, 704, 705, 706, 707, 708, 709, 710, 711,
                                                     713, 714, 715, 716, 717, 718, 719, 720, 721, 724, 725, 726};
    std::vector<unsigned int> numbers;
    std::istringstream script(testsupport::ReadFileBytes(ModuleFolder() + L"\\qxres\\QxRes_" + language + L".rc"));
    for (std::string line, text; std::getline(script, line);) {
        std::istringstream fields(line);
        unsigned int id = 0;
        if (!(fields >> id >> std::ws) || fields.get() != '"' || !std::getline(fields, text, '"'))
            continue;
        std::wstring wide(text.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], static_cast<int>(wide.size())));
        numbers.push_back(id);
        EXPECT_NE(L"", wide) << id;
        EXPECT_EQ(wide, LoadText(library, id)) << id;
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(reportStrings, numbers);
    EXPECT_EQ(L"", LoadText(library, 712)) << "not a report string";
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
            // In search order: the program's folder, then the install sub-folders; neutral, then 0411.
            std::vector<std::wstring> candidates;
            for (const std::wstring& folder : {ModuleFolder(), install.Path() + L"\\Agent", install.Path() + L"\\Kelmo",
                                               install.Path() + L"\\Firewall", install.Path() + L"\\BrowseProtection",
                                               install.Path() + L"\\Shared"})
                for (const wchar_t* sub : {L"\\Res\\", L"\\Res\\0411\\"})
                    candidates.push_back(folder + sub + kLibrary);
            for (size_t i = first; i < (alone ? first + 1 : candidates.size()); ++i)
                Place(kCopies[i % 6].folder, candidates[i]);
            EXPECT_EQ(candidates[first], Found());
            HMODULE library = LoadResourceLibrary(kLibrary, nullptr);
            ASSERT_NE(nullptr, library);
            EXPECT_EQ(kCopies[first % 6].cleaned, LoadText(library, 705));
            ExpectScriptTexts(library, kCopies[first % 6].script);
            FreeLibrary(library);
        }
    }
    EXPECT_TRUE(log.events.empty());
}

TEST(LoadResourceLibrary, InstallFolderModuleArgumentAndBadInput)
{
    ModuleResFolder moduleRes;
    TempInstall install(false);
    Place(L"0409", install.Path() + L"\\Agent\\Res\\QxRes_l.dll");
    EXPECT_EQ(L"<not found: >", Found()) << "no install folder in the registry";
    install.machine.SetString(L"szInstallDir", install.Path() + L"\\");
    EXPECT_EQ(install.Path() + L"\\\\Agent\\Res\\QxRes_l.dll", Found()) << "trailing backslash";
    install.machine.SetRaw(L"szInstallDir", REG_EXPAND_SZ, install.Path().c_str(), static_cast<DWORD>(install.Path().size() * 2));
    EXPECT_EQ(install.Path() + L"\\Agent\\Res\\QxRes_l.dll", Found()) << "any type, no terminator stored";
    wchar_t small[10];
    ASSERT_EQ(1, FindResourceLibrary(kLibrary, small, 10, nullptr));
    EXPECT_EQ(install.Path().substr(0, 9), std::wstring(small)) << "copied as far as it fits";
    wchar_t path[kResourcePathChars] = L"stale";
    EXPECT_EQ(0, FindResourceLibrary(nullptr, path, kResourcePathChars, nullptr));
    EXPECT_EQ(L"", std::wstring(path));
    EXPECT_EQ(nullptr, LoadResourceLibrary(nullptr, nullptr));
    const std::wstring longName(1100, L'x');
    EXPECT_EQ(0, FindResourceLibrary(longName.c_str(), path, kResourcePathChars, nullptr)) << "cut path";
    EXPECT_EQ(nullptr, LoadResourceLibrary(longName.c_str(), nullptr));
    testsupport::RemoveTree(install.Path() + L"\\Agent");
    install.user.SetDword(kSavedLcidValue, 0x0c0a);
    Place(L"0409", install.Path() + L"\\Shared\\Res\\0409\\QxRes_l.dll");
    EXPECT_EQ(L"<not found: >", Found()) << "no fallback to English";
    EXPECT_EQ(nullptr, LoadResourceLibrary(kLibrary, nullptr));
    install.folder.MakeFolder(L"Agent\\Res\\QxRes_l.dll");
    Place(L"0409", install.Path() + L"\\Shared\\Res\\QxRes_l.dll");
    EXPECT_EQ(install.Path() + L"\\Agent\\Res\\QxRes_l.dll", Found()) << "a folder of that name stops the search";
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadResourceLibrary(kLibrary, nullptr));
    EXPECT_NE(0u, GetLastError());

    // The folder of the module given, not the program's.
    const std::wstring host = install.folder.MakeFolder(L"Host");
    Place(L"0c0a", host + L"\\Host.dll");
    Place(L"0407", host + L"\\Res\\QxRes_l.dll");
    HMODULE loadedHost = LoadLibraryExW((host + L"\\Host.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, loadedHost);
    EXPECT_EQ(host + L"\\Res\\QxRes_l.dll", Found(loadedHost));
    HMODULE library = LoadResourceLibrary(kLibrary, loadedHost);
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(L"Bereinigt", LoadText(library, 705));
    FreeLibrary(library);
    FreeLibrary(loadedHost);
    EXPECT_EQ(install.Path() + L"\\Agent\\Res\\QxRes_l.dll", Found(GetModuleHandleW(nullptr))) << "not the program's folder";
}
