#include "log/LogFileSink.h"

#include "common/ScopedHandle.h"
#include "log/LineFormat.h"
#include "log/LogArchive.h"
#include "log/LogFileMutex.h"

namespace LogUtils {
namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Opens the log for writing. Starting a hidden or system file anew must name
// those attributes again, or Windows refuses it.
HANDLE OpenLog(const std::wstring& path, SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD kept)
{
    const DWORD attributes = disposition == CREATE_ALWAYS && kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, security, disposition,
                       attributes | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Whether the log could be emptied now: no other program holds it open
// without sharing write access.
bool CanStartAnew(const std::wstring& path)
{
    CScopedHandle probe(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.Get() != INVALID_HANDLE_VALUE;
}

} // namespace

LogFileSink::LogFileSink(const wchar_t* path, unsigned int sizeLimit, int archiveOnOverflow)
    : m_path(path), m_sizeLimit(sizeLimit), m_archiveOnOverflow(archiveOnOverflow)
{
}

bool LogFileSink::Write(const char* format, const LogEvent& event)
{
    const std::string line = RenderLine(format, event, "\r\n");

    SECURITY_ATTRIBUTES* security = LogSecurityAttributes();

    // The mutex is held from the size check to the end of the append, so two
    // writers never archive or empty the same file together. A writer that
    // could not get it in time only appends.
    LogFileLock lock;

    DWORD disposition = OPEN_ALWAYS;
    DWORD kept = 0;
    std::wstring archive;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(m_path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        kept = found.dwFileAttributes & kKeptAttributes;
        if (found.nFileSizeLow > m_sizeLimit) {
            // A file that cannot be emptied is not archived: its content would
            // go into one more archive at every event.
            if (lock.Held() && CanStartAnew(m_path))
                disposition = CREATE_ALWAYS;
            if (disposition == CREATE_ALWAYS && m_archiveOnOverflow == 1 && !ArchiveLogFile(m_path.c_str(), &archive))
                disposition = OPEN_ALWAYS;
        }
    }

    CScopedHandle file(OpenLog(m_path, security, disposition, kept));
    if (file.Get() == INVALID_HANDLE_VALUE && !archive.empty()) {
        // A reader came between: its content stays in the log, not in an archive too.
        DeleteArchive(m_path.c_str(), archive);
        file.Reset(OpenLog(m_path, security, OPEN_ALWAYS, kept));
    }
    if (file.Get() == INVALID_HANDLE_VALUE)
        return false;
    // Written at the end of the file as one append, so that a line written
    // without the lock and a line written under it never overwrite each other.
    OVERLAPPED atEnd = {};
    atEnd.Offset = atEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, &atEnd);
    return true;
}

} // namespace LogUtils
