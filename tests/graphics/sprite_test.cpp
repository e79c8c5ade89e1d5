#include "graphics/sprite.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics_test_util.h"

namespace {

class AnimationTest : public gtest_util::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        for (int i = 0; i < 30; ++i)
            images.emplace_back(gtest_util::makeImage(2, 2, [i](int, int) { return 1 + i; }));
    }
    // A borrowed set of the first n images.
    void useFrames(int n) {
        std::vector<Image*> raw;
        for (auto& img : images) raw.push_back(img.get());
        set.borrow(raw.data(), n);
    }
    int shown(const AnimatedSprite& a) const { return a.image->pixel(0, 0) - 1; }
    // The frame shown after each of `steps` periods of virtual time.
    std::vector<int> play(AnimatedSprite& a, int steps, uint32_t period) {
        std::vector<int> seen{shown(a)};
        for (int i = 0; i < steps; ++i) {
            headless::setNow(headless::now() + period);
            EXPECT_EQ(a.tick(), 1);
            seen.push_back(shown(a));
        }
        return seen;
    }
    std::vector<std::unique_ptr<Image>> images;
    FrameSet set;
};

TEST_F(AnimationTest, LoopStepsOnceEveryPeriodAndNotBefore) {
    useFrames(4);
    AnimatedSprite a;
    ASSERT_EQ(a.initAnimation(&set, 0, 0, false, false, false, 100, PLAY_LOOP, 0), 1);
    EXPECT_EQ(shown(a), 0);
    headless::setNow(headless::now() + 99);
    EXPECT_EQ(a.tick(), 0);
    EXPECT_EQ(shown(a), 0);
    headless::setNow(headless::now() + 1);
    EXPECT_EQ(a.tick(), 1);
    EXPECT_EQ(shown(a), 1);
    // The next step counts from the tick that stepped, not from the start.
    headless::setNow(headless::now() + 99);
    EXPECT_EQ(a.tick(), 0);
    EXPECT_EQ(play(a, 5, 100), (std::vector<int>{1, 2, 3, 0, 1, 2}));
}

TEST_F(AnimationTest, PlayOnceStaysOnTheLastFrameButKeepsReportingSteps) {
    useFrames(3);
    AnimatedSprite a;
    a.initAnimation(&set, 0, 0, false, false, false, 50, PLAY_ONCE, 0);
    EXPECT_EQ(play(a, 5, 50), (std::vector<int>{0, 1, 2, 2, 2, 2}));
}

TEST_F(AnimationTest, BackAndForthShowsEachEndTwice) {
    useFrames(3);
    AnimatedSprite a;
    a.initAnimation(&set, 0, 0, false, false, false, 10, PLAY_BACK_AND_FORTH, 0);
    EXPECT_EQ(a.count, 6);
    EXPECT_EQ(play(a, 8, 10), (std::vector<int>{0, 0, 1, 2, 2, 1, 0, 0, 1}));
}

TEST_F(AnimationTest, OversizedSetsAreClampedInsideTheFrameArray) {
    // Fifteen frames back and forth fill all thirty entries; more are left out.
    useFrames(20);
    AnimatedSprite bf;
    bf.initAnimation(&set, 0, 0, false, false, false, 10, PLAY_BACK_AND_FORTH, 0);
    EXPECT_EQ(bf.count, 30);
    const std::vector<int> seen = play(bf, 30, 10);
    EXPECT_EQ(seen[15], 14);
    EXPECT_EQ(seen[16], 14);
    EXPECT_EQ(seen[29], 1);
    EXPECT_EQ(seen[30], 0);

    // A set claiming more than 30 frames shows 29 of them.
    useFrames(30);
    set.count = 35;
    AnimatedSprite loop;
    loop.initAnimation(&set, 0, 0, false, false, false, 10, PLAY_LOOP, 0);
    EXPECT_EQ(loop.count, 29);
    loop.setFrame(28);
    EXPECT_EQ(shown(loop), 28);
    loop.advance();
    EXPECT_EQ(shown(loop), 0);
    set.count = 30;
}

TEST_F(AnimationTest, FrameChoiceWrapsAroundTheCount) {
    useFrames(3);
    AnimatedSprite a;
    a.initAnimation(&set, 0, 0, false, false, false, 10, PLAY_LOOP, 0);
    struct Case {
        int n, frame;
    };
    for (const Case& c : {Case{7, 1}, Case{3, 0}, Case{2, 2}, Case{-1, 2}}) {
        a.setFrame(c.n);
        EXPECT_EQ(shown(a), c.frame) << c.n;
    }
    a.setFrame(0);
    a.stepBack();
    EXPECT_EQ(shown(a), 2);
    a.stepBack();
    EXPECT_EQ(shown(a), 1);
}

