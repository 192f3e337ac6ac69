#include "sortie/mission_setup_page.h"

#include <cstring>

#include "tests/sortie/sortie_fixture.h"

namespace sortie_test {
namespace {

constexpr int Y = 1950;

class SetupPage : public SortieBound {
protected:
    fake::FakeControl& List(int index) { return Control(6, kKindList, index); }

    void SetRecordYear(fake::FakeObjectList::Entry& e, int offset, int16_t value) {
        std::memcpy(e.record.data() + offset, &value, sizeof value);
    }

    // One aircraft "jet" with the given years; everything else as the options say.
    fake::FakeObjectList::Entry& OnlyAircraft(int16_t first, int16_t last) {
        aircraft->entries.clear();
        auto& e = aircraft->AddAircraft("jet", "Jet", first, last);
        e.missionTypes = {1};
        return e;
    }

    std::vector<std::string> YearRows() { return RowTexts(List(1)); }
};

std::vector<std::string> Years(int first, int last) {
    std::vector<std::string> out;
    for (int y = first; y <= last; ++y) {
        out.push_back(std::to_string(y));
    }
    return out;
}

struct YearCase {
    const char* label;
    int16_t first, last;                    // service years (0: not given)
    int16_t secondFirst, secondLast, count; // second range
    int32_t startYear, endYear, savedYear;  // options (0: absent)
    int rowFirst, rowLast;                  // expected rows (rowFirst > rowLast: none)
    int shownYear;                          // expected selected and stored year
};

TEST_F(SetupPage, YearListFollowsTheServiceYearsNarrowedByTheOptions) {
    const YearCase cases[] = {
        {"service years only", Y, Y + 20, 0, 0, 0, 0, 0, Y + 10, Y, Y + 20, Y + 10},
        {"saved year after the range", Y, Y + 20, 0, 0, 0, 0, 0, Y + 35, Y, Y + 20, Y + 20},
        {"saved year 0", Y, Y + 20, 0, 0, 0, 0, 0, 0, Y, Y + 20, Y},
        {"start and end inside", Y, Y + 20, 0, 0, 0, Y + 5, Y + 15, 0, Y + 5, Y + 15, Y + 5},
        {"start after the range", Y, Y + 20, 0, 0, 0, Y + 25, 0, 0, Y + 15, Y + 20, Y + 15},
        {"end before the range", Y, Y + 20, 0, 0, 0, 0, Y - 5, 0, Y, Y + 5, Y},
        {"second range widens", Y + 5, Y + 15, Y, Y + 30, 2, 0, 0, 0, Y, Y + 30, Y},
        {"second range ignored", Y + 5, Y + 15, Y, Y + 30, 0, 0, 0, 0, Y + 5, Y + 15, Y + 5},
        {"no years at all", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {"no years, options give them", 0, 0, 0, 0, 0, Y, Y + 3, Y + 2, Y, Y + 3, Y + 2},
        {"only a last year", 0, Y + 15, 0, 0, 0, 0, 0, 0, Y + 10, Y + 15, Y + 10},
        {"only a last year, start before", 0, Y + 15, 0, 0, 0, Y - 5, 0, 0, Y - 5, Y + 15, Y - 5},
        {"only a first year", Y, 0, 0, 0, 0, 0, 0, 0, Y, Y + 5, Y},
        {"only a first year, later end", Y, 0, 0, 0, 0, 0, Y + 9, Y + 9, Y, Y + 9, Y + 9},
        {"saved year before the range", Y, Y + 20, 0, 0, 0, 0, 0, Y - 1, Y, Y + 20, Y},
    };
    for (const YearCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto& jet = OnlyAircraft(c.first, c.last);
        SetRecordYear(jet, kAircraftSecondFirstYearOffset, c.secondFirst);
        SetRecordYear(jet, kAircraftSecondLastYearOffset, c.secondLast);
        SetRecordYear(jet, kAircraftSecondRangeCountOffset, c.count);
        Bind();
        if (c.startYear != 0) {
            options.SetInt(kSingleMission, "StartYear", c.startYear);
        }
        if (c.endYear != 0) {
            options.SetInt(kSingleMission, "EndYear", c.endYear);
        }
        options.SetInt(kSingleMission, "MissionYear", c.savedYear);
        {
            MissionSetupPage page;
            page.Attach(&shell.menu, 6);
            EXPECT_EQ(YearRows(), Years(c.rowFirst, c.rowLast));
            EXPECT_EQ(page.firstYear, c.rowFirst);
            EXPECT_EQ(page.lastYear, c.rowLast);
            EXPECT_EQ(List(1).selected, c.shownYear - c.rowFirst);
            page.Hide();
            page.Detach();
        }
        EXPECT_EQ(options.GetInt(kSingleMission, "MissionYear", -1), c.shownYear);
        TearDown();
        shell.journal.Clear();
    }
}

TEST_F(SetupPage, AnEmptyYearRangeKeepsTheSavedYear) {
    OnlyAircraft(Y + 10, Y); // first above last: no rows
    Bind();
    options.SetInt(kSingleMission, "MissionYear", Y + 4);
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);
    EXPECT_TRUE(YearRows().empty());
    EXPECT_EQ(List(1).selected, -1);
    page.Collect();
    EXPECT_EQ(page.settings.header.date.year, Y + 4);
    page.Detach();
    EXPECT_EQ(options.GetInt(kSingleMission, "MissionYear", -1), Y + 4);
}

TEST_F(SetupPage, MissionTypesAreTheOfferedTypesTheAircraftSupports) {
    aircraft->entries.clear();
    aircraft->AddAircraft("multi", "Multi", Y, Y + 20).missionTypes = {1, 4, 9, 11, 14, 16};
    aircraft->AddAircraft("none", "None", Y, Y + 20).missionTypes = {9, 10, 12};
    Bind();
    options.SetString(kSingleMission, "AircraftType", "multi");
    options.SetString(kSingleMission, "MissionType", "RECON");
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);

