#include "screens/slider.h"

#include <algorithm>

#include "graphics/sprite.h"
#include "platform/platform.h"
#include "screens/button.h"

Slider::~Slider() {
    delete knob;
    knob = nullptr;
    if (frames) ReleasePictures();
}

void Slider::Setup(uint16_t newId, int trackX, int trackY, int trackW, int trackH, int knobW,
                   int knobH, int firstTrackPicture, int lastTrackPicture, int knobNormalPicture,
                   int knobPressedPicture, int16_t newMin, int16_t newMax, int16_t initialValue,
                   int8_t newStep, uint8_t isVisible, bool keyed, bool blend, uint32_t period,
                   uint16_t keyOrMode) {
    id = newId;
    visible = isVisible;
    width = trackW;
    height = trackH;
    minValue = newMin;
    maxValue = newMax < 0 ? 10 : newMax;
    step = newStep < 1 || newStep > newMax ? 3 : newStep;
    value = initialValue < 0 || initialValue > maxValue ? static_cast<int16_t>(maxValue / 2)
                                                        : initialValue;
    const int16_t range = static_cast<int16_t>(maxValue - minValue + 1);
    int ppu = range > 0 ? (trackH - knobH) / range : trackH;
    // At least 1: the pen arithmetic divides by it, and a knob taller than its track
    // would otherwise give zero or less. At most what the field holds.
    pixelsPerUnit = static_cast<int8_t>(std::clamp(ppu, 1, 127));
    repeatDelay = static_cast<int16_t>(range > 0 ? (step * 30) / range : 15);
    dragState = IDLE;
    pageTarget = 0;
    pageUp = 0;

    if (frames) ReleasePictures();
    frames = new FrameSet;
    frames->loadRange(firstTrackPicture, lastTrackPicture, trackW, trackH);
    sprite.initAnimation(frames, trackX, trackY, false, keyed, blend, period, 0, keyOrMode);
    if (sprite.count > 0) sprite.setFrame(0);

    delete knob;
    knob = new Button;
    // The knob's normal and pressed pictures are neighbours in the resources.
    knob->Setup(0, trackX, trackY + trackH - value * pixelsPerUnit - knobH, knobW, knobH,
                knobNormalPicture, knobPressedPicture, Button::kNormal, 1, keyed, blend, period,
                keyOrMode, true);
}

int32_t Slider::knobHeight() const {
    return knob ? knob->height : 0;
}

int32_t Slider::knobY(int v) const {
    return sprite.y + height - v * pixelsPerUnit - knobHeight();
}

int32_t Slider::valueAt(int py) const {
    return (sprite.y + height - (py + knobHeight() / 2)) / pixelsPerUnit;
}

uint8_t Slider::HitTest(int16_t x, int16_t y) {
    const int64_t left = sprite.x, top = sprite.y;
    return x >= left && x <= left + width && y >= top && y <= top + height ? 1 : 0;
}

void Slider::moveTo(int16_t v) {
    value = v;
    if (knob) knob->sprite.y = knobY(v);
}

bool Slider::stepDown() {
    const int16_t n = static_cast<int16_t>(std::max<int>(value - step, minValue));
    if (n == value) return false;
    moveTo(n);
    return true;
}

bool Slider::stepUp() {
    const int16_t n = static_cast<int16_t>(std::min<int>(value + step, maxValue));
    if (n == value) return false;
    moveTo(n);
    return true;
}

void Slider::notify(InputEvent* event, int32_t how, int16_t oldValue) const {
    event->type = EV_SLIDER_CHANGE;
    event->keys[7] = id;
    event->keys[8] = how;
    event->keys[9] =
        static_cast<int32_t>(static_cast<uint16_t>(minValue) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(maxValue)) << 16));
    event->keys[10] =
        static_cast<int32_t>(static_cast<uint16_t>(value) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(oldValue)) << 16));
}

uint8_t Slider::HandleInput(InputEvent* event) {
    const int16_t before = value;
    switch (event->type) {
        case EV_PEN_DOWN: {
            if (knob && knob->HitTest(event->x, event->y)) {
                dragState = DRAGGING;
                if (sprite.count > 0) sprite.setFrame(1);
                knob->ShowFrame(1);
                knob->state = Button::kPressed;
                return 1;
            }
            if (!HitTest(event->x, event->y)) return 0;
            pageTarget = static_cast<int16_t>(valueAt(event->y));
            dragState = PAGING_STARTED;
            if (pageTarget < value) {
                pageUp = 0;
                if (!stepDown()) return 0;
                notify(event, kPagedDown, before);
                return 1;
            }
            if (pageTarget == value) return 0;
            pageUp = 1;
            if (!stepUp()) return 0;
            notify(event, kPagedUp, before);
            return 1;
        }
        case EV_PEN_UP:
            if (dragState == IDLE) return 0;
            if (dragState != PAGING_STARTED && sprite.count > 0) sprite.setFrame(0);
            if (knob && knob->state == Button::kPressed) {
                knob->ShowFrame(0);
                knob->state = Button::kNormal;
            }
            dragState = IDLE;
            event->type = EV_SLIDER_RELEASE;
            return 1;
        case EV_PEN_DRAG: {
            if (dragState == DRAGGING) {
                const int n = std::clamp<int>(valueAt(event->y), minValue, maxValue);
                if (n == value) return 0;
                moveTo(static_cast<int16_t>(n));
                notify(event, kDragged, before);
                return 1;
            }
            if (dragState == PAGING_STARTED) dragState = PAGING_REPEATS;
            if (dragState != PAGING_REPEATS) return 0;
            // The pen rests on the track: wait a little between pages so that a held pen
            // walks the knob at a readable speed.
            platform::sleepMs(static_cast<uint32_t>(std::max<int>(repeatDelay, 0)) * 10);
            bool moved = false;
            if (pageUp == 0 && pageTarget < value) {
                moved = stepDown();
            } else if (pageUp == 1 && pageTarget > value) {
                moved = stepUp();
            }
            if (!moved) return 0;
            notify(event, pageUp ? kPagedUp : kPagedDown, before);
            return 1;
        }
        default:
            return 0;
    }
}
