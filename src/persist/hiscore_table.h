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

class PropList;

class HiScoreTable {
  public:
    static constexpr int kRecords = 10;
    // The type tag the database is created with.
    static constexpr uint32_t kDatabaseType = 0x54524853;  // "TRHS"

    HiScoreTable();
    virtual ~HiScoreTable();

    // Creates "HISCORE" with ten empty records unless it exists already.
    void CreateDatabase();
    // Reads up to ten stored records into the table, in order.
    void Load();
    // Writes the ten records over the stored ones, all in one transaction.
    void Save();
    // Empties the ten records in memory; the database changes with the next Save.
    void ClearAll();
    // Records from the first one up to the first empty one (10 when none is empty).
    int CountFilled() const;
    // Best score first; equal scores by name.
    void Sort();
    // False (after the message box) for an index outside 0..9.
    bool GetRecord(int index, HiScoreRecord& out) const;
    // True when the record entered the table.
    bool Insert(const HiScoreRecord& r);

    HiScoreRecord records[kRecords];
    char16_t nameBuffer[10] = {};
    uint32_t volumeId[4] = {};  // the object store

  private:
    static void BuildProps(const HiScoreRecord& r, PropList& list);
    // Writes one record's five properties onto record `id` (0: a new record) of the
    // open database `db`, with the message box for a failed write.
    static void WriteRecord(intptr_t db, uint32_t id, const HiScoreRecord& r);
    // The message boxes for a failed record write and a failed open.
    static void ReportWriteError(uint32_t error);
    static void ReportOpenError(uint32_t error);
};
