#include "sortie/sortie_module.h"

#include <cstring>

#include "framework/binding.h"
#include "sortie/load_mission_page.h"
#include "sortie/mission_setup_page.h"
#include "sortie/sortie_screen.h"

namespace {

SortieModule g_module; // zero at load

// Constructed in this order when the library loads, destroyed in reverse when it unloads.
SortieScreen g_screen;
MissionSetupPage g_setupPage;
LoadMissionPage g_loadPage;

constexpr const char* kModuleTag = "SMSN";
constexpr const char* kStringTables[] = {"MissionType.str", "MissionTime.str", "MissionWeather.str",
                                         "ActivityLevel.str"};

} // namespace

SortieModule& Sortie() {
    return g_module;
}
SortieScreen& TheSortieScreen() {
    return g_screen;
}
MissionSetupPage& TheSetupPage() {
    return g_setupPage;
}
LoadMissionPage& TheLoadPage() {
    return g_loadPage;
}

int32_t SortieInit(AppShell* shell, MenuScreen** screenHolder) {
    BindShell(kModuleTag, shell);
    SortieModule& m = g_module;
    shell->AcquireService("MMG", &m.MMG);
    shell->AcquireService("MSN", &m.MSN);
    shell->AcquireService("TXT", &m.TXT);
    shell->AcquireService("OPT", &m.OPT);
    shell->AcquireService("OBJ", &m.OBJ);
    shell->AcquireService("TER", &m.TER);
    shell->AcquireService("MNU", &m.MNU);
    for (const char* table : kStringTables) {
        m.TXT->LoadStringTable(table);
    }
    m.options = nullptr;
    if (m.OPT != nullptr) {
        m.OPT->GetOptions(&m.options);
    }
    m.aircraft = nullptr;
    if (m.OBJ != nullptr) {
        const int32_t classId = m.OBJ->FindClass("AircraftObject");
        m.OBJ->GetClassList(classId, &m.aircraft);
    }
    const int32_t result = g_screen.Enter();
    if (screenHolder != nullptr) {
        *screenHolder = &g_screen;
    }
    return result;
}

int32_t SortieExit() {
    SortieModule& m = g_module;
    g_screen.Leave();
    if (m.OPT != nullptr) {
        m.OPT->CommitOptions(&m.options);
    }
    for (const char* table : kStringTables) {
        m.TXT->UnloadStringTable(table);
    }
    AppShell* shell = Binding().shell;
    shell->ReleaseService("MNU", &m.MNU);
    shell->ReleaseService("TER", &m.TER);
    shell->ReleaseService("OBJ", &m.OBJ);
    shell->ReleaseService("OPT", &m.OPT);
    shell->ReleaseService("TXT", &m.TXT);
    shell->ReleaseService("MSN", &m.MSN);
    shell->ReleaseService("MMG", &m.MMG);
    return UnbindShell(kModuleTag);
}

void SetStartEnabled(int32_t flag) {
    Control* start = nullptr;
    g_module.MNU->GetChild(5, kKindStartControl, &start);
    if (start != nullptr) {
        start->SetEnabled(flag);
    }
}

int32_t PublishMissionObject(MenuService* menu) {
    const uint8_t* record = nullptr;
    g_module.MSN->GetCurrentMission(&record);
    if (record == nullptr || g_module.aircraft == nullptr) {
        return 0;
    }
    int32_t value = 0;
    std::memcpy(&value, record + kCurrentMissionObjectOffset, sizeof value);
    const int32_t object = g_module.aircraft->LookupMissionObject(value);
    return object != 0 ? menu->SetMissionObject(object) : 0;
}
