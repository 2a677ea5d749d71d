// The object and property commands in small games: the creation commands
// with their kinds, parents, defaults and special properties; ObjDel; GetProp
// and SetProp with their errors; property motions; cabinets; Flip with and
// without a duration, a selection and clear back; the display-object
// built-ins and the focus and sound variables; what image controls do for
// the creating command (the loop wait, the size before the position) and the
// picture a flip leaves on the old screen.
#include <algorithm>
#include <functional>

#include "ScriptTestGame.h"
#include "core/TStream.h"
#include "imaging/TDrelFrameList.h"
#include "objects/FilmText.h"
#include "objects/PropertyAccess.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoPropMotion.h"
#include "script/ComObject.h"

namespace zuno::test {
namespace {

using TProps = std::vector<std::pair<int, std::string>>;

class ObjectCommandTest : public ::testing::Test {
protected:
    TScriptGame& Run(std::vector<TPageBuilder*> pages, std::vector<TInitVariable> vars = {},
                     std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {}) {
        Game.reset();                               // its end writes the status data
        TGameSetup setup;
        setup.Pages = std::move(pages);
        setup.Variables = std::move(vars);
        setup.Files = std::move(files);
        writeGame(Folder.folder(), setup);
        std::filesystem::remove(Folder.folder() + "save.dat");
        Game = std::make_unique<TScriptGame>(Folder.folder());
        EXPECT_TRUE(Game->Start());
        return *Game;
    }
    // A component command; each property is an expression text, "" an empty expression.
    template <class T = TComComponent>
    static T& Create(TPageBuilder& p, TCommandType type, const TProps& props) {
        auto& c = p.template AddOf<T>(type);
        for (const auto& [id, text] : props)
            c.SetProperty(id, text.empty() ? TExprPtr(new TZunoParser) : compileExpr(sjis(text)));
        return c;
    }
    static void Calc(TPageBuilder& p, const std::string& statement) {
        p.Add<TComCalc>().FStatement = compileExpr(sjis(statement));
    }
    static TExprPtr expr(const std::string& text) { return text.empty() ? TExprPtr() : compileExpr(sjis(text)); }

    TZunoComponent* Obj(const std::string& name) {
        return name.empty() ? nullptr : Game->Registry.FindComponent(sjis(name));
    }
    TZunoCustomImages* Img(const std::string& name) { return dynamic_cast<TZunoCustomImages*>(Obj(name)); }
    TZunoControl* Ctl(const std::string& name) {
        TZunoComponent* o = Obj(name);
        return o ? o->AsControl() : nullptr;
    }
    std::string Prop(const std::string& name, int id) {
        TZunoComponent* o = Obj(name);
        return o ? cp932ToUtf8(GetPropertyValue(*o, id)->AsString()) : std::string("<none>");
    }

    TTempFolder Folder;
    std::unique_ptr<TScriptGame> Game;
};

TEST_F(ObjectCommandTest, CreationCommandsMakeTheirKind) {
    struct Case { TCommandType type; uint8_t kind; bool control; };
    const Case cases[] = {
        {ctBoxNew, LT_BOX, true},        {ctImgNew, LT_IMAGES, true},     {ctMesNew, LT_MES, true},      {ctTimer, LT_TIMER, false},
        {ctMovie, LT_VIDEO, true},     {ctCinema, LT_CINEMA, true},    {ctCaption, LT_LABEL, true},    {ctMenu, LT_MENU, true},
        {ctButton, LT_BUTTON, true},    {ctParticleNew, LT_PARTICLE, true},  {ctFireNew, LT_FIRE, true},     {ctSound, LT_SOUND, false},
        {ctEditNew, LT_EDIT, true},      {ctMemoNew, LT_MEMO, true},      {ctMapImgNew, LT_MAPIMG, true},   {ctWaveNew, LT_WAVE, true},
        {ctTileNew, LT_TILE, true},      {ctSliderNew, LT_SLIDER, true},    {ctScrollbarNew, LT_SCROLLBAR, true}, {ctGaugeNew, LT_GAUGE, true},
        {ctCGCaption, LT_CGLABEL, true},   {ctPrevMenuNew, LT_PREVMENU, true},
    };
    TPageBuilder main("main.zsb");
    for (const Case& c : cases)
        Create(main, c.type, {{PR_NAME, "\"o" + std::to_string(c.type) + "\""}, {PR_PARENT, "\"\""}});
    TScriptGame& g = Run({&main});
    g.Frame();
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        TZunoComponent* o = Obj("o" + std::to_string(c.type));
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->GetCompoType(), c.kind);
        EXPECT_EQ(o->AsControl() != nullptr, c.control);
        if (c.control) {
            EXPECT_EQ(o->AsControl()->Parent(), g.Registry.ActiveBase());
        }
    }
    // Nothing else but the particles the new emitter has started (system names).
    int named = 0;
    for (int i = 0; i < g.Registry.ObjectCount(); ++i)
        named += g.Registry.Objects(i)->IsSystemName() ? 0 : 1;
    EXPECT_EQ(named, int(std::size(cases)));
    // The Menu command remembers the menu it made (in the page the game loaded).
    TComMenu* menu = dynamic_cast<TComMenu*>(g.CallMan().CurrentPage()->Command(7));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->FMenuName, "o25");
}

