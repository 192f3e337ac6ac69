// A menuhost session: one game folder, the services over it, at most one loaded screen
// (plug-in) at a time, and the driver that runs steps from a script or a person.
//
// Game folder settings, menuhost.ini (every section optional except at least one screen):
//   [Display]          Width=640  Height=480
//   [Folders]          Options=options.ini  Roster=pilots\roster.ini  Pilots=pilots
//                      Missions=missions  Text=text
//   [Start]            Screen=<the screen "load" opens without a name; default the first>
//   [Screen <Name>]    Plugin=<library name (portico) or path>  Menu=<menu document>
//                      On <kind>,<value>=<what a posted result does>: the name of another
//                      screen (leave this one, load that one), "exit" (leave the screen),
//                      "fly" (the shell would fly the current mission: leave the screen),
//                      "stay" (nothing). A result without an entry stays.
//
// Steps (one a line; "#" starts a comment; texts with spaces in double quotes):
//   load [SCREEN]           leave the current screen (ExitMenuCode) and load SCREEN
//   leave                   ExitMenuCode, contract check, unload
//   press ID                the player presses control ID: event kind 3, code 0, flags 0
//   key CODE [FLAGS]        event kind 1 with CODE and FLAGS (default 1); "key 1" is back
//   event KIND CODE FLAGS [ACTIVE]   a raw input event (ACTIVE: the active control id)
//   select SUB LIST ROW|"TEXT"       the player selects a row; the shell sends the list's command
//   page N                  the shell switches to page N and calls Update
//   update | activate FLAG | command CODE
//   pilotfile               the shell writes the current pilot's file when it is missing (the
//                           game does so once the pilot has flown; "fly" results do it too)
//   failalloc TAG N         the N-th allocation under TAG from now on fails (0: off)
//   show | journal | help | quit
//   expect ...              see HelpText(); a failed expectation makes the exit status 1
//
// Exit status of a run: 0 clean, 1 contract breach, shell error or failed expectation, 2 bad input
// (usage, game folder, script). One Session at a time per process (the host's framework binding
// is process-wide).
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/menu_screen.h"
#include "host/data/game_data.h"
#include "host/file_service.h"
#include "host/host_menu.h"
#include "host/journal.h"
#include "host/memory_service.h"
#include "host/services.h"

namespace host {

constexpr int kExitOk = 0;
constexpr int kExitBreach = 1;
constexpr int kExitBadInput = 2;

struct SessionOptions {
    std::filesystem::path gameDir; // the folder worked on (a scratch copy or --data)
    std::vector<std::filesystem::path> pluginDirs; // searched for "<name>.so" / "<name>.dll"
    std::map<std::string, std::filesystem::path> pluginFiles; // name -> library, first choice
    std::ostream* out = nullptr;                              // view and journal; none: silent
    bool viewEachStep = true;
};

struct ScreenConfig {
    std::string name;
    std::string plugin;
    std::string menu;
    std::map<std::pair<int32_t, int32_t>, std::string> results;
};

class Session {
public:
    explicit Session(SessionOptions options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Reads menuhost.ini, the options, the roster and the catalogues. 0 with a message naming
    // the file, the line and what to do.
    int Open(std::string* error);

    // One step; returns kExitOk, kExitBreach (a failed expectation) or kExitBadInput. `where`
    // names the step in messages ("main.tour:12").
    int RunStep(const std::string& line, const std::string& where);
    // Runs every line; stops at bad input. Interactive: prompt "> " on the output, never stops.
    int RunStream(std::istream& in, const std::string& name, bool interactive);
    // Leaves the screen, checks the contract one last time and prints the summary; the exit
    // status of the whole session.
    int Finish();

    int LoadScreen(const std::string& name, std::string* error);
    void LeaveScreen();
    int SendEvent(int32_t kind, int32_t code, int32_t flags);
    // Writes the current pilot's file (a PilotRecord from the options' names) when the roster
    // names one that does not exist. 1 when a file was written.
    int WriteCurrentPilotFile();

    // State, for the view and for tests.
    const std::string& CurrentScreen() const { return screenName_; }
    HostMenu* Menu() { return menu_.get(); }
    MenuScreen* Screen() { return screen_; }
    Journal& Log() { return journal_; }
    HostMemory& Memory() { return memory_; }
    HostFiles& Files() { return files_; }
    HostDisplay& Display() { return display_; }
    HostMenuManager& MenuManager() { return manager_; }
    JournaledMissions* Missions() { return missions_.get(); }
    GameData& Data() { return data_; }
    // Results posted during the last step that drove the screen.
    const std::vector<std::pair<int32_t, int32_t>>& LastPosted() const { return lastPosted_; }
    int FailedExpectations() const { return failedExpectations_; }
    std::string RenderView();
    static std::string HelpText();

private:
    struct Plugin;
    int ReadSettings(std::string* error);
    int LoadDocument(const std::string& relative, int addMissing, ConfigDocument* doc,
                     bool* complete, std::string* error);
    std::filesystem::path FindPlugin(const std::string& plugin, std::string* looked) const;
    void Say(const std::string& text);
    void ShowJournal();
    void FollowResults(size_t firstNew);
    int Expect(const std::vector<std::string>& args, const std::string& where);
    int Fail(const std::string& where, const std::string& what);
    const ScreenConfig* FindScreen(const std::string& name) const;
    std::string Native(const std::string& relative) const;

    SessionOptions options_;
    Journal journal_;
    HostMemory memory_;
    HostFiles files_;
    HostDisplay display_;
    HostMenuManager manager_;
    HostOptions optionsService_;
    std::unique_ptr<HostText> text_;
    HostApp app_;
    HostDebug debug_;
    HostLibraries libraries_;
    HostRandom random_;
    GameData data_;
    std::unique_ptr<JournaledObjects> objects_;
    std::unique_ptr<JournaledTerrains> terrains_;
    std::unique_ptr<JournaledMissions> missions_;
    HostShell shell_;
    InternalShell internal_;
    bool bound_ = false;

    ConfigDocument optionsDoc_;
    ConfigDocument rosterDoc_;
    ConfigDocument menuDoc_;
    std::unique_ptr<HostMenu> menu_;

    std::vector<ScreenConfig> screens_;
    std::string startScreen_;
    std::string optionsFile_ = "options.ini";
    std::string rosterFile_ = "pilots\\roster.ini";
    std::string pilotFolder_ = "pilots";
    std::string missionFolder_ = "missions";
    std::string textFolder_ = "text";

    std::unique_ptr<Plugin> plugin_;
    MenuScreen* screen_ = nullptr;
    std::string screenName_;
    std::vector<std::pair<int32_t, int32_t>> lastPosted_;
    int createdBefore_ = 0;
    int createdInStep_ = 0;
    int failedExpectations_ = 0;
    bool badInput_ = false;
    bool finished_ = false;
};

// Copies `from` (a game folder) to a new folder under `parent` and returns it; empty with a
// message when that fails. The source is only read.
std::filesystem::path MakeScratchCopy(const std::filesystem::path& from,
                                      const std::filesystem::path& parent, std::string* error);

// Splits a step line into words; double quotes group words with spaces ("" is an empty word).
std::vector<std::string> SplitStep(const std::string& line);

} // namespace host
