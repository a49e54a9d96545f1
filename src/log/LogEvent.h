// The log event, its levels and the front end through which every part of
// the client writes its log records.
#pragma once

#include <windows.h>

#include <cstdarg>

namespace LogUtils {

enum LogLevel : unsigned int {
    Emergency = 0,
    Alert = 1,
    CriticalError = 2,
    Error = 3,
    Warning = 4,
    Notice = 5,
    Info = 6,
    Debug = 7,
};

// The exact texts that the line format prints and that filters name.
const char* LevelName(LogLevel level);

// Message buffers of the front end, in characters.
constexpr int kMessageChars = 20480;

// The record of one log call. It lives on the call site's stack for one
// call; the message pointers refer to the front end's own buffer.
struct LogEvent {
    const char* sourceFile;
    unsigned int line;
    LogLevel level;
    unsigned int threadId;
    unsigned int processId;
    SYSTEMTIME time;
    const wchar_t* wideMessage;
    const char* narrowMessage;
    const char* category;
    unsigned int errorCode;
    bool hasError;

    LogEvent(const char* file, unsigned int lineNumber, LogLevel lvl, const char* cat);

    LogEvent& WithError(unsigned int code);
    LogEvent& Write(const wchar_t* format, ...);
    LogEvent& Write(const char* format, ...);
    LogEvent& WriteError(unsigned int code, const char* format, ...);
    // The front end with the arguments already gathered.
    LogEvent& WriteV(const wchar_t* format, va_list args);
    LogEvent& WriteV(const char* format, va_list args);
};

// The error text printed behind a message: "Error=%d: " (or "Error=0x%08x: "
// for negative codes) and the system's description. buffer holds 256 bytes.
const char* FormatErrorText(unsigned int code, char* buffer);
constexpr int kErrorTextBytes = 256;

// Seen by tests only: called with every event after its message has been
// rendered and before it is dispatched. Not part of the exported surface.
typedef void (*EventObserver)(const LogEvent& event, void* context);
void SetEventObserver(EventObserver observer, void* context);

} // namespace LogUtils

// Call sites: LOG_EVENT(level, category).Write(...). The module's category
// is built into the two short forms below.
#define LOG_EVENT(level, category) \
    ::LogUtils::LogEvent(__FILE__, __LINE__, ::LogUtils::level, category)
#define TOLVANE_LOG(level) LOG_EVENT(level, "Tolvane")
#define WEXMOOR_LOG(level) LOG_EVENT(level, "Wexmoor")
