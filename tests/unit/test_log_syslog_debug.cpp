// The syslog sink, received on 127.0.0.1 port 514 with a real UDP socket,
// and the debugger sink, read by a debugger of a child process.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "log/DebugStringSink.h"
#include "log/LogManager.h"
#include "log/SyslogSink.h"
#include "log_test_support.h"

namespace {

class SyslogReceiver {
public:
    SyslogReceiver()
    {
        WSADATA data;
        WSAStartup(0x0202, &data);
        m_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(514);
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        bound = bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        DWORD timeout = 10000;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    }
    ~SyslogReceiver()
    {
        closesocket(m_socket);
        WSACleanup();
    }

    // The next datagram; empty when none arrives.
    std::string Receive()
    {
        char buffer[4096];
        int received = recv(m_socket, buffer, sizeof(buffer), 0);
        return received > 0 ? std::string(buffer, static_cast<size_t>(received)) : std::string();
    }

    bool bound = false;

private:
    SOCKET m_socket;
};

std::string Host15()
{
    char host[16] = {};
    DWORD size = sizeof(host);
    GetComputerNameA(host, &size);
    char field[32];
    snprintf(field, sizeof(field), "%15s", host);
    return field;
}

} // namespace

TEST(LogSyslog, DatagramByteForByte)
{
    SyslogReceiver receiver;
    ASSERT_TRUE(receiver.bound);
    LogUtils::SyslogSink sink(LogUtils::SyslogReceiver("127.0.0.1"));
    struct Case {
        LogUtils::LogLevel level;
        const char* format;
        std::string expected;
    } cases[] = {
        {LogUtils::Error, "%m", "<11> Dec  4 22:58:01 " + Host15() + " Exception occurred"},
        {LogUtils::Debug, "%l:%m", "<15> Dec  4 22:58:01 " + Host15() + " Debug:Exception occurred"},
        {LogUtils::Emergency, "", "<8> Dec  4 22:58:01 " + Host15() + " "},
    };
    for (const Case& c : cases) {
        LogUtils::LogEvent event = logtest::FixedEvent(c.level, "Tolvane", "Exception occurred");
        EXPECT_TRUE(sink.Write(c.format, event));
        EXPECT_EQ(c.expected, receiver.Receive());
    }
}

TEST(LogSyslog, LongLineIsCutAt1024Bytes)
{
    SyslogReceiver receiver;
    ASSERT_TRUE(receiver.bound);
    std::string message(3000, 'm');
    LogUtils::LogEvent event = logtest::FixedEvent(LogUtils::Info, "Tolvane", message.c_str());
    event.time.wDay = 14;
    event.time.wMonth = 1;
    EXPECT_TRUE(LogUtils::SyslogSink(LogUtils::SyslogReceiver("127.0.0.1")).Write("%m", event));
    std::string header = "<14> Jan 14 22:58:01 " + Host15() + " ";
    std::string datagram = receiver.Receive();
    ASSERT_EQ(1024u, datagram.size());
    EXPECT_EQ(header + message.substr(0, 1024 - header.size()), datagram);
}

TEST(LogSyslog, ThroughTheIniFile)
{
    SyslogReceiver receiver;
    ASSERT_TRUE(receiver.bound);
    logtest::ClientSetup client;
    client.WriteIni(
        "[nowhere]\nfilter=*.Debug\ntype=syslog\nserver=no.such.address\nformat=%m\n"
        "[loopback]\nfilter=*.Info\ntype=Syslog\nserver=127.0.0.1\nformat=%f %l %m\n"
        "[file]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=after.log\n");
    LOG_EVENT(Warning, "Tolvane").Write("sent %d", 1);
    LOG_EVENT(Debug, "Tolvane").Write("not sent");
    LOG_EVENT(Info, "Wexmoor").Write(L"sent %d", 2);
    for (const char* tail : {"Tolvane Warning sent 1", "Wexmoor Info sent 2"}) {
        std::string datagram = receiver.Receive();
        std::string expectedEnd = " " + Host15() + " " + tail;
        ASSERT_GT(datagram.size(), expectedEnd.size());
        EXPECT_EQ(expectedEnd, datagram.substr(datagram.size() - expectedEnd.size())) << datagram;
        EXPECT_EQ(datagram.find(tail[0] == 'T' ? "<12> " : "<14> "), 0u) << datagram;
    }
    EXPECT_EQ((std::vector<std::string>{"sent 1", "not sent", "sent 2"}), client.Lines(L"after.log"));
}

TEST(LogDebugString, ChildProcessLinesReachItsDebugger)
{
    logtest::ClientSetup client;
    client.WriteIni(
        "[debugger]\nfilter=*.Debug\ntype=outputdebugstring\nformat=%l %f %m\n"
        "[file]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=child.log\n");
    logtest::ChildProcess child(L"log_writer", L"traced 3", DEBUG_ONLY_THIS_PROCESS);
    ASSERT_TRUE(child.started);

    std::vector<std::string> received;
    for (bool running = true; running;) {
        DEBUG_EVENT event;
        ASSERT_TRUE(WaitForDebugEvent(&event, 60000));
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
            std::string text(info.nDebugStringLength, '\0');
            SIZE_T read = 0;
            ReadProcessMemory(child.info.hProcess, info.lpDebugStringData, &text[0], text.size(), &read);
            text.resize(read);
            if (!text.empty() && text.back() == '\0')
                text.pop_back();
            if (text.find("traced-") != std::string::npos)
                received.push_back(text);
            break;
        }
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            running = false;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    EXPECT_EQ(0u, child.Wait());
    EXPECT_EQ((std::vector<std::string>{"Info Tolvane traced-00000\n", "Info Tolvane traced-00001\n",
                                        "Info Tolvane traced-00002\n"}),
              received);
    EXPECT_EQ((std::vector<std::string>{"traced-00000", "traced-00001", "traced-00002"}),
              client.Lines(L"child.log"));
}

// A fresh process whose threads all start logging at once: the shared socket,
// the debugger sink and the file mutex are created once, and every event
// reaches both the file and the receiver.
TEST(LogSyslog, ThreadsOfAFreshProcessShareOneSocket)
{
    SyslogReceiver receiver;
    ASSERT_TRUE(receiver.bound);
    logtest::ClientSetup client;
    client.WriteIni(
        "[syslog]\nfilter=*.Debug\ntype=syslog\nserver=127.0.0.1\nformat=%m\n"
        "[debugger]\nfilter=*.Debug\ntype=outputdebugstring\nformat=%m\n"
        "[file]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=burst.log\n");
    logtest::ChildProcess child(L"log_writer", L"burst 200 8");
    ASSERT_TRUE(child.started);
    std::set<std::string> messages;
    for (int i = 0; i < 200; ++i) {
        std::string datagram = receiver.Receive();
        ASSERT_FALSE(datagram.empty()) << "after " << i << " datagrams";
        messages.insert(datagram.substr(datagram.rfind(' ') + 1));
    }
    EXPECT_EQ(0u, child.Wait());
    EXPECT_EQ(200u, messages.size());
    std::vector<std::string> lines = client.Lines(L"burst.log");
    EXPECT_EQ(200u, std::set<std::string>(lines.begin(), lines.end()).size());
    EXPECT_EQ(200u, lines.size());
}
