#include "sortie/load_mission_page.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/sortie/sortie_fixture.h"

namespace sortie_test {
namespace {

namespace fs = std::filesystem;

class LoadPage : public SortieBound {
protected:
    void SetUp() override {
        SortieBound::SetUp();
        home = fs::current_path();
        directory = ScratchDirectory("sortie-load-");
        shell.manager.missionDirectory = directory.string();
    }
    void TearDown() override {
        fs::current_path(home); // the fake's PopDirectory does not restore it
        fs::remove_all(directory);
        SortieBound::TearDown();
    }

    // A saved mission: a file on disk and the header the mission service reads for it.
    void AddMission(const std::string& name, const char* aircraftName, const char* mapName,
                    int32_t year, int32_t type, const std::string& details = "") {
        std::ofstream(directory / (name + ".MSN")) << "[Mission]\r\n";
        fake::FakeMissions::Saved saved{};
        std::memset(&saved.header, 0, sizeof saved.header);
        saved.header.missionType = type;
        std::strncpy(saved.header.aircraftName, aircraftName, sizeof saved.header.aircraftName);
        std::strncpy(saved.header.mapName, mapName, sizeof saved.header.mapName);
        saved.header.date = {year, 1, 1};
        saved.details = details;
        shell.missions.saved[name] = saved;
    }

    fake::FakeControl& Missions() { return Control(7, kKindList, 2); }
    fake::FakeControl& Text(int index) { return Control(7, kKindText, index); }

