#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/FileName.h"
#include "common/CMyString.h"
#include "common/SystemException.h"
#include "tolvane/PointerList.h"

using testsupport::LogCapture;
using testsupport::TempFolder;

namespace {

std::wstring Text(const CMyString& s)
{
    return s.HasText() ? std::wstring(s.c_str()) : std::wstring(L"<none>");
}

} // namespace

TEST(CMyString, EmptyStatesConstructionAndAssignment)
{
    LogCapture log;
    CMyString none, fromNull(static_cast<const wchar_t*>(nullptr)), empty, s(L"abc"), copy;
    const std::vector<std::string> logged = {"Error Wexmoor Invalid LPCWSTR NULL passed to CMyString constructor"};
    EXPECT_EQ(logged, log.Records());
    empty = L"";
    s = static_cast<const wchar_t*>(nullptr);   // logs nothing
    EXPECT_EQ(logged, log.Records());
    EXPECT_EQ(L"<none> <none> <none> 0 1", Text(none) + L" " + Text(fromNull) + L" " + Text(s) + L" " +
                                               std::to_wstring(none.GetSize()) + L" " + std::to_wstring(empty.GetSize()));
    EXPECT_TRUE(empty.HasText());
    s = "narrow";
    EXPECT_EQ(L"narrow", Text(s));
    s = -1234L;
    EXPECT_EQ(6u, s.GetSize());
    copy = s;
    copy = copy;
    copy = copy.c_str();
    EXPECT_EQ(L"-1234", Text(copy));
    copy = none;
    EXPECT_FALSE(copy.HasText());
}

TEST(CMyString, CompareFindTrimAndRemove)
{
    CMyString none, other, a(L"abc"), b(L"abd");
    EXPECT_EQ(1, none.Compare(other)) << "both without text";
    EXPECT_EQ(1, a.Compare(none));
    EXPECT_LT(a.Compare(b), 0);
    EXPECT_EQ(0, a.Compare(b, 2));
    EXPECT_EQ(0, a.Compare(CMyString(L"abc")));
    EXPECT_EQ(1, a.Find(L"bc"));
    EXPECT_EQ(-1, a.Find(L"x"));
    EXPECT_EQ(-1, none.Find(L"a"));
    for (const auto& c : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"  a b  ", L"a b"}, {L"   ", L""}, {L"\t\r\nx\n", L"x"}, {L"", L""}, {L"ab", L"ab"}}) {
        CMyString t(c.first);
        const unsigned int size = t.GetSize();
        t.Trim();
        EXPECT_EQ(std::wstring(c.second), Text(t)) << testing::PrintToString(std::wstring(c.first));
        EXPECT_EQ(size, t.GetSize()) << "trim keeps the allocation size";
    }
    CMyString all(L"aab"), first(L"<a<b>");
    all.RemoveAllChars(L'a');
    first.RemoveChar(L'<');
    EXPECT_EQ(L"b a<b>", Text(all) + L" " + Text(first));
    EXPECT_EQ(4u, CBuffer(4).GetSize());
    EXPECT_EQ(nullptr, CBuffer(0u).GetText());
}

