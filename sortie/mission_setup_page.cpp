#include "sortie/mission_setup_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/config_document.h"
#include "core/text.h"
#include "sortie/object_lists.h"
#include "sortie/option_tables.h"
#include "sortie/page_controls.h"
#include "sortie/sortie_module.h"

namespace {

constexpr int32_t kYearList = 1;
constexpr int32_t kAircraftList = 2;
constexpr int32_t kTypeList = 3;
constexpr int32_t kMapList = 4;
constexpr int32_t kTimeList = 5;
constexpr int32_t kWeatherList = 6;
constexpr int32_t kAirActivityList = 7;
constexpr int32_t kAirDefenseList = 8;

int16_t RecordYear(const uint8_t* record, int offset) {
    int16_t value = 0;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// Selects the row holding `value`, or row 0 when it is not listed; nothing on an empty list.
void SelectRowOf(Control* control, CursorList& rows, intptr_t value) {
    if (rows.count <= 0) {
        return;
    }
    control->SelectItem(rows.FindValue(value) != 0 ? rows.cursorIndex : 0);
}

// The selected row is the table index; without a valid selection the field keeps its value, so
// the shell never receives an index outside the table.
void CollectIndex(Control* control, int32_t count, int32_t& field) {
    const int32_t row = control->GetSelectedIndex();
    if (row >= 0 && row < count) {
        field = row;
    }
}

} // namespace

MissionSetupPage::MissionSetupPage() : firstYear(0), lastYear(0), settings() {
    std::memset(&settings, 0, sizeof settings);
    settings.header.date.month = 1;
    settings.header.date.day = 1;
}

MissionSetupPage::~MissionSetupPage() = default;

Control* MissionSetupPage::List(int32_t index) {
    return PageControl(page, index, kKindList);
}

int32_t MissionSetupPage::AircraftIndex() {
    ObjectList* list = Sortie().aircraft;
    return list != nullptr ? list->FindByName(settings.header.aircraftName) : -1;
}

int32_t MissionSetupPage::Attach(MenuService* hostMenu, int32_t subMenuId) {
    const int32_t result = MenuPage::Attach(hostMenu, subMenuId);
    SortieModule& m = Sortie();
    MissionHeader& h = settings.header;
    ConfigDocument* options = m.options;

    ClearText(h.aircraftName);
    if (options != nullptr) {
        options->GetString(kSingleMission, "AircraftType", "", h.aircraftName,
                           sizeof h.aircraftName, 0);
    }
    h.aircraftName[sizeof h.aircraftName - 1] = '\0';
    if (AircraftIndex() == -1) {
        // Unknown or never chosen: the shell's first aircraft, or none when it has no aircraft.
        const bool any = m.aircraft != nullptr && m.aircraft->Count() > 0;
        CopyText(h.aircraftName, any ? m.aircraft->GetName(0) : "", sizeof h.aircraftName);
    }
    UpperText(h.aircraftName);

    ClearText(h.mapName);
    if (options != nullptr) {
        options->GetString(kSingleMission, "MissionMap", "", h.mapName, sizeof h.mapName, 0);
    }
    h.mapName[sizeof h.mapName - 1] = '\0';
    TerrainService* terrains = m.TER;
    if (terrains == nullptr || terrains->FindByName(h.mapName) == -1) {
        const bool any = terrains != nullptr && terrains->Count() > 0;
        CopyText(h.mapName, any ? terrains->GetName(0) : "", sizeof h.mapName);
    }
    UpperText(h.mapName);

    h.date.year = options != nullptr ? options->GetInt(kSingleMission, "MissionYear", 0) : 0;
    h.missionType = ReadMissionType();
    settings.timeOfDay = ReadMissionTime();
    settings.weather = ReadMissionWeather();
    settings.airActivity = ReadActivityLevel("AirActivity");
    settings.airDefenseActivity = ReadActivityLevel("AirDefenseActivity");

    // A second Attach without Detach must not stack rows on the old ones.
    aircraftRows.Clear();
    mapRows.Clear();
    typeRows.Clear();
    Control* aircraft = List(kAircraftList);
    aircraft->Clear();
    FillAircraftList(aircraft, 1, -1, &aircraftRows, -1);
    Control* maps = List(kMapList);
    maps->Clear();
    FillMapList(maps, &mapRows, 0);

    BuildYearList();
    BuildMissionTypeList();
    FillTextList(kTimeList, "MissionTime.str", kMissionTimeCount, "TXT_MENU_MISSION_TIME_");
    FillTextList(kWeatherList, "MissionWeather.str", kWeatherCount, "TXT_MENU_WEATHER_");
    FillTextList(kAirActivityList, "ActivityLevel.str", kActivityCount, "TXT_MENU_ACTIVITY_LEVEL_");
    FillTextList(kAirDefenseList, "ActivityLevel.str", kActivityCount, "TXT_MENU_ACTIVITY_LEVEL_");
    SelectCurrentValues();
    return result;
}

void MissionSetupPage::FillTextList(int32_t index, const char* table, int32_t count,
                                    const char* keyPrefix) {
    Control* control = List(index);
    control->Clear();
    for (int32_t i = 0; i < count; ++i) {
        char key[64];
        std::snprintf(key, sizeof key, "%s%d", keyPrefix, i);
        char text[260] = {};
        Sortie().TXT->LookupText(table, key, text, static_cast<int32_t>(sizeof text));
        text[sizeof text - 1] = '\0';
        control->AddItemWithData(text, i);
    }
}

void MissionSetupPage::BuildYearList() {
    ConfigDocument* options = Sortie().options;
    const int32_t startYear =
        options != nullptr ? options->GetInt(kSingleMission, "StartYear", 0) : 0;
    const int32_t endYear = options != nullptr ? options->GetInt(kSingleMission, "EndYear", 0) : 0;
    firstYear = 0;
    lastYear = 0;
    Control* years = List(kYearList);
    years->Clear();

    const int32_t index = AircraftIndex();
    const uint8_t* record = nullptr;
    if (index != -1 && Sortie().aircraft->GetRecord(index, &record) != 0 && record != nullptr) {
        firstYear = RecordYear(record, kAircraftFirstYearOffset);
        lastYear = RecordYear(record, kAircraftLastYearOffset);
        if (RecordYear(record, kAircraftSecondRangeCountOffset) > 0) {
            firstYear =
                std::min<int32_t>(firstYear, RecordYear(record, kAircraftSecondFirstYearOffset));
            lastYear =
                std::max<int32_t>(lastYear, RecordYear(record, kAircraftSecondLastYearOffset));
        }
    }

    if (firstYear == 0 && lastYear == 0) {
        firstYear = startYear;
        lastYear = endYear;
    } else if (firstYear == 0) {
        firstYear = startYear == 0 ? lastYear - 5 : std::min(lastYear - 5, startYear);
    } else if (lastYear == 0) {
        lastYear = std::max(firstYear + 5, endYear);
    }

    if (startYear != 0 && firstYear < startYear) {
        firstYear = std::min(startYear, std::max(firstYear, lastYear - 5));
    }
    if (endYear != 0 && lastYear > endYear) {
        lastYear = std::max(endYear, std::min(lastYear, firstYear + 5));
    }

    for (int32_t y = firstYear; y <= lastYear; ++y) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", y);
        years->AddItem(text);
    }
}

