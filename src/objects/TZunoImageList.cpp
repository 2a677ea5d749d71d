#include "objects/TZunoImageList.h"

#include <algorithm>
#include <cstdlib>

namespace zuno {

//==============================================================================
// TZunoImageData
//==============================================================================

TCustomDIBX* TZunoImageData::GetPicture() {
    if (FBrightness != 0 && FCopy)
        return FCopy.get();
    return FFrame->Picture.get();
}

void TZunoImageData::SetBrightness(int32_t b) {
    if (b == FBrightness)
        return;
    FBrightness = b;
    if (b != 0)
        makeCopy(b);
}

void TZunoImageData::ReleaseCopy() { FCopy.reset(); }

void TZunoImageData::RestoreCopy() {
    if (FBrightness != 0)
        makeCopy(FBrightness);
}

// The copy is the frame lightened (FillRectAdd) or darkened (FillRectSub)
// by grey |b|. The key colour goes through the same change on a one-pixel
// probe first, so the pixels that were transparent stay transparent.
void TZunoImageData::makeCopy(int32_t b) {
    TDIBX& picture = *FFrame->Picture;
    const int32_t w = picture.GetWidth(), h = picture.GetHeight(), bits = picture.GetBitCount();
    if (!FCopy)
        FCopy = std::make_unique<TDIBX>(w, h, bits);
    else if (FCopy->GetWidth() != w || FCopy->GetHeight() != h || FCopy->GetBitCount() != bits)
        FCopy->SetSize(w, h, bits);
    FCopy->ClearClip();
    const int32_t grey = std::min<int64_t>(std::llabs(int64_t(b)), 255);
    const uint32_t colour = FCopy->ColorToPixel(grey | (grey << 8) | (grey << 16));
    auto shade = [&](const TRect& r) {
        if (b > 0)
            FCopy->FillRectAdd(r, colour);
        else
            FCopy->FillRectSub(r, colour);
    };
    if (FFrame->TransparentColor >= 0) {
        FCopy->SetPixel(0, 0, uint32_t(picture.TransparentColor));
        shade(TRect(0, 0, 1, 1));
        FCopy->TransparentColor = int32_t(FCopy->GetPixel(0, 0));
    } else {
        FCopy->TransparentColor = -1;
    }
    FCopy->Assign(picture);
    // The copy shows the same areas of the frame as the frame itself.
    FCopy->DrawRects = picture.DrawRects;
    FCopy->SecondRects = picture.SecondRects;
    shade(TRect(0, 0, w, h));
}

//==============================================================================
// TZunoImageList
//==============================================================================

void TZunoImageList::Load(const std::string& fileName, bool mask) {
    Clear();
    FItem = TDrelCollection::Instance().Acquire(this, fileName, false, mask);
    for (int i = 0; i < FItem->FrameCount(); ++i)
        FData.push_back(std::make_unique<TZunoImageData>(FItem->Frames(i)));
    FIndex = 0;
    FTimeLeft = FData.empty() ? 0 : addClamped(FData[0]->Frame().Delay, 1);
}

void TZunoImageList::Clear() {
    FData.clear();
    if (FItem)
        TDrelCollection::Instance().Release(FItem, this);
    FItem = nullptr;
    FIndex = 0;
    FTimeLeft = 0;
}

void TZunoImageList::SetFrame(int32_t i) {
    if (FData.empty())
        return;
    FIndex = std::clamp(i, 0, Count() - 1);
    FTimeLeft = addClamped(Data(FIndex).Frame().Delay, 1);
}

bool TZunoImageList::Advance(int32_t elapsedMs) {
    if (Count() <= 1)
        return false;
    FTimeLeft = addClamped(FTimeLeft, -int64_t(elapsedMs));
    if (FTimeLeft >= 1)
        return false;
    if (!IsValidIndex(FIndex))
        FIndex = 0;
    // Every delay is at least 1 and a wrap ends the loop: at most one pass.
    while (FTimeLeft < 1) {
        FIndex = (FIndex + 1) % Count();
        if (FIndex == 0) {
            FTimeLeft = Data(0).Frame().Delay;
            break;
        }
        FTimeLeft = addClamped(FTimeLeft, Data(FIndex).Frame().Delay);
    }
    return true;
}

void TZunoImageList::SetBrightness(int32_t b) {
    for (auto& d : FData)
        d->SetBrightness(b);
}

void TZunoImageList::ReleaseCopies() {
    for (auto& d : FData)
        d->ReleaseCopy();
}

void TZunoImageList::RestoreCopies() {
    for (auto& d : FData)
        d->RestoreCopy();
}

} // namespace zuno
