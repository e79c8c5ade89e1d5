#include "audio/wave_loader.h"

#include "platform/platform.h"

namespace {

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
bool IsId(const uint8_t* p, const char* id) {
    return p[0] == id[0] && p[1] == id[1] && p[2] == id[2] && p[3] == id[3];
}

// The mixer keeps positions as 24.8 fixed point in 32 bits; longer sounds would wrap.
constexpr uint64_t kMaxLength = (1u << 23);

}  // namespace

bool LoadWave(std::span<const uint8_t> bytes, SoundRequest& request) {
    request.data = nullptr;
    request.rate = 0;
    request.length = 0;
    const uint8_t* const base = bytes.data();
    const uint64_t size = bytes.size();
    // RIFF header (not examined), then the "fmt " chunk with its 16-byte body.
    if (size < 12 + 8 + 16) return false;
    if (!IsId(base + 12, "fmt ")) return false;
    const uint32_t fmtSize = Le32(base + 16);
    if (fmtSize < 16) return false;
    const uint8_t* fmt = base + 20;
    const uint16_t channels = Le16(fmt + 2);
    const uint32_t rate = Le32(fmt + 4);
    const uint16_t bits = Le16(fmt + 14);
    if (bits != 8 || channels != 1) return false;
    // A rate of 0 would never advance and hold a voice for ever.
    if (rate == 0 || rate > 0xFFFF) return false;

    // Walk the chunks after "fmt " (no pad byte after odd sizes) up to "data".
    uint64_t pos = 12 + 8 + static_cast<uint64_t>(fmtSize);
    while (pos + 8 <= size) {
        const uint32_t chunkSize = Le32(base + pos + 4);
        if (IsId(base + pos, "data")) {
            // The mixer plays up to and including the byte at index length, so the chunk
            // must really hold all its bytes and at least the 8 that are not counted.
            if (pos + 8 + chunkSize > size || chunkSize < 8) return false;
            if (chunkSize - 8 >= kMaxLength) return false;
            request.rate = rate;
            request.length = chunkSize - 8;
            request.data = base + pos + 8;
            return true;
        }
        pos += 8 + static_cast<uint64_t>(chunkSize);
    }
    return false;
}

bool LoadWaveResource(int id, SoundRequest& request) {
    const std::span<const uint8_t> bytes = platform::findResource("WAVE", id);
    if (bytes.empty()) {
        request.data = nullptr;
        return false;
    }
    return LoadWave(bytes, request);
}
