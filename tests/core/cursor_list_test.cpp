#include <gtest/gtest.h>

#include <vector>

#include "core/cursor_list.h"
#include "counting_memory.h"

namespace {

using CursorListTest = CountingMemoryTest;

std::vector<intptr_t> Values(CursorList& list) {
    std::vector<intptr_t> out;
    for (list.Rewind(); list.cursor != nullptr; list.Advance()) {
        out.push_back(list.CurrentValue());
    }
    return out;
}

// Links are consistent both ways and count matches the nodes.
void ExpectWellFormed(const CursorList& list) {
    int32_t n = 0;
    const CursorListNode* prev = nullptr;
    for (const CursorListNode* node = list.head; node != nullptr; node = node->next) {
        EXPECT_EQ(node->prev, prev);
        prev = node;
        ++n;
    }
    EXPECT_EQ(list.tail, prev);
    EXPECT_EQ(list.count, n);
}

void Fill(CursorList& list, std::initializer_list<intptr_t> values) {
    for (intptr_t v : values) {
        ASSERT_EQ(list.Append(v), 1);
    }
}

TEST_F(CursorListTest, NewListAndAppend) {
    CursorList list;
    EXPECT_EQ(list.cursor, nullptr);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.cursorIndex, -1);

    ASSERT_EQ(list.Append(7), 1);
    EXPECT_EQ(list.head, list.tail);
    EXPECT_EQ(list.cursor, list.head);
    EXPECT_EQ(list.cursorIndex, 0);
    EXPECT_EQ(list.count, 1);
    ASSERT_EQ(list.Append(8), 1);
    EXPECT_EQ(list.cursorIndex, 1);
    EXPECT_EQ(list.CurrentValue(), 8);
    ExpectWellFormed(list);
}

TEST_F(CursorListTest, InsertAtPlacesValueAndCursor) {
    struct Case {
        const char* name;
        std::vector<intptr_t> start;
        int32_t index;
        std::vector<intptr_t> expected;
        int32_t cursorIndex;
    } cases[] = {
        {"negative on empty", {}, -5, {9}, 0},
        {"negative becomes head", {1, 2, 3}, -5, {9, 1, 2, 3}, 0},
        {"count appends", {1, 2, 3}, 3, {1, 2, 3, 9}, 3},
        {"beyond count appends", {1, 2}, 40, {1, 2, 9}, 2},
        {"middle of five", {1, 2, 3, 4, 5}, 2, {1, 2, 9, 3, 4, 5}, 2},
        {"zero", {1, 2}, 0, {9, 1, 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CursorList list;
        for (intptr_t v : c.start) {
            ASSERT_EQ(list.Append(v), 1);
        }
        ASSERT_EQ(list.InsertAt(c.index, 9), 1);
        EXPECT_EQ(list.cursorIndex, c.cursorIndex);
        ASSERT_NE(list.cursor, nullptr);
        EXPECT_EQ(list.CurrentValue(), 9);
        ExpectWellFormed(list);
        EXPECT_EQ(Values(list), c.expected);
    }
}

TEST_F(CursorListTest, InsertBeforeCursorWithoutCursorTakesHead) {
    CursorList list;
    Fill(list, {1, 2});
    list.Seek(2); // past the tail: no cursor
    ASSERT_EQ(list.cursor, nullptr);
    ASSERT_EQ(list.InsertBeforeCursor(0), 1);
    EXPECT_EQ(list.cursorIndex, 0);
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{0, 1, 2}));
    ExpectWellFormed(list);
}

TEST_F(CursorListTest, SeekStepsAndPastTheEnds) {
    CursorList list;
    Fill(list, {10, 11, 12, 13, 14});
    struct Step {
        int32_t index;
        int32_t cursorIndex;
        intptr_t value; // -1: no cursor
    } steps[] = {
        {2, 2, 12},  {3, 3, 13}, {2, 2, 12}, {2, 2, 12}, {0, 0, 10}, {-1, -1, -1},
        {-3, 0, 10}, {5, 5, -1}, {0, 0, 10}, {4, 4, 14}, {5, 5, -1}, {9, 5, -1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.index);
        list.Seek(s.index);
        EXPECT_EQ(list.cursorIndex, s.cursorIndex);
        if (s.value < 0) {
            EXPECT_EQ(list.cursor, nullptr);
        } else {
            ASSERT_NE(list.cursor, nullptr);
            EXPECT_EQ(list.CurrentValue(), s.value);
        }
    }
}

