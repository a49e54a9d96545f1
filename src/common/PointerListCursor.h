// CPointerListCursor: access by position to a CPointerList that remembers
// the node it reached last. ItemAt on the list walks from the head every
// time, so reading n items in order costs n * n / 2 steps; through the
// cursor each next position is one step from the last.
//
// The cursor reads the list's nodes without the list's lock: it serves
// lists that one thread owns. Items may be appended freely; whoever takes
// items out of the list (PopFront) calls Reset before the next ItemAt.
#pragma once

#include "tolvane/PointerList.h"

class CPointerListCursor {
public:
    explicit CPointerListCursor(const CPointerList& list) : m_list(list), m_node(nullptr), m_index(0) {}
    CPointerListCursor(const CPointerListCursor&) = delete;
    CPointerListCursor& operator=(const CPointerListCursor&) = delete;

    // The same answer as the list's ItemAt: null when index >= count.
    void* ItemAt(unsigned int index);
    void Reset() { m_node = nullptr; m_index = 0; }

private:
    const CPointerList& m_list;
    const CPointerListNode* m_node;   // the node at m_index, or null
    unsigned int m_index;
};
