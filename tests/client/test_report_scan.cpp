// The scan report through Tolvane.dll: a client writes reports into the upload folder of a temporary
// installation; the files are read back and compared with the report format.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "TestInstall.h"
#include "tolvane.h"

using namespace testsupport;

namespace {

const unsigned short* U(const wchar_t* text) { return reinterpret_cast<const unsigned short*>(text); }

// virus, item, item type, status and its identifier, virus type and its identifier, process, exploit
std::string ExpectedBlock(const std::vector<std::string>& v)
{
    const char* const tags[] = {"VirusName", "FileName", "FileType", "Status", "StatusID", "VirusType",
                                "VirusTypeID", "BofProcName", "BofModulName", "BofAPIName", "BofExploitName"};
    const std::string values[] = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], "", "", v[8]};
    std::string block = "            <VirusFound time=\"#\">\r\n                <VirusFoundTZ value=\"#\"/>\r\n";
    for (int i = 0; i < 11; ++i)
        block += (i == 2 ? "\t\t\t\t<" : "                <") + std::string(tags[i]) + " value=\"" + values[i] + "\"/>\r\n";
    return block + "            </VirusFound>\r\n";
}

// The resource library installed (null: none), the language saved (0: none), and the texts of Cleaned, File
// virus, Access denied, Spyware, Moved to quarantine and Tracking cookie.
const struct { const char* name; const wchar_t* installed; DWORD savedLcid; const char* abbreviation;
               const char* texts[6]; } kLanguageCases[] = {
    {"German", L"0407", 0x0407, "DEU",
     {"Bereinigt", "Dateivirus", "Zugriff verweigert", "Spyware", "In Quarant\xC3\xA4ne verschoben", "Tracking-Cookie"}},
    {"NoResourceLibrary", nullptr, 0, "ENU", {"", "", "", "", "", ""}},   // the identifiers stay
};

TEST(ScanReport, WritesHeaderDetectionsAndStatisticsWithResourceTexts)
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {}, browser[128] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1, bytes = sizeof(browser) - sizeof(wchar_t);
    GetComputerNameW(name, &size);
    RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer", L"Version", RRF_RT_REG_SZ,
                 nullptr, browser, &bytes);
    for (const auto& language : kLanguageCases) {
        SCOPED_TRACE(language.name);
        TestInstall sandbox;
        for (auto value : {std::make_pair(L"szMachineID", L"0f8a4c2e-1b3d-4e5f-8a9b-0c1d2e3f4a5b"),
                           {L"szCompanyKey", L"Kestrel Holdings"}, {L"szEmailAddress", L"scan.admin@example.com"}})
            sandbox.agent.SetString(value.first, value.second);
        for (auto value : {std::make_pair(L"AvDatVer", L"6071.0000"), {L"AvDatDate", L"2026/12/01"},
                           {L"EngineVer", L"5400.1158"}})
            sandbox.pelorin.SetString(value.first, value.second);
        sandbox.agent.SetDword(L"dwGroupID", 42);
        sandbox.murmel.SetDword(L"dwMurmel2ServerEnabled", 1);
        const DWORD one = 1;
        RegSetKeyValueW(sandbox.qxcore.Handle(), L"Email Scanner", L"HalcyraEnabled", REG_DWORD, &one, 4);
        if (language.installed)
            sandbox.InstallResourceLibrary(language.installed);
        if (language.savedLcid)
            sandbox.user.SetDword(L"dwMUILCID", language.savedLcid);
        ProductFiles products(L"zeAgtSvc.exe", L"zeOnAcc.dll");

        const std::wstring huge(20000, L'<');   // all to be escaped
        std::wstring temporaryName;
        bool sameSecond;
        {
            CScnXml report;
            ASSERT_EQ(1, report.Init(U(L"ignored")));
            temporaryName = reinterpret_cast<const wchar_t*>(report.GetXmlFile());
            // The file exists and is the only temporary one.
            EXPECT_EQ(std::vector<std::wstring>(report.XmlFileExist(), temporaryName), sandbox.Files(L"*.tmp"));
            CInfected detections[] = {
                {U(L"C:\\Users\\Ann & Bob\\<odd>name's.exe"), U(L"&<\"'>"),
                 CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned, 0, 0, nullptr, nullptr},
                {nullptr, nullptr, CInfected::FlagProgram, CInfected::ActionAccessDenied, CInfected::SubTypeSpyware,
                 nullptr, nullptr},
                {U(L"ann@tracker.example/"), U(huge.c_str()), CInfected::FlagCookie | CInfected::FlagQuarantined, 0, 0,
                 U(L"svc<1>.exe"), U(L"x&y")}};
            SYSTEMTIME before, after;
            GetLocalTime(&before);
            for (CInfected& detection : detections)
                EXPECT_EQ(1, report.AddInfected(detection));
            GetLocalTime(&after);
            sameSecond = before.wSecond == after.wSecond && before.wMinute == after.wMinute;
            report.SetNumScanned(7);
            report.SetNumScanned(0xFFFFFFFFu);   // the last count, written as a signed number
        }

        // "<upload folder>\CIO" + 36-character GUID text + ".tmp", renamed to ".Xml"
        const std::wstring prefix = sandbox.UploadFolder() + L"\\CIO";
        EXPECT_EQ(prefix + temporaryName.substr(prefix.size(), 36) + L".tmp", temporaryName);
        EXPECT_EQ(std::vector<std::wstring>{temporaryName.substr(0, temporaryName.size() - 3) + L"Xml"}, sandbox.Files());

        const std::string report = ReadFileBytes(sandbox.OnlyReport());
        const char* const* t = language.texts;
        // Every time, time-zone bias and address is masked as "#".
        ASSERT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Root>\r\n"
                      "    <MachineID value=\"0f8a4c2e-1b3d-4e5f-8a9b-0c1d2e3f4a5b\" time=\"#\">\r\n"
                      "        <MachineIDTZ value=\"#\"/>\r\n        <MachineName value=\"" + Narrow(name) + "\"/>\r\n"
                      "        <EmailAddress value=\"scan.admin@example.com\"/>\r\n        <IPAddress value=\"#\"/>\r\n"
                      "        <OSVersion value=\"Windows Vista,Build 7601,Service Pack 1\"/>\r\n"
                      "        <IEVersion value=\"" + Narrow(browser) + "\"/>\r\n"
                      "        <Software value=\"Halvane\" version=\"4,2,0,118\"/>\r\n"
                      "        <SoftwareLanguageID value=\"" + language.abbreviation + "\"/>\r\n"
                      "        <EngineVersion value=\"5400.1158\"/>\r\n        <DATVersion value=\"6071.0000\"/>\r\n"
                      "        <DATDate value=\"2026/12/01\"/>\r\n        <AgentBuildVersion value=\"4.2.0.118\"/>\r\n"
                      "        <ScannerBuildVersion value=\"4.2.1.37\"/>\r\n\t\t<HalcyraIsEnabled value=\"1\" />\r\n"
                      "        <KVBServerIsEnabled value=\"1\"/>\r\n        <GroupID value=\"42\"/>\r\n"
                      "        <Entitlement value=\"Kestrel Holdings\">\r\n" +
                      ExpectedBlock({"&amp;&lt;&quot;&apos;&gt;", "C:\\Users\\Ann &amp; Bob\\oddname&apos;s.exe",
                                     "File", t[0], "20124", t[1], "20119", "", ""}) +
                      ExpectedBlock({"", "", "Other", t[2], "20500", t[3], "20208", "", ""}) +
                      ExpectedBlock({std::regex_replace(Narrow(huge), std::regex("<"), "&lt;"), "ann@tracker.example/",
                                     "Cookie", t[4], "20127", t[5], "20215", "svc&lt;1&gt;.exe", "x&amp;y"}) +
                      "        <Statistics time=\"#\">\r\n            <StatisticsTZ value=\"#\"/>\r\n"
                      "            <FilesScanned value=\"-1\"/>\r\n            <FilesInfected value=\"3\"/>\r\n"
                      "        </Statistics>\r\n        </Entitlement>\r\n    </MachineID>\r\n</Root>\r\n",
                  std::regex_replace(report, std::regex("(time=\")\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\"|(TZ value=\")"
                                                        "[+-]\\d+\"|(IPAddress value=\")\\d+(\\.\\d+){3}\""), "$1$2$3#\""));
        sandbox.KeepForXmlCheck(Wide(language.name));

        // Detections within one second are made distinct, each against the previous one only.
        std::vector<std::string> times;   // header, three detections, statistics
        for (size_t at = report.find("time=\""); at != std::string::npos; at = report.find("time=\"", at + 1))
            times.push_back(report.substr(at + 6, 19));
        EXPECT_TRUE(times[1] != times[2] && times[2] != times[3] &&
                    (!sameSecond || (times[1] == times[3] && times[1] < times[2]))) << times[1] << times[2] << times[3];
    }
}

