#include "graphics/blitters.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/image.h"
#include "graphics/key_runs.h"
#include "platform/platform.h"

Bitmap* currentTarget = nullptr;

namespace {

inline int r8(uint16_t p) {
    return (p >> 8) & 0xF8;
}
inline int g8(uint16_t p) {
    return (p >> 3) & 0xFC;
}
inline int b8(uint16_t p) {
    return (p << 3) & 0xFF;
}
inline uint16_t pack(int r, int g, int b) {
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3));
}

inline const uint16_t* srcRow(const Bitmap& b, int y, int x) {
    return b.row(y) + x;
}
inline uint16_t* dstRow(Bitmap& b, int y, int x) {
    return b.row(y) + x;
}

}  // namespace

// The floor average of each channel: halving each pixel's channels separately and
// adding the bit both lose when both are odd gives the same result as the 8-bit rule.
uint16_t mixPixel(uint16_t a, uint16_t b) {
    return static_cast<uint16_t>(((a & 0xF7DE) >> 1) + ((b & 0xF7DE) >> 1) + (a & b & 0x0821));
}

uint16_t greyPixel(uint16_t p) {
    const int s = (r8(p) + g8(p) + b8(p)) >> 2;
    return static_cast<uint16_t>(((s >> 3) << 11) | ((s >> 2) << 5) | (s >> 3));
}

// ---------------------------------------------------------------------------
// Primitives. The keyed and mixed rows run eight pixels at a time on the compiler's
// portable vector type, with selects by mask instead of branches; the last few pixels
// of a row take the same rules one at a time.

namespace {

using Lanes = uint16_t __attribute__((vector_size(16)));
constexpr int kLanes = 8;

inline Lanes load(const uint16_t* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store(uint16_t* p, Lanes v) {
    std::memcpy(p, &v, sizeof v);
}
inline Lanes splat(uint16_t v) {
    return Lanes{} + v;
}
inline Lanes mixLanes(Lanes a, Lanes b) {
    const Lanes halfMask = splat(0xF7DE), lowBits = splat(0x0821);
    return ((a & halfMask) >> 1) + ((b & halfMask) >> 1) + (a & b & lowBits);
}
// All ones where equal, as 16-bit lanes.
inline Lanes equal(Lanes a, Lanes b) {
    return reinterpret_cast<Lanes>(a == b);
}

// One row of the soft-edged keyed copy below the block's top row.
inline uint16_t softPixel(uint16_t p, uint16_t above, uint16_t d, uint16_t key) {
    const bool isKey = p == key;
    if (isKey == (above == key)) return isKey ? d : p;
    // The first pixel of an opaque or a transparent run under the other kind is half
    // mixed with the background: a soft top and bottom edge.
    return mixPixel(p, d);
}

}  // namespace

void copyRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r) {
    const int w = r.right - r.left;
    if (w <= 0) return;
    const size_t bytes = static_cast<size_t>(w) * 2;
    for (int row = r.top; row < r.bottom; ++row)
        std::memmove(dstRow(dst, y + row - r.top, x), srcRow(src, row, r.left), bytes);
}

void mixRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r) {
    const int w = r.right - r.left;
    for (int row = r.top; row < r.bottom; ++row) {
        const uint16_t* s = srcRow(src, row, r.left);
        uint16_t* d = dstRow(dst, y + row - r.top, x);
        int i = 0;
        for (; i + kLanes <= w; i += kLanes) store(d + i, mixLanes(load(s + i), load(d + i)));
        for (; i < w; ++i) d[i] = mixPixel(s[i], d[i]);
    }
}

void keyedCopyRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key) {
    const int w = r.right - r.left;
    const Lanes keys = splat(key);
    for (int row = r.top; row < r.bottom; ++row) {
        const uint16_t* s = srcRow(src, row, r.left);
        uint16_t* d = dstRow(dst, y + row - r.top, x);
        int i = 0;
        for (; i + kLanes <= w; i += kLanes) {
            const Lanes p = load(s + i), isKey = equal(p, keys);
            store(d + i, (load(d + i) & isKey) | (p & ~isKey));
        }
        for (; i < w; ++i) {
            const uint16_t p = s[i];
            d[i] = p == key ? d[i] : p;
        }
    }
}

void keyedMixRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key) {
    const int w = r.right - r.left;
    const Lanes keys = splat(key);
    for (int row = r.top; row < r.bottom; ++row) {
        const uint16_t* s = srcRow(src, row, r.left);
        uint16_t* d = dstRow(dst, y + row - r.top, x);
        int i = 0;
        for (; i + kLanes <= w; i += kLanes) {
            const Lanes p = load(s + i), q = load(d + i), isKey = equal(p, keys);
            store(d + i, (q & isKey) | (mixLanes(p, q) & ~isKey));
        }
        for (; i < w; ++i) {
            const uint16_t p = s[i];
            if (p != key) d[i] = mixPixel(p, d[i]);
        }
    }
}

void keyedAlphaRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key,
                    float alpha) {
    const int w = r.right - r.left;
    const double rest = 1.0 - static_cast<double>(alpha);
    // The source term is rounded to single precision before it meets the destination
    // term, so a half-way sum truncates the same way on every machine.
    auto channel = [alpha, rest](int s, int d) {
        const float sf = static_cast<float>(s) * alpha;
        return static_cast<int>(static_cast<double>(sf) + static_cast<double>(d) * rest);
    };
    for (int row = r.top; row < r.bottom; ++row) {
        const uint16_t* s = srcRow(src, row, r.left);
        uint16_t* d = dstRow(dst, y + row - r.top, x);
        for (int i = 0; i < w; ++i) {
            const uint16_t p = s[i];
            if (p == key) continue;
            const uint16_t q = d[i];
            d[i] = pack(channel(r8(p), r8(q)), channel(g8(p), g8(q)), channel(b8(p), b8(q)));
        }
    }
}

namespace {

// Moves `Bytes` bytes from s to d.
template <size_t Bytes>
inline void move(uint8_t* d, const uint8_t* s) {
    uint8_t v[Bytes];
    std::memcpy(v, s, Bytes);
    std::memcpy(d, v, Bytes);
}

// The soft-edged keyed copy of a whole picture from its run table. Each group of runs
// is copied by two moves of the group's size, one from the run's start and one ending
// at its end, which overlap for shorter runs (copying a pixel twice does no harm), so
// no run length takes a branch of its own; the longest runs go in 16-byte moves. Runs
// and edge pixels never share a pixel, so the order of the work does not matter. Kept
// out of line: inlined beside the row-by-row walk it ran measurably slower.
__attribute__((noinline)) void drawFromRuns(const KeyRuns& runs, const Bitmap& src, Bitmap& dst,
                                            int x, int y) {
    const uint8_t* srcBase = reinterpret_cast<const uint8_t*>(src.pixels);
    uint8_t* dstBase = reinterpret_cast<uint8_t*>(dstRow(dst, y, x));
    auto each = [&](int group, auto copy) {
        for (const KeyRuns::Run& run : runs.copies(group))
            copy(dstBase + run.dst, srcBase + run.src, run.bytes);
    };
    auto twice = [](auto moveOne, uint32_t size) {
        return [moveOne, size](uint8_t* d, const uint8_t* s, uint32_t bytes) {
            moveOne(d, s);
            moveOne(d + bytes - size, s + bytes - size);
        };
    };
    each(0, twice(move<2>, 2));
    each(1, twice(move<4>, 4));
    each(2, twice(move<8>, 8));
    each(3, twice(move<16>, 16));
    each(4, twice(move<32>, 32));
    each(5, [](uint8_t* d, const uint8_t* s, uint32_t bytes) {
        for (uint32_t i = 0; i + 16 < bytes; i += 16) move<16>(d + i, s + i);
        move<16>(d + bytes - 16, s + bytes - 16);
    });
    for (const KeyRuns::Edge& e : runs.edges()) {
        uint16_t q;
        std::memcpy(&q, dstBase + e.dst, 2);
        q = static_cast<uint16_t>(e.half + ((q & 0xF7DE) >> 1) + (q & e.low));
        std::memcpy(dstBase + e.dst, &q, 2);
    }
}

}  // namespace

