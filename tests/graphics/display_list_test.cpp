#include "graphics/display_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/sprite.h"

namespace {

using Items = std::vector<Sprite*>;

// The items head to tail, checked against the tail-to-head walk.
Items order(DisplayList& list) {
    Items out, back;
    for (Sprite* s = list.first(); s != nullptr; s = list.next()) out.push_back(s);
    for (Sprite* s = list.last(); s != nullptr; s = list.previous()) back.insert(back.begin(), s);
    EXPECT_EQ(back, out) << "the backward links disagree";
    return out;
}

TEST(DisplayList, EqualKeysGoRightAfterTheFirstOfTheirKind) {
    // Keys in insertion order -> insertion numbers, head first.
    const std::pair<std::vector<uint16_t>, std::vector<int>> cases[] = {
        {{5, 3, 7, 5}, {1, 3, 0, 2}}, {{5, 5}, {0, 1}},       {{5, 5, 5}, {0, 2, 1}},
        {{1, 2, 3, 2}, {0, 3, 1, 2}}, {{9, 8, 7}, {2, 1, 0}}, {{3, 7, 7, 7}, {0, 3, 2, 1}}};
    for (const auto& [keys, expected] : cases) {
        Sprite s[8];
        DisplayList list;
        const int n = static_cast<int>(keys.size());
        for (int i = 0; i < n; ++i) list.insert(&s[i], keys[i]);
        Items want;
        for (int i : expected) want.push_back(&s[i]);
        EXPECT_EQ(order(list), want);
        EXPECT_EQ(list.count, n);
        EXPECT_EQ(list.itemAt(n - 1), want.back());
        EXPECT_EQ(list.itemAt(n), nullptr);
        EXPECT_EQ(list.itemAt(-1), nullptr);
        list.clear();
        EXPECT_FALSE(list.contains(&s[0]));
    }
}

TEST(DisplayList, RemovalRelinksTheEndsAndLetsATraversalGoOn) {
    Sprite s[4], absent;
    DisplayList list;
    for (int i = 0; i < 4; ++i) list.insert(&s[i], static_cast<uint16_t>(i));
    // A walk that removes the item under the cursor goes on with the next one: in the
    // middle, at the head going forwards, and at the tail going backwards.
    auto walk = [&list](bool forwards, std::initializer_list<Sprite*> drop) {
        Items seen;
        for (Sprite* p = forwards ? list.first() : list.last(); p != nullptr;
             p = forwards ? list.next() : list.previous()) {
            seen.push_back(p);
            if (std::find(drop.begin(), drop.end(), p) != drop.end()) list.remove(p);
        }
        return seen;
    };
    EXPECT_EQ(walk(true, {&s[1]}), (Items{&s[0], &s[1], &s[2], &s[3]}));
    EXPECT_EQ(walk(true, {&s[0]}), (Items{&s[0], &s[2], &s[3]}));
    list.insert(&s[0], 0);
    EXPECT_EQ(walk(false, {&s[3], &s[2]}), (Items{&s[3], &s[2], &s[0]}));
    EXPECT_EQ(order(list), Items{&s[0]});
    list.remove(&absent);
    EXPECT_EQ(list.count, 1);
    EXPECT_TRUE(list.head->prev == nullptr && list.tail->next == nullptr);
    list.first();
    list.remove(&s[0]);  // the only item, under the cursor
    EXPECT_EQ(list.count, 0);
    EXPECT_TRUE(list.head == nullptr && list.tail == nullptr && list.cursor == nullptr);
    EXPECT_EQ(list.first(), nullptr);
}

}  // namespace
