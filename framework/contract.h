// The shell contract: the service interfaces the application shell offers a menu plug-in, and
// the records the two sides exchange.
//
// The shell calls and is called through these interfaces by virtual-table slot, so the order of
// the virtual operations inside each class is part of the contract and must never change. None of
// the interfaces has a virtual destructor (that would add slots): service objects belong to the
// shell and are never deleted through these types.
//
// Records have fixed little-endian byte layouts. The real targets are 32-bit; the layouts are
// pinned with static_assert wherever pointers are 4 bytes (MENU_LAYOUT_32). On 64-bit builds
// pointer fields widen and nothing may depend on the offsets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/config_document.h"

// ---------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------

// The event the shell passes to MenuScreen::HandleInput. Only kind, code and the low four bits of
// flags are read.
struct InputEvent {
    int32_t kind;
    int32_t reserved;
    int32_t code;
    uint8_t flags;
    uint8_t padding[3];
};

// Given to DSP CreateTextLabel for the banner labels.
struct LabelDescription {
    const char* text;
    int32_t x;
    int32_t y;
    char fontFace[260];
    int32_t fontSize;
    int32_t style;
    int32_t alignment;
    uint8_t colour1[4];
    int32_t value1;
    int32_t value0;
    int32_t value256;
    uint8_t colour2[4];
    int32_t value1b;
};

// Leading bytes of a pilot file. Texts are NUL-terminated within their 64 bytes when well formed;
// readers must not rely on that.
struct PilotRecord {
    static constexpr int kNameSize = 64;
    static constexpr int kSize = 23812;
    uint8_t unused0[76];
    char callsign[kNameSize];
    char service[kNameSize];
    char lastName[kNameSize];
    char firstName[kNameSize];
    uint8_t unused332[kSize - 332];
};

struct MissionDate {
    int32_t year;
    int32_t month;
    int32_t day;
};

// The shell's description of a mission.
struct MissionHeader {
    static constexpr int kNameSize = 260;
    int32_t reserved0;
    int32_t missionType;
    char aircraftName[kNameSize];
    char mapName[kNameSize];
    int32_t reserved528[4];
    MissionDate date;
    // Block allocated through the shell's MEM service by ReadMissionHeader, or none. Whoever
    // had the header filled owns it and frees it with MemFreeString.
    char* details;
};

// What CreateMission receives from the setup page.
struct MissionSettings {
    MissionHeader header;
    int32_t timeOfDay;
    int32_t weather;
    int32_t airActivity;
    int32_t airDefenseActivity;
};

// Byte offsets inside records that are only known as raw blocks.
constexpr int kAircraftFirstYearOffset = 1184;
constexpr int kAircraftLastYearOffset = 1186;
constexpr int kAircraftSecondFirstYearOffset = 1188;
constexpr int kAircraftSecondLastYearOffset = 1190;
constexpr int kAircraftSecondRangeCountOffset = 1194;
constexpr int kAircraftRecordMinSize = 1196;
constexpr int kCurrentMissionObjectOffset = 4924;
constexpr int kCurrentMissionRecordMinSize = 4928;

// Control kinds used with GetChild and GetControl.
constexpr int32_t kKindButton = 2;
constexpr int32_t kKindStartControl = 3;
constexpr int32_t kKindText = 4;
constexpr int32_t kKindSubMenu = 6;
constexpr int32_t kKindList = 8;

#if defined(MENU_LAYOUT_32)
static_assert(sizeof(InputEvent) == 16);
static_assert(offsetof(InputEvent, kind) == 0 && offsetof(InputEvent, code) == 8 &&
              offsetof(InputEvent, flags) == 12);
static_assert(sizeof(LabelDescription) == 308);
static_assert(
    offsetof(LabelDescription, x) == 4 && offsetof(LabelDescription, y) == 8 &&
    offsetof(LabelDescription, fontFace) == 12 && offsetof(LabelDescription, fontSize) == 272 &&
    offsetof(LabelDescription, style) == 276 && offsetof(LabelDescription, alignment) == 280 &&
    offsetof(LabelDescription, colour1) == 284 && offsetof(LabelDescription, value1) == 288 &&
    offsetof(LabelDescription, value0) == 292 && offsetof(LabelDescription, value256) == 296 &&
    offsetof(LabelDescription, colour2) == 300 && offsetof(LabelDescription, value1b) == 304);
