#include "common/CMyString.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <new>
#include <vector>

#include <windows.h>

#include "common/Guard.h"
#include "log/LogEvent.h"

namespace {

// Copies stop at the first zero or after this many characters.
constexpr size_t kMaxCopyChars = 2147483646;

void ThrowIfNull(const void* allocation)
{
    if (!allocation)
        throw std::bad_alloc();
}

} // namespace

CMyString::CMyString() = default;

CMyString::CMyString(const wchar_t* text)
{
    if (!text) {
        WEXMOOR_LOG(Error).Write("Invalid LPCWSTR NULL passed to CMyString constructor");
        return;
    }
    RUN_GUARDED(Tolvane::kStringFailure, [&] { CopyFrom(text); ThrowIfNull(m_text); },
                [&] { m_size = 0; });
}

CMyString::CMyString(const CMyString& other) : CBuffer()
{
    if (!other.m_text)
        return;
    RUN_GUARDED(Tolvane::kStringFailure, [&] { CopyFrom(other.m_text); ThrowIfNull(m_text); },
                [&] { m_size = 0; });
}

CMyString::~CMyString() = default;

void CMyString::CopyFrom(const wchar_t* text)
{
    const size_t length = wcsnlen(text, kMaxCopyChars);
    auto* copy = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    if (!copy)
        return;
    std::memcpy(copy, text, length * sizeof(wchar_t));
    copy[length] = L'\0';
    m_text = copy;
    m_size = static_cast<unsigned int>(length + 1);
}

CMyString& CMyString::operator=(const wchar_t* text)
{
    if (text == m_text)
        return *this;
    RUN_GUARDED(Tolvane::kStringFailure, [&] {
        Release();
        if (!text)
            return;
        CopyFrom(text);
        if (!m_text)
            WEXMOOR_LOG(Error).Write("MemAllocPtr failed with %d error", static_cast<int>(GetLastError()));
    }, [&] { m_size = 0; });
    return *this;
}

CMyString& CMyString::operator=(const CMyString& other)
{
    if (&other == this)
        return *this;
    RUN_GUARDED(Tolvane::kStringFailure, [&] {
        Release();
        if (!other.m_text)
            return;
        CopyFrom(other.m_text);
        ThrowIfNull(m_text);
    }, [&] { m_size = 0; });
    return *this;
}

CMyString& CMyString::operator=(const char* text)
{
    RUN_GUARDED(Tolvane::kStringFailure, [&] {
        if (!text) {
            Release();
            return;
        }
        const size_t chars = std::strlen(text) + 1;
        std::vector<wchar_t> wide;
        try {
            wide.assign(chars, L'\0');
        } catch (const std::bad_alloc&) {
            Release();
            WEXMOOR_LOG(Error).Write("MemAllocPtr failed with %d error", static_cast<int>(GetLastError()));
            return;
        }
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), static_cast<int>(chars));
        wide[chars - 1] = L'\0';
        *this = wide.data();
    }, [&] { m_size = 0; });
    return *this;
}

CMyString& CMyString::operator=(long number)
{
    RUN_GUARDED(Tolvane::kStringFailure, [&] {
        wchar_t digits[34];
        _ltow(number, digits, 10);
        *this = digits;
    }, [&] { m_size = 0; });
    return *this;
}

unsigned int CMyString::GetLength() const
{
    return m_text ? static_cast<unsigned int>(wcslen(m_text)) : 0;
}

int CMyString::Find(const wchar_t* substring) const
{
    if (!m_text || !substring)
        return -1;
    const wchar_t* found = wcsstr(m_text, substring);
    return found ? static_cast<int>(found - m_text) : -1;
}

void CMyString::Trim()
{
    if (!m_text)
        return;
    const size_t length = wcslen(m_text);
    size_t begin = 0;
    while (begin < length && iswspace(m_text[begin]))
        ++begin;
    size_t end = length;
    while (end > begin && iswspace(m_text[end - 1]))
        --end;
    std::memmove(m_text, m_text + begin, (end - begin) * sizeof(wchar_t));
    m_text[end - begin] = L'\0';
}

int CMyString::Compare(const CMyString& other, unsigned int n) const
{
    if (!m_text || !other.m_text)
        return 1;
    return n != 0 ? wcsncmp(m_text, other.m_text, n) : wcscmp(m_text, other.m_text);
}

void CMyString::Replace(const wchar_t* find, const wchar_t* with)
{
    if (!m_text || !find)
        return;
    RUN_GUARDED(Tolvane::kStringFailure, [&] { ReplaceUnguarded(find, with ? with : L""); },
                [&] { m_size = 0; });
}

void CMyString::ReplaceUnguarded(const wchar_t* find, const wchar_t* with)
{
    if (!*find)
        return;
    const size_t findLength = wcslen(find);
    const size_t withLength = wcslen(with);

    std::vector<const wchar_t*> occurrences;
    for (const wchar_t* p = wcsstr(m_text, find); p; p = wcsstr(p + findLength, find))
        occurrences.push_back(p);
    if (occurrences.empty())
        return;

    const long long newSize = (static_cast<long long>(withLength) - static_cast<long long>(findLength))
            * static_cast<long long>(occurrences.size()) + m_size;
    auto* result = static_cast<wchar_t*>(std::calloc(static_cast<size_t>(newSize), sizeof(wchar_t)));
    if (!result)
        return;
    wchar_t* out = result;
    const wchar_t* previousEnd = m_text;
    for (const wchar_t* occurrence : occurrences) {
        const size_t between = static_cast<size_t>(occurrence - previousEnd);
        std::memcpy(out, previousEnd, between * sizeof(wchar_t));
        out += between;
        std::memcpy(out, with, withLength * sizeof(wchar_t));
        out += withLength;
        previousEnd = occurrence + findLength;
    }
    const size_t rest = wcslen(previousEnd);
    std::memcpy(out, previousEnd, rest * sizeof(wchar_t));
    out[rest] = L'\0';

    Release();
    m_text = result;
    m_size = static_cast<unsigned int>(newSize);
}

void CMyString::ReplaceChar(wchar_t ch, const wchar_t* with)
{
    if (!m_text)
        return;
    RUN_GUARDED(Tolvane::kStringFailure, [&] { ReplaceCharUnguarded(ch, with ? with : L""); },
                [&] { m_size = 0; });
}

void CMyString::ReplaceCharUnguarded(wchar_t ch, const wchar_t* with)
{
    // The walk covers the first size characters, the terminator included, so
    // replacing the terminator appends the replacement to the text.
    size_t count = 0;
    for (size_t i = 0; i < m_size; ++i)
        if (m_text[i] == ch)
            ++count;
    if (count == 0)
        return;

    const size_t length = wcslen(m_text);
    const size_t withLength = wcslen(with);
    const size_t newSize = withLength * count + length + 1;
    auto* result = static_cast<wchar_t*>(std::calloc(newSize, sizeof(wchar_t)));
    if (!result)
        return;
    // After a trim, characters left behind the terminator are walked too; the
    // result never runs past its allocation.
    const size_t capacity = newSize - 1;
    size_t out = 0;
    for (size_t i = 0; i < m_size && out < capacity; ++i) {
        if (m_text[i] == ch) {
            const size_t take = withLength < capacity - out ? withLength : capacity - out;
            std::memcpy(result + out, with, take * sizeof(wchar_t));
            out += take;
        } else {
            result[out++] = m_text[i];
        }
    }
    result[out] = L'\0';
    Release();
    m_text = result;
    m_size = static_cast<unsigned int>(newSize);
}
