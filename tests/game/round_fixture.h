// A bare round: the virtual clock, one scene surface bound to the animation list, a view
// manager on the game screen and a sound facade that records what was started.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "audio/game_sound.h"
#include "game/mover.h"
#include "game/random.h"
#include "graphics/animation_list.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/headless/headless.h"
#include "shell/app_context.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

// w x h frames whose two-pixel border is the key colour and whose inside is opaque.
struct TestFrames {
    TestFrames(int w, int h) {
        image.createBlank(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.bitmap->set(x, y,
                                  x < 2 || y < 2 || x >= w - 2 || y >= h - 2 ? 0xF81F : 0x07E0);
        raw = &image;
        set.borrow(&raw, 1);
    }
    FrameSet set;
    Image image;
    Image* raw;
};

// Integers of mixed types as one list, so that several fields are compared in one check.
template <class... T>
std::vector<int64_t> ints(T... v) {
    return {static_cast<int64_t>(v)...};
}
inline ::testing::AssertionResult within(int64_t v, int64_t lo, int64_t hi) {
    if (v >= lo && v <= hi) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << v << " is outside " << lo << ".." << hi;
}
// A sprite's scene position and layer.
inline std::vector<int64_t> place(const Sprite* s) {
    return ints(s->x, s->y, s->layer);
}

class RoundFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset(1000000);
        GameSound::recordStarts = true;
        sound = std::make_unique<GameSound>();
        surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
        list.surface = surface.get();
        setAnimationList(&list);
        views.currentId = VIEW_GAME;
        saved = appContext();
        appContext().sound = sound.get();
        appContext().viewManager = &views;
        appContext().settings = nullptr;
    }
    void TearDown() override {
        list.clear();
        list.surface = nullptr;
        setAnimationList(nullptr);
        surface->list.clear();
        appContext() = saved;
    }
    void advance(uint32_t ms) { headless::setNow(headless::now() + ms); }
    // Calls f `times` times, each ms milliseconds after the last.
    template <class F>
    void every(uint32_t ms, int times, F f) {
        for (int i = 0; i < times; ++i) advance(ms), f();
    }
    int startedCount(int id) const {
        return static_cast<int>(
            std::count_if(sound->started.begin(), sound->started.end(),
                          [id](const GameSound::Started& s) { return s.id == id; }));
    }
    // A pathless 20 x 20 object of the test's frames at a scene position.
    Mover* mover(uint8_t kind, int x, int y, uint8_t layer) {
        auto* m = new Mover();
        EXPECT_TRUE(m->Init(x, y, &frames.set, 50, kind, 100));
        addAnimated(surface.get(), m->sprite, layer);
        return m;
    }
    // A generator state whose next leaf draw, Next(100) % 13, is s (multiples of 7 take
    // a fresh state from the runtime, so they are no use here).
    static int32_t leafState(int s) {
        for (int32_t st = 1; st < 16807; ++st)
            if (st % 7 != 0 && Random(st).Next(100) % 13 == s) return st;
        return -1;
    }
    static InputEvent penDown(int x, int y) {
        InputEvent e;
        e.type = EV_PEN_DOWN;
        e.x = static_cast<int16_t>(x);
        e.y = static_cast<int16_t>(y);
        return e;
    }
    static InputEvent keys(std::initializer_list<int32_t> codes) {
        InputEvent e;
        e.type = EV_KEYS;
        for (int32_t k : codes) e.keys[e.keyCount++] = k;
        return e;
    }

    std::unique_ptr<GameSound> sound;
    std::unique_ptr<SceneSurface> surface;
    AnimationList list;
    ViewManager views;
    AppContext saved;
    TestFrames frames{20, 20};
};
