// Special-access file creation: the descriptors (read back with the
// platform's ACL functions, as the file system does not keep them), the
// caller's own entry for administrators and ordinary accounts, the files on
// disk and the current account's name.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "host/SAccess.h"
#include "host/ScopedHandle.h"
#include "host/SecurityError.h"
#include "host/Sid.h"
#include "host/SpecialAccess.h"
#include "tolvane/Functions.h"

using Host::CScopedHandle;
using Host::CSecureFileAttributes;
using Host::CSid;
using testsupport::LogCapture;
using testsupport::TempFolder;

namespace {

struct ExpectedEntry {
    std::string sid;   // string form; "user" is the process's own account
    DWORD mask;
};

std::string SidText(PSID sid)
{
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text))
        return "?";
    std::string result(text);
    LocalFree(text);
    return result;
}

std::string ProcessUserSid()
{
    CScopedHandle token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive());
    alignas(TOKEN_USER) BYTE buffer[512];
    DWORD bytes = 0;
    GetTokenInformation(token.Get(), TokenUser, buffer, sizeof buffer, &bytes);
    return SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
}

// Checks everything a descriptor built for a file holds: a present,
// not defaulted DACL of revision 2 with exactly the expected access-allowed
// entries (no flags) in order, no group, no SACL, and the expected owner.
void ExpectDescriptor(SECURITY_ATTRIBUTES* attributes, const std::vector<ExpectedEntry>& expected,
                      const char* owner)
{
    ASSERT_NE(attributes, nullptr);
    EXPECT_EQ(attributes->nLength, sizeof(SECURITY_ATTRIBUTES));
    EXPECT_FALSE(attributes->bInheritHandle);
    PSECURITY_DESCRIPTOR descriptor = attributes->lpSecurityDescriptor;
    ASSERT_TRUE(IsValidSecurityDescriptor(descriptor));

    BOOL present = FALSE, defaulted = TRUE;
    ACL* acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
    ASSERT_TRUE(present);
    EXPECT_FALSE(defaulted);
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->AclRevision, ACL_REVISION);
    ACL_SIZE_INFORMATION size = {};
    ASSERT_TRUE(GetAclInformation(acl, &size, sizeof size, AclSizeInformation));
    ASSERT_EQ(size.AceCount, expected.size());
    EXPECT_EQ(size.AclBytesFree, 0u) << "the ACL is sized for its entries";

    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, &ace));
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << "entry " << i + 1;
        EXPECT_EQ(allowed->Header.AceFlags, 0) << "entry " << i + 1;
        EXPECT_EQ(allowed->Mask, expected[i].mask) << "entry " << i + 1;
        std::string sid = expected[i].sid == "user" ? ProcessUserSid() : expected[i].sid;
        EXPECT_EQ(SidText(&allowed->SidStart), sid) << "entry " << i + 1;
    }

    PSID ownerSid = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor, &ownerSid, &defaulted));
    if (owner == nullptr) {
        EXPECT_EQ(ownerSid, nullptr);
    } else {
        ASSERT_NE(ownerSid, nullptr);
        EXPECT_EQ(SidText(ownerSid), owner);
        EXPECT_FALSE(defaulted);
    }
    PSID group = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorGroup(descriptor, &group, &defaulted));
    EXPECT_EQ(group, nullptr);
    ACL* sacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted));
    EXPECT_FALSE(present);
}

const std::vector<ExpectedEntry> kSharedEntries = {
    {"S-1-1-0", 0x130089}, {"S-1-5-18", 0x1F01FF}, {"S-1-5-32-544", 0x1F01FF}};

// Tokens of real kinds that the platform hands out.
enum class TokenKind { None, Self, WithoutAdministrators, WithoutQueryAccess };

