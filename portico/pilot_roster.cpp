#include "portico/pilot_roster.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "core/config_document.h"
#include "core/path.h"
#include "core/text.h"
#include "framework/binding.h"

namespace {

constexpr size_t kTextSize = 260;
constexpr const char* kPilotFormat = "Pilot%03d";
constexpr const char* kPilotExtension = "plt";

void PilotSectionName(int32_t number, char* buffer, size_t size) {
    std::snprintf(buffer, size, kPilotFormat, static_cast<int>(number));
}

// An id one above `id`, kept within range: an id at the top of the range cannot be followed.
int32_t After(int32_t id) {
    return id < INT32_MAX ? id + 1 : INT32_MAX;
}

// Texts the shell writes into our buffers are terminated here whatever it wrote.
void Terminate(char* buffer, size_t size) {
    buffer[size - 1] = '\0';
}

// The release must name the same holder address as the acquisition, so the service is taken
// straight into the caller's pointer.
template <typename Service> void Take(const char* id, Service*& service) {
    service = nullptr;
    Binding().shell->AcquireService(id, &service);
}

template <typename Service> void GiveBack(const char* id, Service*& service) {
    Binding().shell->ReleaseService(id, &service);
}

void ReadOptionText(const char* key, char* buffer, size_t size) {
    ClearText(buffer);
    OptionsService* options = nullptr;
    Take("OPT", options);
    if (options != nullptr) {
        ConfigDocument* document = nullptr;
        options->GetOptions(&document);
        if (document != nullptr) {
            document->GetString("Pilot", key, "", buffer, size, 0);
        }
        options->ReleaseOptions(&document);
    }
    GiveBack("OPT", options);
}

} // namespace

void TerminatePilotNames(PilotRecord* record) {
    record->callsign[PilotRecord::kNameSize - 1] = '\0';
    record->service[PilotRecord::kNameSize - 1] = '\0';
    record->lastName[PilotRecord::kNameSize - 1] = '\0';
    record->firstName[PilotRecord::kNameSize - 1] = '\0';
}

int32_t NextPilotId(ConfigDocument* roster) {
    const int32_t n = roster->CountNumberedSections(kPilotFormat);
    int32_t result = 1;
    char section[kTextSize];
    for (int32_t i = 1; i <= n; ++i) {
        PilotSectionName(i, section, sizeof section);
        const int32_t id = roster->GetInt(section, "PilotID", -1);
        if (id >= result) {
            result = After(id);
        }
    }
    return result;
}

int FindCurrentPilotSection(ConfigDocument* roster, char* out, size_t size) {
    const int32_t current = roster->GetInt("CurrentPilot", "PilotID", 1);
    const int32_t n = roster->CountNumberedSections(kPilotFormat);
    char section[kTextSize];
    for (int32_t i = 1; i <= n; ++i) {
        PilotSectionName(i, section, sizeof section);
        const int32_t id =
            roster->HasSection(section) != 0 ? roster->GetInt(section, "PilotID", -1) : -1;
        if (id == current) {
            CopyText(out, section, size);
            return 1;
        }
    }
    PilotSectionName(1, section, sizeof section);
    CopyText(out, section, size);
    return 0;
}

void MaintainPilotRoster() {
    MenuManagerService* manager = nullptr;
    Take("MMG", manager);
    char directory[kTextSize] = {};
    if (manager != nullptr) {
        manager->GetPilotDirectory(directory, sizeof directory);
        Terminate(directory, sizeof directory);
    }
    PushDirectory();
    ChangeDirectory(directory); // a directory that cannot be entered still gets its upkeep

    bool rosterLent = false;
    int32_t existing = 0;
    if (manager != nullptr) {
        ConfigDocument* roster = nullptr;
        manager->LockPilotRoster(&roster);
        if (roster != nullptr) {
            rosterLent = true;
            int32_t next = NextPilotId(roster);
            const int32_t n = roster->CountNumberedSections(kPilotFormat);
            char section[kTextSize];
            char fileName[kTextSize];
            char path[kTextSize];
            for (int32_t i = 1; i <= n; ++i) {
                PilotSectionName(i, section, sizeof section);
                roster->GetString(section, "Filename", "", fileName, sizeof fileName, 0);
                CombinePath(directory, fileName, kPilotExtension, path, sizeof path);
                if (FileExists(path, 0) != 0) {
                    ++existing;
                    if (roster->HasKey(section, "PilotID") == 0) {
                        roster->SetInt(section, "PilotID", next);
                        next = After(next);
                    }
                }
            }
            roster->Save(nullptr);
        }
        manager->UnlockPilotRoster(&roster);
    }
    GiveBack("MMG", manager);

    // Without a roster there is nowhere to put a first pilot.
    if (rosterLent && existing == 0) {
        CreateFirstPilot();
    }
    PopDirectory();
}

