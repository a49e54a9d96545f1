#include "tolvane/PointerList.h"

#include <cstdlib>

// Holds the list's critical section for one operation when the lock flag is 1.
class CPointerList::Lock {
public:
    explicit Lock(const CPointerList& list) : m_list(list)
    {
        if (m_list.m_lockFlag == 1)
            EnterCriticalSection(&m_list.m_criticalSection);
    }
    ~Lock()
    {
        if (m_list.m_lockFlag == 1)
            LeaveCriticalSection(&m_list.m_criticalSection);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    const CPointerList& m_list;
};

CPointerList::CPointerList(int lockFlag)
    : m_count(0), m_tail(nullptr), m_head(nullptr), m_lockFlag(lockFlag), m_criticalSection()
{
    if (m_lockFlag == 1)
        InitializeCriticalSection(&m_criticalSection);
}

CPointerList::~CPointerList()
{
    if (m_lockFlag == 1) {
        DeleteCriticalSection(&m_criticalSection);
        m_lockFlag = 0;
    }
    while (m_count != 0)
        PopFront();
}

void CPointerList::PushBack(void* item)
{
    Lock lock(*this);
    auto* node = static_cast<CPointerListNode*>(std::calloc(1, sizeof(CPointerListNode)));
    if (!node)
        return;
    node->item = item;
    node->older = m_tail;
    if (m_tail)
        m_tail->newer = node;
    else
        m_head = node;
    m_tail = node;
    ++m_count;
}

void* CPointerList::PopFront()
{
    Lock lock(*this);
    CPointerListNode* node = m_head;
    if (!node)
        return nullptr;
    m_head = node->newer;
    if (m_head)
        m_head->older = nullptr;
    --m_count;
    if (m_count == 0) {
        m_head = nullptr;
        m_tail = nullptr;
    }
    void* item = node->item;
    std::free(node);
    return item;
}

void* CPointerList::ItemAt(unsigned int index) const
{
    Lock lock(*this);
    if (index >= m_count)
        return nullptr;
    CPointerListNode* node = m_head;
    for (unsigned int i = 0; i < index; ++i)
        node = node->newer;
    return node->item;
}
