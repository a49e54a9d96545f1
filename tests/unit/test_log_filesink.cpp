// The log file sink: appending, starting a file anew at its size limit, the
// shared mutex, and concurrent writing processes.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <set>
#include <string>
#include <vector>

#include "log/LogFileMutex.h"
#include "log/LogFileSink.h"
#include "log_test_support.h"

using LogUtils::LogFileSink;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

int CountArchives(const testsupport::TempFolder& folder, const std::wstring& logName)
{
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.Join(logName + L"*.cab").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++count;
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return count;
}

bool WriteLine(const std::wstring& path, unsigned int limit, const char* message)
{
    LogUtils::LogEvent event = logtest::FixedEvent(LogUtils::Info, "Tolvane", message);
    return LogFileSink(path.c_str(), limit, 1).Write("%m", event);
}

} // namespace

TEST(LogFileSink, AppendsAndStartsAnewPastTheLimit)
{
    testsupport::TempFolder folder;
    const std::wstring log = folder.Join(L"sink.log");

    EXPECT_TRUE(WriteLine(log, 100, "created"));
    EXPECT_EQ("created\r\n", ReadFileBytes(log));

    WriteFileBytes(log, std::string(100, 'x'));        // exactly the limit: appended to
    EXPECT_TRUE(WriteLine(log, 100, "appended"));
    EXPECT_EQ(std::string(100, 'x') + "appended\r\n", ReadFileBytes(log));
    EXPECT_EQ(0, CountArchives(folder, L"sink.log"));

    EXPECT_TRUE(WriteLine(log, 100, "anew"));           // larger: archived and recreated
    EXPECT_EQ("anew\r\n", ReadFileBytes(log));
    EXPECT_EQ(1, CountArchives(folder, L"sink.log"));
}

TEST(LogFileSink, SizeLimitZeroKeepsOnlyTheLatestLine)
{
    testsupport::TempFolder folder;
    const std::wstring log = folder.Join(L"zero.log");
    WriteLine(log, 0, "first");
    WriteLine(log, 0, "second");
    EXPECT_EQ("second\r\n", ReadFileBytes(log));
    EXPECT_EQ(1, CountArchives(folder, L"zero.log"));
}

TEST(LogFileSink, FailedArchiveKeepsAppending)
{
    testsupport::TempFolder folder;
    const std::wstring log = folder.Join(L"held.log");
    WriteFileBytes(log, std::string(300, 'x'));
    // Another program holds the log open for writing: it cannot be read for
    // the archive, so nothing may be emptied.
    HANDLE holder = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    WriteLine(log, 100, "one");
    WriteLine(log, 100, "two");
    CloseHandle(holder);
    EXPECT_EQ(std::string(300, 'x') + "one\r\ntwo\r\n", ReadFileBytes(log));
    EXPECT_EQ(0, CountArchives(folder, L"held.log"));
}

TEST(LogFileSink, MutexIsSharedByNameWithSystemAndEveryone)
{
    testsupport::TempFolder folder;
    WriteLine(folder.Join(L"m.log"), 100, "line");
    HANDLE mutex = OpenMutexW(SYNCHRONIZE | READ_CONTROL, FALSE, LogUtils::kLogMutexName);
    ASSERT_NE(nullptr, mutex);

    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, GetSecurityInfo(mutex, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION,
                                             nullptr, nullptr, &dacl, nullptr, &descriptor));
    ASSERT_NE(nullptr, dacl);
    ASSERT_EQ(2u, dacl->AceCount);
    const WELL_KNOWN_SID_TYPE expected[] = {WinLocalSystemSid, WinWorldSid};
    for (DWORD i = 0; i < 2; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        EXPECT_TRUE(IsWellKnownSid(&ace->SidStart, expected[i])) << "entry " << i;
    }
    LocalFree(descriptor);
    CloseHandle(mutex);
}

TEST(LogFileSink, TwoProcessesWriteWholeLines)
{
    logtest::ClientSetup client;
    client.WriteIni("[shared]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=shared.log\nmaxsize=10000000\n");
    logtest::ChildProcess first(L"log_writer", L"first 1000");
    logtest::ChildProcess second(L"log_writer", L"second 1000 2");
    ASSERT_TRUE(first.started && second.started);
    EXPECT_EQ(0u, first.Wait());
    EXPECT_EQ(0u, second.Wait());

    std::vector<std::string> lines = client.Lines(L"shared.log");
    EXPECT_EQ(2000u, lines.size());
    std::set<std::string> distinct(lines.begin(), lines.end());
    EXPECT_EQ(2000u, distinct.size());
    char expected[32];
    for (const char* tag : {"first", "second"}) {
        for (int i = 0; i < 1000; ++i) {
            snprintf(expected, sizeof(expected), "%s-%05d", tag, i);
            EXPECT_EQ(1u, distinct.count(expected)) << expected;
        }
    }
}
