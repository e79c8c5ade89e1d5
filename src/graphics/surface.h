// The screen surface: the canvas, the display list of sprites by layer and the redraw
// passes, and the scrolling scene made of picture tiles.
#pragma once

#include <cstdint>
#include <functional>

#include "graphics/canvas.h"
#include "graphics/display_list.h"

class Sprite;
class Picture;

class Surface {
  public:
    Surface();
    virtual ~Surface();
    virtual int32_t scrollX() const = 0;
    virtual int32_t scrollY() const = 0;

    void addSprite(Sprite* s, uint8_t layer);
    void removeSprite(Sprite* s);
    void markDirty(Sprite* s);
    void redrawDirty();
    void redrawAll();
    void paintOnly(Sprite* s);
    void paintAllOnly();
    void paintAndFlush(Sprite* s);
    void greyBackBuffer() { canvas.greyBackBuffer(); }
    void presentAll() { canvas.presentAll(); }
    Bitmap* backBuffer() const { return canvas.backBuffer(); }

    Canvas canvas;
    DisplayList list;
    uint8_t minDirtyLayer = 1;
};

class SceneSurface : public Surface {
  public:
    static constexpr int kMaxTiles = 40;

    SceneSurface(int columns, int rows, int tileWidth, int tileHeight);
    ~SceneSurface() override;
    int32_t scrollX() const override { return scrollX_; }
    int32_t scrollY() const override { return scrollY_; }

    void loadTiles(const std::function<int(int column, int row)>& idForTile);
    void freeTiles();
    void setScroll(int32_t x, int32_t y);
    void addScroll(int32_t dx, int32_t dy);
    void drawScene();

    int32_t tileWidth, tileHeight;
    Sprite* tileSprites[kMaxTiles * kMaxTiles] = {};
    Picture* tilePictures[kMaxTiles * kMaxTiles] = {};
    int16_t columns, rows;

  private:
    int32_t scrollX_ = 0;
    int32_t scrollY_ = 0;
};
