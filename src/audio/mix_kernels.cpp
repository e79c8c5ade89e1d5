#include "audio/mix_kernels.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#define TALLREED_X86 1
#include <immintrin.h>
#endif

namespace mixk {

namespace {

inline uint8_t ToByte(int32_t acc) {
    return static_cast<uint8_t>(std::clamp(acc >> 7, -128, 127) + 128);
}

void GatherScalar(const int8_t* data, uint32_t pos, uint32_t step, uint32_t count, int8_t* out) {
    for (uint32_t i = 0; i < count; ++i) {
        out[i] = data[pos >> 8];
        pos += step;
    }
}

#ifdef TALLREED_X86
// Several frames at a time with one byte shuffle: frame i of a block reads byte
// ((pos & 255) + i x step) >> 8 of the 16 bytes starting at pos >> 8, which holds while
// 255 + (block - 1) x step < 4096: blocks of 16 up to step 256, of 8 up to step 548.
__attribute__((target("ssse3"))) uint32_t GatherShuffle(const int8_t* data, uint32_t readable,
                                                        uint32_t pos, uint32_t step, uint32_t count,
                                                        int8_t* out) {
    const int16_t s = static_cast<int16_t>(step);
    const __m128i lo = _mm_setr_epi16(0, s, 2 * s, 3 * s, 4 * s, 5 * s, 6 * s, 7 * s);
    uint32_t i = 0;
    if (step <= 256) {
        const __m128i hi = _mm_add_epi16(lo, _mm_set1_epi16(static_cast<int16_t>(8 * s)));
        while (i < count && (pos >> 8) + 16 <= readable) {
            const __m128i frac = _mm_set1_epi16(static_cast<int16_t>(pos & 255));
            const __m128i a = _mm_srli_epi16(_mm_add_epi16(lo, frac), 8);
            const __m128i b = _mm_srli_epi16(_mm_add_epi16(hi, frac), 8);
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + (pos >> 8)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                             _mm_shuffle_epi8(bytes, _mm_packus_epi16(a, b)));
            pos += 16 * step;
            i += 16;
        }
    } else {
        while (i < count && (pos >> 8) + 16 <= readable) {
            const __m128i frac = _mm_set1_epi16(static_cast<int16_t>(pos & 255));
            const __m128i a = _mm_srli_epi16(_mm_add_epi16(lo, frac), 8);
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + (pos >> 8)));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i),
                             _mm_shuffle_epi8(bytes, _mm_packus_epi16(a, a)));
            pos += 8 * step;
            i += 8;
        }
    }
    // The last block may have written a few bytes past count (the caller's room).
    return std::min(i, count);
}

// Four tracks, sixteen frames at a time: the bytes of two tracks interleaved meet their
// two volumes in one multiply-add of byte pairs, which cannot saturate here (two
// products of at most 128 x 64).
__attribute__((target("ssse3"))) void AddFourStereo(const int8_t* const* g, const int16_t* leftVol,
                                                    const int16_t* rightVol, int32_t* left,
                                                    int32_t* right, uint32_t blocks) {
    auto pair = [](int16_t a, int16_t b) {
        return _mm_set1_epi16(static_cast<int16_t>((a & 0xFF) | (b & 0xFF) << 8));
    };
    const __m128i l01 = pair(leftVol[0], leftVol[1]), l23 = pair(leftVol[2], leftVol[3]);
    const __m128i r01 = pair(rightVol[0], rightVol[1]), r23 = pair(rightVol[2], rightVol[3]);
    const __m128i zero = _mm_setzero_si128();
    auto add32 = [&](int32_t* acc, __m128i sum16) {
        __m128i* a = reinterpret_cast<__m128i*>(acc);
        _mm_storeu_si128(a, _mm_add_epi32(_mm_loadu_si128(a),
                                          _mm_srai_epi32(_mm_unpacklo_epi16(zero, sum16), 16)));
        _mm_storeu_si128(a + 1, _mm_add_epi32(_mm_loadu_si128(a + 1),
                                              _mm_srai_epi32(_mm_unpackhi_epi16(zero, sum16), 16)));
    };
    for (uint32_t i = 0; i < blocks * 16; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g[0] + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g[1] + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g[2] + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g[3] + i));
        const __m128i ab0 = _mm_unpacklo_epi8(a, b), ab1 = _mm_unpackhi_epi8(a, b);
        const __m128i cd0 = _mm_unpacklo_epi8(c, d), cd1 = _mm_unpackhi_epi8(c, d);
        add32(left + i, _mm_add_epi16(_mm_maddubs_epi16(l01, ab0), _mm_maddubs_epi16(l23, cd0)));
        add32(left + i + 8,
              _mm_add_epi16(_mm_maddubs_epi16(l01, ab1), _mm_maddubs_epi16(l23, cd1)));
        add32(right + i, _mm_add_epi16(_mm_maddubs_epi16(r01, ab0), _mm_maddubs_epi16(r23, cd0)));
        add32(right + i + 8,
              _mm_add_epi16(_mm_maddubs_epi16(r01, ab1), _mm_maddubs_epi16(r23, cd1)));
    }
}

