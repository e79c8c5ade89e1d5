// The main loop's message table and the rules that build one event per message.
#include "shell/input_event.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"

namespace {

using platform::Message;

Message key(uint32_t message, uint32_t code) {
    return Message{message, code, 0};
}
Message pen(uint32_t message, int x, int y) {
    return Message{message, 0, platform::packPoint(x, y)};
}

// Applies the messages in turn and builds an event after each, like the main loop.
struct Loop {
    InputState state;
    InputEvent event;
    InputEvent& feed(const Message& m) {
        applyMessage(state, m);
        buildEvent(state, event);
        return event;
    }
};

TEST(MessageTable, EachMessageSetsOrClearsItsBit) {
    struct Case {
        const char* what;
        Message msg;
        uint16_t before;
        uint16_t after;
    };
    const Case cases[] = {
        {"return down", key(256, 13), 0, FLAG_ACTION},
        {"left down", key(256, 37), 0, FLAG_LEFT},
        {"up down", key(256, 38), 0, FLAG_UP},
        {"right down", key(256, 39), 0, FLAG_RIGHT},
        {"down down", key(256, 40), 0, FLAG_DOWN},
        {"return up", key(257, 13), FLAG_ACTION | FLAG_LEFT, FLAG_LEFT},
        {"left up", key(257, 37), FLAG_LEFT | FLAG_UP, FLAG_UP},
        {"up up", key(257, 38), FLAG_UP, 0},
        {"right up", key(257, 39), FLAG_RIGHT, 0},
        {"down up", key(257, 40), FLAG_DOWN | FLAG_PEN, FLAG_PEN},
        {"hot key 193", key(786, 193), 0, FLAG_HW1},
        {"hot key 194", key(786, 194), 0, FLAG_HW2},
        {"hot key 195", key(786, 195), 0, FLAG_HW3},
        {"hot key 196", key(786, 196), 0, FLAG_HW4},
        {"key up 193", key(257, 193), FLAG_HW1 | FLAG_HW2, FLAG_HW2},
        {"key up 194", key(257, 194), FLAG_HW2, 0},
        {"key up 195", key(257, 195), FLAG_HW3, 0},
        {"key up 196", key(257, 196), FLAG_HW4 | FLAG_HW1, FLAG_HW1},
        {"key down 193 does nothing", key(256, 193), 0, 0},
        {"key down 196 does nothing", key(256, 196), 0, 0},
        {"hot key 197 does nothing", key(786, 197), 0, 0},
        {"hot key 207 does nothing", key(786, 207), 0, 0},
        {"other key does nothing", key(256, 65), 0, 0},
        {"timer does nothing", key(275, 15000), FLAG_LEFT, FLAG_LEFT},
        {"pen down", pen(513, 1, 2), 0, FLAG_PEN},
        {"pen up", pen(514, 1, 2), FLAG_PEN | FLAG_DOWN, FLAG_DOWN},
        {"move keeps bits", pen(512, 1, 2), FLAG_PEN, FLAG_PEN},
    };
    for (const Case& c : cases) {
        InputState s;
        s.flags = c.before;
        applyMessage(s, c.msg);
        EXPECT_EQ(s.flags, c.after) << c.what;
    }
}

TEST(MessageTable, KeyDownsOfAllHardwareButtonsAndHotKeysAbove196ProduceNothing) {
    for (uint32_t code = 193; code <= 207; ++code) {
        Loop loop;
        EXPECT_EQ(loop.feed(key(256, code)).type, EV_NONE) << code;
        if (code >= 197) {
            EXPECT_EQ(loop.feed(key(786, code)).type, EV_NONE) << code;
        }
    }
}

TEST(MessageTable, PenMessagesCarryTheirPointOthersKeepIt) {
    InputState s;
    applyMessage(s, pen(513, 12, 300));
    EXPECT_EQ(s.penX, 12);
    EXPECT_EQ(s.penY, 300);
    applyMessage(s, pen(512, 239, 0));
    EXPECT_EQ(s.penX, 239);
    EXPECT_EQ(s.penY, 0);
    applyMessage(s, key(275, 0));
    applyMessage(s, key(256, 37));
    EXPECT_EQ(s.penX, 239);
    applyMessage(s, pen(514, 5, 6));
    EXPECT_EQ(s.penX, 5);
    EXPECT_EQ(s.penY, 6);
    applyMessage(s, pen(512, -3, -4));  // points are signed 16-bit
    EXPECT_EQ(s.penX, -3);
    EXPECT_EQ(s.penY, -4);
}

TEST(BuildEvent, HeldKeysAreListedInTheFixedOrder) {
    Loop loop;
    loop.feed(key(256, 38));
    const InputEvent& e = loop.feed(key(256, 37));
    EXPECT_EQ(e.type, EV_KEYS);
    ASSERT_EQ(e.keyCount, 2);
    EXPECT_EQ(e.keys[0], KEY_LEFT);
    EXPECT_EQ(e.keys[1], KEY_UP);

    InputState all;
    all.flags = FLAG_LEFT | FLAG_RIGHT | FLAG_UP | FLAG_DOWN | FLAG_ACTION | FLAG_HW1 | FLAG_HW2 |
                FLAG_HW3 | FLAG_HW4;
    InputEvent ev;
    buildEvent(all, ev);
    ASSERT_EQ(ev.keyCount, 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(ev.keys[i], i + 1);
}

TEST(BuildEvent, StaleKeysBeyondTheCountStay) {
    Loop loop;
    loop.feed(key(256, 37));
    loop.feed(key(256, 39));
    loop.feed(key(256, 13));
    EXPECT_EQ(loop.event.keyCount, 3);
    loop.feed(key(257, 37));
    const InputEvent& e = loop.feed(key(257, 39));
    EXPECT_EQ(e.keyCount, 1);
    EXPECT_EQ(e.keys[0], KEY_ACTION);
    EXPECT_EQ(e.keys[1], KEY_ACTION);  // from the message before
    EXPECT_EQ(e.keys[2], KEY_ACTION);  // from three messages back
    const InputEvent& idle = loop.feed(key(257, 13));
    EXPECT_EQ(idle.type, EV_NONE);
    EXPECT_EQ(idle.keyCount, 0);
    EXPECT_EQ(idle.keys[0], KEY_ACTION);
}

TEST(BuildEvent, PenDownThenDragOnEveryMessageThenOneUp) {
    Loop loop;
    EXPECT_EQ(loop.feed(pen(513, 10, 20)).type, EV_PEN_DOWN);
    EXPECT_EQ(loop.event.x, 10);
    EXPECT_EQ(loop.event.y, 20);
    const std::vector<Message> between = {key(275, 0), pen(512, 11, 21), key(275, 0), key(256, 40),
                                          key(786, 197)};
    for (const Message& m : between) EXPECT_EQ(loop.feed(m).type, EV_PEN_DRAG);
    EXPECT_EQ(loop.event.x, 11);  // the latest pen position, even on a timer tick
    EXPECT_EQ(loop.event.y, 21);
    EXPECT_EQ(loop.feed(pen(514, 12, 22)).type, EV_PEN_UP);
    EXPECT_EQ(loop.event.x, 12);
    EXPECT_EQ(loop.feed(key(275, 0)).type, EV_KEYS);  // Down is still held
    loop.feed(key(257, 40));
    EXPECT_EQ(loop.event.type, EV_NONE);
}

TEST(BuildEvent, PenTypeOverridesKeysButKeysAreStillListed) {
    Loop loop;
    loop.feed(key(256, 40));
    const InputEvent& down = loop.feed(pen(513, 50, 60));
    EXPECT_EQ(down.type, EV_PEN_DOWN);
    ASSERT_EQ(down.keyCount, 1);
    EXPECT_EQ(down.keys[0], KEY_DOWN);
    const InputEvent& drag = loop.feed(key(275, 0));
    EXPECT_EQ(drag.type, EV_PEN_DRAG);
    ASSERT_EQ(drag.keyCount, 1);
    EXPECT_EQ(drag.keys[0], KEY_DOWN);
}

TEST(BuildEvent, PenUpWithAnEmptyFlagWordIsStillAPenUp) {
    Loop loop;
    loop.feed(pen(513, 1, 1));
    const InputEvent& up = loop.feed(pen(514, 2, 3));
    EXPECT_EQ(loop.state.flags, 0);
    EXPECT_EQ(up.type, EV_PEN_UP);
    EXPECT_EQ(up.x, 2);
    EXPECT_EQ(up.y, 3);
    EXPECT_EQ(loop.feed(key(275, 0)).type, EV_NONE);
}

TEST(BuildEvent, PositionSurvivesIdleAndKeyEvents) {
    Loop loop;
    loop.feed(pen(513, 100, 200));
    loop.feed(pen(514, 101, 201));
    loop.event.x = 77;  // a receiver wrote into the record
    EXPECT_EQ(loop.feed(key(275, 0)).type, EV_NONE);
    EXPECT_EQ(loop.event.x, 77);
    loop.feed(pen(512, 5, 5));  // a move without the pen down changes the position only
    EXPECT_EQ(loop.event.type, EV_NONE);
    EXPECT_EQ(loop.event.x, 77);
    EXPECT_EQ(loop.feed(key(256, 37)).type, EV_KEYS);
    EXPECT_EQ(loop.event.x, 77);
    EXPECT_EQ(loop.feed(pen(513, 9, 9)).type, EV_PEN_DOWN);
    EXPECT_EQ(loop.event.x, 9);
}

TEST(BuildEvent, TypeNeverSurvivesFromTheMessageBefore) {
    Loop loop;
    loop.event.type = EV_CONTROL;  // a control rewrote the record last frame
    EXPECT_EQ(loop.feed(key(275, 0)).type, EV_NONE);
    loop.event.type = EV_VIEW_ENTER;
    EXPECT_EQ(loop.feed(key(786, 193)).type, EV_KEYS);
}

TEST(BuildEvent, HeldHardwareButtonRepeatsUntilItsKeyUp) {
    Loop loop;
    loop.feed(key(786, 193));
    for (int frame = 0; frame < 5; ++frame) {
        const InputEvent& e = loop.feed(key(275, 0));
        EXPECT_EQ(e.type, EV_KEYS);
        ASSERT_EQ(e.keyCount, 1);
        EXPECT_EQ(e.keys[0], KEY_HW1);
    }
    loop.feed(key(256, 193));  // a key-down of the button releases nothing
    EXPECT_EQ(loop.event.type, EV_KEYS);
    EXPECT_EQ(loop.feed(key(257, 193)).type, EV_NONE);
}

}  // namespace
