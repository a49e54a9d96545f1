// CLauncher::LaunchApp and DisplayKelmoHelp, with helprecorder.exe (which records how it was started) as every program.
#include <gtest/gtest.h>

#include <windows.h>

#include "LogCapture.h"
#include "TestSupport.h"
#include "host/HelpDisplay.h"
#include "host/Launch/LaunchApp.h"
#include "tolvane/Functions.h"

using testsupport::Narrow;
using testsupport::ScopedRegistryKey;
using Lines = std::vector<std::string>;

namespace {

const Lines kStarted = {"startup flags: 0x1 show: 1", "new process group: 1"};   // how the launcher starts

std::wstring InstallRecorder(const std::wstring& target)
{
    return testsupport::CopyBuilt(L"helprecorder.exe", target) ? target + L".received" : std::wstring();
}

void SetDefault(HKEY key, const wchar_t* subKey, const std::wstring& value)
{
    RegSetKeyValueW(key, subKey, nullptr, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * 2));
}

} // namespace

TEST(HostLaunch, StartsTheProgramWaitsWhenAskedAndLogs)
{
    testsupport::TempFolder folder;
    const std::wstring program = folder.Join(L"Launch Dir\\recorder.exe"), record = InstallRecorder(program);
    const std::wstring longName = folder.Join(std::wstring(5000, L'x') + L".exe"), longArguments(2000, L'y');
    const std::wstring missing = folder.Join(L"missing.exe");
    const std::string app = "\"" + Narrow(program) + "\"", ok = "Debug Wexmoor Launched OK";
    const Lines waited = {ok, "Debug Wexmoor We are waiting for execution to complete...", "Debug Wexmoor Completed successfully."};
    const Lines failed = {"Debug Wexmoor *** ERROR *** launching program"};
    // log: what follows "Trying to launch"; received: the arguments the program saw, if it ran.
    const struct { std::wstring application; const wchar_t* arguments; int wait; std::string commandLine; Lines log;
                   Lines received; } cases[] = {
        {program, nullptr, 1, app, waited, {}},
        // It sleeps before it writes: only a launcher that waits finds its record on return.
        {program, L"--sleep-ms=700 alpha \"b c\"", 1, app + " --sleep-ms=700 alpha \"b c\"", waited, {"alpha", "b c"}},
        {program, L"gamma", 0, app + " gamma", {ok}, {"gamma"}},
        {longName, L"", 1, Narrow(longName.substr(0, CLauncher::kCommandLineChars - 1)), failed, {}},   // cut
        {missing, longArguments.c_str(), 1, Narrow((missing + L" " + longArguments).substr(0, 1023)), failed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine.substr(0, 80));
        DeleteFileW(record.c_str());
        testsupport::LogCapture capture;
        EXPECT_EQ(CLauncher().LaunchApp(c.application.c_str(), c.arguments, c.wait), c.log != failed);
        EXPECT_TRUE(c.log != waited || testsupport::FileExists(record)) << "the program has ended";
        Lines log = {"Debug Wexmoor Trying to launch: " + c.commandLine};
        if (c.application == longName)
            log.insert(log.begin(), "Warning Wexmoor StringCchCopy failed in LaunchApp");
        log.insert(log.end(), c.log.begin(), c.log.end());
        EXPECT_EQ(capture.Records(), log);
        if (c.log == failed)
            continue;
        Lines recorded = c.received;
        recorded.insert(recorded.begin(), c.commandLine);
        recorded.insert(recorded.end(), kStarted.begin(), kStarted.end());
        EXPECT_EQ(testsupport::WaitForLines(record), recorded);
    }
}

