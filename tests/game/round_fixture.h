// A bare round environment for the gameplay tests: the headless clock, one scene
// surface bound to the animation list, a view manager on the game screen and a sound
// facade that records what was started.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "audio/game_sound.h"
#include "graphics/animation_list.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/headless/headless.h"
#include "shell/app_context.h"
#include "shell/view_manager.h"

class RoundFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset(1000000);
        sound = std::make_unique<GameSound>();
        surface = std::make_unique<SceneSurface>(1, 3, 240, 320);
        list.surface = surface.get();
        setAnimationList(&list);
        views.currentId = 1;
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

    // Advances the virtual clock.
    void advance(uint32_t ms) { headless::setNow(headless::now() + ms); }

    int startedCount(int id) const {
        return static_cast<int>(
            std::count_if(sound->started.begin(), sound->started.end(),
                          [id](const GameSound::Started& s) { return s.id == id; }));
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
};

// Frames drawn by the test: a w x h picture whose border ring is the key colour and
// whose inside is opaque, so that hit tests have known pixels.
class TestFrames {
  public:
    static constexpr uint16_t kKey = 0xF81F;
    static constexpr uint16_t kInk = 0x07E0;

    TestFrames(int w, int h, int count = 1) {
        for (int k = 0; k < count; ++k) {
            auto img = std::make_unique<Image>();
            img->createBlank(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool edge = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
                    img->bitmap->set(x, y, edge ? kKey : kInk);
                }
            raw.push_back(img.get());
            images.push_back(std::move(img));
        }
        set.borrow(raw.data(), count);
    }

    FrameSet set;
    std::vector<std::unique_ptr<Image>> images;
    std::vector<Image*> raw;
};
