#include "host/memory_service.h"

#include <gtest/gtest.h>

#include <cstring>

namespace host {
namespace {

class MemoryTest : public ::testing::Test {
protected:
    Journal journal;
    HostMemory memory{&journal};
};

TEST_F(MemoryTest, AccountsLiveBlocksPerTag) {
    void* a = memory.Allocate(10, 0, 0, "MAIN");
    void* b = memory.Allocate(20, 0, 0, "MAIN");
    void* c = memory.Allocate(5, 0, 0, "SMSN");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(memory.Use("MAIN").liveBlocks, 2u);
    EXPECT_EQ(memory.Use("MAIN").liveBytes, 30u);
    EXPECT_EQ(memory.Use("SMSN").liveBytes, 5u);
    memory.Free(a);
    EXPECT_EQ(memory.Use("MAIN").liveBlocks, 1u);
    EXPECT_EQ(memory.Use("MAIN").liveBytes, 20u);
    EXPECT_EQ(memory.Use("MAIN").allocations, 2u);
    EXPECT_EQ(memory.Use("MAIN").frees, 1u);
    memory.Free(b);
    memory.Free(c);
    EXPECT_TRUE(memory.TagsWithLiveBlocks().empty());
    EXPECT_TRUE(journal.Breaches().empty());
}

TEST_F(MemoryTest, TagIsCutToSevenCharactersAsThePluginsStoreIt) {
    char tag[8] = {'L', 'O', 'N', 'G', 'T', 'A', 'G', 'X'}; // unterminated
    void* block = memory.Allocate(4, 0, 0, tag);
    EXPECT_EQ(memory.Use("LONGTAG").liveBlocks, 1u);
    memory.Free(block);
}

TEST_F(MemoryTest, BlocksAreNotClearedAndZeroSizeGivesNone) {
    auto* block = static_cast<unsigned char*>(memory.Allocate(8, 0, 0, "MAIN"));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], 0xCD);
    EXPECT_EQ(block[7], 0xCD);
    EXPECT_EQ(memory.Allocate(0, 0, 0, "MAIN"), nullptr);
    memory.Free(block);
}

TEST_F(MemoryTest, FreeOfAForeignOrFreedBlockIsABreachNotACrash) {
    int onTheStack = 0;
    void* block = memory.Allocate(16, 0, 0, "MAIN");
    memory.Free(block);
    memory.Free(block);
    memory.Free(&onTheStack);
    memory.Free(nullptr);
    ASSERT_EQ(journal.Breaches().size(), 2u);
    EXPECT_NE(journal.Breaches()[0].find("did not give out"), std::string::npos);
}

TEST_F(MemoryTest, ReleaseTagReportsLiveBlocksOnceAndOnlyOfThatTag) {
    void* leaked = memory.Allocate(48, 0, 0, "LEAK");
    void* other = memory.Allocate(8, 0, 0, "MAIN");
    memory.ReleaseTag("LEAK");
    ASSERT_EQ(journal.Breaches().size(), 1u);
    EXPECT_NE(journal.Breaches()[0].find("ReleaseTag(LEAK): 1 block(s), 48 bytes"),
              std::string::npos);
    // Already reported: the check after ExitMenuCode does not report the same block again.
    EXPECT_TRUE(memory.TakeUnreportedLive("LEAK").empty());
    EXPECT_EQ(memory.TakeUnreportedLive("MAIN").size(), 1u);
    // The block stays valid: the plug-in's statics may still point at it.
    EXPECT_EQ(memory.IsLive(leaked), 1);
    memory.Free(leaked);
    memory.Free(other);
}

TEST_F(MemoryTest, RetagMovesABlockToTheHost) {
    void* block = memory.Allocate(12, 0, 0, "MAIN");
    EXPECT_EQ(memory.Retag(block, kHostTag), 1);
    EXPECT_EQ(memory.Use("MAIN").liveBlocks, 0u);
    EXPECT_EQ(memory.Use(kHostTag).liveBytes, 12u);
    memory.ReleaseTag("MAIN");
    EXPECT_TRUE(journal.Breaches().empty());
    int notABlock = 0;
    EXPECT_EQ(memory.Retag(&notABlock, kHostTag), 0);
    memory.Free(block);
    EXPECT_EQ(memory.Use(kHostTag).liveBlocks, 0u);
}

TEST_F(MemoryTest, InjectedFailureHitsOnlyTheNthAllocationOfTheTag) {
    memory.FailAllocation("MAIN", 2);
    void* first = memory.Allocate(4, 0, 0, "MAIN");
    void* host = memory.Allocate(4, 0, 0, kHostTag);
    void* second = memory.Allocate(4, 0, 0, "MAIN");
    void* third = memory.Allocate(4, 0, 0, "MAIN");
    EXPECT_NE(first, nullptr);
    EXPECT_NE(host, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    memory.Free(first);
    memory.Free(host);
    memory.Free(third);
}

} // namespace
} // namespace host
