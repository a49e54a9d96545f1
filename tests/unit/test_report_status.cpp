// The report base class: the status that Init collects from the registry and the sample product files, with
// its fallbacks and records; the report files with their UTF-8 write and rename; the system-status report.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "ImportHook.h"
#include "TestInstall.h"
#include "LogCapture.h"
#include "tolvane/ReportBase.h"

using namespace testsupport;

namespace {

// A report of the test's own: writes a given text, and shows status placeholders as Init fills them.
struct ProbeReport : CReportBase {
    std::wstring content;
    int BuildReport(CMyString& text, void*) override { return text = content.c_str(), 1; }
    std::wstring Status(const wchar_t* placeholders)
    {
        CMyString text(placeholders);
        return Init(nullptr), ExpandStatusPlaceholders(text), text.c_str();
    }
};

// A new identifier is stored and then kept; an empty one is replaced.
TEST(ReportStatus, MachineIdentifierIsMadeOnceAndKept)
{
    TestInstall sandbox;
    const std::wstring identifier = ProbeReport().Status(L"%CPUID%");
    EXPECT_EQ(identifier, ProbeReport().Status(L"%CPUID%"));   // another object reads it back from the registry
    sandbox.agent.SetString(L"szMachineID", L"");
    const std::wstring made = ProbeReport().Status(L"%CPUID%");
    const std::wregex uuid(L"[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}");
    EXPECT_TRUE(std::regex_match(identifier, uuid) && std::regex_match(made, uuid) && made != identifier) << made;
}

// Fixed-size fields take a value of their type that fits, else stay empty; the group identifier is cut to nine
// characters; the cloud lookup is on when any of three scanners has it (the scan report shows the third).
TEST(ReportStatus, RegistryValuesFallbacksAndRecords)
{
    const std::wstring A = kClientAgentKey, P = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin", Q = L"SOFTWARE\\Tavrel\\QXCORE",
                       M = A + L"\\SubSystems\\zeMurmel\\Configuration", fits31(31, L'7'), fits511(511, L'c');
    const std::string notUninstalling = "Info Wexmoor UnInstall String = 0";
    const struct { std::wstring key; const wchar_t* name; DWORD type; std::wstring text; DWORD number;
                   const wchar_t* placeholder; std::wstring expected; std::vector<std::string> records; } cases[] = {
        {P, L"AvDatVer", REG_SZ, fits31, 0, L"%AVDATVERSION%", fits31, {}},
        {P, L"AvDatVer", REG_SZ, fits31 + L"7", 0, L"%AVDATVERSION%", L"", {}},
        {P, L"AvDatDate", REG_SZ, std::wstring(16, L'1'), 0, L"%AVDATDATE%", L"", {}},
        {A, L"szCompanyKey", REG_SZ, fits511, 0, L"%COMPANY%", fits511, {}},
        {A, L"szCompanyKey", REG_SZ, fits511 + L"c", 0, L"%COMPANY%", L"", {}},
        {A, L"szEmailAddress", REG_SZ, L"<a&b>'\"", 0, L"%EMAIL%", L"&lt;a&amp;b&gt;&apos;&quot;", {}},
        {A, L"dwGroupID", REG_DWORD, L"", 1234567890, L"%GROUPID%", L"123456789",
         {"Error Wexmoor StringCchPrintf Failed in GetGroupID", notUninstalling}},
        {A, L"dwGroupID", REG_DWORD, L"", 0xFFFFFFFB, L"%GROUPID%", L"-5", {}},
        {A, L"dwGroupID", REG_SZ, L"42", 0, L"%GROUPID%", L"", {}},
        {M, L"dwMurmel2ServerEnabled", REG_DWORD, L"", 0xFFFFFFFF, L"%KVBFLAG%", L"-1", {}},
        {kUploadConfigKey, L"dwUnInstalling", REG_DWORD, L"", 1, L"", L"", {"Info Wexmoor UnInstall String = 1"}},
        {P + L"\\OnDemand", L"HalcyraEnabled", REG_DWORD, L"", 1, L"%HALCYRASTATUS%", L"1", {}},
        {P + L"\\OnDemand", L"HalcyraEnabled", REG_DWORD, L"", 2, L"%HALCYRASTATUS%", L"0", {}},
        {Q + L"\\On Access Scanner", L"HalcyraEnabled", REG_DWORD, L"", 1, L"%HALCYRASTATUS%", L"1", {}},
    };
    for (const auto& c : cases) {
        TestInstall sandbox;
        const bool number = c.type == REG_DWORD;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, c.key.c_str(), c.name, c.type,
                        number ? static_cast<const void*>(&c.number) : c.text.c_str(),
                        number ? 4 : static_cast<DWORD>((c.text.size() + 1) * 2));
        LogCapture log;
        EXPECT_EQ(c.expected, ProbeReport().Status(c.placeholder)) << c.placeholder << " " << c.text.size();
        EXPECT_EQ(c.records.empty() ? std::vector<std::string>{notUninstalling} : c.records, log.Records("Wexmoor"));
    }
}

