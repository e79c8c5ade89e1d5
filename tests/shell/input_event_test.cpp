// The main loop's message table and the rules that build one event per message.
#include "shell/input_event.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/platform.h"

namespace {

using platform::Message;
using P = std::pair<int, int>;
using Ints = std::vector<int>;
constexpr uint32_t kDown = 256, kUp = 257, kHotKey = 786, kTimer = 275;
constexpr uint32_t kPenMove = 512, kPenDown = 513, kPenUp = 514;

const auto key = [](uint32_t message, uint32_t code) { return Message{message, code, 0}; };
const auto pen = [](uint32_t message, int x, int y) {
    return Message{message, 0, platform::packPoint(x, y)};
};

// Applies the messages in turn and builds an event after each, like the main loop.
struct Loop {
    InputState state;
    InputEvent event;
    InputEvent& feed(const Message& m) {
        applyMessage(state, m);
        buildEvent(state, event);
        return event;
    }
    std::vector<int> keys() const { return {event.keys, event.keys + event.keyCount}; }
    // Feeds m and answers the event's type, position and listed keys.
    std::vector<int> all(const Message& m) {
        feed(m);
        std::vector<int> v = {event.type, event.x, event.y};
        return v.insert(v.end(), event.keys, event.keys + event.keyCount), v;
    }
};

// The press of every key in the order held keys are listed.
const Message kPresses[] = {key(kDown, 37),    key(kDown, 39),    key(kDown, 38),
                            key(kDown, 40),    key(kDown, 13),    key(kHotKey, 193),
                            key(kHotKey, 194), key(kHotKey, 195), key(kHotKey, 196)};

TEST(MessageTable, EachKeyPressesAndReleasesOnlyItselfAndIsListedInTheFixedOrder) {
    for (int k = 0; k < 9; ++k) {
        SCOPED_TRACE(kPresses[k].wParam);
        Loop loop;
        EXPECT_EQ(loop.feed(kPresses[k]).type, EV_KEYS);
        EXPECT_EQ(loop.keys(), Ints{k + 1});
        for (int i = 8; i >= 0; --i) loop.feed(kPresses[i]);  // press order does not matter
        std::vector<int> held = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        EXPECT_EQ(loop.keys(), held);
        loop.feed(key(kUp, kPresses[k].wParam));
        held.erase(held.begin() + k);
        EXPECT_EQ(loop.keys(), held);
    }
}

TEST(MessageTable, ButtonKeyDownsHotKeysAbove196AndOtherMessagesChangeNothing) {
    Loop loop;
    loop.feed(key(kHotKey, 194));
    std::vector<Message> inert = {key(kDown, 65), key(kTimer, 0), pen(kPenMove, 3, 4)};
    for (uint32_t code = 193; code <= 207; ++code) inert.push_back(key(kDown, code));
    for (uint32_t code = 197; code <= 207; ++code) inert.push_back(key(kHotKey, code));
    for (const Message& m : inert)  // the held button repeats until its own key-up
        EXPECT_EQ((std::pair{loop.feed(m).type, loop.keys()}),
                  std::pair(int(EV_KEYS), Ints{KEY_HW2}))
            << m.message << " " << m.wParam;
    EXPECT_EQ(loop.feed(key(kUp, 194)).type, EV_NONE);
    for (uint32_t code = 197; code <= 207; ++code)
        EXPECT_EQ(loop.feed(key(kHotKey, code)).type, EV_NONE) << code;
}

TEST(BuildEvent, PenDownThenDragOnEveryMessageThenOneUpKeysStillListed) {
    Loop loop;
    loop.feed(key(kDown, 40));
    EXPECT_EQ(loop.all(pen(kPenDown, 10, 300)), (Ints{EV_PEN_DOWN, 10, 300, KEY_DOWN}));
    for (const Message& m : {key(kTimer, 0), pen(kPenMove, -3, -4), key(kTimer, 0), key(kDown, 37)})
        EXPECT_EQ(loop.feed(m).type, EV_PEN_DRAG);
    // The latest pen position (signed), even on a tick.
    EXPECT_EQ(loop.all(key(kHotKey, 197)), (Ints{EV_PEN_DRAG, -3, -4, KEY_LEFT, KEY_DOWN}));
    EXPECT_EQ(loop.all(pen(kPenUp, 12, 22)), (Ints{EV_PEN_UP, 12, 22, KEY_LEFT, KEY_DOWN}));
    EXPECT_EQ(loop.feed(key(kTimer, 0)).type, EV_KEYS);
    Loop bare;  // a pen-up with nothing else held is still a pen-up, once
    bare.feed(pen(kPenDown, 1, 1));
    EXPECT_EQ(bare.all(pen(kPenUp, 2, 3)), (Ints{EV_PEN_UP, 2, 3}));
    EXPECT_EQ(bare.state.flags, 0);
    EXPECT_EQ(bare.feed(key(kTimer, 0)).type, EV_NONE);
}

TEST(BuildEvent, OnlyPenEventsWriteThePositionAndTheTypeIsAlwaysRebuilt) {
    Loop loop;
    for (const Message& m :
         {key(kDown, 37), key(kDown, 39), key(kDown, 13), key(kUp, 37), key(kUp, 39)})
        loop.feed(m);
    EXPECT_EQ(loop.event.keyCount, 1);
    // Stale keys beyond the count are left in the record.
    EXPECT_EQ(P(loop.event.keys[1], loop.event.keys[2]), P(KEY_ACTION, KEY_ACTION));
    loop.event.x = 77;  // a receiver wrote into the record
    loop.event.type = EV_CONTROL;
    EXPECT_EQ(loop.feed(key(kUp, 13)).type, EV_NONE);
    EXPECT_EQ(P(loop.event.keyCount, loop.event.keys[0]), P(0, KEY_ACTION));
    loop.feed(pen(kPenMove, 5, 5));  // a move without the pen down changes the state only
    EXPECT_EQ(loop.state.penX, 5);
    loop.event.type = EV_VIEW_ENTER;
    EXPECT_EQ(loop.feed(key(kHotKey, 193)).type, EV_KEYS);
    EXPECT_EQ(loop.event.x, 77);
    EXPECT_EQ(loop.feed(pen(kPenDown, 9, 9)).x, 9);
}

}  // namespace
