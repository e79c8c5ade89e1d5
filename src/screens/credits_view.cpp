#include "screens/credits_view.h"

#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "screens/screen_helpers.h"
#include "shell/view_manager.h"

namespace {

struct CreditLine {
    int picture, w, h, startX;
};

constexpr CreditLine kLineTable[CreditsView::kLines] = {
    {PIC_CREDITS_LINE_1, 20, 112, 220},  {PIC_CREDITS_LINE_2, 20, 164, 240},
    {PIC_CREDITS_LINE_3, 20, 154, 260},  {PIC_CREDITS_LINE_4, 20, 92, 300},
    {PIC_CREDITS_LINE_5, 20, 144, 320},  {PIC_CREDITS_LINE_6, 20, 134, 360},
    {PIC_CREDITS_LINE_7, 20, 172, 380},  {PIC_CREDITS_LINE_8, 20, 152, 420},
    {PIC_CREDITS_LINE_9, 20, 144, 440},  {PIC_CREDITS_LINE_10, 20, 186, 480},
    {PIC_CREDITS_LINE_11, 20, 176, 500}, {PIC_CREDITS_LINE_12, 20, 168, 540},
    {PIC_CREDITS_LINE_13, 18, 126, 560},
};

// Every line ends at the same row.
constexpr int kLineEnd = 260;
constexpr int kStartX = 220;
constexpr int kRestartX = -360;
constexpr int kStep = 2;

}  // namespace

int CreditsView::fadeTenths(int x) {
    if (x >= kStartX || x < 10) return 0;
    if (x >= 130) return (229 - x) / 10;  // 210..219 -> 1 up to 130..139 -> 9
    if (x >= 100) return 10;
    return x / 10;  // 90..99 -> 9 down to 10..19 -> 1
}

CreditsView::CreditsView(SceneSurface* s) : View(s) {}
CreditsView::~CreditsView() {
    releaseAll();
}

void CreditsView::OnEnter() {
    if (Bitmap* b = surface ? surface->backBuffer() : nullptr) fillBitmap(*b, 0);
    screens::presentAll(surface);
    lastStepTime = 0;
    releaseAll();
    for (int i = 0; i < kLines; ++i) {
        const CreditLine& l = kLineTable[i];
        linePictures[i] = new Picture(l.picture, l.w, l.h);
        lines[i] = new Sprite(linePictures[i], l.startX, kLineEnd - l.h, false, true, false,
                              kKeyFromImage);
    }
    titlePicture = new Picture(PIC_CREDITS_TITLE, 28, 94);
    title = new Sprite(titlePicture, 210, 5, false, true, false, kKeyFromImage);
}

int CreditsView::HandleEvent(InputEvent& event) {
    if (event.type == EV_PEN_DOWN) {
        if (ViewManager* vm = screens::viewManager()) vm->GoBack();
        return 1;
    }
    const uint32_t now = platform::tickCount();
    if (now - lastStepTime <= kStepMs) return 1;
    lastStepTime = now;
    Bitmap* back = surface ? surface->backBuffer() : nullptr;
    for (Sprite* line : lines) {
        if (!line) continue;
        const int tenths = fadeTenths(line->x);
        if (back && tenths > 0 && line->image && line->image->bitmap) {
            const Bitmap& src = *line->image->bitmap;
            Rect part{0, 0, src.width, src.height};
            int x = line->x, y = line->y;
            if (screens::clipToTarget(part, x, y, src.width, src.height, back->width,
                                      back->height)) {
                if (tenths == 10) {
                    copyRect(src, *back, x, y, part);
                } else {
                    keyedAlphaRect(src, *back, x, y, part, line->key,
                                   static_cast<float>(tenths) / 10.0f);
                }
            }
        }
        line->x = line->x <= kRestartX ? kStartX : line->x - kStep;
    }
    if (title && titlePicture) {
        screens::copyImageKeyed(surface, titlePicture->image, 210, 5, title->key);
    }
    screens::presentAll(surface);
    if (back) fillBitmap(*back, 0);
    return 1;
}

void CreditsView::releaseAll() {
    for (int i = 0; i < kLines; ++i) {
        delete lines[i];
        lines[i] = nullptr;
        delete linePictures[i];
        linePictures[i] = nullptr;
    }
    delete title;
    title = nullptr;
    delete titlePicture;
    titlePicture = nullptr;
}

void CreditsView::OnLeave() {
    releaseAll();
}
