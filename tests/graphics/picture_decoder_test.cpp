#include "graphics/picture_decoder.h"

#include <random>

#include "../fuzz/plain_picture_reader.h"
#include "graphics/picture_ids.h"
#include "graphics_test_util.h"

namespace {

using Bytes = std::vector<uint8_t>;

// {0, byte}: a literal; {len, index}: a match of `len` bytes from that window index.
struct Tok {
    int len, value;
};

// The resource for `toks` written most significant bit first, then `tail` raw bytes.
Bytes resource(const std::vector<Tok>& toks, const Bytes& tail = {}) {
    Bytes s;
    size_t used = 0;
    auto put = [&](uint32_t v, int bits) {
        for (int i = bits - 1; i >= 0; --i, ++used) {
            if (used % 8 == 0) s.push_back(0);
            s.back() |= static_cast<uint8_t>(((v >> i) & 1) << (7 - used % 8));
        }
    };
    for (const Tok& t : toks) {
        put(t.len == 0, 1);
        t.len == 0 ? put(t.value, 8) : (put(t.len - 1, 5), put(t.value, 9));
    }
    s.insert(s.end(), tail.begin(), tail.end());
    Bytes res;
    for (int i = 0; i < 4; ++i) res.push_back(static_cast<uint8_t>(s.size() >> (8 * i)));
    res.insert(res.end(), s.begin(), s.end());
    return res;
}

// Decodes into a zeroed buffer of `limit` bytes, checking that nothing lands past the
// limit and that the bytes the stream did not reach stay zero.
Bytes decode(const Bytes& res, size_t limit) {
    Bytes out(limit + 16, 0);
    std::fill(out.begin() + limit, out.end(), 0xEE);
    const size_t n = decodePictureStream(res, out.data(), limit);
    EXPECT_LE(n, limit);
    for (size_t i = n; i < out.size(); ++i)
        EXPECT_EQ(out[i], i < limit ? 0 : 0xEE) << "byte " << i << " of " << n;
    out.resize(n);
    return out;
}

TEST(PictureDecoder, RawResourcesAndTheEndRule) {
    const Bytes fourA(4, 0x41);
    const std::pair<Bytes, Bytes> cases[] = {
        {{0x03, 0x00, 0x00, 0x00, 0xA0, 0x85, 0xFF}, fourA},  // literal, overlapping match
        {{0xFF, 0xFF, 0x00, 0x7F, 0xA0, 0x85, 0xFF}, fourA},  // length word cut to the bytes
        // Literal 0x42 starts in byte 1: not decoded when that is the final byte.
        {{0x02, 0, 0, 0, 0xA0, 0xD0}, {0x41}},
        {{0x03, 0, 0, 0, 0xA0, 0xD0, 0x80}, {0x41, 0x42}},
        {{0x02, 0, 0, 0, 0xA0, 0xD0, 0x80, 0xFF, 0xFF}, {0x41}},  // bytes past the length word
        {{0, 0, 0, 0}, {}},
        {{1, 0, 0, 0, 0xFF}, {}},
        {{}, {}},
        {{5, 0, 0}, {}},
    };
    for (const auto& [res, expected] : cases) EXPECT_EQ(decode(res, 16), expected);
}

TEST(PictureDecoder, MatchesCopyFromTheWindow) {
    std::vector<Tok> forty;
    Bytes fortyOut;
    for (int i = 1; i <= 40; ++i) forty.push_back({0, i}), fortyOut.push_back(uint8_t(i));
    forty.push_back({2, 480});  // 32 bytes back
    fortyOut.insert(fortyOut.end(), {9, 10});
    const std::tuple<std::vector<Tok>, Bytes, size_t, Bytes> cases[] = {
        // At the start the window holds zeros; 39 bits in five bytes end the stream.
        {{{5, 100}, {0, 0x77}, {3, 0}}, {}, 64, {0, 0, 0, 0, 0, 0x77, 0, 0, 0}},
        // Overlapping copies repeat the last 1, 2 or 3 bytes; the exact limit drops the
        // surplus byte that the zero tail decodes to.
        {{{0, 0x5A}, {32, 511}}, {0, 0}, 33, Bytes(33, 0x5A)},
        {{{0, 1}, {0, 2}, {6, 510}}, {0, 0}, 8, {1, 2, 1, 2, 1, 2, 1, 2}},
        {{{0, 7}, {0, 8}, {0, 9}, {5, 509}}, {0, 0}, 8, {7, 8, 9, 7, 8, 9, 7, 8}},
        {{{0, 3}, {4, 510}}, {0, 0}, 5, {3, 0, 3, 0, 3}},  // from the zeros into itself
        // A far copy of two bytes; nothing beyond them may be left written.
        {forty, {}, 200, fortyOut},
    };
    for (const auto& [toks, tail, limit, expected] : cases)
        EXPECT_EQ(decode(resource(toks, tail), limit), expected) << expected.size();
}

TEST(PictureDecoder, TheLimitCutsAMatchShort) {
    const Bytes res = resource({{0, 9}, {32, 511}}, {0, 0});
    for (size_t limit : {1u, 2u, 10u, 33u, 40u}) {
        Bytes want(std::min<size_t>(limit, 34), 9);
        if (limit > 33) want[33] = 0;  // the surplus byte of the zero tail
        EXPECT_EQ(decode(res, limit), want) << limit;
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Bytes junk(4 + rng() % 3000);
        for (auto& b : junk) b = static_cast<uint8_t>(rng());
        Bytes out(1 + rng() % 5000 + 16, 0xEE);
        const size_t limit = out.size() - 16;
        ASSERT_LE(decodePictureStream(junk, out.data(), limit), limit);
        for (size_t i = limit; i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE);
    }
}

// The fast decoder against the plain bit-by-bit reader: streams long enough to reach
// the main loop, with every window distance (short repeating patterns most of all),
// limits that cut them anywhere, and trailing bytes that end them in the middle.
TEST(PictureDecoder, GivesWhatThePlainReaderGives) {
    std::mt19937 rng(16);
    for (int round = 0; round < 300; ++round) {
        std::vector<Tok> toks;
        const int count = 50 + static_cast<int>(rng() % 3000);
        for (int i = 0; i < count; ++i) {
            const uint32_t kind = rng() % 8;
            if (kind < 3) {
                toks.push_back({0, static_cast<int>(rng() % 256)});
            } else {
                const int back =
                    kind < 6 ? 1 + static_cast<int>(rng() % 20) : 1 + static_cast<int>(rng() % 512);
                toks.push_back({1 + static_cast<int>(rng() % 32), 512 - back});
            }
        }
        Bytes tail(rng() % 3);
        for (auto& b : tail) b = static_cast<uint8_t>(rng());
        const Bytes res = resource(toks, tail);
        const size_t limit = round % 4 == 0 ? 1 + rng() % 40000 : 60000;
        Bytes plain(limit, 0);
        plain.resize(plain_picture_reader::decode(res, plain.data(), limit));
        ASSERT_EQ(decode(res, limit), plain) << "round " << round;
    }
}

class LoadPictureTest : public gtest_util::HeadlessTest {};

TEST_F(LoadPictureTest, PixelsArriveLowByteFirstRowByRow) {
    Image img;
    img.loadPicture(31999, 12, 7);  // missing: black at the requested size
    ASSERT_EQ(img.width * img.height, 12 * 7);
    for (int i = 0; i < 12 * 7; ++i) ASSERT_EQ(img.pixel(i % 12, i / 12), 0);
    std::vector<uint16_t> px(5 * 3);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint16_t>(0x1234 + i * 0x0101);
    gtest_util::providePicture(30001, px);
    img.loadPicture(30001, 5, 3);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(img.pixel(i % 5, i / 5), px[i]);
    img.loadPicture(30001, 5, 2);  // fewer rows keep the first ones
    EXPECT_EQ(img.pixel(4, 1), px[9]);
    img.loadPicture(30001, 5, 4);  // rows beyond the data stay black
    gtest_util::expectPixels(*img.bitmap, {{4, 2, px[14]}, {0, 3, 0}});
}

// Frames and size (as the game loads them) of every picture the game names. No default:
// a new name that is not listed here does not compile.
struct PictureFacts {
    int frames = 0;
    int width = 0;
    int height = 0;
};
PictureFacts catalogued(PictureId id) {
    switch (id) {
        case PIC_SCENE_BOTTOM:
            return {1, 240, 320};
        case PIC_SCENE_MIDDLE:
            return {1, 240, 320};
        case PIC_SCENE_TOP:
            return {1, 240, 320};
        case PIC_BIG_DUCK_DOWN_FIRST:
            return {8, 68, 68};
        case PIC_BIG_DUCK_DOWN_LAST:
            return {1, 68, 68};
        case PIC_BIG_DUCK_UP_FIRST:
            return {8, 68, 68};
        case PIC_BIG_DUCK_UP_LAST:
            return {1, 68, 68};
        case PIC_SMALL_DUCK_UP_FIRST:
            return {8, 48, 48};
        case PIC_SMALL_DUCK_UP_LAST:
            return {1, 48, 48};
        case PIC_SMALL_DUCK_DOWN_FIRST:
            return {8, 48, 48};
        case PIC_SMALL_DUCK_DOWN_LAST:
            return {1, 48, 48};
        case PIC_MAGAZINE_FIRST:
            return {9, 26, 96};
        case PIC_MAGAZINE_LAST:
            return {1, 26, 96};
        case PIC_LARGE_BADGE:
            return {1, 62, 68};
        case PIC_SMALL_BADGE:
            return {1, 32, 34};
        case PIC_GAME_FONT:
            return {1, 22, 700};
        case PIC_SHOT_PUFF_FIRST:
            return {5, 34, 40};
        case PIC_SHOT_PUFF_LAST:
            return {1, 34, 40};
        case PIC_REEDS_1:
            return {1, 56, 36};
        case PIC_REEDS_2:
            return {1, 38, 28};
        case PIC_REEDS_3:
            return {1, 38, 28};
        case PIC_REEDS_4:
            return {1, 36, 38};
        case PIC_REEDS_5:
            return {1, 42, 44};
        case PIC_REEDS_6:
            return {1, 40, 34};
        case PIC_REEDS_7:
            return {1, 32, 16};
        case PIC_MENU_ICON:
            return {1, 16, 16};
        case PIC_LARGE_BURST_FIRST:
            return {7, 70, 120};
        case PIC_LARGE_BURST_LAST:
            return {1, 70, 120};
        case PIC_SMALL_BURST_FIRST:
            return {7, 36, 60};
        case PIC_SMALL_BURST_LAST:
            return {1, 36, 60};
        case PIC_TREE_1:
            return {1, 34, 30};
        case PIC_TREE_2:
            return {1, 28, 30};
        case PIC_TREE_3:
            return {1, 38, 24};
        case PIC_TREE_4:
            return {1, 38, 24};
        case PIC_TREE_5:
            return {1, 34, 32};
        case PIC_TREE_6:
            return {1, 28, 32};
        case PIC_TREE_7:
            return {1, 44, 12};
        case PIC_HUT_1:
            return {1, 50, 34};
        case PIC_HUT_2:
            return {1, 20, 16};
        case PIC_HUT_3:
            return {1, 70, 52};
        case PIC_HUT_4:
            return {1, 70, 44};
        case PIC_HUT_5:
            return {1, 18, 38};
        case PIC_REED_CLUMP:
            return {1, 40, 32};
        case PIC_CATTAIL:
            return {1, 24, 10};
        case PIC_GRASS_TUFT:
            return {1, 32, 20};
        case PIC_PEBBLE:
            return {1, 14, 14};
        case PIC_BANK:
            return {1, 42, 50};
        case PIC_HIDDEN_TARGET:
            return {1, 12, 10};
        case PIC_FISHERMAN:
            return {1, 28, 38};
        case PIC_SIGN_DUCKS:
            return {3, 108, 80};
        case PIC_SIGN_DROP_FIRST:
            return {6, 108, 80};
        case PIC_SIGN_DROP_LAST:
            return {1, 108, 80};
        case PIC_LEAF_FIRST:
            return {12, 22, 22};
        case PIC_LEAF_LAST:
            return {1, 22, 22};
        case PIC_CLOCK_PLUS:
            return {1, 24, 24};
        case PIC_CLOCK_MINUS:
            return {1, 24, 24};
        case PIC_BONUS_ITEM:
            return {1, 24, 24};
        case PIC_SWIMMER_BACK:
            return {1, 36, 32};
        case PIC_SWIMMER_OUT:
            return {1, 36, 32};
        case PIC_RED_BIRD_DOWN_FIRST:
            return {5, 18, 26};
        case PIC_RED_BIRD_DOWN_LAST:
            return {1, 18, 26};
        case PIC_RED_BIRD_UP_FIRST:
            return {5, 18, 26};
        case PIC_RED_BIRD_UP_LAST:
            return {1, 18, 26};
        case PIC_RED_BIRD_FALLING:
            return {1, 30, 38};
        case PIC_LEAF_BURST_FIRST:
            return {6, 22, 22};
        case PIC_LEAF_BURST_LAST:
            return {1, 22, 22};
        case PIC_MINUS_FIFTY:
            return {1, 20, 48};
        case PIC_PLUS_ONE:
            return {1, 20, 22};
        case PIC_PLUS_FIFTY:
            return {1, 20, 48};
        case PIC_GAME_OVER:
            return {1, 68, 260};
        case PIC_LOADING:
            return {1, 58, 184};
        case PIC_EMBLEM:
            return {1, 180, 180};
        case PIC_STUDIO_LOGO:
            return {1, 220, 212};
        case PIC_SKIP:
            return {1, 46, 18};
        case PIC_SKIP_PRESSED:
            return {1, 46, 18};
        case PIC_MENU_BACKGROUND:
            return {1, 240, 320};
        case PIC_MENU_OPTIONS:
            return {1, 40, 122};
        case PIC_MENU_OPTIONS_PRESSED:
            return {1, 40, 122};
        case PIC_MENU_EXIT:
            return {1, 40, 82};
        case PIC_MENU_EXIT_PRESSED:
            return {1, 40, 82};
        case PIC_MENU_HELP:
            return {1, 40, 92};
        case PIC_MENU_HELP_PRESSED:
            return {1, 40, 92};
        case PIC_MENU_NAME:
            return {1, 40, 158};
        case PIC_MENU_NAME_PRESSED:
            return {1, 40, 158};
        case PIC_MENU_NEW_GAME:
            return {1, 40, 152};
        case PIC_MENU_NEW_GAME_PRESSED:
            return {1, 40, 152};
        case PIC_MENU_SCORE:
            return {1, 40, 110};
        case PIC_MENU_SCORE_PRESSED:
            return {1, 40, 110};
        case PIC_OPTIONS_BACKGROUND:
            return {1, 240, 320};
        case PIC_OPTIONS_OK:
            return {1, 26, 42};
        case PIC_OPTIONS_OK_PRESSED:
            return {1, 26, 42};
        case PIC_OPTIONS_CANCEL:
            return {1, 26, 112};
        case PIC_OPTIONS_CANCEL_PRESSED:
            return {1, 26, 112};
        case PIC_CHECK_TICKED:
            return {1, 26, 24};
        case PIC_CHECK_EMPTY:
            return {1, 26, 24};
        case PIC_KNOB:
            return {1, 18, 35};
        case PIC_KNOB_PRESSED:
            return {1, 18, 35};
        case PIC_SOUND_TRACK:
            return {1, 18, 184};
        case PIC_MUSIC_TRACK:
            return {1, 18, 184};
        case PIC_HELP_BACKGROUND:
            return {1, 240, 320};
        case PIC_HELP_PREVIOUS:
            return {2, 42, 20};
        case PIC_HELP_CREDITS:
            return {2, 26, 128};
        case PIC_HELP_NEXT:
            return {2, 42, 20};
        case PIC_HELP_OK:
            return {2, 26, 42};
        case PIC_SCORES_OK:
            return {1, 26, 44};
        case PIC_SCORES_OK_PRESSED:
            return {1, 26, 44};
        case PIC_SCORES_RESET:
            return {1, 26, 90};
        case PIC_SCORES_RESET_PRESSED:
            return {1, 26, 90};
        case PIC_SCORES_STATS:
            return {1, 26, 88};
        case PIC_SCORES_STATS_PRESSED:
            return {1, 26, 88};
        case PIC_SCORES_BACKGROUND:
            return {1, 240, 320};
        case PIC_HELP_ABOUT:
            return {2, 26, 94};
        case PIC_HELP_PAGE_FIRST:
            return {6, 118, 216};
        case PIC_HELP_PAGE_LAST:
            return {1, 118, 216};
        case PIC_CREDITS_LINE_1:
            return {1, 20, 112};
        case PIC_CREDITS_LINE_2:
            return {1, 20, 164};
        case PIC_CREDITS_LINE_3:
            return {1, 20, 154};
        case PIC_CREDITS_LINE_4:
            return {1, 20, 92};
        case PIC_CREDITS_LINE_5:
            return {1, 20, 144};
        case PIC_CREDITS_LINE_6:
            return {1, 20, 134};
        case PIC_CREDITS_LINE_7:
            return {1, 20, 172};
        case PIC_CREDITS_LINE_8:
            return {1, 20, 152};
        case PIC_CREDITS_LINE_9:
            return {1, 20, 144};
        case PIC_CREDITS_LINE_10:
            return {1, 20, 186};
        case PIC_CREDITS_LINE_11:
            return {1, 20, 176};
        case PIC_CREDITS_LINE_12:
            return {1, 20, 168};
        case PIC_CREDITS_LINE_13:
            return {1, 18, 126};
        case PIC_CREDITS_TITLE:
            return {1, 28, 94};
        case PIC_NAME_OK:
            return {2, 26, 44};
        case PIC_NAME_CANCEL:
            return {2, 26, 98};
        case PIC_KEY_0:
            return {2, 20, 20};
        case PIC_KEY_1:
            return {18, 20, 20};
        case PIC_KEY_A:
            return {18, 20, 20};
        case PIC_KEY_J:
            return {18, 20, 20};
        case PIC_KEY_S:
            return {16, 20, 20};
        case PIC_KEY_SPACE:
            return {2, 20, 20};
        case PIC_KEY_BACKSPACE:
            return {2, 20, 20};
        case PIC_NAME_BACKGROUND:
            return {1, 240, 320};
        case PIC_MENU_FONT:
            return {1, 18, 554};
        case PIC_SCORES_TABLE:
            return {1, 26, 88};
        case PIC_SCORES_TABLE_PRESSED:
            return {1, 26, 88};
        case PIC_NEWEST_MARK:
            return {1, 20, 20};
        case PIC_ABOUT:
            return {1, 150, 200};
        case PIC_PAUSE_PANEL:
            return {1, 170, 100};
        case PIC_PAUSE_EXIT:
            return {2, 24, 88};
        case PIC_PAUSE_HELP:
            return {2, 24, 88};
        case PIC_PAUSE_OPTIONS:
            return {2, 24, 88};
        case PIC_PAUSE_RESUME:
            return {2, 24, 88};
        case PIC_PAUSE_SCORE:
            return {2, 24, 88};
        case PIC_CONFIRM_BOX:
            return {1, 100, 168};
        case PIC_CONFIRM_OK_PRESSED:
            return {1, 24, 40};
        case PIC_CONFIRM_CANCEL_PRESSED:
            return {1, 24, 86};
        case PIC_TITLE_BACKGROUND:
            return {1, 240, 320};
        case PIC_TITLE_PROMPT:
            return {1, 36, 86};
    }
    return {};
}

TEST_F(LoadPictureTest, EveryNamedPictureDecodesFromThePackToItsSizeAsThePlainReaderDoes) {
    int named = 0;
    for (int id = 0; id < 1000; ++id) {
        const auto [frames, w, h] = catalogued(static_cast<PictureId>(id));
        for (int k = 0; k < frames; ++k) {
            const auto res = platform::findResource("PCT", id + k);
            ASSERT_FALSE(res.empty()) << "picture " << id + k << " is not in the pack";
            const size_t size = static_cast<size_t>(w) * h * 2;
            const Bytes out = decode(Bytes(res.begin(), res.end()), size + 64);
            EXPECT_GE(out.size(), size) << id + k;  // with at most two surplus bytes
            EXPECT_LE(out.size(), size + 2) << id + k;
            Bytes plain(size + 64);
            plain.resize(plain_picture_reader::decode(res, plain.data(), plain.size()));
            EXPECT_EQ(out, plain) << "picture " << id + k;
        }
        named += frames > 0;
    }
    EXPECT_EQ(named, 154);
}

}  // namespace
