#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>

#include "host/services.h"

namespace host {
namespace {

TEST(StringTableTest, EntriesInFileOrderCommentsAndBlanksIgnored) {
    HostText::Table table;
    ASSERT_TRUE(ParseStringTable(
        "text/T.str", "; header\r\nFIRST=One\r\n\r\n  ; note\nEMPTY=\nLAST=a=b\n", &table))
        << table.error;
    ASSERT_EQ(table.entries.size(), 3u);
    EXPECT_EQ(table.entries[0].second, "One");
    EXPECT_EQ(table.entries[1].second, "");
    EXPECT_EQ(table.entries[2].second, "a=b");
}

TEST(StringTableTest, BadLinesAreRefusedWithTheirLine) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"A=1\nno equals sign\n", "text/T.str:2: a string table line is KEY=Text"},
        {"A=1\n=2\n", "text/T.str:2: the key before"},
        {"Key=1\n; c\nKEY=2\n", "text/T.str:3: key KEY appears twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HostText::Table table;
        EXPECT_FALSE(ParseStringTable("text/T.str", c.text, &table));
        EXPECT_EQ(table.error.rfind(c.message, 0), 0u) << table.error;
    }
}

class TextServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("menuhost-text-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "MenuText.str", std::ios::binary) << "A=Alpha\r\nB=Beta\r\n";
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path dir;
    Journal journal;
};

TEST_F(TextServiceTest, LookupIgnoresCaseAndAbsentTextsAreEmpty) {
    HostText text(&journal, dir);
    char buffer[260];
    text.LookupText("menutext.STR", "b", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Beta");
    text.LookupText("MenuText.str", "C", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_STREQ(text.GetTextByIndex("MenuText.str", 1), "Beta");
    EXPECT_STREQ(text.GetTextByIndex("MenuText.str", 2), "");
    EXPECT_STREQ(text.GetTextByIndex("MenuText.str", -1), "");
    EXPECT_TRUE(journal.Errors().empty());
    EXPECT_STREQ(text.GetTextByIndex("Missing.str", 0), "");
    ASSERT_EQ(journal.Errors().size(), 1u);
    EXPECT_NE(journal.Errors()[0].find("text/Missing.str: string table not found"),
              std::string::npos);
}

TEST_F(TextServiceTest, TablesMustBeUnloadedAsOftenAsLoaded) {
    HostText text(&journal, dir);
    text.LoadStringTable("MenuText.str");
    text.LoadStringTable("MenuText.str");
    text.UnloadStringTable("MenuText.str");
    text.CheckBalanced("plugin");
    text.UnloadStringTable("MenuText.str");
    ASSERT_EQ(journal.Breaches().size(), 2u);
    EXPECT_NE(journal.Breaches()[0].find("plugin loaded string table menutext.str"),
              std::string::npos);
    EXPECT_NE(journal.Breaches()[1].find("of a table not loaded"), std::string::npos);
}

TEST_F(TextServiceTest, PilotNameIsFirstThenLastAndBounded) {
    HostText text(&journal, dir);
    char longName[300];
    std::memset(longName, 'x', sizeof longName); // unterminated
    struct Case {
        const char* last;
        const char* first;
        int32_t size;
        const char* expected;
    } cases[] = {
        {"Varga", "Ilona", 260, "Ilona Varga"},
        {"Varga", "", 260, "Varga"},
        {"", "Ilona", 260, "Ilona"},
        {nullptr, nullptr, 260, ""},
        {"Varga", "Ilona", 12, "Ilona Varga"}, // exact fit
        {"Varga", "Ilona", 11, "Ilona Varg"},  // one short
        {"Varga", "Ilona", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.expected << " in " << c.size);
        char buffer[300];
        std::memset(buffer, '~', sizeof buffer);
        text.FormatPilotName(c.last, c.first, buffer, c.size);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.size], '~'); // nothing written beyond the size
    }
    char buffer[300];
    text.FormatPilotName(longName, "", buffer, 260);
    EXPECT_EQ(std::strlen(buffer), 259u);
}

} // namespace
} // namespace host
