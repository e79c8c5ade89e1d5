// How the game's picture reaches the window. The game presents its dirty rectangles as
// often as it likes (up to every 10 ms tick); the presenter turns them into the
// landscape picture at once, but shows what changed at most once per display refresh,
// only the changed part, and nothing while the window cannot be seen.
//
// The cheapest way that works everywhere: where the video driver gives the window a
// framebuffer of its own (X11, also through XWayland), our integer scaler writes the
// changed rectangles into it and only those are sent to the display server. Elsewhere an
// SDL renderer takes the changed rectangles into a small texture and draws it scaled.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/desktop_mapping.h"
#include "platform/platform.h"
#include "platform/sdl/dirty_region.h"
#include "platform/sdl/landscape_scaler.h"

namespace platform::desktop {

class Presenter {
  public:
    ~Presenter();
    // False when neither way to the window works.
    bool open(SDL_Window* window);
    bool usesWindowSurface() const { return renderer_ == nullptr; }

    // Rectangles of the 240 x 320 back buffer, turned into the landscape picture.
    void take(const uint16_t* pixels, int strideBytes, const PresentRect* rects, int count);
    // Everything to be shown again (exposed, resized, restored, fullscreen).
    void invalidate();
    void setVisible(bool visible);
    void setMark(bool shown, double lx, double ly);

    // Shows what changed when a display refresh has passed since the last show (`now`
    // on the steady clock, in microseconds). Answers the microseconds until it will be
    // due, or -1 when nothing waits.
    int64_t showIfDue(uint64_t now);
    bool hasShown() const { return shows_ > 0; }
    // Readies the window's framebuffer before the first picture, while the game has
    // nothing else to do; does nothing after the first time.
    void prepare();
    uint64_t shows() const { return shows_; }
    // Landscape pixels shown so far, every show's changed rectangles added up.
    uint64_t pixelsShown() const { return pixelsShown_; }

    const std::vector<uint16_t>& landscape() const { return landscape_; }
    // The window as the pointer measures it and as the picture is drawn.
    WindowGeometry geometry() const;

  private:
    void show();
    SDL_Surface* adoptSurface();
    void showOnSurface(SDL_Surface* s);
    void showWithRenderer();
    void markArea();

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Surface* surface_ = nullptr;  // the surface the colour table was built for
    ColourTable colours_;
    // The game's picture as the window has it: upright, as presented, and turned.
    std::vector<uint16_t> device_ = std::vector<uint16_t>(kDeviceWidth * kDeviceHeight, 0);
    std::vector<uint16_t> landscape_ = std::vector<uint16_t>(kLandscapeWidth * kLandscapeHeight, 0);
    DirtyRegion dirty_;
    bool everything_ = true;  // bars and picture, the whole window
    bool visible_ = true;
    bool prepared_ = false;
    bool markShown_ = false;
    double markX_ = 0, markY_ = 0;
    LandscapeRect markDrawn_;  // where the mark was last drawn, empty when nowhere
    int64_t periodUs_ = 16667;
    uint64_t lastShowUs_ = 0;
    uint64_t shows_ = 0;
    uint64_t pixelsShown_ = 0;
};

}  // namespace platform::desktop
