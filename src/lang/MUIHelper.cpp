// The choice of the client's user-interface language.
#include "lang/MUIHelper.h"

#include <cwchar>
#include <new>

#include "common/ClientKeys.h"
#include "common/InstallDir.h"
#include "common/RegKey.h"
#include "common/ScopedHandle.h"
#include "lang/LanguageList.h"
#include "lang/LanguageTables.h"

namespace {

constexpr LANGID kDefaultLanguage = 0x0409;
constexpr DWORD kInstallDirReadChars = 260;
constexpr DWORD kSupportMaskReadChars = 260;
constexpr size_t kMaxCallerFolderChars = 259;
constexpr size_t kMaxCallerMaskChars = 258;
constexpr int kAbbrevChars = 32;
constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

std::wstring Format(const wchar_t* format, unsigned long value)
{
    wchar_t buffer[32];
    swprintf(buffer, 32, format, value);
    return buffer;
}

std::wstring Format(const wchar_t* format, unsigned long first, unsigned long second)
{
    wchar_t buffer[32];
    swprintf(buffer, 32, format, first, second);
    return buffer;
}

// A locale text read into 32 characters, or into a buffer of the size the
// platform asks for when that is too small; empty on any other failure.
std::wstring ReadLocaleText(LCID lcid, LCTYPE type)
{
    wchar_t buffer[kAbbrevChars];
    if (GetLocaleInfoW(lcid, type, buffer, kAbbrevChars) != 0)
        return buffer;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return std::wstring();
    const int needed = GetLocaleInfoW(lcid, type, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::vector<wchar_t> large(static_cast<size_t>(needed), L'\0');
    if (GetLocaleInfoW(lcid, type, large.data(), needed) == 0)
        return std::wstring();
    return large.data();
}

// "dwMUILCID" counts only as a 4-byte REG_DWORD.
bool ReadSavedLcid(HKEY key, LCID& lcid)
{
    DWORD value = 0;
    if (!ReadRegDwordOfFourBytes(key, kSavedLcidValue, value))
        return false;
    lcid = value;
    return true;
}

// The install folder "szInstallDir", read into 260 characters.
bool ReadInstallFolder(std::wstring& folder)
{
    wchar_t buffer[kInstallDirReadChars];
    if (!ReadInstallDir(buffer, kInstallDirReadChars, KEY_READ))
        return false;
    folder = buffer;
    return true;
}

bool ReadSupportMask(std::wstring& mask)
{
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kAgentKey, KEY_READ))
        return false;
    wchar_t buffer[kSupportMaskReadChars];
    DWORD count = kSupportMaskReadChars;
    if (ReadRegString(key.Get(), kSupportMaskValue, buffer, &count) != ERROR_SUCCESS)
        return false;
    mask = buffer;
    return true;
}

void SetStringValue(HKEY key, const wchar_t* name, const std::wstring& text)
{
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Hands the choice on to a component of the product when that component
// is installed (its key under the local machine opens for writing).
void CopyToComponent(const wchar_t* componentKey, const wchar_t* languageKey,
                     const wchar_t* valueName, const std::wstring& text)
{
    RegKey component;
    if (!component.Open(HKEY_LOCAL_MACHINE, componentKey, kReadWrite))
        return;
    RegKey language;
    if (language.Create(HKEY_CURRENT_USER, languageKey, kReadWrite))
        SetStringValue(language.Get(), valueName, text);
}

void RemoveFromComponent(const wchar_t* componentKey, const wchar_t* languageKey,
                         const wchar_t* valueName)
{
    RegKey component;
    if (!component.Open(HKEY_LOCAL_MACHINE, componentKey, kReadWrite))
        return;
    RegKey language;
    if (language.Open(HKEY_CURRENT_USER, languageKey, kReadWrite))
        RegDeleteValueW(language.Get(), valueName);
}

LANGID ReadLanguageOrDefault(const wchar_t* text)
{
    LANGID language = kDefaultLanguage;
    ReadHexLanguage(text, &language);
    return language;
}

BOOL CALLBACK AppendUILanguage(LPWSTR language, LONG_PTR context)
{
    reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(language);
    return TRUE;
}

BOOL AppendInstalledLanguage(LANGID language, void* context)
{
    if (context != nullptr)
        static_cast<std::vector<LANGID>*>(context)->push_back(language);
    return TRUE;
}

} // namespace

IMUIHelper* CMUIHelperFactory::CreateInstance()
{
    return new (std::nothrow) CMUIHelper();
}

void CMUIHelper::Release()
{
    delete this;
}

