// CSecureFileAttributes: security attributes for CreateFileW, built by the
// common ProtectedDescriptor (a protected DACL of access-allowed entries in
// their order, optionally an owner). Entries are collected with Allow and
// the descriptor is built by Seal. Failures raise CSecurityError.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "common/ProtectedDescriptor.h"
#include "host/Sid.h"

namespace Host {

class CSecureFileAttributes {
public:
    CSecureFileAttributes() = default;
    CSecureFileAttributes(const CSecureFileAttributes&) = delete;
    CSecureFileAttributes& operator=(const CSecureFileAttributes&) = delete;

    // Adds an entry behind those added before.
    void Allow(const CSid& sid, DWORD accessMask);
    void SetOwner(const CSid& sid);
    size_t EntryCount() const { return m_entries.size(); }

    // Builds the ACL and the descriptor (once) and returns the attributes,
    // handle inheritance off. Valid while this object lives.
    SECURITY_ATTRIBUTES* Seal();

private:
    struct Entry {
        CSid sid;
        DWORD mask;
    };
    std::vector<Entry> m_entries;
    std::unique_ptr<CSid> m_owner;
    ProtectedDescriptor m_descriptor;
};

} // namespace Host