// Every sprite on the screen is a whole picture drawn again and again unchanged: that
// goes through the picture's run table. A part of a picture, and the first draw after
// a change, go row by row; each column only looks at its own source pixel above, so
// the order of the walk does not change the result.
void keyedSoftRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key) {
    const int w = r.right - r.left;
    if (w <= 0 || r.bottom <= r.top) return;
    const bool whole = r.left == 0 && r.top == 0 && r.right == src.width && r.bottom == src.height;
    const KeyRuns* runs = whole ? KeyRuns::of(src, key) : nullptr;
    if (runs != nullptr && runs->aimAt(dst.stride)) return drawFromRuns(*runs, src, dst, x, y);
    keyedCopyRect(src, dst, x, y, Rect{r.left, r.top, r.right, r.top + 1}, key);
    const Lanes keys = splat(key);
    for (int row = r.top + 1; row < r.bottom; ++row) {
        const uint16_t* s = srcRow(src, row, r.left);
        const uint16_t* above = srcRow(src, row - 1, r.left);
        uint16_t* d = dstRow(dst, y + row - r.top, x);
        int i = 0;
        for (; i + kLanes <= w; i += kLanes) {
            const Lanes p = load(s + i), q = load(d + i);
            const Lanes isKey = equal(p, keys), aboveKey = equal(load(above + i), keys);
            const Lanes edge = isKey ^ aboveKey;
            const Lanes plain = (q & isKey) | (p & ~isKey);
            store(d + i, (mixLanes(p, q) & edge) | (plain & ~edge));
        }
        for (; i < w; ++i) d[i] = softPixel(s[i], above[i], d[i], key);
    }
}

// ---------------------------------------------------------------------------
// Whole-bitmap operations

void copyImage(const Bitmap& src, Bitmap& dst, int x, int y) {
    copyRect(src, dst, x, y, Rect{0, 0, src.width, src.height});
}

void fillBitmap(Bitmap& b, uint16_t colour) {
    if (b.pixels == nullptr) return;
    if ((colour >> 8) == (colour & 0xFF)) {
        b.changed();
        std::memset(b.pixels, colour & 0xFF,
                    static_cast<size_t>(b.stride) * static_cast<size_t>(b.height));
    } else if (b.width % 8 != 0) {
        for (int y = 0; y < b.height; ++y) {
            uint16_t* row = b.row(y);
            for (int x = 0; x < b.width; ++x) row[x] = colour;
        }
    } else {
        const uint32_t twice = (static_cast<uint32_t>(colour) << 16) | colour;
        for (int y = 0; y < b.height; ++y) {
            uint8_t* row = reinterpret_cast<uint8_t*>(b.row(y));
            for (int x = 0; x < b.width; x += 8) {
                for (int k = 0; k < 4; ++k) std::memcpy(row + x * 2 + k * 4, &twice, 4);
            }
        }
    }
}

void greyBitmap(Bitmap& b) {
    for (int y = 0; y < b.height; ++y) {
        uint16_t* row = b.row(y);
        for (int x = 0; x < b.width; ++x) row[x] = greyPixel(row[x]);
    }
}

void copyRowDissolve(const Bitmap& src, Bitmap& dst, int row, int step) {
    // Both bitmaps are meant to be the same size; anything outside either is skipped.
    if (step <= 0 || row < 0 || row >= src.height || row >= dst.height) return;
    const int w = std::min(src.width, dst.width);
    const uint16_t* s = src.row(row);
    uint16_t* d = dst.row(row);
    for (int i = 0; i < src.width; ++i) {
        if (i % step != 0) continue;
        if (step == 1) {
            if (i < w) d[i] = s[i];
        } else {
            const int c = platform::nextRandom() % 240;
            if (c < w) d[c] = s[c];
        }
    }
}

