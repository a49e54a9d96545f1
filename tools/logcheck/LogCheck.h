// The parts of the log-configuration checker: the report of the settings
// and sinks, the warnings, and the routes of one event. Everything is
// computed into Findings first; the program prints them after.
#pragma once

#include <string>
#include <vector>

#include "log/LogEvent.h"
#include "log/LogSettings.h"
#include "log/SinkKinds.h"

namespace LogCheck {

// Warnings, one line each, collected while the configuration is examined.
class Warnings {
public:
    void Add(const std::string& section, const std::string& text);
    const std::vector<std::string>& Lines() const { return m_lines; }
    bool Empty() const { return m_lines.empty(); }

private:
    std::vector<std::string> m_lines;
};

struct Findings {
    std::string report;                     // the report's lines, each ending in "\n"
    Warnings warnings;
    std::vector<std::string> destinations;  // where the event is written ("file <path>", ...)
};

// One configured sink, resolved once, with what the checker says about it.
struct CheckedRoute {
    std::string section;    // empty for a built-in sink
    std::string name;       // the section, or "(built in) " and the file
    std::string filter;
    std::string format;
    std::string type;
    const LogUtils::SinkKind* kind;
    LogUtils::SinkCheck check;
};

// Appends printf-formatted text to out.
void Say(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Every sink of the configuration in its order (each file section with the
// size limit it has when every section before it took the event); false when
// the ini file exists but lists no section.
bool CollectRoutes(const LogUtils::LogSettings& settings, std::vector<CheckedRoute>& routes);

// Where the installation folder, the log folder and the ini file come from.
void ReportSettings(const LogUtils::LogSettings& settings, Findings& findings);

// Every sink of the configuration, with its filter term by term; with print
// false only the warnings are collected.
void ReportSinks(const LogUtils::LogSettings& settings, const std::vector<CheckedRoute>& routes, bool listed,
                 bool print, Findings& findings);

// The sinks that take the event and the line each would write; the sinks
// that do not, and why.
void ReportEvent(const std::vector<CheckedRoute>& routes, const LogUtils::LogEvent& event, Findings& findings);

// The whole check of the configuration as it reads now: the settings, the
// sinks (listed when listSinks) and, when an event is given, its routes.
Findings CheckConfiguration(bool listSinks, const LogUtils::LogEvent* event);

// "Component.Level" into a category and a level; false when it is no such text.
bool ParseEventName(const char* text, std::string& category, LogUtils::LogLevel& level);

} // namespace LogCheck
