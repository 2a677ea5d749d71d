// A font service for the glyph tests: glyphs given as grids of grey values
// 0..64, metrics set by the test, and a record of what was asked for.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "text/TFontService.h"

namespace zuno::test {

struct TFakeGlyph {
    int32_t             Width = 0;
    int32_t             Height = 0;
    std::vector<uint8_t> Grey;          // Width x Height values 0..64, row by row
    int32_t             OriginX = 0;
    int32_t             OriginY = 0;
    int32_t             CellIncX = 0;
    TAbcWidths          Abc;
    int32_t             TextWidth = 0;
};

struct TFakeFontState {
    std::map<uint16_t, TFakeGlyph> Glyphs;
    std::set<std::string> Faces;        // names HasFace accepts
    TOutlineMetrics     Metrics{10, 2, 0, 1, -1, 1, 4};
    bool                RefuseGrey = false;     // grey formats refused
    bool                RefuseAll = false;
    bool                NoFont = false;         // OpenFont fails
    std::vector<TFontRequest> Opened;
    int32_t             Renders = 0;
};

class TFakeFace : public TFontFace {
public:
    explicit TFakeFace(TFakeFontState& s) : FState(s) {}
    const TOutlineMetrics& Metrics() const override { return FState.Metrics; }
    bool RenderGlyph(uint16_t code, int32_t level, TGlyphBitmap& out) override {
        ++FState.Renders;
        out = TGlyphBitmap{};
        if (FState.RefuseAll || (FState.RefuseGrey && level > 0)) return false;
        auto it = FState.Glyphs.find(code);
        if (it == FState.Glyphs.end()) return true;
        const TFakeGlyph& g = it->second;
        out.BlackBoxWidth = g.Width;
        out.BlackBoxHeight = g.Height;
        out.OriginX = g.OriginX;
        out.OriginY = g.OriginY;
        out.CellIncX = g.CellIncX;
        if (g.Width == 0 || g.Height == 0) return true;
        out.Pitch = level == 0 ? (g.Width + 31) / 32 * 4 : (g.Width + 3) / 4 * 4;
        out.Bits.assign(size_t(out.Pitch) * g.Height, 0);
        const int32_t top = kGreyLevels[level];
        for (int32_t y = 0; y < g.Height; ++y)
            for (int32_t x = 0; x < g.Width; ++x) {
                uint8_t v = g.Grey[size_t(y * g.Width + x)];
                if (level == 0) {
                    if (v >= 32) out.Bits[size_t(y * out.Pitch + x / 8)] |= uint8_t(0x80 >> (x % 8));
                } else {
                    out.Bits[size_t(y * out.Pitch + x)] = uint8_t(v * top / 64);
                }
            }
        return true;
    }
    TAbcWidths CharAbc(uint16_t code) override {
        auto it = FState.Glyphs.find(code);
        return it == FState.Glyphs.end() ? TAbcWidths{} : it->second.Abc;
    }
    int32_t TextWidth(uint16_t code) override {
        auto it = FState.Glyphs.find(code);
        return it == FState.Glyphs.end() ? 0 : it->second.TextWidth;
    }

private:
    TFakeFontState& FState;
};

class TFakeFontService : public TFontService {
public:
    explicit TFakeFontService(TFakeFontState& s) : FState(s) {}
    bool HasFace(const std::string& name) override { return FState.Faces.count(name) > 0; }
    std::unique_ptr<TFontFace> OpenFont(const TFontRequest& request) override {
        FState.Opened.push_back(request);
        if (FState.NoFont) return nullptr;
        return std::make_unique<TFakeFace>(FState);
    }

private:
    TFakeFontState& FState;
};

// A glyph of full coverage (64) over a w x h box.
inline TFakeGlyph solidGlyph(int32_t w, int32_t h, int32_t originX = 0, int32_t originY = 10, int32_t cellInc = 0) {
    TFakeGlyph g;
    g.Width = w;
    g.Height = h;
    g.Grey.assign(size_t(w * h), 64);
    g.OriginX = originX;
    g.OriginY = originY;
    g.CellIncX = cellInc ? cellInc : w + originX;
    g.Abc = {originX, w, g.CellIncX - originX - w};
    g.TextWidth = g.CellIncX;
    return g;
}

} // namespace zuno::test
