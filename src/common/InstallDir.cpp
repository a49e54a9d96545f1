#include "common/InstallDir.h"

#include <cstring>

#include "common/ClientKeys.h"
#include "common/RegKey.h"

bool ReadInstallDir(wchar_t* buffer, DWORD chars, REGSAM access, InstallDirValue value)
{
    buffer[0] = L'\0';
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kClientRootKey, access))
        return false;
    bool read;
    if (value == InstallDirValue::String) {
        DWORD count = chars;
        read = ReadRegString(key.Get(), L"szInstallDir", buffer, &count) == ERROR_SUCCESS;
    } else {
        std::memset(buffer, 0, chars * sizeof(wchar_t));
        DWORD bytes = (chars - 1) * sizeof(wchar_t);
        read = ReadRegBytes(key.Get(), L"szInstallDir", buffer, &bytes) == ERROR_SUCCESS;
    }
    if (!read)
        buffer[0] = L'\0';
    return read;
}

BOOL GetInstallDir(wchar_t* buffer)
{
    return ReadInstallDir(buffer, kInstallDirChars, KEY_QUERY_VALUE) ? TRUE : FALSE;
}
