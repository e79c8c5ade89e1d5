// The main menu's slide-in and its buttons.
#include "graphics/picture_font.h"
#include "graphics/sprite.h"
#include "screen_fixture.h"
#include "screens/button.h"
#include "screens/main_menu_view.h"

namespace {

using screentest::ScreenFixture;

class MainMenuTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        MainMenuView::ResetRunState();
    }
    // One idle frame one millisecond after the last.
    int frame() {
        headless::setNow(headless::now() + 1);
        InputEvent e = event(EV_NONE);
        return menu->HandleEvent(e);
    }
    void enterMenu() {
        menu = std::make_unique<MainMenuView>(surface.get());
        manager.AddView(menu.get(), 0);
        manager.StartWith(0);
    }
    void TearDown() override {
        if (menu) menu->OnLeave();
        menu.reset();
        ScreenFixture::TearDown();
    }
    std::unique_ptr<MainMenuView> menu;
};

TEST_F(MainMenuTest, WithoutAnimationTheFirstNewTickFinishesTheSlideIn) {
    settings->menuAnimation = 0;
    enterMenu();
    EXPECT_EQ(menu->animating, 1);
    EXPECT_EQ(frame(), 1);
    EXPECT_EQ(menu->animating, 0);
    ASSERT_EQ(menu->controlCount, 6);
    const int finalX[] = {11, 57, 103, 149, 195};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(menu->buttons[i]->sprite.y, 0) << i;
        EXPECT_EQ(menu->buttons[i]->sprite.x, finalX[i]) << i;
    }
    EXPECT_EQ(menu->buttons[5]->sprite.y, 162);
    EXPECT_EQ(menu->buttons[5]->sprite.x, 195);
    EXPECT_EQ(MainMenuView::slideStage(), 0);
}

TEST_F(MainMenuTest, AnimatedSlideInTakesOneStepPerNewTick) {
    settings->menuAnimation = 1;
    enterMenu();
    // 12 + 10 + 8 + 7 + 7 moves, five stage changes, 12 moves of the name button and the
    // step that finishes.
    const int steps = 12 + 10 + 8 + 7 + 7 + 5 + 12 + 1;
    for (int i = 0; i < steps - 1; ++i) {
        frame();
        ASSERT_EQ(menu->animating, 1) << "step " << i;
    }
    // Another event in the same millisecond does not advance it.
    InputEvent same = event(EV_NONE);
    menu->HandleEvent(same);
    EXPECT_EQ(menu->animating, 1);
    frame();
    EXPECT_EQ(menu->animating, 0);
    EXPECT_EQ(menu->controlCount, 6);
}

TEST_F(MainMenuTest, TapsDuringTheSlideInAreIgnored) {
    settings->menuAnimation = 1;
    enterMenu();
    manager.nextId = 0;
    for (int i = 0; i < 5; ++i) {
        headless::setNow(headless::now() + 1);
        EXPECT_EQ(tap(*menu, 30, 60), 1);
    }
    EXPECT_EQ(manager.nextId, 0);
    EXPECT_EQ(menu->controlCount, 0);
    EXPECT_EQ(soundsStarted(540), 0);
}

TEST_F(MainMenuTest, ButtonsLeadWhereTheirCaptionsSayAndExitEndsTheProgram) {
    settings->menuAnimation = 0;
    enterMenu();
    frame();
    struct Case {
        int x, y, leadsTo;
    } cases[] = {
        {30, 60, 1}, {75, 60, 10}, {120, 60, 7}, {165, 40, 3}, {210, 240, 4},
    };
    for (const Case& c : cases) {
        manager.nextId = manager.currentId = 0;
        manager.historyDepth = 0;
        EXPECT_EQ(tap(*menu, c.x, c.y), 1);
        EXPECT_EQ(manager.nextId, c.leadsTo) << c.x << "," << c.y;
        ASSERT_EQ(manager.historyDepth, 1);
        EXPECT_EQ(manager.history[0], 0);
    }
    EXPECT_EQ(soundsStarted(540), 5);
    manager.nextId = 0;
    EXPECT_EQ(tap(*menu, 210, 40), 2);
    EXPECT_EQ(manager.nextId, 0);
}

TEST_F(MainMenuTest, NameButtonShowsTheNameCutToEightCharacters) {
    settings->menuAnimation = 0;
    const std::u16string longName = u"ABCDEFGHI";
    std::copy(longName.begin(), longName.end(), settings->userName);
    enterMenu();
    ASSERT_NE(menu->nameLabel, nullptr);
    ASSERT_NE(menu->nameLabel->sprite, nullptr);
    // Font 503 draws every capital at least a few rows tall: eight of them are taller
    // than seven, and nine would be cut back to eight.
    const int eight = menu->nameLabel->sprite->height;
    menu->OnLeave();
    settings->userName[8] = 0;
    const std::u16string seven = u"ABCDEFG";
    std::fill(std::begin(settings->userName), std::end(settings->userName), 0);
    std::copy(seven.begin(), seven.end(), settings->userName);
    menu->OnEnter();
    const int sevenHeight = menu->nameLabel->sprite->height;
    EXPECT_GT(eight, sevenHeight);
    std::fill(std::begin(settings->userName), std::end(settings->userName), 0);
    std::copy(longName.begin(), longName.begin() + 8, settings->userName);
    menu->OnLeave();
    menu->OnEnter();
    EXPECT_EQ(menu->nameLabel->sprite->height, eight);
}

}  // namespace
