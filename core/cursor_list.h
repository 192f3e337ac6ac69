// CursorList: a doubly linked list of pointer-width values with a current node (the cursor) and
// its position. Searches, seeks and insertions work from the cursor and leave it on the node they
// found or made. The list owns its nodes (allocated with MemNew, released with MemFree), never the
// values. The field layout is shared with the shell (documents lent by it hold these lists).
#pragma once

#include <cstdint>

#include "core/memory.h"

struct CursorListNode : MemObject {
    CursorListNode* next;
    CursorListNode* prev;
    intptr_t value;
};

struct CursorList {
    CursorListNode* cursor;
    CursorListNode* head;
    CursorListNode* tail;
    int32_t count;
    int32_t cursorIndex;

    CursorList();
    ~CursorList();
    CursorList(const CursorList&) = delete;
    CursorList& operator=(const CursorList&) = delete;

    CursorListNode* CreateNode(intptr_t value); // counted, not linked; none when out of memory
    int Append(intptr_t value);
    int InsertBeforeCursor(intptr_t value);
    int InsertAt(int32_t index, intptr_t value);
    void Seek(int32_t index);
    int FindValue(intptr_t key);
    // Values are records whose first field is a pointer to their name; none values are skipped.
    int FindName(const char* name);
    void Clear();
    void Rewind();
    void Advance();
    intptr_t CurrentValue() const; // 0 when there is no cursor
};

#if defined(MENU_LAYOUT_32)
static_assert(sizeof(CursorList) == 20);
static_assert(sizeof(CursorListNode) == 12);
#endif
