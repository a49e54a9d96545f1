// CRegHelp: the registry key class of the common code. The plain reads of
// one value are in common/RegKey.h, the installation folder in
// common/InstallDir.h.
#pragma once

#include <windows.h>

#include "common/CMyString.h"

class CRegHelp {
public:
    CRegHelp();
    ~CRegHelp();
    CRegHelp(const CRegHelp&) = delete;
    CRegHelp& operator=(const CRegHelp&) = delete;

    CRegHelp& SetKeyName(const wchar_t* name);
    // mode 1: create for all access; any other mode: open for reading.
    int Open(HKEY root, int mode);
    void Close();
    int EnumValueName(DWORD index, CMyString& name, DWORD* type);
    int QueryValue(const wchar_t* name, void* data, DWORD* byteCount);
    int GetString(const wchar_t* name, CMyString& out);
    int GetDword(const wchar_t* name, DWORD& out);
    int SetString(const wchar_t* name, const CMyString& value);

    HKEY GetKey() const { return m_key; }

private:
    HKEY m_parentKey;
    HKEY m_key;
    REGSAM m_access;
    CMyString m_keyName;
};
