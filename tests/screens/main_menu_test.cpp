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
    int frame() { return frameAt(*menu, headless::now() + 1); }
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
    EXPECT_EQ(menu->buttons[5]->sprite.x, 195);
    EXPECT_EQ(menu->buttons[5]->sprite.y, 162);
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
    frameAt(*menu, headless::now());  // another event in the same millisecond: no step
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
    // Font 503 draws every capital a few rows tall, so the label grows with each one.
    std::vector<int> heights;
    for (std::u16string_view name : {u"ABCDEFG", u"ABCDEFGH", u"ABCDEFGHI"}) {
        setUserName(name);
        enterMenu();
        ASSERT_NE(menu->nameLabel, nullptr);
        heights.push_back(menu->nameLabel->sprite->height);
        menu->OnLeave();
        menu.reset();
    }
    EXPECT_LT(heights[0], heights[1]);
    EXPECT_EQ(heights[1], heights[2]);
}

}  // namespace
