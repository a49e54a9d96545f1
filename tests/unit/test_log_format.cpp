#include <gtest/gtest.h>

#include <string>

#include "log/LineFormat.h"
#include "log/LogManager.h"
#include "log_test_support.h"

using namespace LogUtils;

namespace {

std::string Render(const char* format, const LogEvent& event)
{
    std::string line;
    ATLString_OStream stream(line);
    EXPECT_TRUE(FormatEvent(format, event, stream));
    return line;
}

std::string ProgramField()
{
    char field[64];
    snprintf(field, sizeof(field), "%8s", LogManager::Instance().programName);
    return field;
}

std::string ErrorText(unsigned int code)
{
    char buffer[kErrorTextBytes];
    return FormatErrorText(code, buffer);
}

} // namespace

TEST(LogLineFormat, Conversions)
{
    LogEvent event = logtest::FixedEvent(Warning, "Wexmoor", "Something happened");
    struct Case {
        const char* format;
        std::string expected;
    } cases[] = {
        {"%D %T %l", "12-04 22:58:01 Warning"},
        {"%+D %+T", "2026-12-04 22:58:01.250"},
        {"%+D %T", "2026-12-04 22:58:01"},          // the plus flag does not carry over
        {"%-+D|%+-T", "2026-12-04|22:58:01.250"},  // "-" is accepted and ignored
        {"%p %+p %t %+t", "6700 1a2c 31 1f"},
        {"%L %f %m", "321 Wexmoor Something happened"},
        {"%s|%+s", "ReportBase.cpp|.\\Src\\ReportBase.cpp"},
        {"100%% done", "100% done"},
        {"a%qb%", "ab"},                            // unknown conversion, "%" at the end
        {"", ""},
        {"no conversions", "no conversions"},
        {"%P:%+p", ProgramField() + ":1a2c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Render(c.format, event)) << "format " << c.format;
}

TEST(LogLineFormat, NegativeIdsPrintInHexadecimal)
{
    LogEvent event = logtest::FixedEvent(Info, "Tolvane", "");
    event.processId = 0xFFFFFFF0u;
    event.threadId = 0x80000000u;
    EXPECT_EQ("fffffff0 80000000", Render("%p %t", event));
}

TEST(LogLineFormat, DefaultMainLineWithAttachedError)
{
    LogEvent event = logtest::FixedEvent(Warning, "Wexmoor", "Failed to delete file C:\\x\\y.tmp");
    event.WithError(2);
    EXPECT_EQ("12-04 22:58:01 Warning " + ProgramField() +
                  ":1a2c Failed to delete file C:\\x\\y.tmp " + ErrorText(2),
              Render("%D %T %l %P:%+p %m", event));
    EXPECT_EQ(0u, ErrorText(2).find("Error=2: "));
}

TEST(LogLineFormat, WideMessageIsConvertedToTheAnsiCodePage)
{
    LogEvent event = logtest::FixedEvent(Info, "Tolvane", nullptr);
    event.narrowMessage = nullptr;
    event.wideMessage = L"wide text \x00e9";
    EXPECT_EQ(testsupport::Narrow(L"[wide text \x00e9]"), Render("[%m]", event));
    event.WithError(0x80004005u);
    EXPECT_EQ(testsupport::Narrow(L"wide text \x00e9 ") + ErrorText(0x80004005u), Render("%m", event));
}

TEST(LogLineFormat, ProgramNameIsRightAlignedInEightCharacters)
{
    LogEvent event = logtest::FixedEvent(Info, "Tolvane", "");
    char saved[32];
    memcpy(saved, LogManager::Instance().programName, sizeof(saved));
    strcpy(LogManager::Instance().programName, "abc");
    std::string shortName = Render("%P", event);
    strcpy(LogManager::Instance().programName, "abcdefghijk");
    std::string longName = Render("%P", event);
    memcpy(LogManager::Instance().programName, saved, sizeof(saved));
    EXPECT_EQ("     abc", shortName);
    EXPECT_EQ("abcdefghijk", longName);
}

TEST(LogLineFormat, SystemConversions)
{
    LogEvent event = logtest::FixedEvent(Info, "Tolvane", "");
    char user[257];
    DWORD size = sizeof(user);
    ASSERT_TRUE(GetUserNameA(user, &size));
    EXPECT_EQ(user, Render("%U", event));

    char station[261] = {};
    DWORD needed = 0;
    ASSERT_TRUE(GetUserObjectInformationA(GetProcessWindowStation(), UOI_NAME, station,
                                          sizeof(station), &needed));
    EXPECT_EQ(station, Render("%w", event));
    // No terminal services on this system: session 0.
    EXPECT_EQ("0", Render("%i", event));
}

TEST(LogLineFormat, FixedBufferKeepsWhatFits)
{
    LogEvent event = logtest::FixedEvent(Info, "Tolvane", "0123456789abcdef");
    char buffer[16];
    memset(buffer, '#', sizeof(buffer));
    FixedBuffer_OStream stream(buffer, buffer + 10);
    FormatEvent("%m", event, stream);
    EXPECT_EQ(buffer + 10, stream.cursor);
    EXPECT_EQ("0123456789######", std::string(buffer, sizeof(buffer)));   // no terminator written
}