void CreateFirstPilot() {
    char lastName[kTextSize];
    char firstName[kTextSize];
    char callsign[kTextSize];
    ClearText(lastName);
    ClearText(firstName);
    ClearText(callsign);
    OptionsService* options = nullptr;
    Take("OPT", options);
    if (options != nullptr) {
        ConfigDocument* document = nullptr;
        options->GetOptions(&document);
        if (document != nullptr) {
            document->GetString("Pilot", "LastName", "", lastName, sizeof lastName, 0);
            document->GetString("Pilot", "FirstName", "", firstName, sizeof firstName, 0);
            document->GetString("Pilot", "Callsign", "", callsign, sizeof callsign, 0);
        }
        options->ReleaseOptions(&document);
    }
    GiveBack("OPT", options);
    AddPilot(lastName, firstName, callsign);
}

void AddPilot(const char* lastName, const char* firstName, const char* callsign) {
    TextService* text = nullptr;
    Take("TXT", text);
    MenuManagerService* manager = nullptr;
    Take("MMG", manager);

    // Large enough to keep off the shell's stack; the menu thread is the only caller.
    static PilotRecord record;
    bool prepared = false;
    if (manager != nullptr) {
        ConfigDocument* roster = nullptr;
        manager->LockPilotRoster(&roster);
        if (roster != nullptr) {
            char display[kTextSize] = {};
            if (text != nullptr) {
                text->FormatPilotName(lastName, firstName, display, sizeof display);
                Terminate(display, sizeof display);
            }
            const int32_t n = roster->CountNumberedSections(kPilotFormat);
            const int32_t id = NextPilotId(roster);
            // Stored before the new section is made, so a new "CurrentPilot" comes first.
            roster->SetInt("CurrentPilot", "PilotID", id);

            char section[kTextSize];
            char fileName[kTextSize];
            PilotSectionName(After(n), section, sizeof section);
            SetDefaultExtension(section, kPilotExtension, fileName, sizeof fileName);

            char service[kTextSize];
            ReadOptionText("Service", service, sizeof service);

            std::memset(&record, 0, sizeof record);
            CopyText(record.firstName, firstName, sizeof record.firstName);
            CopyText(record.lastName, lastName, sizeof record.lastName);
            CopyText(record.callsign, callsign, sizeof record.callsign);
            CopyText(record.service, service, sizeof record.service);

            roster->SetString(section, "DisplayName", display);
            roster->SetString(section, "Filename", fileName);
            roster->SetInt(section, "PilotID", id);
            roster->Save(nullptr);
            prepared = true;
        }
        manager->UnlockPilotRoster(&roster);
    }
    GiveBack("MMG", manager);
    GiveBack("TXT", text);

    if (prepared) {
        UpdatePilotDisplayName(&record);
    }
}

void UpdatePilotDisplayName(PilotRecord* record) {
    TextService* text = nullptr;
    Take("TXT", text);
    MenuManagerService* manager = nullptr;
    Take("MMG", manager);
    if (manager != nullptr) {
        ConfigDocument* roster = nullptr;
        manager->LockPilotRoster(&roster);
        char section[kTextSize];
        if (roster != nullptr && record != nullptr &&
            FindCurrentPilotSection(roster, section, sizeof section) != 0) {
            char fileName[kTextSize];
            char directory[kTextSize] = {};
            char path[kTextSize];
            roster->GetString(section, "Filename", "", fileName, sizeof fileName, 0);
            manager->GetPilotDirectory(directory, sizeof directory);
            Terminate(directory, sizeof directory);
            CombinePath(directory, fileName, kPilotExtension, path, sizeof path);

            FileService* files = Binding().FMG;
            const int32_t handle = files != nullptr ? files->FileOpen(path) : -1;
            if (handle != -1) {
                files->FileRead(handle, record, static_cast<int32_t>(sizeof(PilotRecord)));
                files->FileClose(handle);
            }
            // The file is the shell's and may be damaged: no name may run past its field.
            TerminatePilotNames(record);

            char display[kTextSize] = {};
            if (text != nullptr) {
                text->FormatPilotName(record->lastName, record->firstName, display, sizeof display);
                Terminate(display, sizeof display);
            }
            roster->SetString(section, "DisplayName", display);
            roster->Save(nullptr);
        }
        manager->UnlockPilotRoster(&roster);
    }
    GiveBack("MMG", manager);
    GiveBack("TXT", text);
}
