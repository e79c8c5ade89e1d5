// One of the engine's eight voices for sound samples: unsigned 8-bit bytes played with a
// 24.8 fixed-point step and position.
#pragma once

#include <cstdint>

#include "audio/voice.h"

class SampleVoice : public Voice {
  public:
    const uint8_t* data = nullptr;  // 128 = silence
    uint32_t step = 0;              // source bytes per output frame, 24.8
    uint32_t position = 0;          // 24.8
    uint32_t end = 0;               // length in bytes << 8
};
