#include "graphics/picture_decoder.h"

#include <algorithm>
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

// Where a decode stands: the bit position in the stream, the bytes written, and the
// end of the bytes written ahead by fixed-size copies (overwritten by later tokens or
// cleared at the end).
struct Progress {
    size_t pos = 0;
    size_t written = 0;
    size_t scribbled = 0;
};

// Decodes tokens one at a time from any position while a token may start (before
// `endBit`) and fewer than `stop` bytes are written. Tokens that run over the stream's
// end read zeros; a match near the start copies the zeros the window starts with.
void decodeCarefully(const BitSource& bits, size_t endBit, uint8_t* out, size_t limit, size_t stop,
                     Progress& at) {
    while (at.pos < endBit && at.written < stop) {
        const uint32_t head = bits.peek(at.pos, 15);
        if (head & 0x4000) {
            out[at.written++] = static_cast<uint8_t>(head >> 6);
            at.pos += 9;
            continue;
        }
        size_t len = ((head >> 9) & 0x1F) + 1;
        at.pos += 15;
        if (len > limit - at.written) len = limit - at.written;
        // Window index p lies 512 - p bytes back; before the first 512 output bytes
        // the window still holds the zeros it started with. The copy runs forward, so
        // a copy that overlaps its own output repeats a short pattern.
        const size_t back = kHistory - (head & 0x1FF);
        for (size_t j = 0; j < len; ++j, ++at.written)
            out[at.written] = at.written >= back ? out[at.written - back] : 0;
    }
}

inline void copy16(uint8_t* d, const uint8_t* s) {
    uint8_t v[16];
    std::memcpy(v, s, 16);
    std::memcpy(d, v, 16);
}

// A match that overlaps its own output within 16 bytes: a short pattern repeats, byte
// by byte as the format defines it. Rare enough to stay out of the main loop's code.
__attribute__((noinline)) void repeatPattern(uint8_t* d, size_t back, size_t len) {
    for (size_t j = 0; j < len; ++j) d[j] = d[j - back];
}

// The main loop, for the bulk of a picture: the next bits sit in a 64-bit buffer that
// is refilled by whole words, and every token, literal or match, is the same two
// 16-byte copies (a literal copies from the far end of the window and then puts its
// byte first), so the loop has no branch on the token kind. It needs the full window
// behind the output, room for three tokens' 32-byte writes, and 8 readable stream bytes
// at each refill; it leaves the rest to the careful loop.
void decodeFast(const uint8_t* stream, size_t n, size_t endBit, uint8_t* out, size_t limit,
                Progress& at) {
    if (at.written < kHistory || n < 8) return;
    const uint8_t* in = stream + (at.pos >> 3);
    const uint8_t* const lastLoad = stream + n - 8;
    uint64_t buf = 0;
    unsigned count = 0;
    auto refill = [&] {
        uint64_t word;
        std::memcpy(&word, in, 8);
        buf |= __builtin_bswap64(word) >> count;
        in += (63 - count) >> 3;
        count |= 56;
    };
    auto position = [&] { return static_cast<size_t>(in - stream) * 8 - count; };
    if (in > lastLoad) return;
    refill();
    buf <<= at.pos & 7;
    count -= at.pos & 7;
    size_t written = at.written, scribbled = at.scribbled;
    // The token kind is turned into masks rather than tested, so that the compiler
    // cannot make a branch of it: literals and matches alternate unpredictably.
    auto token = [&] {
        const uint32_t head = static_cast<uint32_t>(buf >> 49);
        const uint32_t literal = head >> 14;
        const uint32_t matchMask = literal - 1;  // all ones for a match
        const size_t len = ((((head >> 9) & 0x1F) + 1) & matchMask) | literal;
        const size_t back = kHistory - (head & 0x1FF & matchMask);
        const unsigned used = 15 - 6 * literal;
        buf <<= used;
        count -= used;
        uint8_t* d = out + written;
        const uint8_t* s = d - back;
        if (__builtin_expect(back < 16 && len > back, 0)) {
            repeatPattern(d, back, len);
        } else {
            // Two 16-byte moves copy any match from 16 or more bytes back exactly: the
            // second reads what the first wrote when they overlap. Nearer matches that
            // do not overlap only need their first bytes right.
            const uint32_t first = ((head >> 6) & ~matchMask) | (s[0] & matchMask);
            copy16(d, s);
            copy16(d + 16, s + 16);
            d[0] = static_cast<uint8_t>(first);
        }
        scribbled = written + kMaxMatch;
        written += len;
    };
    // Three tokens take at most 45 bits, and a refill leaves at least 56.
    while (in <= lastLoad && position() + 30 < endBit && written + 3 * kMaxMatch <= limit) {
        refill();
        token();
        token();
        token();
    }
    at.pos = position();
    at.written = written;
    at.scribbled = std::max(at.scribbled, scribbled);
}

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

    Progress at;
    decodeCarefully(bits, endBit, out, limit, std::min(kHistory, limit), at);
    decodeFast(stream, n, endBit, out, limit, at);
    decodeCarefully(bits, endBit, out, limit, limit, at);
    // Whatever the stream did not reach stays zero.
    if (at.scribbled > at.written) std::memset(out + at.written, 0, at.scribbled - at.written);
    return at.written;
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
