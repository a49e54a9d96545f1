#include "log/DebugStringSink.h"

#include <string>

#include "log/LineFormat.h"

namespace LogUtils {

DebugStringSink& DebugStringSink::Instance()
{
    static DebugStringSink sink;
    return sink;
}

bool DebugStringSink::Write(const char* format, const LogEvent& event)
{
    std::string line;
    line.reserve(256);
    ATLString_OStream stream(line);
    FormatEvent(format, event, stream);
    stream.Write("\n", 1);
    OutputDebugStringA(line.c_str());
    return true;
}

} // namespace LogUtils
