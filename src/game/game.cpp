#include "game/game.h"

#include "audio/sound_ids.h"
#include "game/duck_flock.h"
#include "game/hit_effects.h"
#include "game/leaf_field.h"
#include "game/round_clock.h"
#include "game/round_context.h"
#include "game/scene_props.h"
#include "game/score_counter.h"
#include "game/score_popups.h"
#include "game/shell_magazine.h"
#include "game/shot_marks.h"
#include "graphics/animation_list.h"
#include "graphics/picture_font.h"
#include "graphics/picture_ids.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "shell/app_context.h"
#include "shell/view.h"
#include "shell/view_ids.h"
#include "shell/view_manager.h"

namespace {
// What the pen-down hit besides ducks; a shot mark is left only for plain misses.
constexpr int kMarkOtherTarget = 7;
constexpr int kMarkHiddenTarget = 8;

// The order the views are created and registered in, and the order they are freed in.
constexpr ViewId kCreateOrder[] = {VIEW_GAME,    VIEW_ABOUT,      VIEW_MAIN_MENU,  VIEW_TRANSITION,
                                   VIEW_SPLASH,  VIEW_OPTIONS,    VIEW_SCORES,     VIEW_HELP,
                                   VIEW_CREDITS, VIEW_NAME_ENTRY, VIEW_PAUSE_MENU, VIEW_TITLE};
constexpr ViewId kReleaseOrder[] = {VIEW_GAME,    VIEW_MAIN_MENU, VIEW_TRANSITION, VIEW_SPLASH,
                                    VIEW_HELP,    VIEW_OPTIONS,   VIEW_SCORES,     VIEW_NAME_ENTRY,
                                    VIEW_CREDITS, VIEW_ABOUT,     VIEW_PAUSE_MENU, VIEW_TITLE};

// Shows a picture once: it stays in the back buffer, the sprite and picture go at once.
void paintPictureOnce(SceneSurface* surface, int id, int w, int h, int x, int y) {
    Picture picture(id, w, h);
    if (picture.image == nullptr || picture.image->bitmap == nullptr) return;
    Sprite sprite(&picture, x, y, false, false, false, 0);
    surface->paintOnly(&sprite);
    surface->redrawAll();
}
}  // namespace

Game::~Game() {
    delete popupFont;
}

int32_t Game::Accuracy(int32_t hits, int32_t shots) {
    if (shots <= 0) return 0;
    const double percent = static_cast<double>(hits) / static_cast<double>(shots) * 100.0;
    int32_t value = static_cast<int32_t>(percent);
    if (value > 127) value = 127;
    if (value < -128) value = -128;
    return value;
}

void Game::Setup() {
    surface = new SceneSurface(1, 3, 240, 320);
    surface->loadTiles([](int, int row) { return PIC_SCENE_TOP - row; });
    ViewManager* vm = appContext().viewManager;
    for (ViewId id : kCreateOrder) {
        views[id] = createScreen != nullptr ? createScreen(id, surface) : nullptr;
        if (views[id] != nullptr && vm != nullptr) vm->AddView(views[id], id);
    }
    if (vm != nullptr) vm->StartWith(VIEW_SPLASH);
    if (AnimationList* list = animationList()) list->surface = surface;
    savedScrollX = 0;
    savedScrollY = 0;
}

void Game::Release() {
    for (ViewId id : kReleaseOrder) {
        delete views[id];
        views[id] = nullptr;
    }
    // A program closed from a paused round still has its pop-ups: they let go of the
    // surface and the font here, while both exist, not in their own destructor at exit.
    scorePopups.Clear();
    delete popupFont;
    popupFont = nullptr;
    if (surface != nullptr) {
        if (AnimationList* list = animationList(); list != nullptr && list->surface == surface) {
            list->clear();
            list->surface = nullptr;
        }
        surface->list.clear();
        surface->freeTiles();
        delete surface;
        surface = nullptr;
    }
}

void Game::scrollBy(int32_t dy) {
    surface->addScroll(0, dy);
    shellMagazine.FollowScroll();
    roundClock.FollowScroll();
    scoreCounter.FollowScroll();
    surface->drawScene();
}

void Game::storeStatistics() {
    Settings* s = round_context::settings();
    if (s == nullptr) return;
    const int32_t score = scoreCounter.total;
    s->pendingScore = score;
    s->resultPending = 1;
    s->killedDucks = shotDucks;
    s->killedLeaves = shotLeaves;
    s->negPoints = penalties;
    s->percentageSuccess = Accuracy(shotDucks + shotLeaves + otherHits, shotsFired);
    s->lastScore = score;
    for (size_t i = 0; i < sizeof(s->playerName) / sizeof(s->playerName[0]); ++i) {
        s->playerName[i] = s->userName[i];
    }
}

