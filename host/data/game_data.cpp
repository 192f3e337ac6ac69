#include "host/data/game_data.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/platform.h"

namespace {

constexpr int32_t kFirstAutoObjectValue = 1001;

// Strict decimal integer: optional sign, digits, nothing else; within [low, high].
bool ParseInteger(const std::string& text, long long low, long long high, long long* out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
        if (value > 1000000000000LL) {
            return false;
        }
    }
    value = negative ? -value : value;
    if (value < low || value > high) {
        return false;
    }
    *out = value;
    return true;
}

IniResult Ok() {
    IniResult result;
    result.ok = 1;
    return result;
}

// Reads an integer key; absent keys keep *out.
IniResult ReadInteger(const char* path, const IniSection& section, const char* key, long long low,
                      long long high, int32_t* out) {
    const IniEntry* entry = section.Find(key);
    if (entry == nullptr) {
        return Ok();
    }
    long long value = 0;
    if (!ParseInteger(entry->text, low, high, &value)) {
        return MakeIniError(path, entry->line,
                            "%s of [%s] is \"%s\"; write a whole number from %d to %d", key,
                            section.name.c_str(), entry->text.c_str(), static_cast<int>(low),
                            static_cast<int>(high));
    }
    *out = static_cast<int32_t>(value);
    return Ok();
}

IniResult ReadFlag(const char* path, const IniSection& section, const char* key, bool* out) {
    int32_t value = *out ? 1 : 0;
    IniResult result = ReadInteger(path, section, key, 0, 1, &value);
    *out = value != 0;
    return result;
}

// Every key of the section must be one of `known` (a null-terminated list).
IniResult CheckKeys(const char* path, const IniSection& section, const char* const* known,
                    const char* knownText) {
    for (const IniEntry& entry : section.entries) {
        bool found = false;
        for (const char* const* k = known; *k != nullptr && !found; ++k) {
            found = FoldIniName(entry.name.c_str()) == FoldIniName(*k);
        }
        if (!found) {
            return MakeIniError(path, entry.line, "unknown key %s in [%s]; known keys are %s",
                                entry.name.c_str(), section.name.c_str(), knownText);
        }
    }
    return Ok();
}

IniResult ReadMissionTypes(const char* path, const IniSection& section, uint32_t* out) {
    const IniEntry* entry = section.Find("MissionTypes");
    constexpr uint32_t kAll = (1u << kMissionTypeCount) - 1u;
    if (entry == nullptr) {
        *out = kAll;
        return Ok();
    }
    if (FoldIniName(entry->text.c_str()) == "all") {
        *out = kAll;
        return Ok();
    }
    uint32_t types = 0;
    size_t start = 0;
    const std::string& text = entry->text;
    while (start < text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        std::string item = text.substr(start, comma - start);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
            item.erase(item.begin());
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.pop_back();
        }
        long long type = 0;
        if (!ParseInteger(item, 0, kMissionTypeCount - 1, &type)) {
            return MakeIniError(path, entry->line,
                                "MissionTypes of [%s] holds \"%s\"; list mission types 0 to %d "
                                "separated by commas, or write ALL",
                                section.name.c_str(), item.c_str(), kMissionTypeCount - 1);
        }
        types |= 1u << type;
        start = comma + 1;
    }
    *out = types;
    return Ok();
}

void PutInt16(uint8_t* record, int offset, int32_t value) {
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(value));
    record[offset] = static_cast<uint8_t>(bits & 0xFF);
    record[offset + 1] = static_cast<uint8_t>(bits >> 8);
}

void PutInt32(uint8_t* record, int offset, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        record[offset + i] = static_cast<uint8_t>((bits >> (8 * i)) & 0xFF);
    }
}

void ReadDisplayName(const IniSection& section, std::string* name, bool* has) {
    const IniEntry* entry = section.Find("DisplayName");
    *has = entry != nullptr && !entry->text.empty();
    *name = *has ? entry->text : std::string();
}

bool IsUnsafeMissionName(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return true;
    }
    const size_t length = strnlen(name, MissionHeader::kNameSize);
    if (length >= static_cast<size_t>(MissionHeader::kNameSize) - 4) {
        return true;
    }
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
        return true;
    }
    for (size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x20 || std::strchr("\\/:*?\"<>|", byte) != nullptr) {
            return true;
        }
    }
    return false;
}

// A header field that may be unterminated: at most kNameSize bytes.
std::string BoundedName(const char* text) {
    return std::string(text, strnlen(text, MissionHeader::kNameSize));
}

