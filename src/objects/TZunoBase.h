// TZunoBase: one screen of the registry ("\x01BASE0" or "\x01BASE1"). It is
// the root control the scene's controls hang from; it keeps the mouse state
// of its screen, the hover object, the press capture, and the dirty list of
// the rectangles to repaint. Drawing fills each dirty rectangle with the
// screen colour (when not negative) and draws the children over it.
#pragma once

#include <memory>
#include <string>

#include "imaging/TDIBX.h"
#include "objects/TClipList.h"
#include "objects/TZunoControl.h"

namespace zuno {

// The mouse state of one screen.
struct TScreenInput {
    int32_t             MouseX = 0, MouseY = 0;             // relative to the play area
    bool                LPushLatch = false, LPushed = false;    // press since the last input step / in this one
    bool                RPushLatch = false, RPushed = false;
    bool                LHeld = false, RHeld = false;
    bool                Moved = false;
    bool                WheelDownLatch = false, WheelDown = false;
    bool                WheelUpLatch = false, WheelUp = false;
};

class TZunoBase : public TZunoControl {
public:
    static constexpr uint8_t kCaptureLeft = 4;                  // a left press is captured
    static constexpr uint8_t kCaptureRight = 8;

    explicit            TZunoBase(int index) : FIndex(index) {}
                        ~TZunoBase() override;

    bool                IsScreen() const override { return true; }
    bool                WantsAutoName() const override { return false; }
    TZunoBase*          GetBase() override { return this; }
    int                 Index() const { return FIndex; }

    // A screen implements none of the zoom, mirror and scroll properties, so
    // it always answers the table's defaults. Every drawn position asks its
    // screen for them: they are read from the table once, not per question.
    int32_t             ZoomX() override { return screenDefaults().ZoomX; }
    int32_t             ZoomY() override { return screenDefaults().ZoomY; }
    bool                FlipH() override { return screenDefaults().FlipH; }
    bool                FlipV() override { return screenDefaults().FlipV; }
    int32_t             ScrollX() override { return screenDefaults().ScrollX; }
    int32_t             ScrollY() override { return screenDefaults().ScrollY; }

    TScreenInput        Input;
    uint8_t             Capture = 0;
    TZunoControl*       Hover = nullptr;                        // the object last under the mouse
    std::string         CursorFile;                             // the cursor now installed

    void                AddDirtyRect(const TRect& r);           // cut to the screen, merged
    void                MarkAllDirty() { AddDirtyRect(TRect(0, 0, FWidth, FHeight)); }
    TClipList&          DirtyList() { return FDirty; }

    // The screen's own off-screen surface (32 bits, the screen's size), made on first use.
    TDIBX&              OwnSurface();
    void                ReleaseSurfaces() override;
    void                Draw() override;

private:
    struct TScreenDefaults {
        int32_t         ZoomX, ZoomY;
        bool            FlipH, FlipV;
        int32_t         ScrollX, ScrollY;
    };
    static const TScreenDefaults& screenDefaults();

    int                 FIndex;
    TClipList           FDirty;
    std::unique_ptr<TDIBX> FSurface;
};

} // namespace zuno
