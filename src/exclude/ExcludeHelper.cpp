// CExcludeHelper: the exclusion items of a scanner, gathered from its
// registry key plus the items every installation needs, and the test whether
// a path is excluded.

#include "tolvane/ExcludeHelper.h"

#include <cstdlib>
#include <cwchar>
#include <new>

#include "common/FileName.h"
#include "common/RegHelp.h"
#include "exclude/ExclusionSubject.h"

namespace {

constexpr wchar_t kExcludeValuePrefix[] = L"szExclude";
constexpr size_t kExcludeValuePrefixChars = 9;
constexpr wchar_t kExchangeStoreKey[] =
    L"System\\CurrentControlSet\\Services\\MSExchangeIS\\ParametersSystem";
constexpr wchar_t kExchangeWorkingFolderValue[] = L"Working Directory";
constexpr wchar_t kPageFileName[] = L"pagefile.sys";

void DestroyItem(CMyString* item)
{
    item->~CMyString();
    std::free(item);
}

// Adds a copy of text at the tail of the list. Each item is a CMyString in an
// allocation of its own; an item that cannot be allocated is left out. A
// CSystemException of the string copy passes to the caller.
void AddItem(CPointerList& items, const wchar_t* text)
{
    void* memory = std::malloc(sizeof(CMyString));
    if (!memory)
        return;
    CMyString* item = new (memory) CMyString();
    try {
        *item = text;
    } catch (...) {
        DestroyItem(item);
        throw;
    }
    if (!item->HasText()) {
        DestroyItem(item);
        return;
    }
    const unsigned int countBefore = items.GetCount();
    items.PushBack(item);
    if (items.GetCount() == countBefore)
        DestroyItem(item);
}

bool IsExcludeValueName(const CMyString& name)
{
    return name.GetLength() >= kExcludeValuePrefixChars &&
           wcsncmp(name.c_str(), kExcludeValuePrefix, kExcludeValuePrefixChars) == 0;
}

} // namespace

CExcludeHelper::CExcludeHelper() : m_items(0), m_itemArray(nullptr) {}

CExcludeHelper::~CExcludeHelper()
{
    Empty();
}

void CExcludeHelper::Empty()
{
    while (void* item = m_items.PopFront())
        DestroyItem(static_cast<CMyString*>(item));
    std::free(m_itemArray);
    m_itemArray = nullptr;
}

unsigned short* const* CExcludeHelper::GetExcludeItems(const unsigned short* keyName)
{
    Empty();

    CMyString value;
    {
        // The caller's values named "szExclude..." (case-sensitive prefix),
        // in the registry's order. A null key name opens the root itself.
        CRegHelp key;
        key.SetKeyName(reinterpret_cast<const wchar_t*>(keyName));
        if (key.Open(HKEY_LOCAL_MACHINE, 0)) {
            CMyString name;
            for (DWORD index = 0; key.EnumValueName(index, name, nullptr); ++index) {
                if (IsExcludeValueName(name) && key.GetString(name.c_str(), value))
                    AddItem(m_items, value.c_str());
            }
            key.Close();
        }
    }
    {
        // The working folder of a local Exchange information store.
        CRegHelp exchange;
        exchange.SetKeyName(kExchangeStoreKey);
        if (exchange.Open(HKEY_LOCAL_MACHINE, 0) &&
            exchange.GetString(kExchangeWorkingFolderValue, value))
            AddItem(m_items, value.c_str());
    }
    AddItem(m_items, kPageFileName);

    const unsigned int count = m_items.GetCount();
    if (count == 0)
        return nullptr;
    auto* array = static_cast<unsigned short**>(std::malloc((count + 1) * sizeof(unsigned short*)));
    if (!array)
        return nullptr;
    for (unsigned int i = 0; i < count; ++i) {
        auto* item = static_cast<CMyString*>(m_items.ItemAt(i));
        array[i] = reinterpret_cast<unsigned short*>(item->GetText());
    }
    array[count] = nullptr;
    m_itemArray = array;
    return m_itemArray;
}

unsigned short* const* CExcludeHelper::GetExcludeItems()
{
    return m_itemArray;
}

int CExcludeHelper::IsExcluded(const unsigned short* path)
{
    try {
        if (m_items.GetCount() == 0)
            GetExcludeItems(nullptr);
        const unsigned int count = m_items.GetCount();
        if (count == 0)
            return 0;

        CFileName name;
        name = reinterpret_cast<const wchar_t*>(path);
        // "C:\Temp\..\Windows" is tested as "C:\Windows", a stream by its file's name.
        CMyString subject;
        if (!ExclusionSubject(name.c_str(), subject))
            return 0;
        name = subject;

        // An existing folder (or an unreadable drive root) is tested whole;
        // anything else as the folder and the name around its last backslash.
        CMyString folderPart;
        CMyString namePart;
        const wchar_t* folder = nullptr;
        const wchar_t* file = nullptr;
        if (name.IsFolder()) {
            folder = name.c_str();
        } else {
            name.SplitPath(folderPart, namePart);
            folder = folderPart.c_str();
            file = namePart.c_str();
        }

        // The item array of the last load lists the items in the list's
        // order; without one (its allocation failed) the list is walked.
        auto itemText = [this](unsigned int index) -> const wchar_t* {
            if (m_itemArray)
                return reinterpret_cast<const wchar_t*>(m_itemArray[index]);
            return static_cast<const CMyString*>(m_items.ItemAt(index))->c_str();
        };
        auto matchesAnyItem = [&](const wchar_t* subject) {
            for (unsigned int i = 0; i < count; ++i) {
                if (CFileName::MatchesPattern(subject, itemText(i)))
                    return true;
            }
            return false;
        };

        if (folder && matchesAnyItem(folder))
            return 1;
        if (file && matchesAnyItem(file))
            return 1;
    } catch (...) {
        // Nothing matched before the failure.
    }
    return 0;
}
