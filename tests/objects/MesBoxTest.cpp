// The message box over a registry: paging rules, play state, the events it
// posts, links and link capture, pauses, its save record, and text that
// would make a careless layout loop or allocate without bound.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"
#include "core/TStream.h"
#include "objects/TZunoMes.h"

namespace zuno {
namespace {

using test::addControl;

class MesBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg.SetSize(320, 240);
        box = addControl<TZunoMes>(reg, reg.ActiveBase(), 10, 10, 200, 40, "m");
        box->SetProp(PR_FONTHEIGHT, TPropValue::ofInt(16));
    }
    // The ids of the box's events queued so far, then the queue emptied.
    std::vector<int> takeEvents() {
        std::vector<int> ids;
        for (int i = 0; i < reg.Events().Count(); ++i)
            ids.push_back(reg.Events().Items(i).Id);
        reg.Events().Clear();
        return ids;
    }
    void frames(int n, int32_t ms = 16) {
        for (int i = 0; i < n; ++i)
            reg.Update(ms);
    }
    TZunoBaseList reg;
    TZunoMes* box = nullptr;
};

TEST_F(MesBoxTest, PageIndexChangesOnlyToAnotherExistingPage) {
    box->SetProp(PR_TEXT, TPropValue::ofStr("A<CLEAR>B<CLEAR>C"));
    ASSERT_EQ(box->PageCount(), 3);
    EXPECT_EQ(box->PageIndex(), 0);
    for (int32_t bad : {0, -1, 3, 100}) {
        box->SetProp(PR_INDEX, TPropValue::ofInt(bad));
        EXPECT_EQ(box->PageIndex(), 0) << bad;
    }
    box->SetProp(PR_COUNT, TPropValue::ofInt(9));
    EXPECT_EQ(box->propInt(PR_COUNT), 3);
    box->SetProp(PR_INDEX, TPropValue::ofInt(2));
    EXPECT_EQ(box->propInt(PR_INDEX), 2);
}

TEST_F(MesBoxTest, OnePageTextPlaysWhileRevealingOrFadingAndEndsOnce) {
    box->SetProp(PR_ONPLAYEND, TPropValue::ofStr("e.zsb"));
    box->SetProp(PR_ONPLAYING, TPropValue::ofStr("p.zsb"));
    box->SetProp(PR_DELAY, TPropValue::ofInt(100));            // each character fades in over 100 ms
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=0>AB</WAIT>"));
    EXPECT_TRUE(box->IsPlaying());
    frames(1);                                                   // both shown, fading
    EXPECT_EQ(takeEvents(), std::vector<int>{PR_ONPLAYING});
    EXPECT_TRUE(box->propBool(PR_PLAYING));
    frames(6);                                                   // 96 ms: still fading
    EXPECT_TRUE(box->IsPlaying());
    frames(2);
    EXPECT_FALSE(box->IsPlaying());
    frames(10);
    EXPECT_EQ(takeEvents(), std::vector<int>{PR_ONPLAYEND});     // exactly once
}

TEST_F(MesBoxTest, PlayStartDelaysTheRevealOneFrame) {
    box->SetProp(PR_ONPLAYSTART, TPropValue::ofStr("s.zsb"));
    box->SetProp(PR_ONPLAYING, TPropValue::ofStr("p.zsb"));
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=0>AB</WAIT>"));
    ASSERT_EQ(reg.Events().Count(), 1);
    EXPECT_EQ(reg.Events().Items(0).Arguments, std::vector<std::string>{"0"});
    frames(1);
    EXPECT_EQ(takeEvents(), std::vector<int>{PR_ONPLAYSTART});  // skipped, and nothing while 101 waits
    frames(1);
    EXPECT_EQ(takeEvents(), std::vector<int>{PR_ONPLAYING});
}

TEST_F(MesBoxTest, TextPausedShowsNothingNewButFadesFinish) {
    box->SetProp(PR_DELAY, TPropValue::ofInt(64));
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=32>AB</WAIT>"));
    frames(1);                                                   // A appears
    box->SetProp(PR_TEXTPAUSED, TPropValue::ofBool(true));
    frames(10);
    const TWdPage* page = box->CurrentPage();
    const TWdGlyph* a = page->Rows[0]->Items[0];
    const TWdGlyph* b = page->Rows[0]->Items[1];
    EXPECT_EQ(a->Alpha, 255);
    EXPECT_EQ(b->Alpha, 0);
    EXPECT_TRUE(box->IsPlaying());
    box->SetProp(PR_TEXTPAUSED, TPropValue::ofBool(false));
    frames(10);
    EXPECT_EQ(b->Alpha, 255);
}

TEST_F(MesBoxTest, EventMarksReachTheNotifyHandlerLineByLine) {
    box->SetProp(PR_ONNOTIFY, TPropValue::ofStr("n.zsb"));
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=0>A<EVENT VALUE=one><EVENT VALUE=two>B</WAIT>"));
    frames(2);
    ASSERT_EQ(reg.Events().Count(), 1);
    EXPECT_EQ(reg.Events().Items(0).Id, PR_ONNOTIFY);
    EXPECT_EQ(reg.Events().Items(0).Arguments, (std::vector<std::string>{"one", "two"}));
}

