#include "text/DrawChar.h"

#include <algorithm>
#include <cmath>

#include "imaging/TCustomDIBX.h"
#include "text/TFontPixelManager.h"

namespace zuno {

namespace {

// A picture's pixel memory for the length of one primitive.
class TPlane {
public:
    explicit TPlane(TCustomDIBX& s) : FSurface(s) {
        if (s.GetWidth() <= 0 || s.GetHeight() <= 0) return;
        FBase = s.Lock(0, 0);
        if (!FBase) return;
        Pitch = s.GetPitch();
        Width = s.GetWidth();
        Height = s.GetHeight();
        Bits = s.GetBitCount();
    }
    ~TPlane() { if (FBase) FSurface.Unlock(); }
    TPlane(const TPlane&) = delete;
    TPlane& operator=(const TPlane&) = delete;

    bool        ok() const { return FBase != nullptr; }
    bool        isColour() const { return ok() && (Bits == 15 || Bits == 16 || Bits == 32); }
    bool        isAlpha() const { return ok() && Bits == 8; }
    uint8_t*    row(int32_t y) const { return FBase + int64_t(y) * Pitch; }
    uint32_t    get(int32_t x, int32_t y) const {
        const uint8_t* p = row(y);
        if (Bits == 32) return uint32_t(p[4 * x]) | uint32_t(p[4 * x + 1]) << 8 | uint32_t(p[4 * x + 2]) << 16 |
                               uint32_t(p[4 * x + 3]) << 24;
        return uint32_t(p[2 * x]) | uint32_t(p[2 * x + 1]) << 8;
    }
    void        set(int32_t x, int32_t y, uint32_t v) const {
        uint8_t* p = row(y);
        if (Bits == 32) {
            p[4 * x] = uint8_t(v); p[4 * x + 1] = uint8_t(v >> 8);
            p[4 * x + 2] = uint8_t(v >> 16); p[4 * x + 3] = uint8_t(v >> 24);
        } else {
            p[2 * x] = uint8_t(v); p[2 * x + 1] = uint8_t(v >> 8);
        }
    }

