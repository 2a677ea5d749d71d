// The image family: controls that show one picture or a list of frames.
//
// TZunoCustomImage     a single picture drawn with opacity, additive light,
//                      zoom, rotation, mirroring and an optional mask; its
//                      size follows the picture; hit testing can follow the
//                      mask; also the screen snapshot Flip shows
// TZunoImage           a still picture read through the image cache
// TZunoCustomImages    a picture with frames that it steps through by their
//                      delays (and the loop wait at the last frame)
// TZunoImages          the image surface of scripts (LT_IMAGES): a Drel
//                      file's frames or a motion file
// TZunoTile            a picture repeated over the control (LT_TILE)
// TZunoParticleImages  one particle of a particle surface (TZunoParticle.h)
// TZunoPrevImages      the thumbnails of a preview menu (LT_IMAGES)
// (TZunoVideo, the movie surface, is in TZunoVideo.h)
//
// Alpha: 0 draws nothing, 1 .. 254 constant opacity, 255 an opaque copy
// (honouring the key colour), 256 and above additive with strength
// Alpha - 256. Angle: 1/256 turns; only the low byte turns the picture, but
// any non-zero value takes the rotated path. Zoom: 1/256 units.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expr/TZunoParser.h"
#include "imaging/TDIBX.h"
#include "objects/TZunoControl.h"
#include "objects/TZunoImageList.h"

namespace zuno {

class TZunoCustomImage : public TZunoControl {
public:
                        TZunoCustomImage();
                        ~TZunoCustomImage() override;

    // --- pictures ---------------------------------------------------------------------
    TCustomDIBX*        GetImage();                                   // current image, else own picture
    void                SetImage(TCustomDIBX* picture) { FImage = picture; }    // not owned; none: own picture
    TCustomDIBX*        GetMask();                                    // current mask, else own mask, or none
    void                SetMask(TCustomDIBX* mask) { FMask = mask; }
    TDIBX&              OwnPicture();                                 // made (empty) when missing
    TDIBX*              OwnMask() { return FOwnMask.get(); }
    TDIBX&              CreateOwnMask();                              // 8 bits, sized like the own picture
    void                FreeOwnMask() { FOwnMask.reset(); }
    int32_t             TransparentColor() const { return FTransparentColor; }   // 0x00BBGGRR of the current image
    void                SetTransparentColor(int32_t c) { FTransparentColor = c; }

    // --- properties ---------------------------------------------------------------------
    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    int32_t             Alpha() const { return FAlpha; }
    void                SetAlpha(int32_t v);
    int32_t             ZoomX() override { return FZoomX; }
    int32_t             ZoomY() override { return FZoomY; }
    void                SetZoomX(int32_t v);                          // values below 1 become 1
    void                SetZoomY(int32_t v);
    int32_t             Angle() const { return FAngle; }
    void                SetAngle(int32_t v);
    bool                FlipH() override { return FFlipH; }
    bool                FlipV() override { return FFlipV; }
    void                SetFlipH(bool v);
    void                SetFlipV(bool v);
    bool                CaptureMask() const { return FCaptureMask; }
    void                SetCaptureMask(bool v) { FCaptureMask = v; }
    // Width or Height written by a script: without a motion the zoom of
    // that axis becomes 0, so the next size recomputation gives 0.
    void                SetDirectWidth(int32_t v);
    void                SetDirectHeight(int32_t v);
    // PosZoomed: the own size and that of the zoom-mapped children follow.
    void                SetPosZoomedImage(bool v);

    bool                DrawsImage() override { return true; }
    int32_t             ImageWidth() override;                        // of GetImage, 0 without
    int32_t             ImageHeight() override;

    // --- size ---------------------------------------------------------------------------
    bool                SizeDirty() const { return FSizeDirty; }
    void                MarkSizeDirty() { FSizeDirty = true; }
    // Width and Height from the picture and the zoom (nothing with a motion;
    // 0 x 0 without a source and without a current image).
    void                RecomputeSize();
    virtual void        RecomputeWidth();
    virtual void        RecomputeHeight();
    void                UpdateAutoSize() override;                    // width then height, when size-dirty
    virtual std::string SourceText() { return {}; }

