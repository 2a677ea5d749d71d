#include "text/TWdMetrics.h"

#include "text/TWdGlyph.h"

namespace zuno {

TWdSize TWdCellMetrics::CharCell(uint16_t, const TWdFont& font) const {
    int32_t h = font.Size;
    int32_t width = h + ((font.StyleFlags & FS_ITALIC) ? h / 5 : 0);
    int32_t height = font.HasRuby ? h + std::max(1, h / 2) : h;
    int32_t grow = 2 * font.BorderWidth + font.ShadowOffset;
    return {width + grow, height + grow};
}

TWdSize TWdCellMetrics::ImageSize(const std::string&) const {
    return kMissingImageSize;
}

} // namespace zuno
