#include "screens/main_menu_view.h"

#include <string_view>

#include "audio/sound_ids.h"
#include "graphics/animation_list.h"
#include "graphics/blitters.h"
#include "graphics/image.h"
#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "screens/button.h"
#include "screens/screen_helpers.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {

constexpr int kEndsProgram = -1;

struct MenuEntry {
    int slidePicture;
    int width, height;
    int startX, startY;
    int finalX, finalY;
    int pressedPicture;
    int leadsTo;  // a view id, or kEndsProgram
};

constexpr MenuEntry kEntries[MainMenuView::kButtons] = {
    {PIC_MENU_NEW_GAME, 40, 152, 11, -168, 11, 0, PIC_MENU_NEW_GAME_PRESSED,
     VIEW_GAME},  // New Game
    {PIC_MENU_OPTIONS, 40, 122, 57, -140, 57, 0, PIC_MENU_OPTIONS_PRESSED,
     VIEW_OPTIONS},                                                                     // Options
    {PIC_MENU_SCORE, 40, 110, 103, -112, 103, 0, PIC_MENU_SCORE_PRESSED, VIEW_SCORES},  // Score
    {PIC_MENU_HELP, 40, 92, 149, -98, 149, 0, PIC_MENU_HELP_PRESSED, VIEW_HELP},        // Help
    {PIC_MENU_EXIT, 40, 82, 195, -98, 195, 0, PIC_MENU_EXIT_PRESSED, kEndsProgram},     // Exit
    {PIC_MENU_NAME, 40, 158, 195, 330, 195, 162, PIC_MENU_NAME_PRESSED,
     VIEW_NAME_ENTRY},  // the player's name
};

constexpr int kSlideStep = 14;
constexpr int kNameStage = 5;

uint8_t slideStageValue = 0;
uint32_t lastSlideTick = 0;

std::u16string_view boundedName(const char16_t* name, size_t capacity) {
    size_t n = 0;
    while (n < capacity && name[n] != 0) ++n;
    return std::u16string_view(name, n);
}

}  // namespace

void MainMenuView::ResetRunState() {
    slideStageValue = 0;
    lastSlideTick = 0;
}

MainMenuView::MainMenuView(SceneSurface* s) : View(s) {}

MainMenuView::~MainMenuView() {
    releaseAll();
}

void MainMenuView::OnEnter() {
    platform::seedRandom(platform::tickCount());
    animating = 1;
    screens::paintPictureOnce(surface, PIC_MENU_BACKGROUND, 240, 320, 0, 0);

    releaseAll();
    for (int i = 0; i < kButtons; ++i) {
        const MenuEntry& e = kEntries[i];
        slidePictures[i] = new Picture(e.slidePicture, e.width, e.height);
        slideSprites[i] =
            new Sprite(slidePictures[i], e.startX, e.startY, false, false, false, kKeyFromImage);
    }
    const MenuEntry& named = kEntries[kNameButton];
    namePressedPicture = new Picture(named.pressedPicture, named.width, named.height);
    nameSpritePressed = new Sprite(namePressedPicture, named.startX, named.startY, false, false,
                                   false, kKeyFromImage);

    // The player's name is stamped into both pictures of the name button, so the button
    // shows it pressed and released without a separate text sprite.
    nameFont = new PictureFont;
    nameFont->loadFont(PIC_MENU_FONT, 18, 554, 48);
    nameLabel = new TextSprite;
    nameLabel->initText(203, 350, nameFont, 8, true, false);
    if (Settings* st = screens::settings()) {
        const std::u16string_view name = boundedName(st->userName, 9);
        if (!name.empty()) nameLabel->setText(name);
    }
    if (nameLabel->sprite) {
        nameLabel->sprite->y = 410 - nameLabel->sprite->height / 2;
        if (nameLabel->textImage) {
            for (Sprite* target : {slideSprites[kNameButton], nameSpritePressed}) {
                if (target && target->image && target->image->bitmap) {
                    blitImage(*nameLabel->textImage, *target->image, 9,
                              nameLabel->sprite->y - target->y, true, nameLabel->sprite->key,
                              false);
                }
            }
        }
    }
    nameFrames[0] = slideSprites[kNameButton]->image;
    nameFrames[1] = nameSpritePressed->image;

    if (surface) {
        for (Sprite* sp : slideSprites) surface->addSprite(sp, 2);
    }
    for (Button*& b : buttons) b = new Button;
}