TEST_F(MesBoxTest, LinkPressPostsOnlyTheLinkAndPlainTextPressTheButtonEvent) {
    box->SetProp(PR_ONLINK, TPropValue::ofStr("l.zsb"));
    box->SetProp(PR_ONLBTNDOWN, TPropValue::ofStr("d.zsb"));
    // Cells are 16 wide: "ab" at x 10..42, the link "cd" at 42..74.
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=0>ab<A HREF=\"to\\nthere\">cd</A></WAIT>"));
    frames(2);
    reg.Events().Clear();
    struct TPress { int32_t X; std::vector<int> Ids; };
    for (const TPress& p : {TPress{60, {PR_ONLINK}}, TPress{20, {PR_ONLBTNDOWN}}}) {
        reg.MouseMove(p.X, 15);
        reg.InputStep(16);
        reg.MouseDown(true, false);
        reg.InputStep(16);
        std::vector<int> ids;
        for (int i = 0; i < reg.Events().Count(); ++i)
            if (reg.Events().Items(i).Id != PR_ONMOUSEMOVE)
                ids.push_back(reg.Events().Items(i).Id);
        EXPECT_EQ(ids, p.Ids) << p.X;
        if (p.X == 60) {
            EXPECT_EQ(box->Word().Hovered().size(), 2u);
            const TTimerData& e = reg.Events().Items(reg.Events().Count() - 1);
            EXPECT_EQ(e.Arguments, (std::vector<std::string>{"cd", "to", "there"}));
        }
        reg.MouseUp();
        reg.InputStep(16);
        reg.Events().Clear();
    }
}

TEST_F(MesBoxTest, CaptureLinkLetsTheMousePassExceptOverLinks) {
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=0>ab<A HREF=x>cd</A></WAIT>"));
    frames(2);
    const TIgnoreMouseSet all = imBit(IM_NONE);
    EXPECT_EQ(box->HitTest(20, 15, all), box);
    box->SetProp(PR_CAPTURELINK, TPropValue::ofBool(true));
    EXPECT_EQ(box->HitTest(20, 15, all), nullptr);
    EXPECT_EQ(box->HitTest(150, 15, all), nullptr);
    EXPECT_EQ(box->HitTest(60, 15, all), box);
}

TEST_F(MesBoxTest, SaveRecordRestoresTextPageAndRevealState) {
    box->SetProp(PR_ONPLAYEND, TPropValue::ofStr("e.zsb"));
    box->SetProp(PR_CAPTURELINK, TPropValue::ofBool(true));
    box->SetProp(PR_TEXT, TPropValue::ofStr("<WAIT VALUE=0>A<CLEAR>BC</WAIT>"));
    box->SetProp(PR_INDEX, TPropValue::ofInt(1));
    frames(3);
    TKsMemoryStream s;
    box->SaveToStream(s);
    s.SetPosition(0);
    TZunoMes copy;
    copy.LoadFromStream(s, 135);
    EXPECT_EQ(s.Remaining(), 0);
    copy.RestoreAfterLoad();
    EXPECT_EQ(copy.propStr(PR_TEXT), box->propStr(PR_TEXT));
    EXPECT_EQ(copy.PageCount(), 2);
    EXPECT_EQ(copy.PageIndex(), 1);
    EXPECT_TRUE(copy.propBool(PR_CAPTURELINK));
    EXPECT_EQ(copy.propStr(PR_ONPLAYEND), "e.zsb");
    ASSERT_NE(copy.CurrentPage(), nullptr);
    EXPECT_TRUE(copy.CurrentPage()->Complete());
    EXPECT_FALSE(copy.IsPlaying());
}

TEST_F(MesBoxTest, TextSetByPropertyReplacesABacklogShownBeforeAlsoAfterALoad) {
    box->MesData().Plain.push_back({"gone.zsb", 1, 0, 200, 40});
    box->SetReadMode(2);
    box->SetProp(PR_TEXT, TPropValue::ofStr("AB"));
    EXPECT_EQ(box->ReadMode(), 0);
    EXPECT_TRUE(box->MesData().IsEmpty());
    TKsMemoryStream s;
    box->SaveToStream(s);
    s.SetPosition(0);
    TZunoMes copy;
    copy.LoadFromStream(s, 135);
    copy.RestoreAfterLoad();
    EXPECT_EQ(copy.PageCount(), 1);
    EXPECT_EQ(copy.PageIndex(), 0);
}

TEST_F(MesBoxTest, HostileTextAndSizesEndWithBoundedPages) {
    const std::string megabyte(1 << 20, 'A');
    struct TCase { const char* Name; int32_t Width, Height, Font; std::string Text; };
    const TCase cases[] = {
        {"indent as wide as the box", 32, 40, 16, "AA<INDENT>BBBBBBBB"},
        {"zero-width box", 0, 40, 16, "ABC DEF"},
        {"font size 0", 200, 40, 0, "ABC"},
        {"font size 100000", 200, 40, 100000, "ABC"},
        {"nested tags", 200, 40, 16, std::string(20000, '<') + "B>x"},
        {"megabyte of text", 200, 40, 16, megabyte},
        {"invalid Shift-JIS", 200, 40, 16, "\x81\x81\xFF\x80\x82"},
        {"unclosed tag", 200, 40, 16, "<FONT SIZE=20 abc"},
    };
    for (const TCase& c : cases) {
        box->SetProp(PR_WIDTH, TPropValue::ofInt(c.Width));
        box->SetProp(PR_HEIGHT, TPropValue::ofInt(c.Height));
        box->SetProp(PR_FONTHEIGHT, TPropValue::ofInt(c.Font));
        box->SetProp(PR_TEXT, TPropValue::ofStr(c.Text));
        EXPECT_LE(box->PageCount(), kMaxItems) << c.Name;
        frames(2);
        reg.Draw();
    }
}

} // namespace
} // namespace zuno