bool HasShuffle() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// The vector sums below are 16 bits wide, enough for four tracks at volumes 0..64; other
// volumes take the plain loops, whose sums are 32 bits wide.
bool VectorVolumes(const int16_t* vol, int tracks) {
    return std::all_of(vol, vol + tracks, [](int16_t v) { return v >= 0 && v <= 64; });
}
#endif

}  // namespace

void GatherBytes(const int8_t* data, uint32_t readable, uint32_t pos, uint32_t step, uint32_t count,
                 int8_t* out) {
    uint32_t done = 0;
#ifdef TALLREED_X86
    if (step <= 548 && HasShuffle()) done = GatherShuffle(data, readable, pos, step, count, out);
#else
    (void)readable;
#endif
    GatherScalar(data, pos + done * step, step, count - done, out + done);
}

void AddTracks(const int8_t* const* g, const int16_t* vol, int tracks, int32_t* acc,
               uint32_t frames) {
    uint32_t i = 0;
#ifdef TALLREED_X86
    // Products and their sum fit 16 bits (4 x 128 x 64 = 32768 only as -32768).
    const __m128i zero = _mm_setzero_si128();
    const uint32_t vectorFrames = VectorVolumes(vol, tracks) ? frames : 0;
    for (; i + 16 <= vectorFrames; i += 16) {
        __m128i sumLo = zero, sumHi = zero;
        for (int k = 0; k < tracks; ++k) {
            const __m128i v = _mm_set1_epi16(vol[k]);
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g[k] + i));
            // Sign-extend the bytes to 16 bits: put each in the high half, shift back.
            const __m128i lo = _mm_srai_epi16(_mm_unpacklo_epi8(zero, b), 8);
            const __m128i hi = _mm_srai_epi16(_mm_unpackhi_epi8(zero, b), 8);
            sumLo = _mm_add_epi16(sumLo, _mm_mullo_epi16(lo, v));
            sumHi = _mm_add_epi16(sumHi, _mm_mullo_epi16(hi, v));
        }
        __m128i* a = reinterpret_cast<__m128i*>(acc + i);
        const __m128i w0 = _mm_srai_epi32(_mm_unpacklo_epi16(zero, sumLo), 16);
        const __m128i w1 = _mm_srai_epi32(_mm_unpackhi_epi16(zero, sumLo), 16);
        const __m128i w2 = _mm_srai_epi32(_mm_unpacklo_epi16(zero, sumHi), 16);
        const __m128i w3 = _mm_srai_epi32(_mm_unpackhi_epi16(zero, sumHi), 16);
        _mm_storeu_si128(a, _mm_add_epi32(_mm_loadu_si128(a), w0));
        _mm_storeu_si128(a + 1, _mm_add_epi32(_mm_loadu_si128(a + 1), w1));
        _mm_storeu_si128(a + 2, _mm_add_epi32(_mm_loadu_si128(a + 2), w2));
        _mm_storeu_si128(a + 3, _mm_add_epi32(_mm_loadu_si128(a + 3), w3));
    }
#endif
    for (; i < frames; ++i) {
        int32_t sum = 0;
        for (int k = 0; k < tracks; ++k) sum += g[k][i] * vol[k];
        acc[i] += sum;
    }
}

