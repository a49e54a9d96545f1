// The well-formedness pass over report attribute values.
#include "report/AttributeSafe.h"

#include <cwchar>

namespace Report {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A single UTF-16 unit that XML 1.0 allows as a character (surrogates are
// judged in pairs by the caller).
bool IsXmlCharUnit(wchar_t c)
{
    if (c < 0x20)
        return c == L'\t' || c == L'\n' || c == L'\r';
    return c != 0xFFFE && c != 0xFFFF;
}

bool IsXmlCodePoint(unsigned long c)
{
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    return (c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The value of an ASCII digit of the given base, or -1.
int DigitValue(wchar_t c, bool hex)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (hex && c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (hex && c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Length of the entity or character reference that starts at text (with its
// ampersand and semicolon), or 0 when none does: a document without a type
// declaration knows only the five predefined entities, and a character
// reference must name a character that XML allows.
size_t ReferenceLength(const wchar_t* text)
{
    static const wchar_t* const kEntities[] = {L"&amp;", L"&lt;", L"&gt;", L"&apos;", L"&quot;"};
    for (const wchar_t* entity : kEntities) {
        const size_t length = wcslen(entity);
        if (wcsncmp(text, entity, length) == 0)
            return length;
    }
    if (text[1] != L'#')
        return 0;
    const bool hex = text[2] == L'x';
    const wchar_t* digit = text + (hex ? 3 : 2);
    unsigned long code = 0;
    size_t digits = 0;
    for (int value; (value = DigitValue(*digit, hex)) >= 0; ++digit, ++digits) {
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(value);
        if (code > 0x10FFFF)
            return 0;
    }
    if (digits == 0 || *digit != L';' || !IsXmlCodePoint(code))
        return 0;
    return static_cast<size_t>(digit - text) + 1;
}

} // namespace

std::wstring AttributeSafe(const wchar_t* value)
{
    if (value == nullptr)
        return std::wstring();
    // One pass escapes what a parser rejects; a greater-than sign is legal
    // in an attribute and is escaped only when the value changes anyway.
    std::wstring safe;
    bool changed = false;
    for (const wchar_t* c = value; *c != L'\0'; ++c) {
        const size_t reference = *c == L'&' ? ReferenceLength(c) : 0;
        if (reference != 0) {
            safe.append(c, reference);
            c += reference - 1;
        } else if (IsHighSurrogate(*c) && IsLowSurrogate(c[1])) {
            safe.append(c, 2);
            ++c;
        } else if (*c == L'&' || *c == L'"' || *c == L'<') {
            safe += *c == L'&' ? L"&amp;" : *c == L'"' ? L"&quot;" : L"&lt;";
            changed = true;
        } else if (IsHighSurrogate(*c) || IsLowSurrogate(*c) || !IsXmlCharUnit(*c)) {
            safe += kReplacement;
            changed = true;
        } else {
            safe += *c;
        }
    }
    if (!changed)
        return safe;
    std::wstring escaped;
    for (wchar_t c : safe) {
        if (c == L'>')
            escaped += L"&gt;";
        else
            escaped += c;
    }
    return escaped;
}

} // namespace Report