    EXPECT_EQ(Values(page.typeRows), (std::vector<intptr_t>{1, 4, 11}));
    EXPECT_EQ(RowTexts(List(3)), (std::vector<std::string>{"Type 1", "Type 4", "Type 11"}));
    EXPECT_EQ(List(3).rows[2].value, 2) << "row data is the position in the type list";
    EXPECT_EQ(List(3).selected, 2);
    for (int t : {9, 10, 12, 13, 14, 15, 16}) {
        EXPECT_FALSE(shell.journal.Contains("AircraftObject.SupportsMissionType(0," +
                                            std::to_string(t) + ",0)"))
            << "type " << t << " is not offered and must not be asked";
    }

    // An aircraft supporting no offered type: empty list, and the collected type is 0.
    List(2).SelectItem(1); // rows: Multi, None
    page.OnCommand(2);
    EXPECT_TRUE(List(3).rows.empty());
    page.Collect();
    EXPECT_EQ(page.settings.header.missionType, 0);
    EXPECT_STREQ(page.settings.header.aircraftName, "none");
    page.Detach();
    EXPECT_EQ(OptionText(options, "MissionType"), "SWEEP");
}

TEST_F(SetupPage, ChangingTheAircraftKeepsTheTypeAndMovesTheYearWhenItMust) {
    aircraft->entries.clear();
    aircraft->AddAircraft("a", "A first", Y, Y + 20).missionTypes = {1, 4, 11};
    aircraft->AddAircraft("b", "B second", Y + 5, Y + 10).missionTypes = {0, 4};
    aircraft->AddAircraft("c", "C third", Y + 30, Y + 40).missionTypes = {5, 6};
    Bind();
    options.SetString(kSingleMission, "AircraftType", "a");
    options.SetString(kSingleMission, "MissionType", "STRIKE");
    options.SetInt(kSingleMission, "MissionYear", Y + 7);
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);
    ASSERT_EQ(List(3).selected, 1); // CAP, STRIKE, RECON