TEST_F(ObjectCommandTest, CreationDefaultsWhenAnExpressionYieldsNothing) {
    struct Case { TCommandType type; int id; const char* expr; const char* expected; };
    const Case cases[] = {
        {ctImgNew, PR_ALPHA, "", "255"},               // an image without alpha is opaque
        {ctBoxNew, PR_COLOR, "", "-1"},                // a new control holds 0; the command gives -1
        {ctBoxNew, PR_COLOR, "1 / 0", "-1"},           // a failing expression yields nothing too
        {ctBoxNew, PR_BORDERCOLOR, "", "-1"},
        {ctMesNew, PR_FONTHEIGHT, "", "16"},
        {ctSound, PR_VOLUME, "", "1000"},
        {ctMenu, PR_ROWCOUNT, "", "1"},
        {ctMenu, PR_HOVERCOLOR, "", "-1"},
        {ctWaveNew, PR_AMP, "", "1"},
        {ctWaveNew, PR_WAVELEN, "", "100"},
        {ctCGCaption, PR_GLYPHWIDTH, "", "1"},
        {ctScrollbarNew, PR_LARGECHANGE, "", "1"},
        {ctMovie, PR_OVERLAY, "", "TRUE"},
        {ctBoxNew, PR_LEFT, "", "0"},                  // not listed: zero of its type
        {ctBoxNew, PR_WIDTH, "\"12\"", "12"},          // read in the declared type
    };
    TPageBuilder main("main.zsb");
    int n = 0;
    for (const Case& c : cases)
        Create(main, c.type, {{PR_NAME, "\"d" + std::to_string(n++) + "\""}, {c.id, c.expr}});
    TScriptGame& g = Run({&main});
    g.Frame();
    n = 0;
    for (const Case& c : cases) {
        const std::string name = "d" + std::to_string(n++);
        EXPECT_EQ(Prop(name, c.id), c.expected) << name << " " << propertyName(c.id);
    }
}

TEST_F(ObjectCommandTest, ParentRules) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"orphan\""}});                          // no PR_PARENT in the set
    Create(main, ctImgNew, {{PR_NAME, "\"img\""}, {PR_PARENT, "\"nowhere\""}});  // names nothing
    Create(main, ctCaption, {{PR_NAME, "\"cap\""}, {PR_PARENT, "\"img\""}});
    Create(main, ctMesNew, {{PR_NAME, "\"mes\""}, {PR_PARENT, "Chr(1)"}});      // the other screen
    TScriptGame& g = Run({&main});
    g.Frame();
    ASSERT_NE(Ctl("orphan"), nullptr);
    EXPECT_EQ(Ctl("orphan")->Parent(), nullptr);
    EXPECT_EQ(Ctl("img")->Parent(), g.Registry.ActiveBase());
    EXPECT_EQ(Ctl("cap")->Parent(), Ctl("img"));
    EXPECT_EQ(Ctl("mes")->Parent(), g.Registry.GetScreen(1));
}

TEST_F(ObjectCommandTest, NamesStylesAndPropertiesNotApplied) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"\""}, {PR_PRIORITY, "4"}, {PR_TAG, "\"t\""}, {PR_PLUSX, "5"}});
    Create(main, ctCaption, {{PR_NAME, "\"cap\""}, {PR_FONTSTYLE, "31"}});
    Create(main, ctBoxNew, {{PR_NAME, "\"cap\""}});                // takes the name; the caption becomes cap_2
    TScriptGame& g = Run({&main});
    g.Frame();
    EXPECT_EQ(Prop("object0", PR_PRIORITY), "4");           // an empty name keeps the automatic one
    EXPECT_EQ(Prop("object0", PR_TAG), "t");
    EXPECT_EQ(Prop("object0", PR_PLUSX), "0");
    EXPECT_EQ(Prop("cap_2", PR_FONTSTYLE), "15");           // only bold, italic, underline, strike-out
    EXPECT_EQ(Obj("cap")->GetCompoType(), LT_BOX);
}

TEST_F(ObjectCommandTest, ObjDelFreesTheNameAtOnceAndTheObjectAfterTheUpdate) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"a\""}, {PR_PARENT, "\"\""}, {PR_LEFT, "1"}});
    main.Add<TComObjDel>().FObjectName = expr("\"a\"");
    Create(main, ctBoxNew, {{PR_NAME, "\"a\""}, {PR_PARENT, "\"\""}, {PR_LEFT, "2"}});
    main.Add<TComObjDel>().FObjectName = expr("\"\"");             // the active screen is not deleted
    main.Add<TComObjDel>().FObjectName = expr("Chr(1)");           // nor the other one
    main.Add<TComObjDel>().FObjectName = expr("\"missing\"");
    TScriptGame& g = Run({&main});
    g.Frame();
    EXPECT_EQ(g.Registry.ObjectCount(), 1);
    EXPECT_EQ(Prop("a", PR_LEFT), "2");
    EXPECT_EQ(g.Registry.FindControl("\x01" "BASE1"), g.Registry.GetScreen(1));
    EXPECT_EQ(g.Registry.GetScreen(1)->Name(), "\x01" "BASE1");
}

