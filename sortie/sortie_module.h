// The single-mission plug-in's module state and the two operations its pages share.
//
// The module holds the seven screen services from InitMenuCode to ExitMenuCode, the shell's
// options document (handed back with CommitOptions at exit) and the shell's aircraft list (never
// released: the shell owns it). The three screen objects are static; construction allocates
// nothing and calls no service.
#pragma once

#include <cstdint>

#include "framework/contract.h"

class SortieScreen;
class MissionSetupPage;
class LoadMissionPage;
class MenuScreen;

struct SortieModule {
    MenuManagerService* MMG;
    MissionService* MSN;
    TextService* TXT;
    OptionsService* OPT;
    ObjectService* OBJ;
    TerrainService* TER;
    MenuService* MNU;
    ConfigDocument* options;
    ObjectList* aircraft;
};

SortieModule& Sortie();

SortieScreen& TheSortieScreen();
MissionSetupPage& TheSetupPage();
LoadMissionPage& TheLoadPage();

// The work behind the two exports (exports.cpp only forwards to them).
int32_t SortieInit(AppShell* shell, MenuScreen** screenHolder);
int32_t SortieExit();

// Enables (1) or disables (0) the screen's start control, child 5 of kind 3 of the host menu.
void SetStartEnabled(int32_t flag);

// After a start: hands the current mission's object, as the aircraft list knows it, to the
// screen's menu. 0 when there is no current mission or the aircraft list does not know it.
int32_t PublishMissionObject(MenuService* menu);

// The options section every remembered selection of the screen lives in.
constexpr const char* kSingleMission = "SingleMission";
