// Character-wise Shift-JIS text operations, half-width/full-width and EUC-JP.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/JString.h"

using namespace zuno;

namespace {
// Texts written as UTF-8 in the source, used as Shift-JIS.
std::string S(const char* utf8) { return sjis(utf8); }
std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}
} // namespace

TEST(JString, TrailBytes) {
    // 0x95 0x5C ("表") followed by a backslash: the first 0x5C is a second byte.
    std::string s = B({0x95, 0x5C, 0x5C, 0x81, 0x81, 0x41});
    const bool expected[] = {false, true, false, false, true, false};
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(IsTrailByte(s, i), expected[i - 1]) << i;
    EXPECT_THROW(IsTrailByte(s, 0), EZunoError);
    EXPECT_THROW(IsTrailByte(s, 7), EZunoError);
}

TEST(JString, LengthsAndPositions) {
    std::string s = S("aあbい") + B({0x82});          // ends in a lone lead byte
    EXPECT_EQ(JLength(s), 5);
    EXPECT_EQ(CharToBytePos(s, 1), 1);
    EXPECT_EQ(CharToBytePos(s, 3), 4);
    EXPECT_EQ(CharToBytePos(s, 5), 7);
    EXPECT_EQ(JCharAt(s, 2), 0x82A0);
    EXPECT_EQ(JCharAt(s, 3), 'b');
    EXPECT_EQ(JCharAt(s, 5), 0x82);
    EXPECT_EQ(JCharAt(s, 6), 0);
}

TEST(JString, JPosMatchesOnlyAtCharacterStarts) {
    // "表" is 0x95 0x5C; searching for "\" must not match its second byte.
    EXPECT_EQ(JPos("\\", S("表\\")), 2);
    EXPECT_EQ(JPos(S("い"), S("aあbい")), 4);
    EXPECT_EQ(JPos("x", "abc"), 0);
    EXPECT_EQ(JPos("", "abc"), 0);
    // 0x82 0xA0 0x82 0xA0: the pattern 0xA0 0x82 straddles two characters.
    EXPECT_EQ(JPos(B({0xA0, 0x82}), S("ああ")), 0);
}

TEST(JString, JCopy) {
    std::string s = S("あいうえお");
    struct Case { int64_t start, count; const char* expected; };
    const Case cases[] = {
        {2, 3, "いうえ"}, {0, 3, "あい"}, {1, 0, ""}, {4, 100, "えお"}, {6, 1, ""}, {-5, 7, "あ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JCopy(s, c.start, c.count), S(c.expected)) << c.start << "," << c.count;
    EXPECT_EQ(JCopy("", 1, 5), "");
}

TEST(JString, JInsertAndJDelete) {
    struct Ins { const char* s; const char* text; int64_t pos; const char* expected; };
    const Ins ins[] = {
        {"あいう", "X", 0, "Xあいう"}, {"あいう", "X", 2, "あXいう"}, {"あいう", "X", 4, "あいうX"},
        {"あいう", "X", 99, "あいうX"}, {"", "X", 3, "X"},
    };
    for (const Ins& c : ins) {
        std::string s = S(c.s);
        JInsert(S(c.text), s, c.pos);
        EXPECT_EQ(s, S(c.expected)) << c.pos;
    }
    struct Del { int64_t start, count; const char* expected; };
    const Del del[] = {
        {2, 1, "あうえ"}, {0, 1, "いうえ"}, {3, 10, "あい"}, {5, 1, "あいうえ"}, {2, 0, "あいうえ"}, {1, 4, ""},
    };
    for (const Del& c : del) {
        std::string s = S("あいうえ");
        JDelete(s, c.start, c.count);
        EXPECT_EQ(s, S(c.expected)) << c.start << "," << c.count;
    }
}

TEST(JString, SplitAt) {
    std::string s = S("表\\a,b");
    EXPECT_EQ(SplitAt(s, "\\,"), S("表"));    // the second byte of 表 is not a separator
    EXPECT_EQ(s, "a,b");
    EXPECT_EQ(SplitAt(s, ","), "a");
    EXPECT_EQ(SplitAt(s, ","), "b");
    EXPECT_EQ(s, "");
    EXPECT_EQ(SplitAt(s, ","), "");
}

TEST(JString, JTrim) {
    std::string blanks = S(" 　 ");
    EXPECT_EQ(JTrim(blanks + "\tx y\t" + blanks), "\tx y\t");
    EXPECT_EQ(JTrimLeft(blanks + "a "), "a ");
    EXPECT_EQ(JTrimRight(" a" + blanks), " a");
    // "＝@" is 0x81 0x81 0x40: its last two bytes look like a full-width blank
    // but the 0x40 is a character of its own.
    EXPECT_EQ(JTrimRight(B({0x81, 0x81, 0x40})), B({0x81, 0x81, 0x40}));
    EXPECT_EQ(JTrim(blanks), "");
}

TEST(JString, HanToZen) {
    struct Case { std::string in; const char* out; };
    const Case cases[] = {
        {"Az09 !\"~\\", "Ａｚ０９　！”～￥"},
        {"a\r\n\tb", "ａｂ"},                                   // control bytes removed
        {B({0xB6, 0xDE}), "ガ"},                                 // voiced combination
        {B({0xCA, 0xDF}), "パ"},                                 // semi-voiced
        {B({0xB3, 0xDE}), "ウ゛"},                                // u does not combine
        {B({0xB1, 0xB2, 0xA6, 0xDD, 0xB0, 0xA7}), "アイヲンーァ"},
        {B({0xA1, 0xA2, 0xA3, 0xA4, 0xA5}), "。「」、・"},
        {S("漢字") + "x", "漢字ｘ"},                                // double-byte copied
        {B({0x7F, 0x80, 0xA0, 0xFD}), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HanToZen(c.in), S(c.out)) << c.out;
    EXPECT_EQ(HanToZen("a" + B({0x82})), S("ａ") + B({0x82}));   // a lone final lead byte is copied
}

TEST(JString, ZenToHan) {
    struct Case { const char* in; std::string out; };
    const Case cases[] = {
        {"Ａｚ０９　！”“～￥", "Az09 !\"\"~\\"},
        {"ガパ", B({0xB6, 0xDE, 0xCA, 0xDF})},
        {"アイヲンーァ。", B({0xB1, 0xB2, 0xA6, 0xDD, 0xB0, 0xA7, 0xA1})},
        {"漢字とabc", "abc"},                                       // no half-width form: removed
        {"ヮヴ", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZenToHan(S(c.in)), c.out) << c.in;
    EXPECT_EQ(ZenToHan("a" + B({0x82})), "a");                       // a lone final lead byte is removed
    // Every half-width form survives the round trip.
    for (int b = 0x20; b <= 0xDF; ++b) {
        if (b > 0x7E && b < 0xA1)
            continue;
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(ZenToHan(HanToZen(one)), one) << b;
    }
}

TEST(JString, EucToSjis) {
    // "漢字" in EUC-JP is B4 C1 BB FA; "ア" half-width is 8E B1.
    EXPECT_EQ(EucToSjis(B({0xB4, 0xC1, 0xBB, 0xFA})), S("漢字"));
    EXPECT_EQ(EucToSjis(B({'a', 0x00, 0x8E, 0xB1})), "a " + B({0xB1}));
    EXPECT_EQ(EucToSjis(B({0xA4, 0xA2, 0xA1, 0xA1})), S("あ　"));
    EXPECT_EQ(EucToSjis(B({'x', 0xB4})), "x");                    // incomplete final character dropped
    EXPECT_EQ(EucToSjis(B({0x8E})), "");
}
