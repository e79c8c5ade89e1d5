// The parts of the landscape picture that changed since the window last showed it.
#pragma once

#include <vector>

namespace platform::desktop {

// Landscape pixels, right and bottom exclusive.
struct LandscapeRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int area() const { return (right - left) * (bottom - top); }
    bool operator==(const LandscapeRect&) const = default;
};

// A short list of rectangles. The game presents up to twenty a frame and the window
// shows every second or third frame, so the same sprite's rectangle comes again and
// again: one that lies inside another is dropped, two that overlap become their union
// when that covers little more than the two, and a list that grows long becomes one
// rectangle around all of it.
class DirtyRegion {
  public:
    static constexpr int kMaxRects = 24;

    void add(LandscapeRect r);  // clipped to the picture; an empty one adds nothing
    void addAll();
    bool empty() const { return rects_.empty(); }
    const std::vector<LandscapeRect>& rects() const { return rects_; }
    void clear() { rects_.clear(); }

  private:
    std::vector<LandscapeRect> rects_;
};

}  // namespace platform::desktop
