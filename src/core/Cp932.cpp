#include "core/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <stdexcept>

namespace zuno {

namespace {

// One iconv descriptor per direction, shared under a lock: opening one is far
// more expensive than a conversion of a short text.
class Converter {
public:
    Converter(const char* to, const char* from) {
        FCd = iconv_open(to, from);
        if (FCd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }

    // Converts as much as possible; on an invalid or unconvertible sequence
    // writes `replacement`, skips `skip(bytes left)` input bytes and goes on.
    template <class Skip>
    std::string convert(std::string_view in, std::string_view replacement, Skip skip) {
        std::lock_guard<std::mutex> guard(FLock);
        std::string out;
        out.reserve(in.size() * 3 / 2 + 8);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[1024];
        iconv(FCd, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(FCd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            if (r != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a truncated sequence at the end): replace and skip.
            out.append(replacement);
            size_t n = skip(reinterpret_cast<const uint8_t*>(src), srcLeft);
            src += n;
            srcLeft -= n;
            iconv(FCd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t FCd;
    std::mutex FLock;
};

Converter& toUtf8() {
    static Converter c("UTF-8", "CP932");
    return c;
}

Converter& toCp932() {
    static Converter c("CP932", "UTF-8");
    return c;
}

// Length of the UTF-8 sequence starting at p, or 1 when it is not valid.
size_t utf8SequenceLength(const uint8_t* p, size_t left) {
    size_t n = p[0] < 0x80 ? 1 : (p[0] & 0xE0) == 0xC0 ? 2 : (p[0] & 0xF0) == 0xE0 ? 3 : (p[0] & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || n > left)
        return 1;
    for (size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 1;
    return n;
}

bool isAsciiOnly(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

std::string cp932ToUtf8(std::string_view sjis) {
    if (isAsciiOnly(sjis))
        return std::string(sjis);
    return toUtf8().convert(sjis, "\xEF\xBF\xBD", [](const uint8_t*, size_t) { return size_t(1); });
}

std::string utf8ToCp932(std::string_view utf8) {
    if (isAsciiOnly(utf8))
        return std::string(utf8);
    return toCp932().convert(utf8, "?", utf8SequenceLength);
}

std::string escapeForPrint(std::string_view s, bool keepBackslash) {
    std::string out;
    out.reserve(s.size() + 8);
    auto hex = [&out](uint8_t b) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", b);
        out += buf;
    };
    size_t i = 0;
    while (i < s.size()) {
        uint8_t b = static_cast<uint8_t>(s[i]);
        if (b == '\t') { out += "\\t"; ++i; continue; }
        if (b == '\n') { out += "\\n"; ++i; continue; }
        if (b == '\r') { out += "\\r"; ++i; continue; }
        if (b == '\\') { out += keepBackslash ? "\\" : "\\\\"; ++i; continue; }
        if (b < 0x20 || b == 0x7F) { hex(b); ++i; continue; }
        if (b < 0x80) { out += static_cast<char>(b); ++i; continue; }
        // One character of one or two bytes; it is printed only when code page
        // 932 defines it, else each byte as \xHH.
        size_t n = (isLeadByte(b) && i + 1 < s.size()) ? 2 : 1;
        std::string_view ch = s.substr(i, n);
        std::string u = cp932ToUtf8(ch);
        if (u.find("\xEF\xBF\xBD") != std::string::npos) {
            // An invalid pair may still start with a valid single byte: retry one byte.
            hex(b);
            ++i;
            continue;
        }
        out += u;
        i += n;
    }
    return out;
}

std::string lowerCaseSjis(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(out[i]);
        if (isLeadByte(b)) {
            ++i; // skip the trail byte, which may look like an ASCII letter
        } else if (b >= 'A' && b <= 'Z') {
            out[i] = static_cast<char>(b + 32);
        }
    }
    return out;
}

std::string upperCaseSjis(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(out[i]);
        if (isLeadByte(b)) {
            ++i;
        } else if (b >= 'a' && b <= 'z') {
            out[i] = static_cast<char>(b - 32);
        }
    }
    return out;
}

bool sameTextSjis(std::string_view a, std::string_view b) {
    return a.size() == b.size() && lowerCaseSjis(a) == lowerCaseSjis(b);
}

} // namespace zuno
