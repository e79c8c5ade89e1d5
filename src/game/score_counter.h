// The round's score and the number on screen that rolls towards it one unit per step.
#pragma once

#include <cstdint>
#include <string>

class PictureFont;
class TextSprite;
class Surface;

class ScoreCounter {
  public:
    ScoreCounter() = default;
    virtual ~ScoreCounter();
    ScoreCounter(const ScoreCounter&) = delete;
    ScoreCounter& operator=(const ScoreCounter&) = delete;

    bool Init(int16_t dx, int16_t dy, Surface* surface);
    void AddPoints(int32_t n);
    void Tick();
    void FollowScroll();
    void Hide();
    void Show();
    void Clear();

    // The decimal digits of max(v, 0).
    static std::u16string TextOf(int32_t v);

    PictureFont* m_font = nullptr;
    TextSprite* m_editField = nullptr;
    Surface* surface = nullptr;
    int16_t dx = 0, dy = 0;
    int32_t total = 0;
    int32_t shown = 0;
    int8_t step = 1;
    bool erasedOnce = false;
};

extern ScoreCounter scoreCounter;
