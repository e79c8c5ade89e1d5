// Helpers shared by the graphics tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <vector>

#include "../../tools/pctool/encoder.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "platform/headless/headless.h"
#include "platform/resource_pack.h"

namespace gtest_util {

// Lays RGB565 pixels over the pack as picture `id`; the bytes live as long as the program.
inline void providePicture(int id, const std::vector<uint16_t>& pixels) {
    static std::deque<std::vector<uint8_t>> keep;
    std::vector<uint8_t> raw;
    for (uint16_t p : pixels) raw.insert(raw.end(), {uint8_t(p & 0xFF), uint8_t(p >> 8)});
    keep.push_back(encodePicture(raw));
    platform::overrideResource("PCT", id, keep.back());
}

template <typename F>
void fillWith(Bitmap& b, F f) {
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) b.set(x, y, static_cast<uint16_t>(f(x, y)));
}

// An image of w x h whose pixels come from f(x, y).
template <typename F>
Image* makeImage(int w, int h, F f) {
    auto* img = new Image;
    img->createBlank(w, h);
    fillWith(*img->bitmap, f);
    return img;
}

inline uint16_t windowAt(int x, int y) {
    return headless::windowDevicePixels()[y * 240 + x];
}

struct Px {
    int x, y, v;
};
inline void expectPixels(const Bitmap& b, std::initializer_list<Px> px) {
    for (const Px& p : px) EXPECT_EQ(b.at(p.x, p.y), p.v) << "at " << p.x << "," << p.y;
}
inline void expectWindow(std::initializer_list<Px> px) {
    for (const Px& p : px) EXPECT_EQ(windowAt(p.x, p.y), p.v) << "at " << p.x << "," << p.y;
}

// A clean headless window and pack for every test (before the members of derived
// fixtures are made); keeps the images and sprites it made.
class HeadlessTest : public ::testing::Test {
  protected:
    HeadlessTest() {
        headless::reset(1000000);
        platform::clearResourceOverrides();
    }
    ~HeadlessTest() override { platform::clearResourceOverrides(); }
    template <typename F>
    Image* image(int w, int h, F f) {
        return images.emplace_back(makeImage(w, h, f)).get();
    }
    // A plain sprite over a w x h image of one colour.
    Sprite* solid(int x, int y, int w, int h, uint16_t colour, bool saveUnder = false) {
        Sprite* s = sprites.emplace_back(std::make_unique<Sprite>()).get();
        s->setFromImage(image(w, h, [colour](int, int) { return colour; }), x, y, saveUnder, false,
                        false, 0);
        return s;
    }
    std::vector<std::unique_ptr<Image>> images;
    std::vector<std::unique_ptr<Sprite>> sprites;
};

}  // namespace gtest_util
