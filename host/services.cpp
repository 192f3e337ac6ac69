#include "host/services.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/text.h"

namespace host {

namespace {

template <typename T> T* ReadHolder(void* holder) {
    T* value = nullptr;
    std::memcpy(&value, holder, sizeof value);
    return value;
}

void WriteHolder(void* holder, void* value) {
    std::memcpy(holder, &value, sizeof value);
}

std::string Fold(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace

size_t AdoptDocument(HostMemory* memory, ConfigDocument* document) {
    if (memory == nullptr || document == nullptr) {
        return 0;
    }
    size_t moved = 0;
    auto adopt = [&](const void* block) {
        if (block != nullptr && memory->IsLive(block) != 0) {
            const HostMemory::TagUse before = memory->Use(kHostTag);
            memory->Retag(block, kHostTag);
            if (memory->Use(kHostTag).liveBlocks != before.liveBlocks) {
                moved++;
            }
        }
    };
    for (CursorListNode* n = document->sections.head; n != nullptr; n = n->next) {
        adopt(n);
        auto* section = reinterpret_cast<ConfigSection*>(n->value);
        if (section == nullptr) {
            continue;
        }
        adopt(section);
        for (CursorListNode* v = section->values.head; v != nullptr; v = v->next) {
            adopt(v);
            adopt(reinterpret_cast<const void*>(v->value));
        }
    }
    adopt(document->strings.start);
    return moved;
}

// ---- labels --------------------------------------------------------------------------------

HostLabel::HostLabel(Journal* journal, const LabelDescription& given, std::string value)
    : description(given), text(std::move(value)), journal_(journal) {
    description.text = text.c_str();
}

void HostLabel::SetVisible(int32_t flag) {
    visible = flag != 0 ? 1 : 0;
    journal_->Record(Format("DSP label %s SetVisible(%d)", Quote(text.c_str()).c_str(), flag));
}

void HostDisplay::GetScreenSize(int32_t* w, int32_t* h) {
    if (w == nullptr || h == nullptr) {
        journal_->Breach("DSP GetScreenSize without the addresses of width and height");
        return;
    }
    *w = width;
    *h = height;
    journal_->Record(Format("DSP GetScreenSize -> %d x %d", width, height));
}

Label* HostDisplay::CreateTextLabel(const LabelDescription* d) {
    if (d == nullptr) {
        journal_->Breach("DSP CreateTextLabel without a description");
        return nullptr;
    }
    auto label = std::make_unique<HostLabel>(journal_, *d, Bounded(d->text, 1024));
    label->description.fontFace[sizeof label->description.fontFace - 1] = '\0';
    journal_->Record(Format("DSP CreateTextLabel(%s at %d,%d, %s %d, style %d, align %d)",
                            Quote(d->text, 1024).c_str(), d->x, d->y,
                            Quote(d->fontFace, sizeof d->fontFace).c_str(), d->fontSize, d->style,
                            d->alignment));
    labels.push_back(std::move(label));
    return labels.back().get();
}

void HostDisplay::DestroyTextLabel(Label** holder) {
    if (holder == nullptr || *holder == nullptr) {
        journal_->Breach("DSP DestroyTextLabel without a label");
        return;
    }
    for (auto it = labels.begin(); it != labels.end(); ++it) {
        if (static_cast<Label*>(it->get()) == *holder) {
            journal_->Record("DSP DestroyTextLabel(" + Quote((*it)->text.c_str()) + ")");
            labels.erase(it);
            *holder = nullptr;
            return;
        }
    }
    journal_->Breach("DSP DestroyTextLabel of a label the display did not make or already "
                     "destroyed");
}

void HostDisplay::CheckBalanced(const std::string& who) {
    for (const auto& label : labels) {
        journal_->Breach(who + " left label " + Quote(label->text.c_str()) + " undestroyed");
    }
    labels.clear();
}

// ---- lent documents ------------------------------------------------------------------------

void DocumentLender::Lend(const char* call, ConfigDocument** holder) {
    if (holder == nullptr) {
        journal_->Breach(Format("%s without a holder", call));
        return;
    }
    if (std::find(holders_.begin(), holders_.end(), holder) != holders_.end()) {
        journal_->Breach(Format("%s into a holder that already holds the %s", call, what_));
    } else {
        holders_.push_back(holder);
    }
    *holder = document_;
    journal_->Record(Format("%s -> %s", call,
                            document_ != nullptr ? document_->fileName : "none (no document)"));
}

int DocumentLender::TakeBack(const char* call, ConfigDocument** holder) {
    auto it =
        holder != nullptr ? std::find(holders_.begin(), holders_.end(), holder) : holders_.end();
    if (it == holders_.end()) {
        journal_->Breach(Format("%s through a holder the %s was not lent to", call, what_));
        return 0;
    }
    if (*holder != document_) {
        journal_->Breach(Format("%s: the holder no longer points at the %s", call, what_));
    }
    holders_.erase(it);
    *holder = nullptr;
    const size_t moved = AdoptDocument(memory_, document_);
    journal_->Record(moved > 0 ? Format("%s (%zu block(s) the plug-in added now belong to the "
                                        "shell)",
                                        call, moved)
                               : std::string(call));
    return 1;
}

void DocumentLender::CheckBalanced(const std::string& who, const char* giveBack) {
    for (size_t i = 0; i < holders_.size(); ++i) {
        journal_->Breach(Format("%s did not give the %s back (%s)", who.c_str(), what_, giveBack));
    }
    if (!holders_.empty()) {
        AdoptDocument(memory_, document_);
    }
    holders_.clear();
}

// ---- menu manager --------------------------------------------------------------------------

int32_t HostMenuManager::HasMissionControl() {
    journal_->Record(Format("MMG HasMissionControl -> %d", missionControlSelected));
    return missionControlSelected;
}

void HostMenuManager::SelectMissionControl(const char* name) {
    missionControl = Bounded(name);
    missionControlSelected = 1;
    journal_->Record("MMG SelectMissionControl(" + Quote(name) + ")");
}

void HostMenuManager::EntryActionFirst() {
    entryActions++;
    journal_->Record("MMG EntryActionFirst");
}

void HostMenuManager::EntryActionSecond() {
    entryActions++;
    entryActionDue = 0;
    journal_->Record("MMG EntryActionSecond");
}

int32_t HostMenuManager::IsEntryActionDue() {
    journal_->Record(Format("MMG IsEntryActionDue -> %d", entryActionDue));
    return entryActionDue;
}

void HostMenuManager::ChoiceFiveAction() {
    choiceFiveActions++;
    journal_->Record("MMG ChoiceFiveAction");
}

void HostMenuManager::CopyOut(const char* call, const std::string& value, char* buffer,
                              int32_t size) {
    if (buffer == nullptr || size <= 0) {
        journal_->Breach(Format("MMG %s without a buffer", call));
        return;
    }
    CopyText(buffer, value.c_str(), static_cast<size_t>(size));
    if (value.size() >= static_cast<size_t>(size)) {
        journal_->Error(Format("MMG %s: the directory %s does not fit %d bytes; move the game "
                               "folder to a shorter path",
                               call, value.c_str(), size));
    }
    journal_->Record(Format("MMG %s -> %s", call, Quote(buffer).c_str()));
}

void HostMenuManager::GetMissionDirectory(char* buffer, int32_t size) {
    CopyOut("GetMissionDirectory", missionDirectory, buffer, size);
}

void HostMenuManager::GetPilotDirectory(char* buffer, int32_t size) {
    CopyOut("GetPilotDirectory", pilotDirectory, buffer, size);
}

void HostMenuManager::LockPilotRoster(ConfigDocument** holder) {
    if (roster.Outstanding() > 0) {
        journal_->Breach("MMG LockPilotRoster while the roster is still locked");
    }
    roster.Lend("MMG LockPilotRoster", holder);
}

void HostMenuManager::UnlockPilotRoster(ConfigDocument** holder) {
    roster.TakeBack("MMG UnlockPilotRoster", holder);
}

// ---- string tables -------------------------------------------------------------------------

bool ParseStringTable(const std::string& path, const std::string& data, HostText::Table* out) {
    out->entries.clear();
    out->byKey.clear();
    std::istringstream in(data);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            line.erase(0, 3);
        }
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';') {
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            out->error = Format("%s:%d: a string table line is KEY=Text; this line has no \"=\"",
                                path.c_str(), number);
            return false;
        }
        std::string key = line.substr(first, eq - first);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) {
            key.pop_back();
        }
        if (key.empty()) {
            out->error = Format("%s:%d: the key before \"=\" is empty", path.c_str(), number);
            return false;
        }
        for (char c : line) {
            if (c == '\0') {
                out->error = Format("%s:%d: the line holds a NUL byte", path.c_str(), number);
                return false;
            }
        }
        const std::string folded = Fold(key);
        if (out->byKey.count(folded) != 0) {
            out->error = Format("%s:%d: key %s appears twice (keys ignore letter case)",
                                path.c_str(), number, key.c_str());
            return false;
        }
        out->byKey[folded] = out->entries.size();
        out->entries.emplace_back(key, line.substr(eq + 1));
    }
    out->ok = true;
    return true;
}