// Internal names travel through 260-byte buffers (options, mission headers); a longer one could
// never be found again.
IniResult CheckInternalName(const char* path, const IniSection& section) {
    if (section.name.size() >= static_cast<size_t>(MissionHeader::kNameSize)) {
        return MakeIniError(path, section.line,
                            "section name is longer than %d bytes; internal names must fit the "
                            "shell's name buffers, shorten it",
                            MissionHeader::kNameSize - 1);
    }
    return Ok();
}

int32_t Clamp(int32_t value, int32_t count) {
    return value >= 0 && value < count ? value : 0;
}

} // namespace

// ---- aircraft ---------------------------------------------------------------------------------

IniResult ParseAircraftCatalog(const char* path, std::vector<AircraftEntry>* out) {
    IniFile file;
    IniResult result = ParseIniFile(path, &file);
    if (result.ok == 0) {
        return result;
    }
    static const char* const kKeys[] = {
        "DisplayName",     "Available",      "MissionTypes",     "FirstYear",   "LastYear",
        "SecondFirstYear", "SecondLastYear", "SecondRangeCount", "ObjectValue", nullptr};
    static const char kKeysText[] = "DisplayName, Available, MissionTypes, FirstYear, LastYear, "
                                    "SecondFirstYear, SecondLastYear, SecondRangeCount, "
                                    "ObjectValue";
    std::vector<AircraftEntry> entries;
    std::unordered_map<int32_t, int> valueLines;
    for (const IniSection& section : file.sections) {
        if ((result = CheckKeys(path, section, kKeys, kKeysText)).ok == 0) {
            return result;
        }
        AircraftEntry entry;
        if ((result = CheckInternalName(path, section)).ok == 0) {
            return result;
        }
        entry.name = section.name;
        entry.line = section.line;
        ReadDisplayName(section, &entry.displayName, &entry.hasDisplayName);
        int32_t years[4] = {0, 0, 0, 0};
        const char* yearKeys[4] = {"FirstYear", "LastYear", "SecondFirstYear", "SecondLastYear"};
        for (int k = 0; k < 4; ++k) {
            if ((result = ReadInteger(path, section, yearKeys[k], -32768, 32767, &years[k])).ok ==
                0) {
                return result;
            }
        }
        for (int k = 0; k < 4; k += 2) {
            if (years[k] != 0 && years[k + 1] != 0 && years[k] > years[k + 1]) {
                return MakeIniError(
                    path, section.line, "[%s] has %s %d after %s %d; swap or correct them",
                    section.name.c_str(), yearKeys[k], years[k], yearKeys[k + 1], years[k + 1]);
            }
        }
        int32_t count = (years[2] != 0 || years[3] != 0) ? 1 : 0;
        if ((result = ReadInteger(path, section, "SecondRangeCount", -32768, 32767, &count)).ok ==
                0 ||
            (result = ReadFlag(path, section, "Available", &entry.available)).ok == 0 ||
            (result = ReadMissionTypes(path, section, &entry.missionTypes)).ok == 0 ||
            (result = ReadInteger(path, section, "ObjectValue", 1, INT32_MAX, &entry.objectValue))
                    .ok == 0) {
            return result;
        }
        if (entry.objectValue != 0) {
            const auto [first, added] = valueLines.emplace(entry.objectValue, section.line);
            if (!added) {
                return MakeIniError(path, section.line,
                                    "[%s] repeats ObjectValue %d of the aircraft at line %d; "
                                    "give every aircraft its own value",
                                    section.name.c_str(), entry.objectValue, first->second);
            }
        }
        PutInt16(entry.record, kAircraftFirstYearOffset, years[0]);
        PutInt16(entry.record, kAircraftLastYearOffset, years[1]);
        PutInt16(entry.record, kAircraftSecondFirstYearOffset, years[2]);
        PutInt16(entry.record, kAircraftSecondLastYearOffset, years[3]);
        PutInt16(entry.record, kAircraftSecondRangeCountOffset, count);
        entries.push_back(std::move(entry));
    }
    int32_t next = kFirstAutoObjectValue;
    for (AircraftEntry& entry : entries) {
        if (entry.objectValue == 0) {
            while (valueLines.count(next) != 0) {
                ++next;
            }
            entry.objectValue = next++;
        }
    }
    *out = std::move(entries);
    return Ok();
}

