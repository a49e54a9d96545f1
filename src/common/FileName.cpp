#include "common/FileName.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <string>

#include "common/Guard.h"
#include "log/LogEvent.h"

CFileName::CFileName() : m_forwardSlashes(0) {}

CFileName::CFileName(const wchar_t* text) : m_forwardSlashes(0)
{
    *this = text;
}

CFileName::CFileName(const CFileName& other) : CMyString(), m_forwardSlashes(0)
{
    *this = static_cast<const CMyString&>(other);
}

void CFileName::NoteSlashes()
{
    if (m_text && wcschr(m_text, L'/'))
        m_forwardSlashes = 1;
}

CFileName& CFileName::operator=(const wchar_t* text)
{
    if (text == m_text)
        return *this;
    RUN_GUARDED(Tolvane::kStringFailure, [&] {
        Release();
        if (!text || !*text)
            return;
        CopyFrom(text);
        if (!m_text)
            throw std::bad_alloc();
        NoteSlashes();
    }, [] {});
    return *this;
}

CFileName& CFileName::operator=(const CMyString& other)
{
    if (&other == this)
        return *this;
    return *this = other.c_str();
}

CFileName& CFileName::operator=(const CFileName& other)
{
    return *this = static_cast<const CMyString&>(other);
}

wchar_t CFileName::EffectiveSeparator(wchar_t separator) const
{
    return (separator == L'\\' && m_forwardSlashes == 1) ? L'/' : separator;
}

void CFileName::Append(const wchar_t* part, wchar_t separator)
{
    if (!m_text || !part)
        return;
    // Appending keeps the forward-slash flag as it is: only the assignments set it.
    RUN_GUARDED(Tolvane::kStringFailure, [&] {
        const wchar_t sep = EffectiveSeparator(separator);
        size_t nameLength = wcslen(m_text);
        if (nameLength > 0 && m_text[nameLength - 1] == sep)
            --nameLength;
        if (*part == sep)
            ++part;
        const size_t partLength = wcslen(part);
        const size_t size = nameLength + partLength + 2;
        auto* joined = static_cast<wchar_t*>(std::malloc(size * sizeof(wchar_t)));
        if (!joined)
            throw std::bad_alloc();
        std::memcpy(joined, m_text, nameLength * sizeof(wchar_t));
        joined[nameLength] = sep;
        std::memcpy(joined + nameLength + 1, part, partLength * sizeof(wchar_t));
        joined[size - 1] = L'\0';
        Release();
        m_text = joined;
        m_size = static_cast<unsigned int>(size);
    }, [] {});
}

void CFileName::RemoveFileSpec(wchar_t separator)
{
    if (!m_text)
        return;
    wchar_t* last = wcsrchr(m_text, EffectiveSeparator(separator));
    if (last)
        *last = L'\0';
}

void CFileName::SplitPath(CMyString& folder, CMyString& name) const
{
    folder.Release();
    name.Release();
    if (!m_text)
        return;
    const wchar_t* last = wcsrchr(m_text, L'\\');
    if (!last)
        return;
    folder = std::wstring(m_text, static_cast<size_t>(last - m_text)).c_str();
    name = last + 1;
}

BOOL CFileName::Exists() const
{
    return m_text && GetFileAttributesW(m_text) != INVALID_FILE_ATTRIBUTES;
}

BOOL CFileName::IsFolder() const
{
    if (!m_text)
        return FALSE;
    const DWORD attributes = GetFileAttributesW(m_text);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
    // A drive root that cannot be read, such as an empty drive.
    const size_t length = wcslen(m_text);
    return (length == 2 || length == 3) && m_text[1] == L':' && iswalpha(m_text[0]) && m_text[0] < 0x80;
}

BOOL CFileName::Delete() const
{
    if (!m_text || m_size == 0)
        WEXMOOR_LOG(Debug).Write("CFileName::Delete(): Attempt to delete undefined file");
    else if (!Exists())
        WEXMOOR_LOG(Info).Write(L"Unable to delete the file (%s) as it does not exist", m_text);

    const wchar_t* name = m_text ? m_text : L"";
    if (DeleteFileW(name))
        return TRUE;
    const DWORD error = GetLastError();
    WEXMOOR_LOG(Warning).WithError(error).Write(L"Failed to delete file %s", name);
    return FALSE;
}