HANDLE MakeToken(TokenKind kind)
{
    HANDLE token = nullptr;
    switch (kind) {
    case TokenKind::None:
        return nullptr;
    case TokenKind::Self:
        return Host::OpenCallerToken();
    case TokenKind::WithoutAdministrators: {
        // The process's token with Administrators turned into a deny-only group:
        // an ordinary account.
        CScopedHandle process, restricted;
        OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, process.Receive());
        const CSid administrators = CSid::Administrators();
        SID_AND_ATTRIBUTES disabled = {administrators.Get(), 0};
        if (!CreateRestrictedToken(process.Get(), 0, 1, &disabled, 0, nullptr, 0, nullptr,
                                   restricted.Receive()))
            return nullptr;
        DuplicateToken(restricted.Get(), SecurityImpersonation, &token);
        return token;
    }
    case TokenKind::WithoutQueryAccess:
        OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE, &token);
        return token;
    }
    return nullptr;
}

} // namespace

TEST(HostSpecialAccess, CallerTokenOfTheProcessIsAnAdministratorHere)
{
    // What the branches below rest on: the process's own token, obtained as
    // the export obtains it, is a member of Administrators on this platform.
    CScopedHandle token(Host::OpenCallerToken());
    ASSERT_NE(token.Get(), nullptr);
    BOOL member = FALSE;
    ASSERT_TRUE(CheckTokenMembership(token.Get(), CSid::Administrators().Get(), &member));
    EXPECT_TRUE(member);
    // The thread does not keep impersonating.
    HANDLE threadToken = nullptr;
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &threadToken));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
}

