#include "log/LogFileSink.h"

#include "common/ScopedHandle.h"
#include "log/LineFormat.h"
#include "log/LogArchive.h"
#include "log/LogFileMutex.h"
#include "log/LogHeldLines.h"

namespace LogUtils {
namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// How often a writer whose log is in use tries the side file and the log in
// turn: while another writer moves the held lines into the log, the side file
// is in use (or about to be deleted) and the log is free again.
constexpr int kHoldAttempts = 20;

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
    const FileHandle probe(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.IsValid();
}

// The log is in use by another program: the line waits in the side file.
bool HoldLine(const std::wstring& path, const std::string& line, SECURITY_ATTRIBUTES* security)
{
    const HeldLines held(path);
    for (int attempt = 0; attempt < kHoldAttempts; ++attempt) {
        DWORD error = 0;
        if (held.Hold(line, security, &error))
            return true;
        if (!FileInUse(error) && error != ERROR_ACCESS_DENIED)
            return false;
        const FileHandle file(OpenLog(path, security, OPEN_ALWAYS, 0));
        if (file) {
            AppendAtEnd(file.Get(), line.data(), static_cast<DWORD>(line.size()));
            return true;
        }
        if (!FileInUse(GetLastError()))
            return false;
        Sleep(1);
    }
    return false;
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
    if (FindHandle(FindFirstFileW(m_path.c_str(), &found))) {
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

    FileHandle file(OpenLog(m_path, security, disposition, kept));
    if (!file && !archive.empty()) {
        // A reader came between: its content stays in the log, not in an archive too.
        DeleteArchive(m_path.c_str(), archive);
        file.Reset(OpenLog(m_path, security, OPEN_ALWAYS, kept));
    }
    if (!file)
        return FileInUse(GetLastError()) && HoldLine(m_path, line, security);
    // Lines held while the log was in use go first. Only a writer that holds
    // the mutex moves them; when they cannot be moved now, this line waits
    // behind them.
    const HeldLines held(m_path);
    DWORD error = 0;
    if (lock.Held() && !held.MoveInto(file.Get()) && held.Hold(line, security, &error))
        return true;
    // Written at the end of the file as one append, so that a line written
    // without the lock and a line written under it never overwrite each other.
    AppendAtEnd(file.Get(), line.data(), static_cast<DWORD>(line.size()));
    return true;
}

} // namespace LogUtils
