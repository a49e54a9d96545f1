// A client of the Microsoft C++ ABI that uses every member of the exported classes through Tolvane.lib.
#include <tolvane.h>

#include "NoRuntime.h"

static const unsigned short* const kUnreadableKey = reinterpret_cast<const unsigned short*>(0x10);
static const unsigned short* U(const wchar_t* text) { return reinterpret_cast<const unsigned short*>(text); }

static unsigned long CodeSeenByStructuredHandler(CExcludeHelper& helper)
{
    unsigned long code = 0;
    __try { helper.GetExcludeItems(kUnreadableKey); } __except (code = GetExceptionCode(), EXCEPTION_EXECUTE_HANDLER) {}
    return code;
}

void RunChecks()
{
    alignas(CMyString) unsigned char content[sizeof(CMyString)] = {};   // a string without text
    CMyString& noText = *reinterpret_cast<CMyString*>(content);
    // An event holding the log file mutex's name makes every event that reaches a log file raise the HRESULT
    // of ERROR_INVALID_HANDLE; the script sends only Wexmoor events to a file, which WriteToXmlFile writes first.
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5");
    CScnXml* failing = New<CScnXml>();
    CExcludeHelper* helper = New<CExcludeHelper>();
    CReportBase* volatile failingBase = failing;   // the call takes the vtable, not the member's name
    unsigned int outer = 0, innerCaught = 0;
    try {
        failingBase->WriteToXmlFile(L"C:\\missing.tmp", noText);
    } catch (const CSystemException& e) {
        CloseHandle(squatter);   // the log works again
        outer = e.code;
        for (int i = 0; i < 4; ++i)
            try { helper->GetExcludeItems(kUnreadableKey); } catch (CSystemException again) { innerCaught += again.code == Tolvane::kStringFailure; }
    }
    Check(outer == 0x80070006 && innerCaught == 4,
          "exception: raised through the vtable with its code; 0x10001 four times by value inside its handler");
    delete failing;

    bool same = helper->GetExcludeItems() == nullptr;   // before the first load
    unsigned short* const* items = helper->GetExcludeItems(U(L"SOFTWARE\\Tavrel\\Orbisk\\MsvcClient"));
    const wchar_t* const expected[] = {L"*.tmp", L"C:\\Temp", L"pagefile.sys", nullptr};
    same = same && items != nullptr && helper->GetExcludeItems() == items;
    for (int i = 0; same && i < 4; ++i)
        same = expected[i] ? items[i] && lstrcmpW(reinterpret_cast<wchar_t*>(items[i]), expected[i]) == 0 : !items[i];
    const struct { const wchar_t* path; int excluded; } paths[] = {
        {L"C:\\Temp\\report.doc", 1}, {L"D:\\Data\\old.TMP", 1}, {L"D:\\Data\\new.txt", 0}, {L"C:\\pagefile.sys", 1}};
    for (const auto& p : paths)
        same = same && helper->IsExcluded(U(p.path)) == p.excluded;
    Check(same, "exclusion: none before the first load, then the key's items and the built-in one, kept; IsExcluded for four paths");
    helper->Empty();
    Check(helper->GetExcludeItems() == nullptr && CodeSeenByStructuredHandler(*helper) == 0xE06D7363 &&
              helper->IsExcluded(U(L"C:\\pagefile.sys")) == 1,
          "exclusion: Empty drops the items; a structured handler sees 0xE06D7363, the object stays usable");
    delete helper;

    COnAccExcl* exclusion = New<COnAccExcl>();
    exclusion->ExcludeThisProcess(1);   // not connected: nothing is sent
    exclusion->Init();
    const bool loaded = GetModuleHandleW(L"Trennix.DLL") != nullptr;
    exclusion->ExcludeThisProcess(0);
    delete exclusion;
    Check(loaded && !GetModuleHandleW(L"Trennix.DLL"), "on-access: Init loads the driver interface library, the destructor unloads it");

    CScnXml* report = New<CScnXml>();
    CInfected detection = {U(L"C:\\Data\\eicar.com"), U(L"EICAR-Test-File"),
                           CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned, 0, 0, nullptr, nullptr};
    Check(!report->XmlFileExist() && report->GetXmlFile() && !*report->GetXmlFile() && report->Init(nullptr) == 1 &&
              report->XmlFileExist() && *report->GetXmlFile() && report->AddInfected(detection) == 1,
          "report: no file before Init, then its name; AddInfected");
    report->SetNumScanned(42);
    delete report;

    // The virtual members through the vtable that the constructor installed, and by name through the final class.
    CScnXml* second = New<CScnXml>();
    CReportBase* base = second;
    wchar_t name[300] = {}, named[300] = {};
    Check(base->Init(nullptr) == 1 && second->XmlFileExist() && base->GetReportFileName(name, 299) == 1 &&
              *name && second->GetReportFileName(named, 299) == 1 && *named &&
              lstrcmpW(name, named) != 0 && base->BuildReport(noText, nullptr) == 1,
          "report: Init, GetReportFileName and BuildReport through the vtable, GetReportFileName by name");
    delete second;
}
