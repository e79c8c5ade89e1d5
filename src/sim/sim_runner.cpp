// Turning script commands into messages at their virtual times.
#include "sim/sim_runner.h"

#include <cstdio>
#include <fstream>

#include "platform/desktop_mapping.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sim/round_hooks.h"
#include "sim/state_dump.h"

namespace {

// Message numbers from here up are the simulator's own and never reach the program.
constexpr uint32_t kMarker = 0x8000;
constexpr uint32_t kTapHoldMs = 10;  // one timer tick between pen-down and pen-up

platform::Message pen(uint32_t message, int x, int y) {
    return platform::Message{message, 0, platform::packPoint(x, y)};
}

}  // namespace

SimRunner::SimRunner(std::vector<SimCommand> commands, std::string outDir)
    : commands_(std::move(commands)), outDir_(std::move(outDir)) {}

void SimRunner::start() {
    headless::setMessageFilter([this](const platform::Message& m) {
        if (m.message != kMarker) return false;
        execute(m.wParam);
        return true;
    });
    queueCommand(0, platform::tickCount());
}

void SimRunner::queueCommand(size_t index, uint32_t at) {
    headless::postMessage(platform::Message{kMarker, static_cast<uint32_t>(index), 0}, at);
}

void SimRunner::tapAt(int x, int y, size_t next) {
    const uint32_t now = platform::tickCount();
    headless::postMessage(pen(platform::MSG_LBUTTONDOWN, x, y), now);
    headless::postMessage(pen(platform::MSG_LBUTTONUP, x, y), now + kTapHoldMs);
    queueCommand(next, now + kTapHoldMs);
}

void SimRunner::execute(size_t index) {
    const uint32_t now = platform::tickCount();
    if (index >= commands_.size()) {
        // The script ran out: close the window, as a player would.
        headless::postQuit(now);
        return;
    }
    const SimCommand& c = commands_[index];
    const size_t next = index + 1;
    switch (c.kind) {
        case SimCommand::Wait:
            queueCommand(next, now + static_cast<uint32_t>(c.a));
            return;
        case SimCommand::Tap:
            tapAt(c.a, c.b, next);
            return;
        case SimCommand::Down:
        case SimCommand::Drag:
        case SimCommand::Up: {
            const uint32_t msg = c.kind == SimCommand::Down   ? platform::MSG_LBUTTONDOWN
                                 : c.kind == SimCommand::Drag ? platform::MSG_MOUSEMOVE
                                                              : platform::MSG_LBUTTONUP;
            headless::postMessage(pen(msg, c.a, c.b), now);
            break;
        }
        case SimCommand::Press:
        case SimCommand::Release: {
            platform::Message m;
            if (platform::keyMessage(c.key, c.kind == SimCommand::Press, m))
                headless::postMessage(m, now);
            break;
        }
        case SimCommand::Minimise:
            headless::postMessage(platform::minimisedMessage(), now);
            break;
        case SimCommand::Unfocus:
            headless::postMessage(platform::focusLostMessage(), now);
            break;
        case SimCommand::TapDuck: {
            int x = 0, y = 0;
            std::string which;
            if (tapDuckPosition(x, y, which)) {
                std::printf("tap-duck: %s at (%d, %d)\n", which.c_str(), x, y);
                tapAt(x, y, next);
                return;
            }
            std::printf("tap-duck: no duck\n");
            break;
        }
        case SimCommand::Shot: {
            const std::string path = outDir_ + "/" + c.name + ".png";
            if (!headless::writeWindowPng(path)) {
                std::fprintf(stderr, "tallreed-sim: cannot write %s\n", path.c_str());
                allWritten_ = false;
            }
            break;
        }
        case SimCommand::Dump: {
            const std::string path = outDir_ + "/" + c.name + ".json";
            std::ofstream out(path, std::ios::binary);
            out << stateDumpJson();
            if (!out) {
                std::fprintf(stderr, "tallreed-sim: cannot write %s\n", path.c_str());
                allWritten_ = false;
            }
            break;
        }
        case SimCommand::Quit:
            headless::postQuit(now);
            return;
    }
    std::fflush(stdout);
    queueCommand(next, now);
}
