#include "host/session.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "framework/binding.h"
#include "platform/platform.h"

namespace host {

namespace fs = std::filesystem;

using InitMenuCodeFn = int32_t (*)(AppShell*, MenuScreen**);
using ExitMenuCodeFn = int32_t (*)();

#if defined(_WIN32)
constexpr const char* kLibrarySuffix = ".dll";
#else
constexpr const char* kLibrarySuffix = ".so";
#endif

struct Session::Plugin {
    void* library = nullptr;
    InitMenuCodeFn init = nullptr;
    ExitMenuCodeFn exit = nullptr;
    std::string name;
    fs::path path;
};

namespace {

bool ParseInt(const std::string& text, int32_t* out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (end == nullptr || *end != '\0' || value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    *out = static_cast<int32_t>(value);
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

std::string ReadAll(const fs::path& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in);
    std::ostringstream data;
    if (*ok) {
        data << in.rdbuf();
    }
    return data.str();
}

} // namespace

std::vector<std::string> SplitStep(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        if (i >= line.size() || line[i] == '#') {
            break;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') {
                word += line[i++];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

fs::path MakeScratchCopy(const fs::path& from, const fs::path& parent, std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        *error = "the game folder " + from.string() +
                 " does not exist; pass one with --data "
                 "or --copy-of";
        return fs::path();
    }
    fs::create_directories(parent, ec);
    const auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path target =
            parent / Format("session-%lld-%d", static_cast<long long>(stamp), attempt);
        if (fs::create_directory(target, ec)) {
            // Entry by entry: copying a folder onto an existing one is refused on Windows.
            for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
                fs::copy(it->path(), target / it->path().filename(), fs::copy_options::recursive,
                         ec);
                if (ec) {
                    break;
                }
            }
            if (ec) {
                *error = "could not copy " + from.string() + " to " + target.string() + ": " +
                         ec.message();
                return fs::path();
            }
            return target;
        }
    }
    *error = "could not make a scratch folder under " + parent.string() + ": " + ec.message();
    return fs::path();
}

Session::Session(SessionOptions options)
    : options_(std::move(options)), memory_(&journal_), files_(&journal_, options_.gameDir),
      display_(&journal_), manager_(&journal_, &memory_), optionsService_(&journal_, &memory_),
      shell_(&journal_), internal_(&shell_) {
    text_ = std::make_unique<HostText>(&journal_, options_.gameDir / "text");
    objects_ = std::make_unique<JournaledObjects>(&journal_, data_.Objects());
    terrains_ = std::make_unique<JournaledTerrains>(&journal_, data_.Terrains());
    missions_ = std::make_unique<JournaledMissions>(&journal_, data_.Missions());
    missions_->memory = &memory_;
    shell_.Register("DBG", static_cast<DebugService*>(&debug_));
    shell_.Register("MEM", static_cast<MemoryService*>(&memory_));
    shell_.Register("APP", static_cast<AppService*>(&app_));
    shell_.Register("DLL", static_cast<LibraryService*>(&libraries_));
    shell_.Register("FMG", static_cast<FileService*>(&files_));
    shell_.Register("RND", static_cast<RandomService*>(&random_));
    shell_.Register("DSP", static_cast<DisplayService*>(&display_));
    shell_.Register("MMG", static_cast<MenuManagerService*>(&manager_));
    shell_.Register("OPT", static_cast<OptionsService*>(&optionsService_));
    shell_.Register("TXT", static_cast<TextService*>(text_.get()));
    shell_.Register("OBJ", static_cast<ObjectService*>(objects_.get()));
    shell_.Register("TER", static_cast<TerrainService*>(terrains_.get()));
    shell_.Register("MSN", static_cast<MissionService*>(missions_.get()));
    manager_.roster.SetDocument(&rosterDoc_);
    optionsService_.options.SetDocument(&optionsDoc_);
}

Session::~Session() {
    Finish();
}

std::string Session::Native(const std::string& relative) const {
    fs::path p = options_.gameDir;
    for (const std::string& part : SplitPluginPath(relative)) {
        p /= part;
    }
    return p.string();
}

int Session::Open(std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(options_.gameDir, ec)) {
        *error = "the game folder " + options_.gameDir.string() + " does not exist";
        return 0;
    }
    if (Binding().MEM != nullptr) {
        *error = "another menuhost session is open in this process; finish it first";
        return 0;
    }
    BindShell(kHostTag, &internal_);
    bound_ = true;
    if (ReadSettings(error) == 0) {
        return 0;
    }
    text_ = std::make_unique<HostText>(&journal_, fs::path(Native(textFolder_)));
    shell_.Register("TXT", static_cast<TextService*>(text_.get()));
    manager_.pilotDirectory = Native(pilotFolder_);
    manager_.missionDirectory = Native(missionFolder_);

    const IniResult gameData = data_.Load(options_.gameDir.string().c_str());
    if (!gameData.ok) {
        *error = gameData.message;
        return 0;
    }
    data_.Missions()->SetMissionDirectory(manager_.missionDirectory);

    bool complete = false;
    if (LoadDocument(optionsFile_, 1, &optionsDoc_, &complete, error) == 0) {
        return 0;
    }
    optionsService_.complete = complete;
    if (LoadDocument(rosterFile_, 0, &rosterDoc_, &complete, error) == 0) {
        return 0;
    }
    return 1;
}