static_assert(sizeof(MissionHeader) == 560);
static_assert(offsetof(MissionHeader, missionType) == 4 &&
              offsetof(MissionHeader, aircraftName) == 8 &&
              offsetof(MissionHeader, mapName) == 268 &&
              offsetof(MissionHeader, reserved528) == 528 && offsetof(MissionHeader, date) == 544 &&
              offsetof(MissionHeader, details) == 556);
static_assert(sizeof(MissionSettings) == 576);
static_assert(offsetof(MissionSettings, timeOfDay) == 560 &&
              offsetof(MissionSettings, weather) == 564 &&
              offsetof(MissionSettings, airActivity) == 568 &&
              offsetof(MissionSettings, airDefenseActivity) == 572);
#endif
static_assert(sizeof(PilotRecord) == 23812);
static_assert(offsetof(PilotRecord, callsign) == 76 && offsetof(PilotRecord, service) == 140 &&
              offsetof(PilotRecord, lastName) == 204 && offsetof(PilotRecord, firstName) == 268);

// ---------------------------------------------------------------------------------------------
// Objects handed out by services
// ---------------------------------------------------------------------------------------------

#define MENU_INTERFACE(Name)                                                                       \
protected:                                                                                         \
    Name() = default;                                                                              \
    ~Name() = default;                                                                             \
    Name(const Name&) = default;                                                                   \
    Name& operator=(const Name&) = default;                                                        \
                                                                                                   \
public:

// A text label made by DSP.
class Label {
    MENU_INTERFACE(Label)
    virtual void SetVisible(int32_t flag) = 0;
};

// A list (kind 8) or text (kind 4) control of a sub-menu. Rows are numbered from 0.
class Control {
    MENU_INTERFACE(Control)
    virtual int32_t SetVisible(int32_t flag) = 0;
    virtual void SetText(const char* text) = 0;
    virtual void SetEnabled(int32_t flag) = 0;
    virtual void Clear() = 0;
    virtual void AddItem(const char* text) = 0;
    virtual void AddItemWithData(const char* text, int32_t value) = 0;
    virtual int32_t FindItem(const char* text, int32_t start, int32_t flags) = 0; // row or -1
    virtual void SelectItem(int32_t row) = 0;
    virtual int32_t GetSelectedIndex() = 0; // negative when nothing is selected
    virtual void GetSelectedText(char* buffer, int32_t size) = 0;
};

// A sub-menu of kind 6.
class Page {
    MENU_INTERFACE(Page)
    virtual int32_t SetVisible(int32_t flag) = 0;
    virtual int32_t GetControl(int32_t index, int32_t kind, Control** holder) = 0;
};

// The aircraft (or any other) object class of the game data.
class ObjectList {
    MENU_INTERFACE(ObjectList)
    virtual int32_t Count() = 0;
    virtual const char* GetDisplayName(int32_t index) = 0; // none leaves the object out of lists
    virtual const char* GetName(int32_t index) = 0;
    virtual int32_t FindByName(const char* name) = 0;                     // index or -1
    virtual int32_t GetRecord(int32_t index, const uint8_t** holder) = 0; // nonzero when given
    virtual int32_t IsAvailable(int32_t index) = 0;
    virtual int32_t SupportsMissionType(int32_t index, int32_t missionType, int32_t flags) = 0;
    virtual int32_t LookupMissionObject(int32_t value) = 0; // value or 0
};

// ---------------------------------------------------------------------------------------------
// Services, looked up by three-letter identifiers
// ---------------------------------------------------------------------------------------------

class AppShell {
    MENU_INTERFACE(AppShell)
    // Stores the service for `id` through `holder` (the address of the caller's pointer).
    virtual int32_t AcquireService(const char* id, void* holder) = 0;
    // Gives the service back; `holder` is the same address the acquisition was given.
    virtual int32_t ReleaseService(const char* id, void* holder) = 0;
};

// "DBG", "DLL", "RND": held while bound, nothing called.
class DebugService {
    MENU_INTERFACE(DebugService)
};
class LibraryService {
    MENU_INTERFACE(LibraryService)
};
class RandomService {
    MENU_INTERFACE(RandomService)
};

// "MEM"
class MemoryService {
    MENU_INTERFACE(MemoryService)
    virtual void* Allocate(uint32_t size, int32_t zero1, int32_t zero2, const char* tag) = 0;
    virtual void Free(void* block) = 0;
    virtual void ReleaseTag(const char* tag) = 0;
};

