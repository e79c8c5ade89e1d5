#include "platform/png_io.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace platform {

namespace {

// Bigger than any picture the tools handle (a contact sheet included), small enough that
// a header claiming more cannot make one read cost gigabytes.
constexpr png_uint_32 kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t{1} << 24;

bool finishRead(png_image& image, int& width, int& height, std::vector<uint8_t>& rgb,
                std::string& error) {
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide ||
        image.height > kMaxSide || uint64_t{image.width} * image.height > kMaxPixels) {
        error = "picture too large: " + std::to_string(image.width) + " x " +
                std::to_string(image.height);
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        rgb.clear();
        return false;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

}  // namespace

bool decodePngRGB(std::span<const uint8_t> bytes, int& width, int& height,
                  std::vector<uint8_t>& rgb, std::string& error) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return finishRead(image, width, height, rgb, error);
}

bool readPngRGB(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    std::string error;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), image.message);
        png_image_free(&image);
        return false;
    }
    if (!finishRead(image, width, height, rgb, error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool writePngRGB(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (rgb.size() < static_cast<size_t>(width) * height * 3) return false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

}  // namespace platform
