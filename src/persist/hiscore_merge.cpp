#include "persist/hiscore_merge.h"

#include <algorithm>
#include <vector>

namespace {

using Records = HiScoreTable::Records;

std::vector<HiScoreRecord> filled(const Records& table) {
    std::vector<HiScoreRecord> out;
    for (const HiScoreRecord& r : table)
        if (!r.empty()) out.push_back(r);
    return out;
}

// Removes one entry equal to `r` from `list`; false when there is none.
bool takeOne(std::vector<HiScoreRecord>& list, const HiScoreRecord& r) {
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&r](const HiScoreRecord& e) { return sameEntry(e, r); });
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

bool sameEntry(const HiScoreRecord& a, const HiScoreRecord& b) {
    if (a.score != b.score || a.extra1 != b.extra1 || a.extra2 != b.extra2) return false;
    // Nine characters: all of a name that the store keeps.
    for (int i = 0; i < 9; ++i) {
        if (a.name[i] != b.name[i]) return false;
        if (a.name[i] == 0) break;
    }
    return true;
}

bool mergeScores(const Records& mine, const Records& seen, const Records& stored, Records& out) {
    // What the other copy added (stored, not seen) and dropped (seen, not stored).
    std::vector<HiScoreRecord> added = filled(stored), dropped;
    for (const HiScoreRecord& r : filled(seen))
        if (!takeOne(added, r)) dropped.push_back(r);
    if (added.empty() && dropped.empty()) {
        std::copy(std::begin(mine), std::end(mine), std::begin(out));
        return false;
    }
    std::vector<HiScoreRecord> list = filled(mine);
    for (const HiScoreRecord& r : dropped) takeOne(list, r);
    // The newest entry keeps the mark: ours when this copy made one since it last read
    // the table, else the other copy's.
    std::vector<HiScoreRecord> ours = filled(mine);
    for (const HiScoreRecord& r : filled(seen)) takeOne(ours, r);
    auto marked = [](const std::vector<HiScoreRecord>& v) {
        return std::any_of(v.begin(), v.end(), [](const HiScoreRecord& r) { return r.latest; });
    };
    const bool ownEntry = marked(ours);
    if (!ownEntry && marked(added))
        for (HiScoreRecord& r : list) r.latest = 0;
    for (HiScoreRecord r : added) {
        if (ownEntry) r.latest = 0;
        list.push_back(r);
    }
    std::stable_sort(list.begin(), list.end(), HiScoreTable::ListedBefore);
    for (int i = 0; i < HiScoreTable::kRecords; ++i)
        out[i] = i < static_cast<int>(list.size()) ? list[i] : HiScoreRecord{};
    return true;
}
