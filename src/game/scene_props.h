// The fixed scenery pieces placed over the scene for a round, and the hidden target
// among them that can be shot once per round.
#pragma once

#include <cstdint>

class Picture;
class Sprite;
class Surface;

struct PropPlace {
    int16_t picture;
    int16_t width, height;
    int16_t x, y;
    uint8_t layer;
};

class SceneProps {
  public:
    static constexpr int kCount = 25;
    static constexpr int kHiddenTarget = 24;  // the last prop
    static const PropPlace kPlaces[kCount];

    SceneProps() = default;
    virtual ~SceneProps();
    SceneProps(const SceneProps&) = delete;
    SceneProps& operator=(const SceneProps&) = delete;

    void Init(Surface* surface);
    void HitHiddenTarget();
    void Hide();
    void Show();
    void Clear();

    // True when the scene point lies on the hidden target's shootable area.
    static bool OnHiddenTarget(int32_t sceneX, int32_t sceneY);

    bool hiddenTargetHit = false;
    Picture* pictures[kCount] = {};
    Sprite* sprites[kCount] = {};
    Surface* surface = nullptr;

  private:
    void freeAll();
};

extern SceneProps sceneProps;
