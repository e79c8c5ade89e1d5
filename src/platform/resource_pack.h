// The resource pack: every picture and sound, built at compile time and linked in.
//
// Layout (little-endian): "TRPK", version 1, entry count, then per entry an 8-byte
// zero-padded type name, the id, the offset from the pack's start and the size; then
// the data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct PackEntry {
    std::string type;
    int id = 0;
    std::span<const uint8_t> bytes;
};

// Parses a pack; an empty list when the bytes are not a well-formed pack.
std::vector<PackEntry> parsePack(std::span<const uint8_t> pack);

// Builds a pack from entries (for the packer and the tests).
std::vector<uint8_t> buildPack(const std::vector<PackEntry>& entries);

// The pack linked into this program.
std::span<const uint8_t> linkedPack();

// Tests and tools may lay resources over the linked pack (empty bytes remove the
// overlay again). The bytes must stay valid while they are in use.
void overrideResource(const char* type, int id, std::span<const uint8_t> bytes);
void clearResourceOverrides();

}  // namespace platform
