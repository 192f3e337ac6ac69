#include "sortie/object_lists.h"

#include "platform/platform.h"
#include "tests/sortie/sortie_fixture.h"

namespace sortie_test {
namespace {

class ObjectLists : public SortieBound {
protected:
    void TearDown() override {
        platform::SetCodePage(0);
        SortieBound::TearDown();
    }
    fake::FakeControl& List() { return Control(6, kKindList, 2); }
};

struct SortCase {
    const char* label;
    int codePage;
    std::vector<std::string> displayNames; // index order
    std::vector<std::string> rows;
    std::vector<intptr_t> values;
};

TEST_F(ObjectLists, RowsFollowTheCodePageOrderAndEqualNamesKeepIndexOrder) {
    const SortCase cases[] = {
        {"capitals before small letters",
         0,
         {"b", "A", "a", "B"},
         {"A", "B", "a", "b"},
         {1, 3, 2, 0}},
        {"equal names",
         0,
         {"K", "B", "Same", "C", "Z", "Same"},
         {"B", "C", "K", "Same", "Same", "Z"},
         {1, 3, 0, 2, 5, 4}},
        {"prefix sorts first",
         0,
         {"Eagle II", "Eagle", "Eagle I"},
         {"Eagle", "Eagle I", "Eagle II"},
         {1, 2, 0}},
        {"high bytes after ASCII",
         0,
         {"\xC9t\xE9", "Zulu", "zulu"},
         {"Zulu", "zulu", "\xC9t\xE9"},
         {1, 2, 0}},
        // Double-byte characters compare as one unsigned 16-bit value, after every ASCII text;
        // a trail byte that looks like "\" or a letter is no separate character.
        {"code page 932",
         932,
         {"\x83\x41", "Zero", "\x82\xA0", "alpha", "\x95\x5C", "\x83\x41"},
         {"Zero", "alpha", "\x82\xA0", "\x83\x41", "\x83\x41", "\x95\x5C"},
         {1, 3, 2, 0, 5, 4}},
    };
    Bind();
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(platform::SetCodePage(c.codePage), 1);
        aircraft->entries.clear();
        for (size_t i = 0; i < c.displayNames.size(); ++i) {
            aircraft->AddAircraft("n" + std::to_string(i), c.displayNames[i], 1950, 2000);
        }
        CursorList rows;
        List().Clear();
        FillAircraftList(&List(), 0, -1, &rows, -1);
        EXPECT_EQ(RowTexts(List()), c.rows);
        EXPECT_EQ(Values(rows), c.values);
    }
}

TEST_F(ObjectLists, MapRowsAreSortedTheSameWay) {
    shell.terrains.entries.clear();
    for (const char* name : {"b", "A", "a", "B"}) {
        AddTerrain(shell, name, name);
    }
    Bind();
    CursorList rows;
    FillMapList(&List(), &rows, 0);
    EXPECT_EQ(RowTexts(List()), (std::vector<std::string>{"A", "B", "a", "b"}));
    EXPECT_EQ(Values(rows), (std::vector<intptr_t>{1, 3, 2, 0}));
}

struct FilterCase {
    const char* label;
    int32_t onlyAvailable;
    int32_t year;
    int32_t missionType;
    std::vector<std::string> rows;
};

TEST_F(ObjectLists, AircraftFiltersAreTriedInOrderAndOnlyWhenAsked) {
    aircraft->entries.clear();
    aircraft->AddAircraft("a", "Alpha", 1960, 1980).missionTypes = {1};
    auto& bravo = aircraft->AddAircraft("b", "Bravo", 1970, 1970);
    bravo.available = false;
    bravo.missionTypes = {1, 4};
    aircraft->AddAircraft("c", "Charlie", 1971, 1990).missionTypes = {4};
    aircraft->AddAircraft("d", "", 1900, 2100).hasDisplayName = false;
    aircraft->AddAircraft("e", "Echo", 1900, 2100).record.clear();   // no record: never listed
    aircraft->AddAircraft("f", "Foxtrot", -5, 3).missionTypes = {1}; // years read as signed

    const FilterCase cases[] = {
        {"everything", 0, -1, -1, {"Alpha", "Bravo", "Charlie", "Foxtrot"}},
        {"available only", 1, -1, -1, {"Alpha", "Charlie", "Foxtrot"}},
        {"year inside, and a one-year service", 0, 1970, -1, {"Alpha", "Bravo"}},
        {"last year one short", 0, 1981, -1, {"Charlie"}},
        {"first year one late", 0, 1969, -1, {"Alpha"}},
        {"negative years", 0, 0, -1, {"Foxtrot"}},
        {"mission type", 0, -1, 4, {"Bravo", "Charlie"}},
        {"all three", 1, 1975, 1, {"Alpha"}},
    };
    Bind();
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.label);
        shell.journal.Clear();
        CursorList rows;
        List().Clear();
        FillAircraftList(&List(), c.onlyAvailable, c.year, &rows, c.missionType);
        EXPECT_EQ(RowTexts(List()), c.rows);
        EXPECT_EQ(Calls("AircraftObject.IsAvailable") != 0, c.onlyAvailable != 0);
        EXPECT_EQ(Calls("AircraftObject.SupportsMissionType") != 0, c.missionType != -1);
        if (c.onlyAvailable != 0) {
            // An unavailable aircraft is not asked anything further.
            EXPECT_FALSE(shell.journal.Contains("AircraftObject.GetRecord(1)"));
        }
    }
}

