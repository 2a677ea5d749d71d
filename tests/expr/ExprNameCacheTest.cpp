// A compiled expression keeps the items its names resolved to between
// evaluations. These tests run one parser again and again while the table
// changes under it, and check that every run sees exactly what a fresh
// look-up would: new, deleted, renamed and shadowing variables, call depth,
// references, other tables, and changes made by a call inside the run.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"

namespace zuno {
namespace {

class ExprNameCache : public ::testing::Test {
protected:
    TParamCollection params;
    TSysFuncMan funcs{params};

    void SetUp() override { installCalc(funcs); }

    TParamCollectionItem* intVar(const char* name, int32_t v, TVarScope scope = vsGlobal) {
        TParamCollectionItem* item = params.CreateVariable(name, PT_INT, scope);
        item->Value()->SetInteger(v);
        return item;
    }
    // "TYPE:VALUE" of the parser's result, "none" without one.
    static std::string run(TZunoParser& p, TSysFuncMan& f) {
        p.Execute(f);
        const TCustomParam* r = p.Result();
        return r ? std::to_string(r->ParamType()) + ":" + cp932ToUtf8(r->AsString()) : "none";
    }
    std::string run(TZunoParser& p) { return run(p, funcs); }
};

TEST_F(ExprNameCache, CreationAndDeletionBetweenRuns) {
    auto read = compileExpression("v * 10");
    auto write = compileExpression("v = 7");
    EXPECT_EQ(run(*read), "none");                  // no such variable yet
    EXPECT_FALSE(read->LastError().empty());
    TParamCollectionItem* v = intVar("v", 1);
    EXPECT_EQ(run(*read), "1:10");
    EXPECT_EQ(run(*write), "none");
    EXPECT_EQ(v->Value()->AsInteger(), 7);
    params.DeleteItem(v);
    EXPECT_EQ(run(*read), "none");                  // the deleted item is not used again
    EXPECT_EQ(run(*write), "none");
    EXPECT_FALSE(write->LastError().empty());
    intVar("v", 4);                                 // created again: the new item is found
    EXPECT_EQ(run(*read), "1:40");
    EXPECT_EQ(run(*write), "none");
    EXPECT_EQ(params.Find("v")->Value()->AsInteger(), 7);
}

TEST_F(ExprNameCache, RenamedVariables) {
    auto p = compileExpression("v + 1");
    TParamCollectionItem* v = intVar("v", 1);
    TParamCollectionItem* w = intVar("w", 100);
    EXPECT_EQ(run(*p), "1:2");
    v->SetName("old");
    w->SetName("V");                                // names ignore case
    EXPECT_EQ(run(*p), "1:101");
    w->SetName("gone");
    EXPECT_EQ(run(*p), "none");
}

TEST_F(ExprNameCache, LocalsShadowAndUnshadowWithTheCallDepth) {
    auto p = compileExpression("v * 10");
    auto write = compileExpression("v = v + 1");
    TParamCollectionItem* global = intVar("v", 1);
    EXPECT_EQ(run(*p), "1:10");
    params.CurrentDepth = 2;
    EXPECT_EQ(run(*p), "1:10");                     // no local yet: the global
    intVar("v", 2, vsLocal);
    EXPECT_EQ(run(*p), "1:20");
    run(*write);
    EXPECT_EQ(run(*p), "1:30");
    EXPECT_EQ(global->Value()->AsInteger(), 1);
    params.CurrentDepth = 3;                        // a local of another depth never matches
    EXPECT_EQ(run(*p), "1:10");
    run(*write);
    EXPECT_EQ(global->Value()->AsInteger(), 2);
    params.CurrentDepth = 2;
    EXPECT_EQ(run(*p), "1:30");
    params.DeleteOwned(2);                          // the frame ends: its locals go
    EXPECT_EQ(run(*p), "1:20");
}

TEST_F(ExprNameCache, VariablesMadeIntoReferences) {
    TParamCollectionItem* arr = params.CreateVariable("arr", PT_INT, vsGlobal);
    arr->Value()->SetDims({4});
    for (int k = 0; k < 4; ++k)
        arr->Value()->SetIntegerAt(k, 10 * k);
    auto p = compileExpression("r + 1");
    auto write = compileExpression("r = 99");
    TParamCollectionItem* plain = intVar("r", 5);
    EXPECT_EQ(run(*p), "1:6");
    // The name now stands for a reference to arr[2]: a new item of that name
    // (the plain one removed), as the table holds references.
    params.DeleteItem(plain);
    TParamCollectionItem* ref = params.AddVariable(PT_NONE);
    ref->SetName("r");
    auto& var = static_cast<TParamVar&>(*ref->Value());
    var.Bind(arr);
    var.ElementOffset = 2;
    EXPECT_EQ(run(*p), "1:21");
    run(*write);
    EXPECT_EQ(arr->Value()->GetIntegerAt(2), 99);
    // The same reference item pointed at another element: read through again.
    var.ElementOffset = 3;
    EXPECT_EQ(run(*p), "1:31");
}

TEST_F(ExprNameCache, ChangesMadeByACallWithinTheRun) {
    TParamCollectionItem* global = intVar("v", 1);
    // IntToStr stands in for a function that creates or deletes variables
    // while the expression runs; the operations after it see the change.
    enum { kNothing, kShadow, kDelete } action = kNothing;
    funcs.SetFunction(0, [&](TSysFuncMan&, TCustomParam& R, const TParamArgs&) {
        if (action == kShadow && !params.FindScoped("v", true))
            intVar("v", 50, vsLocal);
        if (action == kDelete)
            params.DeleteOwned(params.CurrentDepth);
        R.SetString("x");
    });
    auto p = compileExpression("IntToStr(0) ++ v");
    params.CurrentDepth = 1;
    EXPECT_EQ(run(*p), "4:x1");
    action = kShadow;
    EXPECT_EQ(run(*p), "4:x50");
    action = kDelete;
    EXPECT_EQ(run(*p), "4:x1");
    action = kNothing;
    EXPECT_EQ(run(*p), "4:x1");
    params.DeleteItem(global);
    EXPECT_EQ(run(*p), "none");
}

TEST_F(ExprNameCache, OtherTablesAndTablesThatAreGone) {
    auto p = compileExpression("v + 1");
    intVar("v", 1);
    for (int round = 0; round < 3; ++round) {
        // A table made and dropped each round, often at the address of the
        // one before: its items are never taken for an earlier table's.
        auto other = std::make_unique<TParamCollection>();
        TSysFuncMan otherFuncs(*other);
        other->CreateVariable("v", PT_INT, vsGlobal)->Value()->SetInteger(100 * (round + 1));
        EXPECT_EQ(run(*p, otherFuncs), "1:" + std::to_string(100 * (round + 1) + 1));
        EXPECT_EQ(run(*p), "1:2");
    }
}

TEST_F(ExprNameCache, CopiesAndReloadsStartAfresh) {
    auto p = compileExpression("v + 1");
    intVar("v", 1);
    EXPECT_EQ(run(*p), "1:2");
    TZunoParser copy;
    copy.CopyFrom(*p);
    TParamCollection other;
    TSysFuncMan otherFuncs(other);
    other.CreateVariable("v", PT_INT, vsGlobal)->Value()->SetInteger(41);
    EXPECT_EQ(run(copy, otherFuncs), "1:42");
    EXPECT_EQ(run(*p), "1:2");
}

TEST_F(ExprNameCache, TemporariesDoNotInvalidateLookUps) {
    intVar("v", 3);
    auto p = compileExpression("(v + 1) * (v + 2) ++ \"\"");
    EXPECT_EQ(run(*p), "4:20");
    const uint64_t generation = params.LookupGeneration();
    EXPECT_EQ(run(*p), "4:20");
    EXPECT_EQ(params.LookupGeneration(), generation);
    intVar("w", 0);
    EXPECT_NE(params.LookupGeneration(), generation);
}

} // namespace
} // namespace zuno
