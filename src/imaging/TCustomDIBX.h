// The surface class family: every picture the player draws into or from.
//
// TCustomDIBX    a rectangle of pixels (1, 4, 8, 15, 16, 24 or 32 bits) with a
//                clip rectangle, a transparent colour and the drawing
//                operations. The operations work on raw rows reached through
//                Lock/GetPitch; a class that can hand out its pixel memory
//                gets every operation for free.
// TDIBX          pixels in memory (TDIBX.h).
// TDIBXWave      no pixels: forwards each call to a target surface with
//                every row shifted sideways (TDIBXWave.h).
//
// Conventions shared by every operation:
// - A colour argument is a pixel value in the destination's own format
//   (ColorToPixel converts 0x00BBGGRR colours).
// - Opacity: 0 draws nothing, 1..254 blend with that weight, 255 is opaque;
//   where noted, 256 and more mean additive drawing with weight
//   min(value - 256, 255).
// - A mask is an 8-bit surface (0 transparent .. 255 opaque) with the same
//   coordinates as the source picture.
// - Rectangles are half-open. Draws clip to ClipRect (or the whole surface
//   when ClipRect.Right == 0); flips mirror the source rectangle.
// - 32-bit pixels are blended on all four bytes alike; colour keys and
//   "equal pixel" tests compare the whole pixel value.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/TRect.h"

namespace zuno {

class TStream;

struct TRGBQuad {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
    bool    operator==(const TRGBQuad&) const = default;
};

using TPalette = std::array<TRGBQuad, 256>;

// Where one colour channel sits in a pixel value.
struct TChannelLayout {
    int32_t Shift = 0;   // lowest bit
    int32_t Bits = 0;    // width in bits (0 for palette formats)
};

class TCustomDIBX {
public:
    TRect               ClipRect;                   // Right == 0: no clip, the whole surface is drawable
    int32_t             TransparentColor = -1;      // pixel value skipped by transparent draws; -1 = none
    std::vector<TRect>  DrawRects;                  // visible areas of a Drel frame (empty for others)
    std::vector<TRect>  SecondRects;                // the frame's second rectangle list

                        TCustomDIBX() = default;
    virtual             ~TCustomDIBX() = default;
                        TCustomDIBX(const TCustomDIBX&) = delete;
    TCustomDIBX&        operator=(const TCustomDIBX&) = delete;

    // --- format and pixel access -------------------------------------------------
    virtual bool        IsEmpty();                                   // width or height 0
    virtual int32_t     GetBitCount();                               // 15 for 5-5-5
    virtual void        SetBitCount(int32_t bits);                   // convert the pixels; nothing if unchanged
    virtual uint32_t    GetRedMask();
    virtual uint32_t    GetGreenMask();
    virtual uint32_t    GetBlueMask();
    virtual int32_t     GetPitch();                                  // signed bytes per row
    virtual uint32_t    GetPixel(int32_t x, int32_t y);              // 0 outside the surface
    virtual void        SetPixel(int32_t x, int32_t y, uint32_t v);  // ignored outside the surface
    TChannelLayout      GetRedLayout();                              // derived from the masks
    TChannelLayout      GetGreenLayout();
    TChannelLayout      GetBlueLayout();
    virtual int32_t     GetHeight() { return FHeight; }
    virtual int32_t     GetWidth() { return FWidth; }
    virtual TCustomDIBX* GetTarget() { return this; }               // the surface really drawn into
    virtual int32_t     GetStoredBitCount();                         // bits of the pixel memory (16 for 15)

    virtual void        SetSize(int32_t width, int32_t height, int32_t bits) = 0;  // contents undefined
    virtual uint8_t*    Lock(int32_t x, int32_t y);                  // address of (x, y), nullptr if unreachable
    virtual void        Unlock() {}
    virtual void        MakeUnique() {}                              // detach shared pixel memory

