#include "graphics/blitters.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "graphics_test_util.h"
#include "platform/platform.h"

namespace {

using gtest_util::expectPixels;
using gtest_util::fillWith;

// The 8-bit channel rules written out the long way, as the reference for the fast forms.
constexpr auto R8 = [](uint16_t p) { return (p >> 8) & 0xF8; };
constexpr auto G8 = [](uint16_t p) { return (p >> 3) & 0xFC; };
constexpr auto B8 = [](uint16_t p) { return (p << 3) & 0xFF; };
constexpr auto pack = [](int r, int g, int b) {
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
};
uint16_t referenceMix(uint16_t a, uint16_t b) {
    return pack((R8(a) + R8(b)) / 2, (G8(a) + G8(b)) / 2, (B8(a) + B8(b)) / 2);
}

TEST(PixelRules, MixAndGrey) {
    const uint16_t mixes[][3] = {
        {0xFFFF, 0, 0x7BEF}, {0xF800, 0x001F, 0x780F}, {0x841, 0x841, 0x841}};
    for (const auto& [a, b, mix] : mixes) EXPECT_EQ(mixPixel(a, b), mix) << std::hex << a;
    std::mt19937 rng(1);
    for (int i = 0; i < 200000; ++i) {
        const uint16_t a = static_cast<uint16_t>(rng()), b = static_cast<uint16_t>(rng());
        ASSERT_EQ(mixPixel(a, b), referenceMix(a, b)) << std::hex << a << " " << b;
    }
    const uint16_t greys[][2] = {{0xFFFF, 0xBDD7}, {0xF800, 0x39E7}, {0, 0}, {0x07E0, 0x39E7}};
    for (const auto& [in, out] : greys) EXPECT_EQ(greyPixel(in), out) << std::hex << in;
    Bitmap b(3, 2);  // the whole-bitmap form converts every pixel
    const uint16_t px[6] = {0xFFFF, 0xF800, 0x0000, 0x07E0, 0x001F, 0x8410};
    fillWith(b, [&](int x, int y) { return px[x + 3 * y]; });
    greyBitmap(b);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(b.at(i % 3, i / 3), greyPixel(px[i])) << i;
}

// Every block blitter at every width against the rules pixel by pixel; the soft edge
// half-mixes a pixel whose key-ness differs from the one above, except in the top row.
// Each source is drawn three times over fresh screens: pixel by pixel, then (when the
// block is the whole picture) through the run table the soft-edged copy makes for an
// unchanged picture, then through it again. The sources range from speckled to mostly
// transparent like the ducks.
TEST(Primitives, BlocksOfAnyWidthFollowThePixelRulesIncludingTheSoftEdge) {
    std::mt19937 rng(21);
    const uint16_t key = 0xF81F;
    for (int round = 0; round < 90; ++round) {
        const int w = 1 + static_cast<int>(rng() % 37), h = 1 + static_cast<int>(rng() % 9);
        const bool whole = round % 2 == 0;
        Bitmap src(whole ? w : w + 3, whole ? h : h + 2), bg(w + 5, h + 4);
        // Speckled with a third or a half of key pixels, or a disc on a key background.
        const int cx = w / 2, cy = h / 2, rr = (w * w + h * h) / 16;
        fillWith(src, [&](int x, int y) -> uint32_t {
            if (round % 3 == 0) return rng() % 3 == 0 ? key : rng();
            if (round % 3 == 1) return rng() % 2 == 0 ? key : rng();
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) > rr ? key : rng();
        });
        fillWith(bg, [&](int, int) { return rng(); });
        const int left = whole ? 0 : static_cast<int>(rng() % 3);
        const int top = whole ? 0 : static_cast<int>(rng() % 2);
        const Rect block{left, top, left + w, top + h};
        const int dx = 3, dy = 2, W = bg.width, H = bg.height;
        for (int pass = 0; pass < 3; ++pass) {
            Bitmap out[5] = {{W, H}, {W, H}, {W, H}, {W, H}, {W, H}};
            for (Bitmap& o : out) copyRect(bg, o, 0, 0, Rect{0, 0, W, H});
            copyRect(src, out[0], dx, dy, block);
            mixRect(src, out[1], dx, dy, block);
            keyedCopyRect(src, out[2], dx, dy, block, key);
            keyedMixRect(src, out[3], dx, dy, block, key);
            keyedSoftRect(src, out[4], dx, dy, block, key);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const uint16_t d = bg.at(x, y);
                    const int sx = x - dx + block.left, sy = y - dy + block.top;
                    const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
                    const uint16_t p = inside ? src.at(sx, sy) : 0;
                    const bool isKey = p == key;
                    const bool edge =
                        inside && sy > block.top && isKey != (src.at(sx, sy - 1) == key);
                    const uint16_t mix = referenceMix(p, d), keyed = isKey ? d : p;
                    const uint16_t want[5] = {p, mix, keyed, isKey ? d : mix, edge ? mix : keyed};
                    for (int k = 0; k < 5; ++k)
                        ASSERT_EQ(out[k].at(x, y), inside ? want[k] : d)
                            << "blitter " << k << " pass " << pass << " width " << w << " at " << x
                            << "," << y;
                }
        }
    }
}

