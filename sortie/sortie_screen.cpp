#include "sortie/sortie_screen.h"

#include "core/config_document.h"
#include "sortie/load_mission_page.h"
#include "sortie/mission_setup_page.h"
#include "sortie/sortie_module.h"

SortieScreen::~SortieScreen() = default;

int32_t SortieScreen::Enter() {
    PagedMenuScreen::Enter();
    ConfigDocument* options = Sortie().options;
    const int loadPage =
        options != nullptr ? options->GetBool(kSingleMission, "LoadMission", 0) : 0;
    initialPage = loadPage != 0 ? 1 : 0;
    SetPageRange(2, 3);
    RegisterPage(&TheSetupPage(), 6);
    RegisterPage(&TheLoadPage(), 7);
    return AttachPages();
}

int32_t SortieScreen::HandleInput(const InputEvent* event) {
    const int32_t choice = FilterInput(event);
    if (choice <= 0) {
        return choice;
    }
    switch (choice) {
    case 1:
        return menu->PostResult(2, 1);
    case 4:
        return menu->PostResult(3, 4);
    case 5:
        Command(100);
        menu->PostResult(3, 5);
        return PublishMissionObject(menu);
    default:
        // 2 and 3 are the shell's own page switches; nothing above 5 means anything here.
        return 0;
    }
}

void SortieScreen::Leave() {
    ConfigDocument* options = Sortie().options;
    if (options != nullptr) {
        options->SetBool(kSingleMission, "LoadMission", pages.cursor != 0 ? 1 : 0);
    }
    DetachPages();
    PagedMenuScreen::Leave();
}
