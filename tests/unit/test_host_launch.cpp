// CLauncher::LaunchApp and DisplayKelmoHelp (the configured address through the shell,
// else the help file), with helprecorder.exe as the program started: it writes its
// command line, then each argument, into "<its path>.received".
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "host/HelpDisplay.h"
#include "host/Launch/LaunchApp.h"
#include "tolvane/Functions.h"

using testsupport::Narrow;
using testsupport::ScopedRegistryKey;

namespace {

// Copies the recorder to target; returns the file it will write there.
std::wstring InstallRecorder(const std::wstring& target)
{
    return testsupport::CopyBuilt(L"helprecorder.exe", target) ? target + L".received" : std::wstring();
}

// The help file and a handler of the address scheme "tolvanehelptest" (its
// "open" command passes the test's arguments, then the address), both recorders.
class HostHelp : public testing::Test {
protected:
    HostHelp() { scheme.SetString(L"URL Protocol", L""); }
    void OpenCommand(const std::wstring& arguments) { open.SetString(L"", L"\"" + handler + L"\" " + arguments + L"\"%1\""); }

    testsupport::TempFolder folder;
    const std::wstring helpFile = folder.Join(L"Agent\\qxhelp.chm"), handler = folder.Join(L"handler.exe");
    const std::wstring helpRecord = InstallRecorder(helpFile), handlerRecord = InstallRecorder(handler);
    ScopedRegistryKey scheme{HKEY_CLASSES_ROOT, L"tolvanehelptest"};
    ScopedRegistryKey open{HKEY_CLASSES_ROOT, L"tolvanehelptest\\shell\\open\\command"};
};

// Makes the test's recorder the handler of ".chm" files (the shell reads the
// classes root), and puts the former handler back at the end.
class ChmHandler {
public:
    explicit ChmHandler(const std::wstring& command)
    {
        RegGetValueW(HKEY_CLASSES_ROOT, L".chm", nullptr, RRF_RT_REG_SZ, nullptr, m_former, &m_formerBytes);
        m_command.SetString(L"", command);
        Set(L"tolvanehelptest.chm");
    }
    ~ChmHandler()
    {
        if (m_former[0])
            Set(m_former);
        else
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L".chm");
        testsupport::DeleteRegistryTree(HKEY_CLASSES_ROOT, L"tolvanehelptest.chm");
    }

private:
    static void Set(const wchar_t* type)
    {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, L".chm", nullptr, REG_SZ, type,
                        static_cast<DWORD>((wcslen(type) + 1) * sizeof(wchar_t)));
    }
    wchar_t m_former[256] = {};
    DWORD m_formerBytes = sizeof m_former;
    ScopedRegistryKey m_command{HKEY_CLASSES_ROOT, L"tolvanehelptest.chm\\shell\\open\\command"};
};

} // namespace

TEST(HostLaunch, StartsTheProgramWaitsWhenAskedAndLogs)
{
    testsupport::TempFolder folder;
    // A path with a blank is handed over in quotes.
    const std::wstring program = folder.Join(L"Launch Dir\\recorder.exe"), missing = folder.Join(L"missing.exe");
    const std::wstring record = InstallRecorder(program);
    const std::wstring longName = folder.Join(std::wstring(5000, L'x') + L".exe"), longArguments(2000, L'y');
    const std::string app = "\"" + Narrow(program) + "\"";
    // cut: the copy into the command line buffer fails; received: the arguments the program saw.
    const struct { std::wstring application; const wchar_t* arguments; int wait, result; bool cut;
                   std::string commandLine; std::vector<std::string> received; } cases[] = {
        {program, nullptr, 1, 1, false, app, {}},
        // It sleeps before it writes: only a launcher that waits finds its record on return.
        {program, L"--sleep-ms=700 alpha \"b c\"", 1, 1, false, app + " --sleep-ms=700 alpha \"b c\"",
         {"alpha", "b c"}},
        {program, L"--report-group gamma", 0, 1, false, app + " --report-group gamma",
         {"gamma", "new process group: 1"}},
        {missing, nullptr, 1, 0, false, Narrow(missing), {}},
        {longName, L"", 1, 0, true, Narrow(longName.substr(0, CLauncher::kCommandLineChars - 1)), {}},
        // The platform cuts the formatted command line.
        {missing, longArguments.c_str(), 1, 0, false, Narrow((missing + L" " + longArguments).substr(0, 1023)),
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine.substr(0, 80));
        DeleteFileW(record.c_str());
        testsupport::LogCapture capture;
        ASSERT_EQ(CLauncher().LaunchApp(c.application.c_str(), c.arguments, c.wait), c.result);
        std::vector<std::string> log;
        if (c.cut)
            log.push_back("Warning Wexmoor StringCchCopy failed in LaunchApp");
        log.push_back("Debug Wexmoor Trying to launch: " + c.commandLine);
        log.push_back(c.result == 1 ? "Debug Wexmoor Launched OK" : "Debug Wexmoor *** ERROR *** launching program");
        if (c.result == 1 && c.wait == 1) {
            log.push_back("Debug Wexmoor We are waiting for execution to complete...");
            log.push_back("Debug Wexmoor Completed successfully.");
            EXPECT_TRUE(testsupport::FileExists(record)) << "the program has ended";
        }
        EXPECT_EQ(capture.Records(), log);
        if (c.result == 1) {   // the command line, then the arguments
            std::vector<std::string> recorded = {c.commandLine};
            recorded.insert(recorded.end(), c.received.begin(), c.received.end());
            EXPECT_EQ(testsupport::WaitForLines(record), recorded);
        }
    }
}

