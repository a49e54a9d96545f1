#include "log/LineFormat.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "log/LogManager.h"
#include "log/SystemInfo.h"

namespace LogUtils {

void OStream::WriteRange(const char* begin, const char* end)
{
    Write(begin, static_cast<size_t>(end - begin));
}

void OStream::WriteText(const char* text)
{
    WriteRange(text, text + strlen(text));
}

void FixedBuffer_OStream::Write(const char* data, size_t count)
{
    size_t room = static_cast<size_t>(end - cursor);
    if (count > room)
        count = room;
    memcpy(cursor, data, count);
    cursor += count;
}

void ATLString_OStream::Write(const char* data, size_t count)
{
    text.append(data, count);
}

namespace {

// A process or thread id: hexadecimal with the plus flag, or when it reads
// as a negative number; decimal otherwise.
void WriteId(unsigned int id, bool plus, OStream& out)
{
    char buffer[36];
    bool hex = plus || static_cast<int>(id) < 0;
    _ultoa_s(id, buffer, sizeof(buffer), hex ? 16 : 10);
    out.WriteText(buffer);
}

void WriteMessage(const LogEvent& event, OStream& out)
{
    if (event.narrowMessage) {
        out.WriteText(event.narrowMessage);
    } else if (event.wideMessage) {
        // Two bytes per character hold any double-byte code page.
        char converted[2 * kMessageChars];
        int length = WideCharToMultiByte(CP_THREAD_ACP, 0, event.wideMessage, -1,
                                         converted, sizeof(converted), nullptr, nullptr);
        if (length > 0)
            out.Write(converted, static_cast<size_t>(length - 1));
    }
    if (event.hasError) {
        char errorText[kErrorTextBytes];
        out.Write(" ", 1);
        out.WriteText(FormatErrorText(event.errorCode, errorText));
    }
}

void WriteUserName(OStream& out)
{
    char name[257];
    DWORD size = sizeof(name);
    if (GetUserNameA(name, &size))
        out.WriteText(name);
}

void WriteWindowStation(OStream& out)
{
    if (!IsNtPlatform())
        return;
    char name[261] = {};
    HWINSTA station = GetProcessWindowStation();
    DWORD needed = 0;
    if (station && GetUserObjectInformationA(station, UOI_NAME, name, sizeof(name) - 1, &needed))
        out.WriteText(name);
}

typedef BOOL(WINAPI* ProcessIdToSessionIdFn)(DWORD, DWORD*);

void WriteSessionId(OStream& out)
{
    DWORD session = 0;
    if (HasTerminalServices()) {
        static const ProcessIdToSessionIdFn query = reinterpret_cast<ProcessIdToSessionIdFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "ProcessIdToSessionId")));
        if (!query || !query(GetCurrentProcessId(), &session))
            session = 0;
    }
    char buffer[36];
    _ultoa_s(session, buffer, sizeof(buffer), 10);
    out.WriteText(buffer);
}

void WriteConversion(char conversion, bool plus, const LogEvent& event, OStream& out)
{
    const SYSTEMTIME& t = event.time;
    char buffer[260];
    switch (conversion) {
    case '%':
        out.Write("%", 1);
        break;
    case 'D':
        if (plus)
            _snprintf_s(buffer, 11, _TRUNCATE, "%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
        else
            _snprintf_s(buffer, 11, _TRUNCATE, "%02u-%02u", t.wMonth, t.wDay);
        out.WriteText(buffer);
        break;
    case 'T':
        _snprintf_s(buffer, 16, _TRUNCATE, "%02u:%02u:%02u.%03u",
                    t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
        if (!plus)
            buffer[8] = '\0';
        out.WriteText(buffer);
        break;
    case 'L':
        _ultoa_s(event.line, buffer, 36, 10);
        out.WriteText(buffer);
        break;
    case 'l':
        out.WriteText(LevelName(event.level));
        break;
    case 'm':
        WriteMessage(event, out);
        break;
    case 'f':
        if (event.category)
            out.WriteText(event.category);
        break;
    case 's':
        if (event.sourceFile)
            out.WriteText(plus ? event.sourceFile : PathFindFileNameA(event.sourceFile));
        break;
    case 'p':
        WriteId(event.processId, plus, out);
        break;
    case 't':
        WriteId(event.threadId, plus, out);
        break;
    case 'P':
        _snprintf_s(buffer, sizeof(buffer), _TRUNCATE, "%8s", LogManager::Instance().programName);
        out.WriteText(buffer);
        break;
    case 'U':
        WriteUserName(out);
        break;
    case 'w':
        WriteWindowStation(out);
        break;
    case 'i':
        WriteSessionId(out);
        break;
    default:
        break;
    }
}

} // namespace

bool FormatEvent(const char* format, const LogEvent& event, OStream& stream)
{
    bool inConversion = false;
    bool plus = false;
    const char* literal = format;   // start of the pending run of plain characters
    const char* p = format;
    while (*p) {
        // Bytes below 0x80 are never lead bytes, so only others need CharNextA.
        const char* next = static_cast<unsigned char>(*p) < 0x80 ? p + 1 : CharNextA(p);
        if (next == p)
            break;
        if (!inConversion) {
            if (*p == '%') {
                stream.WriteRange(literal, p);
                inConversion = true;
                plus = false;
                literal = next;
            }
        } else {
            if (*p == '+') {
                plus = true;
            } else if (*p != '-') {
                WriteConversion(*p, plus, event, stream);
                inConversion = false;
            }
            literal = next;
        }
        p = next;
    }
    if (!inConversion)
        stream.WriteRange(literal, p);
    return true;
}

std::string RenderLine(const char* format, const LogEvent& event, const char* ending)
{
    std::string line;
    line.reserve(256);
    ATLString_OStream stream(line);
    FormatEvent(format, event, stream);
    stream.WriteText(ending);
    return line;
}

} // namespace LogUtils
