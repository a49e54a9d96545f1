// The report base class: each status getter against the registry, the sample
// product files and the platform, with its fallbacks and records; the report
// files with their UTF-8 write and rename; the system-status report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstall.h"
#include "LogCapture.h"
#include "tolvane/ReportBase.h"

using testsupport::TestInstall;
using testsupport::ReadFileBytes;

namespace {

// A report of the test's own: writes a given text and shows the status fields.
class ProbeReport : public CReportBase {
public:
    std::wstring content;

    int BuildReport(CMyString& text, void*) override { return text = content.c_str(), 1; }

    static std::wstring Text(const CMyString& s) { return s.HasText() ? s.c_str() : L"(no text)"; }

    // Runs the getter named (without "Get") and returns its field as text.
    std::wstring Get(const std::string& getter)
    {
        if (getter == "CpuID") return GetCpuID(), Text(m_machineId);
        if (getter == "Company") return GetCompany(), Text(m_company);
        if (getter == "EmailAddress") return GetEmailAddress(), Text(m_emailAddress);
        if (getter == "SoftwareVersion") return GetSoftwareVersion(), Text(m_softwareVersion);
        if (getter == "UnInstallState") return GetUnInstallState(), std::to_wstring(m_unInstalling);
        if (getter == "MurmelServerFlag") return GetMurmelServerFlag(), std::to_wstring(m_murmelServerFlag);
        if (getter == "DatVersion") return GetDatVersion(), m_datVersion;
        if (getter == "DatDate") return GetDatDate(), m_datDate;
        if (getter == "EngineVersion") return GetEngineVersion(), m_engineVersion;
        if (getter == "AgentBuildVersion") return GetAgentBuildVersion(), m_agentBuildVersion;
        if (getter == "ScannerBuildVersion") return GetScannerBuildVersion(), m_scannerBuildVersion;
        if (getter == "Halcyra") return std::to_wstring(IsHalcyraEnabled());
        return GetGroupID(), m_groupId;
    }
};

TEST(ReportStatus, MachineIdentifierIsMadeOnceAndKept)
{
    TestInstall sandbox;
    const std::wstring identifier = ProbeReport().Get("CpuID");
    ASSERT_EQ(36u, identifier.size());
    EXPECT_EQ(std::wstring::npos, identifier.find_first_not_of(L"0123456789abcdef-"));
    EXPECT_EQ(L'-', identifier[8]);
    wchar_t stored[64] = {};
    DWORD bytes = sizeof(stored);
    RegGetValueW(HKEY_LOCAL_MACHINE, testsupport::kClientAgentKey, L"szMachineID", RRF_RT_REG_SZ, nullptr, stored, &bytes);
    EXPECT_EQ(identifier, stored);
    EXPECT_EQ(identifier, ProbeReport().Get("CpuID"));
    sandbox.agent.SetString(L"szMachineID", L"");   // empty: a new one is made
    EXPECT_EQ(36u, ProbeReport().Get("CpuID").size());
    EXPECT_NE(identifier, ProbeReport().Get("CpuID"));
}

// Fixed-size fields take a value of their type that fits, else stay empty;
// the group identifier is cut to nine characters; the cloud lookup is on when
// any of three scanners has it.
TEST(ReportStatus, RegistryValuesFallbacksAndRecords)
{
    const std::wstring A = testsupport::kClientAgentKey, P = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin",
                       M = A + L"\\SubSystems\\zeMurmel\\Configuration", U = testsupport::kUploadConfigKey,
                       Q = L"SOFTWARE\\Tavrel\\QXCORE\\", fits31(31, L'7'), fits511(511, L'c');
    const struct { std::wstring key; const wchar_t* name; DWORD type; /* 0: no value */ std::wstring text;
                   DWORD number; const char* getter; std::wstring expected; const char* record; } cases[] = {
        {P, L"AvDatVer", REG_SZ, fits31, 0, "DatVersion", fits31, nullptr},
        {P, L"AvDatVer", REG_SZ, fits31 + L"7", 0, "DatVersion", L"", nullptr},
        {P, L"AvDatDate", REG_EXPAND_SZ, L"%DATE%", 0, "DatDate", L"%DATE%", nullptr},
        {P, L"AvDatDate", REG_SZ, std::wstring(16, L'1'), 0, "DatDate", L"", nullptr},
        {P, L"EngineVer", REG_DWORD, L"", 5, "EngineVersion", L"", nullptr},
        {A, L"szCompanyKey", REG_SZ, fits511, 0, "Company", fits511, nullptr},
        {A, L"szCompanyKey", REG_SZ, fits511 + L"c", 0, "Company", L"", nullptr},
        {A, L"szEmailAddress", REG_SZ, L"Ann & Bob <ab@example.com>'\"", 0, "EmailAddress",
         L"Ann &amp; Bob &lt;ab@example.com&gt;&apos;&quot;", nullptr},
        {A, L"dwGroupID", REG_DWORD, L"", 123456789, "GroupID", L"123456789", nullptr},
        {A, L"dwGroupID", REG_DWORD, L"", 1234567890, "GroupID", L"123456789",
         "Error Wexmoor StringCchPrintf Failed in GetGroupID"},
        {A, L"dwGroupID", REG_DWORD, L"", 0xFFFFFFFB, "GroupID", L"-5", nullptr},
        {A, L"dwGroupID", REG_SZ, L"42", 0, "GroupID", L"", nullptr},
        {M, L"dwMurmel2ServerEnabled", REG_DWORD, L"", 0xFFFFFFFF, "MurmelServerFlag", L"-1", nullptr},
        {M, L"dwMurmel2ServerEnabled", REG_SZ, L"1", 0, "MurmelServerFlag", L"0", nullptr},
        {U, L"dwUnInstalling", REG_DWORD, L"", 1, "UnInstallState", L"1", "Info Wexmoor UnInstall String = 1"},
        {U, L"dwUnInstalling", 0, L"", 0, "UnInstallState", L"0", "Info Wexmoor UnInstall String = 0"},
        {P + L"\\OnDemand", L"HalcyraEnabled", REG_DWORD, L"", 1, "Halcyra", L"1", nullptr},
        {P + L"\\OnDemand", L"HalcyraEnabled", REG_DWORD, L"", 2, "Halcyra", L"0", nullptr},
        {Q + L"On Access Scanner", L"HalcyraEnabled", REG_DWORD, L"", 1, "Halcyra", L"1", nullptr},
        {Q + L"Email Scanner", L"HalcyraEnabled", REG_DWORD, L"", 1, "Halcyra", L"1", nullptr},
        {Q + L"Email Scanner", L"HalcyraEnabled", 0, L"", 0, "Halcyra", L"0", nullptr},
    };
    for (const auto& c : cases) {
        TestInstall sandbox;
        const bool number = c.type == REG_DWORD;
        if (c.type)
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, c.key.c_str(), c.name, c.type,
                            number ? static_cast<const void*>(&c.number) : c.text.c_str(),
                            number ? 4 : static_cast<DWORD>((c.text.size() + 1) * 2));
        testsupport::LogCapture log;
        EXPECT_EQ(c.expected, ProbeReport().Get(c.getter)) << c.getter << " " << c.text.size();
        EXPECT_EQ(c.record ? std::vector<std::string>{c.record} : std::vector<std::string>{}, log.Records("Wexmoor"));
    }
}

