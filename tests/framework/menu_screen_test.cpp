// MenuScreen: input filtering, the default HandleInput, Enter/Leave and the banner labels.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "framework/binding.h"
#include "framework/menu_screen.h"
#include "tests/support/bound_shell_test.h"
#include "tests/support/fake_shell.h"

namespace {

class MenuScreenTest : public fake::BoundShellTest {
protected:
    static InputEvent Event(int32_t kind, int32_t code, uint8_t flags) {
        InputEvent event;
        std::memset(&event, 0, sizeof event);
        event.kind = kind;
        event.code = code;
        event.flags = flags;
        event.reserved = 0x7777; // never read
        return event;
    }

    MenuScreen screen;
};

TEST_F(MenuScreenTest, FilterInput) {
    struct Case {
        const char* name;
        int32_t kind, code;
        uint8_t flags;
        std::vector<int32_t> buttons;
        int32_t expected;
        bool asksActive;
    } const cases[] = {
        {"pointer choice", 3, 0, 0x00, {4}, 4, true},
        {"pointer, high flag bits ignored", 3, 0, 0xF0, {4}, 4, true},
        {"pointer, no such button", 3, 0, 0x00, {5}, 0, true},
        {"pointer, low flag bit 0", 3, 0, 0x01, {4}, 0, false},
        {"pointer, low flag bit 3", 3, 0, 0x08, {4}, 0, false},
        {"pointer, nonzero code", 3, 2, 0x00, {4}, 0, false},
        {"key choice", 1, 1, 0x01, {1}, 1, false},
        {"key choice, flags 0x0F", 1, 1, 0x0F, {1}, 1, false},
        {"key choice, no button 1", 1, 1, 0x01, {4}, 0, false},
        {"key, no low flag", 1, 1, 0x00, {1}, 0, false},
        {"key, high flags only", 1, 1, 0xF0, {1}, 0, false},
        {"key, other code", 1, 2, 0x01, {1}, 0, false},
        {"other kind", 2, 0, 0x00, {4}, 0, false},
        {"kind 0", 0, 1, 0x01, {1}, 0, false},
        {"a button 0 is no choice", 0, 0, 0x00, {0}, 0, false},
    };
    screen.Enter();
    shell.menu.activeControlId = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell.menu.children.clear();
        for (int32_t id : c.buttons) {
            shell.menu.AddButton(id);
        }
        shell.journal.Clear();
        const InputEvent event = Event(c.kind, c.code, c.flags);
        EXPECT_EQ(screen.FilterInput(&event), c.expected);
        EXPECT_EQ(shell.journal.Contains("MNU.GetActiveControlId()"), c.asksActive);
        // The menu is asked about a button for every event, also when nothing was chosen.
        const int32_t asked = c.asksActive                                     ? 4
                              : (c.kind == 1 && c.code == 1 && (c.flags & 15)) ? 1
                                                                               : 0;
        EXPECT_TRUE(shell.journal.Contains("MNU.GetChild(" + std::to_string(asked) + ",2)"))
            << shell.journal.Dump();
    }
    EXPECT_EQ(screen.FilterInput(nullptr), 0);
    screen.Leave();
}

TEST_F(MenuScreenTest, DefaultHandleInputPostsTheChoice) {
    struct Case {
        int32_t active;
        std::vector<std::pair<int32_t, int32_t>> posted;
        int32_t result;
    } const cases[] = {
        {1, {{2, 1}}, 77},
        {5, {{3, 5}}, 77},
        {12, {{3, 12}}, 77},
        {0, {}, 0},
    };
    screen.Enter();
    shell.menu.postResultAnswer = 77;
    for (int32_t id : {0, 1, 5, 12}) {
        shell.menu.AddButton(id);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active);
        shell.menu.posted.clear();
        shell.menu.activeControlId = c.active;
        const InputEvent event = Event(3, 0, 0);
        EXPECT_EQ(screen.HandleInput(&event), c.result);
        EXPECT_EQ(shell.menu.posted, c.posted);
    }
    // A key event choosing 1 posts like the control with id 1.
    shell.menu.posted.clear();
    const InputEvent key = Event(1, 1, 0x02);
    EXPECT_EQ(screen.HandleInput(&key), 77);
    EXPECT_EQ(shell.menu.posted, (std::vector<std::pair<int32_t, int32_t>>{{2, 1}}));
    screen.Leave();
}

TEST_F(MenuScreenTest, LabelDescriptionsAreExact) {
    struct Case {
        int32_t width, height;
    } const cases[] = {{640, 480}, {1024, 768}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        shell.display.descriptions.clear();
        shell.display.texts.clear();
        shell.display.width = c.width;
        shell.display.height = c.height;
        screen.Enter();
        ASSERT_EQ(shell.display.descriptions.size(), 2u);
        const LabelDescription& version = shell.display.descriptions[0];
        const LabelDescription& notice = shell.display.descriptions[1];
        EXPECT_EQ(shell.display.texts[0], "v07.05.05");
        EXPECT_EQ(shell.display.texts[1], NoticeText());
        EXPECT_EQ(version.text, VersionText());
        EXPECT_EQ(notice.text, NoticeText());

        struct Field {
            const char* name;
            int32_t version, notice, expectedVersion, expectedNotice;
        } const fields[] = {
            {"x", version.x, notice.x, c.width - 3, 3},
            {"y", version.y, notice.y, c.height - 2, c.height - 2},
            {"font size", version.fontSize, notice.fontSize, 14, 12},
            {"style", version.style, notice.style, 2, 0},
            {"alignment", version.alignment, notice.alignment, 68, 66},
            {"value1", version.value1, notice.value1, 1, 1},
            {"value0", version.value0, notice.value0, 0, 0},
            {"value256", version.value256, notice.value256, 256, 256},
            {"value1b", version.value1b, notice.value1b, 1, 1},
        };
        for (const Field& f : fields) {
            SCOPED_TRACE(f.name);
            EXPECT_EQ(f.version, f.expectedVersion);
            EXPECT_EQ(f.notice, f.expectedNotice);
        }
        for (const LabelDescription* d : {&version, &notice}) {
            char face[260] = "Arial";
            EXPECT_EQ(std::memcmp(d->fontFace, face, sizeof face), 0); // rest of the name zero
            const uint8_t grey[4] = {128, 128, 128, 0};
            const uint8_t dark[4] = {32, 32, 32, 0};
            EXPECT_EQ(std::memcmp(d->colour1, grey, 4), 0);
            EXPECT_EQ(std::memcmp(d->colour2, dark, 4), 0);
        }
        screen.Leave();
    }
}

