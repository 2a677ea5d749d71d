// The wave-out engine against its arithmetic: block size, conversion reads,
// gains, saturation, pause, positions, repeat, unsupported formats, the
// queue of at most two blocks and what the output hears when.
#include <gtest/gtest.h>

#include "MediaTestKit.h"
#include "media/TWavOut.h"

namespace zuno {
namespace {

using namespace zuno::test;

// A source stream of PCM bytes that counts how far it was read.
struct Source {
    explicit Source(Bytes bytes) : stream(std::move(bytes)) {}
    TKsMemoryStream stream;
};

struct Engine {
    explicit Engine(int delay = 100) : out(delay, clock.fn()) { out.OpenDevice(true); }
    // Pulls `frames` frames as the output would.
    std::vector<int16_t> pull(int frames) {
        std::vector<int16_t> s(size_t(frames) * 2, 0);
        out.mixInto(s.data(), frames);
        return s;
    }
    ManualClock clock;
    TWavOut out;
};

TEST(WavOut, BlockSizeFollowsTheSoundDelay) {
    for (int delay : {100, 200, 500}) {
        ManualClock c;
        TWavOut out(delay, c.fn());
        EXPECT_EQ(out.BlockSize(), delay * 176400 / 1000);
    }
    Engine e(200);
    EXPECT_FALSE(e.out.OpenDevice(true));           // already open
    EXPECT_GE(e.out.PoolSize(), 4);
}

TEST(WavOut, EachSourceFormatReadsItsShareOfABlock) {
    struct Case { TPcmFormat f; int divisor; };
    const Case cases[] = {
        {{2, 44100, 16}, 1}, {{1, 44100, 16}, 2}, {{2, 22050, 16}, 2}, {{1, 22050, 16}, 4},
        {{2, 44100, 8}, 2},  {{1, 44100, 8}, 4},  {{2, 22050, 8}, 4},  {{1, 22050, 8}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.f.Channels << "ch " << c.f.SamplesPerSec << " " << c.f.BitsPerSample);
        Engine e(200);
        Source src(Bytes(1 << 20, 0x90));
        TWavBuffer* b = e.out.AddSource(c.f, src.stream);
        b->StartSource();
        e.out.Fill();                               // two blocks
        EXPECT_EQ(b->ReadPosition(), 2 * e.out.BlockSize() / c.divisor);
    }
}

TEST(WavOut, ConversionGainAndSaturation) {
    struct Case {
        const char* name;
        TPcmFormat f;
        Bytes data;
        int32_t gain;
        std::vector<int16_t> firstFrames;           // the block's first samples
    };
    const Case cases[] = {
        {"stereo as is", {2, 44100, 16}, pcm16({100, -200, 300, -400}), 256, {100, -200, 300, -400}},
        {"mono to both", {1, 44100, 16}, pcm16({100, -200}), 256, {100, 100, -200, -200}},
        {"22050 frames twice", {2, 22050, 16}, pcm16({5, 6, 7, 8}), 256, {5, 6, 5, 6, 7, 8, 7, 8}},
        {"8-bit", {1, 22050, 8}, {0, 255}, 256, {-32768, -32768, -32768, -32768, 32512, 32512, 32512, 32512}},
        {"gain 128 halves", {2, 44100, 16}, pcm16({1000, -1000, 3, -3}), 128, {500, -500, 1, -2}},
        {"gain 255 keeps", {2, 44100, 16}, pcm16({1000, -1000}), 255, {1000, -1000}},
        {"gain 0 silences", {2, 44100, 16}, pcm16({1000, -1000}), 0, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Engine e;
        Source src(c.data);
        TWavBuffer* b = e.out.AddSource(c.f, src.stream);
        b->SetGain(c.gain);
        b->StartSource();
        std::vector<int16_t> got = e.pull(8);
        got.resize(c.firstFrames.size());
        EXPECT_EQ(got, c.firstFrames);
    }
    // Two full-scale sources of the same sign saturate instead of wrapping.
    Engine e;
    Source a(pcm16({30000, -30000})), b(pcm16({30000, -30000}));
    e.out.AddSource({2, 44100, 16}, a.stream)->StartSource();
    e.out.AddSource({2, 44100, 16}, b.stream)->StartSource();
    const std::vector<int16_t> got = e.pull(1);
    EXPECT_EQ(got, (std::vector<int16_t>{32767, -32768}));
}

TEST(WavOut, GainZeroStillAdvancesAndEnds) {
    Engine e;
    Source src(pcm16(ramp(1000, 2)));
    TWavBuffer* b = e.out.AddSource({2, 44100, 16}, src.stream);
    b->SetGain(0);
    b->StartSource();
    e.pull(10);
    EXPECT_EQ(b->ReadPosition(), 4000);
    EXPECT_TRUE(b->Ended());
    e.clock.now += 2 * 100 + 10;
    EXPECT_FALSE(b->SourceFinished());              // more than 2 delays + 10 ms must pass
    e.clock.now += 1;
    EXPECT_TRUE(b->SourceFinished());
}

TEST(WavOut, PauseKeepsThePositionAndStartContinues) {
    Engine e;
    Source src(pcm16(ramp(44100, 2)));
    TWavBuffer* b = e.out.AddSource({2, 44100, 16}, src.stream);
    b->StartSource();
    e.pull(100);
    const int32_t at = b->ReadPosition();
    EXPECT_EQ(at, 2 * e.out.BlockSize());
    b->PauseSource();
    // The queued blocks play out; no new block is mixed while paused.
    e.pull(2 * 4410);
    EXPECT_EQ(b->ReadPosition(), at);
    EXPECT_EQ(e.out.QueuedBlocks(), 0);
    EXPECT_EQ(e.pull(10), std::vector<int16_t>(20, 0));
    b->StartSource();
    const std::vector<int16_t> resumed = e.pull(1);
    const std::vector<int16_t> r = ramp(44100, 2);
    EXPECT_EQ(resumed[0], r[size_t(at / 2)]);
}

TEST(WavOut, PlayingPositionRightAfterAStart) {
    Engine e;
    Source src(pcm16(ramp(44100, 2)));
    TWavBuffer* b = e.out.AddSource({2, 44100, 16}, src.stream);
    b->StartSource();
    e.pull(1);
    // Two blocks read at once: read position minus one delay's worth.
    const int32_t delayBytes = 100 * 176400 / 1000;
    EXPECT_EQ(b->PlayingPosition(), 2 * e.out.BlockSize() - delayBytes);
    e.clock.now += 50;
    EXPECT_EQ(b->PlayingPosition(), 2 * e.out.BlockSize() - delayBytes + 50 * 176400 / 1000);
    e.clock.now += 151;                             // more than 2 delays: the read position
    EXPECT_EQ(b->PlayingPosition(), b->ReadPosition());

    // Never below 0: a source set back to the start right after its first block.
    Engine f;
    Source small(pcm16(ramp(44100, 2)));
    TWavBuffer* c = f.out.AddSource({2, 44100, 16}, small.stream);
    c->StartSource();
    f.pull(1);
    c->SetReadPosition(100);
    EXPECT_EQ(c->PlayingPosition(), 0);
}

TEST(WavOut, RepeatWrapsToTheLoopStartWithoutAGap) {
    Engine e;
    // 1000 frames of the ramp; looping from frame 400.
    const std::vector<int16_t> r = ramp(1000, 2);
    Source src(pcm16(r));
    TWavBuffer* b = e.out.AddSource({2, 44100, 16}, src.stream);
    b->SetRepeat(true, 400 * 4);
    b->StartSource();
    const std::vector<int16_t> got = e.pull(2000);
    for (int i = 0; i < 2000; ++i) {
        const int frame = i < 1000 ? i : 400 + (i - 1000) % 600;
        ASSERT_EQ(got[size_t(i) * 2], r[size_t(frame) * 2]) << "frame " << i;
    }
    EXPECT_FALSE(b->Ended());
}

TEST(WavOut, UnsupportedFormatsStaySilentAndNeverEnd) {
    Engine e;
    Source src(pcm16(ramp(100, 2)));
    TWavBuffer* b = e.out.AddSource({2, 48000, 16}, src.stream);
    b->StartSource();
    EXPECT_EQ(e.pull(100), std::vector<int16_t>(200, 0));
    EXPECT_EQ(b->ReadPosition(), 0);
    e.clock.now += 10000;
    EXPECT_FALSE(b->SourceFinished());
}

TEST(WavOut, AtMostTwoBlocksQueueAndAChangeIsHeardWithinThem) {
    Engine e;
    const int block = e.out.BlockSize() / 4;       // 4410 frames
    Source loud(pcm16(std::vector<int16_t>(441000 * 2, 1000)));
    TWavBuffer* b = e.out.AddSource({2, 44100, 16}, loud.stream);
    b->SetRepeat(true, 0);
    b->StartSource();
    for (int i = 0; i < 20; ++i) {
        e.pull(705);
        ASSERT_LE(e.out.QueuedBlocks(), 2);
    }
    // A gain change: heard no later than two blocks from now.
    b->SetGain(128);
    const std::vector<int16_t> after = e.pull(2 * block + 1);
    EXPECT_EQ(after.back(), 500);
    int firstHalf = -1;
    for (size_t i = 0; i < after.size(); i += 2)
        if (after[i] == 500) {
            firstHalf = int(i / 2);
            break;
        }
    EXPECT_GE(firstHalf, 0);
    EXPECT_LE(firstHalf, 2 * block);
}

TEST(WavOut, ASourceNeverStartedStaysSilentBesideAPlayingOne) {
    Engine e;
    Source playing(pcm16({100, 100})), waiting(pcm16({7, 7}));
    e.out.AddSource({2, 44100, 16}, playing.stream)->StartSource();
    TWavBuffer* w = e.out.AddSource({2, 44100, 16}, waiting.stream);
    EXPECT_EQ(e.pull(1), (std::vector<int16_t>{100, 100}));
    EXPECT_EQ(w->ReadPosition(), 0);
}

TEST(WavOut, CloseDeviceFreesSourcesAndSilences) {
    Engine e;
    Source src(pcm16(ramp(44100, 2)));
    e.out.AddSource({2, 44100, 16}, src.stream)->StartSource();
    e.pull(10);
    e.out.CloseDevice();
    EXPECT_EQ(e.out.QueuedBlocks(), 0);
    EXPECT_EQ(e.pull(10), std::vector<int16_t>(20, 0));
}

} // namespace
} // namespace zuno
