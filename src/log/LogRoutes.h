// The routes of the logging configuration: the sinks that an event goes
// to, resolved from the built-in table or from the logging ini file section
// by section, with the file path, size limit, format and address each uses.
#pragma once

#include "log/LogConfig.h"
#include "log/LogEvent.h"
#include "log/LogSettings.h"

namespace LogUtils {

struct SinkKind;

// Where a file route's size limit comes from.
enum class SizeSource {
    Carried,    // the built-in 2 MiB, or what an earlier section of the event set
    Section,    // the section's "maxsize"
    AgentKey,   // "dwMaxLogfileSize" of the Agent key
};

struct SinkRoute {
    const char* section = nullptr;        // the ini section; null for a built-in sink
    const char* filter = "";
    const char* format = "";
    const char* type = "";                // "type" as written in the ini file
    const SinkKind* kind = nullptr;       // null: a type that writes nothing
    const wchar_t* filePath = L"";        // file: log folder + file name; empty when it does not fit
    const char* fileName = nullptr;       // file, ini sections: "filename" after the "<dt>" rule
    const char* maxSize = "";             // file, ini sections: "maxsize" as written
    unsigned int sizeLimit = kDefaultSizeLimit;
    SizeSource sizeSource = SizeSource::Carried;
    const char* server = "";              // syslog
};

// The texts of one section's route, alive while the visitor takes it.
struct SectionTexts {
    char filter[kFilterChars + 1];
    char format[kFormatChars + 1];
    char type[kTypeChars + 1];
    char fileName[kLogPathChars + 1] = "";
    char maxSize[kMaxSizeChars + 1] = "";
    char server[kLogPathChars + 1] = "";
    wchar_t filePath[kLogPathChars] = L"";
};

// One ini section while its route is resolved: what a sink kind reads its
// own keys from, and the size limit carried from section to section.
struct IniSection {
    const LogSettings& settings;
    const char* name;
    unsigned int& carriedSizeLimit;
    SectionTexts& texts;

    // The key's value into buffer (the empty text when it is missing).
    void Read(const char* key, char* buffer, unsigned int bytes) const;
};

// folder with name appended, in a 260-character buffer; the empty text
// when the result does not fit (the sink is then skipped).
void BuildLogPath(wchar_t (&path)[kLogPathChars], const wchar_t* folder, const wchar_t* name);

// The "<dt>" rule: the first "<dt>" and everything behind it become the last
// version followed by ".log".
void ReplaceDateTag(wchar_t* name, size_t chars, const wchar_t* lastVersion);
void ReplaceDateTag(char* name, size_t bytes, const char* lastVersion);

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
bool VisitRoutes(const LogSettings& settings, const LogEvent* event, RouteVisitor& visitor);

} // namespace LogUtils
