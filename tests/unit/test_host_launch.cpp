// CLauncher::LaunchApp and DisplayKelmoHelp, with helprecorder.exe (which records how it was started) as every program.
#include <gtest/gtest.h>

#include <windows.h>

#include "LogCapture.h"
#include "TestSupport.h"
#include "host/HelpDisplay.h"
#include "host/Launch/LaunchApp.h"
#include "tolvane/Functions.h"

using testsupport::Narrow;
using Lines = std::vector<std::string>;

namespace {

const Lines kStarted = {"startup flags: 1 show: 1", "new process group: 1"};   // how the launcher starts

std::wstring InstallRecorder(const std::wstring& target)
{
    return testsupport::CopyBuilt(L"helprecorder.exe", target) ? target + L".received" : std::wstring();
}

void SetDefault(HKEY key, const wchar_t* subKey, const std::wstring& value)
{
    RegSetKeyValueW(key, subKey, nullptr, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * 2));
}

} // namespace

TEST(HostLaunch, StartsTheProgramWaitsAndLogs)
{
    testsupport::TempFolder folder;
    const std::wstring program = folder.Join(L"Launch Dir\\recorder.exe"), record = InstallRecorder(program);
    const std::wstring longName = folder.Join(std::wstring(5000, L'x') + L".exe"), missing = folder.Join(L"missing.exe");
    const std::wstring longArguments(2000, L'y');
    const std::string started = "\"" + Narrow(program) + "\" alpha \"b c\"";
    const std::string trying = "Debug Wexmoor Trying to launch: ", failed = "Debug Wexmoor *** ERROR *** launching program";
    // Waiting is seen in the program's record (not waiting: the help display's launch, below).
    const struct { std::wstring application; const wchar_t* arguments; Lines log; } cases[] = {
        {longName, L"", {"Warning Wexmoor StringCchCopy failed in LaunchApp",
         trying + Narrow(longName.substr(0, CLauncher::kCommandLineChars - 1)), failed}},   // cut
        {missing, longArguments.c_str(), {trying + Narrow((missing + L" " + longArguments).substr(0, 1023)), failed}},
        {program, L"alpha \"b c\"", {trying + started, "Debug Wexmoor Launched OK",
         "Debug Wexmoor We are waiting for execution to complete...", "Debug Wexmoor Completed successfully."}},
    };
    for (const auto& c : cases) {
        testsupport::LogCapture capture;
        EXPECT_EQ(CLauncher().LaunchApp(c.application.c_str(), c.arguments, 1), c.log.back() != failed);
        EXPECT_EQ(capture.Records(), c.log);
        EXPECT_EQ(testsupport::FileExists(record), c.application == program) << "the program has ended";
    }
    EXPECT_EQ(testsupport::WaitForLines(record), (Lines{started, "alpha", "b c", kStarted[0], kStarted[1]}));
}

// The installation folder has a blank and a trailing backslash. The handler of "tolvanehelptest:" addresses and
// ".chm" documents (its default verb is not "open") records the verb and the target; so does the help file as a program.
TEST(HostHelp, DisplayKelmoHelpOpensTheAddressElseTheHelpFile)
{
    testsupport::TempFolder folder;
    const std::wstring install = folder.Join(L"Client Files"), helpFile = install + L"\\Agent\\qxhelp.chm";
    const std::wstring handler = folder.Join(L"handler.exe"), helpRecord = InstallRecorder(helpFile);
    const std::wstring handlerRecord = InstallRecorder(handler);
    testsupport::ScopedRegistryKey scheme(HKEY_CLASSES_ROOT, L"tolvanehelptest");
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
    const std::string launch = "Debug Wexmoor Trying to launch: \"" + help + "\"", ok = "Debug Wexmoor Launched OK";
    // url: null for no agent key; opened: what the handler received, if it ran. The help file runs when it is
    // installed, a program, and no address was opened.
    const struct { const char* name; bool installed, document; const char* url; std::string opened; Lines log; } cases[] = {
        {"address", true, false, address.c_str(), address, {"Debug Tolvane Tolvane::HelpUrl " + address + " launched successfully..."}},
        {"no agent key", true, false, nullptr, "", {noAgentKey, launch, ok}},
        {"empty address", true, false, "", "", {launch, ok}},
        {"address longer than its buffer", true, false, tooLong.c_str(), "",
         {"Debug Tolvane Tolvane::Unable to get szHelpURL value from registry...", launch, ok}},
        {"address without a handler", true, false, unknown.c_str(), "",
         {"Error Tolvane Tolvane::Failed to launch HelpUrl " + unknown + ", iReturnValue = 31, GetLastError = ", launch, ok}},
        {"no installation", false, false, nullptr, "", {noAgentKey}},
        {"help file that is no program", true, true, nullptr, help, {noAgentKey, launch, "Debug Wexmoor *** ERROR *** launching program",
         "Debug Tolvane Tolvane::Help file " + help + " opened by its handler..."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(helpRecord.c_str());
        DeleteFileW(handlerRecord.c_str());
        if (c.document)   // the last case
            testsupport::WriteFileBytes(helpFile, "ITSF: a compiled help file, not a program");
        testsupport::ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk"), agent(HKEY_LOCAL_MACHINE, kAgentKey);
        if (c.installed)
            client.SetString(L"szInstallDir", install + L"\\");
        if (c.url)
            agent.SetString(kHelpUrlValue, testsupport::Wide(c.url));
        else
            testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kAgentKey);
        testsupport::LogCapture capture;
        DisplayKelmoHelp();
        Lines records = capture.Records();
        if (!records.empty() && records[0].find("GetLastError = ") != std::string::npos)   // the shell's, as it is
            records[0].erase(records[0].find("GetLastError = ") + 15);
        EXPECT_EQ(records, c.log);
        const bool helpRuns = c.installed && !c.document && c.opened.empty();
        EXPECT_EQ(helpRuns ? testsupport::WaitForLines(helpRecord) : Lines{},
                  helpRuns ? (Lines{"\"" + help + "\"", kStarted[0], kStarted[1]}) : Lines{});
        Lines received = c.opened.empty() ? Lines(4) : testsupport::WaitForLines(handlerRecord);
        received.resize(4);   // its command line, then the verb, the target and how it is shown
        EXPECT_EQ(Lines(received.begin() + 1, received.end()),
                  c.opened.empty() ? Lines(3) : (Lines{"verb=open", c.opened, kStarted[0]}));
        EXPECT_EQ(testsupport::FileExists(handlerRecord), !c.opened.empty()) << "the handler ran";
        EXPECT_EQ(testsupport::FileExists(helpRecord), helpRuns) << "the help file ran";
    }
    SetDefault(HKEY_CLASSES_ROOT, L".chm", formerChm);
}
