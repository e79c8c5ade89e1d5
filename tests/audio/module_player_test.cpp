// The module sequencer and its mixing, on small modules built in the tests and played
// through an engine opened without a device (22050 Hz: a tick is 442 frames).
#include <gtest/gtest.h>

#include <vector>

#include "audio/module_tables.h"
#include "audio/sound_engine.h"
#include "audio_builders.h"
#include "platform/resource_pack.h"

namespace {

using audiotest::ModuleBuilder;

constexpr uint32_t kTick = 442;
constexpr uint32_t kRowAtSpeed6 = 6 * kTick + 1;

std::vector<int8_t> Flat(size_t n, int8_t v) {
    return std::vector<int8_t>(n, v);
}

struct Rig {
    SoundEngine engine;
    std::vector<uint8_t> bytes;
    ModuleRequest request;
    std::vector<uint8_t> out;

    explicit Rig(const ModuleBuilder& b, bool loop = false, bool stereo = true) {
        bytes = b.Build();
        EXPECT_TRUE(engine.OpenOffline(22050, stereo));
        request.data = bytes.data();
        request.size = bytes.size();
        request.loop = loop ? 1 : 0;
    }
    uint16_t Start() { return engine.StartModule(request); }
    const ModulePlayer& P() const { return engine.PlayerAt(0); }
    void Frames(uint32_t n) {
        out.assign(n << engine.Stereo(), 0);
        engine.MixFrames(out.data(), n);
    }
    // Frames until the player has read another row (its row offset or position moved).
    uint32_t FramesToNextRow(uint32_t limit = 100000) {
        const uint32_t row = P().rowOffset, pos = P().position;
        for (uint32_t n = 1; n <= limit; ++n) {
            Frames(1);
            if (P().rowOffset != row || P().position != pos || P().stopped) return n;
        }
        return 0;
    }
};

TEST(ModulePlayer, StartsAndReportsItsId) {
    ModuleBuilder b;
    Rig r(b);
    EXPECT_EQ(r.Start(), 0);
    EXPECT_EQ(r.engine.StartModule(r.request), 1);
    EXPECT_EQ(r.engine.StartModule(r.request), SoundEngine::kNoVoice) << "both players busy";
    r.engine.StopModule(0);
    EXPECT_EQ(r.engine.StartModule(r.request), 0);
    r.engine.StopModule(7);  // ignored
    EXPECT_FALSE(r.engine.PlayerAt(1).stopped);
}

TEST(ModulePlayer, InitialTimingAndPans) {
    ModuleBuilder b;
    Rig r(b);
    ASSERT_EQ(r.Start(), 0);
    EXPECT_EQ(r.P().framesPerTick, 441u);
    EXPECT_EQ(r.P().speed, 6u);
    EXPECT_EQ(r.P().tickCounter, 6u);
    const uint32_t pans[4] = {64, 192, 192, 64};
    for (int t = 0; t < 4; ++t) EXPECT_EQ(r.P().tracks[t].pan, pans[t]);
    // The very first frame reads row 0.
    r.Frames(1);
    EXPECT_EQ(r.P().rowOffset, 4u);
    EXPECT_EQ(r.P().tickCounter, 0u);
}

TEST(ModulePlayer, RowTimingAtSpeed6) {
    ModuleBuilder b;
    Rig r(b);
    r.Start();
    r.Frames(1);
    for (int row = 1; row < 5; ++row) EXPECT_EQ(r.FramesToNextRow(), kRowAtSpeed6) << row;
}

TEST(ModulePlayer, SetSpeedAndTempo) {
    // F-effects on row 0; the distance from row 1 to row 2 shows the new timing.
    struct Case {
        uint8_t parameter;
        uint32_t rowFrames;
    };
    const Case cases[] = {
        {1, 1 * kTick + 1},
        {3, 3 * kTick + 1},
        {32, 32 * kTick + 1},                  // still a speed
        {33, 6 * (22050 / (66 / 5) + 1) + 1},  // a tempo: 1696 frames per tick
        {125, 6 * (441 + 1) + 1},
        {80, 6 * (22050 / 32 + 1) + 1},
        {255, 6 * (22050 / 102 + 1) + 1},
    };
    for (const Case& c : cases) {
        ModuleBuilder b;
        b.Note(0, 0, 0, 0, 0, 15, c.parameter);
        Rig r(b);
        r.Start();
        r.Frames(1);
        r.FramesToNextRow();  // row 1 read with the new timing in force
        EXPECT_EQ(r.FramesToNextRow(), c.rowFrames) << "F" << int(c.parameter);
        if (c.parameter <= 32) {
            EXPECT_EQ(r.P().speed, c.parameter);
            EXPECT_EQ(r.P().framesPerTick, 441u);
        } else {
            EXPECT_EQ(r.P().speed, 6u);
        }
    }
}

TEST(ModulePlayer, PatternBreakGoesToTheDecimalRowOfTheNextPosition) {
    struct Case {
        uint8_t parameter;
        uint32_t rowOffset;
    };
    for (const Case c : {Case{0x32, 32 * 4}, Case{0x00, 0}, Case{0x09, 9 * 4}, Case{0x63, 63 * 4},
                         Case{0x99, 63 * 4}}) {  // rows past 63 do not exist
        ModuleBuilder b(2);
        b.Song({0, 1});
        b.Note(0, 2, 1, 0, 0, 13, c.parameter);
        Rig r(b);
        r.Start();
        r.Frames(1);
        r.FramesToNextRow();
        r.FramesToNextRow();  // row 2 read
        EXPECT_EQ(r.P().position, 1u) << std::hex << int(c.parameter);
        EXPECT_EQ(r.P().pattern, 1u);
        EXPECT_EQ(r.P().rowOffset, c.rowOffset) << std::hex << int(c.parameter);
    }
}

TEST(ModulePlayer, PatternBreakOnTheLastPosition) {
    // Looped: back to the restart position at the decimal row. Not looped: no jump, the
    // pattern plays on.
    for (bool loop : {true, false}) {
        ModuleBuilder b(2);
        b.Song({0, 1}, 0);
        b.Note(1, 0, 0, 0, 0, 13, 0x10);
        Rig r(b, loop);
        r.Start();
        r.Frames(1 + 63 * kRowAtSpeed6);  // rows 0..63 of position 0
        r.FramesToNextRow();              // row 0 of position 1, with the break
        if (loop) {
            EXPECT_EQ(r.P().position, 0u);
            EXPECT_EQ(r.P().rowOffset, 40u);
        } else {
            EXPECT_EQ(r.P().position, 1u);
            EXPECT_EQ(r.P().rowOffset, 4u);
            EXPECT_FALSE(r.P().stopped);
        }
    }
}

TEST(ModulePlayer, PositionJump) {
    ModuleBuilder b(3);
    b.Song({0, 1, 2, 1});
    b.Note(0, 1, 3, 0, 0, 11, 2);
    Rig r(b);
    r.Start();
    r.Frames(1);
    r.FramesToNextRow();
    EXPECT_EQ(r.P().position, 2u);
    EXPECT_EQ(r.P().pattern, 2u);
    EXPECT_EQ(r.P().rowOffset, 0u);
    EXPECT_EQ(r.P().jump, ModulePlayer::kNoJump);
}

TEST(ModulePlayer, JumpPastTheSongEndsIt) {
    ModuleBuilder b(1);
    b.Note(0, 0, 0, 0, 0, 11, 0x40);
    Rig r(b);
    r.Start();
    r.Frames(1);
    EXPECT_TRUE(r.P().stopped);
}

TEST(ModulePlayer, NoteSetsPeriodStepAndVolume) {
    struct Case {
        uint8_t finetune;
        uint32_t period;
        int index;
    };
    for (const Case c : {Case{0, 428, 24}, Case{1, 428, 84}, Case{15, 428, 924}, Case{0, 1712, 0},
                         Case{0, 30, 359}, Case{0, 429, 24}, Case{0, 430, 924}}) {
        ModuleBuilder b;
        b.Instrument(1, Flat(64, 10), 40, c.finetune);
        b.Note(0, 0, 2, c.period, 1);
        Rig r(b);
        r.Start();
        r.Frames(1);
        const ModulePlayer::Track& t = r.P().tracks[2];
        const int expected = PeriodTable()[c.index];
        EXPECT_EQ(t.period, expected) << int(c.finetune) << " " << c.period;
        EXPECT_EQ(t.step, r.engine.StepTable()[expected]);
        EXPECT_EQ(t.volume, 40);
        EXPECT_EQ(t.effectiveVolume, 40);
    }
}

TEST(ModulePlayer, TracksArePannedThreeQuartersToOneSide) {
    // One constant instrument (+64) per case on one track at full volume.
    struct Case {
        int track;
        uint8_t left, right;
    };
    // m = 64 x pan >> 8; left gets 64 x (64 - m), right 64 x m, each >> 7.
    for (const Case c : {Case{0, 128 + 24, 128 + 8}, Case{1, 128 + 8, 128 + 24},
                         Case{2, 128 + 8, 128 + 24}, Case{3, 128 + 24, 128 + 8}}) {
        ModuleBuilder b;
        b.Instrument(1, Flat(2000, 64));
        b.Note(0, 0, c.track, 428, 1);
        Rig r(b);
        r.Start();
        r.Frames(100);
        for (size_t f = 0; f < 100; ++f) {
            ASSERT_EQ(r.out[2 * f], c.left) << c.track << " frame " << f;
            ASSERT_EQ(r.out[2 * f + 1], c.right) << c.track << " frame " << f;
        }
    }
}

TEST(ModulePlayer, MonoTakesTheWholeTrack) {
    ModuleBuilder b;
    b.Instrument(1, Flat(2000, 64));
    b.Note(0, 0, 1, 428, 1);
    Rig r(b, false, false);
    r.Start();
    r.Frames(10);
    for (uint8_t v : r.out) ASSERT_EQ(v, 128 + 32);
}

TEST(ModulePlayer, TwoPlayersAndSampleVoicesAddUp) {
    ModuleBuilder b;
    b.Instrument(1, Flat(2000, 64));
    b.Note(0, 0, 0, 428, 1);
    Rig r(b);
    ASSERT_EQ(r.Start(), 0);
    ASSERT_EQ(r.engine.StartModule(r.request), 1);
    std::vector<uint8_t> sample(100 + 8, 128 + 64);
    SoundRequest s;
    s.data = sample.data();
    s.length = 100;
    s.rate = 22050;
    ASSERT_EQ(r.engine.StartSample(s), 2);
    r.Frames(20);
    // Left: 2 x 3072 + 4096 = 10240 >> 7 = 80; right: 2 x 1024 + 4096 = 6144 >> 7 = 48.
    for (size_t f = 0; f < 20; ++f) {
        ASSERT_EQ(r.out[2 * f], 208);
        ASSERT_EQ(r.out[2 * f + 1], 176);
    }
}

TEST(ModulePlayer, ToneSlideDoesNotRestartTheSample) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 30));
    b.Note(0, 0, 0, 428, 1);
    b.Note(0, 1, 0, 214, 0, 3, 16);
    Rig r(b);
    r.Start();
    r.Frames(1);
    r.FramesToNextRow();
    const ModulePlayer::Track& t = r.P().tracks[0];
    // The note only set the target; the period and the sample position go on.
    EXPECT_EQ(t.period, 428);
    EXPECT_EQ(t.portaTarget, 214);
    EXPECT_EQ(t.portaSpeed, 16);
    EXPECT_EQ(t.position, (kRowAtSpeed6 + 1) * 96u);
    r.Frames(kTick);  // first tick: 428 - 16
    EXPECT_EQ(t.period, 412);
    EXPECT_EQ(t.step, r.engine.StepTable()[412]);
    r.Frames(4 * kTick);
    EXPECT_EQ(t.period, 428 - 5 * 16);
    r.Frames(3 * kRowAtSpeed6);  // the slide stops at the target
    EXPECT_GE(t.period, 214);
}

