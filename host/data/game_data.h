// The game-data services of menuhost: the aircraft catalogue ("OBJ" and its ObjectList), the
// terrain catalogue ("TER") and the saved and current missions ("MSN"), all read from a game
// folder by GameData.
//
// Game folder (every file is INI text as host/ini/ini_loader.h reads it):
//
//   objects/aircraft.ini   one section per aircraft; the section name is the internal name
//                          (what FindByName and saved missions use, matched ignoring case)
//       DisplayName=Text       shown in lists; absent or empty: GetDisplayName answers none and
//                              the plug-ins leave the aircraft out
//       Available=1            0 or 1, default 1
//       MissionTypes=0,1,5     mission types 0..16 it flies, "ALL" or empty for none;
//                              default ALL
//       FirstYear=, LastYear=  service years, signed 16-bit, 0 = not given (default 0)
//       SecondFirstYear=, SecondLastYear=   a second service range (default 0)
//       SecondRangeCount=      the record's count; default 1 when a second year is given,
//                              else 0 (the plug-ins use the second range only when it is > 0)
//       ObjectValue=           the mission object value (nonzero, unique); default: the
//                              smallest unused value from 1001 up, in file order
//   terrains/terrains.ini  one section per terrain; the section name is the internal name
//       DisplayName=Text       absent or empty: none
//       Hidden=0               0 or 1, default 0
//   missions/*.MSN         one saved mission a file, named by its file name without extension
//       [Mission]
//       Aircraft=, Map=        internal names (required)
//       Type=                  0..16 (default 0)
//       Year=, Month=, Day=    default 0, 1, 1; month 1..12, day 1..31
//       Time=, Weather=, AirActivity=, AirDefenseActivity=   indexes, default 0
//       Details=Text           optional; a mission with details hands the reader a block
//
// Unknown keys and sections, values out of range and text where a number belongs are errors
// with file, line and what to do, so a misspelt key is never silently ignored.
//
// Ownership: GameData owns the three services and everything they hand out. Texts, records and
// the ObjectList stay valid until the next successful Load or the GameData's end. Lookups by name
// are hashed (ASCII letters fold to lower case), never scans. No operation of a service throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/contract.h"
#include "host/ini/ini_loader.h"

constexpr int32_t kMissionTypeCount = 17; // types 0..16
constexpr int32_t kAircraftClassId = 1;   // FindClass("AircraftObject")
constexpr int32_t kAircraftRecordSize = kAircraftRecordMinSize;
constexpr int32_t kCurrentMissionRecordSize = kCurrentMissionRecordMinSize;
constexpr int32_t kTimeOfDayCount = 8;
constexpr int32_t kWeatherCount = 6;
constexpr int32_t kActivityLevelCount = 4;

struct AircraftEntry {
    std::string name;
    std::string displayName;
    bool hasDisplayName = false;
    bool available = true;
    uint32_t missionTypes = 0; // bit t: flies type t
    int32_t objectValue = 0;
    uint8_t record[kAircraftRecordSize] = {}; // years at 1184..1190, count at 1194, rest zero
    int line = 0;
};

struct TerrainEntry {
    std::string name;
    std::string displayName;
    bool hasDisplayName = false;
    bool hidden = false;
    int line = 0;
};

// Catalogue readers: every entry checked, names unique; `out` is filled only on success.
IniResult ParseAircraftCatalog(const char* path, std::vector<AircraftEntry>* out);
IniResult ParseTerrainCatalog(const char* path, std::vector<TerrainEntry>* out);

// The entries of a catalogue with their internal names indexed ignoring case: what the aircraft
// and terrain services share. Lookups are hashed; every index is checked; an absent display name is
// none and an out-of-range name "".
template <typename E> class NamedEntries {
public:
    void Assign(std::vector<E> entries) {
        entries_ = std::move(entries);
        byName_.clear();
        for (size_t i = 0; i < entries_.size(); ++i) {
            byName_.emplace(FoldIniName(entries_[i].name.c_str()), static_cast<int32_t>(i));
        }
    }
    const std::vector<E>& All() const { return entries_; }
    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    const E* At(int32_t index) const {
        if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
            return nullptr;
        }
        return &entries_[static_cast<size_t>(index)];
    }
    const char* DisplayName(int32_t index) const {
        const E* entry = At(index);
        return entry != nullptr && entry->hasDisplayName ? entry->displayName.c_str() : nullptr;
    }
    const char* Name(int32_t index) const {
        const E* entry = At(index);
        return entry != nullptr ? entry->name.c_str() : "";
    }
    int32_t Find(const char* name) const {
        if (name == nullptr || name[0] == '\0') {
            return -1;
        }
        try {
            const auto it = byName_.find(FoldIniName(name));
            return it != byName_.end() ? it->second : -1;
        } catch (...) { // out of memory while folding: not found
            return -1;
        }
    }

private:
    std::vector<E> entries_;
    std::unordered_map<std::string, int32_t> byName_;
};

// The aircraft class: the ObjectList handed out by OBJ GetClassList.
class AircraftList final : public ObjectList {
public:
    int32_t Count() override;
    const char* GetDisplayName(int32_t index) override; // none when absent or out of range
    const char* GetName(int32_t index) override;        // "" out of range
    int32_t FindByName(const char* name) override;      // ignoring case; -1 when unknown
    int32_t GetRecord(int32_t index, const uint8_t** holder) override; // 0 and none out of range
    int32_t IsAvailable(int32_t index) override;
    int32_t SupportsMissionType(int32_t index, int32_t missionType, int32_t flags) override;
    int32_t LookupMissionObject(int32_t value) override;

