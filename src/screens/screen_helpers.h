// Small drawing and sound helpers that every screen uses. They all tolerate a missing
// picture, surface or sound object, so that a screen never crashes on one.
#pragma once

#include <cstdint>

#include "audio/sound_ids.h"
#include "graphics/bitmap.h"

class Surface;
class Image;
class ViewManager;
class Settings;

namespace screens {

// Loads picture `id` (w x h), paints it once into the back buffer at (x, y) through the
// display machinery (its rectangle waits for the next flush) and frees it again.
void paintPictureOnce(Surface* surface, int id, int w, int h, int x, int y, bool keyed = false);

// Copies a whole image into the back buffer at (x, y), opaque or skipping `key` pixels.
// Parts that would fall outside the back buffer are cut off.
void copyImage(Surface* surface, const Image* image, int x, int y);
void copyImageKeyed(Surface* surface, const Image* image, int x, int y, uint16_t key);
// The same for a part of an image.
void copyImagePart(Surface* surface, const Image* image, int x, int y, const Rect& part);
void copyImagePartKeyed(Surface* surface, const Image* image, int x, int y, const Rect& part,
                        uint16_t key);

// Copies the given rectangle of the back buffer to the window.
void presentRect(Surface* surface, const Rect& r);
void presentAll(Surface* surface);

// Cuts `part` (a rectangle of a w x h source) so that drawing it at (x, y) stays inside
// a dw x dh destination; adjusts x and y. False when nothing is left to draw.
bool clipToTarget(Rect& part, int& x, int& y, int w, int h, int dw, int dh);

// The long-lived objects; sound calls do nothing without a sound object.
void playEffect(SoundId id);
void playMusic(SoundId id);
void stopAllSounds();
ViewManager* viewManager();
Settings* settings();

}  // namespace screens