TEST_F(MenuScreenTest, EnterAndLeavePairTheirCalls) {
    shell.journal.Clear();
    screen.Enter();
    EXPECT_EQ(screen.menu, &shell.menu);
    ASSERT_NE(screen.labels, nullptr);
    EXPECT_EQ(shell.journal.entries,
              (std::vector<std::string>{"Shell.AcquireService(MNU)", "Shell.AcquireService(DSP)",
                                        "DSP.GetScreenSize()", "DSP.CreateTextLabel(v07.05.05)",
                                        "Label1.SetVisible(0)",
                                        "DSP.CreateTextLabel(" + std::string(NoticeText()) + ")",
                                        "Label2.SetVisible(0)", "Shell.ReleaseService(DSP)"}));
    EXPECT_EQ(shell.display.LiveLabels(), 2);

    screen.labels->ShowVersion(1);
    screen.labels->ShowNotice(1);
    EXPECT_EQ(shell.display.labels[0].visible, 1);
    EXPECT_EQ(shell.display.labels[1].visible, 1);

    shell.journal.Clear();
    screen.Leave();
    EXPECT_EQ(
        shell.journal.entries,
        (std::vector<std::string>{"Shell.ReleaseService(MNU)", "Shell.AcquireService(DSP)",
                                  "DSP.DestroyTextLabel(Label2)", "DSP.DestroyTextLabel(Label1)",
                                  "Shell.ReleaseService(DSP)"}));
    EXPECT_EQ(screen.menu, nullptr);
    EXPECT_EQ(screen.labels, nullptr);
    EXPECT_EQ(shell.memory.LiveBlocks("TEST"), 2); // only the banner texts of the binding

    // After Leave the screen is as constructed and can be entered again.
    screen.Enter();
    EXPECT_NE(screen.labels, nullptr);
    screen.Leave();
}

TEST_F(MenuScreenTest, BannerLabelFailures) {
    struct Case {
        const char* name;
        std::set<int> failCreate; // CreateTextLabel calls answering none
        bool failObject;          // MemNew of the labels object refused
        bool version, notice;
        bool display = true; // false: the shell has no display service
    } const cases[] = {
        {"version label refused", {1}, false, false, true},
        {"notice label refused", {2}, false, true, false},
        {"both refused", {1, 2}, false, false, false},
        {"no memory for the labels", {}, true, false, false},
        {"no display service", {}, false, false, false, false},
    };
    ASSERT_EQ(UnbindShell("TEST"), 1); // each case binds its own shell
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeShell local;
        BindShell("TEST", &local);
        local.display.failCreate = c.failCreate;
        if (!c.display) {
            local.withheld.insert("DSP");
        }
        if (c.failObject) {
            local.memory.failAt = local.memory.allocations + 1;
        }
        MenuScreen s;
        s.Enter();
        EXPECT_EQ(s.menu, &local.menu);
        if (c.failObject) {
            EXPECT_EQ(s.labels, nullptr);
            EXPECT_FALSE(local.journal.Contains("Shell.AcquireService(DSP)"));
        } else {
            ASSERT_NE(s.labels, nullptr);
            EXPECT_EQ(s.labels->versionLabel != nullptr, c.version);
            EXPECT_EQ(s.labels->noticeLabel != nullptr, c.notice);
            s.labels->ShowVersion(1);
            s.labels->ShowNotice(1);
            EXPECT_EQ(local.journal.Count("Label1.SetVisible(1)"), c.version ? 1 : 0);
            EXPECT_EQ(local.journal.Count("Label2.SetVisible(1)"), c.notice ? 1 : 0);
        }
        s.Leave();
        EXPECT_EQ(local.journal.Count("DSP.DestroyTextLabel(Label1)"), c.version ? 1 : 0);
        EXPECT_EQ(local.journal.Count("DSP.DestroyTextLabel(Label2)"), c.notice ? 1 : 0);
        EXPECT_EQ(UnbindShell("TEST"), 1);
        EXPECT_TRUE(local.ContractProblems().empty()) << local.journal.Dump();
    }
    BindShell("TEST", &shell); // for TearDown
}

TEST_F(MenuScreenTest, BaseOperationsDoNothing) {
    screen.Enter();
    shell.journal.Clear();
    screen.Update();
    EXPECT_EQ(screen.Activate(1), 0);
    EXPECT_EQ(screen.Command(100), 0);
    EXPECT_TRUE(shell.journal.entries.empty()) << shell.journal.Dump();
    screen.Leave();
}

} // namespace
