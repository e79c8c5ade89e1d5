#include "game/leaf_field.h"

#include "audio/sound_ids.h"
#include "game/effect_sprite.h"
#include "game/mover.h"
#include "game/round_context.h"
#include "game/slots.h"
#include "graphics/animation_list.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"

LeafField leafField;

namespace {
void freePicture(Picture*& p) {
    delete p;
    p = nullptr;
}
}  // namespace

LeafField::~LeafField() {
    for (Mover*& m : items) {
        delete m;
        m = nullptr;
    }
    for (EffectSprite*& e : effects) {
        delete e;
        e = nullptr;
    }
    delete popup;
    releaseArt();
}

void LeafField::releaseArt() {
    leafFrames.free();
    burstFrames.free();
    for (FrameSet& f : signFrames) f.free();
    signDropFrames.free();
    redDownFrames.free();
    redUpFrames.free();
    redFallFrames.free();
    fishermanFrames.free();
    freePicture(clockPlus);
    freePicture(plusFifty);
    freePicture(plusOne);
    freePicture(bonusItem);
    freePicture(clockMinus);
    freePicture(minusFifty);
}

void LeafField::Init(SceneSurface* surface_) {
    // A second Init without Clear: what is still shown leaves the lists before it goes.
    freeSlots(items, surface_);
    freeSlots(effects, surface_);
    itemCount = 0;
    effectCount = 0;
    signDuckPresent = 0;
    if (!rngSeeded) {
        rng = Random();
        rngSeeded = true;
    }
    releaseArt();
    leafFrames.loadRange(PIC_LEAF_FIRST, PIC_LEAF_LAST, 22, 22);
    burstFrames.loadRange(PIC_LEAF_BURST_FIRST, PIC_LEAF_BURST_LAST, 22, 22);
    for (int i = 0; i < 3; ++i)
        signFrames[i].loadRange(PIC_SIGN_DUCKS + i, PIC_SIGN_DUCKS + i, 108, 80);
    signDropFrames.loadRange(PIC_SIGN_DROP_FIRST, PIC_SIGN_DROP_LAST, 108, 80);
    redDownFrames.loadRange(PIC_RED_BIRD_DOWN_FIRST, PIC_RED_BIRD_DOWN_LAST, 18, 26);
    redUpFrames.loadRange(PIC_RED_BIRD_UP_FIRST, PIC_RED_BIRD_UP_LAST, 18, 26);
    redFallFrames.loadRange(PIC_RED_BIRD_FALLING, PIC_RED_BIRD_FALLING, 30, 38);
    fishermanFrames.loadRange(PIC_FISHERMAN, PIC_FISHERMAN, 28, 38);
    clockPlus = new Picture(PIC_CLOCK_PLUS, 24, 24);
    plusFifty = new Picture(PIC_PLUS_FIFTY, 20, 48);
    plusOne = new Picture(PIC_PLUS_ONE, 20, 22);
    bonusItem = new Picture(PIC_BONUS_ITEM, 24, 24);
    clockMinus = new Picture(PIC_CLOCK_MINUS, 24, 24);
    minusFifty = new Picture(PIC_MINUS_FIFTY, 20, 48);
    surface = surface_;
    auto* fisherman = new Mover();
    if (fisherman->Init(165, 620, &fishermanFrames, 1, ITEM_FISHERMAN, 200)) {
        addItem(fisherman, 10);
    } else {
        delete fisherman;
    }
    if (popup != nullptr && surface_ != nullptr) surface_->removeSprite(popup);
    delete popup;
    popup = nullptr;
    popupFrames = 0;
    bonusCooldown = 0;
}

void LeafField::Clear() {
    freeSlots(items, surface);
    freeSlots(effects, surface);
    itemCount = 0;
    effectCount = 0;
    dropPopup();
    releaseArt();
    surface = nullptr;
}

void LeafField::Hide() {
    if (surface == nullptr) return;
    if (popup != nullptr) surface->removeSprite(popup);
    hideSlots(items, surface);
    hideSlots(effects, surface);
}

void LeafField::Show() {
    if (surface == nullptr) return;
    if (popup != nullptr && !surface->list.contains(popup)) surface->addSprite(popup, popup->layer);
    showSlots(items, surface);
    showSlots(effects, surface);
}

