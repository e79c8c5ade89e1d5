#include "screens/scores_view.h"

#include <string>

#include "audio/sound_ids.h"
#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "screens/button.h"
#include "screens/confirm_box.h"
#include "screens/screen_helpers.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {

constexpr int kRowsPerPage = 5;

std::u16string number(int32_t v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

std::u16string_view bounded(const char16_t* text, size_t capacity) {
    size_t n = 0;
    while (n < capacity && text[n] != 0) ++n;
    return std::u16string_view(text, n);
}

}  // namespace

ScoresView::ScoresView(SceneSurface* s) : View(s) {}

ScoresView::~ScoresView() {
    releaseAll();
}

std::unique_ptr<ConfirmBox> ScoresView::MakeConfirmBox() {
    return std::make_unique<ConfirmBox>(surface);
}

void ScoresView::paintBackground() {
    if (surface && background) surface->paintOnly(background.get());
}

void ScoresView::OnEnter() {
    firstRow = 0;
    Settings* st = screens::settings();
    if (st && st->userName[0] != 0 && st->resultPending) {
        newEntry = HiScoreRecord{};
        newEntry.latest = 1;
        newEntry.score = st->pendingScore;
        const std::u16string_view name = bounded(st->userName, 9);
        name.copy(newEntry.name, name.size());
        if (st->hiScores) st->hiScores->Insert(newEntry);
        st->resultPending = 0;
    }

    releaseAll();
    backgroundPicture = std::make_unique<Picture>(PIC_SCORES_BACKGROUND, 240, 320);
    background =
        std::make_unique<Sprite>(backgroundPicture.get(), 0, 0, false, false, false, kKeyFromImage);
    paintBackground();
    font = new PictureFont;
    font->loadFont(PIC_MENU_FONT, 18, 554, 48);
    label = new TextSprite;
    label->initText(0, 0, font, 15, true, false);

    backButton = new Button;
    backButton->SetupPlain(kBack, 200, 13, 26, 44, PIC_SCORES_OK, PIC_SCORES_OK_PRESSED);
    clearButton = new Button;
    clearButton->SetupPlain(kClear, 200, 70, 26, 90, PIC_SCORES_RESET, PIC_SCORES_RESET_PRESSED);
    resultsButton = new Button;
    resultsButton->SetupPlain(kResults, 200, 174, 26, 88, PIC_SCORES_STATS,
                              PIC_SCORES_STATS_PRESSED);
    tableButton = new Button;
    tableButton->SetupPlain(kTable, 200, 174, 26, 88, PIC_SCORES_TABLE, PIC_SCORES_TABLE_PRESSED);
    AddControl(backButton);
    AddControl(clearButton);
    AddControl(tableButton);

    resultsPage = 0;
    DrawPage();
}

void ScoresView::DrawText(std::u16string_view text, int x, int y) {
    if (!label || !label->sprite || !surface) return;
    // An empty text would leave the previous rendering in the label: draw nothing.
    if (text.empty()) return;
    label->setText(text);
    label->sprite->x = x;
    label->sprite->y = y - label->sprite->height;
    surface->paintOnly(label->sprite);
}

void ScoresView::swapPageButton(Button* show, Button* hide) {
    for (int i = 0; i < controlCount; ++i) {
        if (controls[i] == hide) {
            if (surface) surface->removeSprite(&hide->sprite);
            controls[i] = show;
        }
    }
    bool listed = false;
    for (int i = 0; i < controlCount; ++i) listed = listed || controls[i] == show;
    if (!listed) AddControl(show);
    DrawControl(show, 1);
}

