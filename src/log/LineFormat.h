// The line format of the log sinks: FormatEvent renders one event through a
// short format text with %-conversions ("%D %T %l %P:%+p %m") into an
// output stream.
#pragma once

#include <cstddef>
#include <string>

#include "log/LogEvent.h"

namespace LogUtils {

// Abstract narrow output stream. The virtual operations keep this order:
// write a range, write a zero-terminated text, write counted data.
class OStream {
public:
    virtual void WriteRange(const char* begin, const char* end);
    virtual void WriteText(const char* text);
    virtual void Write(const char* data, size_t count) = 0;

protected:
    ~OStream() = default;
};

// Writes into a caller's buffer between cursor and end; what does not fit is
// dropped. No terminator is written: the length is cursor minus the start.
class FixedBuffer_OStream : public OStream {
public:
    FixedBuffer_OStream(char* begin, char* end) : cursor(begin), end(end) {}
    void Write(const char* data, size_t count) override;

    char* cursor;
    char* end;
};

// Appends to a growable narrow string.
class ATLString_OStream : public OStream {
public:
    explicit ATLString_OStream(std::string& target) : text(target) {}
    void Write(const char* data, size_t count) override;

    std::string& text;
};

// Renders the event through the line format into the stream. Always true.
bool FormatEvent(const char* format, const LogEvent& event, OStream& stream);

// The event rendered into a growable string, followed by ending.
std::string RenderLine(const char* format, const LogEvent& event, const char* ending);

} // namespace LogUtils
