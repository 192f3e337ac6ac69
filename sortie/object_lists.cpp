#include "sortie/object_lists.h"

#include <cstring>

#include "core/text.h"
#include "framework/binding.h"
#include "platform/platform.h"

namespace {

// Takes a node out of a list the caller owns and frees it; the cursor goes back to the head.
void Unlink(CursorList& list, CursorListNode* node) {
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    } else {
        list.head = node->next;
    }
    if (node->next != nullptr) {
        node->next->prev = node->prev;
    } else {
        list.tail = node->prev;
    }
    --list.count;
    delete node;
    list.cursor = nullptr;
    list.cursorIndex = -1;
}

// Candidates arrive in ascending index order; each goes in front of the first placed name it
// sorts before, so equal names keep index order. The two lists stay in step: a candidate whose
// row cannot be stored is taken out of the name list again.
class SortedRows {
public:
    explicit SortedRows(CursorList* rows) : rows_(rows) {}
    ~SortedRows() { names_.Clear(); }
    SortedRows(const SortedRows&) = delete;
    SortedRows& operator=(const SortedRows&) = delete;

    void Insert(int32_t index, const char* name) {
        int32_t position = 0;
        CursorListNode* node = names_.head;
        while (node != nullptr &&
               platform::MbCompare(name, reinterpret_cast<const char*>(node->value)) >= 0) {
            node = node->next;
            ++position;
        }
        const intptr_t text = reinterpret_cast<intptr_t>(name);
        if (node != nullptr) {
            if (names_.InsertAt(position, text) == 0) {
                return;
            }
            if (rows_->InsertAt(position, index) == 0) {
                Unlink(names_, names_.cursor);
            }
        } else {
            if (names_.Append(text) == 0) {
                return;
            }
            if (rows_->Append(index) == 0) {
                Unlink(names_, names_.cursor);
            }
        }
    }

    void AddRows(Control* control) {
        for (CursorListNode* node = names_.head; node != nullptr; node = node->next) {
            control->AddItem(reinterpret_cast<const char*>(node->value));
        }
        names_.Clear();
    }

private:
    CursorList* rows_;
    CursorList names_;
};

int16_t RecordYear(const uint8_t* record, int offset) {
    int16_t year = 0;
    std::memcpy(&year, record + offset, sizeof year);
    return year;
}

// The holder is the caller's pointer: the release must be given the same address.
void AcquireTerrains(TerrainService** terrains) {
    *terrains = nullptr;
    Binding().shell->AcquireService("TER", terrains);
}

void ReleaseTerrains(TerrainService** terrains) {
    Binding().shell->ReleaseService("TER", terrains);
}

// The row's value when the control's selection is a listed row, else -1.
int32_t SelectedValue(Control* control, CursorList* rows) {
    const int32_t row = control->GetSelectedIndex();
    if (row < 0 || row >= rows->count) {
        return -1;
    }
    rows->Seek(row);
    if (rows->cursor == nullptr) {
        return -1;
    }
    return static_cast<int32_t>(rows->CurrentValue());
}

} // namespace

ObjectList* GetAircraftList() {
    ObjectService* objects = nullptr;
    Binding().shell->AcquireService("OBJ", &objects);
    ObjectList* list = nullptr;
    if (objects != nullptr) {
        const int32_t classId = objects->FindClass("AircraftObject");
        objects->GetClassList(classId, &list);
    }
    Binding().shell->ReleaseService("OBJ", &objects);
    return list;
}

void FillAircraftList(Control* control, int32_t onlyAvailable, int32_t year, CursorList* rows,
                      int32_t missionType) {
    ObjectList* list = GetAircraftList();
    if (list == nullptr) {
        return;
    }
    SortedRows sorted(rows);
    const int32_t n = list->Count();
    for (int32_t i = 0; i < n; ++i) {
        if (onlyAvailable != 0 && list->IsAvailable(i) == 0) {
            continue;
        }
        if (missionType != -1 && list->SupportsMissionType(i, missionType, 0) == 0) {
            continue;
        }
        const uint8_t* record = nullptr;
        if (list->GetRecord(i, &record) == 0 || record == nullptr) {
            continue;
        }
        if (year != -1 && (RecordYear(record, kAircraftFirstYearOffset) > year ||
                           RecordYear(record, kAircraftLastYearOffset) < year)) {
            continue;
        }
        const char* name = list->GetDisplayName(i);
        if (name == nullptr) {
            continue;
        }
        sorted.Insert(i, name);
    }
    sorted.AddRows(control);
}

void FillMapList(Control* control, CursorList* rows, int32_t includeHidden) {
    TerrainService* terrains;
    AcquireTerrains(&terrains);
    if (terrains != nullptr) {
        SortedRows sorted(rows);
        const int32_t n = terrains->Count();
        for (int32_t i = 0; i < n; ++i) {
            const char* name = terrains->GetDisplayName(i);
            if (name == nullptr || (includeHidden == 0 && terrains->IsHidden(i) != 0)) {
                continue;
            }
            sorted.Insert(i, name);
        }
        sorted.AddRows(control);
    }
    ReleaseTerrains(&terrains);
}

int32_t ReadSelectedAircraft(Control* control, CursorList* rows, char* buffer, size_t size) {
    ObjectList* list = GetAircraftList();
    const int32_t index = SelectedValue(control, rows);
    // The row list may be older than the shell's list: never pass an index it does not have.
    if (index < 0 || list == nullptr || index >= list->Count()) {
        return -1;
    }
    if (buffer != nullptr) {
        CopyText(buffer, list->GetName(index), size);
    }
    return index;
}

int32_t ReadSelectedMap(Control* control, CursorList* rows, char* buffer, size_t size) {
    TerrainService* terrains;
    AcquireTerrains(&terrains);
    int32_t index = SelectedValue(control, rows);
    if (index >= 0 && (terrains == nullptr || index >= terrains->Count())) {
        index = -1;
    }
    if (index >= 0 && buffer != nullptr) {
        CopyText(buffer, terrains->GetName(index), size);
    }
    ReleaseTerrains(&terrains);
    return index;
}

int32_t SelectMapByName(Control* control, CursorList* rows, const char* name) {
    TerrainService* terrains;
    AcquireTerrains(&terrains);
    int32_t terrain = -1;
    if (rows->count > 0) {
        terrain = terrains != nullptr ? terrains->FindByName(name) : -1;
        int32_t row = 0;
        if (terrain != -1 && rows->FindValue(terrain) != 0) {
            row = rows->cursorIndex;
        } else {
            rows->Seek(0);
            terrain = static_cast<int32_t>(rows->CurrentValue());
        }
        control->SelectItem(row);
    }
    ReleaseTerrains(&terrains);
    return terrain;
}