    fs::path home;
    fs::path directory;
};

TEST_F(LoadPage, ListsMissionsWhoseAircraftAndMapAreInstalled) {
    AddMission("alpha", "f14a", "desert", 1985, 1);
    AddMission("bravo", "A10A", "COAST", 1991, 5);
    AddMission("ghost", "mig99", "desert", 1990, 0); // aircraft not installed
    AddMission("lost", "f4e", "atlantis", 1970, 0);  // map not installed
    fs::create_directory(directory / "folder.MSN");  // a directory is no mission
    std::ofstream(directory / "notes.txt") << "x";
    shell.missions.saved["folder"] = shell.missions.saved["alpha"];

    struct Case {
        const char* label;
        const char* remembered; // none: absent
        const char* described;  // none: the first listed mission
    };
    const Case cases[] = {
        {"nothing remembered", nullptr, nullptr},
        {"remembered and listed", "bravo", "bravo"},
        {"remembered but no longer listed", "ghost", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Bind();
        if (c.remembered != nullptr) {
            options.SetString(kSingleMission, "LoadMissionFilename", c.remembered);
        }
        {
            LoadMissionPage page;
            page.Attach(&shell.menu, 7);
            std::vector<std::string> rows = RowTexts(Missions());
            std::sort(rows.begin(), rows.end()); // directory order is the system's
            EXPECT_EQ(rows, (std::vector<std::string>{"alpha", "bravo"}));
            EXPECT_EQ(page.hasMissions, 1);
            EXPECT_EQ(page.described, 1);
            EXPECT_FALSE(shell.journal.Contains("MSN.ReadMissionHeader(folder)"));
            const std::string first = Missions().rows[0].text;
            const std::string expected = c.described != nullptr ? c.described : first;
            EXPECT_EQ(page.missionName, expected);
            EXPECT_EQ(Missions().rows[static_cast<size_t>(Missions().selected)].text, expected);
            const bool isAlpha = expected == "alpha";
            EXPECT_EQ(Text(3).text, isAlpha ? "Tomcat" : "Warthog");
            EXPECT_EQ(Text(1).text, isAlpha ? "1985" : "1991");
            EXPECT_EQ(Text(4).text, isAlpha ? "Type 1" : "Type 5");
            EXPECT_EQ(Text(5).text, isAlpha ? "Desert" : "Coast");
            EXPECT_EQ(Text(14).visible, 0);
            // Described while the mission directory was current; the push is popped.
            const int selectFirst = shell.journal.IndexOf("Control7.8.2.SelectItem(0)");
            const int pop = shell.journal.IndexOf("FMG.PopDirectory()");
            EXPECT_GE(selectFirst, 0);
            const int describe =
                shell.journal.IndexOf("MSN.ReadMissionHeader(" + expected + ")", selectFirst);
            EXPECT_TRUE(describe > selectFirst && describe < pop) << shell.journal.Dump();
            EXPECT_LT(shell.journal.IndexOf("MMG.GetMissionDirectory(260)"),
                      shell.journal.IndexOf("FMG.PushDirectory()"));
            EXPECT_EQ(shell.files.directoryDepth, 0);
            page.Detach();
        }
        EXPECT_EQ(OptionText(options, "LoadMissionFilename"),
                  c.described != nullptr ? c.described : RowTexts(Missions())[0]);
        SortieBound::TearDown();
        shell.journal.Clear();
    }
}

TEST_F(LoadPage, AnEmptyDirectoryShowsTheNoMissionsRowAndWritesNothing) {
    fs::create_directory(directory / "only.MSN");
    Bind();
    {
        LoadMissionPage page;
        page.Attach(&shell.menu, 7);
        page.Show();
        EXPECT_EQ(RowTexts(Missions()), (std::vector<std::string>{"No saved missions"}));
        EXPECT_EQ(Missions().enabled, 0);
        EXPECT_EQ(Missions().selected, 0);
        EXPECT_EQ(shell.menu.AddChildControl(5, kKindStartControl).enabled, 0);
        EXPECT_EQ(Text(14).visible, 0);
        EXPECT_STREQ(page.missionName, "");
        EXPECT_EQ(Calls("MSN.ReadMissionHeader"), 0u);

        // The start control is disabled, but a start arriving anyway loads nothing.
        EXPECT_EQ(page.OnCommand(100), 0);
        EXPECT_EQ(Calls("MSN.LoadSavedMission"), 0u);
        page.Hide();
        page.Detach();
    }
    EXPECT_EQ(OptionText(options, "LoadMissionFilename"), "<missing>");
    EXPECT_EQ(shell.files.directoryDepth, 0);
}

TEST_F(LoadPage, ListIsEnabledAgainOnceMissionsAppear) {
    Bind();
    for (bool withMission : {false, true}) {
        SCOPED_TRACE(withMission);
        if (withMission) {
            AddMission("alpha", "f14a", "desert", 1985, 1);
        }
        LoadMissionPage page;
        page.Attach(&shell.menu, 7);
        page.Show();
        EXPECT_EQ(Missions().enabled, withMission ? 1 : 0);
        EXPECT_EQ(shell.menu.AddChildControl(5, kKindStartControl).enabled, withMission ? 1 : 0);
        page.Hide();
        page.Detach();
    }
}

TEST_F(LoadPage, TheDetailsIndicatorFollowsTheSelectedMissionsBlock) {
    AddMission("alpha", "f14a", "desert", 1985, 1, "Escort the tanker.");
    AddMission("bravo", "a10a", "coast", 1991, 5);
    Bind();
    options.SetString(kSingleMission, "LoadMissionFilename", "alpha");
    LoadMissionPage page;
    page.Attach(&shell.menu, 7);
    page.Show();
    ASSERT_STREQ(page.missionName, "alpha");
    ASSERT_NE(page.header.details, nullptr);
    EXPECT_EQ(Text(14).visible, 1);
    char* alphaBlock = page.header.details;

    const int bravoRow = Missions().FindItem("bravo", -1, 0);
    Missions().SelectItem(bravoRow);
    shell.journal.Clear();
    page.OnCommand(2);
    EXPECT_FALSE(shell.memory.IsLive(alphaBlock));
    EXPECT_EQ(page.header.details, nullptr);
    EXPECT_EQ(Text(14).visible, 0);
    EXPECT_EQ(Text(3).text, "Warthog");
    EXPECT_TRUE(shell.journal.InOrder(
        {"MSN.ReadMissionHeader(bravo)", "Child5.3.SetEnabled(1)", "MNU.PostResult(6,0)"}))
        << shell.journal.Dump();

    Missions().SelectItem(Missions().FindItem("alpha", -1, 0));
    page.OnCommand(2);
    EXPECT_EQ(Text(14).visible, 1);
    page.Hide();
    page.Detach();
    EXPECT_EQ(page.header.details, nullptr) << "freed at Detach";
    EXPECT_EQ(OptionText(options, "LoadMissionFilename"), "alpha");
}

TEST_F(LoadPage, StartLoadsTheSelectedRowNotTheRememberedName) {
    AddMission("alpha", "f14a", "desert", 1985, 1);
    AddMission("bravo", "a10a", "coast", 1991, 5);
    Bind();
    options.SetString(kSingleMission, "LoadMissionFilename", "alpha");
    LoadMissionPage page;
    page.Attach(&shell.menu, 7);
    Missions().SelectItem(Missions().FindItem("bravo", -1, 0));
    shell.missions.loadAnswer = 7;
    EXPECT_EQ(page.OnCommand(100), 7);
    EXPECT_TRUE(shell.journal.Contains("MSN.LoadSavedMission(bravo)"));
    EXPECT_EQ(page.OnCommand(55), 0);
    page.Detach();
    EXPECT_EQ(OptionText(options, "LoadMissionFilename"), "bravo");
}

TEST_F(LoadPage, UnterminatedHeaderNamesAndVanishedObjectsAreHandledSafely) {
    AddMission("alpha", "f14a", "desert", 1985, 1);
    AddMission("bravo", "a10a", "coast", 1991, 3);
    // A header whose names fill their fields without a terminator.
    fake::FakeMissions::Saved& broken = shell.missions.saved["bravo"];
    std::memset(broken.header.aircraftName, 'A', sizeof broken.header.aircraftName);
    std::memset(broken.header.mapName, 'M', sizeof broken.header.mapName);
    Bind();
    options.SetString(kSingleMission, "LoadMissionFilename", "alpha");
    LoadMissionPage page;
    page.Attach(&shell.menu, 7);
    EXPECT_EQ(RowTexts(Missions()), (std::vector<std::string>{"alpha"}));
    const std::string cut(259, 'A');
    EXPECT_TRUE(shell.journal.Contains("AircraftObject.FindByName(" + cut + ")"));

    // The aircraft and the map go away between listing and description.
    aircraft->entries.clear();
    shell.terrains.entries.clear();
    page.OnCommand(2);
    EXPECT_EQ(Text(3).text, "");
    EXPECT_EQ(Text(5).text, "");
    EXPECT_EQ(Text(1).text, "1985");
    page.Detach();
}

} // namespace
} // namespace sortie_test
