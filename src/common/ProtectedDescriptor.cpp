#include "common/ProtectedDescriptor.h"

bool ProtectedDescriptor::Build(const Entry* entries, size_t count, PSID owner)
{
    m_attributes = {};
    DWORD aclBytes = sizeof(ACL);
    for (size_t i = 0; i < count; ++i)
        aclBytes += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(entries[i].sid);
    aclBytes = (aclBytes + sizeof(DWORD) - 1) & ~(sizeof(DWORD) - 1);

    m_acl.reset(static_cast<ACL*>(LocalAlloc(LPTR, aclBytes)));
    if (!m_acl) {
        SetLastError(ERROR_OUTOFMEMORY);
        return false;
    }
    if (!InitializeAcl(m_acl.get(), aclBytes, ACL_REVISION))
        return false;
    for (size_t i = 0; i < count; ++i)
        if (!AddAccessAllowedAce(m_acl.get(), ACL_REVISION, entries[i].mask, entries[i].sid))
            return false;
    if (!InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&m_descriptor, TRUE, m_acl.get(), FALSE) ||
        !SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED) ||
        (owner && !SetSecurityDescriptorOwner(&m_descriptor, owner, FALSE)))
        return false;
    if (!IsValidSecurityDescriptor(&m_descriptor)) {
        SetLastError(ERROR_SUCCESS);   // the check names no Windows error
        return false;
    }

    m_attributes.nLength = sizeof m_attributes;
    m_attributes.lpSecurityDescriptor = &m_descriptor;
    m_attributes.bInheritHandle = FALSE;
    return true;
}
