// The inner loops of the mixer, kept apart so that they can use the processor's vector
// instructions where it has them and plain loops elsewhere, with the same results.
#pragma once

#include <cstdint>

namespace mixk {

// out[i] = data[(pos + i x step) >> 8] for i < count. The caller makes sure that every
// such index exists; `readable` is how many bytes from data on may be touched at all
// (vector blocks load whole windows of 16 and pick their bytes from them). `out` must
// have room for 16 bytes more than count.
void GatherBytes(const int8_t* data, uint32_t readable, uint32_t pos, uint32_t step, uint32_t count,
                 int8_t* out);

// acc[i] += sum over k < tracks of g[k][i] x vol[k], for at most four tracks. Volumes
// 0..64 (the sum then fits 16 bits) take the vector instructions; any others are summed
// in 32 bits.
void AddTracks(const int8_t* const* g, const int16_t* vol, int tracks, int32_t* acc,
               uint32_t frames);

// The same for two accumulators at once, with a volume each per track.
void AddTracksStereo(const int8_t* const* g, const int16_t* leftVol, const int16_t* rightVol,
                     int tracks, int32_t* left, int32_t* right, uint32_t frames);

// p[i] ^= 0x80: unsigned 8-bit samples to signed values.
void FlipTopBits(int8_t* p, uint32_t count);

// Final bytes: (acc >> 7) clamped to -128..127, + 128; stereo interleaves left, right.
void ToStereoBytes(const int32_t* left, const int32_t* right, uint8_t* out, uint32_t frames);
void ToMonoBytes(const int32_t* left, uint8_t* out, uint32_t frames);

}  // namespace mixk
