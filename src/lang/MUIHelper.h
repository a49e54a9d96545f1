// The language object of the client: which user-interface language the
// client's programs show, which languages are installed and offered, and
// how the user's choice is stored. A language folder is named by its
// LANGID as four lower-case hexadecimal digits ("%04x", e.g. 0409).
#pragma once

#include <windows.h>

#include "common/ClientKeys.h"

#include <string>
#include <vector>

// Called once per installed language; return 0 to stop the enumeration.
typedef BOOL (*LanguageEnumProc)(LANGID language, void* context);

// The operations in the order of their virtual slots (0 to 30). Boolean
// results are 1 for yes or success, 0 otherwise.
class IMUIHelper {
public:
    virtual std::wstring GetSystemLanguageAbbrev() = 0;                        // 0
    virtual LANGID GetSystemUILanguage() = 0;                                  // 1
    virtual std::wstring GetSystemUILanguageString() = 0;                      // 2
    virtual LCID GetSystemUILCID() = 0;                                        // 3
    virtual std::wstring GetSystemLCIDString() = 0;                            // 4
    virtual BOOL GetSavedLanguageAbbrev(std::wstring& abbrev) = 0;             // 5
    virtual BOOL GetSavedLanguage(LANGID& language) = 0;                       // 6
    virtual BOOL GetSavedLanguageString(std::wstring& language) = 0;           // 7
    virtual BOOL GetSavedLCIDUnder(LCID& lcid, HKEY root) = 0;                 // 8
    virtual BOOL GetSavedLCID(LCID& lcid) = 0;                                 // 9
    virtual BOOL SaveLCID(LCID lcid) = 0;                                      // 10
    virtual BOOL ClearSavedLCID() = 0;                                         // 11
    virtual BOOL GetSavedLCIDString(std::wstring& lcid) = 0;                   // 12
    virtual std::wstring GetUILanguageAbbrev() = 0;                            // 13
    virtual LANGID GetUILanguage() = 0;                                        // 14
    virtual std::wstring GetUILanguageString() = 0;                            // 15
    virtual LCID GetUILCID() = 0;                                              // 16
    virtual std::wstring GetUILCIDString() = 0;                                // 17
    virtual BOOL IsLanguageInstalled(LANGID language) = 0;                     // 18
    virtual BOOL IsLanguageSupported(LANGID language, const std::wstring& folder,
                                     const std::wstring& mask) = 0;            // 19
    virtual std::wstring GetEnglishLanguageName(LANGID language) = 0;          // 20
    virtual BOOL GetSystemUILanguages(std::vector<std::wstring>& languages) = 0; // 21
    virtual BOOL IsRightToLeftString(const std::wstring& language) = 0;       // 22
    virtual BOOL IsRightToLeft(LANGID language) = 0;                           // 23
    virtual LANGID GetLanguageFromAbbrev(const std::wstring& abbrev) = 0;      // 24
    virtual std::wstring GetLanguageAbbrev(LANGID language) = 0;               // 25
    virtual BOOL GetFallbackLanguage(LANGID& language) = 0;                    // 26
    virtual BOOL EnumInstalledLanguages(LanguageEnumProc callback, void* context) = 0; // 27
    virtual BOOL GetInstalledLanguages(std::vector<LANGID>* languages) = 0;    // 28
    virtual void Release() = 0;                                                // 29

protected:
    virtual ~IMUIHelper() {}                                                   // 30
};

// Holds no data: every answer is computed afresh from the registry, the
// file system and the platform's locale functions.
class CMUIHelper : public IMUIHelper {
public:
    CMUIHelper() {}

    std::wstring GetSystemLanguageAbbrev() override;
    LANGID GetSystemUILanguage() override;
    std::wstring GetSystemUILanguageString() override;
    LCID GetSystemUILCID() override;
    std::wstring GetSystemLCIDString() override;
    BOOL GetSavedLanguageAbbrev(std::wstring& abbrev) override;
    BOOL GetSavedLanguage(LANGID& language) override;
    BOOL GetSavedLanguageString(std::wstring& language) override;
    BOOL GetSavedLCIDUnder(LCID& lcid, HKEY root) override;
    BOOL GetSavedLCID(LCID& lcid) override;
    BOOL SaveLCID(LCID lcid) override;
    BOOL ClearSavedLCID() override;
    BOOL GetSavedLCIDString(std::wstring& lcid) override;
    std::wstring GetUILanguageAbbrev() override;
    LANGID GetUILanguage() override;
    std::wstring GetUILanguageString() override;
    LCID GetUILCID() override;
    std::wstring GetUILCIDString() override;
    BOOL IsLanguageInstalled(LANGID language) override;
    BOOL IsLanguageSupported(LANGID language, const std::wstring& folder,
                             const std::wstring& mask) override;
    std::wstring GetEnglishLanguageName(LANGID language) override;
    BOOL GetSystemUILanguages(std::vector<std::wstring>& languages) override;
    BOOL IsRightToLeftString(const std::wstring& language) override;
    BOOL IsRightToLeft(LANGID language) override;
    LANGID GetLanguageFromAbbrev(const std::wstring& abbrev) override;
    std::wstring GetLanguageAbbrev(LANGID language) override;
    BOOL GetFallbackLanguage(LANGID& language) override;
    BOOL EnumInstalledLanguages(LanguageEnumProc callback, void* context) override;
    BOOL GetInstalledLanguages(std::vector<LANGID>* languages) override;
    void Release() override;

    // The choice of GetUILCID for the given user and system UI languages:
    // the saved language, else the first of user language, its base
    // language, system language, its base language that is installed,
    // else 0409.
    LCID ChooseUILCID(LANGID userLanguage, LANGID systemLanguage);

protected:
    ~CMUIHelper() override {}

private:
    BOOL ChooseInstalled(LANGID language, LCID& lcid);
};

class CMUIHelperFactory {
public:
    // A new language object on the heap, or none; end its use with Release.
    static IMUIHelper* CreateInstance();
};

// Registry keys and values of the language choice (the client's own keys
// are in common/ClientKeys.h).
constexpr wchar_t kSavedLcidValue[] = L"dwMUILCID";
constexpr wchar_t kSupportMaskValue[] = L"szPartnerSupportedInstalledLanguages";
constexpr wchar_t kHostedScannerLanguageKey[] = L"SOFTWARE\\Tavrel\\QxCore";
constexpr wchar_t kHostedScannerLanguageValue[] = L"PreferredLanguage";
constexpr wchar_t kWebSafetyLanguageKey[] = L"SOFTWARE\\Ombrelane";
constexpr wchar_t kWebSafetyLanguageValue[] = L"LanguageOverride";
