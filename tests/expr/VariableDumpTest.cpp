// The variable dump shared by zunotool calc and zunoplay --dump-vars.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "expr/TParamCollection.h"
#include "expr/VariableDump.h"

namespace zuno {
namespace {

TEST(VariableDump, OneSortedLinePerVariableWithoutSystemVariables) {
    TParamCollection params;
    EXPECT_EQ(dumpVariables(params), "") << "system variables are not dumped";

    params.CreateVariable("zeta", PT_FLOAT, vsGlobal)->Value()->SetFloat(0.1L);
    params.CreateVariable(sjis("変数"), PT_STR, vsGlobal)->Value()->SetString(sjis("a\\b\t") + "\x01");
    TParamCollectionItem* arr = params.CreateVariable("Arr", PT_BOOL, vsGlobal);
    arr->Value()->SetDims({2, 1});
    arr->Value()->SetBooleanAt(1, true);
    params.CreateVariable("status", PT_INT, vsStatus)->Value()->SetInteger(-3);
    // A reference variable (as save data can hold) prints the element it refers to.
    TParamCollectionItem* ref = params.AddVariable(PT_NONE);
    ref->SetName("ref");
    static_cast<TParamVar*>(ref->Value())->Bind(params.Find("zeta"));

    EXPECT_EQ(dumpVariables(params),
              "Arr\t3\t[2,1]\tFALSE\tTRUE\n"
              "ref\t0\t0.1\n"
              "status\t1\t-3\n"
              "zeta\t2\t0.1\n"
              "変数\t4\ta\\\\b\\t\\x01\n");
}

} // namespace
} // namespace zuno
