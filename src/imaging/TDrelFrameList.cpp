// Frames and the frame list: the parts that are not the Drel reader
// (DrelReader.cpp) or writer (DrelWriter.cpp).
#include "imaging/TDrelFrameList.h"

#include <algorithm>
#include <cstring>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TStream.h"
#include "imaging/ImageCodecs.h"

namespace zuno {

// ---------------------------------------------------------------- TDrelFrame

void TDrelFrame::SetTransparentValue(int32_t value) {
    FTransparentValue = value;
    if (value < 0)
        FTransparentColor = -1;
    else
        FTransparentColor = Bitmap.PixelToColor(uint32_t(value) & (Bitmap.IsPalette() ? 0xFF : 0xFFFFFFFF));
}

TDrelLayer* TDrelFrame::AddLayer() {
    auto layer = std::make_unique<TDrelLayer>();
    layer->Frame = this;
    layer->Name = "Layer";
    layer->Bitmap.SetSize(Bitmap.Width(), Bitmap.Height(), Bitmap.BitCount());
    layer->Bitmap.Palette = Bitmap.Palette;
    Layers.push_back(std::move(layer));
    return Layers.back().get();
}

void TDrelFrame::MakeMaskFromTransparent() {
    Mask = std::make_unique<TDrelBitmap>(Bitmap.Width(), Bitmap.Height(), 8);
    const uint32_t colourMask = Bitmap.ColorMask();
    const bool keyed = FTransparentValue >= 0;
    const uint32_t key = uint32_t(FTransparentValue) & colourMask;
    for (int32_t y = 0; y < Bitmap.Height(); ++y) {
        uint8_t* m = Mask->Row(y);
        for (int32_t x = 0; x < Bitmap.Width(); ++x)
            m[x] = keyed && (Bitmap.GetPixel(x, y) & colourMask) == key ? 0 : 255;
    }
}

TRect TDrelFrame::Crop() {
    const int32_t w = Bitmap.Width(), h = Bitmap.Height();
    const TRect whole(0, 0, w, h);
    if (!Mask && FTransparentValue < 0)
        return whole;
    const uint32_t colourMask = Bitmap.ColorMask();
    const uint32_t key = uint32_t(FTransparentValue) & colourMask;
    int32_t left = w, top = h, right = 0, bottom = 0;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* m = Mask ? Mask->Row(y) : nullptr;
        for (int32_t x = 0; x < w; ++x) {
            bool visible = m ? m[x] != 0 : (Bitmap.GetPixel(x, y) & colourMask) != key;
            if (visible) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = y + 1;
            }
        }
    }
    const TRect box(left, top, right, bottom);
    if (box.isEmpty() || box == whole)
        return whole;
    Bitmap = Bitmap.Cropped(left, top, box.width(), box.height());
    if (Mask)
        Mask = std::make_unique<TDrelBitmap>(Mask->Cropped(left, top, box.width(), box.height()));
    for (std::vector<TRect>* list : {&DrawRects, &SecondRects}) {
        std::vector<TRect> kept;
        for (const TRect& r : *list) {
            TRect c = intersectRect(r, box);
            if (!c.isEmpty())
                kept.push_back(c.offset(-left, -top));
        }
        *list = std::move(kept);
    }
    return box;
}

// ---------------------------------------------------------------- TDrelFrameList

TDrelFrame* TDrelFrameList::AddFrame() {
    FFrames.push_back(std::make_unique<TDrelFrame>(this));
    return FFrames.back().get();
}

void TDrelFrameList::Delete(int index) {
    if (index >= 0 && index < Count())
        FFrames.erase(FFrames.begin() + index);
}

void TDrelFrameList::Clear() {
    FFrames.clear();
    Version = 0;
    BackdropColor = 0;
    FirstLayerOpaque = false;
}

void TDrelFrameList::loadSingle(TDecodedImage& image) {
    Clear();
    TDrelFrame* frame = AddFrame();
    frame->Bitmap = std::move(image.Bitmap);
    frame->Mask = std::move(image.Mask);
    frame->SetTransparentValue(image.TransparentValue);
}

namespace {

// The stream's bytes from its position: in place for memory streams.
struct StreamBytes {
    const uint8_t*       data = nullptr;
    size_t               size = 0;
    std::vector<uint8_t> copy;

    explicit StreamBytes(TStream& s) {
        int64_t start = s.GetPosition();
        if (auto* m = dynamic_cast<TKsMemoryStream*>(&s)) {
            size = size_t(std::max<int64_t>(0, m->GetSize() - start));
            data = m->Memory() + std::min<int64_t>(start, m->GetSize());
            s.Seek(0, soEnd);
            return;
        }
        int64_t n = std::max<int64_t>(0, s.Remaining());
        copy.resize(size_t(n));
        s.ReadBuffer(copy.data(), n);
        data = copy.data();
        size = copy.size();
    }
};

} // namespace

void TDrelFrameList::LoadPngFromStream(TStream& stream) {
    StreamBytes bytes(stream);
    TDecodedImage image = readPng(bytes.data, bytes.size);
    loadSingle(image);
}

void TDrelFrameList::LoadBmpFromStream(TStream& stream) {
    StreamBytes bytes(stream);
    TDecodedImage image = readBmp(bytes.data, bytes.size);
    loadSingle(image);
}

namespace {

enum class TImageKind { none, drel, png, bmp };

TImageKind imageKindOf(const std::string& name) {
    std::string lower = lowerCaseSjis(name);
    auto endsWith = [&](const char* ext) {
        size_t n = std::strlen(ext);
        return lower.size() >= n && lower.compare(lower.size() - n, n, ext) == 0;
    };
    if (endsWith(".drl"))
        return TImageKind::drel;
    if (endsWith(".png"))
        return TImageKind::png;
    if (endsWith(".bmp") || endsWith(".dib"))
        return TImageKind::bmp;
    return TImageKind::none;
}

} // namespace

void TDrelFrameList::LoadFromNamedStream(TStream& stream, const std::string& name, bool firstFrameOnly) {
    switch (imageKindOf(name)) {
    case TImageKind::drel: LoadFromStream(stream, firstFrameOnly); break;
    case TImageKind::png: LoadPngFromStream(stream); break;
    case TImageKind::bmp: LoadBmpFromStream(stream); break;
    case TImageKind::none: Clear(); break;
    }
}

void TDrelFrameList::LoadFromFile(const std::string& path, bool firstFrameOnly) {
    if (imageKindOf(path) == TImageKind::none) {
        Clear();
        return;
    }
    TKsMemoryStream stream;
    stream.LoadFromFile(path);
    LoadFromNamedStream(stream, path, firstFrameOnly);
}

} // namespace zuno
