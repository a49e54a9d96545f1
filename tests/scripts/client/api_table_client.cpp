// For api_table.sh: one failing call per export, each printed as "call|unchanged or set N|none or
// CSystemException 0xN" (the last-error value it leaves, the exception leaving it). With an argument
// ("squatted"), another kind of object holds the log mutex's name, so log events that write a file fail.
#include <tolvane.h>

#include <cstdio>
#include <functional>
#include <memory>

// A text pointer that faults when read: the common code's guard turns the fault into its exception.
static const unsigned short* const kUnreadable = reinterpret_cast<const unsigned short*>(8);

static void Observe(const char* call, const std::function<void()>& body)
{
    char thrown[48] = "none";
    SetLastError(0x2BAD);
    try { body(); }
    catch (const CSystemException& failure) { std::snprintf(thrown, sizeof(thrown), "CSystemException 0x%x", failure.code); }
    catch (...) { std::snprintf(thrown, sizeof(thrown), "other"); }
    char error[24] = "unchanged";
    if (GetLastError() != 0x2BAD)
        std::snprintf(error, sizeof(error), "set %lu", GetLastError());
    std::printf("%s|%s|%s\n", call, error, thrown);
}

// The object, or null when its constructor threw (its members are then not observed).
template <class T> std::unique_ptr<T> Construct()
{
    try { return std::unique_ptr<T>(new T); } catch (const CSystemException&) { return nullptr; }
}

int main(int argc, char**)
{
    if (argc > 1 && !CreateEventW(nullptr, TRUE, FALSE, L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5"))
        return 3;
    // Without a client registry tree every lookup fails.
    Observe("IsSubSysEnabled", [] { IsSubSysEnabled(0); });
    Observe("CreateFileSpecialAccess", [] { CreateFileSpecialAccess(L"C:\\no such folder\\x.txt"); });
    Observe("DisplayKelmoHelp", [] { DisplayKelmoHelp(); });
    if (auto exclusions = Construct<CExcludeHelper>()) {
        Observe("CExcludeHelper::GetExcludeItems(keyName)", [&] { exclusions->GetExcludeItems(kUnreadable); });
        Observe("CExcludeHelper::GetExcludeItems()", [&] { exclusions->GetExcludeItems(); });
        Observe("CExcludeHelper::IsExcluded", [&] { exclusions->IsExcluded(reinterpret_cast<const unsigned short*>(L"C:\\no such folder\\x.doc")); });
        Observe("CExcludeHelper::Empty", [&] { exclusions->Empty(); });
    }
    if (auto onAccess = Construct<COnAccExcl>()) {
        Observe("COnAccExcl::Init", [&] { onAccess->Init(); });
        Observe("COnAccExcl::ExcludeThisProcess", [&] { onAccess->ExcludeThisProcess(1); });
    }
    Observe("CScnXml::CScnXml", [] { CScnXml report; });
    if (auto report = Construct<CScnXml>()) {
        CInfected detection = {};
        detection.itemName = kUnreadable;
        Observe("CScnXml::Init", [&] { report->Init(nullptr); });
        Observe("CScnXml::AddInfected", [&] { report->AddInfected(detection); });
        Observe("CScnXml::SetNumScanned", [&] { report->SetNumScanned(1); });
        Observe("CScnXml::~CScnXml", [&] { report.reset(); });
    }
    // Events into the temporary folder, where opening the existing log file leaves an error of its own (the
    // other logging exports: LogFrontEnd.ClientExports).
    const TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_INFO, "Brisko");
    Observe("TolvaneLogPrintfA", [&] { TolvaneLogPrintfA(&record, "%s", "text"); });
    Observe("TolvaneLogWriteW", [&] { TolvaneLogWriteW(&record, L"text"); });
}
