// Menus: items from the text, layout, opening and closing with their events,
// hover and choice by mouse, keys and wheel, right-click scrap, drawing of
// the background and the hover highlight, checks, the save record, and a
// menu of very many lines.
#include <gtest/gtest.h>

#include <chrono>

#include "ImageTestKit.h"
#include "core/TStream.h"
#include "objects/TZunoCustomListBox.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"

namespace zuno {
namespace {

using namespace test;

class MenuTest : public ImageSceneTest {
protected:
    MenuTest() {
        Font.Faces = {"Face", fallbackFaceName()};
        Font.Metrics = TOutlineMetrics{8, 2, 0, 1, -1, 1, 4};       // rows of 10 pixels
        Font.Glyphs['a'] = solidGlyph(4, 6, 1, 8, 6);                // 6 wide
        Font.Glyphs['b'] = solidGlyph(4, 6, 1, 8, 6);
        TFontPixelManager::SetInstance(std::make_unique<TFontPixelManager>(std::make_unique<TFakeFontService>(Font)));
        Reg.OnChoice = [this](const std::string& text, int32_t index) {
            SelStr = text;
            SelIndex = index;
        };
    }
    ~MenuTest() override {
        Reg.Reset();
        TFontPixelManager::SetInstance(nullptr);
    }

    // A menu of `text` at (2, 2), one row per line unless rows are given.
    TZunoMenu* addMenu(const std::string& text, int32_t rows = 0, const std::string& name = "menu") {
        TZunoMenu* m = Reg.Create<TZunoMenu>();
        m->SetName(name);
        m->SetParent(Reg.GetScreen(0));
        m->SetLeft(2);
        m->SetTop(2);
        m->SetProp(PR_FONTNAME, TPropValue::ofStr("Face"));
        m->SetProp(PR_FONTHEIGHT, TPropValue::ofInt(10));
        m->SetProp(PR_TEXT, TPropValue::ofStr(text));
        m->SetProp(PR_ROWCOUNT, TPropValue::ofInt(rows > 0 ? rows : 100));
        for (int id : {PR_ONSELECT, PR_ONMAPIN, PR_ONMAPOUT, PR_ONOPENING, PR_ONOPENED, PR_ONCLOSING, PR_ONCLOSED})
            m->SetProp(id, TPropValue::ofStr("h.zsb"));
        return m;
    }
    TZunoMenu* openMenu(const std::string& text, int32_t rows = 0) {
        TZunoMenu* m = addMenu(text, rows);
        m->SetMenuState(TZunoMenu::msOpen);
        Reg.Events().Clear();
        return m;
    }
    void frame(int32_t ms = 16) {
        Reg.InputStep(ms);
        Reg.Update(ms);
    }
    // Queued events as "id args..." and the queue emptied.
    std::vector<std::string> take() {
        std::vector<std::string> out;
        for (int i = 0; i < Reg.Events().Count(); ++i) {
            std::string e = std::to_string(Reg.Events().Items(i).Id);
            for (const std::string& a : Reg.Events().Items(i).Arguments)
                e += " " + a;
            out.push_back(e);
        }
        Reg.Events().Clear();
        return out;
    }

    TFakeFontState Font;
    std::string SelStr = "unset";
    int32_t SelIndex = -99;
};

using TEvents = std::vector<std::string>;

TEST_F(MenuTest, ItemsComeFromTheTrimmedText) {
    struct Case {
        const char* text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"ab\r\nba\nbb", {"ab", "ba", "bb"}},
        {"\x01\x02" "ab\r\n\r\n", {"ab"}},                 // control bytes at both ends go
        {"a\r\n\r\nb", {"a", "", "b"}},                     // an empty line inside stays
        {"\x82\xa0\x01", {"\x82\xa0"}},                     // the trail byte of a double-byte character stays
        {"", {}},
    };
    TZunoMenu* m = addMenu("");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m->SetProp(PR_TEXT, TPropValue::ofStr(c.text));
        std::vector<std::string> items;
        for (int32_t i = 0; i < m->ItemCount(); ++i)
            items.push_back(m->Item(i));
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(m->propInt(PR_COUNT), int32_t(c.items.size()));
    }
}

