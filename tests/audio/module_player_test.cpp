// The module sequencer and its mixing, played offline at 22050 Hz (a tick is 442 frames).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <tuple>

#include "audio/module_tables.h"
#include "audio/sound_engine.h"
#include "audio/step_tables.h"
#include "audio_builders.h"
#include "platform/resource_pack.h"

namespace {

using audiotest::ModuleBuilder;

constexpr uint32_t kTick = 442;
constexpr uint32_t kRow = 6 * kTick + 1;  // at speed 6

std::vector<int8_t> Flat(size_t n, int8_t v) {
    return std::vector<int8_t>(n, v);
}

// An engine playing the module from the start on player 0.
struct Rig {
    SoundEngine engine;
    std::vector<uint8_t> bytes;
    ModuleRequest request;
    std::vector<uint8_t> out;

    explicit Rig(const ModuleBuilder& b, bool loop = false, bool stereo = true,
                 uint32_t volume = 64)
        : bytes(b.Build()) {
        EXPECT_TRUE(engine.OpenOffline(22050, stereo));
        request.data = bytes.data();
        request.size = bytes.size();
        request.loop = loop;
        request.volume = volume;
        EXPECT_EQ(engine.StartModule(request), 0);
    }
    const ModulePlayer& P() const { return engine.PlayerAt(0); }
    const ModulePlayer::Track& T(int t = 0) const { return P().tracks[t]; }
    uint32_t Step(int period) const { return engine.StepTable()[period]; }
    void Frames(uint32_t n) {
        out.assign(n << engine.Stereo(), 0);
        engine.MixFrames(out.data(), n);
    }
    // Frames until the player has read another row.
    uint32_t FramesToNextRow() {
        const uint32_t row = P().rowOffset, pos = P().position;
        for (uint32_t n = 1; n <= 100000; ++n) {
            Frames(1);
            if (P().rowOffset != row || P().position != pos || P().stopped) return n;
        }
        return 0;
    }
};

TEST(ModulePlayer, RowTimingAtSpeed6AndAfterSpeedOrTempo) {
    // Fxx on row 0: up to 32 a speed (ticks a row), from 33 a tempo T (22050 / (2T / 5) + 1
    // frames a tick). {parameter, ticks a row, frames a tick}
    const uint32_t cases[][3] = {{0, 6, kTick},   {1, 1, kTick},
                                 {32, 32, kTick}, {33, 6, 22050 / 13 + 1},
                                 {125, 6, kTick}, {255, 6, 22050 / 102 + 1}};
    for (const auto& [parameter, ticks, tickFrames] : cases) {
        const uint32_t rowFrames = ticks * tickFrames + 1;
        Rig r(ModuleBuilder().Note(0, 0, 0, 0, 0, parameter ? 15 : 0, parameter));
        r.Frames(1);  // the very first frame reads row 0
        EXPECT_EQ(r.P().rowOffset, 4u);
        EXPECT_EQ(r.FramesToNextRow(), rowFrames) << "F" << parameter;  // row 1
        EXPECT_EQ(r.FramesToNextRow(), rowFrames) << "F" << parameter;  // row 2
    }
}

TEST(ModulePlayer, PatternBreakAndPositionJump) {
    // Dxy: to the decimal row (none past 63) of the next position, from the last one only when
    // looped; Bxx: to the position, past the order table ending it.
    const uint32_t cases[][8] = {
        // pattern, row, effect, parameter, loop -> position, row offset, stopped
        {0, 2, 13, 0x32, 0, 1, 32 * 4, 0}, {0, 2, 13, 0x09, 0, 1, 9 * 4, 0},
        {0, 2, 13, 0x63, 0, 1, 63 * 4, 0}, {0, 2, 13, 0x99, 0, 1, 63 * 4, 0},
        {1, 0, 13, 0x10, 1, 0, 10 * 4, 0}, {1, 0, 13, 0x10, 0, 1, 4, 0},
        {0, 1, 11, 2, 0, 2, 0, 0},         {0, 0, 11, 0x80, 0, 0, 4, 1},
    };
    for (const auto& [pattern, row, effect, parameter, loop, position, offset, stopped] : cases) {
        ModuleBuilder b(3);
        b.Song(pattern == 1 ? std::vector<uint8_t>{0, 1} : std::vector<uint8_t>{0, 1, 2}, 0);
        b.Note(pattern, row, 1, 0, 0, effect, parameter);
        Rig r(b, loop);
        r.Frames(1 + (64 * pattern + row) * kRow);  // up to reading that row
        SCOPED_TRACE(testing::Message() << effect << " " << parameter);
        EXPECT_EQ(r.P().stopped, stopped);
        EXPECT_TRUE(stopped || (r.P().position == position && r.P().rowOffset == offset))
            << r.P().position << " " << r.P().rowOffset;
    }
}

// In the last position of a song that does not loop a break has no next position to
// go to: with a jump in the same row, the jump's pattern starts at its last row, not at
// the break's.
TEST(ModulePlayer, ABreakWithNowhereToGoDoesNotChooseTheJumpsRow) {
    ModuleBuilder b(2);
    b.Song({0, 1}, 0);
    b.Note(1, 0, 0, 0, 0, 11, 0);     // B00: back to the first position
    b.Note(1, 0, 1, 0, 0, 13, 0x10);  // D10: row 10 of the next position, if there were one
    Rig r(b, false);
    r.Frames(1 + 64 * kRow);
    EXPECT_EQ(r.P().stopped, 0);
    EXPECT_EQ(r.P().position, 0u);
    EXPECT_EQ(r.P().rowOffset, 252u);
}

TEST(ModulePlayer, PositionJumpPastTheSongsEndPlaysStoredPatterns) {
    // Song {0, 2} holds patterns 0..2. B on row 0 to an order entry past the song's end:
    // one naming a held pattern plays it and then ends the song; past the 128-entry
    // table, or to a pattern not held, the song ends (or starts over when looped).
    const uint32_t cases[][5] = {
        // target, order entry there, loop -> position after the jump (128: stopped), pattern
        {5, 1, 0, 5, 1}, {127, 2, 0, 127, 2}, {1, 2, 0, 1, 2},   {5, 3, 0, 128, 0},
        {5, 3, 1, 0, 0}, {128, 0, 0, 128, 0}, {255, 0, 1, 0, 0},
    };
    for (const auto& [target, entry, loop, position, pattern] : cases) {
        SCOPED_TRACE(testing::Message() << "B" << target << " to " << entry << " loop " << loop);
        ModuleBuilder b(3);
        b.Song({0, 2}, 0).Instrument(1, Flat(64, 10)).Note(0, 0, 1, 0, 0, 11, target);
        if (target >= 2 && target < 128)
            b.Order(static_cast<int>(target), static_cast<uint8_t>(entry));
        for (int p = 1; p < 3; ++p) b.Note(p, 0, 0, 428, 1);  // shows which pattern plays
        Rig r(b, loop);
        r.Frames(1);
        ASSERT_EQ(r.P().stopped, position == 128);
        if (position == 128) continue;
        EXPECT_EQ(r.P().position, position);
        EXPECT_EQ(r.P().pattern, pattern);
        r.Frames(kRow);
        EXPECT_EQ(r.T().instrument, pattern != 0 ? 1u : 0u);
        if (position < 2) continue;
        r.Frames(63 * kRow);  // off the end of the stored pattern: past the song's end
        EXPECT_TRUE(r.P().stopped);
    }
}

TEST(ModulePlayer, NoteTakesTheFinetunedNearestPeriod) {
    const uint32_t cases[][3] = {{0, 428, 24}, {0, 429, 24}, {0, 430, 924},
                                 {0, 30, 359}, {1, 428, 84}, {15, 428, 924}};
    for (const auto& [finetune, period, index] : cases) {
        Rig r(ModuleBuilder()
                  .Instrument(1, Flat(64, 10), 40, static_cast<uint8_t>(finetune))
                  .Note(0, 0, 2, period, 1));
        r.Frames(1);
        EXPECT_EQ(r.T(2).period, PeriodTable()[index]) << finetune << " " << period;
        EXPECT_EQ(r.T(2).step, r.Step(PeriodTable()[index]));
        EXPECT_EQ(r.T(2).effectiveVolume, 40);
    }
}

TEST(ModulePlayer, TwoPlayersAndSampleVoicesAddUp) {
    Rig r(ModuleBuilder().Instrument(1, Flat(2000, 64)).Note(0, 0, 0, 428, 1));
    ASSERT_EQ(r.engine.StartModule(r.request), 1);
    EXPECT_EQ(r.engine.StartModule(r.request), SoundEngine::kNoVoice) << "both players busy";
    std::vector<uint8_t> sample(100 + 8, 128 + 64);
    SoundRequest s;
    audiotest::SetRequest(s, sample.data(), 100, 22050);
    ASSERT_EQ(r.engine.StartSample(s), 2);
    r.Frames(20);
    // Left: 2 x 3072 + 4096 = 10240 >> 7 = 80; right: 2 x 1024 + 4096 = 6144 >> 7 = 48.
    for (size_t f = 0; f < 20; ++f) ASSERT_TRUE(r.out[2 * f] == 208 && r.out[2 * f + 1] == 176);
    r.engine.StopModule(7);  // ignored
    r.engine.StopModule(0);
    EXPECT_EQ(r.engine.StartModule(r.request), 0);
}

TEST(ModulePlayer, ToneSlideKeepsTheSampleGoingAndStopsOnTheTarget) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 30));
    b.Note(0, 0, 0, 428, 1).Note(0, 1, 0, 214, 0, 3, 16);
    b.Note(0, 0, 1, 240, 1).Note(0, 1, 1, 254, 0, 3, 0xFF);
    Rig r(b);
    r.Frames(1 + kRow);
    EXPECT_EQ(r.T().period, 428) << "the note only sets the target";
    EXPECT_EQ(r.T().position, (kRow + 1) * 96u) << "and does not restart the sample";
    r.Frames(kTick);
    EXPECT_EQ(r.T(1).period, 254) << "a step past the target stops on it";
    r.Frames(4 * kTick);
    EXPECT_EQ(r.T().period, 428 - 5 * 16);
    EXPECT_EQ(r.T().step, r.Step(428 - 5 * 16));
}

