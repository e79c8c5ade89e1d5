#include "screens/screen_helpers.h"

#include "audio/game_sound.h"
#include "graphics/blitters.h"
#include "graphics/canvas.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "shell/app_context.h"

namespace screens {

void paintPictureOnce(Surface* surface, int id, int w, int h, int x, int y, bool keyed) {
    if (!surface) return;
    Picture picture(id, w, h);
    if (!picture.image || !picture.image->bitmap) return;
    Sprite sprite(&picture, x, y, false, keyed, false, kKeyFromImage);
    surface->paintOnly(&sprite);
}

bool clipToTarget(Rect& part, int& x, int& y, int w, int h, int dw, int dh) {
    if (part.left < 0) part.left = 0;
    if (part.top < 0) part.top = 0;
    if (part.right > w) part.right = w;
    if (part.bottom > h) part.bottom = h;
    if (x < 0) {
        part.left -= x;
        x = 0;
    }
    if (y < 0) {
        part.top -= y;
        y = 0;
    }
    if (x + (part.right - part.left) > dw) part.right = part.left + (dw - x);
    if (y + (part.bottom - part.top) > dh) part.bottom = part.top + (dh - y);
    return part.right > part.left && part.bottom > part.top;
}

namespace {

Bitmap* target(Surface* surface) {
    return surface ? surface->backBuffer() : nullptr;
}

void drawPart(Surface* surface, const Image* image, int x, int y, Rect part, bool keyed,
              uint16_t key) {
    Bitmap* dst = target(surface);
    if (!dst || !image || !image->bitmap) return;
    const Bitmap& src = *image->bitmap;
    if (!clipToTarget(part, x, y, src.width, src.height, dst->width, dst->height)) return;
    if (keyed) {
        keyedCopyRect(src, *dst, x, y, part, key);
    } else {
        copyRect(src, *dst, x, y, part);
    }
}

}  // namespace

void copyImage(Surface* surface, const Image* image, int x, int y) {
    if (!image || !image->bitmap) return;
    drawPart(surface, image, x, y, Rect{0, 0, image->bitmap->width, image->bitmap->height}, false,
             0);
}

void copyImageKeyed(Surface* surface, const Image* image, int x, int y, uint16_t key) {
    if (!image || !image->bitmap) return;
    drawPart(surface, image, x, y, Rect{0, 0, image->bitmap->width, image->bitmap->height}, true,
             key);
}

void copyImagePart(Surface* surface, const Image* image, int x, int y, const Rect& part) {
    drawPart(surface, image, x, y, part, false, 0);
}

void copyImagePartKeyed(Surface* surface, const Image* image, int x, int y, const Rect& part,
                        uint16_t key) {
    drawPart(surface, image, x, y, part, true, key);
}

void presentRect(Surface* surface, const Rect& r) {
    if (!surface || !surface->canvas.window) return;
    DirtyRect d = r;
    if (d.left < 0) d.left = 0;
    if (d.top < 0) d.top = 0;
    if (d.right > kScreenWidth) d.right = kScreenWidth;
    if (d.bottom > kScreenHeight) d.bottom = kScreenHeight;
    if (d.right <= d.left || d.bottom <= d.top) return;
    surface->canvas.window->presentRects(&d, 1);
}

void presentAll(Surface* surface) {
    if (surface) surface->presentAll();
}

void playEffect(SoundId id) {
    if (GameSound* s = appContext().sound) s->PlaySound(id, false, false);
}

void playMusic(SoundId id) {
    if (GameSound* s = appContext().sound) s->PlaySound(id, true, true);
}

void stopAllSounds() {
    if (GameSound* s = appContext().sound) s->StopAllSounds();
}

ViewManager* viewManager() {
    return appContext().viewManager;
}
Settings* settings() {
    return appContext().settings;
}

}  // namespace screens
