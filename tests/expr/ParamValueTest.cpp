// Value objects: arrays, dimensions, copies, references.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TCustomParam.h"
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

TEST(ParamValue, NewValuesAreOneElementScalars) {
    for (uint8_t t = PT_INT; t <= PT_STR; ++t) {
        auto v = TCustomParam::CreateParam(t);
        EXPECT_EQ(v->Count(), 1);
        EXPECT_EQ(v->DimCount(), 1);
        EXPECT_EQ(v->DimSize(0), 1);
        EXPECT_EQ(v->ParamType(), t);
        EXPECT_EQ(v->AsInteger(), 0);
    }
    EXPECT_NE(dynamic_cast<TParamVar*>(TCustomParam::CreateParam(0x80).get()), nullptr);  // masked to 0
    EXPECT_EQ(TCustomParam::CreateParam(5), nullptr);
    EXPECT_EQ(TCustomParam::CreateParam(0x85), nullptr);
}

TEST(ParamValue, ScalarStoreTurnsArrayIntoScalar) {
    TParamInt a;
    a.SetDims({10});
    a.SetIntegerAt(9, 5);
    EXPECT_EQ(a.Count(), 10);
    a.SetInteger(7);
    EXPECT_EQ(a.Count(), 1);
    EXPECT_EQ(a.DimCount(), 1);
    EXPECT_EQ(a.AsInteger(), 7);
}

TEST(ParamValue, ElementStoreKeepsArray) {
    TParamStr a;
    a.SetDims({2, 3});
    a.SetStringAt(5, "x");
    EXPECT_EQ(a.Count(), 6);
    EXPECT_EQ(a.DimCount(), 2);
    EXPECT_EQ(a.DimSize(0), 2);
    EXPECT_EQ(a.DimSize(1), 3);
    EXPECT_EQ(a.DimSize(2), 1);
    EXPECT_EQ(a.GetStringAt(5), "x");
    EXPECT_EQ(a.AsString(), "");        // scalar reads element 0
}

TEST(ParamValue, SetDimsKeepsFirstElementsAndValidates) {
    TParamInt a;
    a.SetDims({4});
    for (int i = 0; i < 4; ++i)
        a.SetIntegerAt(i, i + 1);
    a.SetDims({2, 3});
    EXPECT_EQ(a.Count(), 6);
    EXPECT_EQ(a.GetIntegerAt(3), 4);
    EXPECT_EQ(a.GetIntegerAt(4), 0);
    EXPECT_EQ(errorOf([&] { a.SetDims({2, 0, -1}); }), "配列の要素数[2,0,-1]が不正です");
    EXPECT_EQ(a.Count(), 6);            // unchanged after the failure
    EXPECT_EQ(errorOf([&] { a.SetDims({1 << 16, 1 << 16}); }), "配列の要素数[65536,65536]が不正です");
}

TEST(ParamValue, ElementIndexOutsideFails) {
    TParamFloat a;
    a.SetDims({3});
    EXPECT_EQ(errorOf([&] { a.GetFloatAt(3); }), "配列の添字が不正です");
    EXPECT_EQ(errorOf([&] { a.SetFloatAt(-1, 1); }), "配列の添字が不正です");
}

TEST(ParamValue, FillOnlyFromOwnType) {
    TParamInt a;
    a.SetDims({3});
    a.FillString("5");
    a.FillFloat(2.5);
    EXPECT_EQ(a.GetIntegerAt(2), 0);
    a.FillInteger(9);
    EXPECT_EQ(a.GetIntegerAt(0), 9);
    EXPECT_EQ(a.GetIntegerAt(2), 9);
}

TEST(ParamValue, CopyFromRequiresSameClass) {
    TParamInt a, b;
    b.SetDims({2});
    b.SetIntegerAt(1, 4);
    a.CopyFrom(b);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetIntegerAt(1), 4);
    TParamStr s;
    EXPECT_EQ(errorOf([&] { s.CopyFrom(b); }), "CopyMem:変数の型があいません");
}

TEST(ParamValue, AssignConvertedTakesDimensionsAndConverts) {
    TParamFloat src;
    src.SetDims({2, 2});
    src.SetFloatAt(3, 2.75);
    TParamStr dst;
    dst.AssignConverted(src);
    EXPECT_EQ(dst.DimCount(), 2);
    EXPECT_EQ(dst.GetStringAt(3), "2.75");
    TParamInt scalar;
    scalar.SetInteger(3);
    dst.AssignConverted(scalar);
    EXPECT_EQ(dst.Dims(), std::vector<int32_t>{1});     // a scalar source yields [1]
    EXPECT_EQ(dst.AsString(), "3");
}

TEST(ParamValue, IndexOfString) {
    TParamStr a;
    a.SetDims({3});
    a.SetStringAt(0, "Apple");
    a.SetStringAt(1, "banana");
    a.SetStringAt(2, "apple");
    struct Case { const char* key; bool cs; bool partial; int expected; };
    const Case cases[] = {
        {"apple", true, false, 2},  {"apple", false, false, 0}, {"APP", false, true, 0},
        {"APP", true, true, -1},    {"nan", true, true, 1},     {"cherry", false, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(a.IndexOfString(c.key, c.cs, c.partial), c.expected) << c.key;
}

TEST(ParamValue, ReferenceReadsAndWritesItsElement) {
    TParamCollection t;
    auto* arr = t.CreateVariable("arr", PT_INT, vsGlobal);
    arr->Value()->SetDims({4});
    arr->Value()->SetIntegerAt(2, 11);
    TParamVar ref("arr");
    EXPECT_EQ(ref.ParamType(), PT_NONE);        // unbound
    EXPECT_EQ(ref.Count(), 0);
    EXPECT_EQ(ref.AsInteger(), 0);
    ref.SetInteger(5);                          // ignored
    ref.Bind(arr);
    ref.ElementOffset = 2;
    EXPECT_EQ(ref.ParamType(), PT_INT);
    EXPECT_EQ(ref.Count(), 4);
    EXPECT_EQ(ref.AsString(), "11");
    ref.SetString("12");                        // an element store, the array stays
    EXPECT_EQ(arr->Value()->Count(), 4);
    EXPECT_EQ(arr->Value()->GetIntegerAt(2), 12);
    ref.ElementOffset = -1;
    EXPECT_EQ(errorOf([&] { ref.AsInteger(); }), "配列の添字が不正です");
    ref.Unbind();
    EXPECT_EQ(ref.Target(), nullptr);
}

TEST(ParamValue, ReferenceToItselfStaysUnbound) {
    TParamCollection t;
    auto* item = t.AddNamed(PT_NONE, "____d_0");
    auto* ref = static_cast<TParamVar*>(item->Value());
    ref->Bind(item);
    EXPECT_EQ(ref->Target(), nullptr);
    EXPECT_EQ(ref->AsInteger(), 0);
}
