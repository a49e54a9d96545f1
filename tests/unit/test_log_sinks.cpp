// The log sinks seen from outside: log files, their archives (unpacked by
// tests/scripts/log_archives.sh) and mutex, syslog datagrams received on
// 127.0.0.1 port 514, and the lines of a child process read by its debugger.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <ctime>
#include <regex>
#include <set>

#include "common/SystemException.h"
#include "log/LogArchive.h"
#include "log/LogFileMutex.h"
#include "log/LogFileSink.h"
#include "log/SyslogSink.h"
#include "log_test_support.h"

using namespace LogUtils;
using namespace testsupport;

namespace {

std::set<std::wstring> Entries(const std::wstring& pattern)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        names.insert(found.cFileName);
    FindClose(search);
    return names;
}

void WriteLine(const std::wstring& path, unsigned int limit, const char* message)
{
    EXPECT_TRUE(LogFileSink(path.c_str(), limit, 1).Write("%m", logtest::FixedEvent(Info, "Tolvane", message)));
}

struct Receiver {
    Receiver()
    {
        WSADATA data;
        DWORD timeout = 10000, size = 16;
        char name[16] = {};
        WSAStartup(0x0202, &data);
        udp = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in address = SyslogReceiver("127.0.0.1");
        bound = bind(udp, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        GetComputerNameA(name, &size);
        snprintf(host, sizeof(host), "%15s", name);
    }
    ~Receiver() { closesocket(udp), WSACleanup(); }
    std::string Next()   // empty when no datagram arrives
    {
        char buffer[4096];
        int received = recv(udp, buffer, sizeof(buffer), 0);
        return std::string(buffer, received > 0 ? static_cast<size_t>(received) : 0);
    }
    SOCKET udp;
    bool bound = false;
    char host[32];   // the computer name right-aligned in 15 characters
};

} // namespace

TEST(LogFileSink, AppendsAndStartsAnewPastTheLimit)
{
    TempFolder folder;
    const std::wstring log = folder.Join(L"sink.log"), zero = folder.Join(L"zero.log");
    WriteLine(log, 100, "created");
    EXPECT_EQ("created\r\n", ReadFileBytes(log));
    WriteFileBytes(log, std::string(100, 'x'));   // exactly the limit: appended to
    WriteLine(log, 100, "appended");
    EXPECT_EQ(std::string(100, 'x') + "appended\r\n", ReadFileBytes(log));
    EXPECT_EQ(0u, Entries(log + L"*.cab").size());
    WriteLine(log, 100, "anew");                    // larger: archived and recreated
    EXPECT_EQ("anew\r\n", ReadFileBytes(log));
    EXPECT_EQ(1u, Entries(log + L"*.cab").size());
    WriteLine(zero, 0, "first");                    // limit 0 keeps only the latest line
    WriteLine(zero, 0, "second");
    EXPECT_EQ("second\r\n", ReadFileBytes(zero));
    EXPECT_EQ(1u, Entries(zero + L"*.cab").size());
    // Held open for writing by another program, the log cannot be archived: nothing may be emptied.
    const std::wstring held = folder.Join(L"held.log");
    WriteFileBytes(held, std::string(300, 'x'));
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    WriteLine(held, 100, "one");
    WriteLine(held, 100, "two");
    CloseHandle(holder);
    EXPECT_EQ(std::string(300, 'x') + "one\r\ntwo\r\n", ReadFileBytes(held));
    EXPECT_EQ(0u, Entries(held + L"*.cab").size());
}

