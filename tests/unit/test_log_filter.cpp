#include <gtest/gtest.h>

#include "log/Filter.h"
#include "log_test_support.h"

using namespace LogUtils;

TEST(LogFilter, ParseLevel)
{
    struct Case {
        const char* text;
        LogLevel expected;
    } cases[] = {
        {"info", Info}, {"Err", Error}, {"E", Emergency}, {"", Emergency}, {"DEBUG", Debug},
        {"crit", LogUtils::CriticalError}, {"Warning", Warning}, {"n", Notice}, {"a", Alert},
        {"Infos", Debug}, {"Warn ing", Debug}, {"xyz", Debug},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ParseLevel(c.text)) << "text \"" << c.text << "\"";
}

TEST(LogFilter, Terms)
{
    struct Case {
        const char* term;
        const char* category;
        LogLevel level;
        bool matches;
    } cases[] = {
        {"*.Info", "Tolvane", Info, true},
        {"*.Info", "Tolvane", Debug, false},
        {"*.Debug", "", Debug, true},
        {"*.Notice", "X", Warning, true},
        {"*.Notice", "X", Info, false},
        {"sw.Debug", "Swift", Debug, true},       // the category part is a prefix, any case
        {"br.Debug", "Brisko", Debug, true},
        {"Brisko.Debug", "Bris", Debug, false},
        {".Error", "anything", Error, true},      // an empty category part matches every event
        {"Tolvane", "Tolvane", Emergency, false}, // no "." never matches
        {"*", "Tolvane", Emergency, false},
        {"*x.Debug", "Tolvane", Emergency, false},
        {"Tolvane.Err", "tolvane", Error, true},
        {"Tolvane.Err", "tolvane", Warning, false},
        {"Tolvane.Bogus", "Tolvane", Debug, true}, // an unknown level reads as Debug
    };
    for (const Case& c : cases) {
        LogEvent event = logtest::FixedEvent(c.level, c.category, "");
        EXPECT_EQ(c.matches, MatchesTerm(event, c.term))
            << c.term << " against " << c.category << "." << LevelName(c.level);
    }
}

TEST(LogFilter, Filters)
{
    const char* kDefaultMain = "~Brisko.Debug ~TavrelOASDetection.Debug *.Info";
    struct Case {
        const char* filter;
        const char* category;
        LogLevel level;
        bool admitted;
    } cases[] = {
        {"", "Tolvane", Emergency, false},
        {"   ", "Tolvane", Emergency, false},
        {kDefaultMain, "Tolvane", Info, true},
        {kDefaultMain, "Tolvane", Debug, false},
        {kDefaultMain, "Brisko", Emergency, false},
        {kDefaultMain, "TavrelOASDetection", Info, false},
        {"*.Warning ~Tolvane.Debug", "Tolvane", Emergency, false},
        {"*.Warning ~Tolvane.Debug", "Wexmoor", Warning, true},
        {"*.Warning ~Tolvane.Debug", "Wexmoor", Notice, false},
        {"~Tolvane.Debug *.Warning", "Wexmoor", Error, true},  // order does not matter
        {"  Brisko.Debug   Wexmoor.Error  ", "Wexmoor", Error, true},
        {"~*.Debug", "Wexmoor", Error, false},                  // negative terms alone admit nothing
        {"~ *.Info", "Wexmoor", Info, true},                    // "~" alone matches nothing
        {"Brisko.Debug Wexmoor.Error", "Tolvane", Emergency, false},
    };
    for (const Case& c : cases) {
        LogEvent event = logtest::FixedEvent(c.level, c.category, "");
        EXPECT_EQ(c.admitted, MatchesFilter(event, c.filter))
            << "\"" << c.filter << "\" against " << c.category << "." << LevelName(c.level);
    }
}
