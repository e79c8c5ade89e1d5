#include "graphics/blitters.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "graphics/image.h"
#include "graphics_test_util.h"
#include "platform/platform.h"

namespace {

// The channel rules written out the long way, to check the fast forms against.
int R8(uint16_t p) {
    return (p >> 8) & 0xF8;
}
int G8(uint16_t p) {
    return (p >> 3) & 0xFC;
}
int B8(uint16_t p) {
    return (p << 3) & 0xFF;
}
uint16_t pack(int r, int g, int b) {
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}
uint16_t referenceMix(uint16_t a, uint16_t b) {
    return pack((R8(a) + R8(b)) / 2, (G8(a) + G8(b)) / 2, (B8(a) + B8(b)) / 2);
}

void paintAll(Bitmap& b, uint16_t colour) {
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) b.set(x, y, colour);
}

TEST(PixelRules, MixAndGreyKnownValues) {
    struct Case {
        uint16_t a, b, mix;
    };
    for (const Case& c :
         {Case{0xFFFF, 0x0000, 0x7BEF}, Case{0x0000, 0xFFFF, 0x7BEF}, Case{0xF800, 0x001F, 0x780F},
          Case{0x0841, 0x0000, 0x0020}, Case{0x0841, 0x0841, 0x0841}, Case{0x1234, 0x1234, 0x1234}})
        EXPECT_EQ(mixPixel(c.a, c.b), c.mix) << std::hex << c.a << " " << c.b;

    struct Grey {
        uint16_t in, out;
    };
    for (const Grey& g : {Grey{0xFFFF, 0xBDD7}, Grey{0xF800, 0x39E7}, Grey{0x0000, 0x0000},
                          Grey{0x07E0, 0x39E7}, Grey{0x001F, 0x39E7}})
        EXPECT_EQ(greyPixel(g.in), g.out) << std::hex << g.in;
}

TEST(PixelRules, FastMixMatchesTheChannelRuleEverywhere) {
    std::mt19937 rng(1);
    for (int i = 0; i < 200000; ++i) {
        const uint16_t a = static_cast<uint16_t>(rng()), b = static_cast<uint16_t>(rng());
        ASSERT_EQ(mixPixel(a, b), referenceMix(a, b)) << std::hex << a << " " << b;
    }
}

TEST(Primitives, MixRectWhiteOverBlackAndOnlyInsideTheBlock) {
    Bitmap src(4, 4);
    paintAll(src, 0xFFFF);
    Bitmap dst(6, 6);
    paintAll(dst, 0x0000);
    mixRect(src, dst, 2, 1, Rect{1, 1, 3, 4});  // 2 x 3 block
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 4 && y >= 1 && y < 4;
            EXPECT_EQ(dst.at(x, y), inside ? 0x7BEF : 0x0000) << x << "," << y;
        }
}

TEST(Primitives, CopyAndKeyedCopiesTakeTheRightPixels) {
    const uint16_t key = 0xF81F;
    Bitmap src(3, 2);
    const uint16_t px[6] = {1, key, 3, key, 5, 6};
    for (int i = 0; i < 6; ++i) src.set(i % 3, i / 3, px[i]);

    Bitmap a(5, 4);
    paintAll(a, 0x4208);
    copyRect(src, a, 1, 1, Rect{0, 0, 3, 2});
    EXPECT_EQ(a.at(2, 1), key);  // opaque copy takes the key colour too
    EXPECT_EQ(a.at(0, 1), 0x4208);
    EXPECT_EQ(a.at(3, 2), 6);

    Bitmap b(5, 4);
    paintAll(b, 0x4208);
    keyedCopyRect(src, b, 1, 1, Rect{0, 0, 3, 2}, key);
    EXPECT_EQ(b.at(1, 1), 1);
    EXPECT_EQ(b.at(2, 1), 0x4208);
    EXPECT_EQ(b.at(1, 2), 0x4208);
    EXPECT_EQ(b.at(3, 2), 6);

    Bitmap c(5, 4);
    paintAll(c, 0xFFFF);
    keyedMixRect(src, c, 1, 1, Rect{0, 0, 3, 2}, key);
    EXPECT_EQ(c.at(1, 1), referenceMix(1, 0xFFFF));
    EXPECT_EQ(c.at(2, 1), 0xFFFF);
    EXPECT_EQ(c.at(3, 2), referenceMix(6, 0xFFFF));
}

