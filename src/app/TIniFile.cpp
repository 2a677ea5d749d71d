#include "app/TIniFile.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TextHelpers.h"
#include "platform/posix/AtomicFile.h"

namespace zuno {

namespace {

// Blanks around keys and values; a line may still end in the '\r' of a CR LF file.
std::string_view trim(std::string_view s) { return trimmed(s, kBlanks, " \t\r"); }

std::string lower(std::string_view s) {
    return lowerCaseSjis(trim(s));
}

bool parseInteger(std::string_view s, int32_t& out) {
    s = trim(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    if (negative)
        value = -value;
    // Hexadecimal texts may spell the bit pattern of a negative number.
    if (base == 16 && value > INT32_MAX && value <= UINT32_MAX)
        value -= int64_t(1) << 32;
    if (value < INT32_MIN || value > INT32_MAX)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

} // namespace

// ---------------------------------------------------------------- TIniFile

TIniFile TIniFile::parse(std::string_view text) {
    TIniFile ini;
    if (text.find("\r\n") != std::string_view::npos)
        ini.FEol = "\r\n";
    std::string section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos)
            eol = text.size();
        std::string_view raw = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        TLine line;
        line.text = std::string(raw);
        std::string_view t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            size_t close = t.find(']');
            section = lower(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            line.header = true;
        } else if (!t.empty() && t.front() != ';') {
            size_t eq = t.find('=');
            if (eq != std::string_view::npos && eq > 0)
                line.key = lower(t.substr(0, eq));
        }
        line.section = section;
        ini.FLines.push_back(std::move(line));
    }
    return ini;
}

TIniFile TIniFile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return TIniFile();
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

const TIniFile::TLine* TIniFile::find(std::string_view section, std::string_view key) const {
    std::string s = lower(section);
    std::string k = lower(key);
    bool inSection = false;
    for (const TLine& line : FLines) {
        if (line.header)
            inSection = line.section == s;
        else if (inSection && !line.key.empty() && line.key == k)
            return &line;
    }
    return nullptr;
}

bool TIniFile::hasKey(std::string_view section, std::string_view key) const {
    return find(section, key) != nullptr;
}

std::string TIniFile::readString(std::string_view section, std::string_view key, const std::string& def) const {
    const TLine* line = find(section, key);
    if (!line)
        return def;
    std::string_view t = trim(line->text);
    std::string_view value = trim(t.substr(t.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

int32_t TIniFile::readInteger(std::string_view section, std::string_view key, int32_t def) const {
    int32_t value = 0;
    return parseInteger(readString(section, key, ""), value) ? value : def;
}

bool TIniFile::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    std::string s = lower(section);
    std::string k = lower(key);
    // Replace the key in the first section of that name, else add it after the
    // section's last non-blank line, else add the section at the end.
    bool inSection = false;
    ptrdiff_t insertAt = -1;
    for (size_t i = 0; i < FLines.size(); ++i) {
        TLine& line = FLines[i];
        if (line.header) {
            if (inSection)
                break;
            inSection = line.section == s;
            if (inSection)
                insertAt = static_cast<ptrdiff_t>(i) + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (line.key == k) {
            std::string_view t = trim(line.text);
            line.text = std::string(trim(t.substr(0, t.find('=')))) + "=" + std::string(value);
            return;
        }
        if (!trim(line.text).empty())
            insertAt = static_cast<ptrdiff_t>(i) + 1;
    }
    TLine entry{std::string(trim(key)) + "=" + std::string(value), s, k, false};
    if (insertAt >= 0) {
        FLines.insert(FLines.begin() + insertAt, std::move(entry));
        return;
    }
    if (!FLines.empty() && !trim(FLines.back().text).empty())
        FLines.push_back({"", FLines.back().section, "", false});
    FLines.push_back({'[' + std::string(trim(section)) + ']', s, "", true});
    FLines.push_back(std::move(entry));
}

void TIniFile::writeInteger(std::string_view section, std::string_view key, int32_t value) {
    writeString(section, key, std::to_string(value));
}

void TIniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::string TIniFile::text() const {
    std::string out;
    for (const TLine& line : FLines)
        out += line.text + FEol;
    return out;
}

void TIniFile::save(const std::string& path) const {
    writeFileAtomically(path, text());
}

} // namespace zuno
