#include "objects/TZunoControl.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

TZunoControl::TZunoControl() = default;
TZunoControl::~TZunoControl() = default;

//==============================================================================
// Properties
//==============================================================================

bool TZunoControl::ImplementsProperty(int id) const {
    // What the table gives every control is implemented by this class.
    return TZunoComponent::ImplementsProperty(id) || (propertyKinds(id) & ControlKinds) == ControlKinds;
}

std::string* TZunoControl::handlerField(int id) {
    switch (id) {
    case PR_ONMOUSEMOVE:  return &FOnMouseMove;
    case PR_ONMOUSEIN:    return &FOnMouseIn;
    case PR_ONMOUSEOUT:   return &FOnMouseOut;
    case PR_ONLBTNDOWN:   return &FOnLBtnDown;
    case PR_ONLBTNUP:     return &FOnLBtnUp;
    case PR_ONRBTNDOWN:   return &FOnRBtnDown;
    case PR_ONRBTNUP:     return &FOnRBtnUp;
    case PR_ONWHEELDOWN:  return &FOnWheelDown;
    case PR_ONWHEELUP:    return &FOnWheelUp;
    case PR_ONKEYDOWN:    return &FOnKeyDown;
    case PR_ONKEYUP:      return &FOnKeyUp;
    case PR_ONKEYREPEAT:  return &FOnKeyRepeat;
    case PR_ONFOCUSIN:    return &FOnFocusIn;
    case PR_ONFOCUSOUT:   return &FOnFocusOut;
    default:              return nullptr;
    }
}

TPropValue TZunoControl::GetProp(int id) {
    if (const std::string* h = handlerField(id))
        return TPropValue::ofStr(*h);
    switch (id) {
    case PR_PARENT:      return TPropValue::ofStr(FParent ? FParent->Name() : std::string());
    case PR_LEFT:        return TPropValue::ofInt(FLeft);
    case PR_TOP:         return TPropValue::ofInt(FTop);
    case PR_WIDTH:       return TPropValue::ofInt(FWidth);
    case PR_HEIGHT:      return TPropValue::ofInt(FHeight);
    case PR_COLOR:       return TPropValue::ofInt(FColor);
    case PR_OFFSETX:     return TPropValue::ofInt(FOffsetX);
    case PR_OFFSETY:     return TPropValue::ofInt(FOffsetY);
    case PR_VISIBLE:     return TPropValue::ofBool(Visible());
    case PR_IGNOREMOUSE: return TPropValue::ofInt(FIgnoreMouse);
    case PR_CURSOR:      return TPropValue::ofStr(FCursor);
    case PR_POSZOOMED:   return TPropValue::ofBool(FPosZoomed);
    case PR_CLIPLEFT:    return TPropValue::ofInt(FClipLeft);
    case PR_CLIPTOP:     return TPropValue::ofInt(FClipTop);
    case PR_CLIPWIDTH:   return TPropValue::ofInt(FClipWidth);
    case PR_CLIPHEIGHT:  return TPropValue::ofInt(FClipHeight);
    case PR_ANIPAUSED:   return TPropValue::ofBool(AniPaused());
    case PR_PLAYING:     return TPropValue::ofBool(IsPlaying());
    case PR_HANDLEKEY:   return TPropValue::ofInt(FHandleKey ? 1 : 0);
    case PR_PLUSX:       return TPropValue::ofInt(FPlusX);
    case PR_PLUSY:       return TPropValue::ofInt(FPlusY);
    default:             return TZunoComponent::GetProp(id);
    }
}