int Session::LoadDocument(const std::string& relative, int addMissing, ConfigDocument* doc,
                          bool* complete, std::string* error) {
    const std::string path = Native(relative);
    if (path.size() >= sizeof doc->fileName) {
        *error = path + ": the path is longer than a document's 259-byte file name; move the "
                        "game folder to a shorter path";
        return 0;
    }
    const IniResult r = LoadIniDocument(path.c_str(), addMissing, doc);
    if (r.ok) {
        *complete = true;
        return 1;
    }
    if (r.notFound) {
        // A document that does not exist yet starts empty and is created by its first save.
        if (InitEmptyIniDocument(doc, path.c_str(), addMissing) == 0) {
            *error = path + ": could not prepare an empty document";
            return 0;
        }
        journal_.Note(relative + " does not exist yet; it starts empty");
        *complete = true;
        return 1;
    }
    *error = r.message;
    return 0;
}

int Session::ReadSettings(std::string* error) {
    const std::string path = Native("menuhost.ini");
    IniFile file;
    const IniResult r = ParseIniFile(path.c_str(), &file);
    if (!r.ok) {
        *error = r.notFound ? path + ": not found; a game folder needs its menuhost.ini (see "
                                     "sample-game/menuhost.ini)"
                            : r.message;
        return 0;
    }
    for (const IniSection& s : file.sections) {
        const std::string name = Lower(s.name);
        if (name == "display") {
            for (const IniEntry& e : s.entries) {
                int32_t value = 0;
                const std::string key = Lower(e.name);
                if ((key != "width" && key != "height") || !ParseInt(e.text, &value) || value < 1 ||
                    value > 16384) {
                    *error = Format("%s:%d: [Display] takes Width and Height from 1 to 16384",
                                    path.c_str(), e.line);
                    return 0;
                }
                (key == "width" ? display_.width : display_.height) = value;
            }
        } else if (name == "folders") {
            for (const IniEntry& e : s.entries) {
                const std::string key = Lower(e.name);
                std::string* target = key == "options"    ? &optionsFile_
                                      : key == "roster"   ? &rosterFile_
                                      : key == "pilots"   ? &pilotFolder_
                                      : key == "missions" ? &missionFolder_
                                      : key == "text"     ? &textFolder_
                                                          : nullptr;
                if (target == nullptr || e.text.empty()) {
                    *error = Format("%s:%d: [Folders] takes Options, Roster, Pilots, Missions "
                                    "and Text, each a path inside the game folder",
                                    path.c_str(), e.line);
                    return 0;
                }
                *target = e.text;
            }
        } else if (name == "start") {
            const IniEntry* e = s.Find("Screen");
            if (e != nullptr) {
                startScreen_ = e->text;
            }
        } else if (StartsWith(s.name, "Screen ")) {
            ScreenConfig screen;
            screen.name = s.name.substr(7);
            while (!screen.name.empty() && screen.name.front() == ' ') {
                screen.name.erase(0, 1);
            }
            for (const IniEntry& e : s.entries) {
                const std::string key = Lower(e.name);
                if (key == "plugin") {
                    screen.plugin = e.text;
                } else if (key == "menu") {
                    screen.menu = e.text;
                } else if (StartsWith(e.name, "On ")) {
                    int32_t kind = 0;
                    int32_t value = 0;
                    const std::string pair = e.name.substr(3);
                    const size_t comma = pair.find(',');
                    if (comma == std::string::npos || !ParseInt(pair.substr(0, comma), &kind) ||
                        !ParseInt(pair.substr(comma + 1), &value) || e.text.empty()) {
                        *error = Format("%s:%d: a result entry reads \"On <kind>,<value>=<screen "
                                        "or exit, fly, stay>\"",
                                        path.c_str(), e.line);
                        return 0;
                    }
                    screen.results[{kind, value}] = e.text;
                } else {
                    *error = Format("%s:%d: [%s] takes Plugin, Menu and \"On <kind>,<value>\" "
                                    "entries, not %s",
                                    path.c_str(), e.line, s.name.c_str(), e.name.c_str());
                    return 0;
                }
            }
            if (screen.name.empty() || screen.plugin.empty() || screen.menu.empty()) {
                *error = Format("%s:%d: [%s] needs a name, Plugin= and Menu=", path.c_str(), s.line,
                                s.name.c_str());
                return 0;
            }
            screens_.push_back(screen);
        } else {
            *error = Format("%s:%d: unknown section [%s]; menuhost.ini has [Display], "
                            "[Folders], [Start] and [Screen <name>] sections",
                            path.c_str(), s.line, s.name.c_str());
            return 0;
        }
    }
    if (screens_.empty()) {
        *error = path + ": no [Screen <name>] section; the shell has nothing to show";
        return 0;
    }
    if (startScreen_.empty()) {
        startScreen_ = screens_.front().name;
    }
    for (const ScreenConfig& s : screens_) {
        for (const auto& result : s.results) {
            const std::string target = Lower(result.second);
            if (target != "exit" && target != "fly" && target != "stay" &&
                FindScreen(result.second) == nullptr) {
                *error = Format("%s: screen %s sends result (%d, %d) to %s, which is neither a "
                                "screen nor exit, fly or stay",
                                path.c_str(), s.name.c_str(), result.first.first,
                                result.first.second, result.second.c_str());
                return 0;
            }
        }
    }
    if (FindScreen(startScreen_) == nullptr) {
        *error = path + ": [Start] Screen=" + startScreen_ + " names no [Screen ...] section";
        return 0;
    }
    return 1;
}

