// The log configuration read for every event: registry values, the logging
// ini file and the built-in sinks. Events are written through the front end
// and the files read back.
#include <gtest/gtest.h>

#include <ctime>
#include <set>
#include <string>

#include "log/LogManager.h"
#include "log_test_support.h"

using logtest::ClientSetup;
using logtest::LinesWith;
using logtest::UniqueText;
using testsupport::FileExists;

namespace {

std::string ProgramAndProcess()
{
    char text[64];
    snprintf(text, sizeof(text), "%8s:%lx", LogUtils::LogManager::Instance().programName,
             GetCurrentProcessId());
    return text;
}

std::string Today()
{
    time_t now = time(nullptr);
    char text[16];
    strftime(text, sizeof(text), "%Y%m%d", localtime(&now));
    return text;
}

// "mm-dd hh:mm:ss " at the start of a line.
bool StartsWithDateAndTime(const std::string& line)
{
    if (line.size() < 15)
        return false;
    for (size_t i = 0; i < 15; ++i) {
        char c = line[i];
        bool ok = i == 2 ? c == '-' : (i == 5 || i == 14) ? c == ' ' : (i == 8 || i == 11) ? c == ':' : isdigit(c) != 0;
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

TEST(LogConfig, NothingConfiguredGoesToTheTemporaryFolder)
{
    ClientSetup client(false);
    const std::wstring temp = testsupport::TempPath();
    std::string info = UniqueText("info"), notice = UniqueText("notice"), debug = UniqueText("debug");
    LOG_EVENT(Info, "Tolvane").Write("%s", info.c_str());
    LOG_EVENT(Notice, "Tolvane").Write(L"%hs", notice.c_str());
    LOG_EVENT(Debug, "Tolvane").Write("%s", debug.c_str());

    std::vector<std::string> lines = LinesWith(temp + L"zeAgent.log", info);
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(StartsWithDateAndTime(lines[0])) << lines[0];
    EXPECT_EQ(15u, lines[0].find("Info " + ProgramAndProcess() + " " + info)) << lines[0];
    EXPECT_TRUE(LinesWith(temp + L"zeNotices.log", info).empty());

    EXPECT_EQ(1u, LinesWith(temp + L"zeAgent.log", notice).size());
    EXPECT_EQ(1u, LinesWith(temp + L"zeNotices.log", notice).size());

    EXPECT_TRUE(LinesWith(temp + L"zeAgent.log", debug).empty());
    EXPECT_TRUE(LinesWith(temp + L"zeNotices.log", debug).empty());

    // bDebugEnable alone in the Log key widens the main log to Debug events.
    client.Log().SetDword(L"bDebugEnable", 1);
    std::string enabled = UniqueText("debug-enabled");
    LOG_EVENT(Debug, "Tolvane").Write("%s", enabled.c_str());
    EXPECT_EQ(1u, LinesWith(temp + L"zeAgent.log", enabled).size());
}

TEST(LogConfig, InstallFolderLongerThanItsBufferCountsAsMissing)
{
    ClientSetup client(false);
    client.root.SetString(L"szInstallDir", client.folder.Path() + L"\\" + std::wstring(280, L'a'));
    std::string text = UniqueText("long-install");
    LOG_EVENT(Error, "Tolvane").Write("%s", text.c_str());
    EXPECT_EQ(1u, LinesWith(testsupport::TempPath() + L"zeAgent.log", text).size());
    EXPECT_EQ(1u, LinesWith(testsupport::TempPath() + L"zeNotices.log", text).size());
}

TEST(LogConfig, DefaultSinksInTheInstallFolder)
{
    ClientSetup client;
    const wchar_t* files[] = {L"zeAgent.log", L"zeNotices.log", L"Brisko.log", L"TavrelOASDetection.log"};
    struct Case {
        const char* category;
        LogUtils::LogLevel level;
        std::set<std::wstring> receivers;
    } cases[] = {
        {"Tolvane", LogUtils::Info, {L"zeAgent.log"}},
        {"Wexmoor", LogUtils::Notice, {L"zeAgent.log", L"zeNotices.log"}},
        {"Tolvane", LogUtils::Debug, {}},
        {"Brisko", LogUtils::Info, {L"Brisko.log"}},
        {"Brisko", LogUtils::Debug, {L"Brisko.log"}},
        {"Brisko", LogUtils::Error, {L"zeNotices.log", L"Brisko.log"}},
        {"TavrelOASDetection", LogUtils::Debug, {L"TavrelOASDetection.log"}},
        {"TavrelOASDetection", LogUtils::Alert, {L"zeNotices.log", L"TavrelOASDetection.log"}},
        {"", LogUtils::Emergency, {L"zeAgent.log", L"zeNotices.log"}},
    };
    for (const Case& c : cases) {
        std::string text = UniqueText(c.category);
        LogUtils::LogEvent(__FILE__, __LINE__, c.level, c.category).Write("%s", text.c_str());
        for (const wchar_t* file : files) {
            size_t expected = c.receivers.count(file);
            EXPECT_EQ(expected, LinesWith(client.folder.Join(file), text).size())
                << testsupport::Narrow(file) << " for " << c.category << "." << LogUtils::LevelName(c.level);
        }
    }
    // The debugger-less formats of the component logs carry no level name.
    std::vector<std::string> brisko = client.Lines(L"Brisko.log");
    ASSERT_FALSE(brisko.empty());
    EXPECT_EQ(15u, brisko[0].find(ProgramAndProcess() + " Brisko-")) << brisko[0];
}

TEST(LogConfig, MainLogNameFromTheRegistry)
{
    struct Case {
        const wchar_t* activity;      // nullptr: no value
        const wchar_t* mainLogValue;  // the "<activity>Log" value, nullptr: none
        const wchar_t* lastVersion;   // nullptr: none
        std::string expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, "zeAgent.log"},
        {L"", nullptr, nullptr, "zeAgent.log"},
        {L"zeUpdate", nullptr, L"5.1", "zeUpdate.log"},
        {L"zeInstall", nullptr, nullptr, "zeInstall" + Today() + "000000.log"},
        {L"zeuninstall", nullptr, L"4.2.1", "zeuninstall4.2.1.log"},
        {L"zeAgent", L"agent-main.log", nullptr, "agent-main.log"},
        {L"zeUpdate", L"upd<dt>ignored.txt", L"7.0", "upd7.0.log"},
    };
    for (const Case& c : cases) {
        ClientSetup client;
        if (c.activity)
            client.Log().SetString(L"szCurrentActivityType", c.activity);
        if (c.mainLogValue)
            client.Log().SetString(std::wstring(c.activity) + L"Log", c.mainLogValue);
        if (c.lastVersion)
            client.Log().SetString(L"szLastVersion", c.lastVersion);
        std::string text = UniqueText("main");
        LOG_EVENT(Warning, "Tolvane").Write("%s", text.c_str());
        EXPECT_EQ(1u, LinesWith(client.folder.Join(testsupport::Wide(c.expected)), text).size())
            << c.expected;
    }
}

TEST(LogConfig, ActivityTypeNamesItsIniFile)
{
    ClientSetup client;
    client.WriteIni("[a]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=other.log\n");
    client.WriteIni("[a]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=scan.log\n", L"scanCfg.ini");
    client.Log().SetString(L"szCurrentActivityType", L"zeScan");
    client.Log().SetString(L"zeScan", L"scanCfg.ini");
    LOG_EVENT(Debug, "Tolvane").Write("to scan");
    EXPECT_EQ(std::vector<std::string>{"to scan"}, client.Lines(L"scan.log"));
    EXPECT_FALSE(FileExists(client.folder.Join(L"other.log")));

    // An ini file named by the activity type that does not exist: built-in sinks.
    client.Log().SetString(L"zeScan", L"missing.ini");
    std::string text = UniqueText("no-ini");
    LOG_EVENT(Info, "Tolvane").Write("%s", text.c_str());
    EXPECT_EQ(1u, LinesWith(client.folder.Join(L"zeScan.log"), text).size());
}

TEST(LogConfig, IniSectionsInOrder)
{
    ClientSetup client;
    client.Log().SetString(L"szLastVersion", L"9.9");
    client.WriteIni(
        "[first]\nfilter=*.Info\nformat=%l|%f|%m\ntype=file\nfilename=one.log\n"
        "[second]\nfilter=~Tolvane.Debug   *.Warning\ntype=FILE\nformat=%m\nfilename=two.log\n"
        "[no format]\nfilter=*.Debug\ntype=file\nfilename=empty<dt>ignored.txt\n");
    LOG_EVENT(Info, "Tolvane").Write("m1");
    LOG_EVENT(Error, "Wexmoor").Write("m2");
    LOG_EVENT(Emergency, "Tolvane").Write("m3");
    EXPECT_EQ((std::vector<std::string>{"Info|Tolvane|m1", "Error|Wexmoor|m2", "Emergency|Tolvane|m3"}),
              client.Lines(L"one.log"));
    EXPECT_EQ(std::vector<std::string>{"m2"}, client.Lines(L"two.log"));
    EXPECT_EQ(std::string("\r\n\r\n\r\n"), testsupport::ReadFileBytes(client.folder.Join(L"empty9.9.log")));
    EXPECT_FALSE(FileExists(client.folder.Join(L"zeAgent.log")));
}

TEST(LogConfig, SizeLimitOfAFileSection)
{
    const std::string second = "[second]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=second.log\n";
    struct Case {
        std::string ini;
        DWORD agentLimit;   // 0: no "dwMaxLogfileSize"
        bool restarted;     // second.log (1500 bytes before) is started anew
    } cases[] = {
        {"[first]\nfilter=*.Debug\ntype=file\nmaxsize=1000\nfilename=first.log\n" + second, 0, true},
        {second, 1000, true},
        {second, 0, false},                                       // 2 MiB
        {"[s]\nfilter=*.Debug\ntype=file\nformat=%m\nmaxsize=4000\nfilename=second.log\n", 1000, false},
    };
    for (const Case& c : cases) {
        ClientSetup client;
        client.WriteIni(c.ini);
        if (c.agentLimit)
            client.Agent().SetDword(L"dwMaxLogfileSize", c.agentLimit);
        testsupport::WriteFileBytes(client.folder.Join(L"second.log"), std::string(1500, 'x'));
        LOG_EVENT(Info, "Tolvane").Write("fresh");
        std::string content = testsupport::ReadFileBytes(client.folder.Join(L"second.log"));
        if (c.restarted)
            EXPECT_EQ("fresh\r\n", content) << c.ini;
        else
            EXPECT_EQ(1507u, content.size()) << c.ini;
    }
}

TEST(LogConfig, IniWithoutSectionsSendsTheEventNowhere)
{
    for (const char* text : {"", "filter=*.Debug\ntype=file\nfilename=x.log\n"}) {
        ClientSetup client;
        client.WriteIni(text);
        LogUtils::LogEvent event = logtest::FixedEvent(LogUtils::Emergency, "Tolvane", "nowhere");
        EXPECT_FALSE(LogUtils::LogManager::Instance().Dispatch(event));
        LOG_EVENT(Emergency, "Tolvane").Write("nowhere");
        EXPECT_FALSE(FileExists(client.folder.Join(L"zeAgent.log")));
        EXPECT_FALSE(FileExists(client.folder.Join(L"x.log")));
    }
}

TEST(LogConfig, BadSectionsDoNotStopTheOthers)
{
    ClientSetup client;
    client.WriteIni(
        "[no filter]\ntype=file\nformat=%m\nfilename=nofilter.log\n"
        "[unknown type]\nfilter=*.Debug\ntype=printer\nformat=%m\nfilename=unknown.log\n"
        "[negative]\nfilter=*.Debug\ntype=file\nmaxsize=-1\nformat=%m\nfilename=negative.log\n"
        "[huge]\nfilter=*.Debug\ntype=file\nmaxsize=99999999999999999999\nformat=%m\nfilename=huge.log\n"
        "[odd format]\nfilter=*.Debug\ntype=file\nformat=%m%q%Z%\nfilename=odd.log\n"
        "[bad server]\nfilter=*.Debug\ntype=syslog\nserver=not-an-address\nformat=%m\n"
        "[no server]\nfilter=*.Debug\ntype=syslog\nformat=%m\n"
        "[long name]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=" + std::string(255, 'n') + ".log\n"
        "[folder]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=\n"
        "[missing folder]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=no\\such\\folder.log\n"
        "[last]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=last.log\n");
    LOG_EVENT(Debug, "Tolvane").Write("e1");
    LOG_EVENT(Info, "Wexmoor").Write("e2");
    EXPECT_FALSE(FileExists(client.folder.Join(L"nofilter.log")));
    EXPECT_FALSE(FileExists(client.folder.Join(L"unknown.log")));
    const std::vector<std::string> both = {"e1", "e2"};
    EXPECT_EQ(both, client.Lines(L"negative.log"));
    EXPECT_EQ(both, client.Lines(L"huge.log"));
    EXPECT_EQ(both, client.Lines(L"odd.log"));
    EXPECT_EQ(both, client.Lines(L"last.log"));
}

TEST(LogConfig, FilesThatDoNotFitThePathBufferAreSkipped)
{
    ClientSetup client;
    // An install folder of 240 characters: "zeNotices.log" still fits behind
    // it, "TavrelOASDetection.log" does not.
    std::wstring longName(239 - client.folder.Path().size(), L'f');
    std::wstring install = client.folder.MakeFolder(longName);
    ASSERT_EQ(240u, install.size());
    client.root.SetString(L"szInstallDir", install);
    std::string text = UniqueText("long-folder");
    LOG_EVENT(Error, "TavrelOASDetection").Write("%s", text.c_str());
    EXPECT_EQ(1u, LinesWith(install + L"\\zeNotices.log", text).size());
    EXPECT_FALSE(FileExists(install + L"\\TavrelOASDetection.log"));
}
