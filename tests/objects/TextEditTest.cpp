// The one-line edit and the memo: typing, the caret and the selection by
// keys and mouse, double-byte characters, the input method's composition,
// the clipboard, line breaks, read-only texts, scrolling, drawing and the
// save record. Glyphs come from a fake font of solid boxes 4 pixels apart.
#include <gtest/gtest.h>

#include <functional>

#include "ImageTestKit.h"
#include "core/Cp932.h"
#include "objects/TZunoEdit.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"

namespace zuno {
namespace {

using namespace test;

constexpr int kShift = 16, kControl = 17, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kHome = 36, kEnd = 35,
              kBack = 8, kDelete = 46, kReturn = 13;

class TTestClipboard : public TZunoClipboard {
public:
    std::string GetText() override { return Text; }
    void SetText(const std::string& text) override { Text = text; }
    std::string Text;
};

class TextEditTest : public ImageSceneTest {
protected:
    TextEditTest() {
        Reg.SetSize(120, 60);
        Font.Metrics = {8, 2, 0, 1, -1, 1, 4};
        // Every character the tests type is a 3 x 8 box advancing 4.
        for (uint16_t c : {'a', 'b', 'c', 'd', 'x', 'y'})
            Font.Glyphs[c] = solidGlyph(3, 8, 0, 8, 4);
        const std::string jp = sjis("日本");
        Font.Glyphs[uint16_t(uint8_t(jp[0]) << 8 | uint8_t(jp[1]))] = solidGlyph(7, 8, 0, 8, 8);
        Font.Glyphs[uint16_t(uint8_t(jp[2]) << 8 | uint8_t(jp[3]))] = solidGlyph(7, 8, 0, 8, 8);
        TFontPixelManager::SetInstance(std::make_unique<TFontPixelManager>(std::make_unique<TFakeFontService>(Font)));
        TZunoClipboard::SetInstance(&Clipboard);
    }
    ~TextEditTest() override {
        Reg.Reset();
        TZunoClipboard::SetInstance(nullptr);
        TFontPixelManager::SetInstance(nullptr);
    }

public:
    template <class T = TZunoEdit>
    T* addEditor(const std::string& text, int32_t width = 60, int32_t height = 20) {
        T* e = addControl<T>(Reg, Reg.GetScreen(0), 4, 4, width, height);
        setProp(*e, PR_TEXT, *strValue(text));
        Reg.SetFocus(e);
        return e;
    }
    void key(int code) {
        Reg.KeyDown(code);
        Reg.InputStep(16);
        Reg.KeyUp(code);
        Reg.InputStep(16);
    }
    void chord(int modifier, int code) {
        Reg.KeyDown(modifier);
        key(code);
        Reg.KeyUp(modifier);
        Reg.InputStep(16);
    }
    void click(int32_t x, int32_t y) {
        Reg.MouseMove(x, y);
        Reg.MouseDown(true, false);
        Reg.InputStep(16);
        Reg.MouseUp();
        Reg.InputStep(16);
    }

