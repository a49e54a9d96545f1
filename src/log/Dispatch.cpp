// LogManager::Dispatch: reads the logging configuration afresh for every
// event (registry and, when present, the logging ini file) and offers the
// event to every configured sink whose filter admits it.
#include <winsock2.h>

#include "log/LogManager.h"

#include "log/DebugStringSink.h"
#include "log/LogFileSink.h"
#include "log/LogRoutes.h"
#include "log/LogSettings.h"
#include "log/SyslogSink.h"

namespace LogUtils {
namespace {

// Writes the event through each sink it is routed to; the sinks' results
// are not looked at.
class SinkWriter : public RouteVisitor {
public:
    explicit SinkWriter(const LogEvent& event) : m_event(event) {}

    void Take(const SinkRoute& route) override
    {
        switch (route.kind) {
        case SinkKind::File:
            if (route.filePath[0])
                LogFileSink(route.filePath, route.sizeLimit, 1).Write(route.format, m_event);
            break;
        case SinkKind::DebugString:
            DebugStringSink::Instance().Write(route.format, m_event);
            break;
        case SinkKind::Syslog:
            SyslogSink(SyslogReceiver(route.server)).Write(route.format, m_event);
            break;
        case SinkKind::Unknown:
            break;
        }
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
