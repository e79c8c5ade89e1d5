#include "platform/sdl/desktop_presenter.h"

#include <algorithm>
#include <chrono>

namespace platform::desktop {
namespace {

constexpr int64_t kFastestShowUs = 16667;  // never more often than 60 times a second

uint64_t nowUs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

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
        for (int dy = top; dy < bottom; ++dy) {
            const auto* row =
                reinterpret_cast<const uint16_t*>(base + static_cast<ptrdiff_t>(dy) * strideBytes);
            // Device (dx, dy) shows at landscape (319 - dy, dx).
            uint16_t* column = &landscape_[kLandscapeWidth - 1 - dy];
            for (int dx = left; dx < right; ++dx) column[dx * kLandscapeWidth] = row[dx];
        }
        dirty_.add(LandscapeRect{kLandscapeWidth - bottom, left, kLandscapeWidth - top, right});
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

int64_t Presenter::showIfDue() {
    const LandscapeRect mark = markShown_ ? aimMarkArea(markX_, markY_) : LandscapeRect{};
    const bool waiting = everything_ || !dirty_.empty() || !(mark == markDrawn_);
    // Nothing is drawn for a window nobody can see; it is drawn whole when it comes back.
    if (!waiting || (!visible_ && hasShown())) return -1;
    const uint64_t now = nowUs();
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
    if (everything_) dirty_.addAll();
    markArea();
    if (renderer_ != nullptr)
        showWithRenderer();
    else
        showOnSurface();
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

void Presenter::showOnSurface() {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (s == nullptr) return;
    if (s != surface_ || colours_.empty()) {
        const SDL_PixelFormat* f = s->format;
        colours_.build([f](uint8_t r, uint8_t g, uint8_t b) { return SDL_MapRGB(f, r, g, b); });
        surface_ = s;
        everything_ = true;
        dirty_.addAll();
    }
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