TEST(ModulePlayer, VolumeSlideIsClamped) {
    const int cases[][4] = {
        {60, 0x30, 63, 64}, {60, 0xF0, 64, 64}, {10, 0x04, 6, 0}, {10, 0x0F, 0, 0}, {30, 0, 30, 30},
    };
    for (const auto& [volume, parameter, afterOneTick, afterRow] : cases) {
        Rig r(ModuleBuilder()
                  .Instrument(1, Flat(20000, 30), static_cast<uint8_t>(volume))
                  .Note(0, 0, 0, 428, 1, 10, parameter));
        r.Frames(1 + kTick);
        EXPECT_EQ(r.T().volume, afterOneTick) << std::hex << parameter;
        r.Frames(4 * kTick);
        EXPECT_EQ(r.T().effectiveVolume, afterRow) << std::hex << parameter;
    }
}

TEST(ModulePlayer, VolumesOutsideTheRangeSoundAsTheyAreAndCannotOverflowTheMix) {
    // One track of bytes 64 in mono: C, fine slides and the instrument's own volume past
    // 0..64 play louder, or turned over below 0. {instrument volume, effect, parameter, byte}
    const uint32_t one[][4] = {
        {64, 12, 0x40, 128 + 32}, {64, 12, 0x7F, 128 + 63}, {64, 12, 0xFF, 255},
        {100, 0, 0, 128 + 50},    {64, 14, 0xAF, 128 + 39}, {4, 14, 0xBF, 128 - 6},
    };
    for (const auto& [volume, effect, parameter, expected] : one) {
        Rig r(ModuleBuilder()
                  .Instrument(1, Flat(4000, 64), static_cast<uint8_t>(volume))
                  .Note(0, 0, 0, 428, 1, effect, parameter),
              false, false);
        r.Frames(1);
        EXPECT_EQ(r.out[0], expected) << volume << " " << effect << " " << parameter;
    }
    // Four tracks of bytes 127 at CFF: 127 x (192 + 64 + 64 + 192) = 65024 on each side,
    // which a 16-bit sum would turn into -512.
    ModuleBuilder four;
    four.Instrument(1, Flat(4000, 127), 64);
    for (int t = 0; t < 4; ++t) four.Note(0, 0, t, 428, 1, 12, 0xFF);
    Rig loud(four);
    loud.Frames(64);
    for (uint8_t v : loud.out) ASSERT_EQ(v, 255);
    // EAF / EBF on every row at speed 1, 2300 rows: the volume goes on past 16 bits, the
    // mixer's volume stops at the end of them, and bytes of 1 drive the output to its end.
    for (const auto& [slide, start, limit, expected] :
         {std::tuple{0xAF, 64, 32767, 255}, {0xBF, 0, -32768, 0}}) {
        ModuleBuilder b(2);
        b.Song(std::vector<uint8_t>(128, 1)).Order(0, 0);
        b.Instrument(1, Flat(2000, 1), static_cast<uint8_t>(start), 0, 0, 1000);
        b.Note(0, 0, 0, 428, 1, 14, slide).Note(0, 0, 1, 0, 0, 15, 1);
        for (int p = 0; p < 2; ++p)
            for (int row = p == 0 ? 1 : 0; row < 64; ++row) b.Note(p, row, 0, 0, 0, 14, slide);
        Rig r(b, false, false);
        r.Frames(2300 * (kTick + 1));
        EXPECT_EQ(std::abs(r.T().volume), 2300 * 15 + (slide == 0xAF ? 64 : 0));
        EXPECT_EQ(r.T().effectiveVolume, limit);
        EXPECT_EQ(r.out.back(), expected) << std::hex << slide;
    }
}

