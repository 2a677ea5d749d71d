// TZunoControl: a rectangle on a screen. It has a parent and ordered children
// (first = drawn first), a position with an anchor point, zoom-aware drawn
// position rules, visibility, a clip rectangle, mouse, key and focus handler
// pages, and the motion that may drive it. Every visible kind derives from it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "imaging/TRect.h"
#include "objects/TZunoMotion.h"
#include "objects/TZunoObject.h"

namespace zuno {

class TCustomDIBX;

class TZunoControl : public TZunoComponent {
public:
                        TZunoControl();
                        ~TZunoControl() override;

    TZunoControl*       AsControl() override { return this; }
    virtual bool        IsScreen() const { return false; }

    // --- properties ---------------------------------------------------------------
    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    // --- tree -------------------------------------------------------------------------
    TZunoControl*       Parent() const { return FParent; }
    // Nothing when the new parent is the current one, this control or one of
    // its descendants (no cycles).
    void                SetParent(TZunoControl* parent);
    int                 ChildCount() const { return static_cast<int>(FChildren.size()); }
    TZunoControl*       GetChild(int i) const { return FChildren[size_t(i)]; }
    const std::vector<TZunoControl*>& Children() const { return FChildren; }
    bool                Contains(const TZunoObject* object) const;   // a descendant
    void                SortChildren();
    TZunoBase*          GetBase() override;
    bool                IsInCabinet() override;
    virtual void        EnterCabinet() {}
    virtual void        LeaveCabinet() {}

    // --- geometry (drawn position rules) ------------------------------------------------
    int32_t             Left() const { return FLeft; }
    int32_t             Top() const { return FTop; }
    int32_t             Width() const { return FWidth; }
    int32_t             Height() const { return FHeight; }
    int32_t             OffsetX() const { return FOffsetX; }
    int32_t             OffsetY() const { return FOffsetY; }
    int32_t             PlusX() const { return FPlusX; }
    int32_t             PlusY() const { return FPlusY; }
    int32_t             MotionX() const { return FMotionX; }
    int32_t             MotionY() const { return FMotionY; }
    bool                PosZoomed() const { return FPosZoomed; }
    void                SetLeft(int32_t v);
    void                SetTop(int32_t v);
    void                SetWidth(int32_t v);
    void                SetHeight(int32_t v);
    void                SetOffsetX(int32_t v);
    void                SetOffsetY(int32_t v);
    void                SetPlusX(int32_t v);
    void                SetPlusY(int32_t v);
    void                SetMotionX(int32_t v);
    void                SetMotionY(int32_t v);
    void                SetPosZoomed(bool v);
    void                SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    void                SetClip(int id, int32_t v);                   // PR_CLIPLEFT .. PR_CLIPHEIGHT
    int32_t             Color() const { return FColor; }
    void                SetColor(int32_t v);

    // Kind hooks of the position rules (zoom, mirror, scrolling, the picture drawn).
    virtual int32_t     ZoomX() { return propInt(PR_ZOOMX); }
    virtual int32_t     ZoomY() { return propInt(PR_ZOOMY); }
    virtual bool        FlipH() { return propBool(PR_FLIPH); }
    virtual bool        FlipV() { return propBool(PR_FLIPV); }
    virtual int32_t     ScrollX() { return propInt(PR_SCROLLX); }
    virtual int32_t     ScrollY() { return propInt(PR_SCROLLY); }
    virtual bool        DrawsImage() { return false; }
    // Kinds whose size follows their picture recompute width and then height
    // when that size is out of date (creation commands ask before PR_LEFT).
    virtual void        UpdateAutoSize() {}
    // Image kinds keep a copy of `picture` as their own picture (the screen
    // snapshot a flip shows while it runs). Others ignore it.
    virtual void        TakePicture(TCustomDIBX& picture) { (void)picture; }
    virtual int32_t     ImageWidth() { return 0; }
    virtual int32_t     ImageHeight() { return 0; }

    int32_t             ScreenLeft();                                 // drawn position
    int32_t             ScreenTop();
    int32_t             LocalLeft();                                  // the same without the parent terms
    int32_t             LocalTop();
    TPoint              GetScreenPoint();                             // un-centred origin on the screen
    TPoint              ClientToScreen(TPoint p);
    TPoint              ScreenToClient(TPoint p);
    TRect               GetClientRect();                              // drawn rectangle on the screen
    TRect               GetClipRect();                                // empty: no clipping
    bool                ClipToClient(TRect& r);                       // r := r ∩ client; false when empty
    virtual void        PositionChanged();                            // passed on to the children
    virtual void        ClipChanged();

    // --- visibility, input flags ----------------------------------------------------------
    bool                Visible() override { return FVisible; }
    virtual void        SetVisible(bool v);
    bool                IsShown();                                    // visible up to the active screen
    uint8_t             IgnoreMouse() const { return FIgnoreMouse; }
    bool                HandleKey() const { return FHandleKey; }
    void                SetHandleKey(bool v);
    bool                AniPaused();
    bool                Highlight = false;                            // selection frame, a debugging aid
    virtual std::string GetCursorFile() { return FCursor; }

