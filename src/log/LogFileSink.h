// The log file sink: appends one line per event to a log file that every
// client process may write at the same time, and starts the file anew
// (after archiving it) once it has outgrown its size limit.
#pragma once

#include <string>

#include "log/LogManager.h"

namespace LogUtils {

class LogFileSink : public LogSink {
public:
    LogFileSink(const wchar_t* path, unsigned int sizeLimit, int archiveOnOverflow);

    // Appends the event's line ("\r\n" at its end); true when the file could
    // be opened. Throws CSystemException when the log file mutex cannot be created.
    bool Write(const char* format, const LogEvent& event) override;

private:
    std::wstring m_path;
    unsigned int m_sizeLimit;
    int m_archiveOnOverflow;
};

} // namespace LogUtils