TEST_F(MenuTest, LayoutSizesTheMenuByItsWidestLabelAndRows) {
    struct Case {
        int32_t rows, lineSpace, marginX, marginY, border;
        int32_t width, height;
    };
    const Case cases[] = {
        {3, 0, 0, 0, 0, 12, 30},
        {3, 4, 2, 3, 1, 12 + 4 + 2, 30 + 8 + 6 + 2},
        {2, 4, 0, 0, 0, 12, 24},            // fewer rows than items (no scroll picture: no column)
    };
    for (const Case& c : cases) {
        TZunoMenu* m = addMenu("ab\r\na\r\nbb", c.rows);
        m->SetProp(PR_LINESPACE, TPropValue::ofInt(c.lineSpace));
        m->SetProp(PR_MARGINX, TPropValue::ofInt(c.marginX));
        m->SetProp(PR_MARGINY, TPropValue::ofInt(c.marginY));
        m->SetProp(PR_BORDERWIDTH, TPropValue::ofInt(c.border));
        m->Relayout();
        EXPECT_EQ(m->RowHeight(), 10);
        EXPECT_EQ(m->Width(), c.width);
        EXPECT_EQ(m->Height(), c.height);
        Reg.DeleteObject(m);
    }
}

TEST_F(MenuTest, OpensWithAnimationAndPostsItsEvents) {
    struct Case {
        int32_t delay;
        std::vector<int32_t> heights;       // after each frame of 16 ms
    };
    const Case cases[] = {
        {0, {0, 0, 20}},                    // phases 100, 101, then 102 finishes at once
        {32, {0, 0, 10, 20}},                // the clock starts in the second frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        TZunoMenu* m = addMenu("ab\r\nba");
        m->SetProp(PR_DELAY, TPropValue::ofInt(c.delay));
        EXPECT_EQ(m->Height(), 0);
        m->SetPlayState(TZunoMenu::msOpening);
        std::vector<int32_t> heights;
        std::vector<std::string> events;
        for (size_t i = 0; i < c.heights.size(); ++i) {
            Reg.Update(16);
            heights.push_back(m->Height());
            for (const std::string& e : take())
                events.push_back(e);
            if (i + 1 < c.heights.size()) {
                EXPECT_EQ(m->propInt(PR_ORIGHEIGHT), 20) << i;
            }
        }
        EXPECT_EQ(heights, c.heights);
        EXPECT_EQ(events, (TEvents{"74", "75"}));
        EXPECT_EQ(m->MenuState(), TZunoMenu::msOpening);
        EXPECT_EQ(m->Phase(), 0);
        Reg.DeleteObject(m);
    }
}

TEST_F(MenuTest, HoverAndChoiceByMouse) {
    TZunoMenu* m = openMenu("ab\r\nba\r\nbb");
    Reg.MouseMove(5, 14);                           // second row (rows start at y 2)
    frame();
    EXPECT_EQ(m->Hover(), 1);
    EXPECT_EQ(take(), (TEvents{"104 ba 1"}));
    Reg.MouseDown(true, false);
    frame();
    Reg.MouseUp();
    frame();
    EXPECT_EQ(SelStr, "ba");
    EXPECT_EQ(SelIndex, 1);
    EXPECT_EQ(m->propInt(PR_INDEX), 1);
    EXPECT_EQ(take(), (TEvents{"72 ba 1"}));
    Reg.MouseMove(30, 28);                          // off the menu
    frame();
    EXPECT_EQ(m->Hover(), -1);
    EXPECT_EQ(take(), (TEvents{"105 ba 1"}));
}

TEST_F(MenuTest, NoSecondSelectEventWhileOneWaits) {
    TZunoMenu* m = openMenu("ab\r\nba");
    m->SetHover(0);
    m->Select();
    m->SetHover(1);
    m->Select();
    EXPECT_EQ(SelIndex, 1);                         // the variables follow every choice
    // Neither the second hover nor the second choice is queued while the first waits.
    EXPECT_EQ(take(), (TEvents{"104 ab 0", "72 ab 0"}));
}

