#include "game/score_counter.h"

#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"

ScoreCounter scoreCounter;

ScoreCounter::~ScoreCounter() {
    delete m_editField;
    delete m_font;
}

std::u16string ScoreCounter::TextOf(int32_t v) {
    const std::string s = std::to_string(v < 0 ? 0 : v);
    return std::u16string(s.begin(), s.end());
}

bool ScoreCounter::Init(int16_t dx_, int16_t dy_, Surface* surface_) {
    dx = dx_;
    dy = dy_;
    surface = surface_;
    total = shown = 0;
    step = 1;
    // A second Init without Clear: the old text leaves the surface before it is freed.
    if (surface_ != nullptr && m_editField != nullptr && m_editField->sprite != nullptr)
        surface_->removeSprite(m_editField->sprite);
    delete m_editField;
    m_editField = nullptr;
    delete m_font;
    m_font = new PictureFont();
    if (!m_font->loadFont(PIC_GAME_FONT, 22, 700, 48)) {
        delete m_font;
        m_font = nullptr;
        return false;
    }
    const int32_t sx = surface != nullptr ? surface->scrollX() : 0;
    const int32_t sy = surface != nullptr ? surface->scrollY() : 0;
    m_editField = new TextSprite();
    m_editField->initText(sx + dx, sy + dy, m_font, 10, true, false);
    erasedOnce = false;
    if (surface != nullptr && m_editField->sprite != nullptr) {
        surface->addSprite(m_editField->sprite, 220);
    }
    m_editField->setTextAndMark(TextOf(total), surface);
    return true;
}

void ScoreCounter::AddPoints(int32_t n) {
    shown = total;
    step = n < 0 ? -1 : 1;
    total += n;
    if (total < 0) total = 0;
}

void ScoreCounter::Tick() {
    if (shown == total) return;
    shown += step;
    const int32_t gap = shown > total ? shown - total : total - shown;
    if (gap < (step < 0 ? -step : step)) shown = total;
    if (m_editField == nullptr || m_editField->sprite == nullptr) return;
    if (!erasedOnce && surface != nullptr) {
        Sprite* s = m_editField->sprite;
        surface->canvas.eraseSpriteAt(*s, s->x, s->y);
    }
    m_editField->setTextAndMark(TextOf(shown), surface);
    erasedOnce = true;
}

void ScoreCounter::FollowScroll() {
    if (surface == nullptr || m_editField == nullptr || m_editField->sprite == nullptr) return;
    m_editField->sprite->x = surface->scrollX() + dx;
    m_editField->sprite->y = surface->scrollY() + dy;
    surface->markDirty(m_editField->sprite);
}

void ScoreCounter::Hide() {
    if (surface != nullptr && m_editField != nullptr && m_editField->sprite != nullptr) {
        surface->removeSprite(m_editField->sprite);
    }
}

void ScoreCounter::Show() {
    if (surface == nullptr || m_editField == nullptr || m_editField->sprite == nullptr) return;
    if (!surface->list.contains(m_editField->sprite)) {
        surface->addSprite(m_editField->sprite, 220);
    }
    m_editField->setTextAndMark(TextOf(total), surface);
}

void ScoreCounter::Clear() {
    if (surface != nullptr && m_editField != nullptr && m_editField->sprite != nullptr) {
        surface->removeSprite(m_editField->sprite);
    }
    if (m_font == nullptr) {
        platform::messageBox("m_font = NULL", "");
    } else {
        m_font->releaseFont();
        delete m_font;
        m_font = nullptr;
    }
    if (m_editField == nullptr) {
        platform::messageBox("m_editField = NULL", "");
    } else {
        m_editField->releaseText();
        delete m_editField;
        m_editField = nullptr;
    }
}
