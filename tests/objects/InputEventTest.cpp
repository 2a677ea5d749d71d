// Events the input step and the update produce: hover in/out, presses with
// capture, mouse-transparent controls, idle, keys and focus.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"

namespace zuno {
namespace {

using namespace test;

// A screen 100 x 100 with two overlapping controls, every mouse handler set.
struct TMouseScene {
    TZunoBaseList       Reg;
    TZunoControl*       Back;
    TZunoControl*       Front;

    TMouseScene() {
        Reg.SetSize(100, 100);
        Back = addControl(Reg, Reg.GetScreen(0), 0, 0, 60, 60, "back");
        Front = addControl(Reg, Reg.GetScreen(0), 40, 40, 40, 40, "front");
        Front->SetPriority(1);
        for (TZunoControl* c : {Back, Front})
            for (int id : {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONLBTNDOWN, PR_ONLBTNUP, PR_ONRBTNDOWN,
                           PR_ONRBTNUP, PR_ONWHEELDOWN, PR_ONWHEELUP})
                c->SetProp(id, TPropValue::ofStr(c->Name() + ".zsb"));
    }
    // The queued events as "sender:id(args)" and the queue emptied.
    std::vector<std::string> take() {
        std::vector<std::string> out;
        TTimerList& q = Reg.Events();
        for (int i = 0; i < q.Count(); ++i) {
            std::string e = (q.Items(i).Sender ? q.Items(i).Sender->Name() : "-") + ":" +
                            std::to_string(q.Items(i).Id);
            for (const std::string& a : q.Items(i).Arguments)
                e += " " + a;
            out.push_back(e);
        }
        q.Clear();
        return out;
    }
    void step() { Reg.InputStep(16); }
};

using TEvents = std::vector<std::string>;

TEST(MouseEventTest, HoverInMoveOut) {
    TMouseScene s;
    s.Reg.MouseMove(10, 12);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"back:103", "back:34 10 12"}));
    s.step();                                                 // no move: nothing
    EXPECT_TRUE(s.take().empty());
    s.Reg.MouseMove(50, 45);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"back:35", "front:103", "front:34 10 5"}));
    s.Reg.MouseMove(51, 45);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:34 11 5"}));
    s.Reg.MouseMove(51, 46);
    s.step();                                                 // a move waits while one is pending
    EXPECT_EQ(s.take(), (TEvents{"front:34 11 6"}));
    s.Reg.MouseMove(51, 47);
    s.step();
    s.Reg.MouseMove(51, 48);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:34 11 7"}));
    s.Reg.MouseMove(95, 95);                                  // onto the bare screen
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:35"}));
    EXPECT_EQ(s.Reg.ActiveBase()->Hover, s.Reg.ActiveBase());
}

TEST(MouseEventTest, PressIsCapturedUntilRelease) {
    TMouseScene s;
    s.Reg.MouseMove(10, 10);
    s.step();
    s.take();
    s.Reg.MouseDown(true, false);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"back:36 10 10"}));
    EXPECT_FALSE(s.Reg.ActiveScreen().LPushed);               // the press was taken
    s.Reg.MouseMove(50, 50);                                  // over front, but back holds the press
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"back:34 50 50"}));
    s.Reg.MouseUp();
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"back:37 50 50"}));
    s.step();                                                 // hit testing again
    EXPECT_EQ(s.take(), (TEvents{"back:35", "front:103", "front:34 10 10"}));

    // Releasing the left button ends a captured right press too.
    s.Reg.MouseDown(false, true);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:38 10 10"}));
    s.Reg.MouseUp();
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:39 10 10"}));
}

TEST(MouseEventTest, IgnoredClicksFallThrough) {
    struct TCase {
        uint8_t ignore;
        bool left;
        std::string pressed;                  // who gets the press
    } cases[] = {
        {IM_NONE, true, "front:36"},   {IM_LCLICK, true, "back:36"},  {IM_LCLICK, false, "front:38"},
        {IM_RCLICK, false, "back:38"}, {IM_CLICK, true, "back:36"},   {IM_ALL, true, "back:36"},
    };
    for (const TCase& c : cases) {
        TMouseScene s;
        s.Front->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(c.ignore));
        s.Reg.MouseMove(50, 50);
        s.step();
        const TEvents hover = s.take();
        // Movement still hovers the control unless it ignores everything.
        EXPECT_EQ(hover.front(), c.ignore == IM_ALL ? "back:103" : "front:103") << int(c.ignore);
        s.Reg.MouseDown(c.left, !c.left);
        s.step();
        const TEvents ev = s.take();
        ASSERT_FALSE(ev.empty());
        EXPECT_EQ(ev.front().substr(0, c.pressed.size()), c.pressed) << int(c.ignore) << " " << c.left;
    }
}

