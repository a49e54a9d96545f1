// The named mutex that every client process takes around its writes to the
// log files, and the security attributes with which the mutex and the log
// files are created so that processes of other accounts can use them too.
#pragma once

#include <windows.h>

namespace LogUtils {

constexpr wchar_t kLogMutexName[] = L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";
constexpr wchar_t kGlobalLogMutexName[] = L"Global\\MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";

// LocalSystem and Everyone may use the object; handles are not inheritable.
// Null on platforms other than Windows NT. Created once per process, released
// when the library is unloaded.
SECURITY_ATTRIBUTES* LogSecurityAttributes();

// The process's handle of the log file mutex, created on first use and never
// closed. When it cannot be created, throws CSystemException carrying the
// HRESULT of the Windows error; the next call tries again.
HANDLE LogFileMutex();

// Holds the log file mutex for its lifetime (an abandoned mutex counts as
// acquired).
class LogFileLock {
public:
    LogFileLock();
    ~LogFileLock();
    LogFileLock(const LogFileLock&) = delete;
    LogFileLock& operator=(const LogFileLock&) = delete;

private:
    HANDLE m_mutex;
};

} // namespace LogUtils
