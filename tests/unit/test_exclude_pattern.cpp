// The wildcard match of exclusion items: a table of known answers, and a
// randomized comparison with a reference model of the same rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/FileName.h"

namespace {

std::string Escaped(const std::wstring& text)
{
    std::string out;
    for (wchar_t ch : text) {
        if (ch >= 0x20 && ch < 0x7F) {
            out += static_cast<char>(ch);
        } else {
            char code[12];
            snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(ch));
            out += code;
        }
    }
    return out;
}

struct PatternCase {
    const wchar_t* subject;
    const wchar_t* pattern;
    BOOL expected;
};

const PatternCase kPatternCases[] = {
    {L"C:\\Temp", L"C:\\Temp", TRUE},
    {L"c:\\temp", L"C:\\TEMP", TRUE},
    {L"C:\\Temp\\sub", L"C:\\Temp", FALSE},
    {L"C:\\Temp", L"C:\\Temp\\*", FALSE},
    {L"C:\\Temp\\sub", L"C:\\Temp\\*", TRUE},
    {L"C:\\Temp\\sub\\deeper", L"C:\\Temp\\*", TRUE},
    {L"a.b.txt", L"*.txt", TRUE},
    {L"a.txt.bak", L"*.txt", FALSE},
    {L".txt", L"*.txt", FALSE},
    {L"file.txt", L"file*.txt", FALSE},
    {L"filex.txt", L"file*.txt", TRUE},
    {L"a.txt", L"*abc.txt", TRUE},
    {L"file.txt", L"f*x.txt", TRUE},
    {L"x.gz", L"*.tar.gz", FALSE},
    {L"x.tar.gz", L"*.tar.gz", TRUE},
    {L"x.zip.gz", L"*.tar.gz", FALSE},
    {L"a", L"?", TRUE},
    {L"ab", L"?", FALSE},
    {L"a.b", L"a?.b", TRUE},
    {L"ab.b", L"a?.b", TRUE},
    {L"ab", L"ab?", FALSE},            // the subject ends before the pattern
    {L"a.tmp", L"*.tmp;*.bak", TRUE},
    {L"a.bak", L"*.tmp;*.bak", TRUE},
    {L"a.BAK", L"*.tmp;*.bak", TRUE},
    {L"a.doc", L"*.tmp;*.bak", FALSE},
    {L"xy", L"a;x", FALSE},
    {L"x", L"a;x", TRUE},
    {L"x", L"x;", TRUE},
    {L"x", L";;x", TRUE},
    {L"", L"anything", TRUE},
    {L"", L"", TRUE},
    {L"abc", L"", FALSE},
    {L"abc", L";", FALSE},
    {L"abc", L";;;", FALSE},
    {L"abc", L"*", TRUE},
    {L"abc", L"a*", TRUE},
    {L"a", L"a*", FALSE},              // '*' stands for at least one character
    {L"abc", L"x*;a*", TRUE},
    {L"abc", L"**", TRUE},
    {L"a.b", L"*.*", TRUE},
    {L"ab", L"*.*", FALSE},
    {L"\x00C4.txt", L"\x00E4.txt", FALSE},   // only ASCII letters fold
    {L"\x00C4.txt", L"\x00C4.TXT", TRUE},
    {L"[a]", L"[A]", TRUE},
    {L"@", L"`", FALSE},               // neighbours of the letter ranges stay apart
    {L"\xD800x.tmp", L"*.tmp", TRUE},  // unpaired surrogates are plain units
    {L"\xDC00", L"?", TRUE},
    {L"\xDC00", L"\xD800", FALSE},
};

TEST(ExcludePattern, AnswersOfTheRuleTable)
{
    for (const PatternCase& c : kPatternCases) {
        SCOPED_TRACE(testing::Message() << "subject \"" << Escaped(c.subject)
                                        << "\" pattern \"" << Escaped(c.pattern) << "\"");
        EXPECT_EQ(c.expected, CFileName::MatchesPattern(c.subject, c.pattern));

        CFileName name;
        name = c.subject;   // an empty subject leaves the name without text
        EXPECT_EQ(c.expected, name.MatchesPattern(c.pattern));
    }
}

