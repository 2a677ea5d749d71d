// The tab-separated text that tables are loaded from. A file is split into
// lines; the first line names the fields ("name type size" per column), every
// further line is one record. Cells are separated by tab bytes; a data line
// may hold the escapes \" (a double quote), \\ (a backslash) and \n (CR LF).
// All scanning steps over Shift-JIS double-byte characters whole, so a second
// byte is never taken for a tab or a backslash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

// The lines of a file's bytes: CR LF, a lone CR or a lone LF ends a line, a
// zero byte ends the text, and a final line break adds no empty line.
std::vector<std::string> tsvTextLines(std::string_view bytes);

// The cells of a line, split at tabs: an empty cell between two tabs counts,
// a tab at the very end adds none, an empty line has no cells.
void                    splitTsvCells(std::string_view line, std::vector<std::string_view>& cells);

// The line with its escapes replaced; any other backslash stays.
std::string             unescapeTsv(std::string_view line);
bool                    hasTsvEscape(std::string_view line);      // whether unescapeTsv would change anything

// One column of the header line.
struct TTsvHeaderColumn {
    std::string         Name;               // empty: the header ends the loading
    uint8_t             Type = 0;           // PT_INT for "int", PT_FLOAT "float", PT_BOOL "bool", else PT_STR
    int32_t             Size = 0;           // the size text as an integer; kDBDefaultTextSize when missing or not one
};
TTsvHeaderColumn        parseTsvHeaderColumn(std::string_view column);

} // namespace zuno
