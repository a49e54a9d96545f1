// report_name_race READY GO ROUNDS: a copy started by RunReleasedTogether. In each round, once released, it
// asks for a report name in the upload folder (which copies released together race to create) and creates
// that file; returns the number of refusals.
#include <cstdlib>

#include "ReleasedTogether.h"
#include "tolvane/ReportBase.h"

struct NameProbe : CReportBase {
    int BuildReport(CMyString&, void*) override { return 1; }
};

int main(int argc, char** argv)
{
    int refused = 0;
    NameProbe probe;
    for (int round = 0; argc > 3 && round < atoi(argv[3]); ++round) {
        wchar_t name[261] = {};
        if (!testsupport::WaitForRelease(argv[1], argv[2], round))
            return 101;
        refused += !probe.GetReportFileName(name, 260) || !probe.CreateXmlFile(name);
    }
    return argc > 3 ? refused : 100;
}
