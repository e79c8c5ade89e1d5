#include "persist/prop_list.h"

void PropList::Insert(int position, const CCeDbProp& prop) {
    if (position < 0) position = 0;
    if (position > count) position = count;
    // A new array one longer: the ones before, the new one, the ones after.
    auto* grown = new CCeDbProp[count + 1];
    for (int i = 0; i < position; ++i) grown[i] = items[i];
    grown[position] = prop;
    for (int i = position; i < count; ++i) grown[i + 1] = items[i];
    delete[] items;
    items = grown;
    ++count;
}

void PropList::Clear() {
    delete[] items;
    items = nullptr;
    count = 0;
}
