// The multibyte walks shared by both backends. They depend only on IsLeadByte, so the copy and
// comparison rules are the same on every OS; each backend supplies the code page's lead-byte
// test (its own model on POSIX, the C runtime's on Windows).
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

// Value of one character for comparison: a double-byte character is one 16-bit value with the
// lead byte high; `length` receives the bytes it spans (a lone trailing lead byte counts as one).
unsigned CharValue(const unsigned char* text, size_t* length) {
    if (text[0] != 0 && IsLeadByte(text[0]) != 0 && text[1] != 0) {
        *length = 2;
        return (static_cast<unsigned>(text[0]) << 8) | text[1];
    }
    *length = text[0] != 0 ? 1 : 0;
    return text[0];
}

unsigned FoldAscii(unsigned value) {
    if (value >= 'A' && value <= 'Z') {
        return value + ('a' - 'A');
    }
    return value;
}

int Compare(const char* a, const char* b, bool ignoreCase) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a != nullptr ? a : "");
    const auto* pb = reinterpret_cast<const unsigned char*>(b != nullptr ? b : "");
    for (;;) {
        size_t la = 0;
        size_t lb = 0;
        unsigned va = CharValue(pa, &la);
        unsigned vb = CharValue(pb, &lb);
        if (ignoreCase) {
            // Only single-byte characters are letters for case folding.
            va = la == 1 ? FoldAscii(va) : va;
            vb = lb == 1 ? FoldAscii(vb) : vb;
        }
        if (va != vb) {
            return va < vb ? -1 : 1;
        }
        if (la == 0) {
            return 0; // both ended
        }
        pa += la;
        pb += lb;
    }
}

} // namespace

size_t MbFitLength(const char* text, size_t limit) {
    if (text == nullptr) {
        return 0;
    }
    // Never reads beyond `limit` bytes, so an unterminated buffer of that size is safe.
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    size_t used = 0;
    while (used < limit && p[used] != 0) {
        if (IsLeadByte(p[used]) == 0) {
            used += 1;
            continue;
        }
        if (used + 2 > limit || p[used + 1] == 0) {
            break; // the character does not fit, or is incomplete
        }
        used += 2;
    }
    return used;
}

void MbCopy(char* buffer, const char* text, size_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const size_t length = MbFitLength(text, size - 1);
    if (length > 0) {
        std::memmove(buffer, text, length);
    }
    std::memset(buffer + length, 0, size - length);
}

int MbCompare(const char* a, const char* b) {
    return Compare(a, b, false);
}

int MbCompareNoCase(const char* a, const char* b) {
    return Compare(a, b, true);
}

} // namespace platform