TEST(Primitives, SoftEdgeHalfMixesTheFirstPixelOfEachRun) {
    const uint16_t key = 0x07E0, bg = 0x001F, a = 0xF800, b = 0xFFE0;
    // One column: key, opaque, opaque, key, key, opaque.
    const uint16_t column[6] = {key, a, b, key, key, a};
    Bitmap src(1, 6);
    for (int y = 0; y < 6; ++y) src.set(0, y, column[y]);
    Bitmap dst(1, 6);
    paintAll(dst, bg);
    keyedSoftRect(src, dst, 0, 0, Rect{0, 0, 1, 6}, key);
    EXPECT_EQ(dst.at(0, 0), bg);                     // key in the top row: untouched
    EXPECT_EQ(dst.at(0, 1), referenceMix(a, bg));    // opaque under key: half mixed
    EXPECT_EQ(dst.at(0, 2), b);                      // opaque under opaque: copied
    EXPECT_EQ(dst.at(0, 3), referenceMix(key, bg));  // key under opaque: key half mixed
    EXPECT_EQ(dst.at(0, 4), bg);                     // key under key: skipped
    EXPECT_EQ(dst.at(0, 5), referenceMix(a, bg));
}

TEST(Primitives, SoftEdgeTopRowOfTheBlockIsTheFirstSourceRowTaken) {
    // The block starts at source row 1: its top row copies plainly even though the
    // source row above it is the key.
    const uint16_t key = 0x0001, bg = 0x0000;
    Bitmap src(2, 3);
    src.set(0, 0, key), src.set(1, 0, key);
    src.set(0, 1, 0xAAAA), src.set(1, 1, key);
    src.set(0, 2, 0xAAAA), src.set(1, 2, 0xBBBB);
    Bitmap dst(2, 2);
    paintAll(dst, bg);
    keyedSoftRect(src, dst, 0, 0, Rect{0, 1, 2, 3}, key);
    EXPECT_EQ(dst.at(0, 0), 0xAAAA);
    EXPECT_EQ(dst.at(1, 0), bg);
    EXPECT_EQ(dst.at(0, 1), 0xAAAA);
    EXPECT_EQ(dst.at(1, 1), referenceMix(0xBBBB, bg));
}

TEST(Primitives, AlphaZeroLeavesOneCopiesHalfFollowsTheChannelRule) {
    const uint16_t key = 0x0000;
    Bitmap src(4, 1);
    const uint16_t px[4] = {0xFFFF, key, 0x8410, 0x1234};
    for (int i = 0; i < 4; ++i) src.set(i, 0, px[i]);
    const uint16_t bg = 0x4A69;

    Bitmap zero(4, 1);
    paintAll(zero, bg);
    keyedAlphaRect(src, zero, 0, 0, Rect{0, 0, 4, 1}, key, 0.0f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(zero.at(i, 0), bg);

    Bitmap one(4, 1);
    paintAll(one, bg);
    keyedAlphaRect(src, one, 0, 0, Rect{0, 0, 4, 1}, key, 1.0f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(one.at(i, 0), i == 1 ? bg : px[i]);

    Bitmap part(4, 1);
    paintAll(part, bg);
    const float alpha = 0.3f;
    keyedAlphaRect(src, part, 0, 0, Rect{0, 0, 4, 1}, key, alpha);
    for (int i : {0, 2, 3}) {
        auto ch = [alpha](int s, int d) {
            return static_cast<int>(static_cast<double>(static_cast<float>(s) * alpha) +
                                    d * (1.0 - alpha));
        };
        const uint16_t want =
            pack(ch(R8(px[i]), R8(bg)), ch(G8(px[i]), G8(bg)), ch(B8(px[i]), B8(bg)));
        EXPECT_EQ(part.at(i, 0), want) << i;
    }
    // White at 0.3 over 0x4A69: red and blue 248 * 0.3 + 72 * 0.7 = 124.8, green
    // 252 * 0.3 + 76 * 0.7 = 128.8; both truncate.
    EXPECT_EQ(part.at(0, 0), pack(124, 128, 124));
}

TEST(WholeBitmap, FillVariantsReachEveryPixelAndOnlyTheBytesTheyShould) {
    // Rows padded to 4 extra bytes, like a back buffer with an odd width.
    struct Case {
        int width;
        uint16_t colour;
        bool paddingFilled;  // the bytewise fill covers the whole memory
    };
    for (const Case& c : {Case{20, 0x0000, true}, Case{20, 0x1234, false}, Case{16, 0x1234, false},
                          Case{13, 0xABAB, true}, Case{24, 0xF800, false}}) {
        const int h = 3, stride = c.width * 2 + 4;
        std::vector<uint8_t> mem(static_cast<size_t>(stride) * h, 0x5C);
        Bitmap b(reinterpret_cast<uint16_t*>(mem.data()), c.width, h, stride);
        fillBitmap(b, c.colour);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < c.width; ++x) ASSERT_EQ(b.at(x, y), c.colour) << c.width;
            for (int k = c.width * 2; k < stride; ++k)
                EXPECT_EQ(mem[y * stride + k], c.paddingFilled ? (c.colour & 0xFF) : 0x5C)
                    << "width " << c.width << " colour " << std::hex << c.colour;
        }
    }
}

