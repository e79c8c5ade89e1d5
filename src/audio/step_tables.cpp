#include "audio/step_tables.h"

#include <array>

namespace {

using Table = std::array<uint16_t, kStepTableSize>;

Table MakeTable(uint32_t rate) {
    Table t{};
    for (int p = 0; p < kStepTableSize; ++p) t[p] = ComputeStep(static_cast<uint32_t>(p), rate);
    return t;
}

}  // namespace

uint16_t ComputeStep(uint32_t period, uint32_t rate) {
    if (period == 0 || period > 1712 || rate == 0) return 0;
    // The Amiga clock 3546894.6 Hz is kept exact as tenths, so no rounding of a double
    // can move an entry across an integer.
    const uint64_t num = 35468946ull * 256;
    const uint64_t den = 10ull * period * rate;
    return static_cast<uint16_t>((num / den) & 0xFFFF);
}

const uint16_t* StepTableForRate(uint32_t rate) {
    static const Table t11 = MakeTable(11025);
    static const Table t22 = MakeTable(22050);
    static const Table t44 = MakeTable(44100);
    if (rate == 11025) return t11.data();
    if (rate == 44100) return t44.data();
    return t22.data();
}
