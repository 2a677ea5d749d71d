// The interpreter on small games: frame pacing by continue bytes, blocks and
// loops, calls with arguments and results, waits, event handlers at nested
// levels, event locks, restarts, failing commands, the page cache and traces.
#include "ScriptTestGame.h"

#include "core/EZunoError.h"
#include "expr/TDBManager.h"
#include "archive/TZunoInstallSet.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoSound.h"
#include "script/TCallMan.h"

namespace zuno::test {
namespace {

class InterpreterTest : public ::testing::Test {
protected:
    // Builds the game from the pages and starts it.
    TScriptGame& Run(std::vector<TPageBuilder*> pages, std::vector<TInitVariable> vars = {}) {
        TGameSetup setup;
        setup.Pages = std::move(pages);
        setup.Variables = std::move(vars);
        writeGame(Folder.folder(), setup);
        Game.reset();
        std::filesystem::remove(Folder.folder() + "save.dat");   // no status data of an earlier run
        Game = std::make_unique<TScriptGame>(Folder.folder());
        EXPECT_TRUE(Game->Start()) << cp932ToUtf8(Game->Project->FailReason());
        return *Game;
    }
    TZunoNamedObject* AddObject(const std::string& name) {
        TZunoObject* o = Game->Registry.Create<TZunoSound>();
        o->SetName(sjis(name));
        return o;
    }
    void Post(TZunoNamedObject* sender, const std::string& handler, std::vector<std::string> args = {}) {
        Game->Registry.Events().Post(sender, sjis(handler), &args, 36);
    }

