#include "objects/TZunoBase.h"

#include "imaging/TDIBX.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

TZunoBase::~TZunoBase() = default;

const TZunoBase::TScreenDefaults& TZunoBase::screenDefaults() {
    static const TScreenDefaults d{propertyDefault(PR_ZOOMX).Int,    propertyDefault(PR_ZOOMY).Int,
                                   propertyDefault(PR_FLIPH).Bool,   propertyDefault(PR_FLIPV).Bool,
                                   propertyDefault(PR_SCROLLX).Int,  propertyDefault(PR_SCROLLY).Int};
    return d;
}

void TZunoBase::AddDirtyRect(const TRect& r) { FDirty.Add(r, TRect(0, 0, FWidth, FHeight)); }

TDIBX& TZunoBase::OwnSurface() {
    const int32_t w = std::max(FWidth, 1), h = std::max(FHeight, 1);
    if (!FSurface)
        FSurface = std::make_unique<TDIBX>(w, h, 32);
    else if (FSurface->GetWidth() != w || FSurface->GetHeight() != h)
        FSurface->SetSize(w, h, 32);
    return *FSurface;
}

void TZunoBase::ReleaseSurfaces() { FSurface.reset(); }

void TZunoBase::Draw() {
    if (!Visible())
        return;
    TCustomDIBX* s = GetSurface();
    if (!s)
        return;
    const TRect screen = GetClientRect();
    const TRect clip = GetClipRect();
    for (const TRect& dirty : FDirty.Rects()) {
        s->ClearClip();
        s->ClipRect = dirty;
        if (FColor >= 0) {
            TRect fill = intersectRect(screen, dirty);
            if (!clip.isEmpty())
                fill = intersectRect(fill, clip);
            if (!fill.isEmpty())
                s->FillRect(fill, s->ColorToPixel(FColor));
        }
        TZunoControl::Draw();
    }
    s->ClearClip();
}

} // namespace zuno