TEST(WholeBitmap, GreyConvertsEveryPixel) {
    Bitmap b(3, 2);
    const uint16_t px[6] = {0xFFFF, 0xF800, 0x0000, 0x07E0, 0x001F, 0x8410};
    for (int i = 0; i < 6; ++i) b.set(i % 3, i / 3, px[i]);
    greyBitmap(b);
    for (int i = 0; i < 6; ++i) {
        const int s = (R8(px[i]) + G8(px[i]) + B8(px[i])) >> 2;
        EXPECT_EQ(b.at(i % 3, i / 3), ((s >> 3) << 11) | ((s >> 2) << 5) | (s >> 3)) << i;
    }
}

TEST(WholeBitmap, DissolveStepOneCopiesTheRowOtherStepsFollowTheRandomRoutine) {
    Bitmap src(240, 3), dst(240, 3);
    for (int x = 0; x < 240; ++x)
        for (int y = 0; y < 3; ++y) src.set(x, y, static_cast<uint16_t>(1000 + x + y * 240));

    copyRowDissolve(src, dst, 1, 1);
    for (int x = 0; x < 240; ++x) {
        EXPECT_EQ(dst.at(x, 1), src.at(x, 1));
        EXPECT_EQ(dst.at(x, 0), 0);
        EXPECT_EQ(dst.at(x, 2), 0);
    }

    // Step 7: ceil(240 / 7) = 35 random columns, in the order the routine gives them.
    platform::seedRandom(99);
    std::vector<bool> expected(240, false);
    for (int i = 0; i < 35; ++i) expected[platform::nextRandom() % 240] = true;
    const int after = platform::nextRandom();
    platform::seedRandom(99);
    copyRowDissolve(src, dst, 2, 7);
    EXPECT_EQ(platform::nextRandom(), after) << "took a different number of random values";
    for (int x = 0; x < 240; ++x) EXPECT_EQ(dst.at(x, 2), expected[x] ? src.at(x, 2) : 0) << x;
}

TEST(WholeBitmap, DissolveOnANarrowBitmapStaysInside) {
    Bitmap src(10, 1), dst(10, 1);
    for (int x = 0; x < 10; ++x) src.set(x, 0, 7);
    platform::seedRandom(3);
    for (int i = 0; i < 100; ++i) copyRowDissolve(src, dst, 0, 2);
    copyRowDissolve(src, dst, 5, 2);  // no such row
    copyRowDissolve(src, dst, 0, 0);  // no such step
    for (int x = 0; x < 10; ++x) EXPECT_TRUE(dst.at(x, 0) == 0 || dst.at(x, 0) == 7);
}

