// Typing a name on the on-screen keyboard.
#include <string>

#include "screen_fixture.h"
#include "screens/name_entry_view.h"

namespace {

using screentest::ScreenFixture;

// Centres of some keys.
constexpr int kA[2] = {69, 297};
constexpr int kB[2] = {69, 263};
constexpr int kOne[2] = {176, 297};
constexpr int kZero[2] = {210, 297};
constexpr int kZ[2] = {137, 41};
constexpr int kBlankKey[2] = {210, 263};
constexpr int kBackspace[2] = {210, 229};
constexpr int kOk[2] = {215, 45};
constexpr int kCancel[2] = {215, 130};

class NameEntryTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        setUserName(u"OLD");
        view = std::make_unique<NameEntryView>(surface.get());
        manager.AddView(view.get(), 4);
        manager.StartWith(4);
    }
    void TearDown() override {
        view->OnLeave();
        view.reset();
        ScreenFixture::TearDown();
    }
    void press(std::initializer_list<const int*> keys) {
        for (const int* key : keys) tap(*view, key[0], key[1]);
    }
    std::u16string typed() const {
        return std::u16string(view->name, std::char_traits<char16_t>::length(view->name));
    }
    std::u16string userName() const {
        size_t n = 0;
        while (n < 9 && settings->userName[n]) ++n;
        return std::u16string(settings->userName, n);
    }
    std::unique_ptr<NameEntryView> view;
};

TEST_F(NameEntryTest, KeysEnterTheirCharactersUpToEight) {
    press({kA, kB, kOne, kZero, kZ, kBlankKey});
    EXPECT_EQ(typed(), u"AB10Za");
    EXPECT_EQ(soundsStarted(540), 6);
    press({kA, kB, kZ});  // the ninth is ignored
    EXPECT_EQ(typed(), u"AB10ZaAB");
    EXPECT_EQ(view->length, 8);
    press({kOk});
    EXPECT_EQ(userName(), u"AB10ZaAB");
    EXPECT_EQ(manager.nextId, 0);
}

TEST_F(NameEntryTest, BackspaceRules) {
    press({kBackspace});  // nothing typed: nothing happens
    EXPECT_EQ(typed(), u"");
    press({kA, kB, kBackspace});
    EXPECT_EQ(typed(), u"A");
    EXPECT_EQ(view->length, 1);
    press({kBackspace});  // the last one leaves a blank behind
    EXPECT_EQ(view->length, 0);
    EXPECT_EQ(typed(), u"a");
    press({kOk});
    EXPECT_EQ(userName(), u"a");
    // Typing after deleting everything starts at the front again.
    view->OnLeave();
    view->OnEnter();
    press({kA, kBackspace, kZ, kOk});
    EXPECT_EQ(userName(), u"Z");
}

TEST_F(NameEntryTest, OkWithNothingTypedAndCancelKeepTheOldName) {
    press({kOk});
    EXPECT_EQ(userName(), u"OLD");
    EXPECT_EQ(manager.nextId, 0);
    view->OnLeave();
    view->OnEnter();
    manager.nextId = manager.currentId = 4;
    press({kA, kCancel});
    EXPECT_EQ(userName(), u"OLD");
    EXPECT_EQ(manager.nextId, 0);
    // Entering again starts empty.
    view->OnLeave();
    view->OnEnter();
    EXPECT_EQ(view->length, 0);
    EXPECT_EQ(typed(), u"");
    EXPECT_EQ(view->controlCount, 40);
}

}  // namespace