TEST(ExcludePattern, NullSubjectOrListCountsAsEmpty)
{
    EXPECT_TRUE(CFileName::MatchesPattern(nullptr, L"*.txt"));
    EXPECT_TRUE(CFileName::MatchesPattern(nullptr, nullptr));
    EXPECT_FALSE(CFileName::MatchesPattern(L"a", nullptr));
    EXPECT_TRUE(CFileName::MatchesPattern(L"", nullptr));
}

TEST(ExcludePattern, LongestPathsAndLists)
{
    std::wstring subject = L"C:\\" + std::wstring(32767 - 3 - 4, L'a') + L".tmp";
    ASSERT_EQ(32767u, subject.size());
    std::wstring list;
    while (list.size() < 32000)
        list += L"*.bak;?;";
    EXPECT_FALSE(CFileName::MatchesPattern(subject.c_str(), list.c_str()));
    list += L"*.tmp";
    EXPECT_TRUE(CFileName::MatchesPattern(subject.c_str(), list.c_str()));
    EXPECT_TRUE(CFileName::MatchesPattern(subject.c_str(), subject.c_str()));
    EXPECT_FALSE(CFileName::MatchesPattern(subject.c_str(), std::wstring(32767, L'*').append(L".x").c_str()));
}

// --- Reference model ------------------------------------------------------
// The rules restated as a recursive definition over one alternative at a
// time; the list matches when the subject is empty or any alternative
// consumes the whole subject.

wchar_t Lower(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

bool ReferenceAlternative(const std::wstring& subject, size_t i, const std::wstring& alt, size_t j)
{
    if (i == subject.size())
        return j == alt.size();
    if (j == alt.size())
        return false;
    switch (alt[j]) {
    case L'?':
        return ReferenceAlternative(subject, subject[i] == L'.' ? i : i + 1, alt, j + 1);
    case L'*': {
        size_t next = alt.find(L'.', j + 1);
        if (next == std::wstring::npos)
            next = alt.size();
        const auto wanted = static_cast<size_t>(std::count(alt.begin() + next, alt.end(), L'.'));
        if (wanted == 0)
            return true;
        std::vector<size_t> dots;
        for (size_t k = 0; k < subject.size(); ++k) {
            if (subject[k] == L'.')
                dots.push_back(k);
        }
        if (dots.size() < wanted)
            return false;
        const size_t dot = dots[dots.size() - wanted];
        return dot > i && ReferenceAlternative(subject, dot, alt, next);
    }
    default:
        return Lower(alt[j]) == Lower(subject[i]) && ReferenceAlternative(subject, i + 1, alt, j + 1);
    }
}

bool ReferenceMatch(const std::wstring& subject, const std::wstring& list)
{
    if (subject.empty())
        return true;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(list.find(L';', start), list.size());
        if (ReferenceAlternative(subject, 0, list.substr(start, end - start), 0))
            return true;
        if (end == list.size())
            return false;
        start = end + 1;
    }
}

std::wstring RandomText(std::mt19937& random, const std::wstring& alphabet, size_t maxLength)
{
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::wstring text(length(random), L' ');
    for (wchar_t& ch : text)
        ch = alphabet[pick(random)];
    return text;
}

TEST(ExcludePattern, AgreesWithTheReferenceModel)
{
    // Small alphabets make dots, case pairs and separators collide often.
    const std::wstring subjectAlphabet = L"aAbB..\\x\xD800";
    const std::wstring patternAlphabet = L"abAB..\\?*;x\xD800";
    for (unsigned int seed = 1; seed <= 8; ++seed) {
        std::mt19937 random(seed);
        int disagreements = 0;
        for (int round = 0; round < 25000 && disagreements < 5; ++round) {
            const std::wstring subject = RandomText(random, subjectAlphabet, 9);
            const std::wstring pattern = RandomText(random, patternAlphabet, 9);
            const bool expected = ReferenceMatch(subject, pattern);
            const bool actual = CFileName::MatchesPattern(subject.c_str(), pattern.c_str()) != FALSE;
            if (expected != actual) {
                ++disagreements;
                ADD_FAILURE() << "seed " << seed << " round " << round << ": subject \""
                              << Escaped(subject) << "\" pattern \"" << Escaped(pattern)
                              << "\" reference " << expected << " actual " << actual;
            }
        }
    }
}

} // namespace
