// The desktop program's command line: how the window starts, plus help and version.
#pragma once

#include <string>

#include "platform/sdl/window_options.h"

namespace platform::desktop {

constexpr int kMaxScale = 16;

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    WindowOptions window;
    std::string error;  // one line, for Action::Error
};

// Reads the arguments after the program name. The last of --fullscreen and --window
// counts; --scale takes a whole number 1..kMaxScale, as "--scale N" or "--scale=N".
CommandLine parseCommandLine(int argc, const char* const* argv);

// Prints what a non-Run answer asks for (help and version on stdout, an error with the
// usage on stderr) and returns the exit status: 0, or 2 for an error.
int answerCommandLine(const CommandLine& line);

// The usage line and the full help text (options and controls).
const char* usageLine();
std::string helpText();

}  // namespace platform::desktop
