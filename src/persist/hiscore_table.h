// The ten best scores, in memory and in the property database "HISCORE".
#pragma once

#include <cstdint>

struct HiScoreRecord {
    uint8_t latest = 0;
    int32_t score = 0;
    int32_t extra1 = 0;
    int32_t extra2 = 0;
    char16_t name[10] = {};

    bool empty() const { return name[0] == 0 && score == 0; }
};

class HiScoreTable {
public:
    static constexpr int kRecords = 10;

    HiScoreTable();
    virtual ~HiScoreTable();

    void CreateDatabase();
    void Load();
    void Save();
    void ClearAll();
    int CountFilled() const;
    void Sort();
    // False (after the message box) for an index above 9.
    bool GetRecord(int index, HiScoreRecord& out) const;
    bool Insert(const HiScoreRecord& r);

    HiScoreRecord records[kRecords];
    char16_t nameBuffer[10] = {};
    uint32_t volumeId[4] = {};  // the object store
};
