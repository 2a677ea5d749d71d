// The managers and their items: kind choice, volumes and pans in the
// player's units, suspend and resume, sound on and off, the reported end,
// CD tracks from files, MIDI ports, and a frame loop that never waits for a
// slow sound output.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "MediaTestKit.h"
#include "archive/TVrFileManager.h"
#include "media/TMediaSystem.h"
#include "media/TMidiPlayV.h"
#include "media/TStreamVoice.h"

namespace zuno {
namespace {

using namespace zuno::test;

TEST(MediaKind, ChosenFromTheName) {
    const std::pair<const char*, TMediaKind> cases[] = {
        {"BGM.OGG", TMediaKind::ogg},         {"bgm.ogg", TMediaKind::ogg},
        {"se\\hit.Wav", TMediaKind::ogg},     {"m.MID", TMediaKind::midi},
        {"m.sgt", TMediaKind::midi},          {"v.wma", TMediaKind::windowsMedia},
        {"v.ASF", TMediaKind::windowsMedia},  {"v.wmv", TMediaKind::windowsMedia},
        {"CD_3", TMediaKind::cdAudio},        {"cd_3", TMediaKind::none},
        {"CD_3.ogg", TMediaKind::ogg},        {"x.mp3", TMediaKind::none},
        {"noext", TMediaKind::none},          {"dir.ogg\\file", TMediaKind::none},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(mediaKindOf(name), kind) << name;
    EXPECT_EQ(cdTrackOf("CD_3"), 3);
    EXPECT_EQ(cdTrackOf("CD_12"), 12);
    EXPECT_EQ(cdTrackOf("CD_x"), -1);
}

// A game folder with files, a media system over it and the mix it makes.
struct Game {
    explicit Game(bool directSound = true, int delay = 100) {
        files.SetBaseFolder(dir.path());
        settings.UseDirectSound = directSound;
        settings.SoundDelay = delay;
    }
    TMediaSystem& media() {
        if (!system)
            system = std::make_unique<TMediaSystem>(files, settings, clock.fn());
        return *system;
    }
    std::vector<int16_t> pull(int frames) {
        std::vector<int16_t> s(size_t(frames) * 2);
        media().Mixer().pull(s.data(), frames);
        clock.now += uint32_t(frames * 1000 / 44100);
        return s;
    }
    TempFolder dir;
    TVrFileManager files;
    TMediaSettings settings;
    ManualClock clock;
    std::unique_ptr<TMediaSystem> system;
};

TEST(MediaSystem, MissingFilesAndNamesOfNoKindGiveNoItem) {
    Game g;
    g.dir.write("a.ogg", constantWav(10, 1));
    g.dir.write("x.mp3", constantWav(10, 1));
    EXPECT_EQ(g.media().AddSound("missing.ogg"), nullptr);
    EXPECT_EQ(g.media().AddSound("missing.mid"), nullptr);
    EXPECT_EQ(g.media().AddSound("x.mp3"), nullptr);
    EXPECT_EQ(g.media().AddSound("cd_3"), nullptr);
    EXPECT_NE(g.media().AddSound("A.OGG"), nullptr);   // any case finds the file
    EXPECT_NE(g.media().AddSound("CD_3"), nullptr);    // CD tracks need no game file
    g.dir.write("bad.wav", Bytes(100, 'z'));
    EXPECT_THROW(g.media().AddSound("bad.wav"), EZunoError);
}

TEST(MediaSystem, DeviceVolumeAndPanAreDecibels) {
    struct Case { int32_t volume, pan; double left, right; };
    const Case cases[] = {
        {0, 0, 1.0, 1.0},
        {-600, 0, std::pow(10.0, -0.3), std::pow(10.0, -0.3)},
        {-10000, 0, 0, 0},
        {0, 10000, 0, 1.0},
        {0, -2000, 1.0, 0.1},
        {-2000, 2000, 0.01, 0.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.volume << " pan " << c.pan);
        Game g;
        g.dir.write("s.wav", constantWav(4410, 20000));
        TDMediaItem* item = g.media().AddSound("s.wav");
        ASSERT_NE(item, nullptr);
        item->SetVolume(c.volume);
        item->SetPan(c.pan);
        EXPECT_EQ(item->GetVolume(), c.volume);
        item->Play();
        const std::vector<int16_t> s = g.pull(10);
        EXPECT_EQ(s[0], int16_t(std::lround(20000 * c.left)));
        EXPECT_EQ(s[1], int16_t(std::lround(20000 * c.right)));
    }
}

TEST(MediaSystem, WaveOutVolumeIsALinearGain) {
    struct Case { int32_t volume; int16_t sample; };
    // gain = (max(v, -5000) + 5000) * 256 / 5000; samples (s * gain) >> 8 below 255.
    const Case cases[] = {{0, 20000}, {-2500, 10000}, {-5000, 0}, {-9000, 0}, {-100, (20000 * 250) >> 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.volume);
        Game g(false);
        g.dir.write("s.wav", constantWav(44100, 20000));
        TDMediaItem* item = g.media().AddSound("s.wav");
        item->SetVolume(c.volume);
        item->Play();
        EXPECT_EQ(g.pull(10)[0], c.sample);
    }
}

TEST(MediaSystem, WaveOutPositionsAndLengthInMilliseconds) {
    Game g(false);
    g.dir.write("s.wav", wavFile({1, 22050, 16}, pcm16(ramp(22050 * 2, 1))));
    TDMediaItem* item = g.media().AddSound("s.wav");
    EXPECT_EQ(item->GetLength(), 2000);
    item->SetPosition(-5);
    EXPECT_EQ(item->GetPosition(), 0);
    item->SetPosition(1000);
    g.clock.now += 1000;                            // long after any mix: the read position
    EXPECT_EQ(item->GetPosition(), 1000);
    item->SetRepeatPos(250);
    EXPECT_EQ(item->GetRepeatPos(), 250);
}

TEST(MediaSystem, FocusLossPausesOnlyWhatPlayed) {
    for (bool directSound : {true, false}) {
        SCOPED_TRACE(directSound);
        Game g(directSound);
        g.dir.write("a.wav", constantWav(44100, 100));
        g.dir.write("b.wav", constantWav(44100, 100));
        TDMediaItem* playing = g.media().AddSound("a.wav");
        TDMediaItem* paused = g.media().AddSound("b.wav");
        playing->Play();
        paused->Play();
        g.pull(100);
        paused->Pause();
        g.media().Suspend();
        EXPECT_TRUE(playing->IsPaused());
        EXPECT_TRUE(playing->SuspendMark);
        EXPECT_FALSE(paused->SuspendMark);
        g.media().Resume();
        EXPECT_TRUE(playing->IsPlaying());
        EXPECT_TRUE(paused->IsPaused());
        EXPECT_FALSE(paused->IsPlaying());
    }
}

TEST(MediaSystem, SoundOffPausesAndOnResumesButStartsNothingNew) {
    Game g;
    g.dir.write("a.wav", constantWav(44100, 100));
    g.dir.write("b.wav", constantWav(44100, 100));
    TDMediaItem* a = g.media().AddSound("a.wav");
    a->Play();
    g.media().SetSoundOn(false);
    EXPECT_TRUE(a->IsPaused());
    TDMediaItem* b = g.media().AddSound("b.wav");
    b->Play();                                      // sound is off: nothing starts
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_EQ(g.pull(10), std::vector<int16_t>(20, 0));
    g.media().SetSoundOn(true);
    EXPECT_TRUE(a->IsPlaying());
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_EQ(g.pull(10)[0], 100);
}

// Plays the item to its end; true when IsEnd reported it on the way.
bool playToEnd(Game& g, TDMediaItem* item) {
    bool reported = false;
    for (int i = 0; i < 200 && !reported; ++i) {
        g.pull(705);
        g.clock.now += 16;
        reported = item->IsEnd();
    }
    return reported;
}

TEST(MediaSystem, TheEndIsReportedOnceOggNeverAgainWindowsMediaAfterANewPosition) {
    for (bool directSound : {true, false}) {
        SCOPED_TRACE(directSound);
        Game g(directSound);
        g.dir.write("a.ogg", constantWav(4410, 100));
        TDMediaItem* ogg = g.media().AddSound("a.ogg");
        ogg->Play();
        EXPECT_TRUE(playToEnd(g, ogg));
        EXPECT_FALSE(ogg->IsEnd());
        ogg->SetPosition(0);
        ogg->Play();
        EXPECT_FALSE(playToEnd(g, ogg));
    }
    Game g;
    g.dir.write("a.wma", constantWav(4410, 100));   // FFmpeg reads what the bytes are
    TDMediaItem* wma = g.media().AddSound("a.wma");
    ASSERT_NE(wma, nullptr);
    wma->Play();
    EXPECT_TRUE(playToEnd(g, wma));
    EXPECT_FALSE(wma->IsEnd());
    wma->SetPosition(0);
    wma->Play();
    EXPECT_TRUE(playToEnd(g, wma));
}

TEST(MediaSystem, DeviceRepeatLoopsFromTheRepeatPosition) {
    Game g;
    const std::vector<int16_t> r = ramp(441, 2);
    g.dir.write("a.ogg", wavFile({2, 44100, 16}, pcm16(r)));
    TDMediaItem* item = g.media().AddSound("a.ogg");
    item->SetAutoRepeat(true);
    item->SetRepeatPos(5);                          // 220 frames
    item->Play();
    const std::vector<int16_t> s = g.pull(441 + 10);
    EXPECT_EQ(s[441 * 2], r[220 * 2]);
    EXPECT_EQ(s[450 * 2], r[229 * 2]);
    EXPECT_FALSE(item->IsEnd());
}

TEST(MediaSystem, CdTracksPlayFromFilesBesideTheGame) {
    Game g;
    g.dir.write("CD/Track03.wav", constantWav(44100 * 2 + 500, 8000));
    TDMediaItem* three = g.media().AddSound("CD_3");
    TDMediaItem* four = g.media().AddSound("CD_4");
    EXPECT_EQ(three->GetLength(), 2000);            // whole seconds
    four->Play();                                   // no file: silent, not current
    EXPECT_FALSE(four->IsPlaying());
    three->SetVolume(-2500);                        // the line's level at half
    three->Play();
    EXPECT_TRUE(three->IsPlaying());
    EXPECT_EQ(g.pull(10)[0], 4000);
    g.pull(44100 + 100);
    EXPECT_EQ(three->GetPosition(), 1000);
    // A second track with a file takes over: only the last started is current.
    g.dir.write("track05.flac", Bytes());
    g.dir.write("Track06.wav", constantWav(100, 1));
    TDMediaItem* six = g.media().AddSound("CD_6");
    six->Play();
    EXPECT_TRUE(six->IsPlaying());
    EXPECT_FALSE(three->IsPlaying());
}

TEST(MediaSystem, MidiPortsListTheMapperFirst) {
    Game g;
    TMidiManager& midi = g.media().Midi();
    ASSERT_GE(midi.PortCount(), 2);
    EXPECT_EQ(midi.PortName(0), "MIDI\x83\x7d\x83\x62\x83\x70\x81\x5b");   // "MIDIマッパー"
    midi.SelectPort(1);
    EXPECT_EQ(midi.Port(), 1);
    midi.SelectPort("MIDI\x83\x7d\x83\x62\x83\x70\x81\x5b");
    EXPECT_EQ(midi.Port(), 0);
    midi.SelectPort(1);
    midi.SelectPort("no such port");
    EXPECT_EQ(midi.Port(), 0);
    midi.SelectPort(99);
    EXPECT_EQ(midi.Port(), midi.PortCount() - 1);
    midi.SelectPort(-3);
    EXPECT_EQ(midi.Port(), 0);
}

TEST(MediaSystem, MidiPlaysThroughTheSynthesiser) {
    Game g;
    MidiTrack t;
    t.event(0, {0xC0, 0}).event(0, {0x90, 69, 120}).event(960, {0x80, 69, 0}).end(480);
    g.dir.write("m.mid", midiFile({t}));
    TDMediaItem* item = g.media().AddSound("m.mid");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetLength(), 1500);
    EXPECT_EQ(g.pull(4410), std::vector<int16_t>(8820, 0));   // nothing plays: exact silence
    item->Play();
    if (!g.media().Midi().Sequencer().PortOpen())
        GTEST_SKIP() << "no sound font installed";
    const std::vector<int16_t> s = g.pull(4410 * 3);
    int peak = 0;
    for (int16_t v : s)
        peak = std::max(peak, std::abs(int(v)));
    EXPECT_GT(peak, 500);
    EXPECT_TRUE(item->IsPlaying());
    item->Pause();
    EXPECT_GE(item->GetPosition(), 290);
    EXPECT_FALSE(item->IsPlaying());
    g.media().Release(item);
    EXPECT_FALSE(g.media().Midi().Sequencer().PortOpen());   // the current item's port closes with it
}

// A voice that takes its time, like a decoder on a slow disc.
struct SlowVoice : TMixVoice {
    void mixInto(int16_t*, int) override {
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    }
    std::atomic<bool> entered{false};
};

TEST(MediaSystem, TheFrameLoopNeverWaitsForASlowPull) {
    Game g;
    g.dir.write("a.wav", constantWav(44100, 100));
    g.dir.write("b.wav", constantWav(44100, 100));
    TDMediaItem* a = g.media().AddSound("a.wav");
    a->Play();
    SlowVoice slow;
    g.media().Mixer().addVoice(&slow);
    std::thread audio([&] {
        std::vector<int16_t> s(2048);
        g.media().Mixer().pull(s.data(), 1024);
    });
    while (!slow.entered)
        std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    a->SetVolume(-1000);
    a->SetPan(500);
    a->GetPosition();
    TDMediaItem* b = g.media().AddSound("b.wav");
    b->Play();
    const auto took = std::chrono::steady_clock::now() - start;
    audio.join();
    g.media().Mixer().removeVoice(&slow);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 500);
}

} // namespace
} // namespace zuno
