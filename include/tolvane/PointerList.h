// CPointerList: the common ordered list of untyped item pointers.
// Public because the exported exclusion helper holds one by value; Tolvane.dll
// exports none of its members: a client cannot construct or change one.
#pragma once

#include <windows.h>

struct CPointerListNode {
    CPointerListNode* older;
    CPointerListNode* newer;
    void* item;
};

// A doubly linked list with a count. Items belong to the list's user; the
// list frees only its own nodes. With lockFlag 1 every operation holds the
// critical section for its whole run.
class CPointerList {
public:
#if defined(TOLVANE_BUILD)
    // Inside the library only (not exported from Tolvane.dll).
    explicit CPointerList(int lockFlag = 0);
    ~CPointerList();

    void PushBack(void* item);
    void* PopFront();
    void* ItemAt(unsigned int index) const;
#endif
    CPointerList(const CPointerList&) = delete;
    CPointerList& operator=(const CPointerList&) = delete;

    unsigned int GetCount() const { return m_count; }
    // The oldest node, for walks that keep their own place in the list
    // (CPointerListCursor); null when the list is empty.
    const CPointerListNode* GetHead() const { return m_head; }

private:
    class Lock;

    unsigned int m_count;
    CPointerListNode* m_tail;   // newest node
    CPointerListNode* m_head;   // oldest node
    int m_lockFlag;
    mutable CRITICAL_SECTION m_criticalSection;
};
