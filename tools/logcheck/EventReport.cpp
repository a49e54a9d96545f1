// The routes of one event: the sinks that take it with the line each would
// write, and the sections that do not take it, with the reason.
#include "LogCheck.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "log/Filter.h"
#include "log/LineFormat.h"
#include "log/LogRoutes.h"

namespace LogCheck {
namespace {

using LogUtils::SinkKind;
using LogUtils::SinkRoute;

std::string SectionName(const SinkRoute& route)
{
    return route.section ? std::string(route.section) : "(built in) " + Narrow(route.filePath);
}

// Why a sink that the filter admits still writes nothing; empty when it writes.
std::string WhyNothingIsWritten(const SinkRoute& route)
{
    switch (route.kind) {
    case SinkKind::File: {
        if (!route.filePath[0] || (route.fileName && !route.fileName[0]))
            return "no usable file name";
        if (!FolderOfFileExists(route.filePath))
            return "the folder of " + Narrow(route.filePath) + " does not exist";
        if (PathIsDirectoryW(route.filePath))
            return Narrow(route.filePath) + " is a folder";
        return "";
    }
    case SinkKind::Syslog:
        return !IsSyslogAddress(route.server) ? "its server is no dotted IPv4 address" : "";
    case SinkKind::DebugString:
        return "";
    case SinkKind::Unknown:
        break;
    }
    return std::string("its type \"") + route.type + "\" writes nothing";
}

class TakenLister : public LogUtils::RouteVisitor {
public:
    explicit TakenLister(const LogUtils::LogEvent& event) : m_event(event) {}

    void Take(const SinkRoute& route) override
    {
        std::string name = SectionName(route);
        m_taken.insert(name);
        std::string why = WhyNothingIsWritten(route);
        if (!why.empty()) {
            std::printf("  -- [%s] takes it but writes nothing: %s\n", name.c_str(), why.c_str());
            return;
        }
        ++m_routes;
        if (route.kind == SinkKind::File)
            std::printf("  -> [%s] file %s\n", name.c_str(), Narrow(route.filePath).c_str());
        else if (route.kind == SinkKind::Syslog)
            std::printf("  -> [%s] syslog %s port 514\n", name.c_str(), route.server);
        else
            std::printf("  -> [%s] debugger\n", name.c_str());
        std::printf("       %s\n", LogUtils::RenderLine(route.format, m_event, "").c_str());
    }

    bool Took(const std::string& name) const { return m_taken.count(name) != 0; }
    int Routes() const { return m_routes; }

private:
    const LogUtils::LogEvent& m_event;
    std::set<std::string> m_taken;
    int m_routes = 0;
};

class RejectLister : public LogUtils::RouteVisitor {
public:
    explicit RejectLister(const TakenLister& taken) : m_taken(taken) {}

    void Take(const SinkRoute& route) override
    {
        std::string name = SectionName(route);
        if (!m_taken.Took(name))
            std::printf("  -- [%s] its filter \"%s\" rejects it\n", name.c_str(), route.filter);
    }

private:
    const TakenLister& m_taken;
};

} // namespace

bool ParseEventName(const char* text, std::string& category, LogUtils::LogLevel& level)
{
    const char* dot = std::strrchr(text, '.');
    if (!dot || !dot[1] || !LogUtils::IsLevelName(dot + 1, std::strlen(dot + 1)))
        return false;
    category.assign(text, static_cast<size_t>(dot - text));
    level = LogUtils::ParseLevel(dot + 1, std::strlen(dot + 1));
    return true;
}

void ReportEvent(LogUtils::LogSettings& settings, const LogUtils::LogEvent& event)
{
    std::printf("Event %s.%s:\n", event.category, LogUtils::LevelName(event.level));
    TakenLister taken(event);
    LogUtils::VisitRoutes(settings, &event, taken);
    RejectLister rejected(taken);
    LogUtils::VisitRoutes(settings, nullptr, rejected);
    if (taken.Routes() == 0)
        std::printf("  the event goes nowhere\n");
}

} // namespace LogCheck
