// PagedMenuScreen, PageTable and MenuPage: page numbering, following the shell, the table's growth.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/binding.h"
#include "framework/paged_menu_screen.h"
#include "framework/trace.h"
#include "tests/support/bound_shell_test.h"
#include "tests/support/fake_shell.h"

namespace {

// A page that records what the screen asks of it, on top of the base behaviour.
class RecordingPage : public MenuPage {
public:
    RecordingPage(fake::FakeShell& shell, std::string name)
        : shell_(shell), name_(std::move(name)) {}
    int32_t Attach(MenuService* hostMenu, int32_t subMenuId) override {
        shell_.journal.Add(name_ + ".Attach(" + std::to_string(subMenuId) + ")");
        return MenuPage::Attach(hostMenu, subMenuId);
    }
    void Detach() override { shell_.journal.Add(name_ + ".Detach()"); }
    int32_t OnCommand(int32_t code) override {
        shell_.journal.Add(name_ + ".OnCommand(" + std::to_string(code) + ")");
        return code + 1000;
    }
    int32_t Collect() override {
        shell_.journal.Add(name_ + ".Collect()");
        return 55;
    }

private:
    fake::FakeShell& shell_;
    std::string name_;
};

void CollectTrace(const char* message, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(message);
}

class PagedScreenTest : public fake::BoundShellTest {
protected:
    void SetUp() override {
        BoundShellTest::SetUp();
        SetTraceSink(CollectTrace, &traces);
        shell.menu.AddPage(6);
        shell.menu.AddPage(7);
    }
    void TearDown() override {
        SetTraceSink(nullptr, nullptr);
        EXPECT_EQ(shell.memory.LiveBlocks("TEST"), 2); // only the binding's banner texts
        BoundShellTest::TearDown();
    }

    // Enter, then the derived screen's steps: initial page, range 2..3, pages 6 and 7, attach.
    int32_t EnterTwoPages(int32_t initial) {
        screen.Enter();
        screen.initialPage = initial;
        EXPECT_EQ(screen.SetPageRange(2, 3), 1);
        screen.RegisterPage(&first, 6);
        screen.RegisterPage(&second, 7);
        return screen.AttachPages();
    }
    void LeaveScreen() {
        screen.DetachPages();
        screen.Leave();
    }

