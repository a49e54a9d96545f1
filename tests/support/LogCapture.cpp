#include "LogCapture.h"

#include "TestSupport.h"

namespace testsupport {

LogCapture::LogCapture()
{
    LogUtils::SetEventObserver([](const LogUtils::LogEvent& e, void* context) {
        const auto text = [](const char* s) { return std::string(s ? s : ""); };
        static_cast<LogCapture*>(context)->events.push_back({e.level, text(e.category),
            e.narrowMessage || !e.wideMessage ? text(e.narrowMessage) : Narrow(e.wideMessage), text(e.sourceFile),
            e.errorCode, e.hasError});
    }, this);
}

LogCapture::~LogCapture() { LogUtils::SetEventObserver(nullptr, nullptr); }

std::vector<std::string> LogCapture::Messages() const
{
    std::vector<std::string> messages;
    for (const CapturedEvent& e : events)
        messages.push_back(e.message);
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
