// The parts of the log-configuration checker: the report of the settings
// and sinks, the warnings, and the routes of one event.
#pragma once

#include <string>
#include <vector>

#include "log/LogEvent.h"
#include "log/LogSettings.h"

namespace LogCheck {

// Warnings, one line each, collected while the configuration is examined.
class Warnings {
public:
    void Add(const std::string& section, const std::string& text);
    void Print() const;
    bool Empty() const { return m_lines.empty(); }

private:
    std::vector<std::string> m_lines;
};

std::string Narrow(const wchar_t* text);

// Whether the folder that holds a log file exists (the file sink creates
// files, not folders).
bool FolderOfFileExists(const wchar_t* filePath);

// Whether the syslog sink can send to server: it takes only a dotted IPv4
// address.
bool IsSyslogAddress(const char* server);

// Where the installation folder, the log folder and the ini file come from.
void ReportSettings(const LogUtils::LogSettings& settings, Warnings& warnings);

// Every sink of the configuration, with its filter term by term.
// With print false only the warnings are collected.
void ReportSinks(LogUtils::LogSettings& settings, bool print, Warnings& warnings);

// The sinks that take the event and the line each would write; the sinks
// that do not, and why.
void ReportEvent(LogUtils::LogSettings& settings, const LogUtils::LogEvent& event);

// "Component.Level" into a category and a level; false when it is no such text.
bool ParseEventName(const char* text, std::string& category, LogUtils::LogLevel& level);

} // namespace LogCheck