int Game::ProcessEvent(InputEvent& event) {
    ViewManager* vm = appContext().viewManager;
    if (vm == nullptr || surface == nullptr) return 1;

    // Back from a view that the pause menu opened: the round goes on where it was.
    if (event.type == EV_VIEW_ENTER && vm->currentId == VIEW_GAME &&
        vm->previousId != VIEW_MAIN_MENU && vm->previousId != VIEW_PAUSE_MENU) {
        round_context::stopAllSounds();
        round_context::playMusic(SOUND_ROUND_MUSIC);
        ResumeRound();
        surface->drawScene();
        surface->redrawAll();
        return 0;
    }
    if (vm->currentId != VIEW_GAME) return 1;

    if (event.type == EV_KEYS) {
        const int n = event.keyCount < 0 ? 0 : (event.keyCount > 11 ? 11 : event.keyCount);
        for (int i = 0; i < n; ++i) {
            switch (event.keys[i]) {
                case KEY_UP:
                    if (surface->scrollY() >= 10) scrollBy(-10);
                    break;
                case KEY_DOWN:
                    if (surface->scrollY() <= 629) scrollBy(10);
                    break;
                case KEY_HW3:
                    if (shellMagazine.shells == 0) shellMagazine.Reload();
                    break;
                default:
                    break;
            }
        }
    }

    if (event.type == EV_VIEW_ENTER && vm->previousId == VIEW_MAIN_MENU) {
        clearAnimated();
        surface->setScroll(0, kStartScrollY);
        surface->drawScene();
        StartRound();
        return 0;
    }

    const uint8_t loaded = shellMagazine.shells > 0 ? 1 : 0;
    const FlockResult ducks = duckFlock.Update(event, loaded, 0);
    scorePopups.Update();
    if (ducks.code == FLOCK_HIT) {
        round_context::playEffect(SOUND_DUCK_HIT);
        if (round_context::specialEffectsOn()) hitEffects.Spawn(ducks.x, ducks.y, ducks.kind);
        const int32_t points = ducks.kind < 3 ? 10 : 25;
        scorePopups.Spawn(ducks.x, ducks.y, ducks.kind, points);
        scoreCounter.AddPoints(points);
        ++shotDucks;
    }

    int hitMark = ducks.code;
    const LeafResult leaf = leafField.Update(event, loaded, 0);
    if (leaf.code == LEAF_POINTS) {
        scoreCounter.AddPoints(leaf.value);
        if (leaf.value == 1) {
            ++shotLeaves;
        } else if (leaf.value < 0) {
            penalties = static_cast<int16_t>(penalties - leaf.value);
            ++otherHits;
        } else if (leaf.value > 1) {
            ++otherHits;
        }
        hitMark = kMarkOtherTarget;
    } else if (leaf.code == LEAF_TIME) {
        roundClock.AddSeconds(static_cast<int8_t>(leaf.value));
        timeWarningGiven = 0;
        ++shotLeaves;
        hitMark = kMarkOtherTarget;
    } else if (leaf.code == LEAF_BONUS) {
        duckFlock.Update(event, 1, 10);
        ++otherHits;
        hitMark = kMarkOtherTarget;
    }

    const uint32_t now = platform::tickCount();
    if (shellMagazine.shells == 0 && lastBlinkTick + 140 < now && shellMagazine.strip != nullptr) {
        lastBlinkTick = now;
        if (shellMagazine.strip->current == 7) {
            shellMagazine.strip->advance();
        } else {
            shellMagazine.strip->stepBack();
        }
        // The strip is not animated by time, so it has to be asked to show the flip.
        surface->markDirty(shellMagazine.strip);
    }

    if (event.type == EV_PEN_DOWN) {
        const int32_t x = event.x;
        const int32_t y = event.y;
        if (x > 228 && x < 241 && y > 308 && y < 320) {
            if (round_context::menuAnimationOn()) {
                surface->paintAllOnly();
                surface->greyBackBuffer();
                surface->presentAll();
            }
            vm->GoTo(VIEW_PAUSE_MENU, 1);
            round_context::stopAllSounds();
            round_context::playMusic(SOUND_MENU_MUSIC);
            return 1;
        }
        const bool gunLoaded = shellMagazine.shells > 0;
        if (gunLoaded && !sceneProps.hiddenTargetHit &&
            SceneProps::OnHiddenTarget(x + surface->scrollX(), y + surface->scrollY())) {
            round_context::playEffect(SOUND_HIDDEN_TARGET);
            sceneProps.hiddenTargetHit = true;
            sceneProps.HitHiddenTarget();
            hitMark = kMarkHiddenTarget;
        }
        if (gunLoaded && round_context::specialEffectsOn() && hitMark != FLOCK_HIT &&
            hitMark != kMarkOtherTarget && hitMark != kMarkHiddenTarget) {
            shotMarks.Spawn(x, y);
        }
        if (x > 200 && y > 5 && y < 165 && !gunLoaded) {
            round_context::playEffect(SOUND_RELOAD);
            shellMagazine.Reload();
        } else if (!gunLoaded) {
            round_context::playEffect(SOUND_EMPTY_CLICK);
        } else {
            round_context::playEffect(SOUND_SHOT);
            shellMagazine.Shoot();
            if (shellMagazine.shells == 0) round_context::playEffect(SOUND_LAST_SHELL);
            ++shotsFired;
        }
    }

    shotMarks.Update();

    if (roundClock.Tick() > 0) {
        if (roundClock.secondsLeft <= 4 && timeWarningGiven == 0) {
            round_context::playEffect(SOUND_TIME_WARNING);
            timeWarningGiven = 1;
        }
        scoreCounter.Tick();
        hitEffects.Update();
        return 0;
    }
    storeStatistics();
    surface->paintAllOnly();
    return 1;
}

