// TZunoMapImage: regions, hover pictures, the choice and the save record.
#include "objects/TZunoMapImage.h"

#include <algorithm>

#include "archive/TVrFileManager.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

TZunoMapImage::TZunoMapImage() = default;

TZunoMapImage::~TZunoMapImage() = default;

//==============================================================================
// Sources and regions
//==============================================================================

void TZunoMapImage::loadLayer(TLayer& layer, const std::string& text) {
    layer.Source = text;
    layer.Frames.Clear();
    layer.Masks.clear();
    layer.MaskRegion.clear();
    if (!text.empty())
        layer.Frames.Load(text, true);
    layer.Masks.resize(size_t(layer.Frames.Count()));
    layer.MaskRegion.assign(size_t(layer.Frames.Count()), -2);
    Invalidate();
}

void TZunoMapImage::SetSource(const std::string& text) {
    if (text == FBase.Source)
        return;
    Invalidate();
    loadLayer(FBase, text);
    if (FBase.Frames.Count() > 0) {
        TCustomDIBX* p = FBase.Frames.Data(0).GetPicture();
        SetWidth(p ? p->GetWidth() : 0);
        SetHeight(p ? p->GetHeight() : 0);
    } else {
        SetWidth(0);
        SetHeight(0);
    }
    Invalidate();
}

void TZunoMapImage::SetHoverSource(const std::string& text) {
    if (text == FHover.Source)
        return;
    loadLayer(FHover, text);
}

void TZunoMapImage::SetMapSource(const std::string& text) {
    if (text == FMapSource)
        return;
    FMapSource = text;
    invalidateRegion(FRegion);
    FRegion = -1;
    FRegions.clear();
    for (TLayer* layer : {&FBase, &FHover})
        std::fill(layer->MaskRegion.begin(), layer->MaskRegion.end(), -2);
    TVrFileManager* files = TDrelCollection::Instance().FileManager();
    if (text.empty() || !files || !files->Exists(text))
        return;
    TKsMemoryStream data;
    files->ReadFile(data, text);
    FRegions = readMapRegions(data.Data().data(), data.Data().size());
}

void TZunoMapImage::invalidateRegion(int32_t i) {
    if (i < 0 || i >= int32_t(FRegions.size()) || !Visible() || FWidth <= 0)
        return;
    TZunoBase* b = GetBase();
    if (!b)
        return;
    TRect box = FRegions[size_t(i)].Bounds();
    const int32_t x = ScreenLeft(), y = ScreenTop();
    box = TRect(box.Left + x, box.Top + y, box.Right + x, box.Bottom + y);
    if (!ClipToClient(box))
        return;
    const TRect clip = GetClipRect();
    if (!clip.isEmpty()) {
        box = TRect(std::max(box.Left, clip.Left), std::max(box.Top, clip.Top), std::min(box.Right, clip.Right),
                    std::min(box.Bottom, clip.Bottom));
        if (box.isEmpty())
            return;
    }
    b->AddDirtyRect(box);
}

void TZunoMapImage::SetRegion(int32_t i) {
    if (i == FRegion)
        return;
    const bool waitingOut = FOwner && FOwner->Events().FindPending(this, PR_ONMAPOUT) >= 0;
    if (FRegion >= 0 && FRegion < int32_t(FRegions.size()) && !waitingOut) {
        const std::vector<std::string> args{FRegions[size_t(FRegion)].Name, std::to_string(FRegion)};
        PostEvent(PR_ONMAPOUT, &args);
    }
    invalidateRegion(FRegion);
    FRegion = i;
    FHover.Frames.SetFrame(0);
    invalidateRegion(FRegion);
    const bool waitingIn = FOwner && FOwner->Events().FindPending(this, PR_ONMAPIN) >= 0;
    if (i >= 0 && i < int32_t(FRegions.size()) && !waitingIn) {
        const std::vector<std::string> args{FRegions[size_t(i)].Name, std::to_string(i)};
        PostEvent(PR_ONMAPIN, &args);
    }
}