// The keyed rules pixel by pixel, the soft edge walked column by column from the top,
// as the reference for the row-at-a-time blitters on blocks of every width.
TEST(Primitives, KeyedBlocksOfAnyWidthMatchThePixelByPixelRules) {
    std::mt19937 rng(21);
    const uint16_t key = 0xF81F;
    for (int round = 0; round < 60; ++round) {
        const int w = 1 + static_cast<int>(rng() % 37), h = 1 + static_cast<int>(rng() % 9);
        Bitmap src(w + 3, h + 2);
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x)
                src.set(x, y, rng() % 3 == 0 ? key : static_cast<uint16_t>(rng()));
        Bitmap bg(w + 5, h + 4);
        for (int y = 0; y < bg.height; ++y)
            for (int x = 0; x < bg.width; ++x) bg.set(x, y, static_cast<uint16_t>(rng()));
        const Rect r{2, 1, 2 + w, 1 + h};
        const int dx = 3, dy = 2;
        auto fresh = [&bg](Bitmap& b) {
            for (int y = 0; y < bg.height; ++y)
                for (int x = 0; x < bg.width; ++x) b.set(x, y, bg.at(x, y));
        };
        Bitmap soft(bg.width, bg.height), mixed(bg.width, bg.height), copied(bg.width, bg.height),
            plainMix(bg.width, bg.height);
        fresh(soft), fresh(mixed), fresh(copied), fresh(plainMix);
        keyedSoftRect(src, soft, dx, dy, r, key);
        keyedMixRect(src, mixed, dx, dy, r, key);
        keyedCopyRect(src, copied, dx, dy, r, key);
        mixRect(src, plainMix, dx, dy, r);
        for (int y = 0; y < bg.height; ++y)
            for (int x = 0; x < bg.width; ++x) {
                const uint16_t under = bg.at(x, y);
                const int sx = x - dx + r.left, sy = y - dy + r.top;
                const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
                if (!inside) {
                    ASSERT_EQ(soft.at(x, y), under);
                    ASSERT_EQ(mixed.at(x, y), under);
                    ASSERT_EQ(copied.at(x, y), under);
                    ASSERT_EQ(plainMix.at(x, y), under);
                    continue;
                }
                const uint16_t p = src.at(sx, sy);
                const bool isKey = p == key;
                uint16_t wantSoft;
                if (sy == r.top)
                    wantSoft = isKey ? under : p;
                else if (isKey == (src.at(sx, sy - 1) == key))
                    wantSoft = isKey ? under : p;
                else
                    wantSoft = referenceMix(p, under);
                ASSERT_EQ(soft.at(x, y), wantSoft) << "w " << w << " at " << x << "," << y;
                ASSERT_EQ(mixed.at(x, y), isKey ? under : referenceMix(p, under));
                ASSERT_EQ(copied.at(x, y), isKey ? under : p);
                ASSERT_EQ(plainMix.at(x, y), referenceMix(p, under));
            }
    }
}

class Rotation : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int y = 0; y < 180; ++y)
            for (int x = 0; x < 180; ++x) src.set(x, y, static_cast<uint16_t>(1 + x + 180 * y));
    }
    uint16_t S(int x, int y) const { return static_cast<uint16_t>(1 + x + 180 * y); }
    Bitmap src{180, 180};
    Bitmap dst{240, 320};
};

TEST_F(Rotation, ZeroDegreesTurnsAQuarterByTheStoredStepPattern) {
    rotateInto(src, dst, Rect{30, 70, 210, 250}, 0.0);
    for (int d = 0; d < 180; ++d)
        for (int i = 0; i < 180; ++i)
            ASSERT_EQ(dst.at(30 + i, 70 + d), S(d, 179 - i)) << i << "," << d;
    EXPECT_EQ(dst.at(29, 100), 0);
    EXPECT_EQ(dst.at(210, 100), 0);
}

TEST_F(Rotation, HalfTurnShowsTheShiftedMirror) {
    rotateInto(src, dst, Rect{30, 70, 210, 250}, 180.0);
    int checked = 0;
    for (int d = 0; d < 178; ++d)
        for (int i = 2; i < 180; ++i) {
            ASSERT_EQ(dst.at(30 + i, 70 + d), S(177 - d, i - 2)) << i << "," << d;
            ++checked;
        }
    EXPECT_EQ(checked, 178 * 178);
}

