// RegKey: an open registry key that closes itself.
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
