// The real single-mission plug-in in the shell: which page opens, the year and mission-type lists
// a player sees for an aircraft, the mission a start creates or loads, the saved-mission listing
// and the options left on disk when the screen closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "framework/contract.h"
#include "tests/host/game_folder.h"

namespace host {
namespace {

using Posted = std::vector<std::pair<int32_t, int32_t>>;

std::unique_ptr<Session> OpenScreens(const GameFolder& folder) {
    return OpenSession(folder, {{"portico", PORTICO_PLUGIN}, {"sortie", SORTIE_PLUGIN}});
}

// Runs the steps in order; false (with the failing step named) at the first that is refused.
bool RunSteps(Session& session, const std::vector<std::string>& steps) {
    for (const std::string& step : steps) {
        if (session.RunStep(step, "test") != kExitOk) {
            ADD_FAILURE() << "step refused: " << step;
            return false;
        }
    }
    return true;
}

HostControl* FindControl(Session& session, int32_t subMenu, int32_t index, int32_t kind) {
    HostPage* page = session.Menu() != nullptr ? session.Menu()->SubMenu(subMenu) : nullptr;
    HostControl* control = page != nullptr ? page->Find(index, kind) : nullptr;
    EXPECT_NE(control, nullptr) << "sub-menu " << subMenu << " control " << index;
    return control;
}

std::vector<std::string> Rows(Session& session, int32_t subMenu, int32_t list) {
    std::vector<std::string> rows;
    if (HostControl* c = FindControl(session, subMenu, list, kKindList)) {
        for (const HostControl::Item& item : c->items) {
            rows.push_back(item.text);
        }
    }
    return rows;
}

std::string Selected(Session& session, int32_t subMenu, int32_t list) {
    HostControl* c = FindControl(session, subMenu, list, kKindList);
    if (c == nullptr || c->selected < 0 || c->selected >= static_cast<int32_t>(c->items.size())) {
        return "<none>";
    }
    return c->items[static_cast<size_t>(c->selected)].text;
}

std::string Text(Session& session, int32_t subMenu, int32_t index) {
    HostControl* c = FindControl(session, subMenu, index, kKindText);
    return c != nullptr ? c->text : "<no control>";
}

std::vector<std::string> YearRows(int first, int last) {
    std::vector<std::string> rows;
    for (int y = first; y <= last; ++y) {
        rows.push_back(std::to_string(y));
    }
    return rows;
}

// The bytes of one section as saved: its bracketed name up to and including the empty line.
std::string SectionText(const std::string& file, const std::string& name) {
    const size_t from = file.find("[" + name + "]\r\n");
    if (from == std::string::npos) {
        return "<no section " + name + ">";
    }
    const size_t end = file.find("\r\n\r\n", from);
    return end == std::string::npos ? file.substr(from) : file.substr(from, end + 4 - from);
}

void RemoveMissions(const GameFolder& folder, const std::vector<std::string>& keep) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path("missions"))) {
        const std::string stem = entry.path().stem().string();
        if (std::find(keep.begin(), keep.end(), stem) == keep.end()) {
            std::filesystem::remove_all(entry.path());
        }
    }
}

// Leaves everything and checks the contract: no breach, no shell error, no block of the
// plug-in's tag still allocated.
void ExpectCleanFinish(Session& session) {
    EXPECT_EQ(session.Finish(), kExitOk);
    for (const std::string& breach : session.Log().Breaches()) {
        ADD_FAILURE() << "breach: " << breach;
    }
    for (const std::string& error : session.Log().Errors()) {
        ADD_FAILURE() << "shell error: " << error;
    }
    EXPECT_EQ(session.Memory().Use("SMSN").liveBlocks, 0u);
}

// ---- which page the screen opens on, and what it remembers ----------------------------------

struct PageStep {
    int32_t shellPage;      // the shell switches to it
    bool switches;          // the screen changes page and posts (6, 0)
    int32_t shellPageAfter; // where the shell stands afterwards
};

