// Shared test helpers: registry keys and folders that clean up after
// themselves, file contents, and the folder of the running test program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// A registry key that is deleted with its whole tree when the object is
// created (so each test starts clean) and again when it is destroyed.
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

// Deletes a key tree (no error when it is missing).
void DeleteRegistryTree(HKEY root, const std::wstring& path);

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
// The names of the files and folders that match pattern ("C:\\dir\\*.log"), "." and ".." left out.
std::vector<std::wstring> FileNames(const std::wstring& pattern);
// Creates every missing folder above path (the last part is a file name).
void MakeParentFolders(const std::wstring& path);
// Copies a file of the build's bin folder ("qxres\0409\QxRes_l.dll") to target, folders included.
bool CopyBuilt(const std::wstring& built, const std::wstring& target);
bool FileExists(const std::wstring& path);
// The file's lines once it exists, waiting up to a minute (none when it never came).
std::vector<std::string> WaitForLines(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The file's lines split at "\r\n" (a last line without an ending is kept).
std::vector<std::string> ReadLines(const std::wstring& path);
// The folder of the running test program, without a trailing backslash.
std::wstring ModuleFolder();
std::wstring TempPath();   // GetTempPathW, with its trailing backslash
std::string Narrow(const std::wstring& text);   // ANSI code page
std::wstring Wide(const std::string& text);     // ANSI code page

} // namespace testsupport
