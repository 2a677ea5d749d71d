// The tracks of a frame-list film (cinema and motion files). A track animates
// one thing over a span of frames (1/60 s): an image, a caption, a tiled
// image, a filled box, a particle emitter, a fire, a sound, or the transition
// between the two screens of a private registry.
//
// TCustomFrameList          the common header: parent, length, start, period,
//                           priority, mirroring, the other-screen flag
//   TCustomImageFrameList   position, hotspot, angle, zoom, alpha, clip
//     TImageFrameList       ... and an image file (its pictures are frames)
//       TTileFrameList      ... and a tiled size and scroll
//     TLabelFrameList       ... and a caption text with its font
//   TRectFrameList
//     TBoxFrameList         a box: position, size, alpha, colours, clip
//     TParticleFrameList    a particle emitter and its parameters
//     TFireFrameList        a fire and its zoom
//   TWipeFrameList          a screen transition
//   TSoundFrameList         a sound with its volume and balance
//
// Every kind lists its stored fields once (Fields); the binary reader and
// writer and the text form of zunotool walk that one list, so they cannot
// disagree. Start values of a track that follows another (its parent) are
// the parent's end values: the file stores them, the player ignores them.
#pragma once

#include <cstdint>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TRect.h"

namespace zuno {

class TFilmManager;
class TZunoObject;

// Arithmetic on values read from files: sums wrap as 32-bit values do,
// frame spans saturate, and doubles become integers only within range.
inline int32_t wrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(uint32_t(a) + uint32_t(b)); }
inline int32_t wrapSub(int32_t a, int32_t b) { return static_cast<int32_t>(uint32_t(a) - uint32_t(b)); }
inline int32_t saturate32(int64_t v) {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}
inline int32_t truncToInt32(double v) {
    if (!(v == v))
        return 0;                                           // NaN
    return v <= double(INT32_MIN) ? INT32_MIN : v >= double(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(v);
}
class TZunoControl;
class TDrelItem;
struct TDrelItemFrame;

enum TFrameListKind : uint8_t {
    FK_IMAGE = 0,
    FK_LABEL = 1,
    FK_BOX = 2,
    FK_WIPE = 3,
    FK_SOUND = 4,
    FK_TILE = 5,
    FK_PARTICLE = 6,
    FK_FIRE = 7,
};
constexpr int FrameListKindCount = 8;

// The name of a kind in the text form ("image", "box" ...); empty above 7.
const char* frameListKindName(int kind);
int frameListKindOfName(const std::string& name);       // -1 when unknown

// A walk over a track's stored fields, in file order. Version is the
// file's version; the fields of older versions are visited only when the
// version has them. Copy is set while a block is visited that the file
// stores a second time (text forms leave it out).
class TFrameListFields {
public:
    virtual             ~TFrameListFields() = default;
    virtual void        Int(const char* name, int32_t& v) = 0;
    virtual void        Pair(const char* name, int32_t& a, int32_t& b) = 0;   // point or size
    virtual void        Byte(const char* name, uint8_t& v) = 0;
    virtual void        Double(const char* name, double& v) = 0;
    virtual void        Text(const char* name, std::string& v) = 0;
    virtual void        Skip(int bytes) = 0;            // bytes that carry nothing
    int32_t             Version = 108;
    bool                Copy = false;
};

// An interpolated rectangle for clipping: empty (all 0) means none.
struct TClipBlock {
    int32_t             StartX = 0, StartY = 0, StartW = 0, StartH = 0;
    int32_t             EndX = 0, EndY = 0, EndW = 0, EndH = 0;
    uint8_t             CurveH = 0, CurveV = 0;
    void                Fields(TFrameListFields& f);
    void                Chain(const TClipBlock& parent);
};

class TCustomFrameList {
public:
    explicit            TCustomFrameList(TFilmManager& manager) : FManager(manager) {}
    virtual             ~TCustomFrameList();

    virtual uint8_t     Kind() const = 0;
    // The stored fields after the common header.
    virtual void        KindFields(TFrameListFields& f) = 0;
    void                Fields(TFrameListFields& f);    // header, then the kind's fields
    // After reading: the conversions of older versions.
    virtual void        AfterLoad(int32_t version);
    // The start values a follower takes from its parent (same kind only).
    virtual void        Chain(const TCustomFrameList& parent) { (void)parent; }
    virtual void        Prepare() {}
    // Shows the track at `frame`; true when it is active there.
    virtual bool        Update(int32_t frame) = 0;
    virtual void        ReleaseObject();
    virtual int32_t     FrameAt(int32_t offset) const { (void)offset; return 0; }
    virtual void        SetPaused(bool paused) { (void)paused; }

    int32_t             AbsoluteStart() const;
    int32_t             AbsoluteEnd() const { return saturate32(int64_t(AbsoluteStart()) + Length); }
    bool                Contains(int32_t frame) const { return frame >= AbsoluteStart() && frame < AbsoluteEnd(); }
    // The divisor of the interpolation: the length, one more with a follower.
    int32_t             Divisor() const { return saturate32(int64_t(Length) + (Follower ? 1 : 0)); }
    const TCustomFrameList* ChainFirst() const;
    TZunoObject*        Object() const { return FObject; }

    // Stored header.
    int32_t             ParentIndex = -1;
    int32_t             Length = 0;
    int32_t             Reserved = 0;
    int32_t             Start = 0;
    int32_t             Period = 0;
    int32_t             Priority = 0;
    uint8_t             FlipH = 0, FlipV = 0, OtherScreen = 0;

    // Links, set after loading.
    TCustomFrameList*   Parent = nullptr;
    TCustomFrameList*   Follower = nullptr;

protected:
    // Cinema mode: the track's object, created when missing (of `kind`, in
    // the manager's registry, named as an internal object).
    TZunoObject*        ensureObject(uint8_t kind);
    // The control a frame writes into: the motion's target in motion mode,
    // else the track's own object of `kind` (created when missing).
    TZunoControl*       frameControl(uint8_t kind);
    // Cinema mode in private playback: the screen of the object.
    void                placeOnScreen(TZunoControl& control);
    // Parent (owner cinema or screen) of a cinema-mode control.
    void                adoptControl(TZunoControl& control);
    void                setInt(TZunoObject& o, int id, int32_t v);
    void                setBool(TZunoObject& o, int id, bool v);
    void                setStr(TZunoObject& o, int id, const std::string& v);
    void                setClip(TZunoObject& o, const TRect& clip);

    TFilmManager&       FManager;
    TZunoObject*        FObject = nullptr;               // cinema mode, while active
};

// Values every image, caption and tile track computes at an active frame.
struct TImageValues {
    int32_t             X = 0, Y = 0;
    int32_t             OffsetX = 0, OffsetY = 0;
    int32_t             ZoomX = 256, ZoomY = 256;
    int32_t             Angle = 0;
    int32_t             Alpha = 255;
    TRect               Clip{0, 0, 0, 0};
};

class TCustomImageFrameList : public TCustomFrameList {
public:
    using TCustomFrameList::TCustomFrameList;
    void                KindFields(TFrameListFields& f) override;
    void                AfterLoad(int32_t version) override;
    void                Chain(const TCustomFrameList& parent) override;
    TImageValues        Compute(int32_t frame, int32_t pictureOffsetX, int32_t pictureOffsetY) const;

    int32_t             HotX = 0, HotY = 0;
    int32_t             StartX = 0, StartY = 0, EndX = 0, EndY = 0;
    uint8_t             CurveX = 0, CurveY = 0;
    int32_t             StartAngle = 0, EndAngle = 0;
    double              StartZoomX = 1.0, EndZoomX = 1.0;
    uint8_t             CurveZoomX = 0;
    int32_t             StartAlpha = 0, EndAlpha = 0;
    uint8_t             CurveAngle = 0;
    TClipBlock          Clip;
    double              StartZoomY = 1.0, EndZoomY = 1.0;
    uint8_t             CurveZoomY = 0;
};

// One picture of an image track: a frame of the image cache's item.
struct TImageFrame {
    TDrelItemFrame*     Source = nullptr;
    int32_t             Index = 0;                       // in the image's frame list
    int32_t             Delay = 1;                       // in track frames, at least 1
};

class TImageFrameList : public TCustomImageFrameList {
public:
    using TCustomImageFrameList::TCustomImageFrameList;
    ~TImageFrameList() override;
    uint8_t             Kind() const override { return FK_IMAGE; }
    void                KindFields(TFrameListFields& f) override;
    void                AfterLoad(int32_t version) override;
    void                Prepare() override;
    bool                Update(int32_t frame) override;
    void                ReleaseObject() override;
    int32_t             FrameAt(int32_t offset) const override;
    void                SetImageName(const std::string& name);
    const std::vector<TImageFrame>& Frames() const { return FFrames; }

    std::string         FileName;                        // as stored
    std::string         ResolvedName;                    // with the film's folder

protected:
    void                releaseImage();
    void                writePicture(TZunoControl& c, const TImageFrame& frame, bool motion);
    TDrelItem*          FItem = nullptr;
    std::vector<TImageFrame> FFrames;
};

class TTileFrameList : public TImageFrameList {
public:
    using TImageFrameList::TImageFrameList;
    uint8_t             Kind() const override { return FK_TILE; }
    void                KindFields(TFrameListFields& f) override;
    void                Chain(const TCustomFrameList& parent) override;
    bool                Update(int32_t frame) override;

    int32_t             StartW = 0, StartH = 0, EndW = 0, EndH = 0;
    int32_t             StartScrollX = 0, StartScrollY = 0, EndScrollX = 0, EndScrollY = 0;
    uint8_t             CurveScrollX = 0, CurveScrollY = 0;
    int32_t             DistanceX = 0, DistanceY = 0;
};

class TLabelFrameList : public TCustomImageFrameList {
public:
    using TCustomImageFrameList::TCustomImageFrameList;
    uint8_t             Kind() const override { return FK_LABEL; }
    void                KindFields(TFrameListFields& f) override;
    bool                Update(int32_t frame) override;

    std::string         Caption;
    uint8_t             AntiAlias = 0;
    std::string         FontName;
    int32_t             FontHeight = 12;
    int32_t             LineSpace = 0;
    uint8_t             FontStyle = 0;
    int32_t             FontColor = 0xFFFFFF;
    uint8_t             HAlign = 0;
};

// Position and size as edges, alpha and clip: boxes, particles.
class TRectFrameList : public TCustomFrameList {
public:
    using TCustomFrameList::TCustomFrameList;
    struct TRectValues {
        int32_t         X = 0, Y = 0, Right = 0, Bottom = 0;
        int32_t         Alpha = 255;
        TRect           Clip{0, 0, 0, 0};
    };
    TRectValues         ComputeRect(int32_t frame) const;

    int32_t             StartX = 0, StartY = 0, EndX = 0, EndY = 0;
    uint8_t             CurveX = 0, CurveY = 0;
    int32_t             StartAlpha = 0, EndAlpha = 0;
    int32_t             StartW = 100, StartH = 100, EndW = 100, EndH = 100;
    TClipBlock          Clip;

protected:
    void                chainRect(const TRectFrameList& p);
};

class TBoxFrameList : public TRectFrameList {
public:
    using TRectFrameList::TRectFrameList;
    uint8_t             Kind() const override { return FK_BOX; }
    void                KindFields(TFrameListFields& f) override;
    void                Chain(const TCustomFrameList& parent) override;
    bool                Update(int32_t frame) override;

    int32_t             StartColor = 0, EndColor = 0;
    int32_t             StartBorderWidth = 0, EndBorderWidth = 0;
    int32_t             StartBorderColor = 0, EndBorderColor = 0;
};

class TParticleFrameList : public TRectFrameList {
public:
    explicit            TParticleFrameList(TFilmManager& manager);
    uint8_t             Kind() const override { return FK_PARTICLE; }
    void                KindFields(TFrameListFields& f) override;
    void                AfterLoad(int32_t version) override;
    void                Chain(const TCustomFrameList& parent) override;
    bool                Update(int32_t frame) override;
    void                ReleaseObject() override;

    std::string         FileName, ResolvedName;
    uint8_t             PartMotion = 0;
    int32_t             Index = 0;
    int32_t             StartInterval = 100, EndInterval = 100;
    int32_t             StartSpread = 1, EndSpread = 1;
    int32_t             StartEmitX = 0, StartEmitY = 0, EndEmitX = 0, EndEmitY = 0;
    int32_t             StartAreaW = 1, StartAreaH = 1, EndAreaW = 1, EndAreaH = 1;
    uint8_t             CurveEmitX = 0, CurveEmitY = 0;
    double              StartParam[3] = {0, 0, 0}, EndParam[3] = {0, 0, 0};
};

class TFireFrameList : public TRectFrameList {
public:
    explicit            TFireFrameList(TFilmManager& manager);
    uint8_t             Kind() const override { return FK_FIRE; }
    void                KindFields(TFrameListFields& f) override;
    void                Chain(const TCustomFrameList& parent) override;
    bool                Update(int32_t frame) override;
    void                ReleaseObject() override;

    double              StartZoomX = 4.0, StartZoomY = 4.0, EndZoomX = 4.0, EndZoomY = 4.0;
    uint8_t             CurveZoomX = 0, CurveZoomY = 0;
    int32_t             Power = 100;
};

class TWipeFrameList : public TCustomFrameList {
public:
    using TCustomFrameList::TCustomFrameList;
    uint8_t             Kind() const override { return FK_WIPE; }
    void                KindFields(TFrameListFields& f) override;
    void                AfterLoad(int32_t version) override;
    bool                Update(int32_t frame) override { return Contains(frame); }

    uint8_t             Transition = 1;
    std::string         RuleName;                        // as stored
    std::string         ResolvedRule;                    // with the film's folder
    int32_t             Param0 = 0, Param1 = 0;
    uint8_t             Reverse = 0;
};

class TSoundFrameList : public TCustomFrameList {
public:
    using TCustomFrameList::TCustomFrameList;
    uint8_t             Kind() const override { return FK_SOUND; }
    void                KindFields(TFrameListFields& f) override;
    void                AfterLoad(int32_t version) override;
    void                Chain(const TCustomFrameList& parent) override;
    bool                Update(int32_t frame) override;
    void                ReleaseObject() override;
    void                SetPaused(bool paused) override;
    // The chain's sound object, created (paused) when missing.
    TZunoObject*        EnsureSound();

    std::string         FileName, ResolvedName;
    int32_t             StartVolume = 1000, EndVolume = 1000;
    int32_t             StartBalance = 0, EndBalance = 0;
    uint8_t             CurveVolume = 0, CurveBalance = 0;

private:
    TSoundFrameList*    chainHead();
    int32_t             FLastFrame = -1;
};

} // namespace zuno
