// zunotool image convert, run as the built program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DrelTestUtil.h"
#include "imaging/TDrelFrameList.h"
#include "support/ProgramRunner.h"
#include "support/TTempFolder.h"

using namespace zuno;
using namespace zuno::test;

namespace {

class ImageTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(builtProgram("zunotool")))
            GTEST_SKIP() << "zunotool is not built";
    }

    std::string path(const std::string& name) const { return FDir.path(name); }

    // Exit status; standard error goes to FErr.
    int run(const std::vector<std::string>& args) {
        std::vector<std::string> all{"image"};
        all.insert(all.end(), args.begin(), args.end());
        TProgramResult r = runProgram(builtProgram("zunotool"), all);
        FErr = r.err;
        return r.status;
    }

    std::unique_ptr<TDrelFrameList> load(const std::string& name, int32_t id = 0) {
        auto list = std::make_unique<TDrelFrameList>(id);
        list->LoadFromFile(path(name));
        return list;
    }

    // A two-frame Drel file: a 24-bit frame with a mask, a 16-bit one without.
    void writeSample(const std::string& name) {
        TDrelFrameList list;
        TDrelFrame* a = list.AddFrame();
        a->Bitmap = patternBitmap(7, 5, 24, 1);
        a->Mask = std::make_unique<TDrelBitmap>(patternMask(7, 5));
        TDrelFrame* b = list.AddFrame();
        b->Bitmap = patternBitmap(3, 2, 16, 2);
        list.SaveToFile(path(name));
    }

    TTempFolder FDir;
    std::string FErr;
};

// RGBA of a frame as the tool writes it: colour, and the mask or 255.
void expectPngOfFrame(const TDrelFrame& png, const TDrelFrame& frame) {
    ASSERT_EQ(png.Bitmap.Width(), frame.Bitmap.Width());
    ASSERT_EQ(png.Bitmap.Height(), frame.Bitmap.Height());
    ASSERT_TRUE(png.HasMask());
    for (int32_t y = 0; y < frame.Bitmap.Height(); ++y)
        for (int32_t x = 0; x < frame.Bitmap.Width(); ++x) {
            ASSERT_EQ(png.Bitmap.PixelToColor(png.Bitmap.GetPixel(x, y)),
                      frame.Bitmap.PixelToColor(frame.Bitmap.GetPixel(x, y)));
            ASSERT_EQ(png.Mask->Row(y)[x], frame.Mask ? frame.Mask->Row(y)[x] : 255);
        }
}

} // namespace

TEST_F(ImageTool, DrelToPngChoosesTheFrame) {
    writeSample("a.drl");
    auto sample = load("a.drl");
    ASSERT_EQ(run({"convert", path("a.drl"), path("first.png")}), 0) << FErr;
    expectPngOfFrame(*load("first.png")->Frames(0), *sample->Frames(0));
    ASSERT_EQ(run({"convert", "--frame", "1", path("a.drl"), path("second.png")}), 0) << FErr;
    expectPngOfFrame(*load("second.png")->Frames(0), *sample->Frames(1));

    // A frame the file does not have: an error, and no output file.
    EXPECT_EQ(run({"convert", path("a.drl"), path("third.png"), "--frame", "2"}), 1);
    EXPECT_NE(FErr.find("フレーム 2"), std::string::npos) << FErr;
    EXPECT_FALSE(std::filesystem::exists(path("third.png")));
}

