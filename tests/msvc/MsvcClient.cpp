// A client built with the Microsoft C++ ABI that uses every member of the
// exported classes through Tolvane.lib. The test script prepares the
// registry (the installation folder with the sample driver interface and
// resource libraries, the upload folder, the exclusion key) and checks the
// driver record and the reports on disk afterwards.
#include <tolvane.h>

#include "NoRuntime.h"

namespace {

const wchar_t kExcludeKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\MsvcClient";
const unsigned short* const kUnreadableKey = reinterpret_cast<const unsigned short*>(0x10);
// The log file mutex's name (without terminal services, as under Wine).
const wchar_t kLogMutexName[] = L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";

// Texts cross the interface as const unsigned short*.
const unsigned short* U(const wchar_t* text)
{
    return reinterpret_cast<const unsigned short*>(text);
}

const wchar_t* W(const unsigned short* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

// "<upload folder>\CIO....tmp", the name of a temporary report file.
bool IsTemporaryReport(const wchar_t* path)
{
    wchar_t start[600] = {};
    const int length = path ? lstrlenW(path) : 0;
    const int folder = static_cast<int>(GetEnvironmentVariableW(L"TOLVANE_UPLOAD", start, 580));
    lstrcatW(start, L"\\CIO");
    return folder > 0 && folder < 580 && length > folder + 8
        && CompareStringOrdinal(path, folder + 4, start, -1, FALSE) == CSTR_EQUAL
        && CompareStringOrdinal(path + length - 4, 4, L".tmp", 4, FALSE) == CSTR_EQUAL;
}

bool ItemsAre(unsigned short* const* items, const wchar_t* const* expected, unsigned count)
{
    for (unsigned i = 0; i < count; ++i)
        if (!items || !items[i] || lstrcmpW(W(items[i]), expected[i]) != 0)
            return false;
    return items && items[count] == nullptr;
}

// The exception of GetExcludeItems(keyName) seen by a structured handler:
// the code of a Microsoft C++ exception.
unsigned long CodeSeenByStructuredHandler(CExcludeHelper& helper)
{
    unsigned long code = 0;
    __try {
        helper.GetExcludeItems(kUnreadableKey);
    } __except (code = GetExceptionCode(), EXCEPTION_EXECUTE_HANDLER) {
    }
    return code;
}

// Before any event of the process has made the log file mutex, an event
// object takes its name: every log event that reaches a log file raises
// CSystemException with the HRESULT of ERROR_INVALID_HANDLE. The test's
// logging configuration sends only Wexmoor events to a file, so the report
// is constructed without one; WriteToXmlFile, reached through the vtable,
// logs one first thing. Inside the handler four more exceptions are raised
// and caught: the handler's own object keeps its code.
void CheckFailureThroughTheVtable()
{
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, kLogMutexName);
    CScnXml* report = New<CScnXml>();
    CExcludeHelper* helper = New<CExcludeHelper>();
    alignas(CMyString) unsigned char content[sizeof(CMyString)] = {};   // a string without text
    CReportBase* volatile base = report;   // unknown type: the call takes the vtable, not the member's name
    unsigned int outer = 0;
    int innerCaught = 0;
    try {
        base->WriteToXmlFile(L"C:\\missing.tmp", *reinterpret_cast<CMyString*>(content));
    } catch (const CSystemException& e) {
        CloseHandle(squatter);   // the log works again
        squatter = nullptr;
        for (int i = 0; i < 4; ++i) {
            try {
                helper->GetExcludeItems(kUnreadableKey);
            } catch (const CSystemException& inner) {
                innerCaught += inner.code == Tolvane::kStringFailure;
            }
        }
        outer = e.code;
    }
    Check(outer == 0x80070006, "vtable: a failing virtual member raises CSystemException with its code");
    Check(innerCaught == 4, "exception: four more raised and caught inside a handler");
    if (squatter)
        CloseHandle(squatter);
    delete helper;
    delete report;
}

void CheckExclusions()
{
    CExcludeHelper* helper = New<CExcludeHelper>();
    Check(helper->GetExcludeItems() == nullptr, "exclusion: no items before the first load");
    unsigned short* const* items = helper->GetExcludeItems(U(kExcludeKey));
    const wchar_t* const expected[] = {L"*.tmp", L"C:\\Temp", L"pagefile.sys"};
    Check(ItemsAre(items, expected, 3), "exclusion: the key's items, then the built-in one");
    Check(helper->GetExcludeItems() == items, "exclusion: the item array of the last load");

    const struct {
        const wchar_t* path;
        int excluded;
    } paths[] = {{L"C:\\Temp\\report.doc", 1}, {L"D:\\Data\\old.TMP", 1}, {L"D:\\Data\\new.txt", 0}, {L"C:\\pagefile.sys", 1}};
    bool answers = true;
    for (const auto& p : paths)
        answers = answers && helper->IsExcluded(U(p.path)) == p.excluded;
    Check(answers, "exclusion: IsExcluded answers for four paths");

    helper->Empty();
    Check(helper->GetExcludeItems() == nullptr, "exclusion: Empty drops the items");

    // Caught by reference, and within that handler raised again and caught by value.
    unsigned int outer = 0, inner = 0;
    bool otherType = false;
    try {
        helper->GetExcludeItems(kUnreadableKey);
    } catch (const CSystemException& e) {
        try {
            helper->GetExcludeItems(kUnreadableKey);
        } catch (CSystemException again) {
            inner = again.code;
        }
        outer = e.code;
    } catch (...) {
        otherType = true;
    }
    Check(outer == Tolvane::kStringFailure && !otherType, "exception: caught as const CSystemException& with 0x10001");
    Check(inner == Tolvane::kStringFailure, "exception: raised again in a handler, caught by value with 0x10001");
    Check(CodeSeenByStructuredHandler(*helper) == 0xE06D7363, "exception: a structured handler sees 0xE06D7363");
    Check(helper->IsExcluded(U(L"C:\\pagefile.sys")) == 1, "exclusion: usable after the exceptions");
    delete helper;
}

void CheckOnAccessExclusion()
{
    COnAccExcl* exclusion = New<COnAccExcl>();
    exclusion->ExcludeThisProcess(1);   // not connected: nothing is sent
    exclusion->Init();
    Check(GetModuleHandleW(L"Trennix.DLL") != nullptr, "on-access: Init loads the driver interface library");
    exclusion->ExcludeThisProcess(1);
    exclusion->ExcludeThisProcess(0);
    delete exclusion;
    Check(GetModuleHandleW(L"Trennix.DLL") == nullptr, "on-access: the destructor unloads it");
}

void CheckScanReport()
{
    CScnXml* report = New<CScnXml>();
    Check(report->XmlFileExist() == 0 && report->GetXmlFile() && *report->GetXmlFile() == 0,
          "report: no file before Init");
    Check(report->Init(nullptr) == 1, "report: Init");
    Check(report->XmlFileExist() != 0 && IsTemporaryReport(W(report->GetXmlFile())),
          "report: the temporary file in the upload folder");
    CInfected detection = {U(L"C:\\Data\\eicar.com"), U(L"EICAR-Test-File"),
                           CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned,
                           0, 0, nullptr, nullptr};
    Check(report->AddInfected(detection) == 1, "report: AddInfected");
    report->SetNumScanned(42);
    delete report;

    // The virtual members through the vtable that the constructor installed.
    CScnXml* second = New<CScnXml>();
    CReportBase* base = second;
    Check(base->Init(nullptr) == 1 && second->XmlFileExist() != 0, "report: Init through the vtable");
    wchar_t name[300] = {};
    Check(base->GetReportFileName(name, 299) == 1 && IsTemporaryReport(name),
          "report: GetReportFileName through the vtable");
    wchar_t named[300] = {};
    Check(second->GetReportFileName(named, 299) == 1 && IsTemporaryReport(named) && lstrcmpW(name, named) != 0,
          "report: GetReportFileName inherited, named through the final class");
    alignas(CMyString) unsigned char content[sizeof(CMyString)] = {};   // a string without text
    Check(base->BuildReport(*reinterpret_cast<CMyString*>(content), nullptr) == 1,
          "report: BuildReport through the vtable");
    delete second;
}

} // namespace

void RunChecks()
{
    CheckFailureThroughTheVtable();
    CheckExclusions();
    CheckOnAccessExclusion();
    CheckScanReport();
    Print("done\n");
}
