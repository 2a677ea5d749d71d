// Listings of compiled pages, expressions and project files.
#include <gtest/gtest.h>

#include "authoring/RecordDump.h"
#include "core/Cp932.h"
#include "expr/TZunoParser.h"
#include "script/ComFlow.h"
#include "script/ComObject.h"
#include "script/TPage.h"

namespace zuno {
namespace {

TEST(RecordDump, PageListsPropertySetsCommandsAndExpressions) {
    TPage page;
    page.SetVersion(113);
    dynamic_cast<TComLabel&>(page.AddNew(ctLabel)).FName = "top";
    auto& box = dynamic_cast<TComBoxNew&>(page.AddNew(ctBoxNew));
    box.FIndent = 1;
    box.FLine = 3;
    box.SetProperty(PR_NAME, compileExpr("\"box\""));
    box.SetProperty(PR_LEFT, compileExpr("x + 1"));
    const std::string dump = dumpPage(page);
    EXPECT_NE(dump.find("BoxNew: PR_NAME PR_LEFT"), std::string::npos) << dump;
    EXPECT_NE(dump.find("   1  line 3  indent 1  BoxNew"), std::string::npos) << dump;
    EXPECT_NE(dump.find("PR_LEFT: ocPlus"), std::string::npos) << dump;
    EXPECT_NE(dump.find("name: \"top\""), std::string::npos) << dump;
}

TEST(RecordDump, ExpressionOperationsAndOperands) {
    struct Case { const char* source; const char* listing; };
    const Case cases[] = {
        {"a = Random(3)", "ocFunc ____0 = Random(3); ocTo a = ____0"},     // functions by name
        {"s = \"x\"", "ocTo ____0 = \"x\"; ocTo s = ____0"},             // texts quoted
        {"f = 1.5", "ocTo f = 1.5"},
        {"b = TRUE", "ocTo b = TRUE"},
        {"n = myVar + 1", "ocPlus ____0 = myVar, 1; ocTo n = ____0"},       // variables by name
    };
    for (const Case& c : cases)
        EXPECT_EQ(describeExpr(compileExpr(c.source).get()), c.listing) << c.source;
    EXPECT_EQ(describeExpr(nullptr), "(none)");
    TZunoParser empty;
    EXPECT_EQ(describeExpr(&empty), "(empty)");
}

TEST(RecordDump, ProjectShowsTheSettings) {
    TProjectSetting p;
    p.FTitle = sjis("テストゲーム");
    TInitVariable rate;
    rate.Type = 2;
    rate.Name = "rate";
    rate.FloatValue = TExtended::fromDouble(0.25);
    p.FVariables.push_back(rate);
    p.FFolderDisks.push_back({"MOVIE\\OP", 3});
    const std::string dump = dumpProject(p);
    EXPECT_NE(dump.find("title: \"テストゲーム\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"rate\" type 2 = 0.25"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"MOVIE\\\\OP\" disc 3"), std::string::npos) << dump;
}

} // namespace
} // namespace zuno