// Upload configurations under which no report can be made: Init fails, the object writes nothing more, and no
// folder or file is left anywhere. A folder too long for a whole report name ("...\CIO<GUID>.tmp" over 260
// characters) stays empty, and no report lands beside it; the last error says why.
TEST(ScanReport, WithoutUsableUploadFolderInitFailsAndNothingIsWritten)
{
    for (int setup = 0; setup < 4; ++setup) {   // no key, no value, parent missing, too long
        TestInstall sandbox;
        const std::wstring longFolder = sandbox.folder.MakeFolder(L"Up.load") + L"\\" +
                                        std::wstring(220 - sandbox.folder.Path().size() - 8, L'x');
        switch (setup) {
        case 0: DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUploadConfigKey); break;
        case 1: sandbox.upload.DeleteValue(L"szUploadFrom"); break;
        case 2: sandbox.upload.SetString(L"szUploadFrom", sandbox.folder.Join(L"Missing\\Upload")); break;
        default: sandbox.upload.SetString(L"szUploadFrom", longFolder);
        }
        {
            CScnXml report;
            EXPECT_EQ(0, report.Init(nullptr)) << setup;
            EXPECT_TRUE(setup < 3 || GetLastError() == ERROR_FILENAME_EXCED_RANGE) << GetLastError();
            CInfected detection = {};
            wchar_t name[64] = {};   // inherited from CReportBase, named directly through the final class
            EXPECT_EQ(0, report.AddInfected(detection) + report.XmlFileExist() + report.GetReportFileName(name, 63));
            report.SetNumScanned(3);
        }
        EXPECT_TRUE(!FileExists(sandbox.UploadFolder()) && !FileExists(sandbox.folder.Join(L"Missing")) &&
                    !FileExists(sandbox.folder.Join(L"Up.Xml")) && FileNames(longFolder + L"\\*").empty()) << setup;
    }
}

} // namespace
