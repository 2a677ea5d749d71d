// zunoplay started on something that is not a game, or without a display:
// one line naming the problem, before any window or sound device is asked
// for (so no library messages come with it).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

namespace zuno::test {
namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(FirstRun, NoGameIsOneLineNamingTheFolder) {
    TTempFolder dir;
    writeFile(dir.path("notes.txt"), "not a game");
    writeFile(dir.path("empty/readme.txt"), "nothing to play");
    std::filesystem::create_directories(dir.path("other"));
    writeFile(dir.path("other/GAME.DAT"), "vf");        // any spelling of game.dat makes a game folder
    struct Case {
        std::string game;
        std::string err;        // "" when the start gets past the check
    } cases[] = {
        {dir.path("missing"), dir.path("missing") + ": no such game folder or file"},
        {dir.path("notes.txt"), dir.path("notes.txt") + ": not a game folder and not a game data file"},
        {dir.path("empty"), dir.path("empty") + ": no game in this folder (no game.dat, zuno.zpb or install.dat)"},
        {dir.path("empty/"), dir.path("empty/") + ": no game in this folder (no game.dat, zuno.zpb or install.dat)"},
        {dir.path("other"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.game);
        TProgramResult r = runProgram(builtProgram("zunoplay"), {"--headless", "--frames", "1", c.game});
        EXPECT_EQ(r.status, 1);
        if (c.err.empty())
            EXPECT_EQ(r.err.find("no game in this folder"), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, "zunoplay: " + c.err + "\n");
    }
}

TEST(FirstRun, NoDisplaySaysUseHeadless) {
    const std::string demo = builtProgram("demo");
    ASSERT_TRUE(std::filesystem::exists(demo + "/game.dat")) << "build the demo first";
    TProgramResult r = runProgram(builtProgram("zunoplay"), {"--frames", "1", demo},
                                  {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zunoplay: no display: use --headless\n");
    // The game is checked first: a wrong folder is named even without a display.
    TTempFolder empty;
    r = runProgram(builtProgram("zunoplay"), {empty.path()}, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zunoplay: " + empty.path() + ": no game in this folder (no game.dat, zuno.zpb or install.dat)\n");
}

TEST(FirstRun, UsageErrorIsOneLine) {
    TProgramResult r = runProgram(builtProgram("zunoplay"), {"--frames", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zunoplay: --frames: not a number: x (zunoplay --help lists the options)\n");
    r = runProgram(builtProgram("zunoplay"), {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: zunoplay [OPTIONS] [GAME ...]\n", 0), 0u) << r.out;
}

} // namespace
} // namespace zuno::test
