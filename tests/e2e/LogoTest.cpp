// The made-with logo before a game, as headless runs see it: the game's first
// command waits for the logo (no earlier than step 31, no later than step
// 900), Space, Enter or a left click ends the logo and the game starts within
// three steps, nothing of the game is drawn meanwhile, and --no-logo starts
// the game at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

namespace {

namespace fs = std::filesystem;
using zuno::test::builtProgram;
using zuno::test::runProgram;

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class LogoTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / "flow";
        game = dir.path("flow.dat");
        auto built = runProgram(builtProgram("zunotool"), {"game", "build", src.string(), game});
        ASSERT_EQ(built.status, 0) << built.err;
    }

    // The frame step of the game's first command (the trace's first line
    // carries the game clock in hexadecimal, 16 ms a step); 0 without one.
    int firstCommandStep(const std::vector<std::string>& options, const std::string& input = {}) {
        std::vector<std::string> args{"--headless", "--frames", "1000", "--trace", dir.path("trace.txt")};
        args.insert(args.end(), options.begin(), options.end());
        if (!input.empty()) {
            std::ofstream(dir.path("input.txt")) << input;
            args.insert(args.end(), {"--input", dir.path("input.txt")});
        }
        args.push_back(game);
        last = runProgram(builtProgram("zunoplay"), args);
        EXPECT_EQ(last.status, 0) << last.err;
        const std::string trace = readAll(dir.path("trace.txt"));
        if (trace.size() < 8)
            return 0;
        return static_cast<int>(std::stoul(trace.substr(0, 8), nullptr, 16) / 16);
    }

    zuno::test::TTempFolder dir;
    std::string game;
    zuno::test::TProgramResult last;
};

TEST_F(LogoTest, TheGameWaitsForTheLogo) {
    EXPECT_EQ(firstCommandStep({"--no-logo"}), 1);
    const int step = firstCommandStep({});
    EXPECT_GE(step, 31);
    EXPECT_LE(step, 900);
    EXPECT_EQ(last.err, "");
}

TEST_F(LogoTest, SpaceEnterOrAClickEndsTheLogo) {
    struct Case { const char* input; int delivered; };
    const Case cases[] = {
        {"40 key SPACE\n", 40},
        {"45 key RETURN\n", 45},
        {"50 click left 2 2\n", 50},                 // the corner: outside the caption
    };
    for (const Case& c : cases) {
        const int step = firstCommandStep({}, c.input);
        EXPECT_GT(step, c.delivered) << c.input;
        EXPECT_LE(step, c.delivered + 3) << c.input;
    }
    // Other keys do not.
    EXPECT_GT(firstCommandStep({}, "40 key A\n"), 43);
}

TEST_F(LogoTest, AClickOnTheCaptionOpensTheAddressAndTheLogoGoesOn) {
    // The 320 x 96 logo is centred on the 320 x 240 screen (top 72); its
    // caption stands at (68, 24) within it from the film's frame 30 on.
    const int step = firstCommandStep({}, "60 click left 100 106\n");
    EXPECT_NE(last.err.find("file:///"), std::string::npos) << last.err;          // the installed README
    EXPECT_NE(last.err.find("/README.md"), std::string::npos) << last.err;
    EXPECT_GT(step, 63);                          // not skipped: it plays to its end
    // The same click outside the caption opens nothing and ends the logo.
    const int skipped = firstCommandStep({}, "60 click left 300 106\n");
    EXPECT_EQ(last.err, "");
    EXPECT_LE(skipped, 63);
}

TEST_F(LogoTest, NothingOfTheGameIsDrawnWhileTheLogoPlays) {
    // box_composition draws boxes at once, flow draws nothing; both have a
    // 320 x 240 screen. While the logo plays their pictures are the same,
    // and without the logo they differ.
    const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / "box_composition";
    const std::string boxes = dir.path("boxes.dat");
    ASSERT_EQ(runProgram(builtProgram("zunotool"), {"game", "build", src.string(), boxes}).status, 0);
    auto shot = [&](const std::string& gameFile, bool logo, const std::string& png) {
        std::vector<std::string> args{"--headless", "--frames", "20", "--screenshot", "20:" + dir.path(png),
                                      "--trace", dir.path(png + ".trace")};
        if (!logo)
            args.push_back("--no-logo");
        args.push_back(gameFile);
        auto r = runProgram(builtProgram("zunoplay"), args);
        EXPECT_EQ(r.status, 0) << r.err;
        return readAll(dir.path(png));
    };
    const std::string boxesLogo = shot(boxes, true, "a.png"), flowLogo = shot(game, true, "b.png");
    EXPECT_FALSE(boxesLogo.empty());
    EXPECT_EQ(boxesLogo, flowLogo);
    EXPECT_NE(shot(boxes, false, "c.png"), shot(game, false, "d.png"));
    // The runs that ended inside the logo wrote no trace lines.
    EXPECT_EQ(readAll(dir.path("a.png.trace")), "");
}

} // namespace