const HostText::Table& HostText::Get(const std::string& file) {
    const std::string folded = Fold(file);
    auto it = tables_.find(folded);
    if (it != tables_.end()) {
        return it->second;
    }
    Table& table = tables_[folded];
    const std::filesystem::path path = FindIgnoringCase(directory_, SplitPluginPath(file));
    const std::string shown = "text/" + file;
    std::ifstream in;
    if (!path.empty()) {
        in.open(path, std::ios::binary);
    }
    if (path.empty() || !in.is_open()) {
        table.error = shown + ": string table not found; add it to the game folder's text folder";
    } else {
        std::ostringstream data;
        data << in.rdbuf();
        ParseStringTable(shown, data.str(), &table);
    }
    if (!table.ok) {
        journal_->Error(table.error);
    }
    return table;
}

void HostText::LoadStringTable(const char* file) {
    const std::string name = Bounded(file);
    const Table& table = Get(name);
    loadCount_[Fold(name)]++;
    journal_->Record("TXT LoadStringTable(" + Quote(file) + ")" +
                     (table.ok ? Format(" -> %zu entries", table.entries.size())
                               : std::string(" -> not loaded")));
}

void HostText::UnloadStringTable(const char* file) {
    const std::string name = Bounded(file);
    int& count = loadCount_[Fold(name)];
    if (count <= 0) {
        journal_->Breach("TXT UnloadStringTable(" + Quote(file) + ") of a table not loaded");
        return;
    }
    count--;
    journal_->Record("TXT UnloadStringTable(" + Quote(file) + ")");
}