IniResult AircraftList::Load(const char* path) {
    std::vector<AircraftEntry> entries;
    IniResult result = ParseAircraftCatalog(path, &entries);
    if (result.ok != 0) {
        Assign(std::move(entries));
    }
    return result;
}

void AircraftList::Assign(std::vector<AircraftEntry> entries) {
    entries_.Assign(std::move(entries));
    byValue_.clear();
    const std::vector<AircraftEntry>& all = entries_.All();
    for (size_t i = 0; i < all.size(); ++i) {
        byValue_.emplace(all[i].objectValue, static_cast<int32_t>(i));
    }
}

const AircraftEntry* AircraftList::Entry(int32_t index) const {
    return entries_.At(index);
}

int32_t AircraftList::IndexOfObjectValue(int32_t value) const {
    const auto it = byValue_.find(value);
    return it != byValue_.end() ? it->second : -1;
}

int32_t AircraftList::Count() {
    return entries_.Count();
}

const char* AircraftList::GetDisplayName(int32_t index) {
    return entries_.DisplayName(index);
}

const char* AircraftList::GetName(int32_t index) {
    return entries_.Name(index);
}

int32_t AircraftList::FindByName(const char* name) {
    return entries_.Find(name);
}

int32_t AircraftList::GetRecord(int32_t index, const uint8_t** holder) {
    const AircraftEntry* entry = Entry(index);
    if (holder != nullptr) {
        *holder = entry != nullptr ? entry->record : nullptr;
    }
    return entry != nullptr && holder != nullptr ? 1 : 0;
}

int32_t AircraftList::IsAvailable(int32_t index) {
    const AircraftEntry* entry = Entry(index);
    return entry != nullptr && entry->available ? 1 : 0;
}

int32_t AircraftList::SupportsMissionType(int32_t index, int32_t missionType, int32_t) {
    const AircraftEntry* entry = Entry(index);
    if (entry == nullptr || missionType < 0 || missionType >= kMissionTypeCount) {
        return 0;
    }
    return (entry->missionTypes >> missionType) & 1u ? 1 : 0;
}

int32_t AircraftList::LookupMissionObject(int32_t value) {
    return value != 0 && IndexOfObjectValue(value) >= 0 ? value : 0;
}

int32_t ObjectCatalog::FindClass(const char* name) {
    return name != nullptr && FoldIniName(name) == "aircraftobject" ? kAircraftClassId : -1;
}

void ObjectCatalog::GetClassList(int32_t classId, ObjectList** holder) {
    if (holder != nullptr) {
        *holder = classId == kAircraftClassId ? &aircraft_ : nullptr;
    }
}

// ---- terrains ---------------------------------------------------------------------------------

IniResult ParseTerrainCatalog(const char* path, std::vector<TerrainEntry>* out) {
    IniFile file;
    IniResult result = ParseIniFile(path, &file);
    if (result.ok == 0) {
        return result;
    }
    static const char* const kKeys[] = {"DisplayName", "Hidden", nullptr};
    std::vector<TerrainEntry> entries;
    for (const IniSection& section : file.sections) {
        if ((result = CheckKeys(path, section, kKeys, "DisplayName, Hidden")).ok == 0) {
            return result;
        }
        TerrainEntry entry;
        if ((result = CheckInternalName(path, section)).ok == 0) {
            return result;
        }
        entry.name = section.name;
        entry.line = section.line;
        ReadDisplayName(section, &entry.displayName, &entry.hasDisplayName);
        if ((result = ReadFlag(path, section, "Hidden", &entry.hidden)).ok == 0) {
            return result;
        }
        entries.push_back(std::move(entry));
    }
    *out = std::move(entries);
    return Ok();
}

IniResult TerrainCatalog::Load(const char* path) {
    std::vector<TerrainEntry> entries;
    IniResult result = ParseTerrainCatalog(path, &entries);
    if (result.ok != 0) {
        Assign(std::move(entries));
    }
    return result;
}

void TerrainCatalog::Assign(std::vector<TerrainEntry> entries) {
    entries_.Assign(std::move(entries));
}

const TerrainEntry* TerrainCatalog::Entry(int32_t index) const {
    return entries_.At(index);
}

int32_t TerrainCatalog::Count() {
    return entries_.Count();
}

const char* TerrainCatalog::GetDisplayName(int32_t index) {
    return entries_.DisplayName(index);
}

const char* TerrainCatalog::GetName(int32_t index) {
    return entries_.Name(index);
}

int32_t TerrainCatalog::FindByName(const char* name) {
    return entries_.Find(name);
}

