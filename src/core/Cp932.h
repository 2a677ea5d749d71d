// Code page 932 (Shift-JIS as Windows writes it) and UTF-8, and the printing
// escapes of the command-line tools. Text is Shift-JIS inside the player; these
// functions are used only at its edges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zuno {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Converts code page 932 to UTF-8. A byte sequence that is not valid code page
// 932 becomes U+FFFD per byte; conversion never stops early.
std::string cp932ToUtf8(std::string_view sjis);

// Converts UTF-8 to code page 932. A character code page 932 cannot hold
// becomes '?'; invalid UTF-8 bytes become '?' each.
std::string utf8ToCp932(std::string_view utf8);

// Shorthand for message texts written as UTF-8 literals in the source.
inline std::string sjis(std::string_view utf8) { return utf8ToCp932(utf8); }

// Printed form of a game value: UTF-8, with tab, LF, CR and backslash as
// \t \n \r \\, other control bytes and invalid code page 932 bytes as \xHH.
// With keepBackslash (printed names), the backslash stays as it is.
std::string escapeForPrint(std::string_view sjis, bool keepBackslash = false);

// ASCII-only lower-casing that leaves both bytes of a double-byte character alone.
std::string lowerCaseSjis(std::string_view sjis);
std::string upperCaseSjis(std::string_view sjis);

// Case-insensitive equality in the sense of lowerCaseSjis.
bool sameTextSjis(std::string_view a, std::string_view b);

} // namespace zuno
