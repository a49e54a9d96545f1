// Helpers of the logging tests: events with a fixed time, and the client's
// registry tree with a fresh install folder.
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

// The client's registry tree, removed at the end; "szInstallDir" names a fresh folder unless told otherwise.
struct ClientSetup {
    explicit ClientSetup(bool withInstallDir = true)
    {
        if (withInstallDir)
            root.SetString(L"szInstallDir", folder.Path());
    }
    void WriteIni(const std::string& text) { testsupport::WriteFileBytes(folder.Join(L"logCfg.Ini"), text); }
    std::vector<std::string> Lines(const std::wstring& file) const { return testsupport::ReadLines(folder.Join(file)); }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey root{HKEY_LOCAL_MACHINE, kRootKey};
    testsupport::ScopedRegistryKey log{HKEY_LOCAL_MACHINE, std::wstring(kRootKey) + L"\\Log"};
    testsupport::ScopedRegistryKey agent{HKEY_LOCAL_MACHINE, std::wstring(kRootKey) + L"\\Agent"};
};

} // namespace logtest
