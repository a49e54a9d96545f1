#include "log/LogRoutes.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "log/Filter.h"
#include "log/SinkKinds.h"

namespace LogUtils {
namespace {

bool Admits(const LogEvent* event, const char* filter)
{
    return !event || MatchesFilter(*event, filter);
}

void VisitDefaultRoutes(const LogSettings& s, const LogEvent* event, RouteVisitor& visitor)
{
    wchar_t path[kLogPathChars];
    SinkRoute route;
    route.type = "file";
    route.kind = &FileSinkKind();
    route.filePath = path;
    route.filter = s.debugEnable ? "*.Debug" : kDefaultMainFilter;
    route.format = kDefaultMainFormat;
    if (Admits(event, route.filter)) {
        wchar_t mainLogName[kLogPathChars + 1];
        wcscpy(mainLogName, s.mainLogName);
        ReplaceDateTag(mainLogName, kLogPathChars + 1, s.lastVersion);
        BuildLogPath(path, s.logFolder, mainLogName);
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

bool VisitIniRoutes(const LogSettings& s, const LogEvent* event, RouteVisitor& visitor)
{
    char sections[kIniSectionListBytes];
    DWORD listed = GetPrivateProfileSectionNamesA(sections, sizeof(sections), s.iniPath);
    if (listed == 0)
        return false;

    unsigned int sizeLimit = kDefaultSizeLimit;
    for (const char* name = sections; name < sections + listed && *name; name += strlen(name) + 1) {
        SectionTexts texts;
        const IniSection section{s, name, sizeLimit, texts};
        section.Read("filter", texts.filter, sizeof(texts.filter));
        if (!Admits(event, texts.filter))
            continue;
        section.Read("format", texts.format, sizeof(texts.format));
        section.Read("type", texts.type, sizeof(texts.type));

        SinkRoute route;
        route.section = name;
        route.filter = texts.filter;
        route.format = texts.format;
        route.type = texts.type;
        route.kind = SinkKindOf(texts.type);
        route.sizeLimit = sizeLimit;
        if (route.kind)
            route.kind->readKeys(section, route);
        visitor.Take(route);
    }
    return true;
}

} // namespace

void IniSection::Read(const char* key, char* buffer, unsigned int bytes) const
{
    GetPrivateProfileStringA(name, key, "", buffer, bytes, settings.iniPath);
}

void BuildLogPath(wchar_t (&path)[kLogPathChars], const wchar_t* folder, const wchar_t* name)
{
    path[0] = L'\0';
    if (wcslen(folder) >= kLogPathChars)
        return;
    wcscpy(path, folder);
    if (!PathAppendW(path, name))
        path[0] = L'\0';
}

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

bool VisitRoutes(const LogSettings& settings, const LogEvent* event, RouteVisitor& visitor)
{
    if (!settings.iniExists) {
        VisitDefaultRoutes(settings, event, visitor);
        return true;
    }
    return VisitIniRoutes(settings, event, visitor);
}

} // namespace LogUtils