    // --- drawing ------------------------------------------------------------------------------
    // Visible, registered and with a picture: the drawn area (the rotated
    // bounding box when Angle is not 0), cut by the parent and the clip.
    void                Invalidate() override;
    virtual TRect       DrawnArea();
    TPoint              AnchorPoint();                                // the rotation centre on the screen
    void                Draw() override;
    virtual void        BeforeDraw() {}
    virtual void        DrawImage();
    virtual void        AfterDraw() {}

    // --- input, life ----------------------------------------------------------------------------
    TZunoControl*       HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) override;
    int                 Update() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;
    // The picture becomes a copy of `picture` without a transparent colour
    // (the snapshot a flip leaves on the old screen).
    void                TakePicture(TCustomDIBX& picture) override;

protected:
    static bool         ownsProperty(int id);
    int32_t             computeSize(bool vertical);
    void                invalidateArea(TRect r);                      // the dirty-rectangle path of Invalidate
    bool                maskHit(int32_t x, int32_t y);                // point on the screen, unrotated
    void                sizeDirtyWithChildren();

    std::unique_ptr<TDIBX> FPicture;                                  // own picture
    TCustomDIBX*        FImage = nullptr;                             // current image, not owned
    std::unique_ptr<TDIBX> FOwnMask;
    TCustomDIBX*        FMask = nullptr;                              // current mask, not owned
    int32_t             FTransparentColor = -1;
    int32_t             FAlpha = 255;
    int32_t             FZoomX = 256, FZoomY = 256;
    int32_t             FAngle = 0;
    bool                FFlipH = false, FFlipV = false;
    bool                FCaptureMask = false;
    bool                FSizeDirty = false;
};

class TZunoImage : public TZunoCustomImage {
public:
    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);
    int32_t             Brightness() const { return FBrightness; }
    void                SetBrightness(int32_t v);                     // kept within 0 .. 255
    std::string         SourceText() override { return FSource; }

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                RestoreSurfaces() override;

private:
    // The first frame of the source copied into the own picture, darkened
    // by 255 - Brightness.
    void                loadPicture();

    std::string         FSource;
    int32_t             FBrightness = 255;
};

class TZunoCustomImages : public TZunoCustomImage {
public:
    // Evaluates a loop-wait expression to an integer; installed by the
    // script layer (the expression needs the variable table and the
    // built-in functions). Without it the loop wait counts 0.
    using TLoopWaitEvaluator = std::function<int32_t(TZunoParser& expression)>;
    static TLoopWaitEvaluator LoopWaitEvaluator;

    // The frames shown (none here; the kinds give their lists).
    virtual TZunoImageList* GetFrames() { return nullptr; }

    int32_t             GetIndex() const { return FIndex; }
    void                SetIndex(int32_t i);
    int32_t             Count();                                      // frames, or the motion's frames
    int32_t             TimeLeft() const { return FTimeLeft; }
    void                SetTimeLeft(int32_t ms) { FTimeLeft = ms; }
    int32_t             Brightness() const { return FBrightness; }
    void                SetBrightness(int32_t b);
    bool                IsPaused() const { return FPaused; }
    void                SetPaused(bool v);                            // a change restarts the frame's time
    virtual bool        Repeat() { return propBool(PR_REPEAT); }
    // The loop wait: evaluated whenever the last frame of a list of more
    // than one frame is set, its value added to that frame's time. ImgNew
    // copies its own PR_DELAY expression in here.
    TZunoParser&        LoopWait() { return FLoopWait; }
    void                AssignPropertyExpression(int id, const TZunoParser& expression) override;   // PR_DELAY

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    bool                IsPlaying() override;
    int                 Update() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                RestoreSurfaces() override;

protected:
    static bool         ownsProperty(int id);
    int32_t             loopWaitValue();
    // The current frame's picture, mask and key as the current image.
    void                showFrame(TZunoImageData& data);