void MissionSetupPage::SelectYear() {
    // Without rows there is nothing to select; the year is kept as it is.
    if (firstYear > lastYear) {
        return;
    }
    int32_t& year = settings.header.date.year;
    year = year > firstYear ? std::min(year, lastYear) : firstYear;
    List(kYearList)->SelectItem(year - firstYear);
}

void MissionSetupPage::BuildMissionTypeList() {
    Control* types = List(kTypeList);
    types->Clear();
    const int32_t index = AircraftIndex();
    // An aircraft the shell does not know offers nothing; it is never asked about index -1.
    if (index != -1) {
        for (int32_t t = 0; t < kMissionTypeCount; ++t) {
            if (OfferedMissionTypes[t] != 0 &&
                Sortie().aircraft->SupportsMissionType(index, t, 0)) {
                typeRows.Append(t);
            }
        }
    }
    int32_t k = 0;
    for (CursorListNode* node = typeRows.head; node != nullptr; node = node->next, ++k) {
        const char* text =
            Sortie().TXT->GetTextByIndex("MissionType.str", static_cast<int32_t>(node->value));
        types->AddItemWithData(text != nullptr ? text : "", k);
    }
}

void MissionSetupPage::SelectCurrentValues() {
    SelectRowOf(List(kAircraftList), aircraftRows, AircraftIndex());
    SelectRowOf(List(kTypeList), typeRows, settings.header.missionType);
    SelectYear();
    SelectMapByName(List(kMapList), &mapRows, settings.header.mapName);
    List(kTimeList)->SelectItem(settings.timeOfDay);
    List(kWeatherList)->SelectItem(settings.weather);
    List(kAirActivityList)->SelectItem(settings.airActivity);
    List(kAirDefenseList)->SelectItem(settings.airDefenseActivity);
}

