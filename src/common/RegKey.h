// The registry vocabulary of the library: RegKey, an open key that closes
// itself, and the reads of one value. Every registry read outside CRegHelp
// goes through these. None of them logs, so the logging code may use them.
#pragma once

#include <windows.h>

class RegKey {
public:
    RegKey() : m_key(nullptr) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // RegOpenKeyExW; true on ERROR_SUCCESS.
    bool Open(HKEY root, const wchar_t* path, REGSAM access)
    {
        Close();
        return RegOpenKeyExW(root, path, 0, access, &m_key) == ERROR_SUCCESS;
    }
    // RegCreateKeyExW (non-volatile, no class, no security attributes).
    bool Create(HKEY root, const wchar_t* path, REGSAM access)
    {
        Close();
        return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, &m_key, nullptr) == ERROR_SUCCESS;
    }
    void Close()
    {
        if (m_key) {
            RegCloseKey(m_key);
            m_key = nullptr;
        }
    }
    HKEY Get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }

private:
    HKEY m_key;
};

inline bool IsRegStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The value's data as stored, whatever its type, into *bytes bytes (which
// receives the size read); type, when given, receives the value's type.
// Returns the Windows error code of the read.
LONG ReadRegBytes(HKEY key, const wchar_t* valueName, void* data, DWORD* bytes, DWORD* type = nullptr);

// Reads a REG_SZ or REG_EXPAND_SZ value into buffer; count is the buffer's
// size in characters on entry and the characters returned (terminator
// included) on success, 0 otherwise. Returns a Windows error code.
LONG ReadRegString(HKEY key, const wchar_t* valueName, wchar_t* buffer, DWORD* count);

// Reads a value that must be a REG_DWORD; value is set only when it is. A
// value of fewer than 4 data bytes gives those bytes, the rest 0.
bool ReadRegDword(HKEY key, const wchar_t* valueName, DWORD& value);
// The same for a value that must also hold exactly 4 data bytes.
bool ReadRegDwordOfFourBytes(HKEY key, const wchar_t* valueName, DWORD& value);
// Opens root\keyPath with access, reads a REG_DWORD value as ReadRegDword
// does and closes the key again; value is set only when it was read.
bool ReadRegDwordAt(HKEY root, const wchar_t* keyPath, REGSAM access, const wchar_t* valueName,
                    DWORD& value);