    TTempFolder Folder;
    std::unique_ptr<TScriptGame> Game;
};

TEST_F(InterpreterTest, ContinueBytesPaceTheMainThread) {
    for (bool cont : {true, false}) {
        TPageBuilder main("main.zsb");
        for (int i = 0; i < 3; ++i)
            main.Label('l' + std::to_string(i), 0, cont);
        TScriptGame& g = Run({&main});
        g.Frames(4);
        if (cont) {
            EXPECT_EQ(g.Trace, (std::vector<std::string>{"00000010 : main.zsb(1)", "00000010 : main.zsb(2)",
                                                         "00000010 : main.zsb(3)"}));
        } else {
            EXPECT_EQ(g.Trace, (std::vector<std::string>{"00000010 : main.zsb(1)", "00000020 : main.zsb(2)",
                                                         "00000030 : main.zsb(3)"}));
        }
    }
}

TEST_F(InterpreterTest, IfChainRunsOnlyTheFirstTrueBranch) {
    struct Case {
        std::vector<std::string> conds;     // If, Elseif..., "" = Else
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{"FALSE", "FALSE", "TRUE", ""}, "c"},
        {{"TRUE", "TRUE", ""}, "a"},
        {{"FALSE", "FALSE", ""}, "c"},
        {{"FALSE", "x = 1"}, ""},           // an expression that yields nothing is false
        {{"1 + 1 == 2", ""}, "a"},
    };
    for (const Case& c : cases) {
        TPageBuilder main("main.zsb");
        for (size_t i = 0; i < c.conds.size(); ++i) {
            if (c.conds[i].empty() && i > 0)
                main.Add<TComElse>();
            else
                main.If(i == 0 ? ctIf : ctElseif, c.conds[i]);
            main.Let("r = r ++ \"" + std::string(1, char('a' + i)) + "\"", 1);
        }
        main.Let("r = r ++ \"!\"");
        TScriptGame& g = Run({&main}, {strVar("r", ""), intVar("x", 0)});
        g.Frames(2);
        EXPECT_EQ(g.Var("r"), c.expected + "!") << c.conds.size();
    }
}

TEST_F(InterpreterTest, IfChainEndsAtASmallerIndent) {
    TPageBuilder main("main.zsb");
    main.If(ctIf, "FALSE", 1);
    main.Let("r = r ++ \"if\"", 2);
    main.Add<TComElse>(0);                               // an Else of the outer level is not ours: it skips its block
    main.Let("r = r ++ \"else\"", 1);
    main.Let("r = r ++ \"end\"");
    TScriptGame& g = Run({&main}, {strVar("r", "")});
    g.Frames(2);
    EXPECT_EQ(g.Var("r"), "end");
}

TEST_F(InterpreterTest, WhileLoopWithBreakAndContinue) {
    TPageBuilder main("main.zsb");
    main.Let("i = 0");                                   // 0
    auto& loop = main.Add<TComWhile>();                  // 1
    loop.FCondition = compileExpr("i < 10");
    main.Let("i = i + 1", 1);                            // 2
    auto& cont = main.Add<TComContinue>(1);              // 3
    cont.FCondition = compileExpr("i == 2");
    cont.FTargetIndex = 6;
    auto& brk = main.Add<TComBreak>(1);                  // 4
    brk.FCondition = compileExpr("i == 4");
    brk.FTargetIndex = 7;
    main.Let("s = s ++ IntToStr(i)", 1);                  // 5
    auto& back = main.Add<TComWhileLoop>();              // 6
    back.FLoopBackIndex = 1;
    loop.FExitIndex = 7;
    main.Let("s = s ++ \".\"");                           // 7
    TScriptGame& g = Run({&main}, {intVar("i", 0), strVar("s", "")});
    g.Frames(2);
    EXPECT_EQ(g.Var("s"), "13.");
}

TEST_F(InterpreterTest, CallPassesArgumentsAndReturnsTheResult) {
    TPageBuilder main("main.zsb");
    main.Call("sub.zsb", {"\"a\"", "x = 5", "7"}, "r");
    main.Let("done = 1");
    TPageBuilder sub("sub.zsb");
    sub.Page->SetResultType(1);
    sub.Let("n = @ParamCount");
    sub.Let("p = @ParamStr[0] ++ \"|\" ++ @ParamStr[1]");
    sub.Let("@Result = 42");
    TScriptGame& g = Run({&main, &sub}, {intVar("r", 0), intVar("n", 0), strVar("p", ""), intVar("x", 0),
                                         intVar("done", 0)});
    g.Frames(3);
    EXPECT_EQ(g.Var("n"), "2");
    EXPECT_EQ(g.Var("p"), "a|7");
    EXPECT_EQ(g.Var("r"), "42");
    EXPECT_EQ(g.Var("done"), "1");
    EXPECT_EQ(g.CallMan().Stack().Count(), 0);
    EXPECT_EQ(g.Params.CurrentDepth, 0);
}

TEST_F(InterpreterTest, BreakWithoutTargetReturnsFromTheCalledPage) {
    TPageBuilder main("main.zsb");
    main.Call("sub.zsb");
    main.Let("s = s ++ \"back\"");
    TPageBuilder sub("sub.zsb");
    auto& brk = sub.Add<TComBreak>();
    brk.FCondition = compileExpr("TRUE");
    sub.Let("s = s ++ \"not here\"");
    TScriptGame& g = Run({&main, &sub}, {strVar("s", "")});
    g.Frames(2);
    EXPECT_EQ(g.Var("s"), "back");
}

TEST_F(InterpreterTest, WaitCountsFromTheFrameAfterItsFirst) {
    TPageBuilder main("main.zsb");
    main.Wait("100").FContinue = 1;
    main.Let("t = @TickCount");
    TScriptGame& g = Run({&main}, {intVar("t", 0)});
    g.Frames(7);
    EXPECT_EQ(g.Var("t"), "0");
    g.Frame();
    EXPECT_EQ(g.Var("t"), "128");   // frame 8: 7 counted frames of 16 ms reach 100
}

TEST_F(InterpreterTest, HandlerRunsDuringAWaitWhichThenResumesItsTime) {
    TPageBuilder main("main.zsb");
    main.Wait("100").FContinue = 1;
    main.Let("t = @TickCount");
    TPageBuilder h("h.zsb");
    h.Let("who = @Sender ++ \":\" ++ @ParamStr[0] ++ \":\" ++ IntToStr(@ParamCount)");
    TScriptGame& g = Run({&main, &h}, {intVar("t", 0), strVar("who", "")});
    TZunoNamedObject* btn = AddObject("btn");
    g.Frames(3);
    Post(btn, "h.zsb", {"10", "20"});
    g.Frame();
    EXPECT_EQ(g.Var("who"), "btn:10:2");
    EXPECT_EQ(g.Registry.Events().Count(), 0);      // removed when the handler ended
    g.Frames(3);
    EXPECT_EQ(g.Var("t"), "0");
    g.Frame();
    EXPECT_EQ(g.Var("t"), "128");
    std::vector<std::string> lines = g.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "<Event>h.zsb(1)"), lines.end());
}

