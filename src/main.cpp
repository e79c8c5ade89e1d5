// The desktop entry point: the command line, then the game.
#include "platform/platform.h"
#include "platform/sdl/command_line.h"
#include "screens/screen_factory.h"
#include "shell/application.h"

int main(int argc, char** argv) {
    using platform::desktop::CommandLine;
    const CommandLine line = platform::desktop::parseCommandLine(argc, argv);
    if (line.action != CommandLine::Action::Run) return platform::desktop::answerCommandLine(line);
    platform::desktop::setWindowOptions(line.window);
    application().createGame = createGame;
    return platform::runMain([] { return application().Main(); });
}
