#include "core/TextHelpers.h"

#include <cstdint>

namespace zuno {

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string_view trimmed(std::string_view s, std::string_view head, std::string_view tail) {
    while (!s.empty() && head.find(s.front()) != std::string_view::npos)
        s.remove_prefix(1);
    while (!s.empty() && tail.find(s.back()) != std::string_view::npos)
        s.remove_suffix(1);
    return s;
}

std::string_view trimmedControls(std::string_view s) {
    auto control = [](char c) { return static_cast<uint8_t>(c) <= 0x20; };
    while (!s.empty() && control(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && control(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string> splitLines(std::string_view s) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < s.size()) {
        size_t j = i;
        while (j < s.size() && s[j] != '\r' && s[j] != '\n')
            ++j;
        lines.emplace_back(s.substr(i, j - i));
        if (j < s.size() && s[j] == '\r') {
            ++j;
            if (j < s.size() && s[j] == '\n')
                ++j;
        } else if (j < s.size()) {
            ++j;        // LF
        }
        i = j;
    }
    return lines;
}

} // namespace zuno
