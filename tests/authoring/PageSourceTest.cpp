// The page and project source forms: round trips through decompile and
// build, index resolution, expression texts and the errors of bad source.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "authoring/PageSource.h"
#include "authoring/PageSourceText.h"
#include "authoring/ProjectSource.h"
#include "authoring/ZunoDecompiler.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "expr/TZunoParser.h"
#include "expr/ZunoCalc.h"
#include "script/ComFlow.h"
#include "script/ComObject.h"

namespace zuno {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string bytesOf(const TPage& page) {
    TKsMemoryStream s;
    page.SaveToStream(s);
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize()));
}

std::string roundTripBytes(const TPage& page) {
    return bytesOf(*buildPageSource(decompilePage(page), "rt.zs", page.Name()));
}

TEST(PageSource, EveryCommandTypeRoundTrips) {
    const std::string src = readFile(std::string(ZUNO_SOURCE_DIR) + "/games/tests/allcommands/main.zs");
    ASSERT_FALSE(src.empty());
    std::unique_ptr<TPage> page = buildPageSource(src, "main.zs", "main.zsb");
    std::set<int> types;
    for (int k = 0; k < page->CommandCount(); ++k)
        types.insert(page->Command(k)->TypeCode());
    EXPECT_EQ(types.size(), static_cast<size_t>(CommandTypeCount));
    EXPECT_EQ(roundTripBytes(*page), bytesOf(*page));
    // Line numbers are the source lines, so the decompiled text keeps them without attributes.
    EXPECT_EQ(page->Command(0)->FLine, 5);
}

TEST(PageSource, IndicesFollowLabelsAndLoops) {
    const char* src =
        "Label start\n"          // 0
        "WhileInit i = 0\n"      // 1
        "While i < 3\n"          // 2
        "  WhileInit j = 0\n"    // 3
        "  While j < 2\n"        // 4
        "    Break j == 1\n"     // 5
        "  WhileLoop j = j + 1\n" // 6
        "  Continue\n"           // 7
        "WhileLoop i = i + 1\n"  // 8
        "Break\n"                // 9
        "Jump @start\n";         // 10
    std::unique_ptr<TPage> p = buildPageSource(src, "t.zs");
    EXPECT_EQ(dynamic_cast<TComWhile&>(*p->Command(2)).FExitIndex, 9);
    EXPECT_EQ(dynamic_cast<TComWhile&>(*p->Command(4)).FExitIndex, 7);
    EXPECT_EQ(dynamic_cast<TComBreak&>(*p->Command(5)).FTargetIndex, 7);
    EXPECT_EQ(dynamic_cast<TComWhileLoop&>(*p->Command(6)).FLoopBackIndex, 4);
    EXPECT_EQ(dynamic_cast<TComContinue&>(*p->Command(7)).FTargetIndex, 8);
    EXPECT_EQ(dynamic_cast<TComWhileLoop&>(*p->Command(8)).FLoopBackIndex, 2);
    EXPECT_EQ(dynamic_cast<TComBreak&>(*p->Command(9)).FTargetIndex, -1);
    EXPECT_EQ(dynamic_cast<TComJump&>(*p->Command(10)).FTargetIndex, 0);
    // Defaults of the header: continue on, line = source line, indent from the blanks.
    EXPECT_EQ(p->Command(5)->FIndent, 2);
    EXPECT_EQ(p->Command(5)->FLine, 6);
    EXPECT_EQ(p->Command(5)->FContinue, 1);
    // An absent condition of Jump/Break holds; an explicit empty one is stored empty.
    EXPECT_FALSE(dynamic_cast<TComJump&>(*p->Command(10)).FCondition->Empty());
    std::unique_ptr<TPage> q = buildPageSource("Exit condition:\n", "t.zs");
    EXPECT_EQ(dynamic_cast<TComExit&>(*q->Command(0)).FCondition, nullptr);
    EXPECT_EQ(roundTripBytes(*q), bytesOf(*q));
}

