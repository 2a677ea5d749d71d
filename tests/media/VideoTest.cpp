// Movie items: frames decoded by time into a 32-bit picture, the sound
// through the mix, and files without a picture or without anything.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "MediaTestKit.h"
#include "archive/TVrFileManager.h"
#include "imaging/TDIBX.h"
#include "media/TMediaSystem.h"
#include "support/ProgramRunner.h"

namespace zuno {
namespace {

using namespace zuno::test;

std::vector<uint32_t> pixels(TDIBX* f) {
    std::vector<uint32_t> p;
    for (int y = 0; y < f->GetHeight(); ++y)
        for (int x = 0; x < f->GetWidth(); ++x)
            p.push_back(f->GetPixel(x, y));
    return p;
}

struct Movies {
    Movies() {
        files.SetBaseFolder(dir.path());
        media = std::make_unique<TMediaSystem>(files, TMediaSettings{}, clock.fn());
    }
    // Makes a movie with the ffmpeg tool; false when the tool is missing.
    bool make(const std::string& name, const std::string& inputs) {
        std::vector<std::string> args = {"-nostdin", "-loglevel", "error", "-y"};
        std::istringstream words(inputs);
        for (std::string w; words >> w;)
            args.push_back(w);
        args.push_back(dir.path(name));
        return runProgram("ffmpeg", args).status == 0;
    }
    TempFolder dir;
    TVrFileManager files;
    ManualClock clock;
    std::unique_ptr<TMediaSystem> media;
};

TEST(VideoItem, FramesFollowTheClockAndTheSoundIsMixed) {
    Movies m;
    if (!m.make("m.mpg", "-f lavfi -i testsrc=size=64x48:rate=25:duration=1 -f lavfi -i sine=frequency=440:duration=1 "
                         "-c:v mpeg1video -c:a mp2"))
        GTEST_SKIP() << "no ffmpeg tool to make a movie";
    TVideoItem* v = m.media->AddVideo("m.mpg", true);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetSourceWidth(), 64);
    EXPECT_EQ(v->GetSourceHeight(), 48);
    EXPECT_NEAR(v->GetLength(), 1000, 80);
    v->Play();
    TDIBX* first = v->GetFrame();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetBitCount(), 32);
    EXPECT_TRUE(v->NeedPaint());
    v->FramePainted();
    const std::vector<uint32_t> early = pixels(first);
    for (uint32_t p : early)
        ASSERT_EQ(p >> 24, 0u);                     // the fourth byte stays 0
    EXPECT_FALSE(v->NeedPaint());                   // no time has passed: no new frame
    m.clock.now += 600;
    EXPECT_TRUE(v->NeedPaint());
    // The test picture moves: the frame at 600 ms differs from the first.
    EXPECT_NE(pixels(v->GetFrame()), early);
    // Its sound reaches the mix.
    std::vector<int16_t> s(4410 * 2);
    m.media->Mixer().pull(s.data(), 4410);
    int peak = 0;
    for (int16_t x : s)
        peak = std::max(peak, std::abs(int(x)));
    EXPECT_GT(peak, 1000);
    EXPECT_FALSE(v->IsEnd());
    m.clock.now += 2000;
    EXPECT_TRUE(v->IsEnd());
    EXPECT_FALSE(v->IsEnd());                       // reported once
    EXPECT_FALSE(v->IsPlaying());
}

TEST(VideoItem, ASeekBackShowsTheEarlierFrameAgain) {
    Movies m;
    if (!m.make("m.avi", "-f lavfi -i testsrc=size=32x32:rate=10:duration=2 -c:v mjpeg"))
        GTEST_SKIP() << "no ffmpeg tool to make a movie";
    TVideoItem* v = m.media->AddVideo("m.avi", true);
    ASSERT_NE(v, nullptr);
    v->Play();
    const std::vector<uint32_t> start = pixels(v->GetFrame());
    m.clock.now += 1500;
    const std::vector<uint32_t> late = pixels(v->GetFrame());
    v->SetPosition(0);
    EXPECT_EQ(pixels(v->GetFrame()), start);
    EXPECT_NE(late, start);
}

TEST(VideoItem, NoPictureOrNothingAtAll) {
    Movies m;
    m.dir.write("sound.mpg", constantWav(44100, 500));   // a sound only
    m.dir.write("junk.mpg", Bytes(5000, 0x47));
    TVideoItem* soundOnly = m.media->AddVideo("sound.mpg", true);
    ASSERT_NE(soundOnly, nullptr);
    EXPECT_EQ(soundOnly->GetSourceWidth(), 0);
    soundOnly->Play();
    EXPECT_EQ(soundOnly->GetFrame(), nullptr);
    EXPECT_EQ(soundOnly->GetLength(), 1000);
    EXPECT_EQ(m.media->AddVideo("junk.mpg", true), nullptr);
    EXPECT_EQ(m.media->AddVideo("missing.mpg", true), nullptr);
}

} // namespace
} // namespace zuno