TEST_F(ImageTool, DrelOutputInEveryKindAndOneFrame) {
    writeSample("a.drl");
    auto sample = load("a.drl");
    for (const char* kind : {"0", "1"}) {
        ASSERT_EQ(run({"convert", path("a.drl"), path("k.drl"), "--kind", kind}), 0) << FErr;
        auto back = load("k.drl");
        ASSERT_EQ(back->Count(), 2);
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(samePixels(back->Frames(i)->Bitmap, sample->Frames(i)->Bitmap)) << kind;
    }
    ASSERT_EQ(run({"convert", path("a.drl"), path("j.drl"), "--kind=2", "--quality=90", "--frame=0"}), 0) << FErr;
    std::ifstream in(path("j.drl"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 60u);
    EXPECT_EQ(bytes[11 + 16], 1);    // one frame
    EXPECT_EQ(bytes[11 + 22], 2);    // JPEG
    EXPECT_EQ(bytes[11 + 37], 90);   // quality
    EXPECT_TRUE(samePixels(*load("j.drl")->Frames(0)->Mask, *sample->Frames(0)->Mask));
}

TEST_F(ImageTool, IdentificationCodeProtectsAndUnlocks) {
    writeSample("a.drl");
    auto sample = load("a.drl");
    ASSERT_EQ(run({"convert", path("a.drl"), path("p.drl"), "--id", "4660"}), 0) << FErr;
    EXPECT_FALSE(samePixels(load("p.drl")->Frames(0)->Bitmap, sample->Frames(0)->Bitmap));
    EXPECT_TRUE(samePixels(load("p.drl", 4660)->Frames(0)->Bitmap, sample->Frames(0)->Bitmap));
    ASSERT_EQ(run({"convert", path("p.drl"), path("p.png"), "--id", "0x1234"}), 0) << FErr;
    expectPngOfFrame(*load("p.png")->Frames(0), *sample->Frames(0));
}

TEST_F(ImageTool, BitmapInput) {
    // 32-bit bitmap with alpha: the PNG carries it.
    Bytes bmp;
    bmp.text("BM").i32(14 + 40 + 16).i32(0).i32(54);
    bmp.i32(40).i32(2).i32(2).u16(1).u16(32).i32(0).i32(16).i32(0).i32(0).i32(0).i32(0);
    bmp.u8(1).u8(2).u8(3).u8(40).u8(4).u8(5).u8(6).u8(50);      // bottom row
    bmp.u8(7).u8(8).u8(9).u8(60).u8(10).u8(11).u8(12).u8(255);  // top row
    std::ofstream(path("a.bmp"), std::ios::binary).write(reinterpret_cast<const char*>(bmp.data.data()),
                                                        std::streamsize(bmp.data.size()));
    ASSERT_EQ(run({"convert", path("a.bmp"), path("a.png")}), 0) << FErr;
    auto png = load("a.png");
    const TDrelFrame* f = png->Frames(0);
    EXPECT_EQ(f->Bitmap.PixelToColor(f->Bitmap.GetPixel(1, 0)), 0x0A0B0C);
    EXPECT_EQ(f->Mask->Row(0)[1], 255);
    EXPECT_EQ(f->Mask->Row(1)[0], 40);
}

TEST_F(ImageTool, SeveralInputsMakeOneAnimation) {
    writeSample("a.drl");                                        // two frames
    {
        auto sample = load("a.drl");
        sample->Frames(0)->Delay = 30;
        sample->Frames(1)->Delay = 0;
        sample->SaveToFile(path("a.drl"));
    }
    auto sample = load("a.drl");
    ASSERT_EQ(run({"convert", "--frame", "1", path("a.drl"), path("one.png")}), 0) << FErr;
    auto png = load("one.png");

    // The frames in the order of the inputs, each keeping its delay (a PNG
    // frame has the default 100), or all taking --delay.
    struct Case { std::vector<std::string> options; std::vector<int32_t> delays; };
    const Case cases[] = {
        {{}, {100, 30, 0}},
        {{"--delay", "80"}, {80, 80, 80}},
        {{"--delay=0"}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"convert", path("one.png"), path("a.drl"), path("anim.drl")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(run(args), 0) << FErr;
        auto anim = load("anim.drl");
        ASSERT_EQ(anim->Count(), 3);
        EXPECT_TRUE(samePixels(anim->Frames(0)->Bitmap, png->Frames(0)->Bitmap));
        EXPECT_TRUE(samePixels(*anim->Frames(0)->Mask, *png->Frames(0)->Mask));
        EXPECT_TRUE(samePixels(anim->Frames(1)->Bitmap, sample->Frames(0)->Bitmap));
        EXPECT_TRUE(samePixels(*anim->Frames(1)->Mask, *sample->Frames(0)->Mask));
        EXPECT_TRUE(samePixels(anim->Frames(2)->Bitmap, sample->Frames(1)->Bitmap));
        EXPECT_FALSE(anim->Frames(2)->HasMask());
        std::vector<int32_t> delays;
        for (int i = 0; i < anim->Count(); ++i)
            delays.push_back(anim->Frames(i)->Delay);
        EXPECT_EQ(delays, c.delays);
    }
    // --frame picks from the joined frames.
    ASSERT_EQ(run({"convert", path("a.drl"), path("one.png"), path("last.png"), "--frame", "2"}), 0) << FErr;
    EXPECT_TRUE(samePixels(load("last.png")->Frames(0)->Bitmap, png->Frames(0)->Bitmap));
    EXPECT_EQ(run({"convert", path("a.drl"), path("one.png"), path("x.drl"), "--delay", "-1"}), 2);
    EXPECT_EQ(run({"convert", path("a.drl"), path("one.gif"), path("x.drl")}), 1);
    EXPECT_FALSE(std::filesystem::exists(path("x.drl")));
}

// game build turns a folder NAME.drl.frames of numbered pictures and a delay
// file into the animated NAME.drl, frames in the order of their numbers.
TEST_F(ImageTool, GameBuildMakesAnimationsFromFrameFolders) {
    writeSample("a.drl");
    namespace fs = std::filesystem;
    const fs::path src = path("src"), frames = src / "pics" / "walk.drl.frames";
    fs::create_directories(frames);
    std::ofstream(src / "zuno.zpt") << "startPage: main.zsb\n";
    std::ofstream(src / "main.zs") << "Calc a = 1\n";
    // Numbers 0, 2, 10: 10 comes last although its name sorts before 2.
    ASSERT_EQ(run({"convert", "--frame", "0", path("a.drl"), (frames / "0.png").string()}), 0) << FErr;
    ASSERT_EQ(run({"convert", "--frame", "1", path("a.drl"), (frames / "2.png").string()}), 0) << FErr;
    ASSERT_EQ(run({"convert", "--frame", "0", path("a.drl"), (frames / "10.png").string()}), 0) << FErr;
    auto game = [&](const std::string& out) {
        const std::string cmd = std::string(ZUNO_BUILD_DIR) + "/zunotool game build '" + src.string() + "' '" +
                                path(out) + "' 2>'" + path("err.txt") + "' >/dev/null";
        const int raw = std::system(cmd.c_str());
        std::ifstream in(path("err.txt"));
        FErr.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };

    ASSERT_EQ(game("out"), 0) << FErr;
    auto anim = load("out/files/pics/walk.drl");
    ASSERT_EQ(anim->Count(), 3);
    const char* order[] = {"0.png", "2.png", "10.png"};
    for (int i = 0; i < 3; ++i) {
        auto picture = load("src/pics/walk.drl.frames/" + std::string(order[i]));
        EXPECT_TRUE(samePixels(anim->Frames(i)->Bitmap, picture->Frames(0)->Bitmap)) << order[i];
    }
    EXPECT_FALSE(samePixels(anim->Frames(0)->Bitmap, anim->Frames(1)->Bitmap));
    EXPECT_EQ(anim->Frames(0)->Delay, 100);                      // no delay file: the frames' own
    EXPECT_FALSE(fs::exists(path("out/files/pics/walk.drl.frames")));

    std::ofstream(frames / "delay") << "80\n";
    ASSERT_EQ(game("out"), 0) << FErr;
    anim = load("out/files/pics/walk.drl");
    for (int i = 0; i < anim->Count(); ++i)
        EXPECT_EQ(anim->Frames(i)->Delay, 80) << i;

    // Anything but numbered pictures and the delay file is refused.
    std::ofstream(frames / "notes.txt") << "x";
    EXPECT_EQ(game("out2"), 1);
    EXPECT_NE(FErr.find("notes.txt"), std::string::npos) << FErr;
    fs::remove(frames / "notes.txt");
    std::ofstream(frames / "delay") << "soon\n";
    EXPECT_NE(game("out2"), 0);
}

TEST_F(ImageTool, UsageAndInputErrors) {
    writeSample("a.drl");
    EXPECT_EQ(run({"convert", path("a.drl")}), 2);
    EXPECT_EQ(run({"convert", path("a.drl"), path("b.png"), "--kind", "3"}), 2);
    EXPECT_EQ(run({"convert", path("a.drl"), path("b.png"), "--frame", "x"}), 2);
    EXPECT_EQ(run({"convert", path("a.drl"), path("b.png"), "--colour", "1"}), 2);
    EXPECT_EQ(run({"rotate", path("a.drl"), path("b.png")}), 2);
    EXPECT_EQ(run({"convert", path("a.drl"), path("b.gif")}), 1);
    EXPECT_EQ(run({"convert", path("missing.drl"), path("b.png")}), 1);
    std::ofstream(path("bad.drl"), std::ios::binary) << "Drel106 and nothing else";
    EXPECT_EQ(run({"convert", path("bad.drl"), path("b.png")}), 1);
    EXPECT_NE(FErr.find("zunotool: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("b.png")));
}
