// The base of every full-screen view, with its list of UI controls.
#pragma once

#include <cstdint>

#include "shell/input_event.h"

class Control;
class SceneSurface;

class View {
  public:
    static constexpr int kMaxControls = 40;

    explicit View(SceneSurface* surface);
    virtual ~View();
    virtual void OnEnter() = 0;
    virtual void OnLeave() = 0;
    // 0 not consumed, 1 consumed, 2 end the program.
    virtual int HandleEvent(InputEvent& event) = 0;

    // Refuses (returns false, shows nothing) a 41st control.
    bool AddControl(Control* control);
    void DrawControl(Control* control, uint8_t layer);
    void RemoveControl(uint8_t index);
    void ClearControls();
    uint8_t OfferEvent(InputEvent& event);

    SceneSurface* surface;
    Control* controls[kMaxControls] = {};
    uint8_t controlCount = 0;
};
