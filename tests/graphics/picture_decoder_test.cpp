#include "graphics/picture_decoder.h"

#include <random>

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

TEST_F(LoadPictureTest, ShippedPanoramaTilesDecodeToAFullScreenEach) {
    for (int id : {146, 147, 148}) {
        const auto res = platform::findResource("PCT", id);
        if (res.empty()) GTEST_SKIP() << "picture " << id << " is not in this build's pack";
        Bytes out(240 * 320 * 2 + 64, 0);
        const size_t n = decodePictureStream(res, out.data(), out.size());
        EXPECT_GE(n, 240u * 320 * 2) << id;  // with at most two surplus bytes
        EXPECT_LE(n, 240u * 320 * 2 + 2) << id;
    }
}

}  // namespace
