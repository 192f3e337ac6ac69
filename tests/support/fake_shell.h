// FakeShell: a recording stand-in for the application shell, for the plug-ins' unit tests.
//
// What it is
//   An AppShell that hands out a fake for every service of framework/contract.h (DBG DLL RND MEM
//   APP FMG DSP MNU MMG MSN TXT OPT OBJ TER) and for the objects they hand out (Label, Page,
//   Control, ObjectList). Every call a plug-in makes is appended to one journal, in call order,
//   as "SVC.Operation(arg,arg)": texts as they are, a null text as "null", integers in decimal.
//   Examples: "Shell.AcquireService(MNU)", "MNU.PostResult(3,5)", "MMG.SelectMissionControl()",
//   "FMG.FileExists(Pilots\Pilot001.plt,0)", "Label1.SetVisible(0)", "Page6.SetVisible(1)",
//   "Control6.8.2.SelectItem(3)" (sub-menu 6, kind 8, index 2), "Child5.3.SetEnabled(1)" (a
//   direct child of the host menu: id 5, kind 3), "AircraftObject.FindByName(F1)" (an object
//   list, by class name). Misuse is journalled too, as "!! <problem>". MEM calls are left out
//   unless `memory.journalCalls` is set, since allocations would drown everything else.
//
// Typical use: bind the framework to the fake (BindShell(tag, &shell)), build the documents the
// test needs while bound (so their blocks come from the fake's MEM), drive the code, destroy the
// documents, unbind, then EXPECT_TRUE(shell.ContractProblems().empty()).
//
// What it checks
//   - Pairing (ContractProblems()): every AcquireService released once with the same id and
//     holder address, every LockPilotRoster unlocked with the same holder, every GetOptions given
//     back (ReleaseOptions or CommitOptions), PushDirectory/PopDirectory balanced and never below
//     zero, every opened file closed, every label destroyed, every loaded string table unloaded,
//     no MEM misuse (freeing an unknown block, a double free, freeing none). An empty result means
//     the contract held. Problems are also recorded as they happen, so a test can look right away.
//   - Memory (FakeMemory): live blocks and bytes per tag; fault injection (fail the N-th
//     allocation, or all from the N-th on).
//
// What it answers
//   Everything is a public field a test sets before driving the plug-in: screen size, children of
//   the host menu (id, kind), pages with their controls, the current page, answers of MMG,
//   in-memory files, string tables, object classes and lists, terrains, mission headers, and the
//   documents lent by OPT, MMG (roster) and MNU (menu document) — ConfigDocument objects the test
//   builds and owns. A service a test removes (`withheld`) is handed out as none.
//
// Releases clear the caller's pointer (set `clearHolderOnRelease` to false to keep it), so a
// plug-in that uses a service after giving it back crashes in the test rather than in the game.
//
// The fake lives in the test program (std containers are fine here); it must outlive the binding.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/contract.h"

namespace fake {

class FakeShell;

// The ordered record of calls, shared by all the fakes of one shell.
struct Journal {
    std::vector<std::string> entries;

    void Add(std::string entry) { entries.push_back(std::move(entry)); }
    void Clear() { entries.clear(); }
    // Index of the first entry equal to `entry` at or after `from`, or -1.
    int IndexOf(const std::string& entry, int from = 0) const;
    int Count(const std::string& entry) const;
    bool Contains(const std::string& entry) const { return IndexOf(entry) >= 0; }
    // The entries that start with `prefix`, in order (e.g. "MNU." for the host menu's calls).
    std::vector<std::string> WithPrefix(const std::string& prefix) const;
    // True when `expected` appear in this order (other entries may come between them).
    bool InOrder(const std::vector<std::string>& expected) const;
    std::string Dump() const; // one entry a line, for failure messages
};

// Text helpers for the journal.
std::string Text(const char* text);

// ---- MEM ----------------------------------------------------------------------------------

class FakeMemory final : public MemoryService {
public:
    explicit FakeMemory(FakeShell& shell) : shell_(shell) {}
    ~FakeMemory();
    FakeMemory(const FakeMemory&) = delete;
    FakeMemory& operator=(const FakeMemory&) = delete;