// Pages another writer may produce: indices that are not the computed ones,
// header bytes beyond 0/1, a type byte with its high bit, odd indents, sets
// without expressions, expressions not in the compiler's canonical form.
TEST(PageSource, UnusualPagesRoundTrip) {
    TPage page;
    page.SetName("odd.zsb");
    page.SetVersion(106);
    page.SetResultType(3);
    auto& w = dynamic_cast<TComWhile&>(page.AddNew(ctWhile));
    w.FExitIndex = 42;
    w.FCondition = compileExpr("((a)) + (b)");                 // redundant groups change temporaries
    auto& j = dynamic_cast<TComJump&>(page.AddNew(ctJump | 0x80));
    j.FTargetIndex = -7;
    j.FPageFile = sjis("ページ.zsb");
    j.FIndent = -2;
    j.FDisabled = 2;
    j.FContinue = 9;
    j.FLine = 123456;
    auto& br = dynamic_cast<TComBreak&>(page.AddNew(ctBreak));
    br.FTargetIndex = 5;
    br.FIndent = 1000;
    auto& c = dynamic_cast<TComCalc&>(page.AddNew(ctCalc));
    c.FStatement = compileExpr(sjis("s = \"改行\\n\\\"引用\\\\\" ++ -x * -(y - 1)"));
    auto& lbl = dynamic_cast<TComLabel&>(page.AddNew(ctLabel));
    lbl.FName = std::string("\x81", 1);                        // a lone lead byte
    auto& box = dynamic_cast<TComComponent&>(page.AddNew(ctBoxNew));
    box.SetProperty(PR_NAME, compileExpr("\"b\""));
    page.SetProperty(ctBoxNew, PR_LEFT, true);                 // in the set, no expression
    page.SetProperty(ctIf, PR_TOP, true);                      // a set of a type without a block
    EXPECT_EQ(roundTripBytes(page), bytesOf(page));

    // Loaded back from its bytes (empty expressions then fill every set slot).
    TKsMemoryStream s;
    page.SaveToStream(s);
    s.SetPosition(0);
    TPage loaded;
    ASSERT_EQ(loaded.LoadFromStream(s, "odd.zsb"), TPageLoadResult::Loaded);
    EXPECT_EQ(roundTripBytes(loaded), bytesOf(page));
}

// Set tables of other shapes, as other writers store them: fewer or more
// entries than command types, entries longer (extra bytes kept) or shorter
// than a set, bits above the last property identifier. Loaded, decompiled and
// built, each page gives its own bytes again.
TEST(PageSource, OtherSetTablesRoundTrip) {
    // The commands part of a page without components (sets do not change how
    // its records are read).
    TPage ref;
    auto& j = dynamic_cast<TComJump&>(ref.AddNew(ctJump));
    j.FTargetIndex = 1;
    dynamic_cast<TComLabel&>(ref.AddNew(ctLabel)).FName = "top";
    dynamic_cast<TComCalc&>(ref.AddNew(ctCalc)).FStatement = compileExpr("a = 1");
    const std::string refBytes = bytesOf(ref);
    const size_t standardTable = 4 + 1 + 8 + CommandTypeCount * PropertySetBytes;
    const std::string commands = refBytes.substr(standardTable);

    struct Case {
        const char* what;
        int32_t count;
        int32_t size;
        bool highBitOnly;                                        // entries zero but for identifier 165
    };
    const Case cases[] = {
        {"no entries", 0, 21, false},
        {"70 entries of 21 bytes", 70, 21, false},
        {"entries of 25 bytes", 61, 25, false},
        {"entries of 3 bytes", 61, 3, false},
        {"entries of no bytes", 5, 0, false},
        {"standard shape, a bit above the identifiers", 61, 21, true},
    };
    for (const Case& c : cases) {
        TKsMemoryStream s;
        WriteInt(s, 113);
        WriteByte(s, 1);
        WriteInt(s, c.count);
        WriteInt(s, c.size);
        for (int32_t i = 0; i < c.count; ++i)
            for (int32_t k = 0; k < c.size; ++k)
                WriteByte(s, c.highBitOnly ? (i == 8 && k == 20 ? 0x20 : 0) : static_cast<uint8_t>(i * 7 + k * 13 + 1));
        s.WriteBuffer(commands.data(), static_cast<int64_t>(commands.size()));
        const std::string original(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize()));
        s.SetPosition(0);
        TPage page;
        ASSERT_EQ(page.LoadFromStream(s, "other.zsb"), TPageLoadResult::Loaded) << c.what;
        ASSERT_EQ(bytesOf(page), original) << c.what;
        const std::string text = decompilePage(page);
        EXPECT_NE(text.find(".sets count=" + std::to_string(c.count) + " size=" + std::to_string(c.size)),
                  std::string::npos) << c.what << "\n" << text;
        EXPECT_EQ(bytesOf(*buildPageSource(text, "rt.zs", page.Name())), original) << c.what << "\n" << text;
    }

    // The standard table says nothing of itself.
    ref.SetProperty(ctBoxNew, PR_LEFT, true);
    EXPECT_EQ(decompilePage(ref).find(".sets"), std::string::npos);
    EXPECT_EQ(roundTripBytes(ref), bytesOf(ref));
}