    int32_t             FIndex = -1;
    int32_t             FTimeLeft = 0;
    int32_t             FBrightness = 0;
    bool                FPaused = false;
    TZunoParser         FLoopWait;
    int32_t             FLoadedIndex = -1;                            // the index a save record gave
};

class TZunoImages : public TZunoCustomImages {
public:
                        TZunoImages();
                        ~TZunoImages() override;

    uint8_t             GetCompoType() const override { return LT_IMAGES; }

    // States (buttons have four): the list of each state.
    virtual int         StateCount() { return 1; }
    virtual int         State() { return 0; }
    virtual void        SetState(int) {}
    TZunoImageList*     StateList(int state);                         // none outside 0 .. StateCount - 1
    TZunoImageList*     GetFrames() override { return StateList(State()); }

    const std::string&  Source() const { return FSource; }
    // ".drl": the frames of the file; ".zmt": a motion; anything else: 0 x 0.
    void                SetSource(const std::string& text);
    std::string         SourceText() override { return FSource; }
    bool                Repeat() override { return FRepeat; }
    void                SetRepeat(bool v);

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;

protected:
    static bool         ownsProperty(int id);

    std::vector<std::unique_ptr<TZunoImageList>> FStates;
    std::string         FSource;
    bool                FRepeat = false;
    bool                FAutoScrap = false;
    std::string         FOnPlayEnd;
    std::string         FOnIdle;
};

// The tile surface repeats its current frame over the control, DistanceX /
// DistanceY pixels apart, scrolled by ScrollX / ScrollY and zoomed by the
// zoom factors; its size is its own (a tile still 0 x 0 when its picture
// arrives takes the picture's size). Angle (1/256 turns) turns the whole
// tiled rectangle about the point OffsetX, OffsetY of it, as an image
// turns; a tile of more than kMaxTurnedPixels is drawn unturned.
class TZunoTile : public TZunoCustomImages {
public:
                        TZunoTile();
                        ~TZunoTile() override;

    uint8_t             GetCompoType() const override { return LT_TILE; }
    TZunoImageList*     GetFrames() override { return &FFrames; }
    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);           // ".zmt": a motion; else a picture
    std::string         SourceText() override { return FSource; }
    bool                Repeat() override { return FRepeat; }
    int32_t             ScrollX() override { return FScrollX; }
    int32_t             ScrollY() override { return FScrollY; }
    void                RecomputeWidth() override;
    void                RecomputeHeight() override;

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    void                DrawImage() override;
    TRect               DrawnArea() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;

    static constexpr int64_t kMaxTurnedPixels = 4096 * 4096;

private:
    bool                turned() const;
    // Tiles `dest` (a rectangle of the size of the control) on s as drawn unturned.
    void                drawTiles(TCustomDIBX& s, const TRect& dest, TCustomDIBX& picture, TCustomDIBX* mask,
                                  int32_t alpha);
    void                drawTurned(TCustomDIBX& s, TCustomDIBX& picture, TCustomDIBX* mask);

    TZunoImageList      FFrames;
    std::string         FSource;
    bool                FRepeat = false;
    std::string         FOnIdle;
    int32_t             FTileAngle = 0;
    int32_t             FScrollX = 0, FScrollY = 0;
    int32_t             FDistanceX = 0, FDistanceY = 0;
};

// A thumbnail of a preview menu (TZunoPrevMenu.h): its picture comes from
// the menu's film; light added over it while its item is hovered (> 0) or
// taken away while the item is disabled (< 0), per colour channel.
class TZunoPrevImages : public TZunoImages {
public:
    int32_t             Light() const { return FLight; }
    void                SetLight(int32_t light);
    void                AfterDraw() override;

private:
    int32_t             FLight = 0;
};

// The extension of a game file name ("" when none), lower-cased, with its dot.
std::string             fileExtensionLower(const std::string& name);

} // namespace zuno
