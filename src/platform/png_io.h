// Reading and writing 8-bit RGB PNG files (tools, snapshots).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// RGB triplets, rows from the top. False (with a message on stderr) on any error,
// and for a picture larger than 16384 pixels a side or 2^24 pixels in all.
bool readPngRGB(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb);
// The same from bytes in memory; the reason of a failure goes to `error`.
bool decodePngRGB(std::span<const uint8_t> bytes, int& width, int& height,
                  std::vector<uint8_t>& rgb, std::string& error);
bool writePngRGB(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// RGB565 <-> RGB888: channels truncated going down, widened by bit replication going up.
inline uint16_t rgbTo565(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
inline void rgbFrom565(uint16_t p, uint8_t* out) {
    const uint8_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    out[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    out[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    out[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

}  // namespace platform
