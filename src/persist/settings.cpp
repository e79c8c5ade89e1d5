#include "persist/settings.h"

#include <cstring>
#include <string>
#include <vector>

#include "audio/game_sound.h"
#include "persist/hiscore_table.h"
#include "persist/save_failure.h"
#include "platform/platform.h"
#include "platform/store/store.h"

namespace {

constexpr const char16_t* kKeyPath = u"Quenmoor\\Tallreed";
constexpr const char* kWriteFailed = "Can not add information into registry!";
// A stored name longer than this many bytes is not a name of ours: it is left unread.
constexpr uint32_t kMaxStoredName = 4096;

void copyName(char16_t* field, const char16_t* text) {
    std::memset(field, 0, sizeof(char16_t) * (Settings::kNameChars + 1));
    for (int i = 0; i < Settings::kNameChars && text[i]; ++i) field[i] = text[i];
}

// A 4-byte REG_DWORD; anything else under that name counts as a failed read.
bool readDword(platform::HKEY key, const char16_t* name, int32_t& out) {
    uint8_t bytes[4] = {};
    uint32_t type = 0;
    uint32_t size = sizeof bytes;
    if (platform::regQueryValue(key, name, &type, bytes, &size) != platform::ERROR_SUCCESS)
        return false;
    if (type != platform::REG_DWORD || size != sizeof bytes) return false;
    out = static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | (bytes[1] << 8) |
                               (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
    return true;
}

// Reads a REG_SZ into a name field, cutting it after eight characters. A value that
// cannot be read leaves the field as it is.
void readName(platform::HKEY key, const char16_t* name, char16_t* field) {
    uint32_t size = 0;
    if (platform::regQueryValue(key, name, nullptr, nullptr, &size) != platform::ERROR_SUCCESS)
        return;
    if (size > kMaxStoredName) return;
    std::vector<uint8_t> bytes(size + 2, 0);
    uint32_t got = size;
    if (platform::regQueryValue(key, name, nullptr, bytes.data(), &got) != platform::ERROR_SUCCESS)
        return;
    char16_t text[Settings::kNameChars + 1] = {};
    for (uint32_t i = 0; i < Settings::kNameChars && 2 * i + 1 < got; ++i) {
        const auto c = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (c == 0) break;
        text[i] = c;
    }
    copyName(field, text);
}

uint32_t writeDword(platform::HKEY key, const char16_t* name, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                              static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    return platform::regSetValue(key, name, platform::REG_DWORD, bytes, sizeof bytes);
}

uint32_t writeName(platform::HKEY key, const char16_t* name, const char16_t* field) {
    // The field may have been filled to the brim; never read past it.
    int length = 0;
    while (length < Settings::kNameChars + 1 && field[length]) ++length;
    if (length > Settings::kNameChars) length = Settings::kNameChars;
    std::vector<uint8_t> bytes((length + 1) * 2, 0);
    for (int i = 0; i < length; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(field[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(field[i] >> 8);
    }
    return platform::regSetValue(key, name, platform::REG_SZ, bytes.data(),
                                 static_cast<uint32_t>(bytes.size()));
}

void showSaveFailure(const std::string& text) {
    platform::messageBox(text.c_str(), "Error", platform::BoxIcon::None);
}

}  // namespace

Settings::Settings(GameSound* s) : SettingsBlock{}, sound(s) {
    // Start from the defaults so that a name that cannot be read is never garbage.
    SetDefaultFields();
    // What opening the store found (a damaged file set aside, a file that cannot be
    // written, and why) is told once, in a box as well: a player who started the game
    // from a menu has no terminal to read it on.
    const std::string notice = platform::takeStoreNotice();
    if (!notice.empty()) platform::messageBox(notice.c_str(), "Error", platform::BoxIcon::Stop);
    hiScores = new HiScoreTable();
    hiScores->CreateDatabase();
    hiScores->Load();
    Load();
}

Settings::~Settings() {
    SaveAll();
    if (key) {
        platform::regCloseKey(key);
        key = 0;
    }
    delete hiScores;
    hiScores = nullptr;
}

void Settings::SetDefaultFields() {
    copyName(userName, u"NONAME");
    copyName(playerName, u"NONAME");
    lastScore = 0;
    soundVolume = 64;
    musicVolume = 64;
    killedDucks = 0;
    killedLeaves = 0;
    negPoints = 0;
    percentageSuccess = 0;
    menuAnimation = 1;
    specialEffects = 1;
}

void Settings::ResetToDefaults() {
    SetDefaultFields();
    PushSoundVolume();
    PushMusicVolume();
}

void Settings::PushSoundVolume() {
    if (sound) sound->SetSoundVolume(soundVolume);
}

void Settings::PushMusicVolume() {
    if (sound) sound->SetMusicVolume(musicVolume);
}

void Settings::Load() {
    platform::HKEY k = 0;
    uint32_t disposition = 0;
    if (platform::regCreateKey(platform::HKEY_CURRENT_USER, kKeyPath, &k, &disposition) !=
        platform::ERROR_SUCCESS) {
        key = 0;
        ResetToDefaults();
        return;
    }
    key = k;
    if (disposition == platform::REG_CREATED_NEW_KEY) {
        ResetToDefaults();
        return;
    }

    // A value that cannot be read throws away everything read before it; the values
    // after it are still read.
    struct Number {
        const char16_t* name;
        int32_t Settings::*field;
    };
    static constexpr Number numbers[] = {
        {u"SoundVol", &Settings::soundVolume},
        {u"MusicVol", &Settings::musicVolume},
        {u"KilledDucks", &Settings::killedDucks},
        {u"KilledLeafs", &Settings::killedLeaves},
        {u"NegPoints", &Settings::negPoints},
        {u"PersentageSuccess", &Settings::percentageSuccess},
        {u"LastScores", &Settings::lastScore},
    };
    for (const Number& n : numbers) {
        int32_t v = 0;
        if (!readDword(key, n.name, v)) {
            ResetToDefaults();
            continue;
        }
        this->*n.field = v;
        if (n.field == &Settings::soundVolume) PushSoundVolume();
        if (n.field == &Settings::musicVolume) PushMusicVolume();
    }
    struct Switch {
        const char16_t* name;
        uint8_t Settings::*field;
    };
    static constexpr Switch switches[] = {
        {u"MenuAnimation", &Settings::menuAnimation},
        {u"SpecialEffects", &Settings::specialEffects},
    };
    for (const Switch& s : switches) {
        int32_t v = 0;
        if (!readDword(key, s.name, v)) {
            ResetToDefaults();
            continue;
        }
        this->*s.field = v == 1;
    }
    readName(key, u"UserName", userName);
    readName(key, u"PlayerName", playerName);
}

uint32_t Settings::WriteValues() {
    uint32_t first = 0;
    auto note = [&first](uint32_t error) {
        if (!first) first = error;
    };
    note(writeDword(key, u"SoundVol", soundVolume));
    note(writeDword(key, u"MusicVol", musicVolume));
    note(writeDword(key, u"KilledDucks", killedDucks));
    note(writeDword(key, u"KilledLeafs", killedLeaves));
    note(writeDword(key, u"NegPoints", negPoints));
    note(writeDword(key, u"PersentageSuccess", percentageSuccess));
    note(writeDword(key, u"LastScores", lastScore));
    note(writeName(key, u"UserName", userName));
    note(writeName(key, u"PlayerName", playerName));
    note(writeDword(key, u"MenuAnimation", menuAnimation ? 1 : 0));
    note(writeDword(key, u"SpecialEffects", specialEffects ? 1 : 0));
    return first;
}

void Settings::Save() {
    if (!key) return;
    // All values land together: a crash in the middle keeps the previous save whole.
    platform::StoreTransaction transaction;
    const uint32_t error = WriteValues();
    const uint32_t committed = transaction.commit();
    // One box for the save, whatever number of values it cost, naming the cause.
    const uint32_t first = committed ? committed : error;
    if (first)
        platform::messageBox((std::string(kWriteFailed) + "\n" + saveCause(first)).c_str(), "",
                             platform::BoxIcon::None);
}

void Settings::SaveAll() {
    if (!key && !hiScores) return;
    // Settings and score table land in one transaction: a kill at any moment leaves both
    // from the same save.
    platform::StoreTransaction transaction;
    uint32_t error = key ? WriteValues() : 0;
    HiScoreTable::Records written;
    const uint32_t tableError = hiScores ? hiScores->Write(written) : 0;
    if (!error) error = tableError;
    const uint32_t committed = transaction.commit();
    if (!committed && hiScores) hiScores->Adopt(written);
    const uint32_t first = committed ? committed : error;
    if (first) showSaveFailure(saveFailureText("Settings and scores", first));
}
