// The first two steps of reading message markup: the text is cut into tokens
// (tags, runs of text, and comment, script and style blocks that are kept
// whole and ignored), with spaces, line breaks and tabs normalised the way
// the text engine shows them; a tag token is then split into its name and
// attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

// Bytes of the Shift-JIS character starting at s[i]: a lead byte takes the
// byte after it whatever that is, so a double-byte character is never split.
inline size_t sjisCharLen(std::string_view s, size_t i) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < s.size() ? 2 : 1;
}

enum class TMarkupTokenKind : uint8_t {
    Text,       // characters to show
    Tag,        // "<" ... ">" (an unterminated tag lacks the ">")
    Ignored,    // a comment, script or style block
};

struct TMarkupToken {
    TMarkupTokenKind    Kind;
    std::string         Text;
    bool                operator==(const TMarkupToken&) const = default;
};

// Preprocessing: the text (lines already joined with CR) into tokens.
std::vector<TMarkupToken> tokenizeMarkup(std::string_view text);

struct TMarkupAttr {
    std::string         Name;
    std::string         Value;
    bool                HasValue = false;   // "NAME=value" rather than "NAME" alone
};

struct TMarkupTag {
    std::string         Name;               // as written
    std::vector<TMarkupAttr> Attrs;

    // The first attribute of that name (any letter case), or null.
    const TMarkupAttr*  Find(std::string_view name) const;
};

// True for a token that is a tag: at least two bytes, "<" first, ">" last.
bool isWellFormedTag(const TMarkupToken& token);

// The name and attributes of a tag token (with its brackets).
TMarkupTag parseTag(std::string_view token);

} // namespace zuno