struct PageCase {
    const char* name;
    const char* loadMission; // the option before the visit
    int32_t opensOn;
    std::vector<PageStep> steps;
    const char* storedLoadMission;
    int32_t nextOpensOn;
};

void PrintTo(const PageCase& row, std::ostream* os) {
    *os << row.name;
}

class SortiePageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(SortiePageTest, OpensOnTheRememberedPageAndStoresTheOneLeft) {
    const PageCase& c = GetParam();
    GameFolder folder;
    std::string options = folder.Read("options.ini");
    const std::string was = "LoadMission=FALSE";
    options.replace(options.find(was), was.size(), std::string("LoadMission=") + c.loadMission);
    folder.Write("options.ini", options);

    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load Main", "press 3"}));
    ASSERT_EQ(session->CurrentScreen(), "SingleMission");
    auto expectShown = [&](int32_t shellPage) {
        EXPECT_EQ(session->Menu()->currentPage, shellPage);
        EXPECT_EQ(session->Menu()->SubMenu(6)->visible, shellPage == 2 ? 1 : 0);
        EXPECT_EQ(session->Menu()->SubMenu(7)->visible, shellPage == 3 ? 1 : 0);
    };
    expectShown(c.opensOn);
    for (const PageStep& step : c.steps) {
        SCOPED_TRACE(testing::Message() << "page " << step.shellPage);
        ASSERT_TRUE(RunSteps(*session, {"page " + std::to_string(step.shellPage)}));
        EXPECT_EQ(session->LastPosted(), (step.switches ? Posted{{6, 0}} : Posted{}));
        expectShown(step.shellPageAfter);
    }
    // Back to the main screen: the single-mission screen closes and its options reach the disk.
    ASSERT_TRUE(RunSteps(*session, {"key 1"}));
    EXPECT_EQ(session->LastPosted(), (Posted{{2, 1}}));
    EXPECT_EQ(session->CurrentScreen(), "Main");
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "LoadMission"), c.storedLoadMission);

    ASSERT_TRUE(RunSteps(*session, {"press 3"}));
    ASSERT_EQ(session->CurrentScreen(), "SingleMission");
    expectShown(c.nextOpensOn);
    ExpectCleanFinish(*session);
}

INSTANTIATE_TEST_SUITE_P(
    Sortie, SortiePageTest,
    ::testing::Values(
        PageCase{"SetupPageByDefault", "FALSE", 2, {}, "FALSE", 2},
        PageCase{"SwitchToTheLoadPageIsRemembered", "FALSE", 2, {{3, true, 3}}, "TRUE", 3},
        PageCase{"BackToTheSetupPageIsRemembered", "TRUE", 3, {{2, true, 2}}, "FALSE", 2},
        // The current page again changes nothing; a page the screen does not
        // have puts the shell back on the current one.
        PageCase{"SamePageAndForeignPage",
                 "FALSE",
                 2,
                 {{2, false, 2}, {7, false, 2}, {3, true, 3}, {3, false, 3}},
                 "TRUE",
                 3}),
    [](const ::testing::TestParamInfo<PageCase>& row) { return row.param.name; });

// ---- year rows for an aircraft ---------------------------------------------------------------

struct YearCase {
    const char* name;
    const char* years; // aircraft catalogue keys
    int startYear;
    int endYear;
    int savedYear;
    int first, last; // the rows shown
    int selected;    // the year shown selected and stored
};

void PrintTo(const YearCase& row, std::ostream* os) {
    *os << row.name;
}

class SortieYearTest : public ::testing::TestWithParam<YearCase> {};

