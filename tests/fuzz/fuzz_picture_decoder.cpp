// Arbitrary bytes as a picture resource: decoding must give exactly what the plain
// bit-by-bit reader gives, stay inside the output it is given and never read past the
// resource, whatever the length word claims.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "graphics/picture_decoder.h"
#include "plain_picture_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the input size, so a sanitizer sees any read past it.
    std::vector<uint8_t> res(data, data + size);
    const std::span<const uint8_t> bytes(res.data(), res.size());
    static const size_t limits[] = {1, 2, 31, 512, 4 * 4 * 2, 150 * 200 * 2, 240 * 320 * 2};
    for (size_t limit : limits) {
        // A zeroed picture as loading makes it, with a guard band after the limit.
        std::vector<uint8_t> out(limit + 64, 0xA5), plain(limit, 0);
        std::memset(out.data(), 0, limit);
        const size_t n = decodePictureStream(bytes, out.data(), limit);
        if (n != plain_picture_reader::decode(bytes, plain.data(), limit)) std::abort();
        if (std::memcmp(out.data(), plain.data(), limit) != 0) std::abort();
        for (size_t i = limit; i < out.size(); ++i)
            if (out[i] != 0xA5) std::abort();
    }
    return 0;
}
