// tolvane-logcheck's rules, in-process: for each ini file the warnings it gives (and no others), and the files
// it routes an event to (the library's own routes: where its events land is LogConfig.IniSections').
#include <gtest/gtest.h>

#include <set>

#include "ChildProcess.h"
#include "LogCapture.h"
#include "LogCheck.h"
#include "TestInstall.h"

using namespace LogUtils;
using namespace testsupport;

TEST(LogCheck, IniFiles)
{
    const std::string body = "filter=*.Info\ntype=file\nformat=%m\n", a = "type=file\nformat=%m\nfilename=a.log\n";
    std::string many;   // 32 names of 15 characters: the last one ends exactly at byte 512 of the list
    for (int i = 0; i < 32; ++i)
        many += "[section-" + std::to_string(100 + i) + "abcd]\n" + body + "filename=many.log\n";
    struct { std::string ini; std::vector<std::string> warnings; std::set<std::string> landing; } cases[] = {
        {"[main]\n" + a, {"[main] no \"filter\""}, {}},
        {"[main]\nfilter=Tolvane:Warning\n" + a,
         {"[main] term \"Tolvane:Warning\" has no \".\"", "[main] the filter has no term that admits"}, {}},
        {"[main]\nfilter=*.Info\ntype=files\n", {"[main] type \"files\" is not file, outputdebugstring or syslog"}, {}},
        {"[main]\nfilter=*.Info\nformat=%m\n", {"[main] no \"type\""}, {}},
        {"[main]\n" + body + "filename=nowhere\\a.log\n", {"[main] the folder of"}, {}},
        {"", {"the ini file lists no section"}, {}},
        {"[main]\nfilter=*.Wraning\n" + a, {"[main] term \"*.Wraning\": \"Wraning\" is no level name"}, {"a.log"}},
        {"[main]\nfilter=~Brisko.Debug\n" + a, {"[main] the filter has no term that admits"}, {}},
        {"[e]\n" + body + "filename=e.log\nmaxsize=100000\n", {"[e] the archives of e.log are never pruned"}, {"e.log"}},
        {"[main]\n" + body + "filename=zeAgent.log\nmaxsize=0100000\n", {}, {"zeAgent.log"}},
        {"[a]\n" + body + "filename=zeAgent.log\nmaxsize=1MB\n", {"[a] maxsize \"1MB\" is read as 1: the size limit is"},
         {"zeAgent.log"}},
        {"[sys]\nfilter=*.Info\ntype=syslog\nformat=%m\nserver=loghost\n", {"[sys] server \"loghost\" is no dotted IPv4"}, {}},
        {"[main]\nfilter=*.Info\ntype=file\nfilename=a.log\n", {"[main] no \"format\""}, {"a.log"}},
        {many, {"[section-131abc] no \"filter\"", "[section-131abc] no \"type\"",   // the library's cut name
                "[section-131abcd] lies beyond the first 512 bytes of section names"}, {"many.log"}},
        {"-", {}, {"zeAgent.log", "zeNotices.log"}},
    };
    for (const auto& c : cases) {
        TestInstall client;
        const std::string folder = Narrow(client.folder.Path());
        if (c.ini != "-")
            client.WriteIni(c.ini);
        const LogEvent event = FixedEvent(Notice, "Wexmoor", "logcheck");
        const LogCheck::Findings findings = LogCheck::CheckConfiguration(true, &event);
        const std::vector<std::string>& got = findings.warnings.Lines();
        ASSERT_EQ(c.warnings.size(), got.size()) << c.ini << testing::PrintToString(got);
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ("warning: " + c.warnings[i], got[i].substr(0, 9 + c.warnings[i].size())) << c.ini;

        std::set<std::string> routed;
        for (const std::string& destination : findings.destinations)
            routed.insert(destination.substr(6 + folder.size()));   // "file <folder>\"
        EXPECT_EQ(c.landing, routed) << c.ini;
    }
}

// Without an installation folder the ini file is looked for at the root of the current drive; an
// installation folder that the ANSI code page cannot hold is never found.
TEST(LogCheck, InstallationFolder)
{
    TestInstall client(false);
    client.log.SetString(L"szCurrentActivityType", L"zeAgent");
    EXPECT_EQ("warning: the ini file is looked for at the root of the current drive: \\logCfg.Ini",
              LogCheck::CheckConfiguration(false, nullptr).warnings.Lines().at(1));
    client.root.SetString(L"szInstallDir", client.folder.Path() + L"\\\u6f22");
    EXPECT_EQ("warning: the installation folder cannot be written as ANSI text: the ini file is not found there "
              "and log archives fail", LogCheck::CheckConfiguration(false, nullptr).warnings.Lines().at(0));
}

// The program: warnings come after the report and make the exit code 1; arguments it cannot use, 2.
TEST(LogCheck, Program)
{
    TestInstall client;
    client.WriteIni("[main]\nfilter=*.Info\ntype=file\nformat=%m\n");
    const ChildResult run = RunChild(L"tolvane-logcheck.exe");
    const std::string end = "  format: \"%m\"\r\nwarning: [main] no \"filename\": the section writes nothing\r\n";
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ(end, run.output.substr(run.output.size() - std::min(end.size(), run.output.size())));
    EXPECT_NE(std::string::npos, RunChild(L"tolvane-logcheck.exe --help").output.find("--event Component.Level"));
    for (const wchar_t* args : {L" --event Wexmoor", L" --bogus"})   // an event without a level, an unknown option
        EXPECT_EQ(2u, RunChild(L"tolvane-logcheck.exe" + std::wstring(args)).exitCode);
}
