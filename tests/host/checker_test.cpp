#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/binding.h"
#include "host/ini/ini_loader.h"
#include "host/services.h"

namespace host {
namespace {

class CheckerTest : public ::testing::Test {
protected:
    CheckerTest() {
        shell.Register("MEM", static_cast<MemoryService*>(&memory));
        shell.Register("MMG", static_cast<MenuManagerService*>(&manager));
    }
    bool BreachMentions(const std::string& text) const {
        for (const std::string& b : journal.Breaches()) {
            if (b.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    Journal journal;
    HostMemory memory{&journal};
    HostMenuManager manager{&journal, &memory};
    HostShell shell{&journal};
};

TEST_F(CheckerTest, ReleaseWithTheSameIdAndHolderIsCleanAndClearsThePointer) {
    MenuManagerService* held = nullptr;
    EXPECT_EQ(shell.AcquireService("MMG", &held), 1);
    EXPECT_EQ(held, &manager);
    EXPECT_EQ(shell.ReleaseService("MMG", &held), 1);
    EXPECT_EQ(held, nullptr);
    shell.CheckBalanced("plugin");
    EXPECT_TRUE(journal.Breaches().empty());
}

TEST_F(CheckerTest, EachBrokenPairingIsABreach) {
    struct Case {
        const char* name;
        void (*run)(HostShell&);
        const char* breach;
    } cases[] = {
        {"release through another holder",
         [](HostShell& s) {
             MenuManagerService* a = nullptr;
             s.AcquireService("MMG", &a);
             MenuManagerService* b = a;
             s.ReleaseService("MMG", &b);
             s.ReleaseService("MMG", &a);
         },
         "through a holder that holds no acquisition"},
        {"release under another id",
         [](HostShell& s) {
             MenuManagerService* a = nullptr;
             s.AcquireService("MMG", &a);
             s.ReleaseService("MEM", &a);
             s.ReleaseService("MMG", &a);
         },
         "ReleaseService(\"MEM\") through a holder"},
        {"never released",
         [](HostShell& s) {
             static MenuManagerService* a = nullptr;
             s.AcquireService("MMG", &a);
         },
         "plugin did not release MMG"},
        {"second acquisition into a held holder",
         [](HostShell& s) {
             MenuManagerService* a = nullptr;
             s.AcquireService("MMG", &a);
             s.AcquireService("MMG", &a);
             s.ReleaseService("MMG", &a);
         },
         "into a holder that still holds MMG"},
        {"holder overwritten before the release",
         [](HostShell& s) {
             MenuManagerService* a = nullptr;
             s.AcquireService("MMG", &a);
             a = nullptr;
             s.ReleaseService("MMG", &a);
         },
         "no longer points at the service"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Journal j;
        HostShell s(&j);
        s.Register("MMG", static_cast<MenuManagerService*>(&manager));
        s.Register("MEM", static_cast<MemoryService*>(&memory));
        c.run(s);
        s.CheckBalanced("plugin");
        ASSERT_FALSE(j.Breaches().empty());
        bool found = false;
        for (const std::string& b : j.Breaches()) {
            found = found || b.find(c.breach) != std::string::npos;
        }
        EXPECT_TRUE(found) << j.Breaches()[0];
    }
}

TEST_F(CheckerTest, UnknownServiceIsNoneAndNoBreach) {
    void* held = &held;
    EXPECT_EQ(shell.AcquireService("XYZ", &held), 0);
    EXPECT_EQ(held, nullptr);
    EXPECT_EQ(shell.ReleaseService("XYZ", &held), 0);
    shell.CheckBalanced("plugin");
    EXPECT_TRUE(journal.Breaches().empty());
}

TEST_F(CheckerTest, RosterMustBeUnlockedThroughItsHolder) {
    ConfigDocument roster;
    manager.roster.SetDocument(&roster);
    ConfigDocument* held = nullptr;
    manager.LockPilotRoster(&held);
    EXPECT_EQ(held, &roster);
    ConfigDocument* other = &roster;
    manager.UnlockPilotRoster(&other);
    EXPECT_TRUE(BreachMentions("through a holder the pilot roster was not lent to"));
    manager.LockPilotRoster(&other);
    EXPECT_TRUE(BreachMentions("while the roster is still locked"));
    manager.UnlockPilotRoster(&held);
    EXPECT_EQ(held, nullptr);
    manager.roster.CheckBalanced("plugin", "LockPilotRoster without UnlockPilotRoster");
    EXPECT_TRUE(BreachMentions("plugin did not give the pilot roster back"));
    EXPECT_EQ(manager.roster.Outstanding(), 0u);
}

TEST_F(CheckerTest, BlocksAPluginAddedToALentDocumentBelongToTheShellOnceGivenBack) {
    InternalShell internal(&shell);
    BindShell("MAIN", &internal); // the document's blocks are made under the plug-in's tag
    const size_t banners = memory.Use("MAIN").liveBlocks;
    ConfigDocument document;
    ASSERT_EQ(InitEmptyIniDocument(&document, "roster.ini", 0), 1);
    document.SetInt("Pilot001", "PilotID", 1);
    document.SetString("Pilot001", "Filename", "Pilot001.plt");
    document.SetInt("CurrentPilot", "PilotID", 1);
    // Two sections with their list nodes, three values with theirs, and the pool.
    EXPECT_EQ(memory.Use("MAIN").liveBlocks, banners + 11);
    EXPECT_EQ(AdoptDocument(&memory, &document), 11u);
    EXPECT_EQ(memory.Use("MAIN").liveBlocks, banners);
    DestroyIniDocument(&document);
    EXPECT_EQ(UnbindShell("MAIN"), 1); // frees the banner texts, then ReleaseTag finds nothing
    EXPECT_TRUE(journal.Breaches().empty());
    EXPECT_EQ(memory.Use("MAIN").liveBlocks, 0u);
    EXPECT_EQ(memory.Use(kHostTag).liveBlocks, 0u);
}

TEST_F(CheckerTest, CommitWritesTheOptionsOnlyWhenTheyWereReadCompletely) {
    InternalShell internal(&shell);
    BindShell(kHostTag, &internal);
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("menuhost-options-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".ini");
    { std::ofstream(file, std::ios::binary) << "[Pilot]\nLastName=Varga\n"; }
    ConfigDocument document;
    ASSERT_EQ(LoadIniDocument(file.string().c_str(), 1, &document).ok, 1);
    HostOptions options(&journal, &memory);
    options.options.SetDocument(&document);
    for (bool complete : {false, true}) {
        SCOPED_TRACE(complete ? "complete" : "incomplete");
        options.complete = complete;
        ConfigDocument* held = nullptr;
        options.GetOptions(&held);
        ASSERT_EQ(held, &document);
        held->SetInt("SingleMission", "MissionYear", 1975);
        options.CommitOptions(&held);
        EXPECT_EQ(held, nullptr);
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(bytes.str(), complete ? "[Pilot]\r\nLastName=Varga\r\n\r\n"
                                          "[SingleMission]\r\nMissionYear=1975\r\n\r\n"
                                        : "[Pilot]\nLastName=Varga\n");
    }
    ASSERT_EQ(journal.Errors().size(), 1u);
    EXPECT_NE(journal.Errors()[0].find("not read completely"), std::string::npos);
    EXPECT_TRUE(journal.Breaches().empty());
    DestroyIniDocument(&document);
    UnbindShell(kHostTag);
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

} // namespace
} // namespace host
