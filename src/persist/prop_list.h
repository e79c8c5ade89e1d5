// A growable array of properties: the five that make one score record.
#pragma once

#include "persist/ce_db_prop.h"

class PropList {
  public:
    PropList() = default;
    ~PropList() { Clear(); }
    PropList(const PropList&) = delete;
    PropList& operator=(const PropList&) = delete;

    // Inserts a copy at `position` (clamped to 0..count).
    void Insert(int position, const CCeDbProp& prop);
    void Clear();

    int Count() const { return count; }
    const CCeDbProp& operator[](int i) const { return items[i]; }

    CCeDbProp* items = nullptr;
    int count = 0;
};
