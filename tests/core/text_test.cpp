#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/text.h"
#include "tests/platform/code_page.h"

namespace {

constexpr unsigned char kCanary = 0xCC;

// A buffer of `size` bytes followed by guard bytes, all filled with the canary first.
struct Probe {
    explicit Probe(size_t n) : size(n) { std::memset(bytes, kCanary, sizeof bytes); }
    char* data() { return bytes; }
    // Bytes [0, size) as written, and whether the guard after them is untouched.
    std::string Written() const { return std::string(bytes, size); }
    bool GuardIntact() const {
        for (size_t i = size; i < sizeof bytes; ++i) {
            if (static_cast<unsigned char>(bytes[i]) != kCanary) {
                return false;
            }
        }
        return true;
    }
    size_t size;
    char bytes[64];
};

std::string Zeros(size_t n) {
    return std::string(n, '\0');
}

// Table rows name their case; `expected` is all `size` bytes of the destination.
struct CopyCase {
    const char* name;
    int codePage;
    const char* text;
    size_t size;
    std::string expected;
};

TEST(CopyText, BoundaryProbes) {
    const CopyCase cases[] = {
        {"exact fit", 0, "abcdefg", 8, std::string("abcdefg") + Zeros(1)},
        {"one short", 0, "abcdefgh", 8, std::string("abcdefg") + Zeros(1)},
        {"twelve into eight", 0, "abcdefghijkl", 8, std::string("abcdefg") + Zeros(1)},
        {"short text zero-filled", 0, "ab", 8, std::string("ab") + Zeros(6)},
        {"size one", 0, "abc", 1, Zeros(1)},
        {"empty text", 0, "", 4, Zeros(4)},
        {"null text", 0, nullptr, 4, Zeros(4)},
        {"single-byte page keeps 0x82 as a byte", 0, "ab\x82\xA0", 4, "ab\x82" + Zeros(1)},
        {"932 cuts before a split character", 932, "ab\x82\xA0", 4, "ab" + Zeros(2)},
        {"932 whole character fits", 932, "ab\x82\xA0", 5, "ab\x82\xA0" + Zeros(1)},
        {"932 lead byte before the terminator dropped", 932, "a\x82", 4, "a" + Zeros(3)},
        {"932 trail byte in ASCII range", 932, "\x83\x41Z", 3, "\x83\x41" + Zeros(1)},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        Probe probe(c.size);
        EXPECT_EQ(CopyText(probe.data(), c.text, c.size), probe.data());
        EXPECT_EQ(probe.Written(), c.expected);
        EXPECT_TRUE(probe.GuardIntact());
    }
}

TEST(CopyText, NullBufferAndZeroSizeWriteNothing) {
    EXPECT_EQ(CopyText(nullptr, "abc", 4), nullptr);
    Probe probe(0);
    EXPECT_EQ(CopyText(probe.data(), "abc", 0), probe.data());
    EXPECT_TRUE(probe.GuardIntact());
}

TEST(CopyText, FullSizeBufferIsZeroFilledAfterTheText) {
    char buffer[260];
    std::memset(buffer, 'x', sizeof buffer);
    CopyText(buffer, "pilot", sizeof buffer);
    EXPECT_STREQ(buffer, "pilot");
    for (size_t i = 5; i < sizeof buffer; ++i) {
        ASSERT_EQ(buffer[i], 0) << "byte " << i;
    }
}

struct AppendCase {
    const char* name;
    int codePage;
    const char* start;
    const char* text;
    size_t size;
    const char* expected; // the text; bytes after its terminator stay canary
};

TEST(AppendText, BoundaryProbes) {
    const AppendCase cases[] = {
        {"fits", 0, "ab", "cd", 8, "abcd"},
        {"exact fit", 0, "abc", "defg", 8, "abcdefg"},
        {"one short", 0, "abc", "defgh", 8, "abcdefg"},
        {"full buffer unchanged", 0, "abcdefg", "x", 8, "abcdefg"},
        {"empty start", 0, "", "xyz", 3, "xy"},
        {"empty text", 0, "ab", "", 8, "ab"},
        {"null text", 0, "ab", nullptr, 8, "ab"},
        {"932 cuts before a split character", 932, "abc", "d\x82\xA0", 6, "abcd"},
        {"932 whole character fits", 932, "abc", "d\x82\xA0", 7, "abcd\x82\xA0"},
        {"single-byte page may end on 0x82", 0, "abc", "d\x82\xA0", 6, "abcd\x82"},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        Probe probe(c.size);
        std::memcpy(probe.data(), c.start, std::strlen(c.start) + 1);
        EXPECT_EQ(AppendText(probe.data(), c.text, c.size), probe.data());
        EXPECT_STREQ(probe.data(), c.expected);
        EXPECT_TRUE(probe.GuardIntact());
        // Past the longer of the two texts only the last byte (always zeroed) may change.
        const size_t touched = std::max(std::strlen(c.start), std::strlen(c.expected)) + 1;
        for (size_t i = touched; i + 1 < c.size; ++i) {
            EXPECT_EQ(static_cast<unsigned char>(probe.bytes[i]), kCanary) << "byte " << i;
        }
        if (IsEmptyText(c.text) == 0) {
            EXPECT_EQ(probe.bytes[c.size - 1], 0);
        }
    }
}

TEST(AppendText, UnterminatedBufferIsCutAtItsSize) {
    Probe probe(4);
    std::memset(probe.data(), 'z', 4); // no terminator within the size
    AppendText(probe.data(), "abc", 4);
    EXPECT_EQ(probe.Written(), std::string("zzz") + Zeros(1));
    EXPECT_TRUE(probe.GuardIntact());
}

TEST(TextEquals, EmptyNeverEqualsAndCaseFlag) {
    struct Case {
        const char* a;
        const char* b;
        int caseFlag;
        int expected;
    } cases[] = {
        {"", "", 1, 0},           {nullptr, nullptr, 0, 0}, {"a", "", 0, 0},
        {"Pilot", "Pilot", 1, 1}, {"Pilot", "PILOT", 1, 0}, {"Pilot", "PILOT", 0, 1},
        {"\xE9", "\xC9", 0, 0}, // only ASCII letters are folded
        {"ab", "abc", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a != nullptr ? c.a : "(null)") + " / " +
                     (c.b != nullptr ? c.b : "(null)"));
        EXPECT_EQ(TextEquals(c.a, c.b, c.caseFlag), c.expected);
    }
}

