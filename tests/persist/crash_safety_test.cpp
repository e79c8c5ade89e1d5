// A save killed at any moment leaves one whole state: every value from the same save.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>

#include "persist/hiscore_table.h"
#include "persist/settings.h"
#include "store_fixture.h"

namespace {

void setName(char16_t* field, int size, char prefix, int32_t v) {
    const std::string text = prefix + std::to_string(v % 10000000);
    for (int i = 0; i < size; ++i) field[i] = i < static_cast<int>(text.size()) ? text[i] : 0;
}

// Every value of a save derives from one number.
void fillSettings(SettingsBlock& s, int32_t v) {
    s.lastScore = v, s.killedDucks = v + 1, s.killedLeaves = v + 2, s.negPoints = v + 3;
    s.percentageSuccess = v + 4, s.soundVolume = v % 60, s.musicVolume = (v + 1) % 60;
    s.menuAnimation = v & 1, s.specialEffects = !(v & 1);
    setName(s.userName, 9, 'U', v);
    setName(s.playerName, 9, 'P', v);
}

void expectWholeSettings(const SettingsBlock& s) {
    SettingsBlock expected{};
    fillSettings(expected, s.lastScore);
    EXPECT_EQ(std::memcmp(&s, &expected, sizeof expected), 0) << "mixed around " << s.lastScore;
}

void fillTable(HiScoreTable& t, int32_t v) {
    for (int i = 0; i < HiScoreTable::kRecords; ++i) {
        HiScoreRecord& r = t.records[i];
        r.score = v + i, r.extra1 = v, r.latest = i == v % 10;
        setName(r.name, 10, 'R', v);
    }
}

auto fields(const HiScoreRecord& r) {
    return std::tuple(r.score, r.extra1, r.latest, std::u16string(r.name));
}

using CrashSafetyTest = StoreFixture;

TEST_F(CrashSafetyTest, AKilledSaveLeavesTheOldOrTheNewStateWhole) {
    std::mt19937 rng(20240611);
    int32_t lastSeen = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        restart();  // the child must not share our connection
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            Settings s(nullptr);
            for (int32_t v = s.lastScore + 1;; ++v) {
                fillSettings(s, v);
                s.Save();
                fillTable(*s.hiScores, v);
                s.hiScores->Save();
                const char done = 1;
                if (write(fds[1], &done, 1) != 1) _exit(1);
            }
        }
        close(fds[1]);
        // Time a few saves, then kill at a random point of a later one (nothing asserted on time).
        const int saves = 2 + static_cast<int>(rng() % 3);
        char b;
        auto last = std::chrono::steady_clock::now();
        std::chrono::steady_clock::duration oneSave{};
        for (int i = 0; i < saves; ++i) {
            ASSERT_EQ(read(fds[0], &b, 1), 1);
            oneSave = std::chrono::steady_clock::now() - last;
            last += oneSave;
        }
        const auto until = last + oneSave * static_cast<int>(rng() % 1000) / 1000;
        while (std::chrono::steady_clock::now() < until) {
        }
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status));
        restart();
        Settings s(nullptr);
        expectWholeSettings(s);
        EXPECT_GE(s.lastScore, lastSeen + saves);  // reported saves are never lost
        lastSeen = s.lastScore;
        const HiScoreTable& t = *s.hiScores;
        const int32_t w = t.records[0].score;
        // The table is saved right after the settings: the same save or the one before.
        EXPECT_TRUE(w == s.lastScore || w == s.lastScore - 1) << w << " vs " << s.lastScore;
        HiScoreTable expected;
        fillTable(expected, w);
        for (int i = 0; i < HiScoreTable::kRecords; ++i)
            EXPECT_EQ(fields(t.records[i]), fields(expected.records[i])) << i;
        EXPECT_TRUE(brokenFiles().empty());  // a killed writer is recovery, not damage
        s.key = 0;
        if (HasFailure()) break;
    }
}

}  // namespace
