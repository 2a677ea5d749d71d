// An INI text file held as its lines, so that writing a value keeps every
// other line (comments, unknown sections, key spelling) as it was. Sections
// and keys are found without regard to ASCII case; names and values are
// trimmed; a value in matching double or single quotes loses them. Lines
// before the first section belong to no section and are never looked up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zuno {

class TIniFile {
public:
    static TIniFile     parse(std::string_view text);
    static TIniFile     load(const std::string& path);          // a missing or unreadable file is empty

    std::string         readString(std::string_view section, std::string_view key, const std::string& def) const;
    int32_t             readInteger(std::string_view section, std::string_view key, int32_t def) const; // decimal, $hex or 0xhex
    bool                readBool(std::string_view section, std::string_view key, bool def) const;       // integer ≠ 0
    bool                hasKey(std::string_view section, std::string_view key) const;

    void                writeString(std::string_view section, std::string_view key, std::string_view value);
    void                writeInteger(std::string_view section, std::string_view key, int32_t value);
    void                writeBool(std::string_view section, std::string_view key, bool value);   // "1" or "0"

    std::string         text() const;                           // the whole file
    void                save(const std::string& path) const;    // the atomic write; EZunoError

private:
    struct TLine {
        std::string     text;
        std::string     section;                                // lower-cased section the line belongs to
        std::string     key;                                    // lower-cased key, empty for other lines
        bool            header = false;                         // the line is "[section]"
    };

    const TLine*        find(std::string_view section, std::string_view key) const;

    std::vector<TLine>  FLines;
    std::string         FEol = "\n";
};

} // namespace zuno