void HostText::LookupText(const char* table, const char* key, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) {
        journal_->Breach("TXT LookupText without a buffer");
        return;
    }
    const Table& t = Get(Bounded(table));
    auto it = t.byKey.find(Fold(Bounded(key)));
    const char* text = it != t.byKey.end() ? t.entries[it->second].second.c_str() : "";
    CopyText(buffer, text, static_cast<size_t>(size));
    journal_->Record(Format("TXT LookupText(%s, %s) -> %s", Quote(table).c_str(),
                            Quote(key).c_str(),
                            it != t.byKey.end() ? Quote(buffer).c_str() : "\"\" (no such key)"));
}

const char* HostText::GetTextByIndex(const char* table, int32_t index) {
    const Table& t = Get(Bounded(table));
    const bool found = index >= 0 && static_cast<size_t>(index) < t.entries.size();
    const char* text = found ? t.entries[static_cast<size_t>(index)].second.c_str() : "";
    journal_->Record(Format("TXT GetTextByIndex(%s, %d) -> %s", Quote(table).c_str(), index,
                            found ? Quote(text).c_str() : "\"\" (no such entry)"));
    return text;
}

void HostText::FormatPilotName(const char* lastName, const char* firstName, char* buffer,
                               int32_t size) {
    if (buffer == nullptr || size <= 0) {
        journal_->Breach("TXT FormatPilotName without a buffer");
        return;
    }
    const std::string last = Bounded(lastName, 259);
    const std::string first = Bounded(firstName, 259);
    std::string name = first;
    if (!first.empty() && !last.empty()) {
        name += " ";
    }
    name += last;
    CopyText(buffer, name.c_str(), static_cast<size_t>(size));
    journal_->Record(Format("TXT FormatPilotName(%s, %s) -> %s", Quote(lastName).c_str(),
                            Quote(firstName).c_str(), Quote(buffer).c_str()));
}

void HostText::CheckBalanced(const std::string& who) {
    for (auto& entry : loadCount_) {
        if (entry.second > 0) {
            journal_->Breach(Format("%s loaded string table %s and did not unload it", who.c_str(),
                                    entry.first.c_str()));
        }
    }
    loadCount_.clear();
}

// ---- options -------------------------------------------------------------------------------

void HostOptions::GetOptions(ConfigDocument** holder) {
    options.Lend("OPT GetOptions", holder);
}

void HostOptions::ReleaseOptions(ConfigDocument** holder) {
    options.TakeBack("OPT ReleaseOptions", holder);
}

void HostOptions::CommitOptions(ConfigDocument** holder) {
    ConfigDocument* document = options.Document();
    if (options.TakeBack("OPT CommitOptions", holder) == 0 || document == nullptr) {
        return;
    }
    commits++;
    if (!complete) {
        journal_->Error("the options document was not read completely, so it is not written "
                        "back over its file");
        return;
    }
    if (document->Save(nullptr) == 0) {
        journal_->Error(Format("the options could not be written to %s; the file on disk is "
                               "unchanged",
                               document->fileName));
        return;
    }
    journal_->Note(Format("options written to %s", document->fileName));
}

