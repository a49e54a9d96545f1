// report_name_race READY GO ROUNDS: a copy started by RunReleasedTogether. In each of ROUNDS rounds, once
// released, it asks for a report name in the upload folder and creates that file; returns the number of
// refusals. Copies released together race to create the upload folder when it is missing.
#include <windows.h>

#include <cstdlib>

#include "ReleasedTogether.h"
#include "tolvane/ReportBase.h"

namespace {

class NameProbe : public CReportBase {
public:
    int BuildReport(CMyString& /*content*/, void* /*arg*/) override { return 1; }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 100;
    const int rounds = atoi(argv[3]);
    int refused = 0;
    NameProbe probe;
    for (int round = 0; round < rounds; ++round) {
        if (!testsupport::WaitForRelease(argv[1], argv[2], round))
            return 101;
        wchar_t name[261] = {};
        if (!probe.GetReportFileName(name, 260) || !probe.CreateXmlFile(name))
            ++refused;
    }
    return refused;
}
