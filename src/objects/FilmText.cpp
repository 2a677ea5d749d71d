#include "objects/FilmText.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "objects/TFilmManager.h"

namespace zuno {

namespace {

std::string quote(const std::string& v) {
    std::string out = "\"";
    for (unsigned char c : v) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            out += b;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string number(double v) {
    char b[64];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

class TTextWriter : public TFrameListFields {
public:
    std::string Out;
    void Int(const char* name, int32_t& v) override { line(name, std::to_string(v)); }
    void Pair(const char* name, int32_t& a, int32_t& b) override {
        line(name, std::to_string(a) + " " + std::to_string(b));
    }
    void Byte(const char* name, uint8_t& v) override { line(name, std::to_string(v)); }
    void Double(const char* name, double& v) override { line(name, number(v)); }
    void Text(const char* name, std::string& v) override { line(name, quote(cp932ToUtf8(v))); }
    void Skip(int) override {}

private:
    void line(const char* name, const std::string& value) {
        if (!Copy)
            Out += std::string(name) + " " + value + "\n";
    }
};

// One line split into words; a quoted text is one word (unescaped).
struct TLine {
    int Number = 0;
    std::vector<std::string> Words;
    std::vector<bool> Quoted;
};

[[noreturn]] void fail(int line, const std::string& what) {
    throw EZunoError::fromUtf8("line " + std::to_string(line) + ": " + what);
}

TLine splitLine(const std::string& text, int number) {
    TLine l;
    l.Number = number;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
            ++i;
        } else if (text[i] == '#') {
            break;
        } else if (text[i] == '"') {
            std::string w;
            ++i;
            for (;;) {
                if (i >= text.size())
                    fail(number, "text without its closing quote");
                char c = text[i++];
                if (c == '"')
                    break;
                if (c != '\\') {
                    w += c;
                    continue;
                }
                if (i >= text.size())
                    fail(number, "text without its closing quote");
                char e = text[i++];
                if (e == 'n') {
                    w += '\n';
                } else if (e == 'x' && i + 2 <= text.size()) {
                    w += char(std::stoi(text.substr(i, 2), nullptr, 16));
                    i += 2;
                } else {
                    w += e;
                }
            }
            l.Words.push_back(w);
            l.Quoted.push_back(true);
        } else {
            size_t j = text.find_first_of(" \t\r", i);
            if (j == std::string::npos)
                j = text.size();
            l.Words.push_back(text.substr(i, j - i));
            l.Quoted.push_back(false);
            i = j;
        }
    }
    return l;
}

int64_t parseInt(const TLine& l, size_t word, int64_t lo, int64_t hi) {
    if (word >= l.Words.size())
        fail(l.Number, l.Words[0] + ": a value is missing");
    const std::string& w = l.Words[word];
    const char* b = w.data();
    const char* e = b + w.size();
    bool negative = false;
    if (b < e && *b == '-') {
        negative = true;
        ++b;
    }
    int base = 10;
    if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
        base = 16;
        b += 2;
    }
    int64_t v = 0;
    auto r = std::from_chars(b, e, v, base);
    if (r.ec != std::errc() || r.ptr != e)
        fail(l.Number, l.Words[0] + ": '" + w + "' is not an integer");
    if (negative)
        v = -v;
    if (v < lo || v > hi)
        fail(l.Number, l.Words[0] + ": " + w + " is out of range");
    return v;
}

class TTextReader : public TFrameListFields {
public:
    std::map<std::string, TLine> Lines;
    std::map<std::string, bool> Used;
    void Int(const char* name, int32_t& v) override {
        if (const TLine* l = find(name, 1))
            v = static_cast<int32_t>(parseInt(*l, 1, INT32_MIN, UINT32_MAX));
    }
    void Pair(const char* name, int32_t& a, int32_t& b) override {
        if (const TLine* l = find(name, 2)) {
            a = static_cast<int32_t>(parseInt(*l, 1, INT32_MIN, INT32_MAX));
            b = static_cast<int32_t>(parseInt(*l, 2, INT32_MIN, INT32_MAX));
        }
    }
    void Byte(const char* name, uint8_t& v) override {
        if (const TLine* l = find(name, 1))
            v = static_cast<uint8_t>(parseInt(*l, 1, 0, 255));
    }
    void Double(const char* name, double& v) override {
        if (const TLine* l = find(name, 1)) {
            const std::string& w = l->Words[1];
            auto r = std::from_chars(w.data(), w.data() + w.size(), v);
            if (r.ec != std::errc() || r.ptr != w.data() + w.size())
                fail(l->Number, std::string(name) + ": '" + w + "' is not a number");
        }
    }
    void Text(const char* name, std::string& v) override {
        if (const TLine* l = find(name, 1))
            v = sjis(l->Words[1]);
    }
    void Skip(int) override {}
    // Names given that no field took.
    void checkUsed(const std::string& where) const {
        for (const auto& [name, line] : Lines)
            if (!Used.count(name))
                fail(line.Number, "'" + name + "' is no field of " + where);
    }

private:
    const TLine* find(const char* name, size_t values) {
        auto it = Lines.find(name);
        if (it == Lines.end())
            return nullptr;
        Used[name] = true;
        if (it->second.Words.size() != values + 1)
            fail(it->second.Number, std::string(name) + " takes " + std::to_string(values) + " value(s)");
        return &it->second;
    }
};

} // namespace

