// The value reads of the registry vocabulary. They do not log: the log
// configuration reads the registry through them.
#include "common/RegKey.h"

namespace {

// Reads a REG_DWORD value into a zeroed 4-byte number; a value of fewer data
// bytes fills the low bytes and leaves the rest 0. bytes receives its size.
bool QueryRegDword(HKEY key, const wchar_t* valueName, DWORD& value, DWORD& bytes)
{
    DWORD type = 0;
    DWORD data = 0;
    bytes = sizeof(data);
    if (ReadRegBytes(key, valueName, &data, &bytes, &type) != ERROR_SUCCESS || type != REG_DWORD)
        return false;
    value = data;
    return true;
}

} // namespace

LONG ReadRegBytes(HKEY key, const wchar_t* valueName, void* data, DWORD* bytes, DWORD* type)
{
    return RegQueryValueExW(key, valueName, nullptr, type, static_cast<BYTE*>(data), bytes);
}

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

bool ReadRegDwordAt(HKEY root, const wchar_t* keyPath, REGSAM access, const wchar_t* valueName,
                    DWORD& value)
{
    RegKey key;
    return key.Open(root, keyPath, access) && ReadRegDword(key.Get(), valueName, value);
}

LONG ReadRegString(HKEY key, const wchar_t* valueName, wchar_t* buffer, DWORD* count)
{
    const DWORD capacity = *count;
    DWORD bytes = capacity * 2;
    *count = 0;
    DWORD type = 0;
    const LONG result = ReadRegBytes(key, valueName, buffer, &bytes, &type);
    if (result != ERROR_SUCCESS)
        return result;
    if (!IsRegStringType(type))
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
