// The variable table: system variables, names, scopes, look-up, temporaries.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"

using namespace zuno;

namespace {
std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EZunoError& e) {
        return cp932ToUtf8(e.message());
    }
    return "(no error)";
}
} // namespace

TEST(ParamCollection, SystemVariablesComeFirstInOrder) {
    TParamCollection t;
    ASSERT_EQ(t.Count(), kSystemVarCount);
    EXPECT_EQ(t.Items(0)->Name(), "@Result");
    EXPECT_EQ(t.Items(44)->Name(), "@Temp");
    EXPECT_EQ(t.Items(49)->Name(), "@IsDebug");
    EXPECT_EQ(t.IndexOf("@textdelay"), 7);
    EXPECT_EQ(t.Find("@TEXTDELAY")->Value()->AsInteger(), 50);
    EXPECT_TRUE(t.Items(12)->IsSystem());
}

TEST(ParamCollection, NameRules) {
    TParamCollection t;
    struct Case { const char* name; bool ok; };
    const Case cases[] = {{"a", true}, {"_x1", true}, {"変数", true}, {"", false}, {"a b", false},
                          {"1a", false}, {"9", false}};
    for (const Case& c : cases) {
        std::string err = errorOf([&] { t.CreateVariable(sjis(c.name), PT_INT, vsGlobal); });
        if (c.ok)
            EXPECT_EQ(err, "(no error)") << c.name;
        else
            EXPECT_EQ(err, '"' + std::string(c.name) + "\"：変数名が不正です");
    }
    EXPECT_EQ(t.Count(), kSystemVarCount + 3);     // failed creations leave nothing behind
}

TEST(ParamCollection, LocalHidesGlobalOnlyAtItsDepth) {
    TParamCollection t;
    auto* global = t.CreateVariable("X", PT_INT, vsGlobal);
    global->Value()->SetInteger(1);
    t.CurrentDepth = 2;
    bool created = false;
    auto* local = t.CreateVariable("x", PT_INT, vsLocal, &created);
    EXPECT_TRUE(created);
    local->Value()->SetInteger(2);
    EXPECT_EQ(local->Owner, 2);
    EXPECT_EQ(local->Local, 1);
    for (int depth : {1, 2, 3}) {
        t.CurrentDepth = depth;
        EXPECT_EQ(t.Find("x")->Value()->AsInteger(), depth == 2 ? 2 : 1) << depth;
        EXPECT_EQ(t.FindScoped("x", true) != nullptr, depth == 2);
        EXPECT_EQ(t.FindScoped("x", false), global);
    }
    t.CurrentDepth = 2;
    t.DeleteOwned(2);
    EXPECT_EQ(t.Find("x"), global);
}

TEST(ParamCollection, AutoDestroyVisibleEverywhereUntilFrameEnds) {
    TParamCollection t;
    t.CurrentDepth = 3;
    auto* v = t.CreateVariable("tmp", PT_STR, vsAutoDestroy);
    EXPECT_EQ(v->Owner, 3);
    EXPECT_EQ(v->Local, 0);
    t.CurrentDepth = 5;
    EXPECT_EQ(t.Find("TMP"), v);
    t.DeleteOwned(4);
    EXPECT_EQ(t.Find("tmp"), v);
    t.DeleteOwned(3);
    EXPECT_EQ(t.Find("tmp"), nullptr);
}

TEST(ParamCollection, FindPrefersEarliestNonLocalDuplicate) {
    TParamCollection t;
    auto* first = t.AddNamed(PT_INT, "dup");
    auto* second = t.AddNamed(PT_INT, "DUP");
    EXPECT_NE(first, second);
    EXPECT_EQ(t.Find("dup"), first);
    EXPECT_EQ(t.IndexOf("Dup"), first->Index());
}

