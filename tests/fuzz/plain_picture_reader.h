// The picture stream read the plain way, one bit and one byte at a time: the reference
// that the fast decoder must match byte for byte. A bit reader that goes through the
// stream's bytes from the most significant bit down, stops taking tokens once it has
// moved onto the final byte and reads zeros past the end; a history of every output
// byte behind 512 zeros, from which each match copies in increasing order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plain_picture_reader {

class Bits {
  public:
    Bits(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size), done_(size <= 1) {}
    bool done() const { return done_; }
    uint32_t read(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = (v << 1) | bit();
        return v;
    }

  private:
    uint32_t bit() {
        if (byte_ >= size_) return 0;
        const uint32_t b = (bytes_[byte_] >> index_) & 1u;
        if (index_ > 0) {
            --index_;
        } else {
            ++byte_;
            index_ = 7;
            if (byte_ + 1 >= size_) done_ = true;
        }
        return b;
    }
    const uint8_t* bytes_;
    size_t size_;
    size_t byte_ = 0;
    int index_ = 7;
    bool done_;
};

// Decodes into at most `limit` bytes of `out`; returns how many were written.
inline size_t decode(std::span<const uint8_t> resource, uint8_t* out, size_t limit) {
    if (resource.size() < 4) return 0;
    size_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | resource[static_cast<size_t>(i)];
    if (n > resource.size() - 4) n = resource.size() - 4;
    Bits bits(resource.data() + 4, n);
    std::vector<uint8_t> history(512, 0);
    while (!bits.done() && history.size() - 512 < limit) {
        if (bits.read(1)) {
            history.push_back(static_cast<uint8_t>(bits.read(8)));
            continue;
        }
        const size_t len = bits.read(5) + 1, p = bits.read(9);
        const size_t start = history.size() - 512 + p;
        for (size_t j = 0; j < len; ++j) history.push_back(history[start + j]);
    }
    size_t written = history.size() - 512;
    if (written > limit) written = limit;
    for (size_t i = 0; i < written; ++i) out[i] = history[512 + i];
    return written;
}

}  // namespace plain_picture_reader
