// The evaluator: operations, typing of temporaries, conversions, element
// references, calls, silent failures and the compile-and-run routine.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"

namespace zuno {
namespace {

class ExprEval : public ::testing::Test {
protected:
    TParamCollection params;
    TSysFuncMan funcs{params};

    void SetUp() override {
        installCalc(funcs);
        declare("i", PT_INT);
        declare("r", PT_FLOAT);
        declare("f", PT_BOOL);
        declare("s", PT_STR);
        declare("a", PT_INT, {5});
        declare("m", PT_INT, {2, 3});
        declare("t", PT_STR, {3});
    }
    void TearDown() override { ParserHook(nullptr); }
    static void ParserHook(std::function<uint8_t(uint8_t)> f) { TZunoParser::PropertyType = std::move(f); }

    void declare(const char* name, uint8_t type, std::vector<int32_t> dims = {}) {
        TParamCollectionItem* item = params.CreateVariable(name, type, vsGlobal);
        if (!dims.empty())
            item->Value()->SetDims(dims);
    }

    // "TYPE:VALUE" of the expression's result (UTF-8), or "none".
    std::string eval(const std::string& utf8) {
        std::unique_ptr<TZunoParser> p = compileExpression(sjis(utf8));
        p->Execute(funcs);
        const TCustomParam* r = p->Result();
        return r ? std::to_string(r->ParamType()) + ":" + cp932ToUtf8(r->AsString()) : "none";
    }

    std::string var(const char* name, int element = -1) {
        TParamCollectionItem* item = params.Find(name);
        if (!item)
            return "(missing)";
        TCustomParam* v = item->Value();
        return cp932ToUtf8(element < 0 ? v->AsString() : v->GetStringAt(element));
    }

