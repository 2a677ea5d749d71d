// The image cache: one process-wide collection that turns an image file name
// into ready-to-draw frames, shared by every image control that shows it.
//
// TDrelItemFrame   one frame: its picture at the display's bit depth, its
//                  optional 8-bit mask, key colour, delay and trim offset
// TDrelItem        one loaded file under its cache key (the name, then "?m"
//                  when masks were asked for, then "?t" for trimming), with
//                  the owners that hold it; freed when the last owner lets go
// TDrelCollection  the items in a hashed, case-insensitive collection; the
//                  high-colour flag of the status data
//
// A file that is missing, damaged or holds no frame gives one 8 x 8 frame of
// colour 0 whose colour 0 is transparent: the game goes on without a picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/THashCollection.h"
#include "imaging/TDIBX.h"

namespace zuno {

class TStream;
class TVrFileManager;
class TDrelFrame;

struct TDrelItemFrame {
    std::unique_ptr<TDIBX> Picture;                 // display bit depth; TransparentColor is a pixel value
    std::unique_ptr<TDIBX> Mask;                    // 8 bits, or none
    int32_t             TransparentColor = -1;      // 0x00BBGGRR; negative = none
    int32_t             Delay = 1;                  // milliseconds, at least 1
    int32_t             OffsetX = 0, OffsetY = 0;   // top-left of the trimmed rectangle
};

class TDrelItem : public THashCollectionItem {
public:
    const std::string&  FileName() const { return FFileName; }
    bool                WantsMask() const { return FMask; }
    bool                WantsTrim() const { return FTrim; }
    int                 FrameCount() const { return static_cast<int>(FFrames.size()); }
    TDrelItemFrame&     Frames(int index) { return *FFrames[size_t(index)]; }
    int32_t             Width() const { return FWidth; }             // of the first frame's picture
    int32_t             Height() const { return FHeight; }
    int32_t             TotalDuration() const { return FTotalDuration; }
    int                 OwnerCount() const { return static_cast<int>(FOwners.size()); }
    bool                IsOwnedBy(const void* owner) const;

private:
    friend class TDrelCollection;
    std::string         FFileName;
    bool                FMask = false, FTrim = false;
    std::vector<std::unique_ptr<TDrelItemFrame>> FFrames;
    int32_t             FWidth = 0, FHeight = 0;
    int32_t             FTotalDuration = 0;
    std::vector<const void*> FOwners;
};

class TDrelCollection {
public:
    // The process-wide cache.
    static TDrelCollection& Instance();

                        TDrelCollection() = default;
                        ~TDrelCollection();
                        TDrelCollection(const TDrelCollection&) = delete;
    TDrelCollection&    operator=(const TDrelCollection&) = delete;

    // Where files are read and how protected Drel files are unscrambled;
    // without a file manager every file counts as missing.
    void                SetFileManager(TVrFileManager* files) { FFiles = files; }
    TVrFileManager*     FileManager() const { return FFiles; }
    int32_t             IdCode = 0;                 // the project's identification code
    int32_t             DisplayBits = 32;           // bit depth of the display's surfaces

    static std::string  MakeKey(const std::string& fileName, bool trim, bool mask);

    // The item of the key, loaded on first use; `owner` is added to its
    // owners once. Never fails: unreadable files give the empty frame.
    TDrelItem*          Acquire(const void* owner, const std::string& fileName, bool trim, bool mask);
    // Removes the owner; an item left without owners is freed with its pictures.
    void                Release(TDrelItem* item, const void* owner);
    TDrelItem*          Find(const std::string& key) const { return FItems.FindItem(key); }
    int                 Count() const { return FItems.Count(); }

    bool                HighColour() const { return FHighColour; }
    void                SetHighColour(bool flag);   // a change reloads every item in place
    void                ReloadAll();                // rebuilds every item's pictures from its file
    void                RestoreAll() { ReloadAll(); }   // the display has its surfaces back
    // The file changed (SaveScreen wrote it): every item of that file name
    // (ignoring case) is read again.
    void                ReloadFile(const std::string& fileName);

    // The persistent part (status data): one byte, the high-colour flag,
    // read only from data of version above 100.
    void                SaveToStream(TStream& s) const;
    void                LoadFromStream(TStream& s, int32_t version);

private:
    // Reads the item's file into its frames. false (frames untouched) when
    // the file is missing, damaged or empty.
    bool                load(TDrelItem& item);
    void                loadFrame(TDrelItem& item, int index, TDrelFrame& frame);
    void                makeEmptyFrame(TDrelItem& item);

    TTypedHashCollection<TDrelItem> FItems;
    TVrFileManager*     FFiles = nullptr;
    bool                FHighColour = false;
};

} // namespace zuno