void TZunoMapImage::reportChoice(const std::string& text, int32_t index) {
    if (FOwner)
        FOwner->ReportChoice(text, index);
}

void TZunoMapImage::Select() {
    if (FRegion < 0 || FRegion >= int32_t(FRegions.size()))
        return;
    const std::string& name = FRegions[size_t(FRegion)].Name;
    reportChoice(name, FRegion);
    if (!FEventsSuppressed && !(FOwner && FOwner->Events().FindPending(this, PR_ONSELECT) >= 0)) {
        const std::vector<std::string> args{name, std::to_string(FRegion)};
        PostEvent(PR_ONSELECT, &args);
    }
    if (FAutoScrap)
        FClosing = 100;
}

void TZunoMapImage::scrap() {
    reportChoice({}, -1);
    FClosing = 100;
}

//==============================================================================
// Input
//==============================================================================

int32_t TZunoMapImage::regionAtMouse() {
    TZunoBase* b = GetBase();
    if (!b)
        return -1;
    const int32_t x = b->Input.MouseX - ScreenLeft(), y = b->Input.MouseY - ScreenTop();
    for (size_t i = 0; i < FRegions.size(); ++i)
        if (FRegions[i].Contains(x, y))
            return int32_t(i);
    return -1;
}

void TZunoMapImage::DoMouseMove() {
    if (!FEventsSuppressed)
        SetRegion(regionAtMouse());
    TZunoControl::DoMouseMove();
}

void TZunoMapImage::DoMouseOut(TZunoControl* newHover) {
    SetRegion(-1);
    TZunoControl::DoMouseOut(newHover);
}

void TZunoMapImage::DoLBtnDown() {
    if (!FEventsSuppressed && (FIgnoreMouse == IM_NONE || FIgnoreMouse == IM_RCLICK) && !FPaused) {
        // A press can come in the step the mouse arrived, before its move was heard.
        SetRegion(regionAtMouse());
        if (FRegion >= 0)
            Select();
    }
    TZunoControl::DoLBtnDown();
}

void TZunoMapImage::DoKeys() {
    if (FEventsSuppressed || !FOwner)
        return;
    const int32_t n = int32_t(FRegions.size());
    if (n > 0 && (FOwner->KeyRepeated(38) || FOwner->KeyRepeated(37)))
        SetRegion(FRegion <= 0 ? n - 1 : FRegion - 1);
    else if (n > 0 && (FOwner->KeyRepeated(39) || FOwner->KeyRepeated(40)))
        SetRegion(FRegion < 0 || FRegion >= n - 1 ? 0 : FRegion + 1);
    else if ((FOwner->KeyPushed(13) || FOwner->KeyPushed(32)) && FRegion >= 0)
        Select();
    else if (FRClickScrap && FOwner->KeyPushed(27))
        scrap();
}

bool TZunoMapImage::DoRClickScrap() {
    if (FEventsSuppressed || (FIgnoreMouse != IM_NONE && FIgnoreMouse != IM_LCLICK))
        return false;
    FEventsSuppressed = true;
    scrap();
    return true;
}

//==============================================================================
// Update and drawing
//==============================================================================

int TZunoMapImage::Update() {
    if (const int answer = TZunoControl::Update(); answer != 0)
        return answer;
    if (FClosing == 100) {
        FEventsSuppressed = true;
        FClosing = 101;
        return 0;
    }
    if (FClosing == 101)
        return 1;
    if (AniPaused())
        return 0;
    const int32_t elapsed = FOwner ? FOwner->FrameElapsed() : 0;
    if (FBase.Frames.Advance(elapsed))
        Invalidate();
    if (FRegion >= 0 && FHover.Frames.Advance(elapsed))
        invalidateRegion(FRegion);
    return 0;
}

