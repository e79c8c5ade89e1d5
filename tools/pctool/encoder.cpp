#include "encoder.h"

#include <algorithm>

namespace {

constexpr int kWindow = 512;
constexpr int kMaxMatch = 32;

class BitWriter {
public:
    void put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            current_ = static_cast<uint8_t>((current_ << 1) | ((value >> i) & 1));
            if (++used_ == 8) flushByte();
        }
    }
    // Completes a partial byte with zero bits.
    void pad() {
        if (used_ > 0) {
            current_ = static_cast<uint8_t>(current_ << (8 - used_));
            flushByte();
        }
    }
    size_t bitCount() const { return bytes_.size() * 8 + used_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    void flushByte() {
        bytes_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }
    std::vector<uint8_t> bytes_;
    uint8_t current_ = 0;
    int used_ = 0;
};

}  // namespace

std::vector<uint8_t> encodePicture(std::span<const uint8_t> data) {
    // The history starts as 512 zero bytes; a match reads window index P at buffer
    // position i + P, which also covers copies that overlap their own output.
    std::vector<uint8_t> buf(kWindow, 0);
    buf.insert(buf.end(), data.begin(), data.end());
    const size_t n = data.size();

    BitWriter out;
    size_t lastTokenStartBit = 0;
    size_t i = 0;
    while (i < n) {
        const int maxLen = static_cast<int>(std::min<size_t>(kMaxMatch, n - i));
        int bestLen = 0;
        int bestPos = 0;
        const uint8_t* ahead = &buf[kWindow + i];
        for (int p = 0; p < kWindow; ++p) {
            const uint8_t* from = &buf[i + p];
            if (from[0] != ahead[0]) continue;
            int len = 1;
            while (len < maxLen && from[len] == ahead[len]) ++len;
            if (len > bestLen) {
                bestLen = len;
                bestPos = p;
                if (len == maxLen) break;
            }
        }
        lastTokenStartBit = out.bitCount();
        if (bestLen > 1) {
            out.put(0, 1);
            out.put(static_cast<uint32_t>(bestLen - 1), 5);
            out.put(static_cast<uint32_t>(bestPos), 9);
            i += static_cast<size_t>(bestLen);
        } else {
            out.put(1, 1);
            out.put(ahead[0], 8);
            i += 1;
        }
    }

    // The decoder stops at the first token boundary after it has moved onto the last
    // byte of the stream, and never decodes a token that starts in that byte. So the
    // stream ends with a byte that no token starts in: either the byte the last token
    // ends in (when that token started earlier), or one extra zero byte. The extra byte
    // can yield at most one surplus output byte, which the decoder's limit drops.
    const size_t endBits = out.bitCount();
    const bool endsOnBoundary = endBits % 8 == 0;
    const bool lastStartsInFinalByte = lastTokenStartBit / 8 == endBits / 8;
    out.pad();
    if (n == 0 || endsOnBoundary || lastStartsInFinalByte) out.bytes().push_back(0);

    std::vector<uint8_t>& stream = out.bytes();
    std::vector<uint8_t> resource(4 + stream.size());
    const uint32_t len = static_cast<uint32_t>(stream.size());
    for (int b = 0; b < 4; ++b) resource[b] = static_cast<uint8_t>(len >> (8 * b));
    std::copy(stream.begin(), stream.end(), resource.begin() + 4);
    return resource;
}
