// The pause menu: a panel of five buttons that slides in from the edge over the frozen
// round. It draws straight into the back buffer; its buttons are used only for hit
// tests and their pressed pictures.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bitmap.h"
#include "shell/view.h"

class Button;
class Picture;
class Sprite;

class PauseMenuView : public View {
  public:
    static constexpr int kButtons = 5;
    // What the last pressed button does.
    enum Code : uint8_t { NONE = 0, OPTIONS = 1, EXIT = 2, SCORE = 3, HELP = 4, RESUME = 5 };

    explicit PauseMenuView(SceneSurface* surface);
    ~PauseMenuView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    std::unique_ptr<Picture> panelPicture;
    std::unique_ptr<Sprite> panel;
    Rect panelSource{};
    Rect panelArea{};
    Button* buttons[kButtons] = {};  // by button id: Resume, Exit, Help, Score, Options
    Rect pressedSource{0, 0, 24, 88};
    Rect pressedArea{0, 226, 24, 314};
    uint8_t sliding = 0;
    uint32_t lastSlideTime = 0;
    uint8_t pressedCode = NONE;

  private:
    void drawPanel();
    Code codeAt(int x, int y, Button** hit);
    void releaseAll();
};