// The mask of the layer's current frame for the current region: the region
// (hover layer) or everything but it (base layer), cut by the frame's own
// mask. Null when the base layer shows everywhere as loaded.
TDIBX* TZunoMapImage::layerMask(TLayer& layer, bool hover) {
    const int32_t f = layer.Frames.FrameIndex();
    if (!layer.Frames.IsValidIndex(f))
        return nullptr;
    TZunoImageData& data = layer.Frames.Data(f);
    TCustomDIBX* picture = data.GetPicture();
    TDIBX* loaded = data.GetMask();
    if (!hover && FRegion < 0)
        return loaded;
    std::unique_ptr<TDIBX>& mask = layer.Masks[size_t(f)];
    if (mask && layer.MaskRegion[size_t(f)] == FRegion)
        return mask.get();
    const int32_t w = picture ? picture->GetWidth() : 0, h = picture ? picture->GetHeight() : 0;
    if (!mask)
        mask = std::make_unique<TDIBX>();
    mask->SetSize(w, h, 8);
    const uint8_t outside = hover ? 0 : 255, inside = hover ? 255 : 0;
    const bool haveRegion = FRegion >= 0 && FRegion < int32_t(FRegions.size());
    const TMapRegion* region = haveRegion ? &FRegions[size_t(FRegion)] : nullptr;
    const TRect box = region ? region->Bounds() : TRect();
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const bool in = region && box.contains(x, y) && region->Contains(x, y);
            uint8_t v = in ? inside : outside;
            if (loaded && loaded->GetWidth() == w && loaded->GetHeight() == h)
                v &= static_cast<uint8_t>(loaded->GetPixel(x, y));
            mask->SetPixel(x, y, v);
        }
    layer.MaskRegion[size_t(f)] = FRegion;
    return mask.get();
}

void TZunoMapImage::drawLayer(TCustomDIBX& s, TLayer& layer, bool hover) {
    const int32_t f = layer.Frames.FrameIndex();
    if (!layer.Frames.IsValidIndex(f))
        return;
    TZunoImageData& data = layer.Frames.Data(f);
    data.SetBrightness(FBrightness);
    TCustomDIBX* picture = data.GetPicture();
    if (!picture || picture->IsEmpty())
        return;
    TDIBX* mask = layerMask(layer, hover);
    const TRect src(0, 0, picture->GetWidth(), picture->GetHeight());
    const int32_t x = ScreenLeft(), y = ScreenTop();
    const bool keyed = picture->TransparentColor != -1;
    const int32_t opacity = FAlpha >= 256 ? FAlpha - 256 : FAlpha;
    if (mask && FAlpha >= 256) {
        s.DrawAddMask(x, y, opacity, *mask, false, false, src, *picture);
    } else if (mask) {
        if (opacity >= 255)
            s.DrawMask(x, y, *mask, false, false, src, *picture);
        else
            s.DrawAlphaMask(x, y, opacity, *mask, false, false, src, *picture);
    } else if (FAlpha >= 256) {
        s.DrawAdd(x, y, opacity, false, false, src, *picture);
    } else {
        s.DrawAlpha(x, y, opacity, false, false, keyed, src, *picture);
    }
}

void TZunoMapImage::Draw() {
    TCustomDIBX* s = GetSurface();
    if (s && Visible() && FAlpha >= 1 && FAlpha <= 511 && FWidth > 0 && FHeight > 0) {
        drawLayer(*s, FBase, false);
        if (FRegion >= 0)
            drawLayer(*s, FHover, true);
    }
    TZunoControl::Draw();
}

//==============================================================================
// Properties
//==============================================================================

