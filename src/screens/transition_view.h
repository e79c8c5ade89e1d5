// A full-screen transition: the main menu's background is revealed over whatever the
// screen shows, row by row with a thinning fringe, and then the menu takes over.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/view.h"

class Image;

class TransitionView : public View {
  public:
    static constexpr int kFrames = 310;
    static constexpr int kFringeRows = 10;

    TransitionView(SceneSurface* surface, uint8_t nextViewId);
    ~TransitionView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    uint8_t nextViewId;
    int32_t frame = 0;
    std::unique_ptr<Image> target;
};