TEST(HostSpecialAccess, DescriptorEntriesFollowTheToken)
{
    struct Case {
        const char* name;
        TokenKind kind;
        bool ownEntry;
        const char* warning;   // the one record expected, if any
        DWORD warningError;
    };
    const Case cases[] = {
        {"no token", TokenKind::None, false, nullptr, 0},
        {"administrator", TokenKind::Self, false, nullptr, 0},
        {"ordinary account", TokenKind::WithoutAdministrators, true, nullptr, 0},
        {"user unreadable", TokenKind::WithoutQueryAccess, false, "Unable to get Sid from token",
         ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScopedHandle token(MakeToken(c.kind));
        if (c.kind != TokenKind::None) {
            ASSERT_NE(token.Get(), nullptr);
        }
        LogCapture capture;
        CSecureFileAttributes attributes;
        Host::BuildSpecialAccessAttributes(token.Get(), attributes);

        std::vector<ExpectedEntry> expected = kSharedEntries;
        if (c.ownEntry)
            expected.push_back({"user", 0x1F01FF});
        ExpectDescriptor(attributes.Seal(), expected, nullptr);

        if (c.warning == nullptr) {
            EXPECT_TRUE(capture.events.empty());
        } else {
            ASSERT_EQ(capture.events.size(), 1u);
            EXPECT_EQ(capture.events[0].message, c.warning);
            EXPECT_EQ(capture.events[0].level, LogUtils::Warning);
            EXPECT_EQ(capture.events[0].category, "Tolvane");
            EXPECT_TRUE(capture.events[0].hasError);
            EXPECT_EQ(capture.events[0].errorCode, c.warningError);
        }
    }
}

TEST(HostSpecialAccess, OwnEntryOnlyForOrdinaryAccounts)
{
    // No process of this platform runs as LocalSystem, so its SID is given
    // directly to the decision.
    const CSid system = CSid::LocalSystem();
    const CSid administrators = CSid::Administrators();
    BYTE userBytes[SECURITY_MAX_SID_SIZE];
    PSID user = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA("S-1-5-21-0-0-0-1000", &user));
    memcpy(userBytes, user, GetLengthSid(user));
    LocalFree(user);
    struct Case {
        PSID sid;
        bool isAdministrator;
        bool ownEntry;
    };
    const Case cases[] = {
        {userBytes, false, true},
        {userBytes, true, false},
        {system.Get(), false, false},
        {system.Get(), true, false},
        {administrators.Get(), false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Host::NeedsOwnEntry(c.sid, c.isAdministrator), c.ownEntry)
            << SidText(c.sid) << " administrator " << c.isAdministrator;
}

TEST(HostSpecialAccess, ExportRunsUnderBothKindsOfAccount)
{
    // The probe program calls the export and reports the descriptor that the
    // export builds for its own process: started normally (an administrator
    // here) and with a token whose Administrators group is deny-only.
    TempFolder folder;
    std::wstring probe = testsupport::ModuleFolder() + L"\\host_descriptor_probe.exe";
    CScopedHandle process, restricted;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, process.Receive()));
    const CSid administrators = CSid::Administrators();
    SID_AND_ATTRIBUTES disabled = {administrators.Get(), 0};
    ASSERT_TRUE(CreateRestrictedToken(process.Get(), 0, 1, &disabled, 0, nullptr, 0, nullptr,
                                      restricted.Receive()));

    const std::string user = ProcessUserSid();
    const std::vector<std::string> shared = {"S-1-1-0 00130089 00 00", "S-1-5-18 001f01ff 00 00",
                                             "S-1-5-32-544 001f01ff 00 00"};
    struct Case {
        const char* name;
        HANDLE token;   // null: the test's own identity
        bool ownEntry;
    };
    const Case cases[] = {{"administrator", nullptr, false},
                          {"ordinary account", restricted.Get(), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring output = folder.Join(std::wstring(L"probe-") + (c.ownEntry ? L"1" : L"0") + L".txt");
        std::wstring command = L"\"" + probe + L"\" \"" + output + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        BOOL started = c.token == nullptr
            ? CreateProcessW(probe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info)
            : CreateProcessAsUserW(c.token, probe.c_str(), &command[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &info);
        ASSERT_TRUE(started) << GetLastError();
        CScopedHandle child(info.hProcess), thread(info.hThread);
        ASSERT_EQ(WaitForSingleObject(child.Get(), 60000), WAIT_OBJECT_0);
        DWORD exitCode = 99;
        GetExitCodeProcess(child.Get(), &exitCode);
        ASSERT_EQ(exitCode, 0u);

        std::vector<std::string> expected = shared;
        if (c.ownEntry)
            expected.push_back(user + " 001f01ff 00 00");
        EXPECT_EQ(testsupport::ReadLines(output), expected);
    }
}

TEST(HostSpecialAccess, ReportFileDescriptorHasGenericRightsAndAdministratorsAsOwner)
{
    CSecureFileAttributes attributes;
    SpecialAccess::BuildAttributes(attributes);
    ExpectDescriptor(attributes.Seal(),
                     {{"S-1-1-0", 0x80010000}, {"S-1-5-18", 0x10000000}, {"S-1-5-32-544", 0x10000000}},
                     "S-1-5-32-544");
}

TEST(HostSpecialAccess, InvalidSidsRaiseSecurityErrors)
{
    BYTE garbage[SECURITY_MAX_SID_SIZE] = {9, 9, 9, 9};
    const PSID sids[] = {nullptr, garbage};
    for (PSID sid : sids) {
        try {
            CSid::CopyOf(sid);
            ADD_FAILURE() << "no exception";
        } catch (const Host::CSecurityError& failure) {
            EXPECT_EQ(failure.result, E_FAIL);
        }
    }
}

TEST(HostSpecialAccess, PlatformIsNt)
{
    EXPECT_TRUE(Host::IsNtPlatformOnce());
}

TEST(HostSpecialAccess, CreateFileSpecialAccessLogsWhatItCannotCreate)
{
    // The files themselves are checked on disk by the client tests.
    TempFolder folder;
    const std::wstring path = folder.Join(L"missing\\file.log");
    LogCapture capture;
    EXPECT_EQ(CreateFileSpecialAccess(path.c_str()), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_EQ(capture.events.size(), 1u);
    const auto& event = capture.events[0];
    EXPECT_EQ(event.message, "Unable to create file " + testsupport::Narrow(path) + " with special permissions");
    EXPECT_EQ(event.level, LogUtils::Warning);
    EXPECT_EQ(event.category, "Tolvane");
    EXPECT_TRUE(event.hasError);
    EXPECT_EQ(event.errorCode, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // No path at all is refused the same way.
    capture.Clear();
    EXPECT_EQ(CreateFileSpecialAccess(nullptr), FALSE);
    ASSERT_EQ(capture.events.size(), 1u);
    EXPECT_EQ(capture.events[0].message.rfind("Unable to create file ", 0), 0u);
}

TEST(HostSpecialAccess, CreateSpecialFileMakesOnlyNewFiles)
{
    TempFolder folder;
    testsupport::WriteFileBytes(folder.Join(L"existing.xml"), "keep me");
    struct Case {
        const wchar_t* name;
        BOOL result;
        DWORD error;
        const char* contents;   // afterwards; null when the file must not exist
    };
    const Case cases[] = {
        {L"report.tmp", TRUE, 0, ""},
        {L"existing.xml", FALSE, ERROR_FILE_EXISTS, "keep me"},
        {L"missing\\report.tmp", FALSE, ERROR_PATH_NOT_FOUND, nullptr},
    };
    for (const Case& c : cases) {
        std::wstring path = folder.Join(c.name);
        SCOPED_TRACE(testsupport::Narrow(path));
        LogCapture capture;
        SpecialAccess access;
        BOOL result = access.CreateSpecialFile(path.c_str());
        DWORD error = GetLastError();
        EXPECT_EQ(result, c.result);
        if (c.contents)
            EXPECT_EQ(testsupport::ReadFileBytes(path), c.contents);
        else
            EXPECT_FALSE(testsupport::FileExists(path));
        if (c.result) {
            EXPECT_TRUE(capture.events.empty());
        } else {
            EXPECT_EQ(error, c.error);
            ASSERT_EQ(capture.events.size(), 1u);
            EXPECT_EQ(capture.events[0].message, "Failed to create file");
            EXPECT_EQ(capture.events[0].level, LogUtils::Error);
            EXPECT_EQ(capture.events[0].category, "Wexmoor");
            EXPECT_EQ(capture.events[0].errorCode, c.error);
        }
    }
}

TEST(HostSpecialAccess, CurrentUserNameIsDomainBackslashAccount)
{
    wchar_t account[256];
    DWORD accountChars = 256;
    ASSERT_TRUE(GetUserNameW(account, &accountChars));

    SpecialAccess access;
    wchar_t full[512];
    ASSERT_EQ(access.GetCurrentUserName(full, 512), TRUE);
    std::wstring name(full);
    size_t slash = name.find(L'\\');
    ASSERT_NE(slash, std::wstring::npos);
    EXPECT_GT(slash, 0u) << "a domain precedes the backslash";
    EXPECT_EQ(name.substr(slash + 1), account);

    // Smaller buffers receive the beginning of the text, terminated.
    for (unsigned int capacity : {1u, 2u, 5u, static_cast<unsigned int>(name.size()),
                                  static_cast<unsigned int>(name.size() + 1)}) {
        wchar_t buffer[512];
        wmemset(buffer, L'#', 512);
        EXPECT_EQ(access.GetCurrentUserName(buffer, capacity), TRUE);
        size_t kept = capacity - 1 < name.size() ? capacity - 1 : name.size();
        EXPECT_EQ(std::wstring(buffer), name.substr(0, kept)) << "capacity " << capacity;
        EXPECT_EQ(buffer[capacity], L'#') << "nothing written beyond the capacity";
    }

    // A thread that impersonates is named by its own token.
    ASSERT_TRUE(ImpersonateSelf(SecurityImpersonation));
    wchar_t impersonated[512];
    EXPECT_EQ(access.GetCurrentUserName(impersonated, 512), TRUE);
    RevertToSelf();
    EXPECT_EQ(std::wstring(impersonated), name);
}
