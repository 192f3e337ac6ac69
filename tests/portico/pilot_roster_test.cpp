// Pilot roster upkeep: ids for pilots whose files exist, the first pilot, display names.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "portico/pilot_roster.h"
#include "tests/portico/portico_fixture.h"

namespace portico_test {
namespace {

class PilotRosterTest : public PorticoFixture {};

struct UpkeepCase {
    const char* name;
    std::vector<Entry> roster;
    std::vector<std::string> files; // pilot files present
    int runs;
    std::vector<std::string> saved; // the roster file after the last run
    bool createsPilot;
};

TEST_F(PilotRosterTest, Upkeep) {
    const UpkeepCase cases[] = {
        {"empty roster, no files: first pilot",
         {},
         {},
         1,
         {"[CurrentPilot]", "PilotID=1", "", "[Pilot001]", "DisplayName=Alex Doe",
          "Filename=Pilot001.plt", "PilotID=1", ""},
         true},
        {"two pilots whose files are missing: a third, made current, on every entry",
         {Int("CurrentPilot", "PilotID", 1), Str("Pilot001", "Filename", "Pilot001"),
          Int("Pilot001", "PilotID", 1), Str("Pilot002", "Filename", "Pilot002"),
          Int("Pilot002", "PilotID", 2)},
         {},
         2,
         {"[CurrentPilot]",
          "PilotID=4",
          "",
          "[Pilot001]",
          "Filename=Pilot001",
          "PilotID=1",
          "",
          "[Pilot002]",
          "Filename=Pilot002",
          "PilotID=2",
          "",
          "[Pilot003]",
          "DisplayName=Alex Doe",
          "Filename=Pilot003.plt",
          "PilotID=3",
          "",
          "[Pilot004]",
          "DisplayName=Alex Doe",
          "Filename=Pilot004.plt",
          "PilotID=4",
          ""},
         true},
        {"file present without id gets the next id",
         {Str("Pilot001", "Filename", "Pilot001"), Int("Pilot001", "PilotID", 5),
          Str("Pilot002", "Filename", "second.plt")},
         {"Pilots\\Pilot001.plt", "Pilots\\second.plt"},
         1,
         {"[Pilot001]", "Filename=Pilot001", "PilotID=5", "", "[Pilot002]", "Filename=second.plt",
          "PilotID=6", ""},
         false},
        {"next id counts pilots whose file is missing",
         {Str("Pilot001", "Filename", "Pilot001"), Int("Pilot001", "PilotID", 9),
          Str("Pilot002", "Filename", "Pilot002")},
         {"Pilots\\Pilot002.plt"},
         1,
         {"[Pilot001]", "Filename=Pilot001", "PilotID=9", "", "[Pilot002]", "Filename=Pilot002",
          "PilotID=10", ""},
         false},
        {"a gap ends the roster",
         {Str("Pilot001", "Filename", "Pilot001"), Str("Pilot003", "Filename", "Pilot003")},
         {"Pilots\\Pilot001.plt", "Pilots\\Pilot003.plt"},
         1,
         {"[Pilot001]", "Filename=Pilot001", "PilotID=1", "", "[Pilot003]", "Filename=Pilot003",
          ""},
         false},
        {"beyond a gap: the new pilot fills it, after a new CurrentPilot",
         {Str("Pilot001", "Filename", "Pilot001"), Int("Pilot001", "PilotID", 1),
          Str("Pilot003", "Filename", "Pilot003"), Int("Pilot003", "PilotID", 7)},
         {"Pilots\\Pilot003.plt"},
         1,
         {"[Pilot001]", "Filename=Pilot001", "PilotID=1", "", "[Pilot003]", "Filename=Pilot003",
          "PilotID=7", "", "[CurrentPilot]", "PilotID=2", "", "[Pilot002]", "DisplayName=Alex Doe",
          "Filename=Pilot002.plt", "PilotID=2", ""},
         true},
    };
    for (const UpkeepCase& c : cases) {
        SCOPED_TRACE(c.name);
        roster->DestroySections();
        roster->strings.Reset(32768);
        options->DestroySections();
        options->strings.Reset(32768);
        shell.files.files.clear();
        shell.journal.Clear();
        SetPlayer("Doe", "Alex", "Ace", "Navy");
        Fill(*roster, c.roster);
        for (const std::string& f : c.files) {
            shell.files.Add(f, PilotFile("Filed", "Pilot"));
        }
        for (int run = 0; run < c.runs; ++run) {
            MaintainPilotRoster();
        }
        EXPECT_EQ(ReadFile(rosterPath), Ini(c.saved));
        EXPECT_EQ(shell.journal.Contains("Shell.AcquireService(OPT)"), c.createsPilot);
        EXPECT_TRUE(HeldBeyondBinding().empty()) << shell.journal.Dump();
        EXPECT_TRUE(shell.Misuse().empty()) << shell.journal.Dump();
    }
}

TEST_F(PilotRosterTest, FirstPilotCallSequence) {
    SetPlayer("Doe", "Alex", "Ace", "Navy");
    shell.journal.Clear();
    MaintainPilotRoster();
    const std::vector<std::string> expected = {
        // the upkeep, in the pilot directory
        "Shell.AcquireService(MMG)", "MMG.GetPilotDirectory(260)", "FMG.PushDirectory()",
        "MMG.LockPilotRoster()", "MMG.UnlockPilotRoster()", "Shell.ReleaseService(MMG)",
        // CreateFirstPilot reads the names
        "Shell.AcquireService(OPT)", "OPT.GetOptions()", "OPT.ReleaseOptions()",
        "Shell.ReleaseService(OPT)",
        // AddPilot
        "Shell.AcquireService(TXT)", "Shell.AcquireService(MMG)", "MMG.LockPilotRoster()",
        "TXT.FormatPilotName(Doe,Alex,260)", "Shell.AcquireService(OPT)", "OPT.GetOptions()",
        "OPT.ReleaseOptions()", "Shell.ReleaseService(OPT)", "MMG.UnlockPilotRoster()",
        "Shell.ReleaseService(MMG)", "Shell.ReleaseService(TXT)",
        // UpdatePilotDisplayName: the new pilot's file does not exist yet
        "Shell.AcquireService(TXT)", "Shell.AcquireService(MMG)", "MMG.LockPilotRoster()",
        "MMG.GetPilotDirectory(260)", "FMG.FileOpen(Pilots\\Pilot001.plt)",
        "TXT.FormatPilotName(Doe,Alex,260)", "MMG.UnlockPilotRoster()", "Shell.ReleaseService(MMG)",
        "Shell.ReleaseService(TXT)",
        // back to where the shell was
        "FMG.PopDirectory()"};
    EXPECT_EQ(shell.journal.entries, expected) << shell.journal.Dump();
    EXPECT_EQ(shell.manager.locks, 3);
}

TEST_F(PilotRosterTest, LongLastNameIsCutByTheRecord) {
    const std::string last(70, 'L');
    SetPlayer(last, "Alex", "Ace", "Navy");
    MaintainPilotRoster();
    const std::vector<std::string> names = shell.journal.WithPrefix("TXT.FormatPilotName");
    EXPECT_EQ(names, (std::vector<std::string>{"TXT.FormatPilotName(" + last + ",Alex,260)",
                                               "TXT.FormatPilotName(" + std::string(63, 'L') +
                                                   ",Alex,260)"}));
    char display[260];
    roster->GetString("Pilot001", "DisplayName", "", display, sizeof display, 0);
    EXPECT_EQ(std::string(display), "Alex " + std::string(63, 'L'));
}

TEST_F(PilotRosterTest, EmptyNamesStillMakeAPilot) {
    SetPlayer("", "", "", "");
    MaintainPilotRoster();
    EXPECT_EQ(ReadFile(rosterPath),
              Ini({"[CurrentPilot]", "PilotID=1", "", "[Pilot001]",
                   "DisplayName=", "Filename=Pilot001.plt", "PilotID=1", ""}));
}

TEST_F(PilotRosterTest, MissingDocumentsAreSkippedWithoutACrash) {
    struct Case {
        const char* name;
        bool roster;
        bool options;
        std::vector<std::string> saved;
    } const cases[] = {
        {"no roster lent", false, true, {}},
        {"no options lent",
         true,
         false,
         {"[CurrentPilot]", "PilotID=1", "", "[Pilot001]", "DisplayName=", "Filename=Pilot001.plt",
          "PilotID=1", ""}},
    };
    SetPlayer("Doe", "Alex", "Ace", "Navy");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(rosterPath.c_str());
        shell.manager.roster = c.roster ? roster.get() : nullptr;
        shell.options.options = c.options ? options.get() : nullptr;
        MaintainPilotRoster();
        EXPECT_EQ(ReadFile(rosterPath), Ini(c.saved));
        EXPECT_TRUE(HeldBeyondBinding().empty()) << shell.journal.Dump();
        EXPECT_TRUE(shell.Misuse().empty()) << shell.journal.Dump();
    }
}

// Every allocation of the first-pilot path refused in turn: the documents may miss entries, but
// nothing crashes, every lock and lend is given back and no block is left behind.
TEST_F(PilotRosterTest, FirstPilotSurvivesEveryRefusedAllocation) {
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        roster->DestroySections();
        roster->strings.Reset(32768);
        options->DestroySections();
        options->strings.Reset(32768);
        SetPlayer("Doe", "Alex", "Ace", "Navy");
        const int failuresBefore = shell.memory.failures;
        shell.memory.failAt = shell.memory.allocations + n;
        MaintainPilotRoster();
        shell.memory.failAt = 0;
        EXPECT_TRUE(HeldBeyondBinding().empty()) << shell.journal.Dump();
        EXPECT_TRUE(shell.Misuse().empty()) << shell.journal.Dump();
        if (shell.memory.failures == failuresBefore) {
            EXPECT_GT(n, 3) << "refused allocations: " << n - 1;
            break;
        }
        ASSERT_LT(n, 200);
    }
    char display[260];
    roster->GetString("Pilot001", "DisplayName", "", display, sizeof display, 0);
    EXPECT_STREQ(display, "Alex Doe"); // the last run, with nothing refused, is complete
}

