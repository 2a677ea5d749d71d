// TZunoButton: states, mouse and keys, groups, caption and save record.
#include "objects/TZunoButton.h"

#include <vector>

#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "text/TFontPixelManager.h"

namespace zuno {

TZunoButton::TZunoButton() : FCaption(std::make_unique<TKsLabelList>()) {
    FCaption->AntiAliasLevel = 0;
    FCaption->AddLabel();
}

TZunoButton::~TZunoButton() {
    FImage = nullptr;
    FMask = nullptr;
}

//==============================================================================
// States
//==============================================================================

TZunoMotion* TZunoButton::stateMotion(int s) {
    if (s == 0)
        return FMotion.get();
    return s >= 1 && s <= 3 ? FStateMotions[s].get() : nullptr;
}

TZunoMotion* TZunoButton::GetMotion() { return stateMotion(FState); }

void TZunoButton::dropMotions() {
    TZunoImages::dropMotions();
    for (auto& m : FStateMotions)
        m.reset();
}

// A freed motion gives the control back its own position and priority, as
// the control's motion does, when it is the one driving the button.
void TZunoButton::freeStateMotion(int s) {
    if (!FStateMotions[s])
        return;
    const bool current = FState == s;
    FStateMotions[s].reset();
    if (current) {
        SetMotionX(0);
        SetMotionY(0);
        SetPriorityBias(0);
    }
}

bool TZunoButton::stateHasFrames(int s) {
    if (stateMotion(s))
        return true;
    TZunoImageList* list = StateList(s);
    return list && list->Count() > 0;
}

void TZunoButton::SetState(int s) {
    if (FState == 3) {
        FPendingState = s;
        return;
    }
    if (s == FState || !(s <= 0 || stateHasFrames(s)))
        return;
    Invalidate();
    // The old state's frame is left: the new list starts at its first frame.
    SetIndex(-1);
    FState = s;
    if (s == 3)
        FPendingState = 0;
    FIndex = -1;
    SetIndex(0);
    if (TZunoMotion* m = GetMotion())
        m->Restart();
    Invalidate();
}

const std::string& TZunoButton::StateSource(int state) const {
    static const std::string none;
    return state >= 1 && state <= 3 ? FStateSources[state] : none;
}

void TZunoButton::SetStateSource(int state, const std::string& text) {
    if (state < 1 || state > 3 || text == FStateSources[state])
        return;
    FStateSources[state] = text;
    TZunoImageList* list = StateList(state);
    if (FState == state) {
        SetIndex(-1);
        FImage = nullptr;
        FMask = nullptr;
    }
    list->Clear();
    freeStateMotion(state);
    const std::string ext = fileExtensionLower(text);
    if (ext == ".drl")
        list->Load(text);
    else if (ext == ".zmt")
        FStateMotions[state] = ReadMotion(text);
    if (FState == state && list->Count() > 0) {
        FIndex = -1;
        SetIndex(0);
    }
}

//==============================================================================
// Groups
//==============================================================================

void TZunoButton::SetGroupSelected(bool flag) {
    FSelected = flag;
    SetState(flag ? 2 : 0);
}

void TZunoButton::SetSelected(bool flag) {
    if (flag == FSelected || (flag && FGroupIndex == 0))
        return;
    FSelected = flag;
    SetState(flag ? 2 : 0);
    UpdateGroup(FParent, this, FGroupIndex);
}

void TZunoButton::SetGroupIndex(int32_t group) {
    FGroupIndex = group;
    UpdateGroup(FParent, this, group);
}

void TZunoButton::SetAllowAllUp(bool flag) {
    if (FGroupIndex == 0) {
        FAllowAllUp = flag;
        return;
    }
    SetAllowAllUpOfGroup(FParent, this, FGroupIndex, flag);
}

namespace {

std::vector<TZunoButton*> groupMembers(TZunoControl* parent, int32_t group) {
    std::vector<TZunoButton*> members;
    if (!parent)
        return members;
    for (TZunoControl* c : parent->Children())
        if (c->GetCompoType() == LT_BUTTON) {
            auto* b = static_cast<TZunoButton*>(c);
            if (b->GroupIndex() == group)
                members.push_back(b);
        }
    return members;
}

} // namespace

void TZunoButton::UpdateGroup(TZunoControl* parent, TZunoButton* button, int32_t group) {
    if (group == 0 || !parent)
        return;
    const std::vector<TZunoButton*> members = groupMembers(parent, group);
    int chosen = -1;
    for (size_t i = 0; i < members.size(); ++i) {
        if (members[i]->Selected() && chosen < 0)
            chosen = int(i);
        if (members[i] == button && button->Selected())
            chosen = int(i);
    }
    if (chosen < 0 && !(button && button->AllowAllUp()) && !members.empty())
        chosen = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        const bool want = int(i) == chosen;
        if (members[i]->Selected() != want)
            members[i]->SetGroupSelected(want);
    }
}

