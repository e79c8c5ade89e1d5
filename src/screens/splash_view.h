// The first screen of a run: the studio logo (skippable for two seconds), then the game
// emblem fading in and spinning upright, then the title screen.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/view.h"

class Image;
class Button;
class WindowBuffer;

class SplashView : public View {
  public:
    explicit SplashView(SceneSurface* surface);
    ~SplashView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    // The timing state lives for the whole run, so the sequence plays once per run;
    // tests start it over with this.
    static void ResetRunState();
    static float fadeAlpha();
    static bool secondLogoPending();

    std::unique_ptr<Image> logoPicture;
    WindowBuffer* presentTarget = nullptr;
    uint32_t lastSpinTime = 0;
    double spinAngle = 90.0;
    std::unique_ptr<Button> skipButton;

  private:
    void removeSkipButton();
    void leaveForTitle();
};
