#include "log/SyslogSink.h"

#include <cstdio>

#include "log/LineFormat.h"

namespace LogUtils {
namespace {

// The process's one UDP socket, created on first use and closed when the
// library is unloaded or the process ends. Winsock is never cleaned up.
class SyslogSocket {
public:
    SyslogSocket()
    {
        WSADATA data;
        WSAStartup(0x0202, &data);
        m_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    }
    ~SyslogSocket()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
    }
    SyslogSocket(const SyslogSocket&) = delete;
    SyslogSocket& operator=(const SyslogSocket&) = delete;

    SOCKET Get() const { return m_socket; }

private:
    SOCKET m_socket;
};

SOCKET SharedSocket()
{
    // Created exactly once, also when many threads log at the same moment;
    // a socket that could not be created is not tried again.
    static SyslogSocket shared;
    return shared.Get();
}

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

} // namespace

sockaddr_in SyslogReceiver(const char* server)
{
    sockaddr_in receiver = {};
    receiver.sin_family = AF_INET;
    receiver.sin_port = htons(kSyslogPort);
    receiver.sin_addr.s_addr = inet_addr(server);
    return receiver;
}

bool SyslogSink::Write(const char* format, const LogEvent& event)
{
    SOCKET shared = SharedSocket();
    if (shared == INVALID_SOCKET)
        return false;

    char host[16] = {};
    DWORD hostSize = sizeof(host);
    if (!GetComputerNameA(host, &hostSize))
        host[0] = '\0';

    const SYSTEMTIME& t = event.time;
    const char* month = t.wMonth >= 1 && t.wMonth <= 12 ? kMonths[t.wMonth - 1] : "";
    char datagram[kSyslogDatagramBytes];
    int header = _snprintf_s(datagram, sizeof(datagram), _TRUNCATE,
                             "<%1u> %s %2u %02u:%02u:%02u %15s ", 8 + event.level, month,
                             t.wDay, t.wHour, t.wMinute, t.wSecond, host);
    if (header < 0)
        header = static_cast<int>(sizeof(datagram)) - 1;

    FixedBuffer_OStream stream(datagram + header, datagram + sizeof(datagram));
    FormatEvent(format, event, stream);
    int length = static_cast<int>(stream.cursor - datagram);

    if (sendto(shared, datagram, length, 0, reinterpret_cast<const sockaddr*>(&m_receiver),
               sizeof(m_receiver)) == SOCKET_ERROR) {
        WSAGetLastError();
        return false;
    }
    return true;
}

} // namespace LogUtils
