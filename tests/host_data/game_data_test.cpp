#include "host/data/game_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "host_fixture.h"

namespace {

const char kAircraft[] = "[FJ-4]\n"
                         "DisplayName=Fury Jet\n"
                         "FirstYear=1955\n"
                         "LastYear=1970\n"
                         "MissionTypes=0, 1,4\n"
                         "\n"
                         "[TX-2]\n"
                         "DisplayName=Trainer\n"
                         "Available=0\n"
                         "FirstYear=-5\n"
                         "SecondFirstYear=1990\n"
                         "SecondLastYear=2010\n"
                         "ObjectValue=1001\n"
                         "\n"
                         "[Ghost]\n"
                         "MissionTypes=\n"
                         "SecondFirstYear=1980\n"
                         "SecondRangeCount=0\n";

const char kTerrains[] = "[NORTHCOAST]\nDisplayName=North Coast\n"
                         "[Range]\nDisplayName=Test Range\nHidden=1\n"
                         "[Blank]\n";

int16_t Int16At(const uint8_t* record, int offset) {
    return static_cast<int16_t>(record[offset] | (record[offset + 1] << 8));
}

int32_t Int32At(const uint8_t* record, int offset) {
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) {
        bits = (bits << 8) | record[offset + i];
    }
    return static_cast<int32_t>(bits);
}

class GameDataTest : public HostDataTest {
protected:
    void SetUp() override {
        HostDataTest::SetUp();
        Write("objects/aircraft.ini", kAircraft);
        Write("terrains/terrains.ini", kTerrains);
    }

    IniResult LoadFolder() { return data.Load(dir.string().c_str()); }

    AircraftList& Aircraft() { return data.Objects()->Aircraft(); }

    GameData data;
};

TEST_F(GameDataTest, AircraftCatalogueEntries) {
    ASSERT_EQ(LoadFolder().ok, 1);
    ObjectList* list = nullptr;
    ObjectService* objects = data.Objects();
    objects->GetClassList(objects->FindClass("AircraftObject"), &list);
    ASSERT_EQ(list, &Aircraft());
    ASSERT_EQ(list->Count(), 3);

    struct Expect {
        const char* name;
        const char* display; // none when absent
        int available;
        uint32_t types; // bits 0..16
        int32_t objectValue;
    };
    const Expect expected[] = {
        {"FJ-4", "Fury Jet", 1, (1u << 0) | (1u << 1) | (1u << 4), 1002}, // 1001 taken by TX-2
        {"TX-2", "Trainer", 0, 0x1FFFF, 1001},
        {"Ghost", nullptr, 1, 0, 1003},
    };
    for (int i = 0; i < 3; ++i) {
        const Expect& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_STREQ(list->GetName(i), e.name);
        if (e.display == nullptr) {
            EXPECT_EQ(list->GetDisplayName(i), nullptr);
        } else {
            EXPECT_STREQ(list->GetDisplayName(i), e.display);
        }
        EXPECT_EQ(list->IsAvailable(i), e.available);
        for (int t = -1; t <= kMissionTypeCount; ++t) {
            const int flies = t >= 0 && t < kMissionTypeCount ? (e.types >> t) & 1u : 0;
            EXPECT_EQ(list->SupportsMissionType(i, t, 0), flies) << "type " << t;
        }
        EXPECT_EQ(Aircraft().Entry(i)->objectValue, e.objectValue);
        EXPECT_EQ(list->LookupMissionObject(e.objectValue), e.objectValue);
    }
    EXPECT_EQ(list->LookupMissionObject(0), 0);
    EXPECT_EQ(list->LookupMissionObject(1004), 0);
    EXPECT_EQ(list->LookupMissionObject(-1), 0);
}

