// The options screen: live changes, OK, Cancel and the first stray tap.
#include "audio/sound_ids.h"
#include "screen_fixture.h"
#include "screens/options_view.h"
#include "screens/slider.h"
#include "screens/toggle_button.h"
#include "shell/view_ids.h"

namespace {

using namespace screentest;

class OptionsTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        settings->musicVolume = 40;
        settings->soundVolume = 20;
        settings->menuAnimation = 1;
        settings->specialEffects = 0;
        view = &open<OptionsView>(VIEW_OPTIONS, VIEW_MAIN_MENU);
    }
    int send(int type, int x, int y) { return ScreenFixture::send(*view, type, x, y); }
    std::vector<int64_t> stored() const {
        return ints(settings->musicVolume, settings->soundVolume, settings->menuAnimation,
                    settings->specialEffects);
    }
    OptionsView* view = nullptr;
};

// Music track x 71..89, effect track x 110..128, both y 21..205.
TEST_F(OptionsTest, ShowsTheSettingsItFindsAndAnOutOfRangeVolumeAsTheMiddle) {
    // Animation ticked (on), effects empty (off).
    EXPECT_EQ(ints(view->musicSlider->value, view->soundSlider->value, view->animationToggle->state,
                   view->effectsToggle->state),
              ints(40, 20, 0, 1));
    settings->musicVolume = 74;
    reenter();
    EXPECT_EQ(ints(view->musicSlider->value, settings->musicVolume), ints(35, 74));
}

TEST_F(OptionsTest, TheFirstStrayTapOnTheEffectSliderIsDropped) {
    send(EV_PEN_DOWN, 119, 22);  // top of the effect track: dropped
    EXPECT_EQ(settings->soundVolume, 20);
    send(EV_PEN_UP, 119, 22);
    send(EV_PEN_DOWN, 119, 22);  // now it pages up one step
    EXPECT_EQ(ints(settings->soundVolume, sound->effectVolume, soundsStarted(SOUND_VOLUME_SAMPLE)),
              ints(26, 26, 1));
    send(EV_PEN_UP, 119, 22);
    send(EV_PEN_DOWN, 80, 22);  // the music changes and restarts
    EXPECT_EQ(ints(settings->musicVolume, sound->musicVolume, soundsStarted(SOUND_MENU_MUSIC)),
              ints(46, 46, 1));
    send(EV_PEN_UP, 80, 22);
}

TEST_F(OptionsTest, ATapOnAToggleCountsAsTheFirstTap) {
    tap(*view, 150, 40);  // the menu-animation box
    EXPECT_EQ(settings->menuAnimation, 0);
    send(EV_PEN_DOWN, 119, 22);
    EXPECT_EQ(settings->soundVolume, 26);
}

TEST_F(OptionsTest, CancelRestoresWhatTheScreenFound) {
    tap(*view, 80, 22);    // music up
    tap(*view, 150, 40);   // animation off
    tap(*view, 150, 160);  // effects on
    tap(*view, 119, 200);  // sound down
    ASSERT_EQ(stored(), ints(46, 14, 0, 1));
    tap(*view, 210, 60);  // Cancel
    EXPECT_EQ(stored(), ints(40, 20, 1, 0));
    EXPECT_EQ(ints(sound->musicVolume, sound->effectVolume, manager.nextId),
              ints(40, 20, VIEW_MAIN_MENU));
}

TEST_F(OptionsTest, OkKeepsTheChangesAndSavesThem) {
    tap(*view, 80, 22);
    tap(*view, 210, 160);  // OK
    EXPECT_EQ(ints(manager.nextId, settings->musicVolume), ints(VIEW_MAIN_MENU, 46));
    EXPECT_EQ(Settings(sound.get()).musicVolume, 46);  // a fresh object reads what was written
}

}  // namespace
