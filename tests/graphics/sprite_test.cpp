#include "graphics/sprite.h"

#include "graphics_test_util.h"

namespace {

using Seq = std::vector<int>;

// Thirty 2 x 2 frames; frame i is filled with 1 + i.
class AnimationTest : public gtest_util::HeadlessTest {
  protected:
    AnimationTest() {
        for (int i = 0; i < 30; ++i) raw.push_back(image(2, 2, [i](int, int) { return 1 + i; }));
    }
    int init(FrameSet* frames, int32_t mode = PLAY_LOOP, uint32_t period = 10) {
        return a.initAnimation(frames, 0, 0, false, false, false, period, mode, 0);
    }
    void start(int frames, int32_t mode, uint32_t period = 10) {
        set.borrow(raw.data(), frames);
        EXPECT_EQ(init(&set, mode, period), 1);
    }
    int shown() const { return a.image->pixel(0, 0) - 1; }
    void wait(int ms) { headless::setNow(headless::now() + ms); }
    // The frame shown now and after each of `steps` periods of virtual time.
    Seq play(int steps) {
        Seq seen{shown()};
        for (int i = 0; i < steps; ++i, seen.push_back(shown())) {
            wait(10);
            EXPECT_EQ(a.tick(), 1);
        }
        return seen;
    }
    // Applies `op` to the animation for each entry and checks the frame shown after it.
    template <typename Op>
    void expectFrames(Op op, std::initializer_list<std::pair<int, int>> steps) {
        for (auto [arg, frame] : steps) {
            op(arg);
            EXPECT_EQ(shown(), frame) << arg;
        }
    }
    std::vector<Image*> raw;
    FrameSet set;
    AnimatedSprite a;
};

TEST_F(AnimationTest, StepsOnceEveryPeriodCountedFromTheLastStep) {
    start(4, PLAY_LOOP, 100);
    // Going back in time is a wrapped clock: the wait starts again.
    const int waits[][3] = {{99, 0, 0},    {1, 1, 1},  {99, 0, 1},
                            {-1000, 0, 1}, {99, 0, 1}, {1, 1, 2}};
    for (const auto& [ms, stepped, frame] : waits) {
        wait(ms);
        EXPECT_EQ(a.tick(), stepped) << ms;
        EXPECT_EQ(shown(), frame);
    }
}

TEST_F(AnimationTest, PlayModesShowTheirSequences) {
    Seq twenty{0};  // fifteen frames back and forth fill all thirty entries
    for (int i = 0; i < 30; ++i) twenty.push_back(i < 15 ? i : 29 - i);
    const std::tuple<int, int32_t, int, Seq> cases[] = {
        {4, PLAY_LOOP, 4, {0, 1, 2, 3, 0, 1}},
        {3, PLAY_ONCE, 3, {0, 1, 2, 2, 2, 2}},  // and keeps reporting steps
        {3, PLAY_BACK_AND_FORTH, 6, {0, 0, 1, 2, 2, 1, 0, 0, 1}},
        {20, PLAY_BACK_AND_FORTH, 30, twenty},
    };
    for (const auto& [frames, mode, count, expected] : cases) {
        start(frames, mode);
        EXPECT_EQ(a.count, count);
        EXPECT_EQ(play(static_cast<int>(expected.size()) - 1), expected) << frames;
    }
}

TEST_F(AnimationTest, FrameChoiceWrapsAndOversizedSetsAreClamped) {
    start(3, PLAY_LOOP);
    expectFrames([&](int n) { a.setFrame(n); }, {{7, 1}, {3, 0}, {2, 2}, {-1, 2}, {0, 0}});
    expectFrames([&](int) { a.stepBack(); }, {{0, 2}, {0, 1}});
    FrameSet other;  // new frames keep the image until the next step
    other.borrow(&raw[10], 2);
    a.setFrames(&other);
    EXPECT_EQ(shown(), 1);
    expectFrames([&](int) { a.advance(); }, {{0, 11}, {0, 10}});
    start(30, PLAY_LOOP);  // a set claiming more than 30 frames shows 29 of them
    set.count = 35;
    ASSERT_EQ(init(&set), 1);
    EXPECT_EQ(a.count, 29);
    a.setFrame(28);
    a.advance();
    EXPECT_EQ(shown(), 0);
    set.count = 30;
    FrameSet empty;
    EXPECT_EQ(init(&empty), 0);
    EXPECT_EQ(init(nullptr), 0);
}

class SpriteTest : public gtest_util::HeadlessTest {};

TEST_F(SpriteTest, FrameSetsLoadAtMostThirtyAndBorrowersDoNotFree) {
    for (int i = 0; i < 3; ++i)
        gtest_util::providePicture(31100 + i, std::vector<uint16_t>(4 * 3, uint16_t(0x700 + i)));
    FrameSet owner, borrower, tooMany;
    owner.loadRange(31100, 31102, 4, 3);
    ASSERT_EQ(owner.count, 3);
    EXPECT_EQ(owner.frames[2]->pixel(3, 2), 0x702);
    borrower.borrow(owner, 50);
    EXPECT_EQ(borrower.count, 30);
    borrower.borrow(owner, 2);
    EXPECT_EQ(borrower.frames[2], nullptr);
    borrower.free();
    ASSERT_NE(owner.frames[0], nullptr);
    EXPECT_EQ(owner.frames[0]->pixel(0, 0), 0x700);
    tooMany.loadRange(31100, 31100 + 40, 1, 1);
    EXPECT_EQ(tooMany.count, 30);
}

TEST_F(SpriteTest, KeyFromImageAndSaveUnderFollowThePicture) {
    std::vector<uint16_t> px(6 * 4, 0x1234);
    px[0] = 0xB539;
    gtest_util::providePicture(31200, px);
    gtest_util::providePicture(31201, std::vector<uint16_t>(9, 0x3C3C));
    Picture pic(31200, 6, 4);
    Sprite s(&pic, 3, 4, true, true, false, kKeyFromImage);
    EXPECT_EQ(s.key, 0xB539);
    ASSERT_NE(s.saveUnder, nullptr);
    EXPECT_EQ(s.saveUnder->width * s.saveUnder->height, 6 * 4);
    s.setFromPicture(&pic, 0, 0, false, true, false, 0x0042);
    EXPECT_EQ(s.key, 0x0042);
    EXPECT_EQ(s.saveUnder, nullptr) << "the old save-under is dropped";
    pic.reload(31201, 3, 3);
    EXPECT_EQ(pic.image->pixel(2, 2), 0x3C3C);
}

}  // namespace
