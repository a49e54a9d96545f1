// The debugger sink: passes each event's line, ended by one line feed, to
// the debugger of the process.
#pragma once

#include "log/LogManager.h"

namespace LogUtils {

class DebugStringSink : public LogSink {
public:
    // The process's one instance, created on first use.
    static DebugStringSink& Instance();

    bool Write(const char* format, const LogEvent& event) override;   // always true

private:
    DebugStringSink() = default;
};

} // namespace LogUtils
