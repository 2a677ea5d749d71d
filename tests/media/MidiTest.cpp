// The MIDI parser (running status, tempo, track order, hostile lengths) and
// the sequencer (ticks, chase, restart, repeat, controller scales) against a
// port that records what it is sent.
#include <gtest/gtest.h>

#include "MediaTestKit.h"
#include "media/TMidiPlayV.h"

namespace zuno {
namespace {

using namespace zuno::test;

TMidiV parse(const Bytes& file) {
    TMidiV m;
    TKsMemoryStream s(file);
    m.Parse(s);
    return m;
}

std::vector<int32_t> times(const TMidiV& m) {
    std::vector<int32_t> t;
    for (const TMidiMsgEvent& e : m.Events())
        t.push_back(e.EventTime);
    return t;
}

TEST(MidiParse, RunningStatusReusesThePreviousStatus) {
    MidiTrack t;
    t.event(0, {0x90, 60, 100}).event(10, {62, 100}).event(10, {60, 0}).event(0, {0xC3, 5}).event(0, {7}).end();
    const TMidiV m = parse(midiFile({t}, 480, 0));
    ASSERT_EQ(m.Events().size(), 6u);
    const TMidiMsgEvent* e = m.Events().data();
    EXPECT_EQ(e[1].Data, (std::vector<uint8_t>{0x90, 62, 100}));
    EXPECT_EQ(e[1].EventClass, mecNoteOn);
    EXPECT_EQ(e[2].EventClass, mecNoteOff);         // velocity 0
    EXPECT_EQ(e[4].Data, (std::vector<uint8_t>{0xC3, 7}));
    EXPECT_EQ(e[4].EventClass, mecProgramChange);
    EXPECT_EQ(e[5].EventClass, mecEndOfTrack);
    EXPECT_EQ(e[2].EventTick, 20);
    EXPECT_EQ(e[2].EventDelta, 10);
}

TEST(MidiParse, TempoChangesApplyAfterTheirEvent) {
    // 480 ticks at 500000 us = 500 ms; then 250000 us per quarter: 480 ticks = 250 ms.
    MidiTrack t;
    t.event(0, {0x90, 60, 1}).tempo(480, 250000).event(480, {0x80, 60, 0}).event(480, {0x90, 61, 1}).end();
    const TMidiV m = parse(midiFile({t}));
    EXPECT_EQ(times(m), (std::vector<int32_t>{0, 500, 750, 1000, 1000}));
    EXPECT_EQ(m.TotalLength(), 1000);
    // Milliseconds per tick in single precision, each interval rounded: 96 ticks
    // at 1 ms per 1.0416666 tick-ms is 100 ms.
    MidiTrack u;
    u.event(96, {0x90, 1, 1}).event(1, {0x80, 1, 0}).end();
    EXPECT_EQ(times(parse(midiFile({u}))), (std::vector<int32_t>{100, 101, 101}));
}

TEST(MidiParse, SameTickEventsKeepTrackOrder) {
    MidiTrack a, b;
    a.event(0, {0xB0, 7, 1}).event(100, {0x90, 60, 1}).end();
    b.event(0, {0xB1, 7, 2}).event(100, {0x91, 61, 1}).end();
    const TMidiV m = parse(midiFile({a, b}));
    std::vector<int> tracks;
    for (const TMidiMsgEvent& e : m.Events())
        tracks.push_back(e.TrackNo);
    EXPECT_EQ(tracks, (std::vector<int>{0, 1, 0, 0, 1, 1}));   // by tick, then reading order
    EXPECT_EQ(m.Events()[1].EventNo, 3);            // reading order over the file
}

TEST(MidiParse, SystemExclusiveAndTheModuleReset) {
    MidiTrack t;
    t.event(0, {0xF0, 10, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7})
        .event(0, {0xF0, 3, 0x7E, 0x7F, 0xF7})
        .end();
    const TMidiV m = parse(midiFile({t}));
    ASSERT_EQ(m.Events().size(), 3u);
    EXPECT_EQ(m.Events()[0].EventClass, mecModuleReset);
    EXPECT_EQ(m.Events()[0].Data.size(), 11u);
    EXPECT_EQ(m.Events()[1].EventClass, mecOtherSysEx);
    EXPECT_EQ(m.Events()[1].EventKind, mekSysEx);
}

TEST(MidiParse, BadFilesLoadWhatTheyHoldAndNoMore) {
    MidiTrack t;
    t.event(0, {0x90, 60, 1}).event(10, {0x80, 60, 0}).end();
    const Bytes good = midiFile({t});
    Bytes longTrack = midiFile({t}, 480, 1, 0x7FFFFFFF);    // track length past the end
    Bytes cut(good.begin(), good.end() - 4);
    Bytes hugeSysEx = midiFile({MidiTrack().event(0, {0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 1, 2})});
    Bytes manyTracks = good;
    manyTracks[10] = 0xFF;                                  // 65535 tracks claimed
    manyTracks[11] = 0xFF;
    Bytes notMidi = good;
    notMidi[0] = 'X';
    struct Case { const char* name; Bytes bytes; size_t events; };
    const Case cases[] = {
        {"good", good, 3},
        {"track length past the end", longTrack, 3},
        {"cut inside the last event", cut, 2},
        {"system exclusive longer than the track", hugeSysEx, 0},
        {"more tracks claimed than held", manyTracks, 3},
        {"no MThd", notMidi, 0},
        {"empty", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse(c.bytes).Events().size(), c.events);
    }
    // Another chunk where a track is expected: that track has no events, the next is read.
    Bytes other = midiFile({t, t});
    other[14] = 'X';
    EXPECT_EQ(parse(other).Events().size(), 3u);
}

//------------------------------------------------------------------------------
// The sequencer
//------------------------------------------------------------------------------

struct Player {
    explicit Player(const Bytes& file) : seq(port, clock.fn()) {
        TKsMemoryStream s(file);
        seq.LoadSong(s);
        seq.OpenPort();
    }
    // Runs ticks every 10 ms for `ms` milliseconds.
    void run(int ms) {
        for (int t = 0; t < ms; t += 10) {
            clock.now += 10;
            seq.Tick();
        }
    }
    RecordingPort port;
    ManualClock clock;
    TMidiPlayV seq;
};

// Notes 60, 61, 62, 63 at 0, 500, 1000, 1500 ms with controllers between them, end at 2000.
Bytes fourNotes() {
    MidiTrack t;
    t.event(0, {0xB0, 7, 100}).event(0, {0x90, 60, 90})
        .event(480, {0xC0, 12}).event(0, {0x90, 61, 90})
        .event(480, {0xE0, 0, 70}).event(0, {0x90, 62, 90})
        .event(480, {0xB0, 10, 30}).event(0, {0x90, 63, 90})
        .end(480);
    return midiFile({t});
}

TEST(MidiSequencer, TicksSendWhatHasFallenDue) {
    Player p(fourNotes());
    p.seq.PlayFrom(0);
    p.run(10);
    EXPECT_EQ(p.port.notesOn(), (std::vector<uint32_t>{0x5A3C90}));
    p.run(500);
    EXPECT_EQ(p.port.notesOn().size(), 2u);
    p.run(1600);
    EXPECT_EQ(p.port.notesOn().size(), 4u);
    EXPECT_TRUE(p.seq.AtEnd());
    EXPECT_TRUE(p.seq.Playing());                   // ended: the timer stays on
    const int32_t at = p.seq.Position();
    p.run(100);
    EXPECT_EQ(p.seq.Position(), at);                // the position stays
}

TEST(MidiSequencer, ALongStallAdvancesAtMostOneSecond) {
    Player p(fourNotes());
    p.seq.PlayFrom(0);
    p.clock.now += 5000;
    p.seq.Tick();
    EXPECT_EQ(p.seq.Position(), 1000);
    EXPECT_EQ(p.port.notesOn().size(), 2u);
}

TEST(MidiSequencer, SeekingForwardChasesEverythingButNotes) {
    Player p(fourNotes());
    p.seq.PlayFrom(1200);                           // between the notes at 1000 and 1500
    EXPECT_TRUE(p.port.notesOn().empty());
    EXPECT_TRUE(p.port.has(0x6407B0));              // controller 7 value 100
    EXPECT_TRUE(p.port.has(0x0CC0));                // program change
    EXPECT_TRUE(p.port.has(0x4600E0));              // pitch bend
    EXPECT_TRUE(p.port.has(0x0000007BB0));          // all notes off before the chase
    p.run(10);
    EXPECT_EQ(p.port.notesOn(), (std::vector<uint32_t>{0x5A3E90}));   // the note at 1000 sounds
}

TEST(MidiSequencer, PlayFromZeroAndBeyondTheEndRestart) {
    for (int32_t from : {0, 999999}) {
        SCOPED_TRACE(from);
        Player p(fourNotes());
        p.seq.PlayFrom(0);
        p.run(1100);
        p.port.Short.clear();
        p.seq.PlayFrom(from);
        EXPECT_EQ(p.seq.CurrentIndex(), 0);
        EXPECT_EQ(p.seq.Position(), 0);
        EXPECT_TRUE(p.port.has(0x7BB0) && p.port.has(0x7BBF));     // all notes off on every channel
        p.run(10);
        EXPECT_EQ(p.port.notesOn(), (std::vector<uint32_t>{0x5A3C90}));
    }
}

TEST(MidiSequencer, AutoRepeatRestartsWhenTheLastEventFallsDue) {
    Player p(fourNotes());
    p.seq.SetAutoRepeat(true);
    p.seq.PlayFrom(0);
    p.run(1990);
    EXPECT_EQ(p.port.notesOn().size(), 4u);         // the pause before the end of track
    p.run(30);
    EXPECT_EQ(p.port.notesOn().size(), 5u);         // the first note again
    EXPECT_FALSE(p.seq.AtEnd());
}

TEST(MidiSequencer, VolumeScalesControllerSeven) {
    Player p(fourNotes());
    p.seq.SetControllerScaleAll(7, -5000 / 100 + 100);
    p.seq.PlayFrom(0);
    p.run(10);
    EXPECT_TRUE(p.port.has(0x3207B0));              // 100 sent as 50
    // While playing a new scale is sent at once: the stored 100 at 30 %.
    p.seq.SetControllerScale(0, 7, 30);
    EXPECT_EQ(p.port.Short.back(), 0x1E07B0u);
    // A piece without its own controller 7: the stored 127 at 50 % is 63.
    MidiTrack t;
    t.event(0, {0x90, 60, 1}).end(100);
    Player q(midiFile({t}));
    q.seq.PlayFrom(0);
    q.seq.SetControllerScaleAll(7, 50);
    EXPECT_TRUE(q.port.has(0x3F07B0));
}

TEST(MidiSequencer, LoadingANewPieceResetsControllerSeven) {
    MidiTrack quiet;
    quiet.event(0, {0xB2, 7, 20}).end(10);
    Player p(midiFile({quiet}));
    p.seq.PlayFrom(0);
    p.run(20);
    EXPECT_EQ(p.seq.LastValue(2, 7), 20);
    MidiTrack other;
    other.event(0, {0xB2, 10, 64}).end(10);
    TKsMemoryStream s(midiFile({other}));
    p.seq.LoadSong(s);
    EXPECT_EQ(p.seq.LastValue(2, 7), 127);
    EXPECT_EQ(p.seq.LastValue(2, 10), 0);
    EXPECT_FALSE(p.seq.Playing());
}

TEST(MidiSequencer, NoEventsEndsAtOnceAndAClosedPortDropsMessages) {
    Player p(Bytes{'n', 'o', 'p', 'e'});
    p.seq.PlayFrom(0);
    EXPECT_TRUE(p.seq.AtEnd());
    p.run(50);
    EXPECT_EQ(p.seq.Position(), 0);

    Player q(fourNotes());
    q.seq.ClosePort();
    EXPECT_EQ(q.port.Resets, 1);
    q.seq.PlayFrom(0);
    q.run(600);
    EXPECT_TRUE(q.port.Short.empty());
}

TEST(MidiSequencer, StopPlaybackSilencesAndHoldsThePosition) {
    Player p(fourNotes());
    p.seq.PlayFrom(0);
    p.run(700);
    p.seq.StopPlayback();
    EXPECT_FALSE(p.seq.Playing());
    EXPECT_TRUE(p.port.has(0x7BB5));
    const size_t sent = p.port.Short.size();
    p.run(1000);
    EXPECT_EQ(p.port.Short.size(), sent);
    EXPECT_EQ(p.seq.Position(), 700);
}

} // namespace
} // namespace zuno
