#include <gtest/gtest.h>

#include <string>

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/FileName.h"

using testsupport::LogCapture;
using testsupport::TempFolder;

namespace {

std::wstring Text(const CMyString& s)
{
    return s.HasText() ? std::wstring(s.c_str()) : std::wstring(L"<none>");
}

} // namespace

TEST(CFileName, AssignmentAndSeparators)
{
    struct { const wchar_t* name; const wchar_t* part; const wchar_t* joined; } appends[] = {
        {L"C:\\Install\\", L"\\Kelmo\\Trennix.DLL", L"C:\\Install\\Kelmo\\Trennix.DLL"},
        {L"C:\\Install", L"\\Kelmo\\Trennix.DLL", L"C:\\Install\\Kelmo\\Trennix.DLL"},
        {L"C:\\Install", L"Agent", L"C:\\Install\\Agent"},
        {L"C:\\Install\\", L"", L"C:\\Install\\"},
        {L"C:\\Install", L"", L"C:\\Install\\"},
        {L"http://host/", L"x", L"http://host/x"},
        {L"a/b", L"\\c", L"a/b/\\c"},
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

    CFileName slashes(L"dir/file");
    EXPECT_EQ(1, slashes.UsesForwardSlashes());
    slashes = L"C:\\no\\slash";
    EXPECT_EQ(1, slashes.UsesForwardSlashes()) << "assignments only ever set the flag";
}

TEST(CFileName, RemoveFileSpecAndSplitPath)
{
    struct { const wchar_t* path; const wchar_t* removed; const wchar_t* folder; const wchar_t* name; } cases[] = {
        {L"C:\\a\\b.txt", L"C:\\a", L"C:\\a", L"b.txt"},
        {L"C:\\a\\", L"C:\\a", L"C:\\a", L""},
        {L"plain", L"plain", L"<none>", L"<none>"},
        {L"\\x", L"", L"", L"x"},
        {L"a/b/c", L"a/b", L"<none>", L"<none>"},
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
        {temp.Path(), TRUE, TRUE},
        {file, TRUE, FALSE},
        {temp.Join(L"missing"), FALSE, FALSE},
        {L"Q:\\", FALSE, TRUE},
        {L"Q:", FALSE, TRUE},
        {L"Q:\\missing", FALSE, FALSE},
        {L"1:\\", FALSE, FALSE},
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
    ASSERT_EQ(2u, log.events.size());
    EXPECT_EQ(LogUtils::Info, log.events[0].level);
    EXPECT_EQ("Unable to delete the file (" + testsupport::Narrow(file) + ") as it does not exist",
              log.events[0].message);
    EXPECT_EQ(LogUtils::Warning, log.events[1].level);
    EXPECT_EQ("Failed to delete file " + testsupport::Narrow(file), log.events[1].message);
    EXPECT_TRUE(log.events[1].hasError);
    EXPECT_EQ(static_cast<unsigned>(ERROR_FILE_NOT_FOUND), log.events[1].errorCode);

    log.Clear();
    CFileName none;
    EXPECT_FALSE(none.Delete());
    ASSERT_EQ(2u, log.events.size());
    EXPECT_EQ(LogUtils::Debug, log.events[0].level);
    EXPECT_EQ("CFileName::Delete(): Attempt to delete undefined file", log.events[0].message);
    EXPECT_EQ(LogUtils::Warning, log.events[1].level);
    EXPECT_EQ("Failed to delete file ", log.events[1].message);
    for (const auto& event : log.events)
        EXPECT_EQ("Wexmoor", event.category);
}
