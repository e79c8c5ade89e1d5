#include "game/duck_flock.h"

#include "audio/sound_ids.h"
#include "game/line_path.h"
#include "game/mover.h"
#include "game/round_context.h"
#include "game/slots.h"
#include "graphics/animation_list.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"

DuckFlock duckFlock;

namespace {
uint8_t layerFor(uint8_t kind) {
    return kind == DUCK_BIG_DOWN || kind == DUCK_BIG_UP ? 130 : 50;
}
}  // namespace

DuckFlock::~DuckFlock() {
    for (Mover*& d : ducks) {
        delete d;
        d = nullptr;
    }
}

void DuckFlock::Init(SceneSurface* surface_) {
    freeSlots(ducks, surface_);  // a second Init without Clear
    duckCount = 0;
    swimmerSpawned = 0;
    if (!rngSeeded) {
        rng = Random();
        rngSeeded = true;
    }
    freeFrames();
    bigDown.loadRange(PIC_BIG_DUCK_DOWN_FIRST, PIC_BIG_DUCK_DOWN_LAST, 68, 68);
    bigUp.loadRange(PIC_BIG_DUCK_UP_FIRST, PIC_BIG_DUCK_UP_LAST, 68, 68);
    smallDown.loadRange(PIC_SMALL_DUCK_DOWN_FIRST, PIC_SMALL_DUCK_DOWN_LAST, 48, 48);
    smallUp.loadRange(PIC_SMALL_DUCK_UP_FIRST, PIC_SMALL_DUCK_UP_LAST, 48, 48);
    swimOut.loadRange(PIC_SWIMMER_OUT, PIC_SWIMMER_OUT, 36, 32);
    swimBack.loadRange(PIC_SWIMMER_BACK, PIC_SWIMMER_BACK, 36, 32);
    surface = surface_;
}

void DuckFlock::freeFrames() {
    bigDown.free();
    bigUp.free();
    smallDown.free();
    smallUp.free();
    swimOut.free();
    swimBack.free();
}

void DuckFlock::Clear() {
    freeSlots(ducks, surface);
    duckCount = 0;
    freeFrames();
    surface = nullptr;
}

void DuckFlock::Hide() {
    hideSlots(ducks, surface);
}

void DuckFlock::Show() {
    showSlots(ducks, surface);
}

bool DuckFlock::addMover(Mover* m, uint8_t layer) {
    return addSlot(ducks, duckCount, m, surface, layer);
}

void DuckFlock::RemoveDuck(int i) {
    if (i < 0 || i >= duckCount) return;
    dropSlot(ducks, i, duckCount, surface);
    if (surface != nullptr) surface->drawScene();
}

Mover* DuckFlock::SpawnDuck() {
    const int32_t r = rng.Next(30) % 4;
    uint8_t kind;
    const FrameSet* frames;
    int32_t startX, startY, targetY, range;
    if (r == 0) {
        kind = DUCK_BIG_UP;
        frames = &bigUp;
        startX = rng.Next(160) + 20;
        startY = rng.Next(100) + 960;
        targetY = -160;
        range = 240;
    } else if (r == 1) {
        kind = DUCK_SMALL_UP;
        frames = &smallUp;
        startX = rng.Next(80);
        startY = rng.Next(100) + 960;
        targetY = -160;
        range = 80;
    } else {
        const int32_t f = rng.Next(100);
        rng.Next(160);
        rng.Next(240);
        if (r == 2) {
            kind = DUCK_BIG_DOWN;
            frames = &bigDown;
            startX = rng.Next(220);
            range = 240;
        } else {
            kind = DUCK_SMALL_DOWN;
            frames = &smallDown;
            startX = rng.Next(80);
            range = 80;
        }
        startY = -f - 100;
        targetY = 1120;
    }
    const int32_t targetX = rng.Next(range);
    const int32_t g = rng.Next(10);
    auto* duck = new Mover();
    if (!duck->Init(startX, startY, frames, static_cast<uint32_t>(78 - g), kind,
                    static_cast<uint16_t>(2 * g + 84))) {
        delete duck;
        return nullptr;
    }
    const int32_t pathKind = rng.Next(30) % 3 == 0 ? PATH_LINE : PATH_ZIGZAG;
    duck->SetPath(pathKind, PathParams{startX, startY, targetX, targetY, g + 2});
    if (!addMover(duck, layerFor(kind))) return nullptr;
    Mover* last = duck;

    const int32_t h = rng.Next(10);
    if (swimmerSpawned == 0 && h % 2 == 0) {
        auto* swimmer = new Mover();
        if (swimmer->Init(168, 669, &swimOut, 1, DUCK_SWIMMER, 200)) {
            swimmer->SetPath(PATH_LINE, PathParams{168, 669, 214, 80, 1});
            if (addMover(swimmer, 50)) {
                swimmerSpawned = 1;
                last = swimmer;
            }
        } else {
            delete swimmer;
        }
    }
    return last;
}

void DuckFlock::TurnSwimmer(Mover* swimmer) {
    AnimatedSprite* s = swimmer->sprite;
    const bool outbound = swimOut.count > 0 && s->image == swimOut.frames[0];
    const FrameSet& next = outbound ? swimBack : swimOut;
    s->setFrames(&next);
    // Show the turned duck at once, not only after its next animation tick.
    s->setFrame(0);
    if (outbound) {
        swimmer->SetPath(PATH_LINE, PathParams{s->x, s->y, 168, 669, 1});
    } else {
        swimmer->SetPath(PATH_LINE, PathParams{s->x, s->y, 214, 80, 1});
    }
}