    // Host side. Load replaces the entries only when the whole file is valid.
    IniResult Load(const char* path);
    void Assign(std::vector<AircraftEntry> entries); // entries valid as ParseAircraftCatalog makes
    const AircraftEntry* Entry(int32_t index) const;
    int32_t IndexOfObjectValue(int32_t value) const; // -1 when no aircraft has it

private:
    NamedEntries<AircraftEntry> entries_;
    std::unordered_map<int32_t, int32_t> byValue_;
};

class ObjectCatalog final : public ObjectService {
public:
    int32_t FindClass(const char* name) override; // "AircraftObject" ignoring case, else -1
    void GetClassList(int32_t classId, ObjectList** holder) override; // none for other ids

    AircraftList& Aircraft() { return aircraft_; }

private:
    AircraftList aircraft_;
};

class TerrainCatalog final : public TerrainService {
public:
    int32_t Count() override;
    const char* GetDisplayName(int32_t index) override; // none when absent or out of range
    const char* GetName(int32_t index) override;        // "" out of range
    int32_t FindByName(const char* name) override;      // ignoring case; -1 when unknown
    int32_t IsHidden(int32_t index) override;           // 0 out of range

    IniResult Load(const char* path);
    void Assign(std::vector<TerrainEntry> entries);
    const TerrainEntry* Entry(int32_t index) const;

private:
    NamedEntries<TerrainEntry> entries_;
};

// A mission as the host sees it: created from settings or loaded from a saved file.
struct MissionView {
    std::string source; // "created" or the saved mission's name
    int32_t missionType = 0;
    std::string aircraft; // internal names
    std::string map;
    int32_t year = 0;
    int32_t month = 1;
    int32_t day = 1;
    int32_t timeOfDay = 0;
    int32_t weather = 0;
    int32_t airActivity = 0;
    int32_t airDefenseActivity = 0;
    std::string details;
    bool hasDetails = false;
    int32_t objectValue = 0; // the aircraft's mission object value
};

class MissionStore final : public MissionService {
public:
    MissionStore(AircraftList* aircraft, TerrainCatalog* terrains)
        : aircraft_(aircraft), terrains_(terrains) {}

    // 1 when the saved mission was read and its aircraft and map are installed; it becomes the
    // current mission. 0 otherwise (LastError says why; the current mission is unchanged).
    int32_t LoadSavedMission(const char* name) override;
    // Fills every field of the header. Names are cut to 259 bytes (never inside a double-byte
    // character) and terminated. A mission with details gets a block allocated through the
    // client memory under the client tag; the caller owns it. A mission that cannot be read
    // leaves the header zeroed with empty names (date 0, 1, 1) and no block.
    void ReadMissionHeader(const char* name, MissionHeader* header) override;
    // Records the mission and makes it current: 1 on success; 0 (nothing changes) when the
    // aircraft or map is not installed, the type is outside 0..16 or the date is invalid.
    // Time, weather and activity indexes outside their tables are recorded as 0 (random).
    // None takes the defaults: the first available aircraft with a display name, the first
    // shown terrain with a display name, the aircraft's first mission type and first year.
    int32_t CreateMission(const MissionSettings* settings) override;
    // A kCurrentMissionRecordSize-byte record whose 32-bit value at byte 4924 is the current
    // mission's aircraft object value (every other byte is zero); none before any mission.
    void GetCurrentMission(const uint8_t** holder) override;

    // Host side: the plug-in whose blocks ReadMissionHeader allocates (set while it is loaded;
    // none means no details block is handed out).
    void SetClientMemory(MemoryService* memory, const char* tag);
    // A relative directory is made absolute against the current directory now, so that a
    // plug-in changing the current directory (as the load page does) cannot redirect the reads.
    void SetMissionDirectory(const std::string& directory);
    const std::string& MissionDirectory() const { return directory_; }
    const MissionView* Current() const { return hasCurrent_ ? &current_ : nullptr; }
    // One line about the current mission for the view; "no mission" before any.
    std::string DescribeCurrentMission() const;
    const std::string& LastError() const { return lastError_; }
    // Reads a saved mission (host side, also used by the services above).
    bool ReadSavedMission(const char* name, MissionView* out);

private:
    bool MakeCurrent(const MissionView& mission);
    std::string FindMissionFile(const char* name);

    AircraftList* aircraft_;
    TerrainCatalog* terrains_;
    std::string directory_;
    MemoryService* clientMemory_ = nullptr;
    char clientTag_[8] = {};
    MissionView current_;
    bool hasCurrent_ = false;
    uint8_t record_[kCurrentMissionRecordSize] = {};
    std::string lastError_;
};

// Loads the catalogues of a game folder and hands out the services. Typical use by the host:
//
//   GameData data;
//   IniResult r = data.Load(root);        // r.message names file, line and what to do
//   registry "OBJ" -> data.Objects(), "TER" -> data.Terrains(), "MSN" -> data.Missions()
//   data.Missions()->SetClientMemory(mem, "SMSN") while the plug-in is loaded
class GameData {
public:
    GameData();
    GameData(const GameData&) = delete;
    GameData& operator=(const GameData&) = delete;

    // Reads objects/aircraft.ini and terrains/terrains.ini under `root` and points the mission
    // service at root/missions (which need not exist). On failure nothing already loaded
    // changes.
    IniResult Load(const char* root);

    ObjectCatalog* Objects() { return objects_.get(); }
    TerrainCatalog* Terrains() { return terrains_.get(); }
    MissionStore* Missions() { return missions_.get(); }
    const std::string& Root() const { return root_; }

private:
    std::string root_;
    std::unique_ptr<ObjectCatalog> objects_;
    std::unique_ptr<TerrainCatalog> terrains_;
    std::unique_ptr<MissionStore> missions_;
};
