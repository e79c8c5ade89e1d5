#include "screens/about_view.h"

#include "audio/sound_ids.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "screens/screen_helpers.h"
#include "shell/view_manager.h"

namespace {
constexpr int kWidth = 150;
constexpr int kHeight = 200;
}  // namespace

AboutView::AboutView(SceneSurface* s) : View(s) {}
AboutView::~AboutView() = default;

// The animation list is left as it is. Nothing animates under the box anyway (the
// animation step runs only while the round's view is current), and outside a round the
// list is empty; but a round suspended below it (pause menu, help, about) must keep its
// animations: emptied, its bursts and puffs would never reach their last frame and never
// free their slots, and its ducks would stop flapping for the rest of the round.
void AboutView::OnEnter() {
    Settings* st = screens::settings();
    if (surface && st && st->menuAnimation) {
        surface->paintAllOnly();
        surface->greyBackBuffer();
        surface->presentAll();
    }
    screens::paintPictureOnce(surface, PIC_ABOUT, kWidth, kHeight, 120 - kWidth / 2,
                              160 - kHeight / 2);
    screens::playEffect(SOUND_GONG);
    if (surface) surface->redrawDirty();
}

int AboutView::HandleEvent(InputEvent& event) {
    if (event.type != EV_PEN_DOWN) return 0;
    screens::playEffect(SOUND_GONG);
    if (ViewManager* vm = screens::viewManager()) vm->GoBack();
    return 1;
}

void AboutView::OnLeave() {}
