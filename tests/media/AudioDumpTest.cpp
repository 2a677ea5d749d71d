// The audio dump: a WAV file whose header is right after every write, sample
// counts that follow the virtual clock exactly, and a change made in frame
// step k heard within the bounds of the command-line contract.
#include <gtest/gtest.h>


#include <cstdlib>
#include <fstream>
#include <sstream>

#include "MediaTestKit.h"
#include "archive/TVrFileManager.h"
#include "media/TAudioDump.h"
#include "media/TMediaSystem.h"
#include "media/TMidiPlayV.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/ProgramRunner.h"

namespace zuno {
namespace {

using namespace zuno::test;
namespace fs = std::filesystem;

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int64_t framesAfter(int64_t steps) { return steps * 16 * 44100 / 1000; }

// Checks the header of a dump and returns its samples.
std::vector<int16_t> dumpSamples(const Bytes& b) {
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44)
        return {};
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(getLE32(b.data() + 4), b.size() - 8);
    EXPECT_EQ(getLE16(b.data() + 20), 1);           // PCM
    EXPECT_EQ(getLE16(b.data() + 22), 2);
    EXPECT_EQ(getLE32(b.data() + 24), 44100u);
    EXPECT_EQ(getLE32(b.data() + 28), 176400u);
    EXPECT_EQ(getLE16(b.data() + 32), 4);
    EXPECT_EQ(getLE16(b.data() + 34), 16);
    EXPECT_EQ(getLE32(b.data() + 40), b.size() - 44);
    return samplesOf(Bytes(b.begin() + 44, b.end()));
}

TEST(AudioDump, TheHeaderIsRightAfterEveryWrite) {
    TempFolder dir;
    TAudioDump dump;
    ASSERT_TRUE(dump.open(dir.path("d.wav")));
    EXPECT_TRUE(dumpSamples(readBytes(dir.path("d.wav"))).empty());
    const std::vector<int16_t> s = {1, -1, 2, -2, 3, -3};
    dump.write(s.data(), 3);
    dump.write(s.data(), 1);
    // Still open: what is on disk is already a complete file.
    EXPECT_EQ(dumpSamples(readBytes(dir.path("d.wav"))), (std::vector<int16_t>{1, -1, 2, -2, 3, -3, 1, -1}));
    dump.close();
    EXPECT_EQ(dumpSamples(readBytes(dir.path("d.wav"))).size(), 8u);
    EXPECT_FALSE(dump.open(dir.path("no/such/folder/d.wav")));
}

// A headless run of the media layer alone: frame steps that start, change
// or stop sounds, and the dump of what was mixed.
struct HeadlessMix {
    explicit HeadlessMix(bool directSound, int delay = 100) {
        files.SetBaseFolder(dir.path());
        TMediaSettings s;
        s.UseDirectSound = directSound;
        s.SoundDelay = delay;
        media = std::make_unique<TMediaSystem>(files, s, [this] { return platform.ticks(); });
        platform.openAudio([this](int16_t* samples, int frames) {
            media->Mixer().pull(samples, frames);
            mixed.insert(mixed.end(), samples, samples + size_t(frames) * 2);
        });
    }
    // Runs frame steps up to `step`; each begins with the sound of its 16 ms.
    void runTo(int step) {
        while (platform.frame() < step)
            platform.advanceFrame();
    }
    // The first sample frame at or after `from` whose left sample satisfies `pred`; -1 when none.
    template <class Pred>
    int64_t firstFrame(int64_t from, Pred pred) const {
        for (size_t i = size_t(from) * 2; i < mixed.size(); i += 2)
            if (pred(mixed[i]))
                return int64_t(i / 2);
        return -1;
    }
    TempFolder dir;
    TVrFileManager files;
    THeadlessPlatform platform;
    std::unique_ptr<TMediaSystem> media;
    std::vector<int16_t> mixed;
};

TEST(AudioDump, SampleCountsFollowTheVirtualClock) {
    HeadlessMix m(true);
    for (int step : {1, 2, 3, 10, 125, 126}) {
        m.runTo(step);
        EXPECT_EQ(int64_t(m.mixed.size() / 2), framesAfter(step)) << step;
    }
    EXPECT_EQ(m.mixed, std::vector<int16_t>(m.mixed.size(), 0));   // nothing plays: exact silence
}

TEST(AudioDump, ChangesAreHeardWithinTheContractBounds) {
    struct Case { const char* name; bool directSound; int delay; };
    const Case cases[] = {{"device path", true, 500}, {"wave-out 100 ms", false, 100}, {"wave-out 500 ms", false, 500}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessMix m(c.directSound, c.delay);
        m.dir.write("s.wav", constantWav(44100 * 10, 1000));
        TDMediaItem* item = m.media->AddSound("s.wav");
        const int64_t latest = 2 * (c.delay * 44100 / 1000) + framesAfter(1);
        // Frame step 20 starts it.
        m.runTo(20);
        item->Play();
        m.runTo(200);
        const int64_t startFrom = framesAfter(19);
        const int64_t heard = m.firstFrame(0, [](int16_t v) { return v != 0; });
        EXPECT_GE(heard, startFrom);
        EXPECT_LE(heard, startFrom + latest);
        // Frame step 201 halves it (wave-out gain 128 or device -602).
        item->SetVolume(c.directSound ? -602 : -2500);
        m.runTo(400);
        const int64_t changeFrom = framesAfter(200);
        const int64_t halved = m.firstFrame(0, [](int16_t v) { return v == 500 || v == 499; });
        EXPECT_GE(halved, changeFrom);
        EXPECT_LE(halved, changeFrom + latest);
        // Frame step 401 pauses it: silence from then on, within the bounds.
        item->Pause();
        m.runTo(600);
        const int64_t stopFrom = framesAfter(400);
        const int64_t silent = m.firstFrame(stopFrom, [](int16_t v) { return v == 0; });
        EXPECT_GE(silent, stopFrom);
        EXPECT_LE(silent, stopFrom + latest);
        EXPECT_EQ(m.firstFrame(silent, [](int16_t v) { return v != 0; }), -1);
    }
}

TEST(AudioDump, MidiIsHeardWithinTheBounds) {
    HeadlessMix m(true);
    MidiTrack t;
    t.event(0, {0x90, 69, 120}).event(4800, {0x80, 69, 0}).end();
    m.dir.write("m.mid", midiFile({t}));
    TDMediaItem* item = m.media->AddSound("m.mid");
    m.runTo(10);
    item->Play();
    if (!m.media->Midi().Sequencer().PortOpen())
        GTEST_SKIP() << "no sound font installed";
    m.runTo(100);
    const int64_t from = framesAfter(9);
    const int64_t heard = m.firstFrame(0, [](int16_t v) { return std::abs(int(v)) > 2; });
    EXPECT_GE(heard, from);
    EXPECT_LE(heard, from + 2 * 22050 + framesAfter(1));
}

TEST(AudioDump, ThePlayerWritesOneFrameStepOfSamplesPerStep) {
    const fs::path build = ZUNO_BUILD_DIR;
    const fs::path game = build / "demo" / "game.dat";
    if (!fs::exists(build / "zunoplay") || !fs::exists(game))
        GTEST_SKIP() << "build zunoplay and the demo game first";
    TempFolder dir;
    for (int frames : {1, 7, 100}) {
        SCOPED_TRACE(frames);
        const std::string out = dir.path("d" + std::to_string(frames) + ".wav");
        ASSERT_EQ(runProgram(builtProgram("zunoplay"), {"--headless", "--no-logo", "--frames", std::to_string(frames),
                                                         "--audio-dump", out, game.string()})
                      .status,
                  0);
        const std::vector<int16_t> s = dumpSamples(readBytes(out));
        EXPECT_EQ(int64_t(s.size() / 2), framesAfter(frames));
    }
    EXPECT_EQ(runProgram(builtProgram("zunoplay"),
                         {"--headless", "--frames", "3", "--audio-dump", dir.path("none/d.wav"), game.string()})
                  .status,
              1);
}

} // namespace
} // namespace zuno