void TZunoControl::SetProp(int id, const TPropValue& v) {
    if (std::string* h = handlerField(id)) {
        *h = v.Str;
        return;
    }
    switch (id) {
    case PR_PARENT:
        if (!IsScreen() && FOwner)
            if (TZunoControl* p = FOwner->FindControl(v.Str))
                SetParent(p);
        return;
    case PR_LEFT:        SetLeft(v.Int); return;
    case PR_TOP:         SetTop(v.Int); return;
    case PR_WIDTH:       SetWidth(v.Int); return;
    case PR_HEIGHT:      SetHeight(v.Int); return;
    case PR_COLOR:       SetColor(v.Int); return;
    case PR_OFFSETX:     SetOffsetX(v.Int); return;
    case PR_OFFSETY:     SetOffsetY(v.Int); return;
    case PR_VISIBLE:     SetVisible(v.Bool); return;
    case PR_IGNOREMOUSE: FIgnoreMouse = static_cast<uint8_t>(v.Int); return;    // stored as a byte
    case PR_CURSOR:      FCursor = v.Str; return;
    case PR_POSZOOMED:   SetPosZoomed(v.Bool); return;
    case PR_CLIPLEFT: case PR_CLIPTOP: case PR_CLIPWIDTH: case PR_CLIPHEIGHT:
        SetClip(id, v.Int);
        return;
    case PR_ANIPAUSED:   FAniPaused = v.Bool; return;
    case PR_HANDLEKEY:   SetHandleKey(v.Int != 0); return;
    case PR_PLUSX:       SetPlusX(v.Int); return;
    case PR_PLUSY:       SetPlusY(v.Int); return;
    default:             TZunoComponent::SetProp(id, v); return;
    }
}

//==============================================================================
// Tree
//==============================================================================

bool TZunoControl::Contains(const TZunoObject* object) const {
    const TZunoControl* c = object ? object->AsControl() : nullptr;
    for (const TZunoControl* p = c ? c->FParent : nullptr; p; p = p->FParent)
        if (p == this)
            return true;
    return false;
}

void TZunoControl::SetParent(TZunoControl* parent) {
    if (parent == FParent || parent == this || (parent && Contains(parent)))
        return;
    Invalidate();
    if (TZunoControl* old = FParent) {
        std::erase(old->FChildren, this);
        FParent = nullptr;
        if (old->GetCompoType() == LT_CABINET)
            LeaveCabinet();
    }
    FParent = parent;
    if (parent) {
        parent->FChildren.push_back(this);
        parent->SortChildren();
        if (parent->GetCompoType() == LT_CABINET)
            EnterCabinet();
    }
    Invalidate();

    if (!FOwner)
        return;
    TZunoBase* base = GetBase();
    TZunoControl* focus = FOwner->Focus();
    if (focus && (focus == this || Contains(focus)) && base != FOwner->ActiveBase()) {
        FOwner->ClearFocusQuietly();
        FOwner->RequestFocusSearch();
    }
    if (!FOwner->Focus() && base == FOwner->ActiveBase())
        FOwner->RequestFocusSearch();
}

// Drawing order: system names (leading 0x01) first, the Flip snapshot (named
// 0x01 0x01) last, the others by priority plus bias and then by name.
static bool drawsBefore(const TZunoControl* a, const TZunoControl* b) {
    if (a == b)
        return false;
    static const std::string snapshot("\x01\x01", 2);
    const bool aSnap = a->Name() == snapshot, bSnap = b->Name() == snapshot;
    if (aSnap != bSnap)
        return bSnap;
    const bool aSys = a->IsSystemName(), bSys = b->IsSystemName();
    if (aSys != bSys)
        return aSys;
    if (a->SortKey() != b->SortKey())
        return a->SortKey() < b->SortKey();
    return a->Name() < b->Name();
}

void TZunoControl::SortChildren() {
    // Mostly only the last child is out of place (a child just added, a
    // particle emitted): moving it to its place gives what the stable sort
    // would, without sorting a long list again.
    if (FChildren.size() > 1 && std::is_sorted(FChildren.begin(), FChildren.end() - 1, drawsBefore)) {
        const auto last = FChildren.end() - 1;
        std::rotate(std::upper_bound(FChildren.begin(), last, *last, drawsBefore), last, FChildren.end());
        return;
    }
    std::stable_sort(FChildren.begin(), FChildren.end(), drawsBefore);
}

void TZunoControl::priorityChanged() {
    if (FParent) {
        FParent->SortChildren();
        Invalidate();
    }
}

TZunoBase* TZunoControl::GetBase() {
    TZunoControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return c->IsScreen() ? static_cast<TZunoBase*>(c) : nullptr;
}

bool TZunoControl::IsInCabinet() {
    for (TZunoControl* p = FParent; p; p = p->FParent)
        if (p->GetCompoType() == LT_CABINET)
            return true;
    return false;
}

//==============================================================================
// Geometry
//==============================================================================

void TZunoControl::SetLeft(int32_t v) {
    if (v == FLeft)
        return;
    Invalidate();
    FLeft = v;
    FMotionX = 0;
    Invalidate();
    PositionChanged();
}

