// Sounds, movies' shared play-state rules, faders and timers, driven through
// a scripted media source: items that record what they were told and answer
// positions, lengths and ends as the test sets them.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "ObjectTestKit.h"
#include "core/StreamFields.h"
#include "media/TDMediaItem.h"
#include "objects/TZunoMediaSource.h"
#include "objects/TZunoSound.h"
#include "objects/TZunoTimer.h"
#include "objects/TZunoVideo.h"

namespace zuno::test {
namespace {

class TFakeItem : public TVideoItem {
public:
    bool        Repeat = false;
    int32_t     RepeatPos = 0, Pan = 0, Volume = 0, Position = 0, Length = 0;
    int32_t     SourceWidth = 0, SourceHeight = 0;
    bool        Playing = false, Paused = false, End = false;
    int         PlayCalls = 0;

    int32_t     GetSourceWidth() override { return SourceWidth; }
    int32_t     GetSourceHeight() override { return SourceHeight; }

    bool        GetAutoRepeat() override { return Repeat; }
    void        SetAutoRepeat(bool v) override { Repeat = v; }
    void        SetRepeatPos(int32_t v) override { RepeatPos = v; }
    int32_t     GetPan() override { return Pan; }
    int32_t     GetVolume() override { return Volume; }
    void        SetPan(int32_t v) override { Pan = v; }
    void        SetVolume(int32_t v) override { Volume = v; }
    int32_t     GetPosition() override { return Position; }
    void        SetPosition(int32_t v) override { Position = v < 0 ? 0 : v; }
    int32_t     GetLength() override { return Length; }
    bool        IsEnd() override { return End; }
    bool        IsPlaying() override { return Playing && !Paused; }
    bool        IsPaused() override { return Paused; }
    void        Play() override { Playing = true; Paused = false; ++PlayCalls; }
    void        Pause() override { Paused = true; }
};

class TFakeSource : public TZunoMediaSource {
public:
    std::set<std::string> Files;                        // the game files
    std::map<std::string, int32_t> Lengths;
    std::vector<std::unique_ptr<TFakeItem>> Live;
    uint32_t    Clock = 1000;
    int         Released = 0;

    TFakeItem*  add(const std::string& name) {
        Live.push_back(std::make_unique<TFakeItem>());
        Live.back()->Length = Lengths.count(name) ? Lengths[name] : 10000;
        return Live.back().get();
    }
    TDMediaItem* AddSound(const std::string& name) override { return add(name); }
    TVideoItem* AddVideo(const std::string& name, bool) override {
        TFakeItem* i = add(name);
        i->SourceWidth = 32;
        i->SourceHeight = 24;
        return i;
    }
    void        Release(TDMediaItem* item) override {
        std::erase_if(Live, [item](const auto& p) { return p.get() == item; });
        ++Released;
    }
    bool        HasFile(const std::string& name) override { return Files.count(name) != 0; }
    uint32_t    Now() override { return Clock; }
};

struct SoundFixture : ::testing::Test {
    TFakeSource media;                      // outlives the registry, whose objects release into it
    TZunoBaseList reg;

