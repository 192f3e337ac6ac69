#include "tests/support/fake_shell.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace fake {

namespace {

std::string Num(int64_t value) {
    return std::to_string(value);
}

std::string Call(const std::string& who, const char* op, const std::vector<std::string>& args) {
    std::string entry = who + "." + op + "(";
    for (size_t i = 0; i < args.size(); ++i) {
        if (i != 0) {
            entry += ",";
        }
        entry += args[i];
    }
    return entry + ")";
}

// What a shell does with a caller's buffer: bounded, always terminated when size > 0.
void CopyOut(const std::string& text, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) {
        return;
    }
    const size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

template <typename T> void StorePointer(void* holder, T* value) {
    if (holder != nullptr) {
        std::memcpy(holder, &value, sizeof value);
    }
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool SameNoCase(const std::string& a, const char* b) {
    return b != nullptr && Lower(a) == Lower(b);
}

std::string NormalPath(const std::string& path) {
    std::string out = Lower(path);
    std::replace(out.begin(), out.end(), '/', '\\');
    while (out.rfind(".\\", 0) == 0) {
        out.erase(0, 2);
    }
    return out;
}

} // namespace

std::string Text(const char* text) {
    return text == nullptr ? "null" : std::string(text);
}

// ---- Journal ------------------------------------------------------------------------------

int Journal::IndexOf(const std::string& entry, int from) const {
    for (size_t i = static_cast<size_t>(std::max(from, 0)); i < entries.size(); ++i) {
        if (entries[i] == entry) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Journal::Count(const std::string& entry) const {
    return static_cast<int>(std::count(entries.begin(), entries.end(), entry));
}

std::vector<std::string> Journal::WithPrefix(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& e : entries) {
        if (e.rfind(prefix, 0) == 0) {
            out.push_back(e);
        }
    }
    return out;
}

bool Journal::InOrder(const std::vector<std::string>& expected) const {
    int at = 0;
    for (const std::string& e : expected) {
        const int found = IndexOf(e, at);
        if (found < 0) {
            return false;
        }
        at = found + 1;
    }
    return true;
}

std::string Journal::Dump() const {
    std::ostringstream out;
    for (size_t i = 0; i < entries.size(); ++i) {
        out << i << ": " << entries[i] << "\n";
    }
    return out.str();
}

// ---- MEM ----------------------------------------------------------------------------------

FakeMemory::~FakeMemory() {
    for (auto& [block, info] : blocks_) {
        std::free(const_cast<void*>(block));
    }
}

void* FakeMemory::Allocate(uint32_t size, int32_t zero1, int32_t zero2, const char* tag) {
    ++allocations;
    if (journalCalls) {
        shell_.journal.Add(Call("MEM", "Allocate", {Num(size), Num(zero1), Num(zero2), Text(tag)}));
    }
    if (zero1 != 0 || zero2 != 0) {
        shell_.RecordMisuse("MEM.Allocate called with nonzero reserved arguments");
    }
    if (failAt > 0 && (allocations == failAt || (failFromThenOn && allocations > failAt))) {
        ++failures;
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        return nullptr;
    }
    std::memset(block, fillByte, size == 0 ? 1 : size);
    blocks_[block] = Block{Text(tag), size};
    freed_.erase(block);
    return block;
}

void FakeMemory::Free(void* block) {
    if (journalCalls) {
        shell_.journal.Add("MEM.Free()");
    }
    if (block == nullptr) {
        shell_.RecordMisuse("MEM.Free of none");
        return;
    }
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
        shell_.RecordMisuse(freed_.count(block) != 0 ? "MEM.Free of a block already freed"
                                                     : "MEM.Free of a block MEM never gave out");
        return;
    }
    std::free(block);
    blocks_.erase(it);
    freed_.insert(block);
}

void FakeMemory::ReleaseTag(const char* tag) {
    shell_.journal.Add(Call("MEM", "ReleaseTag", {Text(tag)}));
    releasedTags.push_back(Text(tag));
}

int FakeMemory::LiveBlocks(const std::string& tag) const {
    int n = 0;
    for (const auto& [block, info] : blocks_) {
        n += info.tag == tag ? 1 : 0;
    }
    return n;
}

int FakeMemory::LiveBlocks() const {
    return static_cast<int>(blocks_.size());
}

size_t FakeMemory::LiveBytes(const std::string& tag) const {
    size_t n = 0;
    for (const auto& [block, info] : blocks_) {
        n += info.tag == tag ? info.size : 0;
    }
    return n;
}

// ---- APP ----------------------------------------------------------------------------------

int32_t FakeApp::GetAppValueB() {
    shell_.journal.Add("APP.GetAppValueB()");
    return valueB;
}
int32_t FakeApp::GetAppValueA() {
    shell_.journal.Add("APP.GetAppValueA()");
    return valueA;
}
const int32_t* FakeApp::GetAppRecord() {
    shell_.journal.Add("APP.GetAppRecord()");
    return record;
}

// ---- FMG ----------------------------------------------------------------------------------

const std::string* FakeFiles::Lookup(const char* path) const {
    if (path == nullptr) {
        return nullptr;
    }
    const std::string wanted = NormalPath(path);
    for (const auto& [name, bytes] : files) {
        if (NormalPath(name) == wanted) {
            return &bytes;
        }
    }
    return nullptr;
}

void FakeFiles::FileClose(int32_t handle) {
    shell_.journal.Add(Call("FMG", "FileClose", {Num(handle)}));
    if (open_.erase(handle) == 0) {
        shell_.RecordMisuse("FMG.FileClose of a handle that is not open: " + Num(handle));
    }
}

int32_t FakeFiles::FileOpen(const char* path) {
    shell_.journal.Add(Call("FMG", "FileOpen", {Text(path)}));
    const std::string* bytes = Lookup(path);
    if (bytes == nullptr) {
        return -1;
    }
    for (const std::string& p : unopenable) {
        if (NormalPath(p) == NormalPath(path)) {
            return -1;
        }
    }
    const int32_t handle = nextHandle_++;
    open_[handle] = Open{*bytes, 0};
    return handle;
}

int32_t FakeFiles::FileRead(int32_t handle, void* buffer, int32_t count) {
    shell_.journal.Add(Call("FMG", "FileRead", {Num(handle), Num(count)}));
    auto it = open_.find(handle);
    if (it == open_.end()) {
        shell_.RecordMisuse("FMG.FileRead of a handle that is not open: " + Num(handle));
        return 0;
    }
    if (count <= 0 || buffer == nullptr) {
        return 0;
    }
    Open& f = it->second;
    const size_t n = std::min(static_cast<size_t>(count), f.bytes.size() - f.position);
    std::memcpy(buffer, f.bytes.data() + f.position, n);
    f.position += n;
    return static_cast<int32_t>(n);
}

int32_t FakeFiles::FileExists(const char* path, int32_t flag) {
    shell_.journal.Add(Call("FMG", "FileExists", {Text(path), Num(flag)}));
    return Lookup(path) != nullptr ? 1 : 0;
}

void FakeFiles::PushDirectory() {
    shell_.journal.Add("FMG.PushDirectory()");
    ++directoryDepth;
}

void FakeFiles::PopDirectory() {
    shell_.journal.Add("FMG.PopDirectory()");
    if (directoryDepth <= 0) {
        shell_.RecordMisuse("FMG.PopDirectory without a PushDirectory");
        return;
    }
    --directoryDepth;
}

// ---- DSP and Label --------------------------------------------------------------------------

void FakeLabel::SetVisible(int32_t flag) {
    shell_.journal.Add(Call("Label" + Num(number), "SetVisible", {Num(flag)}));
    if (destroyed) {
        shell_.RecordMisuse("SetVisible on destroyed label " + Num(number));
    }
    visible = flag;
}

void FakeDisplay::GetScreenSize(int32_t* w, int32_t* h) {
    shell_.journal.Add("DSP.GetScreenSize()");
    if (w != nullptr) {
        *w = width;
    }
    if (h != nullptr) {
        *h = height;
    }
}

Label* FakeDisplay::CreateTextLabel(const LabelDescription* description) {
    ++creates_;
    const std::string text = description != nullptr ? Text(description->text) : "null";
    shell_.journal.Add(Call("DSP", "CreateTextLabel", {text}));
    if (description == nullptr) {
        shell_.RecordMisuse("DSP.CreateTextLabel without a description");
        return nullptr;
    }
    descriptions.push_back(*description);
    texts.push_back(text);
    if (failCreate.count(creates_) != 0) {
        return nullptr;
    }
    labels.emplace_back(shell_, creates_);
    return &labels.back();
}

void FakeDisplay::DestroyTextLabel(Label** holder) {
    if (holder == nullptr || *holder == nullptr) {
        shell_.journal.Add("DSP.DestroyTextLabel(null)");
        shell_.RecordMisuse("DSP.DestroyTextLabel without a label");
        return;
    }
    FakeLabel* found = nullptr;
    for (FakeLabel& label : labels) {
        if (&label == *holder) {
            found = &label;
        }
    }
    if (found == nullptr) {
        shell_.journal.Add("DSP.DestroyTextLabel(unknown)");
        shell_.RecordMisuse("DSP.DestroyTextLabel of a label DSP never made");
        return;
    }
    shell_.journal.Add(Call("DSP", "DestroyTextLabel", {"Label" + Num(found->number)}));
    if (found->destroyed) {
        shell_.RecordMisuse("label " + Num(found->number) + " destroyed twice");
    }
    found->destroyed = true;
    *holder = nullptr;
}

int FakeDisplay::LiveLabels() const {
    return static_cast<int>(std::count_if(labels.begin(), labels.end(),
                                          [](const FakeLabel& l) { return !l.destroyed; }));
}

// ---- Control --------------------------------------------------------------------------------

int32_t FakeControl::SetVisible(int32_t flag) {
    shell_.journal.Add(Call(name, "SetVisible", {Num(flag)}));
    visible = flag;
    return setVisibleAnswer;
}
void FakeControl::SetText(const char* value) {
    shell_.journal.Add(Call(name, "SetText", {Text(value)}));
    text = value == nullptr ? "" : value;
}
void FakeControl::SetEnabled(int32_t flag) {
    shell_.journal.Add(Call(name, "SetEnabled", {Num(flag)}));
    enabled = flag;
}
void FakeControl::Clear() {
    shell_.journal.Add(Call(name, "Clear", {}));
    rows.clear();
    selected = -1;
}
void FakeControl::AddItem(const char* value) {
    shell_.journal.Add(Call(name, "AddItem", {Text(value)}));
    rows.push_back(Row{value == nullptr ? "" : value, 0});
}
void FakeControl::AddItemWithData(const char* value, int32_t data) {
    shell_.journal.Add(Call(name, "AddItemWithData", {Text(value), Num(data)}));
    rows.push_back(Row{value == nullptr ? "" : value, data});
}
int32_t FakeControl::FindItem(const char* value, int32_t start, int32_t flags) {
    shell_.journal.Add(Call(name, "FindItem", {Text(value), Num(start), Num(flags)}));
    if (value == nullptr) {
        return -1;
    }
    for (size_t row = static_cast<size_t>(std::max(start + 1, 0)); row < rows.size(); ++row) {
        if (rows[row].text == value) {
            return static_cast<int32_t>(row);
        }
    }
    return -1;
}
void FakeControl::SelectItem(int32_t row) {
    shell_.journal.Add(Call(name, "SelectItem", {Num(row)}));
    selected = row >= 0 && static_cast<size_t>(row) < rows.size() ? row : -1;
}
int32_t FakeControl::GetSelectedIndex() {
    shell_.journal.Add(Call(name, "GetSelectedIndex", {}));
    return selected;
}
void FakeControl::GetSelectedText(char* buffer, int32_t size) {
    shell_.journal.Add(Call(name, "GetSelectedText", {Num(size)}));
    const bool valid = selected >= 0 && static_cast<size_t>(selected) < rows.size();
    CopyOut(valid ? rows[static_cast<size_t>(selected)].text : std::string(), buffer, size);
}

// ---- Page -------------------------------------------------------------------------------------

int32_t FakePage::SetVisible(int32_t flag) {
    shell_.journal.Add(Call("Page" + Num(id), "SetVisible", {Num(flag)}));
    visible = flag;
    return setVisibleAnswer;
}

int32_t FakePage::GetControl(int32_t index, int32_t kind, Control** holder) {
    shell_.journal.Add(Call("Page" + Num(id), "GetControl", {Num(index), Num(kind)}));
    FakeControl* control = FindControl(index, kind);
    if (control == nullptr && autoControls) {
        control = &AddControl(index, kind);
    }
    if (holder != nullptr) {
        *holder = control;
    }
    return control != nullptr ? 1 : 0;
}

FakeControl& FakePage::AddControl(int32_t index, int32_t kind) {
    auto& slot = controls_[{index, kind}];
    if (!slot) {
        slot = std::make_unique<FakeControl>(shell_, "Control" + Num(id) + "." + Num(kind) + "." +
                                                         Num(index));
    }
    return *slot;
}

FakeControl* FakePage::FindControl(int32_t index, int32_t kind) {
    auto it = controls_.find({index, kind});
    return it == controls_.end() ? nullptr : it->second.get();
}

// ---- MNU ----------------------------------------------------------------------------------

int32_t FakeMenu::GetActiveControlId() {
    shell_.journal.Add("MNU.GetActiveControlId()");
    return activeControlId;
}
int32_t FakeMenu::GetCurrentPage() {
    shell_.journal.Add("MNU.GetCurrentPage()");
    return currentPage;
}
void FakeMenu::SetCurrentPage(int32_t index) {
    shell_.journal.Add(Call("MNU", "SetCurrentPage", {Num(index)}));
    currentPage = index;
}
int32_t FakeMenu::PostResult(int32_t kind, int32_t value) {
    shell_.journal.Add(Call("MNU", "PostResult", {Num(kind), Num(value)}));
    posted.emplace_back(kind, value);
    return postResultAnswer;
}
int32_t FakeMenu::SetMissionObject(int32_t value) {
    shell_.journal.Add(Call("MNU", "SetMissionObject", {Num(value)}));
    return setMissionObjectAnswer;
}
void FakeMenu::NotifyEnter() {
    shell_.journal.Add("MNU.NotifyEnter()");
}

int32_t FakeMenu::GetChild(int32_t id, int32_t kind, void* holder) {
    shell_.journal.Add(Call("MNU", "GetChild", {Num(id), Num(kind)}));
    const bool present = children.count({id, kind}) != 0;
    if (kind == kKindSubMenu) {
        Page* page = present ? &AddPage(id) : nullptr;
        StorePointer(holder, page);
    } else {
        Control* control = present ? &AddChildControl(id, kind) : nullptr;
        StorePointer(holder, control);
    }
    return present ? 1 : 0;
}

ConfigDocument* FakeMenu::GetMenuDocument(int32_t flags) {
    shell_.journal.Add(Call("MNU", "GetMenuDocument", {Num(flags)}));
    return menuDocument;
}

FakePage& FakeMenu::AddPage(int32_t id) {
    children.insert({id, kKindSubMenu});
    auto& slot = pages_[id];
    if (!slot) {
        slot = std::make_unique<FakePage>(shell_, id);
    }
    return *slot;
}

FakePage* FakeMenu::FindPage(int32_t id) {
    auto it = pages_.find(id);
    return it == pages_.end() ? nullptr : it->second.get();
}

FakeControl& FakeMenu::AddChildControl(int32_t id, int32_t kind) {
    children.insert({id, kind});
    auto& slot = controls_[{id, kind}];
    if (!slot) {
        slot = std::make_unique<FakeControl>(shell_, "Child" + Num(id) + "." + Num(kind));
    }
    return *slot;
}

// ---- MMG ----------------------------------------------------------------------------------

int32_t FakeMenuManager::HasMissionControl() {
    shell_.journal.Add("MMG.HasMissionControl()");
    return hasMissionControl;
}
void FakeMenuManager::SelectMissionControl(const char* name) {
    shell_.journal.Add(Call("MMG", "SelectMissionControl", {Text(name)}));
}
void FakeMenuManager::EntryActionFirst() {
    shell_.journal.Add("MMG.EntryActionFirst()");
}
void FakeMenuManager::GetMissionDirectory(char* buffer, int32_t size) {
    shell_.journal.Add(Call("MMG", "GetMissionDirectory", {Num(size)}));
    CopyOut(missionDirectory, buffer, size);
}
int32_t FakeMenuManager::IsEntryActionDue() {
    shell_.journal.Add("MMG.IsEntryActionDue()");
    return entryActionDue;
}
void FakeMenuManager::ChoiceFiveAction() {
    shell_.journal.Add("MMG.ChoiceFiveAction()");
}
void FakeMenuManager::EntryActionSecond() {
    shell_.journal.Add("MMG.EntryActionSecond()");
}
void FakeMenuManager::GetPilotDirectory(char* buffer, int32_t size) {
    shell_.journal.Add(Call("MMG", "GetPilotDirectory", {Num(size)}));
    CopyOut(pilotDirectory, buffer, size);
}

void FakeMenuManager::LockPilotRoster(ConfigDocument** holder) {
    shell_.journal.Add("MMG.LockPilotRoster()");
    if (holder == nullptr) {
        shell_.RecordMisuse("MMG.LockPilotRoster without a holder");
        return;
    }
    if (lockDepth > 0) {
        shell_.RecordMisuse("MMG.LockPilotRoster while the roster is already locked");
    }
    ++lockDepth;
    ++locks;
    lockHolders_.push_back(holder);
    *holder = roster;
}

void FakeMenuManager::UnlockPilotRoster(ConfigDocument** holder) {
    shell_.journal.Add("MMG.UnlockPilotRoster()");
    auto it = std::find(lockHolders_.begin(), lockHolders_.end(), holder);
    if (it == lockHolders_.end()) {
        shell_.RecordMisuse("MMG.UnlockPilotRoster through a holder that was never locked");
        return;
    }
    if (*holder != roster) {
        shell_.RecordMisuse("MMG.UnlockPilotRoster with a different document than was lent");
    }
    lockHolders_.erase(it);
    --lockDepth;
    if (shell_.clearHolderOnRelease) {
        *holder = nullptr;
    }
}

// ---- MSN ----------------------------------------------------------------------------------

int32_t FakeMissions::LoadSavedMission(const char* name) {
    shell_.journal.Add(Call("MSN", "LoadSavedMission", {Text(name)}));
    return loadAnswer;
}

void FakeMissions::ReadMissionHeader(const char* name, MissionHeader* header) {
    shell_.journal.Add(Call("MSN", "ReadMissionHeader", {Text(name)}));
    if (name == nullptr || header == nullptr) {
        return;
    }
    auto it = saved.find(name);
    if (it == saved.end()) {
        return;
    }
    *header = it->second.header;
    header->details = nullptr;
    if (!it->second.details.empty()) {
        const std::string& d = it->second.details;
        void* block =
            shell_.memory.Allocate(static_cast<uint32_t>(d.size() + 1), 0, 0, detailsTag.c_str());
        if (block != nullptr) {
            std::memcpy(block, d.c_str(), d.size() + 1);
            header->details = static_cast<char*>(block);
        }
    }
}

int32_t FakeMissions::CreateMission(const MissionSettings* settings) {
    shell_.journal.Add(Call("MSN", "CreateMission", {settings == nullptr ? "null" : "settings"}));
    MissionSettings copy{};
    if (settings != nullptr) {
        copy = *settings;
    }
    created.push_back(copy);
    createdWithSettings.push_back(settings != nullptr);
    return createAnswer;
}

void FakeMissions::GetCurrentMission(const uint8_t** holder) {
    shell_.journal.Add("MSN.GetCurrentMission()");
    if (holder != nullptr) {
        *holder = currentMission.empty() ? nullptr : currentMission.data();
    }
}

void FakeMissions::SetCurrentMissionObject(int32_t value) {
    if (currentMission.size() < static_cast<size_t>(kCurrentMissionRecordMinSize)) {
        currentMission.resize(static_cast<size_t>(kCurrentMissionRecordMinSize), 0);
    }
    std::memcpy(currentMission.data() + kCurrentMissionObjectOffset, &value, sizeof value);
}

// ---- TXT ----------------------------------------------------------------------------------

void FakeText::LoadStringTable(const char* file) {
    shell_.journal.Add(Call("TXT", "LoadStringTable", {Text(file)}));
    ++loaded[Text(file)];
}

void FakeText::UnloadStringTable(const char* file) {
    shell_.journal.Add(Call("TXT", "UnloadStringTable", {Text(file)}));
    int& count = loaded[Text(file)];
    if (count <= 0) {
        shell_.RecordMisuse("TXT.UnloadStringTable of a table not loaded: " + Text(file));
        return;
    }
    --count;
}

void FakeText::LookupText(const char* table, const char* key, char* buffer, int32_t size) {
    shell_.journal.Add(Call("TXT", "LookupText", {Text(table), Text(key), Num(size)}));
    std::string answer = missingText;
    auto t = keyed.find(Text(table));
    if (t != keyed.end()) {
        auto k = t->second.find(Text(key));
        if (k != t->second.end()) {
            answer = k->second;
        }
    }
    CopyOut(answer, buffer, size);
}

const char* FakeText::GetTextByIndex(const char* table, int32_t index) {
    shell_.journal.Add(Call("TXT", "GetTextByIndex", {Text(table), Num(index)}));
    auto t = indexed.find(Text(table));
    if (t == indexed.end() || index < 0 || static_cast<size_t>(index) >= t->second.size()) {
        return nullptr;
    }
    return t->second[static_cast<size_t>(index)].c_str();
}

void FakeText::FormatPilotName(const char* lastName, const char* firstName, char* buffer,
                               int32_t size) {
    shell_.journal.Add(
        Call("TXT", "FormatPilotName", {Text(lastName), Text(firstName), Num(size)}));
    const std::string last = lastName == nullptr ? "" : lastName;
    const std::string first = firstName == nullptr ? "" : firstName;
    std::string name;
    if (pilotName) {
        name = pilotName(last, first);
    } else {
        name = first;
        if (!first.empty() && !last.empty()) {
            name += " ";
        }
        name += last;
    }
    CopyOut(name, buffer, size);
}

// ---- OPT ----------------------------------------------------------------------------------

void FakeOptions::GetOptions(ConfigDocument** holder) {
    shell_.journal.Add("OPT.GetOptions()");
    if (holder == nullptr) {
        shell_.RecordMisuse("OPT.GetOptions without a holder");
        return;
    }
    ++lent;
    holders_.push_back(holder);
    *holder = options;
}

void FakeOptions::GiveBack(ConfigDocument** holder, const char* op) {
    shell_.journal.Add(std::string("OPT.") + op + "()");
    auto it = std::find(holders_.begin(), holders_.end(), holder);
    if (it == holders_.end()) {
        shell_.RecordMisuse(std::string("OPT.") + op + " through a holder that was never lent to");
        return;
    }
    if (*holder != options) {
        shell_.RecordMisuse(std::string("OPT.") + op + " with a different document than was lent");
    }
    holders_.erase(it);
    if (shell_.clearHolderOnRelease) {
        *holder = nullptr;
    }
}

void FakeOptions::ReleaseOptions(ConfigDocument** holder) {
    ++releases;
    GiveBack(holder, "ReleaseOptions");
}

void FakeOptions::CommitOptions(ConfigDocument** holder) {
    ++commits;
    GiveBack(holder, "CommitOptions");
}

// ---- OBJ, ObjectList ------------------------------------------------------------------------

namespace {
template <typename E> bool InRange(const std::vector<E>& v, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < v.size();
}
} // namespace

int32_t FakeObjectList::Count() {
    shell_.journal.Add(name + ".Count()");
    return static_cast<int32_t>(entries.size());
}

const char* FakeObjectList::GetDisplayName(int32_t index) {
    shell_.journal.Add(Call(name, "GetDisplayName", {Num(index)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse(name + ".GetDisplayName out of range: " + Num(index));
        return nullptr;
    }
    const Entry& e = entries[static_cast<size_t>(index)];
    return e.hasDisplayName ? e.displayName.c_str() : nullptr;
}

const char* FakeObjectList::GetName(int32_t index) {
    shell_.journal.Add(Call(name, "GetName", {Num(index)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse(name + ".GetName out of range: " + Num(index));
        return nullptr;
    }
    return entries[static_cast<size_t>(index)].name.c_str();
}

int32_t FakeObjectList::FindByName(const char* text) {
    shell_.journal.Add(Call(name, "FindByName", {Text(text)}));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (SameNoCase(entries[i].name, text)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t FakeObjectList::GetRecord(int32_t index, const uint8_t** holder) {
    shell_.journal.Add(Call(name, "GetRecord", {Num(index)}));
    const uint8_t* record = nullptr;
    if (InRange(entries, index) && !entries[static_cast<size_t>(index)].record.empty()) {
        record = entries[static_cast<size_t>(index)].record.data();
    } else if (!InRange(entries, index)) {
        shell_.RecordMisuse(name + ".GetRecord out of range: " + Num(index));
    }
    if (holder != nullptr) {
        *holder = record;
    }
    return record != nullptr ? 1 : 0;
}

int32_t FakeObjectList::IsAvailable(int32_t index) {
    shell_.journal.Add(Call(name, "IsAvailable", {Num(index)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse(name + ".IsAvailable out of range: " + Num(index));
        return 0;
    }
    return entries[static_cast<size_t>(index)].available ? 1 : 0;
}

int32_t FakeObjectList::SupportsMissionType(int32_t index, int32_t missionType, int32_t flags) {
    shell_.journal.Add(
        Call(name, "SupportsMissionType", {Num(index), Num(missionType), Num(flags)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse(name + ".SupportsMissionType out of range: " + Num(index));
        return 0;
    }
    return entries[static_cast<size_t>(index)].missionTypes.count(missionType) != 0 ? 1 : 0;
}

int32_t FakeObjectList::LookupMissionObject(int32_t value) {
    shell_.journal.Add(Call(name, "LookupMissionObject", {Num(value)}));
    auto it = missionObjects.find(value);
    return it == missionObjects.end() ? 0 : it->second;
}

FakeObjectList::Entry& FakeObjectList::AddAircraft(const std::string& entryName,
                                                   const std::string& display, int16_t firstYear,
                                                   int16_t lastYear) {
    Entry e;
    e.name = entryName;
    e.displayName = display;
    e.record.assign(static_cast<size_t>(kAircraftRecordMinSize), 0);
    std::memcpy(e.record.data() + kAircraftFirstYearOffset, &firstYear, sizeof firstYear);
    std::memcpy(e.record.data() + kAircraftLastYearOffset, &lastYear, sizeof lastYear);
    entries.push_back(std::move(e));
    return entries.back();
}

int32_t FakeObjects::FindClass(const char* name) {
    shell_.journal.Add(Call("OBJ", "FindClass", {Text(name)}));
    for (size_t i = 0; i < classes_.size(); ++i) {
        if (SameNoCase(classes_[i]->name, name)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

void FakeObjects::GetClassList(int32_t classId, ObjectList** holder) {
    shell_.journal.Add(Call("OBJ", "GetClassList", {Num(classId)}));
    ObjectList* list = nullptr;
    if (InRange(classes_, classId)) {
        list = classes_[static_cast<size_t>(classId)].get();
    }
    if (holder != nullptr) {
        *holder = list;
    }
}

FakeObjectList& FakeObjects::AddClass(const std::string& name) {
    if (FakeObjectList* existing = FindList(name)) {
        return *existing;
    }
    classes_.push_back(std::make_unique<FakeObjectList>(shell_, name));
    return *classes_.back();
}

FakeObjectList* FakeObjects::FindList(const std::string& name) {
    for (auto& c : classes_) {
        if (c->name == name) {
            return c.get();
        }
    }
    return nullptr;
}

// ---- TER ----------------------------------------------------------------------------------

int32_t FakeTerrains::Count() {
    shell_.journal.Add("TER.Count()");
    return static_cast<int32_t>(entries.size());
}

const char* FakeTerrains::GetDisplayName(int32_t index) {
    shell_.journal.Add(Call("TER", "GetDisplayName", {Num(index)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse("TER.GetDisplayName out of range: " + Num(index));
        return nullptr;
    }
    const Entry& e = entries[static_cast<size_t>(index)];
    return e.hasDisplayName ? e.displayName.c_str() : nullptr;
}

const char* FakeTerrains::GetName(int32_t index) {
    shell_.journal.Add(Call("TER", "GetName", {Num(index)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse("TER.GetName out of range: " + Num(index));
        return nullptr;
    }
    return entries[static_cast<size_t>(index)].name.c_str();
}

int32_t FakeTerrains::FindByName(const char* text) {
    shell_.journal.Add(Call("TER", "FindByName", {Text(text)}));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (SameNoCase(entries[i].name, text)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t FakeTerrains::IsHidden(int32_t index) {
    shell_.journal.Add(Call("TER", "IsHidden", {Num(index)}));
    if (!InRange(entries, index)) {
        shell_.RecordMisuse("TER.IsHidden out of range: " + Num(index));
        return 0;
    }
    return entries[static_cast<size_t>(index)].hidden ? 1 : 0;
}

// ---- the shell --------------------------------------------------------------------------------

FakeShell::FakeShell()
    : memory(*this), app(*this), files(*this), display(*this), menu(*this), manager(*this),
      missions(*this), text(*this), options(*this), objects(*this), terrains(*this) {}

FakeShell::~FakeShell() = default;

void FakeShell::RecordMisuse(std::string problem) {
    journal.Add("!! " + problem);
    misuse_.push_back(std::move(problem));
}

void* FakeShell::ServiceFor(const std::string& id) {
    if (id == "DBG")
        return static_cast<DebugService*>(&dbg);
    if (id == "MEM")
        return static_cast<MemoryService*>(&memory);
    if (id == "APP")
        return static_cast<AppService*>(&app);
    if (id == "DLL")
        return static_cast<LibraryService*>(&dll);
    if (id == "FMG")
        return static_cast<FileService*>(&files);
    if (id == "RND")
        return static_cast<RandomService*>(&rnd);
    if (id == "DSP")
        return static_cast<DisplayService*>(&display);
    if (id == "MNU")
        return static_cast<MenuService*>(&menu);
    if (id == "MMG")
        return static_cast<MenuManagerService*>(&manager);
    if (id == "MSN")
        return static_cast<MissionService*>(&missions);
    if (id == "TXT")
        return static_cast<TextService*>(&text);
    if (id == "OPT")
        return static_cast<OptionsService*>(&options);
    if (id == "OBJ")
        return static_cast<ObjectService*>(&objects);
    if (id == "TER")
        return static_cast<TerrainService*>(&terrains);
    return nullptr;
}

int32_t FakeShell::AcquireService(const char* id, void* holder) {
    const std::string name = Text(id);
    journal.Add(Call("Shell", "AcquireService", {name}));
    if (holder == nullptr) {
        RecordMisuse("AcquireService(" + name + ") without a holder");
        return 0;
    }
    void* service = withheld.count(name) != 0 ? nullptr : ServiceFor(name);
    if (ServiceFor(name) == nullptr) {
        RecordMisuse("AcquireService of an unknown service: " + name);
    }
    std::memcpy(holder, &service, sizeof service);
    held_.push_back(Held{name, holder});
    return service != nullptr ? 1 : 0;
}

int32_t FakeShell::ReleaseService(const char* id, void* holder) {
    const std::string name = Text(id);
    journal.Add(Call("Shell", "ReleaseService", {name}));
    auto it = std::find_if(held_.begin(), held_.end(),
                           [&](const Held& h) { return h.id == name && h.holder == holder; });
    if (it == held_.end()) {
        RecordMisuse("ReleaseService(" + name +
                     ") without a matching AcquireService through that holder");
        return 0;
    }
    held_.erase(it);
    if (clearHolderOnRelease && holder != nullptr) {
        void* none = nullptr;
        std::memcpy(holder, &none, sizeof none);
    }
    return releaseAnswer;
}

std::vector<std::string> FakeShell::Outstanding() const {
    std::vector<std::string> out;
    for (const Held& h : held_) {
        out.push_back("service " + h.id + " still held");
    }
    if (manager.lockDepth != 0) {
        out.push_back("pilot roster still locked " + Num(manager.lockDepth) + " time(s)");
    }
    if (options.lent != options.releases + options.commits) {
        out.push_back("options lent " + Num(options.lent) + " time(s), given back " +
                      Num(options.releases + options.commits));
    }
    if (files.directoryDepth != 0) {
        out.push_back("directory pushes not popped: " + Num(files.directoryDepth));
    }
    if (files.OpenHandles() != 0) {
        out.push_back("files still open: " + Num(files.OpenHandles()));
    }
    if (display.LiveLabels() != 0) {
        out.push_back("labels not destroyed: " + Num(display.LiveLabels()));
    }
    for (const auto& [table, count] : text.loaded) {
        if (count != 0) {
            out.push_back("string table still loaded: " + table);
        }
    }
    return out;
}

std::vector<std::string> FakeShell::ContractProblems() const {
    std::vector<std::string> out = misuse_;
    for (std::string& s : Outstanding()) {
        out.push_back(std::move(s));
    }
    if (memory.LiveBlocks() != 0) {
        out.push_back("MEM blocks still live: " + Num(memory.LiveBlocks()));
    }
    return out;
}

} // namespace fake