TEST_F(InterpreterTest, NestedHandlerRunsWhileTheFirstWaits) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TPageBuilder h1("h1.zsb");
    h1.Let("s = s ++ \"1a\"");
    h1.Wait("50").FContinue = 1;
    h1.Let("s = s ++ \"1b\"");
    TPageBuilder h2("h2.zsb");
    h2.Let("s = s ++ \"2\"");
    TScriptGame& g = Run({&main, &h1, &h2}, {strVar("s", "")});
    TZunoNamedObject* a = AddObject("a");
    TZunoNamedObject* b = AddObject("b");
    g.Frame();
    Post(a, "h1.zsb");
    g.Frame();
    EXPECT_EQ(g.Var("s"), "1a");
    EXPECT_EQ(g.CallMan().State(), csHandlerWaits);
    Post(b, "h2.zsb");
    g.Frame();
    EXPECT_EQ(g.Var("s"), "1a2");
    g.Frames(6);
    EXPECT_EQ(g.Var("s"), "1a21b");
    EXPECT_EQ(g.CallMan().State(), csMain);
    EXPECT_EQ(g.CallMan().Stack().Count(), 0);
    EXPECT_EQ(g.Registry.Events().Count(), 0);
}

TEST_F(InterpreterTest, CallInsideANestedHandlerDoesNotEndTheHandler) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TPageBuilder h1("h1.zsb");
    h1.Wait("");
    TPageBuilder h2("h2.zsb");
    h2.Call("sub.zsb");
    h2.Let("s = s ++ \"after\"");
    h2.Wait("");
    TPageBuilder sub("sub.zsb");
    sub.Let("s = s ++ \"sub,\"");
    TScriptGame& g = Run({&main, &h1, &h2, &sub}, {strVar("s", "")});
    TZunoNamedObject* a = AddObject("a");
    g.Frame();
    Post(a, "h1.zsb");
    g.Frame();
    Post(a, "h2.zsb");
    g.Frames(2);
    EXPECT_EQ(g.Var("s"), "sub,after");
    EXPECT_EQ(g.CallMan().EventLevel(), 3);           // h2 still runs at level 2
    EXPECT_EQ(g.CallMan().Stack().Count(), 2);
}

TEST_F(InterpreterTest, EventLockHoldsEventsUntilTheWaitEnds) {
    TPageBuilder main("main.zsb");
    main.Wait("48", "", "TRUE").FContinue = 1;
    main.Wait("");
    TPageBuilder h("h.zsb");
    h.Let("t = @TickCount");
    TScriptGame& g = Run({&main, &h}, {intVar("t", 0)});
    g.Frame();                                      // the Wait begins
    Post(AddObject("a"), "h.zsb");
    g.Frames(2);
    EXPECT_EQ(g.Var("t"), "0");
    g.Frame();
    EXPECT_EQ(g.Var("t"), "64");    // the locking Wait ends in frame 4, the handler starts at once
}

TEST_F(InterpreterTest, MissingHandlerWaitsAndDamagedHandlerIsDropped) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TPageBuilder h("h.zsb");
    h.Let("n = n + 1");
    TScriptGame& g = Run({&main, &h}, {intVar("n", 0)});
    TZunoNamedObject* a = AddObject("a");
    Post(a, "missing.zsb");
    Post(a, "h.zsb");
    g.Frames(3);
    EXPECT_EQ(g.Var("n"), "0");                     // later events wait behind
    EXPECT_EQ(g.Registry.Events().Count(), 2);

    // A page that exists but cannot be loaded drops its event.
    g.Registry.Events().Clear();
    TVrFile* bad = g.Files.Archive(0)->AddMemoryEntry("bad.zsb");
    const uint8_t junk[] = {0x71, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0x7F};
    bad->Data->WriteBuffer(junk, sizeof junk);
    Post(a, "bad.zsb");
    Post(a, "h.zsb");
    g.Frames(2);
    EXPECT_EQ(g.Var("n"), "1");
    EXPECT_EQ(g.Registry.Events().Count(), 0);
}

