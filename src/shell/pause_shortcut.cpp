// Which messages reach the pause menu, and where they tap.
#include "shell/pause_shortcut.h"

#include "platform/platform.h"
#include "shell/view_ids.h"

namespace {

// Inside the pause icon in the screen's bottom-right corner (x 229..240, y 309..319).
constexpr int16_t kPauseIconX = 234, kPauseIconY = 314;
// Inside Resume on the pause panel (x 203..226, y 226..313).
constexpr int16_t kResumeX = 214, kResumeY = 270;

}  // namespace

bool pauseTapFor(const platform::Message& msg, int currentView, int16_t& x, int16_t& y) {
    using namespace platform;
    const bool away = (msg.message == MSG_SIZE && msg.wParam == SIZE_MINIMIZED) ||
                      (msg.message == MSG_ACTIVATE && msg.wParam == WA_INACTIVE);
    const bool pauseKey =
        msg.message == MSG_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_PAUSE);
    if (currentView == VIEW_GAME && (away || pauseKey)) {
        x = kPauseIconX;
        y = kPauseIconY;
        return true;
    }
    // Only a key goes back to the round: the player who turned away has not come back.
    if (currentView == VIEW_PAUSE_MENU && pauseKey) {
        x = kResumeX;
        y = kResumeY;
        return true;
    }
    return false;
}
