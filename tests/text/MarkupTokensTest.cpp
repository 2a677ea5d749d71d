// Preprocessing of message markup into tokens, and tags into names and
// attributes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Cp932.h"
#include "text/MarkupTokens.h"

namespace {

using namespace zuno;

// Tokens as text: T(...) for text, the tag as written, #(...) for an ignored block.
std::string describeTokens(const std::string& utf8) {
    std::string out;
    for (const TMarkupToken& t : tokenizeMarkup(sjis(utf8))) {
        if (!out.empty())
            out += ' ';
        std::string text = cp932ToUtf8(t.Text);
        switch (t.Kind) {
        case TMarkupTokenKind::Text:    out += "T(" + text + ")"; break;
        case TMarkupTokenKind::Tag:     out += text; break;
        case TMarkupTokenKind::Ignored: out += "#(" + text + ")"; break;
        }
    }
    return out;
}

struct TTokenCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(MarkupTokens, Preprocessing) {
    const TTokenCase cases[] = {
        {"two spaces show as one", "a  b", "T(a b)"},
        {"a leading space stays, runs fold", "  a   ", "T( a )"},
        {"spaces stay inside PRE", "<PRE>a  b</PRE>", "<PRE> T(a  b) </PRE>"},
        {"spaces stay inside double quotes", "\"a  b\"", "T(\"a  b\")"},
        {"quotes keep tags as text", "x\"<B>\"y", "T(x\"<B>\"y)"},
        {"quotes drop line breaks and tabs", "\"a\rb\tc\"", "T(\"abc\")"},
        {"a line break becomes one space", "あ\rい", "T(あ い)"},
        {"no space after a space", "a \rb", "T(a b)"},
        {"no space at a token's start", "<B>\rb", "<B> T(b)"},
        {"inside PRE a line break is a break", "<PRE>\rあ\rい</PRE>", "<PRE> T(あ) <BR> T(い) </PRE>"},
        {"inside TEXTAREA a line break only ends the text", "<TEXTAREA>\ra\rb</TEXTAREA>",
         "<TEXTAREA> T(a) T(b) </TEXTAREA>"},
        {"PRE ends with its closing tag", "<pre>a</pre>\rb  c", "<pre> T(a) </pre> T(b c)"},
        {"escaped brackets are text", "\\<B\\>x", "T(<B>x)"},
        {"every escapable character", "\\%\\{\\}\\\\\\<\\>", "T(%{}\\<>)"},
        {"other backslashes stay", "\\a", "T(\\a)"},
        {"a trail byte 0x5C is no escape", "ソ<B>表\\<", "T(ソ) <B> T(表<)"},
        {"nested comments end at the outermost close", "a<!-- x <!-- y --> z -->b",
         "T(a) #(<!-- x <!-- y --> z -->) T(b)"},
        {"unterminated comment runs to the end", "a<!-- x", "T(a) #(<!-- x)"},
        {"script block is one token", "a<SCRIPT>x<y></script>b", "T(a) #(<SCRIPT>x<y></script>) T(b)"},
        {"style block is one token", "<style>p{}</STYLE>", "#(<style>p{}</STYLE>)"},
        {"tabs are dropped outside PRE", "a\tb", "T(ab)"},
        {"tabs are eight spaces inside PRE", "<PRE>a\tb", "<PRE> T(a        b)"},
        {"0x14 is a space", "a\x14\x14" "b", "T(a b)"},
        {"brackets nest inside a tag", "<A <B>>c", "<A <B>> T(c)"},
        {"a lone closing bracket is text", "a>b", "T(a>b)"},
        {"an unterminated tag stays a tag token", "ab<B", "T(ab) <B"},
        {"a quoted > does not close the tag", "<A HREF=\"x>y\">z", "<A HREF=\"x>y\"> T(z)"},
        {"a line break inside a tag is a space", "<FONT\rSIZE=3>", "<FONT SIZE=3>"},
    };
    for (const TTokenCase& c : cases)
        EXPECT_EQ(describeTokens(c.input), c.expected) << c.name;
}

std::string describeTag(const std::string& token) {
    TMarkupTag tag = parseTag(token);
    std::string out = tag.Name;
    for (const TMarkupAttr& a : tag.Attrs)
        out += " " + a.Name + (a.HasValue ? "=[" + a.Value + "]" : "");
    return out;
}

TEST(MarkupTokens, TagParsing) {
    const TTokenCase cases[] = {
        {"bare and quoted values", "<FONT SIZE=20 COLOR=\"#FF0000\">", "FONT SIZE=[20] COLOR=[#FF0000]"},
        {"a name alone", "<br clear>", "br clear"},
        {"single quotes keep spaces", "<A HREF='x y'>", "A HREF=[x y]"},
        {"an unterminated quote runs to the next space", "<IMG SRC=\"abc ALIGN=TOP>", "IMG SRC=[abc] ALIGN=[TOP]"},
        {"blanks around the name are trimmed", "< B >", "B"},
        {"blanks around = are allowed", "<VAR NAME = x>", "VAR NAME=[x]"},
        {"an empty quoted value", "<RUBY VALUE=\"\">", "RUBY VALUE=[]"},
        {"the name ends at =", "<WAIT=5>", "WAIT =[5]"},
        {"a closing tag", "</FONT>", "/FONT"},
    };
    for (const TTokenCase& c : cases)
        EXPECT_EQ(describeTag(c.input), c.expected) << c.name;
}

TEST(MarkupTokens, AttributesMatchWithoutCaseAndTheFirstWins) {
    TMarkupTag tag = parseTag("<X value=1 VALUE=2>");
    ASSERT_NE(tag.Find("Value"), nullptr);
    EXPECT_EQ(tag.Find("Value")->Value, "1");
    EXPECT_EQ(tag.Find("SRC"), nullptr);
}

TEST(MarkupTokens, WellFormedTags) {
    EXPECT_TRUE(isWellFormedTag({TMarkupTokenKind::Tag, "<>"}));
    EXPECT_FALSE(isWellFormedTag({TMarkupTokenKind::Tag, "<B"}));
    EXPECT_FALSE(isWellFormedTag({TMarkupTokenKind::Text, "<B>"}));
    EXPECT_FALSE(isWellFormedTag({TMarkupTokenKind::Ignored, "<!-- -->"}));
}

} // namespace
