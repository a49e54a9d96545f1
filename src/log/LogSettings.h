// The registry side of the logging configuration, read afresh for every
// event: the install folder, the log folder, the ini file's path, the
// activity type with its main log name, and the last version text.
#pragma once

#include <windows.h>

namespace LogUtils {

constexpr int kLogPathChars = MAX_PATH;   // 260

struct LogSettings {
    wchar_t installDir[kLogPathChars + 1] = L"";
    bool installDirRead = false;        // "szInstallDir" could be read
    char iniPath[kLogPathChars] = "";
    wchar_t logFolder[kLogPathChars + 1] = L"";
    bool logFolderIsTemp = false;       // the install folder is no folder
    bool logKeyOpened = false;          // the Log key exists
    wchar_t activityType[kLogPathChars + 1] = L"zeAgent";
    bool iniNamedByActivity = false;    // the activity type's value names the ini
    wchar_t mainLogName[kLogPathChars + 1] = L"";
    wchar_t lastVersion[64] = L"";      // "szLastVersion", else today's date as "%Y%m%d000000"
    bool iniExists = false;
    DWORD debugEnable = 0;
};

void ReadLogSettings(LogSettings& settings);

} // namespace LogUtils
