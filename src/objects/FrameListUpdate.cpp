// What a track does at a frame: in cinema mode it drives a display object of
// its own (created through the registry by kind, written through its
// properties), in motion mode it writes into the motion's target control.
#include <algorithm>
#include <cmath>

#include "archive/TVrFileManager.h"
#include "objects/TCustomFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoParticle.h"
#include "objects/TZunoSound.h"

namespace zuno {

namespace {

// Milliseconds of one frame at 60 frames per second.
constexpr double kFrameMs = 16.666666666666668;

// A colour interpolated channel by channel (0x00BBGGRR).
int32_t blendColor(int32_t s, int32_t e, int32_t d, int32_t n) {
    int32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int32_t c = std::clamp(filmInterpolate(0, (s >> shift) & 0xFF, (e >> shift) & 0xFF, d, n), 0, 255);
        out |= c << shift;
    }
    return out;
}

int32_t alphaAt(int32_t s, int32_t e, int32_t d, int32_t n) {
    if (s == 0 && e == 0)
        return 255;
    const int32_t r = filmInterpolate(0, s == 0 ? 255 : s, e == 0 ? 255 : e, d, n);
    return r < 0 ? saturate32(256 - int64_t(r)) : r;
}

TRect clipAt(const TClipBlock& c, int32_t d, int32_t n) {
    const int32_t w = filmInterpolate(c.CurveH, c.StartW, c.EndW, d, n);
    const int32_t h = filmInterpolate(c.CurveV, c.StartH, c.EndH, d, n);
    if (w < 1 || h < 1)
        return {0, 0, 0, 0};
    const int32_t l = filmInterpolate(c.CurveH, c.StartX, c.EndX, d, n);
    const int32_t t = filmInterpolate(c.CurveV, c.StartY, c.EndY, d, n);
    return {l, t, l + w, t + h};
}

} // namespace

//==============================================================================
// Common track
//==============================================================================

TCustomFrameList::~TCustomFrameList() = default;

int32_t TCustomFrameList::AbsoluteStart() const {
    // Parents are free of circles (the manager's Link).
    int64_t start = 0;
    const TCustomFrameList* t = this;
    for (; t->Parent; t = t->Parent)
        start += t->Parent->Length;
    return saturate32(start + t->Start);
}

const TCustomFrameList* TCustomFrameList::ChainFirst() const {
    const TCustomFrameList* t = this;
    while (t->Parent && t->Parent->Kind() == Kind())
        t = t->Parent;
    return t;
}

TZunoObject* TCustomFrameList::ensureObject(uint8_t kind) {
    TZunoBaseList* reg = FManager.Registry();
    if (!reg)
        return nullptr;
    if (FObject && reg->IsRegistered(FObject) && !reg->IsPendingDelete(FObject))
        return FObject;
    FObject = nullptr;
    TZunoObject* o = kind == LT_IMAGES ? reg->Register(std::make_unique<TZunoImage>()) : reg->CreateByKind(kind);
    if (!o)
        return nullptr;
    std::string base = "\x01";
    if (FManager.OwnerCinema)
        base += FManager.OwnerCinema->Name() + "\x01";
    o->SetName(reg->MakeUniqueName(base));
    FObject = o;
    return o;
}

TZunoControl* TCustomFrameList::frameControl(uint8_t kind) {
    if (FManager.MotionMode)
        return FManager.Target;
    TZunoObject* o = ensureObject(kind);
    return o ? o->AsControl() : nullptr;
}

void TCustomFrameList::ReleaseObject() {
    TZunoBaseList* reg = FManager.Registry();
    if (reg && reg->TearingDown())
        reg = nullptr;                                      // the object goes with the registry
    if (FObject && reg && reg->IsRegistered(FObject) && !reg->IsPendingDelete(FObject)) {
        if (TZunoControl* c = FObject->AsControl())
            c->Invalidate();
        FObject->ScheduleDelete();
    }
    FObject = nullptr;
}

void TCustomFrameList::placeOnScreen(TZunoControl& control) {
    TZunoBaseList* reg = FManager.Registry();
    const int screen = FManager.ObjectParity(AbsoluteStart()) ^ (OtherScreen ? 1 : 0);
    control.SetParent(reg->GetScreen(screen));
}

