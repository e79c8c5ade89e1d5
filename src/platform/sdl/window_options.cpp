// The command line's wishes for the window, kept until the window is made.
#include "platform/sdl/window_options.h"

namespace platform::desktop {
namespace {

WindowOptions& stored() {
    static WindowOptions options;
    return options;
}

}  // namespace

void setWindowOptions(const WindowOptions& options) {
    stored() = options;
}

const WindowOptions& windowOptions() {
    return stored();
}

}  // namespace platform::desktop
