// CScnXml inside the library: its log records, the report without a
// resource library, the object that was never initialised, and the partner
// header with the sample partner-build component (a real in-process COM
// server, registered here).
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../client/report_sandbox.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "tolvane/ScnXml.h"

using reporttest::ReportSandbox;
using testsupport::ReadLines;

namespace {

constexpr wchar_t kHelperClass[] = L"{6F1C2B9E-3A47-4D8B-9E21-5C0D7A4B8F13}";

struct Record {
    LogUtils::LogLevel level;
    std::string category;
    std::string message;
    bool operator==(const Record& other) const
    {
        return level == other.level && category == other.category && message == other.message;
    }
};

std::ostream& operator<<(std::ostream& out, const Record& r)
{
    return out << r.level << " " << r.category << " " << r.message;
}

std::vector<Record> Records(const testsupport::LogCapture& log)
{
    std::vector<Record> records;
    for (const auto& e : log.events)
        records.push_back({e.level, e.category, e.message});
    return records;
}

std::wstring OnlyReport(const ReportSandbox& sandbox)
{
    const std::vector<std::wstring> files = sandbox.Files(L"*.Xml");
    return files.size() == 1 ? sandbox.UploadFolder() + L"\\" + files[0] : L"";
}

TEST(ScanReportLibrary, ConstructionLogsAndReportsAMissingResourceLibrary)
{
    ReportSandbox sandbox;   // no language installed anywhere
    testsupport::LogCapture log;
    {
        CScnXml report;
    }
    const std::vector<Record> records = Records(log);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ((Record{LogUtils::Info, "Tolvane", "Testing: CScnXml::CScnXml(): Sizeof(TCHAR)=2"}),
              records[0]);
    EXPECT_EQ(LogUtils::Error, records[1].level);
    EXPECT_EQ("Tolvane", records[1].category);
    EXPECT_EQ(0u, records[1].message.find("Unable to get the resource DLL. Error: "));
    // The object was never initialised: the destructor's statistics write
    // fails and the delete has no name to work on.
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ((Record{LogUtils::Debug, "Wexmoor", "CFileName::Delete(): Attempt to delete undefined file"}),
              records[2]);
    EXPECT_EQ(LogUtils::Warning, records[3].level);
    EXPECT_EQ(0u, records[3].message.find("Failed to delete file"));

    sandbox.InstallLanguage(L"neutral");
    log.Clear();
    {
        CScnXml report;
        CInfected detection = {};
        EXPECT_EQ(0, report.AddInfected(detection));   // not initialised: the file is closed
    }
    ASSERT_FALSE(log.events.empty());
    for (const auto& event : log.events)
        EXPECT_NE(LogUtils::Error, event.level) << event.message;
}

TEST(ScanReportLibrary, WithoutResourceLibraryTextsAreEmptyAndIdentifiersStay)
{
    ReportSandbox sandbox;
    {
        CScnXml report;
        ASSERT_EQ(1, report.Init(nullptr));
        CInfected detection = {};
        detection.flags = CInfected::FlagFile | CInfected::FlagTrojan | CInfected::FlagDeleted;
        EXPECT_EQ(1, report.AddInfected(detection));
    }
    const std::vector<std::string> lines = ReadLines(OnlyReport(sandbox));
    ASSERT_EQ(20u + 14u + 8u, lines.size());
    EXPECT_EQ("                <Status value=\"\"/>", lines[25]);
    EXPECT_EQ("                <StatusID value=\"20126\"/>", lines[26]);
    EXPECT_EQ("                <VirusType value=\"\"/>", lines[27]);
    EXPECT_EQ("                <VirusTypeID value=\"20122\"/>", lines[28]);
}

// The sample partner-build component registered for one test, with the
// build information it tells (none when data is false).
class PartnerComponent {
public:
    explicit PartnerComponent(bool registered)
        : m_progId(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\TavrelToDrune.OEMHelper"),
          m_class(HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kHelperClass),
          data(HKEY_LOCAL_MACHINE, L"SOFTWARE\\TavrelToDrune")
    {
        if (!registered)
            return;
        HKEY key = nullptr;
        RegCreateKeyExW(m_progId.Handle(), L"CLSID", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kHelperClass),
                       static_cast<DWORD>((wcslen(kHelperClass) + 1) * 2));
        RegCloseKey(key);
        const std::wstring server = testsupport::ModuleFolder() + L"\\OEMHelper.dll";
        RegCreateKeyExW(m_class.Handle(), L"InprocServer32", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * 2));
        RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Both"), 10);
        RegCloseKey(key);
    }

