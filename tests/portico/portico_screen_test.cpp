// The main screen through its exports: entry order, mission controls, the choice table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "portico/portico_screen.h"
#include "tests/portico/portico_fixture.h"

MENU_EXPORT int32_t InitMenuCode(AppShell* shell, MenuScreen** screen);
MENU_EXPORT int32_t ExitMenuCode();

namespace portico_test {
namespace {

// The fixture keeps the framework bound for building documents; the plug-in binds itself, so the
// fixture's binding is set aside while the plug-in runs.
class PorticoScreenTest : public PorticoFixture {
protected:
    void SetUp() override {
        PorticoFixture::SetUp();
        Fill(*menuDocument, {Str("MissionControl", "InstantAction", "IA_CTRL"),
                             Str("MissionControl", "SingleMission", "SM_CTRL"),
                             Str("MissionControl", "Campaign", "CP_CTRL")});
        SetPlayer("Doe", "Alex", "Ace", "Navy");
        // One pilot whose file exists: the upkeep changes nothing and creates no one.
        Fill(*roster, {Int("CurrentPilot", "PilotID", 1), Str("Pilot001", "Filename", "Ace"),
                       Int("Pilot001", "PilotID", 1)});
        shell.files.Add("Pilots\\Ace.plt", PilotFile("Doe", "Alex"));
        ASSERT_EQ(UnbindShell("MAIN"), 1);
        shell.journal.Clear();
    }
    void TearDown() override {
        BindShell("MAIN", &shell);
        PorticoFixture::TearDown();
    }

