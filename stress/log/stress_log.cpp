// stress_log: 4 processes of 4 threads each, released together, write events
// into one log whose small size limit makes it rotate into cabinet archives
// again and again. Afterwards every line is looked for across the log and
// every archive (extracted with the cabinet library). The log lives in a
// private install folder named in the registry for the run; the registry is
// put back as it was at the end. Prints events written / found / lost /
// duplicated; exits 1 when a line is lost, duplicated or garbled.
//   stress_log                          the run
//   stress_log writer P EVENTS THREADS  one writing process (started by the run)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CabinetExtract.h"
#include "log/LogArchive.h"
#include "log/LogEvent.h"

namespace {

const int kProcesses = 4;
const int kThreads = 4;
const int kEventsPerThread = 2000;
const char kLimitBytes[] = "20000";
const wchar_t kRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";

std::wstring StartEventName(DWORD runner)
{
    return L"TolvaneStressLogStart-" + std::to_wstring(runner);
}

std::string LineOf(int process, int thread, int event)
{
    char text[32];
    snprintf(text, sizeof text, "P%d-T%d-%06d", process, thread, event);
    return text;
}

int Writer(int process, int events, int threads)
{
    const char* runner = std::getenv("TOLVANE_STRESS_RUNNER");
    HANDLE start = runner ? OpenEventW(SYNCHRONIZE, FALSE, StartEventName(std::strtoul(runner, nullptr, 10)).c_str())
                          : nullptr;
    if (!start)
        return 2;
    WaitForSingleObject(start, INFINITE);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([=] {
            for (int i = 0; i < events; ++i)
                LOG_EVENT(Info, "Tolvane").Write("%s", LineOf(process, t, i).c_str());
        });
    for (std::thread& worker : workers)
        worker.join();
    CloseHandle(start);
    return 0;
}

// The install folder value as it was before the run, put back by the destructor.
class InstallFolderForTheRun {
public:
    explicit InstallFolderForTheRun(const std::wstring& folder)
    {
        HKEY key = nullptr;
        m_keyExisted = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRootKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_keyExisted) {
            wchar_t value[1024] = {};
            DWORD bytes = sizeof(value) - sizeof(wchar_t), type = 0;
            m_valueExisted = RegQueryValueExW(key, L"szInstallDir", nullptr, &type, reinterpret_cast<BYTE*>(value),
                                              &bytes) == ERROR_SUCCESS && type == REG_SZ;
            m_previous = value;
            RegCloseKey(key);
        }
        Set(folder);
    }
    ~InstallFolderForTheRun()
    {
        if (!m_keyExisted) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRootKey);
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRootKey);
        } else if (m_valueExisted) {
            Set(m_previous);
        } else {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRootKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueW(key, L"szInstallDir");
                RegCloseKey(key);
            }
        }
    }
    InstallFolderForTheRun(const InstallFolderForTheRun&) = delete;
    InstallFolderForTheRun& operator=(const InstallFolderForTheRun&) = delete;

private:
    static void Set(const std::wstring& folder)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRootKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExW(key, L"szInstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    bool m_keyExisted = false;
    bool m_valueExisted = false;
    std::wstring m_previous;
};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());   // the run's paths are plain ASCII
}

std::vector<std::string> FilesIn(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void CountLines(const std::string& path, std::map<std::string, int>& seen)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string line;
    while (std::getline(bytes, line))
        if (!line.empty())
            ++seen[line.back() == '\r' ? line.substr(0, line.size() - 1) : line];
}

void RemoveFolder(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder + "\\*"))
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

int Run(const char* self)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tolvane-stress-log-" + std::to_wstring(GetCurrentProcessId());
    const std::string narrowFolder = Narrow(folder), extracted = narrowFolder + "\\extracted";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryA(extracted.c_str(), nullptr);
    {
        std::ofstream ini(narrowFolder + "\\logCfg.Ini", std::ios::binary);
        ini << "[log]\r\nfilter=*.Debug\r\ntype=file\r\nformat=%m\r\nfilename=stress.log\r\nmaxsize=" << kLimitBytes
            << "\r\n";
    }
    InstallFolderForTheRun install(folder);

    const std::wstring startName = StartEventName(GetCurrentProcessId());
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, startName.c_str());
    SetEnvironmentVariableA("TOLVANE_STRESS_RUNNER", std::to_string(GetCurrentProcessId()).c_str());
    std::vector<PROCESS_INFORMATION> writers;
    for (int p = 0; p < kProcesses; ++p) {
        std::string command = "\"" + std::string(self) + "\" writer " + std::to_string(p) + " " +
                              std::to_string(kEventsPerThread) + " " + std::to_string(kThreads);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            writers.push_back(process);
    }
    Sleep(500);   // every writer waits at the start line
    const DWORD begin = GetTickCount();
    SetEvent(start);
    int failedWriters = kProcesses - static_cast<int>(writers.size());
    for (PROCESS_INFORMATION& process : writers) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        failedWriters += code != 0;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    const DWORD elapsed = GetTickCount() - begin;
    CloseHandle(start);

    // Every archive: each set is extracted from its first cabinet.
    std::map<std::string, int> seen;
    int archives = 0, unreadable = 0;
    for (const std::string& name : FilesIn(narrowFolder + "\\stress.log*.cab")) {
        if (Narrow(LogUtils::ArchiveSetName(std::wstring(name.begin(), name.end()))) + ".cab" != name)
            continue;
        ++archives;
        if (!ExtractCabinet(narrowFolder + "\\" + name, extracted))
            ++unreadable;
    }
    for (const std::string& name : FilesIn(extracted + "\\*"))
        CountLines(extracted + "\\" + name, seen);
    CountLines(narrowFolder + "\\stress.log", seen);

    const int written = kProcesses * kThreads * kEventsPerThread;
    int found = 0, lost = 0, duplicated = 0;
    for (int p = 0; p < kProcesses; ++p)
        for (int t = 0; t < kThreads; ++t)
            for (int i = 0; i < kEventsPerThread; ++i) {
                auto line = seen.find(LineOf(p, t, i));
                if (line == seen.end()) {
                    ++lost;
                    continue;
                }
                ++found;
                duplicated += line->second - 1;
                seen.erase(line);
            }
    const int garbled = static_cast<int>(seen.size());
    printf("log: %d processes x %d threads, %d events in %lu ms through %d archives (size limit %s bytes)\n",
           kProcesses, kThreads, written, static_cast<unsigned long>(elapsed), archives, kLimitBytes);
    printf("events written %d / found %d / lost %d / duplicated %d\n", written, found, lost, duplicated);
    if (garbled || unreadable || failedWriters)
        printf("garbled lines %d, unreadable archives %d, failed writers %d\n", garbled, unreadable, failedWriters);

    RemoveFolder(extracted);
    RemoveFolder(narrowFolder);
    return (lost || duplicated || garbled || unreadable || failedWriters) ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::string(argv[1]) == "writer")
        return Writer(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    return Run(argv[0]);
}
