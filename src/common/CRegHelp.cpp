#include "common/RegHelp.h"

#include <vector>

#include "common/RegKey.h"
#include "log/LogEvent.h"

namespace {

constexpr DWORD kValueNameChars = 2048;

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
    return ReadRegBytes(m_key, name, data, byteCount) == ERROR_SUCCESS ? 1 : 0;
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
        if (ReadRegBytes(m_key, name, nullptr, &bytes, &type) != ERROR_SUCCESS
            || bytes == 0 || !IsRegStringType(type))
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
