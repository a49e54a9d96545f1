// The process's one log manager and the sink interface.
#pragma once

#include "log/LogEvent.h"

namespace LogUtils {

class LogSink {
public:
    virtual bool Write(const char* format, const LogEvent& event) = 0;
protected:
    ~LogSink() = default;
};

class LogManager {
public:
    // The process's one manager, created on first use (exactly once, also
    // when many threads log at once).
    static LogManager& Instance();

    // Reads the logging configuration and offers the event to the sinks.
    bool Dispatch(const LogEvent& event);

    char programName[32];

private:
    LogManager();
};

} // namespace LogUtils
