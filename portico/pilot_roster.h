// The pilot roster upkeep of the main screen.
//
// The roster is a ConfigDocument the shell lends through MMG LockPilotRoster; each pilot has a
// section "Pilot%03d" (numbered from 1, counted only as far as they run without a gap) with
// "PilotID", "Filename" and "DisplayName", and "CurrentPilot"/"PilotID" names the current one.
// Every operation here takes the services and the roster it needs and gives them back before it
// returns; the roster is never held across a call into another roster operation. Nothing keeps
// state between calls.
//
// A shell that lends no roster or no options document does not crash the upkeep: the work that
// needs the missing document is skipped, and every lock and lend is still given back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/contract.h"

// Keeps the roster in order on every entry to the main screen: each pilot whose file exists and
// has no id gets the next free one; with no pilot file at all, a first pilot is made from the
// options' names and becomes the current pilot. Runs with the pilot directory as the current
// directory (pushed and popped around the whole upkeep).
void MaintainPilotRoster();

// The section of the pilot whose "PilotID" equals "CurrentPilot"/"PilotID" (default 1) into
// `out` (bounded by `size`): 1 when found; otherwise "Pilot001" and 0.
int FindCurrentPilotSection(ConfigDocument* roster, char* out, size_t size);

// One more than the largest "PilotID" of the numbered sections, at least 1.
int32_t NextPilotId(ConfigDocument* roster);

// Reads the player's last name, first name and callsign from the options and adds that pilot.
void CreateFirstPilot();

// Appends a new numbered section for the pilot, makes it current, saves the roster, then lets
// UpdatePilotDisplayName refine its display name from the pilot's file.
void AddPilot(const char* lastName, const char* firstName, const char* callsign);

// Reads the current pilot's file into `record` (kept as given when the file cannot be opened),
// forms the display name from the record's names and stores it in the current pilot's section.
void UpdatePilotDisplayName(PilotRecord* record);

// Ends each of the four name fields within its 64 bytes: a pilot file may lack the terminators.
void TerminatePilotNames(PilotRecord* record);
