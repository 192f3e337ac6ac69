// Shared set-up of the single-mission plug-in's unit tests: a fake shell with a small game (three
// aircraft, three terrains, the screen's two sub-menus and start control, the string tables the
// screen reads) and an options document the tests own.
//
// SortieBound binds the framework and fills the module state directly, for tests that drive one
// page or list function; the plug-in's own InitMenuCode/ExitMenuCode work is tested separately.
// Every test ends with the fake's contract check: each acquisition released, nothing misused, no
// tagged memory left once the test's options document is gone.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/config_document.h"
#include "framework/binding.h"
#include "sortie/sortie_module.h"
#include "tests/support/fake_shell.h"

namespace sortie_test {

// A fresh, empty scratch directory named after the running test; a random suffix tells apart the
// test programs of several builds running at once.
inline std::filesystem::path ScratchDirectory(const std::string& prefix) {
    static const std::string suffix = std::to_string(std::random_device{}());
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + suffix);
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

// An options document as the shell lends it: empty, adding missing keys, with its words.
inline void PrepareDocument(ConfigDocument& doc) {
    doc.strings.Reset(32 * 1024);
    doc.addMissing = 1;
    doc.emptyWord = "";
    doc.trueWord = "TRUE";
    doc.falseWord = "FALSE";
}

inline void DestroyDocument(ConfigDocument& doc) {
    doc.DestroySections();
    doc.strings.Release();
}

// The text of a "SingleMission" key, "<missing>" when absent, "<none>" when it has no text.
inline std::string OptionText(ConfigDocument& doc, const char* key) {
    ConfigValue* value = doc.Find(kSingleMission, key);
    if (value == nullptr) {
        return "<missing>";
    }
    return value->text != nullptr ? value->text : "<none>";
}

inline std::vector<std::string> RowTexts(const fake::FakeControl& control) {
    std::vector<std::string> out;
    for (const auto& row : control.rows) {
        out.push_back(row.text);
    }
    return out;
}

inline std::vector<intptr_t> Values(const CursorList& list) {
    std::vector<intptr_t> out;
    for (CursorListNode* node = list.head; node != nullptr; node = node->next) {
        out.push_back(node->value);
    }
    return out;
}

inline void AddTerrain(fake::FakeShell& shell, const std::string& name, const std::string& display,
                       bool hidden = false) {
    fake::FakeTerrains::Entry e;
    e.name = name;
    e.displayName = display;
    e.hidden = hidden;
    shell.terrains.entries.push_back(e);
}

// The small game most tests use; tests change it before binding.
inline fake::FakeObjectList& PopulateGame(fake::FakeShell& shell) {
    fake::FakeObjectList& aircraft = shell.objects.AddClass("AircraftObject");
    aircraft.AddAircraft("f14a", "Tomcat", 1972, 2006).missionTypes = {0, 1, 2, 3};
    aircraft.AddAircraft("a10a", "Warthog", 1977, 2020).missionTypes = {4, 5, 7};
    aircraft.AddAircraft("f4e", "Phantom", 1960, 1996).missionTypes = {1, 4, 6, 11};
    AddTerrain(shell, "desert", "Desert");
    AddTerrain(shell, "coast", "Coast");
    AddTerrain(shell, "test", "Test Range", true);

    shell.menu.AddPage(6);
    shell.menu.AddPage(7);
    shell.menu.AddChildControl(5, kKindStartControl);
    for (int id : {1, 4, 5}) {
        shell.menu.AddButton(id);
    }
    std::vector<std::string> types;
    for (int t = 0; t < 17; ++t) {
        types.push_back("Type " + std::to_string(t));
    }
    shell.text.indexed["MissionType.str"] = types;
    std::vector<std::string> menuText(31, "");
    menuText[30] = "No saved missions";
    shell.text.indexed["MenuText.str"] = menuText;
    for (int i = 0; i < 8; ++i) {
        shell.text.keyed["MissionTime.str"]["TXT_MENU_MISSION_TIME_" + std::to_string(i)] =
            "Time " + std::to_string(i);
    }
    for (int i = 0; i < 6; ++i) {
        shell.text.keyed["MissionWeather.str"]["TXT_MENU_WEATHER_" + std::to_string(i)] =
            "Weather " + std::to_string(i);
    }
    for (int i = 0; i < 4; ++i) {
        shell.text.keyed["ActivityLevel.str"]["TXT_MENU_ACTIVITY_LEVEL_" + std::to_string(i)] =
            "Level " + std::to_string(i);
    }
    for (int i = 0; i < 17; ++i) {
        shell.text.keyed["MissionType.str"]["TXT_MENU_MISSION_TYPE_" + std::to_string(i)] =
            "Type " + std::to_string(i);
    }
    return aircraft;
}

class SortieBound : public ::testing::Test {
protected:
    void SetUp() override {
        aircraft = &PopulateGame(shell);
        Sortie() = SortieModule{};
    }

    // Binds and fills the module state as InitMenuCode would, without the screen.
    void Bind() {
        BindShell("SMSN", &shell);
        PrepareDocument(options);
        SortieModule& m = Sortie();
        shell.AcquireService("MMG", &m.MMG);
        shell.AcquireService("MSN", &m.MSN);
        shell.AcquireService("TXT", &m.TXT);
        shell.AcquireService("TER", &m.TER);
        shell.AcquireService("MNU", &m.MNU);
        shell.AcquireService("OBJ", &m.OBJ);
        if (m.OBJ != nullptr) {
            m.OBJ->GetClassList(m.OBJ->FindClass("AircraftObject"), &m.aircraft);
        }
        m.options = &options;
        bound = true;
        shell.journal.Clear();
    }

    void TearDown() override {
        if (bound) {
            SortieModule& m = Sortie();
            shell.ReleaseService("OBJ", &m.OBJ);
            shell.ReleaseService("MNU", &m.MNU);
            shell.ReleaseService("TER", &m.TER);
            shell.ReleaseService("TXT", &m.TXT);
            shell.ReleaseService("MSN", &m.MSN);
            shell.ReleaseService("MMG", &m.MMG);
            DestroyDocument(options);
            UnbindShell("SMSN");
            bound = false;
        }
        Sortie() = SortieModule{};
        const std::vector<std::string> problems = shell.ContractProblems();
        EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems) << "\n"
                                      << shell.journal.Dump();
    }

    fake::FakePage& Page(int id) { return *shell.menu.FindPage(id); }
    fake::FakeControl& Control(int id, int kind, int index) {
        return shell.menu.AddPage(id).AddControl(index, kind);
    }
    size_t Calls(const std::string& prefix) const {
        return shell.journal.WithPrefix(prefix).size();
    }

    fake::FakeShell shell;
    fake::FakeObjectList* aircraft = nullptr;
    ConfigDocument options;
    bool bound = false;
};

} // namespace sortie_test
