#include "host/SecureFileAttributes.h"

#include <new>

#include "host/SecurityError.h"

namespace Host {

void CSecureFileAttributes::Allow(const CSid& sid, DWORD accessMask)
{
    if (!IsValidSid(sid.Get()))
        throw CSecurityError{E_FAIL};
    try {
        m_entries.push_back(Entry{sid, accessMask});
    } catch (const std::bad_alloc&) {
        throw CSecurityError{E_OUTOFMEMORY};
    }
}

void CSecureFileAttributes::SetOwner(const CSid& sid)
{
    if (!IsValidSid(sid.Get()))
        throw CSecurityError{E_FAIL};
    m_owner.reset(new (std::nothrow) CSid(sid));
    if (!m_owner)
        throw CSecurityError{E_OUTOFMEMORY};
}

SECURITY_ATTRIBUTES* CSecureFileAttributes::Seal()
{
    if (!m_descriptor.Attributes()) {
        std::vector<ProtectedDescriptor::Entry> entries;
        try {
            for (const Entry& entry : m_entries)
                entries.push_back({entry.sid.Get(), entry.mask});
        } catch (const std::bad_alloc&) {
            throw CSecurityError{E_OUTOFMEMORY};
        }
        if (!m_descriptor.Build(entries.data(), entries.size(), m_owner ? m_owner->Get() : nullptr))
            ThrowLastSecurityError();
    }
    return m_descriptor.Attributes();
}

} // namespace Host
