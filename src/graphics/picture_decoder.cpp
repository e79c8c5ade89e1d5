#include "graphics/picture_decoder.h"

#include <cstring>

#include "platform/platform.h"

namespace {

constexpr size_t kHistory = 512;
constexpr size_t kMaxMatch = 32;

// Reads the bit stream most significant bit first. Bits past the stream's end read
// as 0, so a token that runs over the end never reads outside the resource.
class BitSource {
  public:
    BitSource(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    // The next `n` (at most 25) bits at bit position `pos`, without consuming them.
    uint32_t peek(size_t pos, int n) const {
        const size_t byte = pos >> 3;
        uint64_t word;
        if (byte + 8 <= size_) {
            std::memcpy(&word, bytes_ + byte, 8);
            word = __builtin_bswap64(word);
        } else {
            word = 0;
            for (size_t i = 0; i < 8; ++i)
                word = (word << 8) | (byte + i < size_ ? bytes_[byte + i] : 0u);
        }
        return static_cast<uint32_t>((word << (pos & 7)) >> (64 - n));
    }

  private:
    const uint8_t* bytes_;
    size_t size_;
};

}  // namespace

size_t decodePictureStream(std::span<const uint8_t> resource, uint8_t* out, size_t limit) {
    if (resource.size() < 4 || out == nullptr || limit == 0) return 0;
    uint32_t n = static_cast<uint32_t>(resource[0]) | (static_cast<uint32_t>(resource[1]) << 8) |
                 (static_cast<uint32_t>(resource[2]) << 16) |
                 (static_cast<uint32_t>(resource[3]) << 24);
    // A length word that claims more than the resource holds is cut to what is there.
    if (n > resource.size() - 4) n = static_cast<uint32_t>(resource.size() - 4);
    // The reader stops taking tokens once it has moved onto the final byte of the
    // stream: a token may start only in the bytes before it. With one byte or none
    // the reader sits on the final byte from the start.
    if (n <= 1) return 0;
    const size_t endBit = static_cast<size_t>(n - 1) * 8;
    const uint8_t* stream = resource.data() + 4;
    const BitSource bits(stream, n);

    size_t pos = 0;  // bit position
    size_t written = 0;
    size_t scribbled = 0;  // end of the bytes written ahead by fixed-size copies
    // Tokens that fit whole inside the 8-byte peek window need no bounds checks on
    // the stream; the tail goes through the same code with zero padding.
    while (pos < endBit) {
        const uint32_t head = bits.peek(pos, 15);
        if (head & 0x4000) {
            out[written++] = static_cast<uint8_t>(head >> 6);
            pos += 9;
            if (written == limit) break;
            continue;
        }
        size_t len = ((head >> 9) & 0x1F) + 1;
        const size_t p = head & 0x1FF;
        pos += 15;
        if (len > limit - written) len = limit - written;
        // Window index p lies 512 - p bytes back; before the first 512 output bytes
        // the window still holds the zeros it started with.
        const size_t back = kHistory - p;
        uint8_t* dst = out + written;
        if (written >= back && back >= kMaxMatch && written + kMaxMatch <= limit) {
            // A fixed-size copy is quicker than one of the exact length; the bytes past
            // the match are overwritten by the next tokens, or cleared at the end.
            std::memcpy(dst, dst - back, kMaxMatch);
            if (written + kMaxMatch > scribbled) scribbled = written + kMaxMatch;
        } else if (written >= back) {
            const uint8_t* src = dst - back;
            if (back >= len) {
                std::memcpy(dst, src, len);
            } else {
                // The copy overlaps its own output: a short pattern repeats.
                for (size_t j = 0; j < len; ++j) dst[j] = src[j];
            }
        } else {
            for (size_t j = 0; j < len; ++j) {
                const size_t at = written + j;
                dst[j] = at >= back ? out[at - back] : 0;
            }
        }
        written += len;
        if (written == limit) break;
    }
    // Whatever the stream did not reach stays zero.
    if (scribbled > written) std::memset(out + written, 0, scribbled - written);
    return written;
}

void loadPicture(Image& image, int id, int w, int h) {
    image.releaseBitmap();
    image.createBlank(w, h);
    Bitmap* b = image.bitmap;
    if (b == nullptr || b->width == 0 || b->height == 0) return;
    // A missing resource leaves the fresh picture black.
    const std::span<const uint8_t> res = platform::findResource("PCT", id);
    if (res.empty()) return;
    decodePictureStream(res, reinterpret_cast<uint8_t*>(b->pixels),
                        static_cast<size_t>(b->height) * static_cast<size_t>(b->stride));
}
