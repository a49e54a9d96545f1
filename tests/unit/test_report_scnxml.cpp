// CScnXml inside the library: its log records, the object that was never initialised, and the partner header.
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstall.h"
#include "LogCapture.h"
#include "tolvane/ScnXml.h"

using namespace testsupport;

namespace {

TEST(ScanReportLibrary, ConstructionLogsAndReportsAMissingResourceLibrary)
{
    TestInstall sandbox;   // no language installed anywhere
    LogCapture log;
    { CScnXml report; }
    // The object was never initialised: the destructor's statistics write fails and the delete has no name.
    const std::vector<std::string> records = log.Records();
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ("Info Tolvane Testing: CScnXml::CScnXml(): Sizeof(TCHAR)=2|Error Tolvane Unable to get the resource DLL. "
              "Error: |Debug Wexmoor CFileName::Delete(): Attempt to delete undefined file|Warning Wexmoor Failed to delete file",
              records[0] + "|" + records[1].substr(0, 53) + "|" + records[2] + "|" + records[3].substr(0, 37));
}

// The build line that the sample partner-build component (a real in-process COM server registered here) gives
// when it is registered, has its build information and COM is initialised; otherwise an empty one. The
// ampersand of the partner code starts no reference: it is made "&amp;".
TEST(ScanReportLibrary, PartnerHeaderFromThePartnerComponent)
{
    const std::string told = "\t<Build ID=\"B-2026.12\" Type=\"", code = "\" partnerCode=\"P&amp;77\">",
                      empty = "\t<Build ID=\"\" Type=\"\" partnerCode=\"\">";
    const struct { bool partnerBuild, registered, told; DWORD buildType; bool comInitialised;
                   std::string buildLine; /* empty: the plain header */ } cases[] = {
        {true, true, true, 0, true, told + "OEM" + code}, {true, true, true, 1, true, told + "SBK" + code},
        {true, true, true, 2, true, told + "MNK" + code}, {true, true, true, 7, true, told + "NONE" + code},
        {true, true, false, 0, true, empty},    // the component fails
        {true, false, false, 0, true, empty},   // not registered
        {true, true, true, 1, false, empty},    // COM not initialised
        {false, true, true, 1, true, ""},       // not a partner build
    };
    for (const auto& c : cases) {
        TestInstall sandbox;
        sandbox.agent.SetDword(L"bPartnerBuild", c.partnerBuild);
        PartnerComponent partner;
        if (c.registered)
            partner.Register();
        if (c.told)
            partner.Tell(L"B-2026.12", c.buildType, L"P&77");
        const bool com = c.comInitialised && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        EXPECT_EQ(1, CScnXml().Init(nullptr));
        if (com)
            CoUninitialize();
        const std::string report = ReadFileBytes(sandbox.OnlyReport()),   // the build lines come after <Root>
            head = "<Root>\r\n" + (c.buildLine.empty() ? "" : c.buildLine + "\r\n\t</Build>\r\n") + "    <MachineID value=\"";
        EXPECT_EQ(head, report.substr(report.find("\r\n") + 2, head.size())) << c.registered << c.told << c.comInitialised;
    }
}

} // namespace
