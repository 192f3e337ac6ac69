#include "core/string_pool.h"

#include <cstring>

#include "core/memory.h"

StringPool::StringPool() : start(nullptr), end(nullptr), current(nullptr), capacity(0) {}

StringPool::~StringPool() {
    Release();
}

void StringPool::Reset(int32_t size) {
    Release();
    // A negative or overflowing size makes a pool without buffer that refuses every string.
    capacity = (size >= 0 && size < INT32_MAX) ? size + 1 : 0;
    if (capacity == 0) {
        return;
    }
    auto* buffer = static_cast<char*>(MemAlloc(static_cast<size_t>(capacity)));
    if (buffer != nullptr) {
        std::memset(buffer, 0, static_cast<size_t>(capacity));
    }
    start = end = current = buffer;
}

void StringPool::Release() {
    if (start != nullptr) {
        MemFree(start);
    }
    start = nullptr;
    end = nullptr;
    current = nullptr;
}

int StringPool::AddString(const char* text) {
    if (start == nullptr) {
        return 0;
    }
    const char* source = text != nullptr ? text : "";
    const size_t used = static_cast<size_t>(end - start);
    const size_t length = std::strlen(source);
    // The last byte stays free (and zero), so a pool of n holds at most n bytes of strings.
    if (used + length + 1 >= static_cast<size_t>(capacity)) {
        return 0;
    }
    current = end;
    std::memcpy(end, source, length + 1);
    end += length + 1;
    return 1;
}

void StringPool::Rewind() {
    current = start;
}

int StringPool::HasMore() const {
    return (start != nullptr && current < end) ? 1 : 0;
}

char* StringPool::Current() const {
    return current;
}

void StringPool::Advance() {
    if (current != nullptr) {
        current += std::strlen(current) + 1;
    }
}
