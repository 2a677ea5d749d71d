// The statement and variable commands: Calc runs its statement, VarNew follows
// the creation rule (status variables survive, others are re-initialised, the
// initial value is read in the declared type), VarDel frees.
#include "ScriptTestGame.h"
#include "script/ComObject.h"

namespace zuno::test {
namespace {

class VariableCommandTest : public ::testing::Test {
protected:
    TScriptGame& Run(TPageBuilder& main, std::vector<TInitVariable> vars = {}) {
        TGameSetup setup;
        setup.Pages = {&main};
        setup.Variables = std::move(vars);
        writeGame(Folder.folder(), setup);
        std::filesystem::remove(Folder.folder() + "save.dat");
        Game = std::make_unique<TScriptGame>(Folder.folder());
        EXPECT_TRUE(Game->Start());
        return *Game;
    }
    static void Calc(TPageBuilder& p, const std::string& statement) {
        p.Add<TComCalc>().FStatement = compileExpr(sjis(statement));
    }
    static TComVarNew& VarNew(TPageBuilder& p, const std::string& name, uint8_t type, uint8_t scope,
                              const std::string& init) {
        auto& c = p.Add<TComVarNew>();
        c.FName = sjis(name);
        c.FValueType = type;
        c.FScope = scope;
        if (!init.empty())
            c.FInitValue = compileExpr(sjis(init));
        return c;
    }
    TTempFolder Folder;
    std::unique_ptr<TScriptGame> Game;
};

TEST_F(VariableCommandTest, CalcRunsItsStatement) {
    TPageBuilder main("main.zsb");
    Calc(main, "a = 6 * 7");
    Calc(main, "s = \"x\" ++ a");
    TScriptGame& g = Run(main, {intVar("a", 0), strVar("s", "")});
    g.Frames(2);
    EXPECT_EQ(g.Var("a"), "42");
    EXPECT_EQ(g.Var("s"), "x42");
}

TEST_F(VariableCommandTest, VarNewFollowsTheCreationRule) {
    struct Case { const char* name; uint8_t type; uint8_t scope; const char* init; const char* expected; };
    const Case cases[] = {
        {"fresh", 1, 0, "3 + 4", "7"},
        {"real", 2, 0, "1.5", "1.5"},
        {"text", 4, 0, "\"abc\"", "abc"},
        {"noValue", 1, 0, "", "0"},
        {"existingInt", 4, 0, "\"12\"", "12"},       // keeps its int type, takes "12" converted
        {"existingStatus", 1, 3, "99", "5"},        // a status variable survives
        {"existingGlobal", 1, 0, "99", "99"},       // an existing global is re-initialised
    };
    TPageBuilder main("main.zsb");
    for (const Case& c : cases)
        VarNew(main, c.name, c.type, c.scope, c.init);
    TInitVariable status = intVar("existingStatus", 5);           // initial variables are status variables
    TScriptGame& g = Run(main, {status});
    g.Params.CreateVariable(sjis("existingInt"), 1, vsGlobal)->Value()->SetInteger(1);
    g.Params.CreateVariable(sjis("existingGlobal"), 1, vsGlobal)->Value()->SetInteger(5);
    g.Frames(2);
    for (const Case& c : cases)
        EXPECT_EQ(g.Var(c.name), c.expected) << c.name;
    EXPECT_EQ(g.Params.Find(sjis("existingInt"))->Value()->ParamType(), PT_INT);
}

TEST_F(VariableCommandTest, VarNewWithoutNameIsPassedOverAndVarDelFrees) {
    TPageBuilder main("main.zsb");
    VarNew(main, "", 1, 0, "1");
    VarNew(main, "gone", 1, 0, "1");
    main.Add<TComVarDel>().FName = "gone";
    main.Add<TComVarDel>().FName = "neverThere";
    Calc(main, "after = 1");
    TScriptGame& g = Run(main, {intVar("after", 0)});
    g.Frames(2);
    EXPECT_EQ(g.Var("gone"), "<none>");
    EXPECT_EQ(g.Var("after"), "1");
}

} // namespace
} // namespace zuno::test
