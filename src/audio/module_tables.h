// The fixed tables of the module player: Amiga periods for 16 finetunes x 60 notes, the
// nearest note for every period, and a sine for vibrato.
#pragma once

#include <cstdint>

constexpr int kPeriodTableSize = 16 * 60;
constexpr int kNoteIndexMapSize = 1714;

// Row = finetune 0..7 then -8..-1 as rows 8..15; index = finetune x 60 + note.
const uint16_t* PeriodTable();
// For every period 0..1713 the index of the nearest period-table entry (lowest index
// on ties).
const uint16_t* NoteIndexMap();
// One period of a sine scaled to +-256, 64 entries.
const int16_t* SineTable();
