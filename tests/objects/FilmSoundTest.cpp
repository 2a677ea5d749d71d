// Sound tracks of a film: the sound is made paused at setup, starts with its
// span, is repositioned only when it drifted by 3000 ms or more, pauses when
// the film goes back or its span is over; old volumes convert.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "media/TDMediaItem.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoMediaSource.h"
#include "objects/TZunoSound.h"

namespace zuno {
namespace {

class TFakeItem : public TVideoItem {
public:
    int32_t     Pan = 0, Volume = 0, Position = 0, Length = 10000;
    bool        Playing = false, Paused = false, Repeat = false;
    int         PlayCalls = 0;
    bool        GetAutoRepeat() override { return Repeat; }
    void        SetAutoRepeat(bool v) override { Repeat = v; }
    void        SetRepeatPos(int32_t) override {}
    int32_t     GetPan() override { return Pan; }
    int32_t     GetVolume() override { return Volume; }
    void        SetPan(int32_t v) override { Pan = v; }
    void        SetVolume(int32_t v) override { Volume = v; }
    int32_t     GetPosition() override { return Position; }
    void        SetPosition(int32_t v) override { Position = v < 0 ? 0 : v; }
    int32_t     GetLength() override { return Length; }
    bool        IsEnd() override { return false; }
    bool        IsPlaying() override { return Playing && !Paused; }
    bool        IsPaused() override { return Paused; }
    void        Play() override { Playing = true; Paused = false; ++PlayCalls; }
    void        Pause() override { Paused = true; }
};

class TFakeSource : public TZunoMediaSource {
public:
    std::vector<std::unique_ptr<TFakeItem>> Live;
    TDMediaItem* AddSound(const std::string&) override {
        Live.push_back(std::make_unique<TFakeItem>());
        return Live.back().get();
    }
    TVideoItem* AddVideo(const std::string&, bool) override { return nullptr; }
    void        Release(TDMediaItem* item) override {
        std::erase_if(Live, [item](const auto& p) { return p.get() == item; });
    }
    bool        HasFile(const std::string& name) override { return name == "snd\\bgm.ogg"; }
    uint32_t    Now() override { return 1000; }
};

struct FilmSoundTest : ::testing::Test {
    TFakeSource media;
    TZunoBaseList reg;
    TFilmManager film;
    FilmSoundTest() {
        reg.SetSize(64, 64);
        reg.MediaSource = &media;
    }
    void load(const std::string& text) {
        filmFromText(film, text);
        film.SetRegistry(&reg);
        film.ApplySetup();
    }
    TZunoSound* sound() { return dynamic_cast<TZunoSound*>(film.GetTrack(0)->Object()); }
};

TEST_F(FilmSoundTest, TheSoundFollowsItsSpan) {
    load("film cinema 108\n"
         "track sound\nstart 10\nlength 300\nfile \"snd\\\\bgm.ogg\"\nstart-volume 500\nend-volume 500\n"
         "track box\nlength 400\n");
    TZunoSound* s = sound();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Name()[0], '\x01');
    EXPECT_TRUE(s->GetProp(PR_PAUSED).Bool);                 // made paused at setup
    EXPECT_FALSE(s->GetProp(PR_REPEAT).Bool);                // 10 s of sound for 5 s of track
    film.Seek(5);
    EXPECT_TRUE(s->GetProp(PR_PAUSED).Bool);
    film.Seek(10);                                            // the span begins: played from the start
    ASSERT_EQ(media.Live.size(), 1u);
    TFakeItem& item = *media.Live[0];
    EXPECT_TRUE(item.IsPlaying());
    EXPECT_EQ(s->GetProp(PR_VOLUME).Int, 500);

    // At frame 250 the sound should be at (250 - 10) * 1000 div 60 = 4000 ms.
    struct Case { int32_t position; int32_t after; };
    for (const Case& c : {Case{4000 - 2999, 4000 - 2999}, Case{4000 + 2999, 4000 + 2999}, Case{4000 - 3000, 4000},
                          Case{4000 + 3000, 4000}}) {
        item.Position = c.position;
        film.Seek(250);
        EXPECT_EQ(item.Position, c.after) << c.position;
    }
    // The film went back: the sound is paused, and as the frame lies in its
    // span it starts again from its beginning.
    const int plays = item.PlayCalls;
    film.Seek(100);
    EXPECT_FALSE(s->GetProp(PR_PAUSED).Bool);
    EXPECT_GT(item.PlayCalls, plays);
    EXPECT_EQ(item.Position, 0);
    film.Seek(320);                                           // after the span
    EXPECT_TRUE(s->GetProp(PR_PAUSED).Bool);
    // Sound off (a paused cinema) keeps it paused within the span.
    film.SetSoundEnabled(false);
    film.Seek(200);
    EXPECT_TRUE(s->GetProp(PR_PAUSED).Bool);
}

TEST_F(FilmSoundTest, ShortSoundsRepeatAndTheManagerVolumeScales) {
    // 10 s of sound for a track of 20 s: the sound repeats.
    film.Volume = 500;
    load("film cinema 108\ntrack sound\nlength 1200\nfile \"snd\\\\bgm.ogg\"\n");
    TZunoSound* s = sound();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->GetProp(PR_REPEAT).Bool);
    film.Seek(0);
    EXPECT_EQ(s->GetProp(PR_VOLUME).Int, 500);                // 1000 * 500 div 1000
}

} // namespace
} // namespace zuno
