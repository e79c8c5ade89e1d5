#include "graphics/canvas.h"

#include <algorithm>

#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "platform/platform.h"

// ---------------------------------------------------------------------------
// DibBitmap: the rows are padded to whole 32-bit words, as the window's block copy
// expects; the pixels belong to the bitmap object, not to the Bitmap base.

DibBitmap::DibBitmap(int w, int h) : Bitmap(nullptr, w, h, ((2 * w + 3) / 4) * 4) {
    pixels = new uint16_t[static_cast<size_t>(stride / 2) * static_cast<size_t>(h) + 1]();
}

DibBitmap::~DibBitmap() {
    delete[] pixels;
}

// ---------------------------------------------------------------------------
// WindowBuffer

WindowBuffer::WindowBuffer() {
    backBuffer = new DibBitmap(kScreenWidth, kScreenHeight);
    currentTarget = backBuffer;
}

WindowBuffer::~WindowBuffer() {
    if (currentTarget == backBuffer) currentTarget = nullptr;
    delete backBuffer;
}

void WindowBuffer::presentAll() {
    platform::presentAll(backBuffer->pixels, backBuffer->stride);
}

void WindowBuffer::presentRects(const DirtyRect* rects, uint16_t count) {
    if (count == 0) return;
    platform::PresentRect out[Canvas::kMaxDirty];
    int n = 0;
    for (uint16_t i = 0; i < count; ++i) {
        out[n++] =
            platform::PresentRect{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        if (n == Canvas::kMaxDirty) {
            platform::present(backBuffer->pixels, backBuffer->stride, out, n);
            n = 0;
        }
    }
    if (n > 0) platform::present(backBuffer->pixels, backBuffer->stride, out, n);
}

// ---------------------------------------------------------------------------
// Canvas

Canvas::Canvas() {
    window = new WindowBuffer;
}

Canvas::~Canvas() {
    delete window;
}

namespace {

uint32_t area(const DirtyRect& r) {
    return static_cast<uint32_t>((r.bottom - r.top) * (r.right - r.left));
}

DirtyRect unite(const DirtyRect& a, const DirtyRect& b) {
    return DirtyRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

}  // namespace

void Canvas::addDirtyRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const DirtyRect add{left, top, right, bottom};
    if (dirtyCount > 0) {
        // Merge with the first rectangle whose union is smaller than one and a half
        // times the two areas together (areas kept three times over, halved unsigned).
        const uint32_t newArea3 = static_cast<uint32_t>((bottom * 3 - top * 3) * (right - left));
        for (int32_t i = 0; i < dirtyCount; ++i) {
            const DirtyRect& old = dirty[i];
            const DirtyRect u = unite(old, add);
            const uint32_t oldArea3 =
                static_cast<uint32_t>((old.bottom * 3 - old.top * 3) * (old.right - old.left));
            if (((oldArea3 + newArea3) >> 1) > area(u)) {
                dirty[i] = u;
                return;
            }
        }
    }
    if (dirtyCount < kMaxDirty) {
        dirty[dirtyCount++] = add;
        return;
    }
    // The list is full. Presenting early would show half-finished passes (an erased
    // sprite before its new place is painted), so the rectangle joins the listed one
    // whose union grows least; everything touched still reaches the window.
    int best = 0;
    uint64_t bestGrowth = UINT64_MAX;
    for (int i = 0; i < kMaxDirty; ++i) {
        const uint64_t growth = static_cast<uint64_t>(area(unite(dirty[i], add))) - area(dirty[i]);
        if (growth < bestGrowth) {
            bestGrowth = growth;
            best = i;
        }
    }
    dirty[best] = unite(dirty[best], add);
}

void Canvas::flushRects() {
    window->presentRects(dirty, static_cast<uint16_t>(dirtyCount));
    dirtyCount = 0;
}

void Canvas::presentAll() {
    window->presentAll();
}

namespace {

bool offScreen(int32_t sx, int32_t sy, int32_t w, int32_t h) {
    return sx + w <= 0 || sx >= kScreenWidth || sy + h <= 0 || sy >= kScreenHeight;
}

}  // namespace

// Draws an image at a screen position with the sprite's modes, cut to the screen, and
// records the rectangle it touched.
static void drawOnScreen(Canvas& canvas, const Image* img, int32_t x, int32_t y, bool keyed,
                         bool blend, uint16_t key) {
    if (img == nullptr || img->bitmap == nullptr) return;
    Rect src;
    int dx = 0, dy = 0;
    if (!clipBlock(x, y, img->width, img->height, kScreenWidth, kScreenHeight, src, dx, dy)) return;
    if (!keyed && !blend)
        drawOpaquePart(*img, dx, dy, src);
    else if (!keyed)
        drawMixedPart(*img, dx, dy, src);
    else if (!blend)
        drawKeyedPart(*img, dx, dy, src, key);
    else
        drawKeyedMixedPart(*img, dx, dy, src, key);
    canvas.addDirtyRect(dx, dy, dx + src.right - src.left, dy + src.bottom - src.top);
}

// Keeps what lies under the visible part of the sprite, at the same offset inside the
// sprite rectangle.
static void saveBackground(Sprite& s, int32_t x, int32_t y) {
    if (currentTarget == nullptr || s.saveUnder == nullptr || s.saveUnder->bitmap == nullptr)
        return;
    Rect src;
    int dx = 0, dy = 0;
    if (!clipBlock(x, y, s.saveUnder->width, s.saveUnder->height, kScreenWidth, kScreenHeight, src,
                   dx, dy))
        return;
    grabPart(*s.saveUnder, src.left, src.top,
             Rect{dx, dy, dx + src.right - src.left, dy + src.bottom - src.top});
}

// Paints a sprite at a screen position: saves what lies under it, then draws it.
static void paintAt(Canvas& canvas, Sprite& s, int32_t sx, int32_t sy) {
    if (offScreen(sx, sy, s.width, s.height)) return;
    if (s.hasSaveUnder) saveBackground(s, sx, sy);
    drawOnScreen(canvas, s.image, sx, sy, s.keyed, s.blend, s.key);
}

void Canvas::paintSprite(Sprite& s) {
    paintAt(*this, s, s.x - originX, s.y - originY);
}

void Canvas::paintSpriteAbsolute(Sprite& s) {
    paintAt(*this, s, s.x, s.y);
}

void Canvas::eraseSprite(Sprite& s) {
    eraseSpriteAt(s, s.x, s.y);
}

void Canvas::eraseSpriteAt(Sprite& s, int32_t x, int32_t y) {
    const int32_t sx = x - originX;
    const int32_t sy = y - originY;
    if (offScreen(sx, sy, s.width, s.height)) return;
    if (!s.hasSaveUnder) return;
    drawOnScreen(*this, s.saveUnder, sx, sy, false, false, 0);
}

void Canvas::greyBackBuffer() {
    if (window != nullptr && window->backBuffer != nullptr) greyBitmap(*window->backBuffer);
}