const ScreenConfig* Session::FindScreen(const std::string& name) const {
    for (const ScreenConfig& s : screens_) {
        if (Lower(s.name) == Lower(name)) {
            return &s;
        }
    }
    return nullptr;
}

fs::path Session::FindPlugin(const std::string& plugin, std::string* looked) const {
    std::error_code ec;
    auto it = options_.pluginFiles.find(plugin);
    std::vector<fs::path> candidates;
    if (it != options_.pluginFiles.end()) {
        candidates.push_back(it->second);
    }
    if (plugin.find('/') != std::string::npos || plugin.find('\\') != std::string::npos ||
        fs::path(plugin).has_extension()) {
        candidates.push_back(fs::path(Native(plugin)));
        candidates.push_back(fs::path(plugin));
    } else {
        for (const fs::path& dir : options_.pluginDirs) {
            candidates.push_back(dir / (plugin + kLibrarySuffix));
            candidates.push_back(dir / plugin / (plugin + kLibrarySuffix));
        }
    }
    for (const fs::path& p : candidates) {
        if (fs::is_regular_file(p, ec)) {
            return p;
        }
        *looked += (looked->empty() ? "" : ", ") + p.string();
    }
    return fs::path();
}

void Session::Say(const std::string& text) {
    if (options_.out != nullptr) {
        *options_.out << text;
        options_.out->flush();
    }
}

void Session::ShowJournal() {
    const std::string activity = memory_.TakeActivity();
    if (!activity.empty()) {
        journal_.Record(activity);
    }
    for (const std::string& line : journal_.TakeNew()) {
        Say("  | " + line + "\n");
    }
}

int Session::LoadScreen(const std::string& requested, std::string* error) {
    const std::string name = requested.empty() ? startScreen_ : requested;
    const ScreenConfig* config = FindScreen(name);
    if (config == nullptr) {
        *error = "no screen named " + name + " in menuhost.ini";
        return 0;
    }
    std::string looked;
    const fs::path library = FindPlugin(config->plugin, &looked);
    if (library.empty()) {
        *error = "screen " + config->name + ": plug-in " + config->plugin +
                 " is not built or not found (looked for " + looked + ")";
        return 0;
    }
    LeaveScreen();

    const std::string menuPath = Native(config->menu);
    IniFile layout;
    IniResult r = ParseIniFile(menuPath.c_str(), &layout);
    if (!r.ok) {
        *error = r.message;
        return 0;
    }
    r = LoadIniDocument(menuPath.c_str(), 0, &menuDoc_);
    if (!r.ok) {
        *error = r.message;
        return 0;
    }
    menu_ = std::make_unique<HostMenu>(&journal_, &menuDoc_);
    if (menu_->Build(layout, error) == 0) {
        menu_.reset();
        DestroyIniDocument(&menuDoc_);
        return 0;
    }
    shell_.Register("MNU", static_cast<MenuService*>(menu_.get()));

    auto plugin = std::make_unique<Plugin>();
    plugin->name = config->plugin;
    plugin->path = library;
    plugin->library = platform::LibraryOpen(library.string().c_str());
    if (plugin->library == nullptr) {
        *error = "could not load " + library.string() + ": " + platform::LibraryError();
        menu_.reset();
        DestroyIniDocument(&menuDoc_);
        return 0;
    }
    plugin->init =
        reinterpret_cast<InitMenuCodeFn>(platform::LibrarySymbol(plugin->library, "InitMenuCode"));
    plugin->exit =
        reinterpret_cast<ExitMenuCodeFn>(platform::LibrarySymbol(plugin->library, "ExitMenuCode"));
    if (plugin->init == nullptr || plugin->exit == nullptr) {
        *error = library.string() + " does not export InitMenuCode and ExitMenuCode by name";
        platform::LibraryClose(plugin->library);
        menu_.reset();
        DestroyIniDocument(&menuDoc_);
        return 0;
    }
    screenName_ = config->name;
    plugin_ = std::move(plugin);
    journal_.Note("screen " + screenName_ + ": " + plugin_->path.filename().string() + " with " +
                  config->menu);
    screen_ = nullptr;
    MenuScreen* handed = nullptr;
    const int32_t result = plugin_->init(&shell_, &handed);
    screen_ = handed;
    journal_.Record(Format("InitMenuCode -> %d%s", result,
                           handed != nullptr ? "" : ", and no screen was handed over"));
    if (handed == nullptr) {
        journal_.Breach("InitMenuCode of " + plugin_->name + " did not hand over a screen");
    }
    return 1;
}

