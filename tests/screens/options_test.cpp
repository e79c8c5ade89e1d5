// The options screen: live changes, OK, Cancel and the first stray tap.
#include "screen_fixture.h"
#include "screens/options_view.h"
#include "screens/slider.h"
#include "screens/toggle_button.h"

namespace {

using screentest::ScreenFixture;

class OptionsTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        settings->musicVolume = 40;
        settings->soundVolume = 20;
        settings->menuAnimation = 1;
        settings->specialEffects = 0;
        view = std::make_unique<OptionsView>(surface.get());
        enter(*view, 10, 0);
    }
    void TearDown() override {
        if (manager.currentId == 10) view->OnLeave();
        view.reset();
        ScreenFixture::TearDown();
    }
    int send(int type, int x, int y) {
        InputEvent e = event(type, x, y);
        return view->HandleEvent(e);
    }
    std::unique_ptr<OptionsView> view;
};

// Music track x 71..89, effect track x 110..128, both y 21..205.
TEST_F(OptionsTest, ShowsTheSettingsItFindsAndAnOutOfRangeVolumeAsTheMiddle) {
    EXPECT_EQ(view->musicSlider->value, 40);
    EXPECT_EQ(view->soundSlider->value, 20);
    EXPECT_EQ(view->animationToggle->state, 0);  // ticked: on
    EXPECT_EQ(view->effectsToggle->state, 1);    // empty: off
    view->OnLeave();
    settings->musicVolume = 74;
    view->OnEnter();
    EXPECT_EQ(view->musicSlider->value, 35);
    EXPECT_EQ(settings->musicVolume, 74);
}

TEST_F(OptionsTest, TheFirstStrayTapOnTheEffectSliderIsDropped) {
    send(EV_PEN_DOWN, 119, 22);  // top of the effect track: dropped
    EXPECT_EQ(settings->soundVolume, 20);
    send(EV_PEN_UP, 119, 22);
    send(EV_PEN_DOWN, 119, 22);  // now it pages up one step
    EXPECT_EQ(settings->soundVolume, 26);
    EXPECT_EQ(sound->effectVolume, 26u);
    EXPECT_EQ(soundsStarted(538), 1);
    send(EV_PEN_UP, 119, 22);
    send(EV_PEN_DOWN, 80, 22);  // the music changes and restarts
    EXPECT_EQ(settings->musicVolume, 46);
    EXPECT_EQ(sound->musicVolume, 46u);
    EXPECT_EQ(soundsStarted(535), 1);
    send(EV_PEN_UP, 80, 22);
}

TEST_F(OptionsTest, ATapOnAToggleCountsAsTheFirstTap) {
    tap(*view, 150, 40);  // the menu-animation box
    EXPECT_EQ(settings->menuAnimation, 0);
    send(EV_PEN_DOWN, 119, 22);
    EXPECT_EQ(settings->soundVolume, 26);
}

TEST_F(OptionsTest, CancelRestoresWhatTheScreenFound) {
    send(EV_PEN_DOWN, 80, 22);
    send(EV_PEN_UP, 80, 22);
    tap(*view, 150, 40);   // animation off
    tap(*view, 150, 160);  // effects on
    send(EV_PEN_DOWN, 119, 200);
    send(EV_PEN_UP, 119, 200);
    ASSERT_EQ(settings->musicVolume, 46);
    ASSERT_EQ(settings->soundVolume, 14);
    ASSERT_EQ(settings->menuAnimation, 0);
    ASSERT_EQ(settings->specialEffects, 1);
    tap(*view, 210, 60);  // Cancel
    EXPECT_EQ(settings->musicVolume, 40);
    EXPECT_EQ(settings->soundVolume, 20);
    EXPECT_EQ(settings->menuAnimation, 1);
    EXPECT_EQ(settings->specialEffects, 0);
    EXPECT_EQ(sound->musicVolume, 40u);
    EXPECT_EQ(sound->effectVolume, 20u);
    EXPECT_EQ(manager.nextId, 0);
}

TEST_F(OptionsTest, OkKeepsTheChangesAndSavesThem) {
    send(EV_PEN_DOWN, 80, 22);
    send(EV_PEN_UP, 80, 22);
    tap(*view, 210, 160);  // OK
    EXPECT_EQ(manager.nextId, 0);
    EXPECT_EQ(settings->musicVolume, 46);
    // A fresh settings object reads what was written.
    Settings reread(sound.get());
    EXPECT_EQ(reread.musicVolume, 46);
}

}  // namespace
