// Captures the log events of this process (unit tests, which link the
// library's core directly), in the order in which they were written.
#pragma once

#include <string>
#include <vector>

#include "log/LogEvent.h"

namespace testsupport {

struct CapturedEvent {
    LogUtils::LogLevel level;
    std::string category;
    std::string message;      // narrow, or the wide message in the ANSI code page
    unsigned int errorCode;
    bool hasError;
    std::string sourceFile;
};

class LogCapture {
public:
    LogCapture();    // starts capturing
    ~LogCapture();   // stops
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<CapturedEvent> events;
    std::vector<std::string> Messages() const;
    // The events (of one category when given) as "level category message [error N]".
    std::vector<std::string> Records(const char* category = nullptr) const;
    void Clear() { events.clear(); }
};

} // namespace testsupport
