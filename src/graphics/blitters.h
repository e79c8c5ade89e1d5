// The software blitters on RGB565 bitmaps, and the image-level drawing operations that
// draw an Image into `currentTarget`. The primitives never clip: callers pass
// rectangles that lie inside both bitmaps.
#pragma once

#include <cstdint>

#include "graphics/bitmap.h"

class Image;

// The bitmap the image-level operations draw into: the back buffer, except while text
// is rendered into an image.
extern Bitmap* currentTarget;

// Primitives: source bitmap, destination bitmap, destination point, source rectangle.
void copyRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r);
void mixRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r);
void keyedCopyRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key);
void keyedMixRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key);
void keyedAlphaRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key,
                    float alpha);
void keyedSoftRect(const Bitmap& src, Bitmap& dst, int x, int y, const Rect& r, uint16_t key);

// Whole-bitmap operations.
void copyImage(const Bitmap& src, Bitmap& dst, int x, int y);
void fillBitmap(Bitmap& b, uint16_t colour);
void greyBitmap(Bitmap& b);
void copyRowDissolve(const Bitmap& src, Bitmap& dst, int row, int step);
void rotateInto(const Bitmap& src, Bitmap& dst, const Rect& dstRect, double angleDegrees);

// Pixel rules, exposed for tests and for the few callers that work per pixel.
uint16_t mixPixel(uint16_t a, uint16_t b);
uint16_t greyPixel(uint16_t p);

// Image-level drawing into currentTarget (nothing happens without a target or bitmap).
void drawOpaque(const Image& img, int x, int y);
void drawOpaquePart(const Image& img, int x, int y, const Rect& r);
void drawMixedPart(const Image& img, int x, int y, const Rect& r);
void drawKeyed(const Image& img, int x, int y, uint16_t key);
void drawKeyedPart(const Image& img, int x, int y, const Rect& r, uint16_t key);
void drawKeyedMixedPart(const Image& img, int x, int y, const Rect& r, uint16_t key);
void drawKeyedByOwnPixel(const Image& img, int x, int y, int px, int py);
void grab(Image& img, int x, int y);
void grabPart(Image& img, int x, int y, const Rect& r);

// Cuts a w x h block placed at (x, y) to an area of areaW x areaH the way the screen
// draw does: `src` receives the visible part of the block and (dx, dy) where it goes.
// False when nothing of it is visible.
bool clipBlock(int x, int y, int w, int h, int areaW, int areaH, Rect& src, int& dx, int& dy);

// Image-to-image drawing with clipping against the destination image.
void blitImage(const Image& src, Image& dst, int x, int y, bool keyed, uint16_t key, bool blend);
