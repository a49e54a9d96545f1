// CExcludeHelper: the exclusion items of a scanner and the test whether a
// path is excluded from scanning (docs/client-api.md#exclusions). Texts are
// null-terminated UTF-16. One thread per object at a time; separate objects
// are independent. The constructor and destructor log nothing and never throw.
#pragma once

#include "tolvane/Api.h"
#include "tolvane/PointerList.h"

class TOLVANE_API CExcludeHelper {
public:
    CExcludeHelper();
    ~CExcludeHelper();
    CExcludeHelper(const CExcludeHelper&) = delete;
    CExcludeHelper& operator=(const CExcludeHelper&) = delete;

    // Removes and frees every item and the item array; earlier arrays become
    // invalid.
    // Last error: unchanged.
    // Throws: nothing.
    void Empty();
    // Empties the list, then loads the string values named "szExclude..." of
    // the key keyName below HKEY_LOCAL_MACHINE (null: the root itself; a
    // missing key adds nothing), then the built-in items.
    // Result: the null-terminated item array, owned by the object and valid
    //   until the next load, Empty or destruction.
    // Last error: changed (0 when an item text cannot be read).
    // Throws: CSystemException 0x10001 when an item text cannot be copied (no
    //   memory, an unreadable keyName), after an Error line "Exception occurred";
    //   0x80070006 when that line cannot be written because another kind of
    //   object holds the log mutex's name (docs/client-api.md).
    unsigned short* const* GetExcludeItems(const unsigned short* keyName);
    // Result: the item array of the last load, or null when there has been none.
    // Last error: unchanged.
    // Throws: nothing.
    unsigned short* const* GetExcludeItems();
    // Whether path (a full path; one without a backslash is never excluded)
    // matches an item; loads the built-in items first when the list is empty.
    // "." and ".." segments are resolved in the text and a stream
    // ("file:stream") counts as its file, so neither widens an item; such a
    // path of MAX_PATH characters or more answers 0.
    // Result: 1 excluded; 0 not, and 0 on any failure.
    // Last error: changed (3 for a path in a missing folder: it asks the file
    //   system whether the path is a folder).
    // Throws: nothing.
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
