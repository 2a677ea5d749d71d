#include "text/TFontPixelManager.h"

#include <algorithm>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "text/TWdGlyph.h"

namespace zuno {

const std::string& fallbackFaceName() {
    static const std::string name = sjis("ＭＳ ゴシック");
    return name;
}

/*
================
coverageTable

The coverage of each grey value of a level's format: the platform's grey
values are not spread evenly over 0..255.
================
*/
const std::vector<uint8_t>& coverageTable(int32_t level) {
    static const std::vector<uint8_t> tables[kAntiAliasMax + 1] = {
        {0, 255},
        {0, 79, 127, 207, 255},
        {0, 43, 55, 67, 79, 91, 103, 115, 159, 171, 183, 195, 207, 219, 231, 243, 255},
        {0,   18,  21,  24,  27,  30,  33,  36,  55,  58,  61,  64,  67,  70,  73,  76,  79,
         82,  85,  88,  91,  94,  97,  100, 119, 122, 125, 128, 131, 134, 137, 140, 143, 146,
         149, 152, 155, 158, 161, 164, 183, 186, 189, 192, 195, 198, 201, 204, 207, 210, 213,
         216, 219, 222, 225, 228, 231, 234, 237, 240, 243, 246, 249, 252, 255},
    };
    return tables[std::clamp(level, 0, kAntiAliasMax)];
}

TFontPixel::TFontPixel() {
    GlyphMask.Clear();
}

namespace {

std::unique_ptr<TFontPixelManager>& instanceSlot() {
    static std::unique_ptr<TFontPixelManager> instance;
    return instance;
}

} // namespace

TFontPixelManager* TFontPixelManager::Instance() {
    return instanceSlot().get();
}

void TFontPixelManager::SetInstance(std::unique_ptr<TFontPixelManager> manager) {
    instanceSlot() = std::move(manager);
}

TFontPixelManager::TFontPixelManager(std::unique_ptr<TFontService> service) : FService(std::move(service)) {}

TFontPixelManager::~TFontPixelManager() = default;

/*
================
TFontPixelManager::FindGlyph
================
*/
TFontPixel* TFontPixelManager::FindGlyph(uint16_t code, const std::string& name, int32_t level, uint8_t style,
                                         int32_t height) {
    for (TFontPixel* g : FBuckets[code & 0xFF]) {
        if (g->CharCode == code && g->AntiAliasLevel == level && g->StyleFlags == style && g->FontHeight == height &&
            g->FontName == name)
            return g;
    }
    return nullptr;
}

/*
================
TFontPixelManager::GetGlyph
================
*/
TFontPixel& TFontPixelManager::GetGlyph(uint16_t code, const std::string& name, uint8_t style, int32_t height) {
    AntiAliasLevel = std::clamp(AntiAliasLevel, 0, kAntiAliasMax);
    if (TFontPixel* hit = FindGlyph(code, name, AntiAliasLevel, style, height)) {
        FRecent.splice(FRecent.begin(), FRecent, hit->FRecent);
        return *hit;
    }
    auto glyph = std::make_unique<TFontPixel>();
    TFontPixel& g = *glyph;
    g.CharCode = code;
    g.FontName = name;
    g.FontHeight = height;
    g.StyleFlags = style;
    g.AntiAliasLevel = AntiAliasLevel;
    FBuckets[code & 0xFF].push_back(&g);
    FRecent.push_front(std::move(glyph));
    g.FRecent = FRecent.begin();
    if (FRecent.size() > kGlyphCacheSize)
        evict();
    selectFont(name, height, style);
    render(g);
    return g;
}

void TFontPixelManager::evict() {
    TFontPixel* last = FRecent.back().get();
    auto& bucket = FBuckets[last->CharCode & 0xFF];
    bucket.erase(std::find(bucket.begin(), bucket.end(), last));
    FRecent.pop_back();
}

void TFontPixelManager::ClearCache() {
    for (auto& bucket : FBuckets) bucket.clear();
    FRecent.clear();
}

TFontPixel* TFontPixelManager::MostRecent(size_t index) {
    if (index >= FRecent.size()) return nullptr;
    return std::next(FRecent.begin(), static_cast<std::ptrdiff_t>(index))->get();
}

int32_t TFontPixelManager::Ascent() const {
    return FMetrics.Ascent;
}

/*
================
TFontPixelManager::OpenFont

A face that no installed outline font carries falls back to the fallback
face; heights are capped at kMaxGlyphHeight either way.
================
*/
std::unique_ptr<TFontFace> TFontPixelManager::OpenFont(const std::string& name, int32_t height, uint8_t style) {
    TFontRequest r;
    r.Name = FService->HasFace(name) ? name : fallbackFaceName();
    r.Height = std::clamp(height, -kMaxGlyphHeight, kMaxGlyphHeight);
    r.StyleFlags = style;
    return FService->OpenFont(r);
}

/*
================
TFontPixelManager::selectFont

The font is opened again only when the name, height or style differs from
the last glyph's.
================
*/
void TFontPixelManager::selectFont(const std::string& name, int32_t height, uint8_t style) {
    TFontRequest want{name, height, style};
    if (FHasLastFont && FFont && want == FLastFont)
        return;
    FFont.reset();
    FHasLastFont = false;
    FFont = OpenFont(name, height, style);
    if (!FFont)
        throw EZunoError("Error:GetOutlineTextMetrics");
    FMetrics = FFont->Metrics();
    FLastFont = want;
    FHasLastFont = true;
}

/*
================
TFontPixelManager::render

Asks the font for the glyph at the current level; a refusal drops the
manager to the 1-bit format for good. The grey values become coverage
through the level's table.
================
*/
void TFontPixelManager::render(TFontPixel& g) {
    int32_t level = g.AntiAliasLevel;
    if (!FFont->RenderGlyph(g.CharCode, level, FBitmap)) {
        AntiAliasLevel = kAntiAliasMono;
        level = kAntiAliasMono;
        if (!FFont->RenderGlyph(g.CharCode, level, FBitmap))
            return;
    }
    const TGlyphBitmap& b = FBitmap;
    int64_t size = static_cast<int64_t>(b.Bits.size());
    if (size == 0 || b.BlackBoxWidth <= 0 || b.BlackBoxHeight <= 0) {
        g.ExtraAdvance = FFont->TextWidth(g.CharCode);
        return;
    }
    int32_t width = b.BlackBoxWidth;
    int32_t height = b.BlackBoxHeight;
    int64_t rowLength = (static_cast<int64_t>(width) + 3) / 4 * 4;
    if (height * rowLength < size)
        height = static_cast<int32_t>(size / rowLength);
    // Never read past the bitmap, whatever its placement fields claim.
    int64_t pitch = b.Pitch;
    if (pitch <= 0) return;
    height = static_cast<int32_t>(std::min<int64_t>(height, size / pitch));
    if (height <= 0) return;

    g.GlyphMask.SetSize(width, height, 8);
    const std::vector<uint8_t>& table = coverageTable(level);
    uint8_t top = static_cast<uint8_t>(table.size() - 1);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* dst = g.GlyphMask.ScanLine(y);
        const uint8_t* src = b.Bits.data() + y * pitch;
        if (level == kAntiAliasMono) {
            int32_t usable = static_cast<int32_t>(std::min<int64_t>(width, pitch * 8));
            std::fill(dst, dst + width, uint8_t(0));
            for (int32_t x = 0; x < usable; ++x)
                dst[x] = ((src[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
        } else {
            int32_t usable = static_cast<int32_t>(std::min<int64_t>(width, pitch));
            std::fill(dst + usable, dst + width, uint8_t(0));
            for (int32_t x = 0; x < usable; ++x)
                dst[x] = table[std::min(src[x], top)];
        }
    }
    g.GlyphLeft = std::max(0, b.OriginX);
    g.GlyphTop = std::max(0, FMetrics.Ascent - b.OriginY);
    g.ExtraAdvance = std::max(0, b.CellIncX - width - g.GlyphLeft);
    if (g.StyleFlags & FS_UNDERLINE)
        g.UnderlineSize = FMetrics.UnderscoreSize;
    if (g.StyleFlags & FS_STRIKEOUT) {
        g.StrikeOutTop = FMetrics.Ascent - FMetrics.StrikeOutPosition;
        g.StrikeOutSize = FMetrics.StrikeOutSize;
    }
}

/*
================
TFontPixelManager::MeasureAbc
================
*/
TAbcWidths TFontPixelManager::MeasureAbc(const TFontPixel& glyph) {
    TFontRequest want{glyph.FontName, glyph.FontHeight, glyph.StyleFlags};
    if (!FMeasureFont || !(want == FMeasureRequest)) {
        FMeasureFont = OpenFont(glyph.FontName, glyph.FontHeight, glyph.StyleFlags);
        FMeasureRequest = want;
    }
    if (!FMeasureFont) return {};
    return FMeasureFont->CharAbc(glyph.CharCode);
}

} // namespace zuno
