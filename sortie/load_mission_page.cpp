#include "sortie/load_mission_page.h"

#include <cstdio>
#include <cstring>

#include "core/config_document.h"
#include "core/memory.h"
#include "core/path.h"
#include "core/text.h"
#include "framework/binding.h"
#include "sortie/page_controls.h"
#include "sortie/sortie_module.h"

namespace {

constexpr int32_t kYearText = 1;
constexpr int32_t kMissionList = 2;
constexpr int32_t kAircraftText = 3;
constexpr int32_t kTypeText = 4;
constexpr int32_t kMapText = 5;
constexpr int32_t kDetailsText = 14;
constexpr int32_t kNameSize = 260;
// Pool bytes per counted file, and a file count whose pool still fits a 32-bit size.
constexpr int32_t kMaxListedFiles = 0x7FFFFFFF / kNameSize - 1;

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace

LoadMissionPage::LoadMissionPage() : hasMissions(0), described(0), missionName(), header() {
    std::memset(&header, 0, sizeof header);
    header.date.month = 1;
    header.date.day = 1;
}

LoadMissionPage::~LoadMissionPage() = default;

Control* LoadMissionPage::PageControlAt(int32_t index, int32_t kind) {
    return PageControl(page, index, kind);
}

// The shell fills the header; its two names are made to end inside their fields before use.
void LoadMissionPage::ReadHeader(const char* name) {
    MemFreeString(&header.details);
    std::memset(&header, 0, sizeof header);
    Sortie().MSN->ReadMissionHeader(name, &header);
    header.aircraftName[sizeof header.aircraftName - 1] = '\0';
    header.mapName[sizeof header.mapName - 1] = '\0';
}

void LoadMissionPage::ReadMissionName() {
    ReadSelectedText(PageControlAt(kMissionList, kKindList), missionName);
}

int32_t LoadMissionPage::Attach(MenuService* hostMenu, int32_t subMenuId) {
    const int32_t result = MenuPage::Attach(hostMenu, subMenuId);
    SortieModule& m = Sortie();

    char directory[kNameSize] = {};
    m.MMG->GetMissionDirectory(directory, kNameSize);
    directory[kNameSize - 1] = '\0';
    PushDirectory();
    ChangeDirectory(directory);

    Control* list = PageControlAt(kMissionList, kKindList);
    list->Clear();
    hasMissions = 0;
    described = 0;

    int32_t n = CountFiles("*.MSN");
    if (n > kMaxListedFiles) {
        n = kMaxListedFiles;
    }
    if (n > 0) {
        missionNames.Reset(n * kNameSize);
        ListFiles(&missionNames, "*.MSN", 1);
        for (missionNames.Rewind(); missionNames.HasMore() != 0; missionNames.Advance()) {
            const char* name = missionNames.Current();
            ReadHeader(name);
            const bool aircraftKnown =
                m.aircraft != nullptr && m.aircraft->FindByName(header.aircraftName) != -1;
            if (aircraftKnown && m.TER->FindByName(header.mapName) != -1) {
                list->AddItem(name);
                hasMissions = 1;
            }
        }
    }

    if (hasMissions == 1) {
        // A visit that found no missions left the list disabled; this one has rows to choose.
        list->SetEnabled(1);
        list->SelectItem(0);
        char first[kNameSize];
        ReadSelectedText(list, first);
        ClearText(missionName);
        if (m.options != nullptr) {
            m.options->GetString(kSingleMission, "LoadMissionFilename", first, missionName,
                                 sizeof missionName, 0);
        } else {
            CopyText(missionName, first, sizeof missionName);
        }
        missionName[sizeof missionName - 1] = '\0';
        int32_t row = list->FindItem(missionName, -1, 0);
        if (row == -1) {
            CopyText(missionName, first, sizeof missionName);
            row = 0;
        }
        list->SelectItem(row);
        DescribeMission();
    } else {
        described = 0;
        list->AddItem(OrEmpty(m.TXT->GetTextByIndex("MenuText.str", 30)));
        list->SetEnabled(0);
        ClearText(missionName);
        list->SelectItem(0);
        UpdateDetailsControl();
    }

    PopDirectory();
    return result;
}

void LoadMissionPage::DescribeMission() {
    if (hasMissions != 0) {
        SortieModule& m = Sortie();
        ReadHeader(missionName);

        // A mission whose aircraft or map went away since listing shows empty texts.
        const int32_t aircraft =
            m.aircraft != nullptr ? m.aircraft->FindByName(header.aircraftName) : -1;
        const char* aircraftText = aircraft != -1 ? m.aircraft->GetDisplayName(aircraft) : "";
        PageControlAt(kAircraftText, kKindText)->SetText(OrEmpty(aircraftText));

        char text[kNameSize];
        std::snprintf(text, sizeof text, "%d", header.date.year);
        PageControlAt(kYearText, kKindText)->SetText(text);

        char key[64];
        std::snprintf(key, sizeof key, "TXT_MENU_MISSION_TYPE_%d", header.missionType);
        std::memset(text, 0, sizeof text);
        m.TXT->LookupText("MissionType.str", key, text, kNameSize);
        text[kNameSize - 1] = '\0';
        PageControlAt(kTypeText, kKindText)->SetText(text);

        const int32_t map = m.TER->FindByName(header.mapName);
        const char* mapText = map != -1 ? m.TER->GetDisplayName(map) : "";
        PageControlAt(kMapText, kKindText)->SetText(OrEmpty(mapText));
        described = 1;
    }
    UpdateDetailsControl();
}

void LoadMissionPage::UpdateDetailsControl() {
    const bool visible = described == 1 && hasMissions == 1 && header.details != nullptr;
    PageControlAt(kDetailsText, kKindText)->SetVisible(visible ? 1 : 0);
}

void LoadMissionPage::OnSelectionChanged() {
    MemFreeString(&header.details);
    if (hasMissions != 0) {
        ReadMissionName();
    }
    DescribeMission();
    SetStartEnabled(described);
    menu->PostResult(6, 0);
}

int32_t LoadMissionPage::OnCommand(int32_t code) {
    if (code == 2) {
        OnSelectionChanged();
        return 0;
    }
    // Nothing listed: the only row is the "no saved missions" text, which names no mission.
    if (code == 100 && hasMissions != 0) {
        ReadMissionName();
        return Sortie().MSN->LoadSavedMission(missionName);
    }
    return 0;
}

int32_t LoadMissionPage::Collect() {
    if (hasMissions != 0) {
        ReadMissionName();
    }
    return 0;
}

int32_t LoadMissionPage::Show() {
    SetStartEnabled(described);
    const int32_t result = MenuPage::Show();
    UpdateDetailsControl();
    return result;
}

void LoadMissionPage::Hide() {
    if (hasMissions != 0) {
        ReadMissionName();
    }
    MenuPage::Hide();
}

void LoadMissionPage::Detach() {
    MemFreeString(&header.details);
    missionNames.Release();
    if (hasMissions == 1 && Sortie().options != nullptr) {
        Sortie().options->SetString(kSingleMission, "LoadMissionFilename", missionName);
    }
}
