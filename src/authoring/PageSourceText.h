// Text helpers shared by the page and project source readers and writers:
// splitting lines into fields outside text literals, quoted texts with
// escapes, hexadecimal bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zuno {

std::string              trim(const std::string& s);
// Splits at sep outside double-quoted literals (a backslash escapes the next
// character inside one). unclosed, when given, is set non-empty when the
// text ends inside a literal.
std::vector<std::string> splitSegments(const std::string& s, std::string* unclosed = nullptr, char sep = ';');
// Splits at sep outside literals, parentheses and brackets.
std::vector<std::string> splitTopLevel(const std::string& s, char sep);
std::vector<std::string> splitWords(const std::string& s);
// "NAME: VALUE" with NAME an identifier; false when the text does not start so.
bool                     splitKey(const std::string& seg, std::string& key, std::string& value);

std::string              encodeHex(const std::string& bytes);
std::optional<std::string> decodeHex(const std::string& hex);

// A text value: "quoted" with \" \\ \n \r \t \xHH escapes, else the bare text;
// UTF-8 in the source, Shift-JIS in the result (\xHH bytes are taken as they are).
std::optional<std::string> decodeTextValue(const std::string& value, std::string& error);
// The written form of a Shift-JIS text; bare when allowBare and the text is a
// plain word (letters, digits, _ . - \ /).
std::string              encodeTextValue(const std::string& sjis, bool allowBare);

} // namespace zuno
