#include "sortie/option_tables.h"

#include "core/config_document.h"
#include "platform/platform.h"
#include "sortie/sortie_module.h"

const char kMissionTypeNames[kNamedMissionTypes][16] = {
    "SWEEP", "CAP",   "INTERCEPT",    "ESCORT",    "STRIKE",
    "CAS",   "SEAD",  "INTERDICTION", "ANTI-SHIP", "ANTI-SUB",
    "FAC",   "RECON", "TRANSPORT",    "TRANSFER",  "TRAINING"};
const char kMissionTimeNames[kMissionTimeCount][16] = {"RANDOM",    "DAWN",    "MORNING", "NOON",
                                                       "AFTERNOON", "EVENING", "DUSK",    "NIGHT"};
const char kWeatherNames[kWeatherCount][16] = {"RANDOM", "CLEAR",    "SCATTERED",
                                               "BROKEN", "OVERCAST", "INCREMENT"};
const char kActivityNames[kActivityCount][8] = {"RANDOM", "LIGHT", "NORMAL", "HEAVY"};
const uint8_t OfferedMissionTypes[kMissionTypeCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                        0, 0, 1, 0, 0, 0, 0, 0};

namespace {

// Names are compared as fixed-width entries: each is NUL-terminated within its width.
template <int32_t Count, int32_t Width>
int32_t ReadName(const char* key, const char (&names)[Count][Width]) {
    ConfigDocument* options = Sortie().options;
    if (options == nullptr) {
        return 0;
    }
    char text[260] = {};
    options->GetString(kSingleMission, key, "", text, sizeof text, 0);
    text[sizeof text - 1] = '\0';
    for (int32_t i = 0; i < Count; ++i) {
        if (platform::MbCompare(text, names[i]) == 0) {
            return i;
        }
    }
    return 0;
}

template <int32_t Count, int32_t Width>
void StoreName(const char* key, int32_t index, const char (&names)[Count][Width]) {
    ConfigDocument* options = Sortie().options;
    if (options == nullptr) {
        return;
    }
    if (index <= 0) {
        index = 0;
    } else if (index >= Count - 1) {
        index = Count - 1;
    }
    options->SetString(kSingleMission, key, names[index]);
}

} // namespace

int32_t ReadMissionType() {
    return ReadName("MissionType", kMissionTypeNames);
}
int32_t ReadMissionTime() {
    return ReadName("MissionTime", kMissionTimeNames);
}
int32_t ReadMissionWeather() {
    return ReadName("MissionWeather", kWeatherNames);
}
int32_t ReadActivityLevel(const char* key) {
    return ReadName(key, kActivityNames);
}
void StoreMissionType(int32_t index) {
    StoreName("MissionType", index, kMissionTypeNames);
}
void StoreMissionTime(int32_t index) {
    StoreName("MissionTime", index, kMissionTimeNames);
}
void StoreMissionWeather(int32_t index) {
    StoreName("MissionWeather", index, kWeatherNames);
}
void StoreActivityLevel(const char* key, int32_t index) {
    StoreName(key, index, kActivityNames);
}
