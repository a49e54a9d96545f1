// CreateFileSpecialAccess: creates or empties a file whose access rights let
// every client process read it and the system and administrators do
// everything; the calling account gets full access too when it is neither.
#include "host/SAccess.h"

#include "common/ExportCall.h"
#include "common/ScopedHandle.h"
#include "common/WindowsVersion.h"
#include "host/SecurityError.h"
#include "host/Sid.h"
#include "log/LogEvent.h"
#include "tolvane/Functions.h"

namespace Host {

bool IsNtPlatformOnce()
{
    static const bool isNt = AskWindowsVersion(VersionQuery::ExtendedThenBasic).nt;
    return isNt;
}

HANDLE OpenCallerToken()
{
    if (!ImpersonateSelf(SecurityImpersonation)) {
        DWORD error = GetLastError();
        TOLVANE_LOG(Warning).WithError(error).Write(L"Unable to open thread Token");
        return nullptr;
    }
    HANDLE token = nullptr;
    BOOL opened = OpenThreadToken(GetCurrentThread(), TOKEN_READ, TRUE, &token);
    DWORD error = GetLastError();
    RevertToSelf();
    if (!opened) {
        TOLVANE_LOG(Warning).WithError(error).Write(L"Unable to open thread Token");
        return nullptr;
    }
    return token;
}

bool NeedsOwnEntry(PSID user, bool isAdministrator)
{
    return !isAdministrator && !CSid::LocalSystem().Equals(user);
}

namespace {

bool IsAdministrator(HANDLE token)
{
    const CSid administrators = CSid::Administrators();
    BOOL member = FALSE;
    return CheckTokenMembership(token, administrators.Get(), &member) && member;
}

// Room for a TOKEN_USER and the largest SID.
struct TokenUserBuffer {
    alignas(TOKEN_USER) BYTE bytes[512];
};

// The token's user SID, inside buffer; null with a Warning record when it
// cannot be read.
PSID ReadTokenUser(HANDLE token, TokenUserBuffer& buffer)
{
    DWORD bytes = 0;
    if (!GetTokenInformation(token, TokenUser, buffer.bytes, sizeof buffer.bytes, &bytes)) {
        DWORD error = GetLastError();
        TOLVANE_LOG(Warning).WithError(error).Write(L"Unable to get Sid from token");
        return nullptr;
    }
    return reinterpret_cast<TOKEN_USER*>(buffer.bytes)->User.Sid;
}

} // namespace

void BuildSpecialAccessAttributes(HANDLE token, CSecureFileAttributes& attributes)
{
    attributes.Allow(CSid::Everyone(), kEveryoneFileAccess);
    attributes.Allow(CSid::LocalSystem(), kFullFileAccess);
    attributes.Allow(CSid::Administrators(), kFullFileAccess);
    if (token != nullptr) {
        bool isAdministrator = IsAdministrator(token);
        TokenUserBuffer buffer;
        PSID user = ReadTokenUser(token, buffer);
        if (user != nullptr && NeedsOwnEntry(user, isAdministrator))
            attributes.Allow(CSid::CopyOf(user), kFullFileAccess);
    }
    attributes.Seal();
}

void BuildCallerFileAttributes(CSecureFileAttributes& attributes)
{
    CScopedHandle token(OpenCallerToken());
    BuildSpecialAccessAttributes(token.Get(), attributes);
}

} // namespace Host

namespace {

// The work of CreateFileSpecialAccess. error receives the Windows error of a
// failure before it is logged, so that the answer stands even when logging fails.
BOOL CreateCallerFile(LPCWSTR path, DWORD& error)
{
    try {
        Host::CSecureFileAttributes attributes;
        SECURITY_ATTRIBUTES* security = nullptr;
        if (Host::IsNtPlatformOnce()) {
            Host::BuildCallerFileAttributes(attributes);
            security = attributes.Seal();
        }
        const FileHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, security,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = GetLastError();
            TOLVANE_LOG(Warning).WithError(error).Write(
                L"Unable to create file %s with special permissions", path);
            return FALSE;
        }
        return TRUE;
    } catch (const Host::CSecurityError& failure) {
        // No file is created with rights other than those asked for.
        error = Host::LastErrorOf(failure.result);
        TOLVANE_LOG(Warning).WithError(static_cast<unsigned int>(failure.result)).Write(
            L"Unable to build the security descriptor for file %s", path);
        return FALSE;
    }
}

} // namespace

// No exception leaves this C function: any failure answers FALSE with a last error.
extern "C" TOLVANE_API BOOL CreateFileSpecialAccess(LPCWSTR path)
{
    DWORD error = ERROR_SUCCESS;
    const BOOL created = CallExport([&] { return CreateCallerFile(path, error); }, FALSE, [&] {
        if (error == ERROR_SUCCESS)
            error = ERROR_INTERNAL_ERROR;
    });
    if (!created)
        SetLastError(error);
    return created;
}
