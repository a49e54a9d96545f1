#include "lang/LanguageTables.h"

#include <cwchar>

const LANGID kRightToLeftLanguages[] = {
    0x0401, 0x0801, 0x0c01, 0x1001, 0x1401, 0x1801, 0x1c01, 0x2001, 0x2401,
    0x2801, 0x2c01, 0x3001, 0x3401, 0x3801, 0x3c01, 0x4001, 0x0429, 0x0463,
    0x0446, 0x0442, 0x0480, 0x040d, 0x045a, 0x0465, 0x0420, 0x0820,
};
const size_t kRightToLeftLanguageCount = sizeof(kRightToLeftLanguages) / sizeof(kRightToLeftLanguages[0]);

const LanguageFallback kLanguageFallbacks[] = {
    // German
    {0x0807, 0x0407}, {0x0c07, 0x0407}, {0x1007, 0x0407}, {0x1407, 0x0407},
    // English (United States)
    {0x0809, 0x0409}, {0x0c09, 0x0409}, {0x1009, 0x0409}, {0x1409, 0x0409},
    {0x1809, 0x0409}, {0x1c09, 0x0409}, {0x2009, 0x0409}, {0x2409, 0x0409},
    {0x2809, 0x0409}, {0x2c09, 0x0409}, {0x3009, 0x0409}, {0x3409, 0x0409},
    // Spanish, and Catalan
    {0x0403, 0x040a}, {0x080a, 0x040a}, {0x0c0a, 0x040a}, {0x100a, 0x040a},
    {0x140a, 0x040a}, {0x180a, 0x040a}, {0x1c0a, 0x040a}, {0x200a, 0x040a},
    {0x240a, 0x040a}, {0x280a, 0x040a}, {0x2c0a, 0x040a}, {0x300a, 0x040a},
    {0x340a, 0x040a}, {0x380a, 0x040a}, {0x3c0a, 0x040a}, {0x400a, 0x040a},
    {0x440a, 0x040a}, {0x480a, 0x040a}, {0x4c0a, 0x040a}, {0x500a, 0x040a},
    // French
    {0x080c, 0x040c}, {0x0c0c, 0x040c}, {0x100c, 0x040c}, {0x140c, 0x040c}, {0x180c, 0x040c},
    // Italian, Dutch, Norwegian, Swedish
    {0x0810, 0x0410}, {0x0813, 0x0413}, {0x0814, 0x0414}, {0x081d, 0x041d},
    // Chinese (traditional, simplified)
    {0x0c04, 0x0404}, {0x1404, 0x0404}, {0x1004, 0x0804},
};
const size_t kLanguageFallbackCount = sizeof(kLanguageFallbacks) / sizeof(kLanguageFallbacks[0]);

