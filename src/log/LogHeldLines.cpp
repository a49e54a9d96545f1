#include "log/LogHeldLines.h"

#include <algorithm>
#include <memory>
#include <new>

#include "common/ScopedHandle.h"

namespace LogUtils {

bool AppendAtEnd(HANDLE file, const char* data, DWORD size)
{
    // Offset 0xFFFFFFFF:0xFFFFFFFF writes at the current end of the file as
    // one operation, so appends of several writers never overwrite each other.
    OVERLAPPED atEnd = {};
    atEnd.Offset = atEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    return WriteFile(file, data, size, &written, &atEnd) && written == size;
}

bool FileInUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

HeldLines::HeldLines(const std::wstring& logPath) : m_path(logPath + L".held")
{
}

bool HeldLines::Hold(const std::string& line, SECURITY_ATTRIBUTES* security, DWORD* error) const
{
    const FileHandle held(CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, security,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (held && AppendAtEnd(held.Get(), line.data(), static_cast<DWORD>(line.size())))
        return true;
    *error = GetLastError();
    return false;
}

bool HeldLines::MoveInto(HANDLE log) const
{
    // The one extra look-up of an event while nothing is held.
    if (GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    // Taken without sharing write or delete access: no writer without the
    // mutex appends to it while its lines are moved.
    const FileHandle held(CreateFileW(m_path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!held)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    // Up to 16 MiB of held lines go into the log in one append, so that no
    // line written meanwhile without the mutex lands among them.
    constexpr LONGLONG kMaxChunk = 16 * 1024 * 1024;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(held.Get(), &size))
        return false;
    const DWORD chunk = static_cast<DWORD>(std::max<LONGLONG>(1, std::min(size.QuadPart, kMaxChunk)));
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[chunk]);
    // Marked for deletion (when this handle closes) before anything is copied:
    // the lines of a side file that could not be deleted would be moved twice.
    FILE_DISPOSITION_INFO dispose = {TRUE};
    if (!buffer || !SetFileInformationByHandle(held.Get(), FileDispositionInfo, &dispose, sizeof(dispose)))
        return false;
    for (DWORD read = 0;;) {
        if (!ReadFile(held.Get(), buffer.get(), chunk, &read, nullptr) ||
            (read != 0 && !AppendAtEnd(log, buffer.get(), read))) {
            dispose = {FALSE};   // kept for the next writer
            SetFileInformationByHandle(held.Get(), FileDispositionInfo, &dispose, sizeof(dispose));
            return false;
        }
        if (read == 0)
            return true;
    }
}

} // namespace LogUtils