    struct Step {
        int aircraftRow;
        std::vector<std::string> types;
        int typeRow;
        int firstYear;
        int yearRow;
        int collectedType;
    };
    const Step steps[] = {
        {1, {"Type 0", "Type 4"}, 1, Y + 5, 2, 4},         // STRIKE kept, Y + 7 inside
        {2, {"Type 5", "Type 6"}, 0, Y + 30, 0, 5},        // STRIKE gone: row 0; year moved up
        {0, {"Type 1", "Type 4", "Type 11"}, 0, Y, 20, 1}, // year Y + 30 moved down to Y + 20
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.aircraftRow);
        const int32_t typeBefore = page.settings.header.missionType;
        List(2).SelectItem(s.aircraftRow);
        EXPECT_EQ(page.OnCommand(2), 0);
        EXPECT_EQ(RowTexts(List(3)), s.types);
        EXPECT_EQ(List(3).selected, s.typeRow);
        EXPECT_EQ(page.settings.header.missionType, typeBefore) << "kept until Collect";
        EXPECT_EQ(page.firstYear, s.firstYear);
        EXPECT_EQ(List(1).selected, s.yearRow);
        page.Collect();
        EXPECT_EQ(page.settings.header.missionType, s.collectedType);
    }
    page.Detach();
}

TEST_F(SetupPage, StartHandsTheCollectedSettingsToTheMissionService) {
    Bind();
    options.SetString(kSingleMission, "AircraftType", "F4E");
    options.SetString(kSingleMission, "MissionMap", "Coast");
    options.SetInt(kSingleMission, "MissionYear", 1980);
    options.SetString(kSingleMission, "MissionType", "SEAD");
    options.SetString(kSingleMission, "MissionTime", "DUSK");
    options.SetString(kSingleMission, "MissionWeather", "BROKEN");
    options.SetString(kSingleMission, "AirActivity", "HEAVY");
    options.SetString(kSingleMission, "AirDefenseActivity", "LIGHT");
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);

    // The lists as the options chose them.
    EXPECT_EQ(RowTexts(List(2)), (std::vector<std::string>{"Phantom", "Tomcat", "Warthog"}));
    EXPECT_EQ(List(2).selected, 0);
    EXPECT_EQ(RowTexts(List(4)), (std::vector<std::string>{"Coast", "Desert"}));
    EXPECT_EQ(List(4).selected, 0);
    EXPECT_EQ(RowTexts(List(5))[6], "Time 6");
    EXPECT_EQ(List(5).rows[6].value, 6);
    EXPECT_EQ(List(5).selected, 6);
    EXPECT_EQ(List(6).selected, 3);
    EXPECT_EQ(List(7).selected, 3);
    EXPECT_EQ(RowTexts(List(8)).size(), 4u);
    EXPECT_EQ(List(8).selected, 1);

    // The player picks another map and weather; the start collects them.
    List(4).SelectItem(1);
    List(6).SelectItem(5);
    shell.journal.Clear();
    EXPECT_EQ(page.OnCommand(100), shell.missions.createAnswer);
    ASSERT_EQ(shell.missions.created.size(), 1u);
    ASSERT_TRUE(shell.missions.createdWithSettings[0]);

    uint8_t bytes[sizeof(MissionSettings)];
    std::memcpy(bytes, &shell.missions.created[0], sizeof bytes);
    auto i32 = [&](size_t offset) {
        int32_t v;
        std::memcpy(&v, bytes + offset, sizeof v);
        return v;
    };
    EXPECT_EQ(i32(0), 0);
    EXPECT_EQ(i32(4), 6) << "SEAD";
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 8), "f4e");
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 268), "desert");
    for (size_t o = 528; o < 544; ++o) {
        EXPECT_EQ(bytes[o], 0) << o;
    }
    EXPECT_EQ(i32(544), 1980);
    EXPECT_EQ(i32(548), 1);
    EXPECT_EQ(i32(552), 1);