Mover* DuckFlock::SpawnFleeing(int32_t x, int32_t y, uint8_t oldKind) {
    uint8_t kind;
    const FrameSet* frames;
    int32_t tx, ty;
    switch (oldKind) {
        case DUCK_BIG_DOWN:
            kind = DUCK_BIG_UP, frames = &bigUp, tx = rng.Next(240), ty = -160;
            break;
        case DUCK_BIG_UP:
            kind = DUCK_BIG_DOWN, frames = &bigDown, tx = rng.Next(240), ty = 1120;
            break;
        case DUCK_SMALL_DOWN:
            kind = DUCK_SMALL_UP, frames = &smallUp, tx = rng.Next(80), ty = -160;
            break;
        default:
            kind = DUCK_SMALL_DOWN, frames = &smallDown, tx = rng.Next(80), ty = 1120;
            break;
    }
    auto* duck = new Mover();
    if (!duck->Init(x, y, frames, 65, kind, 95)) {
        delete duck;
        return nullptr;
    }
    const int32_t pathKind = rng.Next(30) % 2 == 1 ? PATH_ZIGZAG : PATH_LINE;
    duck->SetPath(pathKind, PathParams{x, y, tx, ty, 15});
    if (!addMover(duck, layerFor(kind))) return nullptr;
    round_context::playEffect(rng.NextRaw() % 2 == 0 ? SOUND_QUACK : SOUND_QUACK_CALL);
    return duck;
}

void DuckFlock::ReleaseFormation() {
    static constexpr int32_t kOffsets[5][2] = {{0, 0}, {40, 60}, {-40, 60}, {80, 120}, {-80, 120}};
    bool up = rng.Next(30) % 2 == 1;
    int32_t baseX, targetBaseX, baseY, targetOffset, sign;
    uint8_t kind;
    const FrameSet* frames;
    if (up) {
        baseX = rng.Next(120);
        targetBaseX = rng.Next(120);
        baseY = 1280;
        targetOffset = -320;
        kind = DUCK_SMALL_UP;
        frames = &smallUp;
        sign = 1;
    } else {
        baseX = rng.Next(160) + 20;
        targetBaseX = rng.Next(240);
        baseY = -240;
        targetOffset = 1280;
        kind = DUCK_SMALL_DOWN;
        frames = &smallDown;
        sign = -1;
    }
    for (const auto& o : kOffsets) {
        const int32_t dx = o[0];
        const int32_t dy = sign * o[1];
        auto* duck = new Mover();
        if (!duck->Init(baseX + dx, baseY + dy, frames, 65, kind, 95)) {
            delete duck;
            return;
        }
        duck->SetPath(PATH_LINE,
                      PathParams{baseX + dx, baseY + dy, targetBaseX + dx, dy + targetOffset, 15});
        if (!addMover(duck, 5)) return;
    }
}

FlockResult DuckFlock::Update(const InputEvent& event, uint8_t loaded, int mode) {
    FlockResult result;
    if (mode == 10) {
        if (duckCount + 6 < kMaxDucks) {
            ReleaseFormation();
            result.code = FLOCK_FORMATION;
        } else {
            result.code = FLOCK_NO_ROOM;
        }
        return result;
    }
    if (mode != 0) {
        result.code = FLOCK_UNKNOWN_MODE;
        return result;
    }
    const bool shot = event.type == EV_PEN_DOWN && loaded == 1;
    const int32_t scrollX = surface != nullptr ? surface->scrollX() : 0;
    const int32_t scrollY = surface != nullptr ? surface->scrollY() : 0;
    for (int i = 0; i < duckCount; ++i) {
        Mover* d = ducks[i];
        result.kind = d->kind;
        if (shot) {
            const int h = d->HitTest(event.x, event.y, scrollX, scrollY);
            if (d->kind >= DUCK_BIG_DOWN && d->kind <= DUCK_SMALL_UP) {
                if (h == HIT_PIXEL) {
                    result.code = FLOCK_HIT;
                    result.x = d->sprite->x;
                    result.y = d->sprite->y;
                    RemoveDuck(i);
                    return result;
                }
                if (h == HIT_NEAR) {
                    const int32_t x = d->sprite->x;
                    const int32_t y = d->sprite->y;
                    const uint8_t kind = d->kind;
                    RemoveDuck(i);
                    Mover* fled = SpawnFleeing(x, y, kind);
                    result.code = FLOCK_FLED;
                    if (fled != nullptr) {
                        result.x = fled->sprite->x;
                        result.y = fled->sprite->y;
                        result.kind = fled->kind;
                    }
                    return result;
                }
            } else if (d->kind == DUCK_SWIMMER && h != HIT_NONE) {
                TurnSwimmer(d);
                round_context::playEffect(SOUND_QUACK);
            }
        }
        d->Step(surface);
        if (d->finished) {
            if (d->kind == DUCK_SWIMMER) {
                TurnSwimmer(d);
                d->finished = 0;
            } else {
                RemoveDuck(i);
            }
        }
    }
    if (duckCount < 7 && rng.Next(30) == 7) {
        if (Mover* added = SpawnDuck()) {
            result.code = FLOCK_NEW_DUCK;
            result.x = added->sprite->x;
            result.y = added->sprite->y;
            result.kind = added->kind;
        }
    }
    return result;
}
