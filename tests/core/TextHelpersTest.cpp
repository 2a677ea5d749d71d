#include <gtest/gtest.h>

#include <string>

#include "core/Cp932.h"
#include "core/TextHelpers.h"

namespace zuno {
namespace {

TEST(TextHelpers, WithSlash) {
    struct Case { std::string in, out; };
    for (const Case& c : {Case{"", ""}, Case{"/", "/"}, Case{"a", "a/"}, Case{"a/b/", "a/b/"}, Case{"./", "./"}})
        EXPECT_EQ(withSlash(c.in), c.out) << c.in;
}

TEST(TextHelpers, Trimming) {
    struct Case {
        std::string in;
        std::string_view head, tail;
        std::string out;
    };
    const std::string kanji = sjis("表");   // its second byte is 0x5C, never trimmed
    for (const Case& c : {Case{" \tkey = v \t", kBlanks, kBlanks, "key = v"},
                          Case{"value\r", kBlanks, kBlanks, "value\r"},
                          Case{"value \r\t", kBlanks, " \t\r", "value"},
                          Case{"\rvalue", kBlanks, " \t\r", "\rvalue"},
                          Case{" \t ", kBlanks, kBlanks, ""},
                          Case{"", kBlanks, kBlanks, ""},
                          Case{" " + kanji + " ", kBlanks, kBlanks, kanji}})
        EXPECT_EQ(trimmed(c.in, c.head, c.tail), c.out) << c.in;

    struct Plain { std::string in, out; };
    for (const Plain& c : {Plain{std::string("\x01\n a b\x1F \0", 9), "a b"}, Plain{"\x7F" "x", "\x7F" "x"},
                           Plain{" \x81\x40 ", "\x81\x40"}, Plain{"\t\r\n", ""}})
        EXPECT_EQ(trimmedControls(c.in), c.out) << c.in;
}

} // namespace
} // namespace zuno
