// CReportFile and CReportBase: report files in the upload folder and the
// collection of the machine and product status that every report shows.
// Each status getter leaves a fixed fallback when its source is missing.
#include <winsock2.h>

#include "tolvane/ReportBase.h"

#include <cwchar>
#include <string>
#include <vector>

#include <objbase.h>
#include <rpc.h>
#include <shlobj.h>
#include <strsafe.h>

#include "common/ClientKeys.h"
#include "common/FileName.h"
#include "common/RegHelp.h"
#include "common/RegKey.h"
#include "common/ScopedHandle.h"
#include "host/SecurityError.h"
#include "host/SpecialAccess.h"
#include "lang/MUIHelper.h"
#include "log/LogEvent.h"
#include "report/OsVersion.h"
#include "report/ReportTemplates.h"

namespace {

constexpr wchar_t kBrowserKey[] = L"Software\\Microsoft\\Internet Explorer";
constexpr const wchar_t* kCloudLookupKeys[] = {
    kPelorinOnDemandKey,
    L"SOFTWARE\\Tavrel\\QXCORE\\On Access Scanner",
    L"SOFTWARE\\Tavrel\\QXCORE\\Email Scanner",
};
constexpr wchar_t kProductFolder[] = L"Tavrel\\Halvane";
constexpr wchar_t kAgentFile[] = L"\\Agent\\zeAgtSvc.exe";
constexpr wchar_t kScannerFile[] = L"\\Kelmo\\zeOnAcc.dll";
constexpr wchar_t kFallbackVersion[] = L"4.0.0.0";
constexpr wchar_t kUnknown[] = L"Unknown";
constexpr DWORD kTextValueChars = 512;   // 511 characters and the terminator

// Reads a string value into a fixed field of n characters (at most n - 1 are
// kept). Nonzero when the key opened; the field is untouched when the value
// could not be read.
int ReadRegText(const wchar_t* keyPath, const wchar_t* valueName, wchar_t* field, DWORD n)
{
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_READ))
        return 0;
    std::vector<wchar_t> buffer(n, L'\0');
    DWORD count = n;
    if (ReadRegString(key.Get(), valueName, buffer.data(), &count) == ERROR_SUCCESS)
        StringCchCopyNW(field, n, buffer.data(), n - 1);
    return 1;
}

// A string value of at most 511 characters, or empty text.
void ReadRegTextField(const wchar_t* keyPath, const wchar_t* valueName, CMyString& field)
{
    wchar_t buffer[kTextValueChars] = {};
    RegKey key;
    DWORD count = kTextValueChars;
    if (key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_READ) &&
        ReadRegString(key.Get(), valueName, buffer, &count) == ERROR_SUCCESS)
        field = buffer;
    else
        field = L"";
}

// The fixed file-information block of the file's version resource, or false.
bool ReadFixedFileInfo(const wchar_t* path, VS_FIXEDFILEINFO& info)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data()))
        return false;
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", &block, &length) || !block ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    info = *static_cast<VS_FIXEDFILEINFO*>(block);
    return true;
}

// Program Files + "\Tavrel\Halvane" + file, bounded to 512 characters.
bool ProductFilePath(const wchar_t* file, wchar_t (&path)[512])
{
    path[0] = L'\0';
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path)) &&
           SUCCEEDED(StringCchCatW(path, 512, L"\\")) &&
           SUCCEEDED(StringCchCatW(path, 512, kProductFolder)) &&
           SUCCEEDED(StringCchCatW(path, 512, file));
}

// The file version "%u.%u.%u.%u" into a field of 16 characters; the field
// is untouched when the file has no version resource.
void ReadFileVersion(const wchar_t* path, wchar_t (&field)[16])
{
    VS_FIXEDFILEINFO info = {};
    if (!ReadFixedFileInfo(path, info))
        return;
    wchar_t version[64] = {};
    StringCchPrintfW(version, 64, L"%u.%u.%u.%u", HIWORD(info.dwFileVersionMS),
                     LOWORD(info.dwFileVersionMS), HIWORD(info.dwFileVersionLS),
                     LOWORD(info.dwFileVersionLS));
    StringCchCopyNW(field, 16, version, 15);
}

