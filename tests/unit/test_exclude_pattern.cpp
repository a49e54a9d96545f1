// The wildcard match of exclusion items: a table of known answers, and a randomized comparison with a reference
// model of the same rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

#include "common/FileName.h"

namespace {

TEST(ExcludePattern, AnswersOfTheRuleTable)
{
    const struct { const wchar_t* subject; const wchar_t* pattern; BOOL expected; } cases[] = {
        {L"c:\\zona", L"C:\\ZONA", TRUE}, {L"C:\\Temp\\sub", L"C:\\Temp", FALSE}, {L"C:\\Temp", L"C:\\Temp\\*", FALSE},
        {L"C:\\Temp\\sub", L"C:\\Temp\\*", TRUE}, {L"a.b.txt", L"*.txt", TRUE}, {L"a.txt.bak", L"*.txt", FALSE}, {L".txt", L"*.txt", FALSE},
        {L"file.txt", L"file*.txt", FALSE}, {L"filex.txt", L"file*.txt", TRUE}, {L"a.txt", L"*abc.txt", TRUE}, {L"x.gz", L"*.tar.gz", FALSE},
        {L"ab", L"?", FALSE}, {L"a.b", L"a?.b", TRUE}, {L"a.tmp", L"*.tmp;*.bak", TRUE}, {L"xy", L"a;x", FALSE}, {L"x", L"a;x", TRUE},
        {L"", L"anything", TRUE}, {nullptr, L"*.txt", TRUE}, {nullptr, nullptr, TRUE}, {L"a", nullptr, FALSE},   // null subject or list: empty
        {L"abc", L"", FALSE}, {L"a", L"a*", FALSE},   // '*' stands for at least one character
        {L"\x00C4.txt", L"\x00E4.txt", FALSE}, {L"@", L"`", FALSE}, {L"[", L"{", FALSE},   // only ASCII letters fold
        {L"\xDC00", L"?", TRUE}, {L"\xDC00", L"\xD800", FALSE},   // unpaired surrogates are plain units
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.subject) + " " + testing::PrintToString(c.pattern));
        EXPECT_EQ(c.expected, CFileName::MatchesPattern(c.subject, c.pattern));
        EXPECT_EQ(c.expected, CFileName(c.subject).MatchesPattern(c.pattern));
    }
}

// The reference model: the rules as a recursive definition over one alternative; a list matches when the subject
// is empty or any alternative consumes the whole subject.
bool ReferenceAlternative(const std::wstring& s, size_t i, const std::wstring& alt, size_t j)
{
    auto lower = [](wchar_t ch) { return (ch >= L'A' && ch <= L'Z') ? ch + 32 : ch; };
    if (i == s.size() || j == alt.size())
        return i == s.size() && j == alt.size();
    if (alt[j] == L'?')
        return ReferenceAlternative(s, s[i] == L'.' ? i : i + 1, alt, j + 1);
    if (alt[j] != L'*')
        return lower(alt[j]) == lower(s[i]) && ReferenceAlternative(s, i + 1, alt, j + 1);
    // '*' skips to its next dot; the subject cursor moves to its dot, after the cursor, that has as many dots from
    // it to its end as the rest of the alternative.
    const size_t next = std::min(alt.find(L'.', j + 1), alt.size());
    const auto wanted = std::count(alt.begin() + next, alt.end(), L'.');
    for (size_t k = i + 1; wanted && k < s.size(); ++k)
        if (s[k] == L'.' && std::count(s.begin() + k, s.end(), L'.') == wanted)
            return ReferenceAlternative(s, k, alt, next);
    return wanted == 0;
}

TEST(ExcludePattern, AgreesWithTheReferenceModel)
{
    // Small alphabets make dots, case pairs and separators collide often.
    const std::wstring subjectAlphabet = L"aAbB..\\x\xD800", patternAlphabet = L"abAB..\\?*;x\xD800";
    std::mt19937 random(1);
    for (int round = 0; round < 200000; ++round) {
        std::wstring subject(random() % 10, L' '), pattern(random() % 10, L' '), alt;
        std::generate(subject.begin(), subject.end(), [&] { return subjectAlphabet[random() % subjectAlphabet.size()]; });
        std::generate(pattern.begin(), pattern.end(), [&] { return patternAlphabet[random() % patternAlphabet.size()]; });
        bool expected = subject.empty();
        for (std::wistringstream alternatives(pattern); std::getline(alternatives, alt, L';');)
            expected = expected || ReferenceAlternative(subject, 0, alt, 0);
        ASSERT_EQ(expected, CFileName::MatchesPattern(subject.c_str(), pattern.c_str()) != FALSE)
            << "round " << round << ": subject " << testing::PrintToString(subject) << " pattern " << testing::PrintToString(pattern);
    }
}

} // namespace