void Session::LeaveScreen() {
    if (plugin_ == nullptr) {
        return;
    }
    const std::string who = plugin_->path.stem().string();
    const int32_t result = plugin_->exit();
    journal_.Record(Format("ExitMenuCode -> %d", result));
    shell_.CheckBalanced(who);
    manager_.roster.CheckBalanced(who, "LockPilotRoster without UnlockPilotRoster");
    optionsService_.options.CheckBalanced(who, "GetOptions without ReleaseOptions or "
                                               "CommitOptions");
    files_.CheckBalanced(who);
    display_.CheckBalanced(who);
    text_->CheckBalanced(who);
    for (const std::string& tag : memory_.TagsWithLiveBlocks()) {
        for (const std::string& line : memory_.TakeUnreportedLive(tag)) {
            journal_.Breach(who + " left tagged memory after ExitMenuCode (" + tag + "): " + line);
        }
    }
    data_.Missions()->SetClientMemory(nullptr, "");
    platform::LibraryClose(plugin_->library);
    plugin_.reset();
    screen_ = nullptr;
    shell_.Register("MNU", nullptr);
    menu_.reset();
    DestroyIniDocument(&menuDoc_);
    journal_.Note("screen " + screenName_ + " left");
    screenName_.clear();
}

int Session::WriteCurrentPilotFile() {
    const fs::path rosterPath = files_.Resolve(rosterFile_.c_str());
    IniFile roster;
    if (rosterPath.empty() || !ParseIniFile(rosterPath.string().c_str(), &roster).ok) {
        return 0;
    }
    const IniSection* current = roster.Find("CurrentPilot");
    const IniEntry* id = current != nullptr ? current->Find("PilotID") : nullptr;
    const std::string wanted = id != nullptr ? id->text : "1";
    for (int n = 1;; ++n) {
        const IniSection* s = roster.Find(Format("Pilot%03d", n).c_str());
        if (s == nullptr) {
            return 0;
        }
        const IniEntry* pid = s->Find("PilotID");
        const IniEntry* file = s->Find("Filename");
        if (pid == nullptr || pid->text != wanted || file == nullptr || file->text.empty()) {
            continue;
        }
        std::string name = file->text;
        if (!fs::path(name).has_extension()) {
            name += ".plt";
        }
        const fs::path target = files_.ResolveForWrite(pilotFolder_ + "\\" + name);
        std::error_code ec;
        if (target.empty() || fs::exists(target, ec)) {
            return 0;
        }
        static PilotRecord record;
        std::memset(&record, 0, sizeof record);
        auto put = [&](char* field, const char* key) {
            ConfigValue* v = optionsDoc_.Find("Pilot", key);
            const std::string text = v != nullptr ? Bounded(v->text, 259) : std::string();
            std::snprintf(field, PilotRecord::kNameSize, "%s", text.c_str());
        };
        put(record.callsign, "Callsign");
        put(record.service, "Service");
        put(record.lastName, "LastName");
        put(record.firstName, "FirstName");
        const fs::path temp = target.string() + ".tmp";
        {
            std::ofstream out(temp, std::ios::binary);
            out.write(reinterpret_cast<const char*>(&record), sizeof record);
            out.close();
            if (!out) {
                fs::remove(temp, ec);
                journal_.Error("could not write the pilot file " + target.string());
                return 0;
            }
        }
        fs::rename(temp, target, ec);
        if (ec) {
            fs::remove(temp, ec);
            journal_.Error("could not write the pilot file " + target.string());
            return 0;
        }
        journal_.Note("the shell wrote the pilot file " + pilotFolder_ + "\\" + name + " for " +
                      s->name);
        return 1;
    }
}

int Session::SendEvent(int32_t kind, int32_t code, int32_t flags) {
    if (screen_ == nullptr) {
        return 0;
    }
    InputEvent event{};
    event.kind = kind;
    event.code = code;
    event.flags = static_cast<uint8_t>(flags);
    const int32_t result = screen_->HandleInput(&event);
    journal_.Record(
        Format("HandleInput(kind %d, code %d, flags %d) -> %d", kind, code, flags, result));
    return result;
}

void Session::FollowResults(size_t firstNew) {
    if (menu_ == nullptr) {
        return;
    }
    lastPosted_.assign(menu_->posted.begin() + static_cast<std::ptrdiff_t>(firstNew),
                       menu_->posted.end());
    const ScreenConfig* config = FindScreen(screenName_);
    if (config == nullptr) {
        return;
    }
    for (const auto& result : lastPosted_) {
        auto it = config->results.find(result);
        if (it == config->results.end()) {
            journal_.Note(Format("result (%d, %d): menuhost.ini gives this screen nothing to do "
                                 "for it; staying",
                                 result.first, result.second));
            continue;
        }
        const std::string target = Lower(it->second);
        if (target == "stay") {
            continue;
        }
        if (target == "exit") {
            journal_.Note(
                Format("result (%d, %d): leaving the screen", result.first, result.second));
            LeaveScreen();
            return;
        }
        if (target == "fly") {
            journal_.Note(Format("result (%d, %d): the game would fly now: %s", result.first,
                                 result.second,
                                 data_.Missions()->DescribeCurrentMission().c_str()));
            LeaveScreen();
            WriteCurrentPilotFile();
            return;
        }
        std::string error;
        journal_.Note(Format("result (%d, %d): going to screen %s", result.first, result.second,
                             it->second.c_str()));
        const std::string from = screenName_;
        if (LoadScreen(it->second, &error) == 0) {
            journal_.Note(error + (screenName_.empty() ? "" : "; staying on " + from));
        }
        return;
    }
}

