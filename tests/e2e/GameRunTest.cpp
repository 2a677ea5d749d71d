// Test games in games/tests/NAME, written in the source form: each is built
// with zunotool game build and run with zunoplay --headless; the trace and
// the variable dump must equal expected-trace.txt and expected-vars.txt.
// run.args gives zunoplay's extra options (one line), input.txt scripted input.
// expected-pixels.txt, when present, names pixels of screenshots: one
// "STEP X Y RRGGBB" per line (# starts a comment); the run takes a screenshot
// after each named frame step and every listed pixel must have that colour.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

namespace {

namespace fs = std::filesystem;
using zuno::test::TProgramResult;
using zuno::test::TTempFolder;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TProgramResult zunotool(const std::vector<std::string>& args) {
    return zuno::test::runProgram(zuno::test::builtProgram("zunotool"), args);
}

// The words of run.args (one line, separated by blanks).
std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

struct TExpectedPixel {
    int         Step = 0, X = 0, Y = 0;
    std::string Colour;                 // RRGGBB, lower case
    int         Line = 0;
};

std::vector<TExpectedPixel> expectedPixels(const fs::path& file) {
    std::vector<TExpectedPixel> pixels;
    std::istringstream in(readFile(file));
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        TExpectedPixel p;
        p.Line = lineNo;
        if (words >> p.Step >> p.X >> p.Y >> p.Colour)
            pixels.push_back(p);
        else
            EXPECT_TRUE(line.find_first_not_of(" \t\r") == std::string::npos) << file << ":" << lineNo << ": bad line";
    }
    return pixels;
}

// The RGB pixels of a screenshot (rows top-down), or empty when it cannot be read.
struct TShot {
    int                  Width = 0, Height = 0;
    std::vector<uint8_t> Rgb;
};

TShot readShot(const fs::path& file) {
    TShot shot;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.string().c_str()))
        return shot;
    image.format = PNG_FORMAT_RGB;
    shot.Rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, shot.Rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return TShot{};
    }
    shot.Width = static_cast<int>(image.width);
    shot.Height = static_cast<int>(image.height);
    return shot;
}

std::string colourAt(const TShot& shot, int x, int y) {
    if (x < 0 || y < 0 || x >= shot.Width || y >= shot.Height)
        return "outside";
    const uint8_t* p = &shot.Rgb[(size_t(y) * shot.Width + x) * 3];
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", p[0], p[1], p[2]);
    return text;
}

class GameRun : public ::testing::TestWithParam<std::string> {};

TEST_P(GameRun, TraceAndVariablesAsExpected) {
    const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / GetParam();
    const std::string zunoplay = zuno::test::builtProgram("zunoplay");
    ASSERT_TRUE(fs::exists(zuno::test::builtProgram("zunotool")) && fs::exists(zunoplay))
        << "build zunotool and zunoplay first";
    TTempFolder dir;
    const fs::path out = dir.path();
    TProgramResult built = zunotool({"game", "build", src.string(), out.string()});
    ASSERT_EQ(built.status, 0) << built.err;
    std::vector<std::string> args{"--headless", "--no-logo"};
    for (const std::string& w : wordsOf(readFile(src / "run.args")))
        args.push_back(w);
    if (fs::exists(src / "input.txt"))
        args.insert(args.end(), {"--input", (src / "input.txt").string()});
    const std::vector<TExpectedPixel> pixels =
        fs::exists(src / "expected-pixels.txt") ? expectedPixels(src / "expected-pixels.txt") : std::vector<TExpectedPixel>{};
    auto shotFile = [&](int step) { return out / ("shot" + std::to_string(step) + ".png"); };
    std::vector<int> steps;
    for (const TExpectedPixel& p : pixels)
        if (std::find(steps.begin(), steps.end(), p.Step) == steps.end()) {
            steps.push_back(p.Step);
            args.insert(args.end(), {"--screenshot", std::to_string(p.Step) + ":" + shotFile(p.Step).string()});
        }
    args.insert(args.end(), {"--trace", (out / "trace.txt").string(), "--dump-vars", (out / "vars.txt").string(),
                             (out / "game.dat").string()});
    TProgramResult played = zuno::test::runProgram(zunoplay, args);
    ASSERT_EQ(played.status, 0) << played.err;
    EXPECT_EQ(readFile(out / "trace.txt"), readFile(src / "expected-trace.txt"));
    EXPECT_EQ(readFile(out / "vars.txt"), readFile(src / "expected-vars.txt"));
    std::map<int, TShot> shots;
    for (int step : steps) {
        shots[step] = readShot(shotFile(step));
        EXPECT_GT(shots[step].Width, 0) << "no screenshot of step " << step;
    }
    for (const TExpectedPixel& p : pixels)
        EXPECT_EQ(colourAt(shots[p.Step], p.X, p.Y), p.Colour)
            << "expected-pixels.txt:" << p.Line << ": step " << p.Step << " at " << p.X << "," << p.Y;
}

