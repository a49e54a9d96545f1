// DisplayKelmoHelp: the configured address opened through the shell (a URL
// scheme of the test's own whose handler is the recorder), else the installed
// help file (the recorder again) started, with the records of each road in order.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "help_recorder.h"
#include "host/HelpDisplay.h"
#include "tolvane/Functions.h"

using testsupport::LogCapture;
using testsupport::Narrow;
using testsupport::ScopedRegistryKey;

TEST(HostHelp, DisplayKelmoHelpOpensTheAddressElseTheHelpFile)
{
    const std::wstring scheme = L"tolvanehelptest";
    const std::string address = "tolvanehelptest:topics/scan?page=7", unknown = "tolvanenohandler:topics";
    const std::string tooLong(600, 'u');
    const std::string noAgentKey = "Debug Tolvane Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...";
    const std::string noHelpUrl = "Debug Tolvane Tolvane::Unable to get szHelpURL value from registry...";
    struct Case {
        const char* name;
        bool installed, agentKey;
        const char* url;           // null: no value
        std::vector<std::string> log;  // "level category message", before the launcher's
        bool helpFileRuns;
    };
    const Case cases[] = {
        {"address", true, true, address.c_str(),
         {"Debug Tolvane Tolvane::HelpUrl " + address + " launched successfully..."}, false},
        {"no agent key", true, false, nullptr, {noAgentKey}, true},
        {"no address", true, true, nullptr, {noHelpUrl}, true},
        {"empty address", true, true, "", {}, true},
        {"address longer than its buffer", true, true, tooLong.c_str(), {noHelpUrl}, true},
        {"address without a handler", true, true, unknown.c_str(),
         {"Error Tolvane Tolvane::Failed to launch HelpUrl " + unknown + ", iReturnValue = 31, GetLastError = "}, true},
        {"no installation", false, false, nullptr, {noAgentKey}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempFolder folder;
        folder.MakeFolder(L"Agent");
        ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
        if (c.installed)
            client.SetString(L"szInstallDir", folder.Path());
        std::unique_ptr<ScopedRegistryKey> agent;
        if (c.agentKey)
            agent.reset(new ScopedRegistryKey(HKEY_LOCAL_MACHINE, kAgentKey));
        if (c.url)
            agent->SetString(kHelpUrlValue, testsupport::Wide(c.url));
        ScopedRegistryKey schemeKey(HKEY_CLASSES_ROOT, scheme);
        ScopedRegistryKey command(HKEY_CLASSES_ROOT, scheme + L"\\shell\\open\\command");
        schemeKey.SetString(L"URL Protocol", L"");
        command.SetString(L"", L"\"" + folder.Join(L"handler.exe") + L"\" \"%1\"");
        const std::wstring handlerRecord = hosttest::InstallRecorder(folder.Join(L"handler.exe"));
        const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm");
        const std::wstring helpRecord = hosttest::InstallRecorder(helpFile);

        LogCapture capture;
        DisplayKelmoHelp();
        std::vector<std::string> expected = c.log, records;
        for (const auto& event : capture.events)
            records.push_back(LogUtils::LevelName(event.level) + (" " + event.category) + " " + event.message);
        if (c.helpFileRuns) {
            expected.push_back("Debug Wexmoor Trying to launch: " + Narrow(helpFile));
            expected.push_back("Debug Wexmoor Launched OK");
        }
        // The shell's own last error is reported as it is; only its place is checked.
        if (!records.empty() && !expected.empty() && expected[0].rfind("Error ", 0) == 0 &&
            records[0].rfind(expected[0], 0) == 0)
            records[0] = expected[0];
        EXPECT_EQ(records, expected);
        if (c.helpFileRuns) {   // with the path as its command line
            EXPECT_EQ(hosttest::WaitForRecord(helpRecord), std::vector<std::string>{Narrow(helpFile)});
        }
        if (c.url == address.c_str()) {
            const std::vector<std::string> received = hosttest::WaitForRecord(handlerRecord);
            ASSERT_EQ(received.size(), 2u);
            EXPECT_EQ(received[1], address);
        }
        EXPECT_FALSE(testsupport::FileExists(c.helpFileRuns ? handlerRecord : helpRecord)) << "only one ran";
    }
}