TEST(ModulePlayer, NoteCutAndNoteDelay) {
    for (uint8_t y : {0, 2}) {
        Rig r(
            ModuleBuilder().Instrument(1, Flat(20000, 30), 50).Note(0, 0, 0, 428, 1, 14, 0xC0 | y));
        r.Frames(1);
        for (uint32_t tick = 1; tick <= 5; ++tick) {
            r.Frames(kTick);
            EXPECT_EQ(r.T().effectiveVolume, y != 0 && tick >= y ? 0 : 50) << int(y) << " " << tick;
        }
    }
    Rig r(ModuleBuilder()
              .Instrument(1, Flat(20000, 30))
              .Note(0, 0, 0, 428, 1)
              .Note(0, 1, 0, 300, 0, 14, 0xD2));
    r.Frames(1 + kRow + 2 * kTick);
    EXPECT_EQ(r.T().period, 428) << "ED2: not yet on tick 2";
    const uint32_t position = r.T().position;
    r.Frames(kTick);  // tick 3: the written period, the sample not restarted
    EXPECT_EQ(r.T().period, 300);
    EXPECT_EQ(r.T().step, r.Step(300));
    EXPECT_GT(r.T().position, position);
}

TEST(ModulePlayer, SampleOffsetArpeggioAndSlidesPastTheTables) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 30));
    b.Note(0, 0, 0, 428, 1, 9, 0x10).Note(0, 0, 1, 428, 1, 0, 0x47);
    for (int row = 0; row < 64; ++row) b.Note(0, row, 2, row ? 0 : 113, 1, 1, 0xFF);
    for (int row = 0; row < 64; ++row) b.Note(0, row, 3, row ? 0 : 113, 1, 2, 0xFF);
    Rig r(b);
    r.Frames(1);
    EXPECT_EQ(r.T(0).position, (16u << 8) + 96) << "9xx counts bytes";
    const uint32_t arp[3] = {r.Step(428), r.Step(PeriodTable()[28]), r.Step(PeriodTable()[31])};
    for (int tick = 0; tick <= 5; ++tick, r.Frames(kTick))
        EXPECT_EQ(r.T(1).step, arp[tick % 3]) << tick;
    r.Frames(20 * kRow);  // the slides leave the period range and the player goes on
    EXPECT_LT(r.T(2).period, 0);
    EXPECT_GT(r.T(3).period, 1715);
    EXPECT_FALSE(r.P().stopped);
}

