// The cursor over a pointer list answers every position as the list's own
// ItemAt does, whatever order the positions are asked in.
#include <gtest/gtest.h>

#include <vector>

#include "common/PointerListCursor.h"

TEST(PointerListCursor, AnswersEveryPositionAsTheListDoes)
{
    int items[10];
    CPointerList list(0);
    CPointerListCursor cursor(list);
    EXPECT_EQ(nullptr, cursor.ItemAt(0)) << "empty list";
    for (int& item : items)
        list.PushBack(&item);
    const std::vector<std::vector<unsigned int>> orders = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},   // in order, then past the end
        {9, 8, 7, 6, 5, 4, 3, 2, 1, 0},       // backwards
        {5, 5, 1, 8, 2, 9, 0, 7, 3, 12, 4},   // jumps, from near and far
    };
    for (const auto& order : orders)
        for (unsigned int index : order)
            EXPECT_EQ(list.ItemAt(index), cursor.ItemAt(index)) << index;

    // Items taken out: after Reset the positions count from the new head.
    cursor.ItemAt(6);
    list.PopFront();
    list.PopFront();
    cursor.Reset();
    for (unsigned int index : {4u, 0u, 7u, 8u, 3u})
        EXPECT_EQ(index < 8 ? &items[index + 2] : nullptr, cursor.ItemAt(index)) << index;
    int appended = 0;
    list.PushBack(&appended);
    EXPECT_EQ(&appended, cursor.ItemAt(8)) << "appended after the cursor's place";
}
