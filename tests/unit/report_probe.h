// A report of the test's own that shows the status fields of CReportBase
// and writes a given text as its content.
#pragma once

#include <string>

#include "tolvane/ReportBase.h"

namespace reporttest {

class ProbeReport : public CReportBase {
public:
    std::wstring content;
    int buildResult = 1;

    int BuildReport(CMyString& text, void* /*arg*/) override
    {
        text = content.c_str();
        return buildResult;
    }

    static std::wstring Text(const CMyString& s) { return s.HasText() ? s.c_str() : L"(no text)"; }

    std::wstring MachineId() const { return Text(m_machineId); }
    std::wstring MachineName() const { return Text(m_machineName); }
    std::wstring Company() const { return Text(m_company); }
    std::wstring IpAddress() const { return Text(m_ipAddress); }
    std::wstring Email() const { return Text(m_emailAddress); }
    std::wstring SoftwareVersion() const { return Text(m_softwareVersion); }
    unsigned int UnInstalling() const { return m_unInstalling; }
    std::wstring DatVersion() const { return m_datVersion; }
    std::wstring DatDate() const { return m_datDate; }
    std::wstring EngineVersion() const { return m_engineVersion; }
    std::wstring AgentBuildVersion() const { return m_agentBuildVersion; }
    std::wstring ScannerBuildVersion() const { return m_scannerBuildVersion; }
    std::wstring OsVersion() const { return m_osVersion; }
    std::wstring GroupId() const { return m_groupId; }
    int MurmelServerFlag() const { return m_murmelServerFlag; }
};

} // namespace reporttest