TEST_F(GameDataTest, AircraftRecordHoldsSignedYearsAtFixedOffsets) {
    ASSERT_EQ(LoadFolder().ok, 1);
    struct Expect {
        int index;
        int16_t first, last, secondFirst, secondLast, count;
    };
    const Expect expected[] = {
        {0, 1955, 1970, 0, 0, 0},
        {1, -5, 0, 1990, 2010, 1}, // a second range sets the count
        {2, 0, 0, 1980, 0, 0},     // unless the file says otherwise
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.index);
        const uint8_t* record = nullptr;
        ASSERT_EQ(Aircraft().GetRecord(e.index, &record), 1);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(Int16At(record, kAircraftFirstYearOffset), e.first);
        EXPECT_EQ(Int16At(record, kAircraftLastYearOffset), e.last);
        EXPECT_EQ(Int16At(record, kAircraftSecondFirstYearOffset), e.secondFirst);
        EXPECT_EQ(Int16At(record, kAircraftSecondLastYearOffset), e.secondLast);
        EXPECT_EQ(Int16At(record, kAircraftSecondRangeCountOffset), e.count);
        for (int b = 0; b < kAircraftFirstYearOffset; ++b) {
            ASSERT_EQ(record[b], 0) << "byte " << b;
        }
    }
    EXPECT_EQ(Aircraft().GetRecord(1, nullptr), 0);
}

TEST_F(GameDataTest, LookupsIgnoreCaseAndOutOfRangeIsSafe) {
    ASSERT_EQ(LoadFolder().ok, 1);
    ObjectService* objects = data.Objects();
    TerrainService* terrains = data.Terrains();
    EXPECT_EQ(objects->FindClass("aircraftOBJECT"), kAircraftClassId);
    EXPECT_EQ(objects->FindClass("ShipObject"), -1);
    EXPECT_EQ(objects->FindClass(nullptr), -1);
    ObjectList* list = &Aircraft();
    objects->GetClassList(99, &list);
    EXPECT_EQ(list, nullptr);

    struct Lookup {
        const char* name;
        int32_t aircraft;
        int32_t terrain;
    };
    const Lookup lookups[] = {{"fj-4", 0, -1},       {"TX-2", 1, -1},  {"GHOST", 2, -1},
                              {"northcoast", -1, 0}, {"RANGE", -1, 1}, {"", -1, -1},
                              {nullptr, -1, -1},     {"FJ-", -1, -1},  {"FJ-4 ", -1, -1}};
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(l.name != nullptr ? l.name : "(none)");
        EXPECT_EQ(Aircraft().FindByName(l.name), l.aircraft);
        EXPECT_EQ(terrains->FindByName(l.name), l.terrain);
    }
    for (int32_t bad : {-1, 3, 1000}) {
        SCOPED_TRACE(bad);
        const uint8_t* record = reinterpret_cast<const uint8_t*>(&bad);
        EXPECT_EQ(Aircraft().GetRecord(bad, &record), 0);
        EXPECT_EQ(record, nullptr);
        EXPECT_EQ(Aircraft().GetDisplayName(bad), nullptr);
        EXPECT_STREQ(Aircraft().GetName(bad), "");
        EXPECT_EQ(Aircraft().IsAvailable(bad), 0);
        EXPECT_EQ(terrains->GetDisplayName(bad), nullptr);
        EXPECT_STREQ(terrains->GetName(bad), "");
        EXPECT_EQ(terrains->IsHidden(bad), 0);
    }
}

TEST_F(GameDataTest, TerrainCatalogueEntries) {
    ASSERT_EQ(LoadFolder().ok, 1);
    TerrainService* terrains = data.Terrains();
    ASSERT_EQ(terrains->Count(), 3);
    EXPECT_STREQ(terrains->GetDisplayName(0), "North Coast");
    EXPECT_EQ(terrains->IsHidden(0), 0);
    EXPECT_STREQ(terrains->GetName(1), "Range");
    EXPECT_EQ(terrains->IsHidden(1), 1);
    EXPECT_EQ(terrains->GetDisplayName(2), nullptr);
}

struct CatalogueError {
    const char* label;
    const char* file; // relative to the game folder
    std::string text;
    int line;
    const char* fragment;
};

