// The few long-lived objects the round's actors reach: the sound facade and the
// settings. Every helper tolerates a missing object so that the actors can run in a
// bare test fixture.
#pragma once

#include "audio/sound_ids.h"

class Settings;

namespace round_context {

// An effect played once.
void playEffect(SoundId id);
// Music, looped.
void playMusic(SoundId id);
void stopAllSounds();
// The switches of the settings object; off when there is no settings object.
bool specialEffectsOn();
bool menuAnimationOn();
Settings* settings();

}  // namespace round_context
