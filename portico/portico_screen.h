// PorticoScreen: the main screen. On every Enter it shows the banner labels, reads which mission
// control belongs to each game mode from the menu document's section "MissionControl", keeps the
// pilot roster in order and makes sure the menu manager has a mission control selected. Its
// HandleInput turns the player's choices into mission-control selections, the instant-action start
// and results posted to the host menu. Update, Activate and Command do nothing.
//
// Module state: the menu manager (MMG), held from InitMenuCode to ExitMenuCode
// (portico/exports.cpp).
#pragma once

#include <cstdint>

#include "framework/menu_screen.h"

struct PorticoModule {
    MenuManagerService* MMG;
};
PorticoModule& Portico();

class PorticoScreen : public MenuScreen {
public:
    static constexpr int kControlSize = 260;

    PorticoScreen();
    int32_t HandleInput(const InputEvent* event) override;
    ~PorticoScreen() override;
    int32_t Enter() override;

    // Opaque names of mission controls, handed to the menu manager unchanged.
    char instantActionControl[kControlSize];
    char singleMissionControl[kControlSize];
    char campaignControl[kControlSize];
};
