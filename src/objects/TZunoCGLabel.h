// TZunoCGLabel: the image caption (LT_CGLABEL). A text written with a bitmap
// font: the glyph sheet (an image through the image cache) holds cells of
// GlyphWidth x GlyphHeight in a grid, MapText names the character of each
// cell in cell order, and every character of the text is drawn as its cell.
// A sheet of several frames animates through them by their delays.
#pragma once

#include <string>
#include <vector>

#include "objects/TZunoControl.h"
#include "objects/TZunoImageList.h"

namespace zuno {

class TZunoCGLabel : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_CGLABEL; }

    void                SetSource(const std::string& text);           // loads the glyph sheet
    void                SetText(const std::string& text);
    void                SetMapText(const std::string& text);
    void                SetGlyphWidth(int32_t v);                     // below 1 stored as 1
    void                SetGlyphHeight(int32_t v);
    void                SetLineSpace(int32_t v);
    void                SetHAlign(uint8_t v);
    void                SetAlpha(int32_t v);
    int32_t             GlyphWidth() const { return FGlyphWidth; }
    int32_t             GlyphHeight() const { return FGlyphHeight; }
    // Per text line, the cell of each character (-1: not in MapText).
    const std::vector<std::vector<int32_t>>& CellLines() const { return FLines; }
    TZunoImageList&     Frames() { return FFrames; }
    bool                HasFrame() const { return FHasFrame; }

    // Paused is a stored flag only: the frames keep cycling (AniPaused stops
    // them) and the caption is updated and answers input as usual.
    bool                Paused() override { return false; }
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    int                 Update() override;
    void                Draw() override;
    void                ReleaseSurfaces() override { FFrames.ReleaseCopies(); }
    void                RestoreSurfaces() override { FFrames.RestoreCopies(); }
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    void                remap();
    void                resize();
    void                drawCell(TCustomDIBX& s, int32_t x, int32_t y, const TRect& cell);

    std::string         FSource;
    std::string         FText;
    std::string         FMapText;
    int32_t             FGlyphWidth = 1, FGlyphHeight = 1;
    int32_t             FLineSpace = 0;
    bool                FPaused = false;
    uint8_t             FHAlign = HA_LEFT;
    int32_t             FAlpha = 255;
    TZunoImageList      FFrames;
    bool                FHasFrame = false;                            // a frame is selected
    std::vector<std::vector<int32_t>> FLines;
    std::string         FOnIdle;
};

} // namespace zuno