TEST_F(AnimationTest, ReplacingTheFramesKeepsTheImageUntilTheNextStep) {
    useFrames(3);
    AnimatedSprite a;
    a.initAnimation(&set, 0, 0, false, false, false, 10, PLAY_LOOP, 0);
    a.setFrame(2);
    FrameSet other;
    Image* raw[2] = {images[10].get(), images[11].get()};
    other.borrow(raw, 2);
    a.setFrames(&other);
    EXPECT_EQ(shown(a), 2);
    EXPECT_EQ(a.count, 2);
    a.advance();
    EXPECT_EQ(shown(a), 11);
}

TEST_F(AnimationTest, AWrappedClockRestartsTheWait) {
    headless::setNow(4000);
    useFrames(2);
    AnimatedSprite a;
    a.initAnimation(&set, 0, 0, false, false, false, 100, PLAY_LOOP, 0);
    headless::setNow(3000);  // earlier than the last step
    EXPECT_EQ(a.tick(), 0);
    headless::setNow(3099);
    EXPECT_EQ(a.tick(), 0);
    headless::setNow(3100);
    EXPECT_EQ(a.tick(), 1);
}

TEST_F(AnimationTest, EmptySetCannotStartAnAnimation) {
    FrameSet empty;
    AnimatedSprite a;
    EXPECT_EQ(a.initAnimation(&empty, 0, 0, false, false, false, 10, PLAY_LOOP, 0), 0);
    EXPECT_EQ(a.initAnimation(nullptr, 0, 0, false, false, false, 10, PLAY_LOOP, 0), 0);
}

class FrameSetTest : public gtest_util::HeadlessTest {};

TEST_F(FrameSetTest, LoadsConsecutivePicturesAndBorrowersDoNotFreeThem) {
    for (int i = 0; i < 3; ++i)
        gtest_util::providePicture(31100 + i,
                                   std::vector<uint16_t>(4 * 3, static_cast<uint16_t>(0x700 + i)));
    FrameSet owner;
    owner.loadRange(31100, 31102, 4, 3);
    ASSERT_EQ(owner.count, 3);
    EXPECT_EQ(owner.borrowed, 0);
    EXPECT_EQ(owner.frames[2]->pixel(3, 2), 0x702);

    FrameSet borrower;
    borrower.borrow(owner, 50);
    EXPECT_EQ(borrower.count, 30) << "count takes min(count, 30)";
    borrower.free();
    ASSERT_NE(owner.frames[0], nullptr);
    EXPECT_EQ(owner.frames[0]->pixel(0, 0), 0x700);

    FrameSet two;
    two.borrow(owner, 2);
    EXPECT_EQ(two.count, 2);
    EXPECT_EQ(two.frames[1], owner.frames[1]);
    EXPECT_EQ(two.frames[2], nullptr);

    owner.free();
    EXPECT_EQ(owner.frames[0], nullptr);

    FrameSet tooMany;
    tooMany.loadRange(31100, 31100 + 40, 1, 1);
    EXPECT_EQ(tooMany.count, FrameSet::kMaxFrames);
}

class SpriteTest : public gtest_util::HeadlessTest {};

TEST_F(SpriteTest, KeyMinusOneTakesTheTopLeftPixel) {
    std::vector<uint16_t> px(6 * 4, 0x1234);
    px[0] = 0xB539;
    gtest_util::providePicture(31200, px);
    Picture pic(31200, 6, 4);
    Sprite s(&pic, 3, 4, true, true, false, kKeyFromImage);
    EXPECT_EQ(s.key, 0xB539);
    EXPECT_EQ(s.picture, &pic);
    EXPECT_EQ(s.image, pic.image);
    EXPECT_EQ(s.width, 6);
    EXPECT_EQ(s.height, 4);
    ASSERT_NE(s.saveUnder, nullptr);
    EXPECT_EQ(s.saveUnder->width, 6);
    EXPECT_EQ(s.hasSaveUnder, 1);

    Sprite given(&pic, 0, 0, false, true, false, 0x0042);
    EXPECT_EQ(given.key, 0x0042);
    EXPECT_EQ(given.saveUnder, nullptr);

    s.setFromPicture(&pic, 0, 0, false, false, false, 7);
    EXPECT_EQ(s.hasSaveUnder, 0);
    EXPECT_EQ(s.saveUnder, nullptr);
    s.releaseResources();
    EXPECT_EQ(s.image, nullptr);
}

TEST_F(SpriteTest, PictureReloadAndRelease) {
    gtest_util::providePicture(31201, std::vector<uint16_t>(4, 0x0F0F));
    gtest_util::providePicture(31202, std::vector<uint16_t>(9, 0x3C3C));
    Picture pic(31201, 2, 2);
    EXPECT_EQ(pic.image->pixel(1, 1), 0x0F0F);
    pic.reload(31202, 3, 3);
    EXPECT_EQ(pic.image->width, 3);
    EXPECT_EQ(pic.image->pixel(2, 2), 0x3C3C);
    pic.release();
    EXPECT_EQ(pic.image, nullptr);
}

}  // namespace
