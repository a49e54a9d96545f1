#include <gtest/gtest.h>

#include "common/CMyString.h"

TEST(Smoke, Builds)
{
    CMyString s(L"abc");
    EXPECT_EQ(3u, s.GetLength());
}
