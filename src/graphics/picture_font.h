// Proportional fonts cut from a glyph-strip picture, and text sprites rendered in them.
#pragma once

#include <cstdint>
#include <string_view>

class Image;
class Sprite;
class Surface;

struct Glyph {
    uint16_t start = 0;
    uint16_t length = 0;
};

class PictureFont {
  public:
    static constexpr int kMaxGlyphs = 100;

    PictureFont() = default;
    virtual ~PictureFont();
    PictureFont(const PictureFont&) = delete;
    PictureFont& operator=(const PictureFont&) = delete;

    // False when the strip holds no marker at all (then there is one empty glyph).
    // Glyphs past the 100th are ignored; characters that would need them show the
    // glyph at lastIndex.
    bool loadFont(int pictureId, int glyphHeight, int stripLength, uint16_t firstChar);
    Glyph glyphFor(uint8_t index) const;
    // Glyph index of a character for measuring and drawing.
    uint8_t indexForChar(char16_t c) const;
    void releaseFont();

    int32_t stripLength = 0;
    Image* strip = nullptr;
    Glyph glyphs[kMaxGlyphs] = {};
    uint8_t lastIndex = 0;
    uint8_t glyphHeight = 0;
    uint16_t firstChar = 0;
};

class TextSprite {
  public:
    TextSprite() = default;
    virtual ~TextSprite();
    TextSprite(const TextSprite&) = delete;
    TextSprite& operator=(const TextSprite&) = delete;

    void initText(int x, int y, PictureFont* font, uint8_t maxChars, bool keyed, bool blend);
    void setText(std::u16string_view text);
    void setTextAndMark(std::u16string_view text, Surface* surface);
    void releaseText();

    Sprite* sprite = nullptr;
    PictureFont* font = nullptr;
    Image* textImage = nullptr;
    uint8_t maxChars = 0;
};
