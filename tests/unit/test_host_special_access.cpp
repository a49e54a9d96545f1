// Special-access and log files, the log file mutex (descriptors seen inside CreateFileW and CreateMutexW), the account name.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <functional>

#include "ImportHook.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "common/ScopedHandle.h"
#include "host/SAccess.h"
#include "host/SecurityError.h"
#include "host/SpecialAccess.h"
#include "log/LogFileSink.h"
#include "tolvane/Functions.h"

using Host::CSid;
using testsupport::LogCapture;
using Lines = std::vector<std::string>;

namespace {

// The descriptor as text: its control bits, the ACL's revision and unused bytes, then the descriptor itself.
std::string Describe(const SECURITY_ATTRIBUTES* attributes)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE, defaulted = FALSE;
    ACL* acl = nullptr;
    ACL_SIZE_INFORMATION size = {};
    char* text = nullptr;
    if (!attributes || attributes->nLength != sizeof *attributes || attributes->bInheritHandle ||
        !GetSecurityDescriptorControl(attributes->lpSecurityDescriptor, &control, &revision) ||
        !GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted) || !acl ||
        !GetAclInformation(acl, &size, sizeof size, AclSizeInformation) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(attributes->lpSecurityDescriptor, SDDL_REVISION_1,
             OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr))
        return "unreadable";
    const std::string result = "control " + std::to_string(control) + " acl " + std::to_string(acl->AclRevision) +
                               " free " + std::to_string(size.AclBytesFree) + " " + text;
    LocalFree(text);
    return result;
}

// Everyone, LocalSystem and Administrators: a shared file's entries (no own entry), a report file's.
const std::string kShared = "D:P(A;;0x130089;;;WD)(A;;FA;;;SY)(A;;FA;;;BA)";
const std::string kReport = "O:BAD:P(A;;SDGR;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";
const std::string kProtected = "control 4100 acl 2 free 0 ";   // present and protected: nothing inherited

// CreateFileW and CreateMutexW replaced while work runs: each call on the watched path, and each mutex when asked
// for (a warning may open the process's own log), is recorded with its descriptor.
struct Observer {
    static inline std::wstring watched;
    static inline bool mutexes;
    static inline Lines calls;
    static inline void *file, *mutex;
    static HANDLE WINAPI CreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES attributes,
                                    DWORD disposition, DWORD flags, HANDLE templateFile)
    {
        if (watched == path)
            calls.push_back("file " + std::to_string(access) + " " + std::to_string(share) + " " +
                            std::to_string(disposition) + " " + Describe(attributes));
        return reinterpret_cast<decltype(&CreateFileW)>(file)(path, access, share, attributes, disposition, flags,
                                                              templateFile);
    }
    static HANDLE WINAPI CreateMutex(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCWSTR name)
    {
        if (mutexes)
            calls.push_back("mutex " + Describe(attributes));
        return reinterpret_cast<decltype(&CreateMutexW)>(mutex)(attributes, owned, name);
    }
    static Lines Watch(const std::wstring& path, const std::function<void()>& work, bool withMutexes = false)
    {
        testsupport::ImportHook fileHook("CreateFileW", reinterpret_cast<void*>(&CreateFile)),
            mutexHook("CreateMutexW", reinterpret_cast<void*>(&CreateMutex));
        file = fileHook.Original();
        mutex = mutexHook.Original();
        watched = path;
        mutexes = withMutexes;
        calls = fileHook.Installed() && mutexHook.Installed() ? Lines{} : Lines{"not hooked"};
        work();
        return calls;
    }
};

} // namespace

