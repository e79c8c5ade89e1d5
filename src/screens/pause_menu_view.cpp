#include "screens/pause_menu_view.h"

#include "audio/sound_ids.h"
#include "game/game.h"
#include "graphics/image.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "screens/button.h"
#include "screens/screen_helpers.h"
#include "shell/app_context.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {

constexpr int kPanelTop = 220;
constexpr int kButtonTop = 226;
constexpr uint32_t kSlidePeriodMs = 31;

struct PauseButton {
    PauseMenuView::Code code;
    int x;
    int normalPicture;
};

// Indexed by button id.
constexpr PauseButton kButtonTable[PauseMenuView::kButtons] = {
    {PauseMenuView::RESUME, 203, PIC_PAUSE_RESUME},  {PauseMenuView::EXIT, 174, PIC_PAUSE_EXIT},
    {PauseMenuView::HELP, 146, PIC_PAUSE_HELP},      {PauseMenuView::SCORE, 114, PIC_PAUSE_SCORE},
    {PauseMenuView::OPTIONS, 86, PIC_PAUSE_OPTIONS},
};

// The order in which the buttons are hit-tested: Resume, Exit, Options, Score, Help.
constexpr int kTestOrder[PauseMenuView::kButtons] = {0, 1, 4, 3, 2};

}  // namespace

PauseMenuView::PauseMenuView(SceneSurface* s) : View(s) {}
PauseMenuView::~PauseMenuView() {
    releaseAll();
}

void PauseMenuView::OnEnter() {
    lastSlideTime = 0;
    sliding = 1;
    pressedCode = NONE;
    releaseAll();
    panelPicture = std::make_unique<Picture>(PIC_PAUSE_PANEL, 170, 100);
    panel = std::make_unique<Sprite>(panelPicture.get(), 240, kPanelTop, false, true, false,
                                     kKeyFromImage);
    for (int i = 0; i < kButtons; ++i) {
        buttons[i] = new Button;
        buttons[i]->SetupPlain(static_cast<uint16_t>(i), kButtonTable[i].x, kButtonTop, 24, 88,
                               kButtonTable[i].normalPicture, kButtonTable[i].normalPicture + 1);
    }
    panelArea = Rect{240, kPanelTop, 240, 320};
    panelSource = Rect{0, 0, 0, 100};
    pressedSource = Rect{0, 0, 24, 88};
    pressedArea.top = kButtonTop;
    pressedArea.bottom = 314;
}

void PauseMenuView::drawPanel() {
    if (!panel || !panelPicture) return;
    screens::copyImagePartKeyed(surface, panelPicture->image, panelArea.left, kPanelTop,
                                panelSource, panel->key);
}

PauseMenuView::Code PauseMenuView::codeAt(int x, int y, Button** hit) {
    for (int index : kTestOrder) {
        Button* b = buttons[index];
        if (b && b->HitTest(static_cast<int16_t>(x), static_cast<int16_t>(y))) {
            *hit = b;
            return kButtonTable[index].code;
        }
    }
    *hit = nullptr;
    return NONE;
}

int PauseMenuView::HandleEvent(InputEvent& event) {
    const uint32_t now = platform::tickCount();
    Settings* st = screens::settings();
    if (sliding) {
        if (st && !st->menuAnimation) {
            if (panel) panel->x = 71;
            panelArea.left = 70;
            panelSource.right = 170;
            drawPanel();
            screens::presentRect(surface, panelArea);
            sliding = 0;
            return 0;
        }
        if (now - lastSlideTime < kSlidePeriodMs) return 0;
        lastSlideTime = now;
        if (!panel || panel->x <= 72) {
            sliding = 0;
            return 0;
        }
        panel->x -= 10;
        panelSource.right += 10;
        panelArea.left -= 10;
        drawPanel();
        screens::presentRect(surface, panelArea);
        return 0;
    }

    if (event.type == EV_PEN_DOWN) {
        drawPanel();
        Button* hit = nullptr;
        const Code code = codeAt(event.x, event.y, &hit);
        if (code == NONE) {
            screens::presentRect(surface, panelArea);
            return 0;
        }
        pressedCode = code;
        if (hit->frames && hit->frames->count > 1) {
            screens::copyImagePart(surface, hit->frames->frames[1], hit->sprite.x, kButtonTop,
                                   pressedSource);
        }
        screens::presentRect(surface, panelArea);
        return 0;
    }

    if (event.type == EV_PEN_UP) {
        drawPanel();
        screens::presentRect(surface, panelArea);
        Button* hit = nullptr;
        const Code code = codeAt(event.x, event.y, &hit);
        if (code == NONE || code != pressedCode) return 0;
        pressedCode = NONE;
        ViewManager* vm = screens::viewManager();
        Game* game = appContext().game;
        SceneSurface* scene = surface;
        switch (code) {
            case RESUME:
                if (scene) scene->drawScene();
                if (vm) vm->GoBack();
                screens::stopAllSounds();
                screens::playMusic(SOUND_ROUND_MUSIC);
                screens::playEffect(SOUND_BUTTON);
                break;
            case EXIT:
                if (game) game->EndRound();
                // Only the main menu stays remembered below the pause menu.
                if (vm) vm->historyDepth = 1;
                if (scene) scene->setScroll(0, 0);
                screens::playEffect(SOUND_BUTTON);
                if (vm) vm->GoTo(VIEW_MAIN_MENU, 1);
                break;
            case OPTIONS:
            case SCORE:
            case HELP: {
                if (game) game->SuspendRound();
                if (scene) scene->setScroll(0, 0);
                screens::playEffect(SOUND_BUTTON);
                // Not remembered: going back from there returns to the round itself.
                const ViewId to = code == OPTIONS ? VIEW_OPTIONS
                                  : code == SCORE ? VIEW_SCORES
                                                  : VIEW_HELP;
                if (vm) vm->GoTo(to);
                break;
            }
            default:
                break;
        }
    }
    return 0;
}

void PauseMenuView::releaseAll() {
    for (Button*& b : buttons) {
        if (b) b->ReleasePictures();
        delete b;
        b = nullptr;
    }
    panel.reset();
    panelPicture.reset();
}

void PauseMenuView::OnLeave() {
    releaseAll();
}
