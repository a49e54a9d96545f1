// Helpers of the logging tests: events with a fixed time, a client registry
// tree whose install folder is a fresh temporary folder, and ini files.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "log/LogEvent.h"

namespace logtest {

constexpr wchar_t kRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
constexpr wchar_t kLogKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Log";
constexpr wchar_t kAgentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent";

// 4 December 2026, 22:58:01.250.
inline LogUtils::LogEvent FixedEvent(LogUtils::LogLevel level, const char* category,
                                     const char* message)
{
    LogUtils::LogEvent event(".\\Src\\ReportBase.cpp", 321, level, category);
    event.time = SYSTEMTIME{2026, 12, 5, 4, 22, 58, 1, 250};
    event.processId = 6700;
    event.threadId = 0x1F;
    event.narrowMessage = message;
    return event;
}

// The client's registry tree with "szInstallDir" naming a fresh folder, and
// optionally the Log and Agent keys. Everything is removed at the end.
class ClientSetup {
public:
    explicit ClientSetup(bool withInstallDir = true)
        : root(HKEY_LOCAL_MACHINE, kRootKey)
    {
        if (withInstallDir)
            root.SetString(L"szInstallDir", folder.Path());
    }

    testsupport::ScopedRegistryKey& Log()
    {
        if (!log)
            log.reset(new testsupport::ScopedRegistryKey(HKEY_LOCAL_MACHINE, kLogKey));
        return *log;
    }
    testsupport::ScopedRegistryKey& Agent()
    {
        if (!agent)
            agent.reset(new testsupport::ScopedRegistryKey(HKEY_LOCAL_MACHINE, kAgentKey));
        return *agent;
    }

    // Writes the logging ini file (logCfg.Ini unless named otherwise).
    void WriteIni(const std::string& text, const std::wstring& name = L"logCfg.Ini")
    {
        testsupport::WriteFileBytes(folder.Join(name), text);
    }

    std::vector<std::string> Lines(const std::wstring& file) const
    {
        return testsupport::ReadLines(folder.Join(file));
    }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey root;

private:
    std::unique_ptr<testsupport::ScopedRegistryKey> log;
    std::unique_ptr<testsupport::ScopedRegistryKey> agent;
};

// A message that no other test writes, for finding lines in shared files.
inline std::string UniqueText(const char* what)
{
    static int counter = 0;
    char buffer[128];
    snprintf(buffer, sizeof(buffer), "%s-%lu-%lu-%d", what, GetCurrentProcessId(), GetTickCount(), ++counter);
    return buffer;
}

// The lines of a file that contain the text.
inline std::vector<std::string> LinesWith(const std::wstring& path, const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& line : testsupport::ReadLines(path))
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    return found;
}

// Starts a helper program of the build's bin folder; the handles are closed
// by the owner. creationFlags as for CreateProcessW.
class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& arguments, DWORD creationFlags = 0)
    {
        std::wstring command = L"\"" + testsupport::ModuleFolder() + L"\\" + program + L".exe\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, creationFlags, nullptr,
                                 nullptr, &startup, &info) != FALSE;
    }
    ~ChildProcess()
    {
        if (started) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits for the end (at most two minutes) and returns the exit code.
    DWORD Wait()
    {
        DWORD code = 0xFFFFFFFF;
        if (started && WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    bool started = false;
    PROCESS_INFORMATION info = {};
};

} // namespace logtest
