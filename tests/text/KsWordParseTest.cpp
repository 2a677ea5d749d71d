// Markup into items: every tag kind, the style the items carry, and the
// markup errors.
#include <gtest/gtest.h>

#include <string>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "text/TKsWord.h"
#include "WordTestUtil.h"

namespace {

using namespace zuno;
using zuno::test::describeItems;

std::string itemsOf(const std::string& utf8) {
    TKsWord word;
    word.SetText(sjis(utf8));
    return describeItems(word);
}

const TWdStyle& styleAt(const TKsWord& word, int32_t index) {
    return *static_cast<const TWdReal*>(word.Item(index))->Style;
}

struct TItemsCase {
    std::string markup;
    std::string expected;
};

TEST(KsWordParse, ItemsOfEveryTagKind) {
    const TItemsCase cases[] = {
        {"aあｱ", "\"aあｱ\""},
        {"a<BR>b", "\"a\"<BR>\"b\""},
        {"a<br clear>b", "\"a\"<BR CLEAR>\"b\""},
        {"a<CLEAR>b", "\"a\"<BR CLEAR>\"b\""},
        {"<DIV ALIGN=RIGHT>a</DIV>", "<ALIGN 2>\"a\"<ALIGN 1>"},
        {"<div align=center><DIV ALIGN=LEFT></div>", "<ALIGN 3><ALIGN 1><ALIGN 3>"},
        {"<DIV ALIGN=JUSTIFY><DIV>", "<ALIGN 1><ALIGN 1>"},
        {"</DIV>", "<ALIGN 1>"},
        {"<INDENT>a<UNDENT>", "<INDENT>\"a\"<UNDENT>"},
        {"<EVENT VALUE=go>", "<EVENT go>"},
        {"<EVENT VALUE=stop END>", "<EVENT \\x01stop>"},
        {"<EVENT VALUE=\"a\\\\b\\nc\">", "<EVENT a\\\\b\\r\\nc>"},
        {"<EVENT>", "<EVENT >"},
        {"<VAR NAME=x><VAR>", "<VAR x>"},
        {"<IMG SRC=pic.png>", "<IMG pic.png 5>"},
        {"<IMG SRC=p ALIGN=top><IMG SRC=q ALIGN=Center><IMG SRC=r ALIGN=LEFT><IMG>", "<IMG p 4><IMG q 3><IMG r 5>"},
        {"a<UNKNOWN x=1>b<!-- c -->d", "\"abd\""},
        {"a<B", "\"a\""},
        {"a<>b", "\"ab\""},
        {"<B>a</B></B></FONT></WAIT></A></NOBR></RUBY>b", "\"ab\""},
        {"", ""},
    };
    for (const TItemsCase& c : cases)
        EXPECT_EQ(itemsOf(c.markup), c.expected) << c.markup;
}

TEST(KsWordParse, LinesAreJoinedWithLineBreaks) {
    TKsWord word;
    word.SetText(std::vector<std::string>{"a", "b"});
    EXPECT_EQ(describeItems(word), "\"a b\"");
    word.SetText(std::vector<std::string>{"<PRE>a", "b"});
    EXPECT_EQ(describeItems(word), "\"a\"<BR>\"b\"");
}

TEST(KsWordParse, StyleFlagsSetAndClear) {
    TKsWord word;
    word.SetText("<B>a<I>b<U>c<S>d</B>e</I>f</U>g</S>h");
    const uint8_t expected[] = {FS_BOLD,
                                FS_BOLD | FS_ITALIC,
                                FS_BOLD | FS_ITALIC | FS_UNDERLINE,
                                FS_BOLD | FS_ITALIC | FS_UNDERLINE | FS_STRIKEOUT,
                                FS_ITALIC | FS_UNDERLINE | FS_STRIKEOUT,
                                FS_UNDERLINE | FS_STRIKEOUT,
                                FS_STRIKEOUT,
                                0};
    ASSERT_EQ(word.ItemCount(), 8);
    for (int32_t i = 0; i < 8; ++i)
        EXPECT_EQ(styleAt(word, i).StyleFlags, expected[i]) << i;
}

TEST(KsWordParse, FontPushesAndPopsAllSevenValues) {
    TKsWord word;
    word.SetText("a<FONT SIZE=20 COLOR=\"#FF0000\" BCOLOR=#00ff80 SCOLOR=#123456 NAME=\"Serif X\" BORDER=2 SHADOW=3>"
                 "b<FONT SIZE=big COLOR=red BORDER SHADOW=-4>c</FONT>d</FONT>e</FONT>f");
    ASSERT_EQ(word.ItemCount(), 6);
    const TWdStyle& a = styleAt(word, 0);
    EXPECT_EQ(a.FontSize, 0);
    EXPECT_EQ(a.Color, kDefaultColor);
    EXPECT_EQ(a.BorderWidth, kDefaultWidth);
    EXPECT_EQ(textOf(a.FontName), "");

    const TWdStyle& b = styleAt(word, 1);
    EXPECT_EQ(b.FontSize, 20);
    EXPECT_EQ(b.Color, 0x0000FF);
    EXPECT_EQ(b.BorderColor, 0x80FF00);
    EXPECT_EQ(b.ShadowColor, 0x563412);
    EXPECT_EQ(textOf(b.FontName), "Serif X");
    EXPECT_EQ(b.BorderWidth, 2);
    EXPECT_EQ(b.ShadowOffset, 3);

    // Bad values keep the current ones; BORDER alone is 1; a negative width is 0.
    const TWdStyle& c = styleAt(word, 2);
    EXPECT_EQ(c.FontSize, 20);
    EXPECT_EQ(c.Color, 0x0000FF);
    EXPECT_EQ(textOf(c.FontName), "Serif X");
    EXPECT_EQ(c.BorderWidth, 1);
    EXPECT_EQ(c.ShadowOffset, 0);

    EXPECT_EQ(styleAt(word, 3).FontSize, 20);
    EXPECT_EQ(styleAt(word, 3).BorderWidth, 2);
    for (int32_t i : {4, 5}) {
        EXPECT_EQ(styleAt(word, i).FontSize, 0);
        EXPECT_EQ(styleAt(word, i).Color, kDefaultColor);
        EXPECT_EQ(styleAt(word, i).ShadowColor, kDefaultColor);
    }
}

TEST(KsWordParse, ColourAttributesNeedHashAndSixHexDigits) {
    const std::pair<const char*, int32_t> cases[] = {
        {"#FF0000", 0x0000FF}, {"#0000ff", 0xFF0000}, {"#abcdef", 0xEFCDAB}, {"FF0000", kDefaultColor},
        {"#FF00", kDefaultColor}, {"#FF00001", kDefaultColor}, {"#GG0000", kDefaultColor}, {"red", kDefaultColor},
    };
    for (const auto& [value, color] : cases) {
        TKsWord word;
        word.SetText(std::string("<FONT COLOR=\"") + value + "\">a");
        EXPECT_EQ(styleAt(word, 0).Color, color) << value;
    }
}

TEST(KsWordParse, NoBreakRubyAndLinks) {
    TKsWord word;
    word.SetText(sjis("<NOBR>a</NOBR><RUBY VALUE=\"かん じ\">漢<A HREF=\"go\\\\x\\n\">字</RUBY>b</A>c"));
    ASSERT_EQ(word.ItemCount(), 5);
    EXPECT_TRUE(styleAt(word, 0).NoBreak);
    EXPECT_FALSE(styleAt(word, 1).NoBreak);
    EXPECT_EQ(cp932ToUtf8(textOf(styleAt(word, 1).Ruby)), "かん じ");
    EXPECT_EQ(textOf(styleAt(word, 1).Link), "");
    EXPECT_EQ(cp932ToUtf8(textOf(styleAt(word, 2).Ruby)), "かん じ");
    EXPECT_EQ(textOf(styleAt(word, 2).Link), "go\\x\r\n");
    EXPECT_EQ(textOf(styleAt(word, 3).Ruby), "");
    EXPECT_EQ(textOf(styleAt(word, 3).Link), "go\\x\r\n");
    EXPECT_EQ(textOf(styleAt(word, 4).Link), "");
}

TEST(KsWordParse, ImagesCarryNoBreakRubyLinkAndWait) {
    TKsWord word;
    word.SetText("<NOBR><RUBY VALUE=r><A HREF=h><WAIT VALUE=7><IMG SRC=p>");
    ASSERT_EQ(word.ItemCount(), 1);
    const TWdStyle& s = styleAt(word, 0);
    EXPECT_TRUE(s.NoBreak);
    EXPECT_EQ(textOf(s.Ruby), "r");
    EXPECT_EQ(textOf(s.Link), "h");
    EXPECT_EQ(word.Item(0)->Wait, 7);
}

TEST(KsWordParse, LinkWithoutTargetIsAnError) {
    TKsWord word;
    try {
        word.SetText("a<A>b</A>");
        FAIL() << "no error";
    } catch (const EZunoError& e) {
        EXPECT_EQ(cp932ToUtf8(e.message()), "<A>タグにHREF値がありません");
    }
    // A target that is present but empty is no error.
    EXPECT_NO_THROW(word.SetText("<A HREF=\"\">b</A>"));
}

TEST(KsWordParse, WaitStackAndGlobalWait) {
    TKsWord word;
    word.SetText("a<WAIT VALUE=10>b<WAIT VALUE=x>c<WAIT VALUE=-5>d</WAIT>e</WAIT>f</WAIT>g</WAIT>h<EVENT VALUE=v>");
    const int32_t expected[] = {50, 10, 10, -5, 10, 10, 50, 50, 50};
    ASSERT_EQ(word.ItemCount(), 9);
    for (int32_t i = 0; i < 9; ++i)
        EXPECT_EQ(word.Item(i)->Wait, expected[i]) << i;
}

TEST(KsWordParse, OperationMarksCarryNoWaitButEventMarksDo) {
    TKsWord word;
    word.SetText("<WAIT VALUE=30><BR><DIV><INDENT><UNDENT><EVENT VALUE=e>");
    ASSERT_EQ(word.ItemCount(), 5);
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(word.Item(i)->Wait, 0) << i;
    EXPECT_EQ(word.Item(4)->Wait, 30);
}

TEST(KsWordParse, SetTextDiscardsTheOldItemsAndSnapshot) {
    TKsWord word;
    word.SetText("abc");
    word.VarSnapshot = {"x=1"};
    word.SetText("d");
    EXPECT_EQ(describeItems(word), "\"d\"");
    EXPECT_TRUE(word.VarSnapshot.empty());
}

TEST(KsWordParse, DecorationsAreRunsOfUnderlineLinkAndRuby) {
    TKsWord word;
    word.SetText("<A HREF=x>ab</A><A HREF=y>c</A><U>d<BR>e</U><RUBY VALUE=r>fg</RUBY>");
    //            0 1         2        3 4   5         6 7
    const TDecorateList& d = word.Decorations();
    ASSERT_EQ(d.Runs(TDecorateKind::Link).size(), 2u);
    EXPECT_EQ(d.Runs(TDecorateKind::Link)[0].Last, 1);
    const TDecorate* run = d.RunAt(TDecorateKind::Link, 2);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->First, 2);
    EXPECT_EQ(textOf(run->Text), "y");
    EXPECT_EQ(d.RunAt(TDecorateKind::Link, 3), nullptr);
    // Links are underlined; the line break ends the underline run.
    ASSERT_EQ(d.Runs(TDecorateKind::Underline).size(), 2u);
    EXPECT_EQ(d.Runs(TDecorateKind::Underline)[0].First, 0);
    EXPECT_EQ(d.Runs(TDecorateKind::Underline)[0].Last, 3);
    EXPECT_EQ(d.Runs(TDecorateKind::Underline)[1].First, 5);
    const TDecorate* ruby = d.RunAt(TDecorateKind::Ruby, 7);
    ASSERT_NE(ruby, nullptr);
    EXPECT_EQ(ruby->First, 6);
    EXPECT_EQ(ruby->Last, 7);
}

} // namespace