// While another kind of object holds the log file mutex's name, the front end raises the
// HRESULT of the failed creation to its caller, whose last-error value is kept; the next
// event creates the mutex, shared with SYSTEM and Everyone.
TEST(LogFileSink, LogFileMutex)
{
    if (HANDLE existing = OpenMutexW(SYNCHRONIZE, FALSE, kLogMutexName)) {
        CloseHandle(existing);
        GTEST_SKIP() << "this process holds the log file mutex already: run this test in a process of its own";
    }
    TempFolder folder;
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, kLogMutexName);
    ASSERT_NE(nullptr, squatter);
    unsigned int code = 0;
    SetLastError(5);
    try {
        LOG_EVENT(Error, "Tolvane").Write("front end");   // the built-in main log takes Error events
    } catch (const CSystemException& e) {
        code = e.code;
    }
    EXPECT_EQ(0x80070006u, code);   // ERROR_INVALID_HANDLE as an HRESULT
    EXPECT_EQ(5u, GetLastError());
    CloseHandle(squatter);
    WriteLine(folder.Join(L"m.log"), 100, "line");
    EXPECT_EQ("line\r\n", ReadFileBytes(folder.Join(L"m.log")));

    HANDLE mutex = OpenMutexW(SYNCHRONIZE | READ_CONTROL, FALSE, kLogMutexName);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    wchar_t* sddl = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, GetSecurityInfo(mutex, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                             nullptr, nullptr, &descriptor));
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                     DACL_SECURITY_INFORMATION, &sddl, nullptr));
    EXPECT_TRUE(std::regex_match(sddl, std::wregex(LR"(D:[A-Z]*\(A;[^;]*;[^;]*;;;SY\)\(A;[^;]*;[^;]*;;;WD\))")))
        << Narrow(sddl);
    LocalFree(sddl), LocalFree(descriptor), CloseHandle(mutex);
}

TEST(LogArchive, PruningOfTheMainLogsKeepsTheNewest)
{
    auto Stamp = [](int day) { return L"202601" + std::to_wstring(day) + L"120000.cab"; };   // day 10 to 31
    const std::pair<const wchar_t*, bool> cases[] = {{L"zeAgent.log", true}, {L"zeUpdate.log", true},
        {L"zeAgent.LOG", false}, {L"zeNotices.log", false}, {L"myzeAgent.log", false}};
    for (const auto& c : cases) {
        TempFolder folder;
        const std::wstring log = c.first;
        for (int day : {13, 11, 12})
            WriteFileBytes(folder.Join(log + Stamp(day)), "old");
        WriteFileBytes(folder.Join(log), "log text\r\n");
        ASSERT_EQ(1, ArchiveLogFile(folder.Join(log).c_str())) << Narrow(log);
        std::set<std::wstring> archives = Entries(folder.Join(log + L"*.cab"));
        EXPECT_EQ(c.second ? 2u : 4u, archives.size()) << Narrow(log);   // with the new one
        EXPECT_EQ(1u, archives.count(log + Stamp(13))) << Narrow(log);
    }
    TempFolder folder;   // a prune lists at most ten entries
    const std::wstring pattern = folder.Join(L"zeAgent.log*.cab");
    for (int day = 10; day <= 21; ++day)
        WriteFileBytes(folder.Join(L"zeAgent.log" + Stamp(day)), "old");
    EXPECT_EQ(10, PruneOldArchives((folder.Path() + L"\\").c_str(), pattern.c_str()));
    std::set<std::wstring> left = Entries(pattern);
    EXPECT_EQ(3u, left.size());   // the newest listed one and the two not listed
    EXPECT_EQ(1u, left.count(L"zeAgent.log" + Stamp(21)));
}

TEST(LogArchive, AnExistingArchiveIsNeverOverwritten)
{
    TempFolder folder;
    const std::wstring log = folder.Join(L"busy.log");
    EXPECT_EQ(0, ArchiveLogFile(log.c_str()));   // no log, no archive
    WriteFileBytes(log, "new text\r\n");
    char stamp[32];
    for (time_t t = time(nullptr), end = t + 4; t < end; ++t) {   // archives for the next seconds exist already
        strftime(stamp, sizeof(stamp), "%Y%m%d%H%M%S.cab", localtime(&t));
        WriteFileBytes(log + Wide(stamp), "earlier archive");
    }
    EXPECT_EQ(0, ArchiveLogFile(log.c_str()));
    std::set<std::wstring> archives = Entries(log + L"*.cab");
    EXPECT_EQ(4u, archives.size());
    for (const std::wstring& archive : archives)
        EXPECT_EQ("earlier archive", ReadFileBytes(folder.Join(archive)));
}

