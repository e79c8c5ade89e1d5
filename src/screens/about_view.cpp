#include "screens/about_view.h"

#include "audio/sound_ids.h"
#include "graphics/animation_list.h"
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

void AboutView::OnEnter() {
    clearAnimated();
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
