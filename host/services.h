// The system, display, menu-manager, text and options services of menuhost, the journaling
// wrappers of the game-data services, and the registry (AppShell) that hands them out.
//
// Each service journals the calls a plug-in makes and reports what breaks the contract. The
// registry keeps every acquisition (identifier, holder address, service) until the release with
// the same identifier and address; ReleaseService sets the caller's pointer to none. The lent
// documents (pilot roster, options) are counted per holder; a document given back has every block
// reachable from it (sections, values, list nodes) moved to the host's memory tag, because those
// blocks belong to the shell from then on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/contract.h"
#include "host/data/game_data.h"
#include "host/file_service.h"
#include "host/host_menu.h"
#include "host/journal.h"
#include "host/memory_service.h"

namespace host {

// Moves every block reachable from the document (section and value records, list nodes) to the
// host's tag. Returns how many blocks changed hands.
size_t AdoptDocument(HostMemory* memory, ConfigDocument* document);

class HostDebug final : public DebugService {};
class HostLibraries final : public LibraryService {};
class HostRandom final : public RandomService {};

class HostApp final : public AppService {
public:
    int32_t GetAppValueB() override { return 0x0705; }
    int32_t GetAppValueA() override { return 1; }
    const int32_t* GetAppRecord() override { return record_; }

private:
    int32_t record_[4] = {7, 5, 5, 0};
};

class HostLabel final : public Label {
public:
    HostLabel(Journal* journal, const LabelDescription& description, std::string text);
    void SetVisible(int32_t flag) override;

    LabelDescription description; // as given; text points into `text`
    std::string text;
    int32_t visible = 1;

private:
    Journal* journal_;
};

class HostDisplay final : public DisplayService {
public:
    explicit HostDisplay(Journal* journal) : journal_(journal) {}

    void GetScreenSize(int32_t* width, int32_t* height) override;
    Label* CreateTextLabel(const LabelDescription* description) override;
    void DestroyTextLabel(Label** holder) override;

    // Labels still alive are reported under `who` and destroyed.
    void CheckBalanced(const std::string& who);

    int32_t width = 640;
    int32_t height = 480;
    std::vector<std::unique_ptr<HostLabel>> labels;

private:
    Journal* journal_;
};

// One lent document and who holds it.
class DocumentLender {
public:
    DocumentLender(Journal* journal, HostMemory* memory, const char* what)
        : journal_(journal), memory_(memory), what_(what) {}

    void SetDocument(ConfigDocument* document) { document_ = document; }
    ConfigDocument* Document() const { return document_; }
    // Lends the document into *holder (journaled under `call`).
    void Lend(const char* call, ConfigDocument** holder);
    // Takes it back from *holder; 1 when the holder held it.
    int TakeBack(const char* call, ConfigDocument** holder);
    size_t Outstanding() const { return holders_.size(); }
    // Reports every holder that did not give the document back and takes it back from them.
    void CheckBalanced(const std::string& who, const char* giveBack);

private:
    Journal* journal_;
    HostMemory* memory_;
    const char* what_;
    ConfigDocument* document_ = nullptr;
    std::vector<ConfigDocument**> holders_;
};

class HostMenuManager final : public MenuManagerService {
public:
    HostMenuManager(Journal* journal, HostMemory* memory)
        : roster(journal, memory, "pilot roster"), journal_(journal) {}

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

    DocumentLender roster;
    std::string missionDirectory;
    std::string pilotDirectory;
    std::string missionControl;
    int32_t missionControlSelected = 0;
    int32_t entryActionDue = 1; // the entry actions run once a session, on the first main entry
    int32_t entryActions = 0;
    int32_t choiceFiveActions = 0;

private:
    void CopyOut(const char* call, const std::string& value, char* buffer, int32_t size);
    Journal* journal_;
};

class HostText final : public TextService {
public:
    HostText(Journal* journal, std::filesystem::path directory)
        : journal_(journal), directory_(std::move(directory)) {}

    void LoadStringTable(const char* file) override;
    void UnloadStringTable(const char* file) override;
    void LookupText(const char* table, const char* key, char* buffer, int32_t size) override;
    const char* GetTextByIndex(const char* table, int32_t index) override;
    // "First Last"; either name alone when the other is empty; "" for two empty names. Each name
    // is read up to 259 bytes; the result is cut to the buffer (never inside a double-byte
    // character) and always terminated.
    void FormatPilotName(const char* lastName, const char* firstName, char* buffer,
                         int32_t size) override;

    // Tables loaded more often than unloaded are reported under `who`; the counts restart.
    void CheckBalanced(const std::string& who);

