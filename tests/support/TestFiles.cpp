#include "TestSupport.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>

namespace testsupport {

static void MakeParentFolders(const std::wstring& path)   // every missing folder above path (a file name)
{
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
}

std::wstring TempPath()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buffer);
    return buffer;
}

TempFolder::TempFolder()
{
    static LONG counter = 0;
    m_path = TempPath() + L"tolvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(InterlockedIncrement(&counter));
    RemoveTree(m_path);
    if (!CreateDirectoryW(m_path.c_str(), nullptr))
        throw std::runtime_error("cannot create test folder");
}

TempFolder::~TempFolder() { RemoveTree(m_path); }
std::wstring TempFolder::Join(const std::wstring& relative) const { return m_path + L"\\" + relative; }

std::wstring TempFolder::MakeFolder(const std::wstring& relative) const
{
    MakeParentFolders(Join(relative) + L"\\x");
    return Join(relative);
}

std::vector<std::wstring> FileNames(const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    for (bool found = search != INVALID_HANDLE_VALUE; found; found = FindNextFileW(search, &data))
        if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
            names.push_back(data.cFileName);
    FindClose(search);
    return names;
}

void RemoveTree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        for (const std::wstring& name : FileNames(path + L"\\*"))
            RemoveTree(path + L"\\" + name);
        RemoveDirectoryW(path.c_str());
    } else if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}


bool CopyBuilt(const std::wstring& built, const std::wstring& target)
{
    MakeParentFolders(target);
    return CopyFileW((ModuleFolder() + L"\\" + built).c_str(), target.c_str(), FALSE) != FALSE;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> WaitForLines(const std::wstring& path)
{
    for (int i = 0; i < 600 && !FileExists(path); ++i)
        Sleep(100);
    return ReadLines(path);
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write test file");
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::string> ReadLines(const std::wstring& path)
{
    const std::string bytes = ReadFileBytes(path);
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < bytes.size(); start = end + 2)
        lines.push_back(bytes.substr(start, (end = std::min(bytes.find("\r\n", start), bytes.size())) - start));
    return lines;
}

std::wstring ModuleFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    const std::wstring path = buffer;
    return path.substr(0, path.find_last_of(L'\\'));
}

std::string Narrow(const std::wstring& text)   // a conversion of no characters fails and leaves the result empty
{
    std::string result(WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &result[0], static_cast<int>(result.size()), nullptr, nullptr);
    return result;
}

std::wstring Wide(const std::string& text)
{
    std::wstring result(MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &result[0], static_cast<int>(result.size()));
    return result;
}

} // namespace testsupport
