// The scan report through Tolvane.dll: a client writes reports into the
// upload folder of a temporary installation; the files are read back and
// compared with the report format.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "report_sandbox.h"
#include "tolvane.h"

using reporttest::ReportSandbox;
using testsupport::ReadFileBytes;

namespace {

const unsigned short* U(const wchar_t* text)
{
    return reinterpret_cast<const unsigned short*>(text);
}

std::wstring W(const unsigned short* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

std::string ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return reporttest::Utf8(name);
}

std::string BrowserVersion()
{
    wchar_t version[128] = {};
    DWORD bytes = sizeof(version) - sizeof(wchar_t);
    RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer", L"Version",
                 RRF_RT_REG_SZ, nullptr, version, &bytes);
    return reporttest::Utf8(version);
}

// The address line's value, checked to be a dotted IPv4 address.
std::string AddressIn(const std::string& report)
{
    const std::string marker = "<IPAddress value=\"";
    const size_t start = report.find(marker);
    if (start == std::string::npos)
        return "(none)";
    const size_t valueStart = start + marker.size();
    const std::string value = report.substr(valueStart, report.find('"', valueStart) - valueStart);
    int parts[4];
    char rest = 0;
    if (sscanf(value.c_str(), "%d.%d.%d.%d%c", &parts[0], &parts[1], &parts[2], &parts[3], &rest) != 4)
        return "(not an address: " + value + ")";
    return value;
}

// The values a sandbox installation reports, as set up by Configure.
void Configure(ReportSandbox& sandbox)
{
    sandbox.agent.SetString(L"szMachineID", L"0f8a4c2e-1b3d-4e5f-8a9b-0c1d2e3f4a5b");
    sandbox.agent.SetString(L"szCompanyKey", L"Kestrel Holdings");
    sandbox.agent.SetDword(L"dwGroupID", 42);
    sandbox.agent.SetString(L"szEmailAddress", L"scan.admin@example.com");
    sandbox.pelorin.SetString(L"AvDatVer", L"6071.0000");
    sandbox.pelorin.SetString(L"AvDatDate", L"2026/12/01");
    sandbox.pelorin.SetString(L"EngineVer", L"5400.1158");
}

std::string ExpectedHeader(const std::string& language, const std::string& address,
                           const std::string& cloudLookup, const std::string& peerServer)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
           "<Root>\r\n"
           "    <MachineID value=\"0f8a4c2e-1b3d-4e5f-8a9b-0c1d2e3f4a5b\" time=\"T\">\r\n"
           "        <MachineIDTZ value=\"Z\"/>\r\n"
           "        <MachineName value=\"" + ComputerName() + "\"/>\r\n"
           "        <EmailAddress value=\"scan.admin@example.com\"/>\r\n"
           "        <IPAddress value=\"" + address + "\"/>\r\n"
           "        <OSVersion value=\"Windows Vista,Build 7601,Service Pack 1\"/>\r\n"
           "        <IEVersion value=\"" + BrowserVersion() + "\"/>\r\n"
           "        <Software value=\"Halvane\" version=\"4,2,0,118\"/>\r\n"
           "        <SoftwareLanguageID value=\"" + language + "\"/>\r\n"
           "        <EngineVersion value=\"5400.1158\"/>\r\n"
           "        <DATVersion value=\"6071.0000\"/>\r\n"
           "        <DATDate value=\"2026/12/01\"/>\r\n"
           "        <AgentBuildVersion value=\"4.2.0.118\"/>\r\n"
           "        <ScannerBuildVersion value=\"4.2.1.37\"/>\r\n"
           "\t\t<HalcyraIsEnabled value=\"" + cloudLookup + "\" />\r\n"
           "        <KVBServerIsEnabled value=\"" + peerServer + "\"/>\r\n"
           "        <GroupID value=\"42\"/>\r\n"
           "        <Entitlement value=\"Kestrel Holdings\">\r\n";
}

struct ExpectedDetection {
    std::string virusName, itemName, itemType, status, statusId, virusType, virusTypeId,
        processName, exploitName;
};

std::string ExpectedBlock(const ExpectedDetection& d)
{
    return "            <VirusFound time=\"T\">\r\n"
           "                <VirusFoundTZ value=\"Z\"/>\r\n"
           "                <VirusName value=\"" + d.virusName + "\"/>\r\n"
           "                <FileName value=\"" + d.itemName + "\"/>\r\n"
           "\t\t\t\t<FileType value=\"" + d.itemType + "\"/>\r\n"
           "                <Status value=\"" + d.status + "\"/>\r\n"
           "                <StatusID value=\"" + d.statusId + "\"/>\r\n"
           "                <VirusType value=\"" + d.virusType + "\"/>\r\n"
           "                <VirusTypeID value=\"" + d.virusTypeId + "\"/>\r\n"
           "                <BofProcName value=\"" + d.processName + "\"/>\r\n"
           "                <BofModulName value=\"\"/>\r\n"
           "                <BofAPIName value=\"\"/>\r\n"
           "                <BofExploitName value=\"" + d.exploitName + "\"/>\r\n"
           "            </VirusFound>\r\n";
}