void TZunoButton::SetAllowAllUpOfGroup(TZunoControl* parent, TZunoButton* button, int32_t group, bool flag) {
    if (button)
        button->SetGroupAllowAllUp(flag);
    for (TZunoButton* b : groupMembers(parent, group))
        b->SetGroupAllowAllUp(flag);
    UpdateGroup(parent, button, group);
}

//==============================================================================
// Input
//==============================================================================

void TZunoButton::Click() {
    PostEvent(PR_ONNOTIFY);
    if (FGroupIndex == 0) {
        SetState(3);
        if (FState != 3 && AutoScrap())
            FPress = -1;
    } else if (FAllowAllUp || !FSelected) {
        SetSelected(!FSelected);
    }
}

bool TZunoButton::mouseOnButton() {
    TZunoBase* b = GetBase();
    if (!b)
        return false;
    const TIgnoreMouseSet all = imBit(IM_NONE) | imBit(IM_ALL) | imBit(IM_CLICK) | imBit(IM_LCLICK) | imBit(IM_RCLICK);
    return b->HitTest(b->Input.MouseX, b->Input.MouseY, all) == this;
}

void TZunoButton::DoMouseMove() {
    if (FPress == 0)
        SetState(Paused() || FSelected ? 2 : 1);
    else
        SetState(mouseOnButton() || FSelected ? 2 : 0);
    TZunoImages::DoMouseMove();
}

void TZunoButton::DoMouseOut(TZunoControl* newHover) {
    if (FState != 3)
        SetState(FSelected ? 2 : 0);
    TZunoImages::DoMouseOut(newHover);
}

void TZunoButton::DoLBtnDown() {
    if (FIgnoreMouse != IM_NONE && FIgnoreMouse != IM_RCLICK) {
        TZunoImages::DoLBtnDown();
        return;
    }
    TZunoBase* b = GetBase();
    if (!b)
        return;
    if (!Paused() && FState != 3) {
        b->Capture |= TZunoBase::kCaptureLeft;
        SetState(2);
        FPress = 1;
    }
    b->Input.LPushed = false;
}

void TZunoButton::DoLBtnUp() {
    if (FPress == 1 && mouseOnButton()) {
        Click();
        if (FPress == -1)
            return;
    }
    FPress = 0;
    if (FGroupIndex == 0 && FState != 3)
        SetState(0);
    TZunoImages::DoLBtnUp();
}

void TZunoButton::DoKeys() {
    if (FOwner && (FOwner->KeyPushed(13) || FOwner->KeyPushed(32)))
        Click();
}

void TZunoButton::setPausedButton(bool flag) {
    SetPaused(flag);
    if (!flag)
        SetState(0);
}

//==============================================================================
// Update: the clicked animation plays once
//==============================================================================

