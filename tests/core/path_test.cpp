#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/path.h"
#include "core/string_pool.h"
#include "counting_memory.h"
#include "tests/platform/code_page.h"
#include "tests/platform/temp_dir.h"

namespace {

constexpr char kCanary = '\x5A';

struct ResolveCase {
    const char* base;
    const char* relative;
    const char* expected;
};

TEST(ResolvePath, Table) {
    const ResolveCase cases[] = {
        {"C:\\Games\\Sim", "..\\..\\Data\\Pilots\\p.plt", "C:\\Data\\Pilots\\p.plt"},
        {"C:\\Games\\", "..\\x\\y", "C:\\x\\y"},
        {"Games", "..\\x\\y", "x\\y"},
        {"C:\\Games", ".\\Pilots\\a.plt", "C:\\Games\\Pilots\\a.plt"},
        {"", "a.ini", ".\\a.ini"},
        {nullptr, "a.ini", ".\\a.ini"},
        {"", "Data\\a.ini", "Data\\a.ini"},
        {"C:\\Games", "\\Data\\a.ini", "Data\\a.ini"},
        {"C:\\Games", "a\\..\\b", "C:\\Games\\a\\..\\b"},
        {"C:\\Games", "..", "C:\\Games\\.."},
        {"C:\\Games", "D:\\x\\y", "D:\\x\\y"},
        {"C:\\Games\\", "file.txt", "C:\\Games\\file.txt"},
        {"C:\\Games", "", ""},
        {"C:\\Games", nullptr, ""},
    };
    for (const ResolveCase& c : cases) {
        SCOPED_TRACE(std::string(c.base != nullptr ? c.base : "(null)") + " + " +
                     (c.relative != nullptr ? c.relative : "(null)"));
        char buffer[260];
        std::memset(buffer, kCanary, sizeof buffer);
        ResolvePath(c.base, c.relative, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(ResolvePath, CutAtTheBufferSize) {
    char buffer[12];
    std::memset(buffer, kCanary, sizeof buffer);
    ResolvePath("C:\\Games", "Pilots\\long.plt", buffer, 10);
    EXPECT_STREQ(buffer, "C:\\Games\\");
    EXPECT_EQ(buffer[10], kCanary);
    EXPECT_EQ(buffer[11], kCanary);
}

struct JoinCase {
    const char* name;
    const char* start;
    const char* part;
    size_t size;
    const char* expected;
};

TEST(AppendPathComponent, BoundaryProbes) {
    const JoinCase cases[] = {
        {"joins with one backslash", "dir", "file", 16, "dir\\file"},
        {"no second backslash", "dir\\", "file", 16, "dir\\file"},
        {"empty buffer takes the component", "", "file", 16, "file"},
        {"exact fit", "dir", "file", 9, "dir\\file"},
        {"one short cuts the component", "dir", "file", 8, "dir\\fil"},
        {"full buffer unchanged", "dir", "file", 4, "dir"},
        {"only the backslash fits", "dir", "file", 5, "dir\\"},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[32];
        std::memset(buffer, kCanary, sizeof buffer);
        std::memcpy(buffer, c.start, std::strlen(c.start) + 1);
        AppendPathComponent(buffer, c.size, c.part);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.size], kCanary);
    }
}

TEST(AppendExtension, BoundaryProbes) {
    const JoinCase cases[] = {
        {"adds the dot", "pilot", "plt", 16, "pilot.plt"},
        {"keeps a given dot", "pilot", ".plt", 16, "pilot.plt"},
        {"no backslash test", "dir\\", "plt", 16, "dir\\.plt"},
        {"exact fit", "pilot", "plt", 10, "pilot.plt"},
        {"one short", "pilot", "plt", 9, "pilot.pl"},
        {"full buffer unchanged", "pilot", "plt", 6, "pilot"},
        {"empty extension adds nothing", "pilot", "", 16, "pilot"},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[32];
        std::memset(buffer, kCanary, sizeof buffer);
        std::memcpy(buffer, c.start, std::strlen(c.start) + 1);
        AppendExtension(buffer, c.size, c.part);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.size], kCanary);
    }
}

