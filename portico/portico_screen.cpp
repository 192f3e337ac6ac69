#include "portico/portico_screen.h"

#include "core/config_document.h"
#include "core/text.h"
#include "framework/binding.h"
#include "portico/pilot_roster.h"

namespace {
PorticoModule g_module; // zero at load
} // namespace

PorticoModule& Portico() {
    return g_module;
}

PorticoScreen::PorticoScreen() {
    instantActionControl[0] = '\0';
    singleMissionControl[0] = '\0';
    campaignControl[0] = '\0';
}

PorticoScreen::~PorticoScreen() = default;

int32_t PorticoScreen::Enter() {
    MenuScreen::Enter();
    if (labels != nullptr) {
        labels->ShowVersion(1);
        labels->ShowNotice(1);
    }

    ClearText(instantActionControl);
    ClearText(singleMissionControl);
    ClearText(campaignControl);
    if (menu != nullptr) {
        menu->NotifyEnter();
        // Without a menu document the three controls stay empty, as if the keys were missing.
        ConfigDocument* document = menu->GetMenuDocument(0);
        if (document != nullptr) {
            document->GetString("MissionControl", "InstantAction", "", instantActionControl,
                                sizeof instantActionControl, 0);
            document->GetString("MissionControl", "SingleMission", "", singleMissionControl,
                                sizeof singleMissionControl, 0);
            document->GetString("MissionControl", "Campaign", "", campaignControl,
                                sizeof campaignControl, 0);
        }
    }

    MaintainPilotRoster();

    MenuManagerService* manager = Portico().MMG;
    if (manager != nullptr) {
        if (manager->IsEntryActionDue() != 0) {
            manager->EntryActionFirst();
            manager->EntryActionSecond();
        }
        if (manager->HasMissionControl() == 0) {
            manager->SelectMissionControl(instantActionControl);
        }
    }
    return 0;
}

int32_t PorticoScreen::HandleInput(const InputEvent* event) {
    const int32_t choice = FilterInput(event);
    if (choice <= 0) {
        return choice; // FilterInput answers a positive choice only when the menu is held
    }
    MenuManagerService* manager = Portico().MMG;
    switch (choice) {
    case 1:
        return menu->PostResult(2, 1);
    case 2: {
        if (manager != nullptr) {
            manager->SelectMissionControl(instantActionControl);
        }
        AppShell* shell = Binding().shell;
        MissionService* missions = nullptr;
        shell->AcquireService("MSN", &missions);
        if (missions != nullptr) {
            missions->CreateMission(nullptr); // the shell's defaults
        }
        shell->ReleaseService("MSN", &missions);
        return menu->PostResult(0, 1);
    }
    case 3:
        if (manager != nullptr) {
            manager->SelectMissionControl(singleMissionControl);
        }
        return menu->PostResult(3, 3);
    case 4:
        if (manager != nullptr) {
            manager->SelectMissionControl(campaignControl);
        }
        return menu->PostResult(3, 4);
    case 5:
        if (manager != nullptr) {
            manager->ChoiceFiveAction();
        }
        return menu->PostResult(3, 5);
    case 8:
        return menu->PostResult(0, 2);
    default:
        return menu->PostResult(3, choice);
    }
}
