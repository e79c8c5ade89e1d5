#include "graphics/picture_font.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "graphics_test_util.h"

namespace {

constexpr uint16_t kBackground = 0xF81F;
constexpr uint16_t kMarker = 0x0001;

// Builds a glyph strip of `width` columns in the loader's layout: positions counted
// from the strip's end, the two samples at positions 0 and 1, a marker at the start
// of every further glyph and one after the last. Glyph k's rows (outside column 0)
// hold the colour 0x100 + k.
std::vector<uint16_t> stripPixels(int width, const std::vector<int>& lengths, int& n,
                                  bool finalMarker = true) {
    int total = 0;
    for (int len : lengths) total += len;
    n = total + 4;
    std::vector<uint16_t> px(static_cast<size_t>(width) * n, kBackground);
    auto rowOf = [&n](int p) { return n - 1 - p; };
    int start = 0;
    for (size_t k = 0; k < lengths.size(); ++k) {
        if (k > 0) px[rowOf(start) * width] = kMarker;
        for (int p = start; p < start + lengths[k]; ++p)
            for (int x = 1; x < width; ++x)
                px[rowOf(p) * width + x] = static_cast<uint16_t>(0x100 + k);
        start += lengths[k];
    }
    if (finalMarker) px[rowOf(start) * width] = kMarker;
    px[rowOf(1) * width] = kMarker;  // the marker sample
    return px;
}

class FontTest : public gtest_util::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
    }
    // A font like the menu font: 44 glyphs from '0', the last one the space.
    void loadMenuLike(int width = 18) {
        lengths.clear();
        for (int k = 0; k < 44; ++k) lengths.push_back(k == 0 ? 13 : k == 43 ? 10 : 5 + k % 7);
        int n = 0;
        gtest_util::providePicture(31300, stripPixels(width, lengths, n));
        stripLength = n;
        ASSERT_TRUE(font.loadFont(31300, width, n, 48));
    }
    std::unique_ptr<SceneSurface> surface;
    PictureFont font;
    std::vector<int> lengths;
    int stripLength = 0;
};

TEST_F(FontTest, MarkerScanFindsEveryGlyphAndClearsTheMarkers) {
    loadMenuLike();
    EXPECT_EQ(font.lastIndex, 43);
    EXPECT_EQ(font.glyphHeight, 18);
    int start = 0;
    for (int k = 0; k < 44; ++k) {
        EXPECT_EQ(font.glyphs[k].start, start) << k;
        EXPECT_EQ(font.glyphs[k].length, lengths[k]) << k;
        start += lengths[k];
    }
    // Digit 0 takes the last 13 rows of the strip.
    EXPECT_EQ(stripLength - font.glyphs[0].start - font.glyphs[0].length, stripLength - 13);
    for (int y = 1; y < stripLength; ++y)
        ASSERT_EQ(font.strip->pixel(0, y), kBackground) << "marker left at row " << y;
}

TEST_F(FontTest, GlyphChoiceFollowsTheCharacterRules) {
    loadMenuLike();
    struct Case {
        char16_t c;
        int glyph;
    };
    const Case cases[] = {
        {u'0', 0},
        {u'9', 9},
        {u':', 10},
        {u'A', 17},
        {u'Z', 42},
        {u'a', 43},
        {u'z', 43},
        {u'.', 12},
        {u',', 13},
        {u'\'', 14},
        {u'(', 15},
        {u')', 16},
        // Codes 91..96 have no glyphs of their own: the lower-case shift sends them
        // six places down, onto the letters U..Z.
        {u'[', 37},
        {u'`', 42},
        {u'~', 43},
        {u' ', 43},
        {u'!', 43},
    };
    for (const Case& c : cases) {
        const Glyph g = font.glyphFor(font.indexForChar(c.c));
        EXPECT_EQ(g.start, font.glyphs[c.glyph].start) << static_cast<char>(c.c);
        EXPECT_EQ(g.length, font.glyphs[c.glyph].length) << static_cast<char>(c.c);
    }
    // The space is measured through the lower-case shift and lands on the same glyph.
    EXPECT_EQ(font.glyphFor(static_cast<uint8_t>(font.lastIndex + 6)).start, font.glyphs[43].start);
    // Only the low byte of a wide character counts.
    EXPECT_EQ(font.indexForChar(u'\u0131'), font.indexForChar(u'1'));
}

TEST_F(FontTest, AStripWithoutTheSpaceGlyphShowsItsLastLetterForEverythingBeyond) {
    // Like the game font: 42 glyphs up to Y, no final marker.
    std::vector<int> lens;
    for (int k = 0; k < 42; ++k) lens.push_back(k == 1 ? 10 : k == 2 ? 20 : 8 + k % 5);
    int n = 0;
    gtest_util::providePicture(31301, stripPixels(22, lens, n, false));
    PictureFont f;
    ASSERT_TRUE(f.loadFont(31301, 22, n, 48));
    EXPECT_EQ(f.lastIndex, 40) << "41 markers: the last glyph has no end marker";
    EXPECT_EQ(f.glyphFor(f.indexForChar(u'Z')).start, f.glyphs[40].start);
    EXPECT_EQ(f.glyphFor(f.indexForChar(u'1')).length, 10);
}

TEST_F(FontTest, NoMoreThanAHundredGlyphsAreTaken) {
    std::vector<int> lens(120, 3);
    int n = 0;
    gtest_util::providePicture(31302, stripPixels(4, lens, n));
    PictureFont f;
    ASSERT_TRUE(f.loadFont(31302, 4, n, 48));
    EXPECT_EQ(f.lastIndex, 99);
    EXPECT_EQ(f.glyphs[99].start, 297);
    EXPECT_EQ(f.glyphs[99].length, 3);
    // Characters past the table show the glyph at the last index.
    EXPECT_EQ(f.glyphFor(110).start, 297);
    EXPECT_EQ(f.glyphFor(200).start, 297);
}

