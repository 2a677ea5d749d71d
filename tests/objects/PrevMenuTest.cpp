// Preview menus: items from a film's image tracks, thumbnails that play their
// frames, the lit item under the mouse, the choice by mouse and keys, item
// states, closing, the film's end, bad sources and the save record.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/TStream.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoPrevMenu.h"

namespace zuno::test {
namespace {

constexpr uint32_t kRed = 0x00A00000, kGreen = 0x0000A000, kBlue = 0x000000A0, kGrey = 0x00606060;
constexpr uint32_t kLight = 0x00404040;                     // what the hover adds per channel

using TEvents = std::vector<std::string>;

class PrevMenuTest : public ImageSceneTest {
protected:
    PrevMenuTest() {
        // "a" shows red for 100 ms (6 frames), then green; "b" is blue, then
        // its follower shows grey; "c" is grey. A box track is no item.
        addFile("thumbs\\a.drl", drelBytes({solidFrame(6, 4, kRed, 100), solidFrame(6, 4, kGreen, 100)}));
        addFile("thumbs\\b.drl", drelBytes({solidFrame(6, 4, kBlue)}));
        addFile("thumbs\\c.drl", drelBytes({solidFrame(6, 4, kGrey)}));
        addFilm("thumbs\\menu.zmt", "film motion 108\nscreen 30 10\n"
                                    "track image\nlength 60\nfile \"a.drl\"\nstart-pos 1 1\nend-pos 1 1\n"
                                    "track image\nlength 30\nfile \"b.drl\"\nstart-pos 10 1\nend-pos 10 1\n"
                                    "track box\nlength 60\nstart-size 2 2\nend-size 2 2\n"
                                    "track image\nparent 1\nlength 30\nfile \"c.drl\"\nend-pos 10 1\n"
                                    "track image\nlength 60\nfile \"c.drl\"\nstart-pos 19 1\nend-pos 19 1\n");
        Reg.OnChoice = [this](const std::string& text, int32_t index) {
            SelStr = text;
            SelIndex = index;
        };
    }
    void addFilm(const std::string& name, const std::string& text) {
        TFilmManager film;
        filmFromText(film, text);
        TKsMemoryStream s;
        film.SaveToStream(s);
        addFile(name, s.Data());
    }
    TZunoPrevMenu* addMenu(const std::string& source = "thumbs\\menu.zmt") {
        auto* m = Reg.Create<TZunoPrevMenu>();
        m->SetName("menu");
        m->SetParent(Reg.GetScreen(0));
        m->SetLeft(5);
        m->SetTop(5);
        m->SetProp(PR_SOURCE, TPropValue::ofStr(source));
        for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT, PR_ONPLAYEND})
            m->SetProp(id, TPropValue::ofStr("h.zsb"));
        return m;
    }
    void frame() {
        Reg.InputStep(16);
        Reg.Update(16);
    }
    void press(int key) {
        Reg.KeyDown(key);
        Reg.InputStep(16);
        Reg.KeyUp(key);
        Reg.InputStep(16);
    }
    TEvents take() {
        TEvents out;
        for (int i = 0; i < Reg.Events().Count(); ++i) {
            std::string e = std::to_string(Reg.Events().Items(i).Id);
            for (const std::string& a : Reg.Events().Items(i).Arguments)
                e += " " + a;
            out.push_back(e);
        }
        Reg.Events().Clear();
        return out;
    }
    std::string SelStr = "unset";
    int32_t SelIndex = -99;
};

// Item centres on the screen (menu at 5,5; thumbnails 6 x 4).
constexpr int32_t kItemX[] = {5 + 1 + 3, 5 + 10 + 3, 5 + 19 + 3}, kItemY = 5 + 1 + 2;

TEST_F(PrevMenuTest, ImageTracksAreItemsNamedAfterTheirFiles) {
    TZunoPrevMenu* m = addMenu();
    EXPECT_EQ(m->Width(), 30);
    EXPECT_EQ(m->Height(), 10);
    EXPECT_EQ(m->ItemCount(), 3);                           // the follower joins "b", the box is none
    EXPECT_EQ(m->GetProp(PR_COUNT).Int, 3);
    EXPECT_EQ(m->GetProp(PR_TEXT).Str, "a\r\nb\r\nc");
    EXPECT_EQ(m->ItemIndexOfName("c"), 2);
    EXPECT_EQ(m->ItemIndexOfName("C"), -1);                 // byte for byte
    // Text renames line by line; lines past the items are ignored, missing lines keep names.
    m->SetProp(PR_TEXT, TPropValue::ofStr("first\r\nsecond"));
    EXPECT_EQ(m->GetProp(PR_TEXT).Str, "first\r\nsecond\r\nc");
    m->SetProp(PR_TEXT, TPropValue::ofStr("x\ny\nz\nextra"));
    EXPECT_EQ(m->ItemIndexOfName("z"), 2);
    EXPECT_EQ(m->ItemIndexOfName("extra"), -1);
    // The thumbnails are parts of the menu: not hit by the mouse, not saved.
    ASSERT_NE(m->Thumbnail(0), nullptr);
    EXPECT_TRUE(m->Thumbnail(0)->IsSystemName());
    EXPECT_EQ(m->Thumbnail(0)->Parent(), m);
    EXPECT_EQ(m->Thumbnail(3), nullptr);
}