std::string Session::RenderView() {
    std::ostringstream v;
    if (menu_ == nullptr) {
        v << "== no screen loaded (load <screen>; screens:";
        for (const ScreenConfig& s : screens_) {
            v << " " << s.name;
        }
        v << ")\n";
        return v.str();
    }
    v << "== " << screenName_ << " (" << plugin_->path.filename().string() << ")";
    if (!menu_->title.empty()) {
        v << "  \"" << menu_->title << "\"";
    }
    v << "  page " << menu_->currentPage << "\n";
    for (const auto& label : display_.labels) {
        v << "   label " << Quote(label->text.c_str(), 1024) << " at " << label->description.x
          << "," << label->description.y << (label->visible ? "" : " (hidden)") << "\n";
    }
    v << "   buttons:";
    for (const auto& b : menu_->buttons) {
        v << " [" << b->id << (b->kind == kKindStartControl ? " start" : "") << " " << b->caption
          << (b->enabled ? "" : " (disabled)") << (b->visible ? "" : " (hidden)") << "]";
    }
    v << "\n";
    for (const auto& page : menu_->pages) {
        v << "   sub-menu " << page->id << " \"" << page->caption << "\" page " << page->pageIndex
          << (page->pageIndex == menu_->currentPage ? " (shown)" : "")
          << (page->visible ? " visible" : " hidden") << "\n";
        for (const auto& c : page->controls) {
            v << "     " << (c->kind == kKindList ? "list " : "text ") << c->id << " \""
              << c->caption << "\"" << (c->enabled ? "" : " (disabled)")
              << (c->visible ? "" : " (hidden)");
            if (c->kind == kKindText) {
                v << ": " << Quote(c->text.c_str(), c->text.size() + 1) << "\n";
                continue;
            }
            v << ": " << c->items.size() << " row(s)";
            if (c->selected >= 0) {
                v << ", selected " << c->selected << " "
                  << Quote(c->items[static_cast<size_t>(c->selected)].text.c_str(), 1024);
            }
            v << "\n";
            // Long lists show the rows around the selection; the count says how many there are.
            constexpr size_t kShown = 12;
            size_t first = 0;
            if (c->items.size() > kShown && c->selected > static_cast<int32_t>(kShown / 2)) {
                first = std::min(static_cast<size_t>(c->selected) - kShown / 2,
                                 c->items.size() - kShown);
            }
            const size_t last = std::min(c->items.size(), first + kShown);
            if (first > 0) {
                v << "         ... " << first << " row(s) above\n";
            }
            for (size_t row = first; row < last; ++row) {
                v << "       " << (static_cast<int32_t>(row) == c->selected ? "> " : "  ") << row
                  << " " << c->items[row].text << "  (" << c->items[row].value << ")\n";
            }
            if (last < c->items.size()) {
                v << "         ... " << c->items.size() - last << " row(s) below\n";
            }
        }
    }
    v << "   mission control: "
      << (manager_.missionControlSelected ? Quote(manager_.missionControl.c_str())
                                          : std::string("none"))
      << "; mission: " << data_.Missions()->DescribeCurrentMission();
    if (menu_->missionObjectSet) {
        v << "; mission object " << menu_->missionObject;
    }
    v << "\n";
    return v.str();
}

std::string Session::HelpText() {
    return "steps:\n"
           "  load [SCREEN]                 leave the current screen and load SCREEN\n"
           "  leave                         ExitMenuCode, contract check, unload\n"
           "  press ID                      press control ID (input event kind 3)\n"
           "  key CODE [FLAGS]              key event kind 1 (key 1 = back)\n"
           "  event KIND CODE FLAGS [ID]    a raw input event, ID the active control\n"
           "  select SUB LIST ROW|\"TEXT\"    select a row of list LIST in sub-menu SUB\n"
           "  page N                        the shell shows page N, then Update\n"
           "  update | activate FLAG | command CODE\n"
           "  pilotfile                     the shell writes the current pilot's missing file\n"
           "  failalloc TAG N               the N-th allocation under TAG from now fails\n"
           "  show | journal | help | quit\n"
           "expectations (a failure makes the exit status 1):\n"
           "  expect value FILE SECTION KEY TEXT     a key's text in the file on disk\n"
           "  expect novalue FILE SECTION KEY        the key is absent on disk\n"
           "  expect file PATH | expect nofile PATH\n"
           "  expect crlf FILE                       every line of FILE ends in CR LF\n"
           "  expect posted KIND VALUE | expect noposted   results of the last step\n"
           "  expect mission created                 the last step created a mission\n"
           "  expect screen NAME|none\n"
           "  expect enabled ID | expect disabled ID\n"
           "  expect selected SUB LIST ROW | expect rows SUB LIST N\n"
           "  expect text SUB INDEX TEXT\n"
           "  expect clean                           no breach or shell error so far\n"
           "  expect breach TEXT                     a breach mentioning TEXT happened\n";
}

int Session::Fail(const std::string& where, const std::string& what) {
    failedExpectations_++;
    journal_.Record("EXPECT FAILED " + where + ": " + what);
    return kExitBreach;
}

