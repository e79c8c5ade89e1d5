#include "audio/module_tables.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// Finetune 0: the classic five octaves.
constexpr uint16_t kRow0[60] = {
    1712, 1616, 1525, 1440, 1357, 1281, 1209, 1141, 1077, 1017, 961, 907, 856, 808, 762,
    720,  678,  640,  604,  570,  538,  508,  480,  453,  428,  404, 381, 360, 339, 320,
    302,  285,  269,  254,  240,  226,  214,  202,  190,  180,  170, 160, 151, 143, 135,
    127,  120,  113,  107,  101,  95,   90,   85,   80,   76,   71,  67,  64,  60,  57};

// Entries of the other rows where the classic table departs from the plain rule.
struct Fixed {
    int row, note;
    uint16_t value;
};
constexpr Fixed kFixed[] = {
    {1, 0, 1699},  {1, 1, 1604},  {1, 2, 1514},  {1, 59, 56},  {7, 0, 1627}, {7, 1, 1536},
    {7, 2, 1449},  {7, 59, 54},   {8, 0, 1813},  {8, 1, 1711}, {8, 2, 1615}, {8, 59, 60},
    {15, 0, 1724}, {15, 1, 1627}, {15, 2, 1536}, {15, 59, 57},
};

struct Tables {
    std::array<uint16_t, kPeriodTableSize> periods{};
    std::array<uint16_t, kNoteIndexMapSize> noteIndex{};
    std::array<int16_t, 64> sine{};
};

Tables Build() {
    Tables t;
    for (int row = 0; row < 16; ++row) {
        const int finetune = row < 8 ? row : row - 16;
        for (int note = 0; note < 60; ++note) {
            const double e = note / 12.0 + finetune / 96.0;
            t.periods[row * 60 + note] = static_cast<uint16_t>(std::floor(1712.0 * std::exp2(-e)));
        }
    }
    for (int note = 0; note < 60; ++note) t.periods[note] = kRow0[note];
    for (const Fixed& f : kFixed) t.periods[f.row * 60 + f.note] = f.value;

    for (int p = 0; p < kNoteIndexMapSize; ++p) {
        int best = 0;
        int bestDist = 1 << 30;
        for (int i = 0; i < kPeriodTableSize; ++i) {
            const int d = std::abs(static_cast<int>(t.periods[i]) - p);
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        t.noteIndex[p] = static_cast<uint16_t>(best);
    }

    constexpr int16_t kQuarter[17] = {0,   25,  49,  74,  97,  120, 142, 162, 181,
                                      197, 212, 225, 236, 244, 251, 254, 256};
    for (int i = 0; i < 32; ++i) {
        const int16_t v = kQuarter[i <= 16 ? i : 32 - i];
        t.sine[i] = v;
        t.sine[i + 32] = static_cast<int16_t>(-v);
    }
    return t;
}

const Tables& Get() {
    static const Tables tables = Build();
    return tables;
}

}  // namespace

const uint16_t* PeriodTable() {
    return Get().periods.data();
}
const uint16_t* NoteIndexMap() {
    return Get().noteIndex.data();
}
const int16_t* SineTable() {
    return Get().sine.data();
}
