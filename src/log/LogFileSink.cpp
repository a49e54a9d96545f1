#include "log/LogFileSink.h"

#include "common/ScopedHandle.h"
#include "log/LineFormat.h"
#include "log/LogArchive.h"
#include "log/LogFileMutex.h"

namespace LogUtils {

LogFileSink::LogFileSink(const wchar_t* path, unsigned int sizeLimit, int archiveOnOverflow)
    : m_path(path), m_sizeLimit(sizeLimit), m_archiveOnOverflow(archiveOnOverflow)
{
}

bool LogFileSink::Write(const char* format, const LogEvent& event)
{
    const std::string line = RenderLine(format, event, "\r\n");

    SECURITY_ATTRIBUTES* security = LogSecurityAttributes();

    // The mutex is held from the size check to the end of the append, so two
    // writers never archive or empty the same file together, and no writer
    // appends to a file that another is about to start anew.
    LogFileLock lock;

    DWORD disposition = OPEN_ALWAYS;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(m_path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        if (found.nFileSizeLow > m_sizeLimit) {
            disposition = CREATE_ALWAYS;
            if (m_archiveOnOverflow == 1 && !ArchiveLogFile(m_path.c_str()))
                disposition = OPEN_ALWAYS;
        }
    }

    CScopedHandle file(CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         security, disposition,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return false;
    SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return true;
}

} // namespace LogUtils
