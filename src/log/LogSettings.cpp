#include "log/LogSettings.h"

#include <shlwapi.h>

#include <cstdio>
#include <ctime>
#include <cwchar>

#include "common/ClientKeys.h"
#include "common/InstallDir.h"
#include "common/RegKey.h"
#include "log/LogConfig.h"

namespace LogUtils {
namespace {

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

void ToNarrow(const wchar_t* text, char* buffer, int bytes)
{
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, buffer, bytes, nullptr, nullptr) <= 0)
        buffer[0] = '\0';
}

// The ini file's path from the install folder and a name; the empty text
// (no ini file) when the path does not fit its 260 characters.
void FormatIniPath(char (&path)[kLogPathChars], const char* installDir, const char* name)
{
    if (_snprintf_s(path, kLogPathChars, _TRUNCATE, "%s\\%s", installDir, name) < 0)
        path[0] = '\0';
}

} // namespace

void ReadLogSettings(LogSettings& s)
{
    char installNarrow[2 * (kLogPathChars + 1)] = "";
    if (ReadInstallDir(s.installDir, kLogPathChars + 1, KEY_QUERY_VALUE)) {
        s.installDirRead = true;
        ToNarrow(s.installDir, installNarrow, sizeof(installNarrow));
        FormatIniPath(s.iniPath, installNarrow, "logCfg.Ini");
    }

    if (s.installDir[0] && PathIsDirectoryW(s.installDir) && wcslen(s.installDir) < kLogPathChars) {
        wcscpy(s.logFolder, s.installDir);
    } else {
        s.logFolderIsTemp = true;
        if (!GetTempPathW(kLogPathChars, s.logFolder))
            s.logFolder[0] = L'\0';
    }

    RegKey log;
    if (log.Open(HKEY_LOCAL_MACHINE, kLogKey, KEY_QUERY_VALUE)) {
        s.logKeyOpened = true;
        if (!ReadString(log, L"szCurrentActivityType", s.activityType, kLogPathChars + 1) ||
            !s.activityType[0])
            wcscpy(s.activityType, L"zeAgent");

        wchar_t iniName[kLogPathChars + 1];
        if (ReadString(log, s.activityType, iniName, kLogPathChars + 1) && iniName[0]) {
            char iniNarrow[2 * (kLogPathChars + 1)];
            ToNarrow(iniName, iniNarrow, sizeof(iniNarrow));
            FormatIniPath(s.iniPath, installNarrow, iniNarrow);
            s.iniNamedByActivity = true;
        } else {
            FormatIniPath(s.iniPath, installNarrow, "logCfg.Ini");
        }

        wchar_t mainLogValue[kLogPathChars + 4];
        _snwprintf_s(mainLogValue, kLogPathChars + 4, _TRUNCATE, L"%sLog", s.activityType);
        ReadString(log, mainLogValue, s.mainLogName, kLogPathChars + 1);
        ReadString(log, L"szLastVersion", s.lastVersion, 64);
    }

    if (!s.mainLogName[0]) {
        bool installer = _wcsicmp(s.activityType, L"zeInstall") == 0 ||
                         _wcsicmp(s.activityType, L"zeUnInstall") == 0;
        _snwprintf_s(s.mainLogName, kLogPathChars + 1, _TRUNCATE,
                     installer ? L"%s<dt>.log" : L"%s.log", s.activityType);
    }

    if (!s.lastVersion[0]) {
        time_t now = time(nullptr);
        struct tm local = {};
        if (localtime_s(&local, &now) == 0)
            wcsftime(s.lastVersion, 64, L"%Y%m%d000000", &local);
    }

    s.iniExists = s.iniPath[0] && PathFileExistsA(s.iniPath);
    // Only the built-in configuration asks whether debugging is switched on.
    if (!s.iniExists && !(log && ReadRegDword(log.Get(), L"bDebugEnable", s.debugEnable)))
        s.debugEnable = 0;
}

} // namespace LogUtils
