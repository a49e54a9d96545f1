#include <winsock2.h>

#include "log/SinkKinds.h"

#include <shlwapi.h>

#include <cstdlib>
#include <cstring>

#include "common/RegKey.h"
#include "log/DebugStringSink.h"
#include "log/LogArchive.h"
#include "log/LogFileSink.h"
#include "log/SyslogSink.h"

namespace LogUtils {
namespace {

// The "file" kind: "filename" (with the "<dt>" rule) in the log folder, and
// the size limit from "maxsize", else the Agent key, else the carried one.
void ReadFileKeys(const IniSection& section, SinkRoute& route)
{
    SectionTexts& texts = section.texts;
    section.Read("filename", texts.fileName, sizeof(texts.fileName));
    if (strstr(texts.fileName, "<dt>"))
        ReplaceDateTag(texts.fileName, sizeof(texts.fileName), ToAnsi(section.settings.lastVersion).c_str());
    route.fileName = texts.fileName;

    section.Read("maxsize", texts.maxSize, sizeof(texts.maxSize));
    route.maxSize = texts.maxSize;
    if (texts.maxSize[0]) {
        section.carriedSizeLimit = static_cast<unsigned int>(atoi(texts.maxSize));
        route.sizeSource = SizeSource::Section;
    } else {
        DWORD agentLimit = 0;
        RegKey agent;
        agent.Open(HKEY_LOCAL_MACHINE, kAgentKey, KEY_QUERY_VALUE);
        if (agent && ReadRegDword(agent.Get(), L"dwMaxLogfileSize", agentLimit)) {
            section.carriedSizeLimit = agentLimit;
            route.sizeSource = SizeSource::AgentKey;
        }
    }
    route.sizeLimit = section.carriedSizeLimit;

    wchar_t wideName[kLogPathChars + 1];
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, texts.fileName, -1, wideName, kLogPathChars + 1) <= 0)
        wideName[0] = L'\0';
    BuildLogPath(texts.filePath, section.settings.logFolder, wideName);
    route.filePath = texts.filePath;
}

void WriteToFile(const SinkRoute& route, const LogEvent& event)
{
    if (route.filePath[0])
        LogFileSink(route.filePath, route.sizeLimit, 1).Write(route.format, event);
}

// The file sink creates files, not folders.
bool FolderOfFileExists(const wchar_t* filePath)
{
    wchar_t folder[MAX_PATH];
    lstrcpynW(folder, filePath, MAX_PATH);
    PathRemoveFileSpecW(folder);
    return PathIsDirectoryW(folder) != FALSE;
}

const char* SizeOrigin(const SinkRoute& route)
{
    switch (route.sizeSource) {
    case SizeSource::Section:
        return "\"maxsize\"";
    case SizeSource::AgentKey:
        return "HKLM\\SOFTWARE\\Tavrel\\Orbisk\\Agent \"dwMaxLogfileSize\"";
    case SizeSource::Carried:
        break;
    }
    if (!route.section)
        return "built in";
    return route.sizeLimit == kDefaultSizeLimit ? "the default" : "an earlier section's limit";
}

// "maxsize" is read with atoi, which stops at the first character that is no
// digit and does not report a number too large: the text and the limit differ.
bool ReadsAsWritten(const char* maxSize, unsigned int limit)
{
    while (maxSize[0] == '0' && maxSize[1])
        ++maxSize;
    return std::to_string(limit) == maxSize;
}

SinkCheck CheckFile(const SinkRoute& route)
{
    SinkCheck check;
    const std::string path = ToAnsi(route.filePath);
    check.destination = "file " + path;
    if (route.section && !route.fileName[0]) {
        check.silence = "no usable file name";
        check.warnings.push_back("no \"filename\": the section writes nothing");
        return check;
    }
    if (!route.filePath[0]) {
        check.silence = "no usable file name";
        check.warnings.push_back("the file's path does not fit in 260 characters: the section writes nothing");
        return check;
    }
    const bool folderExists = FolderOfFileExists(route.filePath);
    check.details.push_back("file: " + path + (folderExists ? " (its folder exists)" : " (its folder does not exist)"));
    check.details.push_back("size limit: " + std::to_string(route.sizeLimit) + " bytes (" + SizeOrigin(route) + ")");
    if (!folderExists)
        check.silence = "the folder of " + path + " does not exist";
    else if (PathIsDirectoryW(route.filePath))
        check.silence = path + " is a folder";
    if (!check.silence.empty())
        check.warnings.push_back(check.silence + ": the section writes nothing");
    if (route.sizeSource == SizeSource::Section) {
        if (!ArchivesArePruned(PathFindFileNameW(route.filePath)))
            check.warnings.push_back("the archives of " + std::string(PathFindFileNameA(route.fileName)) +
                                     " are never pruned: each overflow leaves one more .cab file beside it");
        if (!ReadsAsWritten(route.maxSize, route.sizeLimit))
            check.warnings.push_back("maxsize \"" + std::string(route.maxSize) + "\" is read as " +
                                     std::to_string(route.sizeLimit) +
                                     ": the size limit is a plain decimal number of bytes");
    }
    return check;
}

// The "outputdebugstring" kind: the debugger of the writing process.
void ReadNoKeys(const IniSection&, SinkRoute&) {}

void WriteDebugString(const SinkRoute& route, const LogEvent& event)
{
    DebugStringSink::Instance().Write(route.format, event);
}

SinkCheck CheckDebugString(const SinkRoute&)
{
    SinkCheck check;
    check.destination = "debugger";
    check.details.push_back("the debugger of the writing process");
    return check;
}

// The "syslog" kind: one datagram to "server", UDP port 514.
void ReadServer(const IniSection& section, SinkRoute& route)
{
    section.Read("server", section.texts.server, sizeof(section.texts.server));
    route.server = section.texts.server;
}

void WriteSyslog(const SinkRoute& route, const LogEvent& event)
{
    SyslogSink(SyslogReceiver(route.server)).Write(route.format, event);
}

SinkCheck CheckSyslog(const SinkRoute& route)
{
    SinkCheck check;
    const std::string server = route.server, port = std::to_string(kSyslogPort);
    check.destination = "syslog " + server + " port " + port;
    check.details.push_back("server: \"" + server + "\", UDP port " + port);
    if (SyslogReceiver(route.server).sin_addr.s_addr == INADDR_NONE) {
        check.silence = "its server is no dotted IPv4 address";
        check.warnings.push_back("server \"" + server + "\" is no dotted IPv4 address: nothing is sent");
    }
    return check;
}

const SinkKind kSinkKinds[] = {
    {"file", ReadFileKeys, WriteToFile, CheckFile},
    {"outputdebugstring", ReadNoKeys, WriteDebugString, CheckDebugString},
    {"syslog", ReadServer, WriteSyslog, CheckSyslog},
};

} // namespace

const SinkKind* SinkKindOf(const char* type)
{
    for (const SinkKind& kind : kSinkKinds)
        if (_stricmp(type, kind.typeName) == 0)
            return &kind;
    return nullptr;
}

const SinkKind& FileSinkKind()
{
    return kSinkKinds[0];
}

std::string SinkTypeNames()
{
    std::string names;
    const size_t count = sizeof(kSinkKinds) / sizeof(kSinkKinds[0]);
    for (size_t i = 0; i < count; ++i)
        names += (i == 0 ? "" : i + 1 == count ? " or " : ", ") + std::string(kSinkKinds[i].typeName);
    return names;
}

std::string ToAnsi(const wchar_t* text)
{
    char buffer[4 * MAX_PATH];
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr) <= 0)
        return std::string();
    return buffer;
}

} // namespace LogUtils
