#include <gtest/gtest.h>

#include <vector>

#include "platform/SettingsDialog.h"
#include "platform/VirtualKeys.h"

namespace zuno {
namespace {

using View = TSettingsDialogView;

std::vector<uint32_t> picture(const View& v) {
    std::vector<uint32_t> px(View::kWidth * View::kHeight);
    v.draw(px.data(), View::kWidth);
    return px;
}

TEST(SettingsDialog, CheckBoxEnablesTheDelayTrack) {
    View v({true, 5});
    // While the box is ticked the track bar ignores clicks and arrows.
    v.mouseDown(40, 86);
    v.mouseUp(40, 86);
    v.key(vk::Left, false);
    EXPECT_EQ(v.state().position, 5);
    auto ticked = picture(v);

    // A click on the box label clears it; the track then follows clicks and keys.
    v.mouseDown(60, 30);
    EXPECT_EQ(v.mouseUp(60, 30), TDialogResult::open);
    EXPECT_FALSE(v.state().directSound);
    EXPECT_NE(picture(v), ticked);
    v.mouseDown(34, 86);                     // the first tick
    EXPECT_EQ(v.state().position, 1);
    v.mouseMove(130, 90);                    // dragged to the third
    v.mouseUp(130, 90);
    EXPECT_EQ(v.state().position, 3);
    v.key(vk::Right, false);
    v.key(vk::Right, false);
    v.key(vk::Right, false);
    EXPECT_EQ(v.state().position, 5);
    v.key(vk::Home, false);
    EXPECT_EQ(v.state().position, 1);
    v.key('S', true);                        // Alt+S ticks the box again
    EXPECT_TRUE(v.state().directSound);
}

TEST(SettingsDialog, ButtonsActOnReleaseOverThemselves) {
    View v({false, 2});
    v.mouseDown(120, 150);                   // OK pressed ...
    v.mouseMove(10, 10);
    EXPECT_EQ(v.mouseUp(10, 10), TDialogResult::open);   // ... and released elsewhere: nothing
    v.mouseDown(120, 150);
    EXPECT_EQ(v.mouseUp(121, 151), TDialogResult::ok);
    v.mouseDown(200, 150);
    EXPECT_EQ(v.mouseUp(200, 150), TDialogResult::cancel);
    EXPECT_EQ(v.key(vk::Escape, false), TDialogResult::cancel);
    EXPECT_EQ(v.key(vk::Return, false), TDialogResult::ok);
    EXPECT_EQ(View({true, 42}).state().position, 5);
}

} // namespace
} // namespace zuno