    void SetUp() override {
        reg.SetSize(64, 64);
        reg.MediaSource = &media;
        media.Files = {"bgm.ogg", "se.wav", "song.mid"};
    }
    TZunoSound* sound(const std::string& name, const std::string& file, int32_t delay = 0) {
        auto* s = reg.Create<TZunoSound>();
        s->SetName(name);
        s->SetProp(PR_SOURCE, TPropValue::ofStr(file));
        s->SetProp(PR_VOLUME, TPropValue::ofInt(1000));
        s->SetProp(PR_DELAY, TPropValue::ofInt(delay));
        return s;
    }
    TFakeItem* item(TZunoSound* s) { return static_cast<TFakeItem*>(s->Item()); }
    void frame(uint32_t ms) {
        media.Clock += ms;
        reg.Update(int32_t(ms));
    }
    int pendingEvents(uint8_t id) {
        int n = 0;
        for (int i = 0; i < reg.Events().Count(); ++i)
            n += reg.Events().Items(i).Id == id;
        return n;
    }
};

TEST(MediaVolumeTest, PropertyScaleToHundredthsOfDecibel) {
    struct Case { int32_t volume; bool midi; int32_t expected; };
    const Case cases[] = {
        {1000, false, 0}, {1, false, -4995}, {0, false, -10000}, {-5, false, -10000},
        {1500, false, 0}, {500, false, -2500},
        {1000, true, 0}, {500, true, -5000}, {0, true, -10000}, {1500, true, 5000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mediaVolumeOf(c.volume, c.midi), c.expected) << c.volume << (c.midi ? " midi" : "");
}

TEST(MediaFaderTest, InterpolatesOverTheUpperHalfForAudio) {
    struct Case { int32_t start, end, t, duration; bool midi; int32_t expected; };
    const Case cases[] = {
        {-10000, 0, 0, 1000, false, -5000},         // a fade-in starts from the middle
        {-10000, 0, 500, 1000, false, -2500},
        {-10000, -2500, 500, 1000, false, -4375},   // d = 7500 / 2 = 3750
        {0, -10000, 0, 1000, false, 0},             // a fade-out starts where it was
        {0, -10000, 500, 1000, false, -2500},
        {0, -10000, 999, 1000, false, -4995},
        {-10000, 0, 250, 1000, true, -7500},        // MIDI: the whole range, evenly
        {0, -10000, 250, 1000, true, -2500},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TZunoMixer::volumeAt(c.start, c.end, c.t, c.duration, c.midi), c.expected)
            << c.start << " -> " << c.end << " at " << c.t;
}

TEST(MediaFaderTest, FadeInStartsSilentAndEndsAtTheTarget) {
    TFakeItem item;
    TZunoMixerFadein fade(&item, -1000, 400, false);
    EXPECT_FALSE(fade.Step(100));
    EXPECT_EQ(item.Volume, -10000);
    EXPECT_TRUE(item.Playing);
    EXPECT_FALSE(fade.Step(300));
    EXPECT_EQ(item.Volume, -10000 + 4500 + 200 * 4500 / 400);
    EXPECT_TRUE(fade.Step(500));
    EXPECT_EQ(item.Volume, -1000);
}

TEST(MediaFaderTest, FadeOutLeavesTheLastStepVolume) {
    TFakeItem item;
    item.Volume = -2000;
    TZunoMixerFadeout fade(&item, 100, false);
    EXPECT_FALSE(fade.Step(0));
    EXPECT_FALSE(fade.Step(50));
    EXPECT_EQ(item.Volume, -2000 + 50 * -4000 / 100);
    EXPECT_TRUE(fade.Step(100));
    EXPECT_EQ(item.Volume, -4000);
}

TEST_F(SoundFixture, PlayStartsTheItemWithVolumePanAndRepeat) {
    TZunoSound* s = sound("bgm", "bgm.ogg");
    s->SetProp(PR_VOLUME, TPropValue::ofInt(800));
    s->SetProp(PR_BALANCE, TPropValue::ofInt(20000));
    s->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    s->SetProp(PR_REPEATPOS, TPropValue::ofInt(1234));
    s->SetPlayState(psPlaying);
    TFakeItem* i = item(s);
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(i->Volume, -1000);
    EXPECT_EQ(i->Pan, 10000);                       // kept within the range
    EXPECT_TRUE(i->Repeat);
    EXPECT_EQ(i->RepeatPos, 1234);
    EXPECT_TRUE(i->IsPlaying());
    EXPECT_TRUE(s->propBool(PR_PLAYING));
}

TEST_F(SoundFixture, MissingFilesAndNamesOfNoKindStaySilent) {
    struct Case { const char* file; bool autoScrap; bool deleted; };
    const Case cases[] = {
        {"nothere.ogg", false, false},
        {"nothere.ogg", true, true},                // an auto-scrap sound deletes itself
        {"", true, true},
    };
    for (const Case& c : cases) {
        TZunoSound* s = sound("x", c.file);
        s->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(c.autoScrap));
        s->SetPlayState(psPlaying);
        EXPECT_EQ(s->Item(), nullptr) << c.file;
        EXPECT_EQ(reg.IsPendingDelete(s), c.deleted) << c.file;
        reg.DeleteObject(s);
    }
}

TEST_F(SoundFixture, StartingFadesInOverDelay) {
    TZunoSound* s = sound("bgm", "bgm.ogg", 1000);
    s->SetPlayState(psStarting);
    TFakeItem* i = item(s);
    ASSERT_NE(s->Fader(), nullptr);
    frame(16);                                      // the first step starts silent
    EXPECT_EQ(i->Volume, -10000);
    EXPECT_TRUE(i->IsPlaying());
    frame(500);
    EXPECT_EQ(i->Volume, -5000 + 500 * 5000 / 1000);
    frame(600);
    EXPECT_EQ(i->Volume, 0);
    EXPECT_EQ(s->Fader(), nullptr);
    // Delay 0 turns the starting state into playing.
    TZunoSound* t = sound("se", "se.wav", 0);
    t->SetPlayState(psStarting);
    EXPECT_EQ(t->PlayState(), psPlaying);
    EXPECT_EQ(t->Fader(), nullptr);
}

TEST_F(SoundFixture, StoppingWithAFadeFreesTheNameAtOnce) {
    TZunoSound* s = sound("bgm", "bgm.ogg", 500);
    s->SetPlayState(psPlaying);
    s->SetPlayState(psStopping);
    EXPECT_TRUE(s->IsSystemName());
    EXPECT_EQ(reg.FindComponent("bgm"), nullptr);
    TZunoSound* next = sound("bgm", "bgm.ogg");     // a new sound of that name in the same frame
    next->SetPlayState(psPlaying);
    EXPECT_EQ(reg.FindComponent("bgm"), next);
    EXPECT_TRUE(reg.IsRegistered(s));
    frame(16);
    frame(250);
    EXPECT_TRUE(reg.IsRegistered(s));
    frame(300);
    EXPECT_FALSE(reg.IsRegistered(s));              // deleted when the fade is over
    EXPECT_TRUE(reg.IsRegistered(next));
    EXPECT_EQ(media.Live.size(), 1u);               // its item went back to the manager
}

TEST_F(SoundFixture, StoppingReleasesTheItemAndDeletes) {
    TZunoSound* s = sound("se", "se.wav");
    s->SetPlayState(psPlaying);
    s->SetPlayState(psStopped);
    EXPECT_EQ(s->Item(), nullptr);
    EXPECT_TRUE(media.Live.empty());
    EXPECT_TRUE(reg.IsPendingDelete(s));
}

TEST_F(SoundFixture, TheEndEventIsPostedOncePerEnd) {
    TZunoSound* s = sound("se", "se.wav");
    s->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
    s->SetPlayState(psPlaying);
    item(s)->End = true;                            // the item keeps answering the end
    frame(16);
    frame(16);
    frame(16);
    EXPECT_EQ(pendingEvents(PR_ONPLAYEND), 1);
    EXPECT_TRUE(s->Ended());
    reg.Events().Clear();
    s->SetProp(PR_INDEX, TPropValue::ofInt(0));     // played again: a new end is reported
    EXPECT_FALSE(s->Ended());
    frame(16);
    EXPECT_EQ(pendingEvents(PR_ONPLAYEND), 1);
}

TEST_F(SoundFixture, EndRestartsWithRepeatAndDeletesWithAutoScrap) {
    TZunoSound* looping = sound("bgm", "bgm.ogg");
    looping->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    looping->SetPlayState(psPlaying);
    item(looping)->Position = 9000;
    item(looping)->End = true;
    TZunoSound* once = sound("se", "se.wav");
    once->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    once->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
    once->SetPlayState(psPlaying);
    item(once)->End = true;
    frame(16);
    EXPECT_EQ(item(looping)->Position, 0);
    EXPECT_FALSE(reg.IsRegistered(once));
    EXPECT_EQ(pendingEvents(PR_ONPLAYEND), 0);
}

TEST_F(SoundFixture, PauseAndMuteSilenceAndResume) {
    TZunoSound* s = sound("bgm", "bgm.ogg");
    s->SetProp(PR_VOLUME, TPropValue::ofInt(600));
    s->SetPlayState(psPlaying);
    TFakeItem* i = item(s);
    s->SetProp(PR_ANIPAUSED, TPropValue::ofBool(true));
    EXPECT_TRUE(i->Paused);
    EXPECT_EQ(i->Volume, -10000);
    s->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    s->SetProp(PR_ANIPAUSED, TPropValue::ofBool(false));
    EXPECT_TRUE(i->Paused);                         // still paused
    s->SetProp(PR_PAUSED, TPropValue::ofBool(false));
    EXPECT_TRUE(i->IsPlaying());
    EXPECT_EQ(i->Volume, -2000);
}

TEST_F(SoundFixture, RepeatTurnedOnAtTheEndRestarts) {
    TZunoSound* s = sound("se", "se.wav");
    s->SetPlayState(psPlaying);
    TFakeItem* i = item(s);
    i->Position = i->Length - 1;
    i->Playing = false;
    s->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    EXPECT_EQ(i->Position, 0);
    EXPECT_TRUE(i->IsPlaying());
}

TEST_F(SoundFixture, CountReadsTheLengthWithoutKeepingAnItem) {
    media.Lengths["se.wav"] = 2345;
    TZunoSound* s = sound("se", "se.wav");
    EXPECT_EQ(s->propInt(PR_COUNT), 2345);
    EXPECT_TRUE(media.Live.empty());
    TZunoSound* missing = sound("m", "nothere.wav");
    EXPECT_EQ(missing->propInt(PR_COUNT), 0);
}

TEST_F(SoundFixture, ReplayRestartsFromTheStart) {
    TZunoSound* s = sound("se", "se.wav");
    s->SetPlayState(psPlaying);
    TFakeItem* i = item(s);
    i->Position = 4000;
    i->Playing = false;
    s->Replay();
    EXPECT_EQ(i->Position, 0);
    EXPECT_TRUE(i->IsPlaying());
    EXPECT_EQ(i->Volume, 0);
    // With a delay the replay fades in from silence.
    s->SetProp(PR_DELAY, TPropValue::ofInt(300));
    i->Position = 4000;
    s->Replay();
    EXPECT_EQ(i->Position, 0);
    EXPECT_EQ(i->Volume, -10000);
    ASSERT_NE(s->Fader(), nullptr);
}

// A save record read back into a fresh sound, as the game load does.
TZunoSound* reload(TZunoBaseList& reg, TZunoSound& s, int32_t version = 140) {
    TKsMemoryStream out;
    s.SaveToStream(out);
    TKsMemoryStream in(out.Data());
    auto* copy = reg.Create<TZunoSound>();
    copy->LoadFromStream(in, version);
    return copy;
}

TEST_F(SoundFixture, ShortOneShotSoundsAreSavedStopped) {
    struct Case { int32_t length; bool repeat; bool rewind; uint8_t state; int32_t position; };
    const Case cases[] = {
        {2000, false, false, psStopped, 0},         // a 2-second effect is not resumed
        {2999, false, false, psStopped, 0},
        {3000, false, false, psPlaying, 1500},      // a 3-second one plays on from its place
        {3000, false, true, psPlaying, 0},          // ... or from 0 with RewindOnLoad
        {2000, true, false, psPlaying, 1500},       // looping sounds always resume
    };
    for (const Case& c : cases) {
        media.Lengths["se.wav"] = c.length;
        TZunoSound* s = sound("se", "se.wav");
        s->SetProp(PR_REPEAT, TPropValue::ofBool(c.repeat));
        s->SetProp(PR_REWINDONLOAD, TPropValue::ofBool(c.rewind));
        s->SetPlayState(psPlaying);
        item(s)->Position = 1500;
        TZunoSound* copy = reload(reg, *s);
        EXPECT_EQ(copy->PlayState(), c.state) << c.length;
        if (c.state == psPlaying) {
            ASSERT_NE(copy->Item(), nullptr);
            EXPECT_EQ(item(copy)->Position, c.position) << c.length;
            EXPECT_TRUE(item(copy)->IsPlaying());
        } else {
            EXPECT_EQ(copy->Item(), nullptr);
        }
        reg.DeleteObject(s);
        reg.DeleteObject(copy);
    }
}

TEST_F(SoundFixture, LoadAppliesMuteOnLoadAndPause) {
    TZunoSound* s = sound("bgm", "bgm.ogg");
    s->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    s->SetProp(PR_MUTEONLOAD, TPropValue::ofBool(true));
    s->SetProp(PR_BALANCE, TPropValue::ofInt(-300));
    s->SetPlayState(psPlaying);
    s->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    TZunoSound* copy = reload(reg, *s);
    EXPECT_EQ(copy->propInt(PR_VOLUME), 0);
    EXPECT_EQ(copy->propInt(PR_BALANCE), -300);
    ASSERT_NE(copy->Item(), nullptr);
    EXPECT_TRUE(item(copy)->Paused);
    // Before version 129 MuteOnLoad is not in the record: the volume stays.
    TZunoSound* old = sound("old", "bgm.ogg");
    old->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    TKsMemoryStream out;
    old->SaveToStream(out);
    std::vector<uint8_t> bytes = out.Data();
    bytes.resize(bytes.size() - 5);                 // without MuteOnLoad and RepeatPos
    TKsMemoryStream in(bytes);
    auto* copy2 = reg.Create<TZunoSound>();
    copy2->LoadFromStream(in, 120);
    EXPECT_EQ(copy2->propInt(PR_VOLUME), 1000);
    EXPECT_FALSE(copy2->propBool(PR_MUTEONLOAD));
}

//==============================================================================
// Movies
//==============================================================================

struct MovieFixture : SoundFixture {
    void SetUp() override {
        SoundFixture::SetUp();
        media.Files.insert("op.mpg");
    }
    TZunoVideo* movie(const std::string& name, const std::string& file, int32_t delay = 0) {
        auto* v = reg.Create<TZunoVideo>();
        v->SetName(name);
        v->SetProp(PR_SOURCE, TPropValue::ofStr(file));
        v->SetProp(PR_VOLUME, TPropValue::ofInt(1000));
        v->SetProp(PR_DELAY, TPropValue::ofInt(delay));
        return v;
    }
    TFakeItem* item(TZunoVideo* v) { return static_cast<TFakeItem*>(v->Item()); }
};

TEST_F(MovieFixture, PlayingSizesTheControlByTheZoomAndStoppingFreesTheItem) {
    TZunoVideo* v = movie("op", "op.mpg");
    v->SetProp(PR_ZOOMX, TPropValue::ofInt(512));
    v->SetProp(PR_ZOOMY, TPropValue::ofInt(128));
    v->SetProp(PR_BALANCE, TPropValue::ofInt(20000));
    v->SetPlayState(psPlaying);
    TFakeItem* i = item(v);
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(v->Width(), 64);
    EXPECT_EQ(v->Height(), 12);
    EXPECT_EQ(v->ImageWidth(), 32);                 // the frame picture has the movie's own size
    EXPECT_EQ(i->Pan, 10000);
    EXPECT_EQ(i->Volume, 0);
    EXPECT_TRUE(i->IsPlaying());
    v->SetPlayState(psStopped);
    EXPECT_EQ(v->Item(), nullptr);
    EXPECT_TRUE(media.Live.empty());
    EXPECT_EQ(v->ImageWidth(), 0);
    // A missing file gives no item and no picture.
    TZunoVideo* missing = movie("gone", "gone.mpg");
    missing->SetPlayState(psPlaying);
    EXPECT_EQ(missing->Item(), nullptr);
    EXPECT_TRUE(reg.IsRegistered(missing));
}

TEST_F(MovieFixture, TheEndIsReportedOnceAndAutoScrapDeletes) {
    TZunoVideo* v = movie("op", "op.mpg");
    v->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
    v->SetPlayState(psPlaying);
    item(v)->End = true;
    frame(16);
    frame(16);
    EXPECT_EQ(pendingEvents(PR_ONPLAYEND), 1);
    EXPECT_TRUE(reg.IsRegistered(v));
    // A repeating movie reports nothing; an auto-scrapped one goes.
    v->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    TZunoVideo* scrap = movie("sc", "op.mpg");
    scrap->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    scrap->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
    scrap->SetPlayState(psPlaying);
    item(scrap)->End = true;
    reg.Events().Clear();
    frame(16);
    EXPECT_EQ(pendingEvents(PR_ONPLAYEND), 0);
    EXPECT_FALSE(reg.IsRegistered(scrap));
    EXPECT_TRUE(reg.IsRegistered(v));
}

TEST_F(MovieFixture, AFadeOutKeepsTheItemUntilItEndsThenDeletes) {
    TZunoVideo* v = movie("op", "op.mpg", 200);
    v->SetPlayState(psPlaying);
    TFakeItem* i = item(v);
    i->Volume = -1000;
    v->SetPlayState(psStopping);
    EXPECT_EQ(v->Item(), nullptr);
    EXPECT_EQ(media.Live.size(), 1u);               // the fader still drives it
    frame(16);                                      // the fade starts
    frame(100);
    EXPECT_LT(i->Volume, -1000);
    EXPECT_GT(i->Volume, -10000);
    frame(120);
    EXPECT_FALSE(reg.IsRegistered(v));
    EXPECT_TRUE(media.Live.empty());
}

TEST_F(MovieFixture, ReplayRestartsAtOnceOrWithAFadeIn) {
    TZunoVideo* v = movie("op", "op.mpg");
    v->SetPlayState(psPlaying);
    TFakeItem* i = item(v);
    i->Position = 5000;
    i->Paused = true;
    v->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    v->Replay();
    EXPECT_FALSE(v->propBool(PR_PAUSED));
    EXPECT_EQ(i->Position, 0);
    EXPECT_TRUE(i->IsPlaying());
    EXPECT_EQ(i->Volume, 0);
    v->SetProp(PR_DELAY, TPropValue::ofInt(300));
    i->Position = 5000;
    v->Replay();
    EXPECT_EQ(i->Position, 0);
    EXPECT_EQ(i->Volume, -10000);
    ASSERT_NE(v->Fader(), nullptr);
    frame(16);
    frame(400);
    EXPECT_EQ(v->Fader(), nullptr);
    EXPECT_EQ(i->Volume, 0);
    EXPECT_TRUE(i->IsPlaying());
}

TEST_F(MovieFixture, TurningOverlayOffContinuesFromTheSamePosition) {
    TZunoVideo* v = movie("op", "op.mpg");
    v->SetPlayState(psPlaying);
    item(v)->Position = 1234;
    v->SetProp(PR_OVERLAY, TPropValue::ofBool(false));
    ASSERT_NE(item(v), nullptr);
    EXPECT_EQ(item(v)->Position, 1234);
    EXPECT_TRUE(item(v)->IsPlaying());
    EXPECT_EQ(media.Live.size(), 1u);               // the old item went back to the manager
    EXPECT_TRUE(reg.IsRegistered(v));
}

TEST_F(MovieFixture, SuspendAndPauseRules) {
    TZunoVideo* v = movie("op", "op.mpg");
    v->SetPlayState(psPlaying);
    TFakeItem* i = item(v);
    v->Suspend();
    EXPECT_TRUE(i->Paused);
    v->Resume();
    EXPECT_TRUE(i->IsPlaying());
    // A paused movie stays paused through a focus change.
    v->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    EXPECT_TRUE(i->Paused);
    v->Resume();
    EXPECT_TRUE(i->Paused);
    // Pause and the animation pause combine: running again only when both are off.
    v->SetProp(PR_ANIPAUSED, TPropValue::ofBool(true));
    v->SetProp(PR_PAUSED, TPropValue::ofBool(false));
    EXPECT_TRUE(i->Paused);
    v->SetProp(PR_ANIPAUSED, TPropValue::ofBool(false));
    EXPECT_TRUE(i->IsPlaying());
}

//==============================================================================
// Timers
//==============================================================================

struct TimerFixture : SoundFixture {
    TZunoTimer* timer(int32_t delay, bool autoScrap = false) {
        auto* t = reg.Create<TZunoTimer>();
        t->SetProp(PR_ONNOTIFY, TPropValue::ofStr("tick.zsb"));
        t->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(autoScrap));
        t->SetProp(PR_DELAY, TPropValue::ofInt(delay));
        return t;
    }
};

TEST_F(TimerFixture, FiresWhenTheIntervalHasPassed) {
    timer(100);
    frame(50);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 0);
    frame(49);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 0);
    frame(1);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
}

