// Buttons: the four state pictures under the mouse, the click and its
// clicked animation (whose end is reported once), groups of radio buttons,
// Enter on a focused button, and the save record.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/TStream.h"
#include "objects/TZunoButton.h"

namespace zuno {
namespace {

using namespace test;

constexpr uint32_t kNormal = 0x000010, kHover = 0x002000, kPressed = 0x300000, kClicked1 = 0x404040,
                   kClicked2 = 0x505050;

class ButtonTest : public ImageSceneTest {
protected:
    ButtonTest() {
        addFile("n.drl", drelBytes({solidFrame(10, 8, kNormal)}));
        addFile("h.drl", drelBytes({solidFrame(10, 8, kHover)}));
        addFile("p.drl", drelBytes({solidFrame(10, 8, kPressed)}));
        addFile("c.drl", drelBytes({solidFrame(10, 8, kClicked1, 30), solidFrame(10, 8, kClicked2, 30)}));
    }

    TZunoButton* addButton(int32_t left, int32_t top, bool clicked = true, TZunoControl* parent = nullptr) {
        TZunoButton* b = Reg.Create<TZunoButton>();
        b->SetParent(parent ? parent : Reg.GetScreen(0));
        b->SetLeft(left);
        b->SetTop(top);
        b->SetSource("n.drl");
        b->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("h.drl"));
        b->SetProp(PR_PRESSEDSOURCE, TPropValue::ofStr("p.drl"));
        if (clicked)
            b->SetProp(PR_CLICKEDSOURCE, TPropValue::ofStr("c.drl"));
        b->SetProp(PR_ONNOTIFY, TPropValue::ofStr("notify.zsb"));
        b->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
        return b;
    }
    void frame(int32_t ms = 16) {
        Reg.InputStep(ms);
        Reg.Update(ms);
    }
    int countEvents(uint8_t id) {
        int n = 0;
        for (int i = 0; i < Reg.Events().Count(); ++i)
            n += Reg.Events().Items(i).Id == id ? 1 : 0;
        return n;
    }
    void click(int32_t x, int32_t y) {
        Reg.MouseMove(x, y);
        Reg.MouseDown(true, false);
        frame();
        Reg.MouseUp();
        frame();
    }
};

TEST_F(ButtonTest, ShowsHoverPressedAndClickedPicturesAndReportsTheEndOnce) {
    TZunoButton* b = addButton(5, 5);
    compose();
    EXPECT_EQ(pixel(6, 6), kNormal);
    Reg.MouseMove(7, 7);
    frame();
    EXPECT_EQ(b->State(), 1);
    compose();
    EXPECT_EQ(pixel(6, 6), kHover);
    Reg.MouseDown(true, false);
    frame();
    EXPECT_EQ(b->State(), 2);
    EXPECT_EQ(b->Press(), 1);
    compose();
    EXPECT_EQ(pixel(6, 6), kPressed);
    Reg.MouseUp();
    Reg.InputStep(16);
    EXPECT_EQ(b->State(), 3);
    EXPECT_EQ(countEvents(PR_ONNOTIFY), 1);
    compose();
    EXPECT_EQ(pixel(6, 6), kClicked1);
    // 60 ms of clicked frames, then many more frames: one end event, and the
    // button is back to its normal picture.
    for (int i = 0; i < 20; ++i)
        Reg.Update(16);
    EXPECT_EQ(countEvents(PR_ONPLAYEND), 1);
    EXPECT_EQ(b->State(), 0);
    compose();
    EXPECT_EQ(pixel(6, 6), kNormal);
}

TEST_F(ButtonTest, StateWithoutPicturesIsNotEntered) {
    TZunoButton* b = Reg.Create<TZunoButton>();
    b->SetParent(Reg.GetScreen(0));
    b->SetSource("n.drl");
    Reg.MouseMove(2, 2);
    frame();
    EXPECT_EQ(b->State(), 0);                   // no hover pictures
    b->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("h.drl"));
    b->SetState(1);
    EXPECT_EQ(b->State(), 1);
    compose();
    EXPECT_EQ(pixel(1, 1), kHover);             // the current state's new pictures show at once
}

TEST_F(ButtonTest, ClickWithoutClickedPicturesAndAutoScrap) {
    struct Case {
        bool autoScrap;
        bool deleted;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(c.autoScrap);
        TZunoButton* b = addButton(5, 5, false);
        b->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(c.autoScrap));
        const std::string name = b->Name();
        Reg.MouseMove(7, 7);
        Reg.MouseDown(true, false);
        frame();
        Reg.MouseUp();
        Reg.InputStep(16);
        EXPECT_EQ(countEvents(PR_ONNOTIFY), 1);
        Reg.Update(16);                          // deleting the button drops its waiting events
        EXPECT_EQ(Reg.FindComponent(name) == nullptr, c.deleted);
        if (!c.deleted) {
            EXPECT_NE(b->State(), 3);
            EXPECT_EQ(b->Press(), 0);
            Reg.DeleteObject(b);
        }
        Reg.Events().Clear();
    }
}

