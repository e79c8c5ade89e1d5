#include "audio/voice.h"

void Voice::SetVolume(uint32_t v) {
    volume = v < 64 ? v : 64;
    effectiveVolume = masterVolume * volume >> 6;
}
