// Picture decoding against zlib's inflate of the same pixels, and the keyed blitters
// against SDL's colour-keyed blit on RGB565 surfaces (RLE on and off).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

#include "../tools/pctool/encoder.h"
#include "graphics/bitmap.h"
#include "graphics/blitters.h"
#include "graphics/picture_decoder.h"
#include "platform/platform.h"


namespace {

constexpr int kW = 240, kH = 320;
constexpr size_t kScreenBytes = kW * kH * 2;

// A full-screen panorama tile from the pack, or a picture-like stand-in.
const std::vector<uint8_t>& screenResource() {
    static const std::vector<uint8_t> res = [] {
        const auto packed = platform::findResource("PCT", 147);
        if (!packed.empty()) return std::vector<uint8_t>(packed.begin(), packed.end());
        std::mt19937 rng(3);
        std::vector<uint8_t> px;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const uint16_t p = x < 120
                                       ? static_cast<uint16_t>((x / 5) << 11 | (y / 8) << 5 | 24)
                                       : static_cast<uint16_t>(0x2A5F + (rng() % 8 == 0));
                px.push_back(static_cast<uint8_t>(p));
                px.push_back(static_cast<uint8_t>(p >> 8));
            }
        return encodePicture(px);
    }();
    return res;
}

std::vector<uint8_t> screenPixels() {
    std::vector<uint8_t> px(kScreenBytes);
    decodePictureStream(screenResource(), px.data(), px.size());
    return px;
}

void BM_DecodePicture(benchmark::State& state) {
    const std::vector<uint8_t>& res = screenResource();
    std::vector<uint8_t> out(kScreenBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodePictureStream(res, out.data(), out.size()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kScreenBytes);
    state.counters["compressed"] = static_cast<double>(res.size());
}
BENCHMARK(BM_DecodePicture);

void BM_ZlibInflate(benchmark::State& state) {
    const std::vector<uint8_t> px = screenPixels();
    uLongf packedSize = compressBound(px.size());
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, px.data(), px.size(), Z_DEFAULT_COMPRESSION);
    std::vector<uint8_t> out(kScreenBytes);
    for (auto _ : state) {
        uLongf outSize = out.size();
        benchmark::DoNotOptimize(uncompress(out.data(), &outSize, packed.data(), packedSize));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kScreenBytes);
    state.counters["compressed"] = static_cast<double>(packedSize);
}
BENCHMARK(BM_ZlibInflate);

// ---------------------------------------------------------------------------
// Blits: a 180 x 180 sprite (the emblem when packed, else a disc on a key background)
// into a 240 x 320 screen.

constexpr int kS = 180;

struct BlitScene {
    Bitmap sprite{kS, kS};
    Bitmap screen{kW, kH};
    uint16_t key = 0;
    BlitScene() {
        const auto packed = platform::findResource("PCT", 350);
        if (!packed.empty()) {
            decodePictureStream(packed, reinterpret_cast<uint8_t*>(sprite.pixels), kS * kS * 2);
        } else {
            for (int y = 0; y < kS; ++y)
                for (int x = 0; x < kS; ++x) {
                    const int dx = x - 90, dy = y - 90;
                    sprite.set(x, y,
                               dx * dx + dy * dy < 80 * 80
                                   ? static_cast<uint16_t>(0x8000 + x * 7 + y)
                                   : 0);
                }
        }
        key = sprite.at(0, 0);
        const std::vector<uint8_t> bg = screenPixels();
        std::memcpy(screen.pixels, bg.data(), bg.size());
    }
};

template <typename Blit>
void runBlit(benchmark::State& state, Blit blit) {
    BlitScene s;
    const Rect r{0, 0, kS, kS};
    for (auto _ : state) {
        blit(s, r);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kS * kS);
}

void BM_KeyedSoftCopy(benchmark::State& state) {
    runBlit(state, [](BlitScene& s, const Rect& r) {
        keyedSoftRect(s.sprite, s.screen, 30, 70, r, s.key);
    });
}
BENCHMARK(BM_KeyedSoftCopy);

void BM_KeyedMix(benchmark::State& state) {
    runBlit(state, [](BlitScene& s, const Rect& r) {
        keyedMixRect(s.sprite, s.screen, 30, 70, r, s.key);
    });
}
BENCHMARK(BM_KeyedMix);

void BM_KeyedCopy(benchmark::State& state) {
    runBlit(state, [](BlitScene& s, const Rect& r) {
        keyedCopyRect(s.sprite, s.screen, 30, 70, r, s.key);
    });
}
BENCHMARK(BM_KeyedCopy);

void BM_OpaqueCopy(benchmark::State& state) {
    runBlit(state, [](BlitScene& s, const Rect& r) { copyRect(s.sprite, s.screen, 30, 70, r); });
}
BENCHMARK(BM_OpaqueCopy);

void sdlKeyedBlit(benchmark::State& state, bool rle) {
    BlitScene s;
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(s.sprite.pixels, kS, kS, 16,
                                                          s.sprite.stride, SDL_PIXELFORMAT_RGB565);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(s.screen.pixels, kW, kH, 16,
                                                          s.screen.stride, SDL_PIXELFORMAT_RGB565);
    if (src == nullptr || dst == nullptr) {
        state.SkipWithError("SDL could not make the surfaces");
        return;
    }
    SDL_SetColorKey(src, SDL_TRUE, s.key);
    SDL_SetSurfaceRLE(src, rle ? 1 : 0);
    SDL_Rect to{30, 70, kS, kS};
    for (auto _ : state) {
        SDL_Rect d = to;
        SDL_BlitSurface(src, nullptr, dst, &d);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kS * kS);
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

void BM_SdlColorKeyBlit(benchmark::State& state) {
    sdlKeyedBlit(state, false);
}
BENCHMARK(BM_SdlColorKeyBlit);

void BM_SdlColorKeyBlitRle(benchmark::State& state) {
    sdlKeyedBlit(state, true);
}
BENCHMARK(BM_SdlColorKeyBlitRle);

}  // namespace

BENCHMARK_MAIN();
