// Special-access files: the descriptors read back with the platform's ACL
// functions (the file system does not keep them), the caller's own entry by
// kind of token, the files on disk with their records, the account name.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "ImportHook.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "host/SAccess.h"
#include "common/ScopedHandle.h"
#include "host/SecurityError.h"
#include "host/SpecialAccess.h"
#include "log/LogFileSink.h"
#include "tolvane/Functions.h"

using Host::CSid;
using testsupport::LogCapture;

namespace {

using Entries = std::vector<std::pair<std::string, DWORD>>;   // SID, access mask

std::string SidText(PSID sid)
{
    char* text = nullptr;
    const std::string result = ConvertSidToStringSidA(sid, &text) ? text : "?";
    LocalFree(text);
    return result;
}

// A present, not defaulted, protected DACL of revision 2 sized for exactly the expected
// access-allowed entries (no flags) in order; no group, no SACL; the owner ("" for none), not defaulted.
void ExpectDescriptor(SECURITY_ATTRIBUTES* attributes, const Entries& expected, const std::string& owner)
{
    ASSERT_TRUE(attributes && attributes->nLength == sizeof(SECURITY_ATTRIBUTES) && !attributes->bInheritHandle);
    PSECURITY_DESCRIPTOR descriptor = attributes->lpSecurityDescriptor;
    BOOL present = FALSE, defaulted = TRUE, saclPresent = TRUE, ownerDefaulted = TRUE;
    ACL *acl = nullptr, *sacl = nullptr;
    PSID ownerSid = nullptr, group = nullptr;
    ASSERT_TRUE(IsValidSecurityDescriptor(descriptor) &&
                GetSecurityDescriptorSacl(descriptor, &saclPresent, &sacl, &defaulted) &&
                GetSecurityDescriptorGroup(descriptor, &group, &defaulted) &&
                GetSecurityDescriptorOwner(descriptor, &ownerSid, &ownerDefaulted));
    EXPECT_TRUE(!saclPresent && group == nullptr && !(ownerSid && ownerDefaulted));
    EXPECT_EQ(ownerSid ? SidText(ownerSid) : std::string(), owner);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the folder's inheritable entries would be merged in";
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) && present && acl);
    EXPECT_TRUE(!defaulted && acl->AclRevision == ACL_REVISION);
    ACL_SIZE_INFORMATION size = {};
    ASSERT_TRUE(GetAclInformation(acl, &size, sizeof size, AclSizeInformation));
    EXPECT_EQ(size.AclBytesFree, 0u);
    Entries entries;
    for (DWORD i = 0; i < size.AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_TRUE(ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Header.AceFlags == 0) << i;
        entries.push_back({SidText(&ace->SidStart), ace->Mask});
    }
    EXPECT_EQ(entries, expected);
}

// Everyone, LocalSystem and Administrators: a shared file's entries (no own entry), a report file's.
const Entries kShared = {{"S-1-1-0", 0x130089}, {"S-1-5-18", 0x1F01FF}, {"S-1-5-32-544", 0x1F01FF}};
const Entries kReport = {{"S-1-1-0", 0x80010000}, {"S-1-5-18", 0x10000000}, {"S-1-5-32-544", 0x10000000}};

} // namespace

