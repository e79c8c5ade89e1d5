#include "graphics/display_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/sprite.h"

namespace {

std::vector<Sprite*> order(DisplayList& list) {
    std::vector<Sprite*> out;
    for (Sprite* s = list.first(); s != nullptr; s = list.next()) out.push_back(s);
    return out;
}

std::vector<Sprite*> backwards(DisplayList& list) {
    std::vector<Sprite*> out;
    for (Sprite* s = list.last(); s != nullptr; s = list.previous()) out.push_back(s);
    return out;
}

TEST(DisplayList, EqualKeysGoRightAfterTheFirstOfTheirKind) {
    struct Case {
        std::vector<uint16_t> keys;
        std::vector<int> expected;  // insertion numbers, head first
    };
    const std::vector<Case> cases = {
        {{5, 3, 7, 5}, {1, 3, 0, 2}}, {{5, 5}, {0, 1}},
        {{5, 5, 5}, {0, 2, 1}},  // each newcomer right after the head
        {{1, 2, 3, 2}, {0, 3, 1, 2}}, {{9, 8, 7}, {2, 1, 0}},
        {{3, 7, 7, 7}, {0, 3, 2, 1}},
    };
    for (const Case& c : cases) {
        Sprite sprites[8];
        DisplayList list;
        for (size_t i = 0; i < c.keys.size(); ++i) list.insert(&sprites[i], c.keys[i]);
        std::vector<Sprite*> want;
        for (int i : c.expected) want.push_back(&sprites[i]);
        EXPECT_EQ(order(list), want);
        std::vector<Sprite*> rev(want.rbegin(), want.rend());
        EXPECT_EQ(backwards(list), rev) << "links backwards disagree";
        EXPECT_EQ(list.count, c.keys.size());
        for (DisplayList::Node* n = list.head; n != nullptr && n->next != nullptr; n = n->next)
            EXPECT_LE(n->key, n->next->key);
        list.clear();
    }
}

TEST(DisplayList, RemovingTheOnlyItemEmptiesEverything) {
    Sprite a;
    DisplayList list;
    list.insert(&a, 4);
    list.first();
    list.remove(&a);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(list.cursor, nullptr);
    EXPECT_EQ(list.first(), nullptr);
}

TEST(DisplayList, RemovingAbsentItemsChangesNothingAndEndsAreRelinked) {
    Sprite a, b, c, absent;
    DisplayList list;
    list.insert(&a, 1);
    list.insert(&b, 2);
    list.insert(&c, 3);
    list.remove(&absent);
    EXPECT_EQ(list.count, 3);
    list.remove(&c);
    EXPECT_EQ(list.tail->item, &b);
    list.remove(&a);
    EXPECT_EQ(list.head->item, &b);
    EXPECT_EQ(list.head->prev, nullptr);
    EXPECT_EQ(list.tail->next, nullptr);
    EXPECT_EQ(order(list), std::vector<Sprite*>{&b});
    list.clear();
}

TEST(DisplayList, ItemAtCountsFromTheHeadAndStopsAtTheCount) {
    Sprite s[3];
    DisplayList list;
    list.insert(&s[0], 2);
    list.insert(&s[1], 1);
    list.insert(&s[2], 3);
    EXPECT_EQ(list.itemAt(0), &s[1]);
    EXPECT_EQ(list.itemAt(2), &s[2]);
    EXPECT_EQ(list.itemAt(3), nullptr);
    EXPECT_EQ(list.itemAt(100), nullptr);
    EXPECT_EQ(list.itemAt(-1), nullptr);
    EXPECT_TRUE(list.contains(&s[0]));
    list.clear();
    EXPECT_EQ(list.itemAt(0), nullptr);
    EXPECT_FALSE(list.contains(&s[0]));
}

TEST(DisplayList, RemovingTheItemUnderTheCursorLetsTheTraversalGoOn) {
    Sprite s[4];
    DisplayList list;
    for (int i = 0; i < 4; ++i) list.insert(&s[i], static_cast<uint16_t>(i));
    std::vector<Sprite*> seen;
    for (Sprite* p = list.first(); p != nullptr; p = list.next()) {
        seen.push_back(p);
        if (p == &s[1]) list.remove(p);
    }
    EXPECT_EQ(seen, (std::vector<Sprite*>{&s[0], &s[1], &s[2], &s[3]}));
    EXPECT_EQ(list.count, 3);
    list.clear();
}

}  // namespace
