// Kills a writer in the middle of its shutdown saves and looks at what the store holds
// afterwards. Shared by the crash-safety test and the kill benchmark.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>

#include "persist/hiscore_table.h"
#include "persist/settings.h"
#include "platform/store/store.h"

namespace save_killer {

inline void setName(char16_t* field, int size, char prefix, int32_t v) {
    const std::string text = prefix + std::to_string(v % 10000000);
    for (int i = 0; i < size; ++i) field[i] = i < static_cast<int>(text.size()) ? text[i] : 0;
}

// Every value of save number v derives from v.
inline void fillSettings(SettingsBlock& s, int32_t v) {
    s.lastScore = v, s.killedDucks = v + 1, s.killedLeaves = v + 2, s.negPoints = v + 3;
    s.percentageSuccess = v + 4, s.soundVolume = v % 60, s.musicVolume = (v + 1) % 60;
    s.menuAnimation = v & 1, s.specialEffects = !(v & 1);
    setName(s.userName, 9, 'U', v);
    setName(s.playerName, 9, 'P', v);
}

inline void fillTable(HiScoreTable& t, int32_t v) {
    for (int i = 0; i < HiScoreTable::kRecords; ++i) {
        HiScoreRecord& r = t.records[i];
        r.score = v + i, r.extra1 = v, r.extra2 = 0, r.latest = i == v % 10;
        setName(r.name, 10, 'R', v);
    }
}

inline bool wholeSettings(const SettingsBlock& s) {
    SettingsBlock expected{};
    fillSettings(expected, s.lastScore);
    return std::memcmp(&s, &expected, sizeof expected) == 0;
}

inline bool wholeTable(const HiScoreTable& t) {
    HiScoreTable expected;
    fillTable(expected, t.records[0].score);
    for (int i = 0; i < HiScoreTable::kRecords; ++i) {
        const HiScoreRecord &a = t.records[i], &b = expected.records[i];
        if (a.score != b.score || a.extra1 != b.extra1 || a.latest != b.latest ||
            std::memcmp(a.name, b.name, sizeof a.name) != 0)
            return false;
    }
    return true;
}

struct Outcome {
    bool killed = false;   // the writer died of the signal, in the middle of its work
    int32_t reported = 0;  // saves it reported done before it was killed
    int32_t settings = 0;  // the save the settings found afterwards come from
    int32_t table = 0;     // the save the score table comes from
    bool settingsWhole = false;
    bool tableWhole = false;
};

// A writer saves settings and table (the shutdown save) again and again, each save
// from one number; after a few saves it is killed at a random moment of a later one.
// The store must then hold one whole save.
inline Outcome killOneSave(std::mt19937& rng) {
    Outcome out;
    platform::closeStore();  // the writer must not share our connection
    int fds[2];
    if (pipe(fds) != 0) return out;
    const pid_t pid = fork();
    if (pid < 0) return out;
    if (pid == 0) {
        close(fds[0]);
        Settings s(nullptr);
        for (int32_t v = s.lastScore + 1;; ++v) {
            fillSettings(s, v);
            fillTable(*s.hiScores, v);
            s.SaveAll();
            const char done = 1;
            if (write(fds[1], &done, 1) != 1) _exit(1);
        }
    }
    close(fds[1]);
    // Time a few saves, then kill at a random point of a later one.
    const int saves = 2 + static_cast<int>(rng() % 3);
    char b;
    auto last = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration oneSave{};
    bool fine = true;
    for (int i = 0; i < saves && fine; ++i) {
        fine = read(fds[0], &b, 1) == 1;
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
    out.killed = fine && WIFSIGNALED(status);
    out.reported = saves;
    platform::closeStore();
    Settings s(nullptr);
    out.settings = s.lastScore;
    out.table = s.hiScores->records[0].score;
    out.settingsWhole = wholeSettings(s);
    out.tableWhole = wholeTable(*s.hiScores);
    // Looking must not write: no shutdown save for this one.
    s.key = 0;
    delete s.hiScores;
    s.hiScores = nullptr;
    return out;
}

}  // namespace save_killer
