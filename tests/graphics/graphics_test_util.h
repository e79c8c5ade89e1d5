// Helpers shared by the graphics tests: pictures laid over the pack, images filled
// from pixel lists, and a clean headless window for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "../../tools/pctool/encoder.h"
#include "graphics/image.h"
#include "platform/headless/headless.h"
#include "platform/resource_pack.h"

namespace gtest_util {

// Encodes RGB565 pixels as a picture resource and lays it over the pack as `id`. The
// bytes live until the end of the test program, as the overlay needs.
inline void providePicture(int id, const std::vector<uint16_t>& pixels) {
    static std::deque<std::vector<uint8_t>> keep;
    std::vector<uint8_t> raw(pixels.size() * 2);
    for (size_t i = 0; i < pixels.size(); ++i) {
        raw[2 * i] = static_cast<uint8_t>(pixels[i] & 0xFF);
        raw[2 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    }
    keep.push_back(encodePicture(raw));
    platform::overrideResource("PCT", id, keep.back());
}

// An image of w x h whose pixels come from f(x, y).
template <typename F>
Image* makeImage(int w, int h, F f) {
    auto* img = new Image;
    img->createBlank(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img->bitmap->set(x, y, static_cast<uint16_t>(f(x, y)));
    return img;
}

inline uint16_t windowAt(int x, int y) {
    return headless::windowDevicePixels()[y * 240 + x];
}

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset(1000000);
        platform::clearResourceOverrides();
    }
    void TearDown() override { platform::clearResourceOverrides(); }
};

}  // namespace gtest_util
