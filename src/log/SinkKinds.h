// The kinds of sink a logging configuration can name, one row each: the
// "type" that selects it, the section keys it reads, how it writes an event,
// and what the log checker says about it (where it writes, and why an event
// it takes would still be written nowhere). The library's dispatch and the
// checker both work from this table; a new kind is one new row.
#pragma once

#include <string>
#include <vector>

#include "log/LogRoutes.h"

namespace LogUtils {

// What the checker says about one route of a sink kind.
struct SinkCheck {
    std::string destination;            // "file <path>", "syslog <server> port 514", "debugger"
    std::vector<std::string> details;   // the report's lines about it, without indentation
    std::string silence;                // why it writes nothing, in a few words; empty when it writes
    std::vector<std::string> warnings;  // about the section: lost events and surprises
};

struct SinkKind {
    const char* typeName;   // the section's "type", compared without regard to case
    // Reads the section's own keys ("filename" and "maxsize", "server", ...)
    // into the route; not called for the built-in sinks.
    void (*readKeys)(const IniSection& section, SinkRoute& route);
    // Writes the event through the route's sink; its result is not used.
    void (*write)(const SinkRoute& route, const LogEvent& event);
    SinkCheck (*check)(const SinkRoute& route);
};

// The row whose type name is type (without regard to case); null when none is.
const SinkKind* SinkKindOf(const char* type);

// The row of the built-in sinks.
const SinkKind& FileSinkKind();

// Every type name, as "a, b or c".
std::string SinkTypeNames();

// Wide text in the thread's ANSI code page; the empty text when it cannot be converted.
std::string ToAnsi(const wchar_t* text);

} // namespace LogUtils
