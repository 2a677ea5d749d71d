// The value controls.
//
// TZunoSlider     a value between Min and Max chosen by a thumb on a track:
//                 the thumb is dragged with the left button, a press on the
//                 track steps toward the press by SmallChange, the wheel and
//                 the arrow keys step by SmallChange, Page Up / Page Down by
//                 LargeChange, Home / End go to Min / Max. A slider whose
//                 ButtonSource names an image has step buttons at its ends.
// TZunoScrollbar  a slider that always has the two step buttons and whose
//                 track steps by LargeChange (a page).
// TZunoGauge      a bar showing where Value lies between Min and Max, which
//                 glides to a new value over Duration milliseconds after
//                 waiting Delay milliseconds.
//
// Pictures: Source is the track (slider) or the full bar (gauge), drawn at
// the control's top-left; ThumbSource the thumb; ButtonSource the two step
// buttons side by side (the decreasing one on the left half). Without a
// picture each part is a plain rectangle: the track and the gauge's empty
// part in the control's Color darkened, the thumb, buttons and the bar in
// Color. Alpha follows the image rule: 1 .. 254 blended, 255 opaque,
// 256 .. 511 added with strength Alpha - 256, otherwise nothing.
//
// Events: PR_ONNOTIFY when the user changed the value, PR_ONHOLD when a drag
// of the thumb starts and PR_ONRELEASE when it ends. A value written by a
// script is kept within Min .. Max and posts nothing.
#pragma once

#include <memory>
#include <string>

#include "objects/TZunoControl.h"
#include "objects/TZunoImageList.h"

namespace zuno {

// One picture of a value control, loaded through the image cache; empty
// names and names the cache cannot read leave it without a picture.
class TValuePicture {
public:
    void                Load(const std::string& name);
    const std::string&  Name() const { return FName; }
    TCustomDIBX*        Picture();                                    // first frame, or none
    TCustomDIBX*        Mask();
    void                Release() { FFrames.ReleaseCopies(); }
    void                Restore() { FFrames.RestoreCopies(); }

private:
    std::string         FName;
    TZunoImageList      FFrames;
};

class TZunoSlider : public TZunoControl {
public:
                        TZunoSlider();

    uint8_t             GetCompoType() const override { return LT_SLIDER; }

    int32_t             Min() const { return FMin; }
    int32_t             Max() const { return FMax; }
    int32_t             Value() const { return FValue; }
    void                SetMin(int32_t v);
    void                SetMax(int32_t v);
    void                SetValue(int32_t v);                          // kept within Min .. Max
    void                SetOrientation(int32_t v);
    bool                Vertical() const { return FOrientation == OT_VERTICAL; }

    // Geometry along the axis, relative to the control (x when horizontal,
    // y when vertical).
    virtual bool        HasButtons() { return !FButtons.Name().empty(); }
    int32_t             AxisLength() const { return Vertical() ? FHeight : FWidth; }
    int32_t             CrossLength() const { return Vertical() ? FWidth : FHeight; }
    int32_t             ButtonLength();                               // 0 without buttons
    int32_t             ThumbLength();
    int32_t             ThumbPos();                                   // start of the thumb
    int32_t             ValueAt(int32_t thumbPos);                    // the value whose thumb starts there
    // Steps the value as the user does: clamps and posts PR_ONNOTIFY on a change.
    void                UserSetValue(int64_t v);
    virtual int32_t     TrackStep() { return FSmallChange; }

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    void                Draw() override;
    void                DoLBtnDown() override;
    void                DoLBtnUp() override;
    void                DoMouseMove() override;
    void                DoMouseHeld() override;
    void                DoWheelDown() override;
    void                DoWheelUp() override;
    void                FireKeyRepeat(const std::vector<std::string>& codes) override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

protected:
    enum class TPart { none, decrease, increase, trackBefore, trackAfter, thumb };
    TPart               partAt(int32_t along);
    void                stepPart(TPart part);
    int32_t             mouseAlong();                                 // the mouse along the axis, relative

    TValuePicture       FTrack, FThumb, FButtons;
    int32_t             FAlpha = 255;
    bool                FPaused = false;
    bool                FCaptureMask = false;
    std::string         FOnNotify, FOnIdle, FOnHold, FOnRelease;
    int32_t             FMin = 0, FMax = 100, FValue = 0;
    int32_t             FOrientation = OT_HORIZONTAL;
    int32_t             FSmallChange = 1, FLargeChange = 1;
    int32_t             FBarSize = 0;

    TPart               FPressed = TPart::none;                       // while the left button is held
    int32_t             FGrab = 0;                                    // mouse minus thumb start of a drag
    int32_t             FHeldMs = 0;                                  // how long a step part is held
};

class TZunoScrollbar : public TZunoSlider {
public:
    uint8_t             GetCompoType() const override { return LT_SCROLLBAR; }
    bool                HasButtons() override { return true; }
    int32_t             TrackStep() override { return FLargeChange; }
};

class TZunoGauge : public TZunoControl {
public:
                        TZunoGauge();

    uint8_t             GetCompoType() const override { return LT_GAUGE; }

    void                SetValue(int32_t v);                          // the bar glides to it
    int32_t             Value() const { return FValue; }
    double              ShownValue() const { return FShown; }
    int32_t             BarLength();                                  // filled pixels along the axis
    TRect               BarRect();                                    // the filled part, relative

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    int                 Update() override;
    void                Draw() override;
    void                ReleaseSurfaces() override { FBar.Release(); }
    void                RestoreSurfaces() override { FBar.Restore(); }
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    TValuePicture       FBar;
    int32_t             FAlpha = 255;
    int32_t             FDelay = 0;
    bool                FPaused = false;
    std::string         FOnIdle;
    int32_t             FDuration = 0;
    int32_t             FMin = 0, FMax = 100, FValue = 0;
    int32_t             FOrientation = OT_HORIZONTAL;
    bool                FReverse = false;
    int32_t             FBarSize = 0;

    double              FShown = 0;                                   // the value the bar shows now
    double              FFrom = 0;                                    // where the glide started
    int32_t             FGlideMs = -1;                                // ms since the change; -1: at rest
};

} // namespace zuno
