// Picture resources ("PCT"): a 32-bit little-endian length N, then an LZ77 bit stream
// of raw RGB565 pixels (literal: 1 + 8 bits; match: 0 + 5 bits length-1 + 9 bits
// window index; 512-byte history that starts as zeros).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/image.h"

// Decodes `resource` (length word and stream) into at most `limit` bytes of `out`.
// Returns the number of bytes written. Never reads or writes out of bounds, whatever
// the bytes hold.
size_t decodePictureStream(std::span<const uint8_t> resource, uint8_t* out, size_t limit);

// Loads picture `id` of the program's resources into `image` at w x h (replacing its
// bitmap). A missing resource leaves the fresh bitmap all zero (black).
void loadPicture(Image& image, int id, int w, int h);
