// The cinema control and motions from film files: time to frames, the end,
// repeat from the loop start, pause, the private and the direct playback as
// they reach the screen, the save record; image tracks with real pictures.
#include <gtest/gtest.h>

#include "core/TStream.h"
#include "objects/FilmMotion.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoCinema.h"
#include "ImageTestKit.h"

namespace zuno::test {
namespace {

class CinemaTest : public ImageSceneTest {
protected:
    CinemaTest() { installFilmMotions(); }
    ~CinemaTest() override { TZunoMotion::Loader = nullptr; }

    void addFilm(const std::string& name, const std::string& text) {
        TFilmManager film;
        filmFromText(film, text);
        TKsMemoryStream s;
        film.SaveToStream(s);
        addFile(name, s.Data());
    }
    TZunoCinema* addCinema(const std::string& source, int32_t left = 0, int32_t top = 0) {
        auto* c = Reg.Create<TZunoCinema>();
        c->SetName("cine");
        c->SetParent(Reg.GetScreen(0));
        c->SetLeft(left);
        c->SetTop(top);
        c->SetProp(PR_SOURCE, TPropValue::ofStr(source));
        return c;
    }
    // `n` frame steps of 1/60 s (16 and 17 ms in turn).
    void run(int n) {
        for (int i = 0; i < n; ++i) {
            Reg.Update(FStep++ % 3 == 2 ? 16 : 17);
        }
    }
    int FStep = 0;

