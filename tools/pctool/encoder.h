// The greedy LZ77 encoder for picture resources: the exact counterpart of the game's
// decoder (32-byte look-ahead, 512-byte history starting as zeros, longest match wins,
// lowest window index among equal lengths, a match only when longer than 1 byte).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Returns the whole resource: the 32-bit little-endian stream length, then the stream.
std::vector<uint8_t> encodePicture(std::span<const uint8_t> data);
