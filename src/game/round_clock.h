// Counts the round down in whole seconds, shows the time left and the menu icon.
#pragma once

#include <cstdint>
#include <string>

class PictureFont;
class TextSprite;
class Picture;
class Sprite;
class Surface;

class RoundClock {
  public:
    RoundClock() = default;
    virtual ~RoundClock();
    RoundClock(const RoundClock&) = delete;
    RoundClock& operator=(const RoundClock&) = delete;

    void Init(int32_t offsetX, int32_t offsetY, uint32_t seconds, Surface* surface);
    uint32_t Start();
    uint32_t Stop();
    uint32_t Tick();
    void AddSeconds(int8_t delta);
    void FollowScroll();
    void Hide();
    void Show();
    void Clear();

    // "mm:ss", minutes and seconds each with a leading 0 below 10.
    static std::u16string FormatTime(uint32_t seconds);

    PictureFont* m_font = nullptr;
    TextSprite* m_editField = nullptr;
    Surface* surface = nullptr;
    int32_t offsetX = 0, offsetY = 0;
    uint32_t secondsLeft = 0;
    uint32_t lastSecondTick = 0;
    uint32_t initialSeconds = 0;
    uint8_t running = 0;
    Picture* iconPicture = nullptr;
    Sprite* iconSprite = nullptr;

  private:
    void showText();
};

extern RoundClock roundClock;
