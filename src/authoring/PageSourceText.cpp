#include "authoring/PageSourceText.h"

#include <cctype>

#include "core/Cp932.h"

namespace zuno {

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return {};
    const size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> splitSegments(const std::string& s, std::string* unclosed, char sep) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quoted) {
            out.back() += c;
            if (c == '\\' && i + 1 < s.size())
                out.back() += s[++i];
            else if (c == '"')
                quoted = false;
        } else if (c == sep) {
            out.emplace_back();
        } else {
            out.back() += c;
            if (c == '"')
                quoted = true;
        }
    }
    if (unclosed)
        *unclosed = quoted ? "\"" : "";
    return out;
}

std::vector<std::string> splitTopLevel(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    bool quoted = false;
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quoted) {
            out.back() += c;
            if (c == '\\' && i + 1 < s.size())
                out.back() += s[++i];
            else if (c == '"')
                quoted = false;
            continue;
        }
        if (c == sep && depth == 0) {
            out.emplace_back();
            continue;
        }
        if (c == '(' || c == '[')
            ++depth;
        else if ((c == ')' || c == ']') && depth > 0)
            --depth;
        else if (c == '"')
            quoted = true;
        out.back() += c;
    }
    return out;
}

std::vector<std::string> splitWords(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == ' ' || c == '\t') {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

bool splitKey(const std::string& seg, std::string& key, std::string& value) {
    size_t i = 0;
    if (seg.empty() || !(std::isalpha(static_cast<unsigned char>(seg[0])) || seg[0] == '_'))
        return false;
    while (i < seg.size() && (std::isalnum(static_cast<unsigned char>(seg[i])) || seg[i] == '_'))
        ++i;
    size_t j = i;
    while (j < seg.size() && (seg[j] == ' ' || seg[j] == '\t'))
        ++j;
    if (j >= seg.size() || seg[j] != ':')
        return false;
    key = seg.substr(0, i);
    value = seg.substr(j + 1);
    return true;
}

std::string encodeHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

static int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> decodeHex(const std::string& hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int a = hexDigit(hex[i]), b = hexDigit(hex[i + 1]);
        if (a < 0 || b < 0)
            return std::nullopt;
        out += static_cast<char>(a * 16 + b);
    }
    return out;
}

std::optional<std::string> decodeTextValue(const std::string& value, std::string& error) {
    if (value.empty() || value[0] != '"')
        return utf8ToCp932(value);
    std::string out, run;                                    // run: UTF-8 not yet converted
    auto flush = [&] {
        out += utf8ToCp932(run);
        run.clear();
    };
    for (size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') {
            if (i + 1 != value.size()) {
                error = "text after the closing quote";
                return std::nullopt;
            }
            flush();
            return out;
        }
        if (c != '\\') {
            run += c;
            continue;
        }
        if (++i >= value.size())
            break;
        switch (value[i]) {
        case '"': run += '"'; break;
        case '\\': run += '\\'; break;
        case 'n': run += '\n'; break;
        case 'r': run += '\r'; break;
        case 't': run += '\t'; break;
        case 'x': {
            const int a = i + 2 < value.size() ? hexDigit(value[i + 1]) : -1;
            const int b = a >= 0 ? hexDigit(value[i + 2]) : -1;
            if (b < 0) {
                error = "\\x needs two hexadecimal digits";
                return std::nullopt;
            }
            flush();
            out += static_cast<char>(a * 16 + b);
            i += 2;
            break;
        }
        default:
            error = std::string("unknown escape \\") + value[i];
            return std::nullopt;
        }
    }
    error = "unterminated text";
    return std::nullopt;
}

std::string encodeTextValue(const std::string& sjis, bool allowBare) {
    const std::string utf8 = cp932ToUtf8(sjis);
    const bool convertible = utf8ToCp932(utf8) == sjis;
    if (allowBare && !sjis.empty() && sjis[0] != '@' && sjis[0] != '"') {
        bool plain = true;
        for (unsigned char c : sjis)
            if (!(std::isalnum(c) || c == '_' || c == '.' || c == '-' || c == '\\' || c == '/'))
                plain = false;
        if (plain)
            return sjis;
    }
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    auto hexByte = [&](unsigned char b) {
        out += "\\x";
        out += digits[b >> 4];
        out += digits[b & 15];
    };
    if (!convertible) {
        for (unsigned char c : sjis) {
            if (c == '"') out += "\\\"";
            else if (c == '\\') out += "\\\\";
            else if (c < 0x20 || c >= 0x7F) hexByte(c);
            else out += static_cast<char>(c);
        }
        return out + "\"";
    }
    for (unsigned char c : utf8) {
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c == 0x7F) hexByte(c);
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

} // namespace zuno
