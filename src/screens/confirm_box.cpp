#include "screens/confirm_box.h"

#include "audio/sound_ids.h"
#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "screens/screen_helpers.h"
#include "shell/application.h"

bool insideInclusive(const Rect& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

ConfirmBox::ConfirmBox(Surface* s, EventSource src) : surface(s), source(std::move(src)) {
    box = std::make_unique<Image>();
    box->loadPicture(PIC_CONFIRM_BOX, 100, 168);
    okPressed = std::make_unique<Image>();
    okPressed->loadPicture(PIC_CONFIRM_OK_PRESSED, 24, 40);
    cancelPressed = std::make_unique<Image>();
    cancelPressed->loadPicture(PIC_CONFIRM_CANCEL_PRESSED, 24, 86);
    if (!source) {
        source = [](InputEvent& e) { return application().pollEvent(e); };
    }
}

ConfirmBox::~ConfirmBox() = default;

uint8_t ConfirmBox::Run() {
    const uint16_t key = box && box->bitmap ? box->pixel(0, 0) : 0;
    screens::copyImageKeyed(surface, box.get(), boxArea.left, boxArea.top, key);
    screens::presentRect(surface, boxArea);

    InputEvent event;
    // Without further events (the window was closed) the box gives up as if Cancel had
    // been chosen, so that the program can shut down normally.
    while (source(event)) {
        if (event.type == EV_PEN_DOWN) {
            if (insideInclusive(okArea, event.x, event.y)) {
                screens::playEffect(SOUND_BUTTON);
                screens::copyImage(surface, okPressed.get(), okArea.left, okArea.top);
                screens::presentRect(surface, okArea);
            } else if (insideInclusive(cancelArea, event.x, event.y)) {
                screens::playEffect(SOUND_BUTTON);
                screens::copyImage(surface, cancelPressed.get(), cancelArea.left, cancelArea.top);
                screens::presentRect(surface, cancelArea);
            }
        } else if (event.type == EV_PEN_UP) {
            const Rect* released = nullptr;
            uint8_t result = 0;
            if (insideInclusive(okArea, event.x, event.y)) {
                released = &okArea;
                result = 1;
            } else if (insideInclusive(cancelArea, event.x, event.y)) {
                released = &cancelArea;
            }
            if (released) {
                screens::copyImageKeyed(surface, box.get(), boxArea.left, boxArea.top, key);
                screens::presentRect(surface, *released);
                return result;
            }
        }
    }
    return 0;
}