TEST(ModulePlayer, ToneSlideStopsExactlyOnTheTarget) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 30));
    b.Note(0, 0, 0, 240, 1);
    b.Note(0, 1, 0, 254, 0, 3, 0xFF);
    Rig r(b);
    r.Start();
    r.Frames(1);
    r.FramesToNextRow();
    r.Frames(kTick);
    EXPECT_EQ(r.P().tracks[0].period, 254);
}

TEST(ModulePlayer, VolumeSlideIsClamped) {
    struct Case {
        uint8_t volume, parameter;
        int afterOneTick, afterRow;
    };
    for (const Case c : {Case{60, 0x30, 63, 64}, Case{60, 0xF0, 64, 64}, Case{10, 0x04, 6, 0},
                         Case{10, 0x0F, 0, 0}, Case{30, 0x00, 30, 30}}) {
        ModuleBuilder b;
        b.Instrument(1, Flat(20000, 30), c.volume);
        b.Note(0, 0, 0, 428, 1, 10, c.parameter);
        Rig r(b);
        r.Start();
        r.Frames(1 + kTick);
        EXPECT_EQ(r.P().tracks[0].volume, c.afterOneTick) << std::hex << int(c.parameter);
        r.Frames(4 * kTick);
        EXPECT_EQ(r.P().tracks[0].volume, c.afterRow) << std::hex << int(c.parameter);
        EXPECT_EQ(r.P().tracks[0].effectiveVolume, c.afterRow);
    }
}

