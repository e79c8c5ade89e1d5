#include "graphics/picture_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics_test_util.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Writes tokens bit by bit, most significant bit first, as the decoder reads them.
class TokenWriter {
  public:
    void literal(uint8_t b) {
        put(1, 1);
        put(b, 8);
    }
    void match(int length, int index) {
        put(0, 1);
        put(static_cast<uint32_t>(length - 1), 5);
        put(static_cast<uint32_t>(index), 9);
    }
    // The stream with its length word; `tail` raw bytes follow the padded tokens.
    Bytes resource(const Bytes& tail) const {
        Bytes stream = bytes_;
        if (used_ > 0) stream.push_back(static_cast<uint8_t>(current_ << (8 - used_)));
        stream.insert(stream.end(), tail.begin(), tail.end());
        Bytes res;
        res.reserve(stream.size() + 4);
        const uint32_t n = static_cast<uint32_t>(stream.size());
        for (int i = 0; i < 4; ++i) res.push_back(static_cast<uint8_t>(n >> (8 * i)));
        for (uint8_t b : stream) res.push_back(b);
        return res;
    }

  private:
    void put(uint32_t v, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            current_ = static_cast<uint8_t>((current_ << 1) | ((v >> i) & 1));
            if (++used_ == 8) {
                bytes_.push_back(current_);
                current_ = 0;
                used_ = 0;
            }
        }
    }
    Bytes bytes_;
    uint8_t current_ = 0;
    int used_ = 0;
};

Bytes decode(const Bytes& res, size_t limit) {
    Bytes out(limit, 0xEE);
    const size_t n = decodePictureStream(res, out.data(), limit);
    out.resize(n);
    return out;
}

TEST(PictureDecoder, LiteralThenOverlappingMatchFromTheExampleResource) {
    const Bytes res = {0x03, 0x00, 0x00, 0x00, 0xA0, 0x85, 0xFF};
    EXPECT_EQ(decode(res, 16), (Bytes{0x41, 0x41, 0x41, 0x41}));
}

TEST(PictureDecoder, MatchAtTheStartReadsTheZeroWindow) {
    TokenWriter w;
    w.match(5, 100);
    w.literal(0x77);
    w.match(3, 0);  // still entirely inside the initial zeros
    // 15 + 9 + 15 = 39 bits in five bytes: the last token starts in byte 3, before the
    // final byte, and decoding stops right after it.
    const Bytes out = decode(w.resource({}), 64);
    EXPECT_EQ(out, (Bytes{0, 0, 0, 0, 0, 0x77, 0, 0, 0}));
}

TEST(PictureDecoder, OverlappingCopiesRepeatShortPatterns) {
    struct Case {
        std::vector<uint8_t> literals;
        int length;
        int index;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        // P = 511 is the byte just produced: it repeats 32 times.
        {{0x5A}, 32, 511, Bytes(33, 0x5A)},
        // P = 510 with two bytes behind: the pair repeats.
        {{1, 2}, 6, 510, Bytes{1, 2, 1, 2, 1, 2, 1, 2}},
        // P = 509: three-byte pattern, cut mid-pattern.
        {{7, 8, 9}, 5, 509, Bytes{7, 8, 9, 7, 8, 9, 7, 8}},
        // Reaching from the zeros into the bytes of this very token.
        {{3}, 4, 510, Bytes{3, 0, 3, 0, 3}},
    };
    for (const Case& c : cases) {
        TokenWriter w;
        for (uint8_t b : c.literals) w.literal(b);
        w.match(c.length, c.index);
        // Two zero bytes make sure the last token does not start in the final byte; the
        // zero padding then decodes as one surplus byte, which the exact limit drops.
        const Bytes out = decode(w.resource({0x00, 0x00}), c.expected.size());
        EXPECT_EQ(out, c.expected) << "index " << c.index;
    }
}

TEST(PictureDecoder, LiteralsOnlyDecodeToTheirBytes) {
    TokenWriter w;
    Bytes expected;
    for (int i = 0; i < 296; ++i) {
        const uint8_t b = static_cast<uint8_t>(i * 37 + 11);
        w.literal(b);
        expected.push_back(b);
    }
    // 2664 bits end on a byte boundary; one more byte is the final byte.
    EXPECT_EQ(decode(w.resource({0x00}), expected.size()), expected);
}

TEST(PictureDecoder, ATokenStartingInTheFinalByteIsNotDecoded) {
    // Literal 0x41 takes bits 0..8, literal 0x42 bits 9..17.
    const Bytes two = {0x02, 0, 0, 0, 0xA0, 0xD0};
    const Bytes three = {0x03, 0, 0, 0, 0xA0, 0xD0, 0x80};
    EXPECT_EQ(decode(two, 8), (Bytes{0x41}));
    EXPECT_EQ(decode(three, 8), (Bytes{0x41, 0x42}));
}

