// The list family: TZunoCustomListBox (a list framed by border pictures) and
// TZunoMenu, the menu of choices.
//
// A list box shows the lines of its text as rows of labels (a normal and a
// hover label per line), framed by nine border cells, with check marks, a
// scrollbar of seven cells when there are more lines than rows, and hover
// highlighting. The mouse, the wheel and the keys (Up, Down, Page Up, Page
// Down, Enter) move the hover line and choose; a choice goes to "@SelStr" /
// "@SelIndex" through the registry and posts PR_ONSELECT.
//
// The menu opens and closes with an animation of its height over Delay
// milliseconds and posts its opening and closing events; a menu that closes
// after a choice deletes itself once its closing handlers have run.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "objects/TZunoControl.h"
#include "objects/TZunoImageList.h"
#include "text/TKsLabelList.h"

namespace zuno {

class TZunoCustomListBox : public TZunoControl {
public:
    // Mouse modes.
    enum : int32_t { mmNone = -1, mmThumb = 0, mmUp = 1, mmDown = 2, mmPageUp = 3, mmPageDown = 4, mmItem = 5 };

                        TZunoCustomListBox();
                        ~TZunoCustomListBox() override;

    // --- items ------------------------------------------------------------------------
    const std::string&  Text() const { return FText; }
    void                SetText(const std::string& text);
    int32_t             ItemCount() const { return static_cast<int32_t>(FItems.size()); }
    const std::string&  Item(int32_t i) const { return FItems[size_t(i)]; }
    uint8_t             GetCheck(int32_t item) const;
    void                SetCheck(int32_t item, uint8_t value);

    int32_t             Hover() const { return FHover; }
    void                SetHover(int32_t i);
    int32_t             Index() const { return FIndex; }
    int32_t             TopIndex() const { return FTopIndex; }
    void                SetTopIndex(int32_t i);                       // kept within the rows that exist
    int32_t             RowCount() const { return FRowCount; }
    int32_t             RowHeight() const { return FRowHeight; }
    int32_t             MouseMode() const { return FMouseMode; }
    bool                HasScrollBar() const { return FRowCount < ItemCount(); }
    virtual void        Select();
    // The item under a screen point, -1 outside the rows.
    int32_t             ItemAt(int32_t x, int32_t y);

    // Labels measured, row height, Width and Height from the items.
    void                Relayout();
    void                MarkLayoutDirty() { FLayoutDirty = true; }
    bool                LayoutDirty() const { return FLayoutDirty; }
    TKsLabelList&       Labels() { return *FLabels; }
    TKsLabelList&       HoverLabels() { return *FHoverLabels; }

    // --- object -------------------------------------------------------------------------
    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    int32_t             GetItemState(TItemState what, int32_t item) override;
    void                SetItemState(TItemState what, int32_t item, int32_t value) override;
    int32_t             ItemIndexOfName(const std::string& name) override;

    int                 Update() override;
    void                Draw() override;
    void                DoLBtnDown() override;
    void                DoLBtnUp() override;
    void                DoMouseMove() override;
    void                DoMouseOut(TZunoControl* newHover) override;
    void                DoMouseHeld() override;
    void                DoWheelDown() override;
    void                DoWheelUp() override;
    void                DoKeys() override;

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                ReleaseSurfaces() override;

protected:
    struct TBorderCell {
        std::string     Source;
        TZunoImageList  Frames;
        uint8_t         HAlign = 0, VAlign = 0;
        int32_t         Width() { return Frames.Count() > 0 ? picture()->GetWidth() : 0; }
        int32_t         Height() { return Frames.Count() > 0 ? picture()->GetHeight() : 0; }
        TCustomDIBX*    picture() { return Frames.Data(Frames.FrameIndex()).GetPicture(); }
    };
    // Geometry of one layout, in screen coordinates.
    struct TGeometry {
        TRect           Client, Inner;
        int32_t         LeftCol = 0, RightCol = 0, TopRow = 0, BottomRow = 0;
        int32_t         AreaLeft = 0, AreaTop = 0, AreaWidth = 0;
        int32_t         CheckWidth = 0, ScrollWidth = 0, ScrollCell = 0;
        TRect           UpArrow, DownArrow, Track, Thumb;
    };

