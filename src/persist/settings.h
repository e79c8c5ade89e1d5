// Everything the game remembers between runs apart from the score table: volumes,
// display switches, the player's name and the last round's statistics.
#pragma once

#include <cstdint>

class GameSound;
class HiScoreTable;

// The fields the options screen copies aside on entry and back on cancel: one block.
struct SettingsBlock {
    char16_t userName[9];
    char16_t playerName[9];
    int32_t lastScore;
    int32_t soundVolume;
    int32_t musicVolume;
    int32_t killedDucks;
    int32_t killedLeaves;
    int32_t negPoints;
    int32_t percentageSuccess;
    uint8_t menuAnimation;
    uint8_t specialEffects;
};

class Settings : public SettingsBlock {
  public:
    // Creates the score table (database created, then loaded) and loads the values.
    // `sound` may be null (tests): the volumes are then only kept here.
    explicit Settings(GameSound* sound);
    virtual ~Settings();  // saves values and table together (SaveAll), frees the table
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    void ResetToDefaults();
    // Writes every value (one transaction); one message box, naming the cause, when
    // any of them did not reach the store.
    void Save();
    // The shutdown save: every value and the score table in one transaction, so that
    // they are always from the same save; one message box when it fails.
    void SaveAll();

    SettingsBlock& block() { return *this; }

    HiScoreTable* hiScores = nullptr;
    int32_t pendingScore = 0;
    uint8_t resultPending = 0;
    intptr_t key = 0;  // the open registry key, 0 when none
    GameSound* sound = nullptr;

    // Names hold at most this many characters before their terminating null.
    static constexpr int kNameChars = 8;

  private:
    void Load();
    // Writes every value inside the caller's transaction; answers the first error.
    uint32_t WriteValues();
    void SetDefaultFields();
    void PushSoundVolume();
    void PushMusicVolume();
};
