#include <gtest/gtest.h>

#include "core/Cp932.h"

using namespace zuno;

TEST(Cp932, ConvertsBothWaysWithTheWindowsTable) {
    struct Case { const char* utf8; const char* sjis; };
    const Case cases[] = {
        {"abc", "abc"},
        {"日本語", "\x93\xFA\x96\x7B\x8C\xEA"},
        {"①", "\x87\x40"},                 // NEC special character
        {"Ⅰ", "\x87\x54"},
        {"～", "\x81\x60"},                 // full-width tilde, not the wave dash
        {"a\\b", "a\\b"},                   // 0x5C stays a backslash
        {"ｱ", "\xB1"},                      // half-width katakana
        {"ソ", "\x83\x5C"},                 // trail byte 0x5C
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8ToCp932(c.utf8), c.sjis) << c.utf8;
        EXPECT_EQ(cp932ToUtf8(c.sjis), c.utf8) << c.utf8;
    }
}

TEST(Cp932, InvalidInputIsReplacedAndConversionGoesOn) {
    EXPECT_EQ(cp932ToUtf8("a\x80" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(cp932ToUtf8("x\x93"), "x\xEF\xBF\xBD");        // truncated double-byte character
    EXPECT_EQ(utf8ToCp932("a\xFF" "b"), "a?b");
    EXPECT_EQ(utf8ToCp932("\xF0\x9F\x98\x80z"), "?z");       // no code page 932 form
}

TEST(Cp932, EscapesForPrinting) {
    struct Case { std::string in; bool keepBackslash; std::string out; };
    const Case cases[] = {
        {"a\tb\nc\rd", false, "a\\tb\\nc\\rd"},
        {"a\\b", false, "a\\\\b"},
        {"a\\b", true, "a\\b"},
        {std::string("\x01\x7F", 2), false, "\\x01\\x7F"},
        {std::string("\0", 1), false, "\\x00"},
        {"\x93\xFA", false, "日"},
        {"\x83\x5C", false, "ソ"},                            // trail 0x5C is not a backslash
        {"\x80", false, "\\x80"},
        {"\x93", false, "\\x93"},                             // lone lead byte at the end
        {"\x93\x0A", false, "\\x93\\n"},                      // lead byte followed by a non-trail
    };
    for (const Case& c : cases)
        EXPECT_EQ(escapeForPrint(c.in, c.keepBackslash), c.out) << c.out;
}

TEST(Cp932, CaseFoldingLeavesDoubleByteCharactersAlone) {
    // 0x83 0x41 is "ア": its trail byte is an ASCII 'A' and must not change.
    EXPECT_EQ(lowerCaseSjis("AB\x83\x41Z"), "ab\x83\x41z");
    EXPECT_EQ(upperCaseSjis("ab\x83\x61z"), "AB\x83\x61Z");
    EXPECT_TRUE(sameTextSjis("Game\\A.PNG", "game\\a.png"));
    EXPECT_FALSE(sameTextSjis("\x83\x41", "\x83\x61"));
}
