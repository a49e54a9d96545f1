#include "common/PointerListCursor.h"

void* CPointerListCursor::ItemAt(unsigned int index)
{
    if (index >= m_list.GetCount())
        return nullptr;
    // Start from the remembered node when it lies nearer than the head.
    if (m_node == nullptr || (index < m_index && index < m_index - index)) {
        m_node = m_list.GetHead();
        m_index = 0;
    }
    while (m_index < index) {
        m_node = m_node->newer;
        ++m_index;
    }
    while (m_index > index) {
        m_node = m_node->older;
        --m_index;
    }
    return m_node->item;
}
