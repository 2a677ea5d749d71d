#include "expr/TsvReader.h"

#include "core/Cp932.h"
#include "core/TextHelpers.h"
#include "expr/ParamConvert.h"
#include "expr/TCustomParam.h"
#include "expr/TDBTable.h"

namespace zuno {

namespace {

// Bytes taken by the character at i: 2 for a lead byte with a byte after it.
inline size_t charWidth(std::string_view s, size_t i) {
    return isLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

} // namespace

std::vector<std::string> tsvTextLines(std::string_view bytes) {
    const size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos)
        bytes = bytes.substr(0, zero);
    return splitLines(bytes);
}

void splitTsvCells(std::string_view line, std::vector<std::string_view>& cells) {
    cells.clear();
    size_t start = 0, i = 0;
    const size_t n = line.size();
    while (i < n) {
        if (line[i] == '\t') {
            cells.push_back(line.substr(start, i - start));
            start = ++i;
            continue;
        }
        i += charWidth(line, i);
    }
    if (start < n)
        cells.push_back(line.substr(start));
}

bool hasTsvEscape(std::string_view line) {
    for (size_t i = 0; i < line.size(); i += charWidth(line, i)) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[i + 1];
            if (next == '"' || next == '\\' || next == 'n')
                return true;
        }
    }
    return false;
}

std::string unescapeTsv(std::string_view line) {
    std::string out;
    out.reserve(line.size() + 8);
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (c == '\\' && i + 1 < n) {
            const char next = line[i + 1];
            if (next == '"' || next == '\\') {
                out += next;
                i += 2;
                continue;
            }
            if (next == 'n') {
                out += "\r\n";
                i += 2;
                continue;
            }
        }
        const size_t w = charWidth(line, i);
        out.append(line.substr(i, w));
        i += w;
    }
    return out;
}

TTsvHeaderColumn parseTsvHeaderColumn(std::string_view column) {
    TTsvHeaderColumn h;
    // Blanks and tabs never occur as the second byte of a double-byte
    // character, so plain byte searches cannot split one.
    const size_t blank = column.find(' ');
    h.Name = std::string(trimmedControls(column.substr(0, blank)));
    std::string_view rest = blank == std::string_view::npos ? std::string_view{} : trimmedControls(column.substr(blank + 1));
    const size_t next = rest.find(' ');
    const std::string_view word = trimmedControls(rest.substr(0, next));
    const std::string_view sizeText = next == std::string_view::npos ? std::string_view{} : trimmedControls(rest.substr(next + 1));
    if (word == "int")
        h.Type = PT_INT;
    else if (word == "float")
        h.Type = PT_FLOAT;
    else if (word == "bool")
        h.Type = PT_BOOL;
    else
        h.Type = PT_STR;
    h.Size = strToIntDef(sizeText, kDBDefaultTextSize);
    return h;
}

} // namespace zuno
