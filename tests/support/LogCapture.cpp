#include "LogCapture.h"

#include "TestSupport.h"

namespace testsupport {

LogCapture::LogCapture()
{
    LogUtils::SetEventObserver([](const LogUtils::LogEvent& e, void* context) {
        const auto text = [](const char* s) { return std::string(s ? s : ""); };
        static_cast<LogCapture*>(context)->events.push_back({e.level, text(e.category),
            e.narrowMessage || !e.wideMessage ? text(e.narrowMessage) : Narrow(e.wideMessage), text(e.sourceFile),
            e.line, e.errorCode, e.hasError});
    }, this);
}

LogCapture::~LogCapture() { LogUtils::SetEventObserver(nullptr, nullptr); }

} // namespace testsupport
