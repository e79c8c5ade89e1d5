#include "game/round_context.h"

#include "audio/game_sound.h"
#include "persist/settings.h"
#include "shell/app_context.h"

namespace round_context {

void playEffect(SoundId id) {
    if (GameSound* s = appContext().sound) s->PlaySound(id, false, false);
}

void playMusic(SoundId id) {
    if (GameSound* s = appContext().sound) s->PlaySound(id, true, true);
}

void stopAllSounds() {
    if (GameSound* s = appContext().sound) s->StopAllSounds();
}

Settings* settings() {
    return appContext().settings;
}

bool specialEffectsOn() {
    Settings* s = appContext().settings;
    return s != nullptr && s->specialEffects != 0;
}

bool menuAnimationOn() {
    Settings* s = appContext().settings;
    return s != nullptr && s->menuAnimation != 0;
}

}  // namespace round_context
