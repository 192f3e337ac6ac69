#include "sortie/sortie_screen.h"

#include <filesystem>
#include <fstream>

#include "sortie/load_mission_page.h"
#include "sortie/mission_setup_page.h"
#include "tests/sortie/sortie_fixture.h"

namespace sortie_test {
namespace {

namespace fs = std::filesystem;

// Drives the plug-in through the work of its two exports, as the shell does.
class Screen : public ::testing::Test {
protected:
    void SetUp() override {
        aircraft = &PopulateGame(shell);
        for (int id : {2, 3, 6}) {
            shell.menu.AddButton(id);
        }
        home = fs::current_path();
        directory = ScratchDirectory("sortie-screen-");
        std::ofstream(directory / "alpha.MSN") << "[Mission]\r\n";
        fake::FakeMissions::Saved saved{};
        saved.header.missionType = 1;
        std::strcpy(saved.header.aircraftName, "f14a");
        std::strcpy(saved.header.mapName, "coast");
        saved.header.date = {1984, 1, 1};
        shell.missions.saved["alpha"] = saved;
        shell.manager.missionDirectory = directory.string();

        // The shell's options document, made before the plug-in is loaded.
        BindShell("SMSN", &shell);
        PrepareDocument(options);
        shell.options.options = &options;
    }

    void TearDown() override {
        fs::current_path(home);
        fs::remove_all(directory);
        // The shell destroys its document; then nothing of the plug-in may be left.
        BindShell("SMSN", &shell);
        DestroyDocument(options);
        UnbindShell("SMSN");
        const std::vector<std::string> problems = shell.ContractProblems();
        EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems) << "\n"
                                      << shell.journal.Dump();
    }

    // Options a test sets before Init go in while the preparation binding is held.
    void Init() {
        UnbindShell("SMSN");
        shell.journal.Clear();
        MenuScreen* out = nullptr;
        initResult = SortieInit(&shell, &out);
        screen = out;
        ASSERT_EQ(screen, &TheSortieScreen());
    }
    int32_t Exit() { return SortieExit(); }

    int32_t Choose(int32_t choice) {
        shell.menu.activeControlId = choice;
        InputEvent event{};
        event.kind = 3;
        return screen->HandleInput(&event);
    }

