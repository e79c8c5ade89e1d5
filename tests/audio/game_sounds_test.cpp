// Every sound the game plays is in the linked resources and loads as the mixer needs it.
#include <gtest/gtest.h>

#include "audio/wave_loader.h"
#include "platform/platform.h"

namespace {

TEST(GameSounds, EverySoundLoadsWithItsRateAndLength) {
    struct Case {
        int id;
        uint32_t rate, dataBytes;
    };
    const Case sounds[] = {
        {535, 22050, 84808}, {537, 22050, 211806}, {538, 22050, 5997},  {540, 22050, 6434},
        {543, 11025, 6207},  {544, 11025, 2245},   {545, 22050, 30208}, {546, 11025, 792},
        {550, 22050, 17115}, {551, 22050, 14403},  {555, 22050, 15404}, {556, 22050, 14254},
        {557, 11025, 8384},  {558, 44100, 41281},  {562, 22050, 17468}, {563, 22050, 15670},
        {564, 22050, 25998}, {578, 22050, 12671},  {579, 11025, 47037},
    };
    for (const Case& c : sounds) {
        SoundRequest r;
        ASSERT_TRUE(LoadWaveResource(c.id, r)) << c.id;
        EXPECT_EQ(r.rate, c.rate) << c.id;
        EXPECT_EQ(r.length, c.dataBytes - 8) << c.id;
        // The request points into the resource itself, the played bytes within it.
        const std::span<const uint8_t> res = platform::findResource("WAVE", c.id);
        EXPECT_GE(r.data, res.data()) << c.id;
        EXPECT_LT(r.data + r.length, res.data() + res.size()) << c.id;
    }
}

}  // namespace