TEST(ParamCollection, CreateVariableReusesExisting) {
    TParamCollection t;
    bool created = true;
    auto* s = t.CreateVariable("st", PT_INT, vsStatus, &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(s->Status, 1);
    auto* again = t.CreateVariable("st", PT_STR, vsGlobal, &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(again, s);
    EXPECT_EQ(again->Value()->ParamType(), PT_INT);   // keeps its type
}

TEST(ParamCollection, ResetKeepsSystemAndStatus) {
    TParamCollection t;
    t.CreateVariable("g", PT_INT, vsGlobal);
    t.CreateVariable("s", PT_INT, vsStatus);
    t.TextDelay = 10;
    t.Cursor = "c.cur";
    t.ResetVariables();
    EXPECT_EQ(t.Find("g"), nullptr);
    EXPECT_NE(t.Find("s"), nullptr);
    EXPECT_EQ(t.TextDelay, 50);
    EXPECT_EQ(t.Cursor, "");
    EXPECT_EQ(t.Count(), kSystemVarCount + 1);
}

TEST(ParamCollection, TemporariesAreRecycledFresh) {
    TParamCollection t;
    auto* a = t.AddNamed(PT_STR, "____0");
    a->Value()->SetDims({3});
    a->Value()->SetStringAt(2, "old");
    a->Owner = 4;
    t.DeleteItem(a);
    EXPECT_EQ(t.Find("____0"), nullptr);
    auto* b = t.AddNamed(PT_STR, "____1");
    EXPECT_EQ(b->Value()->Count(), 1);
    EXPECT_EQ(b->Value()->AsString(), "");
    EXPECT_EQ(b->Owner, -1);
    EXPECT_EQ(t.Find("____1"), b);
    auto* r = t.AddNamed(PT_NONE, "____d_2");
    EXPECT_NE(dynamic_cast<TParamVar*>(r->Value()), nullptr);
    t.DeleteItem(b);
    t.DeleteItem(r);
    EXPECT_EQ(t.Count(), kSystemVarCount);
}

TEST(ParamCollection, CopyValue) {
    TParamCollection t;
    auto* a = t.CreateVariable("a", PT_FLOAT, vsGlobal);
    a->Value()->SetDims({2});
    a->Value()->SetFloatAt(1, 1.5);
    auto c = t.CopyValue("A");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ParamType(), PT_FLOAT);
    EXPECT_EQ(c->Count(), 2);
    a->Value()->SetFloatAt(1, 9);
    EXPECT_EQ(c->GetFloatAt(1), 1.5);           // detached
    EXPECT_EQ(t.CopyValue("missing"), nullptr);
    EXPECT_EQ(errorOf([&] { t.CopyValue("@Temp"); }), "@Temp:不正な変数です");
}

TEST(ParamCollection, SystemVariableConversions) {
    TParamCollection t;
    TCustomParam* sound = t.Find("@SoundON")->Value();
    sound->SetString("TRUE");                   // not a nonzero integer: false
    EXPECT_FALSE(sound->AsBoolean());
    sound->SetString("1");
    EXPECT_TRUE(sound->AsBoolean());
    TCustomParam* delay = t.Find("@TextDelay")->Value();
    delay->SetString("abc");                    // does not parse: unchanged
    EXPECT_EQ(t.TextDelay, 50);
    delay->SetFloat(20.9L);
    EXPECT_EQ(t.TextDelay, 20);
    TCustomParam* sel = t.Find("@SelStr")->Value();
    sel->SetString("12x");
    EXPECT_TRUE(sel->AsBoolean());              // a text reads as flag: not empty
    EXPECT_EQ(sel->AsInteger(), 0);
    sel->SetString("34");
    EXPECT_EQ(sel->AsFloat(), 34);
    EXPECT_EQ(t.SelStr, "34");
    TCustomParam* pi = t.Find("@Pi")->Value();
    pi->SetFloat(3);                            // read-only
    EXPECT_NEAR(static_cast<double>(pi->AsFloat()), 3.14159265358979, 1e-14);
    EXPECT_FALSE(t.Find("@IsDebug")->Value()->AsBoolean());
    EXPECT_EQ(t.Find("@1Hour")->Value()->AsFloat(), TReal(1) / 24);
}

TEST(ParamCollection, SystemArrays) {
    TParamCollection t;
    TCustomParam* keys = t.Find("@KeyPush")->Value();
    EXPECT_EQ(keys->Count(), 258);
    EXPECT_EQ(keys->DimSize(0), 258);
    EXPECT_FALSE(keys->AsBoolean());
    bool enter = true;
    TSystemVarAccess a;
    a.count = [] { return 258; };
    a.getAt = [&](int i) { return TSysValue::ofFlag(i == 13 && enter); };
    t.SetSystemAccess(SV_KEYPUSH, a);
    EXPECT_TRUE(keys->GetBooleanAt(13));
    EXPECT_FALSE(keys->GetBooleanAt(14));
    EXPECT_FALSE(keys->AsBoolean());            // the scalar reads false
    EXPECT_EQ(t.Find("@ParamStr")->Value()->Count(), 0);
}

TEST(ParamCollection, TempStandsForAssignedVariable) {
    TParamCollection t;
    TCustomParam* temp = t.Find("@Temp")->Value();
    EXPECT_EQ(temp->ParamType(), PT_NONE);
    EXPECT_EQ(temp->Count(), 1);
    temp->SetInteger(3);                        // ignored
    auto* x = t.CreateVariable("x", PT_INT, vsGlobal);
    t.TempName = "x";
    temp->SetInteger(8);
    EXPECT_EQ(x->Value()->AsInteger(), 8);
    EXPECT_EQ(temp->ParamType(), PT_INT);
    temp->SetDims({3});                         // array operations are forwarded
    EXPECT_EQ(x->Value()->Count(), 3);
    t.TempName = "@temp";                       // standing for itself: none
    EXPECT_EQ(temp->ParamType(), PT_NONE);
    EXPECT_EQ(temp->AsInteger(), 0);
}

TEST(ParamCollection, ResultForwardsToProvider) {
    TParamCollection t;
    TCustomParam* res = t.Find("@Result")->Value();
    EXPECT_EQ(res->ParamType(), PT_NONE);
    EXPECT_EQ(res->AsString(), "");
    TParamStr frameResult;
    t.ResultProvider = [&] { return &frameResult; };
    res->SetInteger(5);
    EXPECT_EQ(frameResult.AsString(), "5");
    EXPECT_EQ(res->ParamType(), PT_STR);
}

// The date and time variables show the wall clock in local time, read once
// per frame: a later second within the same frame is not seen until the
// frame clock moves; without a frame clock every access reads the clock.
TEST(ParamCollection, DateVariablesReadTheWallClockOncePerFrame) {
    TParamCollection t;
    int32_t frame = 0;
    std::time_t wall = 1700000000;
    t.WallClock = [&] { return wall; };
    t.FrameClock = [&] { return frame; };
    auto value = [&](const char* name) { return t.Find(name)->Value()->AsInteger(); };
    auto expectShows = [&](std::time_t moment, const char* when) {
        std::tm local{};
        ASSERT_NE(localtime_r(&moment, &local), nullptr);
        const struct {
            const char* name;
            int32_t expected;
        } fields[] = {{"@Year", local.tm_year + 1900}, {"@Month", local.tm_mon + 1}, {"@Day", local.tm_mday},
                      {"@Week", local.tm_wday + 1},    {"@Hour", local.tm_hour},     {"@Min", local.tm_min},
                      {"@Sec", local.tm_sec}};
        for (const auto& f : fields)
            EXPECT_EQ(value(f.name), f.expected) << f.name << ", " << when;
    };

    expectShows(wall, "first read");
    const std::time_t firstRead = wall;
    wall += 3 * 86400 + 3600 + 61;                  // another day, hour, minute and second
    expectShows(firstRead, "same frame");
    frame = 16;
    expectShows(wall, "next frame");
    wall += 5;
    expectShows(wall - 5, "same frame again");

    t.FrameClock = nullptr;
    wall += 7;
    expectShows(wall, "no frame clock");
    wall += 1;
    expectShows(wall, "no frame clock, next access");
}

TEST(ParamCollection, LookUpByLowerCaseKey) {
    TParamCollection t;
    auto* g = t.CreateVariable("Name", PT_INT, vsGlobal);
    EXPECT_EQ(t.FindKey("name"), g);
    EXPECT_EQ(t.FindKey("Name"), nullptr);           // keys are lower-case
    t.CurrentDepth = 1;
    auto* l = t.CreateVariable("NAME", PT_INT, vsLocal);
    EXPECT_EQ(t.FindKey("name"), l);
    auto* tmp = t.AddNamed(PT_INT, "____X", "____x");
    EXPECT_EQ(t.Find("____x"), tmp);
    EXPECT_EQ(tmp->Name(), "____X");
}
