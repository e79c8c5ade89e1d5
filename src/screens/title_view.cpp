#include "screens/title_view.h"

#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "screens/screen_helpers.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {
constexpr uint32_t kBlinkPeriodMs = 230;
}

TitleView::TitleView(SceneSurface* s) : View(s) {}
TitleView::~TitleView() = default;

void TitleView::OnEnter() {
    background = std::make_unique<Image>();
    background->loadPicture(PIC_TITLE_BACKGROUND, 240, 320);
    blinkPicture = std::make_unique<Image>();
    blinkPicture->loadPicture(PIC_TITLE_PROMPT, 36, 86);
    lastBlinkTime = 0;
    blinkOn = 0;
}

void TitleView::OnLeave() {
    background.reset();
    blinkPicture.reset();
}

int TitleView::HandleEvent(InputEvent& event) {
    if (event.type == EV_PEN_DOWN) {
        if (ViewManager* vm = screens::viewManager()) vm->GoTo(VIEW_MAIN_MENU);
        return 1;
    }
    const uint32_t now = platform::tickCount();
    if (now - lastBlinkTime > kBlinkPeriodMs) {
        lastBlinkTime = now;
        screens::copyImage(surface, background.get(), 0, 0);
        if (blinkOn) screens::copyImage(surface, blinkPicture.get(), 200, 10);
        blinkOn = !blinkOn;
        screens::presentAll(surface);
    }
    return 1;
}
