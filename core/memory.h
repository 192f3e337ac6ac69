// The allocation and trace seam of the core containers. The definitions belong to the plug-in
// framework (framework/binding.cpp): every block goes to the shell's MEM service under the
// plug-in's module tag while the framework is bound.
//
// MemAlloc   raw buffers; MEM must be bound, otherwise none (never a crash).
// MemNew     objects; MEM when bound, otherwise the C heap.
// MemFree    MEM Free when bound, otherwise nothing (the block stays allocated). Callers test
//            for none themselves.
// Neither allocator clears the block.
#pragma once

#include <cstddef>

void* MemAlloc(size_t size);
void* MemNew(size_t size);
void MemFree(void* block);
char* MemDupString(const char* text);
void MemFreeString(char** text);

// printf-style diagnostic. Does nothing unless a test has installed a sink (framework/trace.h).
void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Base for every object the plug-ins create dynamically: `new` and `delete` go to MemNew and
// MemFree. A failed allocation yields none (no exception crosses the plug-in boundary).
struct MemObject {
    static void* operator new(size_t size) noexcept { return MemNew(size); }
    static void operator delete(void* block) noexcept {
        if (block != nullptr) {
            MemFree(block);
        }
    }
};