TEST_F(TimerFixture, QueuesNoSecondEventWhileOneIsPending) {
    TZunoTimer* t = timer(100);
    for (int i = 0; i < 10; ++i)
        frame(100);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
    reg.Events().Items(0).Level = 1;                // its handler runs
    frame(100);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
    reg.Events().RemoveLevel(1);
    frame(100);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
    EXPECT_TRUE(t->Fired());
}

TEST_F(TimerFixture, DelayZeroFiresEveryFrameAndNegativeNever) {
    timer(0);
    frame(16);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
    reg.Events().Clear();
    frame(16);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
    reg.Events().Clear();
    TZunoTimer* never = timer(-1);
    (void)never;
    reg.DeleteObject(reg.Objects(0));
    for (int i = 0; i < 5; ++i)
        frame(1000);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 0);
}

TEST_F(TimerFixture, SettingDelayDropsTheWaitingEventAndRestartsTheCount) {
    TZunoTimer* t = timer(100);
    frame(100);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
    t->SetProp(PR_DELAY, TPropValue::ofInt(200));
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 0);
    frame(150);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 0);
    frame(50);
    EXPECT_EQ(pendingEvents(PR_ONNOTIFY), 1);
}

TEST_F(TimerFixture, AutoScrapDeletesAfterTheFirstEventWasHandled) {
    TZunoTimer* t = timer(100, true);
    frame(100);
    EXPECT_TRUE(reg.IsRegistered(t));
    reg.Events().Items(0).Level = 1;
    frame(100);
    EXPECT_TRUE(reg.IsRegistered(t));               // its handler still runs
    reg.Events().RemoveLevel(1);
    frame(16);
    EXPECT_FALSE(reg.IsRegistered(t));
}

TEST_F(TimerFixture, SaveRecordKeepsTheSettings) {
    TZunoTimer* t = timer(250, true);
    frame(250);
    TKsMemoryStream out;
    t->SaveToStream(out);
    TKsMemoryStream in(out.Data());
    auto* copy = reg.Create<TZunoTimer>();
    copy->LoadFromStream(in, 140);
    EXPECT_EQ(copy->propStr(PR_ONNOTIFY), "tick.zsb");
    EXPECT_EQ(copy->propInt(PR_DELAY), 250);
    EXPECT_TRUE(copy->propBool(PR_AUTOSCRAP));
    EXPECT_TRUE(copy->Fired());
    EXPECT_EQ(copy->BaseTick(), media.Clock);       // counting starts anew
}

} // namespace
} // namespace zuno::test
