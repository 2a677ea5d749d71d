// Naming, lookup, parents, drawing order and deletion of display objects.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"
#include "objects/TZunoCabinet.h"
#include "objects/TZunoSound.h"

namespace zuno {
namespace {

using namespace test;

TEST(ObjectNamingTest, AutomaticNamesAndReuse) {
    TZunoBaseList reg;
    TZunoObject* a = reg.CreateByKind(LT_BOX);
    TZunoObject* b = reg.CreateByKind(LT_SOUND);
    TZunoObject* c = reg.CreateByKind(LT_TIMER);
    EXPECT_EQ(a->Name(), "object0");
    EXPECT_EQ(b->Name(), "object1");
    EXPECT_EQ(c->Name(), "object2");
    reg.DeleteObject(b);
    EXPECT_EQ(reg.CreateByKind(LT_MES)->Name(), "object1");
    EXPECT_EQ(reg.MakeUniqueName("btn"), "btn0");
}

TEST(ObjectNamingTest, ControlsHandTheirNameOnWithANumber) {
    struct TCase {
        std::vector<std::string> existing;     // names of other controls, in order
        std::string wanted;                    // requested by a new control
        std::string holderBecomes;             // the name the old holder gets
    } cases[] = {
        {{"btn"}, "btn", "btn_2"},
        {{"btn", "btn_2"}, "btn", "btn_3"},
        {{"btn_3"}, "btn_3", "btn_4"},
        {{"a_1"}, "a_1", "a_1_2"},             // 1 is not greater than 1
        {{"a_x"}, "a_x", "a_x_2"},
        {{"a_"}, "a_", "a__2"},
        {{"a_-5"}, "a_-5", "a_-5_2"},
        {{"a_99999999999"}, "a_99999999999", "a_99999999999_2"},   // no int32 number
        {{"x_2_7"}, "x_2_7", "x_2_8"},
    };
    for (const TCase& t : cases) {
        TZunoBaseList reg;
        TZunoControl* holder = nullptr;
        for (const std::string& n : t.existing) {
            TZunoControl* c = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1, n);
            if (n == t.wanted)
                holder = c;
        }
        ASSERT_NE(holder, nullptr);
        TZunoControl* fresh = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1);
        fresh->SetName(t.wanted);
        EXPECT_EQ(fresh->Name(), t.wanted);
        EXPECT_EQ(holder->Name(), t.holderBecomes) << t.wanted;
        EXPECT_FALSE(holder->IsPendingDelete());
    }
}

TEST(ObjectNamingTest, NonControlsPushTheHolderOut) {
    TZunoBaseList reg;
    TZunoObject* s1 = reg.Create<TZunoSound>();
    s1->SetName("bgm");
    TZunoObject* s2 = reg.Create<TZunoSound>();
    s2->SetName("bgm");
    EXPECT_TRUE(s1->IsPendingDelete());
    EXPECT_EQ(s1->Name(), "");
    EXPECT_EQ(s2->Name(), "bgm");
    EXPECT_EQ(reg.FindComponent("bgm"), s2);
    reg.Update(16);
    EXPECT_FALSE(reg.IsRegistered(s1));
    EXPECT_EQ(reg.ObjectCount(), 1);
}

TEST(ObjectNamingTest, LongNamesAndEmptyNames) {
    TZunoBaseList reg;
    const std::string longName(100000, 'n');
    TZunoControl* a = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1, longName);
    TZunoControl* b = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1, longName);
    EXPECT_EQ(b->Name(), longName);
    EXPECT_EQ(a->Name(), longName + "_2");
    a->SetName("");
    EXPECT_EQ(a->Name(), "");
    EXPECT_EQ(reg.FindControl(""), reg.ActiveBase());        // the empty name is the active screen
}

