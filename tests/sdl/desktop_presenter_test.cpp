// The presenter on SDL's dummy video driver, on a made-up clock: what it sends to the
// window is only what changed, no more often than the display refreshes, and nothing
// while the window cannot be seen.
#include "platform/sdl/desktop_presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "shown_pixel.h"

namespace {

using platform::PresentRect;
using platform::desktop::Presenter;

constexpr int kAll = 320 * 240;
constexpr std::tuple<int, int, int> kGreen{0, 255, 0}, kRed{255, 0, 0}, kBlue{0, 0, 255};

class PresenterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window_ = SDL_CreateWindow("presenter", 0, 0, 960, 720, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        ASSERT_TRUE(presenter_.open(window_));
        ASSERT_TRUE(presenter_.usesWindowSurface());
    }
    void TearDown() override {
        if (window_ != nullptr) SDL_DestroyWindow(window_);
    }
    void present(int left, int top, int right, int bottom) {
        const PresentRect r{left, top, right, bottom};
        presenter_.take(back_.data(), 240 * 2, &r, 1);
    }
    std::tuple<int, int, int> shown(int lx, int ly) const { return shownPixel(window_, lx, ly); }

    SDL_Window* window_ = nullptr;
    Presenter presenter_;
    std::vector<uint16_t> back_ = std::vector<uint16_t>(240 * 320, 0x07E0);  // green
};

TEST_F(PresenterTest, OnlyPixelsThatChangedAreShownAtMostOncePerRefresh) {
    presenter_.prepare();
    EXPECT_FALSE(presenter_.hasShown()) << "readying the window shows nothing";
    present(0, 0, 240, 320);
    EXPECT_EQ(presenter_.showIfDue(1000000), -1);
    EXPECT_EQ(presenter_.pixelsShown(), static_cast<uint64_t>(kAll)) << "the first show is whole";
    EXPECT_EQ(shown(0, 0), kGreen);

    // The same picture presented again changes nothing: nothing waits to be shown.
    present(0, 0, 240, 320);
    EXPECT_EQ(presenter_.showIfDue(1100000), -1);
    EXPECT_EQ(presenter_.shows(), 1u);

    // Device pixels (7..8, 5..7) turn red inside a much larger presented rectangle: only
    // those six are shown, at landscape (312..314, 7..8).
    for (int y = 5; y < 8; ++y)
        for (int x = 7; x < 9; ++x) back_[y * 240 + x] = 0xF800;
    present(0, 0, 100, 100);
    EXPECT_EQ(presenter_.showIfDue(1200000), -1);
    EXPECT_EQ(presenter_.pixelsShown(), static_cast<uint64_t>(kAll + 6));
    EXPECT_EQ(shown(314, 7), kRed);
    EXPECT_EQ(shown(312, 8), kRed);
    EXPECT_EQ(shown(311, 7), kGreen);
    EXPECT_EQ(shown(314, 9), kGreen);

    // Only the rectangles handed in count, not what lies after them in memory.
    back_[300 * 240 + 200] = 0x001F;
    const PresentRect two[2] = {{0, 0, 1, 1}, {200, 300, 201, 301}};
    presenter_.take(back_.data(), 240 * 2, two, 1);
    EXPECT_EQ(presenter_.showIfDue(1200500), -1);
    EXPECT_EQ(presenter_.pixelsShown(), static_cast<uint64_t>(kAll + 6)) << "nothing new";
    back_[300 * 240 + 200] = 0x07E0;

    // A change right after a show waits for the next refresh.
    back_[0] = 0x001F;
    present(0, 0, 1, 1);
    const int64_t wait = presenter_.showIfDue(1201000);
    EXPECT_GT(wait, 0);
    EXPECT_LE(wait, 16667 - 1000);
    EXPECT_EQ(shown(319, 0), kGreen);
    EXPECT_EQ(presenter_.showIfDue(1201000 + static_cast<uint64_t>(wait)), -1);
    EXPECT_EQ(shown(319, 0), kBlue);
    EXPECT_EQ(presenter_.shows(), 3u);
}

TEST_F(PresenterTest, NothingIsDrawnWhileHiddenAndAllOfItWhenSeenAgain) {
    present(0, 0, 240, 320);
    presenter_.showIfDue(1000000);
    presenter_.setVisible(false);
    back_[0] = 0xF800;
    present(0, 0, 1, 1);
    EXPECT_EQ(presenter_.showIfDue(2000000), -1);
    EXPECT_EQ(presenter_.shows(), 1u);
    EXPECT_EQ(shown(319, 0), kGreen);
    presenter_.setVisible(true);
    EXPECT_EQ(presenter_.showIfDue(3000000), -1);
    EXPECT_EQ(shown(319, 0), kRed);
    EXPECT_EQ(presenter_.pixelsShown(), 2u * kAll) << "a window seen again is drawn whole";
}

}  // namespace