bool LeafField::addItem(Mover* m, uint8_t layer) {
    return addSlot(items, itemCount, m, surface, layer);
}

void LeafField::RemoveItem(int i) {
    if (i < 0 || i >= itemCount) return;
    // The sign duck is on its way only while it is in a slot: one that slid away unshot
    // must not keep every later one out for the rest of the round.
    if (items[i]->kind == ITEM_SIGN_DUCK) signDuckPresent = 0;
    dropSlot(items, i, itemCount, surface);
    if (surface != nullptr) surface->redrawAll();
}

void LeafField::dropPopup() {
    if (popup != nullptr) {
        if (surface != nullptr) surface->removeSprite(popup);
        delete popup;
        popup = nullptr;
    }
    popupFrames = 0;
}

void LeafField::showPopup(Picture* picture, int32_t x, int32_t y, bool blend, uint16_t frames) {
    if (picture == nullptr || picture->image == nullptr || picture->image->bitmap == nullptr) {
        return;
    }
    popup = new Sprite(picture, x, y, true, true, blend, kKeyFromImage);
    if (surface != nullptr) surface->addSprite(popup, 231);
    popupFrames = frames;
}

LeafResult LeafField::Outcome(int32_t x, int32_t y, uint8_t kind) {
    LeafResult r;
    dropPopup();
    switch (kind) {
        case ITEM_SIGN_DUCK:
            r = {LEAF_POINTS, 50};
            showPopup(plusFifty, x + 20, y - 10, false, 20);
            break;
        case ITEM_RED_BIRD:
            r = {LEAF_POINTS, -50};
            showPopup(minusFifty, x + 20, y - 10, false, 20);
            break;
        case ITEM_FISHERMAN:
            r = {LEAF_POINTS, -50};
            showPopup(minusFifty, x + 20, y + 20, false, 10);
            round_context::playEffect(SOUND_FISHERMAN_HIT);
            break;
        default: {
            const int32_t s = rng.Next(100) % 13;
            if (s == 0) {
                r = {LEAF_TIME, 30};
                showPopup(clockPlus, x + 20, y - 10, true, 20);
                round_context::playEffect(SOUND_TIME_GAINED);
            } else if (s == 1) {
                r = {LEAF_TIME, -30};
                showPopup(clockMinus, x + 20, y - 10, true, 20);
                round_context::playEffect(SOUND_TIME_LOST);
            } else if (s == 2 && bonusCooldown < 2) {
                r = {LEAF_BONUS, 0};
                showPopup(bonusItem, x + 20, y - 10, true, 20);
                round_context::playEffect(SOUND_BONUS);
                bonusCooldown = 6;
            } else {
                if (s == 2) --bonusCooldown;
                r = {LEAF_POINTS, 1};
                showPopup(plusOne, x + 20, y - 10, true, 20);
            }
            break;
        }
    }
    return r;
}

void LeafField::StartHitEffect(int32_t x, int32_t y, uint8_t kind) {
    // The sounds belong to the hit, not to its picture: they play also when every effect
    // slot is taken and the picture is left out.
    if (kind == ITEM_SIGN_DUCK) round_context::playEffect(SOUND_DUCK_HIT);
    if (kind == ITEM_RED_BIRD) round_context::playEffect(SOUND_RED_BIRD_HIT);
    if (effectCount >= kMaxEffects) return;  // ten running effects are plenty
    auto* e = new EffectSprite();
    bool ok = false;
    uint8_t layer = 0;
    switch (kind) {
        case ITEM_LEAF:
            ok = e->Start(x, y, &burstFrames, 80, true, 1);
            layer = 230;
            break;
        case ITEM_SIGN_DUCK:
            ok = e->Start(x, y, &signDropFrames, 70, false, 1);
            layer = 141;
            break;
        case ITEM_RED_BIRD:
            ok = e->Start(x, y, &redFallFrames, 130, true, 1);
            if (ok) e->SetPath(PATH_LINE, PathParams{x + 3, y, x + 43, y, 1});
            layer = 40;
            break;
        default:
            break;
    }
    if (!ok) {
        delete e;
        return;
    }
    if (surface != nullptr) addAnimated(surface, e->sprite, layer);
    effects[effectCount++] = e;
}