std::string ExpectedStatistics(const std::string& scanned, const std::string& infected)
{
    return "        <Statistics time=\"T\">\r\n"
           "            <StatisticsTZ value=\"Z\"/>\r\n"
           "            <FilesScanned value=\"" + scanned + "\"/>\r\n"
           "            <FilesInfected value=\"" + infected + "\"/>\r\n"
           "        </Statistics>\r\n"
           "        </Entitlement>\r\n"
           "    </MachineID>\r\n"
           "</Root>\r\n";
}

// The three detections of the language test and their texts per language.
struct LanguageCase {
    const char* name;
    const wchar_t* installed;   // resource library folder
    DWORD savedLcid;            // 0: none saved
    const char* abbreviation;
    const char* texts[6];       // Cleaned, File virus, Access denied, Spyware,
                                // Moved to quarantine, Tracking cookie
};

const LanguageCase kLanguageCases[] = {
    {"English", L"0409", 0, "ENU",
     {"Cleaned", "File virus", "Access denied", "Spyware", "Moved to quarantine", "Tracking cookie"}},
    {"German", L"0407", 0x0407, "DEU",
     {"Bereinigt", "Dateivirus", "Zugriff verweigert", "Spyware",
      "In Quarant\xC3\xA4ne verschoben", "Tracking-Cookie"}},
};

class ScanReportLanguage : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(ScanReportLanguage, WritesHeaderDetectionsAndStatisticsWithResourceTexts)
{
    const LanguageCase& language = GetParam();
    ReportSandbox sandbox;
    Configure(sandbox);
    testsupport::ScopedRegistryKey murmel(HKEY_LOCAL_MACHINE, reporttest::kMurmelConfigKey);
    murmel.SetDword(L"dwMurmel2ServerEnabled", 1);
    testsupport::ScopedRegistryKey mailScanner(HKEY_LOCAL_MACHINE,
                                               L"SOFTWARE\\Tavrel\\QXCORE\\Email Scanner");
    mailScanner.SetDword(L"HalcyraEnabled", 1);
    sandbox.InstallLanguage(language.installed);
    if (language.savedLcid)
        sandbox.user.SetDword(L"dwMUILCID", language.savedLcid);
    reporttest::ProductFiles products(L"zeAgtSvc.exe", L"zeOnAcc.dll");
    ASSERT_FALSE(testsupport::FileExists(sandbox.UploadFolder()));

    std::wstring temporaryName;
    {
        CScnXml report;
        EXPECT_EQ(L"", W(report.GetXmlFile()));
        EXPECT_EQ(0, report.XmlFileExist());
        ASSERT_EQ(1, report.Init(U(L"ignored")));
        temporaryName = W(report.GetXmlFile());
        EXPECT_NE(0, report.XmlFileExist());
        EXPECT_EQ(std::vector<std::wstring>{temporaryName.substr(temporaryName.rfind(L'\\') + 1)},
                  sandbox.Files(L"*.tmp"));

        CInfected file = {};
        file.itemName = U(L"C:\\Users\\Ann & Bob\\<odd>name's \"x\".exe");
        file.virusName = U(L"&<\"'>");
        file.flags = CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned;
        EXPECT_EQ(1, report.AddInfected(file));

        CInfected program = {};
        program.flags = CInfected::FlagProgram;
        program.detectionSubType = CInfected::SubTypeSpyware;
        program.actionCode = CInfected::ActionAccessDenied;
        EXPECT_EQ(1, report.AddInfected(program));

        CInfected cookie = {};
        cookie.itemName = U(L"ann@tracker.example/");
        cookie.virusName = U(L"Tracker.Cookie");
        cookie.flags = CInfected::FlagCookie | CInfected::FlagQuarantined;
        cookie.bofProcessName = U(L"svc<1>.exe");
        cookie.bofExploitName = U(L"x&y");
        EXPECT_EQ(1, report.AddInfected(cookie));

        report.SetNumScanned(7);
        report.SetNumScanned(1234);
    }

    const std::vector<std::wstring> reports = sandbox.Files(L"*.Xml");
    ASSERT_EQ(1u, reports.size());
    EXPECT_TRUE(sandbox.Files(L"*.tmp").empty());
    const std::wstring finalName = sandbox.UploadFolder() + L"\\" + reports[0];
    // folder \ CIO + 36-character GUID text + .tmp, then the same with .Xml
    const std::wstring prefix = sandbox.UploadFolder() + L"\\CIO";
    ASSERT_EQ(prefix.size() + 36 + 4, temporaryName.size());
    EXPECT_EQ(prefix, temporaryName.substr(0, prefix.size()));
    EXPECT_EQ(L".tmp", temporaryName.substr(temporaryName.size() - 4));
    EXPECT_EQ(temporaryName.substr(0, temporaryName.size() - 3) + L"Xml", finalName);