    std::vector<std::string> traces;
    PagedMenuScreen screen;
    RecordingPage first{shell, "First"};
    RecordingPage second{shell, "Second"};
};

TEST_F(PagedScreenTest, AttachPagesChoosesTheCurrentPage) {
    struct Case {
        const char* name;
        int32_t initialPage;
        int32_t shellPage;
        int32_t cursor;
        std::vector<std::string> pageCalls; // MNU page calls during AttachPages
        const char* shown;
    } const cases[] = {
        {"initial page 1", 1, 2, 1, {"MNU.SetCurrentPage(3)"}, "Page7.SetVisible(1)"},
        {"initial page 0", 0, 3, 0, {"MNU.SetCurrentPage(2)"}, "Page6.SetVisible(1)"},
        {"follows the shell", -1, 3, 1, {"MNU.GetCurrentPage()"}, "Page7.SetVisible(1)"},
        {"shell outside the table", -1, 7, 0, {"MNU.GetCurrentPage()"}, "Page6.SetVisible(1)"},
        {"initial page out of range", 2, 1, 0, {"MNU.GetCurrentPage()"}, "Page6.SetVisible(1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell.menu.currentPage = c.shellPage;
        shell.menu.FindPage(6)->setVisibleAnswer = 16;
        shell.menu.FindPage(7)->setVisibleAnswer = 17;
        shell.journal.Clear();
        EXPECT_EQ(EnterTwoPages(c.initialPage), c.cursor == 0 ? 16 : 17);
        EXPECT_EQ(screen.pages.cursor, c.cursor);
        std::vector<std::string> pageCalls = shell.journal.WithPrefix("MNU.SetCurrentPage");
        for (const std::string& e : shell.journal.WithPrefix("MNU.GetCurrentPage")) {
            pageCalls.push_back(e);
        }
        EXPECT_EQ(pageCalls, c.pageCalls);
        EXPECT_TRUE(shell.journal.InOrder({"First.Attach(6)", "MNU.GetChild(6,6)",
                                           "Second.Attach(7)", "MNU.GetChild(7,6)", c.shown}))
            << shell.journal.Dump();
        EXPECT_EQ(shell.journal.WithPrefix("Page").size(), 1u); // one page shown, none hidden
        EXPECT_EQ(first.page, shell.menu.FindPage(6));
        EXPECT_EQ(second.page, shell.menu.FindPage(7));
        EXPECT_EQ(first.menu, &shell.menu);
        LeaveScreen();
    }
}

TEST_F(PagedScreenTest, UpdateFollowsTheShellsPage) {
    shell.menu.currentPage = 2;
    EnterTwoPages(-1);
    ASSERT_EQ(screen.pages.cursor, 0);

    shell.journal.Clear();
    screen.Update(); // shell shows the current page: nothing
    EXPECT_EQ(shell.journal.entries, std::vector<std::string>{"MNU.GetCurrentPage()"});

    shell.journal.Clear();
    shell.menu.currentPage = 3;
    screen.Update();
    EXPECT_EQ(shell.journal.entries,
              (std::vector<std::string>{"MNU.GetCurrentPage()", "Page6.SetVisible(0)",
                                        "Page7.SetVisible(1)", "MNU.PostResult(6,0)"}));
    EXPECT_EQ(screen.pages.cursor, 1);

    for (int32_t outside : {1, 4, -5}) {
        SCOPED_TRACE(outside);
        shell.journal.Clear();
        shell.menu.currentPage = outside;
        screen.Update(); // never adopted: the shell is put back on the current page
        EXPECT_EQ(shell.journal.entries,
                  (std::vector<std::string>{"MNU.GetCurrentPage()", "MNU.SetCurrentPage(3)"}));
        EXPECT_EQ(screen.pages.cursor, 1);
    }
    LeaveScreen();
}

TEST_F(PagedScreenTest, ShellOutsideTheTableIsCorrectedByTheNextUpdate) {
    shell.menu.currentPage = 7;
    EnterTwoPages(-1);
    EXPECT_FALSE(shell.journal.Contains("MNU.SetCurrentPage(2)"));
    screen.Update();
    EXPECT_TRUE(shell.journal.Contains("MNU.SetCurrentPage(2)"));
    EXPECT_EQ(shell.menu.currentPage, 2);
    LeaveScreen();
}

TEST_F(PagedScreenTest, ActivateAndCommandGoToTheCurrentPage) {
    shell.menu.currentPage = 3;
    EnterTwoPages(-1);
    shell.menu.FindPage(7)->setVisibleAnswer = 9;
    shell.journal.Clear();
    EXPECT_EQ(screen.Activate(1), 9);
    EXPECT_EQ(screen.Activate(0), 55);
    EXPECT_EQ(screen.Command(100), 1100);
    EXPECT_EQ(shell.journal.entries,
              (std::vector<std::string>{"Page7.SetVisible(1)", "Second.Collect()",
                                        "Second.OnCommand(100)"}));
    LeaveScreen();
}

TEST_F(PagedScreenTest, EmptyTable) {
    screen.Enter();
    shell.journal.Clear();
    EXPECT_EQ(screen.AttachPages(), -1);
    EXPECT_EQ(screen.pages.cursor, -1);
    EXPECT_TRUE(shell.journal.WithPrefix("Page").empty());
    EXPECT_EQ(screen.Activate(1), -1);
    EXPECT_EQ(screen.Activate(0), -1);
    EXPECT_EQ(screen.Command(100), -1);
    shell.journal.Clear();
    screen.Update(); // nothing to follow
    EXPECT_TRUE(shell.journal.entries.empty()) << shell.journal.Dump();
    LeaveScreen();
}

TEST_F(PagedScreenTest, RegistrationOrder) {
    struct Case {
        const char* name;
        bool reserve;
        std::vector<int32_t> ids;
        int32_t count;
        std::vector<std::string> traced;
    } const cases[] = {
        {"consecutive", false, {6, 7}, 2, {}},
        {"gap", false, {6, 8}, 1, {"...failed to register SubMenu 8!"}},
        {"gap, then the next id", false, {6, 8, 7}, 2, {"...failed to register SubMenu 8!"}},
        {"duplicate", false, {6, 6}, 1, {"...failed to register SubMenu 6!"}},
        {"reserved table full", true, {6, 7, 8}, 2, {}},
    };
    RecordingPage third{shell, "Third"};
    RecordingPage* pages[] = {&first, &second, &third};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        traces.clear();
        screen.Enter();
        if (c.reserve) {
            EXPECT_EQ(screen.SetPageRange(2, 3), 1);
            EXPECT_EQ(screen.pages.fixed, 1);
            EXPECT_EQ(screen.pages.capacity, 2);
            EXPECT_EQ(screen.pageBase, 2);
        }
        for (size_t i = 0; i < c.ids.size(); ++i) {
            screen.RegisterPage(pages[i], c.ids[i]);
        }
        EXPECT_EQ(screen.firstSubMenuId, 6);
        EXPECT_EQ(screen.pages.count, c.count);
        EXPECT_EQ(traces, c.traced);
        LeaveScreen();
    }
}

TEST_F(PagedScreenTest, DetachPagesHidesTheCurrentPageAndDetachesEveryPageOnce) {
    shell.menu.currentPage = 3;
    EnterTwoPages(-1);
    shell.journal.Clear();
    screen.DetachPages();
    EXPECT_EQ(
        shell.journal.entries,
        (std::vector<std::string>{"Page7.SetVisible(0)", "First.Detach()", "Second.Detach()"}));
    EXPECT_EQ(screen.pages.count, 0);
    EXPECT_EQ(screen.pages.cursor, -1);
    EXPECT_EQ(screen.pages.items, nullptr);
    // The pages keep their sub-menu: nothing clears it.
    EXPECT_EQ(second.page, shell.menu.FindPage(7));
    screen.Leave();
}

TEST_F(PagedScreenTest, PageWithoutItsSubMenuDoesNotCrash) {
    RecordingPage orphan{shell, "Orphan"};
    EXPECT_EQ(orphan.Attach(&shell.menu, 9), 0); // the menu has no sub-menu 9
    EXPECT_EQ(orphan.page, nullptr);
    EXPECT_EQ(orphan.Show(), 0);
    orphan.Hide();
    EXPECT_TRUE(shell.journal.WithPrefix("Page").empty());
}

TEST_F(PagedScreenTest, EnterResetsTheTable) {
    shell.menu.currentPage = 2;
    EnterTwoPages(1);
    screen.Leave(); // a leave without DetachPages still leaves storage behind ...
    ASSERT_NE(screen.pages.items, nullptr);
    screen.Enter(); // ... which the next entry frees
    EXPECT_EQ(screen.pages.items, nullptr);
    EXPECT_EQ(screen.pages.count, 0);
    EXPECT_EQ(screen.pages.cursor, -1);
    EXPECT_EQ(screen.pageBase, 0);
    EXPECT_EQ(screen.firstSubMenuId, -1);
    EXPECT_EQ(screen.initialPage, -1);
    LeaveScreen();
}

TEST_F(PagedScreenTest, DestructorFreesTheStorage) {
    {
        PagedMenuScreen local;
        local.pages.Push(&first);
        EXPECT_EQ(shell.memory.LiveBlocks("TEST"), 3);
    }
    EXPECT_EQ(shell.memory.LiveBlocks("TEST"), 2);
}

// ---- PageTable ------------------------------------------------------------------------------

class PageTableTest : public fake::BoundShellTest {
protected:
    MenuPage* Page(int i) { return reinterpret_cast<MenuPage*>(&pages[i % 4]); }