TEST(ModulePlayer, OneShotPositionRunsOnPastTheEndAndStopsAtTheTop) {
    // Instrument 1 ends after 64 bytes; row 8 takes up instrument 2 without a note. The
    // position has run on to byte 8 x kRow x 96 / 256 = 7959 by then: past the end of a
    // 4000-byte instrument (silent), inside a 20000-byte one (it sounds from there).
    for (size_t second : {4000, 20000}) {
        Rig r(ModuleBuilder()
                  .Instrument(1, Flat(64, 50))
                  .Instrument(2, Flat(second, 30))
                  .Note(0, 0, 0, 428, 1)
                  .Note(0, 8, 0, 0, 2),
              false, false);
        const uint32_t step = r.Step(428);
        r.Frames(8 * kRow);
        EXPECT_EQ(r.T().position, 8 * kRow * step);
        r.Frames(1);
        EXPECT_EQ(r.T().instrument, 2u);
        EXPECT_EQ(r.out[0], second > 8 * kRow * step / 256 ? 128 + 30 / 2 : 128) << second;
    }
    // A slide leaves period 113 - 5 x 22 = 3 (step 13727): the position reaches the top
    // within 15 s and stays there rather than wrapping round to the sample's start.
    Rig r(ModuleBuilder(2)
              .Song({0, 1, 1})  // 23 s
              .Instrument(1, Flat(4000, 50))
              .Note(0, 0, 0, 113, 1, 1, 22),
          false, false);
    r.Frames(kRow);
    ASSERT_EQ(r.T().step, r.Step(3));
    for (int second = 0; second < 20; ++second) {
        r.Frames(22050);
        ASSERT_TRUE(std::all_of(r.out.begin(), r.out.end(), [](uint8_t v) { return v == 128; }))
            << second;
    }
    EXPECT_EQ(r.T().position, UINT32_MAX);
}

