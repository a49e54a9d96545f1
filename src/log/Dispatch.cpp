// LogManager::Dispatch: reads the logging configuration afresh for every
// event (registry and, when present, the logging ini file) and offers the
// event to every configured sink whose filter admits it.
#include <winsock2.h>

#include "log/LogManager.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>

#include "common/RegHelp.h"
#include "common/RegKey.h"
#include "log/DebugStringSink.h"
#include "log/Filter.h"
#include "log/LogConfig.h"
#include "log/LogFileSink.h"
#include "log/SyslogSink.h"

namespace LogUtils {
namespace {

constexpr int kPathChars = MAX_PATH;   // 260

// A string value into a buffer of count characters; false (and the empty
// text) when the value cannot be read.
bool ReadString(const RegKey& key, const wchar_t* name, wchar_t* buffer, DWORD count)
{
    DWORD returned = count;
    bool read = key && ReadRegString(key.Get(), name, buffer, &returned) == ERROR_SUCCESS;
    if (!read || returned == 0)
        buffer[0] = L'\0';
    return read;
}

bool ReadDword(const RegKey& key, const wchar_t* name, DWORD& value)
{
    return key && ReadRegDword(key.Get(), name, value);
}

void ToNarrow(const wchar_t* text, char* buffer, int bytes)
{
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, buffer, bytes, nullptr, nullptr) <= 0)
        buffer[0] = '\0';
}

void ToWide(const char* text, wchar_t* buffer, int chars)
{
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, buffer, chars) <= 0)
        buffer[0] = L'\0';
}