// Replace and ReplaceChar: the result and the size. ReplaceChar walks the terminator too; after a trim,
// characters behind the terminator stay behind it (size 0: not compared).
TEST(CMyString, ReplaceAndReplaceChar)
{
    struct { const wchar_t* text; const wchar_t* find; const wchar_t* with; const wchar_t* result; unsigned int size; } cases[] = {
        {L"abab", L"ab", L"x", L"xx", 3}, {L"aaa", L"aa", L"b", L"ba", 3}, {L"hello", L"zz", L"y", L"hello", 6},
        {L"a-b-c", L"-", nullptr, L"abc", 4}, {L"x", L"x", L"long", L"long", 5}, {L"ab", L"", L"q", L"ab", 3},
        // ReplaceChar: the first character of find; a blank first means: trimmed before
        {L"a,b", L",", L"; ", L"a; b", 6}, {L"ab", L"", L"xy", L"abxy", 5}, {L" a ", L" ", L"long", L"a", 0},
        {L"abc", L",", L";", L"abc", 4},
    };
    for (const auto& c : cases) {
        CMyString s(c.text);
        if (&c - cases < 6) {
            s.Replace(c.find, c.with);
        } else {
            if (c.text[0] == L' ')
                s.Trim();
            s.ReplaceChar(c.find[0], c.with);
        }
        EXPECT_EQ(std::wstring(c.result), Text(s)) << testing::PrintToString(std::wstring(c.text));
        EXPECT_TRUE(c.size == 0 || c.size == s.GetSize()) << testing::PrintToString(std::wstring(c.text));
    }
    CMyString none;
    none.Replace(L"a", L"b");
    none.ReplaceChar(L'a', L"b");
    EXPECT_FALSE(none.HasText());
}

TEST(FaultGuard, ProcessorFaultBecomesSystemException)
{
    // A pointer into unmapped memory makes the copy fault inside the runtime.
    const wchar_t* bad = reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(0x10));
    auto codeOf = [](const std::function<void()>& work) {   // the code of the exception thrown, 0 for none
        try {
            work();
        } catch (const CSystemException& e) {
            return e.code;
        }
        return 0u;
    };
    LogCapture log;
    for (int round = 0; round < 3; ++round) {   // the guard works again after each fault
        EXPECT_EQ(Tolvane::kStringFailure, codeOf([&] { CMyString s(bad); }));
        CMyString target(L"old");
        EXPECT_EQ(Tolvane::kStringFailure, codeOf([&] { target = bad; }));
        EXPECT_EQ(0u, target.GetSize()) << "the guard zeroes the size";
        // Replace faults on its argument while the string still holds its text.
        CMyString replaced(L"abc");
        EXPECT_EQ(Tolvane::kStringFailure, codeOf([&] { replaced.Replace(L"b", bad); }));
        EXPECT_EQ(0u, replaced.GetSize()) << "the guard zeroes the size of a string with text";
    }
    EXPECT_EQ(std::vector<std::string>(9, "Error Wexmoor Exception occurred"), log.Records());
    for (const auto& event : log.events)
        EXPECT_NE(std::string::npos, event.sourceFile.find("CMyString"));
}

TEST(CPointerList, OrderAndBounds)
{
    for (int lockFlag : {0, 1}) {
        CPointerList list(lockFlag);
        EXPECT_EQ(nullptr, list.PopFront());
        int items[4] = {};
        for (int& item : items)
            list.PushBack(&item);
        EXPECT_EQ(4u, list.GetCount());
        EXPECT_EQ(&items[0], list.ItemAt(0));
        EXPECT_EQ(&items[3], list.ItemAt(3));
        EXPECT_EQ(nullptr, list.ItemAt(4));
        for (int& item : items)
            EXPECT_EQ(&item, list.PopFront());
        EXPECT_EQ(0u, list.GetCount());
        EXPECT_EQ(nullptr, list.PopFront());
        list.PushBack(&items[1]);
        EXPECT_EQ(&items[1], list.ItemAt(0));
    }
}