void Game::StartRound() {
    timeWarningGiven = 0;
    round_context::stopAllSounds();
    surface->setScroll(0, kStartScrollY);
    paintPictureOnce(surface, PIC_LOADING, 58, 184, 90, 707);

    sceneProps.Init(surface);
    duckFlock.Init(surface);
    shellMagazine.Init(212, 5, surface, 7);
    shotMarks.Init(surface);
    hitEffects.Init(surface);
    leafField.Init(surface);

    // A new font every round; the one of the round before goes first.
    delete popupFont;
    popupFont = new PictureFont();
    popupFont->loadFont(PIC_GAME_FONT, 22, 700, 48);
    scoreCounter.Init(3, 10, surface);

    roundClock.Init(3, 225, kRoundSeconds, surface);
    roundClock.Start();
    scorePopups.Init(surface, popupFont);

    if (Settings* s = round_context::settings()) s->resultPending = 0;
    lastBlinkTick = platform::tickCount();
    otherHits = shotDucks = shotLeaves = penalties = shotsFired = 0;

    round_context::playMusic(SOUND_ROUND_MUSIC);
    surface->drawScene();
}

void Game::EndRound() {
    duckFlock.Clear();
    sceneProps.Clear();
    shellMagazine.Clear();
    shotMarks.Clear();
    scoreCounter.Clear();
    roundClock.Clear();
    hitEffects.Clear();
    scorePopups.Clear();
    leafField.Clear();
    // Nothing uses the pop-up font once the pop-ups are gone.
    delete popupFont;
    popupFont = nullptr;

    if (surface == nullptr) return;
    surface->list.clear();
    clearAnimated();
    if (round_context::menuAnimationOn()) {
        surface->paintAllOnly();
        surface->greyBackBuffer();
        surface->presentAll();
    }
    round_context::playEffect(SOUND_GONG);
    platform::sleepMs(100);
    paintPictureOnce(surface, PIC_GAME_OVER, 68, 260, (240 - 68) / 2,
                     surface->scrollY() + (320 - 260) / 2);
    round_context::stopAllSounds();
    platform::sleepMs(1000);
    round_context::playMusic(SOUND_MENU_MUSIC);
    surface->setScroll(0, 0);
}

void Game::SuspendRound() {
    roundClock.Hide();
    scoreCounter.Hide();
    shellMagazine.Hide();
    sceneProps.Hide();
    duckFlock.Hide();
    leafField.Hide();
    // The round's short-lived pictures go too, or a puff, a burst or a "+25" would stay
    // frozen on top of the options, scores or help screen.
    shotMarks.Hide();
    hitEffects.Hide();
    scorePopups.Hide();
    if (surface != nullptr) {
        savedScrollX = surface->scrollX();
        savedScrollY = surface->scrollY();
    }
}

void Game::ResumeRound() {
    leafField.Show();
    duckFlock.Show();
    sceneProps.Show();
    shellMagazine.Show();
    scoreCounter.Show();
    roundClock.Show();
    scorePopups.Show();
    hitEffects.Show();
    shotMarks.Show();
    if (surface != nullptr) surface->setScroll(savedScrollX, savedScrollY);
}
