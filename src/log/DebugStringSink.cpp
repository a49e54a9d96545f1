#include "log/DebugStringSink.h"

#include "log/LineFormat.h"

namespace LogUtils {

DebugStringSink& DebugStringSink::Instance()
{
    static DebugStringSink sink;
    return sink;
}

bool DebugStringSink::Write(const char* format, const LogEvent& event)
{
    OutputDebugStringA(RenderLine(format, event, "\n").c_str());
    return true;
}

} // namespace LogUtils
