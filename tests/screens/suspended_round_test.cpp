// A round that the pause menu suspended for the help screen and the about box.
#include "../game/game_round_fixture.h"
#include "game/hit_effects.h"
#include "game/mover.h"
#include "screens/about_view.h"
#include "screens/game_view.h"
#include "screens/help_view.h"
#include "screens/pause_menu_view.h"

namespace {

using SuspendedRoundTest = GameRoundFixture;

// Pause, help, about, back and back again: the round keeps its animations, so the bursts
// of the ducks shot before end and free their slots, and a duck in flight still flaps.
TEST_F(SuspendedRoundTest, TheAboutBoxOverAPausedRoundLeavesTheRoundItsAnimations) {
    GameView round(surface.get());
    PauseMenuView pause(surface.get());
    HelpView help(surface.get());
    AboutView about(surface.get());
    views.AddView(&round, VIEW_GAME);
    views.AddView(&pause, VIEW_PAUSE_MENU);
    views.AddView(&help, VIEW_HELP);
    views.AddView(&about, VIEW_ABOUT);
    views.StartWith(VIEW_GAME);
    shootDuckAt(40, 700);
    shootDuckAt(140, 700);
    ASSERT_EQ(ints(game.shotDucks, hitEffects.count), ints(2, HitEffects::kMaxLive));
    Mover* flyer = duckFlock.SpawnDuck();
    ASSERT_NE(flyer, nullptr);

    tap(235, 315);  // the menu corner
    tap(158, 270);  // Help
    tap(210, 260);  // About
    EXPECT_EQ(views.currentId, VIEW_ABOUT);
    tap(100, 100);  // closes the box
    tap(210, 30);   // ok: back to the round
    ASSERT_EQ(views.currentId, VIEW_GAME);

    std::vector<int> flyerFrames;
    for (int i = 0; i < 100; ++i) {
        frame();
        flyerFrames.push_back(flyer->sprite->current);
    }
    EXPECT_EQ(hitEffects.count, 0);  // both bursts ran to their last frame
    std::sort(flyerFrames.begin(), flyerFrames.end());
    EXPECT_GT(std::unique(flyerFrames.begin(), flyerFrames.end()) - flyerFrames.begin(), 2);
    shootDuckAt(40, 700);
    EXPECT_EQ(ints(game.shotDucks, hitEffects.count), ints(3, 1));
    for (int id : {VIEW_GAME, VIEW_PAUSE_MENU, VIEW_HELP, VIEW_ABOUT}) views.AddView(nullptr, id);
}

}  // namespace