int Session::Expect(const std::vector<std::string>& a, const std::string& where) {
    const size_t n = a.size();
    auto bad = [&](const char* usage) {
        Say(where + ": usage: " + usage + "\n");
        badInput_ = true;
        return kExitBadInput;
    };
    if (n < 2) {
        return bad("expect WHAT ... (see help)");
    }
    const std::string what = Lower(a[1]);
    if (what == "value" || what == "novalue") {
        if ((what == "value" && n != 6) || (what == "novalue" && n != 5)) {
            return bad("expect value FILE SECTION KEY TEXT | expect novalue FILE SECTION KEY");
        }
        const fs::path file = files_.Resolve(a[2].c_str());
        IniFile ini;
        const IniResult r = file.empty() ? IniResult{} : ParseIniFile(file.string().c_str(), &ini);
        if (!r.ok) {
            return Fail(where, a[2] + " cannot be read: " +
                                   (file.empty() ? std::string("no such file") : r.message));
        }
        const IniSection* s = ini.Find(a[3].c_str());
        const IniEntry* e = s != nullptr ? s->Find(a[4].c_str()) : nullptr;
        if (what == "novalue") {
            return e == nullptr ? kExitOk
                                : Fail(where, a[2] + " [" + a[3] + "] " + a[4] + " is \"" +
                                                  e->text + "\", expected no such key");
        }
        if (e == nullptr) {
            return Fail(where, a[2] + " has no key " + a[4] + " in section [" + a[3] + "]");
        }
        return e->text == a[5] ? kExitOk
                               : Fail(where, a[2] + " [" + a[3] + "] " + a[4] + " is \"" + e->text +
                                                 "\", expected \"" + a[5] + "\"");
    }
    if (what == "file" || what == "nofile") {
        if (n != 3) {
            return bad("expect file PATH | expect nofile PATH");
        }
        const bool exists = !files_.Resolve(a[2].c_str()).empty();
        if (exists == (what == "file")) {
            return kExitOk;
        }
        return Fail(where, a[2] + (exists ? " exists" : " does not exist"));
    }
    if (what == "crlf") {
        if (n != 3) {
            return bad("expect crlf FILE");
        }
        bool ok = false;
        const fs::path file = files_.Resolve(a[2].c_str());
        const std::string data = file.empty() ? std::string() : ReadAll(file, &ok);
        if (!ok) {
            return Fail(where, a[2] + " cannot be read");
        }
        for (size_t i = 0; i < data.size(); ++i) {
            if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r')) {
                return Fail(where, a[2] + Format(": byte %zu ends a line with LF alone", i));
            }
        }
        if (data.empty() || data.back() != '\n') {
            return Fail(where, a[2] + " is empty or its last line has no line end");
        }
        return kExitOk;
    }
    if (what == "posted" || what == "noposted") {
        int32_t kind = 0;
        int32_t value = 0;
        if (what == "noposted") {
            if (n != 2) {
                return bad("expect noposted");
            }
            return lastPosted_.empty()
                       ? kExitOk
                       : Fail(where, Format("the last step posted (%d, %d)", lastPosted_[0].first,
                                            lastPosted_[0].second));
        }
        if (n != 4 || !ParseInt(a[2], &kind) || !ParseInt(a[3], &value)) {
            return bad("expect posted KIND VALUE");
        }
        for (const auto& p : lastPosted_) {
            if (p.first == kind && p.second == value) {
                return kExitOk;
            }
        }
        std::string got;
        for (const auto& p : lastPosted_) {
            got += Format(" (%d, %d)", p.first, p.second);
        }
        return Fail(where, Format("the last step did not post (%d, %d); it posted%s", kind, value,
                                  got.empty() ? " nothing" : got.c_str()));
    }
    if (what == "mission") {
        if (n != 3 || Lower(a[2]) != "created") {
            return bad("expect mission created");
        }
        return createdInStep_ > 0 ? kExitOk : Fail(where, "the last step created no mission");
    }
    if (what == "screen") {
        if (n != 3) {
            return bad("expect screen NAME|none");
        }
        const std::string want = Lower(a[2]) == "none" ? std::string() : Lower(a[2]);
        return Lower(screenName_) == want
                   ? kExitOk
                   : Fail(where, "the screen is " +
                                     (screenName_.empty() ? std::string("none") : screenName_));
    }
    if (what == "clean") {
        if (journal_.Breaches().empty() && journal_.Errors().empty()) {
            return kExitOk;
        }
        return Fail(where, Format("%zu breach(es) and %zu shell error(s) so far",
                                  journal_.Breaches().size(), journal_.Errors().size()));
    }
    if (what == "breach") {
        if (n != 3) {
            return bad("expect breach TEXT");
        }
        for (const std::string& b : journal_.Breaches()) {
            if (b.find(a[2]) != std::string::npos) {
                return kExitOk;
            }
        }
        return Fail(where, "no breach mentions \"" + a[2] + "\"");
    }
    if (menu_ == nullptr) {
        return Fail(where, "no screen is loaded");
    }
    if (what == "enabled" || what == "disabled") {
        int32_t id = 0;
        if (n != 3 || !ParseInt(a[2], &id)) {
            return bad("expect enabled ID | expect disabled ID");
        }
        HostControl* c = menu_->Button(id);
        if (c == nullptr) {
            return Fail(where, Format("the menu has no control %d", id));
        }
        return (c->enabled != 0) == (what == "enabled")
                   ? kExitOk
                   : Fail(where,
                          Format("control %d is %s", id, c->enabled ? "enabled" : "disabled"));
    }
    if (what == "selected" || what == "rows" || what == "text") {
        int32_t sub = 0;
        int32_t index = 0;
        int32_t number = 0;
        if (n != 5 || !ParseInt(a[2], &sub) || !ParseInt(a[3], &index) ||
            (what != "text" && !ParseInt(a[4], &number))) {
            return bad("expect selected SUB LIST ROW | expect rows SUB LIST N | expect text SUB "
                       "INDEX TEXT");
        }
        HostPage* page = menu_->SubMenu(sub);
        HostControl* c =
            page != nullptr ? page->Find(index, what == "text" ? kKindText : kKindList) : nullptr;
        if (c == nullptr) {
            return Fail(where, Format("sub-menu %d has no %s %d", sub,
                                      what == "text" ? "text" : "list", index));
        }
        if (what == "text") {
            return c->text == a[4] ? kExitOk
                                   : Fail(where, Format("text %d of sub-menu %d is \"%s\"", index,
                                                        sub, c->text.c_str()));
        }
        const int32_t actual = what == "rows" ? static_cast<int32_t>(c->items.size()) : c->selected;
        return actual == number
                   ? kExitOk
                   : Fail(where, Format("list %d of sub-menu %d has %s %d", index, sub,
                                        what == "rows" ? "rows:" : "selected row", actual));
    }
    return bad("expect value|novalue|file|nofile|crlf|posted|noposted|mission|screen|enabled|"
               "disabled|selected|rows|text|clean|breach ...");
}

