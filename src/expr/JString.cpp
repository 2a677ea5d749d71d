#include "expr/JString.h"

#include <array>

#include "core/Cp932.h"
#include "core/EZunoError.h"

namespace zuno {

namespace {

inline uint8_t at(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

// Bytes of the character starting at byte index i (0-based).
inline size_t charLen(std::string_view s, size_t i) {
    return (isLeadByte(at(s, i)) && i + 1 < s.size()) ? 2 : 1;
}

// Half-width forms: ASCII 0x20-0x7E and 0xA1-0xDF -> the double-byte code.
constexpr uint16_t kAsciiSymbols[0x7F - 0x20] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,   // 20-27
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,   // 28-2F
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,   // 30-37
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,   // 38-3F
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,   // 40-47
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,   // 48-4F
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,   // 50-57
    0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151,   // 58-5F
    0x8165, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,   // 60-67
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,   // 68-6F
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,   // 70-77
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,           // 78-7E
};

constexpr uint16_t kKana[0xE0 - 0xA1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,   // A1-A8
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,   // A9-B0
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,   // B1-B8
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,   // B9-C0
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,   // C1-C8
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,   // C9-D0
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,   // D1-D8
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,           // D9-DF
};

uint16_t zenOf(uint8_t b) {
    if (b >= 0x20 && b <= 0x7E)
        return kAsciiSymbols[b - 0x20];
    if (b >= 0xA1 && b <= 0xDF)
        return kKana[b - 0xA1];
    return 0;
}

bool voiceable(uint8_t b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
bool semiVoiceable(uint8_t b) { return b >= 0xCA && b <= 0xCE; }

void putCode(std::string& out, uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// Double-byte code -> its half-width form (one or two bytes), built from the tables above.
struct THanTable {
    std::array<uint16_t, 0x10000> single{};    // half-width byte, 0 = none
    std::array<uint16_t, 0x10000> pair{};      // letter << 8 | mark, 0 = none
    THanTable() {
        for (int b = 0xDF; b >= 0x20; --b) {
            uint16_t z = zenOf(static_cast<uint8_t>(b));
            if (z)
                single[z] = static_cast<uint16_t>(b);
        }
        single[0x8167] = '"';
        for (int b = 0xB6; b <= 0xCE; ++b) {
            if (voiceable(static_cast<uint8_t>(b)))
                pair[zenOf(static_cast<uint8_t>(b)) + 1] = static_cast<uint16_t>(b << 8 | 0xDE);
            if (semiVoiceable(static_cast<uint8_t>(b)))
                pair[zenOf(static_cast<uint8_t>(b)) + 2] = static_cast<uint16_t>(b << 8 | 0xDF);
        }
    }
};

const THanTable& hanTable() {
    static const THanTable t;
    return t;
}

} // namespace

bool IsTrailByte(std::string_view s, int64_t i) {
    if (i < 1 || i > static_cast<int64_t>(s.size()))
        throw EZunoError("Illegal Index");
    if (i == 1)
        return false;
    int64_t run = 0;
    for (int64_t k = i - 2; k >= 0 && isLeadByte(at(s, static_cast<size_t>(k))); --k)
        ++run;
    return (run & 1) != 0;
}

int64_t CharToBytePos(std::string_view s, int64_t n) {
    size_t p = 0;
    while (n > 1 && p < s.size()) {
        p += isLeadByte(at(s, p)) ? 2 : 1;
        --n;
    }
    return static_cast<int64_t>(p) + 1;
}

int32_t JCharAt(std::string_view s, int64_t n) {
    if (n < 1)
        return 0;
    int64_t p = CharToBytePos(s, n);
    if (p > static_cast<int64_t>(s.size()))
        return 0;
    size_t i = static_cast<size_t>(p - 1);
    if (charLen(s, i) == 2)
        return at(s, i) * 256 + at(s, i + 1);
    return at(s, i);
}

int32_t JLength(std::string_view s) {
    int32_t n = 0;
    for (size_t i = 0; i < s.size(); i += charLen(s, i))
        ++n;
    return n;
}

int64_t charAlignedFind(std::string_view s, std::string_view pattern, int64_t from) {
    if (pattern.empty() || pattern.size() > s.size())
        return 0;
    size_t last = s.size() - pattern.size();
    for (size_t i = 0; i <= last; i += charLen(s, i))
        if (static_cast<int64_t>(i) + 1 >= from && s[i] == pattern[0] && s.compare(i, pattern.size(), pattern) == 0)
            return static_cast<int64_t>(i) + 1;
    return 0;
}

int32_t JPos(std::string_view pattern, std::string_view s) {
    if (pattern.empty() || pattern.size() > s.size())
        return 0;
    size_t last = s.size() - pattern.size();
    int32_t k = 1;
    for (size_t i = 0; i <= last; i += charLen(s, i), ++k)
        if (s[i] == pattern[0] && s.compare(i, pattern.size(), pattern) == 0)
            return k;
    return 0;
}

std::string JCopy(std::string_view s, int64_t start, int64_t count) {
    std::string out;
    int64_t end = start + count;
    int64_t k = 1;
    for (size_t i = 0; i < s.size() && k < end; ++k) {
        size_t n = charLen(s, i);
        if (k >= start)
            out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

void JInsert(std::string_view text, std::string& s, int64_t position) {
    if (s.empty()) {
        s.assign(text);
        return;
    }
    size_t p = 0;
    for (int64_t n = position; n > 1 && p < s.size(); --n)
        p += charLen(s, p);
    if (p >= s.size())
        s.append(text);
    else
        s.insert(p, text);
}

void JDelete(std::string& s, int64_t start, int64_t count) {
    if (start < 1)
        start = 1;
    if (count <= 0)
        return;
    size_t b = 0;
    for (int64_t n = start; n > 1 && b < s.size(); --n)
        b += charLen(s, b);
    if (b >= s.size())
        return;
    size_t e = b;
    for (int64_t n = count; n > 0 && e < s.size(); --n)
        e += charLen(s, e);
    if (e >= s.size())
        s.erase(b);
    else
        s.erase(b, e - b);
}

std::string SplitAt(std::string& s, std::string_view separators) {
    for (size_t i = 0; i < s.size(); i += charLen(s, i)) {
        if (separators.find(s[i]) != std::string_view::npos) {
            std::string head = s.substr(0, i);
            s.erase(0, i + 1);
            return head;
        }
    }
    std::string head = std::move(s);
    s.clear();
    return head;
}

std::string JTrimLeft(std::string_view s) {
    size_t i = 0;
    for (;;) {
        if (i < s.size() && s[i] == ' ')
            ++i;
        else if (i + 1 < s.size() && at(s, i) == 0x81 && at(s, i + 1) == 0x40)
            i += 2;
        else
            break;
    }
    return std::string(s.substr(i));
}

std::string JTrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0) {
        std::string_view t = s.substr(0, n);
        if (IsTrailByte(t, static_cast<int64_t>(n))) {
            if (at(t, n - 2) == 0x81 && at(t, n - 1) == 0x40)
                n -= 2;
            else
                break;
        } else if (t[n - 1] == ' ') {
            --n;
        } else {
            break;
        }
    }
    return std::string(s.substr(0, n));
}

std::string JTrim(std::string_view s) { return JTrimRight(JTrimLeft(s)); }

std::string HanToZen(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (size_t i = 0; i < s.size();) {
        size_t n = charLen(s, i);
        uint8_t b = at(s, i);
        if (n == 2 || isLeadByte(b)) {          // double-byte (or a lone final lead byte): copied
            out.append(s.substr(i, n));
            i += n;
            continue;
        }
        uint16_t z = zenOf(b);
        if (z) {
            uint8_t next = i + 1 < s.size() ? at(s, i + 1) : 0;
            if (next == 0xDE && voiceable(b)) {
                z += 1;
                ++i;
            } else if (next == 0xDF && semiVoiceable(b)) {
                z += 2;
                ++i;
            }
            putCode(out, z);
        }
        ++i;
    }
    return out;
}

std::string ZenToHan(std::string_view s) {
    const THanTable& t = hanTable();
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        uint8_t b = at(s, i);
        if (!isLeadByte(b)) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (i + 1 >= s.size())                  // a lone final lead byte is removed
            break;
        uint16_t code = static_cast<uint16_t>(b << 8 | at(s, i + 1));
        if (uint16_t h = t.single[code]) {
            out += static_cast<char>(h);
        } else if (uint16_t p = t.pair[code]) {
            out += static_cast<char>(p >> 8);
            out += static_cast<char>(p & 0xFF);
        }
        i += 2;
    }
    return out;
}

std::string EucToSjis(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        uint8_t b = at(s, i);
        if (b == 0x00) {
            out += ' ';
            ++i;
        } else if (b <= 0x80 || b == 0xFF) {
            out += static_cast<char>(b);
            ++i;
        } else if (b == 0x8E) {
            if (i + 1 < s.size())
                out += s[i + 1];
            i += 2;
        } else {
            if (i + 1 >= s.size())               // an incomplete final character is dropped
                break;
            unsigned j1 = b & 0x7F, j2 = at(s, i + 1) & 0x7Fu;
            unsigned lead = (j1 + 1) / 2 + (j1 <= 0x5E ? 0x70 : 0xB0);
            unsigned trail = (j1 % 2 == 0) ? j2 + 0x7E : (j2 < 0x60 ? j2 + 0x1F : j2 + 0x20);
            out += static_cast<char>(lead & 0xFF);
            out += static_cast<char>(trail & 0xFF);
            i += 2;
        }
    }
    return out;
}

} // namespace zuno