// The upload folder, one level, made when it is missing. Every client
// process writes reports into it, so several may find it missing at the same
// moment: a folder that another writer created first counts as created, and
// like any existing path it is used as it is.
bool MakeUploadFolder(const wchar_t* folder)
{
    if (GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES)
        return true;
    if (CreateDirectoryW(folder, nullptr))
        return true;
    return GetLastError() == ERROR_ALREADY_EXISTS &&
           GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

// ---------------------------------------------------------------- CReportFile

CReportFile::CReportFile() : m_handle(INVALID_HANDLE_VALUE), m_readOnly(0)
{
    m_name = L"";
}

CReportFile::CReportFile(const wchar_t* path) : m_handle(INVALID_HANDLE_VALUE), m_readOnly(0)
{
    m_name = path ? path : L"";
}

CReportFile::~CReportFile()
{
    Close();
    m_name.Release();
}

int CReportFile::Open(unsigned int mode)
{
    Close();
    DWORD access = 0;
    DWORD sharing = FILE_SHARE_READ;
    switch (mode) {
    case 0: access = GENERIC_READ; break;
    case 1: access = GENERIC_READ | GENERIC_WRITE; break;
    case 2: access = GENERIC_READ; sharing = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    case 3: access = GENERIC_READ; sharing = 0; break;
    default: break;
    }
    m_readOnly = mode == 1 ? 0 : 1;
    m_handle = CreateFileW(m_name.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_handle != INVALID_HANDLE_VALUE;
}

int CReportFile::Close()
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    return 1;
}

unsigned long CReportFile::Read(void* buffer, unsigned long count)
{
    DWORD done = 0;
    if (m_handle == INVALID_HANDLE_VALUE || !ReadFile(m_handle, buffer, count, &done, nullptr))
        return 0;
    return done;
}

unsigned long CReportFile::Write(const void* buffer, unsigned long count)
{
    DWORD done = 0;
    if (m_handle == INVALID_HANDLE_VALUE || !WriteFile(m_handle, buffer, count, &done, nullptr))
        return 0;
    return done;
}

unsigned long CReportFile::WriteText(const CMyString& text)
{
    const int length = static_cast<int>(text.GetLength());
    const int bytes = length > 0
        ? WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr)
        : 0;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, &utf8[0], bytes, nullptr, nullptr);
    return Write(utf8.data(), static_cast<unsigned long>(bytes));
}

unsigned long CReportFile::GetSize()
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD position = SetFilePointer(m_handle, 0, nullptr, FILE_CURRENT);
    const DWORD size = SetFilePointer(m_handle, 0, nullptr, FILE_END);
    SetFilePointer(m_handle, static_cast<LONG>(position), nullptr, FILE_BEGIN);
    return size;
}

int CReportFile::Exists() const
{
    const DWORD attributes = GetFileAttributesW(m_name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CReportFile::SetName(const wchar_t* path)
{
    m_name = path ? path : L"";
}

void CReportFile::TakeFrom(CReportFile& other)
{
    Close();
    m_handle = other.m_handle;
    other.m_handle = INVALID_HANDLE_VALUE;
    m_name = other.m_name;
    m_readOnly = other.m_readOnly;
}

// ---------------------------------------------------------------- CReportBase

CReportBase::CReportBase()
    : m_unInstalling(0), m_datVersion(), m_datDate(), m_engineVersion(), m_agentBuildVersion(),
      m_languageId(), m_ieVersion(), m_scannerBuildVersion(), m_osVersion(), m_groupId(),
      m_murmelServerFlag(0)
{
}

CReportBase::~CReportBase()
{
    m_machineId.Release();
    m_machineName.Release();
    m_company.Release();
    m_ipAddress.Release();
    m_emailAddress.Release();
    m_lastDetectionTime.Release();
    m_softwareVersion.Release();
    m_encoding.Release();
}

int CReportBase::Init(const unsigned short* path)
{
    GetCpuID();
    SetEncoding();
    GetDatVersion();
    GetAgentBuildVersion();
    GetEngineVersion();
    GetMachineName();
    GetCompany();
    GetGroupID();
    GetIPAddress();
    GetEmailAddress();
    GetSoftwareVersion();
    GetUnInstallState();
    GetLanguageID();
    GetScannerBuildVersion();
    GetOSVersion();
    GetIEVersion();
    GetMurmelServerFlag();
    GetDatDate();
    const wchar_t* widePath = reinterpret_cast<const wchar_t*>(path);
    if (widePath && *widePath) {
        CReportFile file(widePath);
        m_reportFile.TakeFrom(file);
    }
    return 1;
}

void CReportBase::SetEncoding()
{
    m_encoding = L"encoding=\"UTF-8\"";
}

int CReportBase::GetReportFileName(wchar_t* buffer, unsigned int length)
{
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kUploadConfigKey, KEY_QUERY_VALUE))
        return 0;
    wchar_t folder[1024] = {};
    DWORD count = 1024;
    if (ReadRegString(key.Get(), L"szUploadFrom", folder, &count) != ERROR_SUCCESS)
        return 0;
    key.Close();
    if (!MakeUploadFolder(folder))
        return 0;

    GUID guid;
    if (FAILED(CoCreateGuid(&guid))) {
        WEXMOOR_LOG(Error).Write("Failed to cocreate guid while getting file name");
        return 0;
    }
    RPC_WSTR guidText = nullptr;
    if (UuidToStringW(&guid, &guidText) != RPC_S_OK) {
        WEXMOOR_LOG(Error).Write("Failed to call UuidToString");
        return 0;
    }
    wchar_t name[2048] = {};
    StringCchPrintfW(name, 2048, L"%ls\\CIO%ls.tmp", folder, reinterpret_cast<wchar_t*>(guidText));
    RpcStringFreeW(&guidText);
    // A cut name would lie outside the folder or lose its ".tmp": no name then.
    if (wcslen(name) > length) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    wcsncpy(buffer, name, length);
    return 1;
}

