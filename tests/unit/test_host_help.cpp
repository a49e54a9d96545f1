// DisplayKelmoHelp and GetHelpURL: the configured address opened through the
// shell (a URL scheme of the test's own whose handler is the recorder), the
// installed help file started when there is none, and the records of each
// road in their order.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "host/HelpDisplay.h"
#include "help_recorder.h"
#include "tolvane/Functions.h"

using testsupport::LogCapture;
using testsupport::Narrow;
using testsupport::ScopedRegistryKey;
using testsupport::TempFolder;

namespace {

const wchar_t kClientKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
const wchar_t kScheme[] = L"tolvanehelptest";
const char kNoAgentKey[] = "Tolvane::Unable to open STRREG_MDT_AGENT_ROOT key in registry...";
const char kNoHelpUrl[] = "Tolvane::Unable to get szHelpURL value from registry...";

struct Record {
    LogUtils::LogLevel level;
    std::string category;
    std::string message;
};

bool operator==(const Record& a, const Record& b)
{
    return a.level == b.level && a.category == b.category && a.message == b.message;
}

std::ostream& operator<<(std::ostream& out, const Record& r)
{
    return out << LogUtils::LevelName(r.level) << " " << r.category << " \"" << r.message << "\"";
}

std::vector<Record> Records(const LogCapture& capture)
{
    std::vector<Record> records;
    for (const auto& event : capture.events)
        records.push_back({event.level, event.category, event.message});
    return records;
}

// The client's installation in a temporary folder: the install folder in
// the registry, the agent key and, when asked, a help file that is really
// the recorder program.
class HelpInstallation {
public:
    HelpInstallation()
        : m_client(HKEY_LOCAL_MACHINE, kClientKey)
    {
        m_client.SetString(L"szInstallDir", m_folder.Path());
        m_folder.MakeFolder(L"Agent");
    }
    std::wstring HelpFile() const { return m_folder.Join(L"Agent\\qxhelp.chm"); }
    std::wstring InstallHelpFile() const { return hosttest::InstallRecorder(HelpFile()); }
    ScopedRegistryKey& Client() { return m_client; }
    const TempFolder& Folder() const { return m_folder; }

private:
    TempFolder m_folder;
    ScopedRegistryKey m_client;
};

// A URL scheme whose "open" command runs the recorder.
class RecorderScheme {
public:
    explicit RecorderScheme(const TempFolder& folder)
        : m_scheme(HKEY_CLASSES_ROOT, kScheme),
          m_command(HKEY_CLASSES_ROOT, std::wstring(kScheme) + L"\\shell\\open\\command")
    {
        m_record = hosttest::InstallRecorder(folder.Join(L"handler.exe"));
        m_scheme.SetString(L"", L"URL:Tolvane help test");
        m_scheme.SetString(L"URL Protocol", L"");
        m_command.SetString(L"", L"\"" + folder.Join(L"handler.exe") + L"\" \"%1\"");
    }
    const std::wstring& RecordFile() const { return m_record; }

private:
    ScopedRegistryKey m_scheme;
    ScopedRegistryKey m_command;
    std::wstring m_record;
};

} // namespace

TEST(HostHelp, HelpUrlComesFromTheAgentKey)
{
    const std::wstring tooLong(600, L'u');
    struct Case {
        const char* name;
        bool agentKey;
        const wchar_t* value;   // null: no value
        std::string url;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"no agent key", false, nullptr, "", {kNoAgentKey}},
        {"no value", true, nullptr, "", {kNoHelpUrl}},
        {"address", true, L"https://help.example/agent", "https://help.example/agent", {}},
        {"empty value", true, L"", "", {}},
        {"value longer than its buffer", true, tooLong.c_str(), "", {kNoHelpUrl}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedRegistryKey client(HKEY_LOCAL_MACHINE, kClientKey);
        std::unique_ptr<ScopedRegistryKey> agent;
        if (c.agentKey)
            agent.reset(new ScopedRegistryKey(HKEY_LOCAL_MACHINE, kAgentKey));
        if (c.value)
            agent->SetString(kHelpUrlValue, c.value);
        LogCapture capture;
        CMyString url = GetHelpURL();
        ASSERT_TRUE(url.HasText());
        EXPECT_EQ(Narrow(url.c_str()), c.url);
        std::vector<Record> expected;
        for (const std::string& message : c.log)
            expected.push_back({LogUtils::Debug, "Tolvane", message});
        EXPECT_EQ(Records(capture), expected);
    }
}

