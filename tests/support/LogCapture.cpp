#include "LogCapture.h"

#include "TestSupport.h"

namespace testsupport {

namespace {

void Record(const LogUtils::LogEvent& event, void* context)
{
    auto* capture = static_cast<LogCapture*>(context);
    CapturedEvent captured;
    captured.level = event.level;
    captured.category = event.category ? event.category : "";
    if (event.narrowMessage)
        captured.message = event.narrowMessage;
    else if (event.wideMessage)
        captured.message = Narrow(event.wideMessage);
    captured.errorCode = event.errorCode;
    captured.hasError = event.hasError;
    captured.sourceFile = event.sourceFile ? event.sourceFile : "";
    capture->events.push_back(captured);
}

} // namespace

LogCapture::LogCapture()
{
    LogUtils::SetEventObserver(&Record, this);
}

LogCapture::~LogCapture()
{
    LogUtils::SetEventObserver(nullptr, nullptr);
}

std::vector<std::string> LogCapture::Messages() const
{
    std::vector<std::string> messages;
    for (const CapturedEvent& event : events)
        messages.push_back(event.message);
    return messages;
}

std::vector<std::string> LogCapture::Records(const char* category) const
{
    std::vector<std::string> records;
    for (const CapturedEvent& e : events)
        if (!category || e.category == category)
            records.push_back(LogUtils::LevelName(e.level) + (" " + e.category) + " " + e.message +
                          (e.hasError ? " [error " + std::to_string(e.errorCode) + "]" : ""));
    return records;
}

} // namespace testsupport
