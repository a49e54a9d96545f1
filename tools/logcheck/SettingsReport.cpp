// The registry side of the report: installation folder, log folder, Log
// key and the ini file, each with where it came from.
#include "LogCheck.h"

#include <windows.h>

#include "common/ScopedHandle.h"

namespace LogCheck {

using LogUtils::ToAnsi;

namespace {

// The installation folder is used as ANSI text for the ini path and by the
// log archive; a folder that does not survive the conversion is never found.
bool FitsAnsi(const wchar_t* text)
{
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0,
                                    nullptr, &lossy);
    return bytes > 0 && !lossy;
}

// The encoding of the ini file from its first bytes; empty when it cannot be read.
std::string IniEncoding(const char* path, DWORD& error)
{
    CScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char head[3] = {};
    DWORD read = 0;
    if (file.Get() == INVALID_HANDLE_VALUE || !ReadFile(file.Get(), head, sizeof(head), &read, nullptr)) {
        error = GetLastError();
        return std::string();
    }
    if (read >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        return "UTF-8 with byte-order mark";
    if (read >= 2 && head[0] == 0xFF && head[1] == 0xFE)
        return "UTF-16 little-endian with byte-order mark";
    if (read >= 2 && head[0] == 0xFE && head[1] == 0xFF)
        return "UTF-16 big-endian with byte-order mark";
    return read == 0 ? "ANSI (empty file)" : "ANSI";
}

} // namespace

void ReportSettings(const LogUtils::LogSettings& s, Findings& findings)
{
    std::string& out = findings.report;
    Warnings& warnings = findings.warnings;
    if (s.installDirRead) {
        Say(out, "Installation folder: %s (registry HKLM\\SOFTWARE\\Tavrel\\Orbisk \"szInstallDir\")\n",
                 ToAnsi(s.installDir).c_str());
        if (!FitsAnsi(s.installDir))
            warnings.Add("", "the installation folder cannot be written as ANSI text: the ini file is "
                             "not found there and log archives fail");
    } else {
        Say(out, "Installation folder: none (HKLM\\SOFTWARE\\Tavrel\\Orbisk \"szInstallDir\" cannot be read)\n");
        warnings.Add("", "no installation folder in the registry: the logs go to the temporary folder");
    }

    if (!s.logFolderIsTemp) {
        Say(out, "Log folder: %s (the installation folder)\n", ToAnsi(s.logFolder).c_str());
    } else {
        Say(out, "Log folder: %s (the temporary folder: %s)\n", ToAnsi(s.logFolder).c_str(),
                 s.installDir[0] ? "the installation folder is no folder"
                                 : "no installation folder");
        if (s.installDir[0])
            warnings.Add("", "the installation folder " + ToAnsi(s.installDir) +
                             " does not exist: the logs go to the temporary folder");
    }

    std::string activity = ToAnsi(s.activityType);
    if (s.logKeyOpened)
        Say(out, "Log key: HKLM\\SOFTWARE\\Tavrel\\Orbisk\\Log, activity type \"%s\", main log \"%s\"\n",
                 activity.c_str(), ToAnsi(s.mainLogName).c_str());
    else
        Say(out, "Log key: missing, activity type \"%s\", main log \"%s\"\n", activity.c_str(),
                 ToAnsi(s.mainLogName).c_str());

    if (!s.iniPath[0]) {
        Say(out, "Ini file: none (no installation folder and no Log key): the built-in sinks are used\n");
        return;
    }
    const char* why = s.iniNamedByActivity ? "named by the Log key's value of the activity type"
                      : s.installDirRead   ? "logCfg.Ini in the installation folder"
                                           : "the root of the current drive: the Log key exists "
                                             "without an installation folder";
    Say(out, "Ini file: %s (%s)\n", s.iniPath, why);
    if (!s.installDirRead)
        warnings.Add("", std::string("the ini file is looked for at the root of the current drive: ") +
                             s.iniPath);
    if (!s.iniExists) {
        Say(out, "  missing: the built-in sinks are used\n");
        return;
    }
    DWORD error = 0;
    std::string encoding = IniEncoding(s.iniPath, error);
    if (encoding.empty())
        Say(out, "  exists, cannot be read (error %lu)\n", error);
    else
        Say(out, "  exists, encoding %s\n", encoding.c_str());
}

} // namespace LogCheck