// The versions of the agent service and the on-access scanner without
// version information (the scan report shows the ones with).
TEST(ReportStatus, VersionsOfTheProductFiles)
{
    const wchar_t* const cases[][5] = {// agent, scanner, product, agent and scanner versions
        {L"zeAgtSvc_NoVersion.exe", L"zeOnAcc_LongVersion.dll", L"4.0.0.0", L"", L"65535.65535.655"},
        {L"", L"", L"4.0.0.0", L"", L""},
    };
    for (const auto& c : cases) {
        testsupport::ProductFiles files(c[0], c[1]);
        ProbeReport report;
        EXPECT_EQ(c[2], report.Get("SoftwareVersion")) << c[0];
        EXPECT_EQ(c[3], report.Get("AgentBuildVersion")) << c[0];
        EXPECT_EQ(c[4], report.Get("ScannerBuildVersion")) << c[1];
    }
}

// The system-status report: named, created, written as UTF-8 and renamed,
// with its records in order (the line feeds that end some are dropped).
TEST(ReportFiles, WriteReportMakesAStatusReport)
{
    for (const wchar_t* content : {L"<Status>\u00fc\u20ac\U0001D11E</Status>", L""}) {
        TestInstall sandbox;
        testsupport::LogCapture log;
        ProbeReport report;
        report.content = content;
        EXPECT_NE(0, report.WriteReport(nullptr));
        ASSERT_EQ(1u, sandbox.Files().size());
        const std::wstring path = sandbox.Files()[0];
        EXPECT_EQ(L".xml", path.substr(path.size() - 4));
        EXPECT_EQ(*content ? "<Status>\xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E</Status>" : "", ReadFileBytes(path));
        const std::vector<std::string> expected = {
            "Info Wexmoor zeUpload: GetReportFileName..",
            "Info Wexmoor zeUpload: CreateXmlFile(" + testsupport::Narrow(path.substr(0, path.size() - 4)) + ".tmp)..",
            "Info Wexmoor zeUpload: WriteToXmlFile..", "Debug Wexmoor CreateFile()..",
            "Debug Wexmoor  Starting to write to file.", "Debug Wexmoor Successfully written",
            "Info Wexmoor Successfully written System Status XML Report"};
        const std::vector<std::string> records = log.Records("Wexmoor");
        ASSERT_GE(records.size(), expected.size());
        EXPECT_EQ(expected, std::vector<std::string>(records.end() - expected.size(), records.end()));
    }
}

