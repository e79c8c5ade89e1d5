// The game object creates its screens through the factory the program hands it in.
#include <gtest/gtest.h>

#include <vector>

#include "game/game.h"
#include "game/scene_props.h"
#include "round_fixture.h"
#include "shell/app_context.h"
#include "shell/view.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {

class StubScreen : public View {
  public:
    using View::View;
    void OnEnter() override {}
    void OnLeave() override {}
    int HandleEvent(InputEvent&) override { return 0; }
};

std::vector<int> asked;

View* stubScreen(ViewId id, SceneSurface* surface) {
    asked.push_back(id);
    return new StubScreen(surface);
}

using GameSetupTest = RoundFixture;

TEST_F(GameSetupTest, ScreensComeFromTheHandedInFactoryUnderTheirIdsAndTheSplashStarts) {
    asked.clear();
    ViewManager manager;
    appContext().viewManager = &manager;
    Game game(stubScreen);
    game.Setup();
    // The game asks in its creation order and registers each screen under its own id.
    ASSERT_EQ(asked,
              (std::vector<int>{VIEW_GAME, VIEW_ABOUT, VIEW_MAIN_MENU, VIEW_TRANSITION, VIEW_SPLASH,
                                VIEW_OPTIONS, VIEW_SCORES, VIEW_HELP, VIEW_CREDITS, VIEW_NAME_ENTRY,
                                VIEW_PAUSE_MENU, VIEW_TITLE}));
    for (int id : asked) {
        EXPECT_NE(game.views[id], nullptr) << id;
        EXPECT_EQ(manager.viewAt(static_cast<uint8_t>(id)), game.views[id]) << id;
    }
    EXPECT_EQ(ints(manager.currentId, manager.nextId), ints(VIEW_SPLASH, VIEW_SPLASH));
    game.Release();
    for (View* v : game.views) EXPECT_EQ(v, nullptr);

    // Without a factory there is nothing to register, and nothing starts.
    ViewManager empty;
    appContext().viewManager = &empty;
    Game bare;
    bare.Setup();
    for (int id = 0; id < ViewManager::kMaxViews; ++id) EXPECT_EQ(empty.viewAt(id), nullptr);
    bare.Release();
}

// Every prop of the scene comes with its picture, and props that go take their pictures
// along (the leak checker of the sanitizer and mutation builds watches the second half).
TEST_F(GameSetupTest, EveryPropHasItsPictureAndTakesItAlong) {
    SceneProps props;
    props.Init(nullptr);
    for (int i = 0; i < SceneProps::kCount; ++i) {
        ASSERT_NE(props.pictures[i], nullptr) << i;
        EXPECT_NE(props.pictures[i]->image, nullptr) << i;
        EXPECT_NE(props.sprites[i], nullptr) << i;
    }
}

}  // namespace
