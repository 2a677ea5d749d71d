// Test games in games/tests/NAME, written in the source form: each is built
// with zunotool game build and run with zunoplay --headless; the trace and
// the variable dump must equal expected-trace.txt and expected-vars.txt.
// run.args gives zunoplay's extra options (one line), input.txt scripted input,
// game.ini the player settings (copied into the game folder).
// expected-pixels.txt, when present, names pixels of screenshots: one
// "STEP X Y RRGGBB" per line (# starts a comment); the run takes a screenshot
// after each named frame step and every listed pixel must have that colour.
// expected-audio.txt, when present, makes the run write --audio-dump and
// checks the mixed samples: one "FROM TO CHECK ARGS" per line (# starts a
// comment) over the sample frames that frame steps FROM to TO produced:
//   silent         every sample is 0
//   quiet N        every sample lies within -N..N (a synthesiser's dither)
//   level L R      every sample frame is exactly (L, R)
//   range LO HI    every sample of both channels lies within LO..HI
//   loud N         some sample reaches N or -N
//   falling        the left samples never grow and end below where they began
//   rising         the left samples never shrink and end above where they began
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
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

struct TAudioCheck {
    int                 From = 0, To = 0;
    std::string         Check;
    std::vector<long>   Args;
    int                 Line = 0;
};

std::vector<TAudioCheck> expectedAudio(const fs::path& file) {
    const std::map<std::string, size_t> argCounts{{"silent", 0}, {"quiet", 1}, {"level", 2}, {"range", 2},
                                                  {"loud", 1},   {"falling", 0}, {"rising", 0}};
    std::vector<TAudioCheck> checks;
    std::istringstream in(readFile(file));
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        TAudioCheck c;
        c.Line = lineNo;
        if (!(words >> c.From >> c.To >> c.Check)) {
            EXPECT_TRUE(line.find_first_not_of(" \t\r") == std::string::npos) << file << ":" << lineNo << ": bad line";
            continue;
        }
        for (long v; words >> v;)
            c.Args.push_back(v);
        const auto known = argCounts.find(c.Check);
        EXPECT_TRUE(known != argCounts.end() && known->second == c.Args.size() && c.From >= 1 && c.To >= c.From)
            << file << ":" << lineNo << ": bad check";
        if (known != argCounts.end() && known->second == c.Args.size())
            checks.push_back(c);
    }
    return checks;
}

// The interleaved stereo samples of an audio dump after checking its header;
// empty when it is not the 44100 Hz 16-bit stereo PCM file it must be.
std::vector<int16_t> dumpSamples(const std::string& b) {
    auto le = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | static_cast<uint8_t>(b[at + i]);
        return v;
    };
    const bool ok = b.size() >= 44 && b.compare(0, 4, "RIFF") == 0 && b.compare(8, 4, "WAVE") == 0 && le(20, 2) == 1 &&
                    le(22, 2) == 2 && le(24, 4) == 44100 && le(34, 2) == 16 && le(40, 4) == b.size() - 44;
    EXPECT_TRUE(ok) << "the audio dump's header";
    std::vector<int16_t> s;
    if (ok)
        for (size_t at = 44; at + 1 < b.size(); at += 2)
            s.push_back(static_cast<int16_t>(le(at, 2)));
    return s;
}

// The first sample frame that frame step k produced.
size_t firstFrameOf(int step) { return size_t(int64_t(step - 1) * 16 * 44100 / 1000); }

// Empty when the samples pass the check, else what was wrong.
std::string failedAudioCheck(const TAudioCheck& c, const std::vector<int16_t>& s) {
    const size_t from = firstFrameOf(c.From), to = firstFrameOf(c.To + 1);
    if (to * 2 > s.size())
        return "the dump holds only " + std::to_string(s.size() / 2) + " sample frames";
    auto where = [&](size_t frame, const std::string& what) {
        return what + " at sample frame " + std::to_string(frame) + " (step " +
               std::to_string(frame * 1000 / (16 * 44100) + 1) + "): " + std::to_string(s[frame * 2]) + ", " +
               std::to_string(s[frame * 2 + 1]);
    };
    const std::vector<long>& a = c.Args;
    if (c.Check == "loud") {
        for (size_t i = from * 2; i < to * 2; ++i)
            if (std::abs(long(s[i])) >= a[0])
                return "";
        return "no sample reaches " + std::to_string(a[0]);
    }
    if (c.Check == "falling" || c.Check == "rising") {
        const int sign = c.Check == "falling" ? -1 : 1;
        for (size_t f = from + 1; f < to; ++f)
            if (sign * (s[f * 2] - s[f * 2 - 2]) < 0)
                return where(f, "turns back");
        if (sign * (s[(to - 1) * 2] - s[from * 2]) <= 0)
            return where(to - 1, "ends where it began");
        return "";
    }
    for (size_t f = from; f < to; ++f) {
        const long l = s[f * 2], r = s[f * 2 + 1];
        bool good = true;
        if (c.Check == "silent")
            good = l == 0 && r == 0;
        else if (c.Check == "quiet")
            good = std::abs(l) <= a[0] && std::abs(r) <= a[0];
        else if (c.Check == "level")
            good = l == a[0] && r == a[1];
        else if (c.Check == "range")
            good = l >= a[0] && l <= a[1] && r >= a[0] && r <= a[1];
        if (!good)
            return where(f, "differs");
    }
    return "";
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
    if (fs::exists(src / "game.ini"))
        fs::copy_file(src / "game.ini", out / "game.ini", fs::copy_options::overwrite_existing);
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
    const std::vector<TAudioCheck> audio =
        fs::exists(src / "expected-audio.txt") ? expectedAudio(src / "expected-audio.txt") : std::vector<TAudioCheck>{};
    if (fs::exists(src / "expected-audio.txt"))
        args.insert(args.end(), {"--audio-dump", (out / "audio.wav").string()});
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
    if (!audio.empty()) {
        const std::vector<int16_t> samples = dumpSamples(readFile(out / "audio.wav"));
        for (const TAudioCheck& c : audio)
            EXPECT_EQ(failedAudioCheck(c, samples), "")
                << "expected-audio.txt:" << c.Line << ": steps " << c.From << "-" << c.To << " " << c.Check;
    }
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
