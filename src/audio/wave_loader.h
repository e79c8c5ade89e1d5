// Reads a RIFF wave resource (8-bit mono PCM) into a SoundRequest without copying: the
// request points into the resource bytes.
#pragma once

#include <cstdint>
#include <span>

#include "audio/sound_request.h"

// Fills rate, length and data of the request from the wave bytes; leaves the request
// empty and answers false for anything it cannot play safely.
bool LoadWave(std::span<const uint8_t> bytes, SoundRequest& request);

// The same for the "WAVE" resource with this id; false when it is missing or unusable.
bool LoadWaveResource(int id, SoundRequest& request);