TEST_F(ObjectCommandTest, GetPropAndSetProp) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"b\""}, {PR_PARENT, "\"\""}, {PR_LEFT, "5"}});
    auto get = [&](const std::string& obj, const std::string& id, const std::string& var) {
        auto& c = main.Add<TComGetProp>();
        c.FObjectName = expr(obj);
        c.FPropertyId = expr(id);
        c.FTargetVar = sjis(var);
    };
    auto set = [&](const std::string& obj, const std::string& id, const std::string& value) {
        auto& c = main.Add<TComSetProp>();
        c.FObjectName = expr(obj);
        c.FPropertyId = expr(id);
        c.FValue = expr(value);
    };
    get("\"b\"", "3", "x");
    get("\"b\"", "3", "s");                     // into a text variable: converted
    set("\"b\"", "4", "\"7\"");                 // a text into an int property
    set("\"b\"", "4", "");                      // no value: nothing
    get("\"b\"", "4", "y");
    get("\"\"", "5", "w");                      // the active screen's width
    get("\"missing\"", "3", "z");               // no object: nothing
    get("\"b\"", "3", "noSuchVariable");
    get("\"b\"", "", "x");                      // no identifier: error, the script goes on
    Calc(main, "after1 = 1");
    set("\"b\"", "", "9");
    Calc(main, "after2 = 1");
    set("\"b\"", "92", "1");                    // PR_APPEARX cannot be written
    Calc(main, "after3 = 1");
    get("\"b\"", "200", "x");                   // beyond the table
    Calc(main, "after4 = 1");
    TScriptGame& g = Run({&main}, {intVar("x", 0), strVar("s", ""), intVar("y", 0), intVar("w", 0),
                                   intVar("z", 99), intVar("after1", 0), intVar("after2", 0),
                                   intVar("after3", 0), intVar("after4", 0)});
    g.Frames(20);
    EXPECT_EQ(g.Var("x"), "5");
    EXPECT_EQ(g.Var("s"), "5");
    EXPECT_EQ(g.Var("y"), "7");
    EXPECT_EQ(g.Var("w"), "64");
    EXPECT_EQ(g.Var("z"), "99");
    for (const char* v : {"after1", "after2", "after3", "after4"})
        EXPECT_EQ(g.Var(v), "1") << v;
}

TComPropMotion& motion(TPageBuilder& p, const std::string& name, const std::string& target, const std::string& id,
                       const std::string& end, const std::string& duration, const std::string& curve,
                       const std::string& paused = "") {
    auto& c = p.Add<TComPropMotion>();
    c.FMotionName = name.empty() ? TExprPtr() : compileExpr(sjis(name));
    c.FTargetName = compileExpr(sjis(target));
    c.FPropertyId = id.empty() ? TExprPtr() : compileExpr(id);
    c.FEndValue = compileExpr(end);
    c.FDuration = compileExpr(duration);
    c.FCurve = compileExpr(curve);
    c.FPaused = paused.empty() ? TExprPtr() : compileExpr(paused);
    return c;
}

TEST_F(ObjectCommandTest, PropMotionMovesAPropertyEachFrameAndEnds) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"b\""}, {PR_PARENT, "\"\""}, {PR_LEFT, "0"}, {PR_TOP, "50"}});
    motion(main, "\"m\"", "\"b\"", "3", "100", "160", "0");
    motion(main, "\"still\"", "\"b\"", "4", "0", "160", "0", "TRUE");
    TScriptGame& g = Run({&main});
    // The first update stores the start value, then each frame adds 16 ms.
    std::vector<std::string> lefts;
    for (int i = 0; i < 11; ++i) {
        g.Frame();
        lefts.push_back(Prop("b", PR_LEFT));
        if (i == 9) {
            EXPECT_NE(Obj("m"), nullptr);
        }
    }
    EXPECT_EQ(lefts, (std::vector<std::string>{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
    EXPECT_EQ(Obj("m"), nullptr);                   // ended and deleted
    EXPECT_EQ(Prop("b", PR_TOP), "50");             // the paused motion does nothing
    EXPECT_NE(Obj("still"), nullptr);
}

TEST_F(ObjectCommandTest, PropMotionEndsWithoutTargetOrProperty) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"b\""}, {PR_PARENT, "\"\""}});
    motion(main, "\"noProp\"", "\"b\"", "", "100", "160", "0");
    Calc(main, "after = 1");
    motion(main, "\"noTarget\"", "\"nothing\"", "3", "100", "160", "0");
    motion(main, "\"follows\"", "\"b\"", "3", "100", "1600", "0");
    main.Add<TComWait>(0, false).FTime = compileExpr("48");
    main.Add<TComObjDel>().FObjectName = compileExpr("\"b\"");
    TScriptGame& g = Run({&main}, {intVar("after", 0)});
    g.Frame();
    EXPECT_EQ(g.Var("after"), "1");
    EXPECT_EQ(Obj("noProp"), nullptr);              // created and named, then ended at its first update
    EXPECT_EQ(Obj("noTarget"), nullptr);
    EXPECT_NE(Obj("follows"), nullptr);
    g.Frames(6);
    EXPECT_EQ(Obj("b"), nullptr);
    EXPECT_EQ(Obj("follows"), nullptr);             // its target left the registry
}

