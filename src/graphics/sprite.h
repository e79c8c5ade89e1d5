// Sprites: an image placed at a scene position, with draw modes, a transparency key,
// a layer and an optional save-under image; animated sprites and frame sets.
#pragma once

#include <cstdint>

#include "graphics/image.h"

constexpr uint16_t kKeyFromImage = 0xFFFF;  // take the key from the image's top-left pixel

class Sprite {
  public:
    Sprite() = default;
    Sprite(Picture* picture, int x, int y, bool withSaveUnder, bool keyed, bool blend,
           uint16_t key);
    virtual ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    void setFromPicture(Picture* picture, int x, int y, bool withSaveUnder, bool keyed, bool blend,
                        uint16_t key);
    void setFromImage(Image* image, int x, int y, bool withSaveUnder, bool keyed, bool blend,
                      uint16_t key);
    void releaseResources();

    uint8_t dirty = 0;
    Image* saveUnder = nullptr;
    Image* image = nullptr;
    Picture* picture = nullptr;
    int32_t x = 0, y = 0;
    int32_t width = 0, height = 0;
    uint8_t hasSaveUnder = 0;
    uint8_t keyed = 0;
    uint8_t blend = 0;
    uint16_t key = 0;
    uint8_t layer = 0;
};

class FrameSet {
  public:
    static constexpr int kMaxFrames = 30;
    FrameSet() = default;
    ~FrameSet();
    FrameSet(const FrameSet&) = delete;
    FrameSet& operator=(const FrameSet&) = delete;

    // Loads pictures firstId..lastId (at most 30) at w x h.
    void loadRange(int firstId, int lastId, int w, int h);
    // Uses the first min(count, 30) frames of another set without owning them.
    void borrow(const FrameSet& other, int count);
    // Uses a ready list of images without owning them.
    void borrow(Image* const* images, int count);
    void free();

    Image* frames[kMaxFrames] = {};
    int32_t count = 0;
    uint8_t borrowed = 0;
};

enum PlayMode : int32_t { PLAY_LOOP = 0, PLAY_ONCE = 1, PLAY_BACK_AND_FORTH = 2 };

class AnimatedSprite : public Sprite {
  public:
    static constexpr int kMaxFrames = 30;

    // Returns 1 (0 only when the sprite part cannot be set up, e.g. an empty set).
    // A set of more than 30 frames shows its first 29; back and forth uses at most the
    // first 15 frames (30 list entries).
    int initAnimation(const FrameSet* frameSet, int x, int y, bool withSaveUnder, bool keyed,
                      bool blend, uint32_t period, int32_t mode, uint16_t key);
    // Returns 1 when the frame changed.
    int tick();
    void advance();
    void stepBack();
    void setFrame(int n);
    void setFrames(const FrameSet* frameSet);

    Image* frames[kMaxFrames] = {};
    int32_t current = 0;
    int32_t count = 0;
    uint32_t lastStep = 0;
    uint32_t period = 0;
    int32_t mode = PLAY_LOOP;
};
