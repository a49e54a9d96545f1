// A client built with the Microsoft C++ ABI that uses every member of the exported classes through
// Tolvane.lib (the script tests/scripts/msvc_client.sh prepares the installation and reads the reports).
#include <tolvane.h>

#include "NoRuntime.h"

namespace {

const wchar_t kExcludeKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\MsvcClient";
const unsigned short* const kUnreadableKey = reinterpret_cast<const unsigned short*>(0x10);
// The log file mutex's name (without terminal services, as under Wine).
const wchar_t kLogMutexName[] = L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";

const unsigned short* U(const wchar_t* text) { return reinterpret_cast<const unsigned short*>(text); }

// The name of a temporary report file ("...\CIO....tmp"; the script finds the reports in the upload folder).
bool IsTemporaryReport(const unsigned short* name)
{
    const wchar_t* path = reinterpret_cast<const wchar_t*>(name);
    const int length = path ? lstrlenW(path) : 0;
    return length > 8 && CompareStringOrdinal(path + length - 4, 4, L".tmp", 4, FALSE) == CSTR_EQUAL;
}

// The code of GetExcludeItems(an unreadable key name)'s exception: by value inside the handler of a
// reference, or as a structured handler sees it.
unsigned int CodeCaughtByValue(CExcludeHelper& helper)
{
    try {
        helper.GetExcludeItems(kUnreadableKey);
    } catch (CSystemException again) {
        return again.code;
    }
    return 0;
}

unsigned long CodeSeenByStructuredHandler(CExcludeHelper& helper)
{
    unsigned long code = 0;
    __try {
        helper.GetExcludeItems(kUnreadableKey);
    } __except (code = GetExceptionCode(), EXCEPTION_EXECUTE_HANDLER) {
    }
    return code;
}

// An event object holding the log file mutex's name makes every event that reaches a log file raise
// CSystemException with the HRESULT of ERROR_INVALID_HANDLE; the script's configuration sends only
// Wexmoor events to a file, which WriteToXmlFile (reached through the vtable) writes first thing.
void CheckFailureThroughTheVtable()
{
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, kLogMutexName);
    CScnXml* report = New<CScnXml>();
    CExcludeHelper* helper = New<CExcludeHelper>();
    alignas(CMyString) unsigned char content[sizeof(CMyString)] = {};   // a string without text
    CReportBase* volatile base = report;   // the call takes the vtable, not the member's name
    unsigned int outer = 0, innerCaught = 0;
    try {
        base->WriteToXmlFile(L"C:\\missing.tmp", *reinterpret_cast<CMyString*>(content));
    } catch (const CSystemException& e) {
        CloseHandle(squatter);   // the log works again
        for (int i = 0; i < 4; ++i)
            innerCaught += CodeCaughtByValue(*helper) == Tolvane::kStringFailure;
        outer = e.code;
    }
    Check(outer == 0x80070006, "vtable: a failing virtual member raises CSystemException with its code");
    Check(innerCaught == 4, "exception: four more raised and caught by value inside a handler, its own code kept");
    delete helper;
    delete report;
}

void CheckExclusions()
{
    CExcludeHelper* helper = New<CExcludeHelper>();
    Check(helper->GetExcludeItems() == nullptr, "exclusion: no items before the first load");
    unsigned short* const* items = helper->GetExcludeItems(U(kExcludeKey));
    const wchar_t* const expected[] = {L"*.tmp", L"C:\\Temp", L"pagefile.sys", nullptr};
    bool same = items != nullptr;
    for (int i = 0; same && i < 4; ++i)
        same = expected[i] ? items[i] && lstrcmpW(reinterpret_cast<wchar_t*>(items[i]), expected[i]) == 0 : !items[i];
    Check(same && helper->GetExcludeItems() == items, "exclusion: the key's items, then the built-in one, kept");
    const struct { const wchar_t* path; int excluded; } paths[] = {
        {L"C:\\Temp\\report.doc", 1}, {L"D:\\Data\\old.TMP", 1}, {L"D:\\Data\\new.txt", 0}, {L"C:\\pagefile.sys", 1}};
    bool answers = true;
    for (const auto& p : paths)
        answers = answers && helper->IsExcluded(U(p.path)) == p.excluded;
    Check(answers, "exclusion: IsExcluded answers for four paths");
    helper->Empty();
    Check(helper->GetExcludeItems() == nullptr, "exclusion: Empty drops the items");

    unsigned int outer = 0;
    try {
        helper->GetExcludeItems(kUnreadableKey);
    } catch (const CSystemException& e) {
        outer = e.code == Tolvane::kStringFailure ? CodeCaughtByValue(*helper) : 0;
    } catch (...) {
    }
    Check(outer == Tolvane::kStringFailure, "exception: 0x10001 by reference, raised again in its handler by value");
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
    Check(!report->XmlFileExist() && report->GetXmlFile() && !*report->GetXmlFile(), "report: no file before Init");
    Check(report->Init(nullptr) == 1 && report->XmlFileExist() && IsTemporaryReport(report->GetXmlFile()),
          "report: Init, the temporary file in the upload folder");
    CInfected detection = {U(L"C:\\Data\\eicar.com"), U(L"EICAR-Test-File"),
                           CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned, 0, 0, nullptr, nullptr};
    Check(report->AddInfected(detection) == 1, "report: AddInfected");
    report->SetNumScanned(42);
    delete report;

    // The virtual members through the vtable that the constructor installed.
    CScnXml* second = New<CScnXml>();
    CReportBase* base = second;
    Check(base->Init(nullptr) == 1 && second->XmlFileExist(), "report: Init through the vtable");
    wchar_t name[300] = {}, named[300] = {};
    Check(base->GetReportFileName(name, 299) == 1 && IsTemporaryReport(U(name)), "report: GetReportFileName through the vtable");
    Check(second->GetReportFileName(named, 299) == 1 && IsTemporaryReport(U(named)) && lstrcmpW(name, named) != 0,
          "report: GetReportFileName inherited, named through the final class");
    alignas(CMyString) unsigned char content[sizeof(CMyString)] = {};   // a string without text
    Check(base->BuildReport(*reinterpret_cast<CMyString*>(content), nullptr) == 1, "report: BuildReport through the vtable");
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
