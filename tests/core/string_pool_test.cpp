#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/string_pool.h"
#include "counting_memory.h"

namespace {

using StringPoolTest = CountingMemoryTest;

std::vector<std::string> Walk(StringPool& pool) {
    std::vector<std::string> out;
    for (pool.Rewind(); pool.HasMore() != 0; pool.Advance()) {
        out.emplace_back(pool.Current());
    }
    return out;
}

TEST_F(StringPoolTest, FitCountsEveryTerminator) {
    struct Case {
        const char* name;
        int32_t size;
        std::vector<std::string> texts;
        std::vector<int> results;
    } cases[] = {
        {"nine bytes fill ten, then empty refused", 10, {"123456789", ""}, {1, 0}},
        {"zero refuses even the empty text", 0, {""}, {0}},
        {"one short", 10, {"1234567890"}, {0}},
        {"several to the brim", 6, {"ab", "", "c", "d"}, {1, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StringPool pool;
        pool.Reset(c.size);
        EXPECT_EQ(pool.capacity, c.size + 1);
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const char* before = pool.end;
            EXPECT_EQ(pool.AddString(c.texts[i].c_str()), c.results[i]) << "text " << i;
            if (c.results[i] != 0) {
                EXPECT_STREQ(pool.Current(), c.texts[i].c_str());
                EXPECT_EQ(pool.Current(), before);
            } else {
                EXPECT_EQ(pool.end, before);
            }
        }
        ASSERT_NE(pool.start, nullptr);
        EXPECT_EQ(pool.start[pool.capacity - 1], 0); // the last byte stays free
    }
}

TEST_F(StringPoolTest, WalkVisitsEmptyStrings) {
    StringPool pool;
    pool.Reset(16);
    EXPECT_EQ(pool.HasMore(), 0);
    ASSERT_EQ(pool.AddString("a"), 1);
    ASSERT_EQ(pool.AddString(""), 1);
    ASSERT_EQ(pool.AddString("bc"), 1);
    EXPECT_EQ(Walk(pool), (std::vector<std::string>{"a", "", "bc"}));
}

TEST_F(StringPoolTest, ReleaseAndResetLifecycle) {
    StringPool pool;
    EXPECT_EQ(pool.HasMore(), 0);
    EXPECT_EQ(pool.AddString("x"), 0);
    pool.Reset(8);
    ASSERT_EQ(pool.AddString("old"), 1);
    pool.Reset(8); // discards the strings, one buffer replaced by another
    EXPECT_EQ(memory.frees, 1);
    EXPECT_EQ(Walk(pool), std::vector<std::string>{});
    pool.Release();
    EXPECT_EQ(pool.start, nullptr);
    EXPECT_EQ(pool.capacity, 9);
    EXPECT_EQ(pool.HasMore(), 0);
    EXPECT_EQ(pool.AddString("x"), 0);
    pool.Release(); // twice is harmless
    EXPECT_EQ(memory.frees, 2);
}

TEST_F(StringPoolTest, FailedAllocationGivesPoolThatRefuses) {
    StringPool pool;
    memory.failAt = memory.attempts + 1;
    pool.Reset(32);
    EXPECT_EQ(pool.start, nullptr);
    EXPECT_EQ(pool.HasMore(), 0);
    EXPECT_EQ(pool.AddString("x"), 0);
}

TEST_F(StringPoolTest, BufferIsZeroFilledDespiteGarbageFromTheAllocator) {
    StringPool pool;
    pool.Reset(5);
    for (int32_t i = 0; i < pool.capacity; ++i) {
        EXPECT_EQ(pool.start[i], 0) << "byte " << i;
    }
}

TEST(StringPoolUnbound, WithoutMemoryServiceNothingIsAllocated) {
    StringPool pool;
    pool.Reset(8); // raw buffers come only from MEM
    EXPECT_EQ(pool.start, nullptr);
    EXPECT_EQ(pool.AddString("a"), 0);
}

} // namespace