    int pages[4] = {};
};

TEST_F(PageTableTest, GrowsByDoublingUpTo32768Pages) {
    PageTable table;
    std::vector<int32_t> capacities;
    int32_t pushed = 0;
    while (table.Push(Page(pushed)) == 1) {
        ++pushed;
        if (capacities.empty() || capacities.back() != table.capacity) {
            capacities.push_back(table.capacity);
        }
        ASSERT_EQ(table.cursor, pushed - 1);
        ASSERT_LE(pushed, 40000);
    }
    EXPECT_EQ(pushed, 32768);
    EXPECT_EQ(capacities, (std::vector<int32_t>{8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096,
                                                8192, 16384, 32768}));
    EXPECT_EQ(table.count, 32768);
    EXPECT_EQ(table.items[0], Page(0));
    EXPECT_EQ(table.items[32767], Page(32767));    // copied intact through every growth
    EXPECT_EQ(shell.memory.LiveBlocks("TEST"), 3); // old storage freed each time
    table.Empty();
    EXPECT_EQ(shell.memory.LiveBlocks("TEST"), 2);
}

TEST_F(PageTableTest, RefusedAllocationsLeaveTheTableAsItWas) {
    PageTable table;
    shell.memory.failAt = shell.memory.allocations + 1;
    EXPECT_EQ(table.Push(Page(0)), 0); // first storage refused
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.items, nullptr);

    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(table.Push(Page(i)), 1);
    }
    MenuPage** storage = table.items;
    shell.memory.failAt = shell.memory.allocations + 1;
    EXPECT_EQ(table.Push(Page(8)), 0); // growth refused
    EXPECT_EQ(table.count, 8);
    EXPECT_EQ(table.capacity, 8);
    EXPECT_EQ(table.items, storage);
    EXPECT_EQ(table.Push(Page(8)), 1); // and works once memory is back
    EXPECT_EQ(table.capacity, 16);
}

TEST_F(PageTableTest, Reserve) {
    struct Case {
        const char* name;
        int32_t before; // pages pushed before the reservation
        int32_t slots;
        int result;
        int32_t capacity;
    } const cases[] = {
        {"fresh table", 0, 2, 1, 2},
        {"largest", 0, 65534, 1, 65534},
        {"at the limit", 0, 65535, 0, 0},
        {"zero slots", 0, 0, 0, 0},
        {"growing a used table keeps its pages", 5, 12, 1, 12},
        {"fewer slots than pages", 5, 3, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageTable table;
        for (int32_t i = 0; i < c.before; ++i) {
            table.Push(Page(i));
        }
        EXPECT_EQ(table.Reserve(c.slots), c.result);
        EXPECT_EQ(table.fixed, 1); // set even when the reservation fails
        EXPECT_EQ(table.capacity, c.capacity);
        EXPECT_EQ(table.count, c.before);
        for (int32_t i = 0; i < c.before; ++i) {
            EXPECT_EQ(table.items[i], Page(i));
        }
        if (c.result == 1) {
            // A fixed table takes pages up to its reservation and never grows.
            while (table.count < table.capacity && table.capacity <= 16) {
                ASSERT_EQ(table.Push(Page(table.count)), 1);
            }
            if (table.capacity <= 16) {
                EXPECT_EQ(table.Push(Page(0)), 0);
                EXPECT_EQ(table.capacity, c.capacity);
            }
        }
    }
}

} // namespace
