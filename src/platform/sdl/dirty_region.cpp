#include "platform/sdl/dirty_region.h"

#include <algorithm>

#include "platform/desktop_mapping.h"

namespace platform::desktop {
namespace {

bool contains(const LandscapeRect& outer, const LandscapeRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

LandscapeRect unite(const LandscapeRect& a, const LandscapeRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool overlap(const LandscapeRect& a, const LandscapeRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

void DirtyRegion::add(LandscapeRect r) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, kLandscapeWidth);
    r.bottom = std::min(r.bottom, kLandscapeHeight);
    if (r.left >= r.right || r.top >= r.bottom) return;
    // Grow the new rectangle by every listed one it covers or merges with cheaply; what
    // it swallows leaves the list. Repeat until nothing more joins.
    for (bool grown = true; grown;) {
        grown = false;
        for (size_t i = 0; i < rects_.size(); ++i) {
            const LandscapeRect& old = rects_[i];
            if (contains(old, r)) return;
            const LandscapeRect u = unite(old, r);
            if (contains(r, old) ||
                (overlap(old, r) && u.area() * 4 <= (old.area() + r.area()) * 5)) {
                r = u;
                rects_[i] = rects_.back();
                rects_.pop_back();
                grown = true;
                break;
            }
        }
    }
    if (static_cast<int>(rects_.size()) < kMaxRects) {
        rects_.push_back(r);
        return;
    }
    for (const LandscapeRect& old : rects_) r = unite(r, old);
    rects_.assign(1, r);
}

void DirtyRegion::addAll() {
    rects_.assign(1, LandscapeRect{0, 0, kLandscapeWidth, kLandscapeHeight});
}

}  // namespace platform::desktop
