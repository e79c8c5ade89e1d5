// Untrusted bytes as the resource pack: a pack is either refused whole or every entry
// lies inside it, and a pack that is read builds again into one that reads the same.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/resource_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> pack(data, size);
    const std::vector<platform::PackEntry> entries = platform::parsePack(pack);
    unsigned sum = 0;
    for (const platform::PackEntry& e : entries) {
        if (e.type.size() > 8) std::abort();
        if (!e.bytes.empty() &&
            (e.bytes.data() < data || e.bytes.data() + e.bytes.size() > data + size))
            std::abort();
        for (uint8_t b : e.bytes) sum += b;  // every byte readable
    }
    if (entries.empty()) return static_cast<int>(sum & 0);
    const std::vector<uint8_t> rebuilt = platform::buildPack(entries);
    const std::vector<platform::PackEntry> again = platform::parsePack(rebuilt);
    if (again.size() != entries.size()) std::abort();
    for (size_t i = 0; i < again.size(); ++i) {
        const platform::PackEntry &a = entries[i], &b = again[i];
        if (a.type != b.type || a.id != b.id || a.bytes.size() != b.bytes.size()) std::abort();
        for (size_t j = 0; j < a.bytes.size(); ++j)
            if (a.bytes[j] != b.bytes[j]) std::abort();
    }
    return 0;
}
