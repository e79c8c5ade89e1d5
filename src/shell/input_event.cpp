// The main loop's table of window messages and the rules that turn the held keys and
// the pen into one event per message.
#include "shell/input_event.h"

#include "platform/platform.h"

namespace {

// Cursor pad and action key: virtual key -> flag bit.
uint16_t keyFlag(uint32_t vk) {
    switch (vk) {
        case platform::VK_RETURN:
            return FLAG_ACTION;
        case platform::VK_LEFT:
            return FLAG_LEFT;
        case platform::VK_UP:
            return FLAG_UP;
        case platform::VK_RIGHT:
            return FLAG_RIGHT;
        case platform::VK_DOWN:
            return FLAG_DOWN;
        default:
            return 0;
    }
}

// Hardware buttons 193..196 -> flag bit; the other buttons were taken over only so that
// they do nothing.
uint16_t buttonFlag(uint32_t code) {
    switch (code) {
        case 193:
            return FLAG_HW1;
        case 194:
            return FLAG_HW2;
        case 195:
            return FLAG_HW3;
        case 196:
            return FLAG_HW4;
        default:
            return 0;
    }
}

void setPen(InputState& state, uint32_t lParam) {
    state.penX = platform::pointX(lParam);
    state.penY = platform::pointY(lParam);
}

// The key bits in the order in which held keys are listed.
struct KeyBit {
    uint16_t flag;
    int32_t code;
};
constexpr KeyBit kKeyOrder[] = {
    {FLAG_LEFT, KEY_LEFT}, {FLAG_RIGHT, KEY_RIGHT},   {FLAG_UP, KEY_UP},
    {FLAG_DOWN, KEY_DOWN}, {FLAG_ACTION, KEY_ACTION}, {FLAG_HW1, KEY_HW1},
    {FLAG_HW2, KEY_HW2},   {FLAG_HW3, KEY_HW3},       {FLAG_HW4, KEY_HW4},
};

}  // namespace

void applyMessage(InputState& state, const platform::Message& msg) {
    switch (msg.message) {
        case platform::MSG_KEYDOWN:
            // Key-downs of the hardware buttons change nothing: they press through
            // their hot key.
            state.flags |= keyFlag(msg.wParam);
            break;
        case platform::MSG_KEYUP:
            state.flags &= static_cast<uint16_t>(~(keyFlag(msg.wParam) | buttonFlag(msg.wParam)));
            break;
        case platform::MSG_HOTKEY:
            state.flags |= buttonFlag(msg.wParam);
            break;
        case platform::MSG_LBUTTONDOWN:
            state.flags |= FLAG_PEN;
            setPen(state, msg.lParam);
            break;
        case platform::MSG_MOUSEMOVE:
            setPen(state, msg.lParam);
            break;
        case platform::MSG_LBUTTONUP:
            state.flags &= static_cast<uint16_t>(~FLAG_PEN);
            setPen(state, msg.lParam);
            break;
        default:
            break;
    }
}

void buildEvent(InputState& state, InputEvent& event) {
    event.keyCount = 0;
    if (state.flags == 0) event.type = EV_NONE;
    for (const KeyBit& k : kKeyOrder) {
        if ((state.flags & k.flag) == 0) continue;
        event.type = EV_KEYS;
        event.keys[event.keyCount++] = k.code;
    }
    const bool penBit = (state.flags & FLAG_PEN) != 0;
    if (penBit && state.penDown == 0) {
        event.type = EV_PEN_DOWN;
        state.penDown = 1;
    } else if (state.penDown != 0 && !penBit) {
        event.type = EV_PEN_UP;
        state.penDown = 0;
    } else if (state.penDown != 0) {
        event.type = EV_PEN_DRAG;
    } else {
        return;  // x and y keep what they had
    }
    event.x = state.penX;
    event.y = state.penY;
}