TEST_F(InterpreterTest, HandlerReferenceWithLabelAndSourceExtension) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TPageBuilder h("h.zsb");
    h.Let("s = s ++ \"top\"");
    h.Label("go");
    h.Let("s = s ++ \"go\"");
    TScriptGame& g = Run({&main, &h}, {strVar("s", "")});
    Post(AddObject("a"), "h.zss:go");
    g.Frames(2);
    EXPECT_EQ(g.Var("s"), "go");
}

TEST_F(InterpreterTest, PCResetInAHandlerRestartsTheMainThreadAfterIt) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    main.Let("s = s ++ \"never\"");
    main.Label("restart");
    main.Let("s = s ++ \"main\"");
    main.Wait("");
    TPageBuilder h("h.zsb");
    auto& reset = h.Add<TComPCReset>();
    reset.FPageFile = "main.zsb";
    reset.FTargetIndex = 2;
    h.Let("s = s ++ \"handler,\"");
    TScriptGame& g = Run({&main, &h}, {strVar("s", "")});
    Post(AddObject("a"), "h.zsb");
    g.Frames(3);
    EXPECT_EQ(g.Var("s"), "handler,main");
}

TEST_F(InterpreterTest, ResetRestartsWithFreshGameVariables) {
    TPageBuilder main("main.zsb");
    main.Let("n = n + 1");
    main.Label("stop", 0, false);
    auto& reset = main.Add<TComReset>();
    reset.FPageFile = "main.zsb";
    TScriptGame& g = Run({&main}, {intVar("n", 0)});
    g.Frames(4);
    EXPECT_EQ(g.Var("n"), "4");                     // status variables survive a reset
}

// A persistent table survives the Reset command, a game table does not;
// DBLoadTsvFile reads its file through the game's files.
TEST_F(InterpreterTest, ResetKeepsPersistentTablesAndTsvFilesLoadFromTheGame) {
    TPageBuilder main("main.zsb");
    main.Let("made = made + DBCreateTable(\"game\", FALSE)");
    main.Let("kept = kept + DBCreateTable(\"keep\", TRUE)");
    main.Let("loaded = DBLoadTsvFile(\"items.tsv\")");
    main.Let("n = n + DBRecordCount(\"keep\")");
    main.Label("stop", 0, false);
    auto& reset = main.Add<TComReset>();
    reset.FPageFile = "main.zsb";
    TScriptGame& g = Run({&main}, {intVar("made", 0), intVar("kept", 0), intVar("n", 0), intVar("loaded", 0)});
    std::ofstream(Folder.folder() + "items.tsv", std::ios::binary) << "id int\tname\r\n1\ta\r\n2\tb\r\n";
    g.Frames(2);
    EXPECT_EQ(g.Var("made"), "2");                  // made again after the reset
    EXPECT_EQ(g.Var("kept"), "1");                  // still there after the reset
    EXPECT_EQ(g.Var("n"), "4");
    EXPECT_EQ(g.Var("loaded"), "0");                // DBLoadTsvFile sets no result
    EXPECT_EQ(g.Funcs.Tables().Table("game")->RecordCount(), 2);
}

TEST_F(InterpreterTest, CommandFailingForeverIsPassedOverWithoutFreezingTheFrame) {
    TPageBuilder main("main.zsb");
    auto& reset = main.Add<TComReset>();                 // the page it restarts cannot be loaded
    reset.FPageFile = "bad.zsb";
    main.Let("done = 1");
    TScriptGame& g = Run({&main}, {intVar("done", 0)});
    TVrFile* bad = g.Files.Archive(0)->AddMemoryEntry("bad.zsb");
    const uint8_t junk[] = {0x71, 0, 0, 0};
    bad->Data->WriteBuffer(junk, sizeof junk);
    g.Frames(TCallMan::kMaxFailures - 1);
    EXPECT_EQ(g.Var("done"), "0");
    g.Frame();
    EXPECT_EQ(g.Var("done"), "1");
}