std::string filmToText(TFilmManager& film) {
    TTextWriter w;
    w.Version = film.Version();
    w.Out = std::string("film ") + (film.IsMotionFile() ? "motion " : "cinema ") + std::to_string(film.Version()) + "\n";
    film.HeaderFields(w);
    for (int i = 0; i < film.Count(); ++i) {
        TCustomFrameList* t = film.GetTrack(i);
        w.Out += std::string("\ntrack ") + frameListKindName(t->Kind()) + "   # " + std::to_string(i) + "\n";
        t->Fields(w);
    }
    return w.Out;
}

void filmFromText(TFilmManager& film, const std::string& text) {
    film.Clear();
    std::vector<TLine> lines;
    {
        std::istringstream in(text);
        std::string s;
        for (int n = 1; std::getline(in, s); ++n) {
            TLine l = splitLine(s, n);
            if (!l.Words.empty())
                lines.push_back(std::move(l));
        }
    }
    if (lines.empty() || lines[0].Words[0] != "film" || lines[0].Words.size() < 2 ||
        (lines[0].Words[1] != "cinema" && lines[0].Words[1] != "motion"))
        fail(lines.empty() ? 1 : lines[0].Number, "the text must start with 'film cinema' or 'film motion'");
    film.SetMotionFile(lines[0].Words[1] == "motion");

    // Groups: the header, then one per track.
    size_t i = 1;
    auto group = [&](TTextReader& r) {
        for (; i < lines.size() && lines[i].Words[0] != "track"; ++i) {
            if (r.Lines.count(lines[i].Words[0]))
                fail(lines[i].Number, "'" + lines[i].Words[0] + "' is given twice");
            r.Lines[lines[i].Words[0]] = lines[i];
        }
    };
    TTextReader header;
    group(header);
    film.HeaderFields(header);
    header.checkUsed("the film's header");
    while (i < lines.size()) {
        const TLine& head = lines[i++];
        const int kind = head.Words.size() == 2 ? frameListKindOfName(head.Words[1]) : -1;
        if (kind < 0)
            fail(head.Number, "track needs one kind: image, label, box, wipe, sound, tile, particle or fire");
        TCustomFrameList* t = film.AddTrack(static_cast<uint8_t>(kind));
        TTextReader r;
        group(r);
        t->Fields(r);
        r.checkUsed(std::string("a ") + head.Words[1] + " track");
        t->AfterLoad(TFilmManager::kVersion);
    }
    film.Link();
}

} // namespace zuno
