// A keyed picture's soft-edged draw worked out once per picture and key, the way an RLE
// encoding is, so that drawing it whole skips the transparent areas wholesale instead
// of testing every pixel: the runs of pixels that are plainly copied (shown pixels of
// the top row, shown pixels under shown ones below it), grouped by length so that each
// group is copied by the same few moves without a test, and the edge pixels (whose
// key-ness differs from the pixel above), which are half-mixed with the background.
// Key pixels under key pixels are in neither and never touched.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/bitmap.h"

class KeyRuns {
  public:
    // Byte offsets from the picture's first pixel and from the destination point.
    struct Run {
        uint32_t src, dst, bytes;
    };
    // An edge pixel's place and its half of the mix, worked out ahead: the pixel's
    // channels halved, and its lowest channel bits, which count when both are odd.
    struct Edge {
        uint32_t dst;
        uint16_t half, low;
    };
    // Run lengths up to 2, 4, 8, 16 and 32 pixels, and longer.
    static constexpr int kGroups = 6;

    KeyRuns(const Bitmap& b, uint16_t key);

    // The table of `b` for `key`, or nullptr when it is not worth one: the pixels changed
    // since they were last drawn keyed (so the first keyed draw after any change goes
    // pixel by pixel), or the bitmap does not own its pixels (somebody else may write
    // them). Kept in the bitmap until its pixels change or another key is asked for.
    static const KeyRuns* of(const Bitmap& b, uint16_t key);

    uint16_t key() const { return key_; }
    // Sets the destination offsets for a destination with rows `stride` bytes apart;
    // false when they would not fit.
    bool aimAt(int stride) const;
    std::span<const Run> copies(int group) const { return copies_[group]; }
    std::span<const Edge> edges() const { return edges_; }

  private:
    uint16_t key_;
    // The destination offsets follow the destination's stride: the same for every draw
    // onto the screen, so they are worked out again only when it changes.
    mutable int stride_ = -1;
    mutable std::array<std::vector<Run>, kGroups> copies_;
    mutable std::vector<Edge> edges_;
    // Row and column of every run (group by group) and every edge pixel, in order.
    std::vector<std::array<uint16_t, 2>> places_;
};
