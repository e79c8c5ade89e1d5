// The browser's entry point: no command line; the web backend runs the game on a stack
// that it can suspend at every wait.
#include "platform/platform.h"
#include "screens/screen_factory.h"
#include "shell/application.h"

int main() {
    application().createGame = createGame;
    return platform::runMain([] { return application().Main(); });
}