TEST(CFileName, AssignmentAndSeparators)
{
    struct { const wchar_t* name; const wchar_t* part; const wchar_t* joined; } appends[] = {
        {L"C:\\Install\\", L"\\Kelmo\\Trennix.DLL", L"C:\\Install\\Kelmo\\Trennix.DLL"},
        {L"C:\\Install", L"\\Kelmo\\Trennix.DLL", L"C:\\Install\\Kelmo\\Trennix.DLL"},
        {L"C:\\Install", L"Agent", L"C:\\Install\\Agent"}, {L"C:\\Install\\", L"", L"C:\\Install\\"},
        {L"C:\\Install", L"", L"C:\\Install\\"}, {L"http://host/", L"x", L"http://host/x"}, {L"a/b", L"\\c", L"a/b/\\c"},
        {L"C:\\Install\\\\", L"\\\\x", L"C:\\Install\\\\\\x"},
    };
    for (const auto& c : appends) {
        CFileName name;
        name = c.name;
        name.Append(c.part);
        EXPECT_EQ(std::wstring(c.joined), Text(name)) << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(name.GetLength() + 1, name.GetSize());
    }

    CFileName none;
    none.Append(L"x");
    EXPECT_FALSE(none.HasText());
    CFileName emptied;
    emptied = L"";
    EXPECT_FALSE(emptied.HasText()) << "empty text is not kept";
    CFileName kept(L"a");
    kept.Append(nullptr);
    EXPECT_EQ(L"a", Text(kept));

    CFileName chained(L"C:\\dir");
    chained.Append(L"a/b");
    chained.Append(L"x");
    EXPECT_EQ(L"C:\\dir\\a/b\\x", Text(chained)) << "appending a part with '/' keeps '\\'";
    EXPECT_EQ(0, chained.UsesForwardSlashes());

    CFileName slashes(L"dir/file");
    EXPECT_EQ(1, slashes.UsesForwardSlashes());
    slashes = L"C:\\no\\slash";
    EXPECT_EQ(1, slashes.UsesForwardSlashes()) << "assignments only ever set the flag";
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
        EXPECT_EQ(std::wstring(c.folder), Text(folder)) << testing::PrintToString(std::wstring(c.path));
        EXPECT_EQ(std::wstring(c.name), Text(name)) << testing::PrintToString(std::wstring(c.path));
        path.RemoveFileSpec();
        EXPECT_EQ(std::wstring(c.removed), Text(path)) << testing::PrintToString(std::wstring(c.path));
    }
}

TEST(CFileName, ExistsAndIsFolderOnDisk)
{
    TempFolder temp;
    const std::wstring file = temp.Join(L"file.txt");
    testsupport::WriteFileBytes(file, "x");
    struct { std::wstring path; BOOL exists; BOOL folder; } cases[] = {
        {temp.Path(), TRUE, TRUE}, {file, TRUE, FALSE}, {temp.Join(L"missing"), FALSE, FALSE}, {L"Q:\\", FALSE, TRUE},
        {L"Q:", FALSE, TRUE}, {L"Q:\\missing", FALSE, FALSE}, {L"1:\\", FALSE, FALSE},
    };
    for (const auto& c : cases) {
        CFileName name(c.path.c_str());
        EXPECT_EQ(c.exists, name.Exists()) << testing::PrintToString(c.path);
        EXPECT_EQ(c.folder, name.IsFolder()) << testing::PrintToString(c.path);
    }
    CFileName none;
    EXPECT_FALSE(none.Exists());
    EXPECT_FALSE(none.IsFolder());
}

TEST(CFileName, DeleteAndItsLogRecords)
{
    TempFolder temp;
    const std::wstring file = temp.Join(L"gone.txt");
    testsupport::WriteFileBytes(file, "x");
    LogCapture log;

    CFileName existing(file.c_str());
    EXPECT_TRUE(existing.Delete());
    EXPECT_FALSE(testsupport::FileExists(file));
    EXPECT_TRUE(log.events.empty());

    EXPECT_FALSE(existing.Delete());
    EXPECT_EQ((std::vector<std::string>{
                  "Info Wexmoor Unable to delete the file (" + testsupport::Narrow(file) + ") as it does not exist",
                  "Warning Wexmoor Failed to delete file " + testsupport::Narrow(file) + " [error 2]"}),
              log.Records());

    log.Clear();
    CFileName none;
    EXPECT_FALSE(none.Delete());
    EXPECT_EQ((std::vector<std::string>{"Debug Wexmoor CFileName::Delete(): Attempt to delete undefined file",
                                        "Warning Wexmoor Failed to delete file  [error 3]"}),
              log.Records());
}