int CReportBase::CreateXmlFile(const wchar_t* path)
{
    // A report file whose access rights cannot be built is not created.
    try {
        SpecialAccess access;
        return access.CreateSpecialFile(path);
    } catch (const Host::CSecurityError& failure) {
        SetLastError(Host::LastErrorOf(failure.result));
        return 0;
    }
}

int CReportBase::WriteToXmlFile(const wchar_t* tempPath, CMyString& content)
{
    WEXMOOR_LOG(Debug).Write("CreateFile()..\n");
    bool written = false;
    if (const FileHandle file{CreateFileW(tempPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)}) {
        WEXMOOR_LOG(Debug).Write(" Starting to write to file.\n");
        const int length = static_cast<int>(content.GetLength());
        const int bytes = length > 0 ? WideCharToMultiByte(CP_UTF8, 0, content.c_str(), length,
                                                           nullptr, 0, nullptr, nullptr)
                                     : 0;
        std::string utf8(static_cast<size_t>(bytes), '\0');
        if (bytes > 0)
            WideCharToMultiByte(CP_UTF8, 0, content.c_str(), length, &utf8[0], bytes, nullptr,
                                nullptr);
        DWORD done = 0;
        written = WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(bytes), &done, nullptr) &&
                  done == static_cast<DWORD>(bytes);
    }
    if (!written) {
        DeleteFileW(tempPath);
        return 0;
    }
    WEXMOOR_LOG(Debug).Write("Successfully written\n");
    wchar_t finalName[520] = {};
    StringCchCopyNW(finalName, 520, tempPath, 519);
    if (wchar_t* dot = wcsrchr(finalName, L'.'))
        *dot = L'\0';
    if (FAILED(StringCchCatW(finalName, 520, L".xml"))) {
        WEXMOOR_LOG(Error).Write("StringCchCopy Failed in GetTokenCount");
        return 1;
    }
    return MoveFileW(tempPath, finalName);
}

int CReportBase::WriteReport(void* arg)
{
    if (!Init(nullptr))
        return 0;
    CMyString content;
    if (!BuildReport(content, arg))
        return 0;
    WEXMOOR_LOG(Info).Write("zeUpload: GetReportFileName..");
    wchar_t name[2048 + 1] = {};
    if (!GetReportFileName(name, 2048))
        return 0;
    WEXMOOR_LOG(Info).Write(L"zeUpload: CreateXmlFile(%ls)..", name);
    if (!CreateXmlFile(name))
        return 0;
    WEXMOOR_LOG(Info).Write("zeUpload: WriteToXmlFile..");
    const int result = WriteToXmlFile(name, content);
    if (result)
        WEXMOOR_LOG(Info).Write("Successfully written System Status XML Report");
    else
        WEXMOOR_LOG(Error).WithError(GetLastError()).Write("Failed to write System Status XML Report");
    return result;
}

