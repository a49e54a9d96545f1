// The status collection of the reports: each getter against the registry,
// the sample product files and the platform, with its fallbacks and records.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../client/report_sandbox.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "report_probe.h"

using reporttest::ProbeReport;
using reporttest::ReportSandbox;

namespace {

bool HasRecord(const testsupport::LogCapture& log, LogUtils::LogLevel level, const std::string& message)
{
    for (const auto& event : log.events)
        if (event.level == level && event.category == "Wexmoor" && event.message == message)
            return true;
    return false;
}

TEST(ReportStatus, MachineIdentifierIsMadeOnceAndKept)
{
    ReportSandbox sandbox;
    ProbeReport first;
    first.GetCpuID();
    const std::wstring identifier = first.MachineId();
    ASSERT_EQ(36u, identifier.size());
    EXPECT_EQ(std::wstring::npos, identifier.find_first_not_of(L"0123456789abcdef-"));
    EXPECT_EQ(L'-', identifier[8]);

    wchar_t stored[64] = {};
    DWORD bytes = sizeof(stored);
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, reporttest::kAgentKey, L"szMachineID",
                                          RRF_RT_REG_SZ, nullptr, stored, &bytes));
    EXPECT_EQ(identifier, stored);

    ProbeReport second;
    second.GetCpuID();
    EXPECT_EQ(identifier, second.MachineId());

    sandbox.agent.SetString(L"szMachineID", L"");   // empty: a new one is made
    ProbeReport third;
    third.GetCpuID();
    EXPECT_EQ(36u, third.MachineId().size());
    EXPECT_NE(identifier, third.MachineId());
}

// Fixed-size fields from the registry: a value that does not fit leaves the
// field empty, other types are not read.
TEST(ReportStatus, RegistryTextFields)
{
    const struct {
        const wchar_t* key;
        const wchar_t* value;
        std::wstring data;
        DWORD type;
        std::wstring (ProbeReport::*field)() const;
        void (ProbeReport::*getter)();
        std::wstring expected;
    } cases[] = {
        {reporttest::kPelorinKey, L"AvDatVer", std::wstring(31, L'7'), REG_SZ, &ProbeReport::DatVersion,
         &ProbeReport::GetDatVersion, std::wstring(31, L'7')},
        {reporttest::kPelorinKey, L"AvDatVer", std::wstring(32, L'7'), REG_SZ, &ProbeReport::DatVersion,
         &ProbeReport::GetDatVersion, L""},
        {reporttest::kPelorinKey, L"AvDatDate", L"%DATE%", REG_EXPAND_SZ, &ProbeReport::DatDate,
         &ProbeReport::GetDatDate, L"%DATE%"},
        {reporttest::kPelorinKey, L"AvDatDate", std::wstring(16, L'1'), REG_SZ, &ProbeReport::DatDate,
         &ProbeReport::GetDatDate, L""},
        {reporttest::kPelorinKey, L"EngineVer", L"5400.1158", REG_SZ, &ProbeReport::EngineVersion,
         &ProbeReport::GetEngineVersion, L"5400.1158"},
        {reporttest::kPelorinKey, L"EngineVer", std::wstring(L"\x5\0\0\0", 2), REG_DWORD,
         &ProbeReport::EngineVersion, &ProbeReport::GetEngineVersion, L""},
        {reporttest::kAgentKey, L"szCompanyKey", std::wstring(511, L'c'), REG_SZ,
         &ProbeReport::Company, &ProbeReport::GetCompany, std::wstring(511, L'c')},
        {reporttest::kAgentKey, L"szCompanyKey", std::wstring(512, L'c'), REG_SZ,
         &ProbeReport::Company, &ProbeReport::GetCompany, L""},
    };
    for (const auto& c : cases) {
        ReportSandbox sandbox;
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, c.key, 0, KEY_SET_VALUE, &key));
        const DWORD bytes = c.type == REG_DWORD ? 4 : static_cast<DWORD>((c.data.size() + 1) * 2);
        RegSetValueExW(key, c.value, 0, c.type, reinterpret_cast<const BYTE*>(c.data.c_str()), bytes);
        RegCloseKey(key);
        ProbeReport report;
        (report.*c.getter)();
        EXPECT_EQ(c.expected, (report.*c.field)()) << c.value << " " << c.data.size();
    }
}

TEST(ReportStatus, GroupIdentifierIsCutToNineCharacters)
{
    const struct {
        DWORD value;
        bool asNumber;
        const wchar_t* expected;
        bool logged;
    } cases[] = {
        {42, true, L"42", false},
        {123456789, true, L"123456789", false},
        {1234567890, true, L"123456789", true},
        {0xFFFFFFFB, true, L"-5", false},
        {42, false, L"", false},
    };
    for (const auto& c : cases) {
        ReportSandbox sandbox;
        if (c.asNumber)
            sandbox.agent.SetDword(L"dwGroupID", c.value);
        else
            sandbox.agent.SetString(L"dwGroupID", L"42");
        testsupport::LogCapture log;
        ProbeReport report;
        report.GetGroupID();
        EXPECT_EQ(c.expected, report.GroupId());
        EXPECT_EQ(c.logged, HasRecord(log, LogUtils::Error, "StringCchPrintf Failed in GetGroupID"));
    }
}

