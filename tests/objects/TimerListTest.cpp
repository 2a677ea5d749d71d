// The event queue and the input state of the registry.
#include <gtest/gtest.h>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "objects/TTimerList.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoSound.h"

namespace zuno {
namespace {

TZunoNamedObject* named(TZunoBaseList& r, const std::string& name) {
    TZunoObject* o = r.Create<TZunoSound>();
    o->SetName(name);
    return o;
}

TEST(TimerListTest, QueueOperationsByLevelAndSender) {
    TZunoBaseList reg;
    TZunoNamedObject* a = named(reg, "a");
    TZunoNamedObject* b = named(reg, "b");
    TTimerList q;
    std::vector<std::string> args{"1", "2"};
    q.Post(a, "h1.zsb", &args, 36);
    q.Post(b, "h2.zsb", nullptr, 37);
    q.Post(a, "h3.zsb", nullptr, 38);
    EXPECT_EQ(q.FindPending(a, 38), 2);
    EXPECT_EQ(q.FindPending(b, 36), -1);
    ASSERT_EQ(q.NextWaiting(), &q.Items(0));
    EXPECT_EQ(q.Items(0).Arguments, args);

    q.Items(0).Level = 1;
    EXPECT_EQ(q.NextWaiting()->Handler, "h2.zsb");
    EXPECT_EQ(q.FindPending(a, 36), 0);            // running entries count as pending
    q.Items(1).Level = 2;
    q.RemoveWaitingOf(a);                          // h3 only: h1 runs
    ASSERT_EQ(q.Count(), 2);
    q.RemoveLevel(2);
    ASSERT_EQ(q.Count(), 1);
    EXPECT_EQ(q.Items(0).Handler, "h1.zsb");
    q.Post(b, "h4.zsb", nullptr, 40);
    q.RemoveRunning();
    ASSERT_EQ(q.Count(), 1);
    EXPECT_EQ(q.Items(0).Handler, "h4.zsb");
}

TEST(TimerListTest, RecordRoundTripAndOldLevelByte) {
    TZunoBaseList reg;
    TZunoNamedObject* a = named(reg, "Btn");
    TZunoNamedObject gone;
    gone.SetName("gone");
    TTimerList q;
    std::vector<std::string> args{"x"};
    q.Post(a, "h.zsb:lab", &args, 72);
    q.Post(&gone, "g.zsb", nullptr, 35);
    q.Items(0).Level = 3;
    TKsMemoryStream s;
    q.SaveToStream(s, [&](const TZunoNamedObject* o) { return reg.IsRegistered(o); });

    TTimerList back;
    s.SetPosition(0);
    back.LoadFromStream(s, 120, [&](const std::string& n) { return reg.FindComponent(n); });
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Items(0).Sender, a);
    EXPECT_EQ(back.Items(0).Level, 3);
    EXPECT_EQ(back.Items(0).Id, 72);
    EXPECT_EQ(back.Items(0).Arguments, args);
    EXPECT_EQ(back.Items(1).Sender, nullptr);      // its sender was no longer registered

    // Before version 114 the level is one byte, any non-zero value reading as 1.
    TKsMemoryStream old;
    WriteInt(old, 1);
    WriteString(old, "h.zsb");
    WriteString(old, "");
    WriteByte(old, 36);
    WriteByte(old, 7);
    WriteInt(old, 0);
    old.SetPosition(0);
    back.LoadFromStream(old, 113, {});
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Items(0).Level, 1);

    // A count the data cannot hold.
    TKsMemoryStream bad;
    WriteInt(bad, 1000000);
    bad.SetPosition(0);
    EXPECT_THROW(back.LoadFromStream(bad, 120, {}), EZunoError);
}

TEST(RegistryInputTest, KeysPushRepeatAndRelease) {
    TZunoBaseList r;
    r.KeyRepeatDelay = 40;
    r.KeyRepeatInterval = 20;
    r.KeyDown(13);
    r.KeyDown(13);                                 // no change: not listed twice
    EXPECT_EQ(r.DownList(), std::vector<int32_t>{13});
    EXPECT_TRUE(r.IsKeyDown(13));
    EXPECT_FALSE(r.KeyPushed(13));                 // not before the input step
    r.InputStep(16);
    EXPECT_TRUE(r.KeyPushed(13));
    EXPECT_TRUE(r.KeyRepeated(13));                // a key repeats in its first step
    EXPECT_TRUE(r.DownList().empty());
    r.InputStep(16);                               // countdown 40 - 16 - 16 = 8
    EXPECT_FALSE(r.KeyPushed(13));
    EXPECT_FALSE(r.KeyRepeated(13));
    r.InputStep(16);                               // -8: fires, next after 20 more
    EXPECT_EQ(r.RepeatList(), std::vector<int32_t>{13});
    r.InputStep(16);
    EXPECT_TRUE(r.KeyRepeated(13));
    r.KeyUp(13);
    EXPECT_EQ(r.UpList(), std::vector<int32_t>{13});
    EXPECT_FALSE(r.IsKeyDown(13));
    r.KeyDown(300);                                // outside 0..255: ignored
    EXPECT_FALSE(r.IsKeyDown(300));
    r.KeyDown(65);
    r.ClearKeys();
    EXPECT_FALSE(r.IsKeyDown(65));
    EXPECT_TRUE(r.DownList().empty());
}

TEST(RegistryInputTest, MouseLatchesHeldAndWheel) {
    TZunoBaseList r;
    r.MouseMove(10, 20);
    EXPECT_TRUE(r.Screen(1).Moved);
    r.MouseDown(false, true);
    EXPECT_TRUE(r.Screen(0).RHeld && r.Screen(1).RHeld);
    EXPECT_TRUE(r.ActiveScreen().RPushLatch);
    EXPECT_FALSE(r.Screen(1).RPushLatch);          // latches belong to the active screen
    r.MouseUp();                                   // any release ends both held states
    EXPECT_FALSE(r.Screen(0).RHeld);
    r.Wheel(-1);
    r.InputStep(16);
    EXPECT_TRUE(r.ActiveScreen().RPushed);
    EXPECT_TRUE(r.ActiveScreen().WheelDown);
    EXPECT_FALSE(r.ActiveScreen().RPushLatch);
    r.InputStep(16);
    EXPECT_FALSE(r.ActiveScreen().RPushed);
    EXPECT_FALSE(r.ActiveScreen().WheelDown);
    r.Events().Post(nullptr, "x.zsb", nullptr, 1);
    r.Reset();
    EXPECT_EQ(r.Events().Count(), 0);
    EXPECT_EQ(r.ActiveScreen().MouseX, 10);
}

} // namespace
} // namespace zuno
