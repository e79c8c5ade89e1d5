#include "graphics/picture_font.h"

#include "graphics/blitters.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "graphics_test_util.h"

namespace {

constexpr uint16_t kBackground = 0xF81F;
constexpr uint16_t kMarker = 0x0001;

class FontTest : public gtest_util::HeadlessTest {
  protected:
    // Loads a strip as picture `id`, positions counted from its end: samples at 0 and 1, a
    // marker before each further glyph (and after the last if `finalMarker`); glyph k is
    // 0x100 + k outside column 0.
    bool load(PictureFont& f, int id, int width, const std::vector<int>& lengths,
              bool finalMarker = true) {
        int n = 4;
        for (int len : lengths) n += len;
        std::vector<uint16_t> px(static_cast<size_t>(width) * n, kBackground);
        auto at = [&](int p, int x) -> uint16_t& { return px[(n - 1 - p) * width + x]; };
        int start = 0;
        for (size_t k = 0; k < lengths.size(); ++k) {
            if (k > 0) at(start, 0) = kMarker;
            for (int p = start; p < start + lengths[k]; ++p)
                for (int x = 1; x < width; ++x) at(p, x) = static_cast<uint16_t>(0x100 + k);
            start += lengths[k];
        }
        if (finalMarker) at(start, 0) = kMarker;
        at(1, 0) = kMarker;  // the marker sample
        gtest_util::providePicture(id, px);
        return f.loadFont(id, width, n, 48);
    }
    // Like the menu font: 44 glyphs from '0' (13 rows), the last one the space (10 rows).
    void loadMenuLike() {
        for (int k = 0; k < 44; ++k) lengths.push_back(k == 0 ? 13 : k == 43 ? 10 : 5 + k % 7);
        ASSERT_TRUE(load(font, 31300, 18, lengths));
        for (int y = 1; y < font.stripLength; ++y)
            ASSERT_EQ(font.strip->pixel(0, y), kBackground) << "marker left at row " << y;
    }
    static void expectGlyph(PictureFont& f, int index, Glyph want) {
        const Glyph g = f.glyphFor(static_cast<uint8_t>(index));
        EXPECT_TRUE(g.start == want.start && g.length == want.length) << "index " << index;
    }
    SceneSurface surface{1, 3, 240, 320};
    PictureFont font;
    std::vector<int> lengths;
};

TEST_F(FontTest, MarkerScanFindsEveryGlyphAndCharactersPickTheirs) {
    loadMenuLike();
    EXPECT_EQ(font.lastIndex, 43);
    for (int k = 0, start = 0; k < 44; start += lengths[k++])
        EXPECT_TRUE(font.glyphs[k].start == start && font.glyphs[k].length == lengths[k]) << k;
    // Codes 91..96 have no glyphs of their own: the lower-case shift sends them six places
    // down, onto U..Z; from 'a' on the last glyph; only a wide character's low byte counts.
    const std::pair<char16_t, int> cases[] = {
        {u'0', 0},  {u'9', 9},  {u':', 10}, {u'.', 12}, {u',', 13}, {u'\'', 14},
        {u'(', 15}, {u')', 16}, {u'A', 17}, {u'Z', 42}, {u'[', 37}, {u'`', 42},
        {u'a', 43}, {u'z', 43}, {u'~', 43}, {u' ', 43}, {u'!', 43}, {u'\u0131', 1},
    };
    for (auto [c, k] : cases) expectGlyph(font, font.indexForChar(c), font.glyphs[k]);
    // The space is measured through the lower-case shift and lands on the same glyph.
    expectGlyph(font, font.lastIndex + 6, font.glyphs[43]);
}

TEST_F(FontTest, OddStripsStayInsideTheTable) {
    // Like the game font: 42 glyphs up to Y and no final marker, so 41 are found.
    std::vector<int> lens(42, 8);
    lens[1] = 10;
    PictureFont game, big, plain;
    ASSERT_TRUE(load(game, 31301, 22, lens, false));
    EXPECT_EQ(game.lastIndex, 40);
    EXPECT_EQ(game.glyphFor(game.indexForChar(u'Z')).start, game.glyphs[40].start);
    EXPECT_EQ(game.glyphFor(game.indexForChar(u'1')).length, 10);
    ASSERT_TRUE(load(big, 31302, 4, std::vector<int>(120, 3)));  // only 100 glyphs are taken
    EXPECT_EQ(big.lastIndex, 99);
    EXPECT_EQ(big.glyphs[99].start, 297);
    expectGlyph(big, 110, {297, 3});
    expectGlyph(big, 200, {297, 3});
    EXPECT_FALSE(load(plain, 31303, 4, {46}, false));  // no marker at all
    EXPECT_EQ(plain.lastIndex, 0);
    EXPECT_EQ(plain.glyphFor(200).length, 0);
    TextSprite t;
    t.initText(0, 0, &plain, 8, true, false);
    t.setText(u"123");
    EXPECT_EQ(t.textImage->height, 0);
}

TEST_F(FontTest, TextStacksUpwardsFromTheBottomAndIsCut) {
    loadMenuLike();
    TextSprite t;
    t.initText(30, 40, &font, 3, true, false);
    EXPECT_EQ(t.textImage->height, lengths[43]) << "starts as a single space";
    Bitmap* target = currentTarget;
    t.setText(u"A 0");
    EXPECT_EQ(currentTarget, target) << "the target is restored after rendering";
    const int h = lengths[17] + lengths[43] + 13;
    ASSERT_EQ(t.textImage->width * t.textImage->height, 18 * h);
    for (int y = 0; y < h; ++y) {  // top down: the digit 0, the space, the A at the bottom
        const int glyph = y < 13 ? 0 : y < 13 + lengths[43] ? 43 : 17;
        gtest_util::expectPixels(*t.textImage->bitmap,
                                 {{5, y, 0x100 + glyph}, {0, y, kBackground}});
    }
    // The sprite shows the text with a fresh save-under, keyed by the strip background.
    EXPECT_TRUE(t.sprite->image == t.textImage && t.sprite->key == kBackground);
    EXPECT_EQ(t.sprite->saveUnder->height, h);
    t.setText(u"00000");
    EXPECT_EQ(t.textImage->height, 3 * 13) << "cut to three characters";
    t.setText(u"");
    EXPECT_EQ(t.textImage->height, 3 * 13) << "empty text changes nothing";
}

TEST_F(FontTest, SetTextAndMarkShowsTheTextInTheNextPass) {
    loadMenuLike();
    TextSprite t;
    t.initText(20, 30, &font, 8, true, false);
    surface.addSprite(t.sprite, 220);
    surface.redrawDirty();
    t.setTextAndMark(u"0", &surface);
    EXPECT_EQ(surface.minDirtyLayer, 220);
    surface.redrawDirty();
    gtest_util::expectWindow({{25, 35, 0x100}, {20, 35, 0}});  // column 0 is transparent
    surface.removeSprite(t.sprite);
}

TEST_F(FontTest, ShippedFontsHaveTheGlyphsTheScreensCountOn) {
    if (platform::findResource("PCT", PIC_MENU_FONT).empty() ||
        platform::findResource("PCT", PIC_GAME_FONT).empty())
        GTEST_SKIP() << "the font strips are not in this build's pack";
    PictureFont menu, game;
    ASSERT_TRUE(menu.loadFont(PIC_MENU_FONT, 18, 554, 48));
    EXPECT_EQ(menu.lastIndex, 43);
    const Glyph zero = menu.glyphFor(menu.indexForChar(u'0'));
    EXPECT_EQ(zero.start + zero.length, 13);
    EXPECT_EQ(menu.glyphFor(menu.indexForChar(u' ')).length, 10);
    ASSERT_TRUE(game.loadFont(PIC_GAME_FONT, 22, 700, 48));
    EXPECT_EQ(game.lastIndex, 41);
    TextSprite t;
    t.initText(0, 0, &game, 6, true, false);
    t.setText(u"12");
    EXPECT_TRUE(t.textImage->width == 22 && t.textImage->height == 30);
}

}  // namespace