void TZunoControl::SetTop(int32_t v) {
    if (v == FTop)
        return;
    Invalidate();
    FTop = v;
    FMotionY = 0;
    Invalidate();
    PositionChanged();
}

void TZunoControl::SetOffsetX(int32_t v) {
    if (v == FOffsetX)
        return;
    Invalidate();
    FOffsetX = v;
    Invalidate();
    PositionChanged();
}

void TZunoControl::SetOffsetY(int32_t v) {
    if (v == FOffsetY)
        return;
    Invalidate();
    FOffsetY = v;
    Invalidate();
    PositionChanged();
}

// Setters that repaint the old and the new area.
#define ZUNO_REPAINTING_SETTER(Setter, Field, Type)  \
    void TZunoControl::Setter(Type v) {              \
        if (v == Field)                              \
            return;                                  \
        Invalidate();                                \
        Field = v;                                   \
        Invalidate();                                \
    }
ZUNO_REPAINTING_SETTER(SetWidth, FWidth, int32_t)
ZUNO_REPAINTING_SETTER(SetHeight, FHeight, int32_t)
ZUNO_REPAINTING_SETTER(SetPosZoomed, FPosZoomed, bool)
ZUNO_REPAINTING_SETTER(SetMotionX, FMotionX, int32_t)
ZUNO_REPAINTING_SETTER(SetMotionY, FMotionY, int32_t)
ZUNO_REPAINTING_SETTER(SetPlusX, FPlusX, int32_t)
ZUNO_REPAINTING_SETTER(SetPlusY, FPlusY, int32_t)
#undef ZUNO_REPAINTING_SETTER

void TZunoControl::SetColor(int32_t v) {
    if (v == FColor)
        return;
    FColor = v;
    Invalidate();
}

void TZunoControl::SetClip(int id, int32_t v) {
    int32_t* field = id == PR_CLIPLEFT ? &FClipLeft : id == PR_CLIPTOP ? &FClipTop
                   : id == PR_CLIPWIDTH ? &FClipWidth : id == PR_CLIPHEIGHT ? &FClipHeight : nullptr;
    if (!field || *field == v)
        return;
    Invalidate();
    *field = v;
    Invalidate();
    ClipChanged();
}

void TZunoControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    const bool moved = left != FLeft || top != FTop;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Invalidate();
    if (moved)
        PositionChanged();
}

void TZunoControl::PositionChanged() {
    FMovedSinceStep = true;
    for (TZunoControl* c : FChildren)
        c->PositionChanged();
}

void TZunoControl::ClipChanged() {
    for (TZunoControl* c : FChildren)
        c->ClipChanged();
}

// The drawn position along one axis (ScreenLeft or ScreenTop). Sums are
// taken in 64 bits and the result kept to 32 bits.
int32_t TZunoControl::screenPos(bool vertical) {
    if (FPinned)
        return vertical ? FPinnedTop : FPinnedLeft;
    const int64_t pos = vertical ? FTop : FLeft;
    const int64_t offset = vertical ? FOffsetY : FOffsetX;
    const int64_t plus = vertical ? FPlusY : FPlusX;
    const int64_t size = vertical ? FHeight : FWidth;
    const int64_t z = vertical ? ZoomY() : ZoomX();
    const bool flip = vertical ? FlipV() : FlipH();
    TZunoControl* p = FParent;

    // A zoom-mapped child keeps its place on the parent's picture as that is scaled.
    if (FPosZoomed && p && !p->IsScreen() && p->DrawsImage() && z == (vertical ? p->ZoomY() : p->ZoomX()) &&
        DrawsImage() && !GetMotion()) {
        const int64_t pImage = vertical ? p->ImageHeight() : p->ImageWidth();
        const int64_t pSize = vertical ? p->FHeight : p->FWidth;
        const int64_t d = pSize > 0 ? std::max<int64_t>(1, std::llround(65536.0 * double(pImage) / double(pSize))) : 1;
        const int64_t own = vertical ? ImageHeight() : ImageWidth();
        const int64_t g = flip ? (pImage + offset - pos - own) * 65536 : (pos - offset) * 65536;
        int64_t e = g / d;
        if (g % d > 32767)
            ++e;
        const int64_t parentPos = vertical ? p->ScreenTop() : p->ScreenLeft();
        const int64_t scroll = vertical ? p->ScrollY() : p->ScrollX();
        return static_cast<int32_t>(e + parentPos + plus - scroll);
    }

    int64_t anchor = z == 256 ? offset : offset * z / 256;
    if (flip)
        anchor = size - offset * z / 256 - 1;
    int64_t x = FPosZoomed ? pos * z / 256 : pos;
    if (GetMotion())
        x = vertical ? FMotionY : FMotionX;
    if (p) {
        const int64_t parentPos = vertical ? p->ScreenTop() : p->ScreenLeft();
        const int64_t scroll = vertical ? p->ScrollY() : p->ScrollX();
        return static_cast<int32_t>(x + parentPos - scroll - anchor + plus);
    }
    return static_cast<int32_t>(x - anchor + plus);
}

