// The fixed language tables of the client: right-to-left languages,
// regional variants and their base languages, and the three-letter
// language abbreviations.
#pragma once

#include <windows.h>

#include <cstddef>

struct LanguageAbbrev {
    const wchar_t* abbrev;
    LANGID language;
};

struct LanguageFallback {
    LANGID variant;
    LANGID base;
};

extern const LANGID kRightToLeftLanguages[];
extern const size_t kRightToLeftLanguageCount;
extern const LanguageFallback kLanguageFallbacks[];
extern const size_t kLanguageFallbackCount;
extern const LanguageAbbrev kLanguageAbbrevs[];
extern const size_t kLanguageAbbrevCount;

bool IsRightToLeftLanguage(LANGID language);
// The base language of a regional variant; false when the table has none.
bool FindFallbackLanguage(LANGID variant, LANGID* base);
// The LANGID of a three-letter abbreviation (any case); 0 when unknown.
LANGID LanguageFromAbbrev(const wchar_t* abbrev);

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(wchar_t c);

// Reads up to four hexadecimal digits from the start of text; false (and
// *value untouched) when the text does not begin with one.
bool ReadHexLanguage(const wchar_t* text, LANGID* value);
