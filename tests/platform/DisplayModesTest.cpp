#include <gtest/gtest.h>

#include "platform/DisplayModes.h"

namespace zuno {
namespace {

TEST(DisplayModes, PreferredSizeInDesktopDepthWithLowestRefreshIsChosen) {
    std::vector<TDisplayMode> offered = {
        {1024, 768, 32, 60}, {640, 480, 32, 85}, {640, 480, 16, 60}, {640, 480, 32, 60}, {640, 480, 32, 75}};
    TModeChoice c = chooseDisplayModes(offered, 640, 480, 640, 480, 32);
    EXPECT_EQ(c.modes, offered);
    ASSERT_EQ(c.chosen, 3);
    EXPECT_EQ(c.modes[c.chosen], (TDisplayMode{640, 480, 32, 60}));
}

TEST(DisplayModes, SmallAndShallowModesAreLeftOut) {
    std::vector<TDisplayMode> offered = {{320, 240, 32, 60}, {800, 600, 8, 60}, {800, 600, 15, 60},
                                         {800, 599, 32, 60}, {799, 600, 32, 60}, {800, 600, 16, 60}};
    TModeChoice c = chooseDisplayModes(offered, 800, 600, 800, 600, 32);
    EXPECT_EQ(c.modes, (std::vector<TDisplayMode>{{800, 600, 16, 60}}));
    EXPECT_EQ(c.chosen, 0);
}

TEST(DisplayModes, ChoiceRules) {
    struct Case {
        const char* what;
        std::vector<TDisplayMode> offered;
        int32_t desktopDepth;
        int32_t chosen;
    } cases[] = {
        {"first mode when none has the preferred size", {{1024, 768, 32, 60}, {800, 600, 32, 60}}, 32, 0},
        {"preferred size beats another size", {{1024, 768, 32, 60}, {640, 480, 16, 60}}, 32, 1},
        {"desktop depth beats another depth", {{640, 480, 16, 60}, {640, 480, 32, 85}}, 32, 1},
        {"another depth never replaces the desktop depth", {{640, 480, 32, 85}, {640, 480, 16, 60}}, 32, 0},
        {"higher refresh does not replace", {{640, 480, 32, 60}, {640, 480, 32, 75}}, 32, 0},
        {"refresh only counts in the desktop depth", {{640, 480, 16, 75}, {640, 480, 16, 60}}, 32, 0},
        {"nothing usable", {{320, 200, 32, 60}}, 32, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseDisplayModes(c.offered, 640, 480, 640, 480, c.desktopDepth).chosen, c.chosen) << c.what;
}

} // namespace
} // namespace zuno