// System language

LANGID CMUIHelper::GetSystemUILanguage()
{
    return GetSystemDefaultUILanguage();
}

std::wstring CMUIHelper::GetSystemUILanguageString()
{
    return Format(L"%04x", GetSystemUILanguage());
}

LCID CMUIHelper::GetSystemUILCID()
{
    return ConvertDefaultLocale(GetSystemDefaultUILanguage());
}

std::wstring CMUIHelper::GetSystemLCIDString()
{
    return Format(L"%08x", GetSystemDefaultLCID());
}

std::wstring CMUIHelper::GetSystemLanguageAbbrev()
{
    return ReadLocaleText(GetSystemUILCID(), LOCALE_SABBREVLANGNAME);
}

// Saved language

BOOL CMUIHelper::GetSavedLCIDUnder(LCID& lcid, HKEY root)
{
    RegKey key;
    if (!key.Open(root, kAgentKey, KEY_READ))
        return 0;
    return ReadSavedLcid(key.Get(), lcid) ? 1 : 0;
}

BOOL CMUIHelper::GetSavedLCID(LCID& lcid)
{
    return GetSavedLCIDUnder(lcid, HKEY_CURRENT_USER);
}

BOOL CMUIHelper::GetSavedLanguage(LANGID& language)
{
    LCID lcid = 0;
    if (!GetSavedLCID(lcid))
        return 0;
    language = LANGIDFROMLCID(lcid);
    return 1;
}

BOOL CMUIHelper::GetSavedLanguageString(std::wstring& language)
{
    LANGID saved = 0;
    if (!GetSavedLanguage(saved))
        return 0;
    language = Format(L"%04x", saved);
    return 1;
}

BOOL CMUIHelper::GetSavedLCIDString(std::wstring& lcid)
{
    LCID saved = 0;
    if (!GetSavedLCID(saved))
        return 0;
    lcid = Format(L"%08x", saved);
    return 1;
}

BOOL CMUIHelper::GetSavedLanguageAbbrev(std::wstring& abbrev)
{
    LCID saved = 0;
    if (!GetSavedLCID(saved))
        return 0;
    abbrev = ReadLocaleText(saved, LOCALE_SABBREVLANGNAME);
    return 1;
}

BOOL CMUIHelper::SaveLCID(LCID lcid)
{
    RegKey agent;
    if (!agent.Create(HKEY_CURRENT_USER, kAgentKey, kReadWrite))
        return 0;
    const DWORD value = lcid;
    if (RegSetValueExW(agent.Get(), kSavedLcidValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof(value)) != ERROR_SUCCESS)
        return 0;

    const unsigned long primary = lcid & 0x3FF;
    const unsigned long sublanguage = (lcid & 0xFFFF) >> 10;
    CopyToComponent(kHostedScannerComponentKey, kHostedScannerLanguageKey,
                    kHostedScannerLanguageValue, Format(L"%02lx%02lx", primary, sublanguage));
    CopyToComponent(kWebSafetyComponentKey, kWebSafetyLanguageKey, kWebSafetyLanguageValue,
                    Format(L"0x%04x", LANGIDFROMLCID(lcid)));
    return 1;
}

BOOL CMUIHelper::ClearSavedLCID()
{
    RegKey agent;
    if (!agent.Open(HKEY_CURRENT_USER, kAgentKey, kReadWrite))
        return 0;
    LCID saved = 0;
    if (!ReadSavedLcid(agent.Get(), saved))
        return 1;
    if (RegDeleteValueW(agent.Get(), kSavedLcidValue) != ERROR_SUCCESS)
        return 0;
    RemoveFromComponent(kHostedScannerComponentKey, kHostedScannerLanguageKey,
                        kHostedScannerLanguageValue);
    RemoveFromComponent(kWebSafetyComponentKey, kWebSafetyLanguageKey, kWebSafetyLanguageValue);
    return 1;
}

// Interface language

BOOL CMUIHelper::ChooseInstalled(LANGID language, LCID& lcid)
{
    if (IsLanguageInstalled(language)) {
        lcid = ConvertDefaultLocale(language);
        return 1;
    }
    LANGID base = language;
    if (GetFallbackLanguage(base) && IsLanguageInstalled(base)) {
        lcid = ConvertDefaultLocale(base);
        return 1;
    }
    return 0;
}

