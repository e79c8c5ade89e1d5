// Resource lookup by type and id in the pack linked into the program, with the
// overlay that tests and tools may lay over it.
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/resource_pack.h"

extern "C" const uint8_t tallreed_pack_begin[];
extern "C" const uint8_t tallreed_pack_end[];

namespace platform {
namespace {

using Key = std::pair<std::string, int>;

struct Index {
    std::once_flag once;
    std::map<Key, std::span<const uint8_t>> linked;
    std::mutex overlayLock;
    std::map<Key, std::span<const uint8_t>> overlay;
};

Index& index() {
    static Index idx;
    return idx;
}

}  // namespace

std::span<const uint8_t> linkedPack() {
    return {tallreed_pack_begin, static_cast<size_t>(tallreed_pack_end - tallreed_pack_begin)};
}

void overrideResource(const char* type, int id, std::span<const uint8_t> bytes) {
    Index& idx = index();
    std::lock_guard<std::mutex> lock(idx.overlayLock);
    if (bytes.empty())
        idx.overlay.erase({type, id});
    else
        idx.overlay[{type, id}] = bytes;
}

void clearResourceOverrides() {
    Index& idx = index();
    std::lock_guard<std::mutex> lock(idx.overlayLock);
    idx.overlay.clear();
}

std::span<const uint8_t> findResource(const char* type, int id) {
    Index& idx = index();
    {
        std::lock_guard<std::mutex> lock(idx.overlayLock);
        auto it = idx.overlay.find({type, id});
        if (it != idx.overlay.end()) return it->second;
    }
    std::call_once(idx.once, [&idx] {
        for (const PackEntry& e : parsePack(linkedPack())) idx.linked[{e.type, e.id}] = e.bytes;
    });
    auto it = idx.linked.find({type, id});
    if (it == idx.linked.end()) return {};
    return it->second;
}

}  // namespace platform