void MainMenuView::finishSlideIn() {
    animating = 0;
    slideStageValue = 0;
    for (int i = 0; i < kButtons; ++i) {
        if (i == kNameButton) continue;
        if (surface && slideSprites[i]) surface->removeSprite(slideSprites[i]);
        delete slideSprites[i];
        slideSprites[i] = nullptr;
        delete slidePictures[i];
        slidePictures[i] = nullptr;
    }
    for (int i = 0; i < kButtons; ++i) {
        const MenuEntry& e = kEntries[i];
        if (i == kNameButton) {
            buttons[i]->Setup(static_cast<uint16_t>(i), e.finalX, e.finalY, e.width, e.height,
                              nameFrames, 2, Button::kNormal, 1, true, false, 100, 0xFFFF, false);
        } else {
            buttons[i]->SetupPlain(static_cast<uint16_t>(i), e.finalX, e.finalY, e.width, e.height,
                                   e.slidePicture, e.pressedPicture);
        }
    }
    for (int i : {0, 1, 2, 3, 5, 4}) {
        AddControl(buttons[i]);
        DrawControl(buttons[i], 200);
    }
}

int MainMenuView::HandleEvent(InputEvent& event) {
    if (animating) {
        const uint32_t now = platform::tickCount();
        Settings* st = screens::settings();
        Sprite* nameSprite = slideSprites[kNameButton];
        if (st && !st->menuAnimation) {
            slideStageValue = kNameStage;
            if (nameSprite) nameSprite->y = kEntries[kNameButton].finalY;
        }
        if (now == lastSlideTick) return 1;
        lastSlideTick = now;
        if (slideStageValue < kNameStage) {
            Sprite* sp = slideSprites[slideStageValue];
            if (sp && sp->y < 0) {
                sp->y += kSlideStep;
                if (surface) surface->markDirty(sp);
            } else {
                ++slideStageValue;
            }
        } else if (!nameSprite || nameSprite->y < kEntries[kNameButton].finalY + 1) {
            finishSlideIn();
        } else {
            nameSprite->y -= kSlideStep;
            if (nameLabel && nameLabel->sprite) nameLabel->sprite->y -= kSlideStep;
            if (surface) surface->markDirty(nameSprite);
        }
        if (surface) surface->redrawAll();
        return 1;
    }

    if (!OfferEvent(event) || event.type != EV_CONTROL) return 1;
    screens::playEffect(SOUND_BUTTON);
    const int id = event.keys[7];
    if (id < 0 || id >= kButtons) return 1;
    if (kEntries[id].leadsTo == kEndsProgram) return 2;
    if (ViewManager* vm = screens::viewManager()) {
        vm->GoTo(static_cast<uint8_t>(kEntries[id].leadsTo), 1);
    }
    return 1;
}

void MainMenuView::OnLeave() {
    if (surface) {
        // The menu stays on screen in grey until the next screen has drawn itself.
        surface->paintAllOnly();
        surface->greyBackBuffer();
        surface->presentAll();
    }
    clearAnimated();
    if (!nameFont) platform::messageBox("m_font = NULL", "");
    if (!nameLabel) platform::messageBox("m_editField = NULL", "");
    releaseAll();
}

void MainMenuView::releaseAll() {
    // Buttons first: the name button shows pictures that belong to the slide sprites.
    for (Button*& b : buttons) {
        if (!b) continue;
        for (int i = controlCount - 1; i >= 0; --i) {
            if (controls[i] == b) RemoveControl(static_cast<uint8_t>(i));
        }
        b->ReleasePictures();
        delete b;
        b = nullptr;
    }
    for (int i = 0; i < kButtons; ++i) {
        if (surface && slideSprites[i]) surface->removeSprite(slideSprites[i]);
        delete slideSprites[i];
        slideSprites[i] = nullptr;
        delete slidePictures[i];
        slidePictures[i] = nullptr;
    }
    if (surface && nameSpritePressed) surface->removeSprite(nameSpritePressed);
    delete nameSpritePressed;
    nameSpritePressed = nullptr;
    delete namePressedPicture;
    namePressedPicture = nullptr;
    nameFrames[0] = nameFrames[1] = nullptr;
    if (nameLabel) nameLabel->releaseText();
    delete nameLabel;
    nameLabel = nullptr;
    if (nameFont) nameFont->releaseFont();
    delete nameFont;
    nameFont = nullptr;
}
