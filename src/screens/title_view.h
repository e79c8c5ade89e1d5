// The title screen: the title picture with a blinking "tap the screen" prompt; the
// first tap opens the main menu.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/view.h"

class Image;

class TitleView : public View {
  public:
    explicit TitleView(SceneSurface* surface);
    ~TitleView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    std::unique_ptr<Image> background;
    std::unique_ptr<Image> blinkPicture;
    uint32_t lastBlinkTime = 0;
    uint8_t blinkOn = 0;
};
