#include "objects/TDrelCollection.h"

#include <algorithm>

#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "imaging/TDrelFrameCopy.h"
#include "imaging/TDrelFrameList.h"

namespace zuno {

namespace {

// Side of the picture that stands in for a missing or unreadable file.
constexpr int32_t kEmptySide = 8;

int32_t surfaceBits(int32_t bits) {
    return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32 ? bits : 32;
}

} // namespace

//==============================================================================
// TDrelItem
//==============================================================================

bool TDrelItem::IsOwnedBy(const void* owner) const {
    return std::find(FOwners.begin(), FOwners.end(), owner) != FOwners.end();
}

//==============================================================================
// TDrelCollection
//==============================================================================

TDrelCollection& TDrelCollection::Instance() {
    static TDrelCollection cache;
    return cache;
}

TDrelCollection::~TDrelCollection() = default;

std::string TDrelCollection::MakeKey(const std::string& fileName, bool trim, bool mask) {
    std::string key = fileName;
    if (mask)
        key += "?m";
    if (trim)
        key += "?t";
    return key;
}

TDrelItem* TDrelCollection::Acquire(const void* owner, const std::string& fileName, bool trim, bool mask) {
    const std::string key = MakeKey(fileName, trim, mask);
    TDrelItem* item = FItems.FindItem(key);
    if (!item) {
        item = FItems.AddItem(key);
        item->FFileName = fileName;
        item->FTrim = trim;
        item->FMask = mask;
        if (!load(*item))
            makeEmptyFrame(*item);
    }
    if (owner && !item->IsOwnedBy(owner))
        item->FOwners.push_back(owner);
    return item;
}

void TDrelCollection::Release(TDrelItem* item, const void* owner) {
    if (!item || item->Collection() != &FItems)
        return;
    std::erase(item->FOwners, owner);
    if (item->FOwners.empty())
        FItems.Delete(item->Index());
}

void TDrelCollection::SetHighColour(bool flag) {
    if (flag == FHighColour)
        return;
    FHighColour = flag;
    ReloadAll();
}

void TDrelCollection::ReloadAll() {
    for (int i = 0; i < FItems.Count(); ++i)
        load(*FItems.Items(i));
}

void TDrelCollection::ReloadFile(const std::string& fileName) {
    const std::string key = lowerCaseSjis(fileName);
    for (int i = 0; i < FItems.Count(); ++i)
        if (lowerCaseSjis(FItems.Items(i)->FileName()) == key)
            load(*FItems.Items(i));
}

void TDrelCollection::SaveToStream(TStream& s) const { WriteBool(s, FHighColour); }

void TDrelCollection::LoadFromStream(TStream& s, int32_t version) {
    if (version > 100)
        SetHighColour(ReadBool(s));
}

//==============================================================================
// Loading
//==============================================================================

void TDrelCollection::makeEmptyFrame(TDrelItem& item) {
    auto f = std::make_unique<TDrelItemFrame>();
    f->Picture = std::make_unique<TDIBX>(kEmptySide, kEmptySide, surfaceBits(DisplayBits));
    f->Picture->Fill(0);
    f->Picture->TransparentColor = int32_t(f->Picture->ColorToPixel(0));
    f->TransparentColor = 0;
    if (item.FMask) {
        f->Mask = std::make_unique<TDIBX>(kEmptySide, kEmptySide, 8);
        f->Mask->Fill(0);
    }
    item.FFrames.clear();
    item.FFrames.push_back(std::move(f));
    item.FWidth = kEmptySide;
    item.FHeight = kEmptySide;
    item.FTotalDuration = 1;
}

bool TDrelCollection::load(TDrelItem& item) {
    // The frames are decoded at the file's own depth and converted to the
    // display's depth as they are copied into the item's pictures, so the
    // high-colour flag needs no separate path here.
    TDrelFrameList list(IdCode);
    try {
        if (!FFiles || item.FFileName.empty() || !FFiles->Exists(item.FFileName))
            return false;
        TKsMemoryStream bytes;
        FFiles->ReadFile(bytes, item.FFileName);
        bytes.SetPosition(0);
        list.LoadFromNamedStream(bytes, item.FFileName);
    } catch (const EZunoError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (list.Count() == 0)
        return false;

    if (item.FMask)
        for (int i = 0; i < list.Count(); ++i)
            list.Frames(i)->MakeMaskFromTransparent();

    // A first load builds the frames; a reload refreshes the frames that
    // exist (image lists hold them), whatever the file now holds.
    const bool first = item.FFrames.empty();
    const int count = first ? list.Count() : std::min(list.Count(), item.FrameCount());
    int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        if (first)
            item.FFrames.push_back(std::make_unique<TDrelItemFrame>());
        loadFrame(item, i, *list.Frames(i));
        total += item.Frames(i).Delay;
    }
    for (int i = count; i < item.FrameCount(); ++i)
        total += item.Frames(i).Delay;
    item.FTotalDuration = static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
    item.FWidth = item.Frames(0).Picture->GetWidth();
    item.FHeight = item.Frames(0).Picture->GetHeight();
    return true;
}

void TDrelCollection::loadFrame(TDrelItem& item, int index, TDrelFrame& frame) {
    TDrelItemFrame& f = item.Frames(index);
    f.OffsetX = f.OffsetY = 0;
    if (item.FTrim) {
        const TRect r = frame.Crop();
        f.OffsetX = r.Left;
        f.OffsetY = r.Top;
    }
    if (!f.Picture)
        f.Picture = std::make_unique<TDIBX>(1, 1, surfaceBits(DisplayBits));
    else if (f.Picture->GetBitCount() != surfaceBits(DisplayBits))
        f.Picture->SetSize(1, 1, surfaceBits(DisplayBits));
    copyFrameToSurface(frame, *f.Picture);
    f.TransparentColor = frame.TransparentColor();
    f.Picture->TransparentColor = f.TransparentColor < 0 ? -1 : int32_t(f.Picture->ColorToPixel(f.TransparentColor));
    if (frame.HasMask()) {
        if (!f.Mask)
            f.Mask = std::make_unique<TDIBX>(1, 1, 8);
        copyFrameMaskToSurface(frame, *f.Mask);
    }
    // A frame that had a mask keeps that picture on a reload without one:
    // controls may be showing it.
    // Delays below 1 (0 in the file, or damaged values) show the frame for 1 ms.
    f.Delay = std::max(frame.Delay, 1);
}

} // namespace zuno