// ---- game data -----------------------------------------------------------------------------

JournaledObjects::JournaledObjects(Journal* journal, ObjectCatalog* inner)
    : journal_(journal), inner_(inner), list_(journal, &inner->Aircraft()) {}

int32_t JournaledObjects::FindClass(const char* name) {
    const int32_t id = inner_->FindClass(name);
    journal_->Record(Format("OBJ FindClass(%s) -> %d", Quote(name).c_str(), id));
    return id;
}

void JournaledObjects::GetClassList(int32_t classId, ObjectList** holder) {
    if (holder == nullptr) {
        journal_->Breach("OBJ GetClassList without a holder");
        return;
    }
    ObjectList* list = nullptr;
    inner_->GetClassList(classId, &list);
    *holder = list != nullptr ? &list_ : nullptr;
    journal_->Record(
        Format("OBJ GetClassList(%d) -> %s", classId,
               list != nullptr ? Format("%d aircraft", list->Count()).c_str() : "none"));
}

int32_t JournaledObjects::List::Count() {
    const int32_t n = inner_->Count();
    journal_->Record(Format("OBJ list Count -> %d", n));
    return n;
}

const char* JournaledObjects::List::GetDisplayName(int32_t index) {
    const char* text = inner_->GetDisplayName(index);
    journal_->Record(Format("OBJ list GetDisplayName(%d) -> %s", index, Quote(text).c_str()));
    return text;
}

const char* JournaledObjects::List::GetName(int32_t index) {
    const char* text = inner_->GetName(index);
    journal_->Record(Format("OBJ list GetName(%d) -> %s", index, Quote(text).c_str()));
    return text;
}

int32_t JournaledObjects::List::FindByName(const char* name) {
    const int32_t index = inner_->FindByName(name);
    journal_->Record(Format("OBJ list FindByName(%s) -> %d", Quote(name).c_str(), index));
    return index;
}

int32_t JournaledObjects::List::GetRecord(int32_t index, const uint8_t** holder) {
    const int32_t result = inner_->GetRecord(index, holder);
    journal_->Record(Format("OBJ list GetRecord(%d) -> %d", index, result));
    return result;
}

int32_t JournaledObjects::List::IsAvailable(int32_t index) {
    const int32_t result = inner_->IsAvailable(index);
    journal_->Record(Format("OBJ list IsAvailable(%d) -> %d", index, result));
    return result;
}

int32_t JournaledObjects::List::SupportsMissionType(int32_t index, int32_t type, int32_t flags) {
    const int32_t result = inner_->SupportsMissionType(index, type, flags);
    journal_->Record(
        Format("OBJ list SupportsMissionType(%d, %d, %d) -> %d", index, type, flags, result));
    return result;
}

int32_t JournaledObjects::List::LookupMissionObject(int32_t value) {
    const int32_t result = inner_->LookupMissionObject(value);
    journal_->Record(Format("OBJ list LookupMissionObject(%d) -> %d", value, result));
    return result;
}

int32_t JournaledTerrains::Count() {
    const int32_t n = inner_->Count();
    journal_->Record(Format("TER Count -> %d", n));
    return n;
}

const char* JournaledTerrains::GetDisplayName(int32_t index) {
    const char* text = inner_->GetDisplayName(index);
    journal_->Record(Format("TER GetDisplayName(%d) -> %s", index, Quote(text).c_str()));
    return text;
}

const char* JournaledTerrains::GetName(int32_t index) {
    const char* text = inner_->GetName(index);
    journal_->Record(Format("TER GetName(%d) -> %s", index, Quote(text).c_str()));
    return text;
}

int32_t JournaledTerrains::FindByName(const char* name) {
    const int32_t index = inner_->FindByName(name);
    journal_->Record(Format("TER FindByName(%s) -> %d", Quote(name).c_str(), index));
    return index;
}

int32_t JournaledTerrains::IsHidden(int32_t index) {
    const int32_t result = inner_->IsHidden(index);
    journal_->Record(Format("TER IsHidden(%d) -> %d", index, result));
    return result;
}

int32_t JournaledMissions::LoadSavedMission(const char* name) {
    const int32_t result = inner_->LoadSavedMission(name);
    if (result != 0) {
        loaded++;
    }
    journal_->Record(Format("MSN LoadSavedMission(%s) -> %d%s", Quote(name).c_str(), result,
                            result != 0 ? "" : (" (" + inner_->LastError() + ")").c_str()));
    return result;
}

