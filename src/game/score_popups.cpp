#include "game/score_popups.h"

#include "game/moving_number.h"
#include "game/moving_picture.h"
#include "game/slots.h"
#include "graphics/animation_list.h"
#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "graphics/surface.h"

ScorePopups scorePopups;

namespace {
constexpr uint8_t kNumberLayer = 244;  // the numbers over everything of the scene
}  // namespace

ScorePopups::~ScorePopups() {
    freeSlots();
}

void ScorePopups::freeSlots() {
    for (int i = 0; i < kMax; ++i) {
        if (badges[i] != nullptr) {
            if (surface != nullptr) surface->removeSprite(badges[i]->sprite);
            removeAnimated(badges[i]->sprite);
        }
        delete badges[i];
        badges[i] = nullptr;
        if (numbers[i] != nullptr) numbers[i]->Hide();
        delete numbers[i];
        numbers[i] = nullptr;
    }
    count = 0;
}

void ScorePopups::Init(SceneSurface* surface_, PictureFont* font_) {
    freeSlots();
    largeBadge.free();
    smallBadge.free();
    largeBadge.loadRange(PIC_LARGE_BADGE, PIC_LARGE_BADGE, 62, 68);
    smallBadge.loadRange(PIC_SMALL_BADGE, PIC_SMALL_BADGE, 32, 34);
    surface = surface_;
    font = font_;
}

void ScorePopups::Spawn(int32_t x, int32_t y, uint8_t kind, int32_t points) {
    if (count >= kMax) return;
    const bool large = kind < 3;
    const uint8_t v = large ? 130 : 50;
    auto* badge = new MovingPicture();
    if (!badge->Start(x, y, large ? &largeBadge : &smallBadge, v)) {
        delete badge;
        return;
    }
    badge->SetPath(PATH_LINE, PathParams{x + 3, y, x + 35, y, 1});
    auto* number = new MovingNumber();
    number->Start(x, y, points, font, surface, kNumberLayer);
    number->SetPath(PATH_LINE, PathParams{x - 3, y, x - 15, y, 1});
    if (surface != nullptr) addAnimated(surface, badge->sprite, v);
    badges[count] = badge;
    numbers[count] = number;
    ++count;
}

void ScorePopups::Update() {
    const int atEntry = count;
    for (int j = 0; j < atEntry; ++j) {
        MovingPicture* badge = badges[j];
        MovingNumber* number = numbers[j];
        if (badge == nullptr || number == nullptr) continue;
        badge->Update();
        number->Update();
        if (!badge->finished && !number->finished) continue;
        const int last = count - 1;
        if (surface != nullptr) surface->removeSprite(badge->sprite);
        removeAnimated(badge->sprite);
        if (surface != nullptr) surface->drawScene();
        delete badge;
        badges[j] = badges[last];
        badges[last] = nullptr;
        number->Hide();
        delete number;
        numbers[j] = numbers[last];
        numbers[last] = nullptr;
        --count;
        if (surface != nullptr) surface->redrawAll();
    }
}

void ScorePopups::Hide() {
    hideSlots(badges, surface);
    for (MovingNumber* n : numbers) {
        if (n != nullptr) n->Hide();
    }
}

void ScorePopups::Show() {
    showSlots(badges, surface);
    for (MovingNumber* n : numbers) {
        if (n != nullptr) n->Show(kNumberLayer);
    }
}

void ScorePopups::Clear() {
    freeSlots();
    largeBadge.free();
    smallBadge.free();
    surface = nullptr;
    font = nullptr;
}
