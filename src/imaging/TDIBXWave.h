// TDIBXWave: a surface without pixels of its own. Every drawing call is
// forwarded to the target surface with each pixel row shifted right by the
// offset of its row (a raster wave). Row r uses Offsets[r - FirstRow]; rows
// the table does not describe are not drawn. Consecutive rows with the same
// offset are forwarded as one band, clipped to those rows.
#pragma once

#include <functional>

#include "imaging/TCustomDIBX.h"

namespace zuno {

class TDIBXWave : public TCustomDIBX {
public:
    std::vector<int32_t> Offsets;               // one per row, sized to the height by SetSize
    int32_t             FirstRow = 0;           // surface row described by Offsets[0]

                        TDIBXWave() = default;

    void                SetTarget(TCustomDIBX* target) { FTarget = target; }
    TCustomDIBX*        GetTarget() override { return FTarget; }

    int32_t             GetWidth() override;                    // the target's: rows and columns are target pixels
    int32_t             GetHeight() override;
    int32_t             GetBitCount() override;
    int32_t             GetStoredBitCount() override;
    uint32_t            GetRedMask() override;
    uint32_t            GetGreenMask() override;
    uint32_t            GetBlueMask() override;
    uint32_t            ColorToPixel(int32_t rgb) override;
    uint32_t            GetPixel(int32_t x, int32_t y) override;
    void                SetPixel(int32_t x, int32_t y, uint32_t v) override;
    void                SetSize(int32_t width, int32_t height, int32_t bits) override;
    void                Clear() override;

    void                Fill(uint32_t colour) override;
    void                FillRect(const TRect& r, uint32_t colour) override;
    void                FillRectAlpha(const TRect& r, uint32_t colour, int32_t opacity) override;
    void                FillRectAdd(const TRect& r, uint32_t colour) override;
    void                FillRectSub(const TRect& r, uint32_t colour) override;
    void                Assign(TCustomDIBX& source) override;
    void                Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool transparent, const TRect& srcRect,
                             TCustomDIBX& source) override;
    void                DrawMask(int32_t x, int32_t y, TCustomDIBX& mask, bool flipV, bool flipH,
                                 const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawAlpha(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                                  const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawAlphaMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV,
                                      bool flipH, const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawAdd(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, const TRect& srcRect,
                                TCustomDIBX& source) override;
    void                DrawAddMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV,
                                    bool flipH, const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawColorMask(int32_t x, int32_t y, int32_t opacity, uint32_t colour, bool flipV,
                                      bool flipH, const TRect& srcRect, TCustomDIBX& mask) override;
    void                DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                                   int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY,
                                   const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawRotateMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV,
                                       bool flipH, int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX,
                                       int32_t zoomY, const TRect& srcRect, TCustomDIBX& source) override;
    void                StretchDrawAlpha(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                         bool flipH, bool transparent, const TRect& srcRect) override;
    void                StretchDrawAlphaMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity,
                                             TCustomDIBX& mask, bool flipV, bool flipH,
                                             const TRect& srcRect) override;
    void                StretchDrawAdd(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                       bool flipH, bool transparent, const TRect& srcRect) override;
    void                StretchDrawAddMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity,
                                           TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect) override;
    void                DrawReduced(int32_t x, int32_t y, int32_t factor, int32_t opacity, bool flipV, bool flipH,
                                    uint32_t colour, const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawIndexed(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity, bool flipV,
                                    bool flipH, const TRect& srcRect, TCustomDIBX& source) override;
    void                DrawIndexedAdd(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity,
                                       int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                       TCustomDIBX& source) override;
    void                StretchDrawIndexed(const TRect& destRect, const uint32_t* colourTable, int32_t opacity,
                                           int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                           TCustomDIBX& source) override;
    void                FillPattern(const TRect& r, TCustomDIBX& pattern, bool flipV, bool flipH, int32_t offsetX,
                                    int32_t offsetY) override;
    void                FillZoomPattern(const TRect& r, TCustomDIBX& pattern, int32_t zoomX, int32_t zoomY,
                                        int32_t offsetX, int32_t offsetY, bool flipV, bool flipH, bool transparent,
                                        int32_t opacity) override;
    void                FillZoomPatternMask(const TRect& r, TCustomDIBX& pattern, TCustomDIBX& mask, int32_t zoomX,
                                            int32_t zoomY, int32_t offsetX, int32_t offsetY, bool flipV, bool flipH,
                                            int32_t opacity) override;

private:
    // Calls op(offset) once per band of rows of `area` (wave coordinates)
    // with the target clipped to the band; restores the target's clip.
    void                forEachBand(const TRect& area, const std::function<void(int32_t)>& op);

    TCustomDIBX*        FTarget = nullptr;
    TRect               FSavedClip;             // the target's clip while a call runs
};

} // namespace zuno
