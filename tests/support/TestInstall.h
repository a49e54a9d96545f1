// The one installation fixture: a client installation in a fresh folder, named by "szInstallDir" unless told otherwise,
// with clean keys of everything the library reads (deleted again at the end); reports go to its upload folder
// "szUploadFrom" (not yet created). kernel32 and advapi32 only: the client tests use it too.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace testsupport {

constexpr wchar_t kClientKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
constexpr wchar_t kClientAgentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent";
constexpr wchar_t kUploadConfigKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeUpload\\Configuration";

struct TestInstall {
    explicit TestInstall(bool registered = true)
    {
        if (registered)
            root.SetString(L"szInstallDir", folder.Path());
        upload.SetString(L"szUploadFrom", UploadFolder());
    }
    const std::wstring& Path() const { return folder.Path(); }
    // An empty language folder ("0409") below Agent\Res; its path. With the build's sample resource library of the language.
    std::wstring InstallLanguage(const std::wstring& id) const { return folder.MakeFolder(L"Agent\\Res\\" + id); }
    void InstallResourceLibrary(const std::wstring& id) const
    {
        CopyBuilt(L"qxres\\" + id + L"\\QxRes_l.dll", InstallLanguage(id) + L"\\QxRes_l.dll");
    }
    void WriteIni(const std::string& text) const { WriteFileBytes(folder.Join(L"logCfg.Ini"), text); }
    std::vector<std::string> Lines(const std::wstring& file) const { return ReadLines(folder.Join(file)); }
    std::wstring UploadFolder() const { return folder.Join(L"Upload"); }
    std::vector<std::wstring> Files(const std::wstring& pattern = L"*") const   // the upload folder's, matching "*.Xml"
    {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : FileNames(UploadFolder() + L"\\" + pattern))
            if (!(GetFileAttributesW((UploadFolder() + L"\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY))
                paths.push_back(UploadFolder() + L"\\" + name);
        return paths;
    }
    std::wstring OnlyReport() const { return Files(L"*.Xml").size() == 1 ? Files(L"*.Xml")[0] : L""; }   // or empty
    void KeepForXmlCheck(const std::wstring& name) const   // a copy of the one report for the xmllint script, if it asks
    {
        if (const char* copy = std::getenv("REPORT_XML_COPY"))
            CopyFileW(OnlyReport().c_str(), (Wide(copy) + L"\\" + name + L".Xml").c_str(), FALSE);
    }
    TempFolder folder;
    ScopedRegistryKey root{HKEY_LOCAL_MACHINE, kClientKey};
    ScopedRegistryKey agent{HKEY_LOCAL_MACHINE, kClientAgentKey};
    ScopedRegistryKey log{HKEY_LOCAL_MACHINE, std::wstring(kClientKey) + L"\\Log"};
    ScopedRegistryKey upload{HKEY_LOCAL_MACHINE, kUploadConfigKey};
    ScopedRegistryKey murmel{HKEY_LOCAL_MACHINE, std::wstring(kClientAgentKey) + L"\\SubSystems\\zeMurmel\\Configuration"};
    ScopedRegistryKey pelorin{HKEY_LOCAL_MACHINE, std::wstring(kClientKey) + L"\\Pelorin"};
    ScopedRegistryKey qxcore{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrel\\QXCORE"};
    ScopedRegistryKey user{HKEY_CURRENT_USER, kClientAgentKey};
    ScopedRegistryKey hostedScanner{HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\QxCore"};
    ScopedRegistryKey webSafety{HKEY_CURRENT_USER, L"SOFTWARE\\Ombrelane"};
};

// Sample product files of bin (empty: none) placed for one test in "<Program Files>\Tavrel\Halvane", where
// reports look for the agent service and the on-access scanner.
class ProductFiles {
public:
    ProductFiles(const std::wstring& agent, const std::wstring& scanner)
    {
        RemoveTree(Folder());
        if (!agent.empty())
            CopyBuilt(agent, Folder() + L"\\Agent\\zeAgtSvc.exe");
        if (!scanner.empty())
            CopyBuilt(scanner, Folder() + L"\\Kelmo\\zeOnAcc.dll");
    }
    ~ProductFiles() { RemoveTree(Folder()); }
    static std::wstring Folder() { return std::wstring(_wgetenv(L"ProgramFiles")) + L"\\Tavrel\\Halvane"; }
};

// The sample partner-build component (a real in-process COM server) and the build information it hands out.
class PartnerComponent {
public:
    void Register() const
    {
        SetText(progId, L"CLSID", nullptr, kClass);
        SetText(classKey, L"InprocServer32", nullptr, ModuleFolder() + L"\\OEMHelper.dll");
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
    static void SetText(const ScopedRegistryKey& key, const wchar_t* subKey, const wchar_t* name, const std::wstring& text)
    {
        RegSetKeyValueW(key.Handle(), subKey, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
    }

    ScopedRegistryKey progId{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\TavrelToDrune.OEMHelper"};
    ScopedRegistryKey classKey{HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kClass};
    ScopedRegistryKey data{HKEY_LOCAL_MACHINE, L"SOFTWARE\\TavrelToDrune"};
};

} // namespace testsupport
