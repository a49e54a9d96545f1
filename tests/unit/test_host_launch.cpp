// CLauncher::LaunchApp with the recorder program as the launched program:
// command lines, waiting, the new process group, failures and the records.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "help_recorder.h"
#include "host/Launch/LaunchApp.h"

using testsupport::Narrow;

TEST(HostLaunch, StartsTheProgramWaitsWhenAskedAndLogs)
{
    testsupport::TempFolder folder;
    const std::wstring program = folder.Join(L"recorder.exe"), missing = folder.Join(L"missing.exe");
    const std::wstring record = hosttest::InstallRecorder(program);
    ASSERT_FALSE(record.empty());
    const std::wstring longName = folder.Join(std::wstring(5000, L'x') + L".exe"), longArguments(2000, L'y');
    const std::string app = Narrow(program);
    struct Case {
        std::wstring application;
        const wchar_t* arguments;
        int wait, result;
        bool cut;                            // the copy into the command line buffer fails
        std::string commandLine;
        std::vector<std::string> received;   // the arguments as the program saw them
    };
    const Case cases[] = {
        {program, nullptr, 1, 1, false, app, {}},
        {program, L"", 1, 1, false, app, {}},
        // It sleeps before it writes: only a launcher that waits finds its record on return.
        {program, L"--sleep-ms=700 alpha \"b c\"", 1, 1, false, app + " --sleep-ms=700 alpha \"b c\"",
         {"alpha", "b c"}},
        {program, L"--report-group gamma", 0, 1, false, app + " --report-group gamma",
         {"gamma", "new process group: 1"}},
        {missing, nullptr, 1, 0, false, Narrow(missing), {}},
        {longName, L"", 1, 0, true, Narrow(longName.substr(0, CLauncher::kCommandLineChars - 1)), {}},
        // The platform cuts the formatted command line.
        {missing, longArguments.c_str(), 1, 0, false, Narrow((missing + L" " + longArguments).substr(0, 1023)), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine.substr(0, 80) + (c.arguments && !*c.arguments ? " (empty arguments)" : ""));
        DeleteFileW(record.c_str());
        testsupport::LogCapture capture;
        ASSERT_EQ(CLauncher().LaunchApp(c.application.c_str(), c.arguments, c.wait), c.result);
        std::vector<std::string> log, messages;
        if (c.cut)
            log.push_back("StringCchCopy failed in LaunchApp");
        log.push_back("Trying to launch: " + c.commandLine);
        log.push_back(c.result == 1 ? "Launched OK" : "*** ERROR *** launching program");
        if (c.result == 1 && c.wait == 1) {
            log.push_back("We are waiting for execution to complete...");
            log.push_back("Completed successfully.");
            EXPECT_TRUE(testsupport::FileExists(record)) << "the program has ended";
        }
        // All of category Wexmoor, without an error code; only the copy warning is not Debug.
        for (const auto& event : capture.events) {
            EXPECT_EQ(event.category, "Wexmoor") << event.message;
            EXPECT_FALSE(event.hasError) << event.message;
            EXPECT_EQ(event.level, messages.empty() && c.cut ? LogUtils::Warning : LogUtils::Debug) << event.message;
            messages.push_back(event.message);
        }
        EXPECT_EQ(messages, log);
        if (c.result == 1) {
            std::vector<std::string> recorded = {c.commandLine};
            recorded.insert(recorded.end(), c.received.begin(), c.received.end());
            EXPECT_EQ(hosttest::WaitForRecord(record), recorded);
        }
    }
}
