// The help screen: six pages of instructions, paged with two arrow buttons, and the
// way to the about box and the credits.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/picture_ids.h"
#include "shell/view.h"

class Button;
class Picture;
class Sprite;

class HelpView : public View {
  public:
    static constexpr int kButtons = 5;
    static constexpr int kFirstPage = PIC_HELP_PAGE_FIRST;
    static constexpr int kLastPage = PIC_HELP_PAGE_LAST;
    static constexpr uint32_t kBlendMs = 150;

    explicit HelpView(SceneSurface* surface);
    ~HelpView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    int32_t page = kFirstPage;
    std::unique_ptr<Picture> pagePicture;
    std::unique_ptr<Sprite> pageSprite;
    Button* buttons[kButtons] = {};

  private:
    void turnTo(int newPage);
    void releaseAll();
};