int TZunoButton::Update() {
    if (FPress == -1)
        return 1;
    if (FState != 3)
        return TZunoImages::Update();
    // The clicked state steps its frames (or its motion) itself, so that its
    // end is seen once: the state leaves 3 in the same update.
    if (GetMotion())
        return stepMotion() ? finishClicked() : 0;
    TZunoImageList* frames = GetFrames();
    if (!frames || !frames->IsValidIndex(FIndex) || !IsShown() || FPaused || AniPaused())
        return 0;
    if (FTimeLeft > 0)
        FTimeLeft = addClamped(FTimeLeft, -int64_t(FOwner ? FOwner->FrameElapsed() : 0));
    bool finished = false;
    while (FTimeLeft < 1) {
        if (FIndex < frames->Count() - 1) {
            if (frames->Count() <= 2)
                FTimeLeft = 0;
            SetIndex(FIndex + 1);
        } else {
            finished = true;
            break;
        }
    }
    return finished ? finishClicked() : 0;
}

// The clicked animation is over: the button goes (AutoScrap) or reports the
// end and shows the state asked for meanwhile.
int TZunoButton::finishClicked() {
    if (AutoScrap())
        return 1;
    PostEvent(PR_ONPLAYEND);
    FState = -1;
    const int32_t pending = FPendingState;
    SetState(pending);
    // A pending state without pictures cannot be shown: the button returns
    // to its normal pictures rather than showing none.
    if (FState == -1)
        SetState(0);
    return 0;
}

//==============================================================================
// Caption
//==============================================================================

const std::string& TZunoButton::CaptionText() { return FCaption->LabelAt(0)->Text; }

void TZunoButton::captionChanged() {
    FCaptionMeasured = false;
    FCaption->MarkAllDirty();
    Invalidate();
}

void TZunoButton::AfterDraw() {
    TKsLabelDIB* label = FCaption->LabelAt(0);
    TCustomDIBX* s = GetSurface();
    if (!label || label->Text.empty() || !s)
        return;
    if (!FCaptionMeasured) {
        if (!TFontPixelManager::Instance())
            return;                                 // no glyphs to draw with
        FCaption->Measure();
        FCaptionMeasured = true;
    }
    FCaption->Target = s;
    const int32_t push = FState == 2 || FState == 3 ? 1 : 0;
    const int32_t x = ScreenLeft() + (FWidth - label->Width) / 2 + push;
    const int32_t y = ScreenTop() + (FHeight - label->Height) / 2 + push;
    label->DrawLabel(x, y);
}

//==============================================================================
// Properties
//==============================================================================

