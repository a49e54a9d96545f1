// The pieces of CreateFileSpecialAccess: the caller's token and the
// descriptor of files that every client process may read and the system
// and administrators (and, when it is neither, the calling account) may do
// everything with.
#pragma once

#include <windows.h>

#include "host/SecureFileAttributes.h"

namespace Host {

constexpr DWORD kEveryoneFileAccess = FILE_GENERIC_READ | DELETE;   // 0x130089
constexpr DWORD kFullFileAccess = FILE_ALL_ACCESS;                  // 0x1F01FF

// Whether the platform is NT, asked once per process.
bool IsNtPlatformOnce();

// An impersonation token of the process's own account: ImpersonateSelf,
// OpenThreadToken (TOKEN_READ, as self), RevertToSelf. The calling thread no
// longer impersonates afterwards. Null, with a Warning record, on failure;
// the caller closes the token.
HANDLE OpenCallerToken();

// Whether an account gets an entry of its own: neither LocalSystem nor a
// member of Administrators.
bool NeedsOwnEntry(PSID user, bool isAdministrator);

// Everyone (read and delete), LocalSystem and Administrators (full access),
// then the token's user (full access) when NeedsOwnEntry says so. A null
// token, or one whose user cannot be read (Warning record), adds no fourth
// entry. Raises CSecurityError when a security object cannot be built.
void BuildSpecialAccessAttributes(HANDLE token, CSecureFileAttributes& attributes);

// BuildSpecialAccessAttributes with the token of OpenCallerToken.
void BuildCallerFileAttributes(CSecureFileAttributes& attributes);

} // namespace Host
