// The expression compiler: the operation lists it builds, its errors, and the
// stored form it writes.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "expr/TBuildZunoParser.h"
#include "expr/ZunoOpCode.h"

namespace zuno {
namespace {

// "ocTo:a=____3; ..." for the operations of one compiled text.
std::string compileToText(const std::string& sjisSource) {
    TBuildZunoParser b;
    b.Parse(sjisSource);
    std::string out;
    for (int i = 0; i < b.Count(); ++i) {
        const TBuildOpeData& op = b.Items(i);
        if (i)
            out += "; ";
        out += opCodeName(op.Code) + ":" + op.ResultName + "=";
        for (size_t k = 0; k < op.Operands.size(); ++k)
            out += (k ? "," : "") + op.Operands[k];
    }
    return out;
}

std::string compileError(const std::string& sjisSource) {
    try {
        TBuildZunoParser b;
        b.Parse(sjisSource);
        TKsMemoryStream s;
        b.SaveToStream(s);
    } catch (const EZunoError& e) {
        return e.what();
    }
    return "(compiled)";
}

struct CompileCase {
    const char* source;     // UTF-8
    const char* ops;
};

TEST(ExprCompiler, BuildsOperationLists) {
    const CompileCase cases[] = {
        // The lifting order: literals, calls, element references, groups.
        {"a = b + 2 * f(k, \"x\")",
         "ocTo:____0=\"x\"; ocFunc:____1=f,k,____0; ocMul:____2=2,____1; ocPlus:____3=b,____2; ocTo:a=____3"},
        {"a = b * (k + 1)", "ocPlus:____1=k,1; ocMul:____2=b,____1; ocTo:a=____2"},
        {"x", "ocTo:____arg=x"},
        {"a = 1", "ocTo:a=1"},
        // Precedence and left associativity.
        {"a = 1 + 2 * 3", "ocMul:____0=2,3; ocPlus:____1=1,____0; ocTo:a=____1"},
        {"10 - 4 - 3", "ocMinus:____0=10,4; ocMinus:____1=____0,3; ocTo:____arg=____1"},
        {"x == 1 & y == 2", "ocEqual:____0=x,1; ocEqual:____1=y,2; ocAnd:____2=____0,____1; ocTo:____arg=____2"},
        {"s ++ t == u", "ocEqual:____0=t,u; ocComboStr:____1=s,____0; ocTo:____arg=____1"},
        {"1 << 2 + 1", "ocPlus:____0=2,1; ocShiftL:____1=1,____0; ocTo:____arg=____1"},
        {"a | b ^ c & d", "ocAnd:____0=c,d; ocXor:____1=b,____0; ocOr:____2=a,____1; ocTo:____arg=____2"},
        {"a<>b", "ocNEqual:____0=a,b; ocTo:____arg=____0"},
        {"a>=b", "ocEBig:____0=a,b; ocTo:____arg=____0"},
        {"a<=b", "ocESmall:____0=a,b; ocTo:____arg=____0"},
        {"a>>b", "ocShiftR:____0=a,b; ocTo:____arg=____0"},
        {"a % b", "ocMod:____0=a,b; ocTo:____arg=____0"},
        {"a / b", "ocDiv:____0=a,b; ocTo:____arg=____0"},
        // Signs.
        {"-x", "ocMinus:____0=0,x; ocTo:____arg=____0"},
        {"+x", "ocPlus:____0=0,x; ocTo:____arg=____0"},
        {"a = -x", "ocMinus:____0=0,x; ocTo:a=____0"},
        {"a * -x", "ocMinus:____0=0,x; ocMul:____1=a,____0; ocTo:____arg=____1"},
        {"a = --5", "ocMinus:____0=0,5; ocMinus:____1=0,____0; ocTo:a=____1"},
        {"a - +b", "ocMinus:____0=a,b; ocTo:____arg=____0"},
        // Calls: innermost first, siblings right to left, arguments that are
        // expressions get their own temporaries; copies between temporaries vanish.
        {"(f(x))", "ocFunc:____0=f,x; ocTo:____arg=____0"},
        {"f(x) + g(y)", "ocFunc:____0=g,y; ocFunc:____1=f,x; ocPlus:____2=____1,____0; ocTo:____arg=____2"},
        {"f(g(x))", "ocFunc:____0=g,x; ocFunc:____1=f,____0; ocTo:____arg=____1"},
        {"f(a+1, (b))", "ocPlus:____2=a,1; ocFunc:____0=f,____2,b; ocTo:____arg=____0"},
        {"f(-1)", "ocMinus:____2=0,1; ocFunc:____0=f,____2; ocTo:____arg=____0"},
        {"f()", "ocFunc:____0=f; ocTo:____arg=____0"},
        {"f( , )", "ocFunc:____0=f,,; ocTo:____arg=____0"},
        {"f (x)", "ocFunc:____0=f,x; ocTo:____arg=____0"},
        // An element reference as an argument is an expression: the call receives a copy.
        {"f(a[1, 2], 3)", "ocDimTo:____d_2=a,1,2; ocTo:____1=____d_2; ocFunc:____0=f,____1,3; ocTo:____arg=____0"},
        // Element references.
        {"a[1, 2]", "ocDimTo:____d_0=a,1,2; ocTo:____arg=____d_0"},
        {"a[b[1]]", "ocDimTo:____d_0=b,1; ocDimTo:____d_1=a,____d_0; ocTo:____arg=____d_1"},
        {"a[i + 1] = 5", "ocPlus:____2=i,1; ocDimTo:____d_0=a,____2; ocTo:____d_0=5"},
        {"a [1]", "ocDimTo:____d_0=a,1; ocTo:____arg=____d_0"},
        // String literals: \" and \\ stand for the character, \n for CR LF.
        {"\"a\\\"b\"", "ocTo:____0=\"a\"b\"; ocTo:____arg=____0"},
        {"\"a\\\\b\\n\"", "ocTo:____0=\"a\\b\r\n\"; ocTo:____arg=____0"},
        {"\"a\\tb\"", "ocTo:____0=\"a\\tb\"; ocTo:____arg=____0"},
        {"\"a+b(\" ++ \")\"", "ocTo:____0=\"a+b(\"; ocTo:____1=\")\"; ocComboStr:____2=____0,____1; ocTo:____arg=____2"},
        {"\"abc", "ocTo:____arg=\"abc"},
        // Blank text.
        {"", "ocTo:____arg="},
    };
    for (const CompileCase& c : cases)
        EXPECT_EQ(compileToText(sjis(c.source)), sjis(c.ops)) << c.source;
}

TEST(ExprCompiler, ScansDoubleByteCharacters) {
    // ソ is 0x83 0x5C: its trail byte is a backslash and must not escape the quote.
    const std::string so = "\x83\x5C";
    EXPECT_EQ(compileToText("s = \"" + so + "\""), "ocTo:____0=\"" + so + "\"; ocTo:s=____0");
    // ア is 0x83 0x41: its trail byte is the letter A, not the end of a function name.
    const std::string a = "\x83\x41";
    EXPECT_EQ(compileToText(a + "x[1]"), "ocDimTo:____d_0=" + a + "x,1; ocTo:____arg=____d_0");
    // A name that ends in a double-byte character is no call: the group is a temporary.
    EXPECT_EQ(compileToText(a + "(1)"), "ocTo:____0=1; ocTo:____arg=" + a + "____0");
}

TEST(ExprCompiler, RejectsBadSyntax) {
    const struct {
        const char* source;
        const char* message;
    } cases[] = {
        {"a = b = d", "構文エラー"},
        {"a[1][2]", "構文エラー"},
        {"a + [1]", "構文エラー"},
        {"a[]", "配列の添え字が不正です"},
        {"a[ ]", "配列の添え字が不正です"},
        {"(a", "構文エラー"},
        {"a)", "構文エラー"},
        {")a(", "構文エラー"},
        {"f(a", "構文エラー"},
        {"a[1", "構文エラー"},
        {"a]", "構文エラー"},
        {"f(a[1)]", "構文エラー"},
        {"a +", "構文エラー"},
        {"* a", "構文エラー"},
        {"= 5", "構文エラー"},
        {"a = ", "構文エラー"},
        {"()", "構文エラー"},
        {"a = - -", "構文エラー"},
        {"a = = b", "構文エラー"},
        {"a + * b", "構文エラー"},
        {"a = 1 == ", "構文エラー"},
        // Name and argument count are checked when the compiled form is written.
        {"Foo(1)", "\"Foo\" 関数名がありません"},
        {"inttostr(1)", "\"inttostr\" 関数名がありません"},
        {"IntToStr(1, 2, 3)", "IntToStr 引数の数が不正です"},
        {"IntToStr()", "IntToStr 引数の数が不正です"},
        {"x = Length(IntToHex(1))", "IntToHex 引数の数が不正です"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compileError(sjis(c.source)), c.message) << c.source;
    EXPECT_EQ(compileError("SetArray(a, 1, 2, 3, 4, 5, 6)"), "(compiled)");  // unlimited maximum
    EXPECT_EQ(compileError("DBInsert()"), "(compiled)");
}

TEST(ExprCompiler, UnknownFunctionFailsOnlyWhenWritten) {
    TBuildZunoParser b;
    ASSERT_NO_THROW(b.Parse("Foo(1)"));
    TKsMemoryStream s;
    EXPECT_THROW(b.SaveToStream(s), EZunoError);
    EXPECT_EQ(s.GetSize(), 0) << "nothing is written for a failing list";
}

TEST(ExprCompiler, OperandKinds) {
    const struct {
        const char* text;
        uint8_t kind;
    } cases[] = {
        {"123", okInteger}, {"0", okInteger}, {"1.5", okFloat}, {"1e3", okFloat}, {"99999999999", okFloat},
        {"TRUE", okFlag}, {"FALSE", okFlag}, {"true", okVariable}, {"\"123\"", okString}, {"\"\"", okString},
        {"\"", okVariable}, {"abc", okVariable}, {"", okVariable}, {"1.5.2", okVariable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(operandKindOf(c.text), c.kind) << c.text;
}

TEST(ExprCompiler, WritesTheStoredForm) {
    TBuildZunoParser b;
    b.Parse("a = IntToStr(7, 1.5) ++ TRUE ++ \"q\"");
    TKsMemoryStream s;
    b.SaveToStream(s);
    s.SetPosition(0);
    ASSERT_EQ(ReadInt(s), 5);
    // ocTo ____0 = "q"
    EXPECT_EQ(ReadByte(s), ocTo);
    EXPECT_EQ(ReadString(s), "____0");
    EXPECT_EQ(ReadInt(s), 1);
    EXPECT_EQ(ReadByte(s), okString);
    EXPECT_EQ(ReadString(s), "q");
    // ocFunc ____1 = IntToStr(7, 1.5): count without the name, then the function number
    EXPECT_EQ(ReadByte(s), ocFunc);
    EXPECT_EQ(ReadString(s), "____1");
    EXPECT_EQ(ReadInt(s), 2);
    EXPECT_EQ(ReadByte(s), 0);      // IntToStr is function 0
    EXPECT_EQ(ReadByte(s), okInteger);
    EXPECT_EQ(ReadInt(s), 7);
    EXPECT_EQ(ReadByte(s), okFloat);
    EXPECT_EQ(ReadExtended(s).toDouble(), 1.5);
    // ocComboStr ____2 = ____1, TRUE
    EXPECT_EQ(ReadByte(s), ocComboStr);
    EXPECT_EQ(ReadString(s), "____2");
    EXPECT_EQ(ReadInt(s), 2);
    EXPECT_EQ(ReadByte(s), okVariable);
    EXPECT_EQ(ReadString(s), "____1");
    EXPECT_EQ(ReadByte(s), okFlag);
    EXPECT_EQ(ReadByte(s), 1);
    // ocComboStr ____3 = ____2, ____0 ; ocTo a = ____3
    EXPECT_EQ(ReadByte(s), ocComboStr);
    EXPECT_EQ(ReadString(s), "____3");
    EXPECT_EQ(ReadInt(s), 2);
    EXPECT_EQ(ReadByte(s), okVariable);
    EXPECT_EQ(ReadString(s), "____2");
    EXPECT_EQ(ReadByte(s), okVariable);
    EXPECT_EQ(ReadString(s), "____0");
    EXPECT_EQ(ReadByte(s), ocTo);
    EXPECT_EQ(ReadString(s), "a");
    EXPECT_EQ(ReadInt(s), 1);
    EXPECT_EQ(ReadByte(s), okVariable);
    EXPECT_EQ(ReadString(s), "____3");
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(ExprCompiler, ParseAppendsAndClearResets) {
    TBuildZunoParser b;
    b.Parse("a = 1 + 2");
    b.Parse("b = 3 + 4");
    ASSERT_EQ(b.Count(), 4);
    EXPECT_EQ(b.Items(2).ResultName, "____1") << "the temporary counter runs on";
    b.Clear();
    b.Parse("c = 5 + 6");
    EXPECT_EQ(b.Items(0).ResultName, "____0");
}

} // namespace
} // namespace zuno