TZunoControl::TPinnedPosition::TPinnedPosition(TZunoControl& control)
    : FControl(control), FWasPinned(control.FPinned) {
    if (FWasPinned)
        return;
    control.FPinnedLeft = control.screenPos(false);
    control.FPinnedTop = control.screenPos(true);
    control.FPinned = true;
}

int32_t TZunoControl::ScreenLeft() { return screenPos(false); }
int32_t TZunoControl::ScreenTop() { return screenPos(true); }

int32_t TZunoControl::LocalLeft() {
    TZunoControl* p = FParent;
    const bool pinned = FPinned;
    FParent = nullptr;
    FPinned = false;
    const int32_t v = screenPos(false);
    FParent = p;
    FPinned = pinned;
    return v;
}

int32_t TZunoControl::LocalTop() {
    TZunoControl* p = FParent;
    const bool pinned = FPinned;
    FParent = nullptr;
    FPinned = false;
    const int32_t v = screenPos(true);
    FParent = p;
    FPinned = pinned;
    return v;
}

TPoint TZunoControl::GetScreenPoint() {
    auto origin = [this](bool vertical) {
        const int64_t pos = vertical ? FTop : FLeft;
        const int64_t z = vertical ? ZoomY() : ZoomX();
        int64_t x = FPosZoomed ? pos * z / 256 : pos;
        if (GetMotion())
            x = vertical ? FMotionY : FMotionX;
        if (FParent)
            x += vertical ? int64_t(FParent->ScreenTop()) - FParent->ScrollY()
                          : int64_t(FParent->ScreenLeft()) - FParent->ScrollX();
        return static_cast<int32_t>(x + (vertical ? FPlusY : FPlusX));
    };
    return {origin(false), origin(true)};
}

TPoint TZunoControl::ClientToScreen(TPoint p) { return {p.X + ScreenLeft(), p.Y + ScreenTop()}; }
TPoint TZunoControl::ScreenToClient(TPoint p) { return {p.X - ScreenLeft(), p.Y - ScreenTop()}; }

// A rectangle from a position and a size whose far edge is kept inside 32 bits.
static TRect boundsRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    auto edge = [](int32_t a, int32_t size) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(a) + size, INT32_MIN, INT32_MAX));
    };
    return {x, y, edge(x, w), edge(y, h)};
}

TRect TZunoControl::GetClientRect() { return boundsRect(ScreenLeft(), ScreenTop(), FWidth, FHeight); }

TRect TZunoControl::GetClipRect() {
    if (FClipWidth < 1 || FClipHeight < 1)
        return {};
    const auto at = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
    };
    return boundsRect(at(ScreenLeft(), FClipLeft), at(ScreenTop(), FClipTop), FClipWidth, FClipHeight);
}

bool TZunoControl::ClipToClient(TRect& r) {
    r = intersectRect(r, GetClientRect());
    return !r.isEmpty();
}

//==============================================================================
// Visibility and input flags
//==============================================================================

void TZunoControl::SetVisible(bool v) {
    if (v == FVisible)
        return;
    if (!v) {
        Invalidate();
        FVisible = false;
        if (FOwner && FOwner->Focus() && (FOwner->Focus() == this || Contains(FOwner->Focus()))) {
            FOwner->SetFocus(nullptr);
            FOwner->RequestFocusSearch();
        }
    } else {
        FVisible = true;
        Invalidate();
        if (FOwner && !FOwner->Focus())
            FOwner->RequestFocusSearch();
    }
}

bool TZunoControl::IsShown() {
    if (!FOwner || GetBase() != FOwner->ActiveBase())
        return false;
    for (TZunoControl* c = this; c; c = c->FParent)
        if (!c->Visible())
            return false;
    return true;
}