TEST_F(GameDataTest, CatalogueErrorsNameFileLineAndKeepWhatWasLoaded) {
    ASSERT_EQ(LoadFolder().ok, 1);
    const CatalogueError cases[] = {
        {"misspelt key", "objects/aircraft.ini", "[A]\nDisplayName=A\nDisplayNmae=B\n", 3,
         "unknown key DisplayNmae in [A]; known keys are"},
        {"year beyond 16 bits", "objects/aircraft.ini", "[A]\nFirstYear=40000\n", 2,
         "FirstYear of [A] is \"40000\"; write a whole number from -32768 to 32767"},
        {"year with text", "objects/aircraft.ini", "[A]\nLastYear=1970s\n", 2, "LastYear of [A]"},
        {"years reversed", "objects/aircraft.ini", "[A]\nFirstYear=1980\nLastYear=1970\n", 1,
         "FirstYear 1980 after LastYear 1970"},
        {"mission type 17", "objects/aircraft.ini", "[A]\nMissionTypes=1,17\n", 2,
         "holds \"17\"; list mission types 0 to 16"},
        {"repeated object value", "objects/aircraft.ini",
         "[A]\nObjectValue=5\n[B]\nObjectValue=5\n", 3, "repeats ObjectValue 5"},
        {"availability not a flag", "objects/aircraft.ini", "[A]\nAvailable=yes\n", 2,
         "Available of [A]"},
        {"duplicate aircraft", "objects/aircraft.ini", "[A]\n[a]\n", 2, "duplicate section [a]"},
        {"aircraft name too long", "objects/aircraft.ini",
         "[A]\n[" + std::string(MissionHeader::kNameSize, 'N') + "]\n", 2,
         "section name is longer than 259 bytes"},
        {"terrain name too long", "terrains/terrains.ini",
         "[" + std::string(MissionHeader::kNameSize, 'T') + "]\n", 1,
         "section name is longer than 259 bytes"},
        {"terrain flag", "terrains/terrains.ini", "[T]\nHidden=2\n", 2, "Hidden of [T]"},
        {"terrain key", "terrains/terrains.ini", "[T]\nName=x\n", 2, "unknown key Name in [T]"},
    };
    for (const CatalogueError& c : cases) {
        SCOPED_TRACE(c.label);
        Write("objects/aircraft.ini", kAircraft);
        Write("terrains/terrains.ini", kTerrains);
        const std::string path = Write(c.file, c.text);
        const IniResult result = LoadFolder();
        EXPECT_EQ(result.ok, 0);
        EXPECT_EQ(result.line, c.line);
        const std::string where = "/" + std::string(c.file) + ":" + std::to_string(c.line) + ": ";
        EXPECT_NE(result.message.find(where), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(c.fragment), std::string::npos) << result.message;
        // The catalogues loaded before stay in service.
        EXPECT_EQ(Aircraft().Count(), 3);
        EXPECT_EQ(data.Terrains()->Count(), 3);
    }
}

TEST_F(GameDataTest, MissingCatalogueSaysWhatAFolderNeeds) {
    std::filesystem::remove(dir / "terrains" / "terrains.ini");
    const IniResult result = LoadFolder();
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(result.notFound, 1);
    EXPECT_NE(result.message.find("terrains.ini: cannot open"), std::string::npos)
        << result.message;
    EXPECT_NE(result.message.find("every game folder needs"), std::string::npos);
    EXPECT_EQ(data.Load("").ok, 0);
}

class MissionTest : public GameDataTest {
protected:
    void SetUp() override {
        GameDataTest::SetUp();
        Write("missions/Dawn Patrol.MSN", "[Mission]\nAircraft=fj-4\nMap=NorthCoast\nType=4\n"
                                          "Year=1962\nMonth=6\nDay=14\nTime=1\nWeather=2\n"
                                          "AirActivity=3\nAirDefenseActivity=1\n"
                                          "Details=Strike the bridge at first light.\n");
        Write("missions/lower.msn", "[Mission]\nAircraft=TX-2\nMap=Range\n");
        Write("missions/Lost.MSN", "[Mission]\nAircraft=ZZ-9\nMap=NORTHCOAST\n");
        Write("missions/Broken.MSN", "[Mission]\nAircraft=FJ-4\nMap=NORTHCOAST\nType=17\n");
        Write("missions/Long.MSN",
              "[Mission]\nAircraft=" + std::string(300, 'L') + "\nMap=NORTHCOAST\n");
        ASSERT_EQ(LoadFolder().ok, 1);
        missions = data.Missions();
        missions->SetClientMemory(&shell.memory, "SMSN");
    }

    void TearDown() override {
        missions->SetClientMemory(nullptr, nullptr);
        GameDataTest::TearDown();
    }

    MissionStore* missions = nullptr;
};

