// Test games in games/tests/NAME, written in the source form: each is built
// with zunotool game build and run with zunoplay --headless; the trace and
// the variable dump must equal expected-trace.txt and expected-vars.txt.
// run.args gives zunoplay's extra options (one line), input.txt scripted input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int run(const std::string& command) {
    const int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string quote(const fs::path& p) { return "'" + p.string() + "'"; }

class GameRun : public ::testing::TestWithParam<std::string> {};

TEST_P(GameRun, TraceAndVariablesAsExpected) {
    const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / GetParam();
    const fs::path build = ZUNO_BUILD_DIR;
    const fs::path out = build / "e2e" / GetParam();
    ASSERT_TRUE(fs::exists(build / "zunotool") && fs::exists(build / "zunoplay")) << "build zunotool and zunoplay first";
    fs::remove_all(out);
    fs::create_directories(out);
    ASSERT_EQ(run(quote(build / "zunotool") + " game build " + quote(src) + " " + quote(out)), 0);
    std::string options = readFile(src / "run.args");
    while (!options.empty() && (options.back() == '\n' || options.back() == '\r'))
        options.pop_back();
    if (fs::exists(src / "input.txt"))
        options += " --input " + quote(src / "input.txt");
    ASSERT_EQ(run(quote(build / "zunoplay") + " --headless " + options + " --trace " + quote(out / "trace.txt") +
                  " --dump-vars " + quote(out / "vars.txt") + " " + quote(out / "game.dat")),
              0);
    EXPECT_EQ(readFile(out / "trace.txt"), readFile(src / "expected-trace.txt"));
    EXPECT_EQ(readFile(out / "vars.txt"), readFile(src / "expected-vars.txt"));
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
    const fs::path build = ZUNO_BUILD_DIR;
    const fs::path out = build / "e2e" / "roundtrip";
    fs::remove_all(out);
    fs::create_directories(out);
    const fs::path src = fs::path(ZUNO_SOURCE_DIR) / "games" / "tests" / "allcommands" / "main.zs";
    const std::string tool = quote(build / "zunotool");
    ASSERT_EQ(run(tool + " page build " + quote(src) + " " + quote(out / "main.zsb")), 0);
    ASSERT_EQ(run(tool + " page decompile " + quote(out / "main.zsb") + " > " + quote(out / "main.zs")), 0);
    fs::create_directories(out / "again");
    ASSERT_EQ(run(tool + " page build " + quote(out / "main.zs") + " " + quote(out / "again" / "main.zsb")), 0);
    EXPECT_EQ(readFile(out / "main.zsb"), readFile(out / "again" / "main.zsb"));
    // Bad source: FILE:LINE: message, exit 1.
    std::ofstream(out / "bad.zs") << "Calc a = 1\nWhile\n";
    EXPECT_EQ(run(tool + " page build " + quote(out / "bad.zs") + " " + quote(out / "bad.zsb") + " 2> " +
                  quote(out / "err.txt")),
              1);
    EXPECT_NE(readFile(out / "err.txt").find("bad.zs:2: While without a matching WhileLoop"), std::string::npos);
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
    const fs::path build = ZUNO_BUILD_DIR;
    const fs::path src = build / "e2e" / "gamebuild-src";
    const fs::path out = build / "e2e" / "gamebuild-out";
    fs::remove_all(src);
    fs::remove_all(out);
    fs::create_directories(src / "sub");
    std::ofstream(src / "zuno.zpt") << "startPage: main.zsb\n";
    std::ofstream(src / "main.zs") << "Jump page: sub\\other.zsb; target: @there\n";
    std::ofstream(src / "sub" / "other.zs") << "Calc a = 1\nLabel there\n";
    std::ofstream(src / "notes.txt") << "kept";
    std::ofstream(src / "pic.drl.bmp", std::ios::binary) << tinyBmp();
    const std::string tool = quote(build / "zunotool");
    ASSERT_EQ(run(tool + " game build " + quote(src) + " " + quote(out)), 0);
    EXPECT_TRUE(fs::exists(out / "files" / "pic.drl"));
    EXPECT_TRUE(fs::exists(out / "files" / "zuno.zpb"));
    EXPECT_EQ(readFile(out / "files" / "notes.txt"), "kept");
    ASSERT_EQ(run(tool + " page dump " + quote(out / "files" / "main.zsb") + " > " + quote(out / "dump.txt")), 0);
    EXPECT_NE(readFile(out / "dump.txt").find("target: 1"), std::string::npos) << readFile(out / "dump.txt");
    ASSERT_EQ(run(tool + " ls " + quote(out / "game.dat") + " > " + quote(out / "ls.txt")), 0);
    const std::string ls = readFile(out / "ls.txt");
    for (const char* name : {"main.zsb", "sub\\other.zsb", "pic.drl", "zuno.zpb", "notes.txt"})
        EXPECT_NE(ls.find(std::string(name) + "\t"), std::string::npos) << name;

    std::ofstream(src / "sub" / "other.zs") << "Calc a = 1\n\nCalc b = (\n";
    EXPECT_EQ(run(tool + " game build " + quote(src) + " " + quote(out) + " 2> " + quote(out / "err.txt")), 1);
    EXPECT_NE(readFile(out / "err.txt").find("other.zs:3: statement:"), std::string::npos) << readFile(out / "err.txt");
    fs::remove(src / "zuno.zpt");
    EXPECT_EQ(run(tool + " game build " + quote(src) + " " + quote(out) + " 2> /dev/null"), 1);
}

} // namespace
