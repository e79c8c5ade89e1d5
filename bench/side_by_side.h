// Side-by-side runs: each of our operations is timed next to a peer that does the same
// work on the same data, once both outputs were checked against each other; the ratios
// are printed after the timings. The data are the game's own pictures from the pack.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/bitmap.h"

namespace side_by_side {

// A picture of the pack: its resource bytes and its decoded pixels.
struct GamePicture {
    std::string name;
    int id = 0;
    std::vector<uint8_t> resource;
    std::unique_ptr<Bitmap> pixels;
    size_t bytes() const { return static_cast<size_t>(pixels->width) * pixels->height * 2; }
};

// The pictures every comparison runs on: a 240 x 320 scene tile, the 180 x 180 emblem,
// a near duck (68 x 68) and a far duck (48 x 48). Ends the program when the pack lacks
// one, as the figures would mean nothing on stand-ins.
const std::vector<GamePicture>& gamePictures();

// A benchmark that runs `work` once per iteration, `items` pixels or bytes each time. A
// name that was added before keeps its first benchmark, so pairs may share one side.
void add(const std::string& name, std::function<void()> work, int64_t items);

// Records a comparison of ours against a peer, by benchmark names. When `outputsAgree`
// is false the pair is reported as a mismatch (with `detail`) instead of a ratio, and
// the program ends with a failure after the run.
void pair(const std::string& what, const std::string& ours, const std::string& peer,
          bool outputsAgree, const std::string& detail = "");

// Runs the registered benchmarks (command line as for Google Benchmark) and prints one
// line per pair: peer time / our time, from CPU time per iteration, the median when the
// run was repeated. Returns the program's exit code.
int runAndReport(int argc, char** argv);

}  // namespace side_by_side
