// The points shown where a duck was hit: a badge drifting one way and the number the
// other, both gone when the first ends its path.
#pragma once

#include <cstdint>

#include "graphics/sprite.h"

class MovingNumber;
class MovingPicture;
class PictureFont;
class SceneSurface;

class ScorePopups {
  public:
    static constexpr int kMax = 35;

    ScorePopups() = default;
    virtual ~ScorePopups();
    ScorePopups(const ScorePopups&) = delete;
    ScorePopups& operator=(const ScorePopups&) = delete;

    void Init(SceneSurface* surface, PictureFont* font);
    void Spawn(int32_t x, int32_t y, uint8_t duckKind, int32_t points);
    void Update();
    void Clear();
    // The round is suspended / resumed: badges and numbers leave the surface and come back.
    void Hide();
    void Show();

    MovingNumber* numbers[kMax] = {};
    MovingPicture* badges[kMax] = {};
    FrameSet largeBadge;
    FrameSet smallBadge;
    SceneSurface* surface = nullptr;
    PictureFont* font = nullptr;
    uint8_t count = 0;

  private:
    void freeSlots();
};

extern ScorePopups scorePopups;
