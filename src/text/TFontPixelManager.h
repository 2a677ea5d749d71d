// The glyph cache: one coverage mask per (character, face name, anti-alias
// level, style, height), rendered once through the platform's font service
// and kept while it is among the 256 most recently used glyphs.
//
// TFontPixel         one cached glyph: the 8-bit coverage mask and where it
//                    sits in the character cell.
// TFontPixelManager  the cache (256 buckets by the code's low byte, a most
//                    recently used list that owns the glyphs), the current
//                    font and the measuring font of DrawChar.
//
// Heights handed to the font service are capped at kMaxGlyphHeight either
// way (a height of 0 asks for the smallest font), so that one glyph's mask
// stays within a few megabytes and the whole cache bounded whatever a game
// asks for.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TDIBX.h"
#include "text/TFontService.h"

namespace zuno {

constexpr int32_t kMaxGlyphHeight = 1024;
constexpr size_t kGlyphCacheSize = 256;
const std::string& fallbackFaceName();            // "ＭＳ ゴシック" in Shift-JIS

// Coverage of each grey value of a level's format.
const std::vector<uint8_t>& coverageTable(int32_t level);

class TFontPixel {
public:
    TDIBX               GlyphMask;                  // 8-bit coverage; 0 x 0 for a blank glyph
    uint16_t            CharCode = 0;
    std::string         FontName;
    int32_t             FontHeight = 0;
    uint8_t             StyleFlags = 0;
    int32_t             AntiAliasLevel = 0;
    int32_t             GlyphLeft = 0;              // x of the mask inside the cell
    int32_t             GlyphTop = 0;               // y of the mask inside the cell
    int32_t             UnderlineSize = 0;
    int32_t             StrikeOutTop = 0;
    int32_t             StrikeOutSize = 0;
    int32_t             ExtraAdvance = 0;           // advance right of the mask

                        TFontPixel();
    bool                IsEmpty() { return GlyphMask.GetWidth() <= 0 || GlyphMask.GetHeight() <= 0; }

private:
    friend class TFontPixelManager;
    std::list<std::unique_ptr<TFontPixel>>::iterator FRecent;
};

class TFontPixelManager {
public:
    explicit            TFontPixelManager(std::unique_ptr<TFontService> service);
                        ~TFontPixelManager();
                        TFontPixelManager(const TFontPixelManager&) = delete;
    TFontPixelManager&  operator=(const TFontPixelManager&) = delete;

    int32_t             AntiAliasLevel = kAntiAliasMax;     // level of new glyphs; set by each user

    // The glyph, from the cache or rendered now. Never fails for a character:
    // one the platform cannot render has an empty mask. The reference stays
    // good until the next GetGlyph. EZunoError "Error:GetOutlineTextMetrics"
    // when no font can be opened at all.
    TFontPixel&         GetGlyph(uint16_t code, const std::string& name, uint8_t style, int32_t height);
    TFontPixel*         FindGlyph(uint16_t code, const std::string& name, int32_t level, uint8_t style,
                                  int32_t height);
    int32_t             Ascent() const;                     // of the current font
    const TOutlineMetrics& Metrics() const { return FMetrics; }

    // A, B and C widths of a character in a glyph's font (name, style,
    // height), measured with the measuring font.
    TAbcWidths          MeasureAbc(const TFontPixel& glyph);
    // The font for a face name as the platform selects it: the name when an
    // installed outline font carries it, else the fallback face.
    std::unique_ptr<TFontFace> OpenFont(const std::string& name, int32_t height, uint8_t style);

    size_t              CachedCount() const { return FRecent.size(); }
    TFontPixel*         MostRecent(size_t index);            // 0: the most recently used; null past the end
    void                ClearCache();
    TFontService&       Service() { return *FService; }

    // The process-wide manager (created at start-up, freed at exit); null before.
    static TFontPixelManager* Instance();
    static void         SetInstance(std::unique_ptr<TFontPixelManager> manager);

private:
    void                selectFont(const std::string& name, int32_t height, uint8_t style);
    void                render(TFontPixel& glyph);
    void                evict();

    std::unique_ptr<TFontService> FService;
    std::array<std::vector<TFontPixel*>, 256> FBuckets;
    std::list<std::unique_ptr<TFontPixel>> FRecent;         // owning, most recently used first
    std::unique_ptr<TFontFace> FFont;                       // the current font
    TFontRequest        FLastFont;                          // what FFont was selected for
    bool                FHasLastFont = false;
    TOutlineMetrics     FMetrics;
    std::unique_ptr<TFontFace> FMeasureFont;
    TFontRequest        FMeasureRequest;
    TGlyphBitmap        FBitmap;                            // reused between renders
};

} // namespace zuno
