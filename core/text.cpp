#include "core/text.h"

#include <cstring>

#include "platform/platform.h"

namespace {

bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Steps one character: two bytes for a complete double-byte character, else one.
size_t CharStep(const unsigned char* p) {
    return (platform::IsLeadByte(p[0]) != 0 && p[1] != 0) ? 2 : 1;
}

char* MapCase(char* text, char from, char to) {
    if (text == nullptr) {
        return nullptr;
    }
    auto* p = reinterpret_cast<unsigned char*>(text);
    while (*p != 0) {
        const size_t step = CharStep(p);
        // Trail bytes of double-byte characters may fall in the ASCII letter range; they are
        // skipped with their lead byte and never mapped.
        if (step == 1 && *p >= static_cast<unsigned char>(from) &&
            *p <= static_cast<unsigned char>(from + 25)) {
            *p = static_cast<unsigned char>(*p - from + to);
        }
        p += step;
    }
    return text;
}

} // namespace

int IsEmptyText(const char* text) {
    return (text == nullptr || text[0] == 0) ? 1 : 0;
}

char* ClearText(char* buffer) {
    if (buffer != nullptr) {
        buffer[0] = 0;
    }
    return buffer;
}

int TextEquals(const char* a, const char* b, int caseFlag) {
    if (IsEmptyText(a) != 0 || IsEmptyText(b) != 0) {
        return 0;
    }
    const int order = caseFlag != 0 ? platform::MbCompare(a, b) : platform::MbCompareNoCase(a, b);
    return order == 0 ? 1 : 0;
}

char* CopyText(char* buffer, const char* text, size_t size) {
    if (buffer == nullptr) {
        return nullptr;
    }
    if (size == 0) {
        return buffer; // no room even for a terminator: nothing may be written
    }
    if (IsEmptyText(text) != 0) {
        std::memset(buffer, 0, size); // the same full-width write as a copy
        return buffer;
    }
    // Cuts before a double-byte character that would not fit whole, and zero-fills the rest.
    platform::MbCopy(buffer, text, size);
    buffer[size - 1] = 0;
    return buffer;
}

char* AppendText(char* buffer, const char* text, size_t size) {
    if (buffer == nullptr || IsEmptyText(text) != 0 || size == 0) {
        return buffer;
    }
    // The existing text is read only within the buffer, so an unterminated buffer is cut there.
    const size_t used = strnlen(buffer, size - 1);
    if (used < size - 1) {
        const size_t room = size - 1 - used;
        const size_t length = platform::MbFitLength(text, room);
        std::memmove(buffer + used, text, length);
        buffer[used + length] = 0;
    }
    buffer[size - 1] = 0;
    return buffer;
}

char* UpperText(char* text) {
    return MapCase(text, 'a', 'A');
}

char* LowerText(char* text) {
    return MapCase(text, 'A', 'a');
}

char* TrimLeft(char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    size_t skip = 0;
    while (IsSpace(static_cast<unsigned char>(text[skip]))) {
        ++skip;
    }
    if (skip > 0) {
        std::memmove(text, text + skip, std::strlen(text + skip) + 1);
    }
    return text;
}

char* TrimRight(char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    // Walk by characters so a trail byte that looks like white space is never taken for one.
    auto* p = reinterpret_cast<unsigned char*>(text);
    size_t end = 0; // just past the last character that is not white space
    size_t i = 0;
    while (p[i] != 0) {
        const size_t step = CharStep(p + i);
        if (step == 2 || !IsSpace(p[i])) {
            end = i + step;
        }
        i += step;
    }
    if (end < i) {
        p[end] = 0; // written only when something is removed
    }
    return text;
}

char* TrimText(char* text) {
    if (IsEmptyText(text) != 0) {
        return text;
    }
    return TrimRight(TrimLeft(text));
}
