// MissionSetupPage: page 0 of the single-mission screen (sub-menu 6). Eight list controls -
// year (1), aircraft (2), mission type (3), map (4), time (5), weather (6), air activity (7),
// air-defence activity (8) - are filled from the options at Attach, read back into `settings` by
// Collect, saved to "SingleMission" at Detach, and `settings` is what CreateMission receives at a
// start. The year and type lists follow the chosen aircraft.
#pragma once

#include <cstdint>

#include "core/cursor_list.h"
#include "framework/contract.h"
#include "framework/paged_menu_screen.h"

class MissionSetupPage : public MenuPage {
public:
    MissionSetupPage();
    ~MissionSetupPage() override;
    int32_t Attach(MenuService* hostMenu, int32_t subMenuId) override;
    void Detach() override;
    int32_t Show() override;
    void Hide() override;
    int32_t OnCommand(int32_t code) override;
    int32_t Collect() override;

    void BuildYearList();
    void SelectYear();
    void BuildMissionTypeList();
    void FillTextList(int32_t index, const char* table, int32_t count, const char* keyPrefix);
    void SelectCurrentValues();
    void OnAircraftChanged();

    CursorList aircraftRows;
    CursorList typeRows;
    CursorList mapRows;
    int32_t firstYear;
    int32_t lastYear;
    MissionSettings settings;

private:
    Control* List(int32_t index);
    int32_t SelectedMissionType();
    int32_t AircraftIndex();
};
