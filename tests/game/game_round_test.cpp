// The game object running a round: scrolling, shooting and reloading, the hidden
// target, the last-seconds warning and the statistics at the end.
#include <set>

#include "audio/sound_engine.h"
#include "audio/sound_ids.h"
#include "game/effect_sprite.h"
#include "game/hit_effects.h"
#include "game/moving_number.h"
#include "game/moving_picture.h"
#include "game/round_clock.h"
#include "game/scene_props.h"
#include "game/score_counter.h"
#include "game/score_popups.h"
#include "game/shell_magazine.h"
#include "game/shot_marks.h"
#include "game_round_fixture.h"
#include "graphics/picture_font.h"

namespace {

class GameRoundTest : public GameRoundFixture {
  protected:
    int scrollAfter(InputEvent e, int times = 1) {
        step(e, times);
        return surface->scrollY();
    }
};

TEST_F(GameRoundTest, ScrollingStopsAtNineAndSixHundredThirtyNine) {
    EXPECT_EQ(surface->scrollY(), 639);  // a round starts at the bottom
    EXPECT_EQ(scrollAfter(keys({KEY_UP})), 629);
    EXPECT_EQ(scrollAfter(keys({KEY_UP}), 62), 9);
    EXPECT_EQ(scrollAfter(keys({KEY_UP}), 17), 9);
    EXPECT_EQ(ints(shellMagazine.strip->y, roundClock.m_editField->sprite->y,
                   scoreCounter.m_editField->sprite->y, roundClock.iconSprite->y),
              ints(9 + 5, 9 + 225, 9 + 10, 9 + 304));
    EXPECT_EQ(scrollAfter(keys({KEY_DOWN}), 80), 639);
    step(keys({KEY_UP}));
    EXPECT_EQ(scrollAfter(keys({KEY_UP, KEY_DOWN})), 629);  // down and up again: no net move
    InputEvent e = keys({KEY_UP});
    e.keyCount = 500;  // longer than the record: cut to it
    EXPECT_GE(scrollAfter(e), 629 - 10 * 11);
}

TEST_F(GameRoundTest, ShootingEmptyingAndReloading) {
    EXPECT_EQ(ints(roundClock.secondsLeft, roundClock.running, settings->resultPending,
                   startedCount(SOUND_ROUND_MUSIC)),
              ints(180, 1, 0, 1));
    for (int i = 1; i <= 7; ++i) {
        step(penDown(20, 200));
        EXPECT_EQ(shellMagazine.shells, 7 - i);
    }
    EXPECT_EQ(ints(game.shotsFired, startedCount(SOUND_SHOT), startedCount(SOUND_LAST_SHELL)),
              ints(7, 7, 1));
    // Empty: a tap elsewhere clicks, a tap on the magazine reloads with a sound.
    step(penDown(20, 200));
    EXPECT_EQ(ints(startedCount(SOUND_EMPTY_CLICK), game.shotsFired), ints(1, 7));
    step(penDown(220, 100));
    EXPECT_EQ(ints(shellMagazine.shells, startedCount(SOUND_RELOAD)), ints(7, 1));
    // Loaded: a tap on the magazine is a shot like any other.
    step(penDown(220, 100));
    EXPECT_EQ(ints(shellMagazine.shells, game.shotsFired), ints(6, 8));
    // The reload key works only on an empty gun, and silently.
    step(keys({KEY_HW3}));
    EXPECT_EQ(shellMagazine.shells, 6);
    while (shellMagazine.shells > 0) step(penDown(20, 200));
    step(keys({KEY_HW3}));
    EXPECT_EQ(ints(shellMagazine.shells, startedCount(SOUND_RELOAD)), ints(7, 1));
}

TEST_F(GameRoundTest, TheMagazineEdgesDecideBetweenReloadAndClick) {
    const std::tuple<int, int, bool> cases[] = {
        {201, 6, true}, {200, 100, false}, {230, 5, false}, {230, 164, true}, {230, 165, false}};
    for (auto [x, y, reloads] : cases) {
        shellMagazine.shells = 0;
        step(penDown(x, y));
        EXPECT_EQ(shellMagazine.shells, reloads ? 7 : 0) << x << "," << y;
    }
}

// The pause menu comes with its music: the round's sounds stop first, then it starts.
TEST_F(GameRoundTest, ThePauseMenuPlaysItsMusic) {
    ASSERT_TRUE(sound->engine != nullptr && sound->engine->IsOpen());
    auto playing = [&] {
        std::lock_guard<std::mutex> lock(sound->engine->MixerLock());
        int n = 0;
        for (int i = 0; i < SoundEngine::kSampleVoices; ++i)
            n += !sound->engine->SampleVoiceAt(i).Free();
        return n;
    };
    step(penDown(229, 309));
    EXPECT_EQ(startedCount(SOUND_MENU_MUSIC), 1);
    EXPECT_EQ(playing(), 1);
}

TEST_F(GameRoundTest, TheMenuIconNeverFires) {
    for (InputEvent e : {penDown(229, 309), penDown(240, 319)}) {
        views.currentId = VIEW_GAME;
        EXPECT_EQ(step(e), 1);
        EXPECT_EQ(shellMagazine.shells, 7);
    }
    EXPECT_EQ(ints(game.shotsFired, startedCount(SOUND_MENU_MUSIC)), ints(0, 2));
    // Just outside the corner is an ordinary shot.
    views.currentId = VIEW_GAME;
    step(penDown(228, 315));
    EXPECT_EQ(game.shotsFired, 1);
    // Another view than the round's gets nothing.
    views.currentId = VIEW_SCORES;
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
    // Neither hit nor miss, so no puff, but a shell all the same.
    EXPECT_EQ(ints(startedCount(SOUND_HIDDEN_TARGET), shotMarks.count, game.shotsFired),
              ints(1, 0, 1));
    EXPECT_FALSE(surface->list.contains(sceneProps.sprites[SceneProps::kHiddenTarget]));
    step(penDown(165, 281));
    EXPECT_EQ(ints(startedCount(SOUND_HIDDEN_TARGET), shotMarks.count), ints(1, 1));
    for (auto [x, y, on] :
         {std::tuple{160, 909, true}, {170, 929, true}, {159, 920, false}, {165, 930, false}})
        EXPECT_EQ(SceneProps::OnHiddenTarget(x, y), on) << x << "," << y;
    game.EndRound();
    restart(1, 1);  // a new round brings it back
    EXPECT_FALSE(sceneProps.hiddenTargetHit);
}

TEST_F(GameRoundTest, ShotMarksOnlyWithSpecialEffects) {
    step(penDown(20, 100));
    EXPECT_EQ(shotMarks.count, 1);
    settings->specialEffects = 0;
    step(penDown(20, 100));
    EXPECT_EQ(ints(shotMarks.count, shellMagazine.shells), ints(1, 5));
}

TEST_F(GameRoundTest, TheWarningPlaysOnceAndAClockLeafReArmsIt) {
    roundClock.secondsLeft = 6;
    step({}, 300);  // 3 s
    EXPECT_EQ(startedCount(SOUND_TIME_WARNING), 1);
    ASSERT_TRUE(within(roundClock.secondsLeft, 1, 4));
    // A leaf under the pen whose draw makes it a +30 clock.
    const uint32_t left = roundClock.secondsLeft;
    leafField.items[leafField.itemCount++] = mover(ITEM_LEAF, 50, 700, 231);
    leafField.rng = Random(leafState(0));
    step(penDown(55, 700 - 639 + 5));
    EXPECT_EQ(ints(roundClock.secondsLeft, game.timeWarningGiven, game.shotLeaves),
              ints(left + 30, 0, 1));
    step({}, 100);
    EXPECT_EQ(startedCount(SOUND_TIME_WARNING), 1);
    roundClock.secondsLeft = 4;
    step();
    EXPECT_EQ(startedCount(SOUND_TIME_WARNING), 2);
}

TEST_F(GameRoundTest, TheEndOfTheRoundStoresTheStatistics) {
    step(penDown(20, 100), 5);
    game.shotDucks = 3;
    game.shotLeaves = 2;
    game.otherHits = 1;
    game.penalties = 50;
    scoreCounter.AddPoints(95);
    std::copy_n(u"ANNA", 5, settings->userName);
    roundClock.secondsLeft = 1;
    int answer = 0;
    for (int i = 0; i < 200 && answer == 0; ++i) answer = step();
    EXPECT_EQ(answer, 1);
    // 6 hits in 5 shots make 120 per cent.
    EXPECT_EQ(ints(settings->resultPending, settings->pendingScore, settings->lastScore,
                   settings->killedDucks, settings->killedLeaves, settings->negPoints,
                   settings->percentageSuccess),
              ints(1, 95, 95, 3, 2, 50, 120));
    EXPECT_EQ(std::u16string(settings->playerName), u"ANNA");
}

// What each shot item adds to the round's statistics: a leaf worth a point is a shot
// leaf, the sign duck another hit, the red bird another hit and fifty penalty points.
TEST_F(GameRoundTest, ShotItemsCountInTheRoundsStatistics) {
    const std::tuple<uint8_t, int, int, int, int> cases[] = {
        // kind, leaf draw, shot leaves, other hits, penalty points
        {ITEM_LEAF, 3, 1, 0, 0},
        {ITEM_SIGN_DUCK, 3, 0, 1, 0},
        {ITEM_RED_BIRD, 3, 0, 1, 50},
    };
    for (auto [kind, draw, leaves, others, penalty] : cases) {
        game.shotLeaves = game.otherHits = game.penalties = 0;
        shellMagazine.Reload();
        leafField.rng = Random(leafState(draw));
        const int y = 700;
        leafField.items[leafField.itemCount++] = mover(kind, 100, y, 231);
        step(penDown(105, y - surface->scrollY() + 5));
        EXPECT_EQ(ints(game.shotLeaves, game.otherHits, game.penalties),
                  ints(leaves, others, penalty))
            << "kind " << int(kind);
        leafField.Clear();
        leafField.Init(surface.get());
    }
}

TEST(GameAccuracyTest, PercentTruncatedAndKeptInASignedByte) {
    const std::tuple<int, int, int> cases[] = {{5, 0, 0},     {0, 10, 0},      {2, 3, 66},
                                               {5, 4, 125},   {127, 100, 127}, {128, 100, 127},
                                               {300, 10, 127}};
    for (auto [hits, shots, percent] : cases)
        EXPECT_EQ(Game::Accuracy(hits, shots), percent) << hits << "/" << shots;
}

TEST_F(GameRoundTest, TenRoundsLeaveNothingBehind) {
    for (int round = 0; round < 10; ++round) {
        game.EndRound();
        EXPECT_EQ(game.popupFont, nullptr);
        EXPECT_EQ(ints(surface->list.count, list.count, duckFlock.duckCount, leafField.itemCount),
                  ints(0, 0, 0, 0));
        restart(100 + round, 200 + round);
        for (int i = 0; i < 300; ++i)
            step(i % 7 == 0 ? penDown(40 + i % 150, 50 + i % 250) : InputEvent{});
    }
}

// The sprites the surface shows.
std::set<const Sprite*> shown(const Surface& surface) {
    std::set<const Sprite*> sprites;
    for (const DisplayList::Node* n = surface.list.head; n != nullptr; n = n->next)
        sprites.insert(n->item);
    return sprites;
}

TEST_F(GameRoundTest, SuspendClearsTheScreenForTheOtherViewsAndResumeBringsAllBack) {
    game.EndRound();
    restart(100, 200);
    for (int i = 0; i < 3000 && (duckFlock.duckCount < 2 || leafField.itemCount < 3); ++i) step();
    ASSERT_TRUE(duckFlock.duckCount >= 2 && leafField.itemCount >= 3);
    const std::set<const Sprite*> before = shown(*surface);
    game.SuspendRound();
    EXPECT_EQ(shown(*surface), std::set<const Sprite*>{});  // no shot was fired
    game.ResumeRound();
    EXPECT_EQ(shown(*surface), before);
}

TEST_F(GameRoundTest, SuspendAndResumeKeepTheScroll) {
    step(keys({KEY_UP}), 2);
    game.SuspendRound();
    EXPECT_EQ(ints(game.savedScrollY, roundClock.running), ints(619, 0));
    surface->setScroll(0, 0);
    game.ResumeRound();
    EXPECT_EQ(ints(surface->scrollY(), roundClock.running), ints(619, 1));
    EXPECT_TRUE(surface->list.contains(sceneProps.sprites[SceneProps::kHiddenTarget]));
}

// Suspended, the round takes its puffs, bursts and pop-ups off the screen with everything
// else, so that none shows through the options, scores or help screen; resumed, they are
// back at their own layers.
TEST_F(GameRoundTest, SuspendTakesPuffsBurstsAndPopupsAlongAndResumeBringsThemBack) {
    duckFlock.ducks[duckFlock.duckCount++] = mover(DUCK_BIG_DOWN, 40, 700, 130);
    step(penDown(45, 700 - 639 + 5));  // the duck: a burst and a pop-up
    step(penDown(150, 100));           // a miss: a puff
    ASSERT_EQ(ints(hitEffects.count, scorePopups.count, shotMarks.count), ints(1, 1, 1));
    const Sprite* shortLived[] = {hitEffects.slots[0]->sprite, scorePopups.badges[0]->sprite,
                                  scorePopups.numbers[0]->text->sprite, shotMarks.slots[0]->sprite};
    auto onScreen = [&] {
        std::vector<int64_t> layers;
        for (const Sprite* s : shortLived)
            layers.push_back(surface->list.contains(s) ? s->layer : -1);
        return layers;
    };
    const std::vector<int64_t> shown = onScreen();
    EXPECT_EQ(shown, ints(131, 130, 244, 244));
    game.SuspendRound();
    EXPECT_EQ(onScreen(), ints(-1, -1, -1, -1));
    game.ResumeRound();
    EXPECT_EQ(onScreen(), shown);
}

}  // namespace