TEST_F(MenuTest, KeysMoveTheHoverAndScrollItIntoView) {
    TZunoMenu* m = openMenu("a\r\nb\r\na\r\nb\r\na", 2);
    m->SetHandleKey(true);
    Reg.SetFocus(m);
    struct Step {
        int key;
        int32_t hover, top;
    };
    const Step steps[] = {
        {38, 4, 3},         // Up from no hover: the last item, scrolled into view
        {38, 3, 3}, {38, 2, 2}, {33, 0, 0},        // Page Up stops at 0
        {40, 1, 0}, {34, 3, 2}, {34, 4, 3}, {40, 4, 3},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.key);
        Reg.KeyDown(s.key);
        Reg.InputStep(16);
        Reg.KeyUp(s.key);
        Reg.InputStep(16);
        EXPECT_EQ(m->Hover(), s.hover);
        EXPECT_EQ(m->TopIndex(), s.top);
    }
    take();
    Reg.KeyDown(13);
    Reg.InputStep(16);
    EXPECT_EQ(SelIndex, 4);
    EXPECT_EQ(take(), (TEvents{"72 a 4"}));
}

TEST_F(MenuTest, WheelScrollsOneRow) {
    TZunoMenu* m = openMenu("a\r\nb\r\na\r\nb", 2);
    Reg.MouseMove(4, 4);
    frame();
    for (int32_t expected : {1, 2, 2}) {
        Reg.Wheel(-1);
        frame();
        EXPECT_EQ(m->TopIndex(), expected);
    }
    Reg.Wheel(1);
    frame();
    EXPECT_EQ(m->TopIndex(), 1);
    EXPECT_EQ(m->Hover(), 1);                       // the row under the mouse
}

TEST_F(MenuTest, ChoiceWithAutoScrapPostsClosingHandlersAndDeletesAfterThem) {
    TZunoMenu* m = openMenu("ab\r\nba");
    m->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    m->SetHover(0);
    take();
    m->Select();
    EXPECT_TRUE(m->EventsSuppressed());
    // While a closing handler waits the menu stays.
    for (int i = 0; i < 5; ++i)
        Reg.Update(16);
    ASSERT_NE(Reg.FindComponent("menu"), nullptr);
    EXPECT_EQ(take(), (TEvents{"72 ab 0", "76", "77"}));
    Reg.Update(16);
    EXPECT_EQ(Reg.FindComponent("menu"), nullptr);
}

TEST_F(MenuTest, ClosingWithAnimationWaitsForItsHandlers) {
    TZunoMenu* m = openMenu("ab\r\nba");
    m->SetProp(PR_DELAY, TPropValue::ofInt(32));
    m->SetMenuState(TZunoMenu::msClosing);
    std::vector<int32_t> heights;
    for (int i = 0; i < 4; ++i) {
        Reg.Update(16);
        heights.push_back(m->Height());
    }
    EXPECT_EQ(heights, (std::vector<int32_t>{20, 10, 0, 0}));
    EXPECT_EQ(take(), (TEvents{"76", "77"}));
    Reg.Update(16);
    EXPECT_EQ(Reg.FindComponent("menu"), nullptr);
}

TEST_F(MenuTest, RightClickScrapClearsTheChoiceAndCloses) {
    TZunoMenu* m = openMenu("ab\r\nba");
    m->SetProp(PR_RCLICKSCRAP, TPropValue::ofBool(true));
    Reg.MouseMove(4, 4);
    Reg.MouseDown(false, true);
    frame();
    EXPECT_TRUE(m->EventsSuppressed());
    EXPECT_EQ(m->Phase(), 200);                     // phase 10 turned into the animated close
    Reg.MouseUp();
    for (int i = 0; i < 4; ++i)
        frame();
    EXPECT_EQ(take(), (TEvents{"76", "77"}));
    frame();
    EXPECT_EQ(Reg.FindComponent("menu"), nullptr);
}

