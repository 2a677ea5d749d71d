// The frames an image control shows from one cache item.
//
// TZunoImageData  one frame: the cache frame and, while a brightness other
//                 than 0 is applied, a lightened or darkened copy of it whose
//                 key colour follows the same change
// TZunoImageList  the frame data of one item, the current frame and the
//                 milliseconds it still shows; it holds the item in the
//                 cache (as its own owner, so two lists of one control never
//                 free an item under each other) and releases it on Clear
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/TDrelCollection.h"

namespace zuno {

class TZunoImageData {
public:
    explicit            TZunoImageData(TDrelItemFrame& frame) : FFrame(&frame) {}

    TDrelItemFrame&     Frame() { return *FFrame; }
    // The copy while a brightness is applied, else the cache frame's picture.
    TCustomDIBX*        GetPicture();
    TDIBX*              GetMask() { return FFrame->Mask.get(); }
    int32_t             Brightness() const { return FBrightness; }
    // Brings the picture to brightness b (> 0 lighter, < 0 darker, 0 as loaded).
    void                SetBrightness(int32_t b);
    void                ReleaseCopy();                                 // frees the copy
    void                RestoreCopy();                                 // re-applies the brightness

private:
    void                makeCopy(int32_t b);

    TDrelItemFrame*     FFrame;
    std::unique_ptr<TDIBX> FCopy;
    int32_t             FBrightness = 0;
};

class TZunoImageList {
public:
                        TZunoImageList() = default;
                        ~TZunoImageList() { Clear(); }
                        TZunoImageList(const TZunoImageList&) = delete;
    TZunoImageList&     operator=(const TZunoImageList&) = delete;

    // Empties the list and loads the file's frames (no trim; with `mask`
    // the cache item that carries masks): frame 0, with its delay + 1
    // milliseconds left.
    void                Load(const std::string& fileName, bool mask = false);
    void                Clear();                                       // and releases the item

    int                 Count() const { return static_cast<int>(FData.size()); }
    TZunoImageData&     Data(int index) { return *FData[size_t(index)]; }
    bool                IsValidIndex(int32_t i) const { return i >= 0 && i < Count(); }
    TDrelItem*          Item() const { return FItem; }

    int32_t             FrameIndex() const { return FIndex; }
    int32_t             TimeLeft() const { return FTimeLeft; }
    // Clamps i to the last frame; that frame's delay + 1 milliseconds left.
    void                SetFrame(int32_t i);
    // Steps the frames by the elapsed milliseconds, wrapping to frame 0 (which
    // starts afresh); true when the frame changed. Lists of at most one frame
    // never change.
    bool                Advance(int32_t elapsedMs);

    void                SetBrightness(int32_t b);                      // every frame
    void                ReleaseCopies();
    void                RestoreCopies();

private:
    TDrelItem*          FItem = nullptr;
    std::vector<std::unique_ptr<TZunoImageData>> FData;
    int32_t             FIndex = 0;
    int32_t             FTimeLeft = 0;
};

// a + b kept inside 32 bits.
inline int32_t addClamped(int32_t a, int64_t b) {
    const int64_t r = int64_t(a) + b;
    return r > INT32_MAX ? INT32_MAX : r < INT32_MIN ? INT32_MIN : static_cast<int32_t>(r);
}

} // namespace zuno
