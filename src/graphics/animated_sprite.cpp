#include <algorithm>

#include "graphics/sprite.h"
#include "platform/platform.h"

// ---------------------------------------------------------------------------
// FrameSet

FrameSet::~FrameSet() {
    free();
}

void FrameSet::loadRange(int firstId, int lastId, int w, int h) {
    free();
    borrowed = 0;
    // More frames than the array holds are not loaded (the first 30 are).
    count = std::clamp(lastId - firstId + 1, 0, kMaxFrames);
    for (int k = 0; k < count; ++k) {
        frames[k] = new Image;
        frames[k]->loadPicture(firstId + k, w, h);
    }
}

void FrameSet::borrow(const FrameSet& other, int n) {
    borrow(other.frames, n);
}

void FrameSet::borrow(Image* const* images, int n) {
    free();
    count = std::clamp(n, 0, kMaxFrames);
    for (int k = 0; k < kMaxFrames; ++k) frames[k] = k < count ? images[k] : nullptr;
    borrowed = 1;
}

void FrameSet::free() {
    if (!borrowed) {
        for (Image*& f : frames) {
            if (f != nullptr) {
                f->releaseBitmap();
                delete f;
            }
            f = nullptr;
        }
        count = 0;
    }
}

// ---------------------------------------------------------------------------
// AnimatedSprite

int AnimatedSprite::initAnimation(const FrameSet* frameSet, int px, int py, bool withSaveUnder,
                                  bool isKeyed, bool isBlend, uint32_t framePeriod,
                                  int32_t playMode, uint16_t keyColour) {
    if (frameSet == nullptr || frameSet->count < 1 || frameSet->frames[0] == nullptr) return 0;
    mode = playMode;
    period = framePeriod;
    lastStep = platform::tickCount();
    // The frame array holds 30 images; a longer set shows its first 29 frames.
    int n = frameSet->count;
    if (n > kMaxFrames) n = kMaxFrames - 1;
    count = n;
    current = 0;
    Image* const* f = frameSet->frames;
    frames[0] = f[0];
    setFromImage(f[0], px, py, withSaveUnder, isKeyed, isBlend, keyColour);

    if (mode == PLAY_BACK_AND_FORTH) {
        // f0, f0, f1 .. f(n-1), f(n-1), f(n-2) .. f1: both ends shown twice in a row.
        // Thirty entries hold at most fifteen frames; later frames are left out.
        n = std::min(n, kMaxFrames / 2);
        int k = 0;
        frames[k++] = f[0];
        for (int i = 0; i < n; ++i) frames[k++] = f[i];
        for (int i = n - 1; i >= 1; --i) frames[k++] = f[i];
        count = k;
    } else {
        for (int k = 1; k < n; ++k) frames[k] = f[k];
    }
    return 1;
}

int AnimatedSprite::tick() {
    const uint32_t now = platform::tickCount();
    const int32_t elapsed = static_cast<int32_t>(now - lastStep);
    if (elapsed < 0) lastStep = now;  // the counter wrapped
    if (static_cast<int64_t>(elapsed) < static_cast<int64_t>(period)) return 0;
    advance();
    lastStep = platform::tickCount();
    return 1;
}

void AnimatedSprite::advance() {
    if (count <= 0) return;
    if (mode == PLAY_ONCE) {
        if (current != count - 1) ++current;
    } else {
        current = (current + 1) % count;
    }
    image = frames[current];
}

void AnimatedSprite::stepBack() {
    if (count <= 0) return;
    current = current < 1 ? count - 1 : current - 1;
    current %= count;
    image = frames[current];
}

void AnimatedSprite::setFrame(int n) {
    if (count <= 0) return;
    current = ((n % count) + count) % count;
    image = frames[current];
}

void AnimatedSprite::setFrames(const FrameSet* frameSet) {
    if (frameSet == nullptr) return;
    count = std::clamp(frameSet->count, 0, kMaxFrames);
    for (int k = 0; k < kMaxFrames; ++k) frames[k] = k < count ? frameSet->frames[k] : nullptr;
    current = 0;
}