    int64_t     Pitch = 0;
    int32_t     Width = 0;
    int32_t     Height = 0;
    int32_t     Bits = 0;

private:
    TCustomDIBX& FSurface;
    uint8_t*    FBase = nullptr;
};

// Each channel isolated with its mask and mixed: ((a X + (255 - a) Y) >> 8).
class TChannelBlend {
public:
    explicit TChannelBlend(TCustomDIBX& s) : FMasks{s.GetRedMask(), s.GetGreenMask(), s.GetBlueMask()} {}
    uint32_t operator()(uint32_t a, uint32_t x, uint32_t y) const {
        uint32_t out = 0;
        for (uint32_t m : FMasks)
            out |= uint32_t(((uint64_t(a) * (x & m) + uint64_t(255 - a) * (y & m)) >> 8) & m);
        return out;
    }

private:
    uint32_t FMasks[3];
};

// The part of a w x h mask placed at (x, y) that lies inside a width x height
// picture: mask start (sx, sy), target start (tx, ty), size.
struct TClip {
    int32_t sx = 0, sy = 0, tx = 0, ty = 0, w = 0, h = 0;
};

bool clipMask(int32_t x, int32_t y, int32_t mw, int32_t mh, int32_t width, int32_t height, TClip& c) {
    c.sx = std::max(0, -x);
    c.sy = std::max(0, -y);
    c.tx = x + c.sx;
    c.ty = y + c.sy;
    c.w = std::min<int64_t>(int64_t(mw) - c.sx, int64_t(width) - c.tx);
    c.h = std::min<int64_t>(int64_t(mh) - c.sy, int64_t(height) - c.ty);
    return c.w > 0 && c.h > 0 && c.sx < mw && c.sy < mh;
}

// Visits every mask value above 0 that lands inside the pictures.
template <class Fn>
void forEachCovered(TFontPixel& glyph, int32_t x, int32_t y, int32_t width, int32_t height, Fn fn) {
    if (glyph.IsEmpty()) return;
    TClip c;
    if (!clipMask(x, y, glyph.GlyphMask.GetWidth(), glyph.GlyphMask.GetHeight(), width, height, c)) return;
    for (int32_t j = 0; j < c.h; ++j) {
        const uint8_t* m = glyph.GlyphMask.ScanLine(c.sy + j) + c.sx;
        for (int32_t i = 0; i < c.w; ++i)
            if (m[i]) fn(c.tx + i, c.ty + j, m[i]);
    }
}

// The composite rule for one pixel with coverage m.
inline void compositePixel(const TPlane& col, const TPlane& alp, const TChannelBlend& blend, int32_t x, int32_t y,
                           uint32_t c, uint32_t m) {
    uint8_t& a = alp.row(y)[x];
    if (m == 255) {
        col.set(x, y, c);
        a = 255;
        return;
    }
    uint32_t na = a + m * (255 - a) / 255;
    a = uint8_t(na);
    uint32_t wgt = na == 0 ? 255 : m * 255 / na;
    col.set(x, y, blend(wgt, c, col.get(x, y)));
}

// A band of the cell: the colour into the colour picture (unless no colour
// is given) and 255 into the alpha picture, both clipped.
void fillBand(TCustomDIBX& colour, TCustomDIBX& alpha, const TRect& r, const uint32_t* c) {
    if (r.isEmpty()) return;
    if (c) {
        TPlane col(colour);
        if (col.isColour()) {
            TRect k = intersectRect(r, TRect(0, 0, col.Width, col.Height));
            for (int32_t y = k.Top; y < k.Bottom; ++y)
                for (int32_t x = k.Left; x < k.Right; ++x) col.set(x, y, *c);
        }
    }
    TPlane alp(alpha);
    if (!alp.isAlpha()) return;
    TRect k = intersectRect(r, TRect(0, 0, alp.Width, alp.Height));
    for (int32_t y = k.Top; y < k.Bottom; ++y)
        if (k.Right > k.Left) std::fill(alp.row(y) + k.Left, alp.row(y) + k.Right, uint8_t(255));
}

// The mask's values copied into the alpha picture (zeros included).
void copyMaskToAlpha(TFontPixel& glyph, TCustomDIBX& alpha, int32_t x, int32_t y) {
    if (glyph.IsEmpty()) return;
    TPlane alp(alpha);
    if (!alp.isAlpha()) return;
    TClip c;
    if (!clipMask(x, y, glyph.GlyphMask.GetWidth(), glyph.GlyphMask.GetHeight(), alp.Width, alp.Height, c)) return;
    for (int32_t j = 0; j < c.h; ++j)
        std::copy_n(glyph.GlyphMask.ScanLine(c.sy + j) + c.sx, c.w, alp.row(c.ty + j) + c.tx);
}

void fillAlpha(TCustomDIBX& alpha, const TRect& r, uint8_t v) {
    TPlane alp(alpha);
    if (!alp.isAlpha()) return;
    TRect k = intersectRect(r, TRect(0, 0, alp.Width, alp.Height));
    for (int32_t y = k.Top; y < k.Bottom; ++y)
        if (k.Right > k.Left) std::fill(alp.row(y) + k.Left, alp.row(y) + k.Right, v);
}

void fillColour(TCustomDIBX& colour, const TRect& r, uint32_t c) {
    TPlane col(colour);
    if (!col.isColour()) return;
    TRect k = intersectRect(r, TRect(0, 0, col.Width, col.Height));
    for (int32_t y = k.Top; y < k.Bottom; ++y)
        for (int32_t x = k.Left; x < k.Right; ++x) col.set(x, y, c);
}

} // namespace

/*
================
The compositing primitives
================
*/
void DrawSolid(TFontPixel& glyph, TCustomDIBX& colour, int32_t x, int32_t y, uint32_t c) {
    TPlane col(colour);
    if (!col.isColour()) return;
    forEachCovered(glyph, x, y, col.Width, col.Height, [&](int32_t px, int32_t py, uint8_t) { col.set(px, py, c); });
}

void DrawOverColour(TFontPixel& glyph, TCustomDIBX& colour, int32_t x, int32_t y, uint32_t text, uint32_t under) {
    TPlane col(colour);
    if (!col.isColour()) return;
    TChannelBlend blend(colour);
    forEachCovered(glyph, x, y, col.Width, col.Height, [&](int32_t px, int32_t py, uint8_t m) {
        col.set(px, py, m == 255 ? text : blend(m, text, under));
    });
}

void DrawComposite(TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& alpha, int32_t x, int32_t y, uint32_t c) {
    TPlane col(colour), alp(alpha);
    if (!col.isColour() || !alp.isAlpha()) return;
    TChannelBlend blend(colour);
    forEachCovered(glyph, x, y, std::min(col.Width, alp.Width), std::min(col.Height, alp.Height),
                   [&](int32_t px, int32_t py, uint8_t m) { compositePixel(col, alp, blend, px, py, c, m); });
}

void MarkAlpha(TFontPixel& glyph, TCustomDIBX& alpha, int32_t x, int32_t y) {
    TPlane alp(alpha);
    if (!alp.isAlpha()) return;
    forEachCovered(glyph, x, y, alp.Width, alp.Height, [&](int32_t px, int32_t py, uint8_t) { alp.row(py)[px] = 255; });
}

void MaxAlpha(TFontPixel& glyph, TCustomDIBX& alpha, int32_t x, int32_t y) {
    TPlane alp(alpha);
    if (!alp.isAlpha()) return;
    forEachCovered(glyph, x, y, alp.Width, alp.Height, [&](int32_t px, int32_t py, uint8_t m) {
        uint8_t& a = alp.row(py)[px];
        a = std::max(a, m);
    });
}

/*
================
DrawBorder

Stamps are made in mask order and, for each mask pixel, row by row of the
square, so overlapping stamps composite in a fixed order. When the whole
stamped area lies inside the pictures no pixel is tested.
================
*/
void DrawBorder(TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& alpha, int32_t x, int32_t y, uint32_t c,
                int32_t w) {
    if (glyph.IsEmpty() || w < 0) return;
    TPlane col(colour), alp(alpha);
    if (!col.isColour() || !alp.isAlpha()) return;
    TChannelBlend blend(colour);
    int32_t width = std::min(col.Width, alp.Width), height = std::min(col.Height, alp.Height);
    int32_t mw = glyph.GlyphMask.GetWidth(), mh = glyph.GlyphMask.GetHeight();
    int64_t left = int64_t(x) - w, top = int64_t(y) - w;
    int64_t right = int64_t(x) + mw + w - 1, bottom = int64_t(y) + mh + w - 1;
    bool inside = left >= 0 && top >= 0 && right < width && bottom < height;
    if (!inside && (right < 0 || bottom < 0 || left >= width || top >= height)) return;
    for (int32_t j = 0; j < mh; ++j) {
        const uint8_t* mrow = glyph.GlyphMask.ScanLine(j);
        for (int32_t i = 0; i < mw; ++i) {
            uint32_t m = mrow[i];
            if (!m) continue;
            int64_t px = int64_t(x) + i, py = int64_t(y) + j;
            for (int32_t dy = -w; dy <= w; ++dy) {
                int64_t ty = py + dy;
                if (!inside && (ty < 0 || ty >= height)) continue;
                for (int32_t dx = -w; dx <= w; ++dx) {
                    if (dx == 0 && dy == 0) continue;
                    int64_t tx = px + dx;
                    if (!inside && (tx < 0 || tx >= width)) continue;
                    compositePixel(col, alp, blend, int32_t(tx), int32_t(ty), c, m);
                }
            }
        }
    }
}

/*
================
centringOffset

A glyph narrower than the free width of the cell (the cell width, at most
the font height, less the mask width) is placed by its A/B/C widths: its
centre of ink goes where the character's proportions put it.
================
*/
int32_t centringOffset(TFontPixelManager& manager, TFontPixel& glyph, int32_t cellWidth) {
    int32_t g = std::min(cellWidth, glyph.FontHeight);
    int32_t f = g - glyph.GlyphMask.GetWidth();
    if (int64_t(glyph.GlyphLeft) + glyph.ExtraAdvance >= f)
        return 0;
    TAbcWidths abc = manager.MeasureAbc(glyph);
    int64_t total = int64_t(abc.A) + abc.B + abc.C;
    int32_t s;
    if (abc.A + abc.C != 0 && total != 0)
        s = static_cast<int32_t>(std::nearbyint(double(int64_t(abc.A) + abc.B / 2) * f / double(total)));
    else
        s = f / 2;
    return std::max(0, s - glyph.GlyphLeft);
}

/*
================
DrawChar
================
*/
TRect DrawChar(TFontPixelManager& manager, TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& alpha, bool clear,
               const TDrawCharColours& colours, TDrawCharRun run, int32_t d, int32_t w, const TRect& cell) {
    if (glyph.IsEmpty()) return TRect();
    d = std::max(0, d);
    w = std::max(0, w);
    const int32_t L = cell.Left, T = cell.Top, W = cell.width(), H = cell.height();
    const int32_t mw = glyph.GlyphMask.GetWidth(), mh = glyph.GlyphMask.GetHeight();
    const int32_t u = glyph.UnderlineSize, k = glyph.StrikeOutSize;
    const int32_t gl = glyph.GlyphLeft, gt = glyph.GlyphTop;

    // Bands span the whole cell; a run's last cell stops d short of its right
    // edge (cut right) and its first cell starts d in (cut left).
    auto cutRight = [&](TRect r) { if (run.Last) r.Right -= d; return r; };
    auto cutLeft = [&](TRect r) { if (run.First) r.Left += d; return r; };

    const int32_t s = centringOffset(manager, glyph, W);
    TRect R = TRect::bounds(L + gl + s, T + gt, mw + 2 * w + d, mh + 2 * w + d);

    if (w == 0 && d == 0) {
        const int32_t px = L + gl + s, py = T + gt;
        if (clear) {
            fillColour(colour, TRect::bounds(px, py, mw, mh), colours.Text);
            copyMaskToAlpha(glyph, alpha, px, py);
        } else {
            DrawSolid(glyph, colour, px, py, colours.Text);
            MaxAlpha(glyph, alpha, px, py);
        }
        if (u > 0) {
            TRect band = TRect::bounds(L, T + H - u, W, u);
            fillBand(colour, alpha, band, nullptr);
            R = unionRect(R, band);
        }
        if (k > 0) {
            TRect band = TRect::bounds(L, T + glyph.StrikeOutTop, W, k);
            fillBand(colour, alpha, band, nullptr);
            R = unionRect(R, band);
        }
        return R;
    }

    if (clear)
        fillAlpha(alpha, TRect::bounds(L + gl, T + gt, mw + 2 * w + d, mh + 2 * w + d), 0);

    auto band = [&](const TRect& r, uint32_t c) {
        fillBand(colour, alpha, r, &c);
        R = unionRect(R, r);
    };

    // Shadow.
    if (d > 0) {
        if (u > 0)
            band(cutLeft(TRect::bounds(L, T + H - 2 * w - u, W, 2 * w + u)), colours.Shadow);
        if (w > 0) {
            const int32_t qx = L + w + gl + d + s, qy = T + w + gt + d;
            DrawBorder(glyph, colour, alpha, qx, qy, colours.Shadow, w);
            R = unionRect(R, TRect::bounds(qx - w, qy - w, mw + 2 * w, mh + 2 * w));
        } else {
            const int32_t qx = L + gl + d + s, qy = T + gt + d;
            copyMaskToAlpha(glyph, alpha, qx, qy);
            DrawSolid(glyph, colour, qx, qy, colours.Shadow);
            R = unionRect(R, TRect::bounds(qx, qy, mw, mh));
        }
        if (k > 0)
            band(cutLeft(TRect::bounds(L, T + d + glyph.StrikeOutTop, W, 2 * w + k)), colours.Shadow);
    }

    const int32_t px = L + w + gl + s, py = T + w + gt;

    // Underline with its border above and below.
    if (u > 0) {
        band(cutRight(TRect::bounds(L, T + H - d - w - u, W, u)), colours.Text);
        if (w > 0) {
            band(cutRight(TRect::bounds(L, T + H - d - 2 * w - u, W, w)), colours.Border);
            band(cutRight(TRect::bounds(L, T + H - d - w, W, w)), colours.Border);
        }
    }

    // The glyph.
    if (w > 0) {
        DrawBorder(glyph, colour, alpha, px, py, colours.Border, w);
        MarkAlpha(glyph, alpha, px, py);
        DrawOverColour(glyph, colour, px, py, colours.Text, colours.Border);
    } else {
        DrawComposite(glyph, colour, alpha, px, py, colours.Text);
    }

    // Strike-out with its border above and below.
    if (k > 0) {
        band(cutRight(TRect::bounds(L, T + w + glyph.StrikeOutTop, W, k)), colours.Text);
        if (w > 0) {
            band(cutRight(TRect::bounds(L, T + glyph.StrikeOutTop, W, w)), colours.Border);
            band(cutRight(TRect::bounds(L, T + glyph.StrikeOutTop + w + k, W, w)), colours.Border);
        }
    }
    return R;
}

} // namespace zuno
