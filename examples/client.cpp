// A small client of Tolvane.dll: it checks the subsystem switches (on a
// thread of its own), loads the exclusion items of a scanner, asks whether a
// few paths are excluded, writes a scan report with two detections and
// creates a file with special access rights; it writes its own events into
// the client's shared log. It prints what it did and exits with 0 when every
// call succeeded, else 1.
//
//   client.exe [exclusion key below HKEY_LOCAL_MACHINE]
//
// Built from dist/ with the command of docs/linking.md (g++ ... -static).
#include <tolvane.h>

#include <cstdio>
#include <string>
#include <thread>

namespace {

const unsigned short* U(const wchar_t* text)
{
    return reinterpret_cast<const unsigned short*>(text);
}

std::string Narrow(const unsigned short* text)
{
    std::string result;
    for (; text && *text; ++text)
        result += *text < 0x80 ? static_cast<char>(*text) : '?';
    return result;
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

bool LoadExclusions(CExcludeHelper& exclusions, const std::string& key)
{
    const std::wstring wideKey(key.begin(), key.end());
    try {
        unsigned short* const* items = exclusions.GetExcludeItems(U(wideKey.c_str()));
        if (!items) {
            std::printf("exclusions: no item array for %s\n", key.c_str());
            return false;
        }
        int count = 0;
        for (; items[count]; ++count)
            std::printf("exclusion item: %s\n", Narrow(items[count]).c_str());
        std::printf("exclusions: %d items from %s\n", count, key.c_str());
        return true;
    } catch (const CSystemException& e) {
        std::printf("exclusions: failed with code 0x%x\n", e.code);
        return false;
    }
}

bool WriteReport()
{
    CScnXml report;
    if (!report.Init(nullptr)) {
        std::printf("report: Init failed (no upload folder configured?)\n");
        return false;
    }
    CInfected virus = {};
    virus.itemName = U(L"C:\\Users\\ann\\Downloads\\setup.exe");
    virus.virusName = U(L"W32/Example.A");
    virus.flags = CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagQuarantined;

    CInfected spyware = {};
    spyware.itemName = U(L"HKLM\\Software\\Example\\Run");
    spyware.virusName = U(L"Example.Spy");
    spyware.flags = CInfected::FlagRegistry | CInfected::FlagProgram;
    spyware.detectionSubType = CInfected::SubTypeSpyware;
    spyware.actionCode = CInfected::ActionAccessDenied;

    const bool added = report.AddInfected(virus) && report.AddInfected(spyware);
    report.SetNumScanned(2);
    std::printf("report: %s, %s\n", Narrow(report.GetXmlFile()).c_str(),
                added ? "2 detections" : "a detection was not written");
    return added;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string key = argc > 1 ? argv[1] : "SOFTWARE\\Tavrel\\Orbisk\\OnDemandScan";
    bool ok = true;

    std::printf("Tolvane headers %s\n", TOLVANE_VERSION_STRING);

    BOOL onAccess = FALSE, peerUpdate = FALSE;
    std::thread switches([&] {
        onAccess = IsSubSysEnabled(0);
        peerUpdate = IsSubSysEnabled(1);
    });
    switches.join();
    std::printf("switches: on-access scanner %s, peer update %s\n",
                onAccess ? "on" : "off", peerUpdate ? "on" : "off");

    CExcludeHelper exclusions;
    ok = LoadExclusions(exclusions, key) && ok;
    const wchar_t* const paths[] = {L"C:\\pagefile.sys", L"C:\\Windows\\Temp\\scan.tmp",
                                    L"C:\\Users\\ann\\Documents\\letter.doc"};
    for (const wchar_t* path : paths)
        std::printf("excluded %d: %s\n", exclusions.IsExcluded(U(path)),
                    Narrow(U(path)).c_str());

    ok = WriteReport() && ok;

    const std::wstring special = TempPath(L"tolvane-client-special.txt");
    const BOOL created = CreateFileSpecialAccess(special.c_str());
    std::printf("special-access file: %s\n", created ? "created" : "FAILED");
    ok = created && ok;
    DeleteFileW(special.c_str());
    if (!created)
        TOLVANE_CLIENT_LOG(WARNING, "ExampleClient").WithError(GetLastError()).Write(L"No file %s", special.c_str());

    // The program's own event, beside the library's: with the built-in
    // configuration an Info event lands in zeAgent.log.
    TOLVANE_CLIENT_LOG(INFO, "ExampleClient").Write("client finished: %s", ok ? "all calls succeeded" : "some calls failed");

    std::printf("%s\n", ok ? "all calls succeeded" : "some calls failed");
    return ok ? 0 : 1;
}