TEST_F(ObjectCommandTest, CabinetsKeepChildrenOfTheInactiveScreen) {
    TPageBuilder main("main.zsb");
    for (const char* n : {"a", "b", "c"})
        Create(main, ctBoxNew, {{PR_NAME, std::string("\"") + n + "\""}, {PR_PARENT, "Chr(1)"}});
    auto cabinet = [&](TCommandType type, const std::string& name, const std::string& mode,
                       const std::vector<std::string>& names) {
        auto& c = Create<TComCabinet>(main, type, {{PR_NAME, name}});
        c.FMode = expr(mode);
        for (const std::string& n : names)
            c.FNames.push_back(compileExpr(sjis(n)));
    };
    cabinet(ctSaveCabinet, "\"cab\"", "FALSE", {"\"a\"", "\"c\""});       // the named ones move in
    Calc(main, "in1 = InCabinet(\"a\") ++ InCabinet(\"b\") ++ InPrimary(\"a\")");
    cabinet(ctLoadCabinet, "\"cab\"", "TRUE", {"\"a\""});                  // all but a move back
    Calc(main, "in2 = InCabinet(\"a\") ++ InCabinet(\"c\")");
    cabinet(ctLoadCabinet, "\"cab\"", "FALSE", {"\"a\""});                 // a moves back; the cabinet is empty
    cabinet(ctSaveCabinet, "\"empty\"", "FALSE", {});                      // nothing moves: deleted again
    cabinet(ctLoadCabinet, "\"missing\"", "TRUE", {});
    TScriptGame& g = Run({&main}, {strVar("in1", ""), strVar("in2", "")});
    g.Frame();
    EXPECT_EQ(g.Var("in1"), "TRUEFALSEFALSE");
    EXPECT_EQ(g.Var("in2"), "TRUEFALSE");
    for (const char* n : {"a", "b", "c"})
        EXPECT_EQ(Ctl(n)->Parent(), g.Registry.GetScreen(1)) << n;
    EXPECT_EQ(Obj("cab"), nullptr);
    EXPECT_EQ(Obj("empty"), nullptr);
    EXPECT_EQ(g.Registry.ObjectCount(), 3);
}

TComFlip& flip(TPageBuilder& p, const std::string& kind, const std::string& duration, const std::string& mode,
               const std::vector<std::string>& names, const std::string& clearBack = "") {
    auto& c = p.Add<TComFlip>(0, true);
    c.FKind = kind.empty() ? TExprPtr() : compileExpr(kind);
    c.FDuration = duration.empty() ? TExprPtr() : compileExpr(duration);
    c.FMode = mode.empty() ? TExprPtr() : compileExpr(mode);
    for (const std::string& n : names)
        c.FNames.push_back(compileExpr(sjis(n)));
    c.FClearBack = clearBack.empty() ? TExprPtr() : compileExpr(clearBack);
    return c;
}

TEST_F(ObjectCommandTest, FlipWithoutDurationMovesTheUnlistedAndSwapsAtOnce) {
    TPageBuilder main("main.zsb");
    for (const char* n : {"keep", "go", "keep2"})
        Create(main, ctBoxNew, {{PR_NAME, std::string("\"") + n + "\""}, {PR_PARENT, "\"\""}});
    flip(main, "1", "0", "0", {"\"keep\" ++ Chr(13) ++ Chr(10) ++ \"keep2\""});
    Calc(main, "after = 1");
    TScriptGame& g = Run({&main}, {intVar("after", 0)});
    g.Frame();
    EXPECT_EQ(g.Var("after"), "1");
    EXPECT_EQ(g.Registry.ActiveIndex(), 1);
    EXPECT_EQ(Ctl("go")->Parent(), g.Registry.GetScreen(1));
    EXPECT_EQ(Ctl("keep")->Parent(), g.Registry.GetScreen(0));
    EXPECT_EQ(Ctl("keep2")->Parent(), g.Registry.GetScreen(0));
    EXPECT_EQ(g.Registry.FindControl(TComFlip::SnapshotName), nullptr);   // no transition, no snapshot
}

TEST_F(ObjectCommandTest, FlipWithDurationHoldsTheOldPictureThenSwaps) {
    struct Case { const char* kind; const char* duration; const char* mode; int lastOldFrame; bool snapshot; };
    const Case cases[] = {
        {"40", "100", "", 8, false},        // kind 40 plays as kind 0; the duration is waited
        {"1", "100", "1", 8, true},         // a selection with a duration shows a snapshot
        {"1", "", "", 2, false},            // no duration: a transition of 1 ms
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + "/" + c.duration + "/" + c.mode);
        TPageBuilder main("main.zsb");
        Create(main, ctBoxNew, {{PR_NAME, "\"x\""}, {PR_PARENT, "\"\""}});
        flip(main, c.kind, c.duration, c.mode, {"\"x\""});
        Calc(main, "after = 1");
        TScriptGame& g = Run({&main}, {intVar("after", 0)});
        g.Frame();                                              // begins
        if (c.snapshot) {
            TZunoControl* s = g.Registry.FindControl(TComFlip::SnapshotName);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->Parent(), g.Registry.ActiveBase());
            EXPECT_EQ(s->IgnoreMouse(), IM_ALL);
            EXPECT_EQ(s->Width(), 64);
            EXPECT_EQ(Ctl("x")->Parent(), g.Registry.GetScreen(1));   // mode 1 moves the listed
        }
        g.Frames(c.lastOldFrame - 1);
        EXPECT_EQ(g.Registry.ActiveIndex(), 0);
        EXPECT_EQ(g.Var("after"), "0");
        g.Frame();
        EXPECT_EQ(g.Registry.ActiveIndex(), 1);
        EXPECT_EQ(g.Var("after"), "1");
        EXPECT_EQ(g.Registry.FindControl(TComFlip::SnapshotName), nullptr);
    }
}