namespace {

bool buttonOwns(int id) {
    switch (id) {
    case PR_HOVERSOURCE: case PR_PRESSEDSOURCE: case PR_CLICKEDSOURCE: case PR_GROUPINDEX: case PR_SELECTED:
    case PR_ALLOWALLUP: case PR_ONNOTIFY: case PR_TEXT: case PR_FONTNAME: case PR_FONTHEIGHT: case PR_FONTSTYLE:
    case PR_FONTCOLOR: case PR_ANTIALIAS: case PR_REPEAT: case PR_PAUSED:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TZunoButton::ImplementsProperty(int id) const { return buttonOwns(id) || TZunoImages::ImplementsProperty(id); }

TPropValue TZunoButton::GetProp(int id) {
    switch (id) {
    case PR_HOVERSOURCE:   return TPropValue::ofStr(FStateSources[1]);
    case PR_PRESSEDSOURCE: return TPropValue::ofStr(FStateSources[2]);
    case PR_CLICKEDSOURCE: return TPropValue::ofStr(FStateSources[3]);
    case PR_GROUPINDEX:    return TPropValue::ofInt(FGroupIndex);
    case PR_SELECTED:      return TPropValue::ofBool(FSelected);
    case PR_ALLOWALLUP:    return TPropValue::ofBool(FAllowAllUp);
    case PR_ONNOTIFY:      return TPropValue::ofStr(FOnNotify);
    case PR_TEXT:          return TPropValue::ofStr(CaptionText());
    case PR_FONTNAME:      return TPropValue::ofStr(FCaption->FontName);
    case PR_FONTHEIGHT:    return TPropValue::ofInt(FCaption->FontHeight);
    case PR_FONTSTYLE:     return TPropValue::ofInt(FCaption->StyleFlags);
    case PR_FONTCOLOR:     return TPropValue::ofInt(FCaption->TextColor);
    case PR_ANTIALIAS:     return TPropValue::ofBool(FCaption->AntiAliasLevel > 0);
    case PR_REPEAT:        return TPropValue::ofBool(Repeat());
    default:               return TZunoImages::GetProp(id);
    }
}

void TZunoButton::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_HOVERSOURCE:   SetStateSource(1, v.Str); return;
    case PR_PRESSEDSOURCE: SetStateSource(2, v.Str); return;
    case PR_CLICKEDSOURCE: SetStateSource(3, v.Str); return;
    case PR_GROUPINDEX:    SetGroupIndex(v.Int); return;
    case PR_SELECTED:      SetSelected(v.Bool); return;
    case PR_ALLOWALLUP:    SetAllowAllUp(v.Bool); return;
    case PR_ONNOTIFY:      FOnNotify = v.Str; return;
    case PR_TEXT:          FCaption->LabelAt(0)->SetText(v.Str); captionChanged(); return;
    case PR_FONTNAME:      FCaption->FontName = v.Str; captionChanged(); return;
    case PR_FONTHEIGHT:    FCaption->SetFontHeight(v.Int); captionChanged(); return;
    case PR_FONTSTYLE:     FCaption->StyleFlags = static_cast<uint8_t>(v.Int); captionChanged(); return;
    case PR_FONTCOLOR:     FCaption->TextColor = v.Int; captionChanged(); return;
    case PR_ANTIALIAS:     FCaption->AntiAliasLevel = v.Bool ? 3 : 0; captionChanged(); return;
    case PR_REPEAT:        return;                                    // follows the state
    case PR_PAUSED:        setPausedButton(v.Bool); return;
    default:               TZunoImages::SetProp(id, v); return;
    }
}

int32_t TZunoButton::GetItemState(TItemState what, int32_t) {
    switch (what) {
    case isSelected:   return FSelected ? 1 : 0;
    case isGroupIndex: return FGroupIndex;
    default:           return 0;
    }
}

void TZunoButton::SetItemState(TItemState what, int32_t, int32_t value) {
    if (what == isSelected)
        SetSelected(value != 0);
}

//==============================================================================
// Save record, surfaces
//==============================================================================

void TZunoButton::SaveToStream(TStream& s) {
    TZunoImages::SaveToStream(s);
    WriteString(s, FStateSources[1]);
    WriteString(s, FStateSources[2]);
    WriteInt(s, FGroupIndex);
    WriteBool(s, FSelected);
    WriteBool(s, FAllowAllUp);
    WriteString(s, FOnNotify);
    WriteString(s, FOnIdle);
    WriteString(s, FStateSources[3]);
    FCaption->SaveToStream(s);
}

void TZunoButton::LoadFromStream(TStream& s, int32_t version) {
    TZunoImages::LoadFromStream(s, version);
    const int32_t frame = FIndex;
    const std::string hover = ReadString(s);
    const std::string pressed = ReadString(s);
    FGroupIndex = ReadInt(s);
    const bool selected = ReadBool(s);
    FAllowAllUp = ReadBool(s);
    FOnNotify = ReadString(s);
    std::string clicked;
    if (version > 103) {
        FOnIdle = ReadString(s);
        clicked = ReadString(s);
    }
    if (version > 136) {
        FCaption->LoadFromStream(s, version);
        if (FCaption->Count() == 0)
            FCaption->AddLabel();
        FCaptionMeasured = false;
    }
    SetStateSource(1, hover);
    SetStateSource(2, pressed);
    SetStateSource(3, clicked);
    // Selected goes through its setter, which shows its state.
    FSelected = false;
    if (selected && FGroupIndex != 0) {
        FSelected = true;
        SetState(2);
    }
    FPress = 0;
    FIndex = -1;
    SetIndex(frame);
}

void TZunoButton::ReleaseSurfaces() {
    TZunoImages::ReleaseSurfaces();
    FCaption->MarkAllDirty();
}

void TZunoButton::RestoreSurfaces() {
    TZunoImages::RestoreSurfaces();
    FCaption->MarkAllDirty();
}

} // namespace zuno
