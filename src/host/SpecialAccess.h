// SpecialAccess: the common code's special-access operations for the report
// writer. It keeps no state between calls.
#pragma once

#include <windows.h>

#include "host/SecureFileAttributes.h"

class SpecialAccess {
public:
    // Creates a new file (an existing one makes it fail) that everybody may
    // read and delete and the system and administrators may do everything
    // with, owned by Administrators. 1 on success; 0 after an Error record.
    BOOL CreateSpecialFile(const wchar_t* path);

    // "DOMAIN\account" of the current thread's (else the process's) token,
    // at most capacity characters with the terminator; 1 on success, else 0
    // with an empty buffer.
    BOOL GetCurrentUserName(wchar_t* buffer, unsigned int capacity);

    // The descriptor that CreateSpecialFile uses on the NT platform: Everyone
    // (GENERIC_READ and DELETE), LocalSystem and Administrators (GENERIC_ALL),
    // owner Administrators. Raises Host::CSecurityError on failure.
    static void BuildAttributes(Host::CSecureFileAttributes& attributes);
};