TEST_P(SortieYearTest, RowsSpanTheServiceYearsNarrowedByTheOptions) {
    const YearCase& c = GetParam();
    GameFolder folder;
    folder.Write("objects/aircraft.ini",
                 std::string("[AC-1]\nDisplayName=Tester\nMissionTypes=0,1\n") + c.years);
    folder.Write("options.ini",
                 "[SingleMission]\nAircraftType=AC-1\nMissionYear=" + std::to_string(c.savedYear) +
                     "\nStartYear=" + std::to_string(c.startYear) +
                     "\nEndYear=" + std::to_string(c.endYear) + "\n");
    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load SingleMission"}));
    EXPECT_EQ(Rows(*session, 6, 1), YearRows(c.first, c.last));
    EXPECT_EQ(Selected(*session, 6, 1), std::to_string(c.selected));
    ASSERT_TRUE(RunSteps(*session, {"leave"}));
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "MissionYear"),
              std::to_string(c.selected));
    ExpectCleanFinish(*session);
}

INSTANTIATE_TEST_SUITE_P(
    Sortie, SortieYearTest,
    ::testing::Values(
        YearCase{"LateSavedYearIsClamped", "FirstYear=1960\nLastYear=1980\n", 0, 0, 1995, 1960,
                 1980, 1980},
        YearCase{"OptionsNarrowBothEnds", "FirstYear=1960\nLastYear=1980\n", 1965, 1975, 0, 1965,
                 1975, 1965},
        YearCase{"StartYearPastServiceKeepsFiveYears", "FirstYear=1960\nLastYear=1980\n", 1985, 0,
                 1970, 1975, 1980, 1975},
        YearCase{"EndYearBeforeServiceKeepsFiveYears", "FirstYear=1960\nLastYear=1980\n", 0, 1955,
                 1970, 1960, 1965, 1965},
        YearCase{"SecondRangeWidens",
                 "FirstYear=1965\nLastYear=1975\nSecondFirstYear=1960\nSecondLastYear=1990\n"
                 "SecondRangeCount=2\n",
                 0, 0, 1985, 1960, 1990, 1985},
        YearCase{"SecondRangeWithCountZeroIsIgnored",
                 "FirstYear=1965\nLastYear=1975\nSecondFirstYear=1960\nSecondLastYear=1990\n"
                 "SecondRangeCount=0\n",
                 0, 0, 1985, 1965, 1975, 1975},
        YearCase{"OnlyLastYearReachesBackToStartYear", "LastYear=1975\n", 1955, 0, 1950, 1955, 1975,
                 1955},
        YearCase{"NoYearsTakesTheOptions", "", 1970, 1972, 1971, 1970, 1972, 1971}),
    [](const ::testing::TestParamInfo<YearCase>& row) { return row.param.name; });

// ---- changing the aircraft -------------------------------------------------------------------

