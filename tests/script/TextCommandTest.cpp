// The text and history commands in small games: TextIns shows its own text
// through the box's history record and waits until the box is cleared;
// TextClr; the backlog filled by a tracked box and copied back by CallHist
// with its clamping; FormatHist from a template box; ClrHist; ClrRead; and
// the backlog's system variables and functions.
#include "ScriptTestGame.h"
#include "objects/PropertyAccess.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoMes.h"
#include "objects/TZunoReadList.h"
#include "script/ComMedia.h"
#include "script/ComObject.h"

namespace zuno::test {
namespace {

class TextCommandTest : public ::testing::Test {
protected:
    TScriptGame& Run(TPageBuilder& page) {
        TGameSetup setup;
        setup.Pages = {&page};
        setup.Variables = {strVar("log", ""), intVar("n", 0)};
        writeGame(Folder.folder(), setup);
        std::filesystem::remove(Folder.folder() + "save.dat");
        Game = std::make_unique<TScriptGame>(Folder.folder());
        EXPECT_TRUE(Game->Start());
        return *Game;
    }
    static TExprPtr expr(const std::string& text) { return compileExpr(sjis(text)); }
    static void mesNew(TPageBuilder& p, const std::string& name, int32_t width = 40, int32_t height = 16) {
        auto& c = p.Add<TComMesNew>();
        c.SetProperty(PR_NAME, expr("\"" + name + "\""));
        c.SetProperty(PR_PARENT, expr("\"\""));
        c.SetProperty(PR_WIDTH, expr(std::to_string(width)));
        c.SetProperty(PR_HEIGHT, expr(std::to_string(height)));
        c.SetProperty(PR_FONTHEIGHT, expr("16"));
    }
    static TComTextIns& textIns(TPageBuilder& p, const std::string& text, bool wait, bool track = true) {
        auto& c = p.Add<TComTextIns>(0, false);
        c.FText = sjis(text);
        c.FBoxName = expr("\"m\"");
        c.FReadTracking = expr(track ? "TRUE" : "FALSE");
        c.FWaitFlag = expr(wait ? "TRUE" : "FALSE");
        return c;
    }
    static void callHist(TPageBuilder& p, const std::string& first, const std::string& count,
                         const std::string& format = "") {
        auto& c = p.Add<TComCallHist>();
        c.FBoxName = expr("\"m\"");
        c.FFirst = expr(first);
        c.FCount = expr(count);
        c.FFlag = expr("TRUE");
        if (!format.empty())
            c.FFormatName = expr("\"" + format + "\"");
    }
    TZunoMes* Box() { return dynamic_cast<TZunoMes*>(Game->Registry.FindControl("m")); }

    TTempFolder Folder;
    std::unique_ptr<TScriptGame> Game;
};

TEST_F(TextCommandTest, TextInsShowsItsTextAndWaitsUntilTheBoxIsCleared) {
    TPageBuilder p("main.zsb");
    mesNew(p, "m");
    textIns(p, "AB<CLEAR>CD", true);
    p.Let("log = log ++ \"after \"");
    textIns(p, "<B></B>", true, false);           // no pages: goes on at once
    p.Let("log = log ++ \"empty \"");
    p.Wait("10000");
    TScriptGame& g = Run(p);
    g.Frames(5);
    TZunoMes* box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->PageCount(), 2);
    EXPECT_EQ(box->PageIndex(), 0);
    EXPECT_EQ(box->ReadMode(), 1);
    EXPECT_EQ(g.Var("log"), "");
    box->SetProp(PR_INDEX, TPropValue::ofInt(1));
    g.Frames(5);
    EXPECT_EQ(g.Var("log"), "");                  // still text in the box
    box->SetProp(PR_TEXT, TPropValue::ofStr(""));
    g.Frames(4);
    EXPECT_EQ(g.Var("log"), "after empty ");
    EXPECT_EQ(box->ReadMode(), 0);
}

TEST_F(TextCommandTest, TrackedPagesFillTheBacklogAndCallHistCopiesAClampedRange) {
    TPageBuilder p("main.zsb");
    mesNew(p, "m");
    std::string ten;
    for (char c = 'A'; c < 'K'; ++c)
        ten += std::string(c == 'A' ? "" : "<CLEAR>") + c;
    textIns(p, ten, false);
    p.Wait("500");
    p.Add<TComTextClr>().FBoxName = expr("\"m\"");
    p.Let("log = log ++ @HistoryCount ++ \",\" ++ GetHistoryCount(\"\") ++ \",\" ++ GetHistoryCount(\"none\")");
    callHist(p, "8", "5");
    p.Let("n = GetProp(\"m\", 45)");
    p.Wait("10000");
    TScriptGame& g = Run(p);
    g.Frames(2);
    TZunoMes* box = Box();
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->PageCount(), 10);
    for (int i = 1; i < 10; ++i)
        box->SetProp(PR_INDEX, TPropValue::ofInt(i));
    g.Frames(40);
    EXPECT_EQ(g.Var("log"), "10,10,-1");
    ASSERT_EQ(box->MesData().Plain.size(), 2u);     // entries 8 and 9 of 10
    EXPECT_EQ(box->MesData().Plain[0].Page, 8);
    EXPECT_EQ(box->MesData().Plain[1].Page, 9);
    EXPECT_EQ(box->ReadMode(), 2);
    EXPECT_EQ(g.Var("n"), "1");                     // stacked on one page
    EXPECT_EQ(box->PageIndex(), 0);
}

