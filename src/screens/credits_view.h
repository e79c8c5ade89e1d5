// The credits: thirteen picture lines crawl across a black screen under a title,
// fading in, staying solid for a while and fading out, over and over.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/view.h"

class Picture;
class Sprite;

class CreditsView : public View {
  public:
    static constexpr int kLines = 13;
    static constexpr uint32_t kStepMs = 50;

    explicit CreditsView(SceneSurface* surface);
    ~CreditsView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    // How strongly a line at column x is drawn, in tenths: 0 not drawn, 10 solid (copied
    // as it is, colour key included), 1..9 blended over the screen.
    static int fadeTenths(int x);

    Sprite* lines[kLines] = {};
    Picture* linePictures[kLines] = {};
    Sprite* title = nullptr;
    Picture* titlePicture = nullptr;
    uint32_t lastStepTime = 0;

  private:
    void releaseAll();
};
