#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "platform/platform.h"
#include "tests/platform/code_page.h"
#include "tests/platform/temp_dir.h"

namespace {

// ---- code page -----------------------------------------------------------------------------

TEST(CodePage, LeadBytesOfEachCodePage) {
    struct Case {
        int codePage;
        unsigned char byte;
        int lead;
    } cases[] = {
        {0, 0x81, 0},   {0, 0xE0, 0},   {932, 0x80, 0}, {932, 0x81, 1}, {932, 0x9F, 1},
        {932, 0xA0, 0}, {932, 0xDF, 0}, {932, 0xE0, 1}, {932, 0xFC, 1}, {932, 0xFD, 0},
        {932, 0x5C, 0}, {936, 0x80, 0}, {936, 0x81, 1}, {936, 0xA0, 1}, {936, 0xFE, 1},
        {936, 0xFF, 0}, {949, 0xB0, 1}, {950, 0xA4, 1}, {950, 0x7F, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " byte " + std::to_string(c.byte));
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        EXPECT_EQ(platform::ActiveCodePage(), c.codePage);
        EXPECT_EQ(platform::IsLeadByte(c.byte), c.lead);
    }
}

TEST(CodePage, UnknownCodePageIsRefusedAndKeepsTheActiveOne) {
    ScopedCodePage page(932);
    ASSERT_TRUE(page.ok());
    EXPECT_EQ(platform::SetCodePage(12345), 0);
    EXPECT_EQ(platform::ActiveCodePage(), 932);
}

struct CopyCase {
    const char* name;
    int codePage;
    const char* text;
    size_t size;
    std::string expected; // all `size` bytes
};

TEST(MbCopy, BoundaryProbes) {
    const CopyCase cases[] = {
        {"exact fit", 0, "abc", 4, std::string("abc\0", 4)},
        {"one short", 0, "abcd", 4, std::string("abc\0", 4)},
        {"zero-fills the rest", 0, "a", 4, std::string("a\0\0\0", 4)},
        {"size one", 0, "abc", 1, std::string("\0", 1)},
        {"null text", 0, nullptr, 3, std::string("\0\0\0", 3)},
        {"932 never splits", 932, "a\x88\x9F", 3, std::string("a\0\0", 3)},
        {"932 whole character", 932, "a\x88\x9F", 4, std::string("a\x88\x9F\0", 4)},
        {"932 incomplete character dropped", 932, "ab\x88", 4, std::string("ab\0\0", 4)},
        {"932 half-width katakana is single", 932, "\xB1\xB2", 3, std::string("\xB1\xB2\0", 3)},
        {"936 never splits", 936, "\xC4\xE3", 2, std::string("\0\0", 2)},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        char buffer[16];
        std::memset(buffer, 0x7E, sizeof buffer);
        platform::MbCopy(buffer, c.text, c.size);
        EXPECT_EQ(std::string(buffer, c.size), c.expected);
        for (size_t i = c.size; i < sizeof buffer; ++i) {
            EXPECT_EQ(buffer[i], 0x7E) << "byte " << i << " written beyond the size";
        }
    }
    char untouched = 0x7E;
    platform::MbCopy(&untouched, "abc", 0);
    EXPECT_EQ(untouched, 0x7E);
}

TEST(MbFitLength, StopsOnCharacterBoundaries) {
    struct Case {
        int codePage;
        const char* text;
        size_t limit;
        size_t expected;
    } cases[] = {
        {0, "abcdef", 4, 4},     {0, "ab", 10, 2},         {0, "\x88\x9F", 1, 1},
        {932, "\x88\x9F", 1, 0}, {932, "\x88\x9Fz", 2, 2}, {932, "a\x88\x9F", 2, 1},
        {932, "a\x88", 10, 1},   {932, "", 5, 0},          {932, "abc", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " limit " + std::to_string(c.limit));
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        EXPECT_EQ(platform::MbFitLength(c.text, c.limit), c.expected);
    }
    // The limit bounds the read as well: an unterminated buffer is safe.
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(platform::MbFitLength(unterminated, sizeof unterminated), 3u);
}

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

TEST(MbCompare, ExactAndCaseBlind) {
    struct Case {
        int codePage;
        const char* a;
        const char* b;
        int exact;
        int noCase;
    } cases[] = {
        {0, "abc", "abc", 0, 0},
        {0, "abc", "ABC", 1, 0},
        {0, "ab", "abc", -1, -1},
        {0, "_", "a", -1, -1}, // letters fold to lower case, as Windows does
        {0, "_", "A", 1, -1},
        {0, "\xE9", "\xC9", 1, 1},   // only ASCII letters fold
        {0, "\x7F", "\x80", -1, -1}, // bytes are unsigned
        {0, "\x83\x41", "\x83\x61", -1, 0},
        {932, "\x83\x41", "\x83\x61", -1, -1}, // trail bytes are not letters
        {932, "A\x83\x41", "a\x83\x41", -1, 0},
        {932, "\x81\x40", "\x81\x40x", -1, -1},
        {932, "\xE0\x40", "\x9F\xFC", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.a + " / " + c.b);
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        EXPECT_EQ(Sign(platform::MbCompare(c.a, c.b)), c.exact);
        EXPECT_EQ(Sign(platform::MbCompare(c.b, c.a)), -c.exact);
        EXPECT_EQ(Sign(platform::MbCompareNoCase(c.a, c.b)), c.noCase);
        EXPECT_EQ(Sign(platform::MbCompareNoCase(c.b, c.a)), -c.noCase);
    }
}

// ---- directory search ------------------------------------------------------------------------

struct Entry {
    std::string name;
    bool directory;
    bool operator<(const Entry& other) const { return name < other.name; }
    bool operator==(const Entry& other) const {
        return name == other.name && directory == other.directory;
    }
};

std::vector<Entry> Search(const std::string& pattern) {
    std::vector<Entry> out;
    platform::FindData data;
    std::memset(&data, 0x5A, sizeof data);
    void* search = platform::FindFirst(pattern.c_str(), &data);
    if (search == nullptr) {
        return out;
    }
    do {
        const std::string name = data.name;
        if (name != "." && name != "..") { // present or not depending on the OS
            out.push_back({name, (data.attributes & platform::kAttributeDirectory) != 0});
        }
    } while (platform::FindNext(search, &data) != 0);
    platform::FindClose(search);
    std::sort(out.begin(), out.end());
    return out;
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.WriteFile("Alpha.MSN", "a");
        dir_.WriteFile("beta.msn", "b");
        dir_.WriteFile("Gamma.txt", "c");
        dir_.WriteFile("noext", "d");
        dir_.MakeDir("Sub.MSN");
    }
    std::string In(const char* tail) const { return dir_.Str() + "\\" + tail; }
    TempDir dir_;
};

