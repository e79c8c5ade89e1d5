#include "graphics/surface.h"

#include <algorithm>

#include "graphics/animation_list.h"
#include "graphics/image.h"
#include "graphics/sprite.h"

namespace {

// Strict on all four sides: sprites that only touch do not overlap.
bool overlaps(const Sprite& a, const Sprite& b) {
    return a.x < b.x + b.width && a.y < b.y + b.height && b.x < a.x + a.width &&
           b.y < a.y + a.height;
}

}  // namespace

// ---------------------------------------------------------------------------
// Surface

Surface::Surface() = default;

Surface::~Surface() {
    list.clear();
}

void Surface::addSprite(Sprite* s, uint8_t layer) {
    if (s == nullptr) return;
    s->layer = layer;
    if (!s->hasSaveUnder) s->dirty = 1;
    list.insert(s, layer);
}

void Surface::removeSprite(Sprite* s) {
    list.remove(s);
}

void Surface::markDirty(Sprite* s) {
    if (s == nullptr) return;
    minDirtyLayer = std::min(minDirtyLayer, s->layer);
    if (!s->hasSaveUnder) s->dirty = 1;
    // Permanent sprites above it that it overlaps must be painted again over it.
    for (DisplayList::Node* n = list.tail; n != nullptr && n->item->layer > s->layer; n = n->prev) {
        Sprite* other = n->item;
        if (!other->hasSaveUnder && !other->dirty && overlaps(*other, *s)) other->dirty = 1;
    }
}

void Surface::redrawDirty() {
    for (DisplayList::Node* n = list.head; n != nullptr; n = n->next) {
        Sprite* s = n->item;
        if (s->hasSaveUnder) {
            for (DisplayList::Node* m = n; m != nullptr; m = m->next) {
                Sprite* other = m->item;
                if (other->layer > s->layer && !other->hasSaveUnder && !other->dirty &&
                    overlaps(*other, *s))
                    other->dirty = 1;
            }
            if (s->layer >= minDirtyLayer) canvas.paintSprite(*s);
        } else if (s->dirty) {
            canvas.paintSprite(*s);
        }
    }
    canvas.flushRects();
    for (DisplayList::Node* n = list.tail; n != nullptr; n = n->prev) {
        Sprite* s = n->item;
        if (s->hasSaveUnder) {
            if (s->layer >= minDirtyLayer) canvas.eraseSprite(*s);
        } else if (s->dirty) {
            s->dirty = 0;
        }
    }
    minDirtyLayer = 255;
}

void Surface::redrawAll() {
    for (DisplayList::Node* n = list.head; n != nullptr; n = n->next) canvas.paintSprite(*n->item);
    canvas.flushRects();
    for (DisplayList::Node* n = list.tail; n != nullptr; n = n->prev) canvas.eraseSprite(*n->item);
    minDirtyLayer = 255;
}

void Surface::paintOnly(Sprite* s) {
    if (s != nullptr) canvas.paintSprite(*s);
}

void Surface::paintAllOnly() {
    for (DisplayList::Node* n = list.head; n != nullptr; n = n->next) canvas.paintSprite(*n->item);
}

void Surface::paintAndFlush(Sprite* s) {
    canvas.dirtyCount = 0;
    paintOnly(s);
    canvas.flushRects();
}

// ---------------------------------------------------------------------------
// SceneSurface

SceneSurface::SceneSurface(int cols, int rowCount, int tw, int th)
    : tileWidth(tw),
      tileHeight(th),
      columns(static_cast<int16_t>(std::clamp(cols, 0, kMaxTiles))),
      rows(static_cast<int16_t>(std::clamp(rowCount, 0, kMaxTiles))) {
    minDirtyLayer = 1;
    if (AnimationList* al = animationList()) al->surface = this;
}

SceneSurface::~SceneSurface() {
    freeTiles();
    if (AnimationList* al = animationList(); al != nullptr && al->surface == this)
        al->surface = nullptr;
}

void SceneSurface::loadTiles(const std::function<int(int column, int row)>& idForTile) {
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const int i = c * kMaxTiles + r;
            delete tileSprites[i];
            delete tilePictures[i];
            tilePictures[i] = new Picture(idForTile(c, r), tileWidth, tileHeight);
            tileSprites[i] = new Sprite(tilePictures[i], 0, 0, false, false, false, kKeyFromImage);
        }
    }
}

void SceneSurface::freeTiles() {
    for (int i = 0; i < kMaxTiles * kMaxTiles; ++i) {
        delete tileSprites[i];
        tileSprites[i] = nullptr;
        delete tilePictures[i];
        tilePictures[i] = nullptr;
    }
}

void SceneSurface::setScroll(int32_t x, int32_t y) {
    scrollX_ = x;
    scrollY_ = y;
    canvas.originX = x;
    canvas.originY = y;
}

void SceneSurface::addScroll(int32_t dx, int32_t dy) {
    setScroll(scrollX_ + dx, scrollY_ + dy);
}

void SceneSurface::drawScene() {
    if (tileWidth > 0 && tileHeight > 0) {
        const int c = scrollX_ / tileWidth;
        const int firstRow = scrollY_ / tileHeight;
        for (int r = firstRow; r <= firstRow + 1; ++r) {
            // A scroll outside the scene has no tile there: nothing to paint.
            if (c < 0 || c >= columns || r < 0 || r >= rows) continue;
            Sprite* tile = tileSprites[c * kMaxTiles + r];
            if (tile == nullptr) continue;
            tile->x = static_cast<int16_t>(c * tileWidth - scrollX_);
            tile->y = static_cast<int16_t>(r * tileHeight - scrollY_);
            canvas.paintSpriteAbsolute(*tile);
        }
    }
    redrawAll();
}
