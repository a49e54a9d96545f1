// The client's installation folder: the value "szInstallDir" of the client's
// root key. This is its one reader; callers differ in the buffer they pass,
// the access they open the key with and whether the value's type counts.
#pragma once

#include <windows.h>

constexpr DWORD kInstallDirChars = 521;

enum class InstallDirValue {
    String,     // a terminated REG_SZ or REG_EXPAND_SZ, read as ReadRegString reads
    AnyType,    // the stored bytes whatever the type, into chars - 1 characters,
                // the last character kept 0 so that unterminated data ends
};

// Reads the folder into buffer (chars characters, the terminator included).
// On failure the buffer holds the empty text and the result is false.
bool ReadInstallDir(wchar_t* buffer, DWORD chars, REGSAM access,
                    InstallDirValue value = InstallDirValue::String);

// The client's installation folder "szInstallDir" as stored; TRUE when the
// key opened and the value was read. buffer holds kInstallDirChars.
BOOL GetInstallDir(wchar_t* buffer);
