// An element of the client's small XML files and the parser of one tag line.
#include "lang/XmlEntry.h"

#include <windows.h>
#include <strsafe.h>

#include <cwctype>
#include <new>
#include <vector>

#include "log/LogEvent.h"

CXmlEntry::CXmlEntry(CXmlEntry* parent)
    : m_parent(parent != nullptr ? parent : this), m_attributes(0), m_children(0), m_cursor(0),
      m_attributeCursor(m_attributes), m_childCursor(m_children)
{
}

// The descendants are destroyed without recursion, so that a deeply nested
// file cannot exhaust the stack: each element's children are moved to a
// work list before the element itself goes.
CXmlEntry::~CXmlEntry()
{
    DeleteAttributes();
    m_childCursor.Reset();
    CPointerList pending(0);
    while (m_children.GetCount() != 0)
        pending.PushBack(m_children.PopFront());
    while (pending.GetCount() != 0) {
        CXmlEntry* entry = static_cast<CXmlEntry*>(pending.PopFront());
        while (entry->m_children.GetCount() != 0)
            pending.PushBack(entry->m_children.PopFront());
        delete entry;
    }
}

void CXmlEntry::DeleteAttributes()
{
    while (m_attributes.GetCount() != 0)
        delete static_cast<CXmlAttribute*>(m_attributes.PopFront());
    m_attributeCursor.Reset();
    m_cursor = 0;
}

bool IsPlainXmlName(const wchar_t* text)
{
    const wchar_t* begin = text;
    const wchar_t* end = text + wcslen(text);
    while (begin < end && iswspace(*begin))
        ++begin;
    while (end > begin && iswspace(end[-1]))
        --end;
    for (const wchar_t* c = begin; c < end; ++c) {
        const bool letter = (*c >= L'a' && *c <= L'z') || (*c >= L'A' && *c <= L'Z');
        const bool digit = *c >= L'0' && *c <= L'9';
        if (!letter && !digit)
            return false;
    }
    return true;
}

// The text holds one tag: a name, then attributes name="value" separated by
// one character each. Behind the last closing quote at most one character
// may stand (the slash of a self-closing tag); it is ignored.
int CXmlEntry::InitParseLine(const wchar_t* line)
{
    m_name = L"";
    DeleteAttributes();

    const long long n = static_cast<long long>(wcslen(line));
    std::vector<wchar_t> work(static_cast<size_t>(n) + 1, L'\0');
    if (FAILED(StringCchCopyW(work.data(), work.size(), line)))
        WEXMOOR_LOG(Error).Write("StringCchCopy Failed in InitParseLine");
    wchar_t* text = work.data();

    long long p;
    if (wchar_t* space = wcschr(text, L' ')) {
        *space = L'\0';
        p = space - text;
    } else {
        p = n - 1;
    }
    if (!IsPlainXmlName(text))
        return 0;
    m_name = text;

    while (p < n - 1) {
        wchar_t* attributeName = text + p + 1;
        wchar_t* equals = wcschr(attributeName, L'=');
        if (equals == nullptr)
            return 0;
        *equals = L'\0';
        if (!IsPlainXmlName(attributeName))
            return 0;
        wchar_t* openQuote = wcschr(equals + 1, L'"');
        if (openQuote == nullptr)
            return 0;
        wchar_t* closeQuote = wcschr(openQuote + 1, L'"');
        if (closeQuote == nullptr)
            return 0;
        *closeQuote = L'\0';
        AddAttribute(attributeName, openQuote + 1);
        p = (closeQuote - text) + 1;
    }
    return 1;
}

int CXmlEntry::AddAttribute(const wchar_t* name, const wchar_t* value)
{
    CXmlAttribute* attribute = nullptr;
    try {
        attribute = new CXmlAttribute;
        attribute->name = name;
        attribute->name.Trim();
        attribute->value = value;
        const unsigned int before = m_attributes.GetCount();
        m_attributes.PushBack(attribute);
        if (m_attributes.GetCount() == before)
            throw std::bad_alloc();
        return 1;
    } catch (...) {
        WEXMOOR_LOG(Error).Write("Exception occurred");
        delete attribute;
        return 0;
    }
}

const CXmlAttribute* CXmlEntry::GetAttribute(unsigned int index) const
{
    return static_cast<const CXmlAttribute*>(m_attributeCursor.ItemAt(index));
}

int CXmlEntry::CopyAttribute(unsigned int index, CXmlAttribute& attribute) const
{
    const CXmlAttribute* stored = GetAttribute(index);
    if (stored == nullptr)
        return 0;
    attribute.name = stored->name;
    attribute.value = stored->value;
    return 1;
}

int CXmlEntry::GetFirstAttribute(CXmlAttribute& attribute)
{
    m_cursor = 0;
    return CopyAttribute(m_cursor, attribute);
}

int CXmlEntry::GetNextAttribute(CXmlAttribute& attribute)
{
    if (m_cursor < m_attributes.GetCount())
        ++m_cursor;
    return CopyAttribute(m_cursor, attribute);
}

int CXmlEntry::AddChild(CXmlEntry* child)
{
    const unsigned int before = m_children.GetCount();
    m_children.PushBack(child);
    if (m_children.GetCount() != before)
        return 1;
    delete child;
    return 0;
}

CXmlEntry* CXmlEntry::GetChild(unsigned int index) const
{
    return static_cast<CXmlEntry*>(m_childCursor.ItemAt(index));
}
