// The round as the simulator shows it: the game object's statistics and every actor's
// position, and a tap position on a duck that a script can aim at.
#include <string>

#include "game/duck_flock.h"
#include "game/game.h"
#include "game/leaf_field.h"
#include "game/mover.h"
#include "game/round_clock.h"
#include "game/score_counter.h"
#include "game/shell_magazine.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "shell/app_context.h"
#include "sim/round_hooks.h"

namespace {

void appendField(std::string& out, const char* name, long long value, bool comma = true) {
    out += "\"";
    out += name;
    out += "\":";
    out += std::to_string(value);
    if (comma) out += ",";
}

void appendMovers(std::string& out, const char* name, Mover* const* movers, int count) {
    out += "\"";
    out += name;
    out += "\":[";
    for (int i = 0; i < count; ++i) {
        const Mover* m = movers[i];
        if (m == nullptr || m->sprite == nullptr) continue;
        if (out.back() == '}') out += ",";
        out += "{";
        appendField(out, "kind", m->kind);
        appendField(out, "x", m->sprite->x);
        appendField(out, "y", m->sprite->y);
        appendField(out, "width", m->width);
        appendField(out, "height", m->height, false);
        out += "}";
    }
    out += "]";
}

}  // namespace

bool roundJson(std::string& out) {
    const Game* game = appContext().game;
    if (game == nullptr || game->surface == nullptr) return false;
    out = "{";
    appendField(out, "secondsLeft", roundClock.secondsLeft);
    appendField(out, "score", scoreCounter.total);
    appendField(out, "shownScore", scoreCounter.shown);
    appendField(out, "shells", shellMagazine.shells);
    appendField(out, "shotsFired", game->shotsFired);
    appendField(out, "shotDucks", game->shotDucks);
    appendField(out, "shotLeaves", game->shotLeaves);
    appendField(out, "otherHits", game->otherHits);
    appendField(out, "penalties", game->penalties);
    appendField(out, "scrollY", game->surface->scrollY());
    appendMovers(out, "ducks", duckFlock.ducks, duckFlock.duckCount);
    out += ",";
    appendMovers(out, "items", leafField.items, leafField.itemCount);
    out += "}";
    return true;
}

bool tapDuckPosition(int& x, int& y, std::string& which) {
    const SceneSurface* surface = duckFlock.surface;
    if (surface == nullptr) return false;
    const int scrollX = surface->scrollX();
    const int scrollY = surface->scrollY();
    for (int i = 0; i < duckFlock.duckCount; ++i) {
        const Mover* d = duckFlock.ducks[i];
        if (d == nullptr || d->sprite == nullptr || d->kind < DUCK_BIG_DOWN ||
            d->kind > DUCK_SMALL_UP) {
            continue;
        }
        const int sx = d->sprite->x - scrollX;
        const int sy = d->sprite->y - scrollY;
        if (sx < 0 || sy < 0 || sx + d->width > 240 || sy + d->height > 320) continue;
        const Image* img = d->sprite->image;
        if (img == nullptr || img->bitmap == nullptr) continue;
        // The middle of the duck first: the pixel most likely to stay opaque while the
        // wings flap.
        const int cx = img->width / 2;
        const int cy = img->height / 2;
        for (int r = 0; r < img->width + img->height; ++r) {
            for (int py = cy - r; py <= cy + r; ++py) {
                for (int px = cx - r; px <= cx + r; ++px) {
                    if (px < 0 || py < 0 || px >= img->width || py >= img->height) continue;
                    if (img->pixel(px, py) == d->hitColour) continue;
                    x = sx + px;
                    y = sy + py;
                    which = "duck " + std::to_string(i) + " kind " + std::to_string(d->kind);
                    return true;
                }
            }
        }
    }
    return false;
}
