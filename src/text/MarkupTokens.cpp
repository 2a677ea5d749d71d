#include "text/MarkupTokens.h"

#include "core/Cp932.h"

namespace zuno {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kTab = '\t';
constexpr char kDc4 = 0x14;             // shown as a space
constexpr int kTabSpaces = 8;

bool startsWithNoCase(std::string_view s, size_t i, std::string_view what) {
    return s.size() - i >= what.size() && sameTextSjis(s.substr(i, what.size()), what);
}

// Name of a tag token: after "<" and blanks, up to a space, "=" or ">".
std::string tagNameOf(std::string_view token) {
    size_t i = 1;
    while (i < token.size() && token[i] == ' ')
        ++i;
    size_t start = i;
    while (i < token.size() && token[i] != ' ' && token[i] != '=' && token[i] != '>')
        i += sjisCharLen(token, i);
    return std::string(token.substr(start, i - start));
}

// Scans one block kept whole: a comment ("<!--" ... "-->", nesting) or a
// script or style block ("<SCRIPT" ... "</SCRIPT>"). Returns the end.
size_t skipComment(std::string_view s, size_t i) {
    int depth = 0;
    while (i < s.size()) {
        if (s.compare(i, 4, "<!--") == 0) {
            ++depth;
            i += 4;
        } else if (s.compare(i, 3, "-->") == 0) {
            i += 3;
            if (--depth == 0)
                return i;
        } else {
            ++i;
        }
    }
    return i;
}

size_t skipBlock(std::string_view s, size_t i, std::string_view closing) {
    for (; i < s.size(); ++i)
        if (startsWithNoCase(s, i, closing))
            return i + closing.size();
    return s.size();
}

bool isEscapable(char c) {
    return c == '%' || c == '<' || c == '>' || c == '\\' || c == '{' || c == '}';
}

class TTokenizer {
public:
    std::vector<TMarkupToken> run(std::string_view s);

private:
    void                flushText();
    void                closeTag();
    void                addSpace();
    bool                verbatim() const { return FPre || FTextArea; }

    std::vector<TMarkupToken> FTokens;
    std::string         FCur;
    bool                FInTag = false;
    int64_t             FDepth = 0;         // "<" nesting inside the open tag
    bool                FPre = false;
    bool                FTextArea = false;
    bool                FDropCR = false;    // just after a PRE or TEXTAREA tag
};

void TTokenizer::flushText() {
    if (!FCur.empty())
        FTokens.push_back({TMarkupTokenKind::Text, std::move(FCur)});
    FCur.clear();
}

void TTokenizer::closeTag() {
    std::string name = tagNameOf(FCur);
    if (sameTextSjis(name, "PRE"))
        FPre = FDropCR = true;
    else if (sameTextSjis(name, "/PRE"))
        FPre = false;
    else if (sameTextSjis(name, "TEXTAREA"))
        FTextArea = FDropCR = true;
    else if (sameTextSjis(name, "/TEXTAREA"))
        FTextArea = false;
    FTokens.push_back({TMarkupTokenKind::Tag, std::move(FCur)});
    FCur.clear();
    FInTag = false;
}

void TTokenizer::addSpace() {
    if ((verbatim() && !FInTag) || FCur.empty() || FCur.back() != ' ')
        FCur += ' ';
}

std::vector<TMarkupToken> TTokenizer::run(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        char b = s[i];
        if (FDropCR) {
            FDropCR = false;
            if (b == kCR) {
                ++i;
                continue;
            }
        }
        if (!FInTag && b == '<') {
            size_t end = 0;
            if (s.compare(i, 4, "<!--") == 0)
                end = skipComment(s, i);
            else if (startsWithNoCase(s, i, "<SCRIPT"))
                end = skipBlock(s, i, "</SCRIPT>");
            else if (startsWithNoCase(s, i, "<STYLE"))
                end = skipBlock(s, i, "</STYLE>");
            if (end) {
                flushText();
                FTokens.push_back({TMarkupTokenKind::Ignored, std::string(s.substr(i, end - i))});
                i = end;
                continue;
            }
        }
        size_t n = sjisCharLen(s, i);
        if (n == 2) {
            FCur.append(s.substr(i, 2));
            i += 2;
            continue;
        }
        if (b == '\\' && i + 1 < s.size() && isEscapable(s[i + 1])) {
            FCur += s[i + 1];
            i += 2;
            continue;
        }
        if (b == '"') {
            // A quoted stretch: everything but line breaks and tabs unchanged.
            FCur += '"';
            ++i;
            while (i < s.size() && s[i] != '"') {
                size_t m = sjisCharLen(s, i);
                if (m == 2)
                    FCur.append(s.substr(i, 2));
                else if (s[i] != kCR && s[i] != kLF && s[i] != kTab)
                    FCur += s[i];
                i += m;
            }
            if (i < s.size()) {
                FCur += '"';
                ++i;
            }
            continue;
        }
        ++i;
        if (b == '<') {
            if (!FInTag) {
                flushText();
                FInTag = true;
                FDepth = 0;
            }
            ++FDepth;
            FCur += b;
        } else if (b == '>' && FInTag) {
            FCur += b;
            if (--FDepth == 0)
                closeTag();
        } else if (b == kCR) {
            if (verbatim() && !FInTag) {
                flushText();
                if (FPre)
                    FTokens.push_back({TMarkupTokenKind::Tag, "<BR>"});
            } else if (!FCur.empty() && FCur.back() != ' ') {
                FCur += ' ';
            }
        } else if (b == ' ' || b == kDc4) {
            addSpace();
        } else if (b == kTab) {
            if (verbatim() && !FInTag)
                FCur.append(kTabSpaces, ' ');
        } else {
            FCur += b;
        }
    }
    if (FInTag)
        FTokens.push_back({TMarkupTokenKind::Tag, std::move(FCur)});   // unterminated
    else
        flushText();
    return std::move(FTokens);
}

} // namespace