TEST(ReportStatus, EmailAddressOrTheRunningAccountFullyEscaped)
{
    ReportSandbox sandbox;
    sandbox.agent.SetString(L"szEmailAddress", L"Ann & Bob <ab@example.com>'\"");
    ProbeReport configured;
    configured.GetEmailAddress();
    EXPECT_EQ(L"Ann &amp; Bob &lt;ab@example.com&gt;&apos;&quot;", configured.Email());

    wchar_t user[256] = {};
    DWORD size = 256;
    ASSERT_TRUE(GetUserNameW(user, &size));
    for (const wchar_t* stored : {L"", static_cast<const wchar_t*>(nullptr)}) {
        if (stored)
            sandbox.agent.SetString(L"szEmailAddress", stored);
        else
            sandbox.agent.DeleteValue(L"szEmailAddress");
        ProbeReport account;
        account.GetEmailAddress();
        const std::wstring email = account.Email();
        const size_t slash = email.find(L'\\');
        ASSERT_NE(std::wstring::npos, slash) << email;
        EXPECT_GT(slash, 0u);
        EXPECT_EQ(user, email.substr(slash + 1));
    }
}

TEST(ReportStatus, PlatformValues)
{
    ReportSandbox sandbox;
    ProbeReport report;
    report.GetMachineName();
    report.GetIPAddress();
    report.GetOSVersion();

    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    EXPECT_EQ(name, report.MachineName());

    unsigned int parts[4];
    wchar_t rest = 0;
    EXPECT_EQ(4, swscanf(report.IpAddress().c_str(), L"%u.%u.%u.%u%lc", &parts[0], &parts[1],
                         &parts[2], &parts[3], &rest))
        << testsupport::Narrow(report.IpAddress());

    // What this platform reports: 6.1, build 7601, "Service Pack 1".
    EXPECT_EQ(L"Windows Vista,Build 7601,Service Pack 1", report.OsVersion());
}

TEST(ReportStatus, NumbersAndTheirRecords)
{
    ReportSandbox sandbox;
    testsupport::ScopedRegistryKey murmel(HKEY_LOCAL_MACHINE, reporttest::kMurmelConfigKey);
    murmel.SetDword(L"dwMurmel2ServerEnabled", 0xFFFFFFFF);
    sandbox.upload.SetDword(L"dwUnInstalling", 1);
    testsupport::LogCapture log;
    ProbeReport report;
    report.GetMurmelServerFlag();
    report.GetUnInstallState();
    EXPECT_EQ(-1, report.MurmelServerFlag());
    EXPECT_EQ(1u, report.UnInstalling());
    EXPECT_TRUE(HasRecord(log, LogUtils::Info, "UnInstall String = 1"));

    murmel.SetString(L"dwMurmel2ServerEnabled", L"1");
    sandbox.upload.DeleteValue(L"dwUnInstalling");
    log.Clear();
    ProbeReport other;
    other.GetMurmelServerFlag();
    other.GetUnInstallState();
    EXPECT_EQ(0, other.MurmelServerFlag());
    EXPECT_TRUE(HasRecord(log, LogUtils::Info, "UnInstall String = 0"));
}

TEST(ReportStatus, CloudLookupFromAnyOfThreeScanners)
{
    const wchar_t* const keys[] = {
        L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin\\OnDemand",
        L"SOFTWARE\\Tavrel\\QXCORE\\On Access Scanner",
        L"SOFTWARE\\Tavrel\\QXCORE\\Email Scanner",
    };
    const struct {
        int values[3];   // -1: key missing
        int expected;
    } cases[] = {
        {{-1, -1, -1}, 0}, {{-1, -1, 1}, 1}, {{0, 2, 1}, 1},
        {{1, -1, -1}, 1},  {{0, 0, 0}, 0},   {{2, -1, 0}, 0},
    };
    for (const auto& c : cases) {
        ReportSandbox sandbox;
        for (int i = 0; i < 3; ++i) {
            if (c.values[i] < 0)
                continue;
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, keys[i], 0, nullptr, 0,
                                                     KEY_SET_VALUE, nullptr, &key, nullptr));
            const DWORD value = static_cast<DWORD>(c.values[i]);
            RegSetValueExW(key, L"HalcyraEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
            RegCloseKey(key);
        }
        ProbeReport report;
        EXPECT_EQ(c.expected, report.IsHalcyraEnabled())
            << c.values[0] << " " << c.values[1] << " " << c.values[2];
    }
}

// The versions of the agent service and the on-access scanner, read from the
// sample files placed in "<Program Files>\Tavrel\Halvane".
TEST(ReportStatus, VersionsOfTheProductFiles)
{
    const struct {
        const wchar_t* agent;
        const wchar_t* scanner;
        const wchar_t* productVersion;
        const wchar_t* agentVersion;
        const wchar_t* scannerVersion;
    } cases[] = {
        {L"zeAgtSvc.exe", L"zeOnAcc.dll", L"4,2,0,118", L"4.2.0.118", L"4.2.1.37"},
        {L"zeAgtSvc_NoVersion.exe", L"zeOnAcc_LongVersion.dll", L"4.0.0.0", L"", L"65535.65535.655"},
        {L"", L"", L"4.0.0.0", L"", L""},
    };
    for (const auto& c : cases) {
        reporttest::ProductFiles files(c.agent, c.scanner);
        ProbeReport report;
        report.GetSoftwareVersion();
        report.GetAgentBuildVersion();
        report.GetScannerBuildVersion();
        EXPECT_EQ(c.productVersion, report.SoftwareVersion()) << c.agent;
        EXPECT_EQ(c.agentVersion, report.AgentBuildVersion()) << c.agent;
        EXPECT_EQ(c.scannerVersion, report.ScannerBuildVersion()) << c.scanner;
    }
}

} // namespace
