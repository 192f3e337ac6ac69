#include "sortie/option_tables.h"

#include "tests/sortie/sortie_fixture.h"

namespace sortie_test {
namespace {

class OptionTables : public SortieBound {};

int32_t ReadByKey(const std::string& key) {
    if (key == "MissionType") {
        return ReadMissionType();
    }
    if (key == "MissionTime") {
        return ReadMissionTime();
    }
    if (key == "MissionWeather") {
        return ReadMissionWeather();
    }
    return ReadActivityLevel(key.c_str());
}

TEST_F(OptionTables, AnAbsentKeyReadsAsTheFirstEntry) {
    Bind();
    for (const char* key :
         {"MissionType", "MissionTime", "MissionWeather", "AirActivity", "AirDefenseActivity"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(ReadByKey(key), 0);
        // The document adds what was asked for, with the empty default.
        EXPECT_NE(OptionText(options, key), "<missing>");
    }
}

TEST_F(OptionTables, ReadingMatchesNamesExactly) {
    Bind();
    struct Case {
        const char* key;
        const char* stored;
        int32_t expected;
    };
    const Case cases[] = {
        {"MissionType", "RECON", 11},       {"MissionType", "recon", 0},
        {"MissionType", "RANDOM", 0},       {"MissionType", "TRAINING", 14},
        {"MissionType", "ANTI-SHIP", 8},    {"MissionType", "RECONX", 0},
        {"MissionType", "SWEEP", 0},        {"MissionType", "CAP", 1},
        {"MissionTime", "NIGHT", 7},        {"MissionTime", "AFTERNOON", 4},
        {"MissionTime", "Dusk", 0},         {"MissionWeather", "INCREMENT", 5},
        {"MissionWeather", "CLEAR", 1},     {"AirActivity", "HEAVY", 3},
        {"AirDefenseActivity", "LIGHT", 1}, {"AirDefenseActivity", "NORMALLY", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        ASSERT_EQ(options.SetString(kSingleMission, c.key, c.stored), 1);
        EXPECT_EQ(ReadByKey(c.key), c.expected);
    }
}

TEST_F(OptionTables, StoringClampsTheIndexIntoTheTable) {
    Bind();
    struct Case {
        const char* key;
        int32_t index;
        const char* expected;
    };
    const Case cases[] = {
        {"MissionTime", 9, "NIGHT"},
        {"MissionTime", 7, "NIGHT"},
        {"MissionTime", 6, "DUSK"},
        {"MissionTime", -1, "RANDOM"},
        {"AirActivity", -3, "RANDOM"},
        {"AirActivity", 2, "NORMAL"},
        {"AirDefenseActivity", 99, "HEAVY"},
        {"MissionType", 16, "TRAINING"},
        {"MissionType", 15, "TRAINING"},
        {"MissionType", 11, "RECON"},
        {"MissionType", 0, "SWEEP"},
        {"MissionWeather", 5, "INCREMENT"},
        {"MissionWeather", 1000, "INCREMENT"},
        {"MissionWeather", 3, "BROKEN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.index));
        const std::string key = c.key;
        if (key == "MissionType") {
            StoreMissionType(c.index);
        } else if (key == "MissionTime") {
            StoreMissionTime(c.index);
        } else if (key == "MissionWeather") {
            StoreMissionWeather(c.index);
        } else {
            StoreActivityLevel(c.key, c.index);
        }
        EXPECT_EQ(OptionText(options, c.key), c.expected);
    }
}

TEST_F(OptionTables, EveryStoredNameReadsBackAsItsIndex) {
    Bind();
    for (int32_t i = 0; i < kNamedMissionTypes; ++i) {
        StoreMissionType(i);
        EXPECT_EQ(ReadMissionType(), i) << kMissionTypeNames[i];
    }
    for (int32_t i = 0; i < kMissionTimeCount; ++i) {
        StoreMissionTime(i);
        EXPECT_EQ(ReadMissionTime(), i) << kMissionTimeNames[i];
    }
    for (int32_t i = 0; i < kWeatherCount; ++i) {
        StoreMissionWeather(i);
        EXPECT_EQ(ReadMissionWeather(), i) << kWeatherNames[i];
    }
    for (int32_t i = 0; i < kActivityCount; ++i) {
        StoreActivityLevel("AirActivity", i);
        EXPECT_EQ(ReadActivityLevel("AirActivity"), i) << kActivityNames[i];
    }
}

} // namespace
} // namespace sortie_test
