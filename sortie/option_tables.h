// Translation between the option names stored in "SingleMission" and the list positions the
// setup page works with. The tables are constant data of fixed-width names. Reading compares
// exactly (code page, case-sensitive) and gives 0 for anything it does not know; storing clamps
// the index into the table, so the options only ever receive one of its names.
#pragma once

#include <cstdint>

constexpr int32_t kMissionTypeCount = 17; // types 0..16; only 0..14 have names
constexpr int32_t kNamedMissionTypes = 15;
constexpr int32_t kMissionTimeCount = 8;
constexpr int32_t kWeatherCount = 6;
constexpr int32_t kActivityCount = 4;

extern const char kMissionTypeNames[kNamedMissionTypes][16];
extern const char kMissionTimeNames[kMissionTimeCount][16];
extern const char kWeatherNames[kWeatherCount][16];
extern const char kActivityNames[kActivityCount][8];
// One flag per mission type: 1 when the setup page offers it at all.
extern const uint8_t OfferedMissionTypes[kMissionTypeCount];

int32_t ReadMissionType();
int32_t ReadMissionTime();
int32_t ReadMissionWeather();
int32_t ReadActivityLevel(const char* key);
void StoreMissionType(int32_t index);
void StoreMissionTime(int32_t index);
void StoreMissionWeather(int32_t index);
void StoreActivityLevel(const char* key, int32_t index);