TEST(ModulePlayer, VolumesBeyond64CannotOverflowTheMix) {
    // C7F and a fine slide up are stored unclamped but sound like 64.
    auto render = [](uint32_t effect, uint32_t parameter) {
        ModuleBuilder b;
        b.Instrument(1, Flat(4000, 127), 64);
        for (int t = 0; t < 4; ++t) b.Note(0, 0, t, 428, 1, effect, parameter);
        Rig r(b);
        r.Start();
        r.Frames(400);
        return r.out;
    };
    const std::vector<uint8_t> reference = render(12, 64);
    EXPECT_EQ(render(12, 0x7F), reference);
    EXPECT_EQ(render(12, 0xFF), reference);
    EXPECT_EQ(render(14, 0xAF), reference);
    // Four tracks at +127: 4 x 127 x 64 >> 7 = 254, clamped to the top.
    EXPECT_EQ(reference[0], 255);
}

TEST(ModulePlayer, NoteCut) {
    for (uint8_t y : {0, 2, 4}) {
        ModuleBuilder b;
        b.Instrument(1, Flat(20000, 30), 50);
        b.Note(0, 0, 0, 428, 1, 14, 0xC0 | y);
        Rig r(b);
        r.Start();
        r.Frames(1);
        for (uint32_t tick = 1; tick <= 5; ++tick) {
            r.Frames(kTick);
            const bool cut = y != 0 && tick >= y;
            EXPECT_EQ(r.P().tracks[0].effectiveVolume, cut ? 0 : 50)
                << "EC" << int(y) << " tick " << tick;
            EXPECT_EQ(r.P().tracks[0].volume, 50);
        }
    }
}

