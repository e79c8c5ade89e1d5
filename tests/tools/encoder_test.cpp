#include "../../tools/pctool/encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/picture_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Tok = std::pair<int, int>;  // {0, byte} for a literal, {length, window index} for a match

// The tokens of a resource as the decoder takes them: those starting before the final byte.
std::vector<Tok> tokensOf(const Bytes& res) {
    const size_t n = res[0] | (res[1] << 8) | (res[2] << 16) | (size_t{res[3]} << 24);
    size_t pos = 0;
    auto bits = [&](int count) {
        int v = 0;
        for (int i = 0; i < count; ++i, ++pos)
            v = (v << 1) | (pos / 8 < n ? (res[4 + pos / 8] >> (7 - pos % 8)) & 1 : 0);
        return v;
    };
    std::vector<Tok> out;
    while (n >= 2 && pos < (n - 1) * 8) {
        if (bits(1)) {
            out.push_back({0, bits(8)});
        } else {
            const int len = bits(5) + 1;
            out.push_back({len, bits(9)});
        }
    }
    return out;
}

Bytes roundTrip(const Bytes& data, size_t extra = 0) {
    const Bytes res = encodePicture(data);
    Bytes out(data.size() + extra, 0xEE);
    out.resize(decodePictureStream(res, out.data(), out.size()));
    return out;
}

TEST(Encoder, SmallInputsGiveTheExactStreams) {
    EXPECT_EQ(encodePicture(Bytes{}), (Bytes{1, 0, 0, 0, 0}));  // only the final byte
    EXPECT_EQ(encodePicture(Bytes{5}), (Bytes{2, 0, 0, 0, 0x82, 0x80}));
    EXPECT_EQ(encodePicture(Bytes{0, 0, 0}), (Bytes{2, 0, 0, 0, 0x08, 0x00}));  // initial zeros
}

TEST(Encoder, GreedyChoicesFollowTheRules) {
    const struct {
        Bytes data;
        std::vector<Tok> tokens;
    } cases[] = {
        // A repeated byte: a literal, then an overlapping match of the byte just made.
        {{9, 9, 9, 9}, {{0, 9}, {3, 511}}},
        // A one-byte match is sent as a literal; the initial zeros can be matched.
        {{0, 7}, {{0, 0}, {0, 7}}},
        {{0, 0, 5}, {{2, 0}, {0, 5}}},
        // Equal lengths: the lowest window index (the oldest copy) wins.
        {{1, 2, 3, 1, 2, 4, 1, 2}, {{0, 1}, {0, 2}, {0, 3}, {2, 509}, {0, 4}, {2, 506}}},
        // Matches are capped at 32 bytes.
        {Bytes(100, 0), {{32, 0}, {32, 0}, {32, 0}, {4, 0}}},
    };
    for (const auto& c : cases) {
        std::vector<Tok> got = tokensOf(encodePicture(c.data));
        // A stream may carry one surplus token at its end; the decoder's limit drops it.
        if (got.size() == c.tokens.size() + 1) got.pop_back();
        EXPECT_EQ(got, c.tokens) << "input of " << c.data.size() << " bytes";
    }
}

TEST(Encoder, DataRoundTripsThroughTheDecoder) {
    std::mt19937 rng(11);
    for (size_t len = 0; len < 300; ++len) {
        Bytes data(len);
        // Few distinct values, so that matches of every length and index occur.
        for (auto& b : data) b = static_cast<uint8_t>(rng() % (len % 3 == 0 ? 256 : 3));
        ASSERT_EQ(roundTrip(data), data) << len;
        ASSERT_LE(roundTrip(data, 8).size(), len + 1) << "more than one surplus byte";
    }
    // A 240 x 320 picture (gradient, noisy band, flat colour) long enough to cross the
    // reader's buffer size, and plain noise.
    Bytes px, noise(20011);
    for (int i = 0; i < 240 * 320; ++i) {
        const int x = i % 240, y = i / 240;
        const uint16_t p = x < 100   ? static_cast<uint16_t>((x / 4) << 11 | (y / 6) << 5 | 20)
                           : x < 130 ? static_cast<uint16_t>(rng())
                                     : 0x2A5F;
        px.insert(px.end(), {static_cast<uint8_t>(p & 0xFF), static_cast<uint8_t>(p >> 8)});
    }
    const size_t packed = encodePicture(px).size();
    EXPECT_LT(packed, px.size());
    EXPECT_GT(packed, 5000u);
    EXPECT_EQ(roundTrip(px), px);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    EXPECT_EQ(roundTrip(noise), noise);
}

}  // namespace