std::vector<std::string> testGames() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(ZUNO_SOURCE_DIR) / "games" / "tests"))
        if (fs::exists(e.path() / "expected-trace.txt"))
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Games, GameRun, ::testing::ValuesIn(testGames()),
                         [](const auto& info) { return info.param; });

// A compiled page decompiled and built again gives the same bytes, through
// the command-line tools.
TEST(PageTools, DecompileBuildRoundTrip) {
    TTempFolder dir;
    const fs::path out = dir.path();
    const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / "allcommands" / "main.zs";
    ASSERT_EQ(zunotool({"page", "build", src.string(), (out / "main.zsb").string()}).status, 0);
    TProgramResult decompiled = zunotool({"page", "decompile", (out / "main.zsb").string()});
    ASSERT_EQ(decompiled.status, 0);
    std::ofstream(out / "main.zs", std::ios::binary) << decompiled.out;
    fs::create_directories(out / "again");
    ASSERT_EQ(zunotool({"page", "build", (out / "main.zs").string(), (out / "again" / "main.zsb").string()}).status, 0);
    EXPECT_EQ(readFile(out / "main.zsb"), readFile(out / "again" / "main.zsb"));
    // Bad source: FILE:LINE: message, exit 1.
    std::ofstream(out / "bad.zs") << "Calc a = 1\nWhile\n";
    TProgramResult bad = zunotool({"page", "build", (out / "bad.zs").string(), (out / "bad.zsb").string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("bad.zs:2: While without a matching WhileLoop"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(out / "bad.zsb"));
}

} // namespace

namespace {

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 2 x 2 24-bit Windows bitmap.
std::string tinyBmp() {
    std::string px;
    for (int row = 0; row < 2; ++row) {
        px += std::string("\x00\x00\xff\x00\xff\x00", 6);
        px += std::string(2, '\0');                     // rows padded to four bytes
    }
    std::string s = "BM";
    put32(s, static_cast<uint32_t>(54 + px.size()));
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, 2);
    put32(s, 2);
    s += std::string("\x01\x00\x18\x00", 4);
    put32(s, 0);
    put32(s, static_cast<uint32_t>(px.size()));
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    return s + px;
}

// game build: pictures named NAME.drl.bmp become Drel files, other files are
// taken as they are, labels of other pages are resolved; a folder without
// zuno.zpt and a page with an error fail with exit status 1.
TEST(GameBuild, ConvertsPicturesResolvesLabelsAndFails) {
    TTempFolder dir;
    const fs::path src = dir.path("src");
    const fs::path out = dir.path("out");
    fs::create_directories(src / "sub");
    std::ofstream(src / "zuno.zpt") << "startPage: main.zsb\n";
    std::ofstream(src / "main.zs") << "Jump page: sub\\other.zsb; target: @there\n";
    std::ofstream(src / "sub" / "other.zs") << "Calc a = 1\nLabel there\n";
    std::ofstream(src / "notes.txt") << "kept";
    std::ofstream(src / "pic.drl.bmp", std::ios::binary) << tinyBmp();
    ASSERT_EQ(zunotool({"game", "build", src.string(), out.string()}).status, 0);
    EXPECT_TRUE(fs::exists(out / "files" / "pic.drl"));
    EXPECT_TRUE(fs::exists(out / "files" / "zuno.zpb"));
    EXPECT_EQ(readFile(out / "files" / "notes.txt"), "kept");
    TProgramResult dump = zunotool({"page", "dump", (out / "files" / "main.zsb").string()});
    ASSERT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find("target: 1"), std::string::npos) << dump.out;
    TProgramResult listed = zunotool({"ls", (out / "game.dat").string()});
    ASSERT_EQ(listed.status, 0);
    const std::string& ls = listed.out;
    for (const char* name : {"main.zsb", "sub\\other.zsb", "pic.drl", "zuno.zpb", "notes.txt"})
        EXPECT_NE(ls.find(std::string(name) + "\t"), std::string::npos) << name;

    std::ofstream(src / "sub" / "other.zs") << "Calc a = 1\n\nCalc b = (\n";
    TProgramResult failed = zunotool({"game", "build", src.string(), out.string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("other.zs:3: statement:"), std::string::npos) << failed.err;
    fs::remove(src / "zuno.zpt");
    EXPECT_EQ(zunotool({"game", "build", src.string(), out.string()}).status, 1);
}

} // namespace