void TCustomFrameList::adoptControl(TZunoControl& control) {
    if (FManager.OwnerCinema)
        control.SetParent(FManager.OwnerCinema);
    else if (FManager.PrivatePlayback())
        placeOnScreen(control);
    else if (!control.Parent() && FManager.Registry())
        control.SetParent(FManager.Registry()->ActiveBase());
}

void TCustomFrameList::setInt(TZunoObject& o, int id, int32_t v) { o.SetProp(id, TPropValue::ofInt(v)); }
void TCustomFrameList::setBool(TZunoObject& o, int id, bool v) { o.SetProp(id, TPropValue::ofBool(v)); }
void TCustomFrameList::setStr(TZunoObject& o, int id, const std::string& v) { o.SetProp(id, TPropValue::ofStr(v)); }

void TCustomFrameList::setClip(TZunoObject& o, const TRect& clip) {
    setInt(o, PR_CLIPLEFT, clip.Left);
    setInt(o, PR_CLIPTOP, clip.Top);
    setInt(o, PR_CLIPWIDTH, clip.Right - clip.Left);
    setInt(o, PR_CLIPHEIGHT, clip.Bottom - clip.Top);
}

//==============================================================================
// Image block
//==============================================================================

TImageValues TCustomImageFrameList::Compute(int32_t frame, int32_t pictureOffsetX, int32_t pictureOffsetY) const {
    const int32_t d = frame - AbsoluteStart();
    const int32_t n = Divisor();
    int32_t shiftX = 0, shiftY = 0;
    if (FManager.MotionMode && FManager.RelativeOrigin) {
        shiftX = FManager.BaseX - FManager.OriginX;
        shiftY = FManager.BaseY - FManager.OriginY;
    }
    TImageValues v;
    v.X = filmInterpolate(CurveX, wrapAdd(StartX, shiftX), wrapAdd(EndX, shiftX), d, n);
    v.Y = filmInterpolate(CurveY, wrapAdd(StartY, shiftY), wrapAdd(EndY, shiftY), d, n);
    v.OffsetX = wrapSub(HotX, pictureOffsetX);
    v.OffsetY = wrapSub(HotY, pictureOffsetY);
    v.ZoomX = filmInterpolate(CurveZoomX, truncToInt32(StartZoomX * 256), truncToInt32(EndZoomX * 256), d, n);
    v.ZoomY = filmInterpolate(CurveZoomY, truncToInt32(StartZoomY * 256), truncToInt32(EndZoomY * 256), d, n);
    v.Clip = clipAt(Clip, d, n);
    if (StartAngle != 0 || EndAngle != 0) {
        const double degrees = filmInterpolateF(CurveAngle, StartAngle, EndAngle, d, n);
        const int64_t u = std::llround(std::nearbyint(degrees * 256 / 360));
        v.Angle = static_cast<int32_t>(u >= 0 ? u % 256 : 255 - (-u % 256));
    }
    v.Alpha = alphaAt(StartAlpha, EndAlpha, d, n);
    return v;
}

//==============================================================================
// Image track
//==============================================================================

TImageFrameList::~TImageFrameList() { releaseImage(); }

void TImageFrameList::releaseImage() {
    if (FItem)
        TDrelCollection::Instance().Release(FItem, this);
    FItem = nullptr;
    FFrames.clear();
}

void TImageFrameList::Prepare() { SetImageName(FileName); }

void TImageFrameList::SetImageName(const std::string& name) {
    ReleaseObject();
    releaseImage();
    FileName = name;
    ResolvedName = resolveFilmFileName(FManager.Folder(), name);
    TDrelCollection& cache = TDrelCollection::Instance();
    // A file the cache cannot read gives a track without pictures.
    if (ResolvedName.empty() || !cache.FileManager() || !cache.FileManager()->Exists(ResolvedName))
        return;
    FItem = cache.Acquire(this, ResolvedName, false, true);
    int32_t period = 0;
    for (int i = 0; i < FItem->FrameCount(); ++i) {
        TImageFrame f;
        f.Source = &FItem->Frames(i);
        f.Index = i;
        f.Delay = std::max<int32_t>(1, static_cast<int32_t>(std::nearbyint(f.Source->Delay / kFrameMs)));
        period += f.Delay;
        FFrames.push_back(f);
    }
    Period = period;
}