TEST_F(FindTest, WildcardsIgnoreCaseAndReportDirectories) {
    struct Case {
        const char* pattern;
        std::vector<Entry> expected;
    } cases[] = {
        {"*.MSN", {{"Alpha.MSN", false}, {"Sub.MSN", true}, {"beta.msn", false}}},
        {"*.msn", {{"Alpha.MSN", false}, {"Sub.MSN", true}, {"beta.msn", false}}},
        {"?ETA.*", {{"beta.msn", false}}},
        {"g*", {{"Gamma.txt", false}}},
        {"noext", {{"noext", false}}},
        {"*.*",
         {{"Alpha.MSN", false},
          {"Gamma.txt", false},
          {"Sub.MSN", true},
          {"beta.msn", false},
          {"noext", false}}},
        {"*.xyz", {}},
        {"missing\\*.msn", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(Search(In(c.pattern)), c.expected);
    }
}

TEST_F(FindTest, ForwardSlashesAndRelativePatterns) {
    EXPECT_EQ(Search(dir_.Str() + "/*.txt"), (std::vector<Entry>{{"Gamma.txt", false}}));
    ASSERT_EQ(platform::SetCurrentDir(dir_.Str().c_str()), 1);
    EXPECT_EQ(Search("*.txt"), (std::vector<Entry>{{"Gamma.txt", false}}));
    EXPECT_EQ(Search("Sub.MSN\\*"), std::vector<Entry>{});
}

TEST(Find, BadArgumentsStartNoSearch) {
    platform::FindData data;
    EXPECT_EQ(platform::FindFirst("", &data), nullptr);
    EXPECT_EQ(platform::FindFirst(nullptr, &data), nullptr);
    EXPECT_EQ(platform::FindNext(nullptr, &data), 0);
    platform::FindClose(nullptr);
}

// ---- current directory -----------------------------------------------------------------------

TEST(CurrentDir, BackslashesAcceptedAndFailuresReported) {
    TempDir dir;
    dir.MakeDir("one/two");
    ASSERT_EQ(platform::SetCurrentDir(dir.Str().c_str()), 1);
    ASSERT_EQ(platform::SetCurrentDir("one\\two"), 1);
    char buffer[1024];
    ASSERT_EQ(platform::GetCurrentDir(buffer, sizeof buffer), 1);
    EXPECT_EQ(std::filesystem::path(buffer).filename().string(), "two");
    EXPECT_TRUE(std::filesystem::equivalent(buffer, dir.path() / "one" / "two"));

    EXPECT_EQ(platform::SetCurrentDir("no\\such\\dir"), 0);
    EXPECT_EQ(platform::SetCurrentDir(""), 0);
    EXPECT_EQ(platform::SetCurrentDir(nullptr), 0);
    char tiny[2] = {'x', 'x'};
    EXPECT_EQ(platform::GetCurrentDir(tiny, sizeof tiny), 0);
    EXPECT_EQ(tiny[0], 0);
}

// ---- text files ------------------------------------------------------------------------------

TEST(TextFile, LineFeedsReachTheDiskAsCrLf) {
    TempDir dir;
    const std::string path = dir.Str() + "\\out.ini"; // backslash accepted on every OS
    platform::TextFile* file = platform::TextFileCreate(path.c_str());
    ASSERT_NE(file, nullptr);
    const char first[] = "[S]\nk=v\n";
    EXPECT_EQ(platform::TextFileWrite(file, first, std::strlen(first)), 1);
    EXPECT_EQ(platform::TextFileWrite(file, "", 0), 1);
    EXPECT_EQ(platform::TextFileWrite(file, "\n\nend", 5), 1);
    EXPECT_EQ(platform::TextFileClose(file), 1);
    EXPECT_EQ(dir.ReadFile("out.ini"), "[S]\r\nk=v\r\n\r\n\r\nend");
}

TEST(TextFile, ReplaceAndRemove) {
    TempDir dir;
    dir.WriteFile("target", "old");
    dir.WriteFile("source", "new");
    const std::string source = dir.Str() + "\\source";
    const std::string target = dir.Str() + "\\target";
    EXPECT_EQ(platform::ReplaceFile(source.c_str(), target.c_str()), 1);
    EXPECT_EQ(dir.ReadFile("target"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "source"));
    EXPECT_EQ(platform::ReplaceFile(source.c_str(), target.c_str()), 0); // source is gone
    EXPECT_EQ(platform::RemoveFile(target.c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "target"));
    EXPECT_EQ(platform::RemoveFile(target.c_str()), 0);
}

TEST(TextFile, OpenFailuresGiveNone) {
    TempDir dir;
    const std::string missing = dir.Str() + "\\no-such-dir\\x.ini";
    EXPECT_EQ(platform::TextFileCreate(missing.c_str()), nullptr);
    EXPECT_EQ(platform::TextFileCreate(""), nullptr);
    EXPECT_EQ(platform::TextFileWrite(nullptr, "x", 1), 0);
    EXPECT_EQ(platform::TextFileClose(nullptr), 0);
}

struct LimitedWrite {
    std::string path;
    size_t bytes;
};

// In the limited child: 1 when the failure was reported, 2 when the write was taken as done.
int WriteBeyondLimit(void* context) {
    const auto* job = static_cast<const LimitedWrite*>(context);
    platform::TextFile* file = platform::TextFileCreate(job->path.c_str());
    if (file == nullptr) {
        return 3;
    }
    const std::string line(job->bytes, 'x');
    const int wrote = platform::TextFileWrite(file, line.data(), line.size());
    const int closed = platform::TextFileClose(file);
    return (wrote == 0 || closed == 0) ? 1 : 2;
}

TEST(TextFile, WriteFailureIsReported) {
    if (FileSizeLimitSupported() == 0) {
        GTEST_SKIP() << "file size limits need fork and setrlimit; not available on Windows";
    }
    TempDir dir;
    const struct {
        const char* name;
        size_t bytes;
    } cases[] = {{"fails at close (buffered)", 100}, {"fails while writing", 100000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LimitedWrite job{dir.Str() + "/limited.txt", c.bytes};
        EXPECT_EQ(RunWithFileSizeLimit(16, WriteBeyondLimit, &job), 1);
        LimitedWrite small{dir.Str() + "/small.txt", 8};
        EXPECT_EQ(RunWithFileSizeLimit(16, WriteBeyondLimit, &small), 2); // within the limit
    }
}

// ---- libraries
// -----------------------------------------------------------------------------------

TEST(Library, OpenFindCallAndClose) {
    void* library = platform::LibraryOpen("./" MENU_TEST_LIBRARY);
    ASSERT_NE(library, nullptr) << platform::LibraryError();
    void* symbol = platform::LibrarySymbol(library, "PlatformTestAnswer");
    ASSERT_NE(symbol, nullptr) << platform::LibraryError();
    int (*answer)() = nullptr;
    std::memcpy(&answer, &symbol, sizeof answer);
    EXPECT_EQ(answer(), 42);

    EXPECT_EQ(platform::LibrarySymbol(library, "NoSuchExport"), nullptr);
    EXPECT_GT(std::strlen(platform::LibraryError()), 0u);
    platform::LibraryClose(library);
}

TEST(Library, FailuresCarryAMessage) {
    EXPECT_EQ(platform::LibraryOpen("./no-such-library.bin"), nullptr);
    EXPECT_GT(std::strlen(platform::LibraryError()), 0u);
    EXPECT_EQ(platform::LibraryOpen(""), nullptr);
    EXPECT_EQ(platform::LibrarySymbol(nullptr, "x"), nullptr);
    platform::LibraryClose(nullptr);
}

} // namespace