TEST_F(ObjectCommandTest, FlipClearBackDeletesTheOldScreenButItsCabinets) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"old\""}, {PR_PARENT, "\"\""}});
    Create(main, ctBoxNew, {{PR_NAME, "\"kept\""}, {PR_PARENT, "Chr(1)"}});
    auto& cab = Create<TComCabinet>(main, ctSaveCabinet, {{PR_NAME, "\"cab\""}});
    cab.FMode = compileExpr("FALSE");
    cab.FNames.push_back(compileExpr("\"kept\""));
    flip(main, "0", "0", "5", {}, "TRUE");                 // mode 5 moves nothing
    TScriptGame& g = Run({&main});
    g.Frame();
    EXPECT_EQ(g.Registry.ActiveIndex(), 1);
    EXPECT_EQ(Obj("old"), nullptr);
    ASSERT_NE(Obj("cab"), nullptr);
    EXPECT_EQ(Ctl("kept")->Parent(), Ctl("cab"));
}

TEST_F(ObjectCommandTest, FlipWithEventLockHoldsEventsAndWaits) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"b\""}, {PR_PARENT, "\"\""}});
    flip(main, "0", "64", "", {}).FEventLock = compileExpr("TRUE");
    TPageBuilder h("h.zsb");
    h.Let("t = @TickCount");
    TScriptGame& g = Run({&main, &h}, {intVar("t", 0)});
    g.Frame();
    std::vector<std::string> none;
    g.Registry.Events().Post(Obj("b"), "h.zsb", &none, PR_ONLBTNDOWN);
    g.Frames(4);
    EXPECT_EQ(g.Var("t"), "0");
    EXPECT_EQ(g.Registry.ActiveIndex(), 0);
    g.Frame();                                              // the flip ends in frame 6; the handler follows
    EXPECT_EQ(g.Registry.ActiveIndex(), 1);
    EXPECT_EQ(g.Var("t"), "96");
}

TEST_F(ObjectCommandTest, DisplayObjectFunctions) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"a\""}, {PR_PARENT, "\"\""}, {PR_LEFT, "10"}, {PR_TOP, "20"}});
    Create(main, ctBoxNew, {{PR_NAME, "\"k\""}, {PR_PARENT, "\"a\""}, {PR_LEFT, "5"}, {PR_TOP, "5"}});
    Create(main, ctBoxNew, {{PR_NAME, "\"h\""}, {PR_PARENT, "Chr(1)"}});
    Create(main, ctMenu, {{PR_NAME, "\"m\""}, {PR_PARENT, "\"\""},
                      {PR_TEXT, "Chr(13) ++ \" Yes\" ++ Chr(13) ++ Chr(10) ++ \"No\" ++ Chr(10)"}});
    Create(main, ctSound, {{PR_NAME, "\"snd\""}});
    // `before` runs first as its own statement (into the variable c).
    struct Case { const char* before; const char* expr; const char* expected; };
    const Case cases[] = {
        {"", "Exists(\"a\") ++ Exists(\"\") ++ Exists(\"zz\") ++ Exists(\"snd\")", "TRUEFALSEFALSETRUE"},
        {"ListCompo(names)", "c ++ \":\" ++ ArrayToString(names, \",\")", "5:a,k,h,m,snd"},
        {"ListCompo(names, 2)", "c ++ \":\" ++ ArrayToString(names, \",\")", "3:a,k,h"},
        {"ListCompo(names, 99)", "c ++ \":\" ++ ArrayToString(names, \",\")", "5:a,k,h,m,snd"},
        {"ListCompo(names, 0, \"a\")", "c ++ \":\" ++ ArrayToString(names, \",\")", "1:k"},
        {"ListCompo(names, 0, \"zz\")", "c ++ \":\" ++ GetArraySize(names) ++ names", "0:1"},
        {"", "ToClientX(\"a\", 15) ++ \",\" ++ ToClientY(\"k\", 30) ++ \",\" ++ ToClientX(\"zz\", 7)", "5,5,7"},
        {"", "ToScreenX(\"k\", 1) ++ \",\" ++ ToScreenY(\"k\", 1) ++ \",\" ++ ToScreenY(\"snd\", 3)", "16,26,3"},
        {"", "InPrimary(\"a\") ++ InPrimary(\"h\") ++ InPrimary(\"snd\") ++ InPrimary(\"zz\")", "TRUEFALSEFALSEFALSE"},
        {"", "IndexOfMenu(\"m\", \"no\") ++ IndexOfMenu(\"m\", \"YES\") ++ IndexOfMenu(\"m\", \"x\") ++ IndexOfMenu(\"a\", \"No\")",
         "10-1-1"},
        {"", "GetProp(\"k\", 3) + 1", "6"},                         // typed as the property: an integer
        {"", "GetProp(\"zz\", 3)", "0"},                            // no object: R keeps its 0
        {"SetProp(\"a\", 4, 30)", "c ++ GetProp(\"a\", 4) ++ \",\" ++ ToScreenY(\"k\", 0)", "30,35"},
        {"", "GetCheck(\"m\", 0) ++ GetGroupIndex(\"a\", 0) ++ GetEnabled(\"zz\", 1)", "FALSE0FALSE"},
    };
    int n = 0;
    std::vector<TInitVariable> vars = {strVar("names", ""), strVar("c", "")};
    for (const Case& c : cases) {
        const std::string var = "r" + std::to_string(n++);
        if (*c.before)
            Calc(main, std::string("c = ") + c.before);
        Calc(main, var + " = " + c.expr);
        vars.push_back(strVar(var, "<unset>"));
    }
    TScriptGame& g = Run({&main}, vars);
    g.Frame();
    n = 0;
    for (const Case& c : cases)
        EXPECT_EQ(g.Var("r" + std::to_string(n++)), c.expected) << c.expr;
}

