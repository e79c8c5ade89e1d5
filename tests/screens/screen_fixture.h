// A small world for screen tests: surface, view manager with stand-ins under every id,
// sound and settings through appContext(), on the virtual clock with a fresh store.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio/game_sound.h"
#include "graphics/animation_list.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "platform/headless/headless.h"
#include "platform/store/store.h"
#include "shell/app_context.h"
#include "shell/view.h"
#include "shell/view_manager.h"

namespace screentest {

// Integers of mixed types as one list, so that several fields are compared in one check.
template <class... T>
std::vector<int64_t> ints(T... v) {
    return {static_cast<int64_t>(v)...};
}

inline InputEvent event(int type, int x = 0, int y = 0) {
    InputEvent e;
    e.type = type;
    e.x = static_cast<int16_t>(x);
    e.y = static_cast<int16_t>(y);
    return e;
}

// Stands in for the screens a test does not look at.
class StubView : public View {
  public:
    StubView() : View(nullptr) {}
    void OnEnter() override {}
    void OnLeave() override {}
    int HandleEvent(InputEvent&) override { return 0; }
};

class ScreenFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        storeDir = std::filesystem::temp_directory_path() /
                   ("tallreed-screens-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(storeDir);
        std::filesystem::create_directories(storeDir);
        platform::setStoreDirectory(storeDir.string());
        setAnimationList(&animations);
        surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
        GameSound::recordStarts = true;
        sound = std::make_unique<GameSound>();
        settings = std::make_unique<Settings>(sound.get());
        for (int id = 0; id < ViewManager::kMaxViews; ++id) manager.AddView(&stubs[id], id);
        appContext() = AppContext{settings.get(), sound.get(), &manager, nullptr};
    }

    void TearDown() override {
        leave();
        owned.reset();
        appContext() = AppContext{};
        settings.reset();
        sound.reset();
        surface.reset();
        setAnimationList(nullptr);
        platform::closeStore();
        platform::setStoreDirectory("");
        std::filesystem::remove_all(storeDir);
        headless::reset();
    }

    // Makes `view` current under `id`: started directly, or switched to from `from` the way the
    // manager enters a screen, taking the entering event. The fixture leaves it at tear-down.
    void enter(View& view, int id, int from = -1) {
        leave();
        manager.AddView(&view, id);
        manager.StartWith(static_cast<uint8_t>(from < 0 ? id : from));
        if (from >= 0) {
            manager.GoTo(static_cast<uint8_t>(id), 1);
            InputEvent e;
            manager.Dispatch(e);
        }
        shown = &view;
    }
    // A view of type V that the fixture owns, entered as above.
    template <class V, class... A>
    V& open(int id, int from = -1, A... extra) {
        leave();
        owned = std::make_unique<V>(surface.get(), extra...);
        enter(*owned, id, from);
        return static_cast<V&>(*owned);
    }
    void leave() {
        if (shown) shown->OnLeave();
        shown = nullptr;
    }
    void reenter() {
        shown->OnLeave();
        shown->OnEnter();
    }

    // Pen down and up at one place, each as its own frame, one millisecond apart.
    static int tap(View& view, int x, int y) {
        send(view, EV_PEN_DOWN, x, y);
        headless::setNow(headless::now() + 1);
        return send(view, EV_PEN_UP, x, y);
    }
    static int send(View& view, int type, int x = 0, int y = 0) {
        InputEvent e = event(type, x, y);
        return view.HandleEvent(e);
    }

    // One frame of `view` at virtual time t.
    static int frameAt(View& view, uint32_t t, int type = EV_NONE, int x = 0, int y = 0) {
        headless::setNow(t);
        return send(view, type, x, y);
    }

    void setUserName(std::u16string_view n) {
        std::fill(std::begin(settings->userName), std::end(settings->userName), 0);
        std::copy(n.begin(), n.end(), settings->userName);
    }

    int soundsStarted(int id) const {
        return std::count_if(sound->started.begin(), sound->started.end(),
                             [id](const auto& s) { return s.id == id; });
    }

    std::filesystem::path storeDir;
    AnimationList animations;
    std::unique_ptr<SceneSurface> surface;
    std::unique_ptr<GameSound> sound;
    std::unique_ptr<Settings> settings;
    StubView stubs[ViewManager::kMaxViews];
    ViewManager manager;
    std::unique_ptr<View> owned;
    View* shown = nullptr;
};

}  // namespace screentest
