// CExcludeHelper: the exclusion items of a scanner and the test whether a
// path is excluded from scanning.
#pragma once

#include "tolvane/Api.h"
#include "tolvane/PointerList.h"

class TOLVANE_API CExcludeHelper {
public:
    CExcludeHelper();
    ~CExcludeHelper();
    CExcludeHelper(const CExcludeHelper&) = delete;
    CExcludeHelper& operator=(const CExcludeHelper&) = delete;

    // Removes and frees every item and the item array.
    void Empty();
    // Reloads the items from the named key below HKEY_LOCAL_MACHINE plus the
    // built-in items; returns the null-terminated item array (owned here).
    unsigned short* const* GetExcludeItems(const unsigned short* keyName);
    // The item array of the last load, or null when there has been none.
    unsigned short* const* GetExcludeItems();
    // 1 when the path is excluded, else 0.
    int IsExcluded(const unsigned short* path);

private:
    // Fixed layout: client programs allocate this object themselves, so its
    // size and every field offset are part of the interface (pinned for both
    // ABIs by tests/msvc/layouts.txt). Never add, remove, resize or reorder a
    // field. New state lives in the library: in a table keyed by the object's
    // address (filled by the constructor, emptied by the destructor), or in a
    // new exported class.
    CPointerList m_items;            // CMyString items, oldest first
    unsigned short** m_itemArray;    // item texts, then a null entry
};
