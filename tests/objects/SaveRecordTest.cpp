// The save records of the registry and its objects: round trip, older
// versions, and damaged data that must be refused without crashing.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "objects/TZunoCabinet.h"
#include "objects/TZunoSound.h"

namespace zuno {
namespace {

using namespace test;

constexpr int32_t kVersion = 138;

std::vector<uint8_t> saveBytes(TZunoBaseList& reg) {
    TKsMemoryStream s;
    reg.SaveToStream(s);
    return std::vector<uint8_t>(s.Memory(), s.Memory() + s.GetSize());
}

void loadBytes(TZunoBaseList& reg, const std::vector<uint8_t>& bytes, int32_t version = kVersion) {
    TKsMemoryStream s(bytes);
    reg.LoadFromStream(s, version);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
}

TEST(SaveRecordTest, RegistryRoundTrip) {
    TZunoBaseList reg;
    reg.SetSize(64, 48);
    reg.GetScreen(0)->SetColor(0x102030);
    TZunoControl* a = addControl(reg, reg.GetScreen(0), 5, 6, 30, 20, "a");
    a->SetOffsetX(3);
    a->SetPlusY(-2);
    a->SetClip(PR_CLIPWIDTH, 7);
    a->SetClip(PR_CLIPHEIGHT, 8);
    a->SetTag("tagged");
    a->SetPriority(4);
    a->SetPriorityBias(2);
    a->SetProp(PR_ONLBTNDOWN, TPropValue::ofStr("click.zsb:lab"));
    a->SetProp(PR_ONFOCUSIN, TPropValue::ofStr("fin.zsb"));
    a->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(IM_RCLICK));
    a->SetProp(PR_CURSOR, TPropValue::ofStr("hand.cur"));
    a->SetHandleKey(true);
    TZunoControl* child = addControl(reg, a, 1, 2, 3, 4, "child");
    child->SetVisible(false);
    addControl(reg, a, 0, 0, 1, 1, std::string("\x01" "part"));   // system names are not saved
    auto* cab = addControl<TZunoCabinet>(reg, reg.GetScreen(1), 0, 0, 0, 0, "cab");
    addControl(reg, cab, 9, 9, 9, 9, "stored");
    TZunoObject* gone = addControl(reg, reg.GetScreen(0), 0, 0, 1, 1, "gone");
    gone->ScheduleDelete();                                   // pending: not saved
    TZunoObject* snd = reg.Create<TZunoSound>();
    snd->SetName("bgm");
    snd->SetTag("music");
    std::vector<std::string> args{"1", "2"};
    reg.Events().Post(snd, "end.zsb", &args, PR_ONPLAYEND);
    reg.Events().Items(0).Level = 3;
    reg.StartTransition(1, 0, 0, true, 0, 0);
    reg.InputStep(16);                                        // focus search
    a->SetParent(reg.GetScreen(1));
    reg.InputStep(16);
    ASSERT_EQ(reg.Focus(), a);
    reg.Events().Clear();
    reg.Events().Post(snd, "end.zsb", &args, PR_ONPLAYEND);

    const std::vector<uint8_t> bytes = saveBytes(reg);
    TZunoBaseList back;
    loadBytes(back, bytes);
    EXPECT_EQ(saveBytes(back), bytes);