TEST_F(PrevMenuTest, ThumbnailsPlayTheirFramesAndTheEndIsPostedOnce) {
    TZunoPrevMenu* m = addMenu();
    compose();
    EXPECT_EQ(pixel(kItemX[0], kItemY), kRed);
    EXPECT_EQ(pixel(kItemX[1], kItemY), kBlue);
    EXPECT_EQ(pixel(kItemX[2], kItemY), kGrey);
    EXPECT_EQ(pixel(5, 5), kBackground);                    // the menu draws nothing of its own
    for (int i = 0; i < 8; ++i)
        Reg.Update(17);
    compose();
    EXPECT_EQ(pixel(kItemX[0], kItemY), kGreen);
    for (int i = 0; i < 30; ++i)
        Reg.Update(17);
    compose();
    EXPECT_EQ(pixel(kItemX[1], kItemY), kGrey);             // the follower took over item "b"
    EXPECT_EQ(take(), TEvents{});
    for (int i = 0; i < 30; ++i)
        Reg.Update(17);
    EXPECT_TRUE(m->Ended());
    EXPECT_EQ(m->FilmFrame(), 59);
    EXPECT_EQ(take(), TEvents{"43"});
    for (int i = 0; i < 5; ++i)
        Reg.Update(17);
    EXPECT_EQ(take(), TEvents{});
    ASSERT_NE(Reg.FindComponent("menu"), nullptr);
}

TEST_F(PrevMenuTest, PausedStopsTheFilm) {
    TZunoPrevMenu* m = addMenu();
    m->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    for (int i = 0; i < 20; ++i)
        Reg.Update(17);
    EXPECT_EQ(m->FilmFrame(), 0);
    m->SetProp(PR_PAUSED, TPropValue::ofBool(false));
    for (int i = 0; i < 20; ++i)
        Reg.Update(17);
    EXPECT_GT(m->FilmFrame(), 15);
}

TEST_F(PrevMenuTest, ItemUnderTheMouseLightsUpAndIsChosen) {
    TZunoPrevMenu* m = addMenu();
    compose();
    Reg.MouseMove(kItemX[1], kItemY);
    frame();
    EXPECT_EQ(m->Hover(), 1);
    EXPECT_EQ(take(), (TEvents{"104 b 1"}));
    compose();
    EXPECT_EQ(pixel(kItemX[1], kItemY), kBlue + kLight);
    EXPECT_EQ(pixel(kItemX[0], kItemY), kRed);
    Reg.MouseMove(kItemX[0], kItemY);
    frame();
    EXPECT_EQ(take(), (TEvents{"105 b 1", "104 a 0"}));
    compose();
    EXPECT_EQ(pixel(kItemX[1], kItemY), kBlue);
    EXPECT_EQ(pixel(kItemX[0], kItemY), kRed + kLight);
    Reg.MouseMove(5 + 8, kItemY);                           // between two thumbnails
    frame();
    EXPECT_EQ(m->Hover(), -1);
    EXPECT_EQ(take(), (TEvents{"105 a 0"}));
    Reg.MouseMove(kItemX[2], kItemY);
    frame();
    Reg.MouseDown(true, false);
    frame();
    Reg.MouseUp();
    EXPECT_EQ(SelStr, "c");
    EXPECT_EQ(SelIndex, 2);
    EXPECT_EQ(take(), (TEvents{"104 c 2", "72 c 2"}));
    EXPECT_EQ(m->GetItemState(TZunoObject::isSelected, 2), 1);
    EXPECT_EQ(m->GetItemState(TZunoObject::isSelected, 0), 0);
    ASSERT_NE(Reg.FindComponent("menu"), nullptr);         // no AutoScrap: it stays
}

