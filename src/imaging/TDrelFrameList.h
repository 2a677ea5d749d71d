// The Drel layered image format: a list of frames (animation cells), each
// composed from layers when the file is read. Every layer has a colour image
// and an optional 8-bit mask, stored zlib-compressed (kind 0), raw (kind 1) or,
// for colour images, as JPEG (kind 2). Animated files may code an image in
// blocks that repeat blocks of earlier images. Protected files store rows
// (or the block table) in an order permuted by the identification code.
//
// TDrelLayer      one layer; exists while a file is read (or when a caller
//                 builds a layered frame to write it)
// TDrelFrame      one frame: the composed picture, its optional mask and
//                 its two rectangle lists
// TDrelFrameList  reads and writes the format; also loads PNG and Windows
//                 bitmaps into a single frame
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TDrelBitmap.h"
#include "imaging/TRect.h"

namespace zuno {

class TStream;
struct TDecodedImage;
class TDrelFrame;
class TDrelFrameList;

// Stored compression kinds.
enum TDrelCompression : int32_t {
    dcDefault = 0,      // zlib ("Default compression")
    dcNone = 1,         // raw rows ("No compression")
    dcJpeg = 2,         // JPEG colour images, zlib masks ("Nonreversible compression")
};

class TDrelLayer {
public:
    TDrelFrame*         Frame = nullptr;            // the frame it belongs to
    std::string         Name;
    bool                Visible = true;
    int32_t             TransparentColor = -1;      // pixel value skipped when composing; -1 = none
    int32_t             Opacity = 255;              // 0 .. 255
    bool                MaskEnabled = false;
    TDrelBitmap         Bitmap;                     // sized and formatted like the frame
    std::unique_ptr<TDrelBitmap> Mask;              // 8-bit, or none

    bool                HasMask() const { return Mask != nullptr; }
};

class TDrelFrame {
public:
    explicit            TDrelFrame(TDrelFrameList* owner) : FOwner(owner) {}

    TDrelFrameList*     Owner() const { return FOwner; }
    std::string         Name;
    int32_t             Delay = 100;                // display time in an animation, milliseconds
    TDrelBitmap         Bitmap;                     // the composed picture
    std::unique_ptr<TDrelBitmap> Mask;              // 8-bit opacity (255 opaque), or none
    std::vector<TRect>  DrawRects;                  // areas holding visible content
    std::vector<TRect>  SecondRects;
    std::vector<std::unique_ptr<TDrelLayer>> Layers;  // empty after loading (composed away)

    bool                HasMask() const { return Mask != nullptr; }
    int32_t             TransparentValue() const { return FTransparentValue; }  // pixel value; -1 none
    int32_t             TransparentColor() const { return FTransparentColor; }  // 0x00BBGGRR; -1 none
    void                SetTransparentValue(int32_t value);   // also updates TransparentColor

    TDrelLayer*         AddLayer();                 // a new layer sized like the frame
    // Mask 255 everywhere, 0 where the pixel equals the transparent value.
    void                MakeMaskFromTransparent();
    // Trims the frame to the bounding box of its visible pixels; returns where
    // the result sits in the uncropped picture (the whole frame when nothing
    // was cut).
    TRect               Crop();

private:
    TDrelFrameList*     FOwner;
    int32_t             FTransparentValue = -1;
    int32_t             FTransparentColor = -1;
};

class TDrelFrameList {
public:
    explicit            TDrelFrameList(int32_t idCode = 0) : FIdCode(idCode) {}
                        TDrelFrameList(const TDrelFrameList&) = delete;
    TDrelFrameList&     operator=(const TDrelFrameList&) = delete;

    int32_t             Version = 0;                // version of the file read
    int32_t             BackdropColor = 0;          // 0x00BBGGRR
    bool                FirstLayerOpaque = false;
    int32_t             IdCode() const { return FIdCode; }
    void                SetIdCode(int32_t code) { FIdCode = code; }

    int                 Count() const { return static_cast<int>(FFrames.size()); }
    TDrelFrame*         Frames(int index) const { return FFrames[size_t(index)].get(); }
    TDrelFrame*         AddFrame();
    void                Delete(int index);
    void                Clear();

    // Drel data from the stream's position; with firstFrameOnly only frame 0
    // is read. Data not starting with "Drel" is read as a version-0 file.
    void                LoadFromStream(TStream& stream, bool firstFrameOnly = false);
    // By the lower-cased extension of `name`: ".drl" Drel, ".png" PNG,
    // ".bmp"/".dib" Windows bitmap; anything else gives an empty list.
    void                LoadFromFile(const std::string& path, bool firstFrameOnly = false);  // path in UTF-8
    void                LoadFromNamedStream(TStream& stream, const std::string& name, bool firstFrameOnly = false);
    void                LoadPngFromStream(TStream& stream);
    void                LoadBmpFromStream(TStream& stream);

    // Writes the version-106 format.
    void                SaveToStream(TStream& stream, int32_t compressionKind = dcDefault, int32_t jpegQuality = 70);
    void                SaveToFile(const std::string& path, int32_t compressionKind = dcDefault,
                                   int32_t jpegQuality = 70);   // temporary file, then rename

private:
    void                loadSingle(TDecodedImage& image);

    int32_t             FIdCode = 0;
    std::vector<std::unique_ptr<TDrelFrame>> FFrames;
};

} // namespace zuno
