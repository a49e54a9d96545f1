#include "log/LogFileMutex.h"

#include <initializer_list>

#include "common/ProtectedDescriptor.h"
#include "common/SystemException.h"
#include "log/SystemInfo.h"

namespace LogUtils {
namespace {

// One access-allowed entry: a well-known SID of one or two sub-authorities.
struct AllowedEntry {
    SID_IDENTIFIER_AUTHORITY authority;
    BYTE subAuthorities;
    DWORD first;
    DWORD second;
    DWORD mask;
};

constexpr SID_IDENTIFIER_AUTHORITY kNtAuthority = SECURITY_NT_AUTHORITY;
constexpr SID_IDENTIFIER_AUTHORITY kWorldAuthority = SECURITY_WORLD_SID_AUTHORITY;
constexpr AllowedEntry System(DWORD mask) { return {kNtAuthority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, mask}; }
constexpr AllowedEntry Administrators(DWORD mask)
{
    return {kNtAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, mask};
}
constexpr AllowedEntry Everyone(DWORD mask) { return {kWorldAuthority, 1, SECURITY_WORLD_RID, 0, mask}; }

constexpr size_t kMaxEntries = 3;

// The security of the log's shared objects: the well-known SIDs of the
// entries, held for the life of the descriptor built from them.
class SharedSecurity {
public:
    SharedSecurity(std::initializer_list<AllowedEntry> entries)
    {
        ProtectedDescriptor::Entry built[kMaxEntries];
        for (const AllowedEntry& entry : entries) {
            SID_IDENTIFIER_AUTHORITY authority = entry.authority;
            if (m_count == kMaxEntries ||
                !AllocateAndInitializeSid(&authority, entry.subAuthorities, entry.first, entry.second,
                                          0, 0, 0, 0, 0, 0, &m_sids[m_count]))
                return;
            built[m_count] = {m_sids[m_count], entry.mask};
            ++m_count;
        }
        m_descriptor.Build(built, m_count);
    }

    ~SharedSecurity()
    {
        for (size_t i = 0; i < m_count; ++i)
            FreeSid(m_sids[i]);
    }

    SharedSecurity(const SharedSecurity&) = delete;
    SharedSecurity& operator=(const SharedSecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() { return m_descriptor.Attributes(); }

private:
    PSID m_sids[kMaxEntries] = {};
    size_t m_count = 0;
    ProtectedDescriptor m_descriptor;
};

constexpr DWORD kSystemAccess = GENERIC_ALL | STANDARD_RIGHTS_ALL;   // 0x101F0000

HANDLE CreateLogMutex()
{
    HANDLE mutex = CreateMutexW(LogMutexSecurityAttributes(), FALSE, LogMutexName());
    // Creating asks for full access to an existing mutex, which only LocalSystem
    // and Administrators have: every other account opens it as a writer.
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED)
        mutex = OpenMutexW(kLogMutexWriterAccess, FALSE, LogMutexName());
    if (!mutex) {
        DWORD error = GetLastError();
        unsigned int code = static_cast<int>(error) <= 0 ? error : (0x80070000u | (error & 0xFFFF));
        throw CSystemException{code};
    }
    return mutex;
}

} // namespace

const wchar_t* LogMutexName()
{
    return HasTerminalServices() ? kGlobalLogMutexName : kLogMutexName;
}

SECURITY_ATTRIBUTES* LogSecurityAttributes()
{
    if (!IsNtPlatform())
        return nullptr;
    // Created exactly once, also when many threads log at the same moment.
    static SharedSecurity security{System(kSystemAccess), Everyone(GENERIC_ALL | READ_CONTROL)};
    return security.Attributes();
}

SECURITY_ATTRIBUTES* LogMutexSecurityAttributes()
{
    if (!IsNtPlatform())
        return nullptr;
    static SharedSecurity security{System(kSystemAccess), Administrators(kSystemAccess),
                                   Everyone(kLogMutexWriterAccess)};
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
    const DWORD waited = WaitForSingleObject(m_mutex, kLogMutexWaitMs);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

LogFileLock::~LogFileLock()
{
    if (m_held)
        ReleaseMutex(m_mutex);
}

} // namespace LogUtils
