// Frame-list films: the file of every version, the interpolation, chains,
// Seek in cinema mode (objects made and deleted, their screens) and in motion
// mode, and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoParticle.h"
#include "ObjectTestKit.h"

namespace zuno {
namespace {

// A film from its text form.
void build(TFilmManager& film, const std::string& text) { filmFromText(film, text); }

// Writes `film` at `version` and reads it back into `out`.
void reread(const TFilmManager& film, TFilmManager& out, int32_t version, const std::string& name = "anim\\a.zcm") {
    TKsMemoryStream s;
    film.SaveToStream(s, version);
    s.SetPosition(0);
    out.NoPrepare = true;
    out.LoadFromStream(s, name);
}

// Objects of the registry whose names mark them as made by a film.
std::vector<TZunoObject*> filmObjects(TZunoBaseList& reg) {
    std::vector<TZunoObject*> out;
    for (int i = 0; i < reg.ObjectCount(); ++i)
        if (reg.Objects(i)->IsSystemName() && !reg.IsPendingDelete(reg.Objects(i)))
            out.push_back(reg.Objects(i));
    return out;
}

TEST(FilmInterpolationTest, CurvesGiveTheDocumentedValues) {
    struct Case { int curve; int32_t d, n, want; };
    const Case cases[] = {
        {0, 0, 11, 0}, {0, 5, 11, 50}, {0, 10, 11, 100},       // linear, length 11
        {1, 1, 11, 4},                                           // slow start: 100 - nint(100 sin(9 pi / 22))
        {2, 1, 11, 14},                                          // slow end: nint(100 sin(pi / 22))
        {7, 1, 11, 14},                                          // any other curve is the slow end
        {1, 0, 11, 0}, {2, 10, 11, 100},                         // the ends whatever the curve
        {0, 10, 12, 90},                                         // with a follower (n = L + 1) the end is not reached
    };
    for (const Case& c : cases)
        EXPECT_EQ(filmInterpolate(c.curve, 0, 100, c.d, c.n), c.want) << "curve " << c.curve << " d " << c.d;
    // Falling values and the floating-point linear case (divided by n).
    EXPECT_EQ(filmInterpolate(0, 100, 0, 5, 11), 50);
    EXPECT_DOUBLE_EQ(filmInterpolateF(0, 0.0, 100.0, 5, 10), 50.0);
    EXPECT_DOUBLE_EQ(filmInterpolateF(0, 0.0, 100.0, 9, 10), 100.0);
}

TEST(FilmInterpolationTest, ImageBlockValuesAtAFrame) {
    struct Case {
        const char* fields;
        int32_t frame;
        int32_t angle, zoomX, alpha;
    };
    // length 11: offsets 0 .. 10, offset 10 gives the end values.
    const Case cases[] = {
        {"end-angle -1", 10, 254, 256, 255},        // -1 degree: u = -1 becomes 254
        {"end-angle 359", 10, 255, 256, 255},       // nint(255.29)
        {"end-zoom-x 1.5", 10, 0, 384, 255},
        {"end-zoom-x 0.999", 10, 0, 255, 255},      // trunc(255.744)
        {"end-alpha 128", 0, 0, 256, 255},          // start 0 stands for 255
        {"end-alpha 128", 10, 0, 256, 128},
    };
    for (const Case& c : cases) {
        TFilmManager film;
        build(film, std::string("film cinema 108\ntrack image\nlength 11\n") + c.fields + "\n");
        auto* t = static_cast<TCustomImageFrameList*>(film.GetTrack(0));
        TImageValues v = t->Compute(c.frame, 0, 0);
        EXPECT_EQ(v.Angle, c.angle) << c.fields;
        EXPECT_EQ(v.ZoomX, c.zoomX) << c.fields;
        EXPECT_EQ(v.Alpha, c.alpha) << c.fields;
    }
    // A negative alpha r is written as 256 - r (additive): 200 + 5 * (-456)
    // div 10 = -28 gives 284.
    TFilmManager film;
    build(film, "film cinema 108\ntrack image\nlength 11\nstart-alpha 200\nend-alpha -256\n");
    EXPECT_EQ(static_cast<TCustomImageFrameList*>(film.GetTrack(0))->Compute(5, 0, 0).Alpha, 284);
}

TEST(FilmInterpolationTest, ClipOfZeroSizeMeansNoClipping) {
    TFilmManager film;
    build(film, "film cinema 108\ntrack image\nlength 11\nclip-start-origin 5 6\nclip-start-size 0 40\n"
                "clip-end-origin 15 16\nclip-end-size 100 40\n");
    auto* t = static_cast<TCustomImageFrameList*>(film.GetTrack(0));
    EXPECT_EQ(t->Compute(0, 0, 0).Clip, (TRect{0, 0, 0, 0}));          // width 0 at the start
    EXPECT_EQ(t->Compute(10, 0, 0).Clip, (TRect{15, 16, 115, 56}));
    EXPECT_EQ(t->Compute(5, 0, 0).Clip, (TRect{10, 11, 60, 51}));
}

TEST(FilmChainTest, FollowerStartsWhereItsParentEnds) {
    TFilmManager film;
    build(film, "film cinema 108\n"
                "track box\nstart 10\nlength 20\nstart-pos 0 0\nend-pos 200 0\n"
                "track box\nparent 0\nstart 999\nlength 10\nstart-pos 77 77\nend-pos 300 0\n"
                "track box\nparent 7\nstart 3\nlength 5\n");           // out of range: no parent
    TCustomFrameList* first = film.GetTrack(0);
    TCustomFrameList* second = film.GetTrack(1);
    EXPECT_EQ(first->AbsoluteStart(), 10);
    EXPECT_TRUE(first->Contains(29));
    EXPECT_FALSE(first->Contains(30));
    EXPECT_EQ(second->AbsoluteStart(), 30);
    EXPECT_EQ(film.GetTrack(2)->AbsoluteStart(), 3);
    EXPECT_EQ(film.Length(), 40);
    // The first track divides by 21: its last frame is short of the end value.
    auto* box = static_cast<TBoxFrameList*>(first);
    EXPECT_LT(box->ComputeRect(29).X, 200);
    // The follower starts from its parent's end, not from its stored start.
    EXPECT_EQ(static_cast<TBoxFrameList*>(second)->ComputeRect(30).X, 200);
}

TEST(FilmChainTest, CircularParentsDoNotHang) {
    TFilmManager film;
    build(film, "film cinema 108\ntrack box\nparent 1\nlength 5\ntrack box\nparent 0\nlength 5\n");
    EXPECT_GE(film.Length(), 5);
    EXPECT_LE(film.Length(), 10);
}

TEST(FilmFileTest, TextAndBinaryFormsRoundTrip) {
    const std::string text =
        "film motion 108\nscreen 640 480\nbackground 255\nrelative-origin 1\norigin 3 4\nloop-start 12\n"
        "track label\nlength 40\ntext \"a \\\"b\\\" \\x01\"\nfont-height 24\nstart-zoom-y 0.5\n"
        "track sound\nstart 5\nlength 20\nfile \"..\\\\se\\\\a.wav\"\nend-volume 500\n"
        "track wipe\nlength 10\ntransition 4\nrule \"rule\\\\a.bmp\"\nparam-0 7\nreverse 1\n"
        "track tile\nlength 3\nclip-end-size 4 5\ndistance 2 3\n"
        "track particle\nlength 3\nstart-param-2 1.25\n"
        "track fire\nlength 3\npower 50\n";
    TFilmManager a, b;
    build(a, text);
    reread(a, b, 108);
    EXPECT_TRUE(b.IsMotionFile());
    EXPECT_EQ(filmToText(a), filmToText(b));
    EXPECT_EQ(b.Count(), 6);
    EXPECT_EQ(b.LoopStart, 12);
    EXPECT_EQ(static_cast<TLabelFrameList*>(b.GetTrack(0))->Caption, "a \"b\" \x01");
    EXPECT_EQ(static_cast<TCustomImageFrameList*>(b.GetTrack(0))->StartZoomY, 0.5);
    EXPECT_EQ(static_cast<TParticleFrameList*>(b.GetTrack(4))->StartParam[2], 1.25);
    // File names: "..\" goes up the film's folder; rule names never do.
    EXPECT_EQ(static_cast<TSoundFrameList*>(b.GetTrack(1))->ResolvedName, "se\\a.wav");
    EXPECT_EQ(static_cast<TWipeFrameList*>(b.GetTrack(2))->ResolvedRule, "anim\\rule\\a.bmp");
}

TEST(FilmFileTest, HeaderBytesAreLaidOutAsStored) {
    TFilmManager film;
    build(film, "film cinema 108\nscreen 320 200\nbackground -1\nloop-start 9\n");
    TKsMemoryStream s;
    film.SaveToStream(s);
    s.SetPosition(0);
    char magic[13];
    s.ReadBuffer(magic, 13);
    EXPECT_EQ(std::string(magic, 13), "ZunoCinema108");
    EXPECT_EQ(ReadInt(s), 320);
    EXPECT_EQ(ReadInt(s), 200);
    EXPECT_EQ(ReadInt(s), -1);
    EXPECT_EQ(ReadByte(s), 0);      // relative origin
    EXPECT_EQ(ReadInt(s), 0);       // origin point
    EXPECT_EQ(ReadInt(s), 0);
    EXPECT_EQ(ReadInt(s), 9);       // loop start
    EXPECT_EQ(ReadInt(s), 0);       // tracks
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(FilmFileTest, OlderVersionsAreConverted) {
    // Version 106 counted 30 frames per second: loop start, start, length
    // and period double.
    TFilmManager film, old;
    build(film, "film cinema 108\nloop-start 5\ntrack box\nstart 15\nlength 30\nperiod 4\n");
    reread(film, old, 106);
    EXPECT_EQ(old.LoopStart, 10);
    EXPECT_EQ(old.GetTrack(0)->AbsoluteStart(), 30);
    EXPECT_EQ(old.GetTrack(0)->Length, 60);
    EXPECT_EQ(old.GetTrack(0)->Period, 8);

    // Version 107 sound volumes: v div 10 + 1000.
    TFilmManager sound, old7;
    build(sound, "film cinema 108\ntrack sound\nlength 10\nstart-volume -10000\nend-volume 0\n");
    reread(sound, old7, 107);
    auto* s = static_cast<TSoundFrameList*>(old7.GetTrack(0));
    EXPECT_EQ(s->StartVolume, 0);
    EXPECT_EQ(s->EndVolume, 1000);

    // Before 105 the vertical zoom copies the horizontal one; before 103 a
    // caption has four skipped bytes instead of a line spacing and no
    // alignment; version 100 has no clip block.
    TFilmManager img, old100;
    build(img, "film cinema 108\ntrack label\nlength 10\nend-zoom-x 2\nend-zoom-y 3\nline-space 9\nh-align 2\n"
               "font-color 0x123456\nclip-end-size 5 5\ntrack box\nlength 4\n");
    reread(img, old100, 100);
    ASSERT_EQ(old100.Count(), 2);
    auto* l = static_cast<TLabelFrameList*>(old100.GetTrack(0));
    EXPECT_EQ(l->EndZoomY, 2.0);
    EXPECT_EQ(l->LineSpace, 0);
    EXPECT_EQ(l->HAlign, 0);
    EXPECT_EQ(l->FontColor, 0x123456);
    EXPECT_EQ(l->Clip.EndW, 0);
    EXPECT_EQ(old100.GetTrack(1)->Length, 8);
}

TEST(FilmFileTest, TheSecondClipBlockOfATileCounts) {
    TFilmManager film;
    build(film, "film cinema 108\ntrack tile\nlength 3\nclip-end-size 10 10\ntrack box\nlength 2\n");
    TKsMemoryStream s;
    film.SaveToStream(s);
    // Make the first copy different: it sits right after the picture's
    // block fields and before the file name; find it by its value.
    std::vector<uint8_t>& bytes = s.Data();
    int found = 0;
    for (size_t i = 0; i + 8 <= bytes.size(); ++i)
        if (getLE32(&bytes[i]) == 10 && getLE32(&bytes[i + 4]) == 10 && found++ == 0) {
            putLE32(&bytes[i], 99);
            break;
        }
    ASSERT_EQ(found, 1);
    s.SetPosition(0);
    TFilmManager back;
    back.NoPrepare = true;
    back.LoadFromStream(s, "a.zcm");
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(static_cast<TTileFrameList*>(back.GetTrack(0))->Clip.EndW, 10);
}

TEST(FilmFileTest, DamagedFilesPlayWhatTheyCan) {
    TFilmManager good;
    build(good, "film cinema 108\ntrack box\nlength 10\ntrack particle\nlength 5\ntrack box\nlength 7\n");
    TKsMemoryStream whole;
    good.SaveToStream(whole);
    const std::vector<uint8_t> bytes = whole.Data();
    const size_t countAt = 13 + 8 + 4 + 1 + 8 + 4;

    auto load = [](std::vector<uint8_t> data, TFilmManager& film) {
        TKsMemoryStream s;
        s.WriteBuffer(data.data(), int64_t(data.size()));
        s.SetPosition(0);
        film.NoPrepare = true;
        film.LoadFromStream(s, "a.zcm");
    };
    {   // cut inside the last track: the complete ones stay
        TFilmManager f;
        load(std::vector<uint8_t>(bytes.begin(), bytes.end() - 3), f);
        EXPECT_EQ(f.Count(), 2);
        EXPECT_EQ(f.Length(), 10);
    }
    {   // a count of 2^31 - 1 allocates nothing and reads the three tracks
        std::vector<uint8_t> d = bytes;
        putLE32(&d[countAt], 0x7FFFFFFF);
        TFilmManager f;
        load(d, f);
        EXPECT_EQ(f.Count(), 3);
    }
    {   // a kind above 7 ends the list
        std::vector<uint8_t> d = bytes;
        d[countAt + 4] = 0x09;
        TFilmManager f;
        load(d, f);
        EXPECT_EQ(f.Count(), 0);
    }
    {   // bit 7 of the kind is ignored
        std::vector<uint8_t> d = bytes;
        d[countAt + 4] |= 0x80;
        TFilmManager f;
        load(d, f);
        EXPECT_EQ(f.Count(), 3);
    }
    {   // an unknown magic or a header cut short gives an empty film
        std::vector<uint8_t> d = bytes;
        d[0] = 'X';
        TFilmManager f;
        load(d, f);
        EXPECT_EQ(f.Length(), 0);
        TFilmManager g;
        load(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20), g);
        EXPECT_EQ(g.Count(), 0);
    }
    {   // a version that is not a number fails the load
        std::vector<uint8_t> d = bytes;
        d[11] = 'x';
        TFilmManager f;
        EXPECT_THROW(load(d, f), EZunoError);
    }
    {   // a text length far beyond the data fails that track only
        TFilmManager p;
        build(p, "film cinema 108\ntrack box\nlength 4\ntrack sound\nlength 5\nfile \"abc\"\n");
        TKsMemoryStream s;
        p.SaveToStream(s);
        std::vector<uint8_t> d = s.Data();
        const size_t at = d.size() - (4 + 3 + 4 * 4 + 2);
        putLE32(&d[at], 0x7FFFFFF0);
        TFilmManager f;
        load(d, f);
        EXPECT_EQ(f.Count(), 1);
    }
}

TEST(FilmFileTest, TextFormErrorsNameTheLine) {
    const char* bad[] = {
        "track box\n",                                  // no film line
        "film cinema 108\ntrack circle\n",               // unknown kind
        "film cinema 108\ntrack box\nlenght 4\n",         // no such field
        "film cinema 108\ntrack box\nlength x\n",         // not an integer
        "film cinema 108\ntrack box\ncurve-x 300\n",      // a byte out of range
        "film cinema 108\ntrack box\nstart-pos 1\n",      // a pair needs two values
        "film cinema 108\ntrack label\ntext \"open\n",    // unterminated text
        "film cinema 108\ntrack box\nlength 1\nlength 2\n",
    };
    for (const char* text : bad) {
        TFilmManager film;
        EXPECT_THROW(filmFromText(film, text), EZunoError) << text;
    }
}

TEST(FilmFileNamesTest, RelativeNamesFollowTheFilmsFolder) {
    struct Case { const char* folder; const char* name; const char* want; };
    const Case cases[] = {
        {"anim\\", "a.png", "anim\\a.png"},
        {"anim\\sub\\", "..\\a.png", "ANIM\\a.png"},
        {"anim\\", "..\\..\\a.png", "..\\a.png"},             // nothing left to go up from
        {"c:\\game\\anim\\", "..\\a.png", "C:\\GAME\\a.png"},
        {"c:\\anim\\", "..\\..\\a.png", "a.png"},              // the drive is one component: it goes too
        {"\\\\srv\\share\\anim\\", "..\\a.png", "\\\\SRV\\SHARE\\a.png"},
        {"anim\\", "\\abs.png", "\\abs.png"},
        {"anim\\", "d:x.png", "d:x.png"},
        {"anim\\", "a", "a"},                                    // one character stands as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolveFilmFileName(c.folder, c.name), c.want) << c.folder << " + " << c.name;
}

//==============================================================================
// Seek
//==============================================================================

struct FilmSeekTest : ::testing::Test {
    TZunoBaseList reg;
    FilmSeekTest() { reg.SetSize(320, 240); }
};

TEST_F(FilmSeekTest, CinemaModeObjectsLiveForTheirTracksSpan) {
    TFilmManager film;
    build(film, "film cinema 108\nscreen 320 240\n"
                "track box\nstart 10\nlength 11\nstart-pos 0 0\nend-pos 100 50\nstart-size 10 20\nend-size 30 40\n"
                "start-color 0x0000FF\nend-color 0x00FF00\nstart-alpha 0\nend-alpha 128\npriority 5\n");
    film.SetRegistry(&reg);
    film.ApplySetup();
    film.Seek(9);
    EXPECT_TRUE(filmObjects(reg).empty());
    film.Seek(10);
    ASSERT_EQ(filmObjects(reg).size(), 1u);
    auto* box = dynamic_cast<TZunoBox*>(filmObjects(reg)[0]);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Name()[0], '\x01');
    EXPECT_EQ(box->Parent(), reg.GetScreen(0));             // private playback, no transitions: screen 0
    EXPECT_EQ(box->Priority(), 5);
    film.Seek(15);
    EXPECT_EQ(box->Left(), 50);
    EXPECT_EQ(box->Top(), 25);
    EXPECT_EQ(box->Width(), 20);
    EXPECT_EQ(box->Height(), 30);
    EXPECT_EQ(box->Color(), 0x007F80);                       // channel by channel
    EXPECT_EQ(box->Alpha(), 192);
    film.Seek(20);
    EXPECT_EQ(box->Left(), 100);
    EXPECT_EQ(box->Alpha(), 128);
    film.Seek(21);
    EXPECT_TRUE(filmObjects(reg).empty());                   // scheduled for deletion
    EXPECT_EQ(film.CurrentFrame(), 21);
}

TEST_F(FilmSeekTest, DirectPlaybackMakesObjectsChildrenOfTheCinema) {
    TFilmManager film;
    build(film, "film cinema 108\ntrack box\nlength 5\n");
    TZunoControl* cinema = test::addControl(reg, reg.GetScreen(0), 10, 10, 100, 100, "film");
    film.SetRegistry(&reg);
    film.OwnerCinema = cinema;
    film.Seek(0);
    ASSERT_EQ(cinema->ChildCount(), 1);
    EXPECT_EQ(cinema->GetChild(0)->Name().substr(0, 6), "\x01" "film\x01");
}

TEST_F(FilmSeekTest, TransitionsChooseTheScreensOfObjects) {
    // Transitions over 10 .. 19 and 40 .. 49; a box starting at 18, 19, 48 and 49.
    TFilmManager film;
    build(film, "film cinema 108\n"
                "track wipe\nstart 10\nlength 10\ntransition 1\n"
                "track wipe\nstart 40\nlength 10\ntransition 1\n"
                "track box\nstart 18\nlength 100\n"
                "track box\nstart 19\nlength 100\n"
                "track box\nstart 48\nlength 100\n"
                "track box\nstart 49\nlength 100\n"
                "track box\nstart 49\nlength 100\nother-screen 1\n");
    EXPECT_TRUE(film.NeedsPrivateRegistry());
    film.SetRegistry(&reg);
    film.ApplySetup();
    film.Seek(60);
    std::vector<int> screens;
    for (int i = 2; i < 7; ++i)
        screens.push_back(film.GetTrack(i)->Object()->AsControl()->Parent() == reg.GetScreen(1) ? 1 : 0);
    EXPECT_EQ(screens, (std::vector<int>{0, 1, 1, 0, 1}));
    // Seek drives the registry: the active screen is the parity of the
    // transitions passed, and a transition runs within a track's span.
    film.Seek(15);
    EXPECT_EQ(reg.ActiveIndex(), 0);
    EXPECT_TRUE(reg.TransitionRunning());
    EXPECT_EQ(reg.TransitionProgress(), 5);
    film.Seek(25);
    EXPECT_EQ(reg.ActiveIndex(), 1);
    EXPECT_FALSE(reg.TransitionRunning());
    film.Seek(55);
    EXPECT_EQ(reg.ActiveIndex(), 0);
}

TEST_F(FilmSeekTest, MotionModeWritesIntoTheTarget) {
    TFilmManager film;
    build(film, "film motion 108\nrelative-origin 1\norigin 10 10\n"
                "track box\nlength 11\nstart-pos 10 10\nend-pos 110 10\nend-size 50 60\npriority 3\n");
    auto* target = test::addControl<TZunoBox>(reg, reg.GetScreen(0), 200, 100, 5, 5);
    target->SetPriority(4);
    film.SetRegistry(&reg);
    film.MotionMode = true;
    film.Target = target;
    film.BaseX = 200;
    film.BaseY = 100;
    film.BasePriority = 4;
    const int before = reg.ObjectCount();
    film.Seek(10);
    EXPECT_EQ(reg.ObjectCount(), before);                    // no objects in motion mode
    EXPECT_EQ(target->MotionX(), 300);                       // base - origin added
    EXPECT_EQ(target->MotionY(), 100);
    EXPECT_EQ(target->Left(), 200);                          // untouched
    EXPECT_EQ(target->Width(), 50);
    EXPECT_EQ(target->Height(), 60);
    EXPECT_EQ(target->Priority(), 7);
}

TEST_F(FilmSeekTest, KindsBuiltElsewhereAreDrivenThroughTheirProperties) {
    // A caption, a particle and a fire track: created by kind, written by property.
    TFilmManager film;
    build(film, "film cinema 108\nscreen 320 240\n"
                "track label\nlength 5\ntext \"hello\"\nfont-height 20\nstart-pos 4 5\nend-pos 4 5\n"
                "track fire\nlength 5\npower 70\n"
                "track fire\nparent 1\nlength 5\npower 30\n");
    film.SetRegistry(&reg);
    film.Seek(2);
    TZunoObject* label = film.GetTrack(0)->Object();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetCompoType(), LT_LABEL);
    EXPECT_EQ(label->GetProp(PR_TEXT).Str, "hello");
    EXPECT_EQ(label->AsControl()->Left(), 4);
    TZunoObject* fire = film.GetTrack(1)->Object();
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->GetCompoType(), LT_FIRE);
    // The chained fire track drives the chain's one object.
    film.Seek(7);
    EXPECT_TRUE(reg.IsRegistered(fire));
    EXPECT_FALSE(reg.IsPendingDelete(fire));
    film.Seek(10);
    EXPECT_TRUE(reg.IsPendingDelete(fire));
}

