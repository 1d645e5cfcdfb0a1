#include "discovery/DatagramQueue.h"

#include <gtest/gtest.h>

TEST(DatagramQueue, popsOldestFirstWithEachBuffersOwnLength)
{
    DatagramQueue queue;
    EXPECT_FALSE(queue.PopFront().has_value());
    const uint8_t first[] = { 1, 2, 3 };
    const uint8_t second[] = { 9 };
    queue.Push(first, sizeof first);
    queue.Push(second, sizeof second);
    queue.Push(nullptr, 0);
    EXPECT_EQ(queue.Count(), 3u);
    EXPECT_EQ(*queue.PopFront(), std::vector<uint8_t>({ 1, 2, 3 }));
    EXPECT_EQ(*queue.PopFront(), std::vector<uint8_t>({ 9 }));
    EXPECT_TRUE(queue.PopFront()->empty());
    EXPECT_FALSE(queue.PopFront().has_value());

    // Clear frees what is held (the leak checker of the sanitizer build watches this).
    queue.Push(first, sizeof first);
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(queue.PopFront().has_value());
}