int32_t MissionSetupPage::SelectedMissionType() {
    const int32_t row = List(kTypeList)->GetSelectedIndex();
    if (row < 0 || row >= typeRows.count) {
        return 0;
    }
    typeRows.Seek(row);
    return typeRows.cursor != nullptr ? static_cast<int32_t>(typeRows.CurrentValue()) : 0;
}

int32_t MissionSetupPage::Collect() {
    MissionHeader& h = settings.header;
    ReadSelectedAircraft(List(kAircraftList), &aircraftRows, h.aircraftName, sizeof h.aircraftName);
    h.missionType = SelectedMissionType();
    // No year row selected (or none to select): the year stays what it was.
    const int32_t yearRow = List(kYearList)->GetSelectedIndex();
    if (yearRow >= 0 && yearRow <= lastYear - firstYear) {
        h.date.year = yearRow + firstYear;
    }
    ReadSelectedMap(List(kMapList), &mapRows, h.mapName, sizeof h.mapName);
    CollectIndex(List(kTimeList), kMissionTimeCount, settings.timeOfDay);
    CollectIndex(List(kWeatherList), kWeatherCount, settings.weather);
    CollectIndex(List(kAirActivityList), kActivityCount, settings.airActivity);
    CollectIndex(List(kAirDefenseList), kActivityCount, settings.airDefenseActivity);
    return 0;
}

void MissionSetupPage::OnAircraftChanged() {
    MissionHeader& h = settings.header;
    ReadSelectedAircraft(List(kAircraftList), &aircraftRows, h.aircraftName, sizeof h.aircraftName);
    const int32_t keptType = SelectedMissionType();
    const int32_t yearRow = List(kYearList)->GetSelectedIndex();
    if (yearRow >= 0 && yearRow <= lastYear - firstYear) {
        h.date.year = yearRow + firstYear;
    }
    typeRows.Clear();
    BuildMissionTypeList();
    SelectRowOf(List(kTypeList), typeRows, keptType);
    BuildYearList();
    SelectYear();
}

int32_t MissionSetupPage::OnCommand(int32_t code) {
    if (code == 2) {
        OnAircraftChanged();
        return 0;
    }
    if (code == 100) {
        Collect();
        return Sortie().MSN->CreateMission(&settings);
    }
    return 0;
}

int32_t MissionSetupPage::Show() {
    SetStartEnabled(1);
    return MenuPage::Show();
}

void MissionSetupPage::Hide() {
    Collect();
    MenuPage::Hide();
}

void MissionSetupPage::Detach() {
    aircraftRows.Clear();
    mapRows.Clear();
    typeRows.Clear();
    ConfigDocument* options = Sortie().options;
    if (options != nullptr) {
        options->SetString(kSingleMission, "AircraftType", settings.header.aircraftName);
        options->SetString(kSingleMission, "MissionMap", settings.header.mapName);
        options->SetInt(kSingleMission, "MissionYear", settings.header.date.year);
    }
    StoreMissionType(settings.header.missionType);
    StoreMissionTime(settings.timeOfDay);
    StoreMissionWeather(settings.weather);
    StoreActivityLevel("AirActivity", settings.airActivity);
    StoreActivityLevel("AirDefenseActivity", settings.airDefenseActivity);
}