void TZunoControl::SetHandleKey(bool v) {
    if (v == FHandleKey)
        return;
    FHandleKey = v;
    if (!FOwner)
        return;
    if (v && !FOwner->Focus())
        FOwner->RequestFocusSearch();
    if (!v && FOwner->Focus() == this)
        FOwner->RequestFocusSearch();
}

bool TZunoControl::AniPaused() {
    // The parts of a control (system names) pause with it.
    if (IsSystemName() && FParent)
        return FParent->AniPaused();
    return FAniPaused;
}

//==============================================================================
// Drawing
//==============================================================================

TCustomDIBX* TZunoControl::GetSurface() {
    if (FParent && !FParent->IsScreen())
        return FParent->ChildSurface();
    TZunoBase* b = GetBase();
    return b && FOwner ? FOwner->SurfaceOf(*b) : nullptr;
}

void TZunoControl::Invalidate() {
    if (!Visible())
        return;
    TZunoBase* base = GetBase();
    if (!base)
        return;
    TRect r = GetClientRect();
    if (FParent && !FParent->ClipToClient(r))
        return;
    const TRect clip = GetClipRect();
    if (!clip.isEmpty()) {
        r = intersectRect(r, clip);
        if (r.isEmpty())
            return;
    }
    ExpandDirtyRect(r);
    base->AddDirtyRect(r);
}

void TZunoControl::ExpandDirtyRect(TRect& r) {
    if (FParent)
        FParent->ExpandDirtyRect(r);
}

void TZunoControl::Draw() {
    TCustomDIBX* s = GetSurface();
    if (!s)
        return;
    const TRect saved = s->ClipRect;
    const TRect k = saved.Right == 0 ? TRect(0, 0, s->GetWidth(), s->GetHeight()) : saved;
    drawChildren(*s, intersectRect(GetClientRect(), k));
    s->ClipRect = saved;
    if (Highlight && GetCompoType() != LT_VIDEO)
        s->FrameRectAlpha(GetClientRect(), 2, 128, s->ColorToPixel(0x0000FF));
}

void TZunoControl::drawChildren(TCustomDIBX& s, const TRect& area) {
    if (area.isEmpty())
        return;
    for (TZunoControl* child : std::vector<TZunoControl*>(FChildren)) {
        if (!child->Visible())
            continue;
        if (!child->MayDrawIn(area))
            continue;
        TRect cr = area;
        const TRect cc = child->GetClipRect();
        if (!cc.isEmpty())
            cr = intersectRect(cr, cc);
        if (cr.isEmpty())
            continue;
        s.ClipRect = cr;
        child->Draw();
        s.ClearClip();
    }
}

//==============================================================================
// Input
//==============================================================================

TZunoControl* TZunoControl::HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) {
    if (!Visible() || !GetClientRect().contains(x, y))
        return nullptr;
    TZunoControl* hit = (accepted & imBit(FIgnoreMouse)) ? this : nullptr;
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if (TZunoControl* h = (*it)->HitTest(x, y, accepted))
            return h;
    return hit;
}

std::vector<std::string> TZunoControl::mouseArgs() {
    TZunoBase* b = GetBase();
    const int32_t mx = b ? b->Input.MouseX : 0, my = b ? b->Input.MouseY : 0;
    return {std::to_string(int64_t(mx) - ScreenLeft()), std::to_string(int64_t(my) - ScreenTop())};
}

void TZunoControl::DoLBtnDown() {
    TZunoBase* b = GetBase();
    if (!b || !FOwner)
        return;
    const bool takes = FIgnoreMouse == IM_NONE || FIgnoreMouse == IM_RCLICK;
    if (takes && !Paused() && FOwner->Events().FindPending(this, PR_ONLBTNDOWN) < 0 && !IsScreen() &&
        !EventsSuppressed()) {
        if (!FOnLBtnDown.empty()) {
            const auto args = mouseArgs();
            PostEvent(PR_ONLBTNDOWN, &args);
        }
        b->Capture |= TZunoBase::kCaptureLeft;
        b->Input.LPushed = false;
    } else if (takes && !IsScreen()) {
        b->Input.LPushed = false;
    }
}

