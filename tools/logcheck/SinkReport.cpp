// The sinks of the configuration, one block each, and the warnings about
// sections that lose events.
#include "LogCheck.h"

#include <windows.h>

#include <cstring>

#include "log/Filter.h"
#include "log/LogConfig.h"

namespace LogCheck {
namespace {

std::string LevelRange(const char* text, size_t length)
{
    return std::string("levels Emergency to ") + LogUtils::LevelName(LogUtils::ParseLevel(text, length));
}

// The filter term by term; warnings for terms that cannot match and for a
// filter that admits nothing.
void ReportFilter(const CheckedRoute& route, bool print, Findings& findings)
{
    const std::string& name = route.section;
    if (print)
        Say(findings.report, "  filter: \"%s\"\n", route.filter.c_str());
    if (route.filter.empty()) {
        findings.warnings.Add(name, "no \"filter\" (or an empty one): the section takes no event");
        return;
    }
    bool canAdmit = false;
    LogUtils::FilterTerm term;
    for (const char* cursor = route.filter.c_str(); LogUtils::NextFilterTerm(cursor, term);) {
        std::string text(term.text, term.length);
        std::string shown = (term.negative ? "~" : "") + text;
        const char* dot = static_cast<const char*>(std::memchr(term.text, '.', term.length));
        if (!dot) {
            if (print)
                Say(findings.report, "    %s: no \".\", matches nothing\n", shown.c_str());
            findings.warnings.Add(name, "term \"" + shown + "\" has no \".\": it matches nothing");
            continue;
        }
        std::string category(term.text, static_cast<size_t>(dot - term.text));
        const char* level = dot + 1;
        size_t levelLength = static_cast<size_t>(term.text + term.length - level);
        if (!LogUtils::IsLevelName(level, levelLength))
            findings.warnings.Add(name, "term \"" + shown + "\": \"" + std::string(level, levelLength) +
                                            "\" is no level name, it counts as Debug");
        if (!term.negative)
            canAdmit = true;
        if (print) {
            std::string categories = category == "*" || category.empty()
                                         ? "every category"
                                         : "categories beginning with \"" + category + "\"";
            Say(findings.report, "    %s: %s %s, %s\n", shown.c_str(), term.negative ? "excludes" : "admits",
                categories.c_str(), LevelRange(level, levelLength).c_str());
        }
    }
    if (!canAdmit)
        findings.warnings.Add(name, "the filter has no term that admits an event: the section takes no event");
}

void ReportSink(const CheckedRoute& route, bool print, Findings& findings)
{
    const std::string& name = route.section;
    if (print)
        Say(findings.report, "[%s] type \"%s\"\n", route.section.empty() ? "(built in)" : name.c_str(),
            route.type.c_str());
    ReportFilter(route, print, findings);
    if (route.kind) {
        if (print)
            for (const std::string& line : route.check.details)
                Say(findings.report, "  %s\n", line.c_str());
        for (const std::string& warning : route.check.warnings)
            findings.warnings.Add(name, warning);
    } else {
        findings.warnings.Add(name, route.type.empty() ? "no \"type\": the section writes nothing"
                                                       : "type \"" + route.type + "\" is not " +
                                                             LogUtils::SinkTypeNames() +
                                                             ": the section writes nothing");
    }
    if (print)
        Say(findings.report, "  format: \"%s\"\n", route.format.c_str());
    if (!route.section.empty() && route.kind && route.format.empty())
        findings.warnings.Add(name, "no \"format\": every event it takes is an empty line");
}

// Section names beyond the bytes of the list that the library reads are never seen.
void WarnUnseenSections(const char* ini, Warnings& warnings)
{
    static char all[65536];
    DWORD listed = GetPrivateProfileSectionNamesA(all, sizeof(all), ini);
    size_t offset = 0;
    for (const char* name = all; name < all + listed && *name; name += std::strlen(name) + 1) {
        offset += std::strlen(name) + 1;
        if (offset >= LogUtils::kIniSectionListBytes)
            warnings.Add(name, "lies beyond the first " + std::to_string(LogUtils::kIniSectionListBytes) +
                                   " bytes of section names: it is never read");
    }
}

} // namespace

void ReportSinks(const LogUtils::LogSettings& settings, const std::vector<CheckedRoute>& routes, bool listed,
                 bool print, Findings& findings)
{
    if (print)
        Say(findings.report, "Sinks%s:\n", settings.iniExists ? " of the ini file" : " (built in, no ini file)");
    for (const CheckedRoute& route : routes)
        ReportSink(route, print, findings);
    if (!listed)
        findings.warnings.Add("", "the ini file lists no section (empty or unreadable): every event is lost");
    else if (settings.iniExists)
        WarnUnseenSections(settings.iniPath, findings.warnings);
}

} // namespace LogCheck
