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
    // Writes the ten records over the stored ones, all in one transaction, merged with
    // what another copy of the game stored meanwhile; one message box when that fails.
    void Save();
    // Empties the ten records in memory; the database changes with the next Save.
    void ClearAll();
    // Records from the first one up to the first empty one (10 when none is empty).
    int CountFilled() const;
    // Best score first; equal scores by name.
    void Sort();
    // The order Sort makes: `a` is listed before `b`.
    static bool ListedBefore(const HiScoreRecord& a, const HiScoreRecord& b);
    // False (after the message box) for an index outside 0..9.
    bool GetRecord(int index, HiScoreRecord& out) const;
    // True when the record entered the table.
    bool Insert(const HiScoreRecord& r);

    // Save in two steps, for a caller that saves more in the same transaction: Write
    // puts the (merged) table into the store and answers the first error; once the
    // transaction has been committed, Adopt makes what was written the table.
    using Records = HiScoreRecord[kRecords];
    uint32_t Write(Records& written);
    void Adopt(const Records& written);

    HiScoreRecord records[kRecords];
    char16_t nameBuffer[10] = {};
    uint32_t volumeId[4] = {};  // the object store

  private:
    static void BuildProps(const HiScoreRecord& r, PropList& list);
    // Writes one record's five properties onto record `id` (0: a new record) of the
    // open database `db`; answers the error, 0 on success.
    static uint32_t WriteRecord(intptr_t db, uint32_t id, const HiScoreRecord& r);
    // Reads up to ten records from the first one of the open database into `out`.
    static void ReadRecords(intptr_t db, Records& out);
    static void ReportOpenError(uint32_t error);

    // The table as this copy of the game last read or wrote it: what is stored beyond
    // it was saved by another copy since.
    Records seen_;
};
