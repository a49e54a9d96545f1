#include "host/SecureFileAttributes.h"

#include <cstdlib>
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
    if (m_attributes.nLength != 0)
        return &m_attributes;

    DWORD aclBytes = sizeof(ACL);
    for (const Entry& entry : m_entries)
        aclBytes += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + entry.sid.Length();
    aclBytes = (aclBytes + sizeof(DWORD) - 1) & ~(sizeof(DWORD) - 1);

    m_acl.reset(static_cast<ACL*>(calloc(1, aclBytes)));
    if (!m_acl)
        throw CSecurityError{E_OUTOFMEMORY};
    if (!InitializeAcl(m_acl.get(), aclBytes, ACL_REVISION))
        ThrowLastSecurityError();
    for (const Entry& entry : m_entries) {
        if (!AddAccessAllowedAce(m_acl.get(), ACL_REVISION, entry.mask, entry.sid.Get()))
            ThrowLastSecurityError();
    }

    if (!InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION))
        ThrowLastSecurityError();
    if (!SetSecurityDescriptorDacl(&m_descriptor, TRUE, m_acl.get(), FALSE))
        ThrowLastSecurityError();
    // The file gets exactly these entries: none inherited from its folder.
    if (!SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        ThrowLastSecurityError();
    if (m_owner && !SetSecurityDescriptorOwner(&m_descriptor, m_owner->Get(), FALSE))
        ThrowLastSecurityError();
    if (!IsValidSecurityDescriptor(&m_descriptor))
        throw CSecurityError{E_FAIL};

    m_attributes.nLength = sizeof m_attributes;
    m_attributes.lpSecurityDescriptor = &m_descriptor;
    m_attributes.bInheritHandle = FALSE;
    return &m_attributes;
}

} // namespace Host
