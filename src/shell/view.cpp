// The view base: its list of controls and the offering of events to them.
#include "shell/view.h"

#include "graphics/surface.h"
#include "shell/control.h"

View::View(SceneSurface* s) : surface(s) {}

View::~View() = default;

bool View::AddControl(Control* control) {
    // No view needs more than 40 controls; a 41st would write past the list.
    if (controlCount >= kMaxControls) return false;
    controls[controlCount++] = control;
    return true;
}

void View::DrawControl(Control* control, uint8_t layer) {
    if (control == nullptr || control->visible != 1 || surface == nullptr) return;
    surface->addSprite(&control->sprite, layer);
    surface->markDirty(&control->sprite);
}

void View::RemoveControl(uint8_t index) {
    if (index >= controlCount) return;
    if (surface != nullptr) surface->removeSprite(&controls[index]->sprite);
    controls[index] = controls[controlCount - 1];
    controls[controlCount - 1] = nullptr;
    --controlCount;
}

void View::ClearControls() {
    if (surface != nullptr) surface->list.clear();
    controlCount = 0;
}

uint8_t View::OfferEvent(InputEvent& event) {
    InputEvent copy = event;
    for (int i = 0; i < controlCount; ++i) {
        Control* control = controls[i];
        const uint8_t answer = control->HandleInput(&copy);
        if (answer == 0) continue;
        if (surface != nullptr) surface->paintAndFlush(&control->sprite);
        event = copy;
        return answer;
    }
    return 0;
}
