// The string, buffer and file-name classes of the library, on real files and log records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/FileName.h"
#include "common/CMyString.h"

using testsupport::LogCapture;
using Records = std::vector<std::string>;

namespace {

std::wstring Text(const CMyString& s) { return s.HasText() ? std::wstring(s.c_str()) : std::wstring(L"<none>"); }
std::string Quoted(const wchar_t* s) { return testing::PrintToString(std::wstring(s)); }

} // namespace

TEST(CMyString, EmptyStatesConstructionAndAssignment)
{
    LogCapture log;
    CMyString none, fromNull(static_cast<const wchar_t*>(nullptr)), empty, s(L"abc"), copy;
    empty = L"";
    s = static_cast<const wchar_t*>(nullptr);   // logs nothing, unlike the constructor
    EXPECT_EQ(Records{"Error Wexmoor Invalid LPCWSTR NULL passed to CMyString constructor"}, log.Records());
    EXPECT_EQ(L"<none> <none> <none> 0 1 1", Text(none) + L" " + Text(fromNull) + L" " + Text(s) + L" " + std::to_wstring(none.GetSize()) +
                                                   L" " + std::to_wstring(empty.GetSize()) + L" " + std::to_wstring(empty.HasText()));
    s = "narrow";
    EXPECT_EQ(L"narrow", Text(s));
    s = -1234L;
    copy = s;
    copy = copy;
    copy = copy.c_str();
    EXPECT_EQ(L"-1234 6", Text(copy) + L" " + std::to_wstring(s.GetSize()));
    copy = none;
    EXPECT_FALSE(copy.HasText());
}

TEST(CMyString, CompareFindTrimAndRemove)
{
    CMyString none, other, a(L"abc"), b(L"abd");
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0, 1, -1, -1}), (std::vector<int>{none.Compare(other), a.Compare(none), a.Compare(b, 2),
                                                      a.Compare(CMyString(L"abc")), a.Find(L"bc"), a.Find(L"x"), none.Find(L"a")}));
    EXPECT_LT(a.Compare(b), 0);
    for (const auto& [text, trimmed] : {std::pair{L"  a b  ", L"a b"}, {L"   ", L""}, {L"\t\r\nx\n", L"x"}, {L"", L""}, {L"ab", L"ab"}}) {
        CMyString t(text);
        const unsigned int size = t.GetSize();
        t.Trim();
        EXPECT_TRUE(Text(t) == trimmed && t.GetSize() == size) << Quoted(text) << ": trim keeps the allocation size";
    }
    CMyString all(L"aab"), first(L"<a<b>");
    all.RemoveAllChars(L'a');
    first.RemoveChar(L'<');
    EXPECT_EQ(L"b a<b>", Text(all) + L" " + Text(first));
    EXPECT_TRUE(CBuffer(4).GetSize() == 4 && CBuffer(0u).GetText() == nullptr);
}

// Replace and ReplaceChar: the result and the size. ReplaceChar walks the terminator too; after a trim,
// characters behind the terminator stay behind it (size 0: not compared).
TEST(CMyString, ReplaceAndReplaceChar)
{
    struct { const wchar_t* text; const wchar_t* find; const wchar_t* with; const wchar_t* result; unsigned int size; } cases[] = {
        {L"abab", L"ab", L"x", L"xx", 3}, {L"aaa", L"aa", L"b", L"ba", 3}, {L"hello", L"zz", L"y", L"hello", 6},
        {L"a-b-c", L"-", nullptr, L"abc", 4}, {L"x", L"x", L"long", L"long", 5}, {L"ab", L"", L"q", L"ab", 3},
        // ReplaceChar: the first character of find; a blank first means: trimmed before
        {L"a,b", L",", L"; ", L"a; b", 6}, {L"ab", L"", L"xy", L"abxy", 5}, {L" a ", L" ", L"long", L"a", 0}, {L"abc", L",", L";", L"abc", 4},
    };
    for (const auto& c : cases) {
        CMyString s(c.text);
        if (c.text[0] == L' ')   // ReplaceChar rows only
            s.Trim();
        &c - cases < 6 ? s.Replace(c.find, c.with) : s.ReplaceChar(c.find[0], c.with);
        EXPECT_TRUE(Text(s) == c.result && (c.size == 0 || c.size == s.GetSize())) << Quoted(c.text) << " " << Quoted(Text(s).c_str());
    }
    CMyString none;
    none.Replace(L"a", L"b");
    none.ReplaceChar(L'a', L"b");
    EXPECT_FALSE(none.HasText());
}