TEST(ModulePlayer, NoteDelay) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 30));
    b.Note(0, 0, 0, 428, 1);
    b.Note(0, 1, 0, 300, 0, 14, 0xD2);
    Rig r(b);
    r.Start();
    r.Frames(1);
    r.FramesToNextRow();
    const ModulePlayer::Track& t = r.P().tracks[0];
    const uint32_t positionAtRow = t.position;
    EXPECT_EQ(t.period, 428) << "the delayed note is not played at the row";
    for (int tick = 1; tick <= 2; ++tick) {
        r.Frames(kTick);
        EXPECT_EQ(t.period, 428) << tick;
    }
    // Counter y - 1 counts down to -1 over ticks 1..2; tick 3 takes the written period
    // (no finetune, no restart of the sample).
    r.Frames(kTick);
    EXPECT_EQ(t.period, 300);
    EXPECT_EQ(t.step, r.engine.StepTable()[300]);
    EXPECT_GT(t.position, positionAtRow);
    EXPECT_EQ(t.delayCounter, ModulePlayer::kDelayDone);
}

TEST(ModulePlayer, SampleOffsetIsInBytes) {
    ModuleBuilder b;
    b.Instrument(1, Flat(2000, 30));
    b.Note(0, 0, 0, 428, 1, 9, 0x10);
    Rig r(b);
    r.Start();
    r.Frames(1);
    EXPECT_EQ(r.P().tracks[0].position, (16u << 8) + 96);
}

