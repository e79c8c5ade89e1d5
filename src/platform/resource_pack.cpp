#include "platform/resource_pack.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

constexpr size_t kHeader = 12;
constexpr size_t kEntry = 20;

}  // namespace

std::vector<PackEntry> parsePack(std::span<const uint8_t> pack) {
    std::vector<PackEntry> entries;
    if (pack.size() < kHeader || std::memcmp(pack.data(), "TRPK", 4) != 0) return entries;
    if (readU32(pack.data() + 4) != 1) return entries;
    const uint32_t count = readU32(pack.data() + 8);
    if (count > (pack.size() - kHeader) / kEntry) return entries;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = pack.data() + kHeader + i * kEntry;
        char type[9] = {};
        std::memcpy(type, e, 8);
        const uint32_t id = readU32(e + 8);
        const uint32_t offset = readU32(e + 12);
        const uint32_t size = readU32(e + 16);
        if (offset > pack.size() || size > pack.size() - offset) return {};
        entries.push_back({type, static_cast<int>(id), pack.subspan(offset, size)});
    }
    return entries;
}

std::vector<uint8_t> buildPack(const std::vector<PackEntry>& entries) {
    std::vector<uint8_t> out = {'T', 'R', 'P', 'K'};
    putU32(out, 1);
    putU32(out, static_cast<uint32_t>(entries.size()));
    size_t offset = kHeader + entries.size() * kEntry;
    for (const PackEntry& e : entries) {
        char type[8] = {};
        std::memcpy(type, e.type.data(), std::min<size_t>(e.type.size(), 8));
        out.insert(out.end(), type, type + 8);
        putU32(out, static_cast<uint32_t>(e.id));
        putU32(out, static_cast<uint32_t>(offset));
        putU32(out, static_cast<uint32_t>(e.bytes.size()));
        offset += (e.bytes.size() + 3) & ~size_t{3};
    }
    for (const PackEntry& e : entries) {
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        while (out.size() % 4 != 0) out.push_back(0);
    }
    return out;
}

}  // namespace platform