TEST_F(PilotRosterTest, NextPilotId) {
    struct Case {
        const char* name;
        std::vector<Entry> roster;
        int32_t expected;
    } const cases[] = {
        {"empty", {}, 1},
        {"ids 3 and 7", {Int("Pilot001", "PilotID", 3), Int("Pilot002", "PilotID", 7)}, 8},
        {"no ids", {Str("Pilot001", "Filename", "a"), Str("Pilot002", "Filename", "b")}, 1},
        {"negative id", {Int("Pilot001", "PilotID", -5)}, 1},
        {"beyond a gap", {Int("Pilot001", "PilotID", 2), Int("Pilot003", "PilotID", 9)}, 3},
        {"largest id", {Int("Pilot001", "PilotID", INT32_MAX)}, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        roster->DestroySections();
        Fill(*roster, c.roster);
        EXPECT_EQ(NextPilotId(roster.get()), c.expected);
    }
}

TEST_F(PilotRosterTest, FindCurrentPilotSection) {
    struct Case {
        const char* name;
        std::vector<Entry> roster;
        int found;
        const char* section;
    } const cases[] = {
        {"empty roster", {}, 0, "Pilot001"},
        {"no CurrentPilot: id 1 is current",
         {Int("Pilot001", "PilotID", 2), Int("Pilot002", "PilotID", 1)},
         1,
         "Pilot002"},
        {"no CurrentPilot and no id 1", {Int("Pilot001", "PilotID", 2)}, 0, "Pilot001"},
        {"current id 7",
         {Int("CurrentPilot", "PilotID", 7), Int("Pilot001", "PilotID", 3),
          Int("Pilot002", "PilotID", 7)},
         1,
         "Pilot002"},
        {"current id only beyond a gap",
         {Int("CurrentPilot", "PilotID", 7), Int("Pilot001", "PilotID", 3),
          Int("Pilot003", "PilotID", 7)},
         0,
         "Pilot001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        roster->DestroySections();
        Fill(*roster, c.roster);
        char out[260];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(FindCurrentPilotSection(roster.get(), out, sizeof out), c.found);
        EXPECT_STREQ(out, c.section);
    }
}

TEST_F(PilotRosterTest, DisplayNameFromThePilotFile) {
    std::string unterminated(sizeof(PilotRecord), 'X');
    unterminated.replace(76, 64, std::string(64, 'C'));
    unterminated.replace(140, 64, std::string(64, 'S'));
    unterminated.replace(204, 64, std::string(64, 'L'));
    unterminated.replace(268, 64, std::string(64, 'F'));
    struct Case {
        const char* name;
        std::string file; // empty: no file
        bool openable;
        const char* last;
        const char* first;
    } const cases[] = {
        {"well-formed file", PilotFile("Smith", "John"), true, "Smith", "John"},
        {"fields without terminators", unterminated, true, nullptr, nullptr},
        {"short file keeps the rest of the record", std::string(210, 'L'), true, "LLLLLL", "Alex"},
        {"file cannot be opened", PilotFile("Smith", "John"), false, "Doe", "Alex"},
        {"no file", "", true, "Doe", "Alex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        roster->DestroySections();
        shell.files.files.clear();
        shell.files.unopenable.clear();
        Fill(*roster, {Int("CurrentPilot", "PilotID", 4), Str("Pilot001", "Filename", "Ace"),
                       Int("Pilot001", "PilotID", 4)});
        if (!c.file.empty()) {
            shell.files.Add("Pilots\\Ace.plt", c.file);
        }
        if (!c.openable) {
            shell.files.unopenable.insert("Pilots\\Ace.plt");
        }
        static PilotRecord record;
        std::memset(&record, 0, sizeof record);
        CopyText(record.lastName, "Doe", sizeof record.lastName);
        CopyText(record.firstName, "Alex", sizeof record.firstName);
        shell.journal.Clear();
        UpdatePilotDisplayName(&record);

        const std::string last = c.last != nullptr ? c.last : std::string(63, 'L');
        const std::string first = c.first != nullptr ? c.first : std::string(63, 'F');
        EXPECT_EQ(shell.journal.WithPrefix("TXT.FormatPilotName"),
                  std::vector<std::string>{"TXT.FormatPilotName(" + last + "," + first + ",260)"});
        for (const char* field :
             {record.callsign, record.service, record.lastName, record.firstName}) {
            EXPECT_EQ(field[PilotRecord::kNameSize - 1], '\0');
        }
        char display[260];
        roster->GetString("Pilot001", "DisplayName", "", display, sizeof display, 0);
        EXPECT_EQ(std::string(display), first + " " + last);
        EXPECT_TRUE(HeldBeyondBinding().empty()) << shell.journal.Dump();
    }
}

TEST_F(PilotRosterTest, NoCurrentPilotChangesNothing) {
    Fill(*roster, {Int("CurrentPilot", "PilotID", 9), Str("Pilot001", "Filename", "Ace"),
                   Int("Pilot001", "PilotID", 4)});
    shell.files.Add("Pilots\\Ace.plt", PilotFile("Smith", "John"));
    static PilotRecord record;
    std::memset(&record, 0, sizeof record);
    UpdatePilotDisplayName(&record);
    EXPECT_FALSE(shell.journal.Contains("FMG.FileOpen(Pilots\\Ace.plt)"));
    EXPECT_EQ(roster->HasKey("Pilot001", "DisplayName"), 0);
    EXPECT_EQ(ReadFile(rosterPath), ""); // not saved
    EXPECT_EQ(shell.manager.lockDepth, 0);
}

} // namespace
} // namespace portico_test
