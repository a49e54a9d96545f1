// The routes of one event: the sinks that take it with the line each would
// write, and the sections that do not take it, with the reason.
#include "LogCheck.h"

#include <cstring>

#include "log/Filter.h"
#include "log/LineFormat.h"

namespace LogCheck {

bool ParseEventName(const char* text, std::string& category, LogUtils::LogLevel& level)
{
    const char* dot = std::strrchr(text, '.');
    if (!dot || !dot[1] || !LogUtils::IsLevelName(dot + 1, std::strlen(dot + 1)))
        return false;
    category.assign(text, static_cast<size_t>(dot - text));
    level = LogUtils::ParseLevel(dot + 1, std::strlen(dot + 1));
    return true;
}

void ReportEvent(const std::vector<CheckedRoute>& routes, const LogUtils::LogEvent& event, Findings& findings)
{
    std::string& out = findings.report;
    Say(out, "Event %s.%s:\n", event.category, LogUtils::LevelName(event.level));
    std::vector<const CheckedRoute*> rejected;
    for (const CheckedRoute& route : routes) {
        if (!LogUtils::MatchesFilter(event, route.filter.c_str())) {
            rejected.push_back(&route);
            continue;
        }
        const char* name = route.name.c_str();
        const std::string why = route.kind ? route.check.silence : "its type \"" + route.type + "\" writes nothing";
        if (!why.empty()) {
            Say(out, "  -- [%s] takes it but writes nothing: %s\n", name, why.c_str());
            continue;
        }
        findings.destinations.push_back(route.check.destination);
        Say(out, "  -> [%s] %s\n", name, route.check.destination.c_str());
        Say(out, "       %s\n", LogUtils::RenderLine(route.format.c_str(), event, "").c_str());
    }
    for (const CheckedRoute* route : rejected)
        Say(out, "  -- [%s] its filter \"%s\" rejects it\n", route->name.c_str(), route->filter.c_str());
    if (findings.destinations.empty())
        Say(out, "  the event goes nowhere\n");
}

} // namespace LogCheck
