// Style flags of drawn text, shared by the text engine and the display objects.
#pragma once

#include <cstdint>

namespace zuno {

constexpr uint8_t FS_BOLD      = 1;
constexpr uint8_t FS_ITALIC    = 2;
constexpr uint8_t FS_UNDERLINE = 4;
constexpr uint8_t FS_STRIKEOUT = 8;

} // namespace zuno
