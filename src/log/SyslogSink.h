// The syslog sink: one BSD syslog datagram per event, sent over UDP to the
// receiver named in the logging ini file.
#pragma once

#include <winsock2.h>

#include "log/LogManager.h"

namespace LogUtils {

constexpr int kSyslogDatagramBytes = 1024;
constexpr unsigned short kSyslogPort = 514;

class SyslogSink : public LogSink {
public:
    explicit SyslogSink(const sockaddr_in& receiver) : m_receiver(receiver) {}

    // "<8+level> Mon dd hh:mm:ss <host in 15> <line>", at most 1024 bytes;
    // true when sendto succeeded.
    bool Write(const char* format, const LogEvent& event) override;

private:
    sockaddr_in m_receiver;
};

// The receiver address for a "server" text: the dotted IPv4 address (or
// 255.255.255.255 when it is none), UDP port 514.
sockaddr_in SyslogReceiver(const char* server);

} // namespace LogUtils