TEST(FileNames, StripSetDefaultAndCombine) {
    struct Case {
        const char* name;
        const char* extension;
        const char* stripped;
        const char* defaulted;
    } cases[] = {
        {"pilot.dat", "plt", "pilot", "pilot.dat"},
        {"pilot", "plt", "pilot", "pilot.plt"},
        {"Data.v2\\pilot", "plt", "Data.v2\\pilot", "Data.v2\\pilot.plt"},
        {"Data\\a.b.c", "plt", "Data\\a.b", "Data\\a.b.c"},
        {"a.", "plt", "a", "a."},
        {"", "plt", "", ""},
        {"pilot", nullptr, "pilot", "pilot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[260];
        StripExtension(c.name, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.stripped);
        SetDefaultExtension(c.name, c.extension, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.defaulted);
    }

    char buffer[260];
    CombinePath("", "options", "INI", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, ".\\options.INI");
    CombinePath("C:\\Sim", "..\\Pilots\\p001", "plt", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "C:\\Pilots\\p001.plt");
    CombinePath("C:\\Sim", "", "plt", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
}

TEST(FileNames, CutResultsStayWithinSize) {
    char buffer[8];
    std::memset(buffer, kCanary, sizeof buffer);
    SetDefaultExtension("pilot", "plt", buffer, 6);
    EXPECT_STREQ(buffer, "pilot");
    EXPECT_EQ(buffer[6], kCanary);
    std::memset(buffer, kCanary, sizeof buffer);
    StripExtension("abcdefgh.txt", buffer, 4);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], kCanary);
}

TEST(FileNames, TrailBytesAreNotBackslashesIn932) {
    // 0x95 0x5C is one double-byte character whose trail byte has the value of a backslash.
    struct Case {
        int codePage;
        const char* stripped;
        const char* joined;
    } cases[] = {
        {0, "ab.c\x95\\d", "d\x95\\x"},
        {932, "ab", "d\x95\\\\x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        ScopedCodePage page(c.codePage);
        ASSERT_TRUE(page.ok());
        char buffer[32];
        StripExtension("ab.c\x95\\d", buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.stripped);
        std::strcpy(buffer, "d\x95\\");
        AppendPathComponent(buffer, sizeof buffer, "x");
        EXPECT_STREQ(buffer, c.joined);
    }
}

class DirectoryTest : public CountingMemoryTest {
protected:
    void SetUp() override {
        CountingMemoryTest::SetUp();
        dir_.WriteFile("Alpha.MSN", "a");
        dir_.WriteFile("beta.msn", "b");
        dir_.WriteFile("gamma.txt", "c");
        dir_.MakeDir("Sub.MSN"); // a directory that matches the pattern
        dir_.MakeDir("Missions");
        dir_.WriteFile("Missions/one.msn", "1");
    }
    std::string Pattern(const char* tail) const { return dir_.Str() + "\\" + tail; }
    TempDir dir_;
};

std::vector<std::string> Sorted(StringPool& pool) {
    std::vector<std::string> out;
    for (pool.Rewind(); pool.HasMore() != 0; pool.Advance()) {
        out.emplace_back(pool.Current());
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(DirectoryTest, CountAndListSkipDirectories) {
    EXPECT_EQ(CountFiles(Pattern("*.MSN").c_str()), 2);
    EXPECT_EQ(CountFiles(Pattern("*.msn").c_str()), 2);
    EXPECT_EQ(CountFiles(Pattern("*.none").c_str()), 0);
    EXPECT_EQ(CountFiles(Pattern("nowhere\\*.msn").c_str()), 0);
    EXPECT_EQ(CountFiles(""), 0);
    EXPECT_EQ(CountFiles(nullptr), 0);

    StringPool pool;
    pool.Reset(260 * 2);
    ListFiles(&pool, Pattern("*.msn").c_str(), 0);
    EXPECT_EQ(Sorted(pool), (std::vector<std::string>{"Alpha.MSN", "beta.msn"}));
    pool.Reset(260 * 2);
    ListFiles(&pool, Pattern("*.msn").c_str(), 1);
    EXPECT_EQ(Sorted(pool), (std::vector<std::string>{"Alpha", "beta"}));
    ListFiles(nullptr, Pattern("*.msn").c_str(), 1); // no pool: nothing happens
}

TEST_F(DirectoryTest, ListDropsNamesThatDoNotFit) {
    StringPool pool;
    pool.Reset(6); // "Alpha" fits, "beta" after it does not
    ListFiles(&pool, Pattern("*.msn").c_str(), 1);
    const std::vector<std::string> listed = Sorted(pool);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0] == "Alpha" || listed[0] == "beta") << listed[0];
}

TEST_F(DirectoryTest, ChangeDirectoryThenRelativePatterns) {
    EXPECT_EQ(ChangeDirectory(""), 0);
    EXPECT_EQ(ChangeDirectory(nullptr), 0);
    EXPECT_EQ(ChangeDirectory(Pattern("does-not-exist").c_str()), 0);
    ASSERT_EQ(ChangeDirectory(dir_.Str().c_str()), 1);
    EXPECT_EQ(CountFiles("*.txt"), 1);
    EXPECT_EQ(CountFiles("Missions\\*.msn"), 1);
    ASSERT_EQ(ChangeDirectory("Missions"), 1);
    EXPECT_EQ(CountFiles("*.*"), 1);
}

} // namespace