    PorticoScreen* Start() {
        MenuScreen* screen = reinterpret_cast<MenuScreen*>(&shell); // must be overwritten
        InitMenuCode(&shell, &screen);
        return static_cast<PorticoScreen*>(screen);
    }
};

TEST_F(PorticoScreenTest, EnterOrder) {
    struct Case {
        const char* name;
        int32_t entryActionDue;
        int32_t hasMissionControl;
        bool entryActions;
        bool selects;
    } const cases[] = {
        {"nothing due, control selected", 0, 1, false, false},
        {"entry action due", 1, 1, true, false},
        {"no mission control yet", 0, 0, false, true},
        {"both", 7, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell.journal.Clear();
        shell.manager.entryActionDue = c.entryActionDue;
        shell.manager.hasMissionControl = c.hasMissionControl;
        const std::string version = "Label" + std::to_string(shell.display.labels.size() + 1);
        const std::string notice = "Label" + std::to_string(shell.display.labels.size() + 2);
        PorticoScreen* screen = Start();
        ASSERT_NE(screen, nullptr);
        EXPECT_TRUE(shell.journal.InOrder(
            {"Shell.AcquireService(RND)", "Shell.AcquireService(MMG)", "Shell.AcquireService(MNU)",
             version + ".SetVisible(0)", notice + ".SetVisible(0)", "Shell.ReleaseService(DSP)",
             version + ".SetVisible(1)", notice + ".SetVisible(1)", "MNU.NotifyEnter()",
             "MNU.GetMenuDocument(0)", "MMG.LockPilotRoster()", "MMG.UnlockPilotRoster()",
             "FMG.PopDirectory()", "MMG.IsEntryActionDue()"}))
            << shell.journal.Dump();
        const int due = shell.journal.IndexOf("MMG.IsEntryActionDue()");
        const int has = shell.journal.IndexOf("MMG.HasMissionControl()");
        ASSERT_GT(has, due);
        EXPECT_EQ(shell.journal.IndexOf("MMG.EntryActionFirst()") == due + 1, c.entryActions);
        EXPECT_EQ(shell.journal.IndexOf("MMG.EntryActionSecond()") == due + 2, c.entryActions);
        EXPECT_EQ(shell.journal.IndexOf("MMG.SelectMissionControl(IA_CTRL)") == has + 1, c.selects);
        EXPECT_EQ(shell.journal.WithPrefix("MMG.SelectMissionControl").size(), c.selects ? 1u : 0u);
        EXPECT_EQ(shell.journal.Contains("Shell.AcquireService(OPT)"), false); // no new pilot
        EXPECT_EQ(ExitMenuCode(), 1);
    }
}

TEST_F(PorticoScreenTest, MissionControlsFromTheMenuDocument) {
    struct Case {
        const char* name;
        bool document;
        bool section;
        const char* instant;
        const char* single;
        const char* campaign;
    } const cases[] = {
        {"all three", true, true, "IA_CTRL", "SM_CTRL", "CP_CTRL"},
        {"no MissionControl section", true, false, "", "", ""},
        {"no menu document", false, false, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.section) {
            BindShell("MAIN", &shell);
            menuDocument->DestroySections();
            UnbindShell("MAIN");
        }
        shell.menu.menuDocument = c.document ? menuDocument.get() : nullptr;
        shell.manager.hasMissionControl = 0;
        shell.journal.Clear();
        PorticoScreen* screen = Start();
        EXPECT_STREQ(screen->instantActionControl, c.instant);
        EXPECT_STREQ(screen->singleMissionControl, c.single);
        EXPECT_STREQ(screen->campaignControl, c.campaign);
        EXPECT_TRUE(
            shell.journal.Contains("MMG.SelectMissionControl(" + std::string(c.instant) + ")"));
        EXPECT_EQ(ExitMenuCode(), 1);
    }
}

TEST_F(PorticoScreenTest, Choices) {
    struct Case {
        int32_t choice;
        std::vector<std::string> calls; // besides the filter's questions
    } const cases[] = {
        {1, {"MNU.PostResult(2,1)"}},
        {2,
         {"MMG.SelectMissionControl(IA_CTRL)", "Shell.AcquireService(MSN)",
          "MSN.CreateMission(null)", "Shell.ReleaseService(MSN)", "MNU.PostResult(0,1)"}},
        {3, {"MMG.SelectMissionControl(SM_CTRL)", "MNU.PostResult(3,3)"}},
        {4, {"MMG.SelectMissionControl(CP_CTRL)", "MNU.PostResult(3,4)"}},
        {5, {"MMG.ChoiceFiveAction()", "MNU.PostResult(3,5)"}},
        {6, {"MNU.PostResult(3,6)"}},
        {7, {"MNU.PostResult(3,7)"}},
        {8, {"MNU.PostResult(0,2)"}},
        {9, {"MNU.PostResult(3,9)"}},
        {12, {"MNU.PostResult(3,12)"}},
    };
    PorticoScreen* screen = Start();
    for (int32_t id = 1; id <= 12; ++id) {
        shell.menu.AddButton(id);
    }
    shell.menu.postResultAnswer = 31;
    InputEvent event;
    std::memset(&event, 0, sizeof event);
    event.kind = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        shell.journal.Clear();
        shell.menu.activeControlId = c.choice;
        EXPECT_EQ(screen->HandleInput(&event), 31);
        std::vector<std::string> calls;
        for (const std::string& e : shell.journal.entries) {
            if (e != "MNU.GetActiveControlId()" && e.rfind("MNU.GetChild(", 0) != 0) {
                calls.push_back(e);
            }
        }
        EXPECT_EQ(calls, c.calls);
    }

    // No choice: nothing posted, 0 returned.
    shell.journal.Clear();
    shell.menu.activeControlId = 13; // not a button of the menu
    EXPECT_EQ(screen->HandleInput(&event), 0);
    EXPECT_EQ(shell.menu.posted.size(), 10u);
    EXPECT_TRUE(shell.journal.WithPrefix("MNU.PostResult").empty());

    // A key event choosing 1 posts like the control with id 1.
    InputEvent key = event;
    key.kind = 1;
    key.code = 1;
    key.flags = 0x04;
    shell.journal.Clear();
    EXPECT_EQ(screen->HandleInput(&key), 31);
    EXPECT_EQ(shell.journal.WithPrefix("MNU.PostResult"),
              std::vector<std::string>{"MNU.PostResult(2,1)"});
    EXPECT_EQ(ExitMenuCode(), 1);
}

TEST_F(PorticoScreenTest, ExportsPairEverything) {
    MenuScreen* screen = nullptr;
    shell.releaseAnswer = 5;
    InitMenuCode(&shell, &screen);
    ASSERT_NE(screen, nullptr);
    EXPECT_STREQ(Binding().ModuleTag, "MAIN");
    EXPECT_EQ(Portico().MMG, &shell.manager);
    EXPECT_EQ(shell.display.LiveLabels(), 2);
    shell.journal.Clear();
    EXPECT_EQ(ExitMenuCode(), 5); // the result of the last release
    EXPECT_TRUE(shell.journal.InOrder({"Shell.ReleaseService(MNU)", "DSP.DestroyTextLabel(Label2)",
                                       "DSP.DestroyTextLabel(Label1)", "Shell.ReleaseService(MMG)",
                                       "Shell.ReleaseService(RND)", "MEM.ReleaseTag(MAIN)",
                                       "Shell.ReleaseService(DBG)"}))
        << shell.journal.Dump();
    EXPECT_EQ(shell.journal.entries.back(), "Shell.ReleaseService(DBG)");
    EXPECT_TRUE(shell.Outstanding().empty()) << shell.journal.Dump();
    EXPECT_TRUE(shell.Misuse().empty()) << shell.journal.Dump();
    EXPECT_EQ(Portico().MMG, nullptr);
    shell.releaseAnswer = 1;

    // Without a shell nothing is bound and no screen handed out.
    screen = reinterpret_cast<MenuScreen*>(&shell);
    EXPECT_EQ(InitMenuCode(nullptr, &screen), 0);
    EXPECT_EQ(screen, nullptr);
}

} // namespace
} // namespace portico_test
