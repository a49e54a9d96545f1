// A sample on-demand scanner that uses every export of Tolvane.dll on a
// sandbox installation: it checks the subsystem switches, leaves its own
// file accesses to the on-access scanner alone, loads its exclusion items,
// walks a folder, "detects" files that carry the demo signature, writes the
// scan report into the upload folder, writes a summary file with special
// access rights and opens the product help.
//
//   scanner.exe <folder to scan> <exclusion key> <summary file>
//
// Built from dist/ as client.cpp is, with -municode (the entry point is
// wmain) and -lversion (the library's version resource is read).
#include <tolvane.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kDemoSignature[] = "TOLVANE-DEMO-SIGNATURE";

const unsigned short* U(const wchar_t* text)
{
    return reinterpret_cast<const unsigned short*>(text);
}

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], bytes, nullptr, nullptr);
    return result;
}

bool CarriesSignature(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return false;
    buffer[read] = '\0';
    return std::string(buffer, read).find(kDemoSignature) != std::string::npos;
}

// The file version of the Tolvane.dll that this program loaded, from its
// version resource.
std::string LoadedLibraryVersion()
{
    wchar_t path[MAX_PATH] = {};
    HMODULE library = GetModuleHandleW(L"Tolvane.dll");
    if (!library || !GetModuleFileNameW(library, path, MAX_PATH))
        return "unknown";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, data.data())
        || !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return "unknown";
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS))
         + "." + std::to_string(HIWORD(info->dwFileVersionLS));
}

struct ScanTotals {
    unsigned scanned = 0;
    unsigned excluded = 0;
    std::vector<std::wstring> detections;
};

void ScanFolder(const std::wstring& folder, CExcludeHelper& exclusions, ScanTotals& totals)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (exclusions.IsExcluded(U(path.c_str()))) {
            std::printf("  excluded  %s\n", Utf8(path).c_str());
            ++totals.excluded;
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ScanFolder(path, exclusions, totals);
            continue;
        }
        ++totals.scanned;
        if (CarriesSignature(path)) {
            std::printf("  DETECTED  %s\n", Utf8(path).c_str());
            totals.detections.push_back(path);
        } else {
            std::printf("  clean     %s\n", Utf8(path).c_str());
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// One scan report per scan: the header at Init, one detection block per
// detection, the statistics block and the final name when it is destroyed.
void WriteScanReport(const ScanTotals& totals)
{
    CScnXml report;
    if (!report.Init(nullptr)) {
        std::printf("Scan report: no upload folder, no report\n");
        return;
    }
    for (const std::wstring& path : totals.detections) {
        CInfected detection = {};
        detection.itemName = U(path.c_str());
        detection.virusName = U(L"Demo-Signature.A");
        detection.flags = CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagQuarantined;
        report.AddInfected(detection);
    }
    report.SetNumScanned(totals.scanned);
    std::printf("Scan report written: %u detection blocks\n", static_cast<unsigned>(totals.detections.size()));
}

bool WriteSummary(const std::wstring& path, const ScanTotals& totals)
{
    // The summary is created with rights of its own: every client process
    // may read it, the system and administrators may do everything.
    if (!CreateFileSpecialAccess(path.c_str()))
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string text = "files scanned: " + std::to_string(totals.scanned) + "\r\n"
                     + "items excluded: " + std::to_string(totals.excluded) + "\r\n"
                     + "detections: " + std::to_string(totals.detections.size()) + "\r\n";
    for (const std::wstring& detection : totals.detections)
        text += "  " + Utf8(detection) + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: scanner.exe <folder to scan> <exclusion key> <summary file>\n");
        return 2;
    }
    const std::wstring scanFolder = argv[1];
    const std::wstring exclusionKey = argv[2];
    const std::wstring summaryPath = argv[3];

    std::printf("Tolvane.dll %s (built with the headers of %s)\n", LoadedLibraryVersion().c_str(),
                TOLVANE_VERSION_STRING);
    std::printf("Subsystem switches: on-access scanner %s, peer update %s\n",
                IsSubSysEnabled(0) ? "on" : "off", IsSubSysEnabled(1) ? "on" : "off");

    COnAccExcl onAccess;
    onAccess.Init();
    onAccess.ExcludeThisProcess(1);
    std::printf("Asked the on-access driver to ignore this process\n");

    CExcludeHelper exclusions;
    try {
        std::printf("Exclusion items of %s:\n", Utf8(exclusionKey).c_str());
        unsigned short* const* items = exclusions.GetExcludeItems(U(exclusionKey.c_str()));
        for (unsigned short* const* item = items; item && *item; ++item)
            std::printf("  %s\n", Utf8(reinterpret_cast<const wchar_t*>(*item)).c_str());
    } catch (const CSystemException& e) {
        std::printf("  (exclusion items could not be loaded: 0x%x)\n", e.code);
    }

    std::printf("Scanning %s\n", Utf8(scanFolder).c_str());
    ScanTotals totals;
    ScanFolder(scanFolder, exclusions, totals);
    std::printf("Scanned %u files, %u items excluded, %u detections\n", totals.scanned, totals.excluded,
                static_cast<unsigned>(totals.detections.size()));

    WriteScanReport(totals);

    std::printf("Summary with special access rights: %s\n",
                WriteSummary(summaryPath, totals) ? "written" : "FAILED");

    onAccess.ExcludeThisProcess(0);
    std::printf("Asked the on-access driver to watch this process again\n");

    std::printf("Opening the product help\n");
    DisplayKelmoHelp();
    return totals.detections.empty() ? 0 : 1;
}