TEST(ModulePlayer, ArpeggioCyclesThreeSteps) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 30));
    b.Note(0, 0, 0, 428, 1, 0, 0x47);
    Rig r(b);
    r.Start();
    r.Frames(1);
    const uint16_t* steps = r.engine.StepTable();
    const uint32_t expected[3] = {steps[428], steps[PeriodTable()[28]], steps[PeriodTable()[31]]};
    EXPECT_EQ(r.P().tracks[0].step, expected[0]);
    for (int tick = 1; tick <= 5; ++tick) {
        r.Frames(kTick);
        EXPECT_EQ(r.P().tracks[0].step, expected[tick % 3]) << tick;
    }
}

TEST(ModulePlayer, PortamentoOutOfRangeStaysInsideTheTables) {
    // Slides far past both ends of the period range: the step comes from the clamped
    // table index and the player keeps going.
    for (uint32_t effect : {1u, 2u}) {
        ModuleBuilder b;
        b.Instrument(1, Flat(20000, 30));
        b.Note(0, 0, 0, 113, 1, effect, 0xFF);
        for (int row = 1; row < 64; ++row) b.Note(0, row, 0, 0, 0, effect, 0xFF);
        Rig r(b);
        r.Start();
        r.Frames(20 * kRowAtSpeed6);
        EXPECT_FALSE(r.P().stopped);
        if (effect == 1) {
            EXPECT_LT(r.P().tracks[0].period, 0);
        } else {
            EXPECT_GT(r.P().tracks[0].period, 1715);
        }
    }
}

TEST(ModulePlayer, SongEndWithAndWithoutLoop) {
    // Reading the last row moves on to the position after it; without the loop flag the
    // player stops there and then, with it the song goes on at the restart position.
    const uint32_t lastRowFrame = (2 * 64 - 1) * kRowAtSpeed6;
    for (bool loop : {false, true}) {
        ModuleBuilder b(2);
        b.Song({0, 1});
        b.Instrument(1, Flat(20000, 40), 64, 0, 0, 10000);
        b.Note(0, 0, 0, 428, 1);
        Rig r(b, loop);
        r.Start();
        r.Frames(lastRowFrame);
        EXPECT_FALSE(r.P().stopped);
        EXPECT_EQ(r.P().position, 1u);
        EXPECT_EQ(r.P().rowOffset, 252u);
        r.Frames(1);
        EXPECT_EQ(r.P().stopped, loop ? 0 : 1);
        if (loop) {
            EXPECT_EQ(r.P().position, 0u);
            EXPECT_EQ(r.P().rowOffset, 0u);
            EXPECT_NE(r.out[0], 128);
            r.Frames(kRowAtSpeed6);
            EXPECT_EQ(r.P().rowOffset, 4u);
        } else {
            EXPECT_EQ(r.out[0], 128) << "nothing is added once stopped";
            EXPECT_EQ(r.out[1], 128);
            r.Frames(100);
            for (uint8_t v : r.out) ASSERT_EQ(v, 128);
            EXPECT_EQ(r.engine.StartModule(r.request), 0) << "the player is free again";
        }
    }
}

TEST(ModulePlayer, RestartPosition) {
    struct Case {
        uint8_t stored;
        uint32_t expected;
    };
    for (const Case c : {Case{127, 0}, Case{1, 1}, Case{2, 2}, Case{3, 0}, Case{200, 0}}) {
        ModuleBuilder b(3);
        b.Song({0, 1, 2}, c.stored);
        for (int p = 0; p < 3; ++p) b.Note(p, 0, 0, 0, 0, 15, 1);  // speed 1
        Rig r(b, true);
        r.Start();
        EXPECT_EQ(r.P().restartPosition, c.expected) << int(c.stored);
        r.Frames(3 * 64 * (kTick + 1) + 1);
        EXPECT_EQ(r.P().position, c.expected) << int(c.stored);
        EXPECT_EQ(r.P().rowOffset, 4u);
    }
}

TEST(ModulePlayer, PauseAndResume) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 64));
    b.Note(0, 0, 0, 428, 1);
    Rig r(b);
    r.Start();
    r.Frames(10);
    r.engine.PauseModules();
    const uint32_t pos = r.P().tracks[0].position;
    r.Frames(10);
    for (uint8_t v : r.out) EXPECT_EQ(v, 128);
    EXPECT_EQ(r.P().tracks[0].position, pos);
    r.engine.ResumeModules();
    r.Frames(10);
    EXPECT_EQ(r.out[0], 128 + 24);
    EXPECT_GT(r.P().tracks[0].position, pos);
}

