// The line reader of the client's small XML files.
#include "lang/FileLine.h"

#include <windows.h>

#include <cstdlib>
#include <new>
#include <string>

#include "common/ScopedHandle.h"
#include "log/LogEvent.h"

namespace {

// Larger files are not configuration files; the size must also fit the
// 32-bit count with room for the terminating zero byte.
constexpr ULONGLONG kMaxFileBytes = 0xFFFFFFFEull;

} // namespace

CFileLine::CFileLine()
    : m_data(nullptr), m_dataSize(0), m_lineStarts(0), m_lineCursor(m_lineStarts), m_current(0),
      m_encoding(EncodingNone)
{
}

CFileLine::~CFileLine()
{
    Clear();
}

void CFileLine::Clear()
{
    while (m_lineStarts.GetCount() != 0)
        m_lineStarts.PopFront();
    m_lineCursor.Reset();
    free(m_data);
    m_data = nullptr;
    m_dataSize = 0;
    m_current = 0;
    m_encoding = EncodingNone;
}

int CFileLine::Read(const wchar_t* path)
{
    Clear();
    try {
        if (!ReadFile(path)) {
            Clear();
            return 0;
        }
        SplitLines();
        return 1;
    } catch (...) {
        WEXMOOR_LOG(Error).Write("Exception occurred");
        Clear();
        return 0;
    }
}

// Reads the whole file into m_data with a zero byte behind it. 0 when the
// file cannot be opened or read (nothing logged); throws on other failures.
int CFileLine::ReadFile(const wchar_t* path)
{
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return 0;

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<ULONGLONG>(size.QuadPart) > kMaxFileBytes)
        throw std::bad_alloc();
    const DWORD wanted = static_cast<DWORD>(size.QuadPart);

    m_data = static_cast<char*>(malloc(static_cast<size_t>(wanted) + 1));
    if (m_data == nullptr)
        throw std::bad_alloc();

    // One read of the whole file; a short read counts as the data there is,
    // a failed read as no file.
    DWORD got = 0;
    if (wanted != 0 && !::ReadFile(file.Get(), m_data, wanted, &got, nullptr))
        return 0;
    m_data[got] = '\0';
    m_dataSize = got;

    m_encoding = EncodingNone;
    if (m_dataSize >= 3 && static_cast<unsigned char>(m_data[0]) == 0xEF &&
        static_cast<unsigned char>(m_data[1]) == 0xBB && static_cast<unsigned char>(m_data[2]) == 0xBF)
        m_encoding = EncodingUtf8;
    return 1;
}

// Every carriage return and zero byte ends a line: it becomes the line's
// terminator, and the next line starts two bytes further on (the line feed
// behind the carriage return is skipped, whatever it is). A start beyond the
// final zero byte is moved onto it, an empty line.
void CFileLine::SplitLines()
{
    unsigned int start = 0;
    for (unsigned int i = 0; i <= m_dataSize; ++i) {
        if (m_data[i] != '\r' && m_data[i] != '\0')
            continue;
        m_data[i] = '\0';
        m_lineStarts.PushBack(m_data + start);
        start = i + 2;
        if (start > m_dataSize)
            start = m_dataSize;
    }
}

int CFileLine::GetFirstLine(CMyString& line)
{
    m_current = 0;
    return GetLine(m_current, line);
}

int CFileLine::GetNextLine(CMyString& line)
{
    if (m_current < m_lineStarts.GetCount())
        ++m_current;
    return GetLine(m_current, line);
}

// The UTF-8 byte-order mark is not skipped: it stays at the head of the
// first line as U+FEFF.
int CFileLine::GetLine(unsigned int index, CMyString& line)
{
    const char* start = static_cast<const char*>(m_lineCursor.ItemAt(index));
    if (start == nullptr)
        return 0;
    try {
        const UINT codePage = m_encoding == EncodingUtf8 ? CP_UTF8 : CP_ACP;
        const int chars = MultiByteToWideChar(codePage, 0, start, -1, nullptr, 0);
        if (chars <= 0) {
            line = L"";
            return 1;
        }
        std::wstring wide(static_cast<size_t>(chars), L'\0');
        MultiByteToWideChar(codePage, 0, start, -1, &wide[0], chars);
        line = wide.c_str();
        return 1;
    } catch (...) {
        WEXMOOR_LOG(Error).Write("Exception occurred");
        return 0;
    }
}
