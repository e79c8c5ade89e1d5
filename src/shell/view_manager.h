// Holds the views by id, delivers each frame's event to the current one, switches
// views between frames and keeps the history for going back.
#pragma once

#include <cstdint>

#include "shell/input_event.h"

class View;

class ViewManager {
  public:
    static constexpr int kMaxViews = 20;

    void AddView(View* view, int id);
    void StartWith(uint8_t id);
    void GoTo(uint8_t id);
    void GoTo(uint8_t id, uint8_t remember);
    void GoBack();
    int Dispatch(InputEvent& event);

    View* viewAt(uint8_t id) const { return id < kMaxViews ? views[id] : nullptr; }

    uint8_t currentId = 0;
    uint8_t nextId = 0;
    uint8_t previousId = 0;
    View* views[kMaxViews] = {};
    uint8_t history[kMaxViews] = {};
    uint8_t historyDepth = 0;
};