int32_t TerrainCatalog::IsHidden(int32_t index) {
    const TerrainEntry* entry = Entry(index);
    return entry != nullptr && entry->hidden ? 1 : 0;
}

// ---- missions ---------------------------------------------------------------------------------

void MissionStore::SetMissionDirectory(const std::string& directory) {
    std::string native = directory;
#if !defined(_WIN32)
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
#endif
    std::error_code error;
    const std::filesystem::path absolute =
        native.empty() ? std::filesystem::path() : std::filesystem::absolute(native, error);
    directory_ = native.empty() || error ? native : absolute.string();
}

void MissionStore::SetClientMemory(MemoryService* memory, const char* tag) {
    clientMemory_ = memory;
    std::memset(clientTag_, 0, sizeof clientTag_);
    if (tag != nullptr) {
        std::strncpy(clientTag_, tag, sizeof clientTag_ - 1);
    }
}

std::string MissionStore::FindMissionFile(const char* name) {
    if (IsUnsafeMissionName(name)) {
        lastError_ = std::string("saved mission name \"") + (name != nullptr ? name : "") +
                     "\" is not a plain file name";
        return std::string();
    }
    std::string dir = directory_.empty() ? std::string(".") : directory_;
    // The search matches ignoring case, as the mission list of the plug-ins does.
    const std::string pattern = dir + "/" + name + ".MSN";
    platform::FindData found{};
    void* search = platform::FindFirst(pattern.c_str(), &found);
    if (search == nullptr) {
        lastError_ = "no saved mission " + std::string(name) + ".MSN in " + dir;
        return std::string();
    }
    std::string path;
    do {
        if ((found.attributes & platform::kAttributeDirectory) == 0) {
            path = dir + "/" + std::string(found.name, strnlen(found.name, sizeof found.name));
        }
    } while (path.empty() && platform::FindNext(search, &found) != 0);
    platform::FindClose(search);
    if (path.empty()) {
        lastError_ = "saved mission " + std::string(name) + ".MSN in " + dir + " is a directory";
    }
    return path;
}

bool MissionStore::ReadSavedMission(const char* name, MissionView* out) {
    const std::string path = FindMissionFile(name);
    if (path.empty()) {
        return false;
    }
    IniFile file;
    IniResult result = ParseIniFile(path.c_str(), &file);
    MissionView mission;
    mission.source = name;
    const IniSection* section = nullptr;
    if (result.ok != 0) {
        for (const IniSection& s : file.sections) {
            if (FoldIniName(s.name.c_str()) != "mission") {
                result = MakeIniError(path.c_str(), s.line,
                                      "unknown section [%s]; a saved mission has only [Mission]",
                                      s.name.c_str());
                break;
            }
            section = &s;
        }
    }
    if (result.ok != 0 && section == nullptr) {
        result = MakeIniError(path.c_str(), 0, "no [Mission] section; add one");
    }
    static const char* const kKeys[] = {
        "Aircraft", "Map",  "Type",    "Year",        "Month",
        "Day",      "Time", "Weather", "AirActivity", "AirDefenseActivity",
        "Details",  nullptr};
    if (result.ok != 0) {
        result = CheckKeys(path.c_str(), *section, kKeys,
                           "Aircraft, Map, Type, Year, Month, Day, Time, Weather, AirActivity, "
                           "AirDefenseActivity, Details");
    }
    if (result.ok != 0) {
        const IniEntry* aircraft = section->Find("Aircraft");
        const IniEntry* map = section->Find("Map");
        if (aircraft == nullptr || aircraft->text.empty() || map == nullptr || map->text.empty()) {
            result = MakeIniError(path.c_str(), section->line,
                                  "[Mission] needs Aircraft= and Map= with internal names");
        } else {
            mission.aircraft = aircraft->text;
            mission.map = map->text;
        }
    }
    const char* p = path.c_str();
    if (result.ok != 0 &&
        ((result = ReadInteger(p, *section, "Type", 0, kMissionTypeCount - 1, &mission.missionType))
                 .ok == 0 ||
         (result = ReadInteger(p, *section, "Year", INT32_MIN, INT32_MAX, &mission.year)).ok == 0 ||
         (result = ReadInteger(p, *section, "Month", 1, 12, &mission.month)).ok == 0 ||
         (result = ReadInteger(p, *section, "Day", 1, 31, &mission.day)).ok == 0 ||
         (result = ReadInteger(p, *section, "Time", 0, kTimeOfDayCount - 1, &mission.timeOfDay))
                 .ok == 0 ||
         (result = ReadInteger(p, *section, "Weather", 0, kWeatherCount - 1, &mission.weather))
                 .ok == 0 ||
         (result = ReadInteger(p, *section, "AirActivity", 0, kActivityLevelCount - 1,
                               &mission.airActivity))
                 .ok == 0 ||
         (result = ReadInteger(p, *section, "AirDefenseActivity", 0, kActivityLevelCount - 1,
                               &mission.airDefenseActivity))
                 .ok == 0)) {
        // result holds the error
    }
    if (result.ok == 0) {
        lastError_ = result.message;
        return false;
    }
    const IniEntry* details = section->Find("Details");
    mission.hasDetails = details != nullptr && !details->text.empty();
    mission.details = mission.hasDetails ? details->text : std::string();
    *out = std::move(mission);
    return true;
}