    int temporariesLeft() const {
        int n = 0;
        for (int k = 0; k < params.Count(); ++k)
            n += params.Items(k)->IsTemporary();
        return n;
    }
};

struct EvalCase {
    const char* expr;
    const char* result;     // "TYPE:VALUE" or "none"
};

TEST_F(ExprEval, ArithmeticAndTypingOfTemporaries) {
    const EvalCase cases[] = {
        {"2 + 3 * 4", "1:14"},
        {"(2 + 3) * 4", "1:20"},
        {"10 - 4 - 3", "1:3"},
        {"7 / 2", "1:3"},
        {"-7 / 2", "1:-3"},
        {"7.0 / 2", "2:3.5"},
        {"7 / 2.0", "1:3"},            // operand 0 decides: int32
        {"-1.5", "1:-1"},              // 0 - 1.5 computed as int32 0 - 1
        {"0.0 - 1.5", "2:-1.5"},
        {"-7 % 2", "1:-1"},
        {"7 % -2", "1:1"},
        {"2147483647 + 1", "1:-2147483648"},
        {"65536 * 65536", "1:0"},
        {"1 >> 1", "1:0"},
        {"-1 >> 28", "1:15"},
        {"1 << 33", "1:2"},
        {"1 << -1", "1:-2147483648"},
        {"6 & 3 ^ 1 | 8", "1:11"},
        {"1 << 2 + 1", "1:8"},
        {"TRUE + TRUE", "1:2"},
        {"\"abc\" + 1", "4:1"},        // text temporary holding the int32 sum 0 + 1
        {"\"abc\" ++ 1", "4:abc1"},
        {"\"2\" + 3", "4:5"},
        {"1.5 + 1", "2:2.5"},
        {"0.1 + 0.2", "2:0.3"},
        {"1 ++ 2.5 ++ TRUE", "4:12.5TRUE"},
        {"x", "none"},                 // no such variable
        {"1 / 0", "none"},
        {"1.0 / 0", "none"},
        {"5 % 0", "none"},
        {"(0 - 2147483647 - 1) / -1", "none"},
        {"1e4000 * 1e4000", "none"},    // beyond the 80-bit range: the unit traps
    };
    for (const EvalCase& c : cases)
        EXPECT_EQ(eval(c.expr), c.result) << c.expr;
    EXPECT_EQ(temporariesLeft(), 0);
}

TEST_F(ExprEval, Comparisons) {
    const EvalCase cases[] = {
        {"\"10\" < \"9\"", "3:TRUE"},      // text order
        {"10 < \"9\"", "3:FALSE"},         // operand 0 int32: both as int32
        {"\"B\" < \"a\"", "3:TRUE"},       // byte order, case-sensitive
        {"\"abc\" == \"ABC\"", "3:FALSE"},
        {"\"abc\" <> \"abd\"", "3:TRUE"},
        {"1.5 > 1", "3:TRUE"},
        {"1 > 1.5", "3:FALSE"},            // int32 1 > int32 1
        {"1 >= 1.5", "3:TRUE"},
        {"2.5 <= 2.5", "3:TRUE"},
        {"TRUE > FALSE", "3:TRUE"},
        {"FALSE < 5", "3:TRUE"},
        {"1 + 1 == 2", "3:TRUE"},
        {"1 == 1 ++ 2", "4:TRUE2"},
        {"1 == 1 & 2 == 3", "1:0"},        // & works on int32
        {"1 == 1 | 2 == 3", "1:1"},
    };
    for (const EvalCase& c : cases)
        EXPECT_EQ(eval(c.expr), c.result) << c.expr;
}

TEST_F(ExprEval, AssignmentsConvertToTheVariablesType) {
    const struct {
        const char* expr;
        const char* variable;
        const char* value;
    } cases[] = {
        {"i = 2.9", "i", "2"},
        {"i = -2.9", "i", "-2"},
        {"i = \"12\"", "i", "12"},
        {"i = \"x\"", "i", "0"},
        {"i = TRUE", "i", "1"},
        {"r = 3", "r", "3"},
        {"r = 1 / 4.0", "r", "0"},          // int32 temporary: 1 / 4 = 0
        {"r = 1.0 / 4", "r", "0.25"},
        {"f = \"TRUE\"", "f", "TRUE"},
        {"f = \"true\"", "f", "FALSE"},
        {"f = 2", "f", "TRUE"},
        {"s = 1.5", "s", "1.5"},
        {"s = 1 == 1", "s", "TRUE"},
        {"s = \"a\\\"b\\n\"", "s", "a\"b\r\n"},
        {"i = 1.5 + 1", "i", "2"},
        {"s = \"日本\" ++ \"語\"", "s", "日本語"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(eval(c.expr), "none") << c.expr << ": an assignment has no value";
        EXPECT_EQ(var(c.variable), c.value) << c.expr;
    }
}

TEST_F(ExprEval, FailuresAreSilentAndKeepEarlierEffects) {
    eval("i = 7");
    EXPECT_EQ(eval("i = 1 / 0"), "none");
    EXPECT_EQ(var("i"), "7");
    // Calc runs first (it is lifted as a call), then the division fails.
    EXPECT_EQ(eval("i = Calc(\"r = 9\") ++ 1 / 0"), "none");
    EXPECT_EQ(var("r"), "9");
    EXPECT_EQ(var("i"), "7");
    EXPECT_EQ(eval("i = nope + 1"), "none");
    EXPECT_EQ(eval("nope = 1"), "none");
    EXPECT_EQ(temporariesLeft(), 0);

    std::unique_ptr<TZunoParser> p = compileExpression("i = 1 / 0");
    p->Execute(funcs);
    EXPECT_FALSE(p->LastError().empty());
    EXPECT_EQ(p->Result(), nullptr);
}

TEST_F(ExprEval, ElementReferences) {
    const struct {
        const char* expr;
        const char* result;
    } steps[] = {
        {"a[2] = 7", "none"},
        {"a[2]", "1:7"},
        {"a[2] + a[2] * 2", "1:21"},
        {"a[1 + 1] * 2", "1:14"},
        {"a[a[0] + 2]", "1:7"},
        {"a", "1:0"},                   // element 0
        {"a[5]", "none"},               // beyond the last element
        {"a[-1]", "none"},              // negative: fails at the access
        {"a[1, 1]", "none"},            // wrong number of indexes
        {"i[0]", "1:0"},                // a scalar is an array of one
        {"i[1]", "none"},
        {"m[1, 2] = 9", "none"},
        {"m[1, 2]", "1:9"},
        {"m[0, 5]", "1:9"},             // only the flat offset is checked
        {"m[2, 0]", "none"},
        {"m[1]", "none"},
        {"t[1] = 5 * 5", "none"},       // converted to the element type
        {"t[1] ++ \"!\"", "4:25!"},
        {"t[1] == \"25\"", "3:TRUE"},
        {"GetArraySize(m)", "1:6"},
    };
    for (const auto& st : steps)
        EXPECT_EQ(eval(st.expr), st.result) << st.expr;
    EXPECT_EQ(var("a", 2), "7");
    EXPECT_EQ(var("m", 5), "9");
    EXPECT_EQ(var("t", 1), "25");
    EXPECT_EQ(temporariesLeft(), 0);

    // A scalar store into an array variable turns it back into a scalar.
    EXPECT_EQ(eval("a = 3"), "none");
    EXPECT_EQ(params.Find("a")->Value()->Count(), 1);
    EXPECT_EQ(var("a"), "3");
}

TEST_F(ExprEval, FunctionCalls) {
    const EvalCase cases[] = {
        {"IntToStr(7, 3)", "4:007"},
        {"IntToStr(-7, 3)", "4:-007"},
        {"Length(\"abc\" ++ \"de\")", "1:5"},
        {"Length(IntToStr(123)) * 2", "1:6"},
        {"Copy(\"abcdef\", 1 + 2)", "4:cdef"},
        {"Max(Min(3, 9), 2)", "1:3"},
        {"Not(1 == 2)", "3:TRUE"},
        {"Calc(\"\")", "4:"},
        {"Calc(\"i = 1 +\")", "4:"},
        {"Calc(\"i = 41 + 1\")", "4:TRUE"},
        {"i", "1:42"},
        {"Calc(\"i = 1 / 0\")", "4:TRUE"},  // compiled and ran; the evaluation itself failed
        {"i", "1:42"},
    };
    for (const EvalCase& c : cases)
        EXPECT_EQ(eval(c.expr), c.result) << c.expr;
}

TEST_F(ExprEval, SiblingCallsRunRightToLeft) {
    EXPECT_EQ(eval("Calc(\"i = 1\") ++ Calc(\"i = 2\")"), "4:TRUETRUE");
    EXPECT_EQ(var("i"), "1") << "the left call runs last";
    // Innermost first: "i = i + 3" runs before everything else. Its temporary
    // ____0 is the outer evaluation's ____0 (the text "i = i * 10"), which it
    // overwrites with "4"; so the left call finally runs the text "4".
    EXPECT_EQ(eval("Calc(\"i = i * 10\") ++ Calc(Calc(\"i = i + 3\") ++ \"i = i - 1\")"), "4:TRUETRUE");
    EXPECT_EQ(var("i"), "4");
}

TEST_F(ExprEval, VariableArgumentsAreWrittenBack) {
    eval("s = \"hello\"");
    EXPECT_EQ(eval("Delete(s, 2)"), "4:");
    EXPECT_EQ(var("s"), "h");
    // An element given to a call is an expression: the call receives a copy.
    eval("t[0] = \"hello\"");
    eval("Delete(t[0], 2)");
    EXPECT_EQ(var("t", 0), "hello");
    eval("SetArray(s, 2, 2)");
    EXPECT_EQ(params.Find("s")->Value()->Count(), 4);
}

TEST_F(ExprEval, CalcCannotRecurseWithoutEnd) {
    eval("s = \"Calc(s)\"");
    EXPECT_EQ(eval("Calc(s)"), "4:TRUE");
    EXPECT_EQ(temporariesLeft(), 0);
}

TEST_F(ExprEval, GetPropResultHasThePropertysType) {
    funcs.SetFunction(2, [](TSysFuncMan&, TCustomParam& R, const TParamArgs&) { R.SetString("12"); });
    EXPECT_EQ(eval("GetProp(\"obj\", 5)"), "4:12");
    ParserHook([](uint8_t prop) { return prop == 5 ? PT_INT : PT_STR; });
    EXPECT_EQ(eval("GetProp(\"obj\", 5)"), "1:12");
    EXPECT_EQ(eval("GetProp(\"obj\", 6)"), "4:12");
    EXPECT_EQ(eval("GetProp(\"obj\", 163)"), "none");
    EXPECT_EQ(eval("GetProp(\"obj\", 256 + 5)"), "1:12");  // the number is taken as a byte
}

TEST_F(ExprEval, NamesFindTheLocalVariableOfTheCurrentDepth) {
    params.CreateVariable("V", PT_INT, vsGlobal)->Value()->SetInteger(1);
    params.CurrentDepth = 2;
    params.CreateVariable("v", PT_INT, vsLocal)->Value()->SetInteger(2);
    EXPECT_EQ(eval("v * 10"), "1:20");
    EXPECT_EQ(eval("v = 5"), "none");
    params.CurrentDepth = 1;
    EXPECT_EQ(eval("V * 10"), "1:10");
    params.CurrentDepth = 3;
    EXPECT_EQ(eval("v"), "1:1");
    params.CurrentDepth = 2;
    EXPECT_EQ(eval("v"), "1:5");
}

TEST_F(ExprEval, TemporariesOfAnOuterEvaluationAreShared) {
    // The inner evaluation finds the outer "____1" (the Calc result, a text)
    // and uses it with its type; it neither re-creates nor removes it.
    eval("i = 0");
    EXPECT_EQ(eval("Calc(\"i = (5 + 1) * 2\")"), "4:TRUE");
    EXPECT_EQ(var("i"), "12");
    EXPECT_EQ(temporariesLeft(), 0);
}

} // namespace
} // namespace zuno
