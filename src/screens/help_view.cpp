#include "screens/help_view.h"

#include "audio/sound_ids.h"
#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "screens/button.h"
#include "screens/screen_helpers.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {

enum : uint16_t { OK = 0, CREDITS = 1, NEXT = 2, PREVIOUS = 3, ABOUT = 4 };

struct HelpButton {
    int x, y, w, h, normalPicture;
};

constexpr HelpButton kButtonTable[HelpView::kButtons] = {
    {200, 14, 26, 42, PIC_HELP_OK},     {200, 72, 26, 128, PIC_HELP_CREDITS},
    {137, 19, 42, 20, PIC_HELP_NEXT},   {22, 19, 42, 20, PIC_HELP_PREVIOUS},
    {200, 214, 26, 94, PIC_HELP_ABOUT},
};

constexpr int kPageX = 62;
constexpr int kPageY = 62;
constexpr int kPageW = 118;
constexpr int kPageH = 216;

}  // namespace

HelpView::HelpView(SceneSurface* s) : View(s) {}
HelpView::~HelpView() {
    releaseAll();
}

void HelpView::OnEnter() {
    screens::paintPictureOnce(surface, PIC_HELP_BACKGROUND, 240, 320, 0, 0);
    releaseAll();
    for (int i = 0; i < kButtons; ++i) {
        const HelpButton& b = kButtonTable[i];
        buttons[i] = new Button;
        buttons[i]->SetupPlain(static_cast<uint16_t>(i), b.x, b.y, b.w, b.h, b.normalPicture,
                               b.normalPicture + 1);
        AddControl(buttons[i]);
        DrawControl(buttons[i], 200);
    }
    page = kFirstPage;
    pagePicture = std::make_unique<Picture>(page, kPageW, kPageH);
    pageSprite = std::make_unique<Sprite>(pagePicture.get(), kPageX, kPageY, false, false, false,
                                          kKeyFromImage);
    if (surface) surface->addSprite(pageSprite.get(), 2);
}

void HelpView::turnTo(int newPage) {
    page = newPage;
    if (!pagePicture || !pageSprite) return;
    pagePicture->reload(page, kPageW, kPageH);
    // The new page shows half-transparent for a moment, then solid.
    pageSprite->setFromPicture(pagePicture.get(), kPageX, kPageY, false, false, true,
                               kKeyFromImage);
    if (surface) surface->redrawAll();
    const uint32_t start = platform::tickCount();
    // Sleep between looks at the clock: a bare busy loop would never end on a clock that
    // moves only when somebody sleeps.
    while (platform::tickCount() - start < kBlendMs) platform::sleepMs(10);
    pageSprite->blend = 0;
    if (surface) surface->redrawAll();
}

int HelpView::HandleEvent(InputEvent& event) {
    if (event.type == EV_VIEW_ENTER && surface) surface->redrawAll();
    if (!OfferEvent(event) || event.type != EV_CONTROL) return 1;
    screens::playEffect(SOUND_BUTTON);
    ViewManager* vm = screens::viewManager();
    switch (event.keys[7]) {
        case OK:
            if (vm) vm->GoBack();
            break;
        case CREDITS:
            if (vm) vm->GoTo(VIEW_CREDITS, 1);
            break;
        case ABOUT:
            if (vm) vm->GoTo(VIEW_ABOUT, 1);
            break;
        case NEXT:
            if (page != kLastPage) {
                screens::playEffect(SOUND_GONG);
                turnTo(page + 1);
            }
            break;
        case PREVIOUS:
            if (page != kFirstPage) {
                screens::playEffect(SOUND_GONG);
                turnTo(page - 1);
            }
            break;
        default:
            break;
    }
    return 1;
}

void HelpView::releaseAll() {
    if (surface && pageSprite) surface->removeSprite(pageSprite.get());
    pageSprite.reset();
    pagePicture.reset();
    for (Button*& b : buttons) {
        if (b) b->ReleasePictures();
        delete b;
        b = nullptr;
    }
}

void HelpView::OnLeave() {
    ClearControls();
    releaseAll();
}
