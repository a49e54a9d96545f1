// LogManager::Dispatch: reads the logging configuration afresh for every
// event (registry and, when present, the logging ini file) and offers the
// event to every configured sink whose filter admits it.
#include "log/LogManager.h"

#include "log/LogRoutes.h"
#include "log/LogSettings.h"
#include "log/SinkKinds.h"

namespace LogUtils {
namespace {

// Writes the event through each sink it is routed to; the sinks' results
// are not looked at, and a type that names no sink writes nothing.
class SinkWriter : public RouteVisitor {
public:
    explicit SinkWriter(const LogEvent& event) : m_event(event) {}

    void Take(const SinkRoute& route) override
    {
        if (route.kind)
            route.kind->write(route, m_event);
    }

private:
    const LogEvent& m_event;
};

} // namespace

bool LogManager::Dispatch(const LogEvent& event)
{
    LogSettings settings;
    ReadLogSettings(settings);
    SinkWriter writer(event);
    return VisitRoutes(settings, &event, writer);
}

} // namespace LogUtils