    EXPECT_EQ(back.Width(), 64);
    EXPECT_EQ(back.ActiveIndex(), 1);
    EXPECT_EQ(back.GetScreen(0)->Color(), 0x102030);
    TZunoControl* a2 = back.FindControl("a");
    ASSERT_NE(a2, nullptr);
    EXPECT_EQ(a2->Parent(), back.GetScreen(1));
    EXPECT_EQ(a2->GetClientRect(), a->GetClientRect());
    EXPECT_EQ(a2->Tag(), "tagged");
    EXPECT_EQ(a2->PriorityBias(), 2);
    EXPECT_EQ(getText(*a2, PR_ONLBTNDOWN), "click.zsb:lab");
    EXPECT_EQ(a2->IgnoreMouse(), IM_RCLICK);
    ASSERT_EQ(a2->ChildCount(), 1);
    EXPECT_FALSE(a2->GetChild(0)->Visible());
    EXPECT_EQ(back.Focus(), a2);
    EXPECT_FALSE(back.FindControl("gone"));
    auto* cab2 = dynamic_cast<TZunoCabinet*>(back.FindControl("cab"));
    ASSERT_NE(cab2, nullptr);
    EXPECT_EQ(cab2->ChildCount(), 1);
    TZunoComponent* snd2 = back.FindComponent("bgm");
    ASSERT_NE(snd2, nullptr);
    EXPECT_EQ(snd2->Tag(), "music");
    ASSERT_EQ(back.Events().Count(), 1);
    EXPECT_EQ(back.Events().Items(0).Sender, snd2);
    EXPECT_EQ(back.Events().Items(0).Arguments, args);
}

// A control record as version `v` writes it, without children.
void writeOldControl(TStream& s, int32_t v, const std::string& name, int32_t left) {
    WriteString(s, name);
    WriteInt(s, 0);                                           // priority
    if (v > 103)
        WriteInt(s, 0);
    if (v >= 120)
        WriteString(s, "");
    for (int32_t x : {left, 0, 10, 10, 0, 0})
        WriteInt(s, x);
    WriteBool(s, false);
    if (v >= 130)
        for (int i = 0; i < 4; ++i)
            WriteInt(s, 0);
    if (v > 103) {
        for (int i = 0; i < 4; ++i)
            WriteInt(s, 0);
        WriteBool(s, false);
    }
    WriteBool(s, true);
    WriteInt(s, 0);
    for (int32_t x : {0, 0, 1, 1})
        WriteInt(s, x);
    WriteByte(s, 0);
    WriteString(s, "");
    WriteString(s, "move.zsb");
    if (v > 101)
        WriteString(s, "in.zsb");
    for (int i = 0; i < 7; ++i)
        WriteString(s, "");
    if (v > 117) {
        WriteBool(s, false);
        for (int i = 0; i < 5; ++i)
            WriteString(s, "");
    }
}

TEST(SaveRecordTest, OlderVersionsReadTheirFields) {
    for (int32_t v : {101, 103, 110, 118, 119, 120, 130}) {
        TKsMemoryStream s;
        WriteInt(s, 32);
        WriteInt(s, 24);
        WriteInt(s, 0);
        writeOldControl(s, v, std::string("\x01" "BASE0"), 0);
        WriteInt(s, 1);                                       // one child
        WriteByte(s, LT_BOX);
        writeOldControl(s, v, "box", 7);
        WriteInt(s, 0);
        for (int32_t x : {2, 0x0000FF, 128})                // border width and colour, alpha
            WriteInt(s, x);
        if (v > 103) {
            for (const char* text : {"idle.zsb", ""})       // OnIdle, Source
                WriteString(s, text);
            WriteBool(s, true);                             // Repeat
            WriteBool(s, false);                            // AutoScrap
            WriteString(s, "end.zsb");
            WriteBool(s, false);                            // Paused
            WriteBool(s, true);                             // AniPaused
        }
        writeOldControl(s, v, std::string("\x01" "BASE1"), 0);
        WriteInt(s, 0);
        WriteInt(s, 0);                                       // no other objects
        WriteInt(s, 0);                                       // no events
        if (v >= 119)
            WriteString(s, "");
        s.SetPosition(0);
        TZunoBaseList reg;
        ASSERT_NO_THROW(reg.LoadFromStream(s, v)) << v;
        EXPECT_EQ(s.GetPosition(), s.GetSize()) << v;
        TZunoControl* box = reg.FindControl("box");
        ASSERT_NE(box, nullptr) << v;
        EXPECT_EQ(box->Left(), 7);
        EXPECT_EQ(getText(*box, PR_ONMOUSEIN), v > 101 ? "in.zsb" : "");
        EXPECT_EQ(getInt(*box, PR_BORDERWIDTH), 2);
        EXPECT_EQ(getInt(*box, PR_ALPHA), 128);
        EXPECT_EQ(getText(*box, PR_ONPLAYEND), v > 103 ? "end.zsb" : "");
        EXPECT_EQ(box->AniPaused(), v > 103);
        EXPECT_EQ(reg.Focus(), nullptr);
    }
}

TEST(SaveRecordTest, DamagedRecordsAreRefused) {
    TZunoBaseList reg;
    reg.SetSize(16, 16);
    TZunoControl* a = addControl(reg, reg.GetScreen(0), 0, 0, 4, 4, "a");
    addControl(reg, a, 0, 0, 2, 2, "b");
    reg.Create<TZunoSound>()->SetName("s");
    const std::vector<uint8_t> good = saveBytes(reg);

    // Every truncation fails cleanly.
    for (size_t n = 0; n < good.size(); n += 7) {
        TZunoBaseList r;
        TKsMemoryStream s(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_THROW(r.LoadFromStream(s, kVersion), EZunoError) << n;
    }

    // A child kind that names no class, or a non-control as a child.
    auto childKindAt = [&] {
        // The byte after screen 0's child count.
        TKsMemoryStream probe;
        TZunoBaseList r;
        r.SetSize(16, 16);
        WriteInt(probe, 16);
        WriteInt(probe, 16);
        WriteInt(probe, 0);
        r.GetScreen(0)->SaveToStream(probe);                  // no children: ends with the count
        return static_cast<size_t>(probe.GetSize());
    }();
    for (uint8_t kind : {uint8_t(LT_NONE), uint8_t(LT_AUDIO), uint8_t(LT_MAP), uint8_t(LT_SOUND), uint8_t(99)}) {
        std::vector<uint8_t> bad = good;
        bad[childKindAt] = kind;
        TZunoBaseList r;
        TKsMemoryStream s(bad);
        EXPECT_THROW(r.LoadFromStream(s, kVersion), EZunoError) << int(kind);
    }

    // A count the data cannot hold.
    std::vector<uint8_t> huge = good;
    huge[childKindAt - 4] = 0xFF;
    huge[childKindAt - 3] = 0xFF;
    huge[childKindAt - 2] = 0xFF;
    huge[childKindAt - 1] = 0x7F;
    TZunoBaseList r;
    TKsMemoryStream s(huge);
    EXPECT_THROW(r.LoadFromStream(s, kVersion), EZunoError);
}

TEST(SaveRecordTest, NestingIsBounded) {
    TZunoBaseList reg;
    TZunoControl* p = reg.GetScreen(0);
    for (int i = 0; i < TZunoControl::kMaxLoadDepth + 5; ++i)
        p = addControl(reg, p, 0, 0, 1, 1);
    const std::vector<uint8_t> bytes = saveBytes(reg);
    TZunoBaseList back;
    TKsMemoryStream s(bytes);
    EXPECT_THROW(back.LoadFromStream(s, kVersion), EZunoError);
}

} // namespace
} // namespace zuno