void MissionStore::ReadMissionHeader(const char* name, MissionHeader* header) {
    if (header == nullptr) {
        return;
    }
    std::memset(header, 0, sizeof *header);
    header->date.year = 0;
    header->date.month = 1;
    header->date.day = 1;
    try {
        MissionView mission;
        if (!ReadSavedMission(name, &mission)) {
            return;
        }
        header->missionType = mission.missionType;
        platform::MbCopy(header->aircraftName, mission.aircraft.c_str(),
                         sizeof header->aircraftName);
        platform::MbCopy(header->mapName, mission.map.c_str(), sizeof header->mapName);
        header->date.year = mission.year;
        header->date.month = mission.month;
        header->date.day = mission.day;
        if (mission.hasDetails && clientMemory_ != nullptr) {
            const size_t size = mission.details.size() + 1;
            auto* block = static_cast<char*>(
                clientMemory_->Allocate(static_cast<uint32_t>(size), 0, 0, clientTag_));
            if (block != nullptr) {
                std::memcpy(block, mission.details.c_str(), size);
                header->details = block;
            }
        }
    } catch (...) {
        lastError_ = "out of memory while reading a saved mission";
    }
}

bool MissionStore::MakeCurrent(const MissionView& mission) {
    const int32_t aircraft = aircraft_->FindByName(mission.aircraft.c_str());
    if (aircraft < 0) {
        lastError_ = "aircraft " + mission.aircraft + " is not installed";
        return false;
    }
    if (terrains_->FindByName(mission.map.c_str()) < 0) {
        lastError_ = "map " + mission.map + " is not installed";
        return false;
    }
    current_ = mission;
    current_.objectValue = aircraft_->Entry(aircraft)->objectValue;
    hasCurrent_ = true;
    std::memset(record_, 0, sizeof record_);
    PutInt32(record_, kCurrentMissionObjectOffset, current_.objectValue);
    lastError_.clear();
    return true;
}

int32_t MissionStore::LoadSavedMission(const char* name) {
    try {
        MissionView mission;
        return ReadSavedMission(name, &mission) && MakeCurrent(mission) ? 1 : 0;
    } catch (...) {
        lastError_ = "out of memory while loading a saved mission";
        return 0;
    }
}

