#include <gtest/gtest.h>

#include "platform/headless/HeadlessPlatform.h"

namespace zuno {
namespace {

TEST(HeadlessPlatform, VirtualClockAndScriptedInputMoveOneFrameAtATime) {
    THeadlessPlatform p(TInputScript::parse("1 move 3 4\n2 key SPACE\n"));
    std::vector<TInputEvent> events;
    p.pollInput(events);
    EXPECT_TRUE(events.empty());            // nothing before the first frame step
    EXPECT_EQ(p.ticks(), 0u);

    p.advanceFrame();
    EXPECT_EQ(p.ticks(), 16u);
    p.pollInput(events);
    p.pollInput(events);                    // a second poll in the same frame gets nothing new
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, TInputKind::mouseMove);

    events.clear();
    p.advanceFrame();
    p.pollInput(events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, TInputKind::keyDown);
    events.clear();
    p.advanceFrame();
    p.pollInput(events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, TInputKind::keyUp);
    EXPECT_EQ(p.ticks(), 48u);
    EXPECT_EQ(p.frame(), 3);
}

TEST(HeadlessPlatform, SoundIsPulledAtTheDeviceRate) {
    THeadlessPlatform p;
    int64_t frames = 0;
    int calls = 0;
    int16_t firstSample = 1;
    ASSERT_TRUE(p.openAudio([&](int16_t* samples, int count) {
        firstSample = samples[0];
        frames += count;
        ++calls;
    }));
    for (int i = 0; i < 125; ++i)           // 125 × 16 ms = 2 s
        p.advanceFrame();
    EXPECT_EQ(calls, 125);
    EXPECT_EQ(frames, 2 * kAudioRate);
    EXPECT_EQ(firstSample, 0);              // the buffer starts silent
    p.closeAudio();
    p.advanceFrame();
    EXPECT_EQ(calls, 125);
}

TEST(HeadlessPlatform, PresentCountsOnlyFramesThatChangedSomething) {
    THeadlessPlatform p;
    TSceneBuffer scene(64, 48);
    EXPECT_FALSE(p.present(scene, {}));
    EXPECT_FALSE(p.present(scene, {{10, 10, 10, 20}, {70, 0, 80, 10}}));   // empty and outside
    EXPECT_TRUE(p.present(scene, {{60, 40, 70, 50}}));
    EXPECT_EQ(p.presentCount(), 1);
    EXPECT_EQ(p.messageBox("警告", "text", TMessageButtons::yesNo, TMessageIcon::question, TMessageAnswer::no),
              TMessageAnswer::no);
}

} // namespace
} // namespace zuno
