// The options screen: music and effect volume sliders, the menu-animation and
// special-effects switches. Changes are live; OK saves them, Cancel puts back what the
// screen found on entry.
#pragma once

#include <cstdint>
#include <memory>

#include "persist/settings.h"
#include "shell/view.h"

class Button;
class Slider;
class ToggleButton;

class OptionsView : public View {
  public:
    static constexpr uint16_t kOk = 3;
    static constexpr uint16_t kCancel = 4;
    static constexpr uint16_t kAnimationToggle = 7;
    static constexpr uint16_t kEffectsToggle = 8;

    explicit OptionsView(SceneSurface* surface);
    ~OptionsView() override;

    void OnEnter() override;
    void OnLeave() override;
    int HandleEvent(InputEvent& event) override;

    std::unique_ptr<Slider> musicSlider;
    std::unique_ptr<Slider> soundSlider;
    std::unique_ptr<Button> okButton;
    std::unique_ptr<Button> cancelButton;
    std::unique_ptr<ToggleButton> animationToggle;
    std::unique_ptr<ToggleButton> effectsToggle;
    uint8_t touched = 0;
    SettingsBlock savedSettings{};

  private:
    void showSlider(Slider& slider);
    void redrawSlider(Slider& slider);
    void releaseControls();
};