    fake::FakeShell shell;
    fake::FakeObjectList* aircraft = nullptr;
    ConfigDocument options;
    MenuScreen* screen = nullptr;
    int32_t initResult = -99;
    fs::path home;
    fs::path directory;
};

TEST_F(Screen, InitAndExitTakeAndGiveBackEverythingInOrder) {
    Init();
    EXPECT_EQ(initResult, 1) << "the result of showing the first page";
    EXPECT_TRUE(shell.journal.InOrder({"Shell.AcquireService(DBG)",
                                       "Shell.AcquireService(RND)",
                                       "Shell.AcquireService(MMG)",
                                       "Shell.AcquireService(MSN)",
                                       "Shell.AcquireService(TXT)",
                                       "Shell.AcquireService(OPT)",
                                       "Shell.AcquireService(OBJ)",
                                       "Shell.AcquireService(TER)",
                                       "Shell.AcquireService(MNU)",
                                       "TXT.LoadStringTable(MissionType.str)",
                                       "TXT.LoadStringTable(MissionTime.str)",
                                       "TXT.LoadStringTable(MissionWeather.str)",
                                       "TXT.LoadStringTable(ActivityLevel.str)",
                                       "OPT.GetOptions()",
                                       "OBJ.FindClass(AircraftObject)",
                                       "OBJ.GetClassList(0)",
                                       "Shell.AcquireService(MNU)",
                                       "MNU.GetChild(6,6)",
                                       "MNU.GetChild(7,6)",
                                       "MNU.SetCurrentPage(2)",
                                       "Page6.SetVisible(1)"}))
        << shell.journal.Dump();
    EXPECT_EQ(shell.text.loaded["MissionType.str"], 1);

    shell.journal.Clear();
    EXPECT_EQ(Exit(), shell.releaseAnswer);
    EXPECT_TRUE(shell.journal.InOrder(
        {"Page6.SetVisible(0)", "Shell.ReleaseService(MNU)", "OPT.CommitOptions()",
         "TXT.UnloadStringTable(MissionType.str)", "TXT.UnloadStringTable(MissionTime.str)",
         "TXT.UnloadStringTable(MissionWeather.str)", "TXT.UnloadStringTable(ActivityLevel.str)",
         "Shell.ReleaseService(MNU)", "Shell.ReleaseService(TER)", "Shell.ReleaseService(OBJ)",
         "Shell.ReleaseService(OPT)", "Shell.ReleaseService(TXT)", "Shell.ReleaseService(MSN)",
         "Shell.ReleaseService(MMG)", "Shell.ReleaseService(RND)", "Shell.ReleaseService(DBG)"}))
        << shell.journal.Dump();
    EXPECT_EQ(shell.options.commits, 1);
    // Every option was stored before the document went back.
    const int commit = shell.journal.IndexOf("OPT.CommitOptions()");
    EXPECT_EQ(shell.journal.IndexOf("OPT.CommitOptions()", commit + 1), -1);
    EXPECT_EQ(OptionText(options, "LoadMission"), "FALSE");
    EXPECT_EQ(OptionText(options, "AircraftType"), "f14a") << "the collected internal name";
    EXPECT_EQ(OptionText(options, "LoadMissionFilename"), "alpha");
}

TEST_F(Screen, OpensThePageItWasLeftOnAndRemembersTheOneItClosesOn) {
    struct Case {
        const char* label;
        const char* loadMission; // none: absent
        bool switchPage;         // the player switches page before closing
        int openPage;
        const char* stored;
    };
    const Case cases[] = {
        {"absent", nullptr, false, 2, "FALSE"},
        {"true", "TRUE", false, 3, "TRUE"},
        {"false, then switched", "FALSE", true, 2, "TRUE"},
        {"true, then switched", "1", true, 3, "FALSE"},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (!first) {
            BindShell("SMSN", &shell); // the next case starts from an empty document
            options.DestroySections();
        }
        first = false;
        if (c.loadMission != nullptr) {
            options.SetString(kSingleMission, "LoadMission", c.loadMission);
        }
        shell.menu.currentPage = 0;
        Init();
        EXPECT_EQ(shell.menu.currentPage, c.openPage);
        EXPECT_EQ(shell.menu.FindPage(c.openPage + 4)->visible, 1);
        if (c.switchPage) {
            shell.menu.currentPage = c.openPage == 2 ? 3 : 2;
            shell.journal.Clear();
            screen->Update();
            EXPECT_TRUE(shell.journal.InOrder(
                {"Page" + std::to_string(c.openPage + 4) + ".SetVisible(0)",
                 "Page" + std::to_string(shell.menu.currentPage + 4) + ".SetVisible(1)",
                 "MNU.PostResult(6,0)"}))
                << shell.journal.Dump();
        }
        Exit();
        EXPECT_EQ(OptionText(options, "LoadMission"), c.stored);
    }
}

TEST_F(Screen, InputChoicesOtherThanOneFourAndFivePostNothing) {
    Init();
    struct Case {
        int32_t choice;
        std::vector<std::pair<int32_t, int32_t>> posted;
        int32_t result;
    };
    shell.menu.postResultAnswer = 42;
    const Case cases[] = {
        {0, {}, 0},        {1, {{2, 1}}, 42}, {2, {}, 0}, {3, {}, 0},
        {4, {{3, 4}}, 42}, {6, {}, 0},        {9, {}, 0}, // no such button: FilterInput gives 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        shell.menu.posted.clear();
        shell.journal.Clear();
        EXPECT_EQ(Choose(c.choice), c.result);
        EXPECT_EQ(shell.menu.posted, c.posted);
        for (const std::string& call : shell.journal.WithPrefix("MNU.")) {
            const bool filtering =
                call == "MNU.GetActiveControlId()" || call.rfind("MNU.GetChild(", 0) == 0;
            EXPECT_TRUE(filtering || !c.posted.empty()) << call;
        }
        EXPECT_EQ(shell.journal.WithPrefix("MSN.").size(), 0u);
    }
    Exit();
}

TEST_F(Screen, StartCreatesOrLoadsThenPostsThenPublishesTheMissionObject) {
    struct Case {
        const char* label;
        bool loadPage;
        bool currentMission;
        int32_t objectAnswer; // LookupMissionObject's answer
        int32_t result;
        const char* startCall;
    };
    const Case cases[] = {
        {"setup page", false, true, 1234, 9, "MSN.CreateMission(settings)"},
        {"load page", true, true, 1234, 9, "MSN.LoadSavedMission(alpha)"},
        {"object unknown", false, true, 0, 0, "MSN.CreateMission(settings)"},
        {"no current mission", true, false, 1234, 0, "MSN.LoadSavedMission(alpha)"},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (!first) {
            BindShell("SMSN", &shell); // the next case starts from an empty document
            options.DestroySections();
        }
        first = false;
        options.SetBool(kSingleMission, "LoadMission", c.loadPage ? 1 : 0);
        shell.missions.currentMission.clear();
        if (c.currentMission) {
            shell.missions.SetCurrentMissionObject(77);
        }
        aircraft->missionObjects = {{77, c.objectAnswer}};
        shell.menu.setMissionObjectAnswer = 9;
        Init();
        shell.journal.Clear();
        EXPECT_EQ(Choose(5), c.result);
        std::vector<std::string> order = {c.startCall, "MNU.PostResult(3,5)",
                                          "MSN.GetCurrentMission()"};
        if (c.currentMission) {
            order.push_back("AircraftObject.LookupMissionObject(77)");
        }
        if (c.result != 0) {
            order.push_back("MNU.SetMissionObject(1234)");
        }
        EXPECT_TRUE(shell.journal.InOrder(order)) << shell.journal.Dump();
        EXPECT_EQ(shell.journal.Contains("MNU.SetMissionObject(1234)"), c.result != 0);
        EXPECT_EQ(shell.journal.Contains("AircraftObject.LookupMissionObject(77)"),
                  c.currentMission);
        Exit();
    }
}

// Every allocation of a whole visit (open, switch page, start, close) failing in turn, alone and
// with all later ones: nothing may crash, leak, misuse the shell or be left held.
TEST_F(Screen, SurvivesEveryAllocationFailingInTurn) {
    for (bool fromThenOn : {false, true}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE((fromThenOn ? "from allocation " : "allocation ") + std::to_string(n));
            shell.memory.allocations = 0;
            shell.memory.failures = 0;
            shell.memory.failAt = n;
            shell.memory.failFromThenOn = fromThenOn;
            shell.menu.currentPage = 0;
            Init();
            shell.menu.currentPage = 3;
            screen->Update();
            Choose(5);
            Exit();
            const bool anyFailed = shell.memory.failures != 0;
            shell.memory.failAt = 0;
            EXPECT_TRUE(shell.Misuse().empty()) << ::testing::PrintToString(shell.Misuse());
            EXPECT_TRUE(shell.Outstanding().empty())
                << ::testing::PrintToString(shell.Outstanding());
            // Once the shell's document is emptied only its pool may be left, besides the two
            // banner texts of the binding made here to empty it.
            BindShell("SMSN", &shell);
            options.DestroySections();
            EXPECT_EQ(shell.memory.LiveBlocks(), 3);
            if (!anyFailed || HasFailure()) {
                break;
            }
        }
    }
    UnbindShell("SMSN");
}

} // namespace
} // namespace sortie_test