TEST(PictureDecoder, StreamsOfZeroOrOneByteDecodeNothing) {
    EXPECT_TRUE(decode(Bytes{0, 0, 0, 0}, 8).empty());
    EXPECT_TRUE(decode(Bytes{1, 0, 0, 0, 0xFF}, 8).empty());
    EXPECT_TRUE(decode(Bytes{}, 8).empty());
    EXPECT_TRUE(decode(Bytes{5, 0, 0}, 8).empty());
}

TEST(PictureDecoder, SurplusBytesBeyondTheLimitAreDropped) {
    TokenWriter w;
    w.literal(9);
    w.match(32, 511);
    const Bytes res = w.resource({0x00, 0x00});
    for (size_t limit : {1u, 2u, 10u, 33u}) {
        Bytes out(limit + 8, 0xEE);
        const size_t n = decodePictureStream(res, out.data(), limit);
        EXPECT_EQ(n, std::min<size_t>(limit, 33 + 1)) << limit;
        for (size_t i = 0; i < n; ++i) EXPECT_EQ(out[i], i < 33 ? 9 : 0) << i;
        for (size_t i = limit; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0xEE) << "wrote past the limit";
    }
}

TEST(PictureDecoder, BytesTheStreamDoesNotReachStayZero) {
    TokenWriter w;
    Bytes expected;
    for (int i = 1; i <= 40; ++i) {
        w.literal(static_cast<uint8_t>(i));
        expected.push_back(static_cast<uint8_t>(i));
    }
    w.match(2, 480);  // 32 bytes back: bytes 9 and 10
    expected.push_back(9);
    expected.push_back(10);
    const Bytes res = w.resource({});
    Bytes out(200, 0);
    ASSERT_EQ(decodePictureStream(res, out.data(), out.size()), expected.size());
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], i < expected.size() ? expected[i] : 0) << i;
}

TEST(PictureDecoder, ALengthWordBeyondTheResourceIsCutToTheBytesPresent) {
    const Bytes honest = {0x03, 0, 0, 0, 0xA0, 0x85, 0xFF};
    Bytes lying = honest;
    lying[0] = 0xFF;
    lying[1] = 0xFF;
    lying[3] = 0x7F;
    EXPECT_EQ(decode(lying, 16), decode(honest, 16));
}

TEST(PictureDecoder, ResourceLongerThanItsLengthWordIgnoresTheRest) {
    // N = 2: the literal 0x42 starting in byte 1 is beyond the end rule.
    const Bytes res = {0x02, 0, 0, 0, 0xA0, 0xD0, 0x80, 0xFF, 0xFF};
    EXPECT_EQ(decode(res, 8), (Bytes{0x41}));
}

TEST(PictureDecoder, RandomBytesNeverWritePastTheLimit) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Bytes res(4 + rng() % 3000);
        for (auto& b : res) b = static_cast<uint8_t>(rng());
        const size_t limit = 1 + rng() % 5000;
        Bytes out(limit + 16, 0xEE);
        const size_t n = decodePictureStream(res, out.data(), limit);
        ASSERT_LE(n, limit);
        for (size_t i = limit; i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE);
    }
}

class LoadPictureTest : public gtest_util::HeadlessTest {};

TEST_F(LoadPictureTest, MissingPictureIsBlackAtTheRequestedSize) {
    Image img;
    img.loadPicture(31999, 12, 7);
    ASSERT_NE(img.bitmap, nullptr);
    EXPECT_EQ(img.width, 12);
    EXPECT_EQ(img.height, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(img.pixel(x, y), 0);
}

TEST_F(LoadPictureTest, PixelsArriveLowByteFirstRowByRow) {
    std::vector<uint16_t> px(5 * 3);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint16_t>(0x1234 + i * 0x0101);
    gtest_util::providePicture(30001, px);
    Image img;
    img.loadPicture(30001, 5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(img.pixel(x, y), px[y * 5 + x]);
    // Loading again at a smaller size keeps the first rows and drops the rest.
    img.loadPicture(30001, 5, 2);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.pixel(4, 1), px[9]);
    // A larger size than the data leaves the extra rows black.
    img.loadPicture(30001, 5, 4);
    EXPECT_EQ(img.pixel(4, 2), px[14]);
    EXPECT_EQ(img.pixel(0, 3), 0);
}

TEST_F(LoadPictureTest, ShippedPanoramaTilesDecodeToAFullScreenEach) {
    for (int id : {146, 147, 148}) {
        const auto res = platform::findResource("PCT", id);
        if (res.empty()) GTEST_SKIP() << "picture " << id << " is not in this build's pack";
        Bytes out(240 * 320 * 2 + 64, 0);
        const size_t n = decodePictureStream(res, out.data(), out.size());
        // Every pixel is there, with at most a byte or two of surplus.
        EXPECT_GE(n, 240u * 320 * 2) << id;
        EXPECT_LE(n, 240u * 320 * 2 + 2) << id;
    }
}

}  // namespace
