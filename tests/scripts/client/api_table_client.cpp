// Observes, through the installed DLL, what each export does to the caller's last-error value and which
// exceptions leave it, in one failing case per call; one line per row of the API table:
//   call|unchanged or set N|none or CSystemException 0xN
// With the argument "squatted", another kind of object holds the log mutex's name first, so every log
// event that writes a file fails; the members of an object whose constructor threw are not observed.
#include <tolvane.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// A text pointer that faults when read: the common code's guard turns the fault into its exception.
const unsigned short* const kUnreadable = reinterpret_cast<const unsigned short*>(8);

void Observe(const char* call, const std::function<void()>& body)
{
    const DWORD sentinel = 0x2BAD;
    char error[32] = "unchanged", thrown[48] = "none";
    SetLastError(sentinel);
    try {
        body();
    } catch (const CSystemException& failure) {
        std::snprintf(thrown, sizeof(thrown), "CSystemException 0x%x", failure.code);
    } catch (...) {
        std::snprintf(thrown, sizeof(thrown), "other");
    }
    if (GetLastError() != sentinel)
        std::snprintf(error, sizeof(error), "set %lu", GetLastError());
    std::printf("%s|%s|%s\n", call, error, thrown);
}

// The object, or null when its constructor threw.
template <class T> std::unique_ptr<T> Construct()
{
    try { return std::unique_ptr<T>(new T); } catch (const CSystemException&) { return nullptr; }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "squatted") == 0 &&
        !CreateEventW(nullptr, TRUE, FALSE, L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5")) {
        std::printf("the log mutex's name could not be taken\n");
        return 3;
    }
    // Run with no client registry tree: every lookup fails.
    Observe("IsSubSysEnabled", [] { IsSubSysEnabled(0); });
    Observe("CreateFileSpecialAccess", [] { CreateFileSpecialAccess(L"C:\\no such folder\\x.txt"); });
    Observe("DisplayKelmoHelp", [] { DisplayKelmoHelp(); });
    if (auto exclusions = Construct<CExcludeHelper>()) {
        Observe("CExcludeHelper::GetExcludeItems(keyName)", [&] { exclusions->GetExcludeItems(kUnreadable); });
        Observe("CExcludeHelper::GetExcludeItems()", [&] { exclusions->GetExcludeItems(); });
        Observe("CExcludeHelper::IsExcluded", [&] {
            exclusions->IsExcluded(reinterpret_cast<const unsigned short*>(L"C:\\no such folder\\x.doc"));
        });
        Observe("CExcludeHelper::Empty", [&] { exclusions->Empty(); });
    }
    if (auto onAccess = Construct<COnAccExcl>()) {
        Observe("COnAccExcl::Init", [&] { onAccess->Init(); });
        Observe("COnAccExcl::ExcludeThisProcess", [&] { onAccess->ExcludeThisProcess(1); });
    }
    Observe("CScnXml::CScnXml", [] { CScnXml report; });
    if (auto report = Construct<CScnXml>()) {
        Observe("CScnXml::Init", [&] { report->Init(nullptr); });
        CInfected detection = {};
        detection.itemName = kUnreadable;
        Observe("CScnXml::AddInfected", [&] { report->AddInfected(detection); });
        Observe("CScnXml::SetNumScanned", [&] { report->SetNumScanned(1); });
    }
    if (auto stopped = Construct<CScnXml>()) {
        stopped->Init(nullptr);
        Observe("CScnXml::~CScnXml", [&] { stopped.reset(); });
    }
    // Events into the temporary folder: opening the existing log file leaves an error of its own (the other
    // logging exports are observed by tests/scripts/client/log_client.c).
    const TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_INFO, "Brisko");
    Observe("TolvaneLogPrintfA", [&] { TolvaneLogPrintfA(&record, "%s", "text"); });
    Observe("TolvaneLogWriteW", [&] { TolvaneLogWriteW(&record, L"text"); });
}