TEST(HostSpecialAccess, CallerEntryFollowsTheToken)
{
    CScopedHandle caller(Host::OpenCallerToken()), process, restricted, ordinary, unreadable, impersonating;
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, impersonating.Receive())) << "reverted to self";
    // An ordinary account: this process's token with Administrators deny-only, for impersonation (CheckTokenMembership).
    const CSid administrators = CSid::Administrators();
    SID_AND_ATTRIBUTES disabled = {administrators.Get(), 0};
    alignas(TOKEN_USER) BYTE user[512];
    DWORD bytes = 0;
    char* sid = nullptr;
    ASSERT_TRUE(caller.Get() && GetTokenInformation(caller.Get(), TokenUser, user, sizeof user, &bytes) &&
                ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid) &&
                OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, process.Receive()) &&
                CreateRestrictedToken(process.Get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, restricted.Receive()) &&
                DuplicateToken(restricted.Get(), SecurityImpersonation, ordinary.Receive()) &&
                OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE, unreadable.Receive()));
    const std::string own = "(A;;FA;;;" + std::string(sid) + ")";
    LocalFree(sid);
    const struct { const char* name; HANDLE token; std::string descriptor; Lines log; } cases[] = {
        {"no token", nullptr, kShared, {}},
        {"administrator (this process)", caller.Get(), kShared, {}},
        {"ordinary account (this process's)", ordinary.Get(), kShared + own, {}},
        {"user unreadable", unreadable.Get(), kShared, {"Warning Tolvane Unable to get Sid from token [error 5]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture capture;
        Host::CSecureFileAttributes attributes;
        Host::BuildSpecialAccessAttributes(c.token, attributes);
        EXPECT_EQ(Describe(attributes.Seal()), kProtected + c.descriptor);
        EXPECT_EQ(capture.Records(), c.log);
    }
    // No process here runs as LocalSystem: its SID is given to the decision directly.
    EXPECT_FALSE(Host::NeedsOwnEntry(CSid::LocalSystem().Get(), false));
}

// CreateSpecialFile makes a new report file (owned by Administrators), CreateFileSpecialAccess creates or empties a
// shared one (the dispositions). refuse: no security descriptor can be built (it must pass out, and no file be created).
TEST(HostSpecialAccess, FilesOnDiskTheirRecordsAndDescriptors)
{
    testsupport::TempFolder folder;
    testsupport::WriteFileBytes(folder.Join(L"keep.xml"), "keep me");
    const std::wstring missing = folder.Join(L"missing\\file.dat"), never = folder.Join(L"never.tmp");
    const std::string shared = "file 1073741824 1 2 " + kProtected + kShared;   // GENERIC_WRITE, read sharing
    const std::string report = "file 1073741824 1 1 " + kProtected + kReport;
    const struct { std::wstring path; bool createNew, refuse; std::string outcome; Lines log; } cases[] = {
        {folder.Join(L"shared.dat"), false, false, "created", {}},
        {missing, false, false, "error 3",
         {"Warning Tolvane Unable to create file " + testsupport::Narrow(missing) + " with special permissions [error 3]"}},
        {folder.Join(L"report.tmp"), true, false, "created", {}},
        {folder.Join(L"keep.xml"), true, false, "error 80", {"Error Wexmoor Failed to create file [error 80]"}},
        {never, true, true, "thrown " + std::to_string(HRESULT_FROM_WIN32(ERROR_INVALID_SECURITY_DESCR)), {}},
        {never, false, true, "error 1338",
         {"Warning Tolvane Unable to build the security descriptor for file " + testsupport::Narrow(never) +
          " [error 2147943738]"}},   // the same HRESULT
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.path));
        LogCapture capture;
        std::string outcome;
        const Lines calls = Observer::Watch(c.path, [&] {
            testsupport::ImportHook refuse(c.refuse ? "InitializeSecurityDescriptor" : "", reinterpret_cast<void*>(
                +[](PSECURITY_DESCRIPTOR, DWORD) -> BOOL { SetLastError(ERROR_INVALID_SECURITY_DESCR); return FALSE; }));
            try {
                const BOOL created = c.createNew ? SpecialAccess().CreateSpecialFile(c.path.c_str())
                                                 : CreateFileSpecialAccess(c.path.c_str());
                outcome = created ? "created" : "error " + std::to_string(GetLastError());
            } catch (const Host::CSecurityError& failure) {
                outcome = "thrown " + std::to_string(failure.result);
            }
        });
        EXPECT_EQ(calls, c.refuse ? Lines{} : Lines{c.createNew ? report : shared});
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(capture.Records(), c.log);
    }
}

// Log files are created for LocalSystem and Everyone; the log file mutex for LocalSystem and
// Administrators, Everyone may only wait for it and release it.
TEST(HostSpecialAccess, LogFileAndMutexDescriptors)
{
    testsupport::TempFolder folder;
    const std::wstring log = folder.Join(L"new.log");
    const LogUtils::LogEvent event(".\\Src\\Test.cpp", 1, LogUtils::Info, "Tolvane");
    EXPECT_EQ(Observer::Watch(log, [&] { LogUtils::LogFileSink(log.c_str(), 100, 1).Write("%m", event); }, true),
              (Lines{"mutex " + kProtected + "D:P(A;;0x101f0000;;;SY)(A;;0x101f0000;;;BA)(A;;0x100001;;;WD)",
                     "file 1073741824 3 4 " + kProtected + "D:P(A;;0x101f0000;;;SY)(A;;RCGA;;;WD)"}));
}

TEST(HostSpecialAccess, CurrentUserNameIsDomainBackslashAccount)
{
    wchar_t account[256], full[512];
    DWORD accountChars = 256;
    ASSERT_TRUE(GetUserNameW(account, &accountChars) && SpecialAccess().GetCurrentUserName(full, 512));
    const std::wstring name(full);
    EXPECT_EQ(name.substr(name.find(L'\\') + 1), account);
    EXPECT_GT(name.find(L'\\'), 0u) << "DOMAIN\\account";
    // A buffer one character short receives the beginning of the text, terminated, and nothing beyond.
    for (unsigned int capacity : {unsigned(name.size()), unsigned(name.size() + 1)}) {
        std::wstring buffer(512, L'#');
        EXPECT_EQ(SpecialAccess().GetCurrentUserName(buffer.data(), capacity), TRUE);
        EXPECT_EQ(std::wstring(buffer.c_str()) + buffer[capacity], name.substr(0, capacity - 1) + L'#') << capacity;
    }
}
