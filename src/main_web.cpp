// The browser's entry point: no command line; the web backend runs the game on a stack
// that it can suspend at every wait.
#include "platform/platform.h"
#include "shell/application.h"

int main() {
    return platform::runMain([] { return application().Main(); });
}