    // --- drawing -------------------------------------------------------------------------------
    // The surface the control draws on: the one its parent gives its
    // children, and at the top the surface of the control's screen.
    TCustomDIBX*        GetSurface();
    // The surface this control's children draw on (a wave surface gives its
    // row-offset surface); by default its own.
    virtual TCustomDIBX* ChildSurface() { return GetSurface(); }
    virtual void        Invalidate();
    virtual void        ExpandDirtyRect(TRect& r);
    // Draws the control's own content (kinds) and then its children.
    virtual void        Draw();
    // False when nothing the control or its children draw can fall inside
    // `area` (a screen rectangle): the parent then skips it. By default the
    // control may always draw there.
    virtual bool        MayDrawIn(const TRect& area) { (void)area; return true; }

    // Holds a control's drawn position while it works through its children
    // (moving or drawing them), so that each child does not work it out
    // again through all its ancestors. Only for spans in which nothing can
    // move the control or its ancestors.
    class TPinnedPosition {
    public:
        explicit        TPinnedPosition(TZunoControl& control);
                        ~TPinnedPosition() { FControl.FPinned = FWasPinned; }
                        TPinnedPosition(const TPinnedPosition&) = delete;
        TPinnedPosition& operator=(const TPinnedPosition&) = delete;

    private:
        TZunoControl&   FControl;
        bool            FWasPinned;
    };

    // --- input ---------------------------------------------------------------------------------
    virtual TZunoControl* HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted);
    virtual void        DoLBtnDown();
    virtual void        DoLBtnUp();
    virtual void        DoRBtnDown();
    virtual void        DoRBtnUp();
    virtual void        DoMouseMove();
    virtual void        DoMouseOut(TZunoControl* newHover);
    virtual void        DoMouseIn(TZunoControl* oldHover);
    virtual void        DoMouseHeld() {}
    // A wheel notch over the control: posts its wheel handler; controls that
    // scroll or step by the wheel do so as well.
    virtual void        DoWheelDown() { PostEvent(PR_ONWHEELDOWN); }
    virtual void        DoWheelUp() { PostEvent(PR_ONWHEELUP); }
    // Typed text (Shift-JIS) and the input method's composition in progress
    // (empty when it ends), for the focused control; kinds that take text use them.
    virtual void        TextInput(const std::string& text) { (void)text; }
    virtual void        TextComposition(const std::string& text, int32_t caret) { (void)text; (void)caret; }
    // Once per input step while the control holds the keyboard focus (list
    // navigation, Enter on buttons); reads the registry's key state.
    virtual void        DoKeys() {}
    virtual bool        DoRClickScrap() { return false; }
    virtual TZunoControl* FindFocusable();
    virtual void        FocusGained() {}
    virtual void        FireKeyDown(const std::vector<std::string>& codes);
    virtual void        FireKeyUp(const std::vector<std::string>& codes);
    virtual void        FireKeyRepeat(const std::vector<std::string>& codes);

    // --- life ------------------------------------------------------------------------------------
    int                 Update() override;
    bool                IsPlaying() override;
    void                LoadMotion(const std::string& text);
    void                RestartMotion();
    void                FreeMotion();
    // The motion driving the control now: the one of LoadMotion here; a
    // button answers the motion of the state it shows.
    virtual TZunoMotion* GetMotion() { return FMotion.get(); }
    // A motion read from a motion file, or none when it cannot be read.
    static std::unique_ptr<TZunoMotion> ReadMotion(const std::string& text);
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

    // Deepest nesting of children a save record may hold.
    static constexpr int kMaxLoadDepth = 64;

protected:
    friend class TZunoObject;
    friend class TZunoBaseList;
    void                priorityChanged();
    // Draws the visible children on s, each clipped to `area` (a screen
    // rectangle already cut to s's clip) and its own clip rectangle.
    void                drawChildren(TCustomDIBX& s, const TRect& area);
    std::vector<std::string> mouseArgs();                             // mouse position minus the drawn position
    void                loadChildren(TStream& s, int32_t version, int depth);
    // One step of GetMotion(); true when it has just finished. The control's
    // own writes during the step do not count as a move for the next one.
    bool                stepMotion();
    // Frees every motion at once while the control itself is being freed
    // (nothing is reset or redrawn).
    virtual void        dropMotions() { FMotion.reset(); }

    TZunoControl*       FParent = nullptr;
    std::vector<TZunoControl*> FChildren;                            // owned by the registry
    int32_t             FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    int32_t             FOffsetX = 0, FOffsetY = 0;
    bool                FVisible = true;
    int32_t             FColor = 0;
    TRect               FStoredRect{0, 0, 1, 1};                      // saved and restored only
    std::string         FOnMouseMove, FOnMouseIn, FOnMouseOut, FOnLBtnDown, FOnLBtnUp, FOnRBtnDown,
                        FOnRBtnUp, FOnWheelDown, FOnWheelUp;
    uint8_t             FIgnoreMouse = IM_NONE;
    std::string         FCursor;
    bool                FPosZoomed = false;
    int32_t             FClipLeft = 0, FClipTop = 0, FClipWidth = 0, FClipHeight = 0;
    int32_t             FMotionX = 0, FMotionY = 0;
    int32_t             FPlusX = 0, FPlusY = 0;
    bool                FAniPaused = false;
    bool                FHandleKey = false;
    std::string         FOnKeyDown, FOnKeyUp, FOnKeyRepeat, FOnFocusIn, FOnFocusOut;
    std::unique_ptr<TZunoMotion> FMotion;
    bool                FMovedSinceStep = false;
    int                 FLoadDepth = 0;

private:
    int32_t             screenPos(bool vertical);
    bool                FPinned = false;                              // see TPinnedPosition
    int32_t             FPinnedLeft = 0, FPinnedTop = 0;
    std::string*        handlerField(int id);
};

} // namespace zuno
