// The aircraft and map lists of the setup page: a list control filled with display names,
// filtered and sorted in the code page's order, and beside it a row list (a CursorList whose k-th
// value is the object or terrain index shown in row k). The functions keep no state; OBJ and TER
// are acquired and released by each call that needs them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/cursor_list.h"
#include "framework/contract.h"

// The shell's aircraft list ("AircraftObject"), or none when the shell has no such class.
ObjectList* GetAircraftList();

// Appends rows to `control` and indexes to `rows` (expected empty). year -1 and missionType -1
// mean any; onlyAvailable 0 lists unavailable aircraft too.
void FillAircraftList(Control* control, int32_t onlyAvailable, int32_t year, CursorList* rows,
                      int32_t missionType);
void FillMapList(Control* control, CursorList* rows, int32_t includeHidden);

// The index behind the selected row, its internal name copied into buffer (when given);
// -1 and the buffer untouched when no listed row is selected.
int32_t ReadSelectedAircraft(Control* control, CursorList* rows, char* buffer, size_t size);
int32_t ReadSelectedMap(Control* control, CursorList* rows, char* buffer, size_t size);

// Selects the row of the named terrain, or row 0 when it is not listed; returns the terrain
// index of the selected row, or -1 (and selects nothing) when no terrain is listed.
int32_t SelectMapByName(Control* control, CursorList* rows, const char* name);
