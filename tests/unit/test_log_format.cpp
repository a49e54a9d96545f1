// The filter language and the line format of the log sinks, as tables.
#include <gtest/gtest.h>

#include "log/Filter.h"
#include "log/LineFormat.h"
#include "log/LogManager.h"
#include "LogCapture.h"
#include "TestSupport.h"

using namespace LogUtils;

TEST(LogFilter, FilterLanguage)
{
    const char* kWarning = "*.Warning ~Tolvane.Debug";
    struct { const char* filter; const char* category; LogLevel level; bool admitted; } cases[] = {
        {"*.Info", "Tolvane", Info, true}, {"*.Info", "Tolvane", Debug, false}, {"", "Tolvane", Emergency, false},
        {".Error", "any", Error, true},  // an empty category part matches any category
        {"sw.Debug", "Swift", Debug, true}, {"Brisko.Debug", "Bris", Debug, false},  // a category prefix, any case
        {"Tolvane", "Tolvane", Emergency, false}, {"*x.Debug", "Tolvane", Emergency, false},  // no "."; "*" only alone
        {"Tolvane.Bogus", "Tolvane", Debug, true},  // an unknown level reads as Debug
        // a level is the first one whose name begins with the text, any case
        {"Tolvane.err", "tolvane", Warning, false}, {"*.E", "X", Alert, false}, {"*.", "X", Alert, false},
        {kWarning, "Tolvane", Emergency, false}, {kWarning, "Wexmoor", Warning, true},  // "~" excludes, in any order
        {"~Tolvane.Debug *.Warning", "Tolvane", Error, false}, {"~Tolvane.Debug *.Warning", "Wexmoor", Error, true},
        {"  Wexmoor.Error   Brisko.Debug  ", "Wexmoor", Error, true},  // a later term does not undo an admission
        {"~ *.Info", "Wexmoor", Info, true},    // "~" alone matches nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.admitted, MatchesFilter(testsupport::FixedEvent(c.level, c.category, ""), c.filter))
            << '"' << c.filter << "\" against " << c.category << "." << LevelName(c.level);
}

// Every conversion of the line format, and messages with attached error texts.
TEST(LogLineFormat, Conversions)
{
    char user[257], station[261] = {}, saved[sizeof(LogManager::Instance().programName)];
    DWORD size = sizeof(user), needed = 0;
    ASSERT_TRUE(GetUserNameA(user, &size));
    ASSERT_TRUE(GetUserObjectInformationA(GetProcessWindowStation(), UOI_NAME, station, sizeof(station), &needed));
    struct { const char* format; std::string expected; } cases[] = {
        {"%D %T %l", "12-04 22:58:01 Warning"},
        {"%+D %+T", "2026-12-04 22:58:01.250"},
        {"%+D %T", "2026-12-04 22:58:01"},         // the plus flag does not carry over
        {"%-+D|%+-T", "2026-12-04|22:58:01.250"},  // "-" is accepted and ignored
        {"%p %+p %t %+t", "6700 1a2c 31 1f"},
        {"%L %f %m", "321 Wexmoor Failed to delete file C:\\x\\y.tmp"},
        {"%s|%+s", "ReportBase.cpp|.\\Src\\ReportBase.cpp"},
        {"100%% done", "100% done"},
        {"a%qb%", "ab"},                           // unknown conversion, "%" at the end
        {"%P:%+p", "     abc:1a2c"},               // the program name right-aligned in 8 characters
        {"%U|%w|%i", std::string(user) + "|" + station + "|0"},  // no terminal services: session 0
    };
    LogEvent event = testsupport::FixedEvent(Warning, "Wexmoor", "Failed to delete file C:\\x\\y.tmp");
    memcpy(saved, LogManager::Instance().programName, sizeof(saved));
    strcpy(LogManager::Instance().programName, "abc");
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, RenderLine(c.format, event, "")) << "format " << c.format;
    memcpy(LogManager::Instance().programName, saved, sizeof(saved));
    event.processId = 0xFFFFFFF0u;   // negative ids print in hexadecimal
    event.threadId = 0x80000000u;
    EXPECT_EQ("fffffff0 80000000", RenderLine("%p %t", event, ""));
    event.wideMessage = L"wide text \x00e9";   // converted to the ANSI code page
    event.narrowMessage = nullptr;
    EXPECT_EQ(testsupport::Narrow(L"[wide text \x00e9 Error=0x80004005: Call failed.]"),
              RenderLine("[%m]", event.WithError(0x80004005u), ""));
}
