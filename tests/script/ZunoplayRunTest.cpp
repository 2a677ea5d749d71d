// The built player run headless on small games: the trace, the variable dump,
// screenshots, the end of the game and the failures at start.
#include "ScriptTestGame.h"
#include "support/ProgramRunner.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zuno::test {
namespace {

// The built player on SDL's dummy drivers, so that no window or sound device is needed.
TProgramResult runPlayer(const std::vector<std::string>& args) {
    return runProgram(builtProgram("zunoplay"), args, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(ZunoplayRunTest, HeadlessRunWritesTraceAndVariables) {
    TTempFolder dir;
    TPageBuilder main("main.zsb");
    main.Let("n = 1");
    main.Label("frame", 0, false);
    main.Let("n = n + @UpdateCount * 10");
    main.Let("s = @Title ++ IntToStr(@ScrWidth)");
    main.Wait("");
    TGameSetup setup;
    setup.Pages = {&main};
    setup.Variables = {intVar("n", 0), strVar("s", "")};
    writeGame(dir.folder(), setup);

    const std::string trace = dir.path("trace.txt"), vars = dir.path("vars.txt"), shot = dir.path("s.png");
    TProgramResult r = runPlayer({"--headless", "--no-logo", "--frames", "3", "--trace", trace, "--dump-vars", vars,
                                  "--screenshot", "2:" + shot, dir.folder()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(trace), "00000010 : main.zsb(1)\n"
                               "00000010 : main.zsb(2)\n"
                               "00000020 : main.zsb(3)\n"
                               "00000020 : main.zsb(4)\n"
                               "00000020 : main.zsb(5)\n");
    EXPECT_EQ(readText(vars), "n\t1\t11\ns\t4\tテスト64\n");
    const std::string png = readText(shot);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_TRUE(std::filesystem::exists(dir.path("save.dat")));
}

TEST(ZunoplayRunTest, GameEndEndsTheRunEarly) {
    TTempFolder dir;
    TPageBuilder main("main.zsb");
    main.Label("a", 0, false);
    main.Label("b", 0, false);
    main.Add<TComTerminate>();
    TGameSetup setup;
    setup.Pages = {&main};
    writeGame(dir.folder(), setup);
    const std::string trace = dir.path("trace.txt");
    TProgramResult r = runPlayer({"--headless", "--no-logo", "--trace", trace, dir.folder()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(trace), "00000010 : main.zsb(1)\n"
                               "00000020 : main.zsb(2)\n"
                               "00000030 : main.zsb(3)\n");
}

TEST(ZunoplayRunTest, GameThatCannotStartExitsWithOne) {
    TTempFolder dir;
    TPageBuilder main("main.zsb");
    TGameSetup setup;
    setup.Pages = {&main};
    setup.StartPage = "absent.zsb";
    writeGame(dir.folder(), setup);
    TProgramResult r = runPlayer({"--headless", dir.folder()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zunoplay: スタートページがありません"), std::string::npos) << r.err;

    TTempFolder empty;
    r = runPlayer({"--headless", empty.folder()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zunoplay: " + empty.folder() + ": no game in this folder"), std::string::npos) << r.err;

    r = runPlayer({"--headless", "--frames", "x"});
    EXPECT_EQ(r.status, 2);
}

} // namespace
} // namespace zuno::test

namespace zuno::test {
namespace {

TEST(ZunoplayRunTest, WindowedRunOnTheDummyVideoDriver) {
    TTempFolder dir;
    TPageBuilder main("main.zsb");
    main.Label("a", 0, false);
    main.Label("b", 0, false);
    main.Wait("");
    TGameSetup setup;
    setup.Pages = {&main};
    writeGame(dir.folder(), setup);
    const std::string trace = dir.path("trace.txt");
    TProgramResult r = runPlayer({"--no-logo", "--frames", "3", "--trace", trace, dir.folder()});
    ASSERT_EQ(r.status, 0) << r.err;
    // Real time: the clock values vary, the commands do not.
    std::string text = readText(trace);
    EXPECT_NE(text.find(" : main.zsb(1)\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" : main.zsb(3)\n"), std::string::npos) << text;
}

} // namespace
} // namespace zuno::test