    struct Table {
        bool ok = false;
        std::string error;
        std::vector<std::pair<std::string, std::string>> entries; // key, text in file order
        std::map<std::string, size_t> byKey;                      // folded key -> entry
    };
    // Reads (once) and returns the table named `file` under the text directory.
    const Table& Get(const std::string& file);

private:
    Journal* journal_;
    std::filesystem::path directory_;
    std::map<std::string, Table> tables_;  // folded file name -> table
    std::map<std::string, int> loadCount_; // folded file name -> loads - unloads
};

// Parses the text of a string table ("KEY=Text" lines, ";" comments, blank lines ignored).
bool ParseStringTable(const std::string& path, const std::string& data, HostText::Table* out);

class HostOptions final : public OptionsService {
public:
    HostOptions(Journal* journal, HostMemory* memory)
        : options(journal, memory, "options document"), journal_(journal) {}

    void GetOptions(ConfigDocument** holder) override;
    void ReleaseOptions(ConfigDocument** holder) override;
    void CommitOptions(ConfigDocument** holder) override;

    DocumentLender options;
    bool complete = true; // the document was read completely (only then is it written back)
    int commits = 0;

private:
    Journal* journal_;
};

// Journaling wrappers over the game-data services (the catalogues journal nothing themselves).
class JournaledObjects final : public ObjectService {
public:
    JournaledObjects(Journal* journal, ObjectCatalog* inner);
    int32_t FindClass(const char* name) override;
    void GetClassList(int32_t classId, ObjectList** holder) override;

private:
    class List final : public ObjectList {
    public:
        List(Journal* journal, AircraftList* inner) : journal_(journal), inner_(inner) {}
        int32_t Count() override;
        const char* GetDisplayName(int32_t index) override;
        const char* GetName(int32_t index) override;
        int32_t FindByName(const char* name) override;
        int32_t GetRecord(int32_t index, const uint8_t** holder) override;
        int32_t IsAvailable(int32_t index) override;
        int32_t SupportsMissionType(int32_t index, int32_t missionType, int32_t flags) override;
        int32_t LookupMissionObject(int32_t value) override;

    private:
        Journal* journal_;
        AircraftList* inner_;
    };
    Journal* journal_;
    ObjectCatalog* inner_;
    List list_;
};

class JournaledTerrains final : public TerrainService {
public:
    JournaledTerrains(Journal* journal, TerrainCatalog* inner) : journal_(journal), inner_(inner) {}
    int32_t Count() override;
    const char* GetDisplayName(int32_t index) override;
    const char* GetName(int32_t index) override;
    int32_t FindByName(const char* name) override;
    int32_t IsHidden(int32_t index) override;

private:
    Journal* journal_;
    TerrainCatalog* inner_;
};

class JournaledMissions final : public MissionService {
public:
    JournaledMissions(Journal* journal, MissionStore* inner) : journal_(journal), inner_(inner) {}
    int32_t LoadSavedMission(const char* name) override;
    void ReadMissionHeader(const char* name, MissionHeader* header) override;
    int32_t CreateMission(const MissionSettings* settings) override;
    void GetCurrentMission(const uint8_t** holder) override;

    int created = 0; // missions created in this session
    int loaded = 0;  // saved missions loaded in this session
    // Details blocks of ReadMissionHeader go to this MEM under the tag of the module that
    // allocated last (the loaded plug-in); none hands out no block.
    HostMemory* memory = nullptr;

private:
    Journal* journal_;
    MissionStore* inner_;
};

// The registry handed to the plug-ins.
class HostShell final : public AppShell {
public:
    explicit HostShell(Journal* journal) : journal_(journal) {}

    int32_t AcquireService(const char* id, void* holder) override;
    int32_t ReleaseService(const char* id, void* holder) override;

    // Host side: the service behind an identifier (its interface pointer), or none.
    void Register(const char* id, void* service) { services_[id] = service; }
    void* Lookup(const std::string& id) const;
    size_t Outstanding() const { return held_.size(); }
    // Every acquisition not released is reported under `who`; the list restarts.
    void CheckBalanced(const std::string& who);

private:
    struct Acquisition {
        std::string id;
        void* holder;
        void* service;
    };
    Journal* journal_;
    std::map<std::string, void*> services_;
    std::vector<Acquisition> held_;
};

// The shell as the host's own framework copy sees it: the same services, nothing journaled or
// counted (the host binds its framework with tag "HOST" so its documents live in the same MEM).
class InternalShell final : public AppShell {
public:
    explicit InternalShell(const HostShell* registry) : registry_(registry) {}
    int32_t AcquireService(const char* id, void* holder) override;
    int32_t ReleaseService(const char* id, void* holder) override;

private:
    const HostShell* registry_;
};

} // namespace host
