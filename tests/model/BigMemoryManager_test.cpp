#include "model/BigMemoryManager.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BigMemoryManager, RecordsBlocksAndFreesThemTogether)
{
    CBigMemoryManager memory;
    void* a = memory.Alloc(100);
    void* b = memory.Alloc(0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    std::memset(a, 0xAB, 100);
    EXPECT_EQ(memory.GetCount(), 2);
    EXPECT_EQ(memory.GetTotalBytes(), 100u);
    memory.FreeAll();
    EXPECT_EQ(memory.GetCount(), 0);
    memory.FreeAll();  // nothing left to free
    EXPECT_NE(memory.Alloc(8), nullptr);
    // The destructor returns what is still recorded (a leak checker sees no loss).
}