void ScoresView::DrawPage() {
    if (!backButton) return;
    if (surface) {
        // Sprites shown earlier stay listed only once.
        surface->removeSprite(&backButton->sprite);
        surface->removeSprite(&clearButton->sprite);
        surface->removeSprite(&resultsButton->sprite);
        surface->removeSprite(&tableButton->sprite);
    }
    DrawControl(backButton, 1);
    DrawControl(clearButton, 1);
    Settings* st = screens::settings();
    HiScoreTable* table = st ? st->hiScores : nullptr;

    if (resultsPage) {
        clearButton->state = Button::kDisabled;
        swapPageButton(tableButton, resultsButton);
        if (surface) surface->redrawAll();
        if (st) {
            const std::u16string accuracy = number(st->percentageSuccess) + u" ,";
            const struct {
                int x;
                const char16_t* caption;
                std::u16string value;
            } rows[] = {
                {63, u"NAME:", std::u16string(bounded(st->playerName, 9))},
                {83, u"SCORE:", number(st->lastScore)},
                {103, u"SHOT DUCKS:", number(st->killedDucks)},
                {123, u"SHOT LEAVES:", number(st->killedLeaves)},
                {143, u"PENALTIES:", number(st->negPoints)},
                {163, u"ACCURACY:", accuracy},
            };
            for (const auto& r : rows) {
                DrawText(r.caption, r.x, 300);
                DrawText(r.value, r.x, 130);
            }
        }
    } else {
        clearButton->state = Button::kNormal;
        swapPageButton(resultsButton, tableButton);
        if (surface) surface->redrawAll();
        const int n = table ? table->CountFilled() : 0;
        if (n > 0) table->Sort();
        DrawText(u"NAME", 58, 270);
        DrawText(u"SCORE", 58, 130);
        for (int i = firstRow; i < n && i < firstRow + kRowsPerPage; ++i) {
            HiScoreRecord r;
            if (!table->GetRecord(i, r)) break;
            const int x = (i - firstRow) * 18 + 81;
            DrawText(bounded(r.name, 10), x, 270);
            DrawText(number(r.score), x, 130);
            if (r.latest) {
                screens::paintPictureOnce(surface, PIC_NEWEST_MARK, 20, 20,
                                          (i - firstRow) * 18 + 80, 280, true);
            } else {
                // Place 10 has two digits and is drawn further along to stay in the column.
                DrawText(number(i + 1), x, i + 1 == 10 ? 308 : 300);
            }
        }
    }
    if (surface) surface->redrawAll();
}

int ScoresView::HandleEvent(InputEvent& event) {
    if (event.type == EV_NONE) return 0;
    if (!OfferEvent(event) || event.type != EV_CONTROL) {
        // A pen-down that a button took has become a plain event by now: only taps
        // beside the buttons turn the table's page.
        const bool penDown = event.type == EV_PEN_DOWN;
        Settings* st = screens::settings();
        const int filled = st && st->hiScores ? st->hiScores->CountFilled() : 0;
        if (penDown && !resultsPage && filled > 3) {
            firstRow = firstRow == kRowsPerPage ? 0 : kRowsPerPage;
            paintBackground();
            DrawPage();
        }
        return 0;
    }
    screens::playEffect(SOUND_BUTTON);
    ViewManager* vm = screens::viewManager();
    switch (event.keys[7]) {
        case kBack: {
            Settings* st = screens::settings();
            if (vm && vm->previousId == VIEW_GAME && st && st->hiScores) st->hiScores->Save();
            if (vm) vm->GoBack();
            return 1;
        }
        case kClear: {
            std::unique_ptr<ConfirmBox> box = MakeConfirmBox();
            const uint8_t answer = box ? box->Run() : 0;
            if (answer == 1) {
                Settings* st = screens::settings();
                if (st && st->hiScores) st->hiScores->ClearAll();
            }
            box.reset();
            paintBackground();
            DrawPage();
            return 1;
        }
        case kResults:
            resultsPage = 1;
            paintBackground();
            DrawPage();
            return 1;
        case kTable:
            resultsPage = 0;
            paintBackground();
            DrawPage();
            return 1;
        default:
            return 0;
    }
}

void ScoresView::releaseAll() {
    for (Button** b : {&backButton, &clearButton, &resultsButton, &tableButton}) {
        if (*b) (*b)->ReleasePictures();
        delete *b;
        *b = nullptr;
    }
    if (label) label->releaseText();
    delete label;
    label = nullptr;
    if (font) font->releaseFont();
    delete font;
    font = nullptr;
    background.reset();
    backgroundPicture.reset();
}

void ScoresView::OnLeave() {
    ClearControls();
    if (!font) platform::messageBox("m_font = NULL", "");
    if (!label) platform::messageBox("m_editField = NULL", "");
    releaseAll();
}
