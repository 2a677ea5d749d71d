// Stored forms of values and of the variable blocks.
#include <gtest/gtest.h>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "expr/TParamCollection.h"

using namespace zuno;

namespace {

std::vector<uint8_t> bytesOf(TKsMemoryStream& s) { return s.Data(); }

std::vector<uint8_t> saveVariables(const TParamCollection& t) {
    TKsMemoryStream s;
    t.SaveVariables(s);
    return s.Data();
}

void loadVariables(TParamCollection& t, std::vector<uint8_t> data, int32_t version) {
    TKsMemoryStream s(std::move(data));
    t.LoadVariables(s, version);
}

// A table with one variable of every kind of value.
void fill(TParamCollection& t) {
    t.CreateVariable("i", PT_INT, vsGlobal)->Value()->SetInteger(-5);
    auto* f = t.CreateVariable("f", PT_FLOAT, vsGlobal)->Value();
    f->SetDims({2, 2});
    f->SetFloatAt(3, 0.1L);
    t.CreateVariable("b", PT_BOOL, vsGlobal)->Value()->SetBoolean(true);
    auto* s = t.CreateVariable("s", PT_STR, vsGlobal)->Value();
    s->SetDims({3});
    s->SetStringAt(1, std::string("a\0b", 3));
    t.CurrentDepth = 2;
    t.CreateVariable("loc", PT_INT, vsLocal)->Value()->SetInteger(9);
    t.CurrentDepth = 0;
    t.CreateVariable("st", PT_STR, vsStatus)->Value()->SetString("kept");
    t.TextDelay = 33;
    t.Cursor = "hand.cur";
    t.SelStr = "choice";
    t.SelIndex = 2;
    t.TempName = "i";
}

} // namespace

TEST(ParamStream, ValueRecordLayout) {
    TParamInt v;
    v.SetDims({2});
    v.SetIntegerAt(1, 0x01020304);
    TKsMemoryStream s;
    v.SaveToStream(s);
    const std::vector<uint8_t> expected = {1, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 4, 3, 2, 1};
    EXPECT_EQ(bytesOf(s), expected);

    TParamStr t;
    t.SetString("ab");
    TKsMemoryStream s2;
    t.SaveToStream(s2);
    const std::vector<uint8_t> expected2 = {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 'a', 'b'};
    EXPECT_EQ(bytesOf(s2), expected2);
}

TEST(ParamStream, EmptyTableSavesOnlyTrailingValues) {
    TParamCollection t;
    TKsMemoryStream expected;
    WriteInt(expected, 0);      // count
    WriteInt(expected, 50);     // @TextDelay
    WriteString(expected, "");  // @Cursor
    WriteString(expected, "");  // @SelStr
    WriteInt(expected, 0);      // @SelIndex
    WriteString(expected, "");  // @Temp name
    EXPECT_EQ(saveVariables(t), expected.Data());
}

TEST(ParamStream, RoundTripOfGameVariablesAndStatus) {
    TParamCollection a;
    fill(a);
    std::vector<uint8_t> vars = saveVariables(a);
    TKsMemoryStream status;
    a.SaveStatus(status);

    TParamCollection b;
    b.CreateVariable("old", PT_INT, vsGlobal);
    TKsMemoryStream st(status.Data());
    b.LoadStatus(st);
    loadVariables(b, vars, 140);
    EXPECT_EQ(b.Find("old"), nullptr);                       // the load replaced the game variables
    EXPECT_EQ(b.Find("i")->Value()->AsInteger(), -5);
    EXPECT_EQ(b.Find("f")->Value()->DimCount(), 2);
    EXPECT_EQ(b.Find("f")->Value()->GetFloatAt(3), 0.1L);    // bit-exact real
    EXPECT_TRUE(b.Find("b")->Value()->AsBoolean());
    EXPECT_EQ(b.Find("s")->Value()->GetStringAt(1), std::string("a\0b", 3));
    EXPECT_EQ(b.Find("st")->Value()->AsString(), "kept");
    EXPECT_EQ(b.Find("st")->Status, 1);
    b.CurrentDepth = 2;
    auto* loc = b.Find("loc");
    ASSERT_NE(loc, nullptr);
    EXPECT_EQ(loc->Local, 1);
    EXPECT_EQ(loc->Owner, 2);
    EXPECT_EQ(b.TextDelay, 33);
    EXPECT_EQ(b.Cursor, "hand.cur");
    EXPECT_EQ(b.SelStr, "choice");
    EXPECT_EQ(b.SelIndex, 2);
    EXPECT_EQ(b.TempName, "i");
    // Saving again gives the same block (the written order reverses the
    // table order, and loading adds in written order).
    b.CurrentDepth = 0;
    TParamCollection c;
    loadVariables(c, saveVariables(b), 140);
    EXPECT_EQ(saveVariables(c), vars);
}

