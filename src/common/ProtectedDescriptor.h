// ProtectedDescriptor: the one builder of the security descriptors the
// library creates files and the log mutex with. Its discretionary ACL holds
// exactly the access-allowed entries given, in their order (revision 2, no
// inheritance flags), and is protected: the inheritable entries of the
// container (the folder of a file, the object directory of a mutex) are not
// merged in. An owner may be set. The SIDs are the caller's and must outlive
// the descriptor.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

class ProtectedDescriptor {
public:
    struct Entry {
        PSID sid;
        DWORD mask;
    };

    ProtectedDescriptor() = default;
    ProtectedDescriptor(const ProtectedDescriptor&) = delete;
    ProtectedDescriptor& operator=(const ProtectedDescriptor&) = delete;

    // Builds the ACL and the descriptor, and checks the descriptor. On failure
    // returns false with the thread's last error set (ERROR_OUTOFMEMORY when
    // the ACL cannot be allocated, ERROR_SUCCESS when the built descriptor is
    // not valid) and Attributes() is null.
    bool Build(const Entry* entries, size_t count, PSID owner = nullptr);

    // Security attributes for CreateFileW/CreateMutexW (handle inheritance
    // off), valid while this object lives; null until Build succeeded.
    SECURITY_ATTRIBUTES* Attributes() { return m_attributes.nLength != 0 ? &m_attributes : nullptr; }

private:
    struct FreeAcl {
        void operator()(ACL* acl) const { LocalFree(acl); }
    };

    std::unique_ptr<ACL, FreeAcl> m_acl;
    SECURITY_DESCRIPTOR m_descriptor = {};
    SECURITY_ATTRIBUTES m_attributes = {};
};
