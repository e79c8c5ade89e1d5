// tallreed-sim: runs the real program on the headless backend from a script.
//
//   tallreed-sim [--store DIR] [--clock-start MS] [--out DIR] [--audio FILE.wav] SCRIPT
//
// The exit status is the program's own (0 after a normal run, 1 when start-up failed);
// 2 means the simulator itself could not run (bad arguments, bad script, unwritable
// output).
#include <cerrno>
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
    std::string store, out = ".", audio, scriptPath;
    uint32_t clockStart = 1000000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--store" && hasValue) {
            store = argv[++i];
        } else if (arg == "--out" && hasValue) {
            out = argv[++i];
        } else if (arg == "--audio" && hasValue) {
            audio = argv[++i];
        } else if (arg == "--clock-start" && hasValue) {
            char* end = nullptr;
            errno = 0;
            const unsigned long v = std::strtoul(argv[++i], &end, 10);
            if (errno != 0 || *end != '\0' || argv[i][0] == '-' || v > 0xFFFFFFFFul) return usage();
            clockStart = static_cast<uint32_t>(v);
        } else if (!arg.empty() && arg[0] != '-' && scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return usage();
        }
    }
    if (scriptPath.empty()) return usage();

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
        setenv("XDG_DATA_HOME", store.c_str(), 1);
    }

    headless::reset(clockStart);
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