// 488 swings the pitch from tick 1 on, half a sine wave a row; 400 on the next row keeps
// swinging at the same speed and depth instead of stopping.
TEST(ModulePlayer, VibratoSwingsThePitchAndAnEmptyParameterCarriesItOn) {
    Rig r(ModuleBuilder()
              .Instrument(1, Flat(40000, 30))
              .Note(0, 0, 0, 428, 1, 4, 0x88)
              .Note(0, 1, 0, 0, 0, 4, 0));
    const uint32_t still = r.Step(428);
    std::vector<uint32_t> steps;
    r.Frames(1);
    for (int tick = 1; tick < 12; ++tick) {
        r.Frames(kTick);
        steps.push_back(r.T().step);
    }
    // Row 0 (ticks 1..5) swings through the sine's upper half: longer periods, smaller
    // steps; row 1 through its lower half.
    EXPECT_EQ(steps[0], still);
    EXPECT_LT(*std::min_element(steps.begin(), steps.begin() + 5), still);
    EXPECT_GT(*std::max_element(steps.begin() + 6, steps.end()), still);
}

TEST(ModulePlayer, SongEndWithAndWithoutLoop) {
    for (bool loop : {false, true}) {
        Rig r(ModuleBuilder(2)
                  .Song({0, 1})
                  .Instrument(1, Flat(20000, 40), 64, 0, 0, 10000)
                  .Note(0, 0, 0, 428, 1),
              loop);
        r.Frames((2 * 64 - 1) * kRow);  // the last row read
        EXPECT_FALSE(r.P().stopped);
        r.Frames(1);
        EXPECT_EQ(r.P().stopped, loop ? 0 : 1);
        EXPECT_EQ(r.out[0] != 128, loop) << "nothing is added once stopped";
        EXPECT_TRUE(!loop || r.P().position == 0u);
        EXPECT_EQ(r.engine.StartModule(r.request), loop ? 1 : 0) << "a stopped player is free";
    }
}

TEST(ModulePlayer, RestartPosition) {
    // 127 means none even in a song of 128 positions; past the song's end also means none.
    const uint32_t cases[][3] = {{3, 127, 0}, {3, 1, 1},   {3, 2, 2},
                                 {3, 3, 0},   {3, 200, 0}, {128, 127, 0}};
    for (const auto& [length, stored, expected] : cases) {
        Rig r(ModuleBuilder()
                  .Song(std::vector<uint8_t>(length, 0), static_cast<uint8_t>(stored))
                  .Note(0, 0, 0, 0, 0, 15, 1),  // speed 1
              true);
        r.Frames(length * 64 * (kTick + 1) + 1);
        EXPECT_EQ(r.P().position, expected) << stored;
        EXPECT_EQ(r.P().rowOffset, 4u) << stored;
    }
}

TEST(ModulePlayer, PauseResumeAndVolumes) {
    Rig r(ModuleBuilder().Instrument(1, Flat(20000, 64), 64).Note(0, 0, 1, 428, 1), false, false,
          32);
    r.Frames(3);
    EXPECT_EQ(r.out[1], 128 + 16);  // 64 x 32 >> 7
    r.engine.PauseModules();
    const uint32_t position = r.T(1).position;
    r.Frames(10);
    for (uint8_t v : r.out) ASSERT_EQ(v, 128);
    EXPECT_EQ(r.T(1).position, position);
    r.engine.ResumeModules();
    r.engine.SetMasterVolume(32);
    r.Frames(3);
    EXPECT_EQ(r.out[0], 128 + 8);
}