TEST_F(ButtonTest, PressDraggedOffShowsNormalAndReleasingThereDoesNotClick) {
    TZunoButton* b = addButton(5, 5);
    Reg.MouseMove(7, 7);
    Reg.MouseDown(true, false);
    frame();
    Reg.MouseMove(30, 25);
    frame();
    EXPECT_EQ(b->State(), 0);
    Reg.MouseMove(8, 8);
    frame();
    EXPECT_EQ(b->State(), 2);
    Reg.MouseMove(30, 25);
    frame();
    Reg.MouseUp();
    frame();
    EXPECT_EQ(countEvents(PR_ONNOTIFY), 0);
    EXPECT_EQ(b->State(), 0);
}

TEST_F(ButtonTest, GroupsKeepOneSelectedUnlessAllUpIsAllowed) {
    // Three buttons of group 1 side by side, and one of group 2.
    TZunoButton* g1[3];
    for (int i = 0; i < 3; ++i) {
        g1[i] = addButton(i * 12, 0, false);
        g1[i]->SetProp(PR_GROUPINDEX, TPropValue::ofInt(1));
    }
    TZunoButton* other = addButton(0, 20, false);
    other->SetProp(PR_GROUPINDEX, TPropValue::ofInt(2));
    auto selected = [&] {
        std::string s;
        for (TZunoButton* b : g1)
            s += b->Selected() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(selected(), "100");                       // a group without AllowAllUp chooses its first
    EXPECT_TRUE(other->Selected());
    click(13, 2);
    EXPECT_EQ(selected(), "010");
    EXPECT_EQ(g1[0]->State(), 0);
    EXPECT_EQ(g1[1]->State(), 2);
    EXPECT_TRUE(other->Selected());                     // another group is left alone
    click(13, 2);                                       // clicking the selected one keeps it
    EXPECT_EQ(selected(), "010");
    g1[2]->SetProp(PR_ALLOWALLUP, TPropValue::ofBool(true));
    EXPECT_TRUE(g1[0]->AllowAllUp());                   // the flag goes to every member
    click(13, 2);
    EXPECT_EQ(selected(), "000");
    g1[2]->SetProp(PR_SELECTED, TPropValue::ofBool(true));
    EXPECT_EQ(selected(), "001");
    // Selected cannot be set without a group.
    TZunoButton* lone = addButton(30, 20, false);
    lone->SetProp(PR_SELECTED, TPropValue::ofBool(true));
    EXPECT_FALSE(lone->Selected());
}

TEST_F(ButtonTest, EnterOrSpaceClicksTheFocusedButton) {
    for (int key : {13, 32}) {
        SCOPED_TRACE(key);
        TZunoButton* b = addButton(0, 0, false);
        b->SetHandleKey(true);
        Reg.SetFocus(b);
        Reg.KeyDown(key);
        Reg.InputStep(16);
        EXPECT_EQ(countEvents(PR_ONNOTIFY), 1);
        Reg.KeyUp(key);
        Reg.DeleteObject(b);
        Reg.Events().Clear();
    }
}

TEST_F(ButtonTest, SaveRecordRoundTrip) {
    TZunoControl* parent = Reg.GetScreen(0);
    TZunoButton* a = addButton(1, 2, true, parent);
    a->SetProp(PR_GROUPINDEX, TPropValue::ofInt(4));
    a->SetProp(PR_ALLOWALLUP, TPropValue::ofBool(true));
    a->SetProp(PR_SELECTED, TPropValue::ofBool(true));
    a->SetProp(PR_TEXT, TPropValue::ofStr("OK"));
    a->SetProp(PR_FONTCOLOR, TPropValue::ofInt(0x123456));
    TKsMemoryStream s;
    a->SaveToStream(s);
    s.SetPosition(0);
    TZunoButton* b = Reg.Create<TZunoButton>();
    b->LoadFromStream(s, 140);
    EXPECT_EQ(s.Remaining(), 0);
    // The caption's font travels with the record, its text does not.
    EXPECT_EQ(b->propStr(PR_TEXT), "");
    for (int id : {PR_SOURCE, PR_HOVERSOURCE, PR_PRESSEDSOURCE, PR_CLICKEDSOURCE, PR_ONNOTIFY})
        EXPECT_EQ(b->propStr(id), a->propStr(id)) << id;
    for (int id : {PR_GROUPINDEX, PR_FONTCOLOR, PR_LEFT, PR_TOP})
        EXPECT_EQ(b->propInt(id), a->propInt(id)) << id;
    EXPECT_TRUE(b->Selected());
    EXPECT_TRUE(b->AllowAllUp());
    EXPECT_EQ(b->State(), 2);
    EXPECT_EQ(b->Press(), 0);
}

} // namespace
} // namespace zuno
