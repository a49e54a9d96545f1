// report_name_race READY GO COUNT: says it is ready (releases the semaphore READY), waits until the event GO is set,
// then asks COUNT times for a report name in the upload folder and creates that file. Returns the number of
// refusals; several of these started together race to create a missing upload folder.
#include <windows.h>

#include <cstdlib>

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
    HANDLE ready = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, argv[1]);
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (ready == nullptr || go == nullptr)
        return 101;
    ReleaseSemaphore(ready, 1, nullptr);
    if (WaitForSingleObject(go, 60000) != WAIT_OBJECT_0)
        return 102;

    const int count = atoi(argv[3]);
    int refused = 0;
    NameProbe probe;
    for (int i = 0; i < count; ++i) {
        wchar_t name[261] = {};
        if (!probe.GetReportFileName(name, 260) || !probe.CreateXmlFile(name))
            ++refused;
    }
    CloseHandle(go);
    CloseHandle(ready);
    return refused;
}
