#include "game/scene_props.h"

#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"

SceneProps sceneProps;

const PropPlace SceneProps::kPlaces[kCount] = {
    {PIC_REEDS_1, 56, 36, 141, 530, 90},
    {PIC_REEDS_2, 38, 28, 164, 566, 90},
    {PIC_REEDS_3, 38, 28, 126, 566, 90},
    {PIC_REEDS_4, 36, 38, 124, 594, 90},
    {PIC_REEDS_5, 42, 44, 160, 594, 90},
    {PIC_REEDS_6, 40, 34, 139, 638, 90},
    {PIC_REEDS_7, 32, 16, 202, 590, 90},
    {PIC_BANK, 42, 50, 198, 92, 120},
    {PIC_TREE_1, 34, 30, 57, 9, 90},
    {PIC_TREE_2, 28, 30, 91, 9, 90},
    {PIC_TREE_3, 38, 24, 56, 39, 90},
    {PIC_TREE_4, 38, 24, 94, 39, 90},
    {PIC_TREE_5, 34, 32, 66, 63, 90},
    {PIC_TREE_6, 28, 32, 100, 63, 90},
    {PIC_TREE_7, 44, 12, 132, 48, 90},
    {PIC_HUT_1, 50, 34, 128, 830, 90},
    {PIC_HUT_2, 20, 16, 108, 848, 90},
    {PIC_HUT_3, 70, 52, 108, 864, 90},
    {PIC_HUT_4, 70, 44, 108, 916, 90},
    {PIC_HUT_5, 18, 38, 90, 922, 90},
    {PIC_REED_CLUMP, 40, 32, 200, 237, 90},
    {PIC_CATTAIL, 24, 10, 213, 336, 90},
    {PIC_GRASS_TUFT, 32, 20, 201, 359, 90},
    {PIC_PEBBLE, 14, 14, 216, 400, 90},
    {PIC_HIDDEN_TARGET, 12, 10, 165, 914, 101},
};

SceneProps::~SceneProps() {
    freeAll();
}

void SceneProps::freeAll() {
    for (int i = 0; i < kCount; ++i) {
        delete sprites[i];
        sprites[i] = nullptr;
        delete pictures[i];
        pictures[i] = nullptr;
    }
}

bool SceneProps::OnHiddenTarget(int32_t x, int32_t y) {
    return x >= 160 && x <= 170 && y >= 909 && y <= 929;
}

void SceneProps::Init(Surface* surface_) {
    freeAll();
    surface = surface_;
    for (int i = 0; i < kCount; ++i) {
        const PropPlace& p = kPlaces[i];
        pictures[i] = new Picture(p.picture, p.width, p.height);
        sprites[i] = new Sprite(pictures[i], p.x, p.y, false, true, false, kKeyFromImage);
        if (surface != nullptr) surface->addSprite(sprites[i], p.layer);
    }
    hiddenTargetHit = false;
}

void SceneProps::HitHiddenTarget() {
    if (surface != nullptr && sprites[kHiddenTarget] != nullptr) {
        surface->removeSprite(sprites[kHiddenTarget]);
    }
}

void SceneProps::Hide() {
    if (surface == nullptr) return;
    for (Sprite* s : sprites) {
        if (s != nullptr) surface->removeSprite(s);
    }
}

void SceneProps::Show() {
    if (surface == nullptr) return;
    for (int i = 0; i < kCount; ++i) {
        Sprite* s = sprites[i];
        if (s != nullptr && !surface->list.contains(s)) surface->addSprite(s, kPlaces[i].layer);
    }
}

void SceneProps::Clear() {
    if (surface != nullptr) {
        for (Sprite* s : sprites) {
            if (s != nullptr) surface->removeSprite(s);
        }
    }
    freeAll();
    surface = nullptr;
}
