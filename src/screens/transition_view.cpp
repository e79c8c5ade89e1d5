#include "screens/transition_view.h"

#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"
#include "screens/screen_helpers.h"
#include "shell/view_manager.h"

TransitionView::TransitionView(SceneSurface* s, uint8_t next) : View(s), nextViewId(next) {}
TransitionView::~TransitionView() = default;

void TransitionView::OnEnter() {
    frame = 0;
    target = std::make_unique<Image>();
    target->loadPicture(PIC_MENU_BACKGROUND, kScreenWidth, kScreenHeight);
}

void TransitionView::OnLeave() {
    target.reset();
}

int TransitionView::HandleEvent(InputEvent&) {
    Bitmap* back = surface ? surface->backBuffer() : nullptr;
    if (frame >= kFrames) return 1;  // the switch is already requested
    if (back && target && target->bitmap && back->width == target->bitmap->width &&
        back->height == target->bitmap->height) {
        // Each frame completes one row and scatters ever fewer pixels into the rows
        // ahead of it.
        for (int k = 0; k < kFringeRows; ++k) {
            const int row = frame + k;
            if (row < kScreenHeight) copyRowDissolve(*target->bitmap, *back, row, k + 1);
        }
        if (frame == kFrames - 1) {
            // The last frame fills in whatever the fringe has not reached.
            for (int row = frame; row < kScreenHeight; ++row) {
                copyRowDissolve(*target->bitmap, *back, row, 1);
            }
        }
        screens::presentAll(surface);
    }
    ++frame;
    if (frame >= kFrames) {
        if (ViewManager* vm = screens::viewManager()) vm->GoTo(nextViewId);
    }
    return 1;
}
