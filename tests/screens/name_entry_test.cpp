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
    void press(const int* key) { tap(*view, key[0], key[1]); }
    std::u16string typed() const {
        return std::u16string(view->name, std::char_traits<char16_t>::length(view->name));
    }
    std::u16string userName() const {
        size_t n = 0;
        while (n < 9 && settings->userName[n]) ++n;
        return std::u16string(settings->userName, n);
    }
    void setUserName(std::u16string_view n) {
        std::fill(std::begin(settings->userName), std::end(settings->userName), 0);
        std::copy(n.begin(), n.end(), settings->userName);
    }
    std::unique_ptr<NameEntryView> view;
};

TEST_F(NameEntryTest, KeysEnterTheirCharacters) {
    for (const int* key : {kA, kB, kOne, kZero, kZ, kBlankKey}) press(key);
    EXPECT_EQ(typed(), u"AB10Za");
    EXPECT_EQ(view->length, 6);
    EXPECT_EQ(soundsStarted(540), 6);
}

TEST_F(NameEntryTest, ANinthCharacterIsIgnored) {
    for (int i = 0; i < 8; ++i) press(i % 2 ? kB : kA);
    EXPECT_EQ(typed(), u"ABABABAB");
    press(kZ);
    EXPECT_EQ(typed(), u"ABABABAB");
    EXPECT_EQ(view->length, 8);
    press(kOk);
    EXPECT_EQ(userName(), u"ABABABAB");
    EXPECT_EQ(manager.nextId, 0);
}

TEST_F(NameEntryTest, BackspaceRules) {
    press(kBackspace);  // nothing typed: nothing happens
    EXPECT_EQ(view->length, 0);
    EXPECT_EQ(typed(), u"");
    press(kA);
    press(kB);
    press(kBackspace);
    EXPECT_EQ(typed(), u"A");
    EXPECT_EQ(view->length, 1);
    press(kBackspace);  // the last one leaves a blank behind
    EXPECT_EQ(view->length, 0);
    EXPECT_EQ(typed(), u"a");
    press(kOk);
    EXPECT_EQ(userName(), u"a");
}

TEST_F(NameEntryTest, TypingAfterDeletingEverythingStartsAtTheFront) {
    press(kA);
    press(kBackspace);
    press(kZ);
    EXPECT_EQ(typed(), u"Z");
    press(kOk);
    EXPECT_EQ(userName(), u"Z");
}

TEST_F(NameEntryTest, OkWithNothingTypedAndCancelKeepTheOldName) {
    press(kOk);
    EXPECT_EQ(userName(), u"OLD");
    EXPECT_EQ(manager.nextId, 0);
    view->OnLeave();
    view->OnEnter();
    manager.nextId = manager.currentId = 4;
    press(kA);
    press(kCancel);
    EXPECT_EQ(userName(), u"OLD");
    EXPECT_EQ(manager.nextId, 0);
}

TEST_F(NameEntryTest, EnteringAgainStartsEmpty) {
    press(kA);
    view->OnLeave();
    view->OnEnter();
    EXPECT_EQ(view->length, 0);
    EXPECT_EQ(typed(), u"");
    EXPECT_EQ(view->controlCount, 40);
}

}  // namespace