TEST_F(InterpreterTest, JumpToAMissingPageGoesOn) {
    TPageBuilder main("main.zsb");
    main.Jump("nowhere.zsb");
    main.Let("s = \"on\"");
    main.Jump("other.zsb", 0, "");                 // a Jump without condition does not jump
    main.Jump("other.zsb", 1);
    TPageBuilder other("other.zsb");
    other.Let("s = s ++ \"0\"");
    other.Let("s = s ++ \"1\"");
    TScriptGame& g = Run({&main, &other}, {strVar("s", "")});
    g.Frames(2);
    EXPECT_EQ(g.Var("s"), "on1");
}

TEST_F(InterpreterTest, EleventhPageEvictsTheLeastRecentlyUsed) {
    std::vector<std::unique_ptr<TPageBuilder>> pages;
    std::vector<TPageBuilder*> list;
    for (int i = 0; i <= 10; ++i) {
        auto p = std::make_unique<TPageBuilder>(i == 0 ? "main.zsb" : 'p' + std::to_string(i) + ".zsb");
        if (i < 10) {
            p->Jump('p' + std::to_string(i + 1) + ".zsb");
        } else {
            p->Wait("");
        }
        list.push_back(p.get());
        pages.push_back(std::move(p));
    }
    TScriptGame& g = Run(list);
    g.Frames(2);
    ASSERT_EQ(g.CallMan().CachedPageCount(), 10);
    EXPECT_EQ(g.CallMan().CachedPage(0)->Name(), "p10.zsb");
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(g.CallMan().CachedPage(i)->Name(), "main.zsb");
}

TEST_F(InterpreterTest, TerminateEndsTheRunAndTheExitPageRuns) {
    TPageBuilder main("main.zsb");
    main.Let("n = 1");
    main.Add<TComTerminate>();
    main.Let("n = 2");
    TPageBuilder bye("bye.zsb");
    bye.Let("n = n + 10");
    TGameSetup setup;
    setup.Pages = {&main, &bye};
    setup.ExitPage = "bye.zsb";
    setup.Variables = {intVar("n", 0)};
    writeGame(Folder.folder(), setup);
    {
        TScriptGame g(Folder.folder());
        ASSERT_TRUE(g.Start());
        g.Frames(3);
        EXPECT_TRUE(g.Env.Terminating);
        EXPECT_EQ(g.Var("n"), "1");
        g.Project->Destroy();
        EXPECT_EQ(g.Var("n"), "11");
    }
    // The status variable was written to save.dat and is restored over the initial value.
    ASSERT_TRUE(std::filesystem::exists(Folder.folder() + "save.dat"));
    TScriptGame again(Folder.folder());
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(again.Var("n"), "11");
}

TEST_F(InterpreterTest, KeepStatusOffWritesNoSaveFile) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TGameSetup setup;
    setup.Pages = {&main};
    setup.KeepStatus = false;
    writeGame(Folder.folder(), setup);
    {
        TScriptGame g(Folder.folder());
        ASSERT_TRUE(g.Start());
        g.Frame();
    }
    EXPECT_FALSE(std::filesystem::exists(Folder.folder() + "save.dat"));
}

TEST_F(InterpreterTest, StartFailures) {
    TPageBuilder main("main.zsb");
    TGameSetup setup;
    setup.Pages = {&main};
    setup.StartPage = "absent.zsb";
    writeGame(Folder.folder(), setup);
    {
        TScriptGame g(Folder.folder());
        EXPECT_FALSE(g.Start());
        EXPECT_TRUE(g.Env.Terminating);
        EXPECT_EQ(g.Warnings, std::vector<std::string>{"スタートページがありません"});
    }
    // An empty project file.
    TVrFileCollection archive;
    archive.AddMemoryEntry("zuno.zpb");
    TKsBigMemoryStream image;
    archive.SaveToStream(image);
    image.SaveToFile(Folder.folder() + "game.dat");
    TScriptGame g(Folder.folder());
    EXPECT_FALSE(g.Start());
    EXPECT_EQ(g.Warnings, std::vector<std::string>{"プロジェクトがありません"});
}