// "APP"
class AppService {
    MENU_INTERFACE(AppService)
    virtual int32_t GetAppValueB() = 0;
    virtual int32_t GetAppValueA() = 0;
    virtual const int32_t* GetAppRecord() = 0; // four 32-bit values
};

// "FMG"
class FileService {
    MENU_INTERFACE(FileService)
    virtual void FileClose(int32_t handle) = 0;
    virtual int32_t FileOpen(const char* path) = 0; // -1 on failure
    virtual int32_t FileRead(int32_t handle, void* buffer, int32_t count) = 0;
    virtual int32_t FileExists(const char* path, int32_t flag) = 0;
    virtual void PushDirectory() = 0;
    virtual void PopDirectory() = 0;
};

// "DSP"
class DisplayService {
    MENU_INTERFACE(DisplayService)
    virtual void GetScreenSize(int32_t* width, int32_t* height) = 0;
    virtual Label* CreateTextLabel(const LabelDescription* description) = 0;
    virtual void DestroyTextLabel(Label** holder) = 0;
};

// "MNU": the screen's host menu.
class MenuService {
    MENU_INTERFACE(MenuService)
    virtual int32_t GetActiveControlId() = 0;
    virtual int32_t GetCurrentPage() = 0;
    virtual void SetCurrentPage(int32_t index) = 0;
    virtual int32_t PostResult(int32_t kind, int32_t value) = 0;
    virtual int32_t SetMissionObject(int32_t value) = 0;
    virtual void NotifyEnter() = 0;
    // Fills holder (a Page** for kind 6, a Control** otherwise) and answers nonzero when the
    // menu has a child of that id and kind. The holder may be written even when it answers 0.
    virtual int32_t GetChild(int32_t id, int32_t kind, void* holder) = 0;
    virtual ConfigDocument* GetMenuDocument(int32_t flags) = 0;
};

// "MMG": the menu manager.
class MenuManagerService {
    MENU_INTERFACE(MenuManagerService)
    virtual int32_t HasMissionControl() = 0;
    virtual void SelectMissionControl(const char* name) = 0;
    virtual void EntryActionFirst() = 0;
    virtual void GetMissionDirectory(char* buffer, int32_t size) = 0;
    virtual int32_t IsEntryActionDue() = 0;
    virtual void ChoiceFiveAction() = 0;
    virtual void EntryActionSecond() = 0;
    virtual void GetPilotDirectory(char* buffer, int32_t size) = 0;
    virtual void LockPilotRoster(ConfigDocument** holder) = 0;
    virtual void UnlockPilotRoster(ConfigDocument** holder) = 0;
};

// "MSN": missions.
class MissionService {
    MENU_INTERFACE(MissionService)
    virtual int32_t LoadSavedMission(const char* name) = 0;
    virtual void ReadMissionHeader(const char* name, MissionHeader* header) = 0;
    virtual int32_t CreateMission(const MissionSettings* settings) = 0; // settings may be none
    virtual void GetCurrentMission(const uint8_t** holder) = 0;
};

// "TXT": string tables.
class TextService {
    MENU_INTERFACE(TextService)
    virtual void LoadStringTable(const char* file) = 0;
    virtual void UnloadStringTable(const char* file) = 0;
    virtual void LookupText(const char* table, const char* key, char* buffer, int32_t size) = 0;
    virtual const char* GetTextByIndex(const char* table, int32_t index) = 0;
    virtual void FormatPilotName(const char* lastName, const char* firstName, char* buffer,
                                 int32_t size) = 0;
};

// "OPT": the options document.
class OptionsService {
    MENU_INTERFACE(OptionsService)
    virtual void GetOptions(ConfigDocument** holder) = 0;
    virtual void ReleaseOptions(ConfigDocument** holder) = 0;
    virtual void CommitOptions(ConfigDocument** holder) = 0;
};

// "OBJ": object classes.
class ObjectService {
    MENU_INTERFACE(ObjectService)
    virtual int32_t FindClass(const char* name) = 0;
    virtual void GetClassList(int32_t classId, ObjectList** holder) = 0;
};

// "TER": terrains.
class TerrainService {
    MENU_INTERFACE(TerrainService)
    virtual int32_t Count() = 0;
    virtual const char* GetDisplayName(int32_t index) = 0;
    virtual const char* GetName(int32_t index) = 0;
    virtual int32_t FindByName(const char* name) = 0;
    virtual int32_t IsHidden(int32_t index) = 0;
};

#undef MENU_INTERFACE