TEST(MouseEventTest, WheelAndPausedControls) {
    TMouseScene s;
    s.Reg.MouseMove(50, 50);
    s.step();
    s.take();
    s.Reg.Wheel(-1);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:40"}));
    s.Reg.Wheel(1);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"front:41"}));
    // A paused control does not take presses (no event, no capture).
    TMouseScene p;
    p.Back->SetProp(PR_PAUSED, TPropValue::ofBool(true));   // a box can be paused
    p.Reg.MouseMove(5, 5);
    p.step();
    p.take();
    p.Reg.MouseDown(true, false);
    p.step();
    EXPECT_TRUE(p.take().empty());
    EXPECT_EQ(p.Reg.ActiveBase()->Capture, 0);
}

TEST(UpdateEventTest, IdleOncePerFrameNeverTwiceWaiting) {
    TMouseScene s;
    s.Back->SetProp(PR_ONIDLE, TPropValue::ofStr("idle.zsb"));    // boxes implement idle
    s.Reg.Update(16);
    s.Reg.Update(16);
    EXPECT_EQ(s.Reg.Events().Count(), 1);
    s.Reg.Events().Items(0).Level = 2;                       // running counts as pending
    s.Reg.Update(16);
    EXPECT_EQ(s.Reg.Events().Count(), 1);
    s.Reg.Events().RemoveLevel(2);
    s.Reg.Update(16);
    EXPECT_EQ(s.take(), (TEvents{"back:113"}));
}

// A focusable control with every key and focus handler set.
TZunoControl* keyControl(TZunoBaseList& reg, TZunoControl* parent, const std::string& name) {
    TZunoControl* c = addControl(reg, parent, 0, 0, 10, 10, name);
    for (int id : {PR_ONKEYDOWN, PR_ONKEYUP, PR_ONKEYREPEAT, PR_ONFOCUSIN, PR_ONFOCUSOUT})
        c->SetProp(id, TPropValue::ofStr("k.zsb"));
    c->SetHandleKey(true);
    return c;
}

TEST(KeyEventTest, DownRepeatUpToTheFocusedControl) {
    TMouseScene s;
    s.Reg.KeyRepeatDelay = 40;
    s.Reg.KeyRepeatInterval = 20;
    TZunoControl* k = keyControl(s.Reg, s.Reg.GetScreen(0), "k");
    s.step();                                                 // the focus search finds it
    EXPECT_EQ(s.Reg.Focus(), k);
    EXPECT_EQ(s.take(), (TEvents{"k:148"}));
    s.Reg.KeyDown(65);
    s.Reg.KeyDown(66);
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"k:144 65 66", "k:146 65 66"}));
    s.step();                                                 // countdown 40 - 16: nothing yet
    EXPECT_TRUE(s.take().empty());
    s.step();                                                 // -8: fires, reported next frame
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"k:146 65 66"}));
    s.Reg.KeyUp(65);                                          // the countdown ran out again (-4)
    s.step();
    EXPECT_EQ(s.take(), (TEvents{"k:146 65 66", "k:145 65"}));
}

TEST(KeyEventTest, HidingTheFocusMovesItToTheTopmostHandler) {
    TMouseScene s;
    TZunoControl* low = keyControl(s.Reg, s.Reg.GetScreen(0), "low");
    TZunoControl* top = keyControl(s.Reg, s.Reg.GetScreen(0), "top");
    top->SetPriority(5);
    TZunoControl* other = keyControl(s.Reg, s.Reg.GetScreen(1), "other");   // not on the active screen
    (void)other;
    s.step();
    EXPECT_EQ(s.Reg.Focus(), top);
    s.take();
    top->SetVisible(false);
    EXPECT_EQ(s.Reg.Focus(), nullptr);
    EXPECT_EQ(s.take(), (TEvents{"top:149"}));
    s.step();
    EXPECT_EQ(s.Reg.Focus(), low);
    EXPECT_EQ(s.take(), (TEvents{"low:148"}));
    // A control moved to the other screen loses focus without events.
    low->SetParent(s.Reg.GetScreen(1));
    EXPECT_EQ(s.Reg.Focus(), nullptr);
    EXPECT_TRUE(s.take().empty());
    // Freeing the focused control clears the focus too.
    top->SetVisible(true);
    s.step();
    EXPECT_EQ(s.Reg.Focus(), top);
    s.Reg.DeleteObject(top);
    EXPECT_EQ(s.Reg.Focus(), nullptr);
    EXPECT_TRUE(s.Reg.FocusSearchRequested());
}

TEST(KeyEventTest, ClickGivesFocusToKeyControls) {
    TMouseScene s;
    s.Back->SetHandleKey(true);
    s.Front->SetHandleKey(true);
    s.step();
    EXPECT_EQ(s.Reg.Focus(), s.Front);
    s.Reg.MouseMove(5, 5);
    s.Reg.MouseDown(true, false);
    s.step();
    EXPECT_EQ(s.Reg.Focus(), s.Back);
}

} // namespace
} // namespace zuno