TEST_F(ObjectLists, HiddenTerrainsAreLeftOutUnlessAskedFor) {
    shell.terrains.entries.clear();
    AddTerrain(shell, "t0", "Desert", true);
    AddTerrain(shell, "t1", "Coast");
    AddTerrain(shell, "t2", "", true);
    shell.terrains.entries.back().hasDisplayName = false;
    AddTerrain(shell, "t3", "Arctic");
    Bind();

    CursorList rows;
    FillMapList(&List(), &rows, 0);
    EXPECT_EQ(RowTexts(List()), (std::vector<std::string>{"Arctic", "Coast"}));
    EXPECT_EQ(Values(rows), (std::vector<intptr_t>{3, 1}));
    EXPECT_FALSE(shell.journal.Contains("TER.IsHidden(2)")) << "no display name: not asked";

    shell.journal.Clear();
    CursorList all;
    List().Clear();
    FillMapList(&List(), &all, 1);
    EXPECT_EQ(RowTexts(List()), (std::vector<std::string>{"Arctic", "Coast", "Desert"}));
    EXPECT_EQ(Calls("TER.IsHidden"), 0u);
}

TEST_F(ObjectLists, ReadingTheSelectionGivesTheIndexAndInternalName) {
    Bind();
    CursorList rows;
    FillAircraftList(&List(), 1, -1, &rows, -1); // Phantom(2), Tomcat(0), Warthog(1)
    ASSERT_EQ(Values(rows), (std::vector<intptr_t>{2, 0, 1}));

    struct Case {
        const char* label;
        int32_t row;
        bool withBuffer;
        int32_t expected;
        const char* name; // none: the buffer keeps its canary
    };
    const Case cases[] = {
        {"no selection", -1, true, -1, nullptr},
        {"second row", 1, true, 0, "f14a"},
        {"last row", 2, true, 1, "a10a"},
        {"no buffer", 0, false, 2, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        List().SelectItem(c.row);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(
            ReadSelectedAircraft(&List(), &rows, c.withBuffer ? buffer : nullptr, sizeof buffer),
            c.expected);
        if (c.name != nullptr) {
            EXPECT_STREQ(buffer, c.name);
        } else {
            EXPECT_EQ(buffer[0], '#');
        }
    }

    // A selected row the row list does not cover, and a row list older than the shell's list.
    List().AddItem("extra");
    List().SelectItem(3);
    EXPECT_EQ(ReadSelectedAircraft(&List(), &rows, nullptr, 0), -1);
    rows.Seek(0);
    rows.cursor->value = 7;
    List().SelectItem(0);
    char buffer[8] = "keep";
    EXPECT_EQ(ReadSelectedAircraft(&List(), &rows, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "keep");
}

TEST_F(ObjectLists, ReadingTheMapSelection) {
    Bind();
    CursorList rows;
    FillMapList(&List(), &rows, 0); // Coast(1), Desert(0)
    char buffer[260] = "keep";
    EXPECT_EQ(ReadSelectedMap(&List(), &rows, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "keep");
    List().SelectItem(1);
    EXPECT_EQ(ReadSelectedMap(&List(), &rows, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "desert");
    EXPECT_EQ(shell.journal.Count("Shell.AcquireService(TER)"), 3);
}

TEST_F(ObjectLists, SelectingAMapByName) {
    Bind();
    CursorList rows;
    FillMapList(&List(), &rows, 0); // Coast(1), Desert(0); "test" is hidden
    struct Case {
        const char* name;
        int32_t terrain;
        int32_t row;
    };
    const Case cases[] = {
        {"DESERT", 0, 1}, {"coast", 1, 0}, {"test", 1, 0}, {"nowhere", 1, 0}, {"", 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        List().SelectItem(-1);
        EXPECT_EQ(SelectMapByName(&List(), &rows, c.name), c.terrain);
        EXPECT_EQ(List().selected, c.row);
    }

    CursorList none;
    fake::FakeControl& empty = Control(6, kKindList, 9);
    shell.journal.Clear();
    EXPECT_EQ(SelectMapByName(&empty, &none, "desert"), -1);
    EXPECT_EQ(Calls(empty.name + ".SelectItem"), 0u);
}

TEST_F(ObjectLists, NoAircraftClassListsNothing) {
    shell.withheld.insert("OBJ");
    Bind();
    CursorList rows;
    FillAircraftList(&List(), 1, -1, &rows, -1);
    EXPECT_TRUE(List().rows.empty());
    EXPECT_EQ(ReadSelectedAircraft(&List(), &rows, nullptr, 0), -1);
}

} // namespace
} // namespace sortie_test
