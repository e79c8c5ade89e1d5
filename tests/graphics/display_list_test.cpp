#include "graphics/display_list.h"

#include <gtest/gtest.h>

#include <vector>

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
    const struct {
        std::vector<uint16_t> keys;
        std::vector<int> expected;  // insertion numbers, head first
    } cases[] = {
        {{5, 3, 7, 5}, {1, 3, 0, 2}}, {{5, 5}, {0, 1}},
        {{5, 5, 5}, {0, 2, 1}},  // each newcomer right after the head
        {{1, 2, 3, 2}, {0, 3, 1, 2}}, {{9, 8, 7}, {2, 1, 0}},
        {{3, 7, 7, 7}, {0, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        Sprite s[8];
        DisplayList list;
        for (size_t i = 0; i < c.keys.size(); ++i) list.insert(&s[i], c.keys[i]);
        Items want;
        for (int i : c.expected) want.push_back(&s[i]);
        EXPECT_EQ(order(list), want);
        EXPECT_EQ(list.count, c.keys.size());
        EXPECT_EQ(list.itemAt(static_cast<int>(c.keys.size()) - 1), want.back());
        EXPECT_EQ(list.itemAt(static_cast<int>(c.keys.size())), nullptr);
        EXPECT_EQ(list.itemAt(-1), nullptr);
        list.clear();
        EXPECT_FALSE(list.contains(&s[0]));
    }
}

TEST(DisplayList, RemovalRelinksTheEndsAndLetsATraversalGoOn) {
    Sprite s[4], absent;
    DisplayList list;
    for (int i = 0; i < 4; ++i) list.insert(&s[i], static_cast<uint16_t>(i));
    Items seen;
    for (Sprite* p = list.first(); p != nullptr; p = list.next()) {
        seen.push_back(p);
        if (p == &s[1]) list.remove(p);  // the item under the cursor
    }
    EXPECT_EQ(seen, (Items{&s[0], &s[1], &s[2], &s[3]}));
    list.remove(&absent);
    EXPECT_EQ(list.count, 3);
    list.remove(&s[3]);
    list.remove(&s[0]);
    EXPECT_EQ(order(list), Items{&s[2]});
    EXPECT_EQ(list.head->prev, nullptr);
    EXPECT_EQ(list.tail->next, nullptr);
    list.first();
    list.remove(&s[2]);  // the only item, under the cursor
    EXPECT_EQ(list.count, 0);
    EXPECT_TRUE(list.head == nullptr && list.tail == nullptr && list.cursor == nullptr);
    EXPECT_EQ(list.first(), nullptr);
}

}  // namespace
