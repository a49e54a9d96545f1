// Test helpers of the reports: a temporary client installation with the
// registry values that reports read, the sample resource libraries and
// product files, and the report files of its upload folder.
// Used by the client tests and the unit tests (kernel32 and advapi32 only).
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace reporttest {

constexpr wchar_t kAgentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent";
constexpr wchar_t kUploadConfigKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeUpload\\Configuration";

// Sample product files of the build's bin folder (empty: none) placed for one
// test in "<Program Files>\Tavrel\Halvane", where reports look for the agent
// service and the on-access scanner.
class ProductFiles {
public:
    ProductFiles(const std::wstring& agent, const std::wstring& scanner)
    {
        testsupport::RemoveTree(Folder());
        if (!agent.empty())
            testsupport::CopyBuilt(agent, Folder() + L"\\Agent\\zeAgtSvc.exe");
        if (!scanner.empty())
            testsupport::CopyBuilt(scanner, Folder() + L"\\Kelmo\\zeOnAcc.dll");
    }
    ~ProductFiles() { testsupport::RemoveTree(Folder()); }

private:
    static std::wstring Folder() { return std::wstring(_wgetenv(L"ProgramFiles")) + L"\\Tavrel\\Halvane"; }
};

// A client installation in a temporary folder: "szInstallDir", the upload
// folder "szUploadFrom" (not yet created), and clean keys for the values
// that reports read. Every key is deleted again at the end.
class ReportSandbox {
public:
    ReportSandbox()
    {
        client.SetString(L"szInstallDir", folder.Path());
        upload.SetString(L"szUploadFrom", UploadFolder());
    }

    std::wstring UploadFolder() const { return folder.Join(L"Upload"); }

    // Copies the sample resource library of a language ("0409").
    void InstallLanguage(const std::wstring& language) const
    {
        const std::wstring library = language + L"\\QxRes_l.dll";
        testsupport::CopyBuilt(L"qxres\\" + library, folder.Join(L"Agent\\Res\\" + library));
    }
    // Keeps a copy of the one report for the xmllint script when it asks for one.
    void KeepForXmlCheck(const std::wstring& name) const
    {
        if (const char* copy = std::getenv("REPORT_XML_COPY"))
            CopyFileW(OnlyReport().c_str(), (testsupport::Wide(copy) + L"\\" + name + L".Xml").c_str(), FALSE);
    }

    // The paths of the upload folder's files that match pattern (e.g. "*.Xml").
    std::vector<std::wstring> Files(const std::wstring& pattern = L"*") const
    {
        std::vector<std::wstring> paths;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((UploadFolder() + L"\\" + pattern).c_str(), &entry);
        for (bool found = search != INVALID_HANDLE_VALUE; found; found = FindNextFileW(search, &entry))
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                paths.push_back(UploadFolder() + L"\\" + entry.cFileName);
        FindClose(search);
        return paths;
    }
    // The path of the one report "*.Xml", or empty.
    std::wstring OnlyReport() const { return Files(L"*.Xml").size() == 1 ? Files(L"*.Xml")[0] : L""; }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey client{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk"};
    testsupport::ScopedRegistryKey agent{HKEY_LOCAL_MACHINE, kAgentKey};
    testsupport::ScopedRegistryKey upload{HKEY_LOCAL_MACHINE, kUploadConfigKey};
    testsupport::ScopedRegistryKey murmel{HKEY_LOCAL_MACHINE, std::wstring(kAgentKey) +
                                                                  L"\\SubSystems\\zeMurmel\\Configuration"};
    testsupport::ScopedRegistryKey pelorin{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin"};
    testsupport::ScopedRegistryKey qxcore{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\QXCORE"};
    testsupport::ScopedRegistryKey user{HKEY_CURRENT_USER, kAgentKey};
};

// The sample partner-build component (a real in-process COM server) and the
// build information that it hands out; everything is removed at the end.
class PartnerComponent {
public:
    void Register() const
    {
        SetText(progId, L"CLSID", nullptr, kClass);
        SetText(classKey, L"InprocServer32", nullptr, testsupport::ModuleFolder() + L"\\OEMHelper.dll");
        SetText(classKey, L"InprocServer32", L"ThreadingModel", L"Both");
    }
    void Tell(const std::wstring& buildId, DWORD buildType, const std::wstring& partnerCode) const
    {
        SetText(data, L"OEMHelper", L"szBuildID", buildId);
        SetText(data, L"OEMHelper", L"szPartnerCode", partnerCode);
        RegSetKeyValueW(data.Handle(), L"OEMHelper", L"dwBuildType", REG_DWORD, &buildType, 4);
    }

private:
    static constexpr wchar_t kClass[] = L"{6F1C2B9E-3A47-4D8B-9E21-5C0D7A4B8F13}";
    static void SetText(const testsupport::ScopedRegistryKey& key, const wchar_t* subKey, const wchar_t* name,
                        const std::wstring& text)
    {
        RegSetKeyValueW(key.Handle(), subKey, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
    }

    testsupport::ScopedRegistryKey progId{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\TavrelToDrune.OEMHelper"};
    testsupport::ScopedRegistryKey classKey{HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kClass};
    testsupport::ScopedRegistryKey data{HKEY_LOCAL_MACHINE, L"SOFTWARE\\TavrelToDrune"};
};

} // namespace reporttest
