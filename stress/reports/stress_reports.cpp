// stress_reports [PROCESSES [REPORTS [COPY_FOLDER]]]: PROCESSES writer
// processes (default 4), released together by one event, each write REPORTS
// scan reports (default 25) with hostile names into the upload folder of a
// sandbox installation, which is missing at the start. The finished reports
// are copied into COPY_FOLDER, where stress_reports.sh checks each with
// xmllint, before the sandbox is removed. Prints the reports written; the
// exit code is 0 only when every report was written (and copied).
//
// Started with "--writer READY GO REPORTS" it is one writer: once released
// (ReleasedTogether.h) it writes its reports and returns the number that
// failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ReleasedTogether.h"
#include "TestInstall.h"
#include "tolvane.h"

namespace {

const unsigned short* U(const std::wstring& text) { return reinterpret_cast<const unsigned short*>(text.c_str()); }

// Names that the report's own escaping leaves unreadable to XML parsers.
const wchar_t* const kHostileNames[] = {
    L"C:\\Temp\\\"quoted\" & <angled>.exe", L"A&B\x01\x1F", L"\xFFFE\xD800 unpaired", L"&bogus; &#1; ]]> 'x'",
};

int WriteReports(int count)
{
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        CScnXml report;
        if (report.Init(nullptr) != 1) {
            ++failed;
            continue;
        }
        for (const wchar_t* name : kHostileNames) {
            const std::wstring item = std::wstring(name) + L" #" + std::to_wstring(i);
            CInfected detection = {};
            detection.itemName = detection.virusName = detection.bofProcessName = detection.bofExploitName = U(item);
            detection.flags = CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned;
            if (report.AddInfected(detection) != 1)
                ++failed;
        }
        report.SetNumScanned(static_cast<unsigned int>(i));
    }
    return failed;
}

// Starts the writers, lets them go at once and sums the failures.
int RunWriters(int processes, int reports)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::vector<DWORD> codes =
        testsupport::RunReleasedTogether(self, "--writer", std::to_string(reports), processes);
    int failed = (processes - static_cast<int>(codes.size())) * reports;
    for (DWORD code : codes)
        failed += static_cast<int>(code);
    return failed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--writer")
        return testsupport::WaitForRelease(argv[2], argv[3]) ? WriteReports(atoi(argv[4])) : atoi(argv[4]);
    const int processes = argc > 1 ? atoi(argv[1]) : 4, reports = argc > 2 ? atoi(argv[2]) : 25;
    const char* copyFolder = argc > 3 ? argv[3] : nullptr;
    if (processes <= 0 || reports <= 0)
        return 2;

    testsupport::TestInstall sandbox;   // registry and folders, removed again at the end
    sandbox.agent.SetString(L"szCompanyKey", L"Stress <\"Reports\"> & Sons");
    sandbox.agent.SetString(L"szEmailAddress", L"stress@example.com");
    sandbox.pelorin.SetString(L"EngineVer", L"1.0 <beta>");
    const int failed = RunWriters(processes, reports);

    const std::vector<std::wstring> written = sandbox.Files(L"*.Xml");
    const int leftover = static_cast<int>(sandbox.Files(L"*.tmp").size());
    int copied = 0;
    if (copyFolder != nullptr) {
        for (const std::wstring& report : written) {
            const std::wstring name = report.substr(report.rfind(L'\\') + 1);
            copied += CopyFileW(report.c_str(), (testsupport::Wide(copyFolder) + L"\\" + name).c_str(), FALSE) ? 1 : 0;
        }
    }
    printf("reports: %d processes x %d reports: written %d, failed %d, leftover .tmp %d, copied %d\n", processes,
           reports, static_cast<int>(written.size()), failed, leftover, copied);
    const bool complete = failed == 0 && leftover == 0 && static_cast<int>(written.size()) == processes * reports;
    return complete && (copyFolder == nullptr || copied == processes * reports) ? 0 : 1;
}
