#include "game/round_clock.h"

#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"

RoundClock roundClock;

namespace {
std::u16string twoDigits(uint32_t v) {
    std::string s = std::to_string(v);
    if (v < 10) s = "0" + s;
    return std::u16string(s.begin(), s.end());
}
}  // namespace

RoundClock::~RoundClock() {
    delete m_editField;
    delete m_font;
    delete iconSprite;
    delete iconPicture;
}

std::u16string RoundClock::FormatTime(uint32_t seconds) {
    return twoDigits(seconds / 60) + u":" + twoDigits(seconds % 60);
}

void RoundClock::showText() {
    if (m_editField != nullptr) m_editField->setTextAndMark(FormatTime(secondsLeft), surface);
}

void RoundClock::Init(int32_t ox, int32_t oy, uint32_t seconds, Surface* surface_) {
    // A second Init without Clear replaces the first set of objects: they leave the
    // surface they were shown on before they are freed, or its list would keep them.
    if (surface != nullptr) {
        if (m_editField != nullptr && m_editField->sprite != nullptr)
            surface->removeSprite(m_editField->sprite);
        if (iconSprite != nullptr) surface->removeSprite(iconSprite);
    }
    secondsLeft = initialSeconds = seconds;
    running = 0;
    offsetX = ox;
    offsetY = oy;
    surface = surface_;
    const int32_t sx = surface != nullptr ? surface->scrollX() : 0;
    const int32_t sy = surface != nullptr ? surface->scrollY() : 0;
    delete m_editField;
    delete m_font;
    m_font = new PictureFont();
    m_font->loadFont(PIC_GAME_FONT, 22, 700, 48);
    m_editField = new TextSprite();
    m_editField->initText(sx + offsetX, sy + offsetY, m_font, 10, true, false);
    if (surface != nullptr && m_editField->sprite != nullptr) {
        surface->addSprite(m_editField->sprite, 220);
    }
    showText();
    delete iconSprite;
    delete iconPicture;
    iconPicture = new Picture(PIC_MENU_ICON, 16, 16);
    iconSprite = new Sprite(iconPicture, sx + 224, sy + 304, false, true, false, kKeyFromImage);
    if (surface != nullptr) {
        surface->addSprite(iconSprite, 220);
        surface->markDirty(iconSprite);
    }
}

uint32_t RoundClock::Start() {
    lastSecondTick = platform::tickCount();
    running = 1;
    return secondsLeft;
}

uint32_t RoundClock::Stop() {
    running = 0;
    return secondsLeft;
}

uint32_t RoundClock::Tick() {
    if (!running) return secondsLeft;
    const uint32_t now = platform::tickCount();
    if (now - lastSecondTick <= 1000) return secondsLeft;
    lastSecondTick = now;
    if (secondsLeft > 0) --secondsLeft;
    showText();
    if (secondsLeft == 0) Stop();
    return secondsLeft;
}

void RoundClock::AddSeconds(int8_t delta) {
    if (delta < 0 && static_cast<uint32_t>(-delta) > secondsLeft) {
        secondsLeft = 0;
        Stop();
        return;
    }
    secondsLeft = static_cast<uint32_t>(static_cast<int64_t>(secondsLeft) + delta);
    lastSecondTick = platform::tickCount();
}

void RoundClock::FollowScroll() {
    if (surface == nullptr) return;
    if (m_editField != nullptr && m_editField->sprite != nullptr) {
        m_editField->sprite->x = surface->scrollX() + offsetX;
        m_editField->sprite->y = surface->scrollY() + offsetY;
        surface->markDirty(m_editField->sprite);
    }
    Tick();  // a second that is due is counted here already
    if (iconSprite != nullptr) {
        iconSprite->x = surface->scrollX() + 224;
        iconSprite->y = surface->scrollY() + 304;
        surface->markDirty(iconSprite);
    }
}

void RoundClock::Hide() {
    if (surface != nullptr) {
        if (m_editField != nullptr && m_editField->sprite != nullptr) {
            surface->removeSprite(m_editField->sprite);
        }
        if (iconSprite != nullptr) surface->removeSprite(iconSprite);
    }
    Stop();
}

void RoundClock::Show() {
    Start();
    if (surface == nullptr) return;
    if (m_editField != nullptr && m_editField->sprite != nullptr &&
        !surface->list.contains(m_editField->sprite)) {
        surface->addSprite(m_editField->sprite, 220);
    }
    showText();
    if (iconSprite != nullptr) {
        if (!surface->list.contains(iconSprite)) surface->addSprite(iconSprite, 220);
        surface->markDirty(iconSprite);
    }
}

void RoundClock::Clear() {
    secondsLeft = 0;
    lastSecondTick = 0;
    running = 0;
    if (surface != nullptr && m_editField != nullptr && m_editField->sprite != nullptr) {
        surface->removeSprite(m_editField->sprite);
    }
    if (m_font == nullptr) {
        platform::messageBox("m_font = NULL", "Error");
    } else {
        m_font->releaseFont();
        delete m_font;
        m_font = nullptr;
    }
    if (m_editField == nullptr) {
        platform::messageBox("m_editField = NULL", "Error");
    } else {
        m_editField->releaseText();
        delete m_editField;
        m_editField = nullptr;
    }
    if (iconSprite != nullptr) {
        if (surface != nullptr) surface->removeSprite(iconSprite);
        delete iconSprite;
        iconSprite = nullptr;
    }
    delete iconPicture;
    iconPicture = nullptr;
}
