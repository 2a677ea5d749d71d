// TZunoMenu: opening and closing, the choice, keys and right clicks.
//
// Animation phases: 0 idle; 10 close asked (closes with animation on the
// next update); 100, 101, 102 opening; 200, 201 closing with animation;
// 300, 301 closing at once after a choice; 302 waiting until the closing
// handlers have run, then the menu deletes itself.
#include <algorithm>

#include "core/StreamFields.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomListBox.h"

namespace zuno {

TZunoMenu::TZunoMenu() = default;

TZunoMenu::~TZunoMenu() = default;

void TZunoMenu::releaseFocus() {
    if (FOwner && FOwner->Focus() == this)
        FOwner->SetFocus(nullptr);
}

void TZunoMenu::SetMenuState(int32_t s) {
    auto settled = [](int32_t v) { return v == msOpening ? msOpen : v == msClosing ? msClosed : v; };
    if (s < msOpen || s > msClosing || settled(s) == settled(FMenuState))
        return;
    FMenuState = static_cast<uint8_t>(s);
    switch (s) {
    case msOpen:
        Relayout();
        FPhase = 0;
        PostEvent(PR_ONOPENING);
        PostEvent(PR_ONOPENED);
        break;
    case msOpening:
        FPhase = 100;
        break;
    case msClosed:
        Invalidate();
        SetHeight(0);
        FPhase = 0;
        releaseFocus();
        PostEvent(PR_ONCLOSING);
        PostEvent(PR_ONCLOSED);
        break;
    default:
        FPhase = 200;
        releaseFocus();
        break;
    }
}

void TZunoMenu::Select() {
    TZunoCustomListBox::Select();
    if (FAutoScrap) {
        FEventsSuppressed = true;
        FPhase = 300;
    }
}

int TZunoMenu::Update() {
    const int32_t elapsed = FOwner ? FOwner->FrameElapsed() : 0;
    FAnimClock += std::max(elapsed, 0);
    if (const int answer = TZunoCustomListBox::Update(); answer != 0)
        return answer;
    const int64_t t = FAnimClock - FAnimStart;
    // The closing events are posted while events are suppressed: the game's
    // closing handlers must still run.
    auto postClosing = [this](uint8_t id) {
        const bool suppressed = std::exchange(FEventsSuppressed, false);
        PostEvent(id);
        FEventsSuppressed = suppressed;
    };
    switch (FPhase) {
    case 10:
        if (FLayoutDirty)
            Relayout();
        FPhase = 0;
        SetMenuState(msClosing);
        break;
    case 100:
        Relayout();
        PostEvent(PR_ONOPENING);
        FFullHeight = FHeight;
        Invalidate();
        SetHeight(0);
        FPhase = 101;
        break;
    case 101:
        FAnimStart = FAnimClock;
        FPhase = 102;
        break;
    case 102:
        Invalidate();
        if (t < FDelay) {
            SetHeight(static_cast<int32_t>(t * FFullHeight / FDelay));
        } else {
            SetHeight(FFullHeight);
            FPhase = 0;
            PostEvent(PR_ONOPENED);
        }
        Invalidate();
        break;
    case 200:
        FEventsSuppressed = true;
        FAnimStart = FAnimClock;
        if (FFullHeight <= 0)
            FFullHeight = FHeight;
        FPhase = 201;
        postClosing(PR_ONCLOSING);
        break;
    case 201:
        FEventsSuppressed = true;
        Invalidate();
        if (t < FDelay) {
            SetHeight(static_cast<int32_t>(FFullHeight - t * FFullHeight / FDelay));
        } else {
            SetHeight(0);
            postClosing(PR_ONCLOSED);
            FPhase = 302;
        }
        Invalidate();
        break;
    case 300:
        FEventsSuppressed = true;
        postClosing(PR_ONCLOSING);
        postClosing(PR_ONCLOSED);
        FPhase = 301;
        break;
    case 301:
        FPhase = 302;
        break;
    case 302:
        if (!eventWaiting(PR_ONCLOSING) && !eventWaiting(PR_ONCLOSED))
            return 1;
        break;
    default:
        break;
    }
    return 0;
}

void TZunoMenu::DoKeys() {
    if (!FOwner || FMenuState == msClosed || FMenuState == msClosing)
        return;
    if ((FOwner->KeyPushed(13) || FOwner->KeyPushed(32)) && FHover >= 0 && !FEventsSuppressed)
        Select();
    else if (FRClickScrap && FOwner->KeyPushed(27))
        FPhase = 10;
    TZunoCustomListBox::DoKeys();
}

void TZunoMenu::DoRBtnUp() {
    if (!FPaused && FRClickScrap) {
        reportChoice({}, -1);
        SetMenuState(msClosing);
        if (TZunoBase* b = GetBase()) {
            b->Input.RPushed = false;
            b->Capture &= static_cast<uint8_t>(~TZunoBase::kCaptureRight);
        }
        return;
    }
    TZunoCustomListBox::DoRBtnUp();
}

bool TZunoMenu::DoRClickScrap() {
    if (FEventsSuppressed || (FIgnoreMouse != IM_NONE && FIgnoreMouse != IM_LCLICK))
        return false;
    FEventsSuppressed = true;
    FPhase = 10;
    return true;
}

//==============================================================================
// Properties
//==============================================================================

namespace {

bool menuOwns(int id) {
    switch (id) {
    case PR_DELAY: case PR_HOVERCOLOR: case PR_FONTHOVERCOLOR: case PR_FONTHOVERSTYLE: case PR_AUTOSCRAP:
    case PR_RCLICKSCRAP: case PR_ONOPENING: case PR_ONOPENED: case PR_ONCLOSING: case PR_ONCLOSED:
    case PR_ORIGHEIGHT:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TZunoMenu::ImplementsProperty(int id) const { return menuOwns(id) || TZunoCustomListBox::ImplementsProperty(id); }

TPropValue TZunoMenu::GetProp(int id) {
    switch (id) {
    case PR_DELAY:          return TPropValue::ofInt(FDelay);
    case PR_HOVERCOLOR:     return TPropValue::ofInt(FHoverColor);
    case PR_FONTHOVERCOLOR: return TPropValue::ofInt(FHoverLabels->TextColor);
    case PR_FONTHOVERSTYLE: return TPropValue::ofInt(FHoverLabels->StyleFlags);
    case PR_AUTOSCRAP:      return TPropValue::ofBool(FAutoScrap);
    case PR_RCLICKSCRAP:    return TPropValue::ofBool(FRClickScrap);
    case PR_ONOPENING:      return TPropValue::ofStr(FOnOpening);
    case PR_ONOPENED:       return TPropValue::ofStr(FOnOpened);
    case PR_ONCLOSING:      return TPropValue::ofStr(FOnClosing);
    case PR_ONCLOSED:       return TPropValue::ofStr(FOnClosed);
    case PR_ORIGHEIGHT:     return TPropValue::ofInt(FPhase != 0 ? FFullHeight : FHeight);
    default:                return TZunoCustomListBox::GetProp(id);
    }
}

void TZunoMenu::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_DELAY:          FDelay = v.Int; return;
    case PR_HOVERCOLOR:     FHoverColor = v.Int; Invalidate(); return;
    case PR_FONTHOVERCOLOR: FHoverLabels->TextColor = v.Int; fontChanged(); return;
    case PR_FONTHOVERSTYLE: FHoverLabels->StyleFlags = static_cast<uint8_t>(v.Int); fontChanged(); return;
    case PR_AUTOSCRAP:      FAutoScrap = v.Bool; return;
    case PR_RCLICKSCRAP:    FRClickScrap = v.Bool; return;
    case PR_ONOPENING:      FOnOpening = v.Str; return;
    case PR_ONOPENED:       FOnOpened = v.Str; return;
    case PR_ONCLOSING:      FOnClosing = v.Str; return;
    case PR_ONCLOSED:       FOnClosed = v.Str; return;
    case PR_ORIGHEIGHT:     return;
    default:                TZunoCustomListBox::SetProp(id, v); return;
    }
}

//==============================================================================
// Save record
//==============================================================================

void TZunoMenu::SaveToStream(TStream& s) {
    TZunoCustomListBox::SaveToStream(s);
    WriteInt(s, FDelay);
    WriteInt(s, FHoverColor);
    WriteBool(s, FAutoScrap);
    WriteBool(s, FRClickScrap);
    WriteByte(s, FMenuState);
    WriteString(s, FOnOpening);
    WriteString(s, FOnOpened);
    WriteString(s, FOnClosing);
    WriteString(s, FOnClosed);
}

void TZunoMenu::LoadFromStream(TStream& s, int32_t version) {
    TZunoCustomListBox::LoadFromStream(s, version);
    FDelay = ReadInt(s);
    FHoverColor = ReadInt(s);
    FAutoScrap = ReadBool(s);
    FRClickScrap = ReadBool(s);
    FMenuState = std::min<uint8_t>(ReadByte(s), msClosing);
    FOnOpening = ReadString(s);
    FOnOpened = ReadString(s);
    FOnClosing = ReadString(s);
    FOnClosed = ReadString(s);
    const int32_t height = FHeight;
    Relayout();
    FFullHeight = FHeight;
    // A menu saved closed or half open keeps the height it had.
    if (FMenuState != msOpen || FPhase != 0)
        SetHeight(height);
    FAnimStart = FAnimClock;
}

} // namespace zuno