    const std::string report = ReadFileBytes(finalName);
    const std::string expected =
        ExpectedHeader(language.abbreviation, AddressIn(report), "1", "1") +
        ExpectedBlock({"&amp;&lt;&quot;&apos;&gt;", "C:\\Users\\Ann &amp; Bob\\oddname&apos;s \"x\".exe",
                       "File", language.texts[0], "20124", language.texts[1], "20119", "", ""}) +
        ExpectedBlock({"", "", "Other", language.texts[2], "20500", language.texts[3], "20208", "", ""}) +
        ExpectedBlock({"Tracker.Cookie", "ann@tracker.example/", "Cookie", language.texts[4], "20127",
                       language.texts[5], "20215", "svc&lt;1&gt;.exe", "x&amp;y"}) +
        ExpectedStatistics("1234", "3");
    EXPECT_EQ(expected, reporttest::MaskTimes(report));
}

INSTANTIATE_TEST_SUITE_P(Languages, ScanReportLanguage, ::testing::ValuesIn(kLanguageCases),
                         [](const ::testing::TestParamInfo<LanguageCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ScanReport, WithoutDetectionsHeaderIsFollowedByStatistics)
{
    ReportSandbox sandbox;
    Configure(sandbox);
    reporttest::ProductFiles products(L"zeAgtSvc.exe", L"zeOnAcc.dll");
    {
        CScnXml report;
        ASSERT_EQ(1, report.Init(nullptr));
        report.SetNumScanned(0xFFFFFFFFu);   // written as a signed number
    }
    const std::vector<std::wstring> reports = sandbox.Files(L"*.Xml");
    ASSERT_EQ(1u, reports.size());
    const std::string report = ReadFileBytes(sandbox.UploadFolder() + L"\\" + reports[0]);
    // No language is installed: the language of the interface is 0409.
    EXPECT_EQ(ExpectedHeader("ENU", AddressIn(report), "0", "0") + ExpectedStatistics("-1", "0"),
              reporttest::MaskTimes(report));
}

// Upload configurations under which no report can be made: Init fails, the
// object writes nothing more, and no file is left anywhere.
struct FailureCase {
    const char* name;
    bool setFolder;
    const wchar_t* folder;   // below the sandbox; null: the value stays missing
};

class ScanReportWithoutUploadFolder : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ScanReportWithoutUploadFolder, InitFailsAndNothingIsWritten)
{
    ReportSandbox sandbox;
    if (GetParam().folder)
        sandbox.upload.SetString(L"szUploadFrom", sandbox.folder.Join(GetParam().folder));
    else
        sandbox.upload.DeleteValue(L"szUploadFrom");
    {
        CScnXml report;
        EXPECT_EQ(0, report.Init(nullptr));
        CInfected detection = {};
        detection.virusName = U(L"EICAR");
        EXPECT_EQ(0, report.AddInfected(detection));
        EXPECT_EQ(0, report.AddInfected(detection));
        EXPECT_EQ(0, report.XmlFileExist());
        report.SetNumScanned(3);
    }
    EXPECT_FALSE(testsupport::FileExists(sandbox.UploadFolder()));
    EXPECT_FALSE(testsupport::FileExists(sandbox.folder.Join(L"Missing")));
}

const FailureCase kFailureCases[] = {
    {"FolderWithoutParent", true, L"Missing\\Upload"},
    {"NoUploadValue", false, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Configurations, ScanReportWithoutUploadFolder,
                         ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

// Detections added within one second carry times one second apart; only the
// previous detection is compared, so a third one takes the first one's time.
TEST(ScanReport, DetectionsWithinOneSecondAreMadeDistinct)
{
    ReportSandbox sandbox;
    bool sameSecond = false;
    for (int attempt = 0; attempt < 5 && !sameSecond; ++attempt) {
        std::vector<std::string> times;
        {
            CScnXml report;
            ASSERT_EQ(1, report.Init(nullptr));
            CInfected detection = {};
            SYSTEMTIME before, after;
            GetLocalTime(&before);
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(1, report.AddInfected(detection));
            GetLocalTime(&after);
            sameSecond = before.wSecond == after.wSecond && before.wMinute == after.wMinute;
        }
        const std::vector<std::wstring> reports = sandbox.Files(L"*.Xml");
        ASSERT_EQ(1u, reports.size());
        const std::wstring path = sandbox.UploadFolder() + L"\\" + reports[0];
        times = reporttest::TimeValues(ReadFileBytes(path));
        DeleteFileW(path.c_str());
        ASSERT_EQ(5u, times.size());   // header, three detections, statistics
        EXPECT_NE(times[1], times[2]);
        EXPECT_NE(times[2], times[3]);
        if (sameSecond) {
            EXPECT_EQ(times[1], times[3]);
            EXPECT_LT(times[1], times[2]);
        }
    }
    EXPECT_TRUE(sameSecond) << "three detections never fitted into one second";
}

} // namespace