TEST_F(HostHelp, DisplayKelmoHelpOpensTheAddressElseTheHelpFile)
{
    OpenCommand(L"");
    const std::string address = "tolvanehelptest:topics/scan?page=7", unknown = "tolvanenohandler:topics";
    const std::string tooLong(600, 'u');
    const std::string noAgentKey = "Debug Tolvane Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...";
    const std::string noHelpUrl = "Debug Tolvane Tolvane::Unable to get szHelpURL value from registry...";
    // url: null for no value; log: the records before the launcher's.
    const struct { const char* name; bool installed, agentKey; const char* url; std::vector<std::string> log;
                   bool helpFileRuns; } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(helpRecord.c_str());
        DeleteFileW(handlerRecord.c_str());
        ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
        if (c.installed)
            client.SetString(L"szInstallDir", folder.Path());
        std::unique_ptr<ScopedRegistryKey> agent;
        if (c.agentKey)
            agent.reset(new ScopedRegistryKey(HKEY_LOCAL_MACHINE, kAgentKey));
        if (c.url)
            agent->SetString(kHelpUrlValue, testsupport::Wide(c.url));
        testsupport::LogCapture capture;
        DisplayKelmoHelp();
        std::vector<std::string> expected = c.log, records = capture.Records();
        if (c.helpFileRuns) {
            expected.push_back("Debug Wexmoor Trying to launch: " + Narrow(helpFile));
            expected.push_back("Debug Wexmoor Launched OK");
        }
        if (!records.empty() && records[0].find("GetLastError = ") != std::string::npos)   // the shell's, as it is
            records[0].erase(records[0].find("GetLastError = ") + 15);
        EXPECT_EQ(records, expected);
        if (c.helpFileRuns) {   // with the path as its command line
            EXPECT_EQ(testsupport::WaitForLines(helpRecord), std::vector<std::string>{Narrow(helpFile)});
        }
        if (c.url == address.c_str()) {   // the handler receives the address as its one argument
            const std::vector<std::string> received = testsupport::WaitForLines(handlerRecord);
            ASSERT_EQ(received.size(), 2u);
            EXPECT_EQ(received[1], address);
        }
        EXPECT_FALSE(testsupport::FileExists(c.helpFileRuns ? handlerRecord : helpRecord)) << "only one ran";
    }
}

// What the started programs see of how they were asked for: the shell's verb
// and show state for the address, the launcher's start-up information and
// creation flags for the help file (of those, a new process group is what
// the child can see).
TEST_F(HostHelp, VerbShowStateAndCreationFlagsReachTheStartedPrograms)
{
    OpenCommand(L"verb=open ");
    ScopedRegistryKey other(HKEY_CLASSES_ROOT, L"tolvanehelptest\\shell\\other\\command");
    const wchar_t defaultVerb[] = L"other";   // the scheme's default verb is not "open"
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(scheme.Handle(), L"shell", nullptr, REG_SZ, defaultVerb,
                                             sizeof(defaultVerb)));
    other.SetString(L"", L"\"" + handler + L"\" verb=other \"%1\"");
    const std::string address = "tolvanehelptest:topics";

    SetEnvironmentVariableW(L"TOLVANE_RECORD_STARTUP", L"1");
    {
        ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
        client.SetString(L"szInstallDir", folder.Path());
        ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, kAgentKey);
        agent.SetString(kHelpUrlValue, testsupport::Wide(address));
        DisplayKelmoHelp();
        const std::vector<std::string> received = testsupport::WaitForLines(handlerRecord);
        ASSERT_GE(received.size(), 4u);
        EXPECT_EQ(received[1], "verb=open");
        EXPECT_EQ(received[2], address);
        EXPECT_EQ(received[3], "startup flags: 0x1 show: 1") << "SW_SHOWNORMAL";

        agent.DeleteValue(kHelpUrlValue);
        DisplayKelmoHelp();
        EXPECT_EQ(testsupport::WaitForLines(helpRecord),
                  (std::vector<std::string>{Narrow(helpFile), "startup flags: 0x1 show: 1", "new process group: 1"}));
    }
    SetEnvironmentVariableW(L"TOLVANE_RECORD_STARTUP", nullptr);
}

// A help file that is a document, in a folder whose name has a blank: the program
// planted at the path's first blank ("...\Client.exe") never runs, and the help
// file opens with the shell's handler for ".chm" (registered for the test).
TEST_F(HostHelp, HelpFileThatIsNoProgramOpensWithItsHandler)
{
    const std::wstring install = folder.Join(L"Client Files"), document = install + L"\\Agent\\qxhelp.chm";
    folder.MakeFolder(L"Client Files\\Agent");
    testsupport::WriteFileBytes(document, "ITSF: a compiled help file, not a program");
    const std::wstring planted = InstallRecorder(folder.Join(L"Client.exe"));
    ChmHandler chm(L"\"" + handler + L"\" \"%1\"");
    ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", install);

    testsupport::LogCapture capture;
    DisplayKelmoHelp();
    const std::vector<std::string> received = testsupport::WaitForLines(handlerRecord);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1], Narrow(document));
    EXPECT_EQ(capture.Records(), (std::vector<std::string>{
        "Debug Tolvane Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...",
        "Debug Wexmoor Trying to launch: \"" + Narrow(document) + "\"",
        "Debug Wexmoor *** ERROR *** launching program",
        "Debug Tolvane Tolvane::Help file " + Narrow(document) + " opened by its handler..."}));
    EXPECT_FALSE(testsupport::FileExists(planted)) << "the program at the first blank ran";
}
