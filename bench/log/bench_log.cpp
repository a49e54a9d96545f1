// Measures the logging system in one process:
//  (a) events with no ini file (built-in sinks): an Info event (one file)
//      and a Warning event (two files);
//  (b) a Debug event that every filter rejects, with the built-in sinks and
//      with the ini file of (c);
//  (c) an ini file with four sections: two files, syslog, debugger;
//  (d) the same events written by a client through TolvaneLogPrintfA,
//      against the library's own, in alternating rounds.
// Beside each, a "floor" makes exactly the platform calls that the event
// requires (registry opens and reads, ini reads, file opens, appends and
// closes under the mutex, the datagram, the debugger output) and nothing
// else. Then a child process writes 100000 events and reports its peak
// memory as it goes. Prints figures only; never fails.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "log/LogEvent.h"
#include "tolvane/Log.h"

namespace {

const wchar_t kRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
const wchar_t kMutexName[] = L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";

std::wstring g_folder;       // the install folder of the run, with no trailing backslash
std::string g_folderNarrow;

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Events per second of body, best of three rounds.
double Rate(int events, const std::function<void(int)>& body)
{
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        double start = Now();
        for (int i = 0; i < events; ++i)
            body(i);
        double rate = events / (Now() - start);
        if (rate > best)
            best = rate;
    }
    return best;
}

// The cost of an event through the client export relative to one of the
// library's own: the best rate of each over short batches that alternate
// (and swap their order), so that a change of the machine's load or a log
// archived on the way weighs on both alike.
void CompareExport(const char* name, int events, LogUtils::LogLevel level)
{
    const TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(static_cast<TolvaneLogLevel>(level), "Tolvane");
    auto ownEvents = [level](int i) {
        LogUtils::LogEvent(__FILE__, __LINE__, level, "Tolvane").Write("bench event number %d", i);
    };
    auto exportEvents = [&record](int i) { TolvaneLogPrintfA(&record, "bench event number %d", i); };
    double own = 0, exported = 0;
    for (int pair = 0; pair < 8; ++pair) {
        for (int side = 0; side < 2; ++side) {
            if ((pair + side) % 2 == 0)
                own = std::max(own, Rate(events / 8, ownEvents));
            else
                exported = std::max(exported, Rate(events / 8, exportEvents));
        }
    }
    printf("%-52s %9.0f ev/s   own   %9.0f ev/s   cost  %.2fx\n", name, exported, own, own / exported);
}

void Report(const char* name, double real, double floor)
{
    printf("%-52s %9.0f ev/s   floor %9.0f ev/s   ratio %.2fx\n", name, real, floor, floor / real);
}

// --- the floor's platform calls ---------------------------------------

HANDLE FloorMutex()
{
    static HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    return mutex;
}

struct FloorConfig {
    wchar_t installDir[261];
    wchar_t logFolder[MAX_PATH];
    char iniPath[MAX_PATH];
    bool iniExists;
};

// Registry and file-system look-ups that every event makes.
void FloorReadConfig(FloorConfig& c)
{
    HKEY key;
    c.installDir[0] = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRootKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        DWORD bytes = sizeof(c.installDir), type = 0;
        RegQueryValueExW(key, L"szInstallDir", nullptr, &type, reinterpret_cast<BYTE*>(c.installDir), &bytes);
        RegCloseKey(key);
    }
    PathIsDirectoryW(c.installDir);
    wcscpy(c.logFolder, c.installDir);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\Log", 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
    snprintf(c.iniPath, sizeof(c.iniPath), "%s\\logCfg.Ini", g_folderNarrow.c_str());
    c.iniExists = PathFileExistsA(c.iniPath);
}

void FloorAppend(const wchar_t* folder, const wchar_t* name, const char* line, DWORD length)
{
    wchar_t path[MAX_PATH];
    wcscpy(path, folder);
    PathAppendW(path, name);
    WaitForSingleObject(FloorMutex(), INFINITE);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFilePointer(file, 0, nullptr, FILE_END);
        DWORD written;
        WriteFile(file, line, length, &written, nullptr);
        CloseHandle(file);
    }
    ReleaseMutex(FloorMutex());
}

const char kFloorLine[] = "12-05 14:00:00 Info bench_log:1a2c floor event number 12345\r\n";

void FloorDefaultEvent(int files)
{
    SYSTEMTIME time;
    GetLocalTime(&time);
    FloorConfig c;
    FloorReadConfig(c);
    if (files > 0)
        FloorAppend(c.logFolder, L"zeAgent.log", kFloorLine, sizeof(kFloorLine) - 1);
    if (files > 1)
        FloorAppend(c.logFolder, L"zeNotices.log", kFloorLine, sizeof(kFloorLine) - 1);
}

SOCKET FloorSocket()
{
    static SOCKET s = [] {
        WSADATA data;
        WSAStartup(0x0202, &data);
        return socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    }();
    return s;
}

