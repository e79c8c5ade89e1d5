// Arbitrary bytes as pixels: encoding and decoding again must give them back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "../../tools/pctool/encoder.h"
#include "graphics/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Large inputs only slow the run down; the greedy search is quadratic in the window.
    if (size > 20000) size = 20000;
    const std::span<const uint8_t> pixels(data, size);
    const std::vector<uint8_t> res = encodePicture(pixels);
    std::vector<uint8_t> out(size + 4, 0);
    const size_t n = decodePictureStream(res, out.data(), size);
    if (n != size) std::abort();
    for (size_t i = 0; i < size; ++i)
        if (out[i] != data[i]) std::abort();
    // With room to spare, at most one surplus byte follows the pixels.
    if (decodePictureStream(res, out.data(), size + 4) > size + 1) std::abort();
    return 0;
}
