// Registry helpers of the common code: the key class, the bounded string
// read and the installation-folder lookup.
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

// Reads a REG_SZ or REG_EXPAND_SZ value into buffer; count is the buffer's
// size in characters on entry and the characters returned (terminator
// included) on success, 0 otherwise. Returns a Windows error code.
LONG ReadRegString(HKEY key, const wchar_t* valueName, wchar_t* buffer, DWORD* count);

// Reads a value that must be a REG_DWORD; value is set only when it is. A
// value of fewer than 4 data bytes gives those bytes, the rest 0.
bool ReadRegDword(HKEY key, const wchar_t* valueName, DWORD& value);
// The same for a value that must also hold exactly 4 data bytes.
bool ReadRegDwordOfFourBytes(HKEY key, const wchar_t* valueName, DWORD& value);

constexpr wchar_t kClientRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
constexpr DWORD kInstallDirChars = 521;

// The client's installation folder "szInstallDir" as stored; TRUE when the
// key opened and the value was read. buffer holds kInstallDirChars.
BOOL GetInstallDir(wchar_t* buffer);