void TZunoControl::DoRBtnDown() {
    TZunoBase* b = GetBase();
    if (!b || !FOwner)
        return;
    const bool takes = FIgnoreMouse == IM_NONE || FIgnoreMouse == IM_LCLICK;
    if (takes && !Paused() && FOwner->Events().FindPending(this, PR_ONRBTNDOWN) < 0 && !IsScreen() &&
        !EventsSuppressed()) {
        if (!FOnRBtnDown.empty()) {
            const auto args = mouseArgs();
            PostEvent(PR_ONRBTNDOWN, &args);
        }
        b->Capture |= TZunoBase::kCaptureRight;
        b->Input.RPushed = false;
    } else if (takes && !IsScreen()) {
        b->Input.RPushed = false;
    }
}

void TZunoControl::DoLBtnUp() {
    const auto args = mouseArgs();
    PostEvent(PR_ONLBTNUP, &args);
    if (TZunoBase* b = GetBase())
        b->Capture &= static_cast<uint8_t>(~TZunoBase::kCaptureLeft);
}

void TZunoControl::DoRBtnUp() {
    const auto args = mouseArgs();
    PostEvent(PR_ONRBTNUP, &args);
    if (TZunoBase* b = GetBase())
        b->Capture &= static_cast<uint8_t>(~TZunoBase::kCaptureRight);
}

void TZunoControl::DoMouseMove() {
    const auto args = mouseArgs();
    PostEvent(PR_ONMOUSEMOVE, &args);
}

void TZunoControl::DoMouseOut(TZunoControl*) { PostEvent(PR_ONMOUSEOUT); }
void TZunoControl::DoMouseIn(TZunoControl*) { PostEvent(PR_ONMOUSEIN); }

TZunoControl* TZunoControl::FindFocusable() {
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if ((*it)->Visible())
            if (TZunoControl* f = (*it)->FindFocusable())
                return f;
    return FHandleKey && !Paused() ? this : nullptr;
}

void TZunoControl::FireKeyDown(const std::vector<std::string>& codes) { PostEvent(PR_ONKEYDOWN, &codes); }
void TZunoControl::FireKeyUp(const std::vector<std::string>& codes) { PostEvent(PR_ONKEYUP, &codes); }
void TZunoControl::FireKeyRepeat(const std::vector<std::string>& codes) { PostEvent(PR_ONKEYREPEAT, &codes); }

//==============================================================================
// Life: motion, update
//==============================================================================

bool TZunoControl::IsPlaying() {
    TZunoMotion* m = GetMotion();
    return m && !m->Finished() && !Paused() && !AniPaused();
}

std::unique_ptr<TZunoMotion> TZunoControl::ReadMotion(const std::string& text) {
    if (!TZunoMotion::Loader)
        return nullptr;
    auto frames = TZunoMotion::Loader(text);
    if (!frames)
        return nullptr;
    auto motion = std::make_unique<TZunoMotion>(std::move(frames));
    motion->Restart();
    return motion;
}

void TZunoControl::LoadMotion(const std::string& text) {
    FreeMotion();
    FMotion = ReadMotion(text);
}

void TZunoControl::RestartMotion() {
    if (FMotion)
        FMotion->Restart();
}

// The control gets its own position and priority back, unless another
// motion (a button's state motion) is the one driving it.
void TZunoControl::FreeMotion() {
    if (!FMotion)
        return;
    const bool driving = GetMotion() == FMotion.get();
    FMotion.reset();
    if (!driving)
        return;
    SetMotionX(0);
    SetMotionY(0);
    SetPriorityBias(0);
}

bool TZunoControl::stepMotion() {
    TZunoMotion* m = GetMotion();
    if (!m)
        return false;
    const bool moved = std::exchange(FMovedSinceStep, false);
    const int32_t elapsed = FOwner ? FOwner->FrameElapsed() : 0;
    const bool ended = m->Step(*this, elapsed, AniPaused(), propBool(PR_REPEAT), moved);
    FMovedSinceStep = false;
    return ended;
}

int TZunoControl::Update() {
    if (stepMotion()) {
        if (AutoScrap())
            return 1;
        PostEvent(PR_ONPLAYEND);
    }
    return 0;
}

//==============================================================================
// Save record
//==============================================================================

