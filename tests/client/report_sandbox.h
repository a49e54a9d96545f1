// Test helpers of the reports: a temporary client installation with the
// registry values that reports read, the sample resource libraries and
// product files, and access to the report files of the upload folder.
// Used by the client tests and the unit tests (kernel32 and advapi32 only).
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace reporttest {

constexpr wchar_t kClientKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
constexpr wchar_t kAgentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent";
constexpr wchar_t kPelorinKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin";
constexpr wchar_t kUploadConfigKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeUpload\\Configuration";
constexpr wchar_t kMurmelConfigKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeMurmel\\Configuration";
constexpr wchar_t kQxCoreKey[] = L"SOFTWARE\\Tavrel\\QXCORE";

inline void MakeFolders(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

// "<Program Files>\Tavrel\Halvane", where the reports look for the agent
// service and the on-access scanner.
inline std::wstring ProductFolder()
{
    wchar_t programFiles[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH);
    return std::wstring(programFiles) + L"\\Tavrel\\Halvane";
}

// Sample product files copied into the product folder for one test.
class ProductFiles {
public:
    // agent / scanner: file names of the build's bin folder, or empty for none.
    ProductFiles(const std::wstring& agent, const std::wstring& scanner)
    {
        testsupport::RemoveTree(ProductFolder());
        Place(agent, L"Agent\\zeAgtSvc.exe");
        Place(scanner, L"Kelmo\\zeOnAcc.dll");
    }
    ~ProductFiles() { testsupport::RemoveTree(ProductFolder()); }
    ProductFiles(const ProductFiles&) = delete;
    ProductFiles& operator=(const ProductFiles&) = delete;

private:
    static void Place(const std::wstring& sample, const std::wstring& target)
    {
        if (sample.empty())
            return;
        const std::wstring path = ProductFolder() + L"\\" + target;
        MakeFolders(path.substr(0, path.rfind(L'\\')));
        CopyFileW((testsupport::ModuleFolder() + L"\\" + sample).c_str(), path.c_str(), FALSE);
    }
};

// A client installation in a temporary folder: "szInstallDir", the upload
// folder "szUploadFrom" (not yet created), and clean keys for the values
// that reports read. Every key is deleted again at the end.
class ReportSandbox {
public:
    ReportSandbox()
        : client(HKEY_LOCAL_MACHINE, kClientKey), agent(HKEY_LOCAL_MACHINE, kAgentKey),
          upload(HKEY_LOCAL_MACHINE, kUploadConfigKey), pelorin(HKEY_LOCAL_MACHINE, kPelorinKey),
          qxcore(HKEY_LOCAL_MACHINE, kQxCoreKey), user(HKEY_CURRENT_USER, kAgentKey)
    {
        client.SetString(L"szInstallDir", folder.Path());
        upload.SetString(L"szUploadFrom", UploadFolder());
    }

    std::wstring UploadFolder() const { return folder.Join(L"Upload"); }

    // Copies the sample resource library of a language ("0409") or the
    // language-neutral one ("neutral", into Agent\Res itself).
    void InstallLanguage(const std::wstring& language) const
    {
        const std::wstring target = language == L"neutral"
            ? folder.MakeFolder(L"Agent\\Res")
            : folder.MakeFolder(L"Agent\\Res\\" + language);
        CopyFileW((testsupport::ModuleFolder() + L"\\qxres\\" + language + L"\\QxRes_l.dll").c_str(),
                  (target + L"\\QxRes_l.dll").c_str(), FALSE);
    }

    // The names of the upload folder's files that match pattern (e.g. "*.Xml").
    std::vector<std::wstring> Files(const std::wstring& pattern = L"*") const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((UploadFolder() + L"\\" + pattern).c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(entry.cFileName);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        return names;
    }

    testsupport::TempFolder folder;
    testsupport::ScopedRegistryKey client;    // HKLM SOFTWARE\Tavrel\Orbisk
    testsupport::ScopedRegistryKey agent;     // ...\Agent
    testsupport::ScopedRegistryKey upload;    // ...\Agent\SubSystems\zeUpload\Configuration
    testsupport::ScopedRegistryKey pelorin;   // ...\Pelorin
    testsupport::ScopedRegistryKey qxcore;    // HKLM SOFTWARE\Tavrel\QXCORE
    testsupport::ScopedRegistryKey user;      // HKCU SOFTWARE\Tavrel\Orbisk\Agent
};

// Replaces every time="yyyy/mm/dd hh:mm:ss" by time="T" and every TZ value
// by "Z", so that a report can be compared with its expected text; the
// formats are checked on the way (a wrong format stays in the text).
inline std::string MaskTimes(const std::string& text)
{
    std::string out;
    size_t at = 0;
    for (;;) {
        const size_t time = text.find("time=\"", at);
        const size_t zone = text.find("TZ value=\"", at);
        const size_t next = std::min(time, zone);
        if (next == std::string::npos)
            break;
        const bool isTime = next == time;
        const size_t valueStart = next + (isTime ? 6 : 10);
        const size_t valueEnd = text.find('"', valueStart);
        if (valueEnd == std::string::npos)
            break;
        const std::string value = text.substr(valueStart, valueEnd - valueStart);
        bool wellFormed;
        if (isTime) {
            wellFormed = value.size() == 19 && value[4] == '/' && value[7] == '/' &&
                         value[10] == ' ' && value[13] == ':' && value[16] == ':';
            for (size_t i = 0; wellFormed && i < value.size(); ++i)
                if (i != 4 && i != 7 && i != 10 && i != 13 && i != 16)
                    wellFormed = value[i] >= '0' && value[i] <= '9';
        } else {
            wellFormed = value.size() >= 2 && (value[0] == '+' || value[0] == '-') &&
                         value.find_first_not_of("0123456789", 1) == std::string::npos;
        }
        out += text.substr(at, valueStart - at);
        out += wellFormed ? (isTime ? "T" : "Z") : value;
        at = valueEnd;
    }
    out += text.substr(at);
    return out;
}

// The values of every attribute time="..." in file order.
inline std::vector<std::string> TimeValues(const std::string& text)
{
    std::vector<std::string> values;
    for (size_t at = text.find("time=\""); at != std::string::npos; at = text.find("time=\"", at)) {
        at += 6;
        values.push_back(text.substr(at, text.find('"', at) - at));
    }
    return values;
}

inline std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], bytes,
                        nullptr, nullptr);
    return out;
}

} // namespace reporttest
