// The log sinks seen from outside (several writing processes: tests/scripts/log_archives.sh): log files, their
// archives and mutex, syslog datagrams received on 127.0.0.1:514 (the debugger's lines: LogConfig.IniSections).
#include <winsock2.h>

#include <gtest/gtest.h>

#include <ctime>
#include <set>
#include <thread>
#include "common/ScopedHandle.h"
#include "common/SystemException.h"
#include "CabinetExtract.h"
#include "log/LogArchive.h"
#include "log/LogFileMutex.h"
#include "log/LogFileSink.h"
#include "log/SyslogSink.h"
#include "ImportHook.h"
#include "LogCapture.h"
#include "TestInstall.h"

using namespace LogUtils;
using namespace testsupport;

namespace {
std::set<std::wstring> Entries(const std::wstring& pattern)
{
    const std::vector<std::wstring> names = FileNames(pattern);
    return std::set<std::wstring>(names.begin(), names.end());
}
void WriteLine(const std::wstring& path, unsigned int limit, const char* message)
{
    EXPECT_TRUE(LogFileSink(path.c_str(), limit, 1).Write("%m", testsupport::FixedEvent(Info, "Tolvane", message)));
}
} // namespace

// A log past its size limit is archived and started anew, unless another program holds it open or another
// writer keeps the mutex: a writer waits for that only a bounded time, then appends without archiving (the
// other may be archiving the file).
TEST(LogFileSink, AppendsAndStartsAnewPastTheLimit)
{
    const std::string x100(100, 'x'), x300(300, 'x');
    enum Holder { None, OpenFile, Mutex };
    struct { std::string before; unsigned int limit; std::vector<const char*> lines; Holder holder; std::string after; }
    cases[] = {
        {x100, 100, {"appended"}, None, x100 + "appended\r\n"},   // exactly the limit: appended to
        {"", 0, {"first", "second"}, None, "second\r\n"},        // limit 0 keeps only the latest line
        {x300, 100, {"one", "two"}, OpenFile, x300 + "one\r\ntwo\r\n"},
        {x300, 100, {"while held"}, Mutex, x300 + "while held\r\n"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::wstring log = folder.Join(L"sink.log");
        if (!c.before.empty())
            WriteFileBytes(log, c.before);
        CScopedHandle file(c.holder != OpenFile ? nullptr : CreateFileW(log.c_str(), GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        CScopedHandle taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        CScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        bool heldToTheEnd = false;
        std::thread holder([&] {
            if (c.holder != Mutex)
                return (void)SetEvent(taken.Get());
            LogFileLock lock;
            SetEvent(taken.Get());
            heldToTheEnd = WaitForSingleObject(done.Get(), 60000) == WAIT_TIMEOUT;
        });
        WaitForSingleObject(taken.Get(), 60000);
        for (const char* line : c.lines)
            WriteLine(log, c.limit, line);
        SetEvent(done.Get());
        holder.join();
        file.Reset();
        EXPECT_FALSE(heldToTheEnd) << "the writer waited for the holder to let go";
        EXPECT_EQ(c.after, ReadFileBytes(log));
        EXPECT_EQ(c.limit == 0 ? 1u : 0u, Entries(log + L"*.cab").size()) << c.after;
    }
}

// While another kind of object holds the mutex's name, the front end raises the HRESULT of the failed creation
// and keeps its caller's last-error value; the next event creates it. The library never closes the mutex: this
// needs a process that has not logged yet (ctest runs each test in a process of its own).
TEST(LogFileSink, LogFileMutex)
{
    ASSERT_EQ(nullptr, CScopedHandle(OpenMutexW(SYNCHRONIZE, FALSE, LogMutexName())).Get())
        << "a process holds the log file mutex already";
    EXPECT_EQ(GetEnvironmentVariableW(L"TOLVANE_TEST_TERMINAL_SERVICES", nullptr, 0) != 0,
              std::wstring(LogMutexName()) == kGlobalLogMutexName);
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, LogMutexName());
    ASSERT_NE(nullptr, squatter);
    SetLastError(5);
    try {
        LOG_EVENT(Error, "Tolvane").Write("front end");   // the built-in main log takes Error events
        ADD_FAILURE() << "no exception";
    } catch (const CSystemException& e) {
        EXPECT_EQ(0x80070006u, e.code);   // ERROR_INVALID_HANDLE as an HRESULT
    }
    EXPECT_EQ(5u, GetLastError());
    CloseHandle(squatter);
    EXPECT_NO_THROW(LOG_EVENT(Error, "Tolvane").Write("front end"));
    EXPECT_NE(nullptr, CScopedHandle(OpenMutexW(SYNCHRONIZE, FALSE, LogMutexName())).Get());
}

// A reader that denies write sharing: the log is neither archived nor started anew while it reads (not even
// tried); the events' lines wait beside it and, once it is gone, the next event archives the log and puts
// them into the new log before its own. A reader that comes between archive and start anew takes the archive
// back. A hidden or system log is started anew with its attributes.
TEST(LogFileSink, LogsSurviveReaders)
{
    static struct { bool readerBetween; DWORD flags; int startsAnew; } hooked;
    static void* realCreateFile = nullptr;
    struct Observer {
        static HANDLE WINAPI Create(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES attributes,
                                    DWORD disposition, DWORD flags, HANDLE templateFile)
        {
            static CScopedHandle reader;
            if (disposition == CREATE_ALWAYS) {
                hooked.flags = flags;
                ++hooked.startsAnew;
                if (hooked.readerBetween)
                    reader.Reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            }
            if (disposition == OPEN_ALWAYS)
                reader.Reset();
            return reinterpret_cast<decltype(&CreateFileW)>(realCreateFile)(path, access, share, attributes,
                                                                              disposition, flags, templateFile);
        }
    };
    testsupport::ImportHook hook("CreateFileW", reinterpret_cast<void*>(&Observer::Create));
    ASSERT_TRUE(hook.Installed());
    realCreateFile = hook.Original();
    const std::string x300(300, 'x');
    {
        TempFolder folder;
        const std::wstring log = folder.Join(L"sink.log");
        WriteFileBytes(log, x300);
        CScopedHandle reader(CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        hooked = {false, 0, 0};
        for (const auto& [line, limit] : {std::pair{"one", 1000u}, {"two", 100u}, {"three", 100u}})
            WriteLine(log, limit, line);
        EXPECT_EQ(0, hooked.startsAnew);
        reader.Reset();
        WriteLine(log, 100, "four");
        const std::vector<std::wstring> cabs = FileNames(log + L"*.cab");
        ASSERT_EQ(1u, cabs.size());
        ASSERT_TRUE(ExtractCabinet(Narrow(folder.Join(cabs[0])), Narrow(folder.Path())));
        EXPECT_EQ(x300 + "one\r\ntwo\r\nthree\r\nfour\r\n",   // each line once, in order
                  ReadFileBytes(folder.Join(cabs[0].substr(0, cabs[0].size() - 4))) + ReadFileBytes(log));
        EXPECT_FALSE(FileExists(log + L".held"));
    }
    for (const auto& c : {decltype(hooked){true, 0, 0}, decltype(hooked){false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0}}) {
        TempFolder folder;
        const std::wstring log = folder.Join(L"sink.log");
        WriteFileBytes(log, x300);
        ASSERT_TRUE(SetFileAttributesW(log.c_str(), c.flags ? c.flags : FILE_ATTRIBUTE_NORMAL));
        hooked = {c.readerBetween, 0, 0};
        LogFileSink(log.c_str(), 100, 1).Write("%m", testsupport::FixedEvent(Info, "Tolvane", "five"));
        EXPECT_EQ(c.readerBetween ? x300 + "five\r\n" : "five\r\n", ReadFileBytes(log));
        EXPECT_EQ(c.readerBetween ? 0u : 1u, Entries(log + L"*.cab").size());
        EXPECT_EQ(c.flags, hooked.flags & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }
}

// Archiving prunes the main logs' archives to the newest, the cabinets of a set (a log that did not fit one
// cabinet) together; a prune lists at most ten archives. An existing archive is never overwritten.
TEST(LogArchive, PruningAndExistingArchives)
{
    for (const std::wstring name : {L"zeAgent.log20260110120000_x", L"my_2.log20260110120000"})   // no "_<number>" of a set
        EXPECT_EQ(name, ArchiveSetName(name + L".cab"));
    auto Stamp = [](int day, const wchar_t* part = L"") {   // day 10 to 31
        return L"202601" + std::to_wstring(day) + L"120000" + part + L".cab";
    };
    const std::pair<std::wstring, bool> cases[] = {{L"zeAgent.log", true}, {L"zeUpdate.log", true}, {L"zeAgent.LOG", false}};
    for (const auto& [log, pruned] : cases) {
        TempFolder folder;
        for (const std::wstring& old : {Stamp(13), Stamp(11), Stamp(11, L"_2"), Stamp(12), Stamp(13, L"_2")})
            WriteFileBytes(folder.Join(log + old), "old");
        WriteFileBytes(folder.Join(log), "log text\r\n");
        ASSERT_EQ(1, ArchiveLogFile(folder.Join(log).c_str())) << Narrow(log);
        std::set<std::wstring> archives = Entries(folder.Join(log + L"*.cab"));
        EXPECT_EQ(pruned ? 3u : 6u, archives.size()) << Narrow(log);   // with the new one
        EXPECT_EQ(2u, archives.count(log + Stamp(13)) + archives.count(log + Stamp(13, L"_2"))) << Narrow(log);
    }
    TempFolder folder;
    const std::wstring pattern = folder.Join(L"zeAgent.log*.cab"), log = folder.Join(L"busy.log");
    for (int day = 10; day <= 21; ++day)
        WriteFileBytes(folder.Join(L"zeAgent.log" + Stamp(day)), "old");
    EXPECT_EQ(10, PruneOldArchives((folder.Path() + L"\\").c_str(), pattern.c_str()));
    std::set<std::wstring> left = Entries(pattern);
    EXPECT_EQ(3u, left.size());   // the newest listed one and the two not listed
    EXPECT_EQ(1u, left.count(L"zeAgent.log" + Stamp(21)));
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
    WSADATA data;
    WSAStartup(0x0202, &data);
    SOCKET udp = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address = SyslogReceiver("127.0.0.1");
    ASSERT_EQ(0, bind(udp, reinterpret_cast<sockaddr*>(&address), sizeof(address))) << "port 514 is taken";
    DWORD timeout = 10000, size = 16;
    setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    char name[16] = {}, buffer[4096];
    GetComputerNameA(name, &size);
    snprintf(buffer, sizeof(buffer), " %15s ", name);   // the computer name right-aligned in 15 characters
    const std::string host = buffer, longText(3000, 'm');
    const auto Received = [&](const LogEvent& event) {
        EXPECT_TRUE(SyslogSink(SyslogReceiver("127.0.0.1")).Write("%m", event));
        const int received = recv(udp, buffer, sizeof(buffer), 0);
        return std::string(buffer, received > 0 ? received : 0);
    };
    EXPECT_EQ("<8> Dec  4 22:58:01" + host + "Exception occurred",
              Received(testsupport::FixedEvent(Emergency, "Tolvane", "Exception occurred")));
    LogEvent event = testsupport::FixedEvent(Info, "Tolvane", longText.c_str());
    event.time.wMonth = 1, event.time.wDay = 14;
    EXPECT_EQ(("<14> Jan 14 22:58:01" + host + longText).substr(0, 1024), Received(event));   // cut at 1024 bytes
    closesocket(udp), WSACleanup();
}
