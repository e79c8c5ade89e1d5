// The round's second group of targets: drifting leaves (which may turn out to be clocks
// or the bonus item), the sign duck, red birds and the fisherman.
#pragma once

#include <cstdint>

#include "game/random.h"
#include "graphics/sprite.h"
#include "shell/input_event.h"

class EffectSprite;
class Mover;
class SceneSurface;

enum ItemKind : uint8_t {
    ITEM_LEAF = 1,
    ITEM_SIGN_DUCK = 5,
    ITEM_RED_BIRD = 6,
    ITEM_FISHERMAN = 7,
};

enum LeafCode : int32_t {
    LEAF_NOTHING = 0,
    LEAF_POINTS = 1,
    LEAF_TIME = 2,
    LEAF_BONUS = 3,
};

struct LeafResult {
    int32_t code = LEAF_NOTHING;
    int16_t value = 0;
};

class LeafField {
  public:
    static constexpr int kMaxItems = 10;
    static constexpr int kMaxEffects = 10;

    LeafField() : rng(1) {}
    virtual ~LeafField();
    LeafField(const LeafField&) = delete;
    LeafField& operator=(const LeafField&) = delete;

    void Init(SceneSurface* surface);
    void Clear();
    void Hide();
    void Show();
    LeafResult Update(const InputEvent& event, uint8_t loaded, int mode);

    Mover* items[kMaxItems] = {};
    uint8_t itemCount = 0;
    EffectSprite* effects[kMaxEffects] = {};
    uint8_t effectCount = 0;
    uint8_t signDuckPresent = 0;
    FrameSet leafFrames, burstFrames, signFrames[3], signDropFrames, redDownFrames, redUpFrames,
        redFallFrames, fishermanFrames;
    Picture* clockPlus = nullptr;
    Picture* plusFifty = nullptr;
    Picture* plusOne = nullptr;
    Picture* bonusItem = nullptr;
    Picture* clockMinus = nullptr;
    Picture* minusFifty = nullptr;
    Sprite* popup = nullptr;
    uint16_t popupFrames = 0;
    uint16_t bonusCooldown = 0;
    SceneSurface* surface = nullptr;
    Random rng;
    bool rngSeeded = false;

    // Public for the tests: the building blocks of Update.
    LeafResult Outcome(int32_t x, int32_t y, uint8_t kind);
    void StartHitEffect(int32_t x, int32_t y, uint8_t kind);
    void RemoveItem(int i);
    void ChooseNewItem();
    Mover* AddLeaf();
    Mover* AddRedBird();
    Mover* AddSignDuck();

  private:
    bool addItem(Mover* m, uint8_t layer);
    void showPopup(Picture* picture, int32_t x, int32_t y, bool blend, uint16_t frames);
    void dropPopup();
    void releaseArt();
};

extern LeafField leafField;
