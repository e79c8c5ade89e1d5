#include "persist/settings.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "audio/game_sound.h"
#include "persist/hiscore_table.h"
#include "store_fixture.h"

namespace {

static_assert(std::is_trivially_copyable_v<SettingsBlock>,
              "the options screen copies the block aside and back");

using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

std::u16string str(const char16_t* field) {
    return std::u16string(field);
}

// The numbers in the order they are read, as stored by storeNonDefaults() and by default.
std::vector<int32_t> values(const Settings& s) {
    return {s.soundVolume,       s.musicVolume, s.killedDucks,   s.killedLeaves,  s.negPoints,
            s.percentageSuccess, s.lastScore,   s.menuAnimation, s.specialEffects};
}
const std::vector<int32_t> kStored = {11, 22, 33, 44, 55, -7, 777, 0, 0};
const std::vector<int32_t> kDefaults = {64, 64, 0, 0, 0, 0, 0, 1, 1};

class SettingsTest : public StoreFixture {
  protected:
    void SetUp() override {
        StoreFixture::SetUp();
        headless::setAudioAvailable(false);  // a silent engine: no output thread
        sound = std::make_unique<GameSound>();
    }
    void TearDown() override {
        sound.reset();
        StoreFixture::TearDown();
    }
    // Saves a set of values that differ from every default.
    void storeNonDefaults() {
        Settings s(nullptr);
        std::memcpy(s.userName, u"ALICE", 12);
        std::memcpy(s.playerName, u"BOB", 8);
        s.soundVolume = 11, s.musicVolume = 22, s.killedDucks = 33, s.killedLeaves = 44;
        s.negPoints = 55, s.percentageSuccess = -7, s.lastScore = 777;
        s.menuAnimation = s.specialEffects = 0;
    }
    void expectVolumes(uint32_t effects, uint32_t music) const {
        EXPECT_EQ(std::pair(sound->effectVolume, sound->musicVolume), std::pair(effects, music));
    }
    std::unique_ptr<GameSound> sound;
};

TEST_F(SettingsTest, FirstRunStartsOnDefaultsAndPushesFullVolumes) {
    sound->SetSoundVolume(3);
    sound->SetMusicVolume(5);
    Settings s(sound.get());
    EXPECT_EQ(str(s.userName) + u"," + str(s.playerName), u"NONAME,NONAME");
    EXPECT_EQ(values(s), kDefaults);
    expectVolumes(64, 64);
    EXPECT_NE(s.key, 0);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsTest, ValuesSurviveARestartEachInItsOwnFormat) {
    storeNonDefaults();
    restart();
    EXPECT_EQ(getBytes(u"UserName"), wide(u"ALICE"));  // (length + 1) * 2 bytes
    EXPECT_EQ(getBytes(u"PersentageSuccess"), (Bytes{0xF9, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(getBytes(u"LastScores"), (Bytes{0x09, 0x03, 0, 0}));
    Settings s(sound.get());
    EXPECT_EQ(str(s.userName) + u"," + str(s.playerName), u"ALICE,BOB");
    EXPECT_EQ(values(s), kStored);
    expectVolumes(11, 22);
}

// One unreadable number throws away the ones read before it; the later ones stay.
TEST_F(SettingsTest, AnUnreadableNumberResetsWhatWasReadBeforeIt) {
    const char16_t* order[] = {u"SoundVol",    u"MusicVol",      u"KilledDucks",
                               u"KilledLeafs", u"NegPoints",     u"PersentageSuccess",
                               u"LastScores",  u"MenuAnimation", u"SpecialEffects"};
    enum Damage { Missing, WrongType, WrongSize };
    for (int broken = 0; broken < 9; ++broken) {
        for (Damage damage : {Missing, WrongType, WrongSize}) {
            SCOPED_TRACE(testing::Message() << "value " << broken << " damage " << damage);
            storeNonDefaults();
            if (damage == Missing) platform::regDeleteValue(openKey(), order[broken]);
            if (damage == WrongType) putBytes(order[broken], platform::REG_SZ, {1, 0, 0, 0});
            if (damage == WrongSize) putBytes(order[broken], platform::REG_DWORD, {1, 0, 0});
            restart();
            Settings s(sound.get());
            std::vector<int32_t> expected = kDefaults;
            std::copy(kStored.begin() + broken + 1, kStored.end(), expected.begin() + broken + 1);
            EXPECT_EQ(values(s), expected);
            expectVolumes(s.soundVolume, s.musicVolume);  // the sound follows what was kept
            EXPECT_EQ(str(s.userName), u"ALICE");         // names are read afterwards: not reset
            s.key = 0;  // leave the damaged key as it is for the next round
        }
    }
}

TEST_F(SettingsTest, SwitchesAreOnOnlyForExactlyOne) {
    for (uint32_t stored : {1u, 0u, 2u, 0xFFFFFFFFu, 0x101u}) {
        storeNonDefaults();
        putDword(u"MenuAnimation", stored);
        putDword(u"SpecialEffects", stored);
        restart();
        Settings s(nullptr);
        EXPECT_EQ(s.menuAnimation + 10 * s.specialEffects, stored == 1 ? 11 : 0) << stored;
        EXPECT_EQ(s.lastScore, 777);  // no reset happened
    }
}

TEST_F(SettingsTest, NamesAreCutToEightCharactersAndPlayerNameFollowsUserName) {
    const std::pair<Bytes, std::u16string> cases[] = {
        {wide(u"ABCDEFGHIJKL"), u"ABCDEFGH"},
        {wide(u"ABCDEFGH"), u"ABCDEFGH"},
        {wide(u"SHORT", false), u"SHORT"},  // no terminating null
        {{'X', 0, 'Y'}, u"X"},              // an odd byte count
        {wide(u""), u""},
        {Bytes(5000, 'A'), u"NONAME"},  // not a name at all: not read
    };
    for (const auto& [bytes, expected] : cases) {
        storeNonDefaults();
        putBytes(u"UserName", platform::REG_SZ, bytes);
        restart();
        Settings s(nullptr);
        EXPECT_EQ(str(s.userName) + u"," + str(s.playerName), expected + u",BOB");
        EXPECT_EQ(s.userName[8], 0);
        s.key = 0;
    }
    {
        Settings s(nullptr);
        for (char16_t& c : s.userName) c = u'Z';  // no room left for a null
        // The end of a round copies the name the player chose into the shown one.
        std::memcpy(s.playerName, s.userName, sizeof s.playerName);
    }
    restart();
    EXPECT_EQ(getBytes(u"UserName"), wide(u"ZZZZZZZZ"));  // written without reading past it
    EXPECT_EQ(getBytes(u"PlayerName"), getBytes(u"UserName"));
}

// However many values a save loses, it shows one box, and the box names the cause.
TEST_F(SettingsTest, AFailedSaveShowsOneBoxNamingTheCauseAndWritesTheRest) {
    const std::tuple<int, uint32_t, const char*> cases[] = {
        {1, platform::ERROR_DISK_FULL, "The disk is full."},
        {3, platform::ERROR_BUSY, "Another program is using the store."},
        {11, platform::ERROR_ACCESS_DENIED, "The store cannot be written: permission denied."},
    };
    for (const auto& [failures, error, cause] : cases) {
        SCOPED_TRACE(failures);
        headless::reset();
        putDword(u"SpecialEffects", 7);
        Settings s(nullptr);
        s.lastScore = 100 + failures;
        s.specialEffects = 0;
        platform::failNextStoreWrites(failures, error);
        s.Save();
        EXPECT_EQ(boxes(),
                  Strings{std::string("Can not add information into registry!\n") + cause});
        EXPECT_EQ(s.lastScore, 100 + failures);  // memory keeps what the player set
        // Values are written in a fixed order; SpecialEffects is the last one.
        EXPECT_EQ(getBytes(u"SpecialEffects")[0], failures < 11 ? 0 : 7);
        s.key = 0;
    }
}

TEST_F(SettingsTest, ResetLeavesTheTableAndThePendingResultAlone) {
    Settings s(sound.get());
    HiScoreTable* table = s.hiScores;
    s.pendingScore = 40, s.resultPending = 1, s.soundVolume = 3;
    const intptr_t key = s.key;
    s.ResetToDefaults();
    EXPECT_EQ(std::tuple(s.hiScores, s.pendingScore, s.resultPending, s.key),
              std::tuple(table, 40, 1, key));
    EXPECT_EQ(s.soundVolume, 64);
    expectVolumes(64, 64);
}

TEST_F(SettingsTest, WithoutARegistryKeyNothingIsSaved) {
    // The first two writes are the score database and the settings key: both refused.
    platform::failNextStoreWrites(2, platform::ERROR_DISK_FULL);
    {
        Settings s(sound.get());
        EXPECT_EQ(s.key, 0);
        EXPECT_EQ(s.soundVolume, 64);
        s.lastScore = 5;
    }
    const auto shown = boxes();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "Can not add information into registry!"), 0);
    restart();
    EXPECT_TRUE(getBytes(u"LastScores").empty());
}

TEST_F(SettingsTest, DestructionSavesTheScoreTable) {
    {
        Settings s(nullptr);
        HiScoreRecord r;
        r.score = 90;
        EXPECT_TRUE(s.hiScores->Insert(r));
    }
    restart();
    Settings s(nullptr);
    EXPECT_EQ(std::pair(s.hiScores->CountFilled(), s.hiScores->records[0].score), std::pair(1, 90));
}

}  // namespace
