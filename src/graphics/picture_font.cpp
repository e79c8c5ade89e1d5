#include "graphics/picture_font.h"

#include <algorithm>

#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"

// ---------------------------------------------------------------------------
// PictureFont

PictureFont::~PictureFont() {
    releaseFont();
}

bool PictureFont::loadFont(int pictureId, int height, int length, uint16_t first) {
    releaseFont();
    strip = new Image;
    strip->loadPicture(pictureId, height, length);
    stripLength = length;
    firstChar = first;
    glyphHeight = static_cast<uint8_t>(height);
    for (Glyph& g : glyphs) g = Glyph{};
    lastIndex = 0;
    const int n = length;
    if (strip->bitmap == nullptr || height < 1 || n < 3) return false;

    // Positions count from the strip's end: position p is row n - 1 - p. The last two
    // rows hold the background and the marker colour as samples.
    Bitmap& b = *strip->bitmap;
    const uint16_t marker = b.at(0, n - 2);
    const uint16_t background = b.at(0, n - 1);
    b.set(0, n - 2, background);
    int i = 0;
    glyphs[0].start = 0;
    for (int p = 2; p <= n - 2; ++p) {
        const int row = n - 1 - p;
        if (b.at(0, row) != marker) continue;
        glyphs[i].length = static_cast<uint16_t>(p - glyphs[i].start);
        ++i;
        // The table holds 100 glyphs; the rest of a longer strip is never shown, and
        // characters that would need it fall back to the glyph at the last index.
        if (i == kMaxGlyphs) break;
        glyphs[i].start = static_cast<uint16_t>(p);
        b.set(0, row, background);
    }
    // A strip without a single marker has one empty glyph rather than an index that
    // points past the table.
    lastIndex = static_cast<uint8_t>(i > 0 ? i - 1 : 0);
    return i > 0;
}

Glyph PictureFont::glyphFor(uint8_t index) const {
    const int code = index + firstChar;
    if (code >= 91 && code <= 122) index = static_cast<uint8_t>(index - 6);
    if (index < lastIndex) return glyphs[index];
    switch (index) {
        case 247:
            return glyphs[14];
        case 248:
            return glyphs[15];
        case 249:
            return glyphs[16];
        case 252:
            return glyphs[13];
        case 254:
            return glyphs[12];
        default:
            return glyphs[lastIndex];
    }
}

uint8_t PictureFont::indexForChar(char16_t c) const {
    return static_cast<uint8_t>((c & 0xFF) - firstChar);
}

void PictureFont::releaseFont() {
    if (strip == nullptr) return;
    strip->releaseBitmap();
    delete strip;
    strip = nullptr;
}

// ---------------------------------------------------------------------------
// TextSprite

TextSprite::~TextSprite() {
    releaseText();
}

void TextSprite::initText(int x, int y, PictureFont* f, uint8_t max, bool keyed, bool blend) {
    releaseText();
    font = f;
    maxChars = max;
    sprite = new Sprite;
    sprite->x = x;
    sprite->y = y;
    sprite->keyed = keyed ? 1 : 0;
    sprite->blend = blend ? 1 : 0;
    // The strip's background becomes the key, so only the letters show.
    if (f != nullptr && f->strip != nullptr && f->strip->bitmap != nullptr && f->strip->width > 0 &&
        f->strip->height > 0)
        sprite->key = f->strip->pixel(0, 0);
    setText(u" ");
}

void TextSprite::setText(std::u16string_view text) {
    const size_t len = text.size() % 256;
    if (len == 0 || sprite == nullptr || font == nullptr || font->strip == nullptr ||
        font->strip->bitmap == nullptr)
        return;
    if (textImage != nullptr) {
        textImage->releaseBitmap();
        delete textImage;
        textImage = nullptr;
    }
    const size_t count = std::min<size_t>(len, maxChars);
    // A space is measured through the lower-case shift, which lands on the space glyph.
    auto measureIndex = [this](char16_t c) {
        return c == u' ' ? static_cast<uint8_t>(font->lastIndex + 6) : font->indexForChar(c);
    };
    uint16_t total = 0;
    for (size_t i = 0; i < count; ++i) total += font->glyphFor(measureIndex(text[i])).length;

    textImage = new Image;
    textImage->createBlank(font->glyphHeight, total);

    Bitmap* saved = currentTarget;
    currentTarget = textImage->bitmap;
    const int n = font->stripLength;
    int pos = total;
    for (size_t i = 0; i < count; ++i) {
        const Glyph g = font->glyphFor(font->indexForChar(text[i]));
        pos -= g.length;
        // The first character ends at the bottom; each further one lies above it.
        drawOpaquePart(*font->strip, 0, pos,
                       Rect{0, n - g.start - g.length, font->glyphHeight, n - g.start});
    }
    currentTarget = saved;

    sprite->setFromImage(textImage, sprite->x, sprite->y, true, sprite->keyed, sprite->blend,
                         sprite->key);
}

void TextSprite::setTextAndMark(std::u16string_view text, Surface* surface) {
    setText(text);
    if (surface != nullptr && sprite != nullptr) surface->markDirty(sprite);
}

void TextSprite::releaseText() {
    delete sprite;
    sprite = nullptr;
    if (textImage != nullptr) {
        textImage->releaseBitmap();
        delete textImage;
        textImage = nullptr;
    }
}
