// Makes the compiler lay out every public class, and the vtables of the polymorphic ones, for their dumps.
#include <tolvane.h>

const unsigned sizes[] = {
    sizeof(CBuffer), sizeof(CMyString), sizeof(CPointerListNode), sizeof(CPointerList),
    sizeof(CSystemException), sizeof(CExcludeHelper), sizeof(COnAccExcl), sizeof(CInfected),
    sizeof(CReportFile), sizeof(CReportBase), sizeof(CScnXml), sizeof(TolvaneLogRecord), sizeof(Tolvane::LogCall),
};

// A call through the base, and a pointer to a virtual member of the final class (whose calls would
// otherwise be resolved without its vtable).
int CallThroughReportBase(CReportBase* report) { return report->WriteReport(nullptr); }
int (CScnXml::*scanReportInit)(const unsigned short*) = &CScnXml::Init;