// A stored entry given in source replaces what .props put there; entries not
// given keep the .props bits and zero extra bytes.
TEST(PageSource, SetTableDirectives) {
    std::unique_ptr<TPage> page = buildPageSource(".props BoxNew PR_LEFT\n.sets count=62 size=22\n"
                                                  ".set 61 00112233445566778899aabbccddeeff001122334455\n"
                                                  ".set 0 ff000000000000000000000000000000000000000001\n",
                                                  "t.zs");
    EXPECT_EQ(page->PropertySetCount(), 62);
    EXPECT_EQ(page->PropertySetSize(), 22);
    EXPECT_EQ(encodeHex(page->StoredPropertySet(0)), "ff000000000000000000000000000000000000000001");
    EXPECT_EQ(encodeHex(page->StoredPropertySet(61)), "00112233445566778899aabbccddeeff001122334455");
    EXPECT_TRUE(page->HasProperty(ctBoxNew, PR_LEFT));
    EXPECT_EQ(page->StoredPropertySet(8).back(), '\0');
    EXPECT_EQ(roundTripBytes(*page), bytesOf(*page));
}

TEST(ExprDecompile, CanonicalTexts) {
    const char* const texts[] = {
        "a = b + 2 * IntToStr(k, \"x\")",
        "x == 1 & y == 2",
        "a[b[1], 2] = -c",
        "s ++ t == u",
        "(a + b) * (c - d)",
        "a - (b - c)",
        "Max(1, Min(2, 3)) + Length(\"\\\"q\\\\\")",
        "TRUE",
        "1.5 * r",
    };
    for (const char* t : texts) {
        std::unique_ptr<TZunoParser> e = compileExpression(t);
        std::optional<std::string> back = decompileExpression(*e);
        ASSERT_TRUE(back) << t;
        EXPECT_EQ(*back, t);
    }
}