// A sprite drawn soft-edged again and again, changed in between in each way the program
// writes pixels, and drawn with another key: every draw shows the pixels as they are
// now, as a fresh copy of them drawn pixel by pixel does.
TEST(Primitives, KeyedDrawsFollowEveryChangeOfTheirPicture) {
    const uint16_t bg = 0x1111;
    Bitmap sprite(12, 6), screen(16, 9);
    fillWith(sprite, [](int x, int y) { return x > 3 && x < 9 && y > 1 ? 0x7000 + x : 0; });
    auto draw = [&](const Bitmap& b, uint16_t key, Bitmap& onto) {
        fillBitmap(onto, bg);
        keyedSoftRect(b, onto, 2, 1, Rect{0, 0, 12, 6}, key);
    };
    auto expectAsFresh = [&](uint16_t key, const char* what) {
        Bitmap fresh(12, 6), expected(16, 9);
        copyRect(sprite, fresh, 0, 0, Rect{0, 0, 12, 6});
        draw(fresh, key, expected);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(screen.at(x, y), expected.at(x, y)) << what << " at " << x << "," << y;
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"set", [&] { sprite.set(1, 4, 0x0ABC); }},
        {"row", [&] { sprite.row(5)[10] = 0x0DEF; }},
        {"byte-wise fill", [&] { fillBitmap(sprite, 0x2323); }},
        {"copy into it",
         [&] {
             copyRect(screen, sprite, 0, 0, Rect{0, 0, 12, 6});
         }},
        {"fill", [&] { fillBitmap(sprite, 0); }},
    };
    for (const auto& [what, change] : changes) {
        for (int i = 0; i < 3; ++i) draw(sprite, 0, screen);
        change();
        draw(sprite, 0, screen);
        expectAsFresh(0, what);
    }
    sprite.set(5, 5, 0x0F0F);
    for (int i = 0; i < 3; ++i) draw(sprite, 0, screen);
    draw(sprite, 0x0F0F, screen);  // another key: another table
    expectAsFresh(0x0F0F, "another key");
}

TEST(Primitives, AlphaZeroLeavesOneCopiesOthersFollowTheChannelRule) {
    const uint16_t key = 0x0000, bg = 0x4A69;
    const uint16_t px[4] = {0xFFFF, key, 0x8410, 0x1234};
    Bitmap src(4, 1);
    fillWith(src, [&](int x, int) { return px[x]; });
    for (float alpha : {0.0f, 1.0f, 0.3f}) {
        Bitmap dst(4, 1);
        fillBitmap(dst, bg);
        keyedAlphaRect(src, dst, 0, 0, Rect{0, 0, 4, 1}, key, alpha);
        auto ch = [alpha](int s, int d) {
            return static_cast<int>(static_cast<double>(static_cast<float>(s) * alpha) +
                                    d * (1.0 - alpha));
        };
        for (int i = 0; i < 4; ++i) {
            uint16_t want =
                pack(ch(R8(px[i]), R8(bg)), ch(G8(px[i]), G8(bg)), ch(B8(px[i]), B8(bg)));
            if (alpha == 0.0f || i == 1) want = bg;
            if (alpha == 1.0f && i != 1) want = px[i];
            EXPECT_EQ(dst.at(i, 0), want) << alpha << " " << i;
        }
        // White at 0.3 over 0x4A69: 248 * 0.3 + 72 * 0.7 = 124.8 and 128.8 truncate.
        EXPECT_TRUE(alpha != 0.3f || dst.at(0, 0) == pack(124, 128, 124));
    }
}