void CReportBase::ExpandStatusPlaceholders(CMyString& text)
{
    wchar_t flag[16] = {};
    StringCchPrintfW(flag, 16, L"%d", m_murmelServerFlag);
    Report::Expand(text, L"%CPUID%", m_machineId);
    Report::Expand(text, L"%CPUNAME%", m_machineName);
    Report::Expand(text, L"%EMAIL%", m_emailAddress);
    Report::Expand(text, L"%IPADDRESS%", m_ipAddress);
    Report::Expand(text, L"%OSVERSION%", m_osVersion);
    Report::Expand(text, L"%IEVERSION%", m_ieVersion);
    Report::Expand(text, L"%COMPANY%", m_company);
    Report::Expand(text, L"%SOFTVER%", m_softwareVersion);
    Report::Expand(text, L"%GROUPID%", m_groupId);
    Report::Expand(text, L"%LANGUAGEID%", m_languageId);
    Report::Expand(text, L"%ENGINEVERSION%", m_engineVersion);
    Report::Expand(text, L"%AVDATVERSION%", m_datVersion);
    Report::Expand(text, L"%AVDATDATE%", m_datDate);
    Report::Expand(text, L"%AGENTBUILDVERSION%", m_agentBuildVersion);
    Report::Expand(text, L"%SCANNERBUILDVERSION%", m_scannerBuildVersion);
    Report::Expand(text, L"%HALCYRASTATUS%", IsHalcyraEnabled() ? L"1" : L"0");
    Report::Expand(text, L"%KVBFLAG%", flag);
}

// ---------------------------------------------------------------- status getters

void CReportBase::GetCpuID()
{
    m_machineId.Release();
    CRegHelp key;
    key.SetKeyName(kAgentKey);
    if (!key.Open(HKEY_LOCAL_MACHINE, 1)) {
        if (key.Open(HKEY_LOCAL_MACHINE, 0))
            key.GetString(L"szMachineID", m_machineId);
        return;
    }
    if (key.GetString(L"szMachineID", m_machineId) && m_machineId.GetLength() > 0)
        return;

    wchar_t identifier[1024] = {};
    bool made = false;
    UUID uuid;
    if (UuidCreate(&uuid) == RPC_S_OK) {
        RPC_WSTR text = nullptr;
        if (UuidToStringW(&uuid, &text) == RPC_S_OK) {
            if (FAILED(StringCchCopyW(identifier, 1024, reinterpret_cast<wchar_t*>(text))))
                WEXMOOR_LOG(Error).Write("StringCchCopy Failed in GetCpuID");
            RpcStringFreeW(&text);
            made = true;
        }
    }
    if (!made)
        StringCchPrintfW(identifier, 1024, L"%d", static_cast<int>(GetTickCount()));
    m_machineId = identifier;
    key.SetString(L"szMachineID", m_machineId);
}

void CReportBase::GetDatVersion()
{
    ReadRegText(kPelorinKey, L"AvDatVer", m_datVersion, 32);
}

void CReportBase::GetDatDate()
{
    ReadRegText(kPelorinKey, L"AvDatDate", m_datDate, 16);
}

void CReportBase::GetEngineVersion()
{
    ReadRegText(kPelorinKey, L"EngineVer", m_engineVersion, 32);
}

void CReportBase::GetAgentBuildVersion()
{
    wchar_t path[512];
    if (!ProductFilePath(kAgentFile, path)) {
        WEXMOOR_LOG(Error).Write("StringCchCat failed in GetAgentBuildVersion");
        return;
    }
    ReadFileVersion(path, m_agentBuildVersion);
}

void CReportBase::GetScannerBuildVersion()
{
    m_scannerBuildVersion[0] = L'\0';
    wchar_t path[512];
    if (!ProductFilePath(kScannerFile, path)) {
        WEXMOOR_LOG(Error).Write("StringCchCat Failed in GetScannerBuildVersion");
        return;
    }
    ReadFileVersion(path, m_scannerBuildVersion);
}

void CReportBase::GetMachineName()
{
    wchar_t name[1024] = {};
    DWORD size = 1024;
    if (GetComputerNameW(name, &size))
        m_machineName = name;
    else
        m_machineName = kUnknown;
    Report::EscapeAmpersand(m_machineName);
}

void CReportBase::GetCompany()
{
    ReadRegTextField(kAgentKey, L"szCompanyKey", m_company);
}

