// CLauncher::LaunchApp: command lines, waiting and its log records, with the
// recorder program as the launched program.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "host/Launch/LaunchApp.h"
#include "help_recorder.h"

using testsupport::LogCapture;
using testsupport::Narrow;
using testsupport::TempFolder;

namespace {

// Every record of the launcher is of category Wexmoor; only the copy
// warning is not at level Debug.
std::vector<std::string> LauncherMessages(const LogCapture& capture)
{
    std::vector<std::string> messages;
    for (const auto& event : capture.events) {
        EXPECT_EQ(event.category, "Wexmoor") << event.message;
        EXPECT_FALSE(event.hasError) << event.message;
        if (event.message == "StringCchCopy failed in LaunchApp")
            EXPECT_EQ(event.level, LogUtils::Warning);
        else
            EXPECT_EQ(event.level, LogUtils::Debug) << event.message;
        messages.push_back(event.message);
    }
    return messages;
}

} // namespace

TEST(HostLaunch, StartsTheProgramWithItsArguments)
{
    TempFolder folder;
    const std::wstring program = folder.Join(L"recorder.exe");
    const std::wstring record = hosttest::InstallRecorder(program);
    ASSERT_FALSE(record.empty());
    const std::string app = Narrow(program);

    struct Case {
        const char* name;
        const wchar_t* arguments;
        int wait;
        std::string commandLine;
        std::vector<std::string> received;   // arguments as the program saw them
    };
    const Case cases[] = {
        {"no arguments", nullptr, 1, app, {}},
        {"empty arguments", L"", 1, app, {}},
        {"arguments", L"alpha \"b c\"", 1, app + " alpha \"b c\"", {"alpha", "b c"}},
        {"no waiting", L"gamma", 0, app + " gamma", {"gamma"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(record.c_str());
        LogCapture capture;
        CLauncher launcher;
        ASSERT_EQ(launcher.LaunchApp(program.c_str(), c.arguments, c.wait), 1);
        std::vector<std::string> expectedLog = {"Trying to launch: " + c.commandLine, "Launched OK"};
        if (c.wait == 1) {
            expectedLog.push_back("We are waiting for execution to complete...");
            expectedLog.push_back("Completed successfully.");
            // The program has ended, so its record is complete already.
            EXPECT_TRUE(testsupport::FileExists(record));
        }
        EXPECT_EQ(LauncherMessages(capture), expectedLog);

        std::vector<std::string> expectedRecord = {c.commandLine};
        expectedRecord.insert(expectedRecord.end(), c.received.begin(), c.received.end());
        EXPECT_EQ(hosttest::WaitForRecord(record), expectedRecord);
    }
}

TEST(HostLaunch, WaitsUntilTheProgramHasEnded)
{
    TempFolder folder;
    const std::wstring program = folder.Join(L"slow.exe");
    const std::wstring record = hosttest::InstallRecorder(program);
    CLauncher launcher;
    // The program sleeps before it writes anything: only a launcher that waits
    // finds its record in place on return.
    ASSERT_EQ(launcher.LaunchApp(program.c_str(), L"--sleep-ms=700 done", 1), 1);
    ASSERT_TRUE(testsupport::FileExists(record));
    EXPECT_EQ(testsupport::ReadLines(record).back(), "done");
}

TEST(HostLaunch, ProgramsStartInANewProcessGroup)
{
    TempFolder folder;
    const std::wstring program = folder.Join(L"group.exe");
    const std::wstring record = hosttest::InstallRecorder(program);
    CLauncher launcher;
    ASSERT_EQ(launcher.LaunchApp(program.c_str(), L"--report-group", 1), 1);
    EXPECT_EQ(testsupport::ReadLines(record).back(), "new process group: 1");
    static_assert(CLauncher::kCreationFlags == 0x4000220, "default error mode, new group, normal priority");
}

TEST(HostLaunch, FailuresAreLoggedAndReportedByTheResult)
{
    TempFolder folder;
    const std::wstring missing = folder.Join(L"missing.exe");
    const std::wstring longName = folder.Join(std::wstring(5000, L'x') + L".exe");
    const std::wstring longArguments(2000, L'y');

    struct Case {
        const char* name;
        std::wstring application;
        const wchar_t* arguments;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"missing program", missing, nullptr,
         {"Trying to launch: " + Narrow(missing), "*** ERROR *** launching program"}},
        {"missing program with arguments", missing, L"a b",
         {"Trying to launch: " + Narrow(missing) + " a b", "*** ERROR *** launching program"}},
        {"command line cut to its buffer", longName, L"",
         {"StringCchCopy failed in LaunchApp",
          "Trying to launch: " + Narrow(longName.substr(0, CLauncher::kCommandLineChars - 1)),
          "*** ERROR *** launching program"}},
        {"formatted command line cut by the platform", missing, longArguments.c_str(),
         {"Trying to launch: " + Narrow((missing + L" " + longArguments).substr(0, 1023)),
          "*** ERROR *** launching program"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture capture;
        CLauncher launcher;
        EXPECT_EQ(launcher.LaunchApp(c.application.c_str(), c.arguments, 1), 0);
        EXPECT_EQ(LauncherMessages(capture), c.log);
    }
}