// The ini event: section names, the keys each section needs, and the sinks
// of the admitted sections.
void FloorIniEvent(bool admitted)
{
    SYSTEMTIME time;
    GetLocalTime(&time);
    FloorConfig c;
    FloorReadConfig(c);
    char sections[512], value[512];
    GetPrivateProfileSectionNamesA(sections, sizeof(sections), c.iniPath);
    for (const char* s = sections; *s; s += strlen(s) + 1) {
        GetPrivateProfileStringA(s, "filter", "", value, sizeof(value), c.iniPath);
        if (!admitted)
            continue;
        char type[64];
        GetPrivateProfileStringA(s, "format", "", value, sizeof(value), c.iniPath);
        GetPrivateProfileStringA(s, "type", "", type, sizeof(type), c.iniPath);
        if (_stricmp(type, "file") == 0) {
            char name[261];
            GetPrivateProfileStringA(s, "filename", "", name, sizeof(name), c.iniPath);
            GetPrivateProfileStringA(s, "maxsize", "", value, sizeof(value), c.iniPath);
            wchar_t wide[261];
            MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 261);
            FloorAppend(c.logFolder, wide, kFloorLine, sizeof(kFloorLine) - 1);
        } else if (_stricmp(type, "syslog") == 0) {
            GetPrivateProfileStringA(s, "server", "", value, sizeof(value), c.iniPath);
            char host[16] = {};
            DWORD size = sizeof(host);
            GetComputerNameA(host, &size);
            sockaddr_in to = {};
            to.sin_family = AF_INET;
            to.sin_port = htons(514);
            to.sin_addr.s_addr = inet_addr(value);
            sendto(FloorSocket(), kFloorLine, sizeof(kFloorLine) - 3, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
        } else {
            OutputDebugStringA("floor event number 12345\n");
        }
    }
}

// --- setup -----------------------------------------------------------

void SetInstallDir()
{
    HKEY key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRootKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, L"szInstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(g_folder.c_str()),
                   static_cast<DWORD>((g_folder.size() + 1) * 2));
    RegCloseKey(key);
}

void WriteIni(const char* text)
{
    std::wstring path = g_folder + L"\\logCfg.Ini";
    if (!text) {
        DeleteFileW(path.c_str());
        return;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
}

void RemoveFolder()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((g_folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileW((g_folder + L"\\" + found.cFileName).c_str());
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(g_folder.c_str());
}

const char kFourSections[] =
    "[main]\nfilter=~Brisko.Debug *.Info\nformat=%D %T %l %P:%+p %m\ntype=file\nfilename=bench-main.log\nmaxsize=50000000\n"
    "[notices]\nfilter=*.Notice\nformat=%D %T %l %P:%+p %m\ntype=file\nfilename=bench-notices.log\nmaxsize=50000000\n"
    "[syslog]\nfilter=*.Info\nformat=%P:%+p %m\ntype=syslog\nserver=127.0.0.1\n"
    "[debugger]\nfilter=*.Info\nformat=%l %m\ntype=outputdebugstring\n";

void PeakMemory(int at)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    printf("  after %6d events: PeakWorkingSetSize %6zu KiB, PeakPagefileUsage %6zu KiB\n", at,
           counters.PeakWorkingSetSize / 1024, counters.PeakPagefileUsage / 1024);
    fflush(stdout);
}

// The child: 100000 Info events through the built-in sinks (the main log is
// archived each time it reaches 2 MiB).
int MemoryRun()
{
    const int kEvents = 100000;
    for (int i = 1; i <= kEvents; ++i) {
        LOG_EVENT(Info, "Tolvane").Write("memory run event %d of %d", i, kEvents);
        if (i == 100 || i == 1000 || i % 25000 == 0)
            PeakMemory(i);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    if (argc > 1 && strcmp(argv[1], "memory") == 0) {
        g_folder = std::wstring(temp) + L"bench-log-memory";
        CreateDirectoryW(g_folder.c_str(), nullptr);
        SetInstallDir();
        int result = MemoryRun();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRootKey);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRootKey);
        RemoveFolder();
        return result;
    }

    // The build's own Wine prefix: the client's registry tree is set up here
    // from scratch and removed at the end, as the tests do.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRootKey);
    g_folder = std::wstring(temp) + L"bench-log-" + std::to_wstring(GetCurrentProcessId());
    char narrow[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, g_folder.c_str(), -1, narrow, sizeof(narrow), nullptr, nullptr);
    g_folderNarrow = narrow;
    CreateDirectoryW(g_folder.c_str(), nullptr);
    SetInstallDir();

    const int kFileEvents = 1500, kRejected = 5000;
    printf("events per second (best of 3 rounds), floor = platform calls only\n");

    WriteIni(nullptr);
    Report("(a) Info, no ini file (built-in sinks, 1 file)",
           Rate(kFileEvents, [](int i) { LOG_EVENT(Info, "Tolvane").Write("bench event number %d", i); }),
           Rate(kFileEvents, [](int) { FloorDefaultEvent(1); }));
    Report("(a) Warning, no ini file (built-in sinks, 2 files)",
           Rate(kFileEvents, [](int i) { LOG_EVENT(Warning, "Tolvane").Write("bench event number %d", i); }),
           Rate(kFileEvents, [](int) { FloorDefaultEvent(2); }));
    CompareExport("(d) Info, no ini file, through the client export", kFileEvents, LogUtils::Info);
    Report("(b) Debug rejected by every filter, no ini file",
           Rate(kRejected, [](int i) { LOG_EVENT(Debug, "Tolvane").Write("bench event number %d", i); }),
           Rate(kRejected, [](int) { FloorDefaultEvent(0); }));

    WriteIni(kFourSections);
    Report("(b) Debug rejected by every filter, 4-section ini",
           Rate(kRejected, [](int i) { LOG_EVENT(Debug, "Tolvane").Write("bench event number %d", i); }),
           Rate(kRejected, [](int) { FloorIniEvent(false); }));
    Report("(c) Warning, 4-section ini (2 files, syslog, debugger)",
           Rate(kFileEvents, [](int i) { LOG_EVENT(Warning, "Tolvane").Write("bench event number %d", i); }),
           Rate(kFileEvents, [](int) { FloorIniEvent(true); }));
    CompareExport("(d) Warning, 4-section ini, through the client export", kFileEvents, LogUtils::Warning);

    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRootKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRootKey);
    RemoveFolder();

    // Peak memory of a separate process writing 100000 events.
    printf("peak memory of a process writing 100000 Info events (built-in sinks):\n");
    fflush(stdout);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" memory";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    return 0;
}
