// The fake shell's own checks: each kind of contract breach shows up in ContractProblems.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/fake_shell.h"

namespace {

bool Mentions(const std::vector<std::string>& problems, const std::string& part) {
    for (const std::string& p : problems) {
        if (p.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(FakeShellTest, EveryBreachIsReported) {
    struct Case {
        const char* name;
        std::function<void(fake::FakeShell&)> misbehave;
        const char* problem;
    } const cases[] = {
        {"service kept",
         [](fake::FakeShell& s) {
             static MenuService* menu;
             s.AcquireService("MNU", &menu);
         },
         "service MNU still held"},
        {"released through another holder",
         [](fake::FakeShell& s) {
             MenuService* a = nullptr;
             MenuService* b = nullptr;
             s.AcquireService("MNU", &a);
             s.ReleaseService("MNU", &b);
             s.ReleaseService("MNU", &a);
         },
         "ReleaseService(MNU) without a matching AcquireService"},
        {"roster kept locked",
         [](fake::FakeShell& s) {
             ConfigDocument* roster = nullptr;
             s.manager.LockPilotRoster(&roster);
         },
         "pilot roster still locked"},
        {"roster locked twice",
         [](fake::FakeShell& s) {
             ConfigDocument* a = nullptr;
             ConfigDocument* b = nullptr;
             s.manager.LockPilotRoster(&a);
             s.manager.LockPilotRoster(&b);
             s.manager.UnlockPilotRoster(&b);
             s.manager.UnlockPilotRoster(&a);
         },
         "already locked"},
        {"options not given back",
         [](fake::FakeShell& s) {
             ConfigDocument* options = nullptr;
             s.options.GetOptions(&options);
         },
         "options lent 1 time(s), given back 0"},
        {"directory popped too often", [](fake::FakeShell& s) { s.files.PopDirectory(); },
         "PopDirectory without a PushDirectory"},
        {"directory not popped", [](fake::FakeShell& s) { s.files.PushDirectory(); },
         "directory pushes not popped: 1"},
        {"file left open",
         [](fake::FakeShell& s) {
             s.files.Add("a.plt", "x");
             s.files.FileOpen("A.PLT");
         },
         "files still open: 1"},
        {"label not destroyed",
         [](fake::FakeShell& s) {
             LabelDescription d{};
             s.display.CreateTextLabel(&d);
         },
         "labels not destroyed: 1"},
        {"string table not unloaded", [](fake::FakeShell& s) { s.text.LoadStringTable("a.str"); },
         "string table still loaded: a.str"},
        {"block leaked", [](fake::FakeShell& s) { s.memory.Allocate(8, 0, 0, "MAIN"); },
         "MEM blocks still live: 1"},
        {"double free",
         [](fake::FakeShell& s) {
             void* block = s.memory.Allocate(8, 0, 0, "MAIN");
             s.memory.Free(block);
             s.memory.Free(block);
         },
         "already freed"},
        {"free of none", [](fake::FakeShell& s) { s.memory.Free(nullptr); }, "MEM.Free of none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeShell shell;
        EXPECT_TRUE(shell.ContractProblems().empty());
        c.misbehave(shell);
        EXPECT_TRUE(Mentions(shell.ContractProblems(), c.problem))
            << ::testing::PrintToString(shell.ContractProblems());
    }
}

TEST(FakeShellTest, WellBehavedUseLeavesNoProblems) {
    fake::FakeShell shell;
    MenuService* menu = nullptr;
    shell.AcquireService("MNU", &menu);
    EXPECT_EQ(menu, &shell.menu);
    shell.ReleaseService("MNU", &menu);
    EXPECT_EQ(menu, nullptr); // cleared, so a late use crashes in the test

    shell.withheld.insert("OPT");
    OptionsService* options = &shell.options;
    EXPECT_EQ(shell.AcquireService("OPT", &options), 0);
    EXPECT_EQ(options, nullptr);
    shell.ReleaseService("OPT", &options);

    shell.files.Add("Pilots\\a.plt", "abc");
    const int32_t handle = shell.files.FileOpen("pilots/A.plt");
    ASSERT_NE(handle, -1);
    char buffer[8] = {};
    EXPECT_EQ(shell.files.FileRead(handle, buffer, 8), 3);
    shell.files.FileClose(handle);
    EXPECT_EQ(shell.files.FileOpen("missing.plt"), -1);
    EXPECT_TRUE(shell.ContractProblems().empty())
        << ::testing::PrintToString(shell.ContractProblems());
}

TEST(FakeShellTest, FaultInjection) {
    fake::FakeShell shell;
    shell.memory.failAt = 2;
    void* first = shell.memory.Allocate(4, 0, 0, "T");
    void* second = shell.memory.Allocate(4, 0, 0, "T");
    void* third = shell.memory.Allocate(4, 0, 0, "T");
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    shell.memory.failFromThenOn = true;
    EXPECT_EQ(shell.memory.Allocate(4, 0, 0, "T"), nullptr);
    EXPECT_EQ(shell.memory.failures, 2);
    EXPECT_EQ(shell.memory.LiveBlocks("T"), 2);
    EXPECT_EQ(shell.memory.LiveBytes("T"), 8u);
    shell.memory.Free(first);
    shell.memory.Free(third);
    EXPECT_TRUE(shell.ContractProblems().empty());
}

} // namespace