// A Drel file of `delays.size()` frames of w x h pixels, each frame its own grey.
std::vector<uint8_t> drelFile(int32_t w, int32_t h, const std::vector<int32_t>& delays) {
    TDrelFrameList list;
    for (size_t i = 0; i < delays.size(); ++i) {
        TDrelFrame* f = list.AddFrame();
        f->Bitmap.SetSize(w, h, 24);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                f->Bitmap.SetPixel(x, y, uint32_t(0x202020 * (i + 1)));
        f->Delay = delays[i];
    }
    TKsMemoryStream s;
    list.SaveToStream(s);
    return s.Data();
}

// Item functions on a preview menu take an item name as well as a number.
TEST_F(ObjectCommandTest, PreviewMenuItemFunctionsTakeNamesOrNumbers) {
    TFilmManager film;
    filmFromText(film, "film motion 108\nscreen 20 8\n"
                       "track image\nlength 10\nfile \"a.drl\"\n"
                       "track image\nlength 10\nfile \"7.drl\"\nstart-pos 10 0\nend-pos 10 0\n");
    TKsMemoryStream bytes;
    film.SaveToStream(bytes);
    TPageBuilder main("main.zsb");
    Create(main, ctPrevMenuNew, {{PR_NAME, "\"p\""}, {PR_PARENT, "\"\""}, {PR_SOURCE, "\"menu.zmt\""}});
    struct Case { const char* before; const char* expr; const char* expected; };
    const Case cases[] = {
        {"", "GetProp(\"p\", 45) ++ \",\" ++ GetProp(\"p\", 50)", "2,a\r\n7"},
        {"SetEnabled(\"p\", \"a\", FALSE)", "GetEnabled(\"p\", 0) ++ GetEnabled(\"p\", \"a\") ++ GetEnabled(\"p\", 1)",
         "FALSEFALSETRUE"},
        // A text that parses as an integer is an item number, not the item named "7".
        {"SetCheck(\"p\", \"1\", TRUE)", "GetCheck(\"p\", 1) ++ GetCheck(\"p\", \"7\") ++ GetCheck(\"p\", 0)",
         "TRUEFALSEFALSE"},
        {"SetVisible(\"p\", \"zz\", FALSE)", "GetVisible(\"p\", 0) ++ GetVisible(\"p\", 1) ++ GetVisible(\"p\", \"zz\")",
         "TRUETRUEFALSE"},
    };
    int n = 0;
    std::vector<TInitVariable> vars = {strVar("c", "")};
    for (const Case& c : cases) {
        const std::string var = "r" + std::to_string(n++);
        if (*c.before)
            Calc(main, std::string("c = ") + c.before);
        Calc(main, var + " = " + c.expr);
        vars.push_back(strVar(var, "<unset>"));
    }
    TScriptGame& g = Run({&main}, vars,
                         {{"menu.zmt", bytes.Data()}, {"a.drl", drelFile(4, 4, {100})}, {"7.drl", drelFile(4, 4, {100})}});
    g.Frame();
    n = 0;
    for (const Case& c : cases)
        EXPECT_EQ(g.Var("r" + std::to_string(n++)), c.expected) << c.expr;
}

// The time left of an image each time it arrives at its last frame, over n frames.
std::vector<int32_t> lastFrameArrivals(TScriptGame& g, TZunoCustomImages& img, int n,
                                       const std::function<void(size_t)>& onArrival = {}) {
    std::vector<int32_t> arrivals;
    int32_t before = img.GetIndex();
    for (int i = 0; i < n; ++i) {
        g.Frame();
        const int32_t last = img.Count() - 1;
        if (img.GetIndex() == last && before != last) {
            arrivals.push_back(img.TimeLeft());
            if (onArrival)
                onArrival(arrivals.size());
        }
        before = img.GetIndex();
    }
    return arrivals;
}