    void Tell(const wchar_t* buildId, DWORD buildType, const wchar_t* partnerCode)
    {
        HKEY key = nullptr;
        RegCreateKeyExW(data.Handle(), L"OEMHelper", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExW(key, L"szBuildID", 0, REG_SZ, reinterpret_cast<const BYTE*>(buildId),
                       static_cast<DWORD>((wcslen(buildId) + 1) * 2));
        RegSetValueExW(key, L"dwBuildType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&buildType), 4);
        RegSetValueExW(key, L"szPartnerCode", 0, REG_SZ, reinterpret_cast<const BYTE*>(partnerCode),
                       static_cast<DWORD>((wcslen(partnerCode) + 1) * 2));
        RegCloseKey(key);
    }

private:
    testsupport::ScopedRegistryKey m_progId;
    testsupport::ScopedRegistryKey m_class;

public:
    testsupport::ScopedRegistryKey data;
};

struct PartnerCase {
    const char* name;
    bool partnerBuild;
    bool registered;
    bool told;
    DWORD buildType;
    bool comInitialised;
    const char* buildLine;   // null: the plain header
};

class PartnerHeader : public ::testing::TestWithParam<PartnerCase> {};

TEST_P(PartnerHeader, BuildLineFromThePartnerComponent)
{
    const PartnerCase& c = GetParam();
    ReportSandbox sandbox;
    if (c.partnerBuild)
        sandbox.agent.SetDword(L"bPartnerBuild", 1);
    PartnerComponent component(c.registered);
    if (c.told)
        component.Tell(L"B-2026.12", c.buildType, L"P&77");
    if (c.comInitialised) {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    {
        CScnXml report;
        EXPECT_EQ(1, report.Init(nullptr));
    }
    if (c.comInitialised)
        CoUninitialize();

    const std::vector<std::string> lines = ReadLines(OnlyReport(sandbox));
    if (!c.buildLine) {
        ASSERT_EQ(20u + 8u, lines.size());
        EXPECT_EQ("<Root>", lines[1]);
        EXPECT_EQ(0u, lines[2].find("    <MachineID value=\""));
        return;
    }
    ASSERT_EQ(22u + 8u, lines.size());
    EXPECT_EQ("<Root>", lines[1]);
    EXPECT_EQ(c.buildLine, lines[2]);
    EXPECT_EQ("\t</Build>", lines[3]);
    EXPECT_EQ(0u, lines[4].find("    <MachineID value=\""));
}

const PartnerCase kPartnerCases[] = {
    {"Oem", true, true, true, 0, true, "\t<Build ID=\"B-2026.12\" Type=\"OEM\" partnerCode=\"P&77\">"},
    {"Sbk", true, true, true, 1, true, "\t<Build ID=\"B-2026.12\" Type=\"SBK\" partnerCode=\"P&77\">"},
    {"Mnk", true, true, true, 2, true, "\t<Build ID=\"B-2026.12\" Type=\"MNK\" partnerCode=\"P&77\">"},
    {"OtherType", true, true, true, 7, true, "\t<Build ID=\"B-2026.12\" Type=\"NONE\" partnerCode=\"P&77\">"},
    {"ComponentFails", true, true, false, 0, true, "\t<Build ID=\"\" Type=\"\" partnerCode=\"\">"},
    {"NotRegistered", true, false, false, 0, true, "\t<Build ID=\"\" Type=\"\" partnerCode=\"\">"},
    {"ComNotInitialised", true, true, true, 1, false, "\t<Build ID=\"\" Type=\"\" partnerCode=\"\">"},
    {"NotAPartnerBuild", false, true, true, 1, true, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Builds, PartnerHeader, ::testing::ValuesIn(kPartnerCases),
                         [](const ::testing::TestParamInfo<PartnerCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
