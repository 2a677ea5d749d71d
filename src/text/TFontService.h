// The platform's font service, as the glyph cache and the labels see it: a
// face found by name, its outline metrics, and per character a coverage
// bitmap in one of the grey formats of the anti-aliasing levels, the
// character's A/B/C widths and its text width. The platform implements it
// (over fontconfig and FreeType); tests may put a fake in its place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zuno {

// A logical font: the face name (Shift-JIS), the height handed to the
// platform (above 0 the cell height, ascent plus descent; below 0 the
// character height) and the style flags (FS_ bits).
struct TFontRequest {
    std::string         Name;
    int32_t             Height = 0;
    uint8_t             StyleFlags = 0;
    bool                operator==(const TFontRequest&) const = default;
};

// The outline metrics of a font, in pixels.
struct TOutlineMetrics {
    int32_t             Ascent = 0;             // base line below the top of the cell
    int32_t             Descent = 0;
    int32_t             Overhang = 0;           // extra width of synthesised styles (0 for outline fonts)
    int32_t             UnderscoreSize = 0;
    int32_t             UnderscorePosition = 0; // above the base line (negative: below)
    int32_t             StrikeOutSize = 0;
    int32_t             StrikeOutPosition = 0;  // above the base line
    int32_t             TextHeight() const { return Ascent + Descent; }
};

// Grey formats of the anti-aliasing levels: 1 bit per pixel (rows padded to
// 32 bits, most significant bit first), or 8 bits per pixel with values
// 0..4, 0..16 or 0..64 (rows padded to 4 bytes).
constexpr int32_t kAntiAliasMono = 0;
constexpr int32_t kAntiAliasMax = 3;
constexpr int32_t kGreyLevels[kAntiAliasMax + 1] = {1, 4, 16, 64};     // the largest grey value

// One character's bitmap in a level's format, with its placement.
struct TGlyphBitmap {
    int32_t             BlackBoxWidth = 0;      // 0 x 0 for a blank character
    int32_t             BlackBoxHeight = 0;
    int32_t             OriginX = 0;            // left of the black box right of the pen
    int32_t             OriginY = 0;            // top of the black box above the base line
    int32_t             CellIncX = 0;           // advance of the pen
    int32_t             Pitch = 0;              // bytes per row of Bits
    std::vector<uint8_t> Bits;                  // Pitch x BlackBoxHeight
};

struct TAbcWidths {
    int32_t             A = 0;                  // left bearing
    int32_t             B = 0;                  // black box
    int32_t             C = 0;                  // right bearing
};

// An opened font: a face at a height with a style.
class TFontFace {
public:
    virtual             ~TFontFace() = default;
    virtual const TOutlineMetrics& Metrics() const = 0;
    // The character (a single byte, or a Shift-JIS double-byte code with the
    // lead byte high) in the level's format; false when the platform refuses
    // the request at that level.
    virtual bool        RenderGlyph(uint16_t code, int32_t level, TGlyphBitmap& out) = 0;
    virtual TAbcWidths  CharAbc(uint16_t code) = 0;
    virtual int32_t     TextWidth(uint16_t code) = 0;  // width of the character as text
};

class TFontService {
public:
    virtual             ~TFontService() = default;
    // True when an installed outline (TrueType) font carries exactly this
    // name, the Windows face names the player maps counting as installed
    // when the face they map to is.
    virtual bool        HasFace(const std::string& name) = 0;
    // The font, or null when no font can be opened or its metrics read.
    virtual std::unique_ptr<TFontFace> OpenFont(const TFontRequest& request) = 0;
};

} // namespace zuno