TEST_F(InterpreterTest, LoadTextFileReadsLinesThroughTheGameFiles) {
    TPageBuilder main("main.zsb");
    main.Let("ok = LoadTextFile(a, \"list.txt\")");
    main.Let("n = GetArraySize(a)");
    main.Let("s = a[1]");
    main.Let("none = LoadTextFile(b, \"absent.txt\")");
    TScriptGame& g = Run({&main}, {strVar("a", ""), strVar("b", ""), intVar("n", 0), strVar("s", ""),
                                   {3, sjis("ok"), 0, {}, 0, {}}, {3, sjis("none"), 0, {}, 1, {}}});
    std::ofstream(Folder.folder() + "list.txt", std::ios::binary) << "one\r\ntwo\nthree";
    g.Frame();
    EXPECT_EQ(g.Var("ok"), "TRUE");
    EXPECT_EQ(g.Var("s"), "two");
    EXPECT_EQ(g.Var("n"), "3");
    EXPECT_EQ(g.Var("none"), "FALSE");
}

} // namespace
} // namespace zuno::test

namespace zuno::test {
namespace {

// The saved interpreter state taken inside a call made by a handler goes on
// in a fresh run exactly as in the run it was taken from.
TEST_F(InterpreterTest, SavedStateResumesInAFreshRun) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TPageBuilder h("h.zsb");
    h.Call("sub.zsb", {"\"x\""}, "r");
    h.Let("s = s ++ \"/\" ++ IntToStr(r)");
    TPageBuilder sub("sub.zsb");
    sub.Page->SetResultType(1);
    sub.Wait("100").FContinue = 1;
    sub.Let("s = s ++ @ParamStr[0] ++ \":\" ++ @Sender");
    sub.Let("@Result = 42");
    TScriptGame& g = Run({&main, &h, &sub}, {strVar("s", ""), intVar("r", 0)});
    g.Frame();
    Post(AddObject("a"), "h.zsb");
    g.Frames(2);
    ASSERT_EQ(g.CallMan().Stack().Count(), 2);
    TKsMemoryStream saved;
    g.CallMan().SaveToStream(saved);

    TScriptGame fresh(Folder.folder());
    ASSERT_TRUE(fresh.Start());
    fresh.Registry.Create<TZunoSound>()->SetName("a");
    saved.SetPosition(0);
    fresh.CallMan().LoadFromStream(saved, 130);
    EXPECT_EQ(saved.Remaining(), 0);
    EXPECT_EQ(fresh.Params.CurrentDepth, 2);

    for (TScriptGame* run : {&g, &fresh}) {
        run->Frames(6);
        EXPECT_EQ(run->Var("s"), "");
        run->Frames(2);
        EXPECT_EQ(run->Var("s"), "x:a/42");
        EXPECT_EQ(run->CallMan().State(), csMain);
        EXPECT_EQ(run->CallMan().Stack().Count(), 0);
    }

    // Damaged records fail with the error class, never beyond the data.
    std::vector<uint8_t> bytes = saved.Data();
    for (size_t cut : {size_t(0), size_t(5), bytes.size() / 2, bytes.size() - 1}) {
        TKsMemoryStream part(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)));
        EXPECT_THROW(fresh.CallMan().LoadFromStream(part, 130), EZunoError) << cut;
    }
}

} // namespace
} // namespace zuno::test