TEST_F(FontTest, AStripWithoutMarkersStaysInsideItsTable) {
    std::vector<uint16_t> plain(4 * 50, kBackground);
    plain[48 * 4] = kMarker;  // the marker sample, and no marker anywhere else
    gtest_util::providePicture(31303, plain);
    PictureFont f;
    EXPECT_FALSE(f.loadFont(31303, 4, 50, 48));
    EXPECT_EQ(f.lastIndex, 0);
    EXPECT_EQ(f.glyphFor(200).length, 0);
    TextSprite t;
    t.initText(0, 0, &f, 8, true, false);
    t.setText(u"123");
    ASSERT_NE(t.textImage, nullptr);
    EXPECT_EQ(t.textImage->height, 0);
}

TEST_F(FontTest, TextGrowsFromTheBottomOfItsImage) {
    std::vector<int> lens;
    for (int k = 0; k < 42; ++k) lens.push_back(k == 1 ? 10 : k == 2 ? 20 : 8);
    int n = 0;
    gtest_util::providePicture(31304, stripPixels(22, lens, n));
    PictureFont f;
    ASSERT_TRUE(f.loadFont(31304, 22, n, 48));
    TextSprite t;
    t.initText(30, 40, &f, 10, true, false);
    Bitmap* target = currentTarget;
    t.setText(u"12");
    EXPECT_EQ(currentTarget, target) << "the target is restored after rendering";
    ASSERT_NE(t.textImage, nullptr);
    EXPECT_EQ(t.textImage->width, 22);
    EXPECT_EQ(t.textImage->height, 30);
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(t.textImage->pixel(5, y), y >= 20 ? 0x101 : 0x102) << y;
        EXPECT_EQ(t.textImage->pixel(0, y), kBackground) << y;
    }
    // The sprite shows the text image with a fresh save-under and the strip's key.
    EXPECT_EQ(t.sprite->image, t.textImage);
    EXPECT_EQ(t.sprite->x, 30);
    EXPECT_EQ(t.sprite->y, 40);
    EXPECT_EQ(t.sprite->height, 30);
    EXPECT_EQ(t.sprite->key, kBackground);
    EXPECT_EQ(t.sprite->keyed, 1);
    ASSERT_NE(t.sprite->saveUnder, nullptr);
    EXPECT_EQ(t.sprite->saveUnder->height, 30);
}

TEST_F(FontTest, LongTextIsCutAndEmptyTextChangesNothing) {
    loadMenuLike();
    TextSprite t;
    t.initText(0, 0, &font, 3, true, false);
    EXPECT_EQ(t.textImage->height, lengths[43]) << "starts as a single space";
    t.setText(u"00000");
    EXPECT_EQ(t.textImage->height, 3 * 13);
    Image* before = t.textImage;
    t.setText(u"");
    EXPECT_EQ(t.textImage, before);
    EXPECT_EQ(t.textImage->height, 3 * 13);
    t.setText(u"A 0");
    EXPECT_EQ(t.textImage->height, lengths[17] + lengths[43] + 13);
    // Top down: the digit 0, the space glyph, then the A at the bottom.
    EXPECT_EQ(t.textImage->pixel(5, 2), 0x100);
    EXPECT_EQ(t.textImage->pixel(5, 13 + 2), 0x100 + 43);
    EXPECT_EQ(t.textImage->pixel(5, t.textImage->height - 1), 0x100 + 17);
}

TEST_F(FontTest, SetTextAndMarkDirtiesTheSpriteForTheNextPass) {
    loadMenuLike();
    TextSprite t;
    t.initText(20, 30, &font, 8, true, false);
    surface->addSprite(t.sprite, 220);
    surface->redrawDirty();
    t.setTextAndMark(u"0", surface.get());
    EXPECT_EQ(surface->minDirtyLayer, 220);
    surface->redrawDirty();
    // Digit 0 is 13 rows: the pass shows it, keyed against the strip background.
    EXPECT_EQ(gtest_util::windowAt(25, 30 + 5), 0x100);
    EXPECT_EQ(gtest_util::windowAt(20, 30 + 5), 0) << "column 0 is background: transparent";
    surface->removeSprite(t.sprite);
    t.releaseText();
    EXPECT_EQ(t.sprite, nullptr);
    EXPECT_EQ(t.textImage, nullptr);
}

}  // namespace

namespace {

// The two fonts the game ships, when this build's pack has them.
TEST_F(FontTest, ShippedFontsHaveTheGlyphsTheScreensCountOn) {
    if (platform::findResource("PCT", 503).empty() || platform::findResource("PCT", 255).empty())
        GTEST_SKIP() << "the font strips are not in this build's pack";
    PictureFont menu;
    ASSERT_TRUE(menu.loadFont(503, 18, 554, 48));
    EXPECT_EQ(menu.lastIndex, 43);
    const Glyph zero = menu.glyphFor(menu.indexForChar(u'0'));
    EXPECT_EQ(554 - zero.start - zero.length, 541);
    EXPECT_EQ(zero.length, 13);
    EXPECT_EQ(menu.glyphFor(menu.indexForChar(u' ')).length, 10);

    PictureFont game;
    ASSERT_TRUE(game.loadFont(255, 22, 700, 48));
    EXPECT_EQ(game.lastIndex, 41);
    TextSprite t;
    t.initText(0, 0, &game, 6, true, false);
    t.setText(u"12");
    EXPECT_EQ(t.textImage->width, 22);
    EXPECT_EQ(t.textImage->height, 30);
}

}  // namespace
