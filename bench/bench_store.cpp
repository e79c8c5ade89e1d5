// The shutdown save killed at a random moment, 1000 times over: every kill must leave
// settings and score table from one whole save (the crash-safety test does 200). Counts
// kills per second; a store found mixed, or a reported save lost, ends the run with an
// error instead of a number.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <random>
#include <string>

#include "../tests/persist/save_killer.h"
#include "platform/headless/headless.h"
#include "platform/store/store.h"

static void BM_KillTheShutdownSave(benchmark::State& state) {
    char folder[] = "/tmp/tallreed-bench-kill-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    platform::setStoreDirectory(folder);
    headless::reset();
    std::mt19937 rng(20240611);
    int32_t lastSeen = 0;
    for (auto _ : state) {
        const save_killer::Outcome o = save_killer::killOneSave(rng);
        const bool whole = o.killed && o.settingsWhole && o.tableWhole && o.table == o.settings;
        if (!whole || o.settings < lastSeen + o.reported) {
            state.SkipWithError(("the store was not one whole save after kill at save " +
                                 std::to_string(o.settings))
                                    .c_str());
            break;
        }
        lastSeen = o.settings;
    }
    state.counters["kills"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    platform::closeStore();
    platform::setStoreDirectory("");
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KillTheShutdownSave)->Iterations(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
