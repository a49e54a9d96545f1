// tolvane-logcheck: where do the client's log events go, and why not.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "LogCheck.h"
#include "log/LogEvent.h"
#include "log/LogSettings.h"

namespace {

const char kUsage[] =
    "Usage: tolvane-logcheck [--event Component.Level | --write Component.Level \"text\"]\n"
    "\n"
    "Reads the logging configuration exactly as every client process does (the\n"
    "registry under HKLM\\SOFTWARE\\Tavrel\\Orbisk and the logging ini file) and prints:\n"
    "  the installation folder, the log folder and the ini file in effect and why;\n"
    "  each sink with its type, its filter term by term, its file and size limit,\n"
    "  its format and its syslog server;\n"
    "  one warning line for each mistake that loses events.\n"
    "\n"
    "  --event Component.Level   the sinks that would take such an event (for example\n"
    "                            Wexmoor.Info) and the line each would write\n"
    "  --write Component.Level \"text\"\n"
    "                            sends one real event through the library and shows\n"
    "                            where it went\n"
    "  --help                    this text\n"
    "\n"
    "Exit code: 0 nothing is wrong, 1 there are warnings, 2 the checker cannot run.\n";

int Usage(const char* complaint)
{
    std::fprintf(stderr, "tolvane-logcheck: %s\n\n%s", complaint, kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool listSinks = argc == 1;
    const char* eventName = nullptr;
    const char* text = nullptr;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s", kUsage);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--event") == 0) {
        eventName = argv[2];
    } else if (argc == 4 && std::strcmp(argv[1], "--write") == 0) {
        eventName = argv[2];
        text = argv[3];
    } else if (argc != 1) {
        return Usage("unknown arguments");
    }

    std::string category;
    LogUtils::LogLevel level = LogUtils::Debug;
    if (eventName && !LogCheck::ParseEventName(eventName, category, level))
        return Usage("the event must read Component.Level, for example Wexmoor.Info");

    if (text) {
        LogUtils::LogEvent(__FILE__, __LINE__, level, category.c_str()).Write("%s", text);
        std::printf("Sent %s.%s \"%s\"\n", category.c_str(), LogUtils::LevelName(level), text);
    }

    // Every finding is computed from the configuration as it reads after the
    // event above was sent, and printed after. The example event names a
    // fixed source line, so that its "%L" stays the same from one version of
    // the checker to the next.
    constexpr int kExampleEventLine = 75;
    LogUtils::LogEvent event(__FILE__, kExampleEventLine, level, category.c_str());
    event.narrowMessage = text ? text : "(message)";
    const LogCheck::Findings findings = LogCheck::CheckConfiguration(listSinks, eventName ? &event : nullptr);
    std::fputs(findings.report.c_str(), stdout);
    for (const std::string& warning : findings.warnings.Lines())
        std::printf("%s\n", warning.c_str());
    return findings.warnings.Empty() ? 0 : 1;
}