TEST(WholeBitmap, FillReachesEveryPixelAndOnlyTheBytesItShould) {
    // {width, colour, whether a byte-wise fill may cover the row padding too}
    const int cases[][3] = {{20, 0, 1}, {20, 0x1234, 0}, {16, 0x1234, 0}, {13, 0xABAB, 1}};
    for (const auto& [width, colour, paddingFilled] : cases) {
        const int h = 3, stride = width * 2 + 4;
        std::vector<uint8_t> mem(static_cast<size_t>(stride) * h, 0x5C);
        Bitmap b(reinterpret_cast<uint16_t*>(mem.data()), width, h, stride);
        fillBitmap(b, static_cast<uint16_t>(colour));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < width; ++x) ASSERT_EQ(b.at(x, y), colour) << width;
            for (int k = width * 2; k < stride; ++k)
                EXPECT_EQ(mem[y * stride + k], paddingFilled ? (colour & 0xFF) : 0x5C)
                    << "width " << width << " colour " << std::hex << colour;
        }
    }
}

TEST(WholeBitmap, DissolveStepOneCopiesTheRowOtherStepsFollowTheRandomRoutine) {
    Bitmap src(240, 3), dst(240, 3);
    fillWith(src, [](int x, int y) { return 1000 + x + y * 240; });
    copyRowDissolve(src, dst, 1, 1);
    for (int x = 0; x < 240; ++x)
        ASSERT_TRUE(dst.at(x, 1) == src.at(x, 1) && dst.at(x, 0) == 0 && dst.at(x, 2) == 0) << x;
    // Step 7: ceil(240 / 7) = 35 random columns, in the order the routine gives them.
    platform::seedRandom(99);
    std::vector<bool> expected(240, false);
    for (int i = 0; i < 35; ++i) expected[platform::nextRandom() % 240] = true;
    const int after = platform::nextRandom();
    platform::seedRandom(99);
    copyRowDissolve(src, dst, 2, 7);
    EXPECT_EQ(platform::nextRandom(), after) << "took a different number of random values";
    for (int x = 0; x < 240; ++x) EXPECT_EQ(dst.at(x, 2), expected[x] ? src.at(x, 2) : 0) << x;
    Bitmap narrowSrc(10, 1), narrow(10, 1);  // stays inside a narrow bitmap
    fillBitmap(narrowSrc, 7);
    for (int i = 0; i < 100; ++i) copyRowDissolve(narrowSrc, narrow, 0, 2);
    copyRowDissolve(narrowSrc, narrow, 5, 2);  // no such row
    copyRowDissolve(narrowSrc, narrow, 0, 0);  // no such step
    for (int x = 0; x < 10; ++x) EXPECT_TRUE(narrow.at(x, 0) == 0 || narrow.at(x, 0) == 7);
}