#if defined(MENU_LAYOUT_32)
    EXPECT_EQ(sizeof(MissionSettings), 576u);
    EXPECT_EQ(i32(556), 0) << "no details block";
    EXPECT_EQ(i32(560), 6);
    EXPECT_EQ(i32(564), 5);
    EXPECT_EQ(i32(568), 3);
    EXPECT_EQ(i32(572), 1);
#else
    const MissionSettings& s = shell.missions.created[0];
    EXPECT_EQ(s.header.details, nullptr);
    EXPECT_EQ(s.timeOfDay, 6);
    EXPECT_EQ(s.weather, 5);
    EXPECT_EQ(s.airActivity, 3);
    EXPECT_EQ(s.airDefenseActivity, 1);
#endif
    page.Detach();
    EXPECT_EQ(OptionText(options, "AircraftType"), "f4e");
    EXPECT_EQ(OptionText(options, "MissionMap"), "desert");
    EXPECT_EQ(OptionText(options, "MissionWeather"), "INCREMENT");
    EXPECT_EQ(OptionText(options, "MissionType"), "SEAD");
    EXPECT_EQ(OptionText(options, "AirDefenseActivity"), "LIGHT");
    EXPECT_TRUE(page.aircraftRows.count == 0 && page.mapRows.count == 0 &&
                page.typeRows.count == 0);
}

TEST_F(SetupPage, UnknownSavedNamesFallBackToTheFirstEntryInCapitals) {
    Bind();
    options.SetString(kSingleMission, "AircraftType", "retired");
    options.SetString(kSingleMission, "MissionMap", "atlantis");
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);
    EXPECT_STREQ(page.settings.header.aircraftName, "F14A");
    EXPECT_STREQ(page.settings.header.mapName, "DESERT");
    EXPECT_EQ(List(2).selected, 1); // Tomcat, second in name order
    EXPECT_EQ(List(4).selected, 1); // Desert
    page.Detach();
}

TEST_F(SetupPage, EmptyAircraftAndTerrainListsLeaveEmptyNamesAndNoSelection) {
    aircraft->entries.clear();
    shell.terrains.entries.clear();
    Bind();
    options.SetString(kSingleMission, "AircraftType", "f14a");
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);
    EXPECT_STREQ(page.settings.header.aircraftName, "");
    EXPECT_STREQ(page.settings.header.mapName, "");
    EXPECT_TRUE(List(2).rows.empty());
    EXPECT_TRUE(List(3).rows.empty());
    EXPECT_TRUE(List(4).rows.empty());
    EXPECT_EQ(Calls("Control6.8.2.SelectItem") + Calls("Control6.8.4.SelectItem"), 0u);
    EXPECT_EQ(YearRows(), Years(0, 0));
    page.OnCommand(2);
    EXPECT_EQ(page.OnCommand(100), 1);
    ASSERT_EQ(shell.missions.created.size(), 1u);
    EXPECT_STREQ(shell.missions.created[0].header.aircraftName, "");
    EXPECT_STREQ(shell.missions.created[0].header.mapName, "");
    page.Detach();
}

TEST_F(SetupPage, ShowEnablesTheStartControlAndHideCollects) {
    Bind();
    MissionSetupPage page;
    page.Attach(&shell.menu, 6);
    shell.journal.Clear();
    page.Show();
    EXPECT_TRUE(shell.journal.InOrder(
        {"MNU.GetChild(5,3)", "Child5.3.SetEnabled(1)", "Page6.SetVisible(1)"}))
        << shell.journal.Dump();
    List(5).SelectItem(2);
    page.Hide();
    EXPECT_EQ(page.settings.timeOfDay, 2);
    EXPECT_EQ(Page(6).visible, 0);
    page.Detach();
    EXPECT_EQ(OptionText(options, "MissionTime"), "MORNING");
}

} // namespace
} // namespace sortie_test
