// The gun's shells and the strip picture that shows them near the right edge.
#pragma once

#include <cstdint>

#include "graphics/sprite.h"

class Surface;

class ShellMagazine {
  public:
    ShellMagazine() = default;
    virtual ~ShellMagazine();
    ShellMagazine(const ShellMagazine&) = delete;
    ShellMagazine& operator=(const ShellMagazine&) = delete;

    void Init(int32_t dx, int32_t dy, Surface* surface, uint8_t capacity);
    void Shoot();
    void Reload();
    void FollowScroll();
    void Hide();
    void Show();
    void Clear();

    uint8_t shells = 0;
    uint8_t capacity = 0;
    AnimatedSprite* strip = nullptr;
    FrameSet frames;
    Surface* surface = nullptr;
    int32_t dx = 0, dy = 0;
};

extern ShellMagazine shellMagazine;