void CReportBase::GetGroupID()
{
    DWORD group = 0;
    if (!ReadRegDwordAt(HKEY_LOCAL_MACHINE, kAgentKey, KEY_READ, L"dwGroupID", group))
        return;
    if (StringCchPrintfW(m_groupId, 10, L"%d", static_cast<int>(group)) ==
        STRSAFE_E_INSUFFICIENT_BUFFER)
        WEXMOOR_LOG(Error).Write("StringCchPrintf Failed in GetGroupID");
}

void CReportBase::GetIPAddress()
{
    m_ipAddress.Release();
    WSADATA data;
    if (WSAStartup(0x101, &data) == 0) {
        char host[100] = {};
        if (gethostname(host, sizeof(host)) == 0) {
            const hostent* entry = gethostbyname(host);
            if (entry && entry->h_addr_list && entry->h_addr_list[0]) {
                in_addr address;
                memcpy(&address, entry->h_addr_list[0], sizeof(address));
                wchar_t text[32] = {};
                StringCchPrintfW(text, 32, L"%hs", inet_ntoa(address));
                m_ipAddress = text;
            }
        }
        WSACleanup();
    }
    if (!m_ipAddress.HasText() || m_ipAddress.GetLength() == 0)
        m_ipAddress = kUnknown;
}

void CReportBase::GetEmailAddress()
{
    ReadRegTextField(kAgentKey, L"szEmailAddress", m_emailAddress);
    if (m_emailAddress.GetLength() == 0) {
        wchar_t account[1024] = {};
        SpecialAccess access;
        if (access.GetCurrentUserName(account, 1024) && account[0])
            m_emailAddress = account;
        else
            m_emailAddress = kUnknown;
    }
    Report::EscapeFull(m_emailAddress);
}

void CReportBase::GetSoftwareVersion()
{
    wchar_t path[261] = {};
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder)))
        StringCchPrintfW(path, 261, L"%ls\\%ls\\Agent\\zeAgtSvc.exe", folder, kProductFolder);
    else
        GetModuleFileNameW(nullptr, path, 261);
    m_softwareVersion = kFallbackVersion;

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data()))
        return;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", &value,
                        &length) || !value || length == 0)
        return;
    wchar_t version[1024] = {};
    StringCchCopyNW(version, 1024, static_cast<const wchar_t*>(value), 1023);
    m_softwareVersion = version;
    m_softwareVersion.RemoveAllChars(L' ');
}

void CReportBase::GetUnInstallState()
{
    DWORD state = 0;
    ReadRegDwordAt(HKEY_LOCAL_MACHINE, kUploadConfigKey, KEY_READ, L"dwUnInstalling", state);
    m_unInstalling = state;
    WEXMOOR_LOG(Info).Write("UnInstall String = %d", static_cast<int>(m_unInstalling));
}

void CReportBase::GetLanguageID()
{
    IMUIHelper* language = CMUIHelperFactory::CreateInstance();
    if (!language)
        return;
    const std::wstring abbreviation = language->GetUILanguageAbbrev();
    language->Release();
    if (!abbreviation.empty())
        StringCchCopyNW(m_languageId, 16, abbreviation.c_str(), 15);
}

void CReportBase::GetOSVersion()
{
    m_osVersion[0] = L'\0';
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    bool extended = true;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        info = {};
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        extended = false;
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)))
            return;
    }
    if (!Report::DescribeOsVersion(info, extended, m_osVersion))
        WEXMOOR_LOG(Error).Write("StringCchCat failed in GetOSVersion");
}

void CReportBase::GetIEVersion()
{
    ReadRegText(kBrowserKey, L"Version", m_ieVersion, 128);
}

void CReportBase::GetMurmelServerFlag()
{
    DWORD flag = 0;
    ReadRegDwordAt(HKEY_LOCAL_MACHINE, kMurmelConfigKey, KEY_READ, L"dwMurmel2ServerEnabled", flag);
    m_murmelServerFlag = static_cast<int>(flag);
}

int CReportBase::IsHalcyraEnabled()
{
    for (const wchar_t* keyPath : kCloudLookupKeys) {
        RegKey key;
        if (!key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_READ))
            continue;
        DWORD value = 0;
        DWORD bytes = sizeof(value);
        if (ReadRegBytes(key.Get(), L"HalcyraEnabled", &value, &bytes) == ERROR_SUCCESS && value == 1)
            return 1;
    }
    return 0;
}