namespace zuno::test {
namespace {

TEST_F(InterpreterTest, InputVariablesReadTheRegistry) {
    TPageBuilder main("main.zsb");
    main.Label("wait", 0, false);
    main.Let("s = \"\" ++ @LClick ++ @LPush ++ @MouseX ++ \",\" ++ @KeyPush[13] ++ @KeyClick[13] ++ @KeyPush[256] ++ @KeyPush");
    main.Wait("");
    TScriptGame& g = Run({&main}, {strVar("s", "")});
    g.Frame();
    g.Registry.MouseMove(7, 3);
    g.Registry.MouseDown(true, false);
    g.Registry.KeyDown(13);
    g.Registry.Wheel(-1);
    g.Frame();
    EXPECT_EQ(g.Var("s"), "TRUETRUE7,TRUETRUETRUEFALSE");
}

} // namespace
} // namespace zuno::test

namespace zuno::test {
namespace {

TEST_F(InterpreterTest, StartWithoutArgumentsChecksTheInstallRecord) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TGameSetup setup;
    setup.Pages = {&main};
    writeGame(Folder.folder(), setup);
    {
        TScriptGame g(Folder.folder(), false);
        EXPECT_FALSE(g.Start());
        EXPECT_EQ(g.Warnings, std::vector<std::string>{"インストールし直してください"});
    }
    TZunoInstallSet install;
    install.FullInstall = 1;
    install.SaveToFile(Folder.folder() + "install.dat");
    TScriptGame g(Folder.folder(), false);
    EXPECT_TRUE(g.Start()) << cp932ToUtf8(g.Project->FailReason());
    EXPECT_EQ(g.Project->StatusFilePath(), Folder.folder() + "save.dat");
}

TEST_F(InterpreterTest, FileExistenceFollowsTheDiscTable) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    TGameSetup setup;
    setup.Pages = {&main};
    setup.FolderDisks = {{"BGM", 2}};
    writeGame(Folder.folder(), setup);
    TScriptGame g(Folder.folder());
    ASSERT_TRUE(g.Start());
    int asked = 0;
    g.Files.OnPrompt = [&](const std::string&, const std::string&) { return ++asked > 0; };
    g.Files.OnQuit = [] {};
    EXPECT_TRUE(g.Project->FileExists("main.zsb"));
    EXPECT_FALSE(g.Project->FileExists(""));
    EXPECT_FALSE(g.Project->FileExists("nothing.zsb"));         // on no disc: not asked
    EXPECT_FALSE(g.Project->FileExists("bgm\\title.ogg"));      // a media type that is never asked for
    EXPECT_EQ(asked, 0);
    // Cancel at the disc prompt, OK at the quit notice.
    g.Files.OnPrompt = [&](const std::string&, const std::string&) { return ++asked != 1; };
    EXPECT_FALSE(g.Project->FileExists("BGM\\scene.zsb"));
    EXPECT_EQ(asked, 2);
}

} // namespace
} // namespace zuno::test

namespace zuno::test {
namespace {

TEST_F(InterpreterTest, PCResetOfEveryThreadClearsStackAndQueue) {
    TPageBuilder main("main.zsb");
    main.Wait("");
    main.Label("restart");
    main.Let("s = s ++ \"main:\" ++ @ParamCount");
    main.Wait("");
    TPageBuilder h1("h1.zsb");
    h1.Wait("");
    TPageBuilder h2("h2.zsb");
    auto& reset = h2.Add<TComPCReset>();
    reset.FPageFile = "main.zsb";
    reset.FTargetIndex = 1;
    reset.FMode = 1;
    h2.Let("s = s ++ \"never\"");
    TScriptGame& g = Run({&main, &h1, &h2}, {strVar("s", "")});
    TZunoNamedObject* a = AddObject("a");
    g.Frame();
    Post(a, "h1.zsb", {"p"});
    g.Frame();
    Post(a, "h2.zsb");
    Post(a, "h1.zsb");                              // still waiting: cleared too
    g.Frame();
    EXPECT_EQ(g.Var("s"), "main:0");
    EXPECT_EQ(g.CallMan().State(), csMain);
    EXPECT_EQ(g.CallMan().Stack().Count(), 0);
    EXPECT_EQ(g.Params.CurrentDepth, 0);
    EXPECT_EQ(g.Registry.Events().Count(), 0);
    EXPECT_EQ(g.CallMan().EventLevel(), 2);
}

} // namespace
} // namespace zuno::test
