#include "platform/sdl/desktop_presenter.h"

#include <algorithm>
#include <cstring>

namespace platform::desktop {
namespace {

constexpr int64_t kFastestShowUs = 16667;  // never more often than 60 times a second

bool overlap(const LandscapeRect& a, const LandscapeRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

SDL_Rect toSdl(const PixelRect& r) {
    return SDL_Rect{r.x, r.y, r.w, r.h};
}

}  // namespace

Presenter::~Presenter() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
}

bool Presenter::open(SDL_Window* window) {
    window_ = window;
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0)
        periodUs_ = std::max<int64_t>(kFastestShowUs, 1000000 / mode.refresh_rate);
    // The window's own framebuffer, not SDL's texture stand-in for it: with the
    // stand-in every update would upload and draw the whole window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* s = SDL_GetWindowSurface(window);
    if (s != nullptr && (s->format->BytesPerPixel == 2 || s->format->BytesPerPixel == 4))
        return true;
    // No framebuffer of its own (Wayland without X, a console): draw through a renderer.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // nearest neighbour: crisp pixels
    renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) return false;
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                 kLandscapeWidth, kLandscapeHeight);
    return texture_ != nullptr;
}

void Presenter::take(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count) {
    if (pixels == nullptr || rects == nullptr) return;
    const auto* base = reinterpret_cast<const uint8_t*>(pixels);
    for (int i = 0; i < count; ++i) {
        const int left = std::max(0, rects[i].left), top = std::max(0, rects[i].top);
        const int right = std::min(kDeviceWidth, rects[i].right);
        const int bottom = std::min(kDeviceHeight, rects[i].bottom);
        if (left >= right || top >= bottom) continue;
        // The game presents what it may have touched, often the same rectangles tick
        // after tick with nothing new in them; only the pixels that really differ from
        // what the window already has are turned, scaled and sent.
        int changedLeft = right, changedRight = left, changedTop = bottom, changedBottom = top;
        for (int dy = top; dy < bottom; ++dy) {
            const auto* row =
                reinterpret_cast<const uint16_t*>(base + static_cast<ptrdiff_t>(dy) * strideBytes);
            uint16_t* kept = &device_[static_cast<size_t>(dy) * kDeviceWidth];
            const size_t width = static_cast<size_t>(right - left) * sizeof(uint16_t);
            if (std::memcmp(row + left, kept + left, width) == 0) continue;
            int from = left, to = right;
            while (row[from] == kept[from]) ++from;
            while (row[to - 1] == kept[to - 1]) --to;
            std::memcpy(kept + from, row + from, static_cast<size_t>(to - from) * sizeof(uint16_t));
            changedLeft = std::min(changedLeft, from);
            changedRight = std::max(changedRight, to);
            changedTop = std::min(changedTop, dy);
            changedBottom = dy + 1;
        }
        if (changedTop >= changedBottom) continue;
        for (int dy = changedTop; dy < changedBottom; ++dy) {
            const uint16_t* row = &device_[static_cast<size_t>(dy) * kDeviceWidth];
            // Device (dx, dy) shows at landscape (319 - dy, dx).
            uint16_t* column = &landscape_[kLandscapeWidth - 1 - dy];
            for (int dx = changedLeft; dx < changedRight; ++dx)
                column[dx * kLandscapeWidth] = row[dx];
        }
        dirty_.add(LandscapeRect{kLandscapeWidth - changedBottom, changedLeft,
                                 kLandscapeWidth - changedTop, changedRight});
    }
}

void Presenter::invalidate() {
    everything_ = true;
}

void Presenter::setVisible(bool visible) {
    if (visible && !visible_) everything_ = true;
    visible_ = visible;
}

void Presenter::setMark(bool shown, double lx, double ly) {
    markShown_ = shown;
    markX_ = lx;
    markY_ = ly;
}

int64_t Presenter::showIfDue(uint64_t now) {
    const LandscapeRect mark = markShown_ ? aimMarkArea(markX_, markY_) : LandscapeRect{};
    const bool waiting = everything_ || !dirty_.empty() || !(mark == markDrawn_);
    // Nothing is drawn for a window nobody can see; it is drawn whole when it comes back.
    if (!waiting || (!visible_ && hasShown())) return -1;
    const int64_t since = static_cast<int64_t>(now - lastShowUs_);
    if (hasShown() && since < periodUs_) return periodUs_ - since;
    lastShowUs_ = now;
    show();
    return -1;
}

