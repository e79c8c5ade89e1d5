// Arbitrary bytes as a picture resource: decoding must stay inside the output it is
// given and never read past the resource, whatever the length word claims.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "graphics/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the input size, so a sanitizer sees any read past it.
    std::vector<uint8_t> res(data, data + size);
    static const size_t limits[] = {1, 2, 31, 512, 4 * 4 * 2, 150 * 200 * 2, 240 * 320 * 2};
    for (size_t limit : limits) {
        std::vector<uint8_t> out(limit + 16, 0xA5);
        const size_t n = decodePictureStream(std::span<const uint8_t>(res.data(), res.size()),
                                             out.data(), limit);
        if (n > limit) std::abort();
        for (size_t i = limit; i < out.size(); ++i)
            if (out[i] != 0xA5) std::abort();
    }
    return 0;
}