TEST_F(FilmSeekTest, CaptionParticleAndFireTracksWriteWhatTheirControlsRead) {
    TFilmManager film;
    build(film, "film cinema 108\nscreen 320 240\n"
                "track label\nlength 11\ntext \"hi\"\nfont-name \"Gothic\"\nfont-height 24\n"
                "font-color 0x00FF00\nh-align 1\nstart-alpha 0\nend-alpha 100\n"
                "track particle\nlength 11\npart-motion 2\nindex 500\n"
                "start-interval 100\nend-interval 200\nstart-spread 10\nend-spread 30\n"
                "start-emit 0 40\nend-emit 100 40\nstart-area 10 20\nend-area 30 20\n"
                "start-param-0 0.0\nend-param-0 11.0\n"
                "track fire\nlength 11\nstart-pos 0 0\nend-pos 100 50\nstart-size 60 30\nend-size 80 50\n"
                "start-zoom-x 2.0\nend-zoom-x 3.0\npower 70\n");
    film.SetRegistry(&reg);
    film.ApplySetup();
    film.Seek(5);

    TZunoObject* label = film.GetTrack(0)->Object();
    ASSERT_NE(label, nullptr);
    struct Prop { int id; int32_t want; };
    for (const Prop& p : {Prop{PR_FONTHEIGHT, 24}, Prop{PR_FONTCOLOR, 0x00FF00}, Prop{PR_HALIGN, 1},
                          Prop{PR_ALPHA, 178}})
        EXPECT_EQ(label->GetProp(p.id).Int, p.want) << "caption property " << p.id;
    EXPECT_EQ(label->GetProp(PR_TEXT).Str, "hi");
    EXPECT_EQ(label->GetProp(PR_FONTNAME).Str, "Gothic");

    auto* emitter = dynamic_cast<TZunoParticle*>(film.GetTrack(1)->Object());
    ASSERT_NE(emitter, nullptr);
    // The byte is the motion kind: a film of stars must not become "none".
    EXPECT_EQ(emitter->GetProp(PR_PARTMOTION).Int, PM_STAR);
    EXPECT_EQ(emitter->GetProp(PR_INDEX).Int, 500);
    EXPECT_DOUBLE_EQ(double(emitter->GetProp(PR_PARAM1).Float), 5.0);
    const TZunoParticleParam& r = emitter->ParamRecord();
    EXPECT_EQ(r.EmissionX, 50);
    EXPECT_EQ(r.EmissionY, 40);
    EXPECT_EQ(r.AreaWidth, 20);
    EXPECT_EQ(r.AreaHeight, 20);
    EXPECT_EQ(r.Spread, 20);                                 // 10 + 20 * 5 / 10
    EXPECT_EQ(r.IntervalBase, 140);                          // interval 150 - spread div 2

    TZunoObject* fire = film.GetTrack(2)->Object();
    ASSERT_NE(fire, nullptr);
    for (const Prop& p : {Prop{PR_ORIGWIDTH, 70}, Prop{PR_ORIGHEIGHT, 40}, Prop{PR_ZOOMX, 640},
                          Prop{PR_ZOOMY, 1024}, Prop{PR_POWER, 70}})
        EXPECT_EQ(fire->GetProp(p.id).Int, p.want) << "fire property " << p.id;
    EXPECT_EQ(fire->AsControl()->Left(), 50);
    EXPECT_EQ(fire->AsControl()->Top(), 25);
}

TEST_F(FilmSeekTest, AnEmitterLeftByItsTrackForgetsTheTracksRecord) {
    TFilmManager film;
    build(film, "film cinema 108\nscreen 320 240\ntrack particle\nlength 5\npart-motion 1\n");
    film.SetRegistry(&reg);
    film.ApplySetup();
    film.Seek(1);
    auto* emitter = dynamic_cast<TZunoParticle*>(film.GetTrack(0)->Object());
    ASSERT_NE(emitter, nullptr);
    emitter->ParamRecord().EmissionX = 77;
    film.Seek(6);                                            // the track is over
    EXPECT_TRUE(reg.IsPendingDelete(emitter));
    EXPECT_EQ(emitter->ParamRecord().EmissionX, 0);          // a fresh record: the old one was freed
}

} // namespace
} // namespace zuno
