// zunotool calc, run as a program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ProgramRunner.h"

namespace {

using zuno::test::TProgramResult;

TProgramResult runZunotool(const std::vector<std::string>& args) {
    return zuno::test::runProgram(zuno::test::builtProgram("zunotool"), args);
}

TEST(CalcCommand, EvaluatesAndDumpsVariables) {
    TProgramResult r = runZunotool({"calc", "-d", "a:int=5", "-d", "b[2,3]:str", "-d", "f:flag=TRUE", "-d",
                                    "r:float=2.5", "a * 2", "b[1, 2] = \"x\"", "a = ", "Foo(1)", "r / 2", "f", "nope"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "=\t1\t10\n"
              "=\tnone\n"
              "!\t構文エラー\n"
              "!\t\"Foo\" 関数名がありません\n"
              "=\t2\t1.25\n"
              "=\t3\tTRUE\n"
              "=\tnone\n"
              "a\t1\t5\n"
              "b\t4\t[2,3]\t\t\t\t\t\tx\n"
              "f\t3\tTRUE\n"
              "r\t2\t2.5\n");
}

TEST(CalcCommand, EscapesTextAndConvertsJapanese) {
    TProgramResult r = runZunotool({"calc", "-d", "s:str", "-d", "名前:str=値", "s = \"a\tb\\\\c\\n\"", "s", "名前 ++ \"！\""});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "=\tnone\n"
              "=\t4\ta\\tb\\\\c\\r\\n\n"
              "=\t4\t値！\n"
              "s\t4\ta\\tb\\\\c\\r\\n\n"
              "名前\t4\t値\n");
}

TEST(CalcCommand, SortsByNameBytesAndRunsInOrder) {
    TProgramResult r = runZunotool({"calc", "-d", "b:int", "-d", "B2:int", "-d", "a:int", "a = 1", "b = a + 1", "--",
                                    "-b"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "=\tnone\n=\tnone\n=\t1\t-2\nB2\t1\t0\na\t1\t1\nb\t1\t2\n");
}

TEST(CalcCommand, RejectsBadDeclarations) {
    EXPECT_EQ(runZunotool({"calc", "-d"}).status, 2);
    EXPECT_EQ(runZunotool({"calc", "-d", "x"}).status, 2);
    EXPECT_EQ(runZunotool({"calc", "-d", "x:double"}).status, 2);
    EXPECT_EQ(runZunotool({"calc", "-d", "x[a]:int"}).status, 2);
    EXPECT_EQ(runZunotool({"calc", "-d", "1x:int"}).status, 1);     // the variable table refuses the name
    EXPECT_EQ(runZunotool({"calc", "-d", "x[0]:int"}).status, 1);   // and the size
    TProgramResult none = runZunotool({"calc"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
}

} // namespace
