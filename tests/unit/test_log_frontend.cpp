#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "ChildProcess.h"
#include "log/LogEvent.h"
#include "log/LogManager.h"

using testsupport::LogCapture;

TEST(LogFrontEnd, MessageLengthAndTrailingControlCharacters)
{
    LogCapture log;
    const std::string fits(20479, 'n');
    const std::string tooLong(25000, 'n');
    TOLVANE_LOG(Info).Write("%s", fits.c_str());
    TOLVANE_LOG(Info).Write("%s", tooLong.c_str());
    TOLVANE_LOG(Info).Write(L"%s", std::wstring(20480, L'w').c_str());
    TOLVANE_LOG(Info).Write("CreateFile()..\n");
    TOLVANE_LOG(Info).Write(L"line\r\n");
    TOLVANE_LOG(Info).Write("\r\n\t\x7f");
    TOLVANE_LOG(Info).Write("keep \t inner");
    // A longer message keeps its first 20479 characters; trailing control characters are dropped, inner ones kept.
    EXPECT_EQ((std::vector<std::string>{fits, fits, std::string(20479, 'w'), "CreateFile()..", "line", "", "keep \t inner"}),
              log.Messages());
}

TEST(LogFrontEnd, EventFieldsAndErrors)
{
    LogCapture log;
    LogUtils::LogEvent event(__FILE__, 77, LogUtils::Warning, "Tolvane");
    EXPECT_EQ(GetCurrentThreadId(), event.threadId);
    EXPECT_EQ(GetCurrentProcessId(), event.processId);
    EXPECT_FALSE(event.hasError);
    event.WithError(5).Write(L"wide %s %d", L"text", 3);
    event.WriteError(2, "narrow %s", "text");
    EXPECT_EQ((std::vector<std::string>{"Warning Tolvane wide text 3 [error 5]", "Warning Tolvane narrow text [error 2]"}),
              log.Records());
    EXPECT_EQ(nullptr, event.narrowMessage) << "the message does not outlive the call";
}

TEST(LogFrontEnd, LastErrorIsPreserved)
{
    SetLastError(5);
    TOLVANE_LOG(Error).Write("anything");
    EXPECT_EQ(5u, GetLastError());
    SetLastError(1234);
    WEXMOOR_LOG(Debug).WriteError(2, "with error");
    EXPECT_EQ(1234u, GetLastError());
    char buffer[LogUtils::kErrorTextBytes];
    SetLastError(87);
    LogUtils::FormatErrorText(2, buffer);
    EXPECT_EQ(87u, GetLastError());
}

TEST(LogFrontEnd, FormatErrorText)
{
    const struct { unsigned int code; const char* text; const char* why; } cases[] = {
        {2, "Error=2: File not found.", "system text without inserts"},
        {5, "Error=5: Access denied.", "system text without inserts"},
        {0x80004005u, "Error=0x80004005: Call failed.", "negative codes in hexadecimal"},
        {123456789, "Error=123456789: ", "no system text: the prefix alone, its blank included"},
        {193, "Error=193: ", "system text with an insert marker: the prefix alone"},
    };
    char buffer[LogUtils::kErrorTextBytes];
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, LogUtils::FormatErrorText(c.code, buffer)) << c.why;
}

// Threads racing on a fresh process's first events create one manager: the
// child counts the constructions through a call only the constructor makes.
TEST(LogFrontEnd, OneManagerPerProcessAcrossThreads)
{
    const testsupport::ChildResult result = testsupport::RunChild(L"log_manager_race.exe 16");
    EXPECT_EQ(0u, result.exitCode) << result.output;
    EXPECT_EQ("log managers created: 1\r\n", result.output);
    EXPECT_STREQ("tolvane_unit_tests", LogUtils::LogManager::Instance().programName);
}