void TZunoControl::SaveToStream(TStream& s) {
    TZunoComponent::SaveToStream(s);
    for (int32_t v : {FLeft, FTop, FWidth, FHeight, FOffsetX, FOffsetY})
        WriteInt(s, v);
    WriteBool(s, FPosZoomed);
    for (int32_t v : {FMotionX, FMotionY, FPlusX, FPlusY, FClipLeft, FClipTop, FClipWidth, FClipHeight})
        WriteInt(s, v);
    WriteBool(s, FAniPaused);
    WriteBool(s, FVisible);
    WriteInt(s, FColor);
    for (int32_t v : {FStoredRect.Left, FStoredRect.Top, FStoredRect.Right, FStoredRect.Bottom})
        WriteInt(s, v);
    WriteByte(s, FIgnoreMouse);
    WriteString(s, FCursor);
    for (const std::string* h : {&FOnMouseMove, &FOnMouseIn, &FOnMouseOut, &FOnLBtnDown, &FOnLBtnUp, &FOnRBtnDown,
                                 &FOnRBtnUp, &FOnWheelDown, &FOnWheelUp})
        WriteString(s, *h);
    WriteBool(s, FHandleKey);
    for (const std::string* h : {&FOnKeyDown, &FOnKeyUp, &FOnKeyRepeat, &FOnFocusIn, &FOnFocusOut})
        WriteString(s, *h);

    std::vector<TZunoControl*> saved;
    for (TZunoControl* c : FChildren)
        if (!c->IsPendingDelete() && c->GetCompoType() != LT_NONE && !c->IsSystemName())
            saved.push_back(c);
    WriteInt(s, static_cast<int32_t>(saved.size()));
    for (TZunoControl* c : saved) {
        WriteByte(s, c->GetCompoType());
        c->SaveToStream(s);
    }
}

void TZunoControl::LoadFromStream(TStream& s, int32_t version) {
    TZunoComponent::LoadFromStream(s, version);
    FLeft = ReadInt(s);
    FTop = ReadInt(s);
    FWidth = ReadInt(s);
    FHeight = ReadInt(s);
    FOffsetX = ReadInt(s);
    FOffsetY = ReadInt(s);
    FPosZoomed = ReadBool(s);
    if (version >= 130) {
        FMotionX = ReadInt(s);
        FMotionY = ReadInt(s);
        FPlusX = ReadInt(s);
        FPlusY = ReadInt(s);
    }
    if (version > 103) {
        FClipLeft = ReadInt(s);
        FClipTop = ReadInt(s);
        FClipWidth = ReadInt(s);
        FClipHeight = ReadInt(s);
        FAniPaused = ReadBool(s);
    }
    FVisible = ReadBool(s);
    FColor = ReadInt(s);
    FStoredRect.Left = ReadInt(s);
    FStoredRect.Top = ReadInt(s);
    FStoredRect.Right = ReadInt(s);
    FStoredRect.Bottom = ReadInt(s);
    FIgnoreMouse = ReadByte(s);
    FCursor = ReadString(s);
    FOnMouseMove = ReadString(s);
    if (version > 101)
        FOnMouseIn = ReadString(s);
    for (std::string* h : {&FOnMouseOut, &FOnLBtnDown, &FOnLBtnUp, &FOnRBtnDown, &FOnRBtnUp, &FOnWheelDown,
                           &FOnWheelUp})
        *h = ReadString(s);
    if (version > 117) {
        FHandleKey = ReadBool(s);
        for (std::string* h : {&FOnKeyDown, &FOnKeyUp, &FOnKeyRepeat, &FOnFocusIn, &FOnFocusOut})
            *h = ReadString(s);
    }
    loadChildren(s, version, FLoadDepth);
}

void TZunoControl::loadChildren(TStream& s, int32_t version, int depth) {
    const int32_t count = ReadInt(s);
    // A child record is at least its kind byte, name length and priority.
    checkCount(s, count, 9, "children");
    if (count > 0 && (!FOwner || depth >= kMaxLoadDepth))
        throw EZunoError::fromUtf8("オブジェクトの入れ子が深すぎます");
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t kind = ReadByte(s);
        TZunoObject* o = FOwner->CreateByKind(kind);
        TZunoControl* c = o ? o->AsControl() : nullptr;
        if (!c) {
            if (o)
                FOwner->DeleteObject(o);
            throw EZunoError::fromUtf8("セーブデータのオブジェクトの種類が不正です");
        }
        c->FLoadDepth = depth + 1;
        c->SetParent(this);
        c->LoadFromStream(s, version);
    }
    SortChildren();
}

} // namespace zuno