LCID CMUIHelper::ChooseUILCID(LANGID userLanguage, LANGID systemLanguage)
{
    LCID lcid = 0;
    if (GetSavedLCID(lcid))
        return lcid;
    if (ChooseInstalled(userLanguage, lcid) || ChooseInstalled(systemLanguage, lcid))
        return lcid;
    return ConvertDefaultLocale(kDefaultLanguage);
}

LCID CMUIHelper::GetUILCID()
{
    return ChooseUILCID(GetUserDefaultUILanguage(), GetSystemDefaultUILanguage());
}

LANGID CMUIHelper::GetUILanguage()
{
    return LANGIDFROMLCID(GetUILCID());
}

std::wstring CMUIHelper::GetUILanguageString()
{
    return Format(L"%04x", GetUILanguage());
}

std::wstring CMUIHelper::GetUILCIDString()
{
    return Format(L"%08x", GetUILCID());
}

std::wstring CMUIHelper::GetUILanguageAbbrev()
{
    return ReadLocaleText(GetUILCID(), LOCALE_SABBREVLANGNAME);
}

// Installed and offered languages

BOOL CMUIHelper::IsLanguageInstalled(LANGID language)
{
    std::wstring folder;
    if (!ReadInstallFolder(folder))
        return 0;
    const std::wstring path = folder + L"\\Agent\\Res\\" + Format(L"%04x", language);
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

BOOL CMUIHelper::EnumInstalledLanguages(LanguageEnumProc callback, void* context)
{
    std::wstring folder;
    if (!ReadInstallFolder(folder))
        return 0;
    const std::wstring pattern = folder + L"\\Agent\\Res\\*";
    WIN32_FIND_DATAW entry;
    const FindHandle search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search)
        return 0;
    BOOL reported = 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0)
            continue;
        const LANGID language = ReadLanguageOrDefault(entry.cFileName);
        if (IsValidLocale(language, LCID_SUPPORTED) && callback != nullptr) {
            reported = 1;
            if (!callback(language, context))
                break;
        }
    } while (FindNextFileW(search.Get(), &entry));
    return reported;
}

BOOL CMUIHelper::GetInstalledLanguages(std::vector<LANGID>* languages)
{
    return EnumInstalledLanguages(AppendInstalledLanguage, languages);
}

BOOL CMUIHelper::IsLanguageSupported(LANGID language, const std::wstring& folder,
                                     const std::wstring& mask)
{
    const std::wstring key = Format(L"%04x", language);

    std::wstring base;
    if (!ReadInstallFolder(base)) {
        if (folder.empty() || folder.size() > kMaxCallerFolderChars)
            return 0;
        base = folder;
    }
    const std::wstring listFile = base + (folder.empty() ? L"\\Agent\\Languages.xml" : L"\\Languages.xml");
    if (GetFileAttributesW(listFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return IsLanguageInstalled(language);

    const int bit = FindLanguageMaskBit(listFile.c_str(), key.c_str());
    if (bit == -1)
        return IsLanguageInstalled(language);

    std::wstring supportMask;
    if (!ReadSupportMask(supportMask)) {
        if (mask.empty() || mask.size() > kMaxCallerMaskChars)
            return IsLanguageInstalled(language);
        supportMask = mask;
    }
    return IsMaskBitSet(supportMask.c_str(), bit) ? 1 : 0;
}

// Tables and names

std::wstring CMUIHelper::GetEnglishLanguageName(LANGID language)
{
    return ReadLocaleText(MAKELCID(language, SORT_DEFAULT), LOCALE_SENGLANGUAGE);
}

std::wstring CMUIHelper::GetLanguageAbbrev(LANGID language)
{
    return ReadLocaleText(MAKELCID(language, SORT_DEFAULT), LOCALE_SABBREVLANGNAME);
}

BOOL CMUIHelper::GetSystemUILanguages(std::vector<std::wstring>& languages)
{
    return EnumUILanguagesW(AppendUILanguage, 0, reinterpret_cast<LONG_PTR>(&languages));
}

BOOL CMUIHelper::IsRightToLeftString(const std::wstring& language)
{
    return IsRightToLeft(ReadLanguageOrDefault(language.c_str()));
}

BOOL CMUIHelper::IsRightToLeft(LANGID language)
{
    return IsRightToLeftLanguage(language) ? 1 : 0;
}

LANGID CMUIHelper::GetLanguageFromAbbrev(const std::wstring& abbrev)
{
    return LanguageFromAbbrev(abbrev.c_str());
}

BOOL CMUIHelper::GetFallbackLanguage(LANGID& language)
{
    LANGID base = 0;
    if (!FindFallbackLanguage(language, &base))
        return 0;
    language = base;
    return 1;
}
