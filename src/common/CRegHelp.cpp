#include "common/RegHelp.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/RegKey.h"
#include "log/LogEvent.h"

namespace {

constexpr DWORD kValueNameChars = 2048;

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

} // namespace

CRegHelp::CRegHelp() : m_parentKey(nullptr), m_key(nullptr), m_access(0) {}

CRegHelp::~CRegHelp()
{
    if (m_parentKey)
        RegCloseKey(m_parentKey);
    Close();
}

CRegHelp& CRegHelp::SetKeyName(const wchar_t* name)
{
    m_keyName = name;
    return *this;
}

int CRegHelp::Open(HKEY root, int mode)
{
    Close();
    const HKEY base = m_parentKey ? m_parentKey : root;
    LONG result;
    if (mode == 1) {
        m_access = KEY_ALL_ACCESS;
        result = RegCreateKeyExW(base, m_keyName.HasText() ? m_keyName.c_str() : L"", 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    } else {
        m_access = KEY_READ;
        result = RegOpenKeyExW(base, m_keyName.c_str(), 0, KEY_READ, &m_key);
    }
    if (result != ERROR_SUCCESS) {
        m_key = nullptr;
        return 0;
    }
    return 1;
}

void CRegHelp::Close()
{
    if (m_key) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

int CRegHelp::EnumValueName(DWORD index, CMyString& name, DWORD* type)
{
    int result = 0;
    try {
        name.Release();
        if (!m_key)
            return 0;
        wchar_t buffer[kValueNameChars];
        DWORD length = kValueNameChars;
        if (RegEnumValueW(m_key, index, buffer, &length, nullptr, type, nullptr, nullptr) == ERROR_SUCCESS) {
            name = buffer;
            result = 1;
        }
    } catch (...) {
        WEXMOOR_LOG(Error).Write("Exception occurred");
    }
    return result;
}

int CRegHelp::QueryValue(const wchar_t* name, void* data, DWORD* byteCount)
{
    if (!m_key)
        return 0;
    return RegQueryValueExW(m_key, name, nullptr, nullptr, static_cast<BYTE*>(data), byteCount)
            == ERROR_SUCCESS ? 1 : 0;
}

int CRegHelp::GetString(const wchar_t* name, CMyString& out)
{
    int result = 0;
    try {
        out.Release();
        if (!m_key)
            return 0;
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS
            || bytes == 0 || !IsStringType(type))
            return 0;
        const DWORD chars = bytes / 2 + 1;
        std::vector<wchar_t> buffer(chars, L'\0');
        result = QueryValue(name, buffer.data(), &bytes);
        if (result) {
            buffer[bytes / 2 < chars ? bytes / 2 : chars - 1] = L'\0';
            out = buffer.data();
        }
    } catch (...) {
    }
    return result;
}

int CRegHelp::GetDword(const wchar_t* name, DWORD& out)
{
    out = 0;
    return m_key && ReadRegDword(m_key, name, out) ? 1 : 0;
}

int CRegHelp::SetString(const wchar_t* name, const CMyString& value)
{
    if (!m_key)
        return 0;
    const wchar_t* text = value.HasText() ? value.c_str() : L"";
    const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes)
            == ERROR_SUCCESS ? 1 : 0;
}

namespace {

// Reads a REG_DWORD value into a zeroed 4-byte number; a value of fewer data
// bytes fills the low bytes and leaves the rest 0. bytes receives its size.
bool QueryRegDword(HKEY key, const wchar_t* valueName, DWORD& value, DWORD& bytes)
{
    DWORD type = 0;
    DWORD data = 0;
    bytes = sizeof(data);
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS
        || type != REG_DWORD)
        return false;
    value = data;
    return true;
}

} // namespace

bool ReadRegDword(HKEY key, const wchar_t* valueName, DWORD& value)
{
    DWORD bytes = 0;
    return QueryRegDword(key, valueName, value, bytes);
}

bool ReadRegDwordOfFourBytes(HKEY key, const wchar_t* valueName, DWORD& value)
{
    DWORD bytes = 0;
    DWORD read = 0;
    if (!QueryRegDword(key, valueName, read, bytes) || bytes != sizeof(read))
        return false;
    value = read;
    return true;
}

LONG ReadRegString(HKEY key, const wchar_t* valueName, wchar_t* buffer, DWORD* count)
{
    const DWORD capacity = *count;
    DWORD bytes = capacity * 2;
    *count = 0;
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, valueName, nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer), &bytes);
    if (result != ERROR_SUCCESS)
        return result;
    if (!IsStringType(type))
        return ERROR_INVALID_DATA;
    if (buffer) {
        if (bytes == 0) {
            if (capacity == 0)
                return ERROR_MORE_DATA;
            buffer[0] = L'\0';
            *count = 1;
            return ERROR_SUCCESS;
        }
        if (bytes % 2 != 0 || buffer[bytes / 2 - 1] != L'\0')
            return ERROR_INVALID_DATA;
    }
    *count = bytes / 2;
    return ERROR_SUCCESS;
}

BOOL GetInstallDir(wchar_t* buffer)
{
    buffer[0] = L'\0';
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kClientRootKey, KEY_QUERY_VALUE))
        return FALSE;
    DWORD count = kInstallDirChars;
    if (ReadRegString(key.Get(), L"szInstallDir", buffer, &count) != ERROR_SUCCESS) {
        buffer[0] = L'\0';
        return FALSE;
    }
    return TRUE;
}