void JournaledMissions::ReadMissionHeader(const char* name, MissionHeader* header) {
    if (header == nullptr) {
        journal_->Breach("MSN ReadMissionHeader without a header");
        return;
    }
    if (memory != nullptr) {
        inner_->SetClientMemory(memory, memory->LastClientTag().c_str());
    }
    inner_->ReadMissionHeader(name, header);
    journal_->Record(Format(
        "MSN ReadMissionHeader(%s) -> type %d, %s, %s, year %d%s", Quote(name).c_str(),
        header->missionType, Quote(header->aircraftName).c_str(), Quote(header->mapName).c_str(),
        header->date.year, header->details != nullptr ? ", details block" : ""));
}

int32_t JournaledMissions::CreateMission(const MissionSettings* settings) {
    const int32_t result = inner_->CreateMission(settings);
    if (result != 0) {
        created++;
    }
    journal_->Record(Format(
        "MSN CreateMission(%s) -> %d: %s", settings != nullptr ? "settings" : "none", result,
        result != 0 ? inner_->DescribeCurrentMission().c_str() : inner_->LastError().c_str()));
    return result;
}

void JournaledMissions::GetCurrentMission(const uint8_t** holder) {
    if (holder == nullptr) {
        journal_->Breach("MSN GetCurrentMission without a holder");
        return;
    }
    inner_->GetCurrentMission(holder);
    journal_->Record(std::string("MSN GetCurrentMission -> ") +
                     (*holder != nullptr ? inner_->DescribeCurrentMission() : "none"));
}

// ---- registry ------------------------------------------------------------------------------

void* HostShell::Lookup(const std::string& id) const {
    auto it = services_.find(id);
    return it == services_.end() ? nullptr : it->second;
}

int32_t HostShell::AcquireService(const char* id, void* holder) {
    const std::string name = Bounded(id, 16);
    if (holder == nullptr) {
        journal_->Breach("AcquireService(" + Quote(id, 16) + ") without a holder");
        return 0;
    }
    void* service = Lookup(name);
    for (const Acquisition& a : held_) {
        if (a.holder == holder) {
            journal_->Breach("AcquireService(" + Quote(id, 16) + ") into a holder that still " +
                             "holds " + a.id + " (that acquisition is never released)");
        }
    }
    WriteHolder(holder, service);
    if (service == nullptr) {
        journal_->Record("AcquireService(" + Quote(id, 16) + ") -> none (no such service)");
        return 0;
    }
    held_.push_back(Acquisition{name, holder, service});
    journal_->Record("AcquireService(" + name + ")");
    return 1;
}

int32_t HostShell::ReleaseService(const char* id, void* holder) {
    const std::string name = Bounded(id, 16);
    if (holder == nullptr) {
        journal_->Breach("ReleaseService(" + Quote(id, 16) + ") without a holder");
        return 0;
    }
    for (auto it = held_.begin(); it != held_.end(); ++it) {
        if (it->id == name && it->holder == holder) {
            if (ReadHolder<void>(holder) != it->service) {
                journal_->Breach("ReleaseService(" + name +
                                 "): the holder no longer points at the service");
            }
            held_.erase(it);
            WriteHolder(holder, nullptr);
            journal_->Record("ReleaseService(" + name + ")");
            return 1;
        }
    }
    void* service = ReadHolder<void>(holder);
    if (service == nullptr && Lookup(name) == nullptr) {
        journal_->Record("ReleaseService(" + Quote(id, 16) + ") of a service never supplied");
        return 0;
    }
    journal_->Breach("ReleaseService(" + Quote(id, 16) +
                     ") through a holder that holds no acquisition of it (the identifier and " +
                     "the holder address must be those of the acquisition)");
    return 0;
}

void HostShell::CheckBalanced(const std::string& who) {
    for (const Acquisition& a : held_) {
        journal_->Breach(who + " did not release " + a.id);
    }
    held_.clear();
}

int32_t InternalShell::AcquireService(const char* id, void* holder) {
    if (holder == nullptr) {
        return 0;
    }
    void* service = registry_->Lookup(Bounded(id, 16));
    WriteHolder(holder, service);
    return service != nullptr ? 1 : 0;
}

int32_t InternalShell::ReleaseService(const char*, void* holder) {
    if (holder != nullptr) {
        WriteHolder(holder, nullptr);
    }
    return 1;
}

} // namespace host