std::vector<TMarkupToken> tokenizeMarkup(std::string_view text) {
    return TTokenizer().run(text);
}

bool isWellFormedTag(const TMarkupToken& token) {
    const std::string& t = token.Text;
    return token.Kind == TMarkupTokenKind::Tag && t.size() >= 2 && t.front() == '<' && t.back() == '>';
}

/*
================
TMarkupTag
================
*/
const TMarkupAttr* TMarkupTag::Find(std::string_view name) const {
    for (const TMarkupAttr& a : Attrs)
        if (sameTextSjis(a.Name, name))
            return &a;
    return nullptr;
}

TMarkupTag parseTag(std::string_view token) {
    TMarkupTag tag;
    std::string_view s = token.substr(1, token.size() >= 2 ? token.size() - 2 : 0);
    auto isBlank = [](char c) { return c == ' ' || c == kTab || c == kCR || c == kLF; };
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && isBlank(s[i]))
            ++i;
    };
    auto readWord = [&] {   // up to a blank or "="
        size_t start = i;
        while (i < s.size() && !isBlank(s[i]) && s[i] != '=')
            i += sjisCharLen(s, i);
        return std::string(s.substr(start, i - start));
    };
    skipBlanks();
    tag.Name = readWord();
    while (true) {
        skipBlanks();
        if (i >= s.size())
            break;
        TMarkupAttr attr;
        attr.Name = readWord();
        skipBlanks();
        if (i < s.size() && s[i] == '=') {
            ++i;
            skipBlanks();
            attr.HasValue = true;
            size_t start = i;
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                char q = s[i];
                size_t close = s.find(q, i + 1);
                if (close != std::string_view::npos) {
                    attr.Value = std::string(s.substr(i + 1, close - i - 1));
                    i = close + 1;
                } else {   // unterminated: up to the next blank
                    start = ++i;
                    while (i < s.size() && !isBlank(s[i]))
                        i += sjisCharLen(s, i);
                    attr.Value = std::string(s.substr(start, i - start));
                }
            } else {
                while (i < s.size() && !isBlank(s[i]))
                    i += sjisCharLen(s, i);
                attr.Value = std::string(s.substr(start, i - start));
            }
        }
        if (attr.Name.empty() && !attr.HasValue)
            ++i;   // a stray byte; never loop on it
        else
            tag.Attrs.push_back(std::move(attr));
    }
    return tag;
}

} // namespace zuno
