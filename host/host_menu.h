// MNU: the host menu of one screen, built from the screen's menu document, with its sub-menus
// (Page) and their controls (Control).
//
// Layout sections of a menu document (section names ignore case; numbers are decimal):
//   [Menu]            Title=<shown in the view>  Page=<shell page shown first, default 0>
//   [Button<id>]      a button (kind 2): Text=<caption>  Enabled=1  Hidden=0
//                     Page=<shell page the shell itself switches to when it is pressed>
//   [Start<id>]       the start control (kind 3); it is also a button, so GetChild(id, 2) finds it
//   [SubMenu<id>]     a sub-menu (kind 6): Text=<caption>  Page=<shell page index showing it>
//   [SubMenu<id>.List<n>]  list control n (kind 8) of that sub-menu: Text=<caption>
//                     Command=<code the shell sends when the player selects a row, default n>
//   [SubMenu<id>.Text<n>]  text control n (kind 4): Text=<caption>
// Every other section (e.g. "MissionControl") belongs to the plug-ins and is not looked at here.
//
// The menu records what the plug-in asks of it (posted results, the mission object, entries)
// and journals each call. Rows are numbered from 0; a selection of -1 means none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/contract.h"
#include "host/ini/ini_loader.h"
#include "host/journal.h"

namespace host {

class HostControl final : public Control {
public:
    HostControl(Journal* journal, int32_t kind, int32_t id, std::string name);

    int32_t SetVisible(int32_t flag) override;
    void SetText(const char* text) override;
    void SetEnabled(int32_t flag) override;
    void Clear() override;
    void AddItem(const char* text) override;
    void AddItemWithData(const char* text, int32_t value) override;
    int32_t FindItem(const char* text, int32_t start, int32_t flags) override;
    void SelectItem(int32_t row) override;
    int32_t GetSelectedIndex() override;
    void GetSelectedText(char* buffer, int32_t size) override;

    struct Item {
        std::string text;
        int32_t value;
    };
    int32_t kind;
    int32_t id;       // button id, or control index inside its sub-menu
    std::string name; // for the journal: "Button 2", "SubMenu 6 List 1"
    std::string caption;
    std::string text;
    int32_t visible = 1;
    int32_t enabled = 1;
    int32_t command = 0;    // lists: the command sent on a selection by the player
    int32_t showsPage = -1; // buttons: the page the shell switches to on a press, -1 none
    std::vector<Item> items;
    int32_t selected = -1;

private:
    Journal* journal_;
};

class HostPage final : public Page {
public:
    HostPage(Journal* journal, int32_t id);

    int32_t SetVisible(int32_t flag) override;
    int32_t GetControl(int32_t index, int32_t kind, Control** holder) override;

    HostControl* Find(int32_t index, int32_t kind);

    int32_t id;
    int32_t pageIndex = 0;
    std::string caption;
    int32_t visible = 0;
    std::vector<std::unique_ptr<HostControl>> controls; // in file order

private:
    Journal* journal_;
};

class HostMenu final : public MenuService {
public:
    HostMenu(Journal* journal, ConfigDocument* document);

    // Builds the layout from the parsed menu file; 0 with a message ("file:line: ...") when the
    // layout is wrong.
    int Build(const IniFile& file, std::string* error);

    int32_t GetActiveControlId() override;
    int32_t GetCurrentPage() override;
    void SetCurrentPage(int32_t index) override;
    int32_t PostResult(int32_t kind, int32_t value) override;
    int32_t SetMissionObject(int32_t value) override;
    void NotifyEnter() override;
    int32_t GetChild(int32_t id, int32_t kind, void* holder) override;
    ConfigDocument* GetMenuDocument(int32_t flags) override;

    HostControl* Button(int32_t id); // kind 2 or 3
    HostPage* SubMenu(int32_t id);
    HostPage* SubMenuShowingPage(int32_t pageIndex);

    std::string title;
    int32_t activeControl = 0;
    int32_t currentPage = 0;
    int32_t missionObject = 0;
    int32_t missionObjectSet = 0;
    int32_t entries = 0;
    std::vector<std::pair<int32_t, int32_t>> posted; // every PostResult, in order
    std::vector<std::unique_ptr<HostControl>> buttons;
    std::vector<std::unique_ptr<HostPage>> pages;

private:
    Journal* journal_;
    ConfigDocument* document_;
};

} // namespace host
