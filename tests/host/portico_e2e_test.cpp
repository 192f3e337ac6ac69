// The real main-screen plug-in in the shell: the roster on disk after an entry, and what each
// choice posts and does.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "framework/contract.h"
#include "tests/host/game_folder.h"

namespace host {
namespace {

std::string PilotFile(const char* last, const char* first) {
    PilotRecord record;
    std::memset(&record, 0, sizeof record);
    std::strncpy(record.lastName, last, PilotRecord::kNameSize - 1);
    std::strncpy(record.firstName, first, PilotRecord::kNameSize - 1);
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

struct RosterCase {
    const char* name;
    const char* roster;
    std::vector<const char*> pilotFiles;
    // section, key, expected text on disk after one entry ("<absent>" for none)
    std::vector<std::array<const char*, 3>> expected;
};

void PrintTo(const RosterCase& row, std::ostream* os) {
    *os << row.name;
}

class RosterTest : public ::testing::TestWithParam<RosterCase> {};

TEST_P(RosterTest, EntryLeavesTheRosterInOrder) {
    const RosterCase& c = GetParam();
    GameFolder folder;
    folder.Write("pilots/roster.ini", c.roster);
    for (const char* file : c.pilotFiles) {
        folder.Write(std::string("pilots/") + file, PilotFile("Holm", "Tove"));
    }
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    ASSERT_EQ(session->RunStep("leave", "test"), kExitOk);
    for (const auto& e : c.expected) {
        SCOPED_TRACE(std::string(e[0]) + " " + e[1]);
        EXPECT_EQ(folder.Value("pilots/roster.ini", e[0], e[1]), e[2]);
    }
    EXPECT_TRUE(session->Log().Breaches().empty()) << session->Log().Breaches()[0];
    EXPECT_EQ(session->Finish(), kExitOk);
}

INSTANTIATE_TEST_SUITE_P(
    Portico, RosterTest,
    ::testing::Values(RosterCase{"EmptyRosterGetsThePlayerAsFirstPilot",
                                 "",
                                 {},
                                 {{"CurrentPilot", "PilotID", "1"},
                                  {"Pilot001", "PilotID", "1"},
                                  {"Pilot001", "Filename", "Pilot001.plt"},
                                  {"Pilot001", "DisplayName", "Ilona Varga"}}},
                      RosterCase{"NoPilotFileAddsTheNextPilot",
                                 "[Pilot001]\nPilotID=1\nFilename=Pilot001.plt\n"
                                 "[Pilot002]\nPilotID=2\nFilename=Pilot002.plt\n",
                                 {},
                                 {{"Pilot003", "PilotID", "3"},
                                  {"Pilot003", "Filename", "Pilot003.plt"},
                                  {"CurrentPilot", "PilotID", "3"}}},
                      RosterCase{"PresentPilotWithoutIdGetsTheNextId",
                                 "[Pilot001]\nPilotID=5\nFilename=Pilot001.plt\n"
                                 "[Pilot002]\nFilename=Pilot002.plt\n",
                                 {"Pilot001.plt", "Pilot002.plt"},
                                 {{"Pilot002", "PilotID", "6"},
                                  {"Pilot003", "PilotID", "<absent>"},
                                  {"CurrentPilot", "PilotID", "<absent>"}}},
                      RosterCase{"MissingPilotStillCountsForTheNextId",
                                 "[Pilot001]\nPilotID=9\nFilename=Pilot001.plt\n"
                                 "[Pilot002]\nFilename=Pilot002\n",
                                 {"Pilot002.plt"},
                                 {{"Pilot002", "PilotID", "10"}, {"Pilot001", "PilotID", "9"}}},
                      RosterCase{"GapEndsTheRoster",
                                 "[Pilot001]\nPilotID=1\nFilename=Pilot001.plt\n"
                                 "[Pilot003]\nPilotID=3\nFilename=Pilot003.plt\n",
                                 {"Pilot003.plt"},
                                 {{"Pilot002", "PilotID", "2"},
                                  {"Pilot002", "Filename", "Pilot002.plt"},
                                  {"CurrentPilot", "PilotID", "2"}}}),
    [](const ::testing::TestParamInfo<RosterCase>& row) { return row.param.name; });

TEST(PorticoEntryTest, FirstPilotRosterIsWrittenByteForByteWithCrLf) {
    GameFolder folder;
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    EXPECT_EQ(folder.Read("pilots/roster.ini"),
              "[CurrentPilot]\r\nPilotID=1\r\n\r\n"
              "[Pilot001]\r\nDisplayName=Ilona Varga\r\nFilename=Pilot001.plt\r\nPilotID=1\r\n"
              "\r\n");
    // The banner labels are up and the instant-action mission control is selected.
    ASSERT_EQ(session->Display().labels.size(), 2u);
    EXPECT_EQ(session->Display().labels[0]->text, "v07.05.05");
    EXPECT_EQ(session->Display().labels[0]->visible, 1);
    EXPECT_EQ(session->MenuManager().missionControl, "MC_INSTANT_ACTION");
    EXPECT_EQ(session->Menu()->entries, 1);
    EXPECT_EQ(session->Finish(), kExitOk);
}

TEST(PorticoEntryTest, SecondEntryWithThePilotFileKeepsTheRoster) {
    GameFolder folder;
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    ASSERT_EQ(session->RunStep("leave", "test"), kExitOk);
    ASSERT_EQ(session->RunStep("pilotfile", "test"), kExitOk);
    ASSERT_TRUE(folder.Exists("pilots/Pilot001.plt"));
    EXPECT_EQ(folder.Read("pilots/Pilot001.plt").size(), sizeof(PilotRecord));
    const std::string first = folder.Read("pilots/roster.ini");
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    EXPECT_EQ(folder.Read("pilots/roster.ini"), first);
    EXPECT_EQ(session->Finish(), kExitOk);
}

struct ChoiceCase {
    const char* name;
    const char* step;
    std::pair<int32_t, int32_t> posted;
    const char* missionControl; // after the choice
    int created;                // missions created by the choice
    const char* screenAfter;
};

void PrintTo(const ChoiceCase& row, std::ostream* os) {
    *os << row.name;
}

class ChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceTest, PostsItsResultAndActs) {
    const ChoiceCase& c = GetParam();
    GameFolder folder;
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    session->MenuManager().missionControl = "none yet";
    ASSERT_EQ(session->RunStep(c.step, "test"), kExitOk);
    ASSERT_EQ(session->LastPosted().size(), 1u);
    EXPECT_EQ(session->LastPosted()[0], c.posted);
    EXPECT_EQ(session->MenuManager().missionControl, c.missionControl);
    EXPECT_EQ(session->Missions()->created, c.created);
    EXPECT_EQ(session->CurrentScreen(), c.screenAfter);
    EXPECT_EQ(session->Finish(), kExitOk);
}

INSTANTIATE_TEST_SUITE_P(
    Portico, ChoiceTest,
    ::testing::Values(
        ChoiceCase{"BackKey", "key 1", {2, 1}, "none yet", 0, ""},
        ChoiceCase{"ExitButton", "press 1", {2, 1}, "none yet", 0, ""},
        ChoiceCase{"InstantAction", "press 2", {0, 1}, "MC_INSTANT_ACTION", 1, ""},
        // The single-mission screen's plug-in is not served here: the shell says so and stays.
        ChoiceCase{"SingleMission", "press 3", {3, 3}, "MC_SINGLE_MISSION", 0, "Main"},
        ChoiceCase{"Campaign", "press 4", {3, 4}, "MC_CAMPAIGN", 0, "Main"},
        ChoiceCase{"ChoiceFive", "press 5", {3, 5}, "none yet", 0, "Main"},
        ChoiceCase{"ChoiceSix", "press 6", {3, 6}, "none yet", 0, "Main"},
        ChoiceCase{"ChoiceEight", "press 8", {0, 2}, "none yet", 0, ""}),
    [](const ::testing::TestParamInfo<ChoiceCase>& row) { return row.param.name; });

TEST(PorticoChoiceTest, InstantActionCreatesTheMissionBeforePostingAndReleasesMsn) {
    GameFolder folder;
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    const size_t from = session->Log().Lines().size();
    ASSERT_EQ(session->RunStep("press 2", "test"), kExitOk);
    std::vector<std::string> order;
    for (size_t i = from; i < session->Log().Lines().size(); ++i) {
        const std::string& line = session->Log().Lines()[i];
        for (const char* mark : {"SelectMissionControl", "AcquireService(MSN)", "CreateMission",
                                 "ReleaseService(MSN)", "PostResult(0, 1)"}) {
            if (line.find(mark) != std::string::npos) {
                order.push_back(mark);
            }
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"SelectMissionControl", "AcquireService(MSN)",
                                               "CreateMission", "ReleaseService(MSN)",
                                               "PostResult(0, 1)"}));
    EXPECT_EQ(session->Finish(), kExitOk);
}

TEST(PorticoChoiceTest, MissingSingleMissionPluginIsSaidClearly) {
    GameFolder folder;
    auto session = OpenSession(folder, PORTICO_PLUGIN);
    ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
    ASSERT_EQ(session->RunStep("press 3", "test"), kExitOk);
    EXPECT_TRUE(Mentions(session->Log().Lines(),
                         "screen SingleMission: plug-in sortie is not built or not found"));
    EXPECT_EQ(session->CurrentScreen(), "Main");
    EXPECT_EQ(session->Finish(), kExitOk);
}

// Every allocation of the first entry fails in turn: nothing may crash, leak, break the
// contract or leave a roster on disk that cannot be read.
TEST(PorticoFaultInjectionTest, EachFailedAllocationLeavesTheContractAndRosterIntact) {
    for (int nth = 1; nth < 200; ++nth) {
        SCOPED_TRACE(testing::Message() << "allocation " << nth << " fails");
        GameFolder folder;
        auto session = OpenSession(folder, PORTICO_PLUGIN);
        ASSERT_EQ(session->RunStep("failalloc MAIN " + std::to_string(nth), "test"), kExitOk);
        ASSERT_EQ(session->RunStep("load Main", "test"), kExitOk);
        ASSERT_EQ(session->RunStep("leave", "test"), kExitOk);
        const bool injected = Mentions(session->Log().Lines(), "(injected failure)");
        for (const std::string& breach : session->Log().Breaches()) {
            ADD_FAILURE() << breach;
        }
        IniFile roster;
        const IniResult read =
            ParseIniFile(folder.Path("pilots/roster.ini").string().c_str(), &roster);
        EXPECT_EQ(read.ok, 1) << read.message;
        EXPECT_EQ(session->Finish(), kExitOk);
        if (!injected) {
            EXPECT_GT(nth, 5); // the entry allocates, so some runs must have failed
            break;             // every allocation of the entry has had its turn
        }
    }
}

} // namespace
} // namespace host
