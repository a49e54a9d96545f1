#include "log/LogFileMutex.h"

#include "common/SystemException.h"
#include "log/SystemInfo.h"

namespace LogUtils {
namespace {

// A security descriptor whose DACL allows LocalSystem GENERIC_ALL |
// STANDARD_RIGHTS_ALL and Everyone GENERIC_ALL | READ_CONTROL, in that order.
class SharedSecurity {
public:
    SharedSecurity()
    {
        SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
        SID_IDENTIFIER_AUTHORITY worldAuthority = SECURITY_WORLD_SID_AUTHORITY;
        if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_LOCAL_SYSTEM_RID,
                                      0, 0, 0, 0, 0, 0, 0, &m_system) ||
            !AllocateAndInitializeSid(&worldAuthority, 1, SECURITY_WORLD_RID,
                                      0, 0, 0, 0, 0, 0, 0, &m_everyone))
            return;
        DWORD aclBytes = sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD)) +
                         GetLengthSid(m_system) + GetLengthSid(m_everyone);
        m_acl = static_cast<ACL*>(LocalAlloc(LPTR, aclBytes));
        if (!m_acl || !InitializeAcl(m_acl, aclBytes, ACL_REVISION) ||
            !AddAccessAllowedAce(m_acl, ACL_REVISION, GENERIC_ALL | STANDARD_RIGHTS_ALL, m_system) ||
            !AddAccessAllowedAce(m_acl, ACL_REVISION, GENERIC_ALL | READ_CONTROL, m_everyone) ||
            !InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&m_descriptor, TRUE, m_acl, FALSE))
            return;
        m_attributes.nLength = sizeof(m_attributes);
        m_attributes.lpSecurityDescriptor = &m_descriptor;
        m_attributes.bInheritHandle = FALSE;
        m_valid = true;
    }

    ~SharedSecurity()
    {
        if (m_acl)
            LocalFree(m_acl);
        if (m_everyone)
            FreeSid(m_everyone);
        if (m_system)
            FreeSid(m_system);
    }

    SharedSecurity(const SharedSecurity&) = delete;
    SharedSecurity& operator=(const SharedSecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() { return m_valid ? &m_attributes : nullptr; }

private:
    PSID m_system = nullptr;
    PSID m_everyone = nullptr;
    ACL* m_acl = nullptr;
    SECURITY_DESCRIPTOR m_descriptor = {};
    SECURITY_ATTRIBUTES m_attributes = {};
    bool m_valid = false;
};

HANDLE CreateLogMutex()
{
    const wchar_t* name = HasTerminalServices() ? kGlobalLogMutexName : kLogMutexName;
    HANDLE mutex = CreateMutexW(LogSecurityAttributes(), FALSE, name);
    if (!mutex) {
        DWORD error = GetLastError();
        unsigned int code = static_cast<int>(error) <= 0 ? error : (0x80070000u | (error & 0xFFFF));
        throw CSystemException{code};
    }
    return mutex;
}

} // namespace

SECURITY_ATTRIBUTES* LogSecurityAttributes()
{
    if (!IsNtPlatform())
        return nullptr;
    // Created exactly once, also when many threads log at the same moment.
    static SharedSecurity security;
    return security.Attributes();
}

HANDLE LogFileMutex()
{
    // An exception leaves the static uninitialised, so the next event tries again.
    static const HANDLE mutex = CreateLogMutex();
    return mutex;
}

LogFileLock::LogFileLock() : m_mutex(LogFileMutex())
{
    WaitForSingleObject(m_mutex, INFINITE);
}

LogFileLock::~LogFileLock()
{
    ReleaseMutex(m_mutex);
}

} // namespace LogUtils