    void* Allocate(uint32_t size, int32_t zero1, int32_t zero2, const char* tag) override;
    void Free(void* block) override;
    void ReleaseTag(const char* tag) override; // recorded only; blocks stay counted

    int LiveBlocks(const std::string& tag) const;
    int LiveBlocks() const; // all tags
    size_t LiveBytes(const std::string& tag) const;
    bool IsLive(const void* block) const { return blocks_.count(block) != 0; }

    // Fault injection: allocation number `failAt` (1-based, counted from the last Reset of
    // `allocations`) fails; with `failFromThenOn` every later one fails too. 0 disables it.
    int failAt = 0;
    bool failFromThenOn = false;
    int allocations = 0; // Allocate calls so far, failed ones included
    int failures = 0;    // allocations refused by fault injection
    bool journalCalls = false;
    // Newly allocated blocks are filled with this byte, so code that forgets to clear shows it.
    uint8_t fillByte = 0xCD;
    std::vector<std::string> releasedTags;

private:
    struct Block {
        std::string tag;
        size_t size;
    };
    FakeShell& shell_;
    std::map<const void*, Block> blocks_;
    std::set<const void*> freed_; // for double-free detection (addresses not reused while kept)
};

// ---- APP, DBG, DLL, RND ----------------------------------------------------------------------

class FakeApp final : public AppService {
public:
    explicit FakeApp(FakeShell& shell) : shell_(shell) {}
    int32_t GetAppValueB() override;
    int32_t GetAppValueA() override;
    const int32_t* GetAppRecord() override;

    int32_t valueA = 0x41;
    int32_t valueB = 0x42;
    int32_t record[4] = {1, 2, 3, 4};

private:
    FakeShell& shell_;
};

class FakeDebug final : public DebugService {};
class FakeLibrary final : public LibraryService {};
class FakeRandom final : public RandomService {};

// ---- FMG ----------------------------------------------------------------------------------

class FakeFiles final : public FileService {
public:
    explicit FakeFiles(FakeShell& shell) : shell_(shell) {}
    void FileClose(int32_t handle) override;
    int32_t FileOpen(const char* path) override;
    int32_t FileRead(int32_t handle, void* buffer, int32_t count) override;
    int32_t FileExists(const char* path, int32_t flag) override;
    void PushDirectory() override;
    void PopDirectory() override;

    // In-memory files by path. Paths match ignoring case, with '/' and '\' alike.
    std::map<std::string, std::string> files;
    // Paths that exist but cannot be opened.
    std::set<std::string> unopenable;
    int directoryDepth = 0;

    void Add(const std::string& path, std::string bytes) { files[path] = std::move(bytes); }
    int OpenHandles() const { return static_cast<int>(open_.size()); }

private:
    const std::string* Lookup(const char* path) const;
    struct Open {
        std::string bytes;
        size_t position;
    };
    FakeShell& shell_;
    std::map<int32_t, Open> open_;
    int32_t nextHandle_ = 3;
};

// ---- DSP and Label --------------------------------------------------------------------------

class FakeLabel final : public Label {
public:
    FakeLabel(FakeShell& shell, int madeBy) : number(madeBy), shell_(shell) {}
    void SetVisible(int32_t flag) override;

    int number;       // which CreateTextLabel call made it: 1 for the first, 2 for the second
    int visible = -1; // last flag given, -1 before any
    bool destroyed = false;

private:
    FakeShell& shell_;
};

class FakeDisplay final : public DisplayService {
public:
    explicit FakeDisplay(FakeShell& shell) : shell_(shell) {}
    void GetScreenSize(int32_t* width, int32_t* height) override;
    Label* CreateTextLabel(const LabelDescription* description) override;
    void DestroyTextLabel(Label** holder) override;