TEST(SortieSetupTest, AircraftChangeRebuildsTypesAndYearsKeepingWhatStillFits) {
    GameFolder folder;
    folder.Write("objects/aircraft.ini",
                 "[AC-A]\nDisplayName=Alpha\nFirstYear=1960\nLastYear=1970\nMissionTypes=0,1\n"
                 "[AC-B]\nDisplayName=Bravo\nFirstYear=1975\nLastYear=1990\nMissionTypes=0,1,4,9\n"
                 // flies only types the screen does not offer
                 "[AC-C]\nDisplayName=Charlie\nFirstYear=1965\nLastYear=1985\nMissionTypes=12\n");
    folder.Write("options.ini",
                 "[SingleMission]\nAircraftType=AC-A\nMissionType=CAP\nMissionYear=1968\n");
    struct Step {
        const char* step;
        std::vector<std::string> types;
        const char* selectedType;
        int first, last;
        const char* selectedYear;
    } steps[] = {
        {"", {"Fighter Sweep", "Combat Air Patrol"}, "Combat Air Patrol", 1960, 1970, "1968"},
        // The patrol is kept; the year moves into the new range.
        {"select 6 2 Bravo",
         {"Fighter Sweep", "Combat Air Patrol", "Strike"},
         "Combat Air Patrol",
         1975,
         1990,
         "1975"},
        {"select 6 3 Strike",
         {"Fighter Sweep", "Combat Air Patrol", "Strike"},
         "Strike",
         1975,
         1990,
         "1975"},
        // The strike is not flown by the first aircraft: its first type is offered instead.
        {"select 6 2 Alpha",
         {"Fighter Sweep", "Combat Air Patrol"},
         "Fighter Sweep",
         1960,
         1970,
         "1970"},
        {"select 6 2 Charlie", {}, "<none>", 1965, 1985, "1970"},
    };
    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load SingleMission"}));
    for (const Step& s : steps) {
        SCOPED_TRACE(s.step);
        if (*s.step != '\0') {
            ASSERT_TRUE(RunSteps(*session, {s.step}));
            EXPECT_TRUE(session->LastPosted().empty());
        }
        EXPECT_EQ(Rows(*session, 6, 3), s.types);
        EXPECT_EQ(Selected(*session, 6, 3), s.selectedType);
        EXPECT_EQ(Rows(*session, 6, 1), YearRows(s.first, s.last));
        EXPECT_EQ(Selected(*session, 6, 1), s.selectedYear);
    }
    ASSERT_TRUE(RunSteps(*session, {"press 5"}));
    const MissionView* mission = session->Data().Missions()->Current();
    ASSERT_NE(mission, nullptr);
    // Without a type to choose the mission gets type 0.
    EXPECT_EQ(mission->aircraft, "AC-C");
    EXPECT_EQ(mission->missionType, 0);
    EXPECT_EQ(mission->year, 1970);
    ExpectCleanFinish(*session);
}

// ---- the start: the mission created and the options stored ----------------------------------

struct StartCase {
    const char* name;
    const char* options; // the options file before the visit
    std::vector<std::string> keepMissions;
    std::vector<std::string> steps; // before the start
    MissionView mission;            // what the shell creates
    const char* section;            // the options section on disk afterwards
};

void PrintTo(const StartCase& row, std::ostream* os) {
    *os << row.name;
}

MissionView Created(const char* aircraft, const char* map, int32_t type, int32_t year, int32_t time,
                    int32_t weather, int32_t air, int32_t airDefense) {
    MissionView m;
    m.source = "created";
    m.aircraft = aircraft;
    m.map = map;
    m.missionType = type;
    m.year = year;
    m.timeOfDay = time;
    m.weather = weather;
    m.airActivity = air;
    m.airDefenseActivity = airDefense;
    return m;
}

class SortieStartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(SortieStartTest, StartCreatesTheChosenMissionAndStoresTheChoices) {
    const StartCase& c = GetParam();
    GameFolder folder;
    if (c.options != nullptr) {
        folder.Write("options.ini", c.options);
    }
    RemoveMissions(folder, c.keepMissions);
    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load SingleMission"}));
    ASSERT_TRUE(RunSteps(*session, c.steps));
    ASSERT_TRUE(RunSteps(*session, {"press 5"}));
    EXPECT_EQ(session->LastPosted(), (Posted{{3, 5}}));
    EXPECT_EQ(session->Missions()->created, 1);
    EXPECT_EQ(session->CurrentScreen(), ""); // the game flies it

    const MissionView* m = session->Data().Missions()->Current();
    ASSERT_NE(m, nullptr);
    const MissionView& e = c.mission;
    EXPECT_EQ(m->source, e.source);
    EXPECT_EQ(m->aircraft, e.aircraft);
    EXPECT_EQ(m->map, e.map);
    EXPECT_EQ(m->missionType, e.missionType);
    EXPECT_EQ(m->year, e.year);
    EXPECT_EQ(m->month, 1);
    EXPECT_EQ(m->day, 1);
    EXPECT_EQ(m->timeOfDay, e.timeOfDay);
    EXPECT_EQ(m->weather, e.weather);
    EXPECT_EQ(m->airActivity, e.airActivity);
    EXPECT_EQ(m->airDefenseActivity, e.airDefenseActivity);
    // The screen hands the shell the flown aircraft's mission object.
    EXPECT_NE(m->objectValue, 0);
    EXPECT_TRUE(Mentions(session->Log().Lines(),
                         "MNU SetMissionObject(" + std::to_string(m->objectValue) + ")"));

