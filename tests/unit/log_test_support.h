// Helpers of the logging tests: events with a fixed time, the client's
// registry tree with a fresh install folder, and helper processes.
#pragma once

#include <windows.h>

#include "TestSupport.h"
#include "log/LogEvent.h"

namespace logtest {

constexpr wchar_t kRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";

// 4 December 2026, 22:58:01.250, process 6700, thread 0x1F.
inline LogUtils::LogEvent FixedEvent(LogUtils::LogLevel level, const char* category, const char* message)
{
    LogUtils::LogEvent event(".\\Src\\ReportBase.cpp", 321, level, category);
    event.time = SYSTEMTIME{2026, 12, 5, 4, 22, 58, 1, 250};
    event.processId = 6700;
    event.threadId = 0x1F;
    event.narrowMessage = message;
    return event;
}

// The client's registry tree with its Log and Agent keys, removed at the end,
// and "szInstallDir" naming a fresh folder unless told otherwise.
struct ClientSetup {
    explicit ClientSetup(bool withInstallDir = true)
    {
        if (withInstallDir)
            root.SetString(L"szInstallDir", folder.Path());
    }
    void WriteIni(const std::string& text, const std::wstring& name = L"logCfg.Ini")
    {
        testsupport::WriteFileBytes(folder.Join(name), text);
    }
    std::vector<std::string> Lines(const std::wstring& file) const { return testsupport::ReadLines(folder.Join(file)); }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey root{HKEY_LOCAL_MACHINE, kRootKey};
    testsupport::ScopedRegistryKey log{HKEY_LOCAL_MACHINE, std::wstring(kRootKey) + L"\\Log"};
    testsupport::ScopedRegistryKey agent{HKEY_LOCAL_MACHINE, std::wstring(kRootKey) + L"\\Agent"};
};

// log_writer.exe of the build's bin folder, started with the arguments.
struct Writer {
    explicit Writer(const std::wstring& arguments, DWORD creationFlags = 0)
    {
        std::wstring command = L"\"" + testsupport::ModuleFolder() + L"\\log_writer.exe\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr, &startup, &info);
    }
    ~Writer() { CloseHandle(info.hThread), CloseHandle(info.hProcess); }
    Writer(const Writer&) = delete;
    DWORD Wait()   // the exit code, or 0xFFFFFFFF when not ended within two minutes
    {
        DWORD code = 0xFFFFFFFF;
        if (WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    PROCESS_INFORMATION info = {};
};

} // namespace logtest
