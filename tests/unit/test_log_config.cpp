// The log configuration read for every event: registry values, the logging ini file and the built-in sinks,
// seen in the files read back.
#include <gtest/gtest.h>

#include <regex>

#include "log/LogManager.h"
#include "ImportHook.h"
#include "LogCapture.h"
#include "TestInstall.h"

using namespace LogUtils;
using namespace testsupport;

namespace {
// Writes an event whose message no other test writes (the files may be shared); returns the message.
std::string WriteUnique(LogLevel level, const char* category)
{
    static int counter = 0;
    const std::string text = category + ("-" + std::to_string(GetCurrentProcessId())) + "-" +
                             std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    LogEvent(__FILE__, __LINE__, level, category).Write("%s", text.c_str());
    return text;
}
std::vector<std::string> LinesWith(const std::wstring& path, const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& line : ReadLines(path))
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    return found;
}
} // namespace

// The built-in sinks write into the install folder, or into the temporary folder when there is
// none; a file whose path does not fit the path buffer is skipped.
TEST(LogConfig, DefaultSinks)
{
    const wchar_t* files[] = {L"zeAgent.log", L"zeNotices.log", L"Brisko.log", L"TavrelOASDetection.log"};
    struct { const char* category; LogLevel level; unsigned int receivers; } cases[] = {   // bits of files[]
        {"Tolvane", Info, 1}, {"Wexmoor", Notice, 3}, {"Tolvane", Debug, 0}, {"Brisko", Debug, 4}, {"Brisko", Error, 6},
        {"TavrelOASDetection", Alert, 10},
    };
    const std::regex dateAndTime(R"(\d\d-\d\d \d\d:\d\d:\d\d )");
    char program[64];
    snprintf(program, sizeof(program), "%8s:%lx ", LogManager::Instance().programName, GetCurrentProcessId());
    for (const wchar_t* install : {L"", L"none", L"240"}) {
        testsupport::TestInstall client(!*install);
        std::wstring folder = *install ? TempPath() : client.folder.Path() + L"\\";
        if (install[0] == L'2') {   // "zeNotices.log" still fits behind it, "TavrelOASDetection.log" does not
            folder = client.folder.MakeFolder(std::wstring(239 - client.folder.Path().size(), L'f'));
            client.root.SetString(L"szInstallDir", folder);
            ASSERT_EQ(240u, folder.size());
            folder += L"\\";
        }
        for (const auto& c : cases) {
            const std::string text = WriteUnique(c.level, c.category);
            for (int f = 0; f < 4; ++f) {
                std::vector<std::string> lines = LinesWith(folder + files[f], text);
                EXPECT_EQ(install[0] == L'2' && f == 3 ? 0 : (c.receivers >> f) & 1, lines.size())
                    << Narrow(files[f]) << " for " << c.category << "." << LevelName(c.level);
                for (const std::string& line : lines) {   // the component logs' lines carry no level name
                    EXPECT_TRUE(std::regex_match(line.substr(0, 15), dateAndTime)) << line;
                    EXPECT_EQ((f < 2 ? LevelName(c.level) + std::string(" ") : "") + program + text, line.substr(15));
                }
            }
        }
        client.log.SetDword(L"bDebugEnable", 1);   // alone, it widens the main log to Debug events
        EXPECT_EQ(1u, LinesWith(folder + L"zeAgent.log", WriteUnique(Debug, "Tolvane")).size());
    }
}

// The main log's name, or the ini file in place of logCfg.Ini, from the Log
// key's values; an ini file that does not exist means the built-in sinks.
TEST(LogConfig, MainLogAndIniFileFromTheRegistry)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string today = std::to_string(now.wYear * 10000 + now.wMonth * 100 + now.wDay);
    const wchar_t *kActivity = L"szCurrentActivityType", *kVersion = L"szLastVersion";
    struct { std::vector<std::pair<const wchar_t*, const wchar_t*>> values; std::string expected; } cases[] = {
        {{}, "zeAgent.log"}, {{{kActivity, L""}}, "zeAgent.log"},
        {{{kActivity, L"zeInstall"}}, "zeInstall" + today + "000000.log"},
        {{{kActivity, L"zeuninstall"}, {kVersion, L"4.2.1"}}, "zeuninstall4.2.1.log"},
        {{{kActivity, L"zeUpdate"}, {L"zeUpdateLog", L"upd<dt>ignored.txt"}, {kVersion, L"7.0"}}, "upd7.0.log"},
        {{{kActivity, L"zeScan"}, {L"zeScan", L"scanCfg.ini"}}, "scan.log"},
    };
    for (const auto& c : cases) {
        testsupport::TestInstall client;
        WriteFileBytes(client.folder.Join(L"scanCfg.ini"), "[a]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=scan.log\n");
        for (const auto& value : c.values)
            client.log.SetString(value.first, value.second);
        EXPECT_EQ(1u, LinesWith(client.folder.Join(Wide(c.expected)), WriteUnique(Warning, "Tolvane")).size())
            << c.expected;
    }
}