TEST_F(MissionTest, HeaderIsFilledAndDetailsGoToTheClientTag) {
    MissionHeader header;
    std::memset(&header, 0xCD, sizeof header);
    missions->ReadMissionHeader("Dawn Patrol", &header);
    EXPECT_EQ(header.reserved0, 0);
    EXPECT_EQ(header.missionType, 4);
    EXPECT_STREQ(header.aircraftName, "fj-4");
    EXPECT_STREQ(header.mapName, "NorthCoast");
    for (int32_t reserved : header.reserved528) {
        EXPECT_EQ(reserved, 0);
    }
    EXPECT_EQ(header.date.year, 1962);
    EXPECT_EQ(header.date.month, 6);
    EXPECT_EQ(header.date.day, 14);
    // Names are zero-filled after the text, so nothing of the old contents shows.
    EXPECT_EQ(header.aircraftName[MissionHeader::kNameSize - 1], 0);
    ASSERT_NE(header.details, nullptr);
    EXPECT_STREQ(header.details, "Strike the bridge at first light.");
    EXPECT_EQ(shell.memory.LiveBlocks("SMSN"), 1);
    EXPECT_TRUE(shell.memory.IsLive(header.details));
    shell.memory.Free(header.details);

    // Without details, or without client memory, no block is handed out.
    missions->ReadMissionHeader("LOWER", &header); // the file is lower.msn
    EXPECT_STREQ(header.aircraftName, "TX-2");
    EXPECT_EQ(header.details, nullptr);
    EXPECT_EQ(header.date.month, 1);
    missions->SetClientMemory(nullptr, nullptr);
    missions->ReadMissionHeader("Dawn Patrol", &header);
    EXPECT_STREQ(header.mapName, "NorthCoast");
    EXPECT_EQ(header.details, nullptr);
    EXPECT_EQ(shell.memory.LiveBlocks("SMSN"), 0);
}

TEST_F(MissionTest, UnreadableOrUnsafeNamesLeaveAnEmptyHeader) {
    const char* names[] = {"Broken",           "Absent", "",  "..\\missions\\Lost",
                           "../missions/Lost", "Lo?t",   "*", nullptr};
    for (const char* name : names) {
        SCOPED_TRACE(name != nullptr ? name : "(none)");
        MissionHeader header;
        std::memset(&header, 0xCD, sizeof header);
        missions->ReadMissionHeader(name, &header);
        EXPECT_EQ(header.missionType, 0);
        EXPECT_STREQ(header.aircraftName, "");
        EXPECT_STREQ(header.mapName, "");
        EXPECT_EQ(header.date.year, 0);
        EXPECT_EQ(header.date.month, 1);
        EXPECT_EQ(header.date.day, 1);
        EXPECT_EQ(header.details, nullptr);
        EXPECT_FALSE(missions->LastError().empty());
    }
    missions->ReadMissionHeader("Broken", nullptr); // no crash
    MissionHeader header{};
    missions->ReadMissionHeader("Broken", &header);
    EXPECT_NE(missions->LastError().find("Broken.MSN:4: Type of [Mission]"), std::string::npos)
        << missions->LastError();
}

TEST_F(MissionTest, RelativeFolderSurvivesADirectoryChange) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    GameData relative;
    const IniResult result = relative.Load(".");
    std::filesystem::current_path(dir / "missions"); // as the load page does while listing
    MissionHeader header{};
    relative.Missions()->ReadMissionHeader("lower", &header);
    std::filesystem::current_path(before);
    ASSERT_EQ(result.ok, 1) << result.message;
    EXPECT_STREQ(header.aircraftName, "TX-2") << relative.Missions()->LastError();
}

TEST_F(MissionTest, OverlongNamesAreCutAndTerminated) {
    MissionHeader header;
    std::memset(&header, 0xCD, sizeof header);
    missions->ReadMissionHeader("Long", &header);
    EXPECT_EQ(std::strlen(header.aircraftName), static_cast<size_t>(MissionHeader::kNameSize - 1));
    EXPECT_STREQ(header.mapName, "NORTHCOAST");
}