// The agent service without version information (product version and agent build fall back) and a scanner
// whose version is cut to its field; the scan report shows files with versions.
TEST(ReportStatus, VersionsOfTheProductFiles)
{
    TestInstall sandbox;
    ProductFiles files(L"zeAgtSvc_NoVersion.exe", L"zeOnAcc_LongVersion.dll");
    EXPECT_EQ(L"4.0.0.0||65535.65535.655", ProbeReport().Status(L"%SOFTVER%|%AGENTBUILDVERSION%|%SCANNERBUILDVERSION%"));
}

// The system-status report: named, created, written as UTF-8 and renamed, with its records in order (the line
// feeds that end some are dropped).
TEST(ReportFiles, WriteReportMakesAStatusReport)
{
    for (const wchar_t* content : {L"<Status>\u00fc\u20ac\U0001D11E</Status>", L""}) {
        TestInstall sandbox;
        LogCapture log;
        ProbeReport report;
        report.content = content;
        EXPECT_NE(0, report.WriteReport(nullptr));
        const std::wstring path = sandbox.OnlyReport();
        EXPECT_EQ(L".xml", path.substr(path.size() - 4));
        EXPECT_EQ(*content ? "<Status>\xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E</Status>" : "", ReadFileBytes(path));
        EXPECT_EQ((std::vector<std::string>{
                      "Info Wexmoor UnInstall String = 0", "Info Wexmoor zeUpload: GetReportFileName..",
                      "Info Wexmoor zeUpload: CreateXmlFile(" + Narrow(path.substr(0, path.size() - 4)) + ".tmp)..",
                      "Info Wexmoor zeUpload: WriteToXmlFile..", "Debug Wexmoor CreateFile()..",
                      "Debug Wexmoor  Starting to write to file.", "Debug Wexmoor Successfully written",
                      "Info Wexmoor Successfully written System Status XML Report"}),
                  log.Records("Wexmoor"));
    }
}

// Writers that find the upload folder missing at the same moment: the folder that another one made first (here
// it appears between the look and the creation) counts as made.
TEST(ReportFiles, UploadFolderMadeByAnotherWriterIsUsed)
{
    static decltype(&CreateDirectoryW) create;
    TestInstall sandbox;
    ImportHook hook("CreateDirectoryW", reinterpret_cast<void*>(+[](const wchar_t* path, SECURITY_ATTRIBUTES* security) {
        create(path, security);
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }));
    ASSERT_TRUE(hook.Installed());
    create = reinterpret_cast<decltype(create)>(hook.Original());
    wchar_t name[261] = {};
    EXPECT_TRUE(ProbeReport().GetReportFileName(name, 260) && ProbeReport().CreateXmlFile(name));
    EXPECT_EQ(1u, sandbox.Files(L"CIO*.tmp").size());
}

// A report that cannot be written is deleted; a name that cannot take ".xml" keeps the report.
TEST(ReportFiles, NamesAndFilesThatCannotBeUsed)
{
    TestInstall sandbox;
    const std::wstring path = sandbox.folder.Join(L"CIOtest.tmp");
    CMyString text(L"x");
    // Another process reads the file and lets nobody write it, but lets it be deleted.
    WriteFileBytes(path, "");
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(0, ProbeReport().WriteToXmlFile(path.c_str(), text));
    CloseHandle(reader);
    EXPECT_EQ(std::vector<std::wstring>{}, FileNames(sandbox.folder.Join(L"CIOtest.*")));

    // 517 characters without a full stop: ".xml" does not fit into 519.
    std::wstring temporary = sandbox.folder.MakeFolder(std::wstring(200, L'n') + L"\\" + std::wstring(200, L'n')) + L"\\";
    temporary.append(517 - temporary.size(), L'm');
    WriteFileBytes(temporary, "");
    LogCapture log;
    EXPECT_EQ(1, ProbeReport().WriteToXmlFile(temporary.c_str(), text));
    EXPECT_EQ("x", ReadFileBytes(temporary));
    EXPECT_EQ("Error Wexmoor StringCchCopy Failed in GetTokenCount", log.Records("Wexmoor").back());
}

} // namespace
