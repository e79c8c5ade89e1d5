#include "screens/button.h"

#include "graphics/sprite.h"

Button::~Button() {
    if (frames) ReleasePictures();
}

void Button::Setup(uint16_t newId, int x, int y, int w, int h, int firstPicture, int lastPicture,
                   int32_t initialState, uint8_t isVisible, bool keyed, bool blend, uint32_t period,
                   int32_t mode, bool saveUnder) {
    if (frames) ReleasePictures();
    frames = new FrameSet;
    frames->loadRange(firstPicture, lastPicture, w, h);
    finishSetup(newId, x, y, w, h, initialState, isVisible, keyed, blend, period, mode, saveUnder);
}

void Button::Setup(uint16_t newId, int x, int y, int w, int h, Image* const* pictures, int count,
                   int32_t initialState, uint8_t isVisible, bool keyed, bool blend, uint32_t period,
                   int32_t mode, bool saveUnder) {
    if (frames) ReleasePictures();
    frames = new FrameSet;
    frames->borrow(pictures, count);
    finishSetup(newId, x, y, w, h, initialState, isVisible, keyed, blend, period, mode, saveUnder);
}

void Button::SetupPlain(uint16_t newId, int x, int y, int w, int h, int normalPicture,
                        int pressedPicture) {
    // The two pictures of a screen button are always neighbours in the resources.
    Setup(newId, x, y, w, h, normalPicture, pressedPicture, kNormal, 1, false, false, 100, 0xFFFF,
          false);
}

void Button::finishSetup(uint16_t newId, int x, int y, int w, int h, int32_t initialState,
                         uint8_t isVisible, bool keyed, bool blend, uint32_t period, int32_t mode,
                         bool saveUnder) {
    sprite.initAnimation(frames, x, y, saveUnder, keyed, blend, period, mode, kKeyFromImage);
    sprite.setFrame(0);
    id = newId;
    width = w;
    height = h;
    state = initialState;
    visible = isVisible;
    captured = 0;
}

void Button::ShowFrame(int n) {
    if (sprite.count > 0) sprite.setFrame(n);
}

uint8_t Button::HitTest(int16_t x, int16_t y) {
    // Every edge counts as inside: a stylus resting on the border still hits.
    const int64_t left = sprite.x, top = sprite.y;
    return x >= left && x <= left + width && y >= top && y <= top + height ? 1 : 0;
}

uint8_t Button::HandleInput(InputEvent* event) {
    const uint8_t inside = HitTest(event->x, event->y);
    if (state == kDisabled) return 0;
    switch (event->type) {
        case EV_PEN_DOWN:
            if (!inside) return 0;
            captured = 1;
            if (state == kNormal) {
                state = kPressed;
                ShowFrame(1);
            }
            event->type = EV_NONE;
            return 1;
        case EV_PEN_UP:
            if (!captured) return 0;
            state = kNormal;
            ShowFrame(0);
            captured = 0;
            // A press dragged off the button is cancelled, but the release is still ours.
            if (HitTest(event->x, event->y)) {
                event->type = EV_CONTROL;
                event->keys[7] = id;
            }
            return 1;
        default:
            if (state == kPressed && captured) {
                OnDrag();
                return 1;
            }
            return 0;
    }
}
