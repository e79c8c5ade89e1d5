// The resource pack as the packer writes it and the game reads it.
#include "platform/resource_pack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using platform::PackEntry;

// Every entry comes back with its own type, id and bytes: a lost type would leave the
// game without a single picture or sound.
TEST(ResourcePack, ABuiltPackReadsBackEntryByEntry) {
    const std::vector<uint8_t> picture = {1, 2, 3}, none, music = {9, 8, 7, 6, 5};
    const std::vector<PackEntry> entries = {
        {"PCT", 295, picture}, {"WAVE", 60001, none}, {"MUSICMOD", 61001, music}};
    const std::vector<uint8_t> pack = platform::buildPack(entries);
    const std::vector<PackEntry> back = platform::parsePack(pack);
    ASSERT_EQ(back.size(), entries.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].type, entries[i].type) << i;
        EXPECT_EQ(back[i].id, entries[i].id) << i;
        EXPECT_EQ(std::vector<uint8_t>(back[i].bytes.begin(), back[i].bytes.end()),
                  std::vector<uint8_t>(entries[i].bytes.begin(), entries[i].bytes.end()))
            << i;
    }
}

}  // namespace