TEST_F(MissionTest, LoadingMakesTheMissionCurrent) {
    const uint8_t* record = reinterpret_cast<const uint8_t*>(this);
    missions->GetCurrentMission(&record);
    EXPECT_EQ(record, nullptr); // none before any mission
    EXPECT_EQ(missions->Current(), nullptr);

    EXPECT_EQ(missions->LoadSavedMission("dawn patrol"), 1);
    missions->GetCurrentMission(&record);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(Int32At(record, kCurrentMissionObjectOffset), 1002);
    EXPECT_EQ(Aircraft().LookupMissionObject(Int32At(record, kCurrentMissionObjectOffset)), 1002);
    const MissionView* current = missions->Current();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->source, "dawn patrol");
    EXPECT_EQ(current->timeOfDay, 1);
    EXPECT_EQ(current->weather, 2);
    EXPECT_EQ(current->airActivity, 3);
    EXPECT_EQ(current->airDefenseActivity, 1);
    EXPECT_EQ(missions->DescribeCurrentMission(),
              "saved mission dawn patrol: type 4, aircraft fj-4 (Fury Jet), map NorthCoast (North "
              "Coast), date 1962-06-14, time of day 1, weather 2, air activity 3, air-defence "
              "activity 1, object value 1002, details: Strike the bridge at first light.");

    // A mission whose aircraft is not installed, or that cannot be read, is not loaded and the
    // current mission stays.
    for (const char* name : {"Lost", "Broken", "Absent", "../x"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(missions->LoadSavedMission(name), 0);
        EXPECT_EQ(missions->Current()->source, "dawn patrol");
    }
    EXPECT_NE(missions->LastError().find("not a plain file name"), std::string::npos);
    EXPECT_EQ(missions->LoadSavedMission("Lost"), 0);
    EXPECT_EQ(missions->LastError(), "aircraft ZZ-9 is not installed");
    EXPECT_EQ(shell.memory.LiveBlocks("SMSN"), 0); // loading hands out no block
}

MissionSettings Settings(const char* aircraft, const char* map) {
    MissionSettings s{};
    s.header.missionType = 1;
    std::strncpy(s.header.aircraftName, aircraft, sizeof s.header.aircraftName - 1);
    std::strncpy(s.header.mapName, map, sizeof s.header.mapName - 1);
    s.header.date = {1968, 1, 1};
    s.timeOfDay = 7;
    s.weather = 5;
    s.airActivity = 3;
    s.airDefenseActivity = 2;
    return s;
}

TEST_F(MissionTest, CreateMissionDecodesSettings) {
    MissionSettings s = Settings("FJ-4", "NORTHCOAST");
    ASSERT_EQ(missions->CreateMission(&s), 1);
    const MissionView* m = missions->Current();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->source, "created");
    EXPECT_EQ(m->missionType, 1);
    EXPECT_EQ(m->aircraft, "FJ-4");
    EXPECT_EQ(m->map, "NORTHCOAST");
    EXPECT_EQ(m->year, 1968);
    EXPECT_EQ(m->timeOfDay, 7);
    EXPECT_EQ(m->weather, 5);
    EXPECT_EQ(m->airActivity, 3);
    EXPECT_EQ(m->airDefenseActivity, 2);
    const uint8_t* record = nullptr;
    missions->GetCurrentMission(&record);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(Int32At(record, kCurrentMissionObjectOffset), 1002);

    // Indexes outside their tables are recorded as random (0).
    s.timeOfDay = 8;
    s.weather = -1;
    s.airActivity = 4;
    s.airDefenseActivity = 99;
    ASSERT_EQ(missions->CreateMission(&s), 1);
    EXPECT_EQ(missions->Current()->timeOfDay, 0);
    EXPECT_EQ(missions->Current()->weather, 0);
    EXPECT_EQ(missions->Current()->airActivity, 0);
    EXPECT_EQ(missions->Current()->airDefenseActivity, 0);
}

TEST_F(MissionTest, CreateMissionRefusesWhatCannotBeFlown) {
    struct Refused {
        const char* label;
        MissionSettings settings;
        const char* error;
    };
    Refused cases[] = {
        {"unknown aircraft", Settings("ZZ-9", "NORTHCOAST"), "aircraft ZZ-9 is not installed"},
        {"unknown map", Settings("FJ-4", "MOON"), "map MOON is not installed"},
        {"type 17", Settings("FJ-4", "NORTHCOAST"), "mission type 17 is outside 0..16"},
        {"month 13", Settings("FJ-4", "NORTHCOAST"), "is not a date"},
        {"unterminated names", Settings("FJ-4", "NORTHCOAST"), "is not installed"},
    };
    cases[2].settings.header.missionType = 17;
    cases[3].settings.header.date.month = 13;
    std::memset(cases[4].settings.header.aircraftName, 'A', MissionHeader::kNameSize);
    std::memset(cases[4].settings.header.mapName, 'M', MissionHeader::kNameSize);

    MissionSettings good = Settings("TX-2", "Range");
    ASSERT_EQ(missions->CreateMission(&good), 1);
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(missions->CreateMission(&c.settings), 0);
        EXPECT_NE(missions->LastError().find(c.error), std::string::npos) << missions->LastError();
        EXPECT_EQ(missions->Current()->aircraft, "TX-2");
    }
}