TEST(ModulePlayer, MalformedSizesAreRefusedOrPlayedAsFarAsTheyGo) {
    const std::vector<uint8_t> good =
        ModuleBuilder(2).Song({0, 1}).Instrument(1, Flat(100, 50)).Build();
    const size_t patternsEnd = 1084 + 2 * 1024;
    const size_t sizes[] = {0,          1083, 1084, patternsEnd - 1, patternsEnd, patternsEnd + 37,
                            good.size()};
    const size_t available[] = {0, 0, 0, 0, 0, 37, 100};  // bytes of instrument 1
    for (int i = 0; i < 7; ++i) {
        const size_t size = sizes[i], instrumentBytes = available[i];
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, true));
        ModuleRequest m;
        m.data = good.data();
        m.size = size;
        EXPECT_EQ(e.StartModule(m), size >= patternsEnd ? 0 : SoundEngine::kNoVoice) << size;
        EXPECT_EQ(e.PlayerAt(0).instruments[1].available, instrumentBytes) << size;
    }
}

TEST(ModulePlayer, LoadsFromAMusicResource) {
    const std::vector<uint8_t> bytes = ModuleBuilder().Build();
    platform::overrideResource("MUSIC", 61001, bytes);
    ModuleRequest request;
    ASSERT_TRUE(LoadModuleResource(61001, request));
    EXPECT_TRUE(request.data == bytes.data() && request.size == bytes.size());
    platform::overrideResource("MUSIC", 61001, {});
    ModuleRequest missing;
    EXPECT_FALSE(LoadModuleResource(61001, missing));
    EXPECT_EQ(missing.data, nullptr);
}

// One held note per track against a frame-by-frame reading of resampling, loops and pans.
TEST(ModulePlayer, HeldNotesMatchTheFrameRule) {
    std::mt19937 rng(77);
    const uint32_t periods[] = {57, 113, 160, 214, 300, 428, 856, 1712};
    for (int trial = 0; trial < 30; ++trial) {
        struct RefTrack {
            std::vector<int8_t> bytes;
            uint32_t loopStart, loopLength, step, pos;
            int32_t vol, pan;
        };
        std::vector<RefTrack> ref(4);
        ModuleBuilder b;
        const bool stereo = rng() % 4 != 0;
        const uint16_t* steps = StepTableForRate(22050);
        for (int t = 0; t < 4; ++t) {
            RefTrack& r = ref[t];
            const uint32_t words = 1 + rng() % (rng() % 3 == 0 ? 12 : 1500);
            r.bytes.resize(words * 2);
            for (int8_t& v : r.bytes) v = static_cast<int8_t>(rng());
            const uint32_t loopWords = rng() % 2 ? 2 + rng() % words : 0;
            const uint32_t loopStartWords =
                loopWords ? rng() % (words - std::min(words, loopWords) + 1) : 0;
            const uint32_t period = periods[rng() % 8], vol = rng() % 65;
            r = {r.bytes,
                 loopStartWords * 512,
                 loopWords * 512,
                 steps[period],
                 0,
                 static_cast<int32_t>(vol),
                 t == 0 || t == 3 ? 64 : 192};  // pans 3/4 to a side
            b.Instrument(t + 1, r.bytes, static_cast<uint8_t>(vol), 0, loopStartWords, loopWords);
            b.Note(0, 0, t, period, t + 1);
        }
        Rig rig(b, false, stereo);
        const uint32_t frames = 2000 + rng() % 20000;
        rig.Frames(frames);
        for (uint32_t f = 0; f < frames; ++f) {
            int32_t left = 0, right = 0;
            for (RefTrack& r : ref) {
                const uint32_t length = static_cast<uint32_t>(r.bytes.size()) << 8;
                if (r.loopLength == 0 && r.pos > length) {  // silent, the position runs on
                    r.pos += r.step;
                    continue;
                }
                if (r.loopLength != 0 && r.pos > r.loopStart + r.loopLength) r.pos -= r.loopLength;
                // A loop reaching past the last byte goes round there instead.
                if (r.pos >> 8 >= r.bytes.size() && r.loopLength != 0 && r.pos >= r.loopLength)
                    r.pos -= r.loopLength;
                const int32_t s = (r.pos >> 8) < r.bytes.size() ? r.bytes[r.pos >> 8] : 0;
                const int32_t m = stereo ? r.vol * r.pan >> 8 : 0;
                left += s * (r.vol - m);
                right += s * m;
                r.pos += r.step;
            }
            const auto clamp8 = [](int32_t acc) { return std::clamp(acc >> 7, -128, 127) + 128; };
            ASSERT_EQ(rig.out[f << stereo], clamp8(left)) << "trial " << trial << " frame " << f;
            ASSERT_TRUE(!stereo || rig.out[2 * f + 1] == clamp8(right)) << trial << " frame " << f;
        }
    }
}

}  // namespace
