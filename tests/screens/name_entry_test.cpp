// Typing a name on the on-screen keyboard.
#include <string>

#include "audio/sound_ids.h"
#include "screen_fixture.h"
#include "screens/name_entry_view.h"
#include "shell/view_ids.h"

namespace {

using namespace screentest;

// Centres of some keys.
struct Key {
    int x, y;
};
constexpr Key kA{69, 297}, kB{69, 263}, kOne{176, 297}, kZero{210, 297}, kZ{137, 41},
    kBlankKey{210, 263}, kBackspace{210, 229}, kOk{215, 45}, kCancel{215, 130};

class NameEntryTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        setUserName(u"OLD");
        view = &open<NameEntryView>(VIEW_NAME_ENTRY);
    }
    void press(std::initializer_list<Key> keys) {
        for (Key key : keys) tap(*view, key.x, key.y);
    }
    std::u16string typed() const {
        return std::u16string(view->name, std::char_traits<char16_t>::length(view->name));
    }
    std::u16string userName() const {
        size_t n = 0;
        while (n < 9 && settings->userName[n]) ++n;
        return std::u16string(settings->userName, n);
    }
    NameEntryView* view = nullptr;
};

TEST_F(NameEntryTest, KeysEnterTheirCharactersUpToEight) {
    press({kA, kB, kOne, kZero, kZ, kBlankKey});
    EXPECT_EQ(typed(), u"AB10Za");
    EXPECT_EQ(soundsStarted(SOUND_BUTTON), 6);
    press({kA, kB, kZ});  // the ninth is ignored
    EXPECT_EQ(ints(typed() == u"AB10ZaAB", view->length), ints(true, 8));
    press({kOk});
    EXPECT_EQ(userName(), u"AB10ZaAB");
    EXPECT_EQ(manager.nextId, VIEW_MAIN_MENU);
}

TEST_F(NameEntryTest, BackspaceRules) {
    press({kBackspace});  // nothing typed: nothing happens
    EXPECT_EQ(typed(), u"");
    press({kA, kB, kBackspace});
    EXPECT_EQ(ints(typed() == u"A", view->length), ints(true, 1));
    press({kBackspace});  // the last one leaves a blank behind
    EXPECT_EQ(ints(typed() == u"a", view->length), ints(true, 0));
    press({kOk});
    EXPECT_EQ(userName(), u"a");
    // Typing after deleting everything starts at the front again.
    reenter();
    press({kA, kBackspace, kZ, kOk});
    EXPECT_EQ(userName(), u"Z");
}

TEST_F(NameEntryTest, OkWithNothingTypedAndCancelKeepTheOldName) {
    press({kOk});
    EXPECT_EQ(userName(), u"OLD");
    EXPECT_EQ(manager.nextId, VIEW_MAIN_MENU);
    reenter();
    manager.nextId = manager.currentId = VIEW_NAME_ENTRY;
    press({kA, kCancel});
    EXPECT_EQ(userName(), u"OLD");
    EXPECT_EQ(manager.nextId, VIEW_MAIN_MENU);
    // Entering again starts empty.
    reenter();
    EXPECT_EQ(typed(), u"");
    EXPECT_EQ(ints(view->length, view->controlCount), ints(0, 40));
}

}  // namespace
