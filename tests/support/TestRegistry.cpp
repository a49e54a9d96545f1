#include "TestSupport.h"

#include <stdexcept>

namespace testsupport {

void DeleteRegistryTree(HKEY root, const std::wstring& path)
{
    RegDeleteTreeW(root, path.c_str());
    RegDeleteKeyW(root, path.c_str());
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, const std::wstring& path) : m_root(root), m_path(path), m_key(nullptr)
{
    DeleteRegistryTree(root, path);
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create test registry key");
}

ScopedRegistryKey::~ScopedRegistryKey()
{
    RegCloseKey(m_key);
    DeleteRegistryTree(m_root, m_path);
}

void ScopedRegistryKey::SetString(const std::wstring& name, const std::wstring& value, DWORD type)
{
    SetRaw(name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegistryKey::SetDword(const std::wstring& name, DWORD value) { SetRaw(name, REG_DWORD, &value, sizeof(value)); }
void ScopedRegistryKey::DeleteValue(const std::wstring& name) { RegDeleteValueW(m_key, name.c_str()); }

void ScopedRegistryKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD bytes)
{
    if (RegSetValueExW(m_key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set test registry value");
}

} // namespace testsupport
