#include "host/host_menu.h"

#include <gtest/gtest.h>

#include <cstring>

namespace host {
namespace {

IniFile Parse(const char* text) {
    IniFile file;
    const IniResult r = ParseIniText("menus\\test.ini", text, std::strlen(text), &file);
    EXPECT_EQ(r.ok, 1) << r.message;
    return file;
}

constexpr const char* kLayout = "[Menu]\nTitle=Test\nPage=2\n"
                                "[MissionControl]\nInstantAction=IA\n"
                                "[Button1]\nText=Back\n"
                                "[Start5]\nText=Fly\nEnabled=0\n"
                                "[SubMenu6]\nText=Setup\nPage=2\n"
                                "[SubMenu6.List2]\nText=Aircraft\n"
                                "[SubMenu6.Text14]\nText=Details\n";

TEST(HostMenuTest, ChildrenAreFoundByIdAndKind) {
    Journal journal;
    HostMenu menu(&journal, nullptr);
    std::string error;
    ASSERT_EQ(menu.Build(Parse(kLayout), &error), 1) << error;
    EXPECT_EQ(menu.title, "Test");
    EXPECT_EQ(menu.currentPage, 2);
    struct Case {
        int32_t id;
        int32_t kind;
        int32_t found;
    } cases[] = {
        {1, kKindButton, 1},       {5, kKindButton, 1},       // a start control is a button
        {5, kKindStartControl, 1}, {1, kKindStartControl, 0}, // a button is no start control
        {6, kKindSubMenu, 1},      {7, kKindSubMenu, 0},
        {2, kKindButton, 0},       {0, kKindButton, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " kind " << c.kind);
        void* holder = &holder;
        EXPECT_EQ(menu.GetChild(c.id, c.kind, &holder), c.found);
        EXPECT_EQ(holder != nullptr, c.found != 0);
    }
    EXPECT_EQ(menu.Button(5)->enabled, 0);
    Page* page = nullptr;
    ASSERT_EQ(menu.GetChild(6, kKindSubMenu, &page), 1);
    Control* control = nullptr;
    EXPECT_EQ(page->GetControl(2, kKindList, &control), 1);
    EXPECT_EQ(control, menu.SubMenu(6)->Find(2, kKindList));
    EXPECT_EQ(page->GetControl(2, kKindText, &control), 0);
    EXPECT_EQ(control, nullptr);
    EXPECT_EQ(page->GetControl(14, kKindText, &control), 1);
}

TEST(HostMenuTest, ListRowsSelectionAndBoundedSelectedText) {
    Journal journal;
    HostControl list(&journal, kKindList, 2, "List 2");
    list.AddItemWithData("Swift", 7);
    list.AddItem("Sea Hawk");
    EXPECT_EQ(list.FindItem("sea hawk", -1, 0), 1);
    EXPECT_EQ(list.FindItem("Swift", 0, 0), -1); // searches after the start row
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    list.SelectItem(1);
    char buffer[8];
    std::memset(buffer, '~', sizeof buffer);
    list.GetSelectedText(buffer, 4);
    EXPECT_STREQ(buffer, "Sea");
    EXPECT_EQ(buffer[4], '~');
    list.SelectItem(5);
    EXPECT_EQ(list.GetSelectedIndex(), -1);
}

TEST(HostMenuTest, LayoutErrorsNameFileAndLine) {
    struct Case {
        const char* name;
        const char* text;
        const char* message;
    } cases[] = {
        {"no id", "[Button]\n", "menus\\test.ini:1: section [Button]: a control section needs"},
        {"orphan control", "[SubMenu9.List1]\n",
         "menus\\test.ini:1: section [SubMenu9.List1] belongs to sub-menu 9"},
        {"id used twice", "[Button2]\n[Start2]\n", "menus\\test.ini:2: control id 2 is used twice"},
        {"unknown child kind", "[SubMenu6]\n[SubMenu6.Slider1]\n",
         "menus\\test.ini:2: section [SubMenu6.Slider1]: expected"},
        {"bad flag", "[Button1]\nEnabled=yes\n", "menus\\test.ini:2: Enabled must be 0 or 1"},
        {"bad page", "[SubMenu6]\nPage=two\n", "menus\\test.ini:2: Page must be a number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Journal journal;
        HostMenu menu(&journal, nullptr);
        std::string error;
        EXPECT_EQ(menu.Build(Parse(c.text), &error), 0);
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

} // namespace
} // namespace host
