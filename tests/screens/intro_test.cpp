// The splash and title screens: timing on the virtual clock.
#include <vector>

#include "graphics/surface.h"
#include "screen_fixture.h"
#include "screens/button.h"
#include "screens/splash_view.h"
#include "screens/title_view.h"
#include "shell/view_ids.h"

namespace {

using namespace screentest;

class IntroTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        SplashView::ResetRunState();
    }
    void TearDown() override {
        SplashView::ResetRunState();
        ScreenFixture::TearDown();
    }
    // Starts the splash and draws its first frame at t0.
    SplashView& start() {
        SplashView& splash = open<SplashView>(VIEW_SPLASH);
        frameAt(splash, t0 = headless::now());
        return splash;
    }
    uint32_t t0 = 0;
};

TEST_F(IntroTest, SkipWithinTwoSecondsGoesToTheTitle) {
    SplashView& splash = start();
    EXPECT_EQ(frameAt(splash, t0 + 500, EV_PEN_DOWN, 100, 100), 1);
    EXPECT_EQ(manager.nextId, VIEW_SPLASH);  // a tap elsewhere does nothing
    EXPECT_EQ(frameAt(splash, t0 + 1999, EV_PEN_DOWN, 226, 318), 1);  // the skip's corner
    EXPECT_EQ(manager.nextId, VIEW_TITLE);
}

TEST_F(IntroTest, AfterTwoSecondsTheSkipButtonIsGoneAndTheEmblemFadesIn) {
    SplashView& splash = start();
    // At the mark, the first event only loads the second picture.
    frameAt(splash, t0 + 2000, EV_PEN_DOWN, 203, 309);
    EXPECT_EQ(ints(manager.nextId, SplashView::secondLogoPending()), ints(VIEW_SPLASH, false));
    EXPECT_FLOAT_EQ(SplashView::fadeAlpha(), 0.0f);
    // Ten fade steps: the first at once, then each more than 70 ms after the last.
    uint32_t t = t0 + 2001;
    frameAt(splash, t);
    EXPECT_NEAR(SplashView::fadeAlpha(), 0.1f, 1e-6);
    for (int step = 2; step <= 10; ++step) {
        frameAt(splash, t += 70);  // not yet: 70 is not more than 70
        EXPECT_NEAR(SplashView::fadeAlpha(), (step - 1) * 0.1f, 1e-5) << step;
        frameAt(splash, t += 1);
        EXPECT_NEAR(SplashView::fadeAlpha(), step * 0.1f, 1e-5) << step;
    }
    // 24 spin steps from 90 to 182 degrees, the first at once, then the title.
    EXPECT_DOUBLE_EQ(splash.spinAngle, 90.0);
    frameAt(splash, t += 1);
    for (int step = 1; step < 24; ++step) {
        EXPECT_DOUBLE_EQ(splash.spinAngle, 90.0 + 4.0 * step);
        frameAt(splash, t += 50);  // not more than 50 ms: no step
        EXPECT_DOUBLE_EQ(splash.spinAngle, 90.0 + 4.0 * step);
        frameAt(splash, t += 1);
    }
    EXPECT_DOUBLE_EQ(splash.spinAngle, 186.0);
    EXPECT_EQ(manager.nextId, VIEW_SPLASH);
    frameAt(splash, t += 1);
    EXPECT_EQ(manager.nextId, VIEW_TITLE);
}

TEST_F(IntroTest, TheSequenceRunsOncePerRun) {
    SplashView& splash = start();
    frameAt(splash, t0 + 2500);
    reenter();  // entering again does not restart the timing
    frameAt(splash, t0 + 2600);
    EXPECT_NEAR(SplashView::fadeAlpha(), 0.1f, 1e-6);
}

TEST_F(IntroTest, TitlePromptShowsOnEverySecondRedraw) {
    TitleView& title = open<TitleView>(VIEW_TITLE);
    std::vector<uint16_t> frames[4];
    uint32_t t = headless::now();
    for (auto& f : frames) {
        frameAt(title, t += 231);
        f = headless::windowDevicePixels();
        frameAt(title, t + 230);  // not yet due: nothing changes
        EXPECT_EQ(headless::windowDevicePixels(), f);
    }
    // The prompt at (200, 10), 36 x 86, differs between redraws.
    auto promptArea = [](const std::vector<uint16_t>& px) {
        std::vector<uint16_t> out;
        for (int y = 10; y < 96; ++y)
            for (int x = 200; x < 236; ++x) out.push_back(px[y * 240 + x]);
        return out;
    };
    EXPECT_NE(promptArea(frames[0]), promptArea(frames[1]));
    EXPECT_EQ(promptArea(frames[0]), promptArea(frames[2]));
    EXPECT_EQ(promptArea(frames[1]), promptArea(frames[3]));
    EXPECT_EQ(title.blinkOn, 0);
    // A tap goes to the menu without remembering the title.
    EXPECT_EQ(frameAt(title, t + 1, EV_PEN_DOWN, 5, 5), 1);
    EXPECT_EQ(ints(manager.nextId, manager.historyDepth), ints(VIEW_MAIN_MENU, 0));
}

}  // namespace
