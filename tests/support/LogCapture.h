// Captures this process's log events (unit tests link the library's core), in the order written.
#pragma once

#include <string>
#include <vector>

#include "log/LogEvent.h"

namespace testsupport {

struct CapturedEvent {
    LogUtils::LogLevel level;
    std::string category, message, sourceFile;   // a wide message in the ANSI code page
    unsigned int line, errorCode;
    bool hasError;
};

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<CapturedEvent> events;
    std::vector<std::string> Messages() const { return Records(nullptr, false); }
    // The events (of one category when given) as "level category message [error N]", or their messages.
    std::vector<std::string> Records(const char* category = nullptr, bool whole = true) const
    {
        std::vector<std::string> records;
        for (const CapturedEvent& e : events)
            if (!category || e.category == category)
                records.push_back(!whole ? e.message : LogUtils::LevelName(e.level) + (" " + e.category) + " " +
                    e.message + (e.hasError ? " [error " + std::to_string(e.errorCode) + "]" : ""));
        return records;
    }
};

// An event with a fixed time and origin: 4 December 2026, 22:58:01.250, process 6700, thread 0x1F.
inline LogUtils::LogEvent FixedEvent(LogUtils::LogLevel level, const char* category, const char* message)
{
    LogUtils::LogEvent event(".\\Src\\ReportBase.cpp", 321, level, category);
    event.time = SYSTEMTIME{2026, 12, 5, 4, 22, 58, 1, 250};
    event.processId = 6700;
    event.threadId = 0x1F;
    event.narrowMessage = message;
    return event;
}

} // namespace testsupport
