#include "screens/toggle_button.h"

#include "graphics/sprite.h"

ToggleButton::~ToggleButton() {
    if (frames) ReleasePictures();
}

void ToggleButton::Setup(uint16_t newId, int x, int y, int w, int h, int firstPicture,
                         int lastPicture, int32_t initialState, const FrameSet* shared,
                         uint8_t isVisible, bool keyed, bool blend, uint32_t period, int32_t mode) {
    if (frames) ReleasePictures();
    const FrameSet* set = shared;
    if (!set) {
        frames = new FrameSet;
        frames->loadRange(firstPicture, lastPicture, w, h);
        set = frames;
    }
    sprite.initAnimation(set, x, y, false, keyed, blend, period, mode, kKeyFromImage);
    if (sprite.count > 0) sprite.setFrame(initialState);
    id = newId;
    width = static_cast<int16_t>(w);
    height = static_cast<int16_t>(h);
    state = initialState;
    visible = isVisible;
}

uint8_t ToggleButton::HitTest(int16_t x, int16_t y) {
    const int64_t left = sprite.x, top = sprite.y;
    return x >= left && x <= left + width && y >= top && y <= top + height ? 1 : 0;
}

uint8_t ToggleButton::HandleInput(InputEvent* event) {
    if (event->type != EV_PEN_DOWN || !HitTest(event->x, event->y)) return 0;
    if (state != 0 && state != 1) return 0;
    state = state == 0 ? 1 : 0;
    if (sprite.count > 0) sprite.setFrame(state);
    event->type = EV_TOGGLE;
    event->keys[7] = id;
    event->keys[8] = static_cast<int32_t>(static_cast<uint16_t>(static_cast<int16_t>(state)));
    return 1;
}
