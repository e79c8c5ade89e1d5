// Untrusted bytes as a PNG file for the tools' picture reader: a picture is either
// refused or read whole, never larger than the reader allows.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/png_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int width = -1, height = -1;
    std::vector<uint8_t> rgb;
    std::string error;
    if (!platform::decodePngRGB(std::span<const uint8_t>(data, size), width, height, rgb, error)) {
        if (error.empty()) std::abort();  // a refusal says why
        return 0;
    }
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) std::abort();
    if (rgb.size() != static_cast<size_t>(width) * height * 3) std::abort();
    return 0;
}
