// Steps (24.8 fixed point, source bytes per output frame) for every Amiga period at the
// three output rates: the mixer turns a period into a step with one table read.
#pragma once

#include <cstdint>

constexpr int kStepTableSize = 1716;

// The table for 11025, 22050 or 44100 Hz; any other rate gets the 22050 Hz table.
const uint16_t* StepTableForRate(uint32_t rate);

// Entry p = floor(3546894.6 x 256 / (p x rate)) mod 65536 for p = 1..1712, else 0.
uint16_t ComputeStep(uint32_t period, uint32_t rate);