    TFakeFontState Font;
    TTestClipboard Clipboard;
};

TEST_F(TextEditTest, KeysEditTheText) {
    struct Case {
        const char* name;
        const char* start;                      // the caret starts at the end
        std::function<void(TextEditTest&, TZunoEdit&)> act;
        std::string text;
        size_t selStart, selEnd;
    } cases[] = {
        {"type", "ab", [](auto&, auto& e) { e.TextInput("cd"); }, "abcd", 4, 4},
        {"left then type", "ab", [](auto& t, auto& e) { t.key(kLeft); e.TextInput("x"); }, "axb", 2, 2},
        {"back", "abc", [](auto& t, auto&) { t.key(kBack); }, "ab", 2, 2},
        {"back at the start", "ab", [](auto& t, auto&) { t.key(kHome); t.key(kBack); }, "ab", 0, 0},
        {"delete", "abc", [](auto& t, auto&) { t.key(kHome); t.key(kDelete); }, "bc", 0, 0},
        {"shift selects", "abcd", [](auto& t, auto&) { t.chord(kShift, kLeft); t.chord(kShift, kLeft); }, "abcd", 2, 4},
        {"typing replaces the selection", "abcd",
         [](auto& t, auto& e) { t.chord(kShift, kHome); e.TextInput("y"); }, "y", 1, 1},
        {"left collapses a selection", "abcd",
         [](auto& t, auto&) { t.chord(kShift, kLeft); t.chord(kShift, kLeft); t.key(kLeft); }, "abcd", 2, 2},
        {"select all", "abcd", [](auto& t, auto&) { t.chord(kControl, 'A'); }, "abcd", 0, 4},
        {"control bytes are not typed", "a", [](auto&, auto& e) { e.TextInput("b\tc\x01"); }, "abc", 3, 3},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        TZunoEdit* e = addEditor(c.start);
        c.act(*this, *e);
        EXPECT_EQ(e->Text(), c.text);
        EXPECT_EQ(e->SelStart(), c.selStart);
        EXPECT_EQ(e->SelEnd(), c.selEnd);
    }
}

TEST_F(TextEditTest, DoubleByteCharactersMoveAndDeleteWhole) {
    TZunoEdit* e = addEditor(sjis("a日本"));
    key(kLeft);
    EXPECT_EQ(e->Caret(), 3u);
    key(kBack);
    EXPECT_EQ(e->Text(), sjis("a本"));
    EXPECT_EQ(e->Caret(), 1u);
    e->SetSelection(2, 2);                      // inside a character: snapped to its start
    EXPECT_EQ(e->Caret(), 1u);
    key(kRight);
    EXPECT_EQ(e->Caret(), 3u);
    EXPECT_EQ(e->CaretPoint(3).X, TZunoCustomEdit::kMargin + 4 + 8);
}

TEST_F(TextEditTest, CompositionShowsUntilCommitted) {
    TZunoEdit* e = addEditor("ab");
    key(kLeft);
    Reg.TextComposition(sjis("日"), 1);
    EXPECT_EQ(e->Text(), "ab");
    EXPECT_EQ(e->Composition(), sjis("日"));
    // Shown at the caret: b moves behind it.
    EXPECT_EQ(e->CaretPoint(2).X, TZunoCustomEdit::kMargin + 4 + 8 + 4);
    key(kBack);                                 // the input method's own key
    EXPECT_EQ(e->Text(), "ab");
    Reg.TextInput(sjis("日本"));
    EXPECT_EQ(e->Text(), sjis("a日本b"));
    EXPECT_TRUE(e->Composition().empty());
    EXPECT_EQ(e->Caret(), 5u);
}

TEST_F(TextEditTest, ClipboardAndReadOnly) {
    TZunoEdit* e = addEditor("abcd");
    chord(kShift, kLeft);
    chord(kShift, kLeft);
    chord(kControl, 'C');
    EXPECT_EQ(Clipboard.Text, "cd");
    chord(kControl, 'X');
    EXPECT_EQ(e->Text(), "ab");
    key(kHome);
    chord(kControl, 'V');
    EXPECT_EQ(e->Text(), "cdab");
    // A pasted line break is dropped by the one-line edit.
    Clipboard.Text = "x\r\ny";
    chord(kControl, 'V');
    EXPECT_EQ(e->Text(), "cdxyab");
    // Read-only: copying still works, changing does not.
    setProp(*e, PR_READONLY, *boolValue(true));
    chord(kControl, 'A');
    chord(kControl, 'C');
    EXPECT_EQ(Clipboard.Text, "cdxyab");
    for (auto change : std::initializer_list<std::function<void()>>{
             [&] { key(kBack); }, [&] { key(kDelete); }, [&] { chord(kControl, 'X'); },
             [&] { chord(kControl, 'V'); }, [&] { Reg.TextInput("z"); }})
        change();
    EXPECT_EQ(e->Text(), "cdxyab");
}

TEST_F(TextEditTest, EnterNotifiesOrBreaksTheLine) {
    TZunoEdit* e = addEditor("ab");
    setProp(*e, PR_ONNOTIFY, *strValue("enter.zsb"));
    key(kReturn);
    EXPECT_EQ(e->Text(), "ab");
    ASSERT_EQ(Reg.Events().Count(), 1);
    EXPECT_EQ(Reg.Events().Items(0).Handler, "enter.zsb");
    Reg.Events().Clear();

    TZunoMemo* m = addEditor<TZunoMemo>("ab");
    setProp(*m, PR_ONNOTIFY, *strValue("done.zsb"));
    key(kLeft);
    key(kReturn);
    EXPECT_EQ(m->Text(), "a\r\nb");
    EXPECT_EQ(m->Caret(), 3u);
    key(kBack);                                 // one step removes the whole break
    EXPECT_EQ(m->Text(), "ab");
    EXPECT_EQ(Reg.Events().Count(), 0);
    chord(kControl, kReturn);
    EXPECT_EQ(Reg.Events().Count(), 1);
}

TEST_F(TextEditTest, MemoLinesUpDownAndScrolling) {
    // Lines of 8 pixels; 20 - 2 x 3 margin leaves room for one line.
    TZunoMemo* m = addEditor<TZunoMemo>("abcd\nab\rabc");
    EXPECT_EQ(m->Text(), "abcd\r\nab\r\nabc");
    EXPECT_EQ(m->ScrollPos(), 2) << "the caret's line is in view";
    key(kUp);
    EXPECT_EQ(m->Caret(), 8u) << "the end of the shorter line above";
    EXPECT_EQ(m->ScrollPos(), 1);
    key(kUp);
    EXPECT_EQ(m->Caret(), 2u) << "straight above";
    key(kDown);
    key(kDown);
    EXPECT_EQ(m->Caret(), 12u);
    Reg.MouseMove(10, 10);
    Reg.Wheel(1);
    Reg.InputStep(16);
    EXPECT_EQ(m->ScrollPos(), 1);
}

TEST_F(TextEditTest, MouseSetsTheCaretAndDragsASelection) {
    TZunoEdit* e = addEditor("abcd");
    // The text starts at 4 + 3; "b" spans 11 .. 15 on the screen.
    click(4 + 3 + 5, 10);
    EXPECT_EQ(e->Caret(), 1u);
    click(4 + 3 + 7, 10);
    EXPECT_EQ(e->Caret(), 2u) << "past half a character the caret goes after it";
    Reg.MouseMove(4 + 3 + 1, 10);
    Reg.MouseDown(true, false);
    Reg.InputStep(16);
    Reg.MouseMove(4 + 3 + 13, 10);
    Reg.InputStep(16);
    Reg.MouseUp();
    Reg.InputStep(16);
    EXPECT_EQ(e->SelectedText(), "abc");
}

TEST_F(TextEditTest, LongLineScrollsToTheCaret) {
    TZunoEdit* e = addEditor(std::string(40, 'a'), 30);      // 160 pixels in 24
    EXPECT_EQ(e->ScrollPos(), 160 - 23);
    key(kHome);
    EXPECT_EQ(e->ScrollPos(), 0);
    EXPECT_EQ(e->CaretPoint(0).X, TZunoCustomEdit::kMargin);
}

TEST_F(TextEditTest, DrawsFieldTextSelectionAndCaret) {
    TZunoEdit* e = addEditor("ab", 30, 16);
    setProp(*e, PR_FONTCOLOR, *intValue(0x0000FF));
    compose();
    const uint32_t field = 0x00FFFFFF, frame = 0x00808080, red = 0x00FF0000;
    EXPECT_EQ(pixel(4, 4), frame);
    EXPECT_EQ(pixel(6, 6), field);
    // Full coverage through the alpha picture, within the blend's rounding.
    EXPECT_NEAR(int(pixel(4 + 3 + 1, 4 + 3 + 1) >> 16), 0xFF, 2) << "a";
    EXPECT_EQ(pixel(4 + 3 + 1, 4 + 3 + 1) & 0xFFFF, 0u) << "a";
    EXPECT_EQ(pixel(4 + 3 + 3, 4 + 3 + 1), field) << "the gap after a";
    EXPECT_EQ(pixel(4 + 3 + 8, 4 + 3 + 1), red) << "the caret after b";
    // The caret blinks off after half a second; the selection shows blue.
    Reg.Update(500);
    chord(kShift, kLeft);
    Reg.Update(500);
    compose();
    EXPECT_EQ(pixel(4 + 3 + 7, 4 + 3 + 1), 0x003399FFu) << "selection band";
    EXPECT_EQ(pixel(4 + 3 + 7, 4 + 3 + 7), 0x003399FFu);
}

TEST_F(TextEditTest, TextIsBounded) {
    TZunoEdit* e = addEditor("");
    Clipboard.Text = std::string(100000, 'a');
    chord(kControl, 'V');
    EXPECT_EQ(e->Text().size(), 65536u);
    Reg.TextInput("b");
    EXPECT_EQ(e->Text().size(), 65536u);
}

TEST_F(TextEditTest, SaveRecordRoundTrip) {
    TZunoMemo* m = addEditor<TZunoMemo>(sjis("日本\r\nab"));
    setProp(*m, PR_HALIGN, *intValue(HA_CENTER));
    setProp(*m, PR_READONLY, *boolValue(true));
    setProp(*m, PR_FONTHEIGHT, *intValue(10));
    setProp(*m, PR_ONNOTIFY, *strValue("n.zsb"));
    TZunoEdit* e = addEditor("xy");
    for (TZunoControl* c : {static_cast<TZunoControl*>(m), static_cast<TZunoControl*>(e)}) {
        TKsMemoryStream s;
        c->SaveToStream(s);
        s.SetPosition(0);
        TZunoObject* back = Reg.CreateByKind(c->GetCompoType());
        back->LoadFromStream(s, 138);
        EXPECT_EQ(s.GetPosition(), s.GetSize());
        for (int id : {PR_TEXT, PR_FONTNAME, PR_ONNOTIFY})
            EXPECT_EQ(getText(*back, id), getText(*c, id));
        for (int id : {PR_HALIGN, PR_READONLY, PR_FONTHEIGHT, PR_FONTCOLOR, PR_HANDLEKEY})
            EXPECT_EQ(getInt(*back, id), getInt(*c, id)) << id;
    }
}

} // namespace
} // namespace zuno
