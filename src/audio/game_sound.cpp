#include "audio/game_sound.h"

#include <algorithm>

#include "audio/sound_engine.h"
#include "audio/wave_loader.h"
#include "platform/platform.h"

GameSound::GameSound() {
    engine = new SoundEngine();
    // Without a wave device the engine stays closed and the game runs silent.
    engine->Open(22050, true);
}

GameSound::~GameSound() {
    if (engine) {
        engine->Close();
        delete engine;
        engine = nullptr;
    }
}

void GameSound::PlaySound(int id, bool isMusic, bool loop) {
    if (recordStarts) started.push_back({platform::tickCount(), id});
    if (!engine || !engine->IsOpen()) return;
    SoundRequest request;
    if (!LoadWaveResource(id, request)) return;
    request.loop = loop ? 1 : 0;
    request.volume = std::min<uint32_t>(isMusic ? musicVolume : effectVolume, 64);
    engine->StartSample(request);
}

void GameSound::StopAllSounds() {
    if (engine) engine->StopAllSampleVoices();
}

void GameSound::SetMusicVolume(int v) {
    musicVolume = static_cast<uint32_t>(v);
}

void GameSound::SetSoundVolume(int v) {
    effectVolume = static_cast<uint32_t>(v);
}