// Ini files, each given the same three events: the lines that reach each file (none: no such file) and the debugger.
// Bad sections do not stop the others; without "maxsize" a section takes the one before, the Agent key's, or 2 MiB.
TEST(LogConfig, IniSections)
{
    static std::vector<std::string> debugger;
    struct Debugger { static void WINAPI Output(LPCSTR text) { debugger.push_back(text); } };
    testsupport::ImportHook hook("OutputDebugStringA", reinterpret_cast<void*>(&Debugger::Output));
    ASSERT_TRUE(hook.Installed());
    const std::string all = "filter=*.Debug\ntype=file\nformat=%m\n", second = "[second]\n" + all + "filename=second.log\n",
                      x1500(1500, 'x');   // second.log before each case
    const std::vector<std::string> none, every = {"e1", "e2", "e3"}, appended = {x1500 + "e1", "e2", "e3"};
    using Files = std::vector<std::pair<const wchar_t*, std::vector<std::string>>>;
    struct { std::string ini; DWORD agentLimit; Files files; } cases[] = {
        {"[first]\nfilter=*.Info\nformat=%l|%f|%m\ntype=file\nfilename=one.log\n"
         "[second]\nfilter=~Tolvane.Debug   *.Warning\ntype=FILE\nformat=%m\nfilename=two.log\n"
         "[no format]\nfilter=*.Debug\ntype=file\nfilename=empty<dt>ignored.txt\n"
         "[debugger]\nfilter=*.Error\ntype=outputdebugstring\nformat=%l %f %m\n", 0,
         {{L"one.log", {"Error|Wexmoor|e2", "Emergency|Tolvane|e3"}}, {L"two.log", {"e2"}},
          {L"empty9.9.log", {"", "", ""}}, {L"zeAgent.log", none}}},
        {"filter=*.Debug\ntype=file\nfilename=x.log\n", 0, {{L"zeAgent.log", none}, {L"x.log", none}}},  // no sections
        {"[no filter]\ntype=file\nformat=%m\nfilename=nofilter.log\n"
         "[unknown type]\nfilter=*.Debug\ntype=printer\nformat=%m\nfilename=unknown.log\n"
         "[negative]\nmaxsize=-1\n" + all + "filename=negative.log\n"
         "[folder]\n" + all + "filename=\n"
         "[last]\n" + all + "filename=last.log\n", 0,
         {{L"nofilter.log", none}, {L"unknown.log", none}, {L"negative.log", every}, {L"last.log", every}}},
        {"[first]\nmaxsize=1000\n" + all + "filename=first.log\n" + second, 0, {{L"second.log", every}}},
        {second, 1000, {{L"second.log", every}}},
        {second, 0, {{L"second.log", appended}}},
        {"[s]\nmaxsize=4000\n" + all + "filename=second.log\n", 1000, {{L"second.log", appended}}},
    };
    for (const auto& c : cases) {
        testsupport::TestInstall client;
        client.log.SetString(L"szLastVersion", L"9.9");
        if (c.agentLimit)
            client.agent.SetDword(L"dwMaxLogfileSize", c.agentLimit);
        client.WriteIni(c.ini);
        WriteFileBytes(client.folder.Join(L"second.log"), x1500);
        LOG_EVENT(Debug, "Tolvane").Write("e1");
        LOG_EVENT(Error, "Wexmoor").Write("e2");
        EXPECT_EQ(c.ini.find('[') != std::string::npos,
                  LogManager::Instance().Dispatch(testsupport::FixedEvent(Emergency, "Tolvane", "e3")));
        for (const auto& file : c.files) {
            EXPECT_EQ(file.second, client.Lines(file.first)) << Narrow(file.first) << " of\n" << c.ini;
            EXPECT_EQ(!file.second.empty(), FileExists(client.folder.Join(file.first))) << Narrow(file.first);
        }
    }
    EXPECT_EQ((std::vector<std::string>{"Error Wexmoor e2\n", "Emergency Tolvane e3\n"}), debugger);
}
