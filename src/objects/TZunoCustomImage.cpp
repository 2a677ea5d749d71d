#include "objects/TZunoCustomImage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "imaging/TDIBXWave.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

namespace {

int32_t clampInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The opacity of the additive operations: Alpha - 256, at most 255.
int32_t addStrength(int32_t alpha) { return std::min(alpha - 256, 255); }

} // namespace

TZunoCustomImage::TZunoCustomImage() : FPicture(std::make_unique<TDIBX>(0, 0, 32)) {}
TZunoCustomImage::~TZunoCustomImage() = default;

//==============================================================================
// Pictures
//==============================================================================

TCustomDIBX* TZunoCustomImage::GetImage() { return FImage ? FImage : FPicture.get(); }

TCustomDIBX* TZunoCustomImage::GetMask() { return FMask ? FMask : FOwnMask.get(); }

TDIBX& TZunoCustomImage::OwnPicture() {
    if (!FPicture)
        FPicture = std::make_unique<TDIBX>(0, 0, 32);
    return *FPicture;
}

TDIBX& TZunoCustomImage::CreateOwnMask() {
    TDIBX& p = OwnPicture();
    FOwnMask = std::make_unique<TDIBX>(p.GetWidth(), p.GetHeight(), 8);
    return *FOwnMask;
}

int32_t TZunoCustomImage::ImageWidth() {
    TCustomDIBX* p = GetImage();
    return p ? p->GetWidth() : 0;
}

int32_t TZunoCustomImage::ImageHeight() {
    TCustomDIBX* p = GetImage();
    return p ? p->GetHeight() : 0;
}

//==============================================================================
// Properties
//==============================================================================

bool TZunoCustomImage::ownsProperty(int id) {
    switch (id) {
    case PR_ALPHA: case PR_ZOOMX: case PR_ZOOMY: case PR_ANGLE: case PR_FLIPH: case PR_FLIPV:
    case PR_CAPTUREMASK: case PR_ORIGWIDTH: case PR_ORIGHEIGHT:
        return true;
    default:
        return false;
    }
}

bool TZunoCustomImage::ImplementsProperty(int id) const {
    return ownsProperty(id) || TZunoControl::ImplementsProperty(id);
}

TPropValue TZunoCustomImage::GetProp(int id) {
    switch (id) {
    case PR_ALPHA:       return TPropValue::ofInt(FAlpha);
    case PR_ZOOMX:       return TPropValue::ofInt(FZoomX);
    case PR_ZOOMY:       return TPropValue::ofInt(FZoomY);
    case PR_ANGLE:       return TPropValue::ofInt(FAngle);
    case PR_FLIPH:       return TPropValue::ofBool(FFlipH);
    case PR_FLIPV:       return TPropValue::ofBool(FFlipV);
    case PR_CAPTUREMASK: return TPropValue::ofBool(FCaptureMask);
    case PR_ORIGWIDTH:   return TPropValue::ofInt(ImageWidth());
    case PR_ORIGHEIGHT:  return TPropValue::ofInt(ImageHeight());
    default:             return TZunoControl::GetProp(id);
    }
}

void TZunoCustomImage::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_ALPHA:       SetAlpha(v.Int); return;
    case PR_ZOOMX:       SetZoomX(v.Int); return;
    case PR_ZOOMY:       SetZoomY(v.Int); return;
    case PR_ANGLE:       SetAngle(v.Int); return;
    case PR_FLIPH:       SetFlipH(v.Bool); return;
    case PR_FLIPV:       SetFlipV(v.Bool); return;
    case PR_CAPTUREMASK: SetCaptureMask(v.Bool); return;
    case PR_ORIGWIDTH:
    case PR_ORIGHEIGHT:  return;                                      // the picture's size is read only
    case PR_WIDTH:       SetDirectWidth(v.Int); return;
    case PR_HEIGHT:      SetDirectHeight(v.Int); return;
    case PR_POSZOOMED:   SetPosZoomedImage(v.Bool); return;
    default:             TZunoControl::SetProp(id, v); return;
    }
}

void TZunoCustomImage::SetAlpha(int32_t v) {
    if (v == FAlpha)
        return;
    FAlpha = v;
    Invalidate();
}

void TZunoCustomImage::sizeDirtyWithChildren() {
    FSizeDirty = true;
    for (TZunoControl* c : FChildren)
        if (auto* image = dynamic_cast<TZunoCustomImage*>(c); image && image->PosZoomed())
            image->FSizeDirty = true;
}

void TZunoCustomImage::SetZoomX(int32_t v) {
    v = std::max(v, 1);
    if (v == FZoomX)
        return;
    Invalidate();
    FZoomX = v;
    sizeDirtyWithChildren();
}

