// TZunoButton: an image that reacts to the mouse with hover, pressed and
// clicked pictures, and may belong to a group of which one is selected.
//
// States: 0 normal (PR_SOURCE), 1 hover (PR_HOVERSOURCE), 2 pressed
// (PR_PRESSEDSOURCE), 3 clicked (PR_CLICKEDSOURCE); -1 for the moment a
// finished clicked animation hands over to the state asked for meanwhile.
// A state without pictures is not entered. A state source naming a motion
// file gives that state a motion instead of pictures, restarted whenever the
// state is entered. A click posts PR_ONNOTIFY; the clicked animation (its
// pictures or its motion) plays once and reports its end (PR_ONPLAYEND) once.
//
// Groups: the children of one parent with the same nonzero GroupIndex act
// as radio buttons; without AllowAllUp exactly one of them is selected.
#pragma once

#include <memory>
#include <string>

#include "objects/TZunoCustomImage.h"
#include "text/TKsLabelList.h"

namespace zuno {

class TZunoButton : public TZunoImages {
public:
                        TZunoButton();
                        ~TZunoButton() override;

    uint8_t             GetCompoType() const override { return LT_BUTTON; }

    // --- states -------------------------------------------------------------------------
    int                 StateCount() override { return 4; }
    int                 State() override { return FState; }
    void                SetState(int s) override;
    int32_t             PendingState() const { return FPendingState; }
    int32_t             Press() const { return FPress; }
    bool                Repeat() override { return FState != 3; }
    const std::string&  StateSource(int state) const;                 // 1 .. 3
    void                SetStateSource(int state, const std::string& text);
    // The motion of the state shown: state 0 the control's own motion.
    TZunoMotion*        GetMotion() override;

    // --- group --------------------------------------------------------------------------
    int32_t             GroupIndex() const { return FGroupIndex; }
    void                SetGroupIndex(int32_t group);
    bool                Selected() const { return FSelected; }
    void                SetSelected(bool flag);
    bool                AllowAllUp() const { return FAllowAllUp; }
    void                SetAllowAllUp(bool flag);
    // Stores the flag and shows its state without running the group rule.
    void                SetGroupSelected(bool flag);
    void                SetGroupAllowAllUp(bool flag) { FAllowAllUp = flag; }
    // Makes the group of `button` under `parent` consistent (the given
    // button wins when it is selected).
    static void         UpdateGroup(TZunoControl* parent, TZunoButton* button, int32_t group);
    static void         SetAllowAllUpOfGroup(TZunoControl* parent, TZunoButton* button, int32_t group, bool flag);

    void                Click();

    // --- caption ------------------------------------------------------------------------
    TKsLabelList&       Caption() { return *FCaption; }
    const std::string&  CaptionText();

    // --- object -------------------------------------------------------------------------
    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    int32_t             GetItemState(TItemState what, int32_t item) override;
    void                SetItemState(TItemState what, int32_t item, int32_t value) override;

    int                 Update() override;
    void                AfterDraw() override;
    void                DoLBtnDown() override;
    void                DoLBtnUp() override;
    void                DoMouseMove() override;
    void                DoMouseOut(TZunoControl* newHover) override;
    void                DoKeys() override;

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;

protected:
    void                dropMotions() override;

private:
    bool                stateHasFrames(int s);
    TZunoMotion*        stateMotion(int s);
    void                freeStateMotion(int s);
    int                 finishClicked();
    bool                mouseOnButton();
    void                setPausedButton(bool flag);
    void                captionChanged();

    int32_t             FState = 0;
    int32_t             FPendingState = 0;
    int32_t             FPress = 0;                                   // 1 pressed, -1 delete me
    std::string         FStateSources[4];                             // 1 .. 3 used
    std::unique_ptr<TZunoMotion> FStateMotions[4];                    // 1 .. 3 used
    int32_t             FGroupIndex = 0;
    bool                FSelected = false;
    bool                FAllowAllUp = false;
    std::string         FOnNotify;
    std::unique_ptr<TKsLabelList> FCaption;
    bool                FCaptionMeasured = false;
};

} // namespace zuno