int Session::RunStep(const std::string& line, const std::string& where) {
    const std::vector<std::string> a = SplitStep(line);
    if (a.empty()) {
        return kExitOk;
    }
    const std::string step = Lower(a[0]);
    if (step == "expect") {
        const int r = Expect(a, where);
        ShowJournal();
        return r;
    }
    if (step == "help") {
        Say(HelpText());
        return kExitOk;
    }
    if (step == "show") {
        Say(RenderView());
        return kExitOk;
    }
    if (step == "journal") {
        for (const std::string& l : journal_.Lines()) {
            Say("  | " + l + "\n");
        }
        return kExitOk;
    }
    auto bad = [&](const std::string& message) {
        Say(where + ": " + message + "\n");
        badInput_ = true;
        return kExitBadInput;
    };
    auto number = [&](size_t i, int32_t* out) { return i < a.size() && ParseInt(a[i], out); };

    Say("-- " + line + "\n");
    const size_t postedBefore = menu_ != nullptr ? menu_->posted.size() : 0;
    HostMenu* menuBefore = menu_.get();
    createdBefore_ = missions_->created;
    lastPosted_.clear();

    bool needsScreen =
        step != "load" && step != "leave" && step != "pilotfile" && step != "failalloc";
    if (needsScreen && screen_ == nullptr) {
        if (step != "press" && step != "key" && step != "event" && step != "select" &&
            step != "page" && step != "update" && step != "activate" && step != "command") {
            return bad("unknown step \"" + a[0] + "\"; type help for the list");
        }
        return bad("no screen is loaded; start with: load [SCREEN]");
    }
    if (step == "load") {
        if (a.size() > 2) {
            return bad("usage: load [SCREEN]");
        }
        std::string error;
        if (LoadScreen(a.size() == 2 ? a[1] : std::string(), &error) == 0) {
            ShowJournal();
            return bad(error);
        }
    } else if (step == "leave") {
        if (screen_ == nullptr && plugin_ == nullptr) {
            return bad("no screen is loaded");
        }
        LeaveScreen();
    } else if (step == "press") {
        int32_t id = 0;
        if (a.size() != 2 || !number(1, &id)) {
            return bad("usage: press ID");
        }
        HostControl* c = menu_->Button(id);
        if (c == nullptr) {
            return bad(Format("the menu has no button %d", id));
        }
        if (!c->enabled || !c->visible) {
            journal_.Note(Format("control %d is %s; the shell ignores the press", id,
                                 c->enabled ? "hidden" : "disabled"));
        } else {
            menu_->activeControl = id;
            SendEvent(3, 0, 0);
            if (c->showsPage >= 0 && screen_ != nullptr && menu_.get() == menuBefore) {
                menu_->currentPage = c->showsPage;
                journal_.Note(Format("button %d: the shell shows page %d", id, c->showsPage));
                screen_->Update();
                journal_.Record("Update");
            }
        }
    } else if (step == "key") {
        int32_t code = 0;
        int32_t flags = 1;
        if (a.size() < 2 || a.size() > 3 || !number(1, &code) ||
            (a.size() == 3 && !number(2, &flags))) {
            return bad("usage: key CODE [FLAGS]");
        }
        SendEvent(1, code, flags);
    } else if (step == "event") {
        int32_t kind = 0;
        int32_t code = 0;
        int32_t flags = 0;
        int32_t active = 0;
        if (a.size() < 4 || a.size() > 5 || !number(1, &kind) || !number(2, &code) ||
            !number(3, &flags) || (a.size() == 5 && !number(4, &active))) {
            return bad("usage: event KIND CODE FLAGS [ACTIVE]");
        }
        if (a.size() == 5) {
            menu_->activeControl = active;
        }
        SendEvent(kind, code, flags);
    } else if (step == "select") {
        int32_t sub = 0;
        int32_t list = 0;
        if (a.size() != 4 || !number(1, &sub) || !number(2, &list)) {
            return bad("usage: select SUB LIST ROW|\"TEXT\"");
        }
        HostPage* page = menu_->SubMenu(sub);
        HostControl* c = page != nullptr ? page->Find(list, kKindList) : nullptr;
        if (c == nullptr) {
            return bad(Format("sub-menu %d has no list %d", sub, list));
        }
        int32_t row = -1;
        if (!ParseInt(a[3], &row)) {
            row = -1;
            for (size_t i = 0; i < c->items.size(); ++i) {
                if (c->items[i].text == a[3]) {
                    row = static_cast<int32_t>(i);
                    break;
                }
            }
        }
        if (row < 0 || row >= static_cast<int32_t>(c->items.size())) {
            return bad("list " + std::to_string(list) + " of sub-menu " + std::to_string(sub) +
                       " has no row " + a[3] + Format(" (%zu rows)", c->items.size()));
        }
        if (!c->enabled) {
            journal_.Note("the list is disabled; the shell ignores the selection");
        } else {
            c->selected = row;
            journal_.Note(Format("the player selects row %d of %s; the shell sends Command(%d)",
                                 row, c->name.c_str(), c->command));
            const int32_t r = screen_->Command(c->command);
            journal_.Record(Format("Command(%d) -> %d", c->command, r));
        }
    } else if (step == "page") {
        int32_t index = 0;
        if (a.size() != 2 || !number(1, &index)) {
            return bad("usage: page N");
        }
        menu_->currentPage = index;
        journal_.Note(Format("the shell shows page %d", index));
        screen_->Update();
        journal_.Record("Update");
    } else if (step == "update") {
        screen_->Update();
        journal_.Record("Update");
    } else if (step == "activate" || step == "command") {
        int32_t value = 0;
        if (a.size() != 2 || !number(1, &value)) {
            return bad("usage: " + step + (step == "activate" ? " FLAG" : " CODE"));
        }
        const int32_t r = step == "activate" ? screen_->Activate(value) : screen_->Command(value);
        journal_.Record(
            Format("%s(%d) -> %d", step == "activate" ? "Activate" : "Command", value, r));
    } else if (step == "failalloc") {
        int32_t nth = 0;
        if (a.size() != 3 || !number(2, &nth) || nth < 0 || a[1].empty()) {
            return bad("usage: failalloc TAG N (N = 0 switches it off)");
        }
        memory_.FailAllocation(TagText(a[1].c_str()), static_cast<size_t>(nth));
        journal_.Note(nth == 0
                          ? "no allocation failure is injected"
                          : Format("allocation %d under %s from now on fails", nth, a[1].c_str()));
    } else if (step == "pilotfile") {
        if (a.size() != 1) {
            return bad("usage: pilotfile");
        }
        if (WriteCurrentPilotFile() == 0) {
            journal_.Note("no pilot file to write: the roster names no current pilot, or its "
                          "file exists");
        }
    } else if (step == "quit") {
        return kExitOk;
    } else {
        return bad("unknown step \"" + a[0] + "\"; type help for the list");
    }
    createdInStep_ = missions_->created - createdBefore_;
    if (menu_ != nullptr && menu_.get() == menuBefore) {
        FollowResults(postedBefore);
    } else {
        lastPosted_.clear();
    }
    ShowJournal();
    if (options_.viewEachStep) {
        Say(RenderView());
    }
    return kExitOk;
}