TEST_F(MenuTest, DrawsBackgroundHoverHighlightAndLabels) {
    TZunoMenu* m = openMenu("ab\r\nba");
    m->SetColor(0x0000FF);                          // red background
    m->SetProp(PR_HOVERCOLOR, TPropValue::ofInt(0x00FF00));
    m->SetProp(PR_FONTCOLOR, TPropValue::ofInt(0xFFFFFF));
    m->SetHover(1);
    compose();
    EXPECT_EQ(pixel(2 + 11, 2 + 1), 0x00FF0000u);   // background right of the first label
    EXPECT_EQ(pixel(2 + 8, 12 + 9), 0x0000FF00u);   // the hover row's highlight (x 3 .. 12), below the ink
    EXPECT_EQ(pixel(2 + 11, 12 + 9), 0x00FF0000u);  // past its right end
    EXPECT_GE(pixel(2 + 2, 2 + 4) & 0xF0F0F0, 0xF0F0F0u);     // ink of the first label's first glyph
    EXPECT_EQ(pixel(2 + 20, 2 + 1), kBackground);   // outside the menu
}

TEST_F(MenuTest, ChecksReadZeroOutsideTheItemsAndResetWithTheText) {
    TZunoMenu* m = openMenu("ab\r\nba");
    m->SetItemState(TZunoObject::isCheck, 1, 1);
    m->SetItemState(TZunoObject::isCheck, 5, 1);
    m->SetItemState(TZunoObject::isCheck, -1, 1);
    EXPECT_EQ(m->GetItemState(TZunoObject::isCheck, 1), 1);
    EXPECT_EQ(m->GetItemState(TZunoObject::isCheck, 5), 0);
    EXPECT_EQ(m->GetItemState(TZunoObject::isCheck, -1), 0);
    m->SetProp(PR_TEXT, TPropValue::ofStr("ab\r\nba"));
    EXPECT_EQ(m->GetItemState(TZunoObject::isCheck, 1), 0);
}

TEST_F(MenuTest, SaveRecordRoundTrip) {
    TZunoMenu* a = openMenu("ab\r\nba\r\nbb", 2);
    a->SetProp(PR_DELAY, TPropValue::ofInt(250));
    a->SetProp(PR_HOVERCOLOR, TPropValue::ofInt(0x112233));
    a->SetProp(PR_LINESPACE, TPropValue::ofInt(3));
    a->SetProp(PR_TOPINDEX, TPropValue::ofInt(1));
    a->SetProp(PR_BORDERHALIGNC, TPropValue::ofInt(2));
    a->SetItemState(TZunoObject::isCheck, 2, 1);
    a->Relayout();
    TKsMemoryStream s;
    a->SaveToStream(s);
    s.SetPosition(0);
    TZunoMenu* b = Reg.Create<TZunoMenu>();
    b->LoadFromStream(s, 140);
    EXPECT_EQ(s.Remaining(), 0);
    for (int id : {PR_TEXT, PR_ONSELECT, PR_ONCLOSED, PR_FONTNAME})
        EXPECT_EQ(b->propStr(id), a->propStr(id)) << id;
    for (int id : {PR_DELAY, PR_HOVERCOLOR, PR_LINESPACE, PR_TOPINDEX, PR_ROWCOUNT, PR_BORDERHALIGNC, PR_WIDTH,
                   PR_HEIGHT})
        EXPECT_EQ(b->propInt(id), a->propInt(id)) << id;
    EXPECT_EQ(b->GetItemState(TZunoObject::isCheck, 2), 1);
    EXPECT_EQ(b->MenuState(), TZunoMenu::msOpen);
}

TEST_F(MenuTest, HundredThousandLinesStayBounded) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += i % 2 ? "ab\r\n" : "ba\r\n";
    TZunoMenu* m = addMenu(text, 5);
    m->SetMenuState(TZunoMenu::msOpen);
    EXPECT_EQ(m->ItemCount(), 100000);
    EXPECT_EQ(m->Height(), 50);
    m->SetProp(PR_TOPINDEX, TPropValue::ofInt(99990));
    EXPECT_EQ(m->TopIndex(), 99990);
    m->SetProp(PR_TOPINDEX, TPropValue::ofInt(200000));
    EXPECT_EQ(m->TopIndex(), 99995);
    compose();
    // Only the shown rows have labels.
    EXPECT_LE(m->Labels().Count(), 5);
    EXPECT_LE(m->HoverLabels().Count(), 5);
}

} // namespace
} // namespace zuno
