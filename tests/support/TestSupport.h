// Shared test helpers: self-cleaning registry keys and folders, file contents, the test program's folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// A registry key whose whole tree is deleted when the object is created (each test starts clean) and destroyed.
class ScopedRegistryKey {
public:
    ScopedRegistryKey(HKEY root, const std::wstring& path);
    ~ScopedRegistryKey();
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
    void SetString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ);
    void SetDword(const std::wstring& name, DWORD value);
    void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD bytes);
    void DeleteValue(const std::wstring& name);
    HKEY Handle() const { return m_key; }

private:
    HKEY m_root;
    std::wstring m_path;
    HKEY m_key;
};

void DeleteRegistryTree(HKEY root, const std::wstring& path);   // no error when it is missing

// A fresh folder below the temporary folder, removed with its contents at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return m_path; }   // no trailing backslash
    std::wstring Join(const std::wstring& relative) const;  // Path() + "\" + relative
    std::wstring MakeFolder(const std::wstring& relative) const;

private:
    std::wstring m_path;
};

void RemoveTree(const std::wstring& path);
std::vector<std::wstring> FileNames(const std::wstring& pattern);   // matches of "C:\\dir\\*.log", "." and ".." left out
bool CopyBuilt(const std::wstring& built, const std::wstring& target);   // "qxres\0409\QxRes_l.dll" of bin, folders made
bool FileExists(const std::wstring& path);
std::vector<std::string> WaitForLines(const std::wstring& path);   // once the file exists, up to a minute (else none)
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::vector<std::string> ReadLines(const std::wstring& path);   // split at "\r\n", a last line without one kept
std::wstring ModuleFolder();    // of the running test program, no trailing backslash
std::wstring TempPath();        // GetTempPathW, with its trailing backslash
std::string Narrow(const std::wstring& text);   // ANSI code page
std::wstring Wide(const std::string& text);     // ANSI code page

} // namespace testsupport