TEST(HostHelp, ConfiguredAddressOpensThroughTheShell)
{
    HelpInstallation installation;
    const std::wstring helpRecord = installation.InstallHelpFile();
    RecorderScheme scheme(installation.Folder());
    ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, kAgentKey);
    const std::wstring url = std::wstring(kScheme) + L":topics/scan?page=7";
    agent.SetString(kHelpUrlValue, url);

    LogCapture capture;
    DisplayKelmoHelp();
    EXPECT_EQ(Records(capture),
              (std::vector<Record>{{LogUtils::Debug, "Tolvane",
                                    "Tolvane::HelpUrl " + Narrow(url) + " launched successfully..."}}));
    std::vector<std::string> received = hosttest::WaitForRecord(scheme.RecordFile());
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1], Narrow(url));
    EXPECT_FALSE(testsupport::FileExists(helpRecord)) << "the help file was not started";
}

TEST(HostHelp, HelpFileIsStartedWithoutAUsableAddress)
{
    const std::string unknownUrl = "tolvanenohandler:topics";
    struct Case {
        const char* name;
        bool agentKey;
        const wchar_t* url;
        std::vector<Record> before;   // the records that precede the launcher's
    };
    const Case cases[] = {
        {"no agent key", false, nullptr, {{LogUtils::Debug, "Tolvane", kNoAgentKey}}},
        {"no address", true, nullptr, {{LogUtils::Debug, "Tolvane", kNoHelpUrl}}},
        {"address without a handler", true, L"tolvanenohandler:topics",
         {{LogUtils::Error, "Tolvane",
           "Tolvane::Failed to launch HelpUrl " + unknownUrl + ", iReturnValue = 31, GetLastError = "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HelpInstallation installation;
        const std::wstring record = installation.InstallHelpFile();
        std::unique_ptr<ScopedRegistryKey> agent;
        if (c.agentKey) {
            agent.reset(new ScopedRegistryKey(HKEY_LOCAL_MACHINE, kAgentKey));
            if (c.url)
                agent->SetString(kHelpUrlValue, c.url);
        }

        LogCapture capture;
        DisplayKelmoHelp();
        std::vector<Record> expected = c.before;
        expected.push_back({LogUtils::Debug, "Wexmoor", "Trying to launch: " + Narrow(installation.HelpFile())});
        expected.push_back({LogUtils::Debug, "Wexmoor", "Launched OK"});
        std::vector<Record> records = Records(capture);
        if (c.url && records.size() == expected.size()) {
            // The shell's own last error is reported as it is; only its place is checked.
            const std::string& message = records[0].message;
            ASSERT_EQ(message.compare(0, expected[0].message.size(), expected[0].message), 0) << message;
            records[0].message = expected[0].message;
        }
        EXPECT_EQ(records, expected);

        // The "help file" is the recorder: it ran, with the path as its command line.
        EXPECT_EQ(hosttest::WaitForRecord(record), (std::vector<std::string>{Narrow(installation.HelpFile())}));
    }
}

TEST(HostHelp, NothingHappensWithoutAnInstallation)
{
    testsupport::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kAgentKey);
    ScopedRegistryKey client(HKEY_LOCAL_MACHINE, kClientKey);   // no szInstallDir
    LogCapture capture;
    DisplayKelmoHelp();
    EXPECT_EQ(Records(capture), (std::vector<Record>{{LogUtils::Debug, "Tolvane", kNoAgentKey}}));
}