    int32_t width = 640;
    int32_t height = 480;
    // CreateTextLabel calls (1-based) that answer none.
    std::set<int> failCreate;
    // A copy of every description passed, and the text it pointed to ("null" for none).
    std::vector<LabelDescription> descriptions;
    std::vector<std::string> texts;
    std::deque<FakeLabel> labels; // every label made, in order
    int LiveLabels() const;

private:
    FakeShell& shell_;
    int creates_ = 0;
};

// ---- MNU, Page, Control ---------------------------------------------------------------------

class FakeControl final : public Control {
public:
    FakeControl(FakeShell& shell, std::string journalName)
        : name(std::move(journalName)), shell_(shell) {}
    int32_t SetVisible(int32_t flag) override;
    void SetText(const char* text) override;
    void SetEnabled(int32_t flag) override;
    void Clear() override;
    void AddItem(const char* text) override;
    void AddItemWithData(const char* text, int32_t value) override;
    // Exact text match, from row start + 1 (start -1 searches all rows).
    int32_t FindItem(const char* text, int32_t start, int32_t flags) override;
    void SelectItem(int32_t row) override; // rows outside the list select nothing (-1)
    int32_t GetSelectedIndex() override;
    void GetSelectedText(char* buffer, int32_t size) override;

    struct Row {
        std::string text;
        int32_t value;
    };
    std::string name; // journal name, e.g. "Control6.8.2"
    std::vector<Row> rows;
    int32_t selected = -1;
    std::string text;
    int enabled = -1; // last flag given, -1 before any
    int visible = -1;
    int32_t setVisibleAnswer = 1;

private:
    FakeShell& shell_;
};

class FakePage final : public Page {
public:
    FakePage(FakeShell& shell, int32_t subMenuId) : id(subMenuId), shell_(shell) {}
    int32_t SetVisible(int32_t flag) override;
    int32_t GetControl(int32_t index, int32_t kind, Control** holder) override;

    // The control at (index, kind), made on first use.
    FakeControl& AddControl(int32_t index, int32_t kind);
    FakeControl* FindControl(int32_t index, int32_t kind);

    int32_t id;
    int visible = -1;
    int32_t setVisibleAnswer = 1;
    // GetControl makes a control it does not know yet; false answers 0 and none instead.
    bool autoControls = true;

private:
    FakeShell& shell_;
    std::map<std::pair<int32_t, int32_t>, std::unique_ptr<FakeControl>> controls_;
};

class FakeMenu final : public MenuService {
public:
    explicit FakeMenu(FakeShell& shell) : shell_(shell) {}
    int32_t GetActiveControlId() override;
    int32_t GetCurrentPage() override;
    void SetCurrentPage(int32_t index) override;
    int32_t PostResult(int32_t kind, int32_t value) override;
    int32_t SetMissionObject(int32_t value) override;
    void NotifyEnter() override;
    int32_t GetChild(int32_t id, int32_t kind, void* holder) override;
    ConfigDocument* GetMenuDocument(int32_t flags) override;

    // Children of kind 6 are pages, others controls; declare them before the plug-in asks.
    void AddButton(int32_t id) { children.insert({id, kKindButton}); }
    FakePage& AddPage(int32_t id);
    FakePage* FindPage(int32_t id);
    FakeControl& AddChildControl(int32_t id, int32_t kind); // a direct child that is a control

    std::set<std::pair<int32_t, int32_t>> children; // (id, kind) present
    int32_t activeControlId = 0;
    int32_t currentPage = 0;
    int32_t postResultAnswer = 1;
    int32_t setMissionObjectAnswer = 1;
    ConfigDocument* menuDocument = nullptr;
    std::vector<std::pair<int32_t, int32_t>> posted; // PostResult pairs, in order

private:
    FakeShell& shell_;
    std::map<int32_t, std::unique_ptr<FakePage>> pages_;
    std::map<std::pair<int32_t, int32_t>, std::unique_ptr<FakeControl>> controls_;
};

// ---- MMG ----------------------------------------------------------------------------------

class FakeMenuManager final : public MenuManagerService {
public:
    explicit FakeMenuManager(FakeShell& shell) : shell_(shell) {}
    int32_t HasMissionControl() override;
    void SelectMissionControl(const char* name) override;
    void EntryActionFirst() override;
    void GetMissionDirectory(char* buffer, int32_t size) override;
    int32_t IsEntryActionDue() override;
    void ChoiceFiveAction() override;
    void EntryActionSecond() override;
    void GetPilotDirectory(char* buffer, int32_t size) override;
    void LockPilotRoster(ConfigDocument** holder) override;
    void UnlockPilotRoster(ConfigDocument** holder) override;