// The installation folder has a blank and a trailing backslash. The handler of "tolvanehelptest:" addresses and
// ".chm" documents (its default verb is not "open") records the verb and the target; so does the help file as a program.
TEST(HostHelp, DisplayKelmoHelpOpensTheAddressElseTheHelpFile)
{
    testsupport::TempFolder folder;
    const std::wstring install = folder.Join(L"Client Files"), helpFile = install + L"\\Agent\\qxhelp.chm";
    const std::wstring helpRecord = helpFile + L".received", handler = folder.Join(L"handler.exe");
    const std::wstring handlerRecord = InstallRecorder(handler);
    ScopedRegistryKey scheme(HKEY_CLASSES_ROOT, L"tolvanehelptest");
    scheme.SetString(L"URL Protocol", L"");
    wchar_t formerChm[64] = {};
    DWORD formerBytes = sizeof formerChm;
    RegGetValueW(HKEY_CLASSES_ROOT, L".chm", nullptr, RRF_RT_REG_SZ, nullptr, formerChm, &formerBytes);
    SetDefault(HKEY_CLASSES_ROOT, L".chm", L"tolvanehelptest");
    SetDefault(scheme.Handle(), L"shell", L"other");
    for (const wchar_t* verb : {L"open", L"other"})
        SetDefault(scheme.Handle(), (L"shell\\" + std::wstring(verb) + L"\\command").c_str(),
                   L"\"" + handler + L"\" verb=" + verb + L" \"%1\"");
    const std::string address = "tolvanehelptest:topics/scan?page=7", unknown = "tolvanenohandler:topics";
    const std::string tooLong(600, 'u'), help = Narrow(helpFile);
    const std::string noAgentKey = "Debug Tolvane Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...";
    const std::string noHelpUrl = "Debug Tolvane Tolvane::Unable to get szHelpURL value from registry...";
    const std::string launch = "Debug Wexmoor Trying to launch: \"" + help + "\"", ok = "Debug Wexmoor Launched OK";
    // url: null for no value; opened: what the handler received, if it ran; help: the help file runs.
    const struct { const char* name; bool installed, document, agentKey; const char* url; Lines log;
                   std::string opened; bool help; } cases[] = {
        {"address", true, false, true, address.c_str(),
         {"Debug Tolvane Tolvane::HelpUrl " + address + " launched successfully..."}, address, false},
        {"no agent key", true, false, false, nullptr, {noAgentKey, launch, ok}, "", true},
        {"no address", true, false, true, nullptr, {noHelpUrl, launch, ok}, "", true},
        {"empty address", true, false, true, "", {launch, ok}, "", true},
        {"address longer than its buffer", true, false, true, tooLong.c_str(), {noHelpUrl, launch, ok}, "", true},
        {"address without a handler", true, false, true, unknown.c_str(),
         {"Error Tolvane Tolvane::Failed to launch HelpUrl " + unknown + ", iReturnValue = 31, GetLastError = ", launch, ok},
         "", true},
        {"no installation", false, false, false, nullptr, {noAgentKey}, "", false},
        {"help file that is no program", true, true, false, nullptr,
         {noAgentKey, launch, "Debug Wexmoor *** ERROR *** launching program",
          "Debug Tolvane Tolvane::Help file " + help + " opened by its handler..."}, help, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(helpRecord.c_str());
        DeleteFileW(handlerRecord.c_str());
        if (c.document)
            testsupport::WriteFileBytes(helpFile, "ITSF: a compiled help file, not a program");
        else
            InstallRecorder(helpFile);
        ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk"), agent(HKEY_LOCAL_MACHINE, kAgentKey);
        if (c.installed)
            client.SetString(L"szInstallDir", install + L"\\");
        if (!c.agentKey)
            testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kAgentKey);
        if (c.url)
            agent.SetString(kHelpUrlValue, testsupport::Wide(c.url));
        testsupport::LogCapture capture;
        DisplayKelmoHelp();
        Lines records = capture.Records();
        if (!records.empty() && records[0].find("GetLastError = ") != std::string::npos)   // the shell's, as it is
            records[0].erase(records[0].find("GetLastError = ") + 15);
        EXPECT_EQ(records, c.log);
        if (c.help) {
            EXPECT_EQ(testsupport::WaitForLines(helpRecord), (Lines{"\"" + help + "\"", kStarted[0], kStarted[1]}));
        }
        if (!c.opened.empty()) {
            Lines received = testsupport::WaitForLines(handlerRecord);   // its command line, then what follows
            received.resize(4);
            EXPECT_EQ(Lines(received.begin() + 1, received.end()), (Lines{"verb=open", c.opened, kStarted[0]}));
        }
        EXPECT_EQ(testsupport::FileExists(handlerRecord), !c.opened.empty()) << "the handler ran";
        EXPECT_EQ(testsupport::FileExists(helpRecord), c.help) << "the help file ran";
    }
    SetDefault(HKEY_CLASSES_ROOT, L".chm", formerChm);
}
