#include "host/Sid.h"

#include "host/SecurityError.h"

namespace Host {

CSid CSid::FromAuthority(BYTE authority, BYTE count, DWORD first, DWORD second)
{
    SID_IDENTIFIER_AUTHORITY id = {{0, 0, 0, 0, 0, authority}};
    CSid sid;
    if (!InitializeSid(sid.Get(), &id, count))
        ThrowLastSecurityError();
    if (count > 0)
        *GetSidSubAuthority(sid.Get(), 0) = first;
    if (count > 1)
        *GetSidSubAuthority(sid.Get(), 1) = second;
    return sid;
}

CSid CSid::Everyone()
{
    return FromAuthority(1, 1, SECURITY_WORLD_RID, 0);
}

CSid CSid::LocalSystem()
{
    return FromAuthority(5, 1, SECURITY_LOCAL_SYSTEM_RID, 0);
}

CSid CSid::Administrators()
{
    return FromAuthority(5, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
}

CSid CSid::CopyOf(PSID sid)
{
    if (sid == nullptr || !IsValidSid(sid))
        throw CSecurityError{E_FAIL};
    CSid copy;
    if (!CopySid(sizeof copy.m_bytes, copy.Get(), sid))
        ThrowLastSecurityError();
    return copy;
}

bool CSid::Equals(PSID other) const
{
    return other != nullptr && IsValidSid(other) && EqualSid(Get(), other);
}

} // namespace Host