TEST_F(ObjectCommandTest, ImgNewGivesTheImageItsLoopWait) {
    // Frames of 32 ms in a 16 ms clock: no surplus is carried, so the time
    // left on arriving at the last frame is its delay plus the loop wait.
    struct Case { int frames; const char* delay; std::vector<int32_t> arrivals; };
    const Case cases[] = {
        {3, "45", {77, 77, 77}},
        {2, "45", {77, 77, 77}},                    // two frames restart from 0; the wait still counts
        {3, "", {32, 32, 32}},                      // an empty expression: no wait
        {3, "-20", {12, 12, 12}},                   // a negative wait shortens the last frame
        {3, "w * 2", {52, 52, 52}},                 // over the game's variables
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.frames) + " frames, delay " + c.delay);
        TPageBuilder main("main.zsb");
        Create(main, ctImgNew, {{PR_NAME, "\"i\""}, {PR_PARENT, "\"\""}, {PR_SOURCE, "\"anim.drl\""},
                                {PR_REPEAT, "TRUE"}, {PR_DELAY, c.delay}});
        TScriptGame& g = Run({&main}, {intVar("w", 10)},
                             {{"anim.drl", drelFile(4, 4, std::vector<int32_t>(size_t(c.frames), 32))}});
        g.Frame();
        TZunoCustomImages* img = Img("i");
        ASSERT_NE(img, nullptr);
        ASSERT_EQ(img->Count(), c.frames);
        std::vector<int32_t> got = lastFrameArrivals(g, *img, 60);
        ASSERT_GE(got.size(), c.arrivals.size());
        got.resize(c.arrivals.size());
        EXPECT_EQ(got, c.arrivals);
    }
}

TEST_F(ObjectCommandTest, ImgNewLoopWaitIsEvaluatedAnewEachLoop) {
    auto game = [&](const std::string& delay, const std::string& index, int frames) -> TScriptGame& {
        TPageBuilder main("main.zsb");
        TProps props = {{PR_NAME, "\"i\""}, {PR_PARENT, "\"\""}, {PR_SOURCE, "\"anim.drl\""}, {PR_REPEAT, "TRUE"}};
        if (!delay.empty())
            props.push_back({PR_DELAY, delay});
        if (!index.empty())
            props.push_back({PR_INDEX, index});
        Create(main, ctImgNew, props);
        return Run({&main}, {intVar("w", 0)}, {{"anim.drl", drelFile(4, 4, std::vector<int32_t>(size_t(frames), 32))}});
    };

    // A variable changed between loops: each arrival takes its value then.
    {
        TScriptGame& g = game("w", "", 3);
        g.Frame();
        const std::vector<int32_t> waits = {0, 100, 7, 50};
        std::vector<int32_t> got = lastFrameArrivals(g, *Img("i"), 80, [&](size_t n) {
            if (n < waits.size())
                g.Params.Find("w")->Value()->SetInteger(waits[n]);
        });
        ASSERT_GE(got.size(), waits.size());
        for (size_t i = 0; i < waits.size(); ++i)
            EXPECT_EQ(got[i], 32 + waits[i]) << i;
    }
    // A random expression gives a new wait each loop.
    {
        TScriptGame& g = game("Random(200)", "", 3);
        g.Frame();
        std::vector<int32_t> got = lastFrameArrivals(g, *Img("i"), 400);
        ASSERT_GE(got.size(), 8u);
        for (int32_t t : got) {
            EXPECT_GE(t, 32);
            EXPECT_LT(t, 32 + 200);
        }
        std::sort(got.begin(), got.end());
        EXPECT_GT(std::unique(got.begin(), got.end()) - got.begin(), 2);
    }
    // The copy is made before the properties are applied: a PR_INDEX that
    // selects the last frame at creation already gets the wait.
    {
        const int32_t without = [&] { TScriptGame& g = game("", "2", 3); g.Frame(); return Img("i")->TimeLeft(); }();
        TScriptGame& g = game("45", "2", 3);
        g.Frame();
        EXPECT_EQ(Img("i")->GetIndex(), 2);
        EXPECT_EQ(Img("i")->TimeLeft(), without + 45);
    }
    // A single frame is no loop: no wait.
    {
        TScriptGame& g = game("45", "", 1);
        g.Frame();
        EXPECT_EQ(Img("i")->TimeLeft(), 32 - 16);
    }
}

TEST_F(ObjectCommandTest, ImageSizeIsRecomputedBeforeItsPosition) {
    // The picture is 20 x 10. The source sets the size at zoom 256; a zoom
    // applied after it only marks the size dirty. A position in the same
    // command brings the size up to date at once (the next command sees
    // it); without one, the size waits for the object update.
    struct Case { TProps props; const char* atOnce; const char* afterUpdate; };
    const Case cases[] = {
        {{{PR_ZOOMX, "512"}, {PR_LEFT, "5"}}, "40x10", "40x10"},
        {{{PR_ZOOMX, "512"}, {PR_ZOOMY, "128"}, {PR_TOP, "3"}, {PR_LEFT, "5"}}, "40x5", "40x5"},
        {{{PR_ZOOMX, "512"}}, "20x10", "40x10"},
        {{{PR_ZOOMX, "512"}, {PR_TOP, "3"}}, "20x10", "40x10"},          // only the left position does it
        {{{PR_LEFT, "5"}}, "20x10", "20x10"},
        {{{PR_ZOOMX, "512"}, {PR_WIDTH, "7"}, {PR_LEFT, "5"}}, "0x10", "0x10"},   // a direct width zeroes the zoom
    };
    for (const Case& c : cases) {
        TPageBuilder main("main.zsb");
        TProps props = {{PR_NAME, "\"i\""}, {PR_PARENT, "\"\""}, {PR_SOURCE, "\"pic.drl\""}};
        props.insert(props.end(), c.props.begin(), c.props.end());
        Create(main, ctImgNew, props);
        Calc(main, "size = GetProp(\"i\", 5) ++ \"x\" ++ GetProp(\"i\", 6)");
        TScriptGame& g = Run({&main}, {strVar("size", "")}, {{"pic.drl", drelFile(20, 10, {100})}});
        g.Frame();
        SCOPED_TRACE(c.atOnce);
        EXPECT_EQ(g.Var("size"), c.atOnce);
        EXPECT_EQ(Prop("i", PR_WIDTH) + "x" + Prop("i", PR_HEIGHT), c.afterUpdate);
    }
}

