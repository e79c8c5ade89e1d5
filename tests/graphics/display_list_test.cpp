#include "graphics/display_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "graphics/sprite.h"

namespace {

using Items = std::vector<Sprite*>;

// The items head to tail, checked against the tail-to-head links and the count.
Items order(const DisplayList& list) {
    Items out, back;
    for (const DisplayList::Node* n = list.head; n != nullptr; n = n->next) out.push_back(n->item);
    for (const DisplayList::Node* n = list.tail; n != nullptr; n = n->prev)
        back.insert(back.begin(), n->item);
    EXPECT_EQ(back, out) << "the backward links disagree";
    EXPECT_EQ(list.count, out.size());
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
        list.clear();
        EXPECT_FALSE(list.contains(&s[0]));
        EXPECT_EQ(order(list), Items{});
    }
}

TEST(DisplayList, RemovalRelinksTheEnds) {
    Sprite s[4], absent;
    DisplayList list;
    for (int i = 0; i < 4; ++i) list.insert(&s[i], static_cast<uint16_t>(i));
    list.remove(&s[1]);  // in the middle
    EXPECT_EQ(order(list), (Items{&s[0], &s[2], &s[3]}));
    list.remove(&s[0]);  // the head
    EXPECT_EQ(order(list), (Items{&s[2], &s[3]}));
    list.remove(&s[3]);  // the tail
    EXPECT_EQ(order(list), Items{&s[2]});
    list.remove(&absent);
    EXPECT_EQ(order(list), Items{&s[2]});
    EXPECT_TRUE(list.head->prev == nullptr && list.tail->next == nullptr);
    list.remove(&s[2]);  // the only item
    EXPECT_TRUE(list.head == nullptr && list.tail == nullptr);
    EXPECT_EQ(order(list), Items{});
    list.insert(&s[3], 3);  // and the emptied list takes items again
    EXPECT_EQ(order(list), Items{&s[3]});
}

}  // namespace