int32_t MissionStore::CreateMission(const MissionSettings* settings) {
    try {
        MissionView mission;
        mission.source = "created";
        if (settings == nullptr) {
            int32_t chosen = -1;
            for (int32_t i = 0; i < aircraft_->Count() && chosen < 0; ++i) {
                if (aircraft_->IsAvailable(i) != 0 && aircraft_->GetDisplayName(i) != nullptr) {
                    chosen = i;
                }
            }
            int32_t map = -1;
            for (int32_t i = 0; i < terrains_->Count() && map < 0; ++i) {
                if (terrains_->IsHidden(i) == 0 && terrains_->GetDisplayName(i) != nullptr) {
                    map = i;
                }
            }
            if (chosen < 0 || map < 0) {
                lastError_ = "no available aircraft or shown map for a default mission";
                return 0;
            }
            const AircraftEntry* entry = aircraft_->Entry(chosen);
            mission.aircraft = entry->name;
            mission.map = terrains_->GetName(map);
            for (int32_t t = kMissionTypeCount - 1; t >= 0; --t) {
                if ((entry->missionTypes >> t) & 1u) {
                    mission.missionType = t;
                }
            }
            mission.year = static_cast<int16_t>(entry->record[kAircraftFirstYearOffset] |
                                                (entry->record[kAircraftFirstYearOffset + 1] << 8));
        } else {
            const MissionHeader& header = settings->header;
            if (header.missionType < 0 || header.missionType >= kMissionTypeCount) {
                lastError_ = "mission type " + std::to_string(header.missionType) +
                             " is outside 0.." + std::to_string(kMissionTypeCount - 1);
                return 0;
            }
            if (header.date.month < 1 || header.date.month > 12 || header.date.day < 1 ||
                header.date.day > 31) {
                lastError_ = "mission date " + std::to_string(header.date.year) + "-" +
                             std::to_string(header.date.month) + "-" +
                             std::to_string(header.date.day) + " is not a date";
                return 0;
            }
            mission.missionType = header.missionType;
            mission.aircraft = BoundedName(header.aircraftName);
            mission.map = BoundedName(header.mapName);
            mission.year = header.date.year;
            mission.month = header.date.month;
            mission.day = header.date.day;
            mission.timeOfDay = Clamp(settings->timeOfDay, kTimeOfDayCount);
            mission.weather = Clamp(settings->weather, kWeatherCount);
            mission.airActivity = Clamp(settings->airActivity, kActivityLevelCount);
            mission.airDefenseActivity = Clamp(settings->airDefenseActivity, kActivityLevelCount);
        }
        return MakeCurrent(mission) ? 1 : 0;
    } catch (...) {
        lastError_ = "out of memory while creating a mission";
        return 0;
    }
}

void MissionStore::GetCurrentMission(const uint8_t** holder) {
    if (holder != nullptr) {
        *holder = hasCurrent_ ? record_ : nullptr;
    }
}

std::string MissionStore::DescribeCurrentMission() const {
    if (!hasCurrent_) {
        return "no mission";
    }
    const MissionView& m = current_;
    const AircraftEntry* aircraft = aircraft_->Entry(aircraft_->FindByName(m.aircraft.c_str()));
    const TerrainEntry* map = terrains_->Entry(terrains_->FindByName(m.map.c_str()));
    char date[64];
    std::snprintf(date, sizeof date, "%d-%02d-%02d", m.year, m.month, m.day);
    std::string text = m.source == "created" ? "created mission" : "saved mission " + m.source;
    text += ": type " + std::to_string(m.missionType);
    text += ", aircraft " + m.aircraft;
    if (aircraft != nullptr && aircraft->hasDisplayName) {
        text += " (" + aircraft->displayName + ")";
    }
    text += ", map " + m.map;
    if (map != nullptr && map->hasDisplayName) {
        text += " (" + map->displayName + ")";
    }
    text += std::string(", date ") + date;
    text += ", time of day " + std::to_string(m.timeOfDay);
    text += ", weather " + std::to_string(m.weather);
    text += ", air activity " + std::to_string(m.airActivity);
    text += ", air-defence activity " + std::to_string(m.airDefenseActivity);
    text += ", object value " + std::to_string(m.objectValue);
    if (m.hasDetails) {
        text += ", details: " + m.details;
    }
    return text;
}

// ---- game folder ------------------------------------------------------------------------------

GameData::GameData()
    : objects_(std::make_unique<ObjectCatalog>()), terrains_(std::make_unique<TerrainCatalog>()),
      missions_(std::make_unique<MissionStore>(&objects_->Aircraft(), terrains_.get())) {}

IniResult GameData::Load(const char* root) {
    if (root == nullptr || root[0] == '\0') {
        return MakeIniError("", 0,
                            "no game folder given; pass the folder that holds objects/ "
                            "and terrains/");
    }
    std::string base = root;
    while (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) {
        base.pop_back();
    }
    std::vector<AircraftEntry> aircraft;
    std::vector<TerrainEntry> terrains;
    const std::string aircraftPath = base + "/objects/aircraft.ini";
    const std::string terrainPath = base + "/terrains/terrains.ini";
    IniResult result = ParseAircraftCatalog(aircraftPath.c_str(), &aircraft);
    if (result.ok != 0) {
        result = ParseTerrainCatalog(terrainPath.c_str(), &terrains);
    }
    if (result.ok == 0) {
        if (result.notFound != 0) {
            result.message += " (every game folder needs objects/aircraft.ini and "
                              "terrains/terrains.ini)";
        }
        return result;
    }
    objects_->Aircraft().Assign(std::move(aircraft));
    terrains_->Assign(std::move(terrains));
    missions_->SetMissionDirectory(base + "/missions");
    root_ = base;
    return result;
}