    // --- clip and colours ----------------------------------------------------------
    void                ClearClip() { ClipRect = TRect(); }
    void                AddClip(const TRect& r);                     // cut to the surface, union with the clip
    TRect               GetDrawableRect();                           // ClipRect cut to the surface, or the surface
    virtual uint32_t    ColorToPixel(int32_t rgb);                   // 0x00BBGGRR -> pixel (15/16/24/32 bits)
    int32_t             PixelToColor(uint32_t pixel);                // pixel -> 0x00BBGGRR (palette look-up <= 8 bits)

    // --- fills and frames ------------------------------------------------------------
    virtual void        Fill(uint32_t colour);
    virtual void        FillRect(const TRect& r, uint32_t colour);
    virtual void        FillRectAlpha(const TRect& r, uint32_t colour, int32_t opacity);
    virtual void        FillRectAdd(const TRect& r, uint32_t colour);
    virtual void        FillRectSub(const TRect& r, uint32_t colour);
    void                FrameRect(const TRect& r, int32_t width, uint32_t colour);
    void                FrameRectAlpha(const TRect& r, int32_t width, int32_t opacity, uint32_t colour);
    void                FrameRectAdd(const TRect& r, int32_t width, uint32_t colour);

    // --- copies and blends at (x, y) -------------------------------------------------
    virtual void        Assign(TCustomDIBX& source);
    virtual void        Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool transparent,
                             const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawMask(int32_t x, int32_t y, TCustomDIBX& mask, bool flipV, bool flipH,
                                 const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawAlpha(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                                  const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawAlphaMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV,
                                      bool flipH, const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawAdd(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH,
                                const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawAddMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV,
                                    bool flipH, const TRect& srcRect, TCustomDIBX& source);
    // One colour through an 8-bit mask; opacity >= 256 adds the colour instead.
    virtual void        DrawColorMask(int32_t x, int32_t y, int32_t opacity, uint32_t colour, bool flipV,
                                      bool flipH, const TRect& srcRect, TCustomDIBX& mask);

    // --- rotation with zoom ------------------------------------------------------------
    // The point (centreX, centreY) of the source rectangle (relative to its
    // top-left; mirrored inside it when flipped) lands on (x, y); angle in
    // 1/256 turn, zoom in 1/256. Opacity 255 copies, below blends like DrawAlpha.
    virtual void        DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                                   int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY,
                                   const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawRotateMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV,
                                       bool flipH, int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX,
                                       int32_t zoomY, const TRect& srcRect, TCustomDIBX& source);
    // The area DrawRotate with the same arguments may change (not clipped).
    static TRect        GetRotateBounds(int32_t x, int32_t y, const TRect& srcRect, int32_t centreX, int32_t centreY,
                                        bool flipV, bool flipH, int32_t angle, int32_t zoomX, int32_t zoomY);

    // --- stretches (source rectangle scaled over destRect, nearest sample) ------------
    virtual void        StretchDrawAlpha(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                         bool flipH, bool transparent, const TRect& srcRect);
    virtual void        StretchDrawAlphaMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity,
                                             TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect);
    virtual void        StretchDrawAdd(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                       bool flipH, bool transparent, const TRect& srcRect);
    virtual void        StretchDrawAddMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity,
                                           TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect);

    // --- 1-bit super-sampled drawing ---------------------------------------------------
    // srcRect is in destination (reduced) pixels; destination pixel (i, j)
    // reads the factor x factor bit block at (i * factor, j * factor) of the source.
    virtual void        DrawReduced(int32_t x, int32_t y, int32_t factor, int32_t opacity, bool flipV, bool flipH,
                                    uint32_t colour, const TRect& srcRect, TCustomDIBX& source);
    // Writes the coverage of the 1-bit source (0..255, scaled by opacity when
    // below 255) into this 8-bit surface: the mask that goes with DrawReduced.
    virtual void        DrawReducedMask(int32_t x, int32_t y, int32_t factor, int32_t opacity, bool flipV, bool flipH,
                                        const TRect& srcRect, TCustomDIBX& source);