    EXPECT_EQ(SectionText(folder.Read("options.ini"), "SingleMission"), c.section);
    ExpectCleanFinish(*session);
}

INSTANTIATE_TEST_SUITE_P(
    Sortie, SortieStartTest,
    ::testing::Values(
        // A number selects a row: Sea Hawk's years start at 1955, so row 21 is 1976.
        StartCase{"EveryListChosen",
                  nullptr,
                  {"Desert Patrol", "First Light", "Harbour Strike", "Old Prototype"},
                  {"select 6 2 \"Sea Hawk\"", "select 6 3 \"Close Air Support\"", "select 6 1 21",
                   "select 6 4 \"Desert Basin\"", "select 6 5 Dusk", "select 6 6 Overcast",
                   "select 6 7 Heavy", "select 6 8 Light"},
                  Created("SB-3", "DESERT", 5, 1976, 6, 4, 3, 1),
                  "[SingleMission]\r\nLoadMission=FALSE\r\nAircraftType=SB-3\r\n"
                  "MissionMap=DESERT\r\nMissionYear=1976\r\nMissionType=CAS\r\n"
                  "MissionTime=DUSK\r\nMissionWeather=OVERCAST\r\nAirActivity=HEAVY\r\n"
                  "AirDefenseActivity=LIGHT\r\nStartYear=0\r\nEndYear=0\r\n"
                  "LoadMissionFilename=First Light\r\n\r\n"},
        // No choices remembered: the first aircraft and map, the aircraft's first year and
        // first type, random conditions; every key is added in the order it is read.
        StartCase{"FreshOptionsTakeTheFirstEntries",
                  "[Pilot]\nLastName=Varga\n",
                  {"Desert Patrol"},
                  {},
                  Created("FA-1", "NORTHCOAST", 0, 1958, 0, 0, 0, 0),
                  "[SingleMission]\r\nLoadMission=FALSE\r\nAircraftType=FA-1\r\n"
                  "MissionMap=NORTHCOAST\r\nMissionYear=1958\r\nMissionType=SWEEP\r\n"
                  "MissionTime=RANDOM\r\nMissionWeather=RANDOM\r\nAirActivity=RANDOM\r\n"
                  "AirDefenseActivity=RANDOM\r\nStartYear=0\r\nEndYear=0\r\n"
                  "LoadMissionFilename=Desert Patrol\r\n\r\n"},
        // Unknown names fall back to the first entries (stored in capitals), names compare
        // exactly, and the year is kept inside the aircraft's service.
        StartCase{"UnknownChoicesFallBack",
                  "[SingleMission]\nLoadMission=FALSE\nAircraftType=zx-99\nMissionMap=atlantis\n"
                  "MissionYear=2050\nMissionType=recon\nMissionTime=NIGHT\n"
                  "MissionWeather=Clear\nAirActivity=HEAVY\nAirDefenseActivity=SOME\n",
                  {},
                  {},
                  Created("FA-1", "NORTHCOAST", 0, 1975, 7, 0, 3, 0),
                  "[SingleMission]\r\nLoadMission=FALSE\r\nAircraftType=FA-1\r\n"
                  "MissionMap=NORTHCOAST\r\nMissionYear=1975\r\nMissionType=SWEEP\r\n"
                  "MissionTime=NIGHT\r\nMissionWeather=RANDOM\r\nAirActivity=HEAVY\r\n"
                  "AirDefenseActivity=RANDOM\r\nStartYear=0\r\nEndYear=0\r\n\r\n"}),
    [](const ::testing::TestParamInfo<StartCase>& row) { return row.param.name; });

// ---- the load page ---------------------------------------------------------------------------