void Presenter::show() {
    if (!hasShown()) {
        // The window opens with its first picture in it, never black or empty.
        SDL_ShowWindow(window_);
        everything_ = true;
    }
    ++shows_;
    // A new framebuffer (the first, or after a resize) is drawn whole.
    SDL_Surface* surface = renderer_ == nullptr ? adoptSurface() : nullptr;
    if (everything_) dirty_.addAll();
    markArea();
    for (const LandscapeRect& r : dirty_.rects()) pixelsShown_ += static_cast<uint64_t>(r.area());
    if (renderer_ != nullptr)
        showWithRenderer();
    else if (surface != nullptr)
        showOnSurface(surface);
    dirty_.clear();
    everything_ = false;
}

// The mark covers picture pixels: where it was, the picture comes back; where it is,
// every change underneath redraws the whole mark.
void Presenter::markArea() {
    const LandscapeRect now = markShown_ ? aimMarkArea(markX_, markY_) : LandscapeRect{};
    if (!(now == markDrawn_)) {
        dirty_.add(markDrawn_);
        dirty_.add(now);
    } else if (markShown_) {
        for (const LandscapeRect& r : dirty_.rects()) {
            if (overlap(r, now)) {
                dirty_.add(now);
                break;
            }
        }
    }
    markDrawn_ = now;
}

// The window's framebuffer, with the colour table made for its pixel format.
SDL_Surface* Presenter::adoptSurface() {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (s == nullptr) return nullptr;
    if (s != surface_ || colours_.empty()) {
        const SDL_PixelFormat* f = s->format;
        colours_.build([f](uint8_t r, uint8_t g, uint8_t b) { return SDL_MapRGB(f, r, g, b); });
        surface_ = s;
        everything_ = true;
    }
    return s;
}

void Presenter::prepare() {
    if (prepared_ || renderer_ != nullptr || hasShown()) return;
    prepared_ = true;
    // The first touch of each page of a new framebuffer costs more than drawing into
    // it; done while the game waits for its first tick, it is off the way to the
    // first picture.
    if (SDL_Surface* s = adoptSurface()) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
}

void Presenter::showOnSurface(SDL_Surface* s) {
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
    const Viewport v = letterbox(s->w, s->h);
    const PixelTarget target{static_cast<uint8_t*>(s->pixels), s->pitch, s->format->BytesPerPixel,
                             s->w, s->h};
    if (everything_) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
    std::vector<SDL_Rect> changed;
    for (const LandscapeRect& r : dirty_.rects()) {
        scaleRect(landscape_.data(), r, v, colours_, target);
        changed.push_back(toSdl(scaledRect(r, v, s->w, s->h)));
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    if (markShown_) {
        // Only inside the picture: the bars beside it are never redrawn.
        const SDL_Rect picture =
            toSdl(scaledRect({0, 0, kLandscapeWidth, kLandscapeHeight}, v, s->w, s->h));
        SDL_SetClipRect(s, &picture);
        for (const MarkBar& bar : aimMarkBars(v, markX_, markY_)) {
            const SDL_Rect r = toSdl(bar.rect);
            SDL_FillRect(s, &r,
                         bar.light ? SDL_MapRGB(s->format, 255, 255, 255)
                                   : SDL_MapRGB(s->format, 20, 20, 20));
        }
        SDL_SetClipRect(s, nullptr);
    }
    if (everything_) {
        SDL_UpdateWindowSurface(window_);
    } else if (!changed.empty()) {
        SDL_UpdateWindowSurfaceRects(window_, changed.data(), static_cast<int>(changed.size()));
    }
}

void Presenter::showWithRenderer() {
    for (const LandscapeRect& r : dirty_.rects()) {
        const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
        SDL_UpdateTexture(texture_, &area, &landscape_[r.top * kLandscapeWidth + r.left],
                          kLandscapeWidth * 2);
    }
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    const Viewport v = letterbox(w, h);
    const SDL_Rect picture{v.x, v.y, kLandscapeWidth * v.scale, kLandscapeHeight * v.scale};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &picture);
    if (markShown_) {
        SDL_RenderSetClipRect(renderer_, &picture);
        for (const MarkBar& bar : aimMarkBars(v, markX_, markY_)) {
            const uint8_t c = bar.light ? 255 : 20;
            SDL_SetRenderDrawColor(renderer_, c, c, c, 255);
            const SDL_Rect r = toSdl(bar.rect);
            SDL_RenderFillRect(renderer_, &r);
        }
        SDL_RenderSetClipRect(renderer_, nullptr);
    }
    SDL_RenderPresent(renderer_);
}

WindowGeometry Presenter::geometry() const {
    WindowGeometry g;
    if (window_ == nullptr) return g;
    SDL_GetWindowSize(window_, &g.windowWidth, &g.windowHeight);
    if (renderer_ != nullptr)
        SDL_GetRendererOutputSize(renderer_, &g.pixelWidth, &g.pixelHeight);
    else
        SDL_GetWindowSizeInPixels(window_, &g.pixelWidth, &g.pixelHeight);
    return g;
}

}  // namespace platform::desktop
