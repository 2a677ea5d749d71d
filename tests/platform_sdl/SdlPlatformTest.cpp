// The SDL platform with a real video driver. Under X (DISPLAY set, e.g. with
// xvfb-run -a) it opens a real window; without a display it uses SDL's dummy
// driver, and when even that is not available the tests are skipped.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/EZunoError.h"
#include "platform/sdl/SdlPlatform.h"

namespace zuno {
namespace {

std::unique_ptr<TPlatform> makePlatform() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "dummy", 0);
    try {
        return createSdlPlatform();
    } catch (const EZunoError&) {
        return nullptr;
    }
}

TEST(SdlPlatform, OpensAWindowPresentsAndSwitchesFullScreen) {
    std::unique_ptr<TPlatform> p = makePlatform();
    if (!p)
        GTEST_SKIP() << "no SDL video driver";
    ASSERT_TRUE(p->openWindow("zunoplay test", 320, 240));
    TSceneBuffer scene(320, 240);
    scene.fill(0x336699);
    EXPECT_TRUE(p->present(scene, {scene.bounds()}));
    EXPECT_FALSE(p->present(scene, {}));                    // nothing changed: nothing counted
    EXPECT_FALSE(p->present(scene, {{400, 0, 500, 10}}));   // outside the scene
    std::vector<TInputEvent> events;
    p->pollInput(events);
    p->setScaleMode(TScaleMode::integer);
    p->setFullScreen(true);
    p->pollInput(events);
    EXPECT_TRUE(p->present(scene, {{0, 0, 10, 10}}));
    p->setFullScreen(false);
    EXPECT_FALSE(p->isFullScreen());
    uint32_t t0 = p->ticks();
    p->sleep(20);
    EXPECT_GE(p->ticks() - t0, 15u);
    EXPECT_GE(p->desktopDepth(), 8);
}

TEST(SdlPlatform, MissingSoundDeviceMeansSilenceNotFailure) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        std::unique_ptr<TPlatform> p = makePlatform();
        if (!p)
            GTEST_SKIP() << "no SDL video driver";
        EXPECT_FALSE(p->openAudio([](int16_t*, int) {}));
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<TPlatform> p = makePlatform();
    ASSERT_TRUE(p);
    std::atomic<int> frames{0};
    if (!p->openAudio([&](int16_t*, int count) { frames += count; }))
        GTEST_SKIP() << "no dummy sound driver";
    for (int i = 0; i < 100 && frames == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    p->closeAudio();
    EXPECT_GT(frames.load(), 0);
    unsetenv("SDL_AUDIODRIVER");
}

} // namespace
} // namespace zuno