TEST_F(PrevMenuTest, ThumbnailMovingUnderAStillMouseLightsUp) {
    addFilm("moving.zmt", "film motion 108\nscreen 40 10\n"
                          "track image\nlength 60\nfile \"thumbs\\\\a.drl\"\nstart-pos 0 0\nend-pos 30 0\n");
    TZunoPrevMenu* m = addMenu("moving.zmt");
    Reg.MouseMove(5 + 20, 7);                               // ahead of the thumbnail, inside the menu
    frame();
    EXPECT_EQ(m->Hover(), -1);
    take();
    for (int i = 0; i < 40 && m->Hover() < 0; ++i)
        frame();
    EXPECT_EQ(m->Hover(), 0);
    EXPECT_EQ(take(), (TEvents{"104 a 0"}));
    for (int i = 0; i < 40 && m->Hover() == 0; ++i)
        frame();
    EXPECT_EQ(m->Hover(), -1);                              // and it passes on
    EXPECT_EQ(take(), (TEvents{"105 a 0"}));
}

TEST_F(PrevMenuTest, DisabledAndHiddenItemsAreNotChosen) {
    TZunoPrevMenu* m = addMenu();
    m->SetItemState(TZunoObject::isEnabled, 1, 0);
    m->SetItemState(TZunoObject::isVisible, 2, 0);
    EXPECT_EQ(m->GetItemState(TZunoObject::isEnabled, 1), 0);
    EXPECT_EQ(m->GetItemState(TZunoObject::isVisible, 2), 0);
    EXPECT_EQ(m->GetItemState(TZunoObject::isEnabled, 7), 0);  // out of range reads 0
    m->SetItemState(TZunoObject::isCheck, 7, 1);                // and writes nothing
    compose();
    EXPECT_EQ(pixel(kItemX[1], kItemY), 0x00000040u);          // blue 0xA0 dimmed by 0x60
    EXPECT_EQ(pixel(kItemX[2], kItemY), kBackground);
    for (int item : {1, 2}) {
        Reg.MouseMove(kItemX[item], kItemY);
        frame();
        Reg.MouseDown(true, false);
        frame();
        Reg.MouseUp();
        EXPECT_EQ(m->Hover(), -1) << item;
    }
    EXPECT_EQ(SelIndex, -99);
    EXPECT_EQ(take(), TEvents{});
}

TEST_F(PrevMenuTest, KeysWalkTheChoosableItemsAndChoose) {
    TZunoPrevMenu* m = addMenu();
    m->SetHandleKey(true);
    Reg.SetFocus(m);
    m->SetItemState(TZunoObject::isEnabled, 1, 0);
    struct Step {
        int key;
        int32_t hover;
    };
    // The first arrow starts at the film's first item; disabled "b" is skipped.
    for (const Step s : {Step{39, 0}, Step{39, 2}, Step{40, 0}, Step{37, 2}, Step{38, 0}, Step{38, 2}}) {
        press(s.key);
        EXPECT_EQ(m->Hover(), s.hover) << s.key;
    }
    press(32);
    EXPECT_EQ(SelStr, "c");
    EXPECT_EQ(SelIndex, 2);
}

TEST_F(PrevMenuTest, ChoiceWithAutoScrapAndScrapsCloseTwoFramesLater) {
    enum How { click, rightClick, escape };
    struct Case {
        How how;
        int32_t index;
        const char* str;
    };
    for (const Case c : {Case{click, 0, "a"}, Case{rightClick, -1, ""}, Case{escape, -1, ""}}) {
        SCOPED_TRACE(int(c.how));
        TZunoPrevMenu* m = addMenu();
        m->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
        m->SetProp(PR_RCLICKSCRAP, TPropValue::ofBool(true));
        m->SetHandleKey(true);
        Reg.SetFocus(m);
        Reg.MouseMove(kItemX[0], kItemY);
        frame();
        take();
        if (c.how == escape) {
            Reg.KeyDown(27);
        } else {
            Reg.MouseDown(c.how == click, c.how == rightClick);
        }
        Reg.InputStep(16);
        EXPECT_EQ(SelIndex, c.index);
        EXPECT_EQ(SelStr, c.str);
        EXPECT_EQ(m->Closing(), 100);
        EXPECT_EQ(take(), c.how == click ? TEvents{"72 a 0"} : TEvents{});
        Reg.MouseUp();
        Reg.KeyUp(27);
        Reg.Update(16);
        EXPECT_TRUE(m->EventsSuppressed());
        Reg.MouseMove(kItemX[2], kItemY);                   // no events while closing
        Reg.InputStep(16);
        EXPECT_EQ(take(), TEvents{});
        ASSERT_NE(Reg.FindComponent("menu"), nullptr);
        Reg.Update(16);
        EXPECT_EQ(Reg.FindComponent("menu"), nullptr);
        SelStr = "unset";
        SelIndex = -99;
    }
}