void TZunoCustomImage::SetZoomY(int32_t v) {
    v = std::max(v, 1);
    if (v == FZoomY)
        return;
    Invalidate();
    FZoomY = v;
    sizeDirtyWithChildren();
}

void TZunoCustomImage::SetPosZoomedImage(bool v) {
    if (v == FPosZoomed)
        return;
    SetPosZoomed(v);
    sizeDirtyWithChildren();
}

void TZunoCustomImage::SetAngle(int32_t v) {
    if (v == FAngle)
        return;
    Invalidate();
    FAngle = v;
    Invalidate();
}

void TZunoCustomImage::SetFlipH(bool v) {
    if (v == FFlipH)
        return;
    Invalidate();
    FFlipH = v;
    RecomputeSize();
    Invalidate();
    PositionChanged();
}

void TZunoCustomImage::SetFlipV(bool v) {
    if (v == FFlipV)
        return;
    Invalidate();
    FFlipV = v;
    RecomputeSize();
    Invalidate();
    PositionChanged();
}

void TZunoCustomImage::SetDirectWidth(int32_t v) {
    SetWidth(v);
    if (!GetMotion())
        FZoomX = 0;
}

void TZunoCustomImage::SetDirectHeight(int32_t v) {
    SetHeight(v);
    if (!GetMotion())
        FZoomY = 0;
}

//==============================================================================
// Size
//==============================================================================

// The size along one axis. A zoom-mapped child (PosZoomed, its parent an
// image with the same zoom) takes its edges from the parent's
// picture-to-control scale in 16.16 fixed point, the near edge rounded to
// the nearest pixel as the drawn position is and the far edge rounded up,
// so it stays aligned with the parent's scaled picture.
int32_t TZunoCustomImage::computeSize(bool vertical) {
    TCustomDIBX* picture = GetImage();
    const int64_t own = picture ? (vertical ? picture->GetHeight() : picture->GetWidth()) : 0;
    const int64_t zoom = vertical ? FZoomY : FZoomX;
    TZunoControl* p = FParent;
    if (FPosZoomed && p && !p->IsScreen() && p->DrawsImage() && zoom == (vertical ? p->ZoomY() : p->ZoomX())) {
        const int64_t pImage = vertical ? p->ImageHeight() : p->ImageWidth();
        const int64_t pSize = vertical ? p->Height() : p->Width();
        if (pImage > 0 && pSize > 0) {
            const int64_t d = std::max<int64_t>(1, std::llround(65536.0 * double(pImage) / double(pSize)));
            const int64_t pos = vertical ? FTop : FLeft;
            const int64_t offset = vertical ? FOffsetY : FOffsetX;
            const bool flip = vertical ? FFlipV : FFlipH;
            const int64_t g0 = (flip ? pImage + offset - pos - own : pos - offset) * 65536;
            const int64_t g1 = g0 + own * 65536;
            int64_t e0 = g0 / d;
            if (g0 % d > 32767)
                ++e0;
            int64_t e1 = g1 / d;
            if (g1 % d > 0)
                ++e1;
            return clampInt(e1 - e0);
        }
    }
    return clampInt(own * zoom / 256);
}

void TZunoCustomImage::RecomputeWidth() {
    if (GetMotion())
        return;
    FWidth = SourceText().empty() && !FImage ? 0 : computeSize(false);
}

void TZunoCustomImage::RecomputeHeight() {
    if (GetMotion())
        return;
    FHeight = SourceText().empty() && !FImage ? 0 : computeSize(true);
}

void TZunoCustomImage::UpdateAutoSize() {
    if (!FSizeDirty)
        return;
    RecomputeWidth();
    RecomputeHeight();
}

void TZunoCustomImage::TakePicture(TCustomDIBX& picture) {
    // Assign draws into the surface as it is: it must have the picture's
    // size and depth first.
    TDIBX& own = OwnPicture();
    own.SetSize(picture.GetWidth(), picture.GetHeight(), picture.GetBitCount());
    own.TransparentColor = -1;
    own.Assign(picture);
    FImage = nullptr;
    FMask = nullptr;
    FOwnMask.reset();
    FTransparentColor = -1;
}

void TZunoCustomImage::RecomputeSize() {
    RecomputeWidth();
    RecomputeHeight();
}

//==============================================================================
// Drawing
//==============================================================================

TPoint TZunoCustomImage::AnchorPoint() {
    TCustomDIBX* picture = GetImage();
    const int64_t w = picture ? picture->GetWidth() : 0, h = picture ? picture->GetHeight() : 0;
    const int64_t ax = FFlipH ? w - FOffsetX - 1 : FOffsetX;
    const int64_t ay = FFlipV ? h - FOffsetY - 1 : FOffsetY;
    return {clampInt(ScreenLeft() + ax), clampInt(ScreenTop() + ay)};
}

