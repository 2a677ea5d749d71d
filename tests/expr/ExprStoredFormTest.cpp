// The compiled-expression record: round trips through the loaded parser and
// the loader's handling of damaged data.
#include <gtest/gtest.h>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "expr/TBuildZunoParser.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"
#include "expr/ZunoOpCode.h"

namespace zuno {
namespace {

std::vector<uint8_t> compiledBytes(const std::string& source) {
    TBuildZunoParser b;
    b.Parse(source);
    TKsMemoryStream s;
    b.SaveToStream(s);
    return s.Data();
}

std::vector<uint8_t> savedBytes(const TZunoParser& p) {
    TKsMemoryStream s;
    p.SaveToStream(s);
    return s.Data();
}

const char* const kSources[] = {
    "a = b + 2 * IntToStr(k, \"x\")",
    "x = -1.25e-3 * (y - 0.5) / 3",
    "s = \"a\\\"b\\n\" ++ TRUE ++ FALSE",
    "m[i + 1, 2] = Length(t[0]) % 7",
    "SetArray(arr, 2, 3)",
    "DBInsert()",
    "f = (1 <> 2) & (3 >= 4) | (5 <= 6) ^ (7 > 8)",
    "-2147483647 - 1 << 3 >> 1",
    "\"\x83\x5C\" ++ \"\x93\xFA\x96\x7B\"",
    "",
};

TEST(ExprStoredForm, RoundTripsByteForByte) {
    for (const char* source : kSources) {
        std::vector<uint8_t> compiled = compiledBytes(source);
        TKsMemoryStream in(compiled);
        TZunoParser p;
        p.LoadFromStream(in);
        EXPECT_EQ(in.Remaining(), 0) << source;
        EXPECT_EQ(savedBytes(p), compiled) << source;

        TZunoParser copy;
        copy.CopyFrom(p);
        EXPECT_EQ(savedBytes(copy), compiled) << source;
    }
}

TEST(ExprStoredForm, CopiesRunIndependently) {
    TParamCollection params;
    TSysFuncMan funcs(params);
    params.CreateVariable("x", PT_INT, vsGlobal)->Value()->SetInteger(4);
    std::unique_ptr<TZunoParser> p = compileExpression("x * 10 + 1");
    TZunoParser copy;
    copy.CopyFrom(*p);
    p.reset();
    copy.Execute(funcs);
    ASSERT_NE(copy.Result(), nullptr);
    EXPECT_EQ(copy.Result()->AsInteger(), 41);
    copy.Execute(funcs);
    EXPECT_EQ(copy.Result()->AsInteger(), 41) << "a parser runs again with the same result";
}

TEST(ExprStoredForm, EveryTruncationFailsCleanly) {
    std::vector<uint8_t> full = compiledBytes(kSources[0]);
    for (size_t n = 0; n < full.size(); ++n) {
        TKsMemoryStream in(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)));
        TZunoParser p;
        EXPECT_THROW(p.LoadFromStream(in), EZunoError) << "prefix of " << n << " bytes";
        EXPECT_TRUE(p.Empty());
    }
}

TEST(ExprStoredForm, RejectsDamagedRecords) {
    auto load = [](const std::function<void(TStream&)>& write) {
        TKsMemoryStream s;
        write(s);
        s.SetPosition(0);
        TZunoParser p;
        p.LoadFromStream(s);
        return p.Count();
    };
    // A count far beyond what the stream holds is refused before anything is allocated.
    EXPECT_THROW(load([](TStream& s) { WriteInt(s, 0x7FFFFFFF); }), EZunoError);
    EXPECT_THROW(load([](TStream& s) { WriteInt(s, -1); }), EZunoError);
    // An operand count beyond the data, a negative one, an unknown operand kind.
    auto op = [](TStream& s, int32_t operands) {
        WriteInt(s, 1);
        WriteByte(s, ocTo);
        WriteString(s, "a");
        WriteInt(s, operands);
    };
    EXPECT_THROW(load([&](TStream& s) { op(s, 1000); WriteByte(s, okInteger); WriteInt(s, 1); }), EZunoError);
    EXPECT_THROW(load([&](TStream& s) { op(s, -5); }), EZunoError);
    EXPECT_THROW(load([&](TStream& s) { op(s, 1); WriteByte(s, 9); WriteInt(s, 0); }), EZunoError);
    // A text length beyond the data.
    EXPECT_THROW(load([&](TStream& s) { op(s, 1); WriteByte(s, okVariable); WriteInt(s, 1 << 30); }), EZunoError);
    EXPECT_EQ(load([](TStream& s) { WriteInt(s, 0); }), 0);
}

// Well-formed records that the compiler never writes still run without harm.
TEST(ExprStoredForm, OddRecordsFailSilently) {
    TParamCollection params;
    TSysFuncMan funcs(params);
    params.CreateVariable("a", PT_INT, vsGlobal);
    auto run = [&](const std::function<void(TStream&)>& write) {
        TKsMemoryStream s;
        write(s);
        s.SetPosition(0);
        TZunoParser p;
        p.LoadFromStream(s);
        p.Execute(funcs);
        return p.LastError();
    };
    auto header = [](TStream& s, uint8_t code, const char* result, int32_t operands) {
        WriteInt(s, 1);
        WriteByte(s, code);
        WriteString(s, result);
        WriteInt(s, operands);
    };
    // A binary operation with one operand.
    EXPECT_FALSE(run([&](TStream& s) { header(s, ocPlus, "____0", 1); WriteByte(s, okInteger); WriteInt(s, 1); }).empty());
    // An unknown operation code into a new temporary names the operation.
    EXPECT_NE(run([&](TStream& s) { header(s, 77, "____0", 0); }).find("oc77"), std::string::npos);
    // An unknown code into an existing variable does nothing.
    EXPECT_TRUE(run([&](TStream& s) { header(s, 77, "a", 0); }).empty());
    // A function number beyond the table, and a call with too few arguments.
    EXPECT_FALSE(run([&](TStream& s) { header(s, ocFunc, "____0", 0); WriteByte(s, 200); }).empty());
    EXPECT_FALSE(run([&](TStream& s) { header(s, ocFunc, "____0", 0); WriteByte(s, 0); }).empty());
    // An element reference to a literal name that is no variable.
    EXPECT_FALSE(run([&](TStream& s) {
        header(s, ocDimTo, "____d_0", 2);
        WriteByte(s, okInteger); WriteInt(s, 3);
        WriteByte(s, okInteger); WriteInt(s, 0);
    }).empty());
    int temporaries = 0;
    for (int k = 0; k < params.Count(); ++k)
        temporaries += params.Items(k)->IsTemporary();
    EXPECT_EQ(temporaries, 0);
}

} // namespace
} // namespace zuno