TEST(ObjectLookupTest, ScreensAndKindsByName) {
    TZunoBaseList reg;
    TZunoControl* c = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1, "c");
    TZunoObject* s = reg.Create<TZunoSound>();
    s->SetName("s");
    const std::string base0("\x01" "BASE0"), base1("\x01" "BASE1"), other("\x01");
    reg.StartTransition(1, 0, 0, true, 0, 0);                 // screen 1 active
    EXPECT_EQ(reg.FindComponent(""), reg.GetScreen(1));
    EXPECT_EQ(reg.FindComponent(base0), reg.GetScreen(1));    // the active screen
    EXPECT_EQ(reg.FindComponent(other), reg.GetScreen(0));
    EXPECT_EQ(reg.FindComponent(base1), reg.GetScreen(0));
    EXPECT_EQ(reg.FindControl(base0), reg.GetScreen(0));      // by number
    EXPECT_EQ(reg.FindControl(base1), reg.GetScreen(1));
    EXPECT_EQ(reg.FindControl(other), reg.GetScreen(0));
    EXPECT_EQ(reg.FindControl("s"), nullptr);                 // a sound is no control
    EXPECT_EQ(reg.FindComponent("s"), s);
    EXPECT_EQ(reg.FindComponent("C"), nullptr);               // exact bytes
    EXPECT_EQ(reg.FindControl("c"), c);

    std::vector<std::string> names;
    EXPECT_EQ(reg.ListNames(names, LT_NONE, &reg), 2);
    EXPECT_EQ(reg.ListNames(names, LT_SOUND, &reg), 1);
    EXPECT_EQ(reg.ListNames(names, LT_NONE, reg.GetScreen(0)), 1);
    EXPECT_EQ(names, (std::vector<std::string>{"c", "s", "s", "c"}));
}

TEST(ObjectTreeTest, ParentCyclesAreRefused) {
    TZunoBaseList reg;
    TZunoControl* a = addControl(reg, reg.GetScreen(0), 0, 0, 10, 10, "a");
    TZunoControl* b = addControl(reg, a, 0, 0, 10, 10, "b");
    TZunoControl* c = addControl(reg, b, 0, 0, 10, 10, "c");
    a->SetParent(c);                                          // grandchild
    EXPECT_EQ(a->Parent(), reg.GetScreen(0));
    a->SetParent(a);
    EXPECT_EQ(a->Parent(), reg.GetScreen(0));
    setProp(*a, PR_PARENT, *strValue("b"));                   // own child by name
    EXPECT_EQ(a->Parent(), reg.GetScreen(0));
    EXPECT_TRUE(a->Contains(c));
    EXPECT_FALSE(c->Contains(a));
    EXPECT_EQ(c->GetBase(), reg.GetScreen(0));
    c->SetParent(reg.GetScreen(1));
    EXPECT_EQ(b->ChildCount(), 0);
    EXPECT_EQ(c->GetBase(), reg.GetScreen(1));
}

TEST(ObjectTreeTest, CabinetsHideAndHoldTheirChildren) {
    TZunoBaseList reg;
    auto* cab = addControl<TZunoCabinet>(reg, reg.GetScreen(0), 0, 0, 10, 10);
    TZunoControl* a = addControl(reg, cab, 0, 0, 10, 10);
    cab->SetVisible(true);
    EXPECT_FALSE(cab->Visible());
    EXPECT_TRUE(a->IsInCabinet());
    EXPECT_FALSE(a->IsShown());
    a->SetParent(reg.GetScreen(0));
    EXPECT_FALSE(a->IsInCabinet());
    EXPECT_TRUE(a->IsShown());
}

TEST(ObjectTreeTest, DrawingOrderOfSiblings) {
    TZunoBaseList reg;
    TZunoBase* s = reg.GetScreen(0);
    TZunoControl* snapshot = addControl(reg, s, 0, 0, 1, 1, std::string("\x01\x01", 2));
    TZunoControl* b = addControl(reg, s, 0, 0, 1, 1, "b");
    TZunoControl* a = addControl(reg, s, 0, 0, 1, 1, "a");
    TZunoControl* sys = addControl(reg, s, 0, 0, 1, 1, std::string("\x01" "sys"));
    TZunoControl* high = addControl(reg, s, 0, 0, 1, 1, "A");
    high->SetPriority(5);
    sys->SetPriority(100);
    const std::vector<TZunoControl*> expected{sys, a, b, high, snapshot};
    EXPECT_EQ(s->Children(), expected);

    // Equal priority: names in byte order; a bias counts like priority.
    b->SetPriorityBias(-1);
    EXPECT_EQ(s->GetChild(1), b);
    b->SetPriority(0);                                        // unchanged value: bias stays
    EXPECT_EQ(b->PriorityBias(), -1);
    b->SetPriority(9);                                        // a new priority drops the bias
    EXPECT_EQ(b->PriorityBias(), 0);
    EXPECT_EQ(s->GetChild(3), b);
    EXPECT_EQ(s->GetChild(4), snapshot);
    setProp(*a, PR_PRIORITY, *intValue(-3));
    EXPECT_EQ(s->GetChild(1), a);
}

