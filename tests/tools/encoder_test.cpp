#include "../../tools/pctool/encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/picture_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Token {
    bool literal;
    int value;  // the byte of a literal, the length of a match
    int index;  // window index of a match
    bool operator==(const Token&) const = default;
};

Token lit(int b) {
    return {true, b, 0};
}
Token match(int len, int p) {
    return {false, len, p};
}

// Reads the tokens of a resource the way the decoder takes them: only tokens that
// start before the final byte of the stream.
std::vector<Token> tokensOf(const Bytes& res) {
    const size_t n = res[0] | (res[1] << 8) | (res[2] << 16) | (static_cast<size_t>(res[3]) << 24);
    auto bit = [&res, n](size_t pos) {
        return pos / 8 < n ? (res[4 + pos / 8] >> (7 - pos % 8)) & 1 : 0;
    };
    auto bits = [&bit](size_t& pos, int count) {
        int v = 0;
        for (int i = 0; i < count; ++i) v = (v << 1) | bit(pos++);
        return v;
    };
    std::vector<Token> out;
    size_t pos = 0;
    while (n >= 2 && pos < (n - 1) * 8) {
        if (bits(pos, 1)) {
            out.push_back(lit(bits(pos, 8)));
        } else {
            const int len = bits(pos, 5) + 1;
            out.push_back(match(len, bits(pos, 9)));
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
    struct Case {
        Bytes data;
        Bytes resource;
    };
    const std::vector<Case> cases = {
        // Nothing: one zero byte, which is the final byte and starts no token.
        {{}, {1, 0, 0, 0, 0}},
        // A literal of 9 bits; the byte it ends in is the final byte.
        {{5}, {2, 0, 0, 0, 0x82, 0x80}},
        // Three zeros match the initial window at index 0 (the lowest of many).
        {{0, 0, 0}, {2, 0, 0, 0, 0x08, 0x00}},
    };
    for (const Case& c : cases) EXPECT_EQ(encodePicture(c.data), c.resource);
}

TEST(Encoder, GreedyChoicesFollowTheRules) {
    struct Case {
        Bytes data;
        std::vector<Token> tokens;
    };
    const std::vector<Case> cases = {
        // A repeated byte: one literal, then an overlapping match of the byte just made.
        {{9, 9, 9, 9}, {lit(9), match(3, 511)}},
        // A one-byte match is sent as a literal.
        {{0, 7}, {lit(0), lit(7)}},
        {{0, 0, 5}, {match(2, 0), lit(5)}},
        // Equal lengths: the lowest window index (the oldest copy) wins.
        {{1, 2, 3, 1, 2, 4, 1, 2}, {lit(1), lit(2), lit(3), match(2, 509), lit(4), match(2, 506)}},
    };
    for (const Case& c : cases) {
        std::vector<Token> got = tokensOf(encodePicture(c.data));
        // A stream may carry one surplus token at its end; the decoder's limit drops it.
        if (got.size() == c.tokens.size() + 1) got.pop_back();
        EXPECT_EQ(got, c.tokens) << "input of " << c.data.size() << " bytes";
    }
}

TEST(Encoder, MatchesAreCappedAtThirtyTwoBytes) {
    const Bytes zeros(100, 0);
    const std::vector<Token> t = tokensOf(encodePicture(zeros));
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[0], match(32, 0));
    EXPECT_EQ(t[3], match(4, 0));
    EXPECT_EQ(roundTrip(zeros), zeros);
}

TEST(Encoder, RandomDataOfEveryShortLengthRoundTrips) {
    std::mt19937 rng(11);
    for (size_t len = 0; len < 300; ++len) {
        Bytes data(len);
        // Few distinct values, so that matches of every length and index occur.
        for (auto& b : data) b = static_cast<uint8_t>(rng() % (len % 3 == 0 ? 256 : 3));
        ASSERT_EQ(roundTrip(data), data) << len;
        // At most one surplus byte beyond the data.
        ASSERT_LE(roundTrip(data, 8).size(), len + 1) << len;
    }
}

TEST(Encoder, PictureLikeDataRoundTripsAcrossBufferSizes) {
    std::mt19937 rng(5);
    // A 240 x 320 RGB565 picture: sky gradient, a noisy horizon, flat water.
    Bytes px;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) {
            uint16_t p;
            if (x < 100)
                p = static_cast<uint16_t>((x / 4) << 11 | (y / 6) << 5 | 20);
            else if (x < 130)
                p = static_cast<uint16_t>(rng());
            else
                p = 0x2A5F;
            px.push_back(static_cast<uint8_t>(p & 0xFF));
            px.push_back(static_cast<uint8_t>(p >> 8));
        }
    const Bytes res = encodePicture(px);
    EXPECT_LT(res.size(), px.size());
    EXPECT_GT(res.size(), 5000u) << "the stream should cross the reader's buffer size";
    EXPECT_EQ(roundTrip(px), px);

    Bytes noise(20011);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    EXPECT_EQ(roundTrip(noise), noise);
}

}  // namespace