    TGeometry           geometry();
    int32_t             highlightPad() const;
    void                setBorderSource(int cell, const std::string& text);
    void                setCellPicture(std::string& source, TZunoImageList& list, const std::string& text);
    void                fontChanged();
    int32_t             measureItems(const TKsLabelList& fonts, int32_t& widest);
    static void         copyFont(const TKsLabelList& from, TKsLabelList& to);
    TKsLabelDIB*        rowLabel(TKsLabelList& list, int32_t slot, const std::string& text);
    void                keyMove(int32_t hover);
    void                stepHeld(int32_t rows);
    void                wheelStep(int32_t rows);
    void                drawRows(TCustomDIBX& s, const TGeometry& g);
    void                drawBorderCells(TCustomDIBX& s, const TGeometry& g);
    void                drawScrollBar(TCustomDIBX& s, const TGeometry& g);
    virtual bool        Animating() const { return false; }
    virtual bool        LayoutShown() const { return true; }           // a closed menu keeps its height 0
    virtual int32_t     HoverColor() const { return -1; }
    bool                mouseOver(const TRect& r);
    void                reportChoice(const std::string& text, int32_t index);
    bool                eventWaiting(uint8_t id) const;

    std::string         FText;
    std::vector<std::string> FItems;
    std::vector<uint8_t> FChecks;
    std::unique_ptr<TKsLabelList> FLabels, FHoverLabels;
    int32_t             FLineSpace = 0, FAlpha = 255, FMarginX = 0, FMarginY = 0, FBorderWidth = 0, FBorderColor = 0;
    int32_t             FRowCount = 0, FTopIndex = 0, FIndex = 0, FHAlign = 0;
    bool                FPaused = false;
    std::array<TBorderCell, 9> FCells;
    std::string         FScrollSource, FCheckSource;
    TZunoImageList      FScrollImage, FCheckImage;
    int32_t             FFontBorder = 0, FFontShadow = 0, FFontHoverBorder = 0, FFontHoverShadow = 0;
    int32_t             FHover = -1;
    int32_t             FMouseMode = mmNone;
    int32_t             FDragOffset = 0;
    int32_t             FRepeatCountdown = 0;
    bool                FArrowPressedIn = false, FTrackPressedIn = false;
    std::string         FOnSelect, FOnMapIn, FOnMapOut, FOnIdle;
    bool                FLayoutDirty = true;
    int32_t             FRowHeight = 0;
    int32_t             FPhase = 0;
};

class TZunoMenu : public TZunoCustomListBox {
public:
    enum : uint8_t { msOpen = 0, msOpening = 1, msClosed = 2, msClosing = 3 };

                        TZunoMenu();
                        ~TZunoMenu() override;

    uint8_t             GetCompoType() const override { return LT_MENU; }

    uint8_t             MenuState() const { return FMenuState; }
    void                SetMenuState(int32_t s);
    void                SetPlayState(int32_t state) override { SetMenuState(state); }
    int32_t             Phase() const { return FPhase; }
    int32_t             FullHeight() const { return FFullHeight; }
    bool                EventsSuppressed() override { return FEventsSuppressed; }

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    void                Select() override;
    int                 Update() override;
    void                DoKeys() override;
    void                DoRBtnUp() override;
    bool                DoRClickScrap() override;

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

protected:
    bool                Animating() const override { return FPhase != 0; }
    bool                LayoutShown() const override { return FMenuState != msClosed; }
    int32_t             HoverColor() const override { return FHoverColor; }

private:
    void                releaseFocus();

    int32_t             FDelay = 0;
    int32_t             FHoverColor = -1;
    bool                FAutoScrap = false, FRClickScrap = false;
    uint8_t             FMenuState = msClosed;
    std::string         FOnOpening, FOnOpened, FOnClosing, FOnClosed;
    int32_t             FFullHeight = 0;
    int64_t             FAnimClock = 0;                               // ms of updates since the menu was made
    int64_t             FAnimStart = 0;
    bool                FEventsSuppressed = false;
};

} // namespace zuno