namespace {

// Truncate, then go up by one when the dropped fraction is at least one half (an exact
// half rounds up; negative values never do, as their fraction is negative).
int roundHalfUp(double v) {
    const int t = static_cast<int>(v);
    return v - t >= 0.5 ? t + 1 : t;
}

}  // namespace

void rotateInto(const Bitmap& src, Bitmap& dst, const Rect& dstRect, double angleDegrees) {
    constexpr int c = 89;
    constexpr int kMaxSteps = 200;
    const int w = std::min(dstRect.right - dstRect.left, kMaxSteps);
    const int h = dstRect.bottom - dstRect.top;
    if (w <= 0 || h <= 0) return;
    const double theta = angleDegrees * -0.017453292519943295;
    // At whole quarter turns sin and cos come out a hair off 0 (sin(pi) is about
    // 1e-16), which flips the truncation of values that should be exact integers and
    // shears half the picture by a pixel. Such crumbs are taken as the exact 0 they
    // stand for, so a half turn is a clean mirror.
    auto snap = [](double v) { return std::fabs(v) < 1e-9 ? 0.0 : v; };
    const double S = snap(std::sin(theta));
    const double C = snap(std::cos(theta));
    const int srcW = std::min(src.width, 180);
    const int srcH = std::min(src.height, 180);

    // One step pattern, taken from the middle row, serves every row.
    int8_t dP[kMaxSteps] = {};
    int8_t dQ[kMaxSteps] = {};
    const int vm = 2 * (h / 2 - c) + 1;
    int prevP = 0, prevQ = 0;
    for (int n = 0; n < w; ++n) {
        const int u = 2 * (n - c) + 1;
        const int P = c + (roundHalfUp(u * S + vm * C) - 1) / 2;
        const int Q = c + (roundHalfUp(u * C - vm * S) - 1) / 2;
        if (n > 0) {
            dP[n - 1] = static_cast<int8_t>(P - prevP);
            dQ[n - 1] = static_cast<int8_t>(Q - prevQ);
        }
        prevP = P;
        prevQ = Q;
    }

    const int u0 = 1 - 2 * c;
    for (int d = 0; d < h; ++d) {
        const int ty = dstRect.top + d;
        const bool rowInside = ty >= 0 && ty < dst.height;
        const int v = 2 * (d - c) + 1;
        int A = c + (roundHalfUp(u0 * S + v * C) - 1) / 2;
        int B = c + (roundHalfUp(u0 * C - v * S) - 1) / 2;
        for (int k = 0; k < w; ++k) {
            const int tx = dstRect.left + w - 1 - k;
            if (rowInside && tx >= 0 && tx < dst.width && A >= 0 && A < srcW && B >= 0 && B < srcH)
                dst.row(ty)[tx] = src.at(A, B);
            if (k < w - 1) {
                A += dP[w - 2 - k];
                B += dQ[w - 2 - k];
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Clipping shared by the canvas and the image-to-image draw.

bool clipBlock(int x, int y, int w, int h, int areaW, int areaH, Rect& src, int& dx, int& dy) {
    if (x > areaW || y > areaH || x + w < 0 || y + h < 0) return false;
    if (x >= 0 && y >= 0 && x + w <= areaW && y + h <= areaH) {
        src = Rect{0, 0, w, h};
        dx = x;
        dy = y;
        return w > 0 && h > 0;
    }
    dx = std::max(x, 0);
    dy = std::max(y, 0);
    src.left = x < 0 ? -x : 0;
    src.top = y < 0 ? -y : 0;
    src.right = w + dx > areaW ? areaW - dx : w;
    src.bottom = h + dy > areaH ? areaH - dy : h;
    return src.right > src.left && src.bottom > src.top;
}

// ---------------------------------------------------------------------------
// Image-level drawing into currentTarget. The primitives trust their rectangles; these
// entry points cut the block to both bitmaps first, so no caller can make them write
// outside the target or read outside the image.

namespace {

bool fitBlock(const Bitmap& src, const Bitmap& dst, int& x, int& y, Rect& r) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, src.width);
    r.bottom = std::min(r.bottom, src.height);
    if (x < 0) {
        r.left -= x;
        x = 0;
    }
    if (y < 0) {
        r.top -= y;
        y = 0;
    }
    r.right = std::min(r.right, r.left + (dst.width - x));
    r.bottom = std::min(r.bottom, r.top + (dst.height - y));
    return r.right > r.left && r.bottom > r.top;
}

template <typename Op>
void drawInto(const Image& img, int x, int y, Rect r, Op op) {
    if (currentTarget == nullptr || img.bitmap == nullptr) return;
    if (!fitBlock(*img.bitmap, *currentTarget, x, y, r)) return;
    op(*img.bitmap, *currentTarget, x, y, r);
}

Rect whole(const Image& img) {
    return Rect{0, 0, img.width, img.height};
}

}  // namespace

void drawOpaque(const Image& img, int x, int y) {
    drawOpaquePart(img, x, y, whole(img));
}

void drawOpaquePart(const Image& img, int x, int y, const Rect& r) {
    drawInto(img, x, y, r, [](const Bitmap& s, Bitmap& d, int px, int py, const Rect& rr) {
        copyRect(s, d, px, py, rr);
    });
}

void drawMixedPart(const Image& img, int x, int y, const Rect& r) {
    drawInto(img, x, y, r, [](const Bitmap& s, Bitmap& d, int px, int py, const Rect& rr) {
        mixRect(s, d, px, py, rr);
    });
}

void drawKeyed(const Image& img, int x, int y, uint16_t key) {
    drawKeyedPart(img, x, y, whole(img), key);
}

void drawKeyedPart(const Image& img, int x, int y, const Rect& r, uint16_t key) {
    drawInto(img, x, y, r, [key](const Bitmap& s, Bitmap& d, int px, int py, const Rect& rr) {
        keyedSoftRect(s, d, px, py, rr, key);
    });
}

void drawKeyedMixedPart(const Image& img, int x, int y, const Rect& r, uint16_t key) {
    drawInto(img, x, y, r, [key](const Bitmap& s, Bitmap& d, int px, int py, const Rect& rr) {
        keyedMixRect(s, d, px, py, rr, key);
    });
}

void drawKeyedByOwnPixel(const Image& img, int x, int y, int px, int py) {
    if (img.bitmap == nullptr || px < 0 || py < 0 || px >= img.width || py >= img.height) return;
    drawKeyed(img, x, y, img.pixel(px, py));
}

void grab(Image& img, int x, int y) {
    if (currentTarget == nullptr) return;
    grabPart(img, 0, 0, Rect{x, y, x + img.width, y + img.height});
}

void grabPart(Image& img, int x, int y, const Rect& r) {
    if (currentTarget == nullptr || img.bitmap == nullptr) return;
    Rect rr = r;
    if (!fitBlock(*currentTarget, *img.bitmap, x, y, rr)) return;
    copyRect(*currentTarget, *img.bitmap, x, y, rr);
}

void blitImage(const Image& src, Image& dst, int x, int y, bool keyed, uint16_t key, bool blend) {
    if (src.bitmap == nullptr || dst.bitmap == nullptr) return;
    Rect r;
    int dx = 0, dy = 0;
    if (!clipBlock(x, y, src.width, src.height, dst.width, dst.height, r, dx, dy)) return;
    if (!fitBlock(*src.bitmap, *dst.bitmap, dx, dy, r)) return;
    if (!keyed && !blend)
        copyRect(*src.bitmap, *dst.bitmap, dx, dy, r);
    else if (!keyed)
        mixRect(*src.bitmap, *dst.bitmap, dx, dy, r);
    else if (!blend)
        keyedCopyRect(*src.bitmap, *dst.bitmap, dx, dy, r, key);
    else
        keyedMixRect(*src.bitmap, *dst.bitmap, dx, dy, r, key);
}