TEST_F(PrevMenuTest, SourcesWithoutItemsGiveAnEmptyMenu) {
    addFilm("boxes.zmt", "film motion 108\nscreen 8 8\ntrack box\nlength 10\n");
    addFilm("nofile.zmt", "film motion 108\nscreen 8 8\ntrack image\nlength 10\nfile \"none.drl\"\n");
    std::vector<uint8_t> cut;
    {
        TFilmManager film;
        filmFromText(film, "film motion 108\nscreen 8 8\ntrack image\nlength 10\nfile \"thumbs\\\\a.drl\"\n");
        TKsMemoryStream s;
        film.SaveToStream(s);
        cut = s.Data();
        cut.resize(cut.size() - 3);                         // inside the only track
    }
    addFile("cut.zmt", cut);
    addFile("junk.zmt", {'Z', 'u', 'n', 'o', 'M', 'o', 't', 'i', 'o', 'n', 'x', 'y', 'z', 1, 2});
    struct Case {
        const char* source;
        int32_t items;
    };
    for (const Case c : {Case{"missing.zmt", 0}, Case{"boxes.zmt", 0}, Case{"nofile.zmt", 1}, Case{"cut.zmt", 0},
                         Case{"junk.zmt", 0}, Case{"", 0}}) {
        SCOPED_TRACE(c.source);
        TZunoPrevMenu* m = addMenu(c.source);
        EXPECT_EQ(m->ItemCount(), c.items);
        Reg.MouseMove(6, 6);
        frame();
        Reg.MouseDown(true, false);
        frame();
        Reg.MouseUp();
        press(39);
        for (int i = 0; i < 20; ++i)
            Reg.Update(17);
        EXPECT_EQ(SelIndex, -99);
        Reg.DeleteObject(m);
        Reg.Events().Clear();
    }
}

TEST_F(PrevMenuTest, ChangingTheSourceReplacesTheThumbnails) {
    addFilm("one.zmt", "film motion 108\nscreen 8 8\ntrack image\nlength 10\nfile \"thumbs\\\\c.drl\"\n");
    TZunoPrevMenu* m = addMenu();
    const int before = Reg.ObjectCount();
    m->SetProp(PR_SOURCE, TPropValue::ofStr("one.zmt"));
    EXPECT_EQ(m->ItemCount(), 1);
    EXPECT_EQ(m->ChildCount(), 1);
    EXPECT_EQ(Reg.ObjectCount(), before - 2);
    EXPECT_EQ(m->GetProp(PR_TEXT).Str, "c");
}

TEST_F(PrevMenuTest, SaveRecordKeepsNamesStatesAndTime) {
    TZunoPrevMenu* a = addMenu();
    a->SetProp(PR_TEXT, TPropValue::ofStr("one\ntwo\nthree"));
    a->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    a->SetProp(PR_ONIDLE, TPropValue::ofStr("idle.zsb"));
    a->SetItemState(TZunoObject::isEnabled, 1, 0);
    a->SetItemState(TZunoObject::isCheck, 2, 1);
    for (int i = 0; i < 10; ++i)
        Reg.Update(17);
    TKsMemoryStream s;
    Reg.SaveToStream(s);
    s.SetPosition(0);
    TZunoBaseList again;
    again.LoadFromStream(s, 138);
    EXPECT_EQ(s.Remaining(), 0);
    auto* b = dynamic_cast<TZunoPrevMenu*>(again.FindComponent("menu"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ItemCount(), 3);
    EXPECT_EQ(b->ChildCount(), 3);                          // thumbnails made again, not loaded twice
    EXPECT_EQ(b->GetProp(PR_TEXT).Str, "one\r\ntwo\r\nthree");
    for (int id : {PR_SOURCE, PR_ONSELECT, PR_ONMAPIN, PR_ONMAPOUT, PR_ONPLAYEND, PR_ONIDLE})
        EXPECT_EQ(b->propStr(id), a->propStr(id)) << id;
    for (int id : {PR_WIDTH, PR_HEIGHT, PR_LEFT, PR_TOP})
        EXPECT_EQ(b->propInt(id), a->propInt(id)) << id;
    EXPECT_TRUE(b->propBool(PR_AUTOSCRAP));
    EXPECT_EQ(b->GetItemState(TZunoObject::isEnabled, 1), 0);
    EXPECT_EQ(b->GetItemState(TZunoObject::isCheck, 2), 1);
    EXPECT_EQ(b->FilmFrame(), a->FilmFrame());
    again.Reset();
}

} // namespace
} // namespace zuno::test
