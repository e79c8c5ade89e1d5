#include "game/shell_magazine.h"

#include "graphics/picture_ids.h"
#include "graphics/surface.h"

ShellMagazine shellMagazine;

ShellMagazine::~ShellMagazine() {
    delete strip;
}

void ShellMagazine::Init(int32_t dx_, int32_t dy_, Surface* surface_, uint8_t capacity_) {
    dx = dx_;
    dy = dy_;
    surface = surface_;
    capacity = capacity_;
    shells = capacity;
    // A second Init without Clear: the old strip leaves the surface before it is freed.
    if (surface != nullptr && strip != nullptr) surface->removeSprite(strip);
    frames.free();
    frames.loadRange(PIC_MAGAZINE_FIRST, PIC_MAGAZINE_LAST, 26, 96);
    delete strip;
    strip = new AnimatedSprite();
    const int32_t sx = surface != nullptr ? surface->scrollX() : 0;
    const int32_t sy = surface != nullptr ? surface->scrollY() : 0;
    if (strip->initAnimation(&frames, sx + dx, sy + dy, true, true, false, 1, PLAY_LOOP,
                             kKeyFromImage) == 0) {
        delete strip;
        strip = nullptr;
        return;
    }
    if (surface != nullptr) {
        surface->addSprite(strip, 230);
        surface->markDirty(strip);
    }
}

void ShellMagazine::Shoot() {
    if (shells == 0) return;
    --shells;
    if (strip == nullptr) return;
    // The 1 ms period makes the tick step the strip; two shots within the same
    // millisecond must still show two shells gone, so step it by hand then.
    if (strip->tick() == 0) strip->advance();
    if (surface != nullptr) surface->markDirty(strip);
}

void ShellMagazine::Reload() {
    shells = capacity;
    if (strip != nullptr) strip->setFrame(0);
}

void ShellMagazine::FollowScroll() {
    if (surface == nullptr || strip == nullptr) return;
    strip->x = surface->scrollX() + dx;
    strip->y = surface->scrollY() + dy;
    surface->markDirty(strip);
}

void ShellMagazine::Hide() {
    if (surface != nullptr && strip != nullptr) surface->removeSprite(strip);
}

void ShellMagazine::Show() {
    if (surface == nullptr || strip == nullptr) return;
    if (!surface->list.contains(strip)) surface->addSprite(strip, 230);
    surface->markDirty(strip);
}

void ShellMagazine::Clear() {
    if (strip != nullptr) {
        if (surface != nullptr) surface->removeSprite(strip);
        strip->releaseResources();
        delete strip;
        strip = nullptr;
    }
    frames.free();
}