TEST_F(MissionTest, CreateMissionWithoutSettingsTakesTheDefaults) {
    ASSERT_EQ(missions->CreateMission(nullptr), 1);
    const MissionView* m = missions->Current();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->aircraft, "FJ-4");  // first available aircraft with a display name
    EXPECT_EQ(m->map, "NORTHCOAST"); // first shown terrain with a display name
    EXPECT_EQ(m->missionType, 0);    // its first type
    EXPECT_EQ(m->year, 1955);        // its first year
    EXPECT_EQ(m->month, 1);
    EXPECT_EQ(m->day, 1);
}

} // namespace

namespace {

// The bundled game folder loads cleanly and holds the cases the plug-ins' lists are tried on.
TEST_F(HostDataTest, SampleGameFolderLoadsAndCoversTheListCases) {
    GameData data;
    const IniResult result = data.Load(MENU_SAMPLE_GAME_DIR);
    ASSERT_EQ(result.ok, 1) << result.message;
    AircraftList& aircraft = data.Objects()->Aircraft();
    int unavailable = 0, secondRange = 0, noDisplayName = 0, sharedDisplayName = 0;
    std::map<std::string, int> displayNames;
    for (int32_t i = 0; i < aircraft.Count(); ++i) {
        const AircraftEntry* e = aircraft.Entry(i);
        unavailable += e->available ? 0 : 1;
        secondRange += e->record[kAircraftSecondRangeCountOffset] > 0 ? 1 : 0;
        noDisplayName += e->hasDisplayName ? 0 : 1;
        if (e->hasDisplayName && ++displayNames[e->displayName] == 2) {
            ++sharedDisplayName;
        }
    }
    EXPECT_GE(aircraft.Count(), 12);
    EXPECT_GE(unavailable, 1);
    EXPECT_GE(secondRange, 1);
    EXPECT_GE(noDisplayName, 1);
    EXPECT_GE(sharedDisplayName, 1);
    int hidden = 0;
    for (int32_t i = 0; i < data.Terrains()->Count(); ++i) {
        hidden += data.Terrains()->IsHidden(i);
    }
    EXPECT_GE(hidden, 1);

    MissionStore* missions = data.Missions();
    missions->SetClientMemory(&shell.memory, "SMSN");
    struct Saved {
        const char* name;
        int loads;
        bool details;
    };
    const Saved saved[] = {{"First Light", 1, true},
                           {"Harbour Strike", 1, false},
                           {"Desert Patrol", 1, false},
                           {"Old Prototype", 0, false}};
    for (const Saved& s : saved) {
        SCOPED_TRACE(s.name);
        MissionHeader header{};
        missions->ReadMissionHeader(s.name, &header);
        EXPECT_NE(header.aircraftName[0], 0) << missions->LastError();
        EXPECT_EQ(header.details != nullptr, s.details);
        if (header.details != nullptr) {
            shell.memory.Free(header.details);
        }
        EXPECT_EQ(missions->LoadSavedMission(s.name), s.loads) << missions->LastError();
    }
    missions->SetClientMemory(nullptr, nullptr);

    // The remembered single-mission choices name what the folder installs.
    ConfigDocument options;
    const std::string optionsPath = std::string(MENU_SAMPLE_GAME_DIR) + "/options.ini";
    ASSERT_EQ(LoadIniDocument(optionsPath.c_str(), 1, &options).ok, 1);
    char name[MissionHeader::kNameSize];
    options.GetString("SingleMission", "AircraftType", "", name, sizeof name, 0);
    EXPECT_GE(aircraft.FindByName(name), 0) << name;
    options.GetString("SingleMission", "MissionMap", "", name, sizeof name, 0);
    EXPECT_GE(data.Terrains()->FindByName(name), 0) << name;
    options.GetString("SingleMission", "LoadMissionFilename", "", name, sizeof name, 0);
    EXPECT_EQ(missions->LoadSavedMission(name), 1) << name;
    DestroyIniDocument(&options);
}

} // namespace
