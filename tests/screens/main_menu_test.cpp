// The main menu's slide-in and its buttons.
#include "audio/sound_ids.h"
#include "graphics/picture_font.h"
#include "graphics/sprite.h"
#include "screen_fixture.h"
#include "screens/button.h"
#include "screens/main_menu_view.h"
#include "shell/view_ids.h"

namespace {

using namespace screentest;

class MainMenuTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        MainMenuView::ResetRunState();
    }
    int frame() { return frameAt(*menu, headless::now() + 1); }
    void enterMenu(uint8_t animation) {
        settings->menuAnimation = animation;
        menu = &open<MainMenuView>(VIEW_MAIN_MENU);
    }
    MainMenuView* menu = nullptr;
};

TEST_F(MainMenuTest, WithoutAnimationTheFirstNewTickFinishesTheSlideIn) {
    enterMenu(0);
    EXPECT_EQ(menu->animating, 1);
    EXPECT_EQ(frame(), 1);
    EXPECT_EQ(menu->animating, 0);
    ASSERT_EQ(menu->controlCount, 6);
    for (int i = 0; i < 6; ++i) {
        const Sprite& s = menu->buttons[i]->sprite;
        EXPECT_EQ(ints(s.x, s.y), i < 5 ? ints(11 + 46 * i, 0) : ints(195, 162)) << i;
    }
}

TEST_F(MainMenuTest, AnimatedSlideInTakesOneStepPerNewTick) {
    enterMenu(1);
    // Five stages' moves, five stage changes, the name button's moves and the finishing step.
    const int steps = 12 + 10 + 8 + 7 + 7 + 5 + 12 + 1;
    int offset = 0;
    for (int i = 0; i < steps - 1; ++i) {
        frame();
        ASSERT_EQ(menu->animating, 1) << "step " << i;
        // The name rides on its button all the way.
        const Sprite* button = menu->slideSprites[MainMenuView::kNameButton];
        if (i == 0) offset = menu->nameLabel->sprite->y - button->y;
        EXPECT_EQ(menu->nameLabel->sprite->y - button->y, offset) << "step " << i;
    }
    frameAt(*menu, headless::now());  // another event in the same millisecond: no step
    EXPECT_EQ(menu->animating, 1);
    frame();
    EXPECT_EQ(ints(menu->animating, menu->controlCount), ints(0, 6));
}

TEST_F(MainMenuTest, TapsDuringTheSlideInAreIgnored) {
    enterMenu(1);
    manager.nextId = VIEW_MAIN_MENU;
    for (int i = 0; i < 5; ++i) {
        headless::setNow(headless::now() + 1);
        EXPECT_EQ(tap(*menu, 30, 60), 1);
    }
    EXPECT_EQ(ints(manager.nextId, menu->controlCount, soundsStarted(SOUND_BUTTON)),
              ints(VIEW_MAIN_MENU, 0, 0));
}

TEST_F(MainMenuTest, ButtonsLeadWhereTheirCaptionsSayAndExitEndsTheProgram) {
    enterMenu(0);
    frame();
    for (auto [x, y, leadsTo] : {std::tuple{30, 60, VIEW_GAME},
                                 {75, 60, VIEW_OPTIONS},
                                 {120, 60, VIEW_SCORES},
                                 {165, 40, VIEW_HELP},
                                 {210, 240, VIEW_NAME_ENTRY}}) {
        manager.nextId = manager.currentId = VIEW_MAIN_MENU;
        manager.historyDepth = 0;
        EXPECT_EQ(tap(*menu, x, y), 1);
        EXPECT_EQ(ints(manager.nextId, manager.historyDepth, manager.history[0]),
                  ints(leadsTo, 1, VIEW_MAIN_MENU))
            << x << "," << y;
    }
    EXPECT_EQ(soundsStarted(SOUND_BUTTON), 5);
    manager.nextId = VIEW_MAIN_MENU;
    EXPECT_EQ(tap(*menu, 210, 40), 2);
    EXPECT_EQ(manager.nextId, VIEW_MAIN_MENU);
}

TEST_F(MainMenuTest, NameButtonShowsTheNameCutToEightCharacters) {
    // The menu font draws every capital a few rows tall, so the label grows with each one.
    std::vector<int> heights;
    for (std::u16string_view name : {u"ABCDEFG", u"ABCDEFGH", u"ABCDEFGHI"}) {
        setUserName(name);
        enterMenu(0);
        ASSERT_NE(menu->nameLabel, nullptr);
        heights.push_back(menu->nameLabel->sprite->height);
    }
    EXPECT_LT(heights[0], heights[1]);
    EXPECT_EQ(heights[1], heights[2]);
}

}  // namespace
