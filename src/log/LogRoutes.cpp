#include "log/LogRoutes.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/RegHelp.h"
#include "common/RegKey.h"
#include "log/Filter.h"
#include "log/LogConfig.h"

namespace LogUtils {
namespace {

bool Admits(const LogEvent* event, const char* filter)
{
    return !event || MatchesFilter(*event, filter);
}

// folder with name appended, in a 260-character buffer; the empty text
// when the result does not fit (the sink is then skipped).
void BuildLogPath(wchar_t (&path)[kLogPathChars], const wchar_t* folder, const wchar_t* name)
{
    path[0] = L'\0';
    if (wcslen(folder) >= kLogPathChars)
        return;
    wcscpy(path, folder);
    if (!PathAppendW(path, name))
        path[0] = L'\0';
}

// The "<dt>" rule: the first "<dt>" and everything behind it become the last
// version followed by ".log".
void ReplaceDateTag(wchar_t* name, size_t chars, const wchar_t* lastVersion)
{
    wchar_t* tag = wcsstr(name, L"<dt>");
    if (tag)
        _snwprintf_s(tag, chars - static_cast<size_t>(tag - name), _TRUNCATE, L"%s.log", lastVersion);
}

void ReplaceDateTag(char* name, size_t bytes, const char* lastVersion)
{
    char* tag = strstr(name, "<dt>");
    if (tag)
        _snprintf_s(tag, bytes - static_cast<size_t>(tag - name), _TRUNCATE, "%s.log", lastVersion);
}

SinkKind KindOf(const char* type)
{
    if (_stricmp(type, "file") == 0)
        return SinkKind::File;
    if (_stricmp(type, "outputdebugstring") == 0)
        return SinkKind::DebugString;
    if (_stricmp(type, "syslog") == 0)
        return SinkKind::Syslog;
    return SinkKind::Unknown;
}

void VisitDefaultRoutes(LogSettings& s, const LogEvent* event, RouteVisitor& visitor)
{
    wchar_t path[kLogPathChars];
    SinkRoute route = {nullptr, s.debugEnable ? "*.Debug" : kDefaultMainFilter, kDefaultMainFormat,
                       "file", SinkKind::File, path, nullptr, kDefaultSizeLimit, false, false, nullptr};
    if (Admits(event, route.filter)) {
        if (wcsstr(s.mainLogName, L"<dt>"))
            ReplaceDateTag(s.mainLogName, kLogPathChars + 1, s.LastVersion());
        BuildLogPath(path, s.logFolder, s.mainLogName);
        visitor.Take(route);
    }
    for (const DefaultSink& sink : kDefaultSinks) {
        if (Admits(event, sink.filter)) {
            route.filter = sink.filter;
            route.format = sink.format;
            BuildLogPath(path, s.logFolder, sink.fileName);
            visitor.Take(route);
        }
    }
}

bool VisitIniRoutes(LogSettings& s, const LogEvent* event, RouteVisitor& visitor)
{
    const char* ini = s.iniPath;
    char sections[512];
    DWORD listed = GetPrivateProfileSectionNamesA(sections, sizeof(sections), ini);
    if (listed == 0)
        return false;

    unsigned int sizeLimit = kDefaultSizeLimit;
    for (const char* section = sections; section < sections + listed && *section;
         section += strlen(section) + 1) {
        char filter[512];
        GetPrivateProfileStringA(section, "filter", "", filter, sizeof(filter), ini);
        if (!Admits(event, filter))
            continue;
        char format[256];
        char type[64];
        GetPrivateProfileStringA(section, "format", "", format, sizeof(format), ini);
        GetPrivateProfileStringA(section, "type", "", type, sizeof(type), ini);

        wchar_t path[kLogPathChars] = L"";
        char fileName[kLogPathChars + 1] = "";
        char server[kLogPathChars + 1] = "";
        SinkRoute route = {section, filter, format, type, KindOf(type), path, fileName,
                           sizeLimit, false, false, server};
        if (route.kind == SinkKind::File) {
            GetPrivateProfileStringA(section, "filename", "", fileName, sizeof(fileName), ini);
            if (strstr(fileName, "<dt>")) {
                char lastVersion[128];
                if (WideCharToMultiByte(CP_THREAD_ACP, 0, s.LastVersion(), -1, lastVersion,
                                        sizeof(lastVersion), nullptr, nullptr) <= 0)
                    lastVersion[0] = '\0';
                ReplaceDateTag(fileName, sizeof(fileName), lastVersion);
            }
            char maxSize[64];
            GetPrivateProfileStringA(section, "maxsize", "", maxSize, sizeof(maxSize), ini);
            if (maxSize[0]) {
                sizeLimit = static_cast<unsigned int>(atoi(maxSize));
                route.sizeFromSection = true;
            } else {
                DWORD agentLimit = 0;
                RegKey agent;
                agent.Open(HKEY_LOCAL_MACHINE, kAgentKey, KEY_QUERY_VALUE);
                if (agent && ReadRegDword(agent.Get(), L"dwMaxLogfileSize", agentLimit)) {
                    sizeLimit = agentLimit;
                    route.sizeFromAgentKey = true;
                }
            }
            route.sizeLimit = sizeLimit;
            wchar_t wideName[kLogPathChars + 1];
            if (MultiByteToWideChar(CP_THREAD_ACP, 0, fileName, -1, wideName, kLogPathChars + 1) <= 0)
                wideName[0] = L'\0';
            BuildLogPath(path, s.logFolder, wideName);
        } else if (route.kind == SinkKind::Syslog) {
            GetPrivateProfileStringA(section, "server", "", server, sizeof(server), ini);
        }
        visitor.Take(route);
    }
    return true;
}

} // namespace

bool VisitRoutes(LogSettings& settings, const LogEvent* event, RouteVisitor& visitor)
{
    if (!settings.iniExists) {
        VisitDefaultRoutes(settings, event, visitor);
        return true;
    }
    return VisitIniRoutes(settings, event, visitor);
}

} // namespace LogUtils
