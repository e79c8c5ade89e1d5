// tallreed-sim: runs the real program on the headless backend from a script.
//
//   tallreed-sim [--store DIR] [--clock-start MS] [--out DIR] [--audio FILE.wav] SCRIPT
//
// The exit status is the program's own (0 after a normal run, 1 when start-up failed);
// 2 means the simulator itself could not run (bad arguments, bad script, unwritable
// output).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "audio/game_sound.h"
#include "platform/headless/headless.h"
#include "screens/screen_factory.h"
#include "shell/application.h"
#include "sim/sim_args.h"
#include "sim/sim_runner.h"
#include "sim/sim_script.h"
#include "sim/wav_writer.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tallreed-sim [--store DIR] [--clock-start MS] [--out DIR] "
                 "[--audio FILE.wav] SCRIPT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    if (!parseSimArgs(argc, argv, options)) return usage();
    const std::string& scriptPath = options.script;
    const std::string& store = options.store;
    const std::string& out = options.out;
    const std::string& audio = options.audio;

    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tallreed-sim: cannot read %s\n", scriptPath.c_str());
        return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<SimCommand> commands;
    std::string error;
    if (!parseScript(text.str(), commands, error)) {
        std::fprintf(stderr, "tallreed-sim: %s: %s\n", scriptPath.c_str(), error.c_str());
        return 2;
    }

    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        std::fprintf(stderr, "tallreed-sim: cannot create %s\n", out.c_str());
        return 2;
    }
    if (!store.empty()) {
        std::filesystem::create_directories(store, ec);
        // Absolute: the data-folder rules ignore a relative XDG_DATA_HOME, and the run
        // would then use the player's own store.
        const std::string folder = std::filesystem::absolute(store, ec).string();
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }

    headless::reset(options.clockStart);
    GameSound::recordStarts = true;  // the dump lists every sound started
    if (!audio.empty()) headless::captureAudio(true);
    SimRunner runner(std::move(commands), out);
    runner.start();

    application().createGame = createGame;
    const int status = application().Main();

    if (!audio.empty()) {
        const platform::WaveFormat f = headless::capturedAudioFormat();
        if (!writeWav8(audio, f.rate, f.channels, headless::capturedAudio())) {
            std::fprintf(stderr, "tallreed-sim: cannot write %s\n", audio.c_str());
            return 2;
        }
    }
    if (!runner.allWritten()) return 2;
    return status;
}