    // --- tiles -----------------------------------------------------------------------
    // Tiles of srcRect cover destRect from its top-left, shifted by the phase
    // (reduced modulo the tile size), with spacing added after each tile.
    virtual void        DrawTile(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                 int32_t phaseY, bool transparent, const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawTileAlpha(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                      int32_t phaseY, int32_t opacity, bool transparent, const TRect& srcRect,
                                      TCustomDIBX& source);
    virtual void        DrawTileAdd(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                    int32_t phaseY, int32_t opacity, const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawTileMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                     int32_t phaseY, TCustomDIBX& mask, const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawTileAlphaMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                          int32_t phaseY, int32_t opacity, TCustomDIBX& mask, const TRect& srcRect,
                                          TCustomDIBX& source);
    virtual void        DrawTileAddMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                        int32_t phaseY, int32_t opacity, TCustomDIBX& mask, const TRect& srcRect,
                                        TCustomDIBX& source);
    // Zoomed tiles: StretchDrawAlpha, or StretchDrawAdd (opacity - 256) when opacity > 255.
    virtual void        DrawZoomTile(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                     int32_t phaseY, int32_t zoomX, int32_t zoomY, int32_t opacity, bool transparent,
                                     const TRect& srcRect, TCustomDIBX& source);
    virtual void        DrawZoomTileMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                         int32_t phaseY, int32_t zoomX, int32_t zoomY, int32_t opacity,
                                         TCustomDIBX& mask, const TRect& srcRect, TCustomDIBX& source);

    // --- patterns ----------------------------------------------------------------------
    virtual void        FillPattern(const TRect& r, TCustomDIBX& pattern, bool flipV, bool flipH, int32_t offsetX,
                                    int32_t offsetY);
    void                FramePattern(const TRect& r, int32_t width, bool flipV, bool flipH, TCustomDIBX& pattern);
    // Pattern zoomed by zoom/256; opacity 0..254 blend, 255 copy, 256..511 add.
    virtual void        FillZoomPattern(const TRect& r, TCustomDIBX& pattern, int32_t zoomX, int32_t zoomY,
                                        int32_t offsetX, int32_t offsetY, bool flipV, bool flipH, bool transparent,
                                        int32_t opacity);
    virtual void        FillZoomPatternMask(const TRect& r, TCustomDIBX& pattern, TCustomDIBX& mask, int32_t zoomX,
                                            int32_t zoomY, int32_t offsetX, int32_t offsetY, bool flipV, bool flipH,
                                            int32_t opacity);

    // --- palette-indexed drawing --------------------------------------------------------
    // 4-bit source (high nibble first) through a 16-entry table of pixel
    // values; values equal to the source's TransparentColor are skipped.
    virtual void        DrawIndexed(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity, bool flipV,
                                    bool flipH, const TRect& srcRect, TCustomDIBX& source);
    // 8-bit source through a 256-entry table; values above threshold add
    // (colour x opacity) >> 8, others draw nothing.
    virtual void        DrawIndexedAdd(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity,
                                       int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                       TCustomDIBX& source);
    virtual void        StretchDrawIndexed(const TRect& destRect, const uint32_t* colourTable, int32_t opacity,
                                           int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                           TCustomDIBX& source);

    // --- files and palette -------------------------------------------------------------------
    void                LoadFromFile(const std::string& name);             // ".bmp" names only
    void                LoadFromStream(TStream& stream, int32_t idCode);   // BMP, PNG or Drel (first frame)
    void                SaveToFile(const std::string& name);               // Windows bitmap
    void                SaveToStream(TStream& stream);                     // Windows bitmap
    virtual void        Clear() = 0;                                       // width and height := 0
    virtual void        GetPalette(TPalette& entries);
    virtual void        GetPaletteEntries(TRGBQuad* entries, int32_t start, int32_t count);
    virtual void        SetPalette(const TPalette& entries);
    virtual void        SetPaletteEntries(const TRGBQuad* entries, int32_t start, int32_t count);

protected:
    int32_t             FWidth = 0;
    int32_t             FHeight = 0;
};

} // namespace zuno