TEST(LogSyslog, DatagramByteForByte)
{
    Receiver receiver;
    ASSERT_TRUE(receiver.bound);
    const std::string host = receiver.host, longText(3000, 'm');
    struct { LogLevel level; WORD month, day; const char* format; std::string expected; } cases[] = {
        {Error, 12, 4, "%m", "<11> Dec  4 22:58:01 " + host + " Exception occurred"},
        {Debug, 12, 4, "%l:%m", "<15> Dec  4 22:58:01 " + host + " Debug:Exception occurred"},
        {Emergency, 12, 4, "", "<8> Dec  4 22:58:01 " + host + " "},
        {Info, 1, 14, "%m", ("<14> Jan 14 22:58:01 " + host + " " + longText).substr(0, 1024)},  // cut at 1024 bytes
    };
    for (const auto& c : cases) {
        LogEvent event = logtest::FixedEvent(c.level, "Tolvane", c.day == 4 ? "Exception occurred" : longText.c_str());
        event.time.wMonth = c.month;
        event.time.wDay = c.day;
        EXPECT_TRUE(SyslogSink(SyslogReceiver("127.0.0.1")).Write(c.format, event));
        EXPECT_EQ(c.expected, receiver.Next());
    }
}

// Two fresh processes, one of them with eight threads that all start logging
// at once: the shared socket, the debugger sink and the file mutex are created
// once, and every event reaches the syslog receiver and the file as a whole line.
TEST(LogSyslog, TwoProcessesWriteWholeLines)
{
    Receiver receiver;
    ASSERT_TRUE(receiver.bound);
    logtest::ClientSetup client;
    client.WriteIni("[not sent]\nfilter=*.Notice\ntype=syslog\nserver=127.0.0.1\nformat=%m\n"
                    "[syslog]\nfilter=*.Info\ntype=Syslog\nserver=127.0.0.1\nformat=%f %l %m\n"
                    "[debugger]\nfilter=*.Debug\ntype=outputdebugstring\nformat=%m\n"
                    "[file]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=shared.log\nmaxsize=10000000\n");
    logtest::Writer first(L"first 1000"), second(L"second 1000 8");
    const std::string tail = " " + std::string(receiver.host) + " Tolvane Info ";
    std::vector<std::string> messages, expected;
    for (int i = 0; i < 2000; ++i) {   // "<14> Mmm dd hh:mm:ss" + tail + message
        std::string datagram = receiver.Next();
        ASSERT_TRUE(datagram.size() > 20 && datagram.compare(0, 5, "<14> ") == 0 &&
                    datagram.compare(20, tail.size(), tail) == 0) << "datagram " << i << ": " << datagram;
        messages.push_back(datagram.substr(20 + tail.size()));
    }
    EXPECT_EQ(0u, first.Wait());
    EXPECT_EQ(0u, second.Wait());
    char text[32];
    for (int i = 0; i < 2000; ++i) {
        snprintf(text, sizeof(text), "%s-%05d", i < 1000 ? "first" : "second", i % 1000);
        expected.push_back(text);
    }
    std::vector<std::string> lines = client.Lines(L"shared.log");
    std::sort(messages.begin(), messages.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(expected, messages);
    EXPECT_EQ(expected, lines);
}

TEST(LogDebugString, ChildProcessLinesReachItsDebugger)
{
    logtest::ClientSetup client;
    client.WriteIni("[debugger]\nfilter=*.Debug\ntype=outputdebugstring\nformat=%l %f %m\n"
                    "[file]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=child.log\n");
    logtest::Writer child(L"traced 3", DEBUG_ONLY_THIS_PROCESS);
    ASSERT_TRUE(child.info.hProcess);
    std::vector<std::string> received;
    for (DEBUG_EVENT event = {}; event.dwDebugEventCode != EXIT_PROCESS_DEBUG_EVENT;) {
        ASSERT_TRUE(WaitForDebugEvent(&event, 60000));
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT) {
            std::string text(event.u.DebugString.nDebugStringLength, '\0');
            SIZE_T read = 0;
            ReadProcessMemory(child.info.hProcess, event.u.DebugString.lpDebugStringData, &text[0], text.size(), &read);
            text.resize(read > 0 && text[read - 1] == '\0' ? read - 1 : read);
            if (text.find("traced-") != std::string::npos)
                received.push_back(text);
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                   event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
            status = DBG_EXCEPTION_NOT_HANDLED;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    EXPECT_EQ(0u, child.Wait());
    EXPECT_EQ((std::vector<std::string>{"Info Tolvane traced-00000\n", "Info Tolvane traced-00001\n",
                                        "Info Tolvane traced-00002\n"}), received);
    EXPECT_EQ((std::vector<std::string>{"traced-00000", "traced-00001", "traced-00002"}), client.Lines(L"child.log"));
}