TEST(WholeBitmap, RotationTurnsByTheStoredStepPatternAndStaysInside) {
    Bitmap src(180, 180);
    auto S = [](int x, int y) { return static_cast<uint16_t>(1 + x + 180 * y); };
    fillWith(src, S);
    const Rect square{30, 70, 210, 250};
    Bitmap zero(240, 320), half(240, 320), quarter(240, 320), small(100, 100);
    rotateInto(src, zero, square, 0.0);  // zero degrees turns a quarter
    rotateInto(src, half, square, 180.0);
    rotateInto(src, quarter, square, 90.0);
    for (int d = 0; d < 180; ++d)
        for (int i = 0; i < 180; ++i) {
            ASSERT_EQ(zero.at(30 + i, 70 + d), S(d, 179 - i)) << i << "," << d;
            if (d < 178 && i >= 2) {  // a half turn is the mirror shifted by two
                ASSERT_EQ(half.at(30 + i, 70 + d), S(177 - d, i - 2)) << i << "," << d;
            }
            if (d >= 10 && d < 170 && i >= 10 && i < 170) {  // a quarter turn fills the inside
                ASSERT_NE(quarter.at(30 + i, 70 + d), 0) << i << "," << d;
            }
        }
    expectPixels(zero, {{29, 100, 0}, {210, 100, 0}});
    // Wider than the bitmap: nothing may land outside it (the sanitizer build checks).
    for (double angle : {0.0, 45.0, 90.0, 137.5, 180.0})
        rotateInto(src, small, Rect{-40, -40, 160, 160}, angle);
}

class ImageDrawing : public gtest_util::HeadlessTest {};

TEST_F(ImageDrawing, DrawsIntoTheCurrentTargetAndGrabsBack) {
    Bitmap target(20, 10);
    Bitmap* saved = currentTarget;
    currentTarget = &target;
    Image* img = image(4, 3, [](int x, int y) { return 100 + x + 10 * y; });
    drawOpaque(*img, 2, 5);
    drawOpaque(*img, 18, 0);  // half off the right edge
    expectPixels(target, {{2, 5, 100}, {5, 7, 123}, {19, 0, 101}});
    Image back;
    back.createBlank(4, 3);
    grab(back, 2, 5);
    EXPECT_EQ(back.pixel(3, 2), 123);
    // A part reaching past the picture draws only what the picture has.
    fillBitmap(target, 7);
    drawOpaquePart(*img, 0, 0, Rect{1, 1, 9, 9});
    expectPixels(target, {{0, 0, 111}, {2, 1, 123}, {3, 0, 7}, {0, 2, 7}, {0, 9, 7}});
    fillBitmap(target, 0);
    drawKeyedByOwnPixel(*img, 0, 0, 1, 0);  // key = its pixel (1, 0) = 101
    expectPixels(target, {{0, 0, 100}, {1, 0, 0}});
    currentTarget = nullptr;
    back.bitmap->set(0, 0, 9);
    grab(back, 0, 0);  // no target: nothing happens
    EXPECT_EQ(back.pixel(0, 0), 9);
    currentTarget = saved;
}

TEST_F(ImageDrawing, BlitImageClipsAgainstTheDestinationImage) {
    Image* src = image(4, 4, [](int x, int y) { return x == y ? 0xFFFF : 1 + x + 4 * y; });
    Image dst, keyed;
    dst.createBlank(6, 5);
    blitImage(*src, dst, -2, 3, false, 0, false);
    // Columns 2..3 and rows 0..1 of the source land at (0..1, 3..4).
    expectPixels(*dst.bitmap, {{0, 3, 3}, {1, 4, 8}, {2, 3, 0}, {0, 2, 0}});
    keyed.createBlank(4, 4);
    fillBitmap(*keyed.bitmap, 0x0020);
    blitImage(*src, keyed, 0, 0, true, 0xFFFF, false);
    expectPixels(*keyed.bitmap, {{1, 1, 0x0020}, {1, 2, 1 + 1 + 8}});  // key skipped, no soft edge
    blitImage(*src, keyed, 0, 0, false, 0, true);
    EXPECT_EQ(keyed.pixel(1, 1), referenceMix(0xFFFF, 0x0020));
    blitImage(*src, dst, 6, 0, false, 0, false);  // entirely outside: nothing
    blitImage(*src, dst, -4, 0, false, 0, false);
    EXPECT_EQ(dst.pixel(5, 0) + dst.pixel(0, 0), 0);
}

}  // namespace
