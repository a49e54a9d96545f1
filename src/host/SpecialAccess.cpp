#include "host/SpecialAccess.h"

#include <cwchar>

#include "common/ScopedHandle.h"
#include "common/WindowsVersion.h"
#include "host/SecurityError.h"
#include "host/Sid.h"
#include "log/LogEvent.h"

using Host::CSid;

void SpecialAccess::BuildAttributes(Host::CSecureFileAttributes& attributes)
{
    attributes.Allow(CSid::Everyone(), GENERIC_READ | DELETE);
    attributes.Allow(CSid::LocalSystem(), GENERIC_ALL);
    attributes.Allow(CSid::Administrators(), GENERIC_ALL);
    attributes.SetOwner(CSid::Administrators());
    attributes.Seal();
}

// A security object that cannot be built raises CSecurityError to the caller.
BOOL SpecialAccess::CreateSpecialFile(const wchar_t* path)
{
    Host::CSecureFileAttributes attributes;
    SECURITY_ATTRIBUTES* security = nullptr;
    if (AskWindowsVersion(VersionQuery::Basic).nt) {
        BuildAttributes(attributes);
        security = attributes.Seal();
    }
    const FileHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, security,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return TRUE;
    const DWORD error = GetLastError();
    WEXMOOR_LOG(Error).WithError(error).Write(L"Failed to create file");
    SetLastError(error);
    return FALSE;
}

BOOL SpecialAccess::GetCurrentUserName(wchar_t* buffer, unsigned int capacity)
{
    if (buffer == nullptr || capacity == 0)
        return FALSE;
    buffer[0] = L'\0';

    CScopedHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.Receive())) {
        if (GetLastError() != ERROR_NO_TOKEN)
            return FALSE;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
            return FALSE;
    }

    alignas(TOKEN_USER) BYTE user[512];
    DWORD bytes = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, user, sizeof user, &bytes))
        return FALSE;

    wchar_t account[1024];
    wchar_t domain[1024];
    DWORD accountChars = 1024;
    DWORD domainChars = 1024;
    SID_NAME_USE use;
    BOOL found = LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(user)->User.Sid,
                                   account, &accountChars, domain, &domainChars, &use);
    token.Reset();
    if (!found)
        return FALSE;

    // A text that fills the buffer is cut so that it still ends with a terminator.
    int written = _snwprintf(buffer, capacity, L"%ls\\%ls", domain, account);
    if (written < 0 || static_cast<unsigned int>(written) >= capacity)
        buffer[capacity - 1] = L'\0';
    return TRUE;
}
