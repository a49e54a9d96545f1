// The checker's one pass over the configuration: every route resolved once,
// then the reports computed from them.
#include "LogCheck.h"

#include "log/LogRoutes.h"

namespace LogCheck {
namespace {

class RouteCollector : public LogUtils::RouteVisitor {
public:
    explicit RouteCollector(std::vector<CheckedRoute>& routes) : m_routes(routes) {}

    void Take(const LogUtils::SinkRoute& route) override
    {
        CheckedRoute checked;
        checked.section = route.section ? route.section : "";
        checked.name = route.section ? checked.section : "(built in) " + LogUtils::ToAnsi(route.filePath);
        checked.filter = route.filter;
        checked.format = route.format;
        checked.type = route.type;
        checked.kind = route.kind;
        if (route.kind)
            checked.check = route.kind->check(route);
        m_routes.push_back(checked);
    }

private:
    std::vector<CheckedRoute>& m_routes;
};

} // namespace

bool CollectRoutes(const LogUtils::LogSettings& settings, std::vector<CheckedRoute>& routes)
{
    RouteCollector collector(routes);
    return LogUtils::VisitRoutes(settings, nullptr, collector);
}

Findings CheckConfiguration(bool listSinks, const LogUtils::LogEvent* event)
{
    LogUtils::LogSettings settings;
    LogUtils::ReadLogSettings(settings);
    Findings findings;
    std::vector<CheckedRoute> routes;
    const bool listed = CollectRoutes(settings, routes);
    ReportSettings(settings, findings);
    ReportSinks(settings, routes, listed, listSinks, findings);
    if (event)
        ReportEvent(routes, *event, findings);
    return findings;
}

} // namespace LogCheck