TEST(CFileName, AssignmentAndSeparators)
{
    struct { const wchar_t* name; const wchar_t* part; const wchar_t* joined; } appends[] = {
        {L"C:\\Install\\", L"\\Kelmo\\Trennix.DLL", L"C:\\Install\\Kelmo\\Trennix.DLL"}, {L"C:\\Install", L"Agent", L"C:\\Install\\Agent"},
        {L"C:\\Install", L"", L"C:\\Install\\"}, {L"http://host/", L"x", L"http://host/x"}, {L"a/b", L"\\c", L"a/b/\\c"},
        {L"C:\\Install\\\\", L"\\\\x", L"C:\\Install\\\\\\x"}, {L"a", nullptr, L"a"}, {nullptr, L"x", L"<none>"}, {L"", L"x", L"<none>"},
    };
    for (const auto& c : appends) {
        CFileName name;
        name = c.name;
        name.Append(c.part);
        EXPECT_TRUE(Text(name) == c.joined && (!name.HasText() || name.GetLength() + 1 == name.GetSize())) << Quoted(c.joined);
    }
    CFileName chained(L"C:\\dir"), slashes(L"dir/file");
    chained.Append(L"a/b");
    chained.Append(L"x");
    EXPECT_EQ(L"C:\\dir\\a/b\\x", Text(chained)) << "appending a part with '/' keeps '\\'";
    slashes = L"C:\\no\\slash";
    EXPECT_EQ(L"0 1", std::to_wstring(chained.UsesForwardSlashes()) + L" " + std::to_wstring(slashes.UsesForwardSlashes()))
        << "assignments only ever set the flag";
}

TEST(CFileName, RemoveFileSpecAndSplitPath)
{
    struct { const wchar_t* path; const wchar_t* removed; const wchar_t* folder; const wchar_t* name; } cases[] = {
        {L"C:\\a\\b.txt", L"C:\\a", L"C:\\a", L"b.txt"}, {L"C:\\a\\", L"C:\\a", L"C:\\a", L""},
        {L"plain", L"plain", L"<none>", L"<none>"}, {L"\\x", L"", L"", L"x"}, {L"a/b/c", L"a/b", L"<none>", L"<none>"},
    };
    for (const auto& c : cases) {
        CFileName path(c.path);
        CMyString folder(L"stale"), name(L"stale");
        path.SplitPath(folder, name);
        const std::wstring split = Text(folder) + L"|" + Text(name);
        path.RemoveFileSpec();
        EXPECT_EQ(std::wstring(c.folder) + L"|" + c.name + L"|" + c.removed, split + L"|" + Text(path));
    }
}

TEST(CFileName, ExistsIsFolderAndDeleteOnDisk)
{
    testsupport::TempFolder temp;
    const std::wstring file = temp.Join(L"file.txt");
    testsupport::WriteFileBytes(file, "x");
    struct { std::wstring path; BOOL exists; BOOL folder; } cases[] = {
        {temp.Path(), TRUE, TRUE}, {file, TRUE, FALSE}, {temp.Join(L"missing"), FALSE, FALSE}, {L"Q:\\", FALSE, TRUE},
        {L"Q:", FALSE, TRUE}, {L"Q:\\missing", FALSE, FALSE}, {L"1:\\", FALSE, FALSE}, {L"", FALSE, FALSE},
    };
    for (const auto& c : cases) {
        CFileName name(c.path.c_str());   // empty: no text
        EXPECT_TRUE(name.Exists() == c.exists && name.IsFolder() == c.folder) << testing::PrintToString(c.path);
    }
    LogCapture log;
    CFileName existing(file.c_str());
    EXPECT_TRUE(existing.Delete());
    EXPECT_TRUE(!testsupport::FileExists(file) && log.events.empty());
    EXPECT_FALSE(existing.Delete());
    EXPECT_EQ((Records{"Info Wexmoor Unable to delete the file (" + testsupport::Narrow(file) + ") as it does not exist",
                       "Warning Wexmoor Failed to delete file " + testsupport::Narrow(file) + " [error 2]"}), log.Records());
}
