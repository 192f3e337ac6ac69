// StringPool: a fixed-capacity buffer of NUL-terminated strings, one after another, with a read
// cursor. Allocated once by Reset (MemAlloc) and never moved, so pointers into it stay valid until
// the next Reset or Release. The field layout is shared with the shell.
#pragma once

#include <cstdint>

struct StringPool {
    char* start;
    char* end;
    char* current;
    int32_t capacity;

    StringPool();
    ~StringPool(); // Release
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    void Reset(int32_t size); // a zero-filled buffer of size + 1 bytes
    void Release();
    int AddString(const char* text); // 1 and Current() is the copy; 0 and unchanged when full
    void Rewind();
    int HasMore() const;
    char* Current() const;
    void Advance();
};

#if defined(MENU_LAYOUT_32)
static_assert(sizeof(StringPool) == 16);
#endif
