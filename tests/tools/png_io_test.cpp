// The tools' PNG reader: bytes in memory read as the file does, a header that claims a
// picture far larger than any of ours is refused before anything is allocated, and a
// damaged file is named.
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

// A picture cut short (in its header or in its pixels) or not a PNG at all fails, and
// stderr names the file, so that the tool's user knows which of many it was.
TEST(PngReader, ADamagedFileFailsAndIsNamedOnStderr) {
    char tmpl[] = "/tmp/tallreed-png-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl, file = dir + "/cut.png";
    std::vector<uint8_t> rgb(16 * 16 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 131 + i / 7);
    ASSERT_TRUE(platform::writePngRGB(file, 16, 16, rgb));
    const size_t size = std::filesystem::file_size(file);
    // Cut in the pixels, cut in the header, and not a PNG at all.
    for (const size_t cut : {size / 2, size_t{20}, size_t{0}}) {
        std::filesystem::resize_file(file, cut);
        if (cut == 0) std::ofstream(file, std::ios::binary) << "GIF89a, not a picture of ours";
        int w = 0, h = 0;
        std::vector<uint8_t> back;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(platform::readPngRGB(file, w, h, back)) << cut;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.rfind(file + ": ", 0), 0u) << cut << ": " << said;
    }
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::writePngRGB(dir + "/none/p.png", 16, 16, rgb));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(dir + "/none/p.png: ", 0), 0u);
    std::filesystem::remove_all(dir);
}

}  // namespace
