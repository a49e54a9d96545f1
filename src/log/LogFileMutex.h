// The named mutex that every client process takes around its writes to the
// log files, and the security attributes with which the mutex and the log
// files are created so that processes of other accounts can use them too.
#pragma once

#include <windows.h>

namespace LogUtils {

constexpr wchar_t kLogMutexName[] = L"MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";
constexpr wchar_t kGlobalLogMutexName[] = L"Global\\MUX_QXTRELMLOG_BDEED226-DDC1-4f9e-ACC9-EBC49E4752F5";

// How long a writer waits for the log file mutex. Any account may take the
// mutex and keep it; after this a writer appends its line without the lock.
constexpr DWORD kLogMutexWaitMs = 5000;

// What a writer needs of the mutex: wait for it and release it.
constexpr DWORD kLogMutexWriterAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// The mutex's name in this process: the global one on systems with terminal
// services, so that all sessions share it.
const wchar_t* LogMutexName();

// For log files: LocalSystem and Everyone may use them; the DACL is protected
// from the folder's inheritable entries; handles are not inheritable. Null on
// platforms other than Windows NT. Created once per process, released when
// the library is unloaded.
SECURITY_ATTRIBUTES* LogSecurityAttributes();

// For the mutex: LocalSystem and Administrators have full access, Everyone
// may wait for it and release it; the DACL is protected. Null where
// LogSecurityAttributes is.
SECURITY_ATTRIBUTES* LogMutexSecurityAttributes();

// The process's handle of the log file mutex, created (or, when it exists,
// opened for waiting and releasing) on first use and never closed. When it
// cannot be had, throws CSystemException carrying the HRESULT of the Windows
// error; the next call tries again.
HANDLE LogFileMutex();

// Waits up to kLogMutexWaitMs for the log file mutex and holds it for its
// lifetime when it got it (an abandoned mutex counts as acquired).
class LogFileLock {
public:
    LogFileLock();
    ~LogFileLock();
    LogFileLock(const LogFileLock&) = delete;
    LogFileLock& operator=(const LogFileLock&) = delete;

    bool Held() const { return m_held; }

private:
    HANDLE m_mutex;
    bool m_held = false;
};

} // namespace LogUtils
