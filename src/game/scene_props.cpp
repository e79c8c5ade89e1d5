#include "game/scene_props.h"

#include "graphics/sprite.h"
#include "graphics/surface.h"

SceneProps sceneProps;

const PropPlace SceneProps::kPlaces[kCount] = {
    {261, 56, 36, 141, 530, 90},  {262, 38, 28, 164, 566, 90}, {263, 38, 28, 126, 566, 90},
    {264, 36, 38, 124, 594, 90},  {265, 42, 44, 160, 594, 90}, {266, 40, 34, 139, 638, 90},
    {267, 32, 16, 202, 590, 90},  {301, 42, 50, 198, 92, 120}, {284, 34, 30, 57, 9, 90},
    {285, 28, 30, 91, 9, 90},     {286, 38, 24, 56, 39, 90},   {287, 38, 24, 94, 39, 90},
    {289, 34, 32, 66, 63, 90},    {290, 28, 32, 100, 63, 90},  {291, 44, 12, 132, 48, 90},
    {292, 50, 34, 128, 830, 90},  {293, 20, 16, 108, 848, 90}, {294, 70, 52, 108, 864, 90},
    {295, 70, 44, 108, 916, 90},  {296, 18, 38, 90, 922, 90},  {297, 40, 32, 200, 237, 90},
    {298, 24, 10, 213, 336, 90},  {299, 32, 20, 201, 359, 90}, {300, 14, 14, 216, 400, 90},
    {302, 12, 10, 165, 914, 101},
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
