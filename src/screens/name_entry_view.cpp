#include "screens/name_entry_view.h"

#include <string_view>

#include "audio/sound_ids.h"
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
constexpr int kKeyRowStep = 34;
constexpr int kKeySize = 20;
}  // namespace

char16_t NameEntryView::characterFor(uint16_t id) {
    if (id == 2) return u'0';
    if (id >= 3 && id <= 11) return static_cast<char16_t>(u'1' + (id - 3));
    if (id >= 12 && id <= 37) return static_cast<char16_t>(u'A' + (id - 12));
    if (id == 38) return kBlank;
    return 0;
}

NameEntryView::Layout NameEntryView::layoutFor(uint16_t id) {
    if (id == kOk) return {203, 27, 26, 44, PIC_NAME_OK};
    if (id == kCancel) return {203, 86, 26, 98, PIC_NAME_CANCEL};
    if (id == 2) return {200, 287, kKeySize, kKeySize, PIC_KEY_0};
    if (id >= 3 && id <= 11) {
        const int k = id - 3;
        return {166, 287 - kKeyRowStep * k, kKeySize, kKeySize, PIC_KEY_1 + 2 * k};
    }
    if (id >= 12 && id <= 20) {
        const int k = id - 12;
        return {59, 287 - kKeyRowStep * k, kKeySize, kKeySize, PIC_KEY_A + 2 * k};
    }
    if (id >= 21 && id <= 29) {
        const int k = id - 21;
        return {93, 287 - kKeyRowStep * k, kKeySize, kKeySize, PIC_KEY_J + 2 * k};
    }
    if (id >= 30 && id <= 37) {
        const int k = id - 30;
        return {127, 269 - kKeyRowStep * k, kKeySize, kKeySize, PIC_KEY_S + 2 * k};
    }
    if (id == 38) return {200, 253, kKeySize, kKeySize, PIC_KEY_SPACE};
    return {200, 219, kKeySize, kKeySize, PIC_KEY_BACKSPACE};  // backspace
}

NameEntryView::NameEntryView(SceneSurface* s) : View(s) {}
NameEntryView::~NameEntryView() {
    releaseAll();
}

void NameEntryView::OnEnter() {
    releaseAll();
    backgroundPicture = std::make_unique<Picture>(PIC_NAME_BACKGROUND, 240, 320);
    background =
        std::make_unique<Sprite>(backgroundPicture.get(), 0, 0, false, false, false, kKeyFromImage);
    if (surface) {
        surface->addSprite(background.get(), 1);
        surface->redrawAll();
    }
    length = 0;
    for (char16_t& c : name) c = 0;
    font = new PictureFont;
    font->loadFont(PIC_MENU_FONT, 18, 554, 48);
    nameLabel = new TextSprite;
    nameLabel->initText(18, 70, font, kMaxLength, true, false);
    if (surface && nameLabel->sprite) {
        surface->addSprite(nameLabel->sprite, 2);
        // An empty text leaves the label's single blank showing.
        nameLabel->setText(u"");
        surface->markDirty(nameLabel->sprite);
    }
    okButton = new Button;
    cancelButton = new Button;
    for (uint16_t id = 0; id <= kBackspace; ++id) {
        Button* b = id == kOk ? okButton : id == kCancel ? cancelButton : new Button;
        if (id >= 2) keyButtons[id - 2] = b;
        const Layout l = layoutFor(id);
        b->SetupPlain(id, l.x, l.y, l.w, l.h, l.picture, l.picture + 1);
        AddControl(b);
        DrawControl(b, 200);
    }
}

void NameEntryView::showName(bool centre) {
    if (!nameLabel || !nameLabel->sprite) return;
    size_t n = 0;
    while (n < kMaxLength && name[n] != 0) ++n;
    nameLabel->setText(std::u16string_view(name, n));
    if (centre) nameLabel->sprite->y = 160 - nameLabel->sprite->height / 2;
    if (surface) {
        surface->markDirty(nameLabel->sprite);
        surface->redrawAll();
    }
}

int NameEntryView::HandleEvent(InputEvent& event) {
    // The screen answers every event itself, so nothing else would ever paint the keys
    // that entering it laid out: the player would face an empty keyboard.
    if (event.type == EV_VIEW_ENTER && surface) surface->redrawAll();
    if (!OfferEvent(event) || event.type != EV_CONTROL) return 1;
    screens::playEffect(SOUND_BUTTON);
    const uint16_t id = static_cast<uint16_t>(event.keys[7]);
    ViewManager* vm = screens::viewManager();
    if (id == kOk) {
        Settings* st = screens::settings();
        if (st && name[0] != 0) {
            for (int i = 0; i < 9; ++i) st->userName[i] = i < kMaxLength ? name[i] : 0;
        }
        if (vm) vm->GoTo(VIEW_MAIN_MENU, 1);
    } else if (id == kCancel) {
        if (vm) vm->GoTo(VIEW_MAIN_MENU, 1);
    } else if (id == kBackspace) {
        if (length == 1) {
            // The last character gives way to a blank, so the label shows something.
            length = 0;
            name[0] = kBlank;
            showName(false);
        } else if (length > 1) {
            --length;
            name[length] = 0;
            showName(true);
        }
    } else if (id >= 2 && id < kBackspace) {
        if (length < kMaxLength) {
            name[length] = characterFor(id);
            showName(true);
            ++length;
        }
    }
    return 1;
}

void NameEntryView::releaseAll() {
    if (nameLabel) nameLabel->releaseText();
    delete nameLabel;
    nameLabel = nullptr;
    if (font) font->releaseFont();
    delete font;
    font = nullptr;
    background.reset();
    backgroundPicture.reset();
    for (Button*& b : keyButtons) {
        if (b) b->ReleasePictures();
        delete b;
        b = nullptr;
    }
    for (Button** b : {&okButton, &cancelButton}) {
        if (*b) (*b)->ReleasePictures();
        delete *b;
        *b = nullptr;
    }
}

void NameEntryView::OnLeave() {
    if (surface) {
        if (background) surface->removeSprite(background.get());
        if (nameLabel && nameLabel->sprite) surface->removeSprite(nameLabel->sprite);
    }
    if (!font) platform::messageBox("m_font = NULL", "");
    if (!nameLabel) platform::messageBox("m_editField = NULL", "");
    ClearControls();
    releaseAll();
}
