#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "common/CMyString.h"
#include "common/SystemException.h"
#include "tolvane/PointerList.h"

using testsupport::LogCapture;

namespace {

std::wstring Text(const CMyString& s)
{
    return s.HasText() ? std::wstring(s.c_str()) : std::wstring(L"<none>");
}

} // namespace

TEST(CMyString, EmptyStatesAndConstruction)
{
    LogCapture log;
    CMyString none;
    EXPECT_FALSE(none.HasText());
    EXPECT_EQ(0u, none.GetSize());

    CMyString fromNull(static_cast<const wchar_t*>(nullptr));
    EXPECT_FALSE(fromNull.HasText());
    ASSERT_EQ(1u, log.events.size());
    EXPECT_EQ("Invalid LPCWSTR NULL passed to CMyString constructor", log.events[0].message);
    EXPECT_EQ(LogUtils::Error, log.events[0].level);
    EXPECT_EQ("Wexmoor", log.events[0].category);

    CMyString empty;
    empty = L"";
    EXPECT_TRUE(empty.HasText());
    EXPECT_EQ(1u, empty.GetSize());

    CMyString s(L"abc");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_FALSE(s.HasText());
    EXPECT_EQ(1u, log.events.size()) << "assigning null logs nothing";

    s = "narrow";
    EXPECT_EQ(L"narrow", Text(s));
    s = -1234L;
    EXPECT_EQ(L"-1234", Text(s));
    EXPECT_EQ(6u, s.GetSize());

    CMyString copy;
    copy = s;
    EXPECT_EQ(L"-1234", Text(copy));
    copy = copy;
    EXPECT_EQ(L"-1234", Text(copy));
    copy = copy.c_str();
    EXPECT_EQ(L"-1234", Text(copy));
    copy = none;
    EXPECT_FALSE(copy.HasText());
}

TEST(CMyString, CompareFindAndTrim)
{
    CMyString none, other;
    EXPECT_EQ(1, none.Compare(other)) << "both without text";
    CMyString a(L"abc"), b(L"abd");
    EXPECT_EQ(1, a.Compare(none));
    EXPECT_LT(a.Compare(b), 0);
    EXPECT_EQ(0, a.Compare(b, 2));
    EXPECT_EQ(0, a.Compare(CMyString(L"abc")));

    EXPECT_EQ(1, a.Find(L"bc"));
    EXPECT_EQ(-1, a.Find(L"x"));
    EXPECT_EQ(-1, none.Find(L"a"));

    struct { const wchar_t* input; const wchar_t* trimmed; } cases[] = {
        {L"  a b  ", L"a b"}, {L"   ", L""}, {L"\t\r\nx\n", L"x"}, {L"", L""}, {L"ab", L"ab"},
    };
    for (const auto& c : cases) {
        CMyString s(c.input);
        const unsigned int size = s.GetSize();
        s.Trim();
        EXPECT_EQ(std::wstring(c.trimmed), Text(s)) << "input '" << testing::PrintToString(std::wstring(c.input));
        EXPECT_EQ(size, s.GetSize()) << "trim keeps the allocation size";
    }
}

TEST(CMyString, ReplaceAndReplaceChar)
{
    struct { const wchar_t* text; const wchar_t* find; const wchar_t* with; const wchar_t* result; unsigned int size; } cases[] = {
        {L"abab", L"ab", L"x", L"xx", 3},
        {L"aaa", L"aa", L"b", L"ba", 3},
        {L"hello", L"zz", L"y", L"hello", 6},
        {L"a-b-c", L"-", nullptr, L"abc", 4},
        {L"x", L"x", L"long", L"long", 5},
        {L"ab", L"", L"q", L"ab", 3},
    };
    for (const auto& c : cases) {
        CMyString s(c.text);
        s.Replace(c.find, c.with);
        EXPECT_EQ(std::wstring(c.result), Text(s)) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(c.size, s.GetSize()) << testing::PrintToString(std::wstring(c.text));
    }

    CMyString commas(L"a,b");
    commas.ReplaceChar(L',', L"; ");
    EXPECT_EQ(L"a; b", Text(commas));
    EXPECT_EQ(6u, commas.GetSize());

    CMyString unchanged(L"abc");
    unchanged.ReplaceChar(L',', L";");
    EXPECT_EQ(L"abc", Text(unchanged));
    EXPECT_EQ(4u, unchanged.GetSize());

    CMyString none;
    none.Replace(L"a", L"b");
    none.ReplaceChar(L'a', L"b");
    EXPECT_FALSE(none.HasText());
}

TEST(CBuffer, RemoveCharacters)
{
    CMyString s(L"aab");
    s.RemoveAllChars(L'a');
    EXPECT_EQ(L"b", Text(s));
    EXPECT_EQ(2u, s.GetSize());

    CMyString t(L"<a<b>");
    t.RemoveChar(L'<');
    EXPECT_EQ(L"a<b>", Text(t));
    EXPECT_EQ(5u, t.GetSize());

    CBuffer sized(4);
    EXPECT_EQ(4u, sized.GetSize());
    CBuffer empty(0u);
    EXPECT_EQ(nullptr, empty.GetText());
}

TEST(FaultGuard, ProcessorFaultBecomesSystemException)
{
    // A pointer into unmapped memory makes the copy fault inside the runtime.
    const wchar_t* bad = reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(0x10));
    LogCapture log;
    for (int round = 0; round < 3; ++round) {
        unsigned int code = 0;
        try {
            CMyString s(bad);
        } catch (const CSystemException& e) {
            code = e.code;
        }
        EXPECT_EQ(kStringFailure, code);

        CMyString target(L"old");
        try {
            target = bad;
            ADD_FAILURE() << "no exception";
        } catch (const CSystemException& e) {
            EXPECT_EQ(kStringFailure, e.code);
        }
        EXPECT_EQ(0u, target.GetSize()) << "the guard zeroes the size";
    }
    ASSERT_EQ(6u, log.events.size());
    for (const auto& event : log.events) {
        EXPECT_EQ("Exception occurred", event.message);
        EXPECT_EQ(LogUtils::Error, event.level);
        EXPECT_EQ("Wexmoor", event.category);
        EXPECT_NE(std::string::npos, event.sourceFile.find("CMyString"));
    }
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