// What the load page shows for each installed sample mission.
struct SavedMission {
    const char* name;
    const char* year;
    const char* aircraft;
    const char* type;
    const char* map;
    bool details;
};

const SavedMission kSavedMissions[] = {
    {"Desert Patrol", "1971", "Interceptor Mk IV", "Intercept", "Desert Basin", false},
    {"First Light", "1962", "Swift", "Combat Air Patrol", "North Coast", true},
    {"Harbour Strike", "1980", "Striker", "Anti-Shipping", "island chain", false},
};

const SavedMission* FindSaved(const std::string& name) {
    for (const SavedMission& m : kSavedMissions) {
        if (name == m.name) {
            return &m;
        }
    }
    return nullptr;
}

void ExpectDescribed(Session& session, const SavedMission& m) {
    EXPECT_EQ(Selected(session, 7, 2), m.name);
    EXPECT_EQ(Text(session, 7, 1), m.year);
    EXPECT_EQ(Text(session, 7, 3), m.aircraft);
    EXPECT_EQ(Text(session, 7, 4), m.type);
    EXPECT_EQ(Text(session, 7, 5), m.map);
    EXPECT_EQ(FindControl(session, 7, 14, kKindText)->visible, m.details ? 1 : 0);
    EXPECT_EQ(session.Menu()->Button(5)->enabled, 1);
}

struct ListingCase {
    const char* name;
    const char* remembered; // LoadMissionFilename before the visit; none: the key is absent
    const char* selected;   // the row selected; none: the first listed
};

void PrintTo(const ListingCase& row, std::ostream* os) {
    *os << row.name;
}

class SortieListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(SortieListingTest, ListsInstalledMissionsAndSelectsTheRememberedOne) {
    const ListingCase& c = GetParam();
    GameFolder folder;
    // A folder whose name looks like a saved mission is no mission.
    std::filesystem::create_directory(folder.Path("missions/Hangar.MSN"));
    std::string options = "[SingleMission]\nLoadMission=TRUE\n";
    if (c.remembered != nullptr) {
        options += std::string("LoadMissionFilename=") + c.remembered + "\n";
    }
    folder.Write("options.ini", options);
    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load SingleMission"}));
    ASSERT_EQ(session->Menu()->currentPage, 3);

    // "Old Prototype" names an aircraft this folder does not install.
    std::vector<std::string> rows = Rows(*session, 7, 2);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"Desert Patrol", "First Light", "Harbour Strike"}));
    EXPECT_EQ(FindControl(*session, 7, 2, kKindList)->enabled, 1);
    const std::string selected = c.selected != nullptr ? c.selected : Rows(*session, 7, 2).front();
    const SavedMission* shown = FindSaved(selected);
    ASSERT_NE(shown, nullptr) << selected;
    ExpectDescribed(*session, *shown);

    ASSERT_TRUE(RunSteps(*session, {"leave"}));
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "LoadMissionFilename"), selected);
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "LoadMission"), "TRUE");
    ExpectCleanFinish(*session);
}

INSTANTIATE_TEST_SUITE_P(
    Sortie, SortieListingTest,
    ::testing::Values(ListingCase{"RememberedMissionIsSelected", "Harbour Strike",
                                  "Harbour Strike"},
                      ListingCase{"RememberedButNotListedTakesTheFirst", "Old Prototype", nullptr},
                      ListingCase{"NothingRememberedTakesTheFirst", nullptr, nullptr}),
    [](const ::testing::TestParamInfo<ListingCase>& row) { return row.param.name; });