TEST_F(Rotation, QuarterTurnsKeepEveryPixelInsideTheDestination) {
    Bitmap small(100, 100);
    for (double angle : {0.0, 45.0, 90.0, 137.5, 180.0})
        rotateInto(src, small, Rect{-40, -40, 160, 160}, angle);  // wider than the bitmap
    // Nothing above may write outside `small` (the sanitizer build checks that); a
    // 90 degree turn fills the inside of the square with source pixels.
    rotateInto(src, dst, Rect{30, 70, 210, 250}, 90.0);
    int fromSource = 0;
    for (int d = 10; d < 170; ++d)
        for (int i = 10; i < 170; ++i) fromSource += dst.at(30 + i, 70 + d) != 0;
    EXPECT_EQ(fromSource, 160 * 160);
}

class ImageDrawing : public gtest_util::HeadlessTest {};

TEST_F(ImageDrawing, DrawsIntoTheCurrentTargetAndGrabsBack) {
    Bitmap target(20, 10);
    Bitmap* saved = currentTarget;
    currentTarget = &target;
    std::unique_ptr<Image> img(
        gtest_util::makeImage(4, 3, [](int x, int y) { return 100 + x + 10 * y; }));
    drawOpaque(*img, 2, 5);
    EXPECT_EQ(target.at(2, 5), 100);
    EXPECT_EQ(target.at(5, 7), 123);
    // Drawing half off the right edge never writes past it.
    drawOpaque(*img, 18, 0);
    EXPECT_EQ(target.at(19, 0), 101);

    Image back;
    back.createBlank(4, 3);
    grab(back, 2, 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(back.pixel(x, y), img->pixel(x, y));

    // The key may be taken from one of the image's own pixels.
    fillBitmap(target, 0);
    drawKeyedByOwnPixel(*img, 0, 0, 1, 0);  // key = 101
    EXPECT_EQ(target.at(0, 0), 100);
    EXPECT_EQ(target.at(1, 0), 0);

    currentTarget = nullptr;
    Image none;
    none.createBlank(2, 2);
    none.bitmap->set(0, 0, 9);
    grab(none, 0, 0);  // no target: nothing happens
    EXPECT_EQ(none.pixel(0, 0), 9);
    currentTarget = saved;
}

TEST_F(ImageDrawing, BlitImageClipsAgainstTheDestinationImage) {
    std::unique_ptr<Image> src(
        gtest_util::makeImage(4, 4, [](int x, int y) { return x == y ? 0xFFFF : 1 + x + 4 * y; }));
    Image dst;
    dst.createBlank(6, 5);
    blitImage(*src, dst, -2, 3, false, 0, false);
    // Columns 2..3 and rows 0..1 of the source land at (0..1, 3..4).
    EXPECT_EQ(dst.pixel(0, 3), 3);
    EXPECT_EQ(dst.pixel(1, 4), 8);
    EXPECT_EQ(dst.pixel(2, 3), 0);
    EXPECT_EQ(dst.pixel(0, 2), 0);

    Image keyed;
    keyed.createBlank(4, 4);
    fillBitmap(*keyed.bitmap, 0x0020);
    blitImage(*src, keyed, 0, 0, true, 0xFFFF, false);
    EXPECT_EQ(keyed.pixel(1, 1), 0x0020);  // key: skipped, no soft edge
    EXPECT_EQ(keyed.pixel(1, 2), 1 + 1 + 8);
    blitImage(*src, keyed, 0, 0, false, 0, true);
    EXPECT_EQ(keyed.pixel(1, 1), referenceMix(0xFFFF, 0x0020));

    // Entirely outside: nothing.
    Image untouched;
    untouched.createBlank(3, 3);
    blitImage(*src, untouched, 3, 0, false, 0, false);
    blitImage(*src, untouched, -4, 0, false, 0, false);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(untouched.pixel(x, y), 0);
}

}  // namespace