TEST(TextEquals, TrailBytesAreNotFoldedIn932) {
    // Two different katakana whose trail bytes are 'A' and 'a'.
    EXPECT_EQ(TextEquals("\x83\x41", "\x83\x61", 0), 1); // single-byte: two letters each
    ScopedCodePage page(932);
    ASSERT_TRUE(page.ok());
    EXPECT_EQ(TextEquals("\x83\x41", "\x83\x61", 0), 0);
    EXPECT_EQ(TextEquals("x\x83\x41", "X\x83\x41", 0), 1);
}

TEST(CaseMapping, OnlyAsciiLettersChange) {
    char upper[] = "abc xyz \xE9 \x83\x61 09";
    EXPECT_EQ(UpperText(upper), upper);
    EXPECT_STREQ(upper, "ABC XYZ \xE9 \x83\x41 09"); // single-byte: 0x61 is a letter
    char lower[] = "ABC XYZ \xC9";
    LowerText(lower);
    EXPECT_STREQ(lower, "abc xyz \xC9");
    EXPECT_EQ(UpperText(nullptr), nullptr);

    ScopedCodePage page(932);
    ASSERT_TRUE(page.ok());
    char mixed[] = "a\x83\x61z";
    UpperText(mixed);
    EXPECT_STREQ(mixed, "A\x83\x61Z"); // the trail byte belongs to a double-byte character
}

TEST(Trim, Table) {
    struct Case {
        const char* text;
        const char* left;
        const char* right;
        const char* both;
    } cases[] = {
        {" \t\n\v\f\rab c \t\n\v\f\r", "ab c \t\n\v\f\r", " \t\n\v\f\rab c", "ab c"},
        {" \t  \t", "", "", ""},
        {"", "", "", ""},
        {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},
        {"plain", "plain", "plain", "plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string left = c.text;
        std::string right = c.text;
        std::string both = c.text;
        EXPECT_STREQ(TrimLeft(left.data()), c.left);
        EXPECT_STREQ(TrimRight(right.data()), c.right);
        EXPECT_STREQ(TrimText(both.data()), c.both);
    }
    EXPECT_EQ(TrimText(nullptr), nullptr);
}

TEST(Trim, NothingToTrimWritesNothing) {
    // String literals live in read-only memory: any write would crash the test.
    static const char kWord[] = "Yes";
    char* word = const_cast<char*>(kWord);
    EXPECT_EQ(TrimRight(word), word);
    EXPECT_EQ(TrimLeft(word), word);
    EXPECT_EQ(TrimText(word), word);
    EXPECT_STREQ(kWord, "Yes");
}

TEST(EmptyAndClear, NullAndEmptyAlike) {
    EXPECT_EQ(IsEmptyText(nullptr), 1);
    EXPECT_EQ(IsEmptyText(""), 1);
    EXPECT_EQ(IsEmptyText(" "), 0);
    char buffer[] = "abc";
    EXPECT_EQ(ClearText(buffer), buffer);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 'b');
    EXPECT_EQ(ClearText(nullptr), nullptr);
}

} // namespace