TRect TZunoCustomImage::DrawnArea() {
    if (FAngle == 0)
        return GetClientRect();
    TCustomDIBX* picture = GetImage();
    if (!picture)
        return {};
    const TPoint a = AnchorPoint();
    return TCustomDIBX::GetRotateBounds(a.X, a.Y, TRect(0, 0, picture->GetWidth(), picture->GetHeight()), FOffsetX,
                                        FOffsetY, FFlipV, FFlipH, FAngle & 0xFF, FZoomX, FZoomY);
}

void TZunoCustomImage::invalidateArea(TRect r) {
    // Objects are registered from creation until they are freed: an owner
    // means registered.
    if (!Visible() || !FOwner)
        return;
    TCustomDIBX* picture = GetImage();
    if (!picture || picture->IsEmpty())
        return;
    TZunoBase* base = GetBase();
    if (!base)
        return;
    if (FParent && !FParent->ClipToClient(r))
        return;
    const TRect clip = GetClipRect();
    if (!clip.isEmpty()) {
        r = intersectRect(r, clip);
        if (r.isEmpty())
            return;
    }
    if (r.isEmpty())
        return;
    ExpandDirtyRect(r);
    base->AddDirtyRect(r);
}

void TZunoCustomImage::Invalidate() { invalidateArea(DrawnArea()); }

void TZunoCustomImage::Draw() {
    TCustomDIBX* picture = GetImage();
    if (picture && FWidth > 0 && FHeight > 0 && !picture->IsEmpty() && GetSurface()) {
        BeforeDraw();
        DrawImage();
        AfterDraw();
    }
    TZunoControl::Draw();
}

void TZunoCustomImage::DrawImage() {
    TCustomDIBX* s = GetSurface();
    TCustomDIBX* picture = GetImage();
    if (!s || !picture || FAlpha < 1 || FWidth < 1 || FHeight < 1)
        return;
    TCustomDIBX* mask = GetMask();
    const int32_t pw = picture->GetWidth(), ph = picture->GetHeight();
    const TRect whole(0, 0, pw, ph);
    const bool keyed = picture->TransparentColor != -1;

    if (FAngle != 0) {
        const TPoint a = AnchorPoint();
        if (mask)
            s->DrawRotateMask(a.X, a.Y, FAlpha, *mask, FFlipV, FFlipH, FAngle & 0xFF, FOffsetX, FOffsetY, FZoomX,
                              FZoomY, whole, *picture);
        else
            s->DrawRotate(a.X, a.Y, FAlpha, FFlipV, FFlipH, keyed, FAngle & 0xFF, FOffsetX, FOffsetY, FZoomX, FZoomY,
                          whole, *picture);
        return;
    }

    if (pw == FWidth && ph == FHeight) {
        auto drawAt = [&](int32_t x, int32_t y, const TRect& src) {
            if (FAlpha < 255) {
                if (mask)
                    s->DrawAlphaMask(x, y, FAlpha, *mask, FFlipV, FFlipH, src, *picture);
                else
                    s->DrawAlpha(x, y, FAlpha, FFlipV, FFlipH, keyed, src, *picture);
            } else if (FAlpha == 255) {
                if (mask)
                    s->DrawMask(x, y, *mask, FFlipV, FFlipH, src, *picture);
                else
                    s->Draw(x, y, FFlipV, FFlipH, keyed, src, *picture);
            } else {
                if (mask)
                    s->DrawAddMask(x, y, addStrength(FAlpha), *mask, FFlipV, FFlipH, src, *picture);
                else
                    s->DrawAdd(x, y, addStrength(FAlpha), FFlipV, FFlipH, src, *picture);
            }
        };
        const int32_t left = ScreenLeft(), top = ScreenTop();
        if (!picture->DrawRects.empty() && !dynamic_cast<TDIBXWave*>(picture)) {
            // Only the areas of the frame that hold something are drawn.
            const TRect drawable = s->GetDrawableRect();
            for (const TRect& r : std::vector<TRect>(picture->DrawRects)) {
                const int32_t x = clampInt(FFlipH ? int64_t(left) + pw - r.Right : int64_t(left) + r.Left);
                const int32_t y = clampInt(FFlipV ? int64_t(top) + ph - r.Bottom : int64_t(top) + r.Top);
                if (intersectRect(TRect(x, y, clampInt(int64_t(x) + r.width()), clampInt(int64_t(y) + r.height())),
                                  drawable).isEmpty())
                    continue;
                drawAt(x, y, r);
            }
        } else {
            drawAt(left, top, whole);
        }
        return;
    }

    // Scaled: stretched over the drawn rectangle; no separate opaque case.
    const TRect dest = GetClientRect();
    if (mask) {
        if (FAlpha > 255)
            s->StretchDrawAddMask(dest, *picture, addStrength(FAlpha), *mask, FFlipV, FFlipH, whole);
        else
            s->StretchDrawAlphaMask(dest, *picture, FAlpha, *mask, FFlipV, FFlipH, whole);
    } else {
        if (FAlpha > 255)
            s->StretchDrawAdd(dest, *picture, addStrength(FAlpha), FFlipV, FFlipH, keyed, whole);
        else
            s->StretchDrawAlpha(dest, *picture, FAlpha, FFlipV, FFlipH, keyed, whole);
    }
}

