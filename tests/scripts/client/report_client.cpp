// A scanner in miniature: writes one scan report through Tolvane.dll into the
// upload folder of the installation named on the command line and prints
// the report's final path. The registry values it needs are set for the run
// and removed afterwards.
#include <windows.h>

#include <cstdio>
#include <string>

#include "TestSupport.h"
#include "tolvane.h"

namespace {

const unsigned short* U(const wchar_t* text)
{
    return reinterpret_cast<const unsigned short*>(text);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_client INSTALL_FOLDER\n");
        return 2;
    }
    const std::wstring install = argv[1];
    testsupport::ScopedRegistryKey client(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk");
    client.SetString(L"szInstallDir", install);
    testsupport::ScopedRegistryKey agent(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\Agent");
    agent.SetString(L"szCompanyKey", L"Kestrel Holdings");
    agent.SetString(L"szEmailAddress", L"scan.admin@example.com");
    testsupport::ScopedRegistryKey upload(
        HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeUpload\\Configuration");
    upload.SetString(L"szUploadFrom", install + L"\\Upload");

    std::wstring finalName;
    {
        CScnXml report;
        if (!report.Init(nullptr)) {
            std::fprintf(stderr, "Init failed\n");
            return 1;
        }
        CInfected file = {};
        file.itemName = U(L"C:\\dir & more\\<odd>name's.exe");
        file.virusName = U(L"&<\"'>");
        file.flags = CInfected::FlagFile | CInfected::FlagVirus | CInfected::FlagCleaned;
        report.AddInfected(file);

        std::wstring hugeName;
        for (int i = 0; i < 10000; ++i)
            hugeName += L"&<";
        CInfected huge = {};
        huge.itemName = U(L"HKLM\\Software\\Run");
        huge.virusName = U(hugeName.c_str());
        huge.flags = CInfected::FlagRegistry | CInfected::FlagBufferOverflow;
        huge.bofProcessName = U(L"svc<1>.exe");
        huge.bofExploitName = U(L"x\"y");
        report.AddInfected(huge);

        CInfected empty = {};
        report.AddInfected(empty);
        report.SetNumScanned(42);
        finalName = reinterpret_cast<const wchar_t*>(report.GetXmlFile());
    }
    finalName.replace(finalName.size() - 3, 3, L"Xml");
    std::printf("report: %s\n", testsupport::Narrow(finalName).c_str());
    return 0;
}
