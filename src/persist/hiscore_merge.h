// Two copies of the game on one store (two simulators, or copies started with different
// runtime folders): a table saved by one must not drop what the other saved meanwhile.
#pragma once

#include "persist/hiscore_table.h"

// The same entry: player (the nine characters the store keeps), score and the two
// extras; the `latest` mark aside.
bool sameEntry(const HiScoreRecord& a, const HiScoreRecord& b);

// The table to write, given this copy's table (`mine`), the table as this copy last read
// or wrote it (`seen`) and what is stored now (`stored`). While the store holds what
// this copy saw, that is `mine` exactly as it is. Otherwise another copy has saved: its
// new entries join ours and those it dropped leave ours; the ten best are kept in the
// table's order, and when this copy made an entry of its own, only that one keeps the
// `latest` mark. Answers whether anything had to be merged.
bool mergeScores(const HiScoreTable::Records& mine, const HiScoreTable::Records& seen,
                 const HiScoreTable::Records& stored, HiScoreTable::Records& out);