TEST(PageSource, BadSourceGivesFileAndLine) {
    struct Case {
        const char* src;
        const char* message;
    };
    const Case cases[] = {
        {"Calc a = 1\nFoo x\n", "t.zs:2: unknown command: Foo"},
        {"Calc a = (1\n", "t.zs:1: statement:"},
        {"   Calc a = 1\n", "t.zs:1: indentation"},
        {"Jump @nowhere\n", "t.zs:1: no label nowhere"},
        {"While a\nCalc b = 1\n", "t.zs:1: While without a matching WhileLoop"},
        {"WhileLoop\n", "t.zs:1: WhileLoop without a While"},
        {"While a; exit: 3\n  Break\n", "t.zs:2: Break inside a While without a matching WhileLoop"},
        {"While a; exit: 3\n  Continue\n", "t.zs:2: Continue inside a While without a matching WhileLoop"},
        {"Calc a = 1; bogus: 2\n", "t.zs:1: unknown field for Calc: bogus"},
        {"TextIns \"abc\n", "t.zs:1: unterminated text literal"},
        {"Calc[flying] a = 1\n", "t.zs:1: unknown attribute: flying"},
        {"Calc @ops:0100\n", "t.zs:1: statement: bad @ops"},
        {"VarNew v; type: 300\n", "t.zs:1: type: byte out of range"},
        {"Calc a = 1\n.page version=113\n", "t.zs:2: directives come before"},
        {".page version=99\n", "t.zs:1: page version must be"},
        {"BoxNew 5\n", "t.zs:1: BoxNew takes no value without a field name"},
        {"Call x.zsb; target: @l\n", "t.zs:1: no label l known in page x.zsb"},
        {".set 0 00\n", "t.zs:1: .set needs a .sets line before it"},
        {".sets count=2 size=1\n.set 2 00\n", "t.zs:2: set index out of range: 2"},
        {".sets count=2 size=2\n.set 1 00\n", "t.zs:2: set 1 needs 2 bytes, has 1"},
        {".sets count=2 size=1\n.set 1 zz\n", "t.zs:2: set bytes: not hexadecimal"},
        {".sets count=2 size=1\n.set 1 00\n.set 1 01\n", "t.zs:3: set 1 given twice"},
        {".sets count=-1 size=21\n", "t.zs:1: set count and size must not be negative"},
        {".sets count=2000000 size=2000\n", "t.zs:1: set table larger than"},
        {".sets count=61\n", "t.zs:1: expected: .sets count=N size=S"},
    };
    for (const Case& c : cases) {
        try {
            buildPageSource(c.src, "t.zs");
            ADD_FAILURE() << "accepted: " << c.src;
        } catch (const EZunoError& e) {
            EXPECT_EQ(cp932ToUtf8(e.message()).rfind(c.message, 0), 0u) << cp932ToUtf8(e.message());
        }
    }
}

TEST(ProjectSource, EveryFieldRoundTrips) {
    TProjectSetting p;
    p.FTitle = sjis("題名 \"x\"");
    p.FScreenWidth = 640;
    p.FScreenHeight = 480;
    p.FFullScreenWidth = 800;
    p.FFullScreenHeight = 600;
    p.FStartPage = "start.zsb";
    p.FExitPage = "end.zsb";
    p.FRegistryKey = "Zuno\\Demo";
    p.FIdentCode = -5;
    p.FKeepStatus = 0;
    p.FIdleYield = 1;
    p.FUndiscoveredTypes = ".wav";
    p.FPauseWhenInactive = 1;
    p.FDiskPrompt = "disc %d";
    p.FQuitConfirm = sjis("終了？");
    TInitVariable a{1, "a", 7, {}, 0, {}};
    TInitVariable r{2, "r", 0, TExtended{0xC000000000000001ull, 0x3FFF}, 0, {}};   // not a double
    TInitVariable f{3, "f", 0, {}, 1, {}};
    TInitVariable t{4, sjis("名前"), 0, {}, 0, "a b\tc"};
    TInitVariable odd{9, "odd", 0, {}, 0, {}};
    p.FVariables = {a, r, f, t, odd};
    p.FFolderDisks = {{"bgm", 2}};
    TProjectSetting back = buildProjectSource(decompileProject(p), "zuno.zpt");
    TKsMemoryStream s1, s2;
    p.SaveToStream(s1);
    back.SaveToStream(s2);
    EXPECT_EQ(s1.Data(), s2.Data());
    EXPECT_THROW(buildProjectSource("title: \"x\"\nscreenWidth: wide\n", "p.zpt"), EZunoError);
}

} // namespace
} // namespace zuno