TEST(ObjectTreeTest, ScheduledAndImmediateDeletion) {
    TZunoBaseList reg;
    TZunoControl* a = addControl(reg, reg.GetScreen(0), 0, 0, 10, 10, "a");
    TZunoControl* child = addControl(reg, a, 0, 0, 5, 5, "child");
    TZunoControl* grand = addControl(reg, child, 0, 0, 5, 5, "grand");
    TZunoObject* s = reg.Create<TZunoSound>();
    s->SetProp(PR_ONNOTIFY, TPropValue::ofStr("h.zsb"));
    reg.Events().Post(s, "h.zsb", nullptr, PR_ONNOTIFY);
    reg.Events().Post(grand, "g.zsb", nullptr, PR_ONLBTNDOWN);

    a->ScheduleDelete();
    a->ScheduleDelete();                                      // once only
    EXPECT_EQ(reg.PendingCount(), 1);
    EXPECT_EQ(a->Name(), "");
    TZunoControl* again = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1, "a");   // the name is free at once
    EXPECT_EQ(again->Name(), "a");
    EXPECT_TRUE(reg.IsRegistered(a));
    reg.Update(16);
    EXPECT_FALSE(reg.IsRegistered(a));
    EXPECT_FALSE(reg.IsRegistered(child));                    // children go with their parent
    EXPECT_FALSE(reg.IsRegistered(grand));
    EXPECT_EQ(reg.GetScreen(0)->ChildCount(), 1);
    ASSERT_EQ(reg.Events().Count(), 1);                       // the waiting event of the freed object went
    EXPECT_EQ(reg.Events().Items(0).Sender, s);

    reg.DeleteObject(s);
    EXPECT_EQ(reg.Events().Count(), 0);
    EXPECT_EQ(reg.ObjectCount(), 1);
}

// A control whose update asks to be deleted.
class TShortLived : public TPaintedControl {
public:
    int                 Update() override { ++Updates; return Die ? 1 : 0; }
    bool                Die = false;
    int                 Updates = 0;
};

TEST(ObjectTreeTest, UpdateDeletesInTheSamePassAndGoesOn) {
    TZunoBaseList reg;
    auto* a = addControl<TShortLived>(reg, reg.GetScreen(0), 0, 0, 1, 1);
    auto* b = addControl<TShortLived>(reg, reg.GetScreen(0), 0, 0, 1, 1);
    auto* paused = addControl<TShortLived>(reg, reg.GetScreen(0), 0, 0, 1, 1);
    auto* cab = addControl<TZunoCabinet>(reg, reg.GetScreen(0), 0, 0, 1, 1);
    auto* inside = addControl<TShortLived>(reg, cab, 0, 0, 1, 1);
    a->Die = true;
    paused->Die = true;
    paused->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    inside->Die = true;
    reg.Update(16);
    EXPECT_FALSE(reg.IsRegistered(a));
    EXPECT_EQ(b->Updates, 1);                                 // the one after it was still updated
    EXPECT_EQ(paused->Updates, 0);
    EXPECT_TRUE(reg.IsRegistered(paused));
    EXPECT_EQ(inside->Updates, 0);
}

TEST(ObjectTreeTest, ResetFreesEverythingAndKeepsTheSize) {
    TZunoBaseList reg;
    reg.SetSize(64, 48);
    addControl(reg, reg.GetScreen(0), 0, 0, 1, 1);
    reg.Create<TZunoSound>();
    reg.StartTransition(1, 0, 0, true, 0, 0);
    reg.Reset();
    EXPECT_EQ(reg.ObjectCount(), 0);
    EXPECT_EQ(reg.GetScreen(0)->ChildCount(), 0);
    EXPECT_EQ(reg.GetScreen(1)->Width(), 64);
    EXPECT_EQ(reg.GetScreen(0)->Name(), std::string("\x01" "BASE0"));
    // Sizes are cut to what a scene may have.
    reg.SetSize(-5, 1 << 30);
    EXPECT_EQ(reg.Width(), 0);
    EXPECT_EQ(reg.Height(), TZunoBaseList::kMaxSceneSize);
}

} // namespace
} // namespace zuno
