#include "log/LogManager.h"

namespace LogUtils {

// Placeholder until the configured sinks are in place: events go nowhere.
bool LogManager::Dispatch(const LogEvent&)
{
    return true;
}

} // namespace LogUtils
