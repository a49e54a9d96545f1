// Archives of oversized logs: names, pruning of the main logs' archives,
// and the rule that an archive is never overwritten. The archives' contents
// are checked with cabextract by tests/scripts/log_archives.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "log/LogArchive.h"
#include "log_test_support.h"

using LogUtils::ArchiveLogFile;
using LogUtils::PruneOldArchives;
using testsupport::WriteFileBytes;

namespace {

std::set<std::wstring> Entries(const std::wstring& pattern)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.insert(found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return names;
}

std::wstring Stamp(int day)
{
    wchar_t text[32];
    swprintf(text, 32, L"202601%02d120000", day);
    return text;
}

} // namespace

TEST(LogArchive, PruningOfTheMainLogs)
{
    struct Case {
        const wchar_t* log;
        bool pruned;
    } cases[] = {
        {L"zeAgent.log", true}, {L"zeUpdate.log", true}, {L"zeAgent.LOG", false},
        {L"zeNotices.log", false}, {L"myzeAgent.log", false},
    };
    for (const Case& c : cases) {
        testsupport::TempFolder folder;
        const std::wstring log = c.log;
        for (int day : {3, 1, 2})
            WriteFileBytes(folder.Join(log + Stamp(day) + L".cab"), "old");
        WriteFileBytes(folder.Join(log), "log text\r\n");
        ASSERT_EQ(1, ArchiveLogFile(folder.Join(log).c_str())) << testsupport::Narrow(log);

        std::set<std::wstring> archives = Entries(folder.Join(log + L"*.cab"));
        std::set<std::wstring> old;
        for (const std::wstring& name : archives)
            if (name.find(L"202601") == log.size())
                old.insert(name);
        std::set<std::wstring> expected = {log + Stamp(3) + L".cab"};
        if (!c.pruned)
            expected.insert({log + Stamp(1) + L".cab", log + Stamp(2) + L".cab"});
        EXPECT_EQ(expected, old) << testsupport::Narrow(log);
        EXPECT_EQ(expected.size() + 1, archives.size()) << testsupport::Narrow(log);
    }
}

TEST(LogArchive, PruneListsAtMostTenEntries)
{
    testsupport::TempFolder folder;
    EXPECT_EQ(0, PruneOldArchives((folder.Path() + L"\\").c_str(), folder.Join(L"zeAgent.log*.cab").c_str()));
    for (int day = 1; day <= 12; ++day)
        WriteFileBytes(folder.Join(L"zeAgent.log" + Stamp(day) + L".cab"), "old");
    EXPECT_EQ(10, PruneOldArchives((folder.Path() + L"\\").c_str(), folder.Join(L"zeAgent.log*.cab").c_str()));
    std::set<std::wstring> left = Entries(folder.Join(L"zeAgent.log*.cab"));
    EXPECT_EQ(3u, left.size());   // the newest listed one and the two not listed
    EXPECT_EQ(1u, left.count(L"zeAgent.log" + Stamp(12) + L".cab"));
}

TEST(LogArchive, AnExistingArchiveIsNeverOverwritten)
{
    testsupport::TempFolder folder;
    WriteFileBytes(folder.Join(L"busy.log"), "new text\r\n");
    // Archives of this log for the next few seconds exist already.
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME time;
    SystemTimeToFileTime(&now, &time);
    std::vector<std::wstring> taken;
    for (int second = 0; second < 4; ++second) {
        ULARGE_INTEGER value{{time.dwLowDateTime, time.dwHighDateTime}};
        value.QuadPart += 10000000ull * second;
        FILETIME later{value.LowPart, value.HighPart};
        SYSTEMTIME t;
        FileTimeToSystemTime(&later, &t);
        wchar_t name[64];
        swprintf(name, 64, L"busy.log%04u%02u%02u%02u%02u%02u.cab", t.wYear, t.wMonth, t.wDay, t.wHour,
                 t.wMinute, t.wSecond);
        taken.push_back(folder.Join(name));
        WriteFileBytes(taken.back(), "earlier archive");
    }
    EXPECT_EQ(0, ArchiveLogFile(folder.Join(L"busy.log").c_str()));
    for (const std::wstring& archive : taken)
        EXPECT_EQ("earlier archive", testsupport::ReadFileBytes(archive));
}

TEST(LogArchive, MissingLogGivesNoArchive)
{
    testsupport::TempFolder folder;
    EXPECT_EQ(0, ArchiveLogFile(folder.Join(L"absent.log").c_str()));
    EXPECT_TRUE(Entries(folder.Join(L"absent.log*.cab")).empty());
}
