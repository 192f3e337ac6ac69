// LoadMissionPage: page 1 of the single-mission screen (sub-menu 7). Lists the saved missions
// ("*.MSN" in the shell's mission directory) whose aircraft and map are installed, describes the
// selected one from its header, remembers it in "LoadMissionFilename" and loads it at a start.
// The header's details block, when ReadMissionHeader leaves one, belongs to the page and is freed
// before every header read and at Detach.
#pragma once

#include <cstdint>

#include "core/string_pool.h"
#include "framework/contract.h"
#include "framework/paged_menu_screen.h"

class LoadMissionPage : public MenuPage {
public:
    LoadMissionPage();
    ~LoadMissionPage() override;
    int32_t Attach(MenuService* hostMenu, int32_t subMenuId) override;
    void Detach() override;
    int32_t Show() override;
    void Hide() override;
    int32_t OnCommand(int32_t code) override;
    int32_t Collect() override;

    void DescribeMission();
    void UpdateDetailsControl();
    void OnSelectionChanged();

    int32_t hasMissions;
    int32_t described;
    StringPool missionNames;
    char missionName[260];
    MissionHeader header;

private:
    Control* PageControlAt(int32_t index, int32_t kind);
    void ReadHeader(const char* name);
    void ReadMissionName();
};