const LanguageAbbrev kLanguageAbbrevs[] = {
    // Arabic
    {L"ARG", 0x1401}, {L"ARH", 0x3c01}, {L"ARE", 0x0c01}, {L"ARI", 0x0801},
    {L"ARJ", 0x2c01}, {L"ARK", 0x3401}, {L"ARB", 0x3001}, {L"ARL", 0x1001},
    {L"ARM", 0x1801}, {L"ARO", 0x2001}, {L"ARQ", 0x4001}, {L"ARA", 0x0401},
    {L"ARS", 0x2801}, {L"ART", 0x1c01}, {L"ARU", 0x3801}, {L"ARY", 0x2401},
    // Chinese
    {L"ZHH", 0x0c04}, {L"ZHM", 0x1404}, {L"ZHI", 0x1004}, {L"CHS", 0x0804}, {L"CHT", 0x0404},
    // Dutch
    {L"NLB", 0x0813}, {L"NLD", 0x0413},
    // English
    {L"ENA", 0x0c09}, {L"ENL", 0x2809}, {L"ENC", 0x1009}, {L"ENB", 0x2409},
    {L"ENI", 0x1809}, {L"ENJ", 0x2009}, {L"ENZ", 0x1409}, {L"ENP", 0x3409},
    {L"ENS", 0x1c09}, {L"ENT", 0x2c09}, {L"ENG", 0x0809}, {L"ENU", 0x0409},
    {L"ENW", 0x3009},
    // French
    {L"FRB", 0x080c}, {L"FRC", 0x0c0c}, {L"FRA", 0x040c}, {L"FRL", 0x140c},
    {L"FRM", 0x180c}, {L"FRS", 0x100c},
    // German
    {L"DEA", 0x0c07}, {L"DEU", 0x0407}, {L"DEC", 0x1407}, {L"DEL", 0x1007}, {L"DES", 0x0807},
    // Italian, Malay, Norwegian, Portuguese, Swedish, Uzbek
    {L"ITA", 0x0410}, {L"ITS", 0x0810}, {L"MSB", 0x083e}, {L"MSL", 0x043e},
    {L"NOR", 0x0414}, {L"NON", 0x0814}, {L"PTB", 0x0416}, {L"PTG", 0x0816},
    {L"SVF", 0x081d}, {L"SVE", 0x041d}, {L"UZB", 0x0843},
    // Spanish
    {L"ESS", 0x2c0a}, {L"ESB", 0x400a}, {L"ESL", 0x340a}, {L"ESO", 0x240a},
    {L"ESC", 0x140a}, {L"ESD", 0x1c0a}, {L"ESF", 0x300a}, {L"ESE", 0x440a},
    {L"ESG", 0x100a}, {L"ESH", 0x480a}, {L"ESM", 0x080a}, {L"ESI", 0x4c0a},
    {L"ESA", 0x180a}, {L"ESZ", 0x3c0a}, {L"ESR", 0x280a}, {L"ESU", 0x500a},
    {L"ESN", 0x0c0a}, {L"ESP", 0x040a}, {L"ESY", 0x380a}, {L"ESV", 0x200a},
    // Others
    {L"AFK", 0x0436}, {L"HYE", 0x042b}, {L"SQI", 0x041c}, {L"AZE", 0x082c},
    {L"EUQ", 0x042d}, {L"BEL", 0x0423}, {L"BGR", 0x0402}, {L"CAT", 0x0403},
    {L"HRV", 0x041a}, {L"CSY", 0x0405}, {L"DAN", 0x0406}, {L"DIV", 0x0465},
    {L"ETI", 0x0425}, {L"FOS", 0x0438}, {L"FAR", 0x0429}, {L"FIN", 0x040b},
    {L"MKI", 0x042f}, {L"GLC", 0x0456}, {L"KAT", 0x0437}, {L"ELL", 0x0408},
    {L"GUJ", 0x0447}, {L"HEB", 0x040d}, {L"HIN", 0x0439}, {L"HUN", 0x040e},
    {L"ISL", 0x040f}, {L"IND", 0x0421}, {L"JPN", 0x0411}, {L"KAN", 0x044b},
    {L"KKZ", 0x043f}, {L"KNK", 0x0457}, {L"KOR", 0x0412}, {L"KYR", 0x0440},
    {L"LVI", 0x0426}, {L"LTH", 0x0427}, {L"MAR", 0x044e}, {L"MON", 0x0450},
    {L"PLK", 0x0415}, {L"PAN", 0x0446}, {L"ROM", 0x0418}, {L"RUS", 0x0419},
    {L"SAN", 0x044f}, {L"SRB", 0x0c1a}, {L"SRL", 0x081a}, {L"SKY", 0x041b},
    {L"SLV", 0x0424}, {L"SWK", 0x0441}, {L"SYR", 0x045a}, {L"TAM", 0x0449},
    {L"TTT", 0x0444}, {L"TEL", 0x044a}, {L"THA", 0x041e}, {L"TRK", 0x041f},
    {L"UKR", 0x0422}, {L"URD", 0x0420}, {L"VIT", 0x042a},
};
const size_t kLanguageAbbrevCount = sizeof(kLanguageAbbrevs) / sizeof(kLanguageAbbrevs[0]);

bool IsRightToLeftLanguage(LANGID language)
{
    for (size_t i = 0; i < kRightToLeftLanguageCount; ++i) {
        if (kRightToLeftLanguages[i] == language)
            return true;
    }
    return false;
}

bool FindFallbackLanguage(LANGID variant, LANGID* base)
{
    for (size_t i = 0; i < kLanguageFallbackCount; ++i) {
        if (kLanguageFallbacks[i].variant == variant) {
            *base = kLanguageFallbacks[i].base;
            return true;
        }
    }
    return false;
}

LANGID LanguageFromAbbrev(const wchar_t* abbrev)
{
    if (abbrev == nullptr)
        return 0;
    for (size_t i = 0; i < kLanguageAbbrevCount; ++i) {
        if (_wcsicmp(kLanguageAbbrevs[i].abbrev, abbrev) == 0)
            return kLanguageAbbrevs[i].language;
    }
    return 0;
}

int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

bool ReadHexLanguage(const wchar_t* text, LANGID* value)
{
    if (text == nullptr || HexDigitValue(text[0]) < 0)
        return false;
    unsigned int result = 0;
    for (int i = 0; i < 4 && HexDigitValue(text[i]) >= 0; ++i)
        result = result * 16 + static_cast<unsigned int>(HexDigitValue(text[i]));
    *value = static_cast<LANGID>(result);
    return true;
}