int32_t TImageFrameList::FrameAt(int32_t offset) const {
    if (FFrames.empty())
        return 0;
    int32_t rest = offset % std::max(1, Period);
    for (size_t i = 0; i < FFrames.size(); ++i) {
        rest -= FFrames[i].Delay;
        if (rest < 0)
            return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(FFrames.size()) - 1;
}

void TImageFrameList::ReleaseObject() {
    TZunoBaseList* reg = FManager.Registry();
    if (FObject && reg && !reg->TearingDown() && reg->IsRegistered(FObject))
        if (auto* img = dynamic_cast<TZunoCustomImage*>(FObject)) {
            img->Invalidate();
            img->SetImage(nullptr);
            img->SetMask(nullptr);
        }
    TCustomFrameList::ReleaseObject();
}

void TImageFrameList::writePicture(TZunoControl& c, const TImageFrame& frame, bool motion) {
    auto* img = dynamic_cast<TZunoCustomImage*>(&c);
    if (!img)
        return;
    if (!motion) {
        if (img->ZoomX() == 256)
            img->SetWidth(frame.Source->Picture->GetWidth());
        if (img->ZoomY() == 256)
            img->SetHeight(frame.Source->Picture->GetHeight());
    }
    img->SetImage(frame.Source->Picture.get());
    img->SetMask(frame.Source->Mask.get());
    img->SetTransparentColor(frame.Source->TransparentColor);
    img->Invalidate();
}

bool TImageFrameList::Update(int32_t frame) {
    if (!Contains(frame)) {
        if (!FManager.MotionMode)
            ReleaseObject();
        return false;
    }
    TZunoControl* c = frameControl(LT_IMAGES);
    if (!c || FFrames.empty())
        return true;
    const TImageFrame& pic = FFrames[size_t(FrameAt(frame - AbsoluteStart()))];
    const TImageValues v = Compute(frame, pic.Source->OffsetX, pic.Source->OffsetY);
    auto* img = dynamic_cast<TZunoCustomImage*>(c);
    if (!FManager.MotionMode) {
        adoptControl(*c);
        writePicture(*c, pic, false);
        if (img) {
            img->SetZoomX(v.ZoomX);
            img->SetZoomY(v.ZoomY);
        }
        c->SetPriority(Priority);
        setBool(*c, PR_FLIPH, FlipH);
        setBool(*c, PR_FLIPV, FlipV);
        c->SetOffsetX(v.OffsetX);
        c->SetOffsetY(v.OffsetY);
        c->SetLeft(v.X);
        c->SetTop(v.Y);
    } else {
        writePicture(*c, pic, true);
        c->SetWidth(int32_t(int64_t(v.ZoomX) * pic.Source->Picture->GetWidth() / 256));
        c->SetHeight(int32_t(int64_t(v.ZoomY) * pic.Source->Picture->GetHeight() / 256));
        c->SetPriorityBias(Priority);
        setBool(*c, PR_FLIPH, FlipH);
        setBool(*c, PR_FLIPV, FlipV);
        c->SetMotionX(v.X);
        c->SetMotionY(v.Y);
        c->SetOffsetX(v.OffsetX);
        c->SetOffsetY(v.OffsetY);
        if (img) {
            img->SetZoomX(v.ZoomX);
            img->SetZoomY(v.ZoomY);
        }
    }
    setInt(*c, PR_ANGLE, v.Angle);
    setInt(*c, PR_ALPHA, v.Alpha);
    setClip(*c, v.Clip);
    if (img && !dynamic_cast<TZunoPrevImages*>(c))
        img->SetCaptureMask(true);
    return true;
}

//==============================================================================
// Tile track
//==============================================================================

bool TTileFrameList::Update(int32_t frame) {
    if (!Contains(frame)) {
        if (!FManager.MotionMode)
            ReleaseObject();
        return false;
    }
    TZunoControl* c = frameControl(LT_TILE);
    if (!FManager.MotionMode && c && FManager.PrivatePlayback())
        placeOnScreen(*c);
    if (!c || FFrames.empty())
        return true;
    const TImageFrame& pic = FFrames[size_t(FrameAt(frame - AbsoluteStart()))];
    const TImageValues v = Compute(frame, pic.Source->OffsetX, pic.Source->OffsetY);
    const int32_t d = frame - AbsoluteStart(), n = Divisor();
    const int32_t right = filmInterpolate(CurveX, wrapAdd(wrapAdd(StartW, StartX), -1), wrapAdd(wrapAdd(EndW, EndX), -1), d, n);
    const int32_t bottom = filmInterpolate(CurveY, wrapAdd(wrapAdd(StartH, StartY), -1), wrapAdd(wrapAdd(EndH, EndY), -1), d, n);
    const int32_t w = wrapAdd(wrapSub(right, v.X), 1), h = wrapAdd(wrapSub(bottom, v.Y), 1);
    if (!FManager.MotionMode) {
        c->SetWidth(w);
        c->SetHeight(h);
        if (FManager.OwnerCinema)
            c->SetParent(FManager.OwnerCinema);
    }
    writePicture(*c, pic, true);
    setInt(*c, PR_ZOOMX, v.ZoomX);
    setInt(*c, PR_ZOOMY, v.ZoomY);
    if (FManager.MotionMode)
        c->SetPriority(FManager.BasePriority + Priority);
    else
        c->SetPriority(Priority);
    setInt(*c, PR_DISTANCEX, DistanceX);
    setInt(*c, PR_DISTANCEY, DistanceY);
    setBool(*c, PR_FLIPH, FlipH);
    setBool(*c, PR_FLIPV, FlipV);
    c->SetOffsetX(v.OffsetX);
    c->SetOffsetY(v.OffsetY);
    if (FManager.MotionMode) {
        c->SetMotionX(v.X);
        c->SetMotionY(v.Y);
        c->SetWidth(w);
        c->SetHeight(h);
    } else {
        c->SetLeft(v.X);
        c->SetTop(v.Y);
    }
    setInt(*c, PR_ALPHA, v.Alpha);
    setInt(*c, PR_SCROLLX, filmInterpolate(CurveScrollX, StartScrollX, EndScrollX, d, n));
    setInt(*c, PR_SCROLLY, filmInterpolate(CurveScrollY, StartScrollY, EndScrollY, d, n));
    setClip(*c, v.Clip);
    return true;
}

//==============================================================================
// Caption track
//==============================================================================

bool TLabelFrameList::Update(int32_t frame) {
    if (!Contains(frame)) {
        if (!FManager.MotionMode)
            ReleaseObject();
        return false;
    }
    TZunoControl* c = FManager.MotionMode ? FManager.Target : nullptr;
    if (!FManager.MotionMode) {
        const bool fresh = !FObject;
        TZunoObject* o = ensureObject(LT_LABEL);
        c = o ? o->AsControl() : nullptr;
        if (c && (fresh || !c->Parent())) {
            if (FManager.OwnerCinema)
                c->SetParent(FManager.OwnerCinema);
            else if (FManager.PrivatePlayback())
                placeOnScreen(*c);
            else if (TZunoBaseList* reg = FManager.Registry())
                c->SetParent(reg->GetScreen(reg->ActiveIndex() ^ (OtherScreen ? 1 : 0)));
        }
    }
    if (!c)
        return true;
    const TImageValues v = Compute(frame, 0, 0);
    setStr(*c, PR_FONTNAME, FontName);
    setInt(*c, PR_FONTHEIGHT, FontHeight);
    setInt(*c, PR_LINESPACE, LineSpace);
    setInt(*c, PR_FONTCOLOR, FontColor);
    setInt(*c, PR_FONTSTYLE, FontStyle);
    setBool(*c, PR_ANTIALIAS, AntiAlias != 0);
    setInt(*c, PR_HALIGN, HAlign);
    setBool(*c, PR_FLIPH, FlipH);
    setBool(*c, PR_FLIPV, FlipV);
    setStr(*c, PR_TEXT, Caption);
    if (FManager.MotionMode) {
        c->SetPriority(FManager.BasePriority + Priority);
        c->SetMotionX(v.X);
        c->SetMotionY(v.Y);
    } else {
        c->SetPriority(Priority);
        c->SetLeft(v.X);
        c->SetTop(v.Y);
    }
    c->SetOffsetX(v.OffsetX);
    c->SetOffsetY(v.OffsetY);
    setInt(*c, PR_ALPHA, v.Alpha);
    setInt(*c, PR_ANGLE, v.Angle);
    setInt(*c, PR_ZOOMX, v.ZoomX);
    setInt(*c, PR_ZOOMY, v.ZoomY);
    setClip(*c, v.Clip);
    return true;
}

//==============================================================================
// Box, particle and fire tracks
//==============================================================================

TRectFrameList::TRectValues TRectFrameList::ComputeRect(int32_t frame) const {
    const int32_t d = frame - AbsoluteStart(), n = Divisor();
    int32_t shiftX = 0, shiftY = 0;
    if (FManager.MotionMode && FManager.RelativeOrigin) {
        shiftX = FManager.BaseX - FManager.OriginX;
        shiftY = FManager.BaseY - FManager.OriginY;
    }
    TRectValues v;
    v.X = filmInterpolate(CurveX, wrapAdd(StartX, shiftX), wrapAdd(EndX, shiftX), d, n);
    v.Y = filmInterpolate(CurveY, wrapAdd(StartY, shiftY), wrapAdd(EndY, shiftY), d, n);
    v.Right = filmInterpolate(CurveX, wrapAdd(wrapAdd(StartW, wrapAdd(StartX, shiftX)), -1),
                              wrapAdd(wrapAdd(EndW, wrapAdd(EndX, shiftX)), -1), d, n);
    v.Bottom = filmInterpolate(CurveY, wrapAdd(wrapAdd(StartH, wrapAdd(StartY, shiftY)), -1),
                               wrapAdd(wrapAdd(EndH, wrapAdd(EndY, shiftY)), -1), d, n);
    v.Alpha = alphaAt(StartAlpha, EndAlpha, d, n);
    v.Clip = clipAt(Clip, d, n);
    return v;
}

bool TBoxFrameList::Update(int32_t frame) {
    if (!Contains(frame)) {
        if (!FManager.MotionMode)
            ReleaseObject();
        return false;
    }
    TZunoControl* c = frameControl(LT_BOX);
    if (!c)
        return true;
    const int32_t d = frame - AbsoluteStart(), n = Divisor();
    const TRectValues v = ComputeRect(frame);
    const int32_t color = StartColor == EndColor ? StartColor : blendColor(StartColor, EndColor, d, n);
    const int32_t borderWidth =
        StartBorderWidth == EndBorderWidth ? StartBorderWidth : filmInterpolate(0, StartBorderWidth, EndBorderWidth, d, n);
    const int32_t borderColor =
        StartBorderColor == EndBorderColor ? StartBorderColor : blendColor(StartBorderColor, EndBorderColor, d, n);
    if (FManager.MotionMode) {
        c->SetMotionX(v.X);
        c->SetMotionY(v.Y);
        c->SetWidth(wrapAdd(wrapSub(v.Right, v.X), 1));
        c->SetHeight(wrapAdd(wrapSub(v.Bottom, v.Y), 1));
        c->SetPriority(FManager.BasePriority + Priority);
    } else {
        adoptControl(*c);
        c->SetBounds(v.X, v.Y, wrapAdd(wrapSub(v.Right, v.X), 1), wrapAdd(wrapSub(v.Bottom, v.Y), 1));
        c->SetPriority(Priority);
    }
    setInt(*c, PR_ALPHA, v.Alpha);
    c->SetColor(color);
    setInt(*c, PR_BORDERWIDTH, borderWidth);
    setInt(*c, PR_BORDERCOLOR, borderColor);
    setClip(*c, v.Clip);
    return true;
}

// Chained particle and fire tracks share the object of the chain's first
// track; it goes when the chain's span is over.
static bool chainStillRuns(const TCustomFrameList& t, int32_t frame) {
    const int32_t first = t.ChainFirst()->AbsoluteStart();
    return frame >= first && frame < t.AbsoluteEnd();
}

TParticleFrameList* particleHead(TParticleFrameList* t) {
    return const_cast<TParticleFrameList*>(static_cast<const TParticleFrameList*>(t->ChainFirst()));
}

void TParticleFrameList::ReleaseObject() {
    TParticleFrameList* head = particleHead(this);
    if (head != this)
        return;
    // The record belongs to the emitter but is set up by the track: it goes
    // with the track so that a reused emitter falls back to its expressions.
    TZunoBaseList* reg = FManager.Registry();
    if (FObject && reg && !reg->TearingDown() && reg->IsRegistered(FObject))
        if (auto* emitter = dynamic_cast<TZunoParticle*>(FObject))
            emitter->FreeParamRecord();
    TCustomFrameList::ReleaseObject();
}

bool TParticleFrameList::Update(int32_t frame) {
    TParticleFrameList* head = particleHead(this);
    if (!Contains(frame)) {
        if (!FManager.MotionMode && !Follower && !chainStillRuns(*this, frame))
            head->ReleaseObject();
        return false;
    }
    TZunoControl* c = head->frameControl(LT_PARTICLE);
    if (!c)
        return true;
    const TRectValues v = ComputeRect(frame);
    if (FManager.MotionMode) {
        c->SetMotionX(v.X);
        c->SetMotionY(v.Y);
        c->SetWidth(wrapAdd(wrapSub(v.Right, v.X), 1));
        c->SetHeight(wrapAdd(wrapSub(v.Bottom, v.Y), 1));
        c->SetPriority(FManager.BasePriority + Priority);
        setInt(*c, PR_ALPHA, v.Alpha);
        setClip(*c, v.Clip);
        return true;
    }
    const int32_t d = frame - AbsoluteStart(), n = Divisor();
    adoptControl(*c);
    c->SetBounds(v.X, v.Y, wrapAdd(wrapSub(v.Right, v.X), 1), wrapAdd(wrapSub(v.Bottom, v.Y), 1));
    c->SetPriority(Priority);
    setInt(*c, PR_ALPHA, v.Alpha);
    setStr(*c, PR_SOURCE, ResolvedName);
    // The byte is the emitter's motion kind (snow, stars, ...), not a flag.
    setInt(*c, PR_PARTMOTION, PartMotion);
    setInt(*c, PR_INDEX, Index);
    static const int kParamIds[3] = {PR_PARAM1, PR_PARAM2, PR_PARAM3};
    for (int i = 0; i < 3; ++i)
        c->SetProp(kParamIds[i], TPropValue::ofFloat(filmInterpolateF(0, StartParam[i], EndParam[i], d, n)));
    if (auto* emitter = dynamic_cast<TZunoParticle*>(c)) {
        // Where and how often the emitter emits comes from the track, not
        // from the emitter's own expressions.
        const int32_t interval = filmInterpolate(0, StartInterval, EndInterval, d, n);
        const int32_t spread = filmInterpolate(0, StartSpread, EndSpread, d, n);
        TZunoParticleParam& r = emitter->ParamRecord();
        r.EmissionX = filmInterpolate(CurveEmitX, StartEmitX, EndEmitX, d, n);
        r.EmissionY = filmInterpolate(CurveEmitY, StartEmitY, EndEmitY, d, n);
        r.AreaWidth = filmInterpolate(0, StartAreaW, EndAreaW, d, n);
        r.AreaHeight = filmInterpolate(0, StartAreaH, EndAreaH, d, n);
        r.IntervalBase = wrapSub(interval, spread / 2);
        r.Spread = spread;
    }
    setClip(*c, v.Clip);
    return true;
}

static TFireFrameList* fireHead(TFireFrameList* t) {
    return const_cast<TFireFrameList*>(static_cast<const TFireFrameList*>(t->ChainFirst()));
}

void TFireFrameList::ReleaseObject() {
    if (fireHead(this) == this)
        TCustomFrameList::ReleaseObject();
}

bool TFireFrameList::Update(int32_t frame) {
    TFireFrameList* head = fireHead(this);
    if (!Contains(frame)) {
        if (!FManager.MotionMode && !Follower && !chainStillRuns(*this, frame))
            head->ReleaseObject();
        return false;
    }
    TZunoControl* c = head->frameControl(LT_FIRE);
    if (!FManager.MotionMode && c)
        adoptControl(*c);
    if (!c)
        return true;
    const int32_t d = frame - AbsoluteStart(), n = Divisor();
    const TRectValues v = ComputeRect(frame);
    c->SetPriority(FManager.MotionMode ? FManager.BasePriority + Priority : Priority);
    if (FManager.MotionMode) {
        c->SetMotionX(v.X);
        c->SetMotionY(v.Y);
    } else {
        c->SetLeft(v.X);
        c->SetTop(v.Y);
    }
    setInt(*c, PR_ORIGWIDTH, filmInterpolate(CurveX, StartW, EndW, d, n));
    setInt(*c, PR_ORIGHEIGHT, filmInterpolate(CurveY, StartH, EndH, d, n));
    setInt(*c, PR_ZOOMX, filmInterpolate(CurveZoomX, truncToInt32(StartZoomX * 256), truncToInt32(EndZoomX * 256), d, n));
    setInt(*c, PR_ZOOMY, filmInterpolate(CurveZoomY, truncToInt32(StartZoomY * 256), truncToInt32(EndZoomY * 256), d, n));
    setInt(*c, PR_POWER, Power);
    setClip(*c, v.Clip);
    return true;
}

//==============================================================================
// Sound track
//==============================================================================

TSoundFrameList* TSoundFrameList::chainHead() {
    return const_cast<TSoundFrameList*>(static_cast<const TSoundFrameList*>(ChainFirst()));
}

TZunoObject* TSoundFrameList::EnsureSound() {
    TSoundFrameList* head = chainHead();
    TZunoBaseList* reg = FManager.SoundRegistry();
    if (!reg)
        return nullptr;
    if (head->FObject && reg->IsRegistered(head->FObject) && !reg->IsPendingDelete(head->FObject))
        return head->FObject;
    auto* sound = static_cast<TZunoSound*>(reg->CreateByKind(LT_SOUND));
    std::string base = "\x01";
    if (FManager.OwnerCinema)
        base += FManager.OwnerCinema->Name() + "\x01";
    sound->SetName(reg->MakeUniqueName(base));
    head->FObject = sound;
    sound->SetSource(head->ResolvedName);
    setInt(*sound, PR_VOLUME, int32_t(int64_t(head->StartVolume) * FManager.Volume / 1000));
    bool repeat = sound->GetProp(PR_COUNT).Int < truncToInt32(head->Length * kFrameMs);
    if (!repeat) {
        const int64_t total = FManager.Length(), loop = FManager.LoopStart;
        const int64_t s = head->AbsoluteStart(), e = s + head->Length;
        repeat = e >= total && loop >= s && loop < e && loop > 0 && loop < total - 1;
    }
    setBool(*sound, PR_REPEAT, repeat);
    setInt(*sound, PR_BALANCE, head->StartBalance);
    setBool(*sound, PR_PAUSED, true);
    sound->SetPlayState(psPlaying);
    return sound;
}

void TSoundFrameList::SetPaused(bool paused) {
    TSoundFrameList* head = chainHead();
    TZunoBaseList* reg = FManager.SoundRegistry();
    if (head->FObject && reg && reg->IsRegistered(head->FObject))
        setBool(*head->FObject, PR_PAUSED, paused);
}

void TSoundFrameList::ReleaseObject() {
    // Only the chain's first track owns the sound; the base class would look
    // in the manager's registry, which is not where sounds live.
    if (chainHead() != this || !FObject) {
        FObject = nullptr;
        return;
    }
    TZunoBaseList* reg = FManager.SoundRegistry();
    if (reg && !reg->TearingDown() && reg->IsRegistered(FObject) && !reg->IsPendingDelete(FObject))
        FObject->ScheduleDelete();
    FObject = nullptr;
}

bool TSoundFrameList::Update(int32_t frame) {
    auto* sound = static_cast<TZunoSound*>(EnsureSound());
    if (frame < FLastFrame && FManager.SoundEnabled() && sound)
        setBool(*sound, PR_PAUSED, true);               // the film went back
    FLastFrame = frame;
    const int32_t first = chainHead()->AbsoluteStart();
    const int32_t end = std::min(AbsoluteEnd(), FManager.Length() - 1);
    if (frame >= AbsoluteStart() && frame < end) {
        if (!sound)
            return true;
        const int32_t d = frame - AbsoluteStart(), n = Divisor();
        const int32_t volume = filmInterpolate(CurveVolume, StartVolume, EndVolume, d, n);
        setInt(*sound, PR_VOLUME, int32_t(int64_t(volume) * FManager.Volume / 1000));
        setInt(*sound, PR_BALANCE, filmInterpolate(CurveBalance, StartBalance, EndBalance, d, n));
        if (!FManager.SoundEnabled()) {
            setBool(*sound, PR_PAUSED, true);
        } else if (!sound->GetProp(PR_PAUSED).Bool && sound->PlayState() != psStopped) {
            const int64_t expected = (int64_t(frame) - first) * 1000 / 60;
            if (std::abs(expected - sound->GetProp(PR_INDEX).Int) >= 3000)
                setInt(*sound, PR_INDEX, saturate32(expected));
        } else {
            sound->Replay();
        }
        return true;
    }
    if (!sound || Follower)
        return false;
    if (frame >= first && frame < end)
        return false;
    setBool(*sound, PR_PAUSED, true);
    return false;
}

} // namespace zuno
