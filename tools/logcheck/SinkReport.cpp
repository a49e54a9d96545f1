// The sinks of the configuration, one block each, and the warnings about
// sections that lose events.
#include "LogCheck.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "log/Filter.h"
#include "log/LogArchive.h"
#include "log/LogConfig.h"
#include "log/LogRoutes.h"

namespace LogCheck {
namespace {

using LogUtils::SinkKind;
using LogUtils::SinkRoute;

std::string LevelRange(const char* text, size_t length)
{
    return std::string("levels Emergency to ") + LogUtils::LevelName(LogUtils::ParseLevel(text, length));
}

// The filter term by term; warnings for terms that cannot match and for a
// filter that admits nothing.
void ReportFilter(const SinkRoute& route, const std::string& name, bool print, Warnings& warnings)
{
    if (print)
        std::printf("  filter: \"%s\"\n", route.filter);
    if (!route.filter[0]) {
        warnings.Add(name, "no \"filter\" (or an empty one): the section takes no event");
        return;
    }
    bool canAdmit = false;
    LogUtils::FilterTerm term;
    for (const char* cursor = route.filter; LogUtils::NextFilterTerm(cursor, term);) {
        std::string text(term.text, term.length);
        std::string shown = (term.negative ? "~" : "") + text;
        const char* dot = static_cast<const char*>(std::memchr(term.text, '.', term.length));
        if (!dot) {
            if (print)
                std::printf("    %s: no \".\", matches nothing\n", shown.c_str());
            warnings.Add(name, "term \"" + shown + "\" has no \".\": it matches nothing");
            continue;
        }
        std::string category(term.text, static_cast<size_t>(dot - term.text));
        const char* level = dot + 1;
        size_t levelLength = static_cast<size_t>(term.text + term.length - level);
        if (!LogUtils::IsLevelName(level, levelLength))
            warnings.Add(name, "term \"" + shown + "\": \"" + std::string(level, levelLength) +
                                   "\" is no level name, it counts as Debug");
        if (!term.negative)
            canAdmit = true;
        if (print) {
            std::string categories = category == "*" || category.empty()
                                         ? "every category"
                                         : "categories beginning with \"" + category + "\"";
            std::printf("    %s: %s %s, %s\n", shown.c_str(), term.negative ? "excludes" : "admits",
                        categories.c_str(), LevelRange(level, levelLength).c_str());
        }
    }
    if (!canAdmit)
        warnings.Add(name, "the filter has no term that admits an event: the section takes no event");
}

void ReportFile(const SinkRoute& route, const std::string& name, bool print, Warnings& warnings)
{
    std::string path = Narrow(route.filePath);
    bool isIni = route.section != nullptr;
    if (isIni && !route.fileName[0]) {
        warnings.Add(name, "no \"filename\": the section writes nothing");
        return;
    }
    if (!route.filePath[0]) {
        warnings.Add(name, "the file's path does not fit in 260 characters: the section writes nothing");
        return;
    }
    const bool folderExists = FolderOfFileExists(route.filePath);
    if (print) {
        std::printf("  file: %s (%s)\n", path.c_str(),
                    folderExists ? "its folder exists" : "its folder does not exist");
        std::printf("  size limit: %u bytes (%s)\n", route.sizeLimit,
                    route.sizeFromSection    ? "\"maxsize\""
                    : route.sizeFromAgentKey ? "HKLM\\SOFTWARE\\Tavrel\\Orbisk\\Agent \"dwMaxLogfileSize\""
                    : !isIni                 ? "built in"
                    : route.sizeLimit == LogUtils::kDefaultSizeLimit ? "the default"
                                             : "an earlier section's limit");
    }
    if (!folderExists)
        warnings.Add(name, "the folder of " + path + " does not exist: the section writes nothing");
    else if (PathIsDirectoryW(route.filePath))
        warnings.Add(name, path + " is a folder: the section writes nothing");
    if (isIni && route.sizeFromSection && !LogUtils::ArchivesArePruned(PathFindFileNameW(route.filePath)))
        warnings.Add(name, "the archives of " + std::string(PathFindFileNameA(route.fileName)) +
                               " are never pruned: each overflow leaves one more .cab file beside it");
}

class SinkLister : public LogUtils::RouteVisitor {
public:
    SinkLister(bool print, Warnings& warnings) : m_print(print), m_warnings(warnings) {}

    void Take(const SinkRoute& route) override
    {
        std::string name = route.section ? route.section : "";
        if (m_print)
            std::printf("[%s] type \"%s\"\n", route.section ? route.section : "(built in)", route.type);
        ReportFilter(route, name, m_print, m_warnings);
        switch (route.kind) {
        case SinkKind::File:
            ReportFile(route, name, m_print, m_warnings);
            break;
        case SinkKind::Syslog:
            if (m_print)
                std::printf("  server: \"%s\", UDP port 514\n", route.server);
            if (!IsSyslogAddress(route.server))
                m_warnings.Add(name, std::string("server \"") + route.server +
                                         "\" is no dotted IPv4 address: nothing is sent");
            break;
        case SinkKind::DebugString:
            if (m_print)
                std::printf("  the debugger of the writing process\n");
            break;
        case SinkKind::Unknown:
            m_warnings.Add(name, route.type[0] ? std::string("type \"") + route.type +
                                                     "\" is not file, outputdebugstring or syslog: "
                                                     "the section writes nothing"
                                               : "no \"type\": the section writes nothing");
            break;
        }
        if (m_print)
            std::printf("  format: \"%s\"\n", route.format);
        if (route.section && route.kind != SinkKind::Unknown && !route.format[0])
            m_warnings.Add(name, "no \"format\": every event it takes is an empty line");
    }

private:
    bool m_print;
    Warnings& m_warnings;
};

// Section names beyond the 512 bytes that the library lists are never seen.
void WarnUnseenSections(const char* ini, Warnings& warnings)
{
    static char all[65536];
    DWORD listed = GetPrivateProfileSectionNamesA(all, sizeof(all), ini);
    size_t offset = 0;
    for (const char* name = all; name < all + listed && *name; name += std::strlen(name) + 1) {
        offset += std::strlen(name) + 1;
        if (offset > 511)
            warnings.Add(name, "lies beyond the first 512 bytes of section names: it is never read");
    }
}

} // namespace

void ReportSinks(LogUtils::LogSettings& settings, bool print, Warnings& warnings)
{
    if (print)
        std::printf("Sinks%s:\n", settings.iniExists ? " of the ini file" : " (built in, no ini file)");
    SinkLister lister(print, warnings);
    if (!LogUtils::VisitRoutes(settings, nullptr, lister))
        warnings.Add("", "the ini file lists no section (empty or unreadable): every event is lost");
    else if (settings.iniExists)
        WarnUnseenSections(settings.iniPath, warnings);
}

} // namespace LogCheck
