// What GetVersionExW reports about the running platform: whether it is
// Windows NT (platform id 2) and whether terminal services are present. The
// one place that asks; each caller decides how often it asks (the logging
// library and CreateFileSpecialAccess remember the answer for the process,
// SpecialAccess asks on every call).
#pragma once

enum class VersionQuery {
    Basic,              // OSVERSIONINFOW only
    Extended,           // OSVERSIONINFOEXW only
    ExtendedThenBasic,  // OSVERSIONINFOEXW, and OSVERSIONINFOW when that is refused
};

struct WindowsVersion {
    bool nt = false;                // a failing GetVersionExW counts as not NT
    bool terminalServices = false;  // VER_SUITE_TERMINAL or VER_SUITE_SINGLEUSERTS; extended only
};

WindowsVersion AskWindowsVersion(VersionQuery query);