    // A 300-frame film: a box moving right one pixel per frame.
    static std::string longFilm(const std::string& extra = {}) {
        return "film cinema 108\nscreen 20 10\nloop-start 120\n" + extra +
               "track box\nlength 300\nstart-pos 0 0\nend-pos 299 0\nstart-size 2 2\nend-size 2 2\n";
    }
};

TEST_F(CinemaTest, TimeBecomesFramesAfterTheStartCountdown) {
    addFilm("a.zcm", longFilm());
    TZunoCinema* c = addCinema("a.zcm");
    EXPECT_EQ(c->Count(), 300);
    EXPECT_EQ(c->Width(), 20);                                // direct playback: the film's screen size
    run(2);                                                   // two steps without time
    EXPECT_EQ(c->Index(), 0);
    run(60);
    EXPECT_EQ(c->Index(), 60);
    TZunoControl* box = c->GetChild(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Left(), 60);
    // Pause: the frame stands still, and resumes where it was.
    c->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    run(30);
    EXPECT_EQ(c->Index(), 60);
    c->SetProp(PR_PAUSED, TPropValue::ofBool(false));
    run(1);
    EXPECT_EQ(c->Index(), 61);
    // Index: elapsed follows, and the next steps show that frame.
    c->SetProp(PR_INDEX, TPropValue::ofInt(90));
    EXPECT_EQ(c->Elapsed(), 1500);
    run(1);
    EXPECT_EQ(c->Index(), 90);
}

TEST_F(CinemaTest, TheEndPostsItsEventOnceOrScrapsTheControl) {
    addFilm("a.zcm", longFilm());
    TZunoCinema* c = addCinema("a.zcm");
    c->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end"));
    c->SetProp(PR_INDEX, TPropValue::ofInt(295));
    run(20);
    EXPECT_TRUE(c->Ended());
    EXPECT_EQ(c->Index(), 299);
    int ends = 0;
    for (int i = 0; i < Reg.Events().Count(); ++i)
        ends += Reg.Events().Items(i).Id == PR_ONPLAYEND;
    EXPECT_EQ(ends, 1);
    // Setting Index clears the end, even after the end.
    c->SetProp(PR_INDEX, TPropValue::ofInt(90));
    run(1);
    EXPECT_FALSE(c->Ended());
    EXPECT_EQ(c->Index(), 90);

    TZunoCinema* scrap = addCinema("a.zcm");
    scrap->SetName("scrap");
    scrap->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    scrap->SetProp(PR_INDEX, TPropValue::ofInt(298));
    run(6);
    EXPECT_FALSE(Reg.IsRegistered(scrap));
}

TEST_F(CinemaTest, RepeatResumesAtTheLoopStart) {
    addFilm("a.zcm", longFilm());
    TZunoCinema* c = addCinema("a.zcm");
    c->SetProp(PR_REPEAT, TPropValue::ofBool(true));
    c->SetProp(PR_INDEX, TPropValue::ofInt(300));
    run(1);
    EXPECT_EQ(c->Index(), 120);
    EXPECT_EQ(c->Elapsed(), 2000);
    EXPECT_FALSE(c->Ended());
}

TEST_F(CinemaTest, MissingOrUnknownFilesPlayNothing) {
    TZunoCinema* none = addCinema("missing.zcm");
    EXPECT_EQ(none->Count(), 0);
    run(3);
    addFile("junk.zcm", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'i', 'l', 'm', '1', '0', '8'});
    TZunoCinema* junk = addCinema("junk.zcm");
    junk->SetName("junk");
    junk->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    run(1);
    EXPECT_FALSE(Reg.IsRegistered(junk));                     // the empty film ends at once
}

TEST_F(CinemaTest, PrivatePlaybackComposesOntoTheScreen) {
    // A background colour puts the film into the cinema's own registry.
    addFilm("p.zcm", "film cinema 108\nscreen 10 8\nbackground 0x0000FF\n"
                     "track box\nlength 100\nstart-pos 2 2\nend-pos 2 2\nstart-size 3 3\nend-size 3 3\n"
                     "start-color 0x00FF00\nend-color 0x00FF00\n");
    TZunoCinema* c = addCinema("p.zcm", 5, 4);
    EXPECT_TRUE(c->PrivatePlayback());
    EXPECT_EQ(c->Width(), 10);
    EXPECT_EQ(c->Height(), 8);
    EXPECT_EQ(c->ChildCount(), 0);                            // objects live in the private registry
    Reg.GetScreen(0)->MarkAllDirty();
    run(3);
    compose();
    EXPECT_EQ(pixel(5, 4), 0x00FF0000u);                      // background 0x0000FF (red) at the cinema's corner
    EXPECT_EQ(pixel(5 + 3, 4 + 3), 0x0000FF00u);              // the green box
    EXPECT_EQ(pixel(5 + 10, 4), kBackground);                 // outside the cinema
}

TEST_F(CinemaTest, SaveRecordResumesTheFrame) {
    addFilm("a.zcm", longFilm());
    struct Case { bool rewind, mute; int32_t wantFrame, wantVolume; };
    for (const Case& k : {Case{false, false, 250, 700}, Case{true, false, 0, 700}, Case{false, true, 250, 0}}) {
        TZunoCinema* c = addCinema("a.zcm");
        c->SetProp(PR_VOLUME, TPropValue::ofInt(700));
        c->SetProp(PR_REWINDONLOAD, TPropValue::ofBool(k.rewind));
        c->SetProp(PR_MUTEONLOAD, TPropValue::ofBool(k.mute));
        c->SetProp(PR_INDEX, TPropValue::ofInt(250));
        run(1);
        ASSERT_EQ(c->Index(), 250);
        TKsMemoryStream s;
        c->SaveToStream(s);
        s.SetPosition(0);
        TZunoCinema* back = Reg.Create<TZunoCinema>();
        back->LoadFromStream(s, 140);
        back->SetParent(Reg.GetScreen(0));
        run(1);
        EXPECT_EQ(back->Index(), k.wantFrame) << k.rewind << k.mute;
        EXPECT_EQ(back->GetProp(PR_VOLUME).Int, k.wantVolume) << k.rewind << k.mute;
        Reg.DeleteObject(c);
        Reg.DeleteObject(back);
    }
}

TEST_F(CinemaTest, ImageTracksShowTheirPicturesFrameByFrame) {
    // Two pictures of 100 ms: 6 track frames each, a period of 12.
    addFile("anim\\pic.drl", drelBytes({solidFrame(4, 4, 0xFF0000, 100), solidFrame(4, 4, 0x00FF00, 100)}));
    addFilm("anim\\i.zcm", "film cinema 108\nscreen 20 10\n"
                           "track image\nlength 100\nfile \"pic.drl\"\nstart-pos 3 2\nend-pos 3 2\n");
    TZunoCinema* c = addCinema("anim\\i.zcm");
    auto* track = static_cast<TImageFrameList*>(c->Film()->GetTrack(0));
    ASSERT_EQ(track->Frames().size(), 2u);
    EXPECT_EQ(track->Period, 12);
    EXPECT_EQ(track->FrameAt(5), 0);
    EXPECT_EQ(track->FrameAt(6), 1);
    EXPECT_EQ(track->FrameAt(13), 0);
    Reg.GetScreen(0)->MarkAllDirty();
    run(3);
    compose();
    EXPECT_EQ(pixel(3, 2), 0x00FF0000u);
    EXPECT_EQ(pixel(2, 2), kBackground);
    run(7);
    compose();
    EXPECT_EQ(pixel(4, 3), 0x0000FF00u);
}

TEST_F(CinemaTest, BoxesPlayMotionFilesRelativeToTheirPosition) {
    addFilm("m.zmt", "film motion 108\nrelative-origin 1\norigin 0 0\n"
                     "track box\nlength 11\nstart-pos 0 0\nend-pos 10 0\nstart-size 4 4\nend-size 4 4\n");
    auto* box = Reg.Create<TZunoBox>();
    box->SetParent(Reg.GetScreen(0));
    box->SetBounds(5, 5, 1, 1);
    box->SetProp(PR_SOURCE, TPropValue::ofStr("m.zmt"));
    ASSERT_NE(box->GetMotion(), nullptr);
    run(7);                                                   // 2 countdown steps, then 5 frames
    EXPECT_EQ(box->MotionX(), 10);
    EXPECT_EQ(box->Left(), 5);
    EXPECT_EQ(box->Width(), 4);
    // The control moved: the base point follows it.
    box->SetLeft(20);
    run(1);
    EXPECT_EQ(box->MotionX(), 26);
}

} // namespace
} // namespace zuno::test
