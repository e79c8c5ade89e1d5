// The one input record every screen, control and the game object receive.
#pragma once

#include <cstdint>

enum EventType : int32_t {
    EV_NONE = 0,
    EV_PEN_DOWN = 1,
    EV_PEN_UP = 2,
    EV_PEN_DRAG = 3,
    EV_KEYS = 4,
    EV_CONTROL = 10,
    EV_TOGGLE = 11,
    EV_SLIDER_CHANGE = 14,
    EV_SLIDER_RELEASE = 15,
    EV_VIEW_ENTER = 20,
};

enum KeyCode : int32_t {
    KEY_LEFT = 1,
    KEY_RIGHT = 2,
    KEY_UP = 3,
    KEY_DOWN = 4,
    KEY_ACTION = 5,
    KEY_HW1 = 6,
    KEY_HW2 = 7,
    KEY_HW3 = 8,
    KEY_HW4 = 9,
};

// Bits of the main loop's persistent flag word.
constexpr uint16_t FLAG_PEN = 0x8000;
constexpr uint16_t FLAG_LEFT = 0x0400;
constexpr uint16_t FLAG_RIGHT = 0x0100;
constexpr uint16_t FLAG_UP = 0x0200;
constexpr uint16_t FLAG_DOWN = 0x0080;
constexpr uint16_t FLAG_ACTION = 0x0040;
constexpr uint16_t FLAG_HW1 = 0x4000;
constexpr uint16_t FLAG_HW2 = 0x2000;
constexpr uint16_t FLAG_HW3 = 0x1000;
constexpr uint16_t FLAG_HW4 = 0x0800;

// Field order and widths are fixed: controls write their notifications into the last
// four words of `keys` and receivers copy the record as a whole.
struct InputEvent {
    int32_t type = EV_NONE;
    int16_t x = 0;
    int16_t y = 0;
    int16_t keyCount = 0;
    int16_t reserved = 0;
    int32_t keys[11] = {};
};
static_assert(sizeof(InputEvent) == 56, "InputEvent layout is fixed");

// The persistent input state of the main loop: the flag word, the one-byte pen flag
// and the last pen position.
struct InputState {
    uint16_t flags = 0;
    uint8_t penDown = 0;
    int16_t penX = 0;
    int16_t penY = 0;
};

namespace platform {
struct Message;
}

// Updates the flag word and the pen position from one window message (the main loop's
// table). Returns nothing; messages that mean nothing change nothing.
void applyMessage(InputState& state, const platform::Message& msg);

// Builds one event from the persistent state after a message has been applied.
void buildEvent(InputState& state, InputEvent& event);