TEST(SortieLoadTest, SelectionDescribesEachMissionAndStartLoadsTheSelectedOne) {
    GameFolder folder;
    std::string options = folder.Read("options.ini");
    const std::string was = "LoadMission=FALSE";
    options.replace(options.find(was), was.size(), "LoadMission=TRUE");
    folder.Write("options.ini", options); // remembers "First Light"
    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load SingleMission"}));
    ExpectDescribed(*session, *FindSaved("First Light"));
    for (const char* name : {"Desert Patrol", "First Light", "Harbour Strike"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(RunSteps(*session, {std::string("select 7 2 \"") + name + "\""}));
        EXPECT_EQ(session->LastPosted(), (Posted{{6, 0}}));
        ExpectDescribed(*session, *FindSaved(name));
    }
    // The selected row is loaded, not the remembered name.
    ASSERT_TRUE(RunSteps(*session, {"press 5"}));
    EXPECT_EQ(session->LastPosted(), (Posted{{3, 5}}));
    EXPECT_EQ(session->Missions()->loaded, 1);
    EXPECT_EQ(session->Missions()->created, 0);
    const MissionView* m = session->Data().Missions()->Current();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->source, "Harbour Strike");
    EXPECT_EQ(m->aircraft, "ST-8");
    EXPECT_EQ(m->year, 1980);
    EXPECT_TRUE(Mentions(session->Log().Lines(),
                         "MNU SetMissionObject(" + std::to_string(m->objectValue) + ")"));
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "LoadMission"), "TRUE");
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "LoadMissionFilename"),
              "Harbour Strike");
    ExpectCleanFinish(*session);
}

struct EmptyCase {
    const char* name;
    std::vector<std::string> keep; // sample missions left in the folder
    const char* directory;         // a sub-directory made in the folder, or none
};

void PrintTo(const EmptyCase& row, std::ostream* os) {
    *os << row.name;
}

class SortieEmptyLoadTest : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(SortieEmptyLoadTest, NothingToLoadShowsTheDisabledNoticeAndCannotStart) {
    const EmptyCase& c = GetParam();
    GameFolder folder;
    RemoveMissions(folder, c.keep);
    if (c.directory != nullptr) {
        std::filesystem::create_directory(folder.Path(std::string("missions/") + c.directory));
    }
    std::string options = folder.Read("options.ini");
    const std::string was = "LoadMission=FALSE";
    options.replace(options.find(was), was.size(), "LoadMission=TRUE");
    folder.Write("options.ini", options);
    const std::string remembered =
        folder.Value("options.ini", "SingleMission", "LoadMissionFilename");

    auto session = OpenScreens(folder);
    ASSERT_TRUE(RunSteps(*session, {"load SingleMission"}));
    // Entry 30 of the menu texts.
    EXPECT_EQ(Rows(*session, 7, 2), (std::vector<std::string>{"No saved missions"}));
    EXPECT_EQ(FindControl(*session, 7, 2, kKindList)->enabled, 0);
    EXPECT_EQ(FindControl(*session, 7, 14, kKindText)->visible, 0);
    EXPECT_EQ(session->Menu()->Button(5)->enabled, 0);
    // The player can neither pick the notice nor start.
    ASSERT_TRUE(RunSteps(*session, {"select 7 2 0", "press 5"}));
    EXPECT_TRUE(session->LastPosted().empty());
    EXPECT_EQ(session->Missions()->loaded, 0);
    EXPECT_EQ(session->CurrentScreen(), "SingleMission");
    // Back on the setup page the start is offered again.
    ASSERT_TRUE(RunSteps(*session, {"page 2"}));
    EXPECT_EQ(session->Menu()->Button(5)->enabled, 1);
    ASSERT_TRUE(RunSteps(*session, {"page 3", "leave"}));
    EXPECT_EQ(folder.Value("options.ini", "SingleMission", "LoadMissionFilename"), remembered);
    ExpectCleanFinish(*session);
}

INSTANTIATE_TEST_SUITE_P(
    Sortie, SortieEmptyLoadTest,
    ::testing::Values(EmptyCase{"EmptyFolder", {}, nullptr},
                      EmptyCase{"OnlyUninstalledAndAFolder", {"Old Prototype"}, "Trap.MSN"}),
    [](const ::testing::TestParamInfo<EmptyCase>& row) { return row.param.name; });

} // namespace
} // namespace host