Mover* LeafField::AddLeaf() {
    const int32_t a = rng.Next(960);
    const int32_t b = rng.Next(960);
    const int32_t v = rng.Next(4);
    auto* m = new Mover();
    if (!m->Init(-50, a, &leafFrames, 80, ITEM_LEAF, 200)) {
        delete m;
        return nullptr;
    }
    m->SetPath(PATH_LINE, PathParams{-50, a, 290, b, v + 1});
    return addItem(m, 231) ? m : nullptr;
}

Mover* LeafField::AddRedBird() {
    int32_t sx, sy, ex, ey;
    const FrameSet* frames;
    if (rng.Next(30) % 2 == 1) {
        sx = rng.Next(220);
        sy = -rng.Next(100) - 100;
        ex = rng.Next(240);
        ey = 1120;
        frames = &redDownFrames;
    } else {
        sy = rng.Next(100) + 960;
        sx = rng.Next(106);
        ex = rng.Next(106);
        ey = -160;
        frames = &redUpFrames;
    }
    const int32_t speed = rng.Next(15);
    auto* m = new Mover();
    if (!m->Init(sx, sy, frames, 1, ITEM_RED_BIRD, 200)) {
        delete m;
        return nullptr;
    }
    m->SetPath(PATH_LINE, PathParams{sx, sy, ex, ey, speed});
    return addItem(m, 40) ? m : nullptr;
}

Mover* LeafField::AddSignDuck() {
    const int32_t y = (surface != nullptr ? surface->scrollY() : 0) + rng.Next(320);
    const int32_t which = rng.Next(197) % 3;
    auto* m = new Mover();
    if (!m->Init(240, y, &signFrames[which], 4, ITEM_SIGN_DUCK, 200)) {
        delete m;
        return nullptr;
    }
    // Step (-10, 0) and a pause of 10 ride in the extra words.
    m->SetPath(PATH_SLIDE, PathParams{240, y, 240 - m->width, y, 0, {-10, 0, 10}});
    if (!addItem(m, 141)) return nullptr;
    signDuckPresent = 1;
    return m;
}

void LeafField::ChooseNewItem() {
    const int32_t q = rng.Next(197) % 17;
    if (q == 7) {
        if (!signDuckPresent) AddSignDuck();
    } else if (q == 8 || q == 11 || q == 12 || q == 14) {
        if (rng.Next(20) % 5 == 0) AddRedBird();
    } else if (round_context::specialEffectsOn()) {
        AddLeaf();
    }
}

LeafResult LeafField::Update(const InputEvent& event, uint8_t loaded, int mode) {
    LeafResult result;
    if (mode != 0) return result;
    if (popupFrames == 1) {
        dropPopup();
        if (surface != nullptr) surface->redrawAll();
    } else if (popupFrames > 1) {
        --popupFrames;
    }
    const bool shot = event.type == EV_PEN_DOWN && loaded == 1;
    const int32_t scrollX = surface != nullptr ? surface->scrollX() : 0;
    const int32_t scrollY = surface != nullptr ? surface->scrollY() : 0;
    for (int i = 1; i < itemCount; ++i) {
        Mover* m = items[i];
        if (shot && m->HitTest(event.x, event.y, scrollX, scrollY) != HIT_NONE) {
            const int32_t x = m->sprite->x;
            const int32_t y = m->sprite->y;
            const uint8_t kind = m->kind;
            StartHitEffect(x, y, kind);
            RemoveItem(i);
            return Outcome(x, y, kind);
        }
        m->Step(surface);
        if (m->finished) RemoveItem(i);
    }
    for (int j = 0; j < effectCount; ++j) {
        EffectSprite* e = effects[j];
        e->Update();
        if (e->finished) {
            dropSlot(effects, j, effectCount, surface);
            if (surface != nullptr) surface->redrawAll();
        }
    }
    if (itemCount > 0) {
        Mover* fisherman = items[0];
        if (shot && fisherman->HitTest(event.x, event.y, scrollX, scrollY) != HIT_NONE) {
            return Outcome(fisherman->sprite->x, fisherman->sprite->y, ITEM_FISHERMAN);
        }
        const int32_t r = rng.Next(100);
        if (r < 30 && r % 8 == 0 && fisherman->sprite->y > 250) fisherman->sprite->y -= 1;
    }
    if (itemCount < 9 && rng.Next(30) == 7) ChooseNewItem();
    return result;
}
