#include "side_by_side.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "graphics/picture_decoder.h"
#include "platform/platform.h"

namespace side_by_side {

namespace {

struct Pair {
    std::string what, ours, peer, detail;
    bool agree;
};

std::vector<Pair>& pairs() {
    static std::vector<Pair> list;
    return list;
}

GamePicture loadPicture(const char* name, int id, int w, int h) {
    GamePicture p;
    p.name = name;
    p.id = id;
    const auto res = platform::findResource("PCT", id);
    if (res.empty()) {
        std::fprintf(stderr, "picture %d (%s) is not in this build's pack\n", id, name);
        std::exit(2);
    }
    p.resource.assign(res.begin(), res.end());
    p.pixels = std::make_unique<Bitmap>(w, h);
    decodePictureStream(p.resource, reinterpret_cast<uint8_t*>(p.pixels->pixels), p.bytes());
    return p;
}

// Keeps every repetition's CPU time per iteration, by benchmark name, and the median
// that the library works out when it shows only the aggregates of repeated runs.
class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const double perIteration =
                run.cpu_accumulated_time / static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.str()].push_back(perIteration);
            else if (run.aggregate_name == "median")
                medians[run.run_name.str()] = perIteration;
        }
    }
    // The median of the repetitions, or a negative value when the benchmark did not run.
    double median(const std::string& name) const {
        if (const auto m = medians.find(name); m != medians.end()) return m->second;
        const auto it = times.find(name);
        if (it == times.end() || it->second.empty()) return -1;
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        return n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
    }

  private:
    std::map<std::string, std::vector<double>> times;
    std::map<std::string, double> medians;
};

}  // namespace

const std::vector<GamePicture>& gamePictures() {
    static const std::vector<GamePicture> list = [] {
        std::vector<GamePicture> v;
        v.push_back(loadPicture("tile", 147, 240, 320));
        v.push_back(loadPicture("emblem", 350, 180, 180));
        v.push_back(loadPicture("duck163", 163, 68, 68));
        v.push_back(loadPicture("duck208", 208, 48, 48));
        return v;
    }();
    return list;
}

void add(const std::string& name, std::function<void()> work, int64_t items) {
    static std::set<std::string> added;
    if (!added.insert(name).second) return;
    benchmark::RegisterBenchmark(name.c_str(), [work, items](benchmark::State& state) {
        for (auto _ : state) {
            work();
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * items);
    });
}

void pair(const std::string& what, const std::string& ours, const std::string& peer,
          bool outputsAgree, const std::string& detail) {
    pairs().push_back(Pair{what, ours, peer, detail, outputsAgree});
}

int runAndReport(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    bool mismatch = false;
    std::printf("\n%-60s %-30s %s\n", "ours vs peer (same work, same picture)", "check",
                "peer time / our time");
    for (const Pair& p : pairs()) {
        const double ours = collector.median(p.ours), peer = collector.median(p.peer);
        const std::string check =
            p.agree ? (p.detail.empty() ? "identical" : p.detail) : "MISMATCH " + p.detail;
        if (!p.agree) {
            mismatch = true;
            std::printf("%-60s %-30s -\n", p.what.c_str(), check.c_str());
        } else if (ours > 0 && peer > 0) {
            std::printf("%-60s %-30s %.2f x\n", p.what.c_str(), check.c_str(), peer / ours);
        }
    }
    return mismatch ? 1 : 0;
}

}  // namespace side_by_side