int Session::RunStream(std::istream& in, const std::string& name, bool interactive) {
    std::string line;
    int number = 0;
    int status = kExitOk;
    for (;;) {
        if (interactive) {
            Say("> ");
        }
        if (!std::getline(in, line)) {
            break;
        }
        number++;
        const std::vector<std::string> words = SplitStep(line);
        if (!words.empty() && Lower(words[0]) == "quit") {
            break;
        }
        const int r = RunStep(line, name + ":" + std::to_string(number));
        if (r == kExitBadInput) {
            if (!interactive) {
                return kExitBadInput;
            }
            badInput_ = false; // a person saw the message and types again
        }
        if (r == kExitBreach) {
            status = kExitBreach;
        }
    }
    return status;
}

int Session::Finish() {
    if (finished_) {
        return badInput_ ? kExitBadInput
               : (!journal_.Breaches().empty() || !journal_.Errors().empty() ||
                  failedExpectations_ > 0)
                   ? kExitBreach
                   : kExitOk;
    }
    finished_ = true;
    LeaveScreen();
    DestroyIniDocument(&menuDoc_);
    DestroyIniDocument(&rosterDoc_);
    DestroyIniDocument(&optionsDoc_);
    if (bound_) {
        UnbindShell(kHostTag);
        bound_ = false;
        const HostMemory::TagUse use = memory_.Use(kHostTag);
        if (use.liveBlocks > 0) {
            journal_.Error(Format("the shell itself left %zu block(s) (%zu bytes) allocated",
                                  use.liveBlocks, use.liveBytes));
        }
    }
    ShowJournal();
    const size_t breaches = journal_.Breaches().size();
    Say(Format("== contract check: %s\n",
               breaches == 0 ? "clean" : Format("%zu breach(es)", breaches).c_str()));
    for (const std::string& b : journal_.Breaches()) {
        Say("   breach: " + b + "\n");
    }
    for (const std::string& e : journal_.Errors()) {
        Say("   shell error: " + e + "\n");
    }
    if (failedExpectations_ > 0) {
        Say(Format("   %d expectation(s) failed\n", failedExpectations_));
    }
    return Finish();
}

} // namespace host