TEST(ParamStream, VersionRulesOfTheTrailingValues) {
    struct Case { int32_t version; bool sel; bool history; bool temp; };
    const Case cases[] = {
        {100, false, false, false}, {102, false, false, false}, {103, true, false, false},
        {112, true, false, false},  {113, true, true, false},   {120, true, true, false},
        {121, true, true, true},    {134, true, true, true},    {135, true, false, true},
    };
    for (const Case& c : cases) {
        TKsMemoryStream s;
        WriteInt(s, 0);
        WriteInt(s, 70);
        WriteString(s, "cur");
        if (c.sel) {
            WriteString(s, "sel");
            WriteInt(s, 4);
        }
        if (c.history)
            for (int i = 1; i <= 6; ++i)
                WriteInt(s, i * 10);
        if (c.temp)
            WriteString(s, "tmp");
        TParamCollection t;
        std::array<int32_t, 6> history{};
        bool gotHistory = false;
        t.OnLegacyHistorySettings = [&](const std::array<int32_t, 6>& h) { history = h; gotHistory = true; };
        s.SetPosition(0);
        t.LoadVariables(s, c.version);
        SCOPED_TRACE(c.version);
        EXPECT_EQ(s.Remaining(), 0);
        EXPECT_EQ(t.TextDelay, 70);
        EXPECT_EQ(t.Cursor, "cur");
        EXPECT_EQ(t.SelStr, c.sel ? "sel" : "");
        EXPECT_EQ(gotHistory, c.history);
        if (c.history) {
            EXPECT_EQ(history[5], 60);
        }
        EXPECT_EQ(t.TempName, c.temp ? "tmp" : "");
    }
}

TEST(ParamStream, TruncatedOrBadDataFailsAndLeavesTableAlone) {
    TParamCollection a;
    fill(a);
    std::vector<uint8_t> full = saveVariables(a);
    for (size_t n = 0; n < full.size(); ++n) {
        TParamCollection b;
        b.CreateVariable("keep", PT_INT, vsGlobal)->Value()->SetInteger(1);
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<ptrdiff_t>(n));
        EXPECT_THROW(loadVariables(b, cut, 140), EZunoError) << n;
        ASSERT_NE(b.Find("keep"), nullptr) << n;
        EXPECT_EQ(b.Count(), kSystemVarCount + 1);
    }
    // Corrupt fields: a huge count, an unknown type, a dimension list that
    // does not match the element count, a negative size.
    auto corrupt = [](auto&& write) {
        TKsMemoryStream s;
        write(s);
        TParamCollection t;
        s.SetPosition(0);
        EXPECT_THROW(t.LoadVariables(s, 140), EZunoError);
    };
    corrupt([](TStream& s) { WriteInt(s, 0x7FFFFFFF); });
    corrupt([](TStream& s) { WriteInt(s, 1); WriteByte(s, 9); WriteString(s, "x"); WriteInt(s, 0); WriteInt(s, 1); WriteInt(s, 0); for (int i = 0; i < 8; ++i) WriteByte(s, 0); });
    corrupt([](TStream& s) { WriteInt(s, 1); WriteByte(s, PT_INT); WriteString(s, "x"); WriteInt(s, 1); WriteInt(s, 3); WriteInt(s, 2); WriteInt(s, 0); WriteInt(s, 0); for (int i = 0; i < 20; ++i) WriteByte(s, 0); });
    corrupt([](TStream& s) { WriteInt(s, 1); WriteByte(s, PT_INT); WriteString(s, "x"); WriteInt(s, 1); WriteInt(s, -1); WriteInt(s, 0); for (int i = 0; i < 20; ++i) WriteByte(s, 0); });
}

TEST(ParamStream, NamelessRecordIsDropped) {
    TKsMemoryStream s;
    WriteInt(s, 1);
    WriteByte(s, PT_INT);
    WriteString(s, "");
    TParamInt v;
    v.SaveToStream(s);
    WriteByte(s, 0);
    WriteByte(s, 0);
    WriteInt(s, -1);
    WriteByte(s, 0);
    WriteInt(s, 50);
    WriteString(s, "");
    TParamCollection t;
    s.SetPosition(0);
    t.LoadVariables(s, 100);
    EXPECT_EQ(t.Count(), kSystemVarCount);
}

TEST(ParamStream, ReferencesAreWrittenAfterTheirTargets) {
    TParamCollection a;
    auto* ref = a.AddNamed(PT_NONE, "r");                   // added first, refers to a later variable
    auto* target = a.CreateVariable("arr", PT_INT, vsGlobal);
    target->Value()->SetDims({3});
    target->Value()->SetIntegerAt(2, 77);
    auto* rv = static_cast<TParamVar*>(ref->Value());
    rv->SetVarName("arr");
    rv->Bind(target);
    rv->ElementOffset = 2;
    // A reference to a status variable (never in the block) still ends the scan.
    auto* st = a.CreateVariable("st", PT_INT, vsStatus);
    auto* r2 = a.AddNamed(PT_NONE, "r2");
    static_cast<TParamVar*>(r2->Value())->Bind(st);

    TParamCollection b;
    loadVariables(b, saveVariables(a), 140);
    auto* lr = b.Find("r");
    ASSERT_NE(lr, nullptr);
    ASSERT_NE(b.Find("arr"), nullptr);
    EXPECT_LT(b.Find("arr")->Index(), lr->Index());
    EXPECT_EQ(lr->Value()->BoundItem(), b.Find("arr"));
    EXPECT_EQ(lr->Value()->AsInteger(), 77);
    EXPECT_EQ(lr->ValueType(), PT_NONE);
    EXPECT_NE(b.Find("r2"), nullptr);
}