namespace {

bool mapImageOwns(int id) {
    switch (id) {
    case PR_SOURCE: case PR_HOVERSOURCE: case PR_MAPSOURCE: case PR_ALPHA: case PR_BRIGHTNESS: case PR_ONMAPIN:
    case PR_ONMAPOUT: case PR_AUTOSCRAP: case PR_RCLICKSCRAP: case PR_ONIDLE: case PR_PAUSED: case PR_ONSELECT:
    case PR_REPEAT:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TZunoMapImage::ImplementsProperty(int id) const { return mapImageOwns(id) || TZunoControl::ImplementsProperty(id); }

TPropValue TZunoMapImage::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:      return TPropValue::ofStr(FBase.Source);
    case PR_HOVERSOURCE: return TPropValue::ofStr(FHover.Source);
    case PR_MAPSOURCE:   return TPropValue::ofStr(FMapSource);
    case PR_ALPHA:       return TPropValue::ofInt(FAlpha);
    case PR_BRIGHTNESS:  return TPropValue::ofInt(FBrightness);
    case PR_ONMAPIN:     return TPropValue::ofStr(FOnMapIn);
    case PR_ONMAPOUT:    return TPropValue::ofStr(FOnMapOut);
    case PR_AUTOSCRAP:   return TPropValue::ofBool(FAutoScrap);
    case PR_RCLICKSCRAP: return TPropValue::ofBool(FRClickScrap);
    case PR_ONIDLE:      return TPropValue::ofStr(FOnIdle);
    case PR_PAUSED:      return TPropValue::ofBool(FPaused);
    case PR_ONSELECT:    return TPropValue::ofStr(FOnSelect);
    case PR_REPEAT:      return TPropValue::ofBool(true);
    default:             return TZunoControl::GetProp(id);
    }
}

void TZunoMapImage::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_SOURCE:      SetSource(v.Str); return;
    case PR_HOVERSOURCE: SetHoverSource(v.Str); return;
    case PR_MAPSOURCE:   SetMapSource(v.Str); return;
    case PR_ALPHA:       FAlpha = v.Int; Invalidate(); return;
    case PR_BRIGHTNESS:  FBrightness = v.Int; Invalidate(); return;
    case PR_ONMAPIN:     FOnMapIn = v.Str; return;
    case PR_ONMAPOUT:    FOnMapOut = v.Str; return;
    case PR_AUTOSCRAP:   FAutoScrap = v.Bool; return;
    case PR_RCLICKSCRAP: FRClickScrap = v.Bool; return;
    case PR_ONIDLE:      FOnIdle = v.Str; return;
    case PR_PAUSED:      FPaused = v.Bool; return;
    case PR_ONSELECT:    FOnSelect = v.Str; return;
    case PR_REPEAT:      return;
    default:             TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// Save record
//==============================================================================

void TZunoMapImage::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FBase.Source);
    WriteString(s, FHover.Source);
    WriteString(s, FMapSource);
    WriteInt(s, FAlpha);
    WriteInt(s, FBrightness);
    WriteString(s, FOnMapIn);
    WriteString(s, FOnMapOut);
    WriteBool(s, FAutoScrap);
    WriteBool(s, FRClickScrap);
    WriteString(s, FOnIdle);
    WriteBool(s, FPaused);
    WriteString(s, FOnSelect);
    WriteInt(s, FClosing);
}

void TZunoMapImage::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    const int32_t width = FWidth, height = FHeight;
    SetSource(ReadString(s));
    SetHoverSource(ReadString(s));
    SetMapSource(ReadString(s));
    // The record's size stands (a map image may have been sized by its script).
    SetWidth(width);
    SetHeight(height);
    FAlpha = ReadInt(s);
    FBrightness = ReadInt(s);
    FOnMapIn = ReadString(s);
    FOnMapOut = ReadString(s);
    FAutoScrap = ReadBool(s);
    FRClickScrap = ReadBool(s);
    if (version > 103) {
        FOnIdle = ReadString(s);
        FPaused = ReadBool(s);
        FOnSelect = ReadString(s);
    }
    if (version > 114)
        FClosing = ReadInt(s);
}

} // namespace zuno