//==============================================================================
// Input
//==============================================================================

// The point mapped into the mask: u = (x - left) * 256 / ZoomX, mirrored
// with the flips; a mask value above 127 hits. A control whose zoom was set
// to 0 (its size written directly) maps by its size instead.
bool TZunoCustomImage::maskHit(int32_t x, int32_t y) {
    TCustomDIBX* mask = GetMask();
    if (!FCaptureMask || !mask)
        return true;
    const int64_t dx = int64_t(x) - ScreenLeft(), dy = int64_t(y) - ScreenTop();
    const int64_t mw = mask->GetWidth(), mh = mask->GetHeight();
    auto map = [](int64_t d, int64_t zoom, int64_t size, int64_t maskSize) -> int64_t {
        if (zoom > 0)
            return d * 256 / zoom;
        return size > 0 ? d * maskSize / size : -1;
    };
    int64_t u = map(dx, FZoomX, FWidth, mw), v = map(dy, FZoomY, FHeight, mh);
    if (FFlipH)
        u = mw - u - 1;
    if (FFlipV)
        v = mh - v - 1;
    if (u < 0 || v < 0 || u >= mw || v >= mh)
        return false;
    return mask->GetPixel(int32_t(u), int32_t(v)) > 127;
}

TZunoControl* TZunoCustomImage::HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) {
    if (!Visible())
        return nullptr;
    const TRect client = GetClientRect();
    if (!client.contains(x, y))
        return nullptr;
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if (TZunoControl* h = (*it)->HitTest(x, y, accepted))
            return h;
    if (!(accepted & imBit(FIgnoreMouse)))
        return nullptr;
    if (FAngle == 0)
        return maskHit(x, y) ? this : nullptr;
    // Turned back about the anchor point, the point must fall on the
    // unturned picture.
    const TPoint a = AnchorPoint();
    const double theta = -double(FAngle & 0xFF) * 2.0 * std::numbers::pi / 256.0;
    const double dx = double(x) - a.X, dy = double(y) - a.Y;
    const int64_t rx = std::llround(a.X + std::cos(theta) * dx - std::sin(theta) * dy);
    const int64_t ry = std::llround(a.Y + std::sin(theta) * dx + std::cos(theta) * dy);
    if (rx < client.Left || rx >= client.Right || ry < client.Top || ry >= client.Bottom)
        return nullptr;
    return maskHit(int32_t(rx), int32_t(ry)) ? this : nullptr;
}

//==============================================================================
// Life
//==============================================================================

int TZunoCustomImage::Update() {
    const int answer = TZunoControl::Update();
    if (FSizeDirty) {
        FSizeDirty = false;
        Invalidate();
        RecomputeSize();
        Invalidate();
    }
    return answer;
}

void TZunoCustomImage::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteInt(s, FAlpha);
    WriteInt(s, FZoomX);
    WriteInt(s, FAngle);
    WriteBool(s, FFlipH);
    WriteBool(s, FFlipV);
    WriteBool(s, FCaptureMask);
    WriteInt(s, FZoomY);
}

void TZunoCustomImage::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FAlpha = ReadInt(s);
    FZoomX = ReadInt(s);
    FAngle = ReadInt(s);
    FFlipH = ReadBool(s);
    FFlipV = ReadBool(s);
    FCaptureMask = ReadBool(s);
    // Records before the second zoom scaled both axes alike.
    FZoomY = version > 103 ? ReadInt(s) : FZoomX;
}

void TZunoCustomImage::ReleaseSurfaces() {
    FPicture.reset();
    FImage = nullptr;
}

void TZunoCustomImage::RestoreSurfaces() {
    if (!FPicture)
        FPicture = std::make_unique<TDIBX>(0, 0, 32);
}

std::string fileExtensionLower(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    const size_t sep = name.find_last_of("\\/");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return {};
    return lowerCaseSjis(std::string_view(name).substr(dot));
}

} // namespace zuno
