// The routes of the logging configuration: the sinks that an event goes
// to, resolved from the built-in table or from the logging ini file section
// by section, with the file path, size limit, format and address each uses.
#pragma once

#include "log/LogEvent.h"
#include "log/LogSettings.h"

namespace LogUtils {

enum class SinkKind { File, DebugString, Syslog, Unknown };

struct SinkRoute {
    const char* section;       // the ini section; null for a built-in sink
    const char* filter;
    const char* format;
    const char* type;          // "type" as written in the ini file
    SinkKind kind;
    const wchar_t* filePath;   // File: log folder + file name; empty when it does not fit
    const char* fileName;      // File, ini sections: "filename" after the "<dt>" rule
    unsigned int sizeLimit;    // File
    bool sizeFromSection;      // File: the limit is the section's "maxsize"
    bool sizeFromAgentKey;     // File: the limit is "dwMaxLogfileSize"
    const char* server;        // Syslog
};

class RouteVisitor {
public:
    virtual void Take(const SinkRoute& route) = 0;
protected:
    ~RouteVisitor() = default;
};

// Hands the visitor, in the configuration's order, every sink whose filter
// admits the event; with no event, every configured sink (a file section
// then gets the size limit it has when every section before it took the
// event). False when the ini file exists but lists no section.
bool VisitRoutes(LogSettings& settings, const LogEvent* event, RouteVisitor& visitor);

} // namespace LogUtils