TEST_F(TextCommandTest, CallHistFromANegativeEntryStartsAtTheFirst) {
    TPageBuilder p("main.zsb");
    mesNew(p, "m");
    textIns(p, "A<CLEAR>B<CLEAR>C", false);
    p.Wait("300");
    p.Add<TComTextClr>().FBoxName = expr("\"m\"");
    callHist(p, "-3", "1");
    p.Wait("10000");
    TScriptGame& g = Run(p);
    g.Frames(2);
    Box()->SetProp(PR_INDEX, TPropValue::ofInt(1));
    g.Frames(30);
    ASSERT_EQ(Box()->MesData().Plain.size(), 1u);
    EXPECT_EQ(Box()->MesData().Plain[0].Page, 0);
}

TEST_F(TextCommandTest, FormatHistClrHistClrReadAndTheLimitFunctions) {
    TPageBuilder p("main.zsb");
    mesNew(p, "tmpl", 300, 200);
    auto& f = p.Add<TComEntryHist>();
    f.FTemplateName = expr("\"tmpl\"");
    f.FFormatName = expr("\"wide\"");
    auto& g0 = p.Add<TComEntryHist>();             // no template: six zeros
    g0.FTemplateName = expr("\"\"");
    g0.FFormatName = expr("\"zero\"");
    p.Let("n = SetHistoryMaxCount(\"wide\", 5)");
    p.Let("log = GetHistoryMaxCount(\"wide\") ++ \",\" ++ SetHistoryMaxCount(\"none\", 1) ++ \",\" ++ @HistoryMaxCount");
    p.Let("@HistoryMaxCount = 9");
    p.Wait("10000");
    TScriptGame& g = Run(p);
    g.Frames(2);
    TZunoHistoryFormatManager& formats = g.Project->Histories();
    ASSERT_NE(formats.Find("wide"), nullptr);
    EXPECT_EQ(formats.Find("wide")->Settings, (THistorySettings{16, 0, 0, 300, 200, 0}));
    EXPECT_EQ(formats.Find("zero")->Settings, THistorySettings{});
    EXPECT_EQ(g.Var("log"), "5,FALSE,0");
    EXPECT_EQ(formats.Default().History.EntryLimit, 9);
    EXPECT_EQ(formats.Count(), 3);
}

TEST_F(TextCommandTest, ClrHistEmptiesEveryBacklogAndClrReadTheReadMarks) {
    TPageBuilder p("main.zsb");
    mesNew(p, "m");
    textIns(p, "A<CLEAR>B", false);
    p.Wait("300");
    p.Add<TComTextClr>().FBoxName = expr("\"m\"");
    p.Let("n = @HistoryCount");
    p.Add<TComClrHist>();
    p.Add<TComClrRead>();
    p.Let("log = @HistoryCount");
    p.Wait("10000");
    TScriptGame& g = Run(p);
    g.Frames(6);                                   // page 0 revealed: read
    EXPECT_TRUE(g.Project->ReadList().IsRead("main.zsb", 1, 0));
    Box()->SetProp(PR_INDEX, TPropValue::ofInt(1));
    g.Frames(30);
    EXPECT_EQ(g.Var("n"), "2");
    EXPECT_EQ(g.Var("log"), "0");
    EXPECT_EQ(g.Project->ReadList().Count(), 0);
}

} // namespace
} // namespace zuno::test