TEST(ModulePlayer, PlayerVolumeScalesTracks) {
    ModuleBuilder b;
    b.Instrument(1, Flat(20000, 64), 64);
    b.Note(0, 0, 1, 428, 1);
    Rig r(b, false, false);
    r.request.volume = 32;
    r.Start();
    r.Frames(3);
    EXPECT_EQ(r.P().tracks[1].effectiveVolume, 32);
    EXPECT_EQ(r.out[1], 128 + 16);
    r.engine.SetMasterVolume(32);
    EXPECT_EQ(r.P().tracks[1].effectiveVolume, 16);
}

TEST(ModulePlayer, OneShotInstrumentEndsAndLoopedOneRepeats) {
    ModuleBuilder b;
    b.Instrument(1, Flat(8, 64));               // 8 bytes, no loop
    b.Instrument(2, Flat(8, 64), 64, 0, 0, 4);  // 8 bytes looping
    b.Note(0, 0, 0, 428, 1).Note(0, 0, 1, 428, 2);
    Rig r(b, false, false);
    r.Start();
    r.Frames(200);
    // Step 96: the one-shot lasts ceil(8 x 256 / 96) = 22 frames, the loop keeps going.
    for (size_t f = 0; f < 200; ++f) {
        const int expected = 128 + (f < 22 ? 64 : 32);
        ASSERT_EQ(r.out[f], expected) << f;
    }
}

TEST(ModulePlayer, BadModulesAreRefusedOrPlayedAsFarAsTheyGo) {
    const std::vector<uint8_t> good = [] {
        ModuleBuilder b(2);
        b.Song({0, 1});
        b.Instrument(1, Flat(100, 50));
        return b.Build();
    }();
    struct Case {
        size_t size;
        bool accepted;
        uint32_t instrumentBytes;
    };
    const size_t patternsEnd = 1084 + 2 * 1024;
    for (const Case c : {Case{0, false, 0}, Case{1083, false, 0}, Case{1084, false, 0},
                         Case{patternsEnd - 1, false, 0}, Case{patternsEnd, true, 0},
                         Case{patternsEnd + 37, true, 37}, Case{good.size(), true, 100}}) {
        SoundEngine e;
        ASSERT_TRUE(e.OpenOffline(22050, true));
        ModuleRequest m;
        m.data = good.data();
        m.size = c.size;
        const uint16_t id = e.StartModule(m);
        EXPECT_EQ(id != SoundEngine::kNoVoice, c.accepted) << c.size;
        if (id == 0) {
            EXPECT_EQ(e.PlayerAt(0).instruments[1].available, c.instrumentBytes) << c.size;
            EXPECT_EQ(e.PlayerAt(0).instruments[1].data == nullptr, c.instrumentBytes == 0);
        }
    }
}

}  // namespace

namespace {

TEST(ModulePlayer, LoadsFromAMusicResource) {
    ModuleBuilder b;
    b.Instrument(1, Flat(2000, 64));
    b.Note(0, 0, 0, 428, 1);
    const std::vector<uint8_t> bytes = b.Build();
    platform::overrideResource("MUSIC", 61001, bytes);
    ModuleRequest request;
    ASSERT_TRUE(LoadModuleResource(61001, request));
    EXPECT_EQ(request.data, bytes.data());
    EXPECT_EQ(request.size, bytes.size());
    EXPECT_EQ(request.ownsData, 0);
    SoundEngine e;
    ASSERT_TRUE(e.OpenOffline(22050, true));
    EXPECT_EQ(e.StartModule(request), 0);
    std::vector<uint8_t> out(20);
    e.MixFrames(out.data(), 10);
    EXPECT_EQ(out[0], 128 + 24);
    platform::overrideResource("MUSIC", 61001, {});
    ModuleRequest missing;
    EXPECT_FALSE(LoadModuleResource(61001, missing));
    EXPECT_EQ(missing.data, nullptr);
    EXPECT_EQ(e.StartModule(missing), SoundEngine::kNoVoice);
}

}  // namespace