    int32_t hasMissionControl = 1;
    int32_t entryActionDue = 0;
    std::string missionDirectory = "Missions";
    std::string pilotDirectory = "Pilots";
    ConfigDocument* roster = nullptr; // none: LockPilotRoster lends nothing
    int lockDepth = 0;
    int locks = 0;

private:
    FakeShell& shell_;
    std::vector<ConfigDocument**> lockHolders_;
};

// ---- MSN ----------------------------------------------------------------------------------

class FakeMissions final : public MissionService {
public:
    explicit FakeMissions(FakeShell& shell) : shell_(shell) {}
    int32_t LoadSavedMission(const char* name) override;
    void ReadMissionHeader(const char* name, MissionHeader* header) override;
    int32_t CreateMission(const MissionSettings* settings) override;
    void GetCurrentMission(const uint8_t** holder) override;

    struct Saved {
        MissionHeader header; // details ignored; see `details`
        std::string details;  // non-empty: a MEM block with this text goes into header.details
    };
    // By name (exact). An unknown name leaves the header untouched.
    std::map<std::string, Saved> saved;
    // Tag of the details blocks (the shell allocates them; the reader frees them).
    std::string detailsTag = "SMSN";
    int32_t loadAnswer = 1;
    int32_t createAnswer = 1;
    std::vector<MissionSettings> created; // copies of the settings given (none: all zero)
    std::vector<bool> createdWithSettings;
    // The current mission record; empty hands out none.
    std::vector<uint8_t> currentMission;
    void SetCurrentMissionObject(int32_t value); // sizes the record and stores the value

private:
    FakeShell& shell_;
};

// ---- TXT ----------------------------------------------------------------------------------

class FakeText final : public TextService {
public:
    explicit FakeText(FakeShell& shell) : shell_(shell) {}
    void LoadStringTable(const char* file) override;
    void UnloadStringTable(const char* file) override;
    void LookupText(const char* table, const char* key, char* buffer, int32_t size) override;
    const char* GetTextByIndex(const char* table, int32_t index) override;
    void FormatPilotName(const char* lastName, const char* firstName, char* buffer,
                         int32_t size) override;

    // table -> key -> text; a missing key answers `missingText` (bounded like the rest).
    std::map<std::string, std::map<std::string, std::string>> keyed;
    std::map<std::string, std::vector<std::string>> indexed; // out of range answers none
    std::string missingText;
    // Display names: by default "<first> <last>", cut to the buffer.
    std::function<std::string(const std::string& last, const std::string& first)> pilotName;
    std::map<std::string, int> loaded; // table -> loads minus unloads

private:
    FakeShell& shell_;
};

// ---- OPT ----------------------------------------------------------------------------------

class FakeOptions final : public OptionsService {
public:
    explicit FakeOptions(FakeShell& shell) : shell_(shell) {}
    void GetOptions(ConfigDocument** holder) override;
    void ReleaseOptions(ConfigDocument** holder) override;
    void CommitOptions(ConfigDocument** holder) override;