// A report that cannot be written is deleted; an existing file is not
// created again; a name that cannot take ".xml" keeps the report.
TEST(ReportFiles, NamesAndFilesThatCannotBeUsed)
{
    TestInstall sandbox;
    const std::wstring path = sandbox.folder.Join(L"CIOtest.tmp");
    CMyString text(L"x");
    // Another process reads the file and lets nobody write it, but lets it be deleted.
    testsupport::WriteFileBytes(path, "");
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_EQ(0, ProbeReport().WriteToXmlFile(path.c_str(), text));
    CloseHandle(reader);
    EXPECT_FALSE(testsupport::FileExists(path));
    EXPECT_FALSE(testsupport::FileExists(sandbox.folder.Join(L"CIOtest.xml")));
    testsupport::WriteFileBytes(path, "kept");
    testsupport::LogCapture log;
    EXPECT_EQ(0, ProbeReport().CreateXmlFile(path.c_str()));
    EXPECT_EQ("kept", ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"Error Wexmoor Failed to create file [error 80]"}, log.Records("Wexmoor"));

    // 517 characters without a full stop: ".xml" does not fit into 519.
    std::wstring temporary =
        sandbox.folder.MakeFolder(std::wstring(200, L'n') + L"\\" + std::wstring(200, L'n')) + L"\\";
    temporary.append(517 - temporary.size(), L'm');
    testsupport::WriteFileBytes(temporary, "");
    EXPECT_EQ(1, ProbeReport().WriteToXmlFile(temporary.c_str(), text));
    EXPECT_EQ("x", ReadFileBytes(temporary));
    EXPECT_EQ("Error Wexmoor StringCchCopy Failed in GetTokenCount", log.Records("Wexmoor").back());
}

} // namespace