TEST_F(CursorListTest, FindValueSearchesFromCursorWithWrap) {
    CursorList list;
    Fill(list, {0, 7, 2, 3, 7});
    list.Seek(3);
    ASSERT_EQ(list.FindValue(7), 1);
    EXPECT_EQ(list.cursorIndex, 4); // the match after the cursor wins
    list.Seek(3);
    ASSERT_EQ(list.FindValue(2), 1);
    EXPECT_EQ(list.cursorIndex, 2); // found after the wrap
    ASSERT_EQ(list.FindValue(2), 1);
    EXPECT_EQ(list.cursorIndex, 2); // a repeated search stays put

    EXPECT_EQ(list.FindValue(99), 0);
    EXPECT_EQ(list.cursor, nullptr);
    EXPECT_EQ(list.cursorIndex, -1);
    ASSERT_EQ(list.FindValue(0), 1); // no cursor: from the head
    EXPECT_EQ(list.cursorIndex, 0);
}

struct Named {
    const char* name;
    int payload;
};

TEST_F(CursorListTest, FindNameIgnoresCaseAndSkipsNoneAndEmpty) {
    Named a{"Alpha", 1};
    Named empty{"", 2};
    Named nameless{nullptr, 3};
    Named b{"Bravo", 4};
    CursorList list;
    Fill(list, {0, reinterpret_cast<intptr_t>(&empty), reinterpret_cast<intptr_t>(&nameless),
                reinterpret_cast<intptr_t>(&a), reinterpret_cast<intptr_t>(&b)});
    ASSERT_EQ(list.FindName("aLPHA"), 1);
    EXPECT_EQ(reinterpret_cast<Named*>(list.CurrentValue())->payload, 1);
    ASSERT_EQ(list.FindName("bravo"), 1);
    EXPECT_EQ(list.cursorIndex, 4);

    list.Seek(1);
    EXPECT_EQ(list.FindName(""), 0);
    EXPECT_EQ(list.FindName(nullptr), 0);
    EXPECT_EQ(list.cursorIndex, 1); // an empty name moves nothing
    EXPECT_EQ(list.FindName("Charlie"), 0);
    EXPECT_EQ(list.cursorIndex, -1);

    CursorList none;
    none.cursorIndex = -1;
    EXPECT_EQ(none.FindName("Alpha"), 0);
    EXPECT_EQ(none.FindValue(0), 0);
    EXPECT_EQ(none.cursorIndex, -1);
}

TEST_F(CursorListTest, ClearFreesEveryNodeOnceAndNeverTheValues) {
    {
        CursorList list;
        list.Clear();
        EXPECT_EQ(list.cursorIndex, -1);
        Named record{"kept", 5};
        Fill(list, {1, reinterpret_cast<intptr_t>(&record), 3});
        EXPECT_EQ(memory.allocations, 3);
        list.Clear();
        EXPECT_EQ(memory.frees, 3);
        EXPECT_EQ(list.head, nullptr);
        EXPECT_EQ(list.tail, nullptr);
        EXPECT_EQ(list.cursor, nullptr);
        EXPECT_EQ(list.count, 0);
        EXPECT_EQ(list.cursorIndex, -1);
        EXPECT_STREQ(record.name, "kept");
        Fill(list, {4, 5}); // the destructor releases these
    }
    EXPECT_EQ(memory.frees, 5);
}

TEST_F(CursorListTest, AllocationFailureLeavesListUnchanged) {
    CursorList list;
    Fill(list, {1, 2, 3});
    using Insert = int (*)(CursorList&);
    const Insert inserts[] = {
        [](CursorList& l) { return l.Append(9); },
        [](CursorList& l) { return l.InsertBeforeCursor(9); },
        [](CursorList& l) { return l.InsertAt(-1, 9); },
        [](CursorList& l) { return l.InsertAt(1, 9); },
    };
    for (Insert insert : inserts) {
        list.Seek(1);
        memory.failAt = memory.attempts + 1;
        EXPECT_EQ(insert(list), 0);
        EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2, 3}));
        ExpectWellFormed(list);
    }
    memory.failAt = 0;
}

TEST_F(CursorListTest, CreateNodeCountsAndCallerLinks) {
    CursorList list;
    Fill(list, {1});
    CursorListNode* node = list.CreateNode(2);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(list.tail->next, nullptr); // not linked
    // The linking steps a caller may do by hand, as Append does them.
    list.tail->next = node;
    node->prev = list.tail;
    list.tail = node;
    ExpectWellFormed(list);
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2}));
}

} // namespace
