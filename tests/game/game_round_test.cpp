// The game object running a round: scrolling, shooting and reloading, the hidden
// target, the last-seconds warning and the statistics at the end.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "game/duck_flock.h"
#include "game/game.h"
#include "game/leaf_field.h"
#include "game/round_clock.h"
#include "game/scene_props.h"
#include "game/score_counter.h"
#include "game/shell_magazine.h"
#include "game/shot_marks.h"
#include "graphics/picture_font.h"
#include "persist/settings.h"
#include "round_fixture.h"

namespace {

class GameRoundTest : public RoundFixture {
  protected:
    void SetUp() override {
        RoundFixture::SetUp();
        storeDir = std::filesystem::temp_directory_path() /
                   ("tallreed-game-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(storeDir);
        setenv("XDG_DATA_HOME", storeDir.c_str(), 1);
        settings = std::make_unique<Settings>(sound.get());
        settings->specialEffects = 1;
        settings->menuAnimation = 0;
        appContext().settings = settings.get();
        appContext().game = &game;
        game.surface = surface.get();
        game.StartRound();
        // No new ducks or items during the tests unless a test asks for them.
        duckFlock.rng = Random(1);
        leafField.rng = Random(1);
    }
    void TearDown() override {
        game.EndRound();
        game.surface = nullptr;
        settings.reset();
        RoundFixture::TearDown();
        std::filesystem::remove_all(storeDir);
    }

    int step(InputEvent e) {
        advance(10);
        return game.ProcessEvent(e);
    }

    Game game;
    std::unique_ptr<Settings> settings;
    std::filesystem::path storeDir;
};

TEST_F(GameRoundTest, ScrollingStopsAtNineAndSixHundredThirtyNine) {
    EXPECT_EQ(surface->scrollY(), 639);  // a round starts at the bottom
    std::vector<int> seen;
    for (int i = 0; i < 80; ++i) {
        step(keys({KEY_UP}));
        seen.push_back(surface->scrollY());
    }
    EXPECT_EQ(seen.front(), 629);
    EXPECT_EQ(seen[62], 9);
    EXPECT_EQ(seen.back(), 9);
    EXPECT_EQ(shellMagazine.strip->y, 9 + 5);
    EXPECT_EQ(roundClock.m_editField->sprite->y, 9 + 225);
    EXPECT_EQ(scoreCounter.m_editField->sprite->y, 9 + 10);
    EXPECT_EQ(roundClock.iconSprite->y, 9 + 304);
    for (int i = 0; i < 80; ++i) step(keys({KEY_DOWN}));
    EXPECT_EQ(surface->scrollY(), 639);
    // Both keys in one event: down and up again, no net movement.
    step(keys({KEY_UP}));
    step(keys({KEY_UP, KEY_DOWN}));
    EXPECT_EQ(surface->scrollY(), 629);
    // A key count longer than the record is cut to it.
    InputEvent e = keys({KEY_UP});
    e.keyCount = 500;
    step(e);
    EXPECT_GE(surface->scrollY(), 629 - 10 * 11);
}

TEST_F(GameRoundTest, ShootingEmptyingAndReloading) {
    EXPECT_EQ(roundClock.secondsLeft, 180u);
    EXPECT_EQ(roundClock.running, 1);
    EXPECT_EQ(settings->resultPending, 0);
    EXPECT_EQ(startedCount(537), 1);  // the round's music
    for (int i = 1; i <= 7; ++i) {
        step(penDown(20, 200));
        EXPECT_EQ(shellMagazine.shells, 7 - i);
    }
    EXPECT_EQ(game.shotsFired, 7);
    EXPECT_EQ(startedCount(550), 7);
    EXPECT_EQ(startedCount(551), 1);
    // Empty: a tap elsewhere clicks, a tap on the magazine reloads with a sound.
    step(penDown(20, 200));
    EXPECT_EQ(startedCount(546), 1);
    EXPECT_EQ(game.shotsFired, 7);
    step(penDown(220, 100));
    EXPECT_EQ(shellMagazine.shells, 7);
    EXPECT_EQ(startedCount(543), 1);
    // Loaded: a tap on the magazine is a shot like any other.
    step(penDown(220, 100));
    EXPECT_EQ(shellMagazine.shells, 6);
    EXPECT_EQ(game.shotsFired, 8);
    // The reload key works only on an empty gun, and silently.
    step(keys({KEY_HW3}));
    EXPECT_EQ(shellMagazine.shells, 6);
    while (shellMagazine.shells > 0) step(penDown(20, 200));
    step(keys({KEY_HW3}));
    EXPECT_EQ(shellMagazine.shells, 7);
    EXPECT_EQ(startedCount(543), 1);
}

TEST_F(GameRoundTest, TheMagazineEdgesDecideBetweenReloadAndClick) {
    struct Case {
        int x, y;
        bool reloads;
    };
    for (Case c : {Case{201, 6, true}, Case{200, 100, false}, Case{230, 5, false},
                   Case{230, 164, true}, Case{230, 165, false}}) {
        shellMagazine.shells = 0;
        step(penDown(c.x, c.y));
        EXPECT_EQ(shellMagazine.shells, c.reloads ? 7 : 0) << c.x << "," << c.y;
    }
}

TEST_F(GameRoundTest, TheMenuIconNeverFires) {
    for (InputEvent e : {penDown(229, 309), penDown(240, 319)}) {
        views.currentId = 1;
        EXPECT_EQ(step(e), 1);
        EXPECT_EQ(shellMagazine.shells, 7);
    }
    EXPECT_EQ(game.shotsFired, 0);
    EXPECT_EQ(startedCount(535), 2);
    // Just outside the corner is an ordinary shot.
    views.currentId = 1;
    step(penDown(228, 315));
    EXPECT_EQ(game.shotsFired, 1);
    // Another view than the round's gets nothing.
    views.currentId = 7;
    EXPECT_EQ(step(penDown(20, 100)), 1);
    EXPECT_EQ(game.shotsFired, 1);
}

TEST_F(GameRoundTest, TheHiddenTargetOncePerRoundAndOnlyWhenLoaded) {
    // Scene (165, 920) at scroll 639 is screen (165, 281).
    shellMagazine.shells = 0;
    step(penDown(165, 281));
    EXPECT_FALSE(sceneProps.hiddenTargetHit);
    shellMagazine.Reload();
    step(penDown(165, 281));
    EXPECT_TRUE(sceneProps.hiddenTargetHit);
    EXPECT_EQ(startedCount(545), 1);
    EXPECT_EQ(shotMarks.count, 0);  // neither hit nor miss: no puff
    EXPECT_EQ(game.shotsFired, 1);  // but a shell all the same
    EXPECT_FALSE(surface->list.contains(sceneProps.sprites[SceneProps::kHiddenTarget]));
    step(penDown(165, 281));
    EXPECT_EQ(startedCount(545), 1);
    EXPECT_EQ(shotMarks.count, 1);
    // The area edges.
    EXPECT_TRUE(SceneProps::OnHiddenTarget(160, 909));
    EXPECT_TRUE(SceneProps::OnHiddenTarget(170, 929));
    EXPECT_FALSE(SceneProps::OnHiddenTarget(159, 920));
    EXPECT_FALSE(SceneProps::OnHiddenTarget(165, 930));
    // A new round brings it back.
    game.EndRound();
    views.currentId = 1;
    game.StartRound();
    EXPECT_FALSE(sceneProps.hiddenTargetHit);
}

TEST_F(GameRoundTest, ShotMarksOnlyWithSpecialEffects) {
    step(penDown(20, 100));
    EXPECT_EQ(shotMarks.count, 1);
    settings->specialEffects = 0;
    step(penDown(20, 100));
    EXPECT_EQ(shotMarks.count, 1);
    EXPECT_EQ(shellMagazine.shells, 5);
}

TEST_F(GameRoundTest, TheWarningPlaysOnceAndAClockLeafReArmsIt) {
    roundClock.secondsLeft = 6;
    for (int i = 0; i < 300; ++i) step(InputEvent{});  // 3 s
    EXPECT_EQ(startedCount(579), 1);
    ASSERT_GT(roundClock.secondsLeft, 0u);
    ASSERT_LE(roundClock.secondsLeft, 4u);
    // A leaf under the pen whose draw makes it a +30 clock.
    const uint32_t left = roundClock.secondsLeft;
    leafField.items[leafField.itemCount++] = mover(ITEM_LEAF, 50, 700, 231);
    leafField.rng = Random(leafState(0));
    step(penDown(55, 700 - 639 + 5));
    EXPECT_EQ(roundClock.secondsLeft, left + 30);
    EXPECT_EQ(game.timeWarningGiven, 0);
    EXPECT_EQ(game.shotLeaves, 1);
    for (int i = 0; i < 100; ++i) step(InputEvent{});
    EXPECT_EQ(startedCount(579), 1);
    roundClock.secondsLeft = 4;
    step(InputEvent{});
    EXPECT_EQ(startedCount(579), 2);
}

TEST_F(GameRoundTest, TheEndOfTheRoundStoresTheStatistics) {
    for (int i = 0; i < 5; ++i) step(penDown(20, 100));
    game.shotDucks = 3;
    game.shotLeaves = 2;
    game.otherHits = 1;
    game.penalties = 50;
    scoreCounter.AddPoints(95);
    std::copy_n(u"ANNA", 5, settings->userName);
    roundClock.secondsLeft = 1;
    int answer = 0;
    for (int i = 0; i < 200 && answer == 0; ++i) answer = step(InputEvent{});
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(settings->resultPending, 1);
    EXPECT_EQ(settings->pendingScore, 95);
    EXPECT_EQ(settings->lastScore, 95);
    EXPECT_EQ(settings->killedDucks, 3);
    EXPECT_EQ(settings->killedLeaves, 2);
    EXPECT_EQ(settings->negPoints, 50);
    EXPECT_EQ(settings->percentageSuccess, 120);  // 6 hits in 5 shots
    EXPECT_EQ(std::u16string(settings->playerName), u"ANNA");
}

TEST(GameAccuracyTest, PercentTruncatedAndKeptInASignedByte) {
    struct Case {
        int hits, shots, percent;
    };
    for (Case c : {Case{5, 0, 0}, Case{0, 10, 0}, Case{2, 3, 66}, Case{5, 4, 125},
                   Case{127, 100, 127}, Case{128, 100, 127}, Case{300, 10, 127}}) {
        EXPECT_EQ(Game::Accuracy(c.hits, c.shots), c.percent) << c.hits << "/" << c.shots;
    }
}

TEST_F(GameRoundTest, TenRoundsLeaveNothingBehind) {
    for (int round = 0; round < 10; ++round) {
        game.EndRound();
        EXPECT_EQ(game.popupFont, nullptr);
        EXPECT_EQ(surface->list.count, 0);
        EXPECT_EQ(list.count, 0);
        EXPECT_EQ(duckFlock.duckCount, 0);
        EXPECT_EQ(leafField.itemCount, 0);
        views.currentId = 1;
        game.StartRound();
        duckFlock.rng = Random(100 + round);
        leafField.rng = Random(200 + round);
        for (int i = 0; i < 300; ++i)
            step(i % 7 == 0 ? penDown(40 + i % 150, 50 + i % 250) : InputEvent{});
    }
}

TEST_F(GameRoundTest, SuspendAndResumeKeepTheScroll) {
    step(keys({KEY_UP}));
    step(keys({KEY_UP}));
    game.SuspendRound();
    EXPECT_EQ(game.savedScrollY, 619);
    EXPECT_EQ(roundClock.running, 0);
    surface->setScroll(0, 0);
    game.ResumeRound();
    EXPECT_EQ(surface->scrollY(), 619);
    EXPECT_EQ(roundClock.running, 1);
    EXPECT_TRUE(surface->list.contains(sceneProps.sprites[SceneProps::kHiddenTarget]));
}

}  // namespace
