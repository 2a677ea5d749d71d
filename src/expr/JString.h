// Character-wise work on Shift-JIS (code page 932) texts. A character is a
// lead byte with the byte after it, or any other single byte; a lead byte at
// the very end is a character by itself. Positions are 1-based.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zuno {

// Whether byte i (1-based) is the second byte of a double-byte character;
// i outside 1..length raises "Illegal Index".
bool            IsTrailByte(std::string_view s, int64_t i);
// Byte position (1-based) where character n starts (past the end when s has
// fewer characters).
int64_t         CharToBytePos(std::string_view s, int64_t n);
// Code of character n: lead byte * 256 + second byte, or the single byte;
// 0 when there is no character n.
int32_t         JCharAt(std::string_view s, int64_t n);
int32_t         JLength(std::string_view s);
// Character index of the first occurrence of pattern that starts at a
// character start; 0 if none (also for an empty pattern).
int32_t         JPos(std::string_view pattern, std::string_view s);
std::string     JCopy(std::string_view s, int64_t start, int64_t count);
void            JInsert(std::string_view text, std::string& s, int64_t position);
void            JDelete(std::string& s, int64_t start, int64_t count);
// Cuts s at the first byte (not a second byte) that is one of separators:
// returns the text before it, s becomes the text after it.
std::string     SplitAt(std::string& s, std::string_view separators);
std::string     JTrimLeft(std::string_view s);
std::string     JTrimRight(std::string_view s);
std::string     JTrim(std::string_view s);
std::string     HanToZen(std::string_view s);
std::string     ZenToHan(std::string_view s);
std::string     EucToSjis(std::string_view s);

// Byte position (1-based) of the first occurrence of pattern in s that starts
// at a character start, searching from byte position from; 0 if none.
int64_t         charAlignedFind(std::string_view s, std::string_view pattern, int64_t from = 1);

} // namespace zuno
