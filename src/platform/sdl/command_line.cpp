// The desktop program's command line.
#include "platform/sdl/command_line.h"

#include <cstdio>
#include <cstring>

#ifndef TALLREED_VERSION
#error "the build defines TALLREED_VERSION from the project's version"
#endif

namespace platform::desktop {
namespace {

// A whole number 1..kMaxScale and nothing else ("2x", "+3", " 3" and "03" are refused,
// so a typing slip is reported rather than read as something else).
bool readScale(const char* text, int& scale) {
    const size_t n = std::strlen(text);
    if (n == 0 || n > 2 || text[0] < '1' || text[0] > '9') return false;
    int value = 0;
    for (size_t i = 0; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (value > kMaxScale) return false;
    scale = value;
    return true;
}

CommandLine failure(std::string why) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = std::move(why);
    return line;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] != nullptr ? argv[i] : "";
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (arg == "--fullscreen") {
            line.window.mode = WindowOptions::Mode::Fullscreen;
        } else if (arg == "--window") {
            line.window.mode = WindowOptions::Mode::Window;
        } else if (arg == "--scale" || arg.starts_with("--scale=")) {
            std::string value;
            if (arg == "--scale") {
                if (i + 1 >= argc || argv[i + 1] == nullptr)
                    return failure("option '--scale' needs a number");
                value = argv[++i];
            } else {
                value = arg.substr(std::strlen("--scale="));
            }
            if (!readScale(value.c_str(), line.window.scale))
                return failure("'--scale " + value + "': give a whole number from 1 to " +
                               std::to_string(kMaxScale));
        } else if (arg.starts_with("-")) {
            return failure("unknown option '" + arg + "'");
        } else {
            return failure("unexpected argument '" + arg + "'");
        }
    }
    return line;
}

const char* usageLine() {
    return "Usage: tallreed [--fullscreen | --window] [--scale N] [--help] [--version]";
}

std::string helpText() {
    std::string text = usageLine();
    text +=
        "\n"
        "Tallreed, a duck shoot over a scrolling lake, for one player.\n"
        "\n"
        "Options:\n"
        "  --fullscreen   start in fullscreen\n"
        "  --window       start in a window\n"
        "  --scale N      open the window at N times 320 x 240 (1 to " +
        std::to_string(kMaxScale) +
        ", at most what the\n"
        "                 screen holds); the picture always takes the largest whole\n"
        "                 multiple that fits the window\n"
        "  -h, --help     show this help and exit\n"
        "  --version      show the version and exit\n"
        "\n"
        "Controls:\n"
        "  left mouse button    the stylus: tap to shoot, tap buttons and keys\n"
        "  right mouse button   reload\n"
        "  Left, Right          scroll the lake during a round\n"
        "  Enter or Space       the action key\n"
        "  1, 2, 3, 4           the four hardware buttons (3 reloads an empty gun)\n"
        "  Escape or P          pause menu during a round, and back to the round\n"
        "  F11 or Alt+Enter     fullscreen on and off\n"
        "  a finger             the stylus, on a touch screen\n"
        "  game controller      stick or D-pad moves an aim mark, A taps at it,\n"
        "                       B or right trigger reloads, shoulders scroll,\n"
        "                       Start pauses\n"
        "  leave the window     during a round the pause menu opens\n"
        "  close the window     quit; settings and scores are saved\n"
        "\n"
        "Settings and scores: $XDG_DATA_HOME/tallreed/tallreed.db\n"
        "(by default ~/.local/share/tallreed/tallreed.db). A file that cannot be\n"
        "written is loaded and left as it is; a damaged one is moved aside to\n"
        "tallreed.db.broken-<date>-<time>, never deleted.\n"
        "Single-copy lock and socket: $XDG_RUNTIME_DIR/tallreed.lock and .sock\n"
        "(without a private runtime folder: $XDG_CACHE_HOME/tallreed/, by default\n"
        "~/.cache/tallreed/).\n";
    return text;
}

int answerCommandLine(const CommandLine& line) {
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(helpText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("tallreed %s\n", TALLREED_VERSION);
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "tallreed: %s\n%s\n", line.error.c_str(), usageLine());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    return 0;
}

}  // namespace platform::desktop