TEST_F(ObjectCommandTest, FlipSnapshotShowsTheOldPictureWhileTheFlipWaits) {
    // Screen 0 (black) has a red box on its left half; screen 1 a blue
    // box on its right half. The flip moves the red box to screen 1 and
    // waits 160 ms.
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"red\""}, {PR_PARENT, "\"\""}, {PR_WIDTH, "32"}, {PR_HEIGHT, "48"},
                            {PR_COLOR, "255"}});
    Create(main, ctBoxNew, {{PR_NAME, "\"blue\""}, {PR_PARENT, "Chr(1)"}, {PR_LEFT, "32"}, {PR_WIDTH, "32"},
                            {PR_HEIGHT, "48"}, {PR_COLOR, "16711680"}});
    flip(main, "1", "160", "0", {});
    Calc(main, "after = 1");
    TScriptGame& g = Run({&main}, {intVar("after", 0)});
    TZunoBaseList& reg = g.Registry;
    reg.GetScreen(0)->SetColor(0x000000);
    reg.GetScreen(1)->SetColor(0x303030);
    g.Frame();                                              // the flip begins
    ASSERT_EQ(Ctl("red")->Parent(), reg.GetScreen(1));
    ASSERT_EQ(reg.ActiveIndex(), 0);

    // The moved box changes and the old screen's colour changes: the old
    // screen still shows the picture of the moment the flip began, its
    // black too (the snapshot has no transparent colour).
    Ctl("red")->SetProp(PR_COLOR, TPropValue::ofInt(0x00FF00));
    reg.GetScreen(0)->SetColor(0xFFFFFF);
    reg.GetScreen(0)->MarkAllDirty();
    g.Frames(3);
    ASSERT_EQ(g.Var("after"), "0");
    reg.Draw();
    struct Probe { int screen; int32_t x, y; int32_t colour; };
    const Probe whileFlipping[] = {
        {0, 10, 10, 0x0000FF}, {0, 50, 40, 0x000000},      // the old picture
        {1, 10, 10, 0x00FF00}, {1, 50, 40, 0xFF0000},      // the new screen as it is
    };
    for (const Probe& p : whileFlipping) {
        TCustomDIBX* s = reg.SurfaceOf(*reg.GetScreen(p.screen));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetPixel(p.x, p.y), s->ColorToPixel(p.colour)) << p.screen << " " << p.x;
    }

    g.Frames(8);                                            // the flip ends: screen 1 shows
    ASSERT_EQ(g.Var("after"), "1");
    EXPECT_EQ(reg.ActiveIndex(), 1);
    EXPECT_EQ(reg.FindControl(TComFlip::SnapshotName), nullptr);
    reg.Draw();
    TCustomDIBX& out = reg.OutputSurface();
    EXPECT_EQ(out.GetPixel(10, 10), out.ColorToPixel(0x00FF00));
    EXPECT_EQ(out.GetPixel(50, 40), out.ColorToPixel(0xFF0000));
}

TEST_F(ObjectCommandTest, FocusAndSoundVariables) {
    TPageBuilder main("main.zsb");
    Create(main, ctBoxNew, {{PR_NAME, "\"f\""}, {PR_PARENT, "\"\""}, {PR_HANDLEKEY, "1"}});
    Create(main, ctBoxNew, {{PR_NAME, "\"g\""}, {PR_PARENT, "\"\""}});
    Calc(main, "@ActiveCompo = \"f\"");
    Calc(main, "s1 = @ActiveCompo");
    Calc(main, "@ActiveCompo = \"g\"");                 // cannot take the focus
    Calc(main, "@ActiveCompo = \"zz\"");
    Calc(main, "s2 = @ActiveCompo");
    Calc(main, "@SoundON = FALSE");
    Calc(main, "s3 = @SoundON");
    TScriptGame& g = Run({&main}, {strVar("s1", ""), strVar("s2", ""), strVar("s3", "")});
    g.Frame();
    EXPECT_EQ(g.Var("s1"), "f");
    EXPECT_EQ(g.Var("s2"), "f");
    EXPECT_EQ(g.Var("s3"), "FALSE");
    EXPECT_FALSE(g.Registry.SoundOn());
}

} // namespace
} // namespace zuno::test