// folder with name appended, in a 260-character buffer; false when the
// result does not fit (the sink is then skipped).
bool BuildLogPath(wchar_t (&path)[kPathChars], const wchar_t* folder, const wchar_t* name)
{
    if (wcslen(folder) >= kPathChars)
        return false;
    wcscpy(path, folder);
    return PathAppendW(path, name) != FALSE;
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

// The ini file's path from the install folder and a name; the empty text
// (no ini file) when the path does not fit its 260 characters.
void FormatIniPath(char (&path)[kPathChars], const char* installDir, const char* name)
{
    if (_snprintf_s(path, kPathChars, _TRUNCATE, "%s\\%s", installDir, name) < 0)
        path[0] = '\0';
}

// The configuration of one event as read from the registry.
struct EventSettings {
    wchar_t installDir[kPathChars + 1] = L"";
    char iniPath[kPathChars] = "";
    wchar_t logFolder[kPathChars + 1] = L"";
    wchar_t activityType[kPathChars + 1] = L"zeAgent";
    wchar_t mainLogName[kPathChars + 1] = L"";
    wchar_t lastVersion[64] = L"";
    bool iniExists = false;
    DWORD debugEnable = 0;

    // The last version: "szLastVersion", else today's date as "%Y%m%d000000".
    const wchar_t* LastVersion()
    {
        if (!lastVersion[0]) {
            time_t now = time(nullptr);
            struct tm local = {};
            if (localtime_s(&local, &now) == 0)
                wcsftime(lastVersion, 64, L"%Y%m%d000000", &local);
        }
        return lastVersion;
    }
};

void ReadSettings(EventSettings& s)
{
    char installNarrow[2 * (kPathChars + 1)] = "";
    {
        RegKey root;
        root.Open(HKEY_LOCAL_MACHINE, kClientRootKey, KEY_QUERY_VALUE);
        if (ReadString(root, L"szInstallDir", s.installDir, kPathChars + 1)) {
            ToNarrow(s.installDir, installNarrow, sizeof(installNarrow));
            FormatIniPath(s.iniPath, installNarrow, "logCfg.Ini");
        }
    }

    if (s.installDir[0] && PathIsDirectoryW(s.installDir) && wcslen(s.installDir) < kPathChars)
        wcscpy(s.logFolder, s.installDir);
    else if (!GetTempPathW(kPathChars, s.logFolder))
        s.logFolder[0] = L'\0';

    RegKey log;
    if (log.Open(HKEY_LOCAL_MACHINE, kLogKey, KEY_QUERY_VALUE)) {
        if (!ReadString(log, L"szCurrentActivityType", s.activityType, kPathChars + 1) ||
            !s.activityType[0])
            wcscpy(s.activityType, L"zeAgent");

        wchar_t iniName[kPathChars + 1];
        if (ReadString(log, s.activityType, iniName, kPathChars + 1) && iniName[0]) {
            char iniNarrow[2 * (kPathChars + 1)];
            ToNarrow(iniName, iniNarrow, sizeof(iniNarrow));
            FormatIniPath(s.iniPath, installNarrow, iniNarrow);
        } else {
            FormatIniPath(s.iniPath, installNarrow, "logCfg.Ini");
        }

        wchar_t mainLogValue[kPathChars + 4];
        _snwprintf_s(mainLogValue, kPathChars + 4, _TRUNCATE, L"%sLog", s.activityType);
        ReadString(log, mainLogValue, s.mainLogName, kPathChars + 1);
        ReadString(log, L"szLastVersion", s.lastVersion, 64);
    }

    if (!s.mainLogName[0]) {
        bool installer = _wcsicmp(s.activityType, L"zeInstall") == 0 ||
                         _wcsicmp(s.activityType, L"zeUnInstall") == 0;
        _snwprintf_s(s.mainLogName, kPathChars + 1, _TRUNCATE,
                     installer ? L"%s<dt>.log" : L"%s.log", s.activityType);
    }

    s.iniExists = s.iniPath[0] && PathFileExistsA(s.iniPath);
    // Only the built-in configuration asks whether debugging is switched on.
    if (!s.iniExists && !ReadDword(log, L"bDebugEnable", s.debugEnable))
        s.debugEnable = 0;
}

void WriteToFile(const wchar_t* folder, const wchar_t* name, unsigned int sizeLimit,
                 const char* format, const LogEvent& event)
{
    wchar_t path[kPathChars];
    if (BuildLogPath(path, folder, name))
        LogFileSink(path, sizeLimit, 1).Write(format, event);
}

bool DispatchToDefaultSinks(EventSettings& s, const LogEvent& event)
{
    const char* mainFilter = s.debugEnable ? "*.Debug" : kDefaultMainFilter;
    if (MatchesFilter(event, mainFilter)) {
        if (wcsstr(s.mainLogName, L"<dt>"))
            ReplaceDateTag(s.mainLogName, kPathChars + 1, s.LastVersion());
        WriteToFile(s.logFolder, s.mainLogName, kDefaultSizeLimit, kDefaultMainFormat, event);
    }
    for (const DefaultSink& sink : kDefaultSinks) {
        if (MatchesFilter(event, sink.filter))
            WriteToFile(s.logFolder, sink.fileName, kDefaultSizeLimit, sink.format, event);
    }
    return true;
}

bool DispatchToIniSinks(EventSettings& s, const LogEvent& event)
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
        if (!MatchesFilter(event, filter))
            continue;
        char format[256];
        char type[64];
        GetPrivateProfileStringA(section, "format", "", format, sizeof(format), ini);
        GetPrivateProfileStringA(section, "type", "", type, sizeof(type), ini);

        if (_stricmp(type, "file") == 0) {
            char fileName[kPathChars + 1];
            GetPrivateProfileStringA(section, "filename", "", fileName, sizeof(fileName), ini);
            if (strstr(fileName, "<dt>")) {
                char lastVersion[128];
                ToNarrow(s.LastVersion(), lastVersion, sizeof(lastVersion));
                ReplaceDateTag(fileName, sizeof(fileName), lastVersion);
            }
            char maxSize[64];
            GetPrivateProfileStringA(section, "maxsize", "", maxSize, sizeof(maxSize), ini);
            if (maxSize[0]) {
                sizeLimit = static_cast<unsigned int>(atoi(maxSize));
            } else {
                DWORD agentLimit = 0;
                RegKey agent;
                agent.Open(HKEY_LOCAL_MACHINE, kAgentKey, KEY_QUERY_VALUE);
                if (ReadDword(agent, L"dwMaxLogfileSize", agentLimit))
                    sizeLimit = agentLimit;
            }
            wchar_t wideName[kPathChars + 1];
            ToWide(fileName, wideName, kPathChars + 1);
            WriteToFile(s.logFolder, wideName, sizeLimit, format, event);
        } else if (_stricmp(type, "outputdebugstring") == 0) {
            DebugStringSink::Instance().Write(format, event);
        } else if (_stricmp(type, "syslog") == 0) {
            char server[kPathChars + 1];
            GetPrivateProfileStringA(section, "server", "", server, sizeof(server), ini);
            SyslogSink(SyslogReceiver(server)).Write(format, event);
        }
    }
    return true;
}

} // namespace

bool LogManager::Dispatch(const LogEvent& event)
{
    EventSettings settings;
    ReadSettings(settings);
    if (!settings.iniExists)
        return DispatchToDefaultSinks(settings, event);
    return DispatchToIniSinks(settings, event);
}

} // namespace LogUtils
