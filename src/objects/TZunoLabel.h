// TZunoLabel: the caption (LT_LABEL). Lines of plain text in one font and
// colour, rendered once through the glyph cache into a colour picture and an
// 8-bit alpha picture, and drawn from them every frame: at natural size as
// the font colour through the alpha picture line by line, zoomed as a
// stretched masked copy (additive above Alpha 255), turned as a rotated
// masked copy about the anchor point.
#pragma once

#include <string>
#include <vector>

#include "imaging/TDIBX.h"
#include "objects/TZunoControl.h"

namespace zuno {

class TFontPixelManager;

class TZunoLabel : public TZunoControl {
public:
                        TZunoLabel();

    uint8_t             GetCompoType() const override { return LT_LABEL; }

    // The glyphs come from this manager (not owned); none: the process-wide one.
    void                SetGlyphManager(TFontPixelManager* manager) { FManager = manager; }

    // --- properties ----------------------------------------------------------------
    std::string         GetText() const;                              // lines joined by CR LF
    void                SetText(const std::string& text);
    const std::vector<std::string>& Lines() const { return FLines; }
    void                SetFontName(const std::string& v);
    void                SetFontHeight(int32_t v);
    void                SetLineSpace(int32_t v);
    void                SetFontStyle(uint8_t v);
    void                SetFontColor(int32_t v);
    void                SetHAlign(uint8_t v);
    void                SetAntiAlias(bool v);
    int32_t             Alpha() const { return FAlpha; }
    void                SetAlpha(int32_t v);
    void                SetFlipH(bool v);
    void                SetFlipV(bool v);
    int32_t             Angle() const { return FAngle; }
    void                SetAngle(int32_t v);
    int32_t             ZoomX() override { return FZoomX; }
    int32_t             ZoomY() override { return FZoomY; }
    void                SetZoomX(int32_t v);                          // below 1 stored as 1
    void                SetZoomY(int32_t v);
    bool                FlipH() override { return FFlipH; }
    bool                FlipV() override { return FFlipV; }
    void                SetSource(const std::string& text);           // ".zmt": the control's motion
    void                SetRepeat(bool v);                            // true restarts a finished motion
    int32_t             NaturalWidth() const { return FNaturalWidth; }
    int32_t             NaturalHeight() const { return FNaturalHeight; }
    const std::vector<TRect>& LineRects() const { return FLineRects; }

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    // --- drawing, input, life -------------------------------------------------------------
    void                Rebuild();
    TRect               DrawnArea();                                  // rotated bounding box when turned
    TPoint              AnchorPoint();
    void                Invalidate() override;
    void                Draw() override;
    TZunoControl*       HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) override;
    void                RestoreSurfaces() override { Rebuild(); }
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    int32_t             targetBits();

    TFontPixelManager*  FManager = nullptr;
    std::vector<std::string> FLines;
    std::string         FFontName;
    int32_t             FFontHeight = 12;
    int32_t             FLineSpace = 0;
    uint8_t             FFontStyle = 0;
    TDIBX               FPicture;
    TDIBX               FAlphaPicture;
    int32_t             FAlpha = 255;
    int32_t             FFontColor = 0;
    uint8_t             FHAlign = HA_LEFT;
    bool                FAntiAlias = false;
    bool                FFlipH = false, FFlipV = false;
    int32_t             FAngle = 0;
    int32_t             FNaturalWidth = 0, FNaturalHeight = 0;
    int32_t             FZoomX = 256, FZoomY = 256;
    std::string         FOnIdle;
    std::string         FSource;
    bool                FRepeat = false;
    bool                FAutoScrap = false;
    std::string         FOnPlayEnd;
    bool                FPaused = false;
    std::vector<TRect>  FLineRects;
};

// Splits a text at each line break (CR LF, CR or LF); a final empty line is dropped.
std::vector<std::string> splitTextLines(const std::string& text, bool dropFinalEmpty);

} // namespace zuno
