// What layout needs to know about the size of things: the cell of a
// character in a resolved font, and the size of an inline image. The text
// engine asks through this small interface so that it can lay out text
// before any font or picture is loaded.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace zuno {

class TCustomDIBX;

struct TWdSize {
    int32_t             Width = 0;
    int32_t             Height = 0;
    bool                operator==(const TWdSize&) const = default;
};

// A character's font with every default already resolved against the word.
struct TWdFont {
    std::string_view    Name;
    int32_t             Size = 0;           // 0 .. kMaxFontSize
    uint8_t             StyleFlags = 0;     // FS_ bits
    bool                HasRuby = false;
    int32_t             BorderWidth = 0;    // 0 .. kMaxBorderWidth
    int32_t             ShadowOffset = 0;   // 0 .. kMaxBorderWidth
};

// Sizes are capped before they reach the metrics, so that no item, row or
// page coordinate can overflow whatever the markup asks for.
constexpr int32_t kMaxFontSize = 2048;
constexpr int32_t kMaxBorderWidth = 255;

class TWdMetrics {
public:
    virtual             ~TWdMetrics() = default;
    virtual TWdSize     CharCell(uint16_t code, const TWdFont& font) const = 0;
    virtual TWdSize     ImageSize(const std::string& source) const = 0;
    // The picture an inline image draws; null draws nothing (its place stays
    // empty). It should have the size ImageSize answers.
    virtual TCustomDIBX* Picture(const std::string& source) const {
        (void)source;
        return nullptr;
    }
};

// The character cell every character gets, single-byte or double-byte: a
// square of the font size, a fifth wider when italic, half again as tall
// (at least one pixel) for the ruby above it, both grown by the border on
// either side and by the shadow offset. Without a picture source every image
// is the 8 x 8 empty picture that a missing image file yields.
class TWdCellMetrics : public TWdMetrics {
public:
    TWdSize             CharCell(uint16_t code, const TWdFont& font) const override;
    TWdSize             ImageSize(const std::string& source) const override;
};

constexpr TWdSize kMissingImageSize{8, 8};

} // namespace zuno
