// Small text and disk-path helpers shared by every layer. They work on single
// bytes below 0x40 only, which never occur as the second byte of a Shift-JIS
// character, so they are safe on Shift-JIS and UTF-8 text alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuno {

constexpr std::string_view kBlanks = " \t";                 // what the text formats call blanks

// `folder` with a '/' appended unless it is empty or already ends in one.
std::string             withSlash(std::string folder);

// `s` without leading bytes from `head` and trailing bytes from `tail`.
std::string_view        trimmed(std::string_view s, std::string_view head = kBlanks, std::string_view tail = kBlanks);

// `s` without leading and trailing control bytes and spaces (0x00-0x20).
std::string_view        trimmedControls(std::string_view s);

// The lines of a text: CR, LF or CR LF end a line; a final line break adds no
// empty line.
std::vector<std::string> splitLines(std::string_view s);

} // namespace zuno
