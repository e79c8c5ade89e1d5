// The tools' PNG reader: bytes in memory read as the file does, and a header that
// claims a picture far larger than any of ours is refused before anything is allocated.
#include "platform/png_io.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

uint32_t crc32(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void putBig(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

TEST(PngReader, ReadsFromMemoryAsFromAFileAndRefusesHugeClaims) {
    char tmpl[] = "/tmp/tallreed-png-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string file = std::string(tmpl) + "/p.png";
    std::vector<uint8_t> rgb(7 * 5 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 37);
    ASSERT_TRUE(platform::writePngRGB(file, 7, 5, rgb));
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    int w = 0, h = 0;
    std::vector<uint8_t> back;
    std::string error;
    ASSERT_TRUE(platform::decodePngRGB(bytes, w, h, back, error)) << error;
    EXPECT_EQ(std::pair(w, h), std::pair(7, 5));
    EXPECT_EQ(back, rgb);

    // IHDR follows the 8-byte signature: length, "IHDR", width, height, ..., CRC.
    const std::pair<uint32_t, uint32_t> claims[] = {{100000, 1}, {1, 100000}, {8192, 8192}};
    for (const auto& [cw, ch] : claims) {
        std::vector<uint8_t> huge = bytes;
        putBig(huge, 16, cw);
        putBig(huge, 20, ch);
        putBig(huge, 29, crc32(huge.data() + 12, 17));
        error.clear();
        EXPECT_FALSE(platform::decodePngRGB(huge, w, h, back, error)) << cw << " x " << ch;
        EXPECT_NE(error.find("too large"), std::string::npos) << error;
    }
    std::filesystem::remove_all(tmpl);
}

}  // namespace
