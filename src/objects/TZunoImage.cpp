// TZunoImage: a still picture, copied out of the image cache.
#include <algorithm>

#include "core/StreamFields.h"
#include "objects/TZunoCustomImage.h"

namespace zuno {

void TZunoImage::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    FSource = text;
    loadPicture();
}

void TZunoImage::SetBrightness(int32_t v) {
    v = std::clamp(v, 0, 255);
    if (v == FBrightness)
        return;
    FBrightness = v;
    loadPicture();
}

void TZunoImage::loadPicture() {
    Invalidate();
    TDrelCollection& cache = TDrelCollection::Instance();
    TDrelItem* item = cache.Acquire(this, FSource, false, false);
    FWidth = static_cast<int32_t>(std::clamp<int64_t>(int64_t(item->Width()) * FZoomX / 256, INT32_MIN, INT32_MAX));
    FHeight = static_cast<int32_t>(std::clamp<int64_t>(int64_t(item->Height()) * FZoomY / 256, INT32_MIN, INT32_MAX));
    TDrelItemFrame& frame = item->Frames(0);
    TDIBX& own = OwnPicture();
    TDIBX& picture = *frame.Picture;
    own.SetSize(picture.GetWidth(), picture.GetHeight(), picture.GetBitCount());
    own.ClearClip();
    own.Assign(picture);
    own.TransparentColor = picture.TransparentColor;
    own.DrawRects = picture.DrawRects;
    FTransparentColor = frame.TransparentColor;
    if (frame.Mask) {
        TDIBX& mask = CreateOwnMask();
        mask.SetSize(frame.Mask->GetWidth(), frame.Mask->GetHeight(), 8);
        mask.Assign(*frame.Mask);
    } else {
        FreeOwnMask();
    }
    cache.Release(item, this);

    if (!own.IsEmpty() && FBrightness < 255) {
        const int32_t grey = 255 - FBrightness;
        own.FillRectSub(TRect(0, 0, own.GetWidth(), own.GetHeight()),
                        own.ColorToPixel(grey | (grey << 8) | (grey << 16)));
    }
    Invalidate();
}

void TZunoImage::SaveToStream(TStream& s) {
    TZunoCustomImage::SaveToStream(s);
    WriteString(s, FSource);
    WriteInt(s, FBrightness);
}

void TZunoImage::LoadFromStream(TStream& s, int32_t version) {
    TZunoCustomImage::LoadFromStream(s, version);
    const std::string source = ReadString(s);
    const int32_t brightness = ReadInt(s);
    FSource.clear();
    SetSource(source);
    SetBrightness(brightness);
}

void TZunoImage::RestoreSurfaces() {
    TZunoCustomImage::RestoreSurfaces();
    if (!FImage)
        loadPicture();
}

} // namespace zuno