TEST(HostSpecialAccess, CallerEntryFollowsTheToken)
{
    CScopedHandle caller(Host::OpenCallerToken()), process, restricted, ordinary, unreadable;
    ASSERT_NE(caller.Get(), nullptr);
    // An ordinary account: this process's token with Administrators made a deny-only group
    // (an impersonation token, as CheckTokenMembership wants).
    const CSid administrators = CSid::Administrators();
    SID_AND_ATTRIBUTES disabled = {administrators.Get(), 0};
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, process.Receive()) &&
                CreateRestrictedToken(process.Get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, restricted.Receive()) &&
                DuplicateToken(restricted.Get(), SecurityImpersonation, ordinary.Receive()) &&
                OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE, unreadable.Receive()));
    HANDLE threadToken = nullptr;   // the caller's token is taken without staying impersonated
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &threadToken));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
    alignas(TOKEN_USER) BYTE user[512];
    DWORD bytes = 0;
    ASSERT_TRUE(GetTokenInformation(caller.Get(), TokenUser, user, sizeof user, &bytes));
    Entries withOwn = kShared;   // the ordinary account is this process's account
    withOwn.push_back({SidText(reinterpret_cast<TOKEN_USER*>(user)->User.Sid), 0x1F01FF});
    const struct { const char* name; HANDLE token; Entries entries; std::vector<std::string> log; } cases[] = {
        {"no token", nullptr, kShared, {}},
        {"administrator (this process)", caller.Get(), kShared, {}},
        {"ordinary account", ordinary.Get(), withOwn, {}},
        {"user unreadable", unreadable.Get(), kShared, {"Warning Tolvane Unable to get Sid from token [error 5]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture capture;
        Host::CSecureFileAttributes attributes;
        Host::BuildSpecialAccessAttributes(c.token, attributes);
        ExpectDescriptor(attributes.Seal(), c.entries, "");
        EXPECT_EQ(capture.Records(), c.log);
    }
    // No process here runs as LocalSystem: its SID is given to the decision directly.
    EXPECT_FALSE(Host::NeedsOwnEntry(CSid::LocalSystem().Get(), false));
}

// The files on disk and their records; the descriptor lives only during the call, so the replacement of
// CreateFileW checks it there: a report file gets generic rights and Administrators as owner, a shared file
// no entry of this process's own (it is an administrator).
TEST(HostSpecialAccess, FilesOnDiskTheirRecordsAndDescriptors)
{
    ASSERT_TRUE(Host::IsNtPlatformOnce()) << "files get their descriptors";
    static void* realCreateFile = nullptr;
    static int calls = 0;
    static bool createNew = false;
    static const wchar_t* observed = nullptr;   // the path whose creation is checked (log files are not)
    struct Observer {
        static HANDLE WINAPI Create(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES attributes,
                                    DWORD disposition, DWORD flags, HANDLE templateFile)
        {
            if (wcscmp(path, observed) == 0) {
                ++calls;
                ExpectDescriptor(attributes, createNew ? kReport : kShared, createNew ? "S-1-5-32-544" : "");
                EXPECT_TRUE(access == GENERIC_WRITE && share == FILE_SHARE_READ &&
                            disposition == DWORD(createNew ? CREATE_NEW : CREATE_ALWAYS));
            }
            return reinterpret_cast<decltype(&CreateFileW)>(realCreateFile)(path, access, share, attributes,
                                                                             disposition, flags, templateFile);
        }
    };
    testsupport::TempFolder folder;
    testsupport::WriteFileBytes(folder.Join(L"old.dat"), "previous contents");
    testsupport::WriteFileBytes(folder.Join(L"keep.xml"), "keep me");
    const std::wstring missing = folder.Join(L"missing\\file.dat");
    // createNew: SpecialAccess::CreateSpecialFile, else CreateFileSpecialAccess; error 0: created;
    // contents: afterwards, null for no file.
    const struct { std::wstring path; bool createNew; DWORD error; const char* contents;
                   std::vector<std::string> log; } cases[] = {
        {folder.Join(L"fresh.dat"), false, 0, "", {}},
        {folder.Join(L"old.dat"), false, 0, "", {}},
        {missing, false, ERROR_PATH_NOT_FOUND, nullptr,
         {"Warning Tolvane Unable to create file " + testsupport::Narrow(missing) +
          " with special permissions [error 3]"}},
        {folder.Join(L"report.tmp"), true, 0, "", {}},
        {folder.Join(L"keep.xml"), true, ERROR_FILE_EXISTS, "keep me",
         {"Error Wexmoor Failed to create file [error 80]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.path));
        BOOL result = FALSE;
        DWORD error = 0;
        LogCapture capture;
        {
            testsupport::ImportHook hook("CreateFileW", reinterpret_cast<void*>(&Observer::Create));
            ASSERT_TRUE(hook.Installed());
            realCreateFile = hook.Original();
            calls = 0;
            createNew = c.createNew;
            observed = c.path.c_str();
            result = c.createNew ? SpecialAccess().CreateSpecialFile(c.path.c_str())
                                 : CreateFileSpecialAccess(c.path.c_str());
            error = GetLastError();
            EXPECT_EQ(1, calls);
        }
        EXPECT_EQ(result, c.error == 0 ? TRUE : FALSE);
        EXPECT_EQ(result ? 0u : error, c.error);
        if (c.contents)
            EXPECT_EQ(testsupport::ReadFileBytes(c.path), c.contents);
        else
            EXPECT_FALSE(testsupport::FileExists(c.path));
        EXPECT_EQ(capture.Records(), c.log);
        if (result) {   // the creator may write it
            testsupport::WriteFileBytes(c.path, "report");
            EXPECT_EQ(testsupport::ReadFileBytes(c.path), "report");
        }
    }
}

TEST(HostSpecialAccess, CurrentUserNameIsDomainBackslashAccount)
{
    wchar_t account[256], full[512], impersonated[512];
    DWORD accountChars = 256;
    SpecialAccess access;
    ASSERT_TRUE(GetUserNameW(account, &accountChars) && access.GetCurrentUserName(full, 512) == TRUE);
    ASSERT_TRUE(ImpersonateSelf(SecurityImpersonation));   // the thread's own token names it
    EXPECT_EQ(access.GetCurrentUserName(impersonated, 512), TRUE);
    RevertToSelf();
    const std::wstring name(full);
    EXPECT_EQ(std::wstring(impersonated), name);
    const size_t slash = name.find(L'\\');
    ASSERT_TRUE(slash != std::wstring::npos && slash > 0) << "DOMAIN\\account";
    EXPECT_EQ(name.substr(slash + 1), account);
    // Smaller buffers receive the beginning of the text, terminated, and nothing beyond.
    for (unsigned int capacity : {1u, 2u, 5u, unsigned(name.size()), unsigned(name.size() + 1)}) {
        wchar_t buffer[512];
        wmemset(buffer, L'#', 512);
        EXPECT_EQ(access.GetCurrentUserName(buffer, capacity), TRUE);
        EXPECT_EQ(std::wstring(buffer), name.substr(0, capacity - 1)) << capacity;
        EXPECT_EQ(buffer[capacity], L'#') << capacity;
    }
}

// Log files are created for LocalSystem and Everyone; the log file mutex for LocalSystem and
// Administrators, Everyone may only wait for it and release it.
TEST(HostSpecialAccess, LogFileAndMutexDescriptors)
{
    static int files, mutexes;
    static void* realCreateFile;
    static void* realCreateMutex;
    struct Observer {
        static HANDLE WINAPI CreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES attributes,
                                        DWORD disposition, DWORD flags, HANDLE templateFile)
        {
            ++files;
            ExpectDescriptor(attributes, {{"S-1-5-18", 0x101F0000}, {"S-1-1-0", 0x10020000}}, "");
            return reinterpret_cast<decltype(&CreateFileW)>(realCreateFile)(path, access, share, attributes,
                                                                             disposition, flags, templateFile);
        }
        static HANDLE WINAPI CreateMutex(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCWSTR name)
        {
            ++mutexes;
            ExpectDescriptor(attributes, {{"S-1-5-18", 0x101F0000}, {"S-1-5-32-544", 0x101F0000},
                                          {"S-1-1-0", SYNCHRONIZE | MUTEX_MODIFY_STATE}}, "");
            return reinterpret_cast<decltype(&CreateMutexW)>(realCreateMutex)(attributes, owned, name);
        }
    };
    testsupport::ImportHook fileHook("CreateFileW", reinterpret_cast<void*>(&Observer::CreateFile));
    testsupport::ImportHook mutexHook("CreateMutexW", reinterpret_cast<void*>(&Observer::CreateMutex));
    ASSERT_TRUE(fileHook.Installed() && mutexHook.Installed());
    realCreateFile = fileHook.Original();
    realCreateMutex = mutexHook.Original();
    testsupport::TempFolder folder;
    LogUtils::LogEvent event(".\\Src\\Test.cpp", 1, LogUtils::Info, "Tolvane");
    EXPECT_TRUE(LogUtils::LogFileSink(folder.Join(L"new.log").c_str(), 100, 1).Write("%m", event));
    EXPECT_EQ(1, files);
    EXPECT_EQ(1, mutexes);
}

// A security object that cannot be built passes out of CreateSpecialFile; the
// exported C function answers 0 with the error.
TEST(HostSpecialAccess, DescriptorFailurePassesToTheCaller)
{
    struct Refuse {
        static BOOL WINAPI InitializeDescriptor(PSECURITY_DESCRIPTOR, DWORD)
        {
            SetLastError(ERROR_INVALID_SECURITY_DESCR);
            return FALSE;
        }
    };
    testsupport::TempFolder folder;
    const std::wstring path = folder.Join(L"never.tmp");
    testsupport::ImportHook hook("InitializeSecurityDescriptor", reinterpret_cast<void*>(&Refuse::InitializeDescriptor));
    ASSERT_TRUE(hook.Installed());

    LogCapture capture;
    HRESULT thrown = S_OK;
    try {
        SpecialAccess().CreateSpecialFile(path.c_str());
    } catch (const Host::CSecurityError& failure) {
        thrown = failure.result;
    }
    EXPECT_EQ(thrown, HRESULT_FROM_WIN32(ERROR_INVALID_SECURITY_DESCR));
    EXPECT_TRUE(capture.Records().empty()) << "no \"Failed to create file\" line";
    EXPECT_FALSE(testsupport::FileExists(path));

    SetLastError(0);
    EXPECT_FALSE(CreateFileSpecialAccess(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_SECURITY_DESCR));
    EXPECT_FALSE(testsupport::FileExists(path));
}