namespace {

#ifdef TALLREED_X86
template <int N>
void AddStereoBlocks(const int8_t* const* g, const int16_t* leftVol, const int16_t* rightVol,
                     int32_t* left, int32_t* right, uint32_t blocks) {
    const __m128i zero = _mm_setzero_si128();
    __m128i lv[N], rv[N];
    for (int k = 0; k < N; ++k) {
        lv[k] = _mm_set1_epi16(leftVol[k]);
        rv[k] = _mm_set1_epi16(rightVol[k]);
    }
    for (uint32_t i = 0; i < blocks * 8; i += 8) {
        __m128i sumL = zero, sumR = zero;
        for (int k = 0; k < N; ++k) {
            const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(g[k] + i));
            const __m128i s = _mm_srai_epi16(_mm_unpacklo_epi8(zero, b), 8);
            sumL = _mm_add_epi16(sumL, _mm_mullo_epi16(s, lv[k]));
            sumR = _mm_add_epi16(sumR, _mm_mullo_epi16(s, rv[k]));
        }
        __m128i* l = reinterpret_cast<__m128i*>(left + i);
        __m128i* r = reinterpret_cast<__m128i*>(right + i);
        _mm_storeu_si128(l, _mm_add_epi32(_mm_loadu_si128(l),
                                          _mm_srai_epi32(_mm_unpacklo_epi16(zero, sumL), 16)));
        _mm_storeu_si128(l + 1, _mm_add_epi32(_mm_loadu_si128(l + 1),
                                              _mm_srai_epi32(_mm_unpackhi_epi16(zero, sumL), 16)));
        _mm_storeu_si128(r, _mm_add_epi32(_mm_loadu_si128(r),
                                          _mm_srai_epi32(_mm_unpacklo_epi16(zero, sumR), 16)));
        _mm_storeu_si128(r + 1, _mm_add_epi32(_mm_loadu_si128(r + 1),
                                              _mm_srai_epi32(_mm_unpackhi_epi16(zero, sumR), 16)));
    }
}
#endif

}  // namespace

void AddTracksStereo(const int8_t* const* g, const int16_t* leftVol, const int16_t* rightVol,
                     int tracks, int32_t* left, int32_t* right, uint32_t frames) {
    uint32_t i = 0;
#ifdef TALLREED_X86
    // Products and their sum fit 16 bits (4 x 128 x 64 = 32768 only as -32768).
    const bool vector = VectorVolumes(leftVol, tracks) && VectorVolumes(rightVol, tracks);
    if (vector && tracks == 4 && HasShuffle()) {
        i = frames / 16 * 16;
        AddFourStereo(g, leftVol, rightVol, left, right, frames / 16);
    } else if (vector) {
        i = frames / 8 * 8;
        const uint32_t blocks = frames / 8;
        switch (tracks) {
            case 1:
                AddStereoBlocks<1>(g, leftVol, rightVol, left, right, blocks);
                break;
            case 2:
                AddStereoBlocks<2>(g, leftVol, rightVol, left, right, blocks);
                break;
            case 3:
                AddStereoBlocks<3>(g, leftVol, rightVol, left, right, blocks);
                break;
            case 4:
                AddStereoBlocks<4>(g, leftVol, rightVol, left, right, blocks);
                break;
            default:
                i = 0;
                break;
        }
    }
#endif
    for (; i < frames; ++i) {
        int32_t sumL = 0, sumR = 0;
        for (int k = 0; k < tracks; ++k) {
            sumL += g[k][i] * leftVol[k];
            sumR += g[k][i] * rightVol[k];
        }
        left[i] += sumL;
        right[i] += sumR;
    }
}

void FlipTopBits(int8_t* p, uint32_t count) {
    uint32_t i = 0;
#ifdef TALLREED_X86
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    for (; i + 16 <= count; i += 16) {
        __m128i* q = reinterpret_cast<__m128i*>(p + i);
        _mm_storeu_si128(q, _mm_xor_si128(_mm_loadu_si128(q), flip));
    }
#endif
    for (; i < count; ++i) p[i] = static_cast<int8_t>(p[i] ^ 0x80);
}

void ToStereoBytes(const int32_t* left, const int32_t* right, uint8_t* out, uint32_t frames) {
    uint32_t i = 0;
#ifdef TALLREED_X86
    // Saturating packs clamp exactly to -128..127; flipping the top bit adds 128.
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    for (; i + 8 <= frames; i += 8) {
        const __m128i l = _mm_packs_epi32(
            _mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(left + i)), 7),
            _mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(left + i + 4)), 7));
        const __m128i r = _mm_packs_epi32(
            _mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(right + i)), 7),
            _mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(right + i + 4)), 7));
        const __m128i lr = _mm_xor_si128(
            _mm_packs_epi16(_mm_unpacklo_epi16(l, r), _mm_unpackhi_epi16(l, r)), flip);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), lr);
    }
#endif
    for (; i < frames; ++i) {
        out[2 * i] = ToByte(left[i]);
        out[2 * i + 1] = ToByte(right[i]);
    }
}

void ToMonoBytes(const int32_t* left, uint8_t* out, uint32_t frames) {
    for (uint32_t i = 0; i < frames; ++i) out[i] = ToByte(left[i]);
}

}  // namespace mixk
