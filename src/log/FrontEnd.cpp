// The log front end: renders a call site's message into a bounded buffer on
// the caller's stack and hands the event to the process's log manager.
// Logging never changes the caller's last-error value.
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <cwctype>

#include "common/LastErrorKept.h"
#include "log/LogEvent.h"
#include "log/LogManager.h"

namespace LogUtils {

namespace {

EventObserver g_observer = nullptr;
void* g_observerContext = nullptr;

bool IsNarrowControl(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Clears the event's message pointers when it leaves the front end: they
// point into the front end's own buffer.
class MessageScope {
public:
    explicit MessageScope(LogEvent& event) : m_event(event) {}
    ~MessageScope() { m_event.wideMessage = nullptr; m_event.narrowMessage = nullptr; }
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;
private:
    LogEvent& m_event;
};

void Deliver(LogEvent& event)
{
    LogManager& manager = LogManager::Instance();
    if (g_observer)
        g_observer(event, g_observerContext);
    manager.Dispatch(event);
}

void WriteNarrow(LogEvent& event, const char* format, va_list args)
{
    LastErrorKept keeper;
    char buffer[kMessageChars];
    int length = format ? _vsnprintf_s(buffer, kMessageChars, _TRUNCATE, format, args) : 0;
    if (length < 0 || length >= kMessageChars)
        length = kMessageChars - 1;
    while (length > 0 && IsNarrowControl(buffer[length - 1]))
        --length;
    buffer[length] = '\0';
    MessageScope scope(event);
    event.wideMessage = nullptr;
    event.narrowMessage = buffer;
    Deliver(event);
}

} // namespace

const char* LevelName(LogLevel level)
{
    static const char* const kNames[] = {
        "Emergency", "Alert", "CriticalError", "Error", "Warning", "Notice", "Info", "Debug",
    };
    return level <= Debug ? kNames[level] : "";
}

LogEvent::LogEvent(const char* file, unsigned int lineNumber, LogLevel lvl, const char* cat)
    : sourceFile(file), line(lineNumber), level(lvl),
      threadId(GetCurrentThreadId()), processId(GetCurrentProcessId()), time(),
      wideMessage(nullptr), narrowMessage(nullptr), category(cat), errorCode(0), hasError(false)
{
    GetLocalTime(&time);
}

LogEvent& LogEvent::WithError(unsigned int code)
{
    errorCode = code;
    hasError = true;
    return *this;
}

LogEvent& LogEvent::Write(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(format, args);
    va_end(args);
    return *this;
}

LogEvent& LogEvent::WriteV(const wchar_t* format, va_list args)
{
    LastErrorKept keeper;
    wchar_t buffer[kMessageChars];
    int length = format ? _vsnwprintf_s(buffer, kMessageChars, _TRUNCATE, format, args) : 0;
    if (length < 0 || length >= kMessageChars)
        length = kMessageChars - 1;
    while (length > 0 && iswcntrl(buffer[length - 1]))
        --length;
    buffer[length] = L'\0';
    MessageScope scope(*this);
    narrowMessage = nullptr;
    wideMessage = buffer;
    Deliver(*this);
    return *this;
}

LogEvent& LogEvent::WriteV(const char* format, va_list args)
{
    WriteNarrow(*this, format, args);
    return *this;
}

LogEvent& LogEvent::Write(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteNarrow(*this, format, args);
    va_end(args);
    return *this;
}

LogEvent& LogEvent::WriteError(unsigned int code, const char* format, ...)
{
    WithError(code);
    va_list args;
    va_start(args, format);
    WriteNarrow(*this, format, args);
    va_end(args);
    return *this;
}

namespace {

// An insert marker of a system message: "%" followed by an insert number 1-99.
bool HasInsertMarker(const char* text, int length)
{
    for (int i = 0; i + 1 < length; ++i) {
        if (text[i] != '%')
            continue;
        if (text[i + 1] >= '1' && text[i + 1] <= '9')
            return true;
        ++i;   // "%%" and the other escapes are no markers
    }
    return false;
}

} // namespace

const char* FormatErrorText(unsigned int code, char* buffer)
{
    LastErrorKept keeper;
    const bool negative = static_cast<int>(code) < 0;
    int prefix = negative ? _snprintf_s(buffer, kErrorTextBytes, _TRUNCATE, "Error=0x%08x: ", code)
                          : _snprintf_s(buffer, kErrorTextBytes, _TRUNCATE, "Error=%d: ", static_cast<int>(code));
    if (prefix < 0)
        prefix = 0;
    // Inserts are ignored so that no argument that was never passed is read.
    const DWORD system = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0x400, buffer + prefix,
                                        static_cast<DWORD>(kErrorTextBytes - 1 - prefix), nullptr);
    int length = prefix + static_cast<int>(system);
    // A system text that expects inserts ("Bad EXE format for %1.") was
    // written for arguments this record does not have: the prefix stands alone.
    if (HasInsertMarker(buffer + prefix, static_cast<int>(system)))
        length = prefix;
    while (length > 0 && IsNarrowControl(buffer[length - 1]))
        --length;
    buffer[length] = '\0';
    return buffer;
}

void SetEventObserver(EventObserver observer, void* context)
{
    g_observerContext = context;
    g_observer = observer;
}

} // namespace LogUtils
