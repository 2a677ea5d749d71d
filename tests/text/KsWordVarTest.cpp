// Variable insertions: evaluation against the variable table, the snapshot
// that reproduces shown text, and re-insertion.
#include <gtest/gtest.h>

#include <string>

#include "core/Cp932.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "text/TKsWord.h"
#include "WordTestUtil.h"

namespace {

using namespace zuno;
using zuno::test::describeItems;

struct TVarFixture {
    TParamCollection params;
    TSysFuncMan funcs{params};
    TKsWord word;

    TVarFixture() {
        word.SetFunctions(&funcs);
        setString("name", "太郎");
        params.CreateVariable("n", PT_INT, vsGlobal)->Value()->SetInteger(41);
    }
    void setString(const char* var, const std::string& utf8) {
        params.CreateVariable(var, PT_STR, vsGlobal)->Value()->SetString(sjis(utf8));
    }
    std::string show(const std::string& utf8) {
        word.SetText(sjis(utf8));
        word.RefreshVars();
        return describeItems(word);
    }
};

TEST(KsWordVar, InsertsTheValueAfterThePoint) {
    struct TCase {
        const char* markup;
        const char* expected;
    } cases[] = {
        {"<VAR NAME=name>さん", "<VAR name>{太郎}\"さん\""},
        {"<VAR NAME=\" n + 1 \">", "<VAR  n + 1 >{42}"},
        {"<VAR NAME='name ++ \"様\"'>", "<VAR name ++ \"様\">{太郎様}"},
        {"a<VAR NAME=missing>b", "\"a\"<VAR missing>\"b\""},
        {"a<VAR NAME=\"1 +\">b", "\"a\"<VAR 1 +>\"b\""},
        {"a<VAR NAME=\" \">b", "\"a\"<VAR  >\"b\""},
        {"<VAR NAME=lines>", "<VAR lines>{a}<VBR>{bc}"},
    };
    for (const auto& c : cases) {
        TVarFixture f;
        f.setString("lines", "a\r\nb\x02" "c");
        EXPECT_EQ(f.show(c.markup), c.expected) << c.markup;
    }
}

TEST(KsWordVar, WithoutAVariableTableNothingIsInserted) {
    TKsWord word;
    word.SetText("a<VAR NAME=x>b");
    word.RefreshVars();
    EXPECT_EQ(describeItems(word), "\"a\"<VAR x>\"b\"");
}

TEST(KsWordVar, InsertedCharactersCarryThePointsStyle) {
    TVarFixture f;
    f.show("<B><A HREF=h><VAR NAME=name></A></B>x");
    ASSERT_EQ(f.word.ItemCount(), 4);
    const auto* inserted = static_cast<const TWdReal*>(f.word.Item(1));
    EXPECT_EQ(inserted->Style->StyleFlags, FS_BOLD);
    EXPECT_EQ(textOf(inserted->Style->Link), "h");
    // The link run covers the point and its characters.
    const TDecorate* link = f.word.Decorations().RunAt(TDecorateKind::Link, 2);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->First, 0);
    EXPECT_EQ(link->Last, 2);
}

TEST(KsWordVar, RefreshReplacesTheOldInsertionInRangeOnly) {
    TVarFixture f;
    f.show("<VAR NAME=name>と<VAR NAME=n>");
    f.setString("name", "次郎");
    f.params.Find("n")->Value()->SetInteger(7);
    f.word.RefreshVars(0, 0);
    EXPECT_EQ(describeItems(f.word), "<VAR name>{次郎}\"と\"<VAR n>{41}");
    f.word.RefreshVars();
    EXPECT_EQ(describeItems(f.word), "<VAR name>{次郎}\"と\"<VAR n>{7}");
}

TEST(KsWordVar, SnapshotReproducesTheShownText) {
    TVarFixture f;
    f.setString("s", "上\r下");
    f.show("<VAR NAME=s>|<VAR NAME=name>");
    f.word.CaptureVars();
    EXPECT_EQ(f.word.VarSnapshot,
              (std::vector<std::string>{"s=" + sjis("上") + "\x01" + sjis("下"), "name=" + sjis("太郎")}));
    f.setString("s", "changed");
    f.word.RefreshVars();
    EXPECT_EQ(describeItems(f.word), "<VAR s>{上}<VBR>{下}\"|\"<VAR name>{太郎}");
    // A snapshot entry matches its name exactly.
    f.word.VarSnapshot = {"Name=x", "name=" + sjis("花子")};
    f.word.RefreshVars();
    EXPECT_EQ(describeItems(f.word), "<VAR s>{changed}\"|\"<VAR name>{花子}");
}

TEST(KsWordVar, GlobalTextWaitComesFromTheTable) {
    TVarFixture f;
    f.params.TextDelay = 20;
    f.show("a<WAIT VALUE=5>b</WAIT><VAR NAME=n>");
    EXPECT_EQ(f.word.Item(0)->Wait, 20);
    EXPECT_EQ(f.word.Item(1)->Wait, 5);
    EXPECT_EQ(f.word.Item(3)->Wait, 20);    // an inserted character
}

TEST(KsWordVar, InsertedTextIsLaidOut) {
    TVarFixture f;
    f.word.DefaultFontSize = 10;
    f.word.LayoutWidth = 30;
    f.word.PageHeight = 100;
    f.setString("long", "あいうえお");
    f.show("<VAR NAME=long>か");
    std::vector<std::unique_ptr<TWdPage>> pages;
    f.word.Layout(0, -1, pages);
    EXPECT_EQ(zuno::test::pagesText(pages), (zuno::test::TPagesText{{"あいう", "えおか"}}));
}

} // namespace
