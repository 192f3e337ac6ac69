// The session: its settings file, its driver steps and expectations, and the contract check
// against deliberately faulty plug-ins.
#include <gtest/gtest.h>

#include "tests/host/game_folder.h"

namespace host {
namespace {

TEST(SplitStepTest, QuotesGroupWordsAndHashStartsAComment) {
    EXPECT_EQ(SplitStep("expect value f.ini S K \"Ilona Varga\" # note"),
              (std::vector<std::string>{"expect", "value", "f.ini", "S", "K", "Ilona Varga"}));
    EXPECT_EQ(SplitStep("  select 6 2 \"\"\r"), (std::vector<std::string>{"select", "6", "2", ""}));
    EXPECT_TRUE(SplitStep("# only a comment").empty());
}

TEST(SessionSettingsTest, BadSettingsAreRefusedWithFileAndLine) {
    struct Case {
        const char* name;
        const char* text;
        const char* message; // found in the error
    } cases[] = {
        {"unknown section", "[Screen Main]\nPlugin=p\nMenu=m\n[Extra]\n",
         "menuhost.ini:4: unknown section [Extra]"},
        {"bad width", "[Display]\nWidth=wide\n",
         "menuhost.ini:2: [Display] takes Width and Height"},
        {"no screen", "[Display]\nWidth=800\n", "no [Screen <name>] section"},
        {"screen without menu", "[Screen Main]\nPlugin=portico\n",
         "menuhost.ini:1: [Screen Main] needs"},
        {"bad result entry", "[Screen Main]\nPlugin=p\nMenu=m\nOn 3=Main\n",
         "menuhost.ini:4: a result entry reads"},
        {"result to nowhere", "[Screen Main]\nPlugin=p\nMenu=m\nOn 3,3=Nowhere\n",
         "sends result (3, 3) to Nowhere"},
        {"syntax", "[Screen Main\n", "menuhost.ini:1:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.Write("menuhost.ini", c.text);
        SessionOptions options;
        options.gameDir = folder.Root();
        Session session(options);
        std::string error;
        EXPECT_EQ(session.Open(&error), 0);
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(SessionSettingsTest, UnreadableRosterIsNeverLentNorOverwritten) {
    GameFolder folder;
    const std::string broken = "[Pilot001]\nPilotID=1\nthis line has no equals sign\n";
    folder.Write("pilots/roster.ini", broken);
    SessionOptions options;
    options.gameDir = folder.Root();
    {
        Session session(options);
        std::string error;
        EXPECT_EQ(session.Open(&error), 0);
        EXPECT_NE(error.find("roster.ini:3:"), std::string::npos) << error;
    }
    EXPECT_EQ(folder.Read("pilots/roster.ini"), broken);
}

TEST(SessionDriverTest, StepsReportBadInputAndFailedExpectations) {
    GameFolder folder;
    std::ostringstream out;
    auto session = OpenSession(folder, PORTICO_PLUGIN, &out);
    struct Case {
        const char* step;
        int status;
    } cases[] = {
        {"press 2", kExitBadInput}, // nothing loaded yet
        {"load Nowhere", kExitBadInput},
        {"load Main", kExitOk},
        {"pres 2", kExitBadInput},
        {"press 42", kExitBadInput},
        {"select 6 1 0", kExitBadInput}, // the main menu has no sub-menus
        {"expect value pilots\\roster.ini CurrentPilot PilotID 1", kExitOk},
        {"expect value pilots\\roster.ini CurrentPilot PilotID 2", kExitBreach},
        {"expect file pilots\\roster.ini", kExitOk},
        {"expect nofile pilots\\roster.ini", kExitBreach},
        {"expect crlf pilots\\roster.ini", kExitOk},
        {"expect crlf menus\\main.ini", kExitBreach}, // written with LF
        {"expect screen Main", kExitOk},
        {"expect frobnicate", kExitBadInput},
        {"press 4", kExitOk},
        {"expect posted 3 4", kExitOk},
        {"expect posted 3 3", kExitBreach},
        {"expect mission created", kExitBreach},
        {"expect clean", kExitOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(session->RunStep(c.step, "test:1"), c.status) << out.str();
    }
    EXPECT_EQ(session->FailedExpectations(), 5);
    EXPECT_EQ(session->Finish(), kExitBadInput);
}

TEST(SessionDriverTest, ViewShowsButtonsLabelsAndMissionControl) {
    GameFolder folder;
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    const std::string view = session->RenderView();
    for (const char* part :
         {"== Main (portico", "\"Main Menu\"", "[2 Instant Action]",
          "label \"v07.05.05\" at 637,478\n", "mission control: \"MC_INSTANT_ACTION\""}) {
        SCOPED_TRACE(part);
        EXPECT_NE(view.find(part), std::string::npos) << view;
    }
    EXPECT_EQ(session->Finish(), kExitOk);
}

TEST(SessionDriverTest, PromptReadsStepsUntilQuitAndKeepsGoingAfterMistakes) {
    GameFolder folder;
    std::ostringstream out;
    auto session = OpenSession(folder, PORTICO_PLUGIN, &out);
    std::istringstream typed("help\nfly away\nload Main\nquit\nleave\n");
    EXPECT_EQ(session->RunStream(typed, "prompt", true), kExitOk);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("> ", 0), 0u);
    EXPECT_NE(text.find("steps:\n  load [SCREEN]"), std::string::npos);
    EXPECT_NE(text.find("prompt:2: unknown step \"fly\""), std::string::npos);
    EXPECT_EQ(session->CurrentScreen(), "Main"); // "leave" came after quit
    EXPECT_EQ(session->Finish(), kExitOk);       // a typing mistake at the prompt is no failure
}

TEST(SessionDriverTest, ScriptStopsAtTheFirstBadStep) {
    GameFolder folder;
    std::ostringstream out;
    auto session = OpenSession(folder, PORTICO_PLUGIN, &out);
    std::istringstream script("load Main\nselect 1\nleave\n");
    EXPECT_EQ(session->RunStream(script, "t.tour", false), kExitBadInput);
    EXPECT_NE(out.str().find("t.tour:2: usage: select SUB LIST ROW"), std::string::npos);
    EXPECT_EQ(session->CurrentScreen(), "Main");
}

struct FaultCase {
    const char* name;
    const char* plugin;
    std::vector<const char*> breaches;
};

void PrintTo(const FaultCase& row, std::ostream* os) {
    *os << row.name;
}

class FaultyPluginTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultyPluginTest, ContractCheckCatchesTheFault) {
    const FaultCase& c = GetParam();
    GameFolder folder;
    const std::string options = folder.Read("options.ini");
    const std::string roster = folder.Read("pilots/roster.ini");
    auto session = OpenSession(folder, c.plugin);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    ASSERT_EQ(session->RunStep("leave", "test"), kExitOk);
    for (const char* breach : c.breaches) {
        SCOPED_TRACE(breach);
        EXPECT_TRUE(Mentions(session->Log().Breaches(), breach));
    }
    EXPECT_EQ(session->Log().Breaches().size(), c.breaches.size());
    EXPECT_EQ(session->Finish(), kExitBreach);
    // A fault of the plug-in changes nothing on disk.
    EXPECT_EQ(folder.Read("options.ini"), options);
    EXPECT_EQ(folder.Read("pilots/roster.ini"), roster);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyPluginTest,
    ::testing::Values(FaultCase{"SkippedRelease",
                                FAULTY_SKIP_RELEASE_PLUGIN,
                                {"faulty_skip_release did not release MMG"}},
                      FaultCase{
                          "Leak",
                          FAULTY_LEAK_PLUGIN,
                          {"tagged memory still live at ReleaseTag(LEAK): 1 block(s), 48 bytes"}},
                      FaultCase{"KeptDocuments",
                                FAULTY_KEEPS_DOCUMENTS_PLUGIN,
                                {"faulty_keeps_documents did not give the pilot roster back",
                                 "faulty_keeps_documents did not give the options document back",
                                 "faulty_keeps_documents pushed 1 directory and did not pop it"}}),
    [](const ::testing::TestParamInfo<FaultCase>& row) { return row.param.name; });

} // namespace
} // namespace host
