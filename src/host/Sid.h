// CSid: a security identifier held in place (no allocation).
#pragma once

#include <windows.h>

namespace Host {

class CSid {
public:
    // S-1-1-0, S-1-5-18 and S-1-5-32-544.
    static CSid Everyone();
    static CSid LocalSystem();
    static CSid Administrators();
    // A copy of another SID; raises CSecurityError E_FAIL when it is invalid.
    static CSid CopyOf(PSID sid);

    PSID Get() const { return const_cast<BYTE*>(m_bytes); }
    DWORD Length() const { return GetLengthSid(Get()); }
    bool Equals(PSID other) const;

private:
    CSid() = default;
    static CSid FromAuthority(BYTE authority, BYTE count, DWORD first, DWORD second);

    BYTE m_bytes[SECURITY_MAX_SID_SIZE] = {};
};

} // namespace Host
