// The wildcard match of exclusion items.
//
// A pattern list is a set of alternatives separated by ';'. Two cursors walk
// the subject and the pattern:
//   '?'   one character, but nothing when the subject stands on a '.';
//   '*'   skips the pattern up to its next '.', then moves the subject to
//         the dot that leaves as many dots behind it as the rest of the
//         alternative holds (at least one character must be skipped); with
//         no dot behind it, '*' matches whatever remains;
//   else  the characters must be equal, ASCII letters compared without case.
// An alternative fails when a character differs or the subject ends before
// the alternative does. An empty subject matches every list.

#include "common/FileName.h"

#include <cwchar>

namespace {

const wchar_t kNoText[] = L"";

inline wchar_t FoldAsciiCase(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
}

// The ';' that ends the alternative at p, or the end of the list.
inline const wchar_t* EndOfAlternative(const wchar_t* p)
{
    while (*p != L'\0' && *p != L';')
        ++p;
    return p;
}

} // namespace

BOOL CFileName::MatchesPattern(const wchar_t* patternList) const
{
    return MatchesPattern(m_text, patternList);
}

BOOL CFileName::MatchesPattern(const wchar_t* subject, const wchar_t* patternList)
{
    const wchar_t* const start = subject ? subject : kNoText;
    const wchar_t* subjectEnd = nullptr;   // found when a '*' first needs it
    const wchar_t* s = start;
    const wchar_t* p = patternList ? patternList : kNoText;

    for (;;) {
        // The subject ended inside an alternative: it fails, and the next
        // one starts again at the beginning of the subject.
        if (*s == L'\0' && *p != L';' && *p != L'\0') {
            p = EndOfAlternative(p);
            s = start;
        }

        switch (*p) {
        case L'\0':
            return *s == L'\0';

        case L';':
            if (*s == L'\0')
                return TRUE;
            s = start;
            ++p;
            break;

        case L'?':
            ++p;
            if (*s != L'.')
                ++s;
            break;

        case L'*': {
            ++p;
            while (*p != L'\0' && *p != L';' && *p != L'.')
                ++p;
            unsigned int dots = 0;
            for (const wchar_t* q = p; *q != L'\0' && *q != L';'; ++q) {
                if (*q == L'.')
                    ++dots;
            }
            if (dots == 0)
                return TRUE;

            if (!subjectEnd)
                subjectEnd = start + wcslen(start);
            const wchar_t* dot = nullptr;
            for (const wchar_t* q = subjectEnd; q != start;) {
                if (*--q == L'.' && --dots == 0) {
                    dot = q;
                    break;
                }
            }
            s = (dot && dot > s) ? dot : subjectEnd;
            break;
        }

        default:
            if (FoldAsciiCase(*p) == FoldAsciiCase(*s)) {
                ++p;
                ++s;
            } else {
                p = EndOfAlternative(p);
            }
            break;
        }
    }
}
