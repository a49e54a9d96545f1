// The pointer list (order, bounds) and its cursor, which answers every position as the list does, whatever order
// the positions are asked in.
#include <gtest/gtest.h>

#include "common/PointerListCursor.h"

TEST(CPointerList, OrderBoundsAndTheCursor)
{
    for (int lockFlag : {0, 1}) {
        int items[10], appended = 0;
        CPointerList list(lockFlag);
        CPointerListCursor cursor(list);
        EXPECT_TRUE(list.PopFront() == nullptr && cursor.ItemAt(0) == nullptr) << "empty list";
        for (int& item : items)
            list.PushBack(&item);
        // In order and past the end, backwards, then jumps from near and far.
        for (unsigned int index : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 5, 5, 1, 8, 2, 9, 0, 7, 3, 12, 4})
            EXPECT_TRUE(list.ItemAt(index) == (index < 10 ? &items[index] : nullptr) && cursor.ItemAt(index) == list.ItemAt(index)) << index;
        // Items taken out: after Reset the positions count from the new head.
        cursor.ItemAt(6);
        EXPECT_TRUE(list.GetCount() == 10 && list.PopFront() == &items[0] && list.PopFront() == &items[1]);
        cursor.Reset();
        for (unsigned int index : {4u, 0u, 7u, 8u, 3u})
            EXPECT_EQ(index < 8 ? &items[index + 2] : nullptr, cursor.ItemAt(index)) << index;
        list.PushBack(&appended);
        EXPECT_EQ(&appended, cursor.ItemAt(8)) << "appended after the cursor's place";
        for (int i = 2; i < 10; ++i)
            EXPECT_EQ(&items[i], list.PopFront());
        EXPECT_TRUE(list.PopFront() == &appended && list.PopFront() == nullptr && list.GetCount() == 0);
        list.PushBack(&items[1]);
        EXPECT_EQ(&items[1], list.ItemAt(0));
    }
}