    ConfigDocument* options = nullptr; // none: GetOptions lends nothing
    int lent = 0;
    int releases = 0;
    int commits = 0;

private:
    void GiveBack(ConfigDocument** holder, const char* op);
    FakeShell& shell_;
    std::vector<ConfigDocument**> holders_;
};

// ---- OBJ, ObjectList ------------------------------------------------------------------------

class FakeObjectList final : public ObjectList {
public:
    FakeObjectList(FakeShell& shell, std::string className)
        : name(std::move(className)), shell_(shell) {}
    int32_t Count() override;
    const char* GetDisplayName(int32_t index) override;
    const char* GetName(int32_t index) override;
    int32_t FindByName(const char* text) override; // ignoring case
    int32_t GetRecord(int32_t index, const uint8_t** holder) override;
    int32_t IsAvailable(int32_t index) override;
    int32_t SupportsMissionType(int32_t index, int32_t missionType, int32_t flags) override;
    int32_t LookupMissionObject(int32_t value) override;

    struct Entry {
        std::string name;
        std::string displayName;
        bool hasDisplayName = true; // false: GetDisplayName answers none
        bool available = true;
        std::set<int32_t> missionTypes; // SupportsMissionType answers 1 for these
        std::vector<uint8_t> record;    // empty: GetRecord answers 0
    };
    // Adds an entry with a record of the aircraft size holding the given service years.
    Entry& AddAircraft(const std::string& entryName, const std::string& display, int16_t firstYear,
                       int16_t lastYear);
    std::string name;
    std::vector<Entry> entries;
    std::map<int32_t, int32_t> missionObjects; // LookupMissionObject: value -> answer (else 0)

private:
    FakeShell& shell_;
};

class FakeObjects final : public ObjectService {
public:
    explicit FakeObjects(FakeShell& shell) : shell_(shell) {}
    int32_t FindClass(const char* name) override;                     // index in `classes` or -1
    void GetClassList(int32_t classId, ObjectList** holder) override; // none for unknown ids

    FakeObjectList& AddClass(const std::string& name);
    FakeObjectList* FindList(const std::string& name);

private:
    FakeShell& shell_;
    std::vector<std::unique_ptr<FakeObjectList>> classes_;
};

// ---- TER ----------------------------------------------------------------------------------

class FakeTerrains final : public TerrainService {
public:
    explicit FakeTerrains(FakeShell& shell) : shell_(shell) {}
    int32_t Count() override;
    const char* GetDisplayName(int32_t index) override;
    const char* GetName(int32_t index) override;
    int32_t FindByName(const char* text) override; // ignoring case
    int32_t IsHidden(int32_t index) override;

    struct Entry {
        std::string name;
        std::string displayName;
        bool hasDisplayName = true;
        bool hidden = false;
    };
    std::vector<Entry> entries;

private:
    FakeShell& shell_;
};

// ---- the shell --------------------------------------------------------------------------------

class FakeShell final : public AppShell {
public:
    FakeShell();
    ~FakeShell();
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;

    int32_t AcquireService(const char* id, void* holder) override;
    int32_t ReleaseService(const char* id, void* holder) override;

    // Everything that broke the contract so far plus what is still held, open or live now
    // (memory of every tag). Empty when the plug-in behaved. Call after ExitMenuCode/unbinding.
    std::vector<std::string> ContractProblems() const;
    // Only what is still held (services, locks, lent documents, directory pushes, files, labels,
    // string tables), without the memory check.
    std::vector<std::string> Outstanding() const;
    // Problems recorded as they happened (misuse, not leftovers).
    const std::vector<std::string>& Misuse() const { return misuse_; }
    void RecordMisuse(std::string problem);

    Journal journal;
    // Services handed out as none.
    std::set<std::string> withheld;
    bool clearHolderOnRelease = true;
    int32_t releaseAnswer = 1;

    FakeDebug dbg;
    FakeMemory memory;
    FakeApp app;
    FakeLibrary dll;
    FakeFiles files;
    FakeRandom rnd;
    FakeDisplay display;
    FakeMenu menu;
    FakeMenuManager manager;
    FakeMissions missions;
    FakeText text;
    FakeOptions options;
    FakeObjects objects;
    FakeTerrains terrains;

private:
    void* ServiceFor(const std::string& id);
    struct Held {
        std::string id;
        void* holder;
    };
    std::vector<Held> held_;
    std::vector<std::string> misuse_;
};

} // namespace fake
