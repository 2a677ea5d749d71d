// The stored fields of every track kind, in file order, and what reading an
// older version converts afterwards.
#include <cstring>

#include "objects/TCustomFrameList.h"
#include "objects/TFilmManager.h"

namespace zuno {

namespace {
const char* const kKindNames[FrameListKindCount] = {"image", "label", "box", "wipe", "sound", "tile", "particle", "fire"};
}

const char* frameListKindName(int kind) {
    return kind >= 0 && kind < FrameListKindCount ? kKindNames[kind] : "";
}

int frameListKindOfName(const std::string& name) {
    for (int i = 0; i < FrameListKindCount; ++i)
        if (name == kKindNames[i])
            return i;
    return -1;
}

void TClipBlock::Fields(TFrameListFields& f) {
    f.Pair("clip-start-origin", StartX, StartY);
    f.Pair("clip-start-size", StartW, StartH);
    f.Pair("clip-end-origin", EndX, EndY);
    f.Pair("clip-end-size", EndW, EndH);
    f.Byte("clip-curve-h", CurveH);
    f.Byte("clip-curve-v", CurveV);
}

void TClipBlock::Chain(const TClipBlock& p) {
    StartX = p.EndX;
    StartY = p.EndY;
    StartW = p.EndW;
    StartH = p.EndH;
}

void TCustomFrameList::Fields(TFrameListFields& f) {
    f.Int("parent", ParentIndex);
    f.Int("length", Length);
    f.Int("reserved", Reserved);
    f.Int("start", Start);
    f.Int("period", Period);
    f.Int("priority", Priority);
    f.Byte("flip-h", FlipH);
    f.Byte("flip-v", FlipV);
    f.Byte("other-screen", OtherScreen);
    KindFields(f);
}

void TCustomFrameList::AfterLoad(int32_t version) {
    // Files up to version 106 counted 30 frames per second.
    if (version <= 106) {
        Start = saturate32(int64_t(Start) * 2);
        Length = saturate32(int64_t(Length) * 2);
        Period = saturate32(int64_t(Period) * 2);
    }
}

void TCustomImageFrameList::KindFields(TFrameListFields& f) {
    f.Pair("hotspot", HotX, HotY);
    f.Pair("start-pos", StartX, StartY);
    f.Pair("end-pos", EndX, EndY);
    f.Byte("curve-x", CurveX);
    f.Byte("curve-y", CurveY);
    f.Int("start-angle", StartAngle);
    f.Int("end-angle", EndAngle);
    f.Double("start-zoom-x", StartZoomX);
    f.Double("end-zoom-x", EndZoomX);
    f.Byte("curve-zoom-x", CurveZoomX);
    f.Int("start-alpha", StartAlpha);
    f.Int("end-alpha", EndAlpha);
    f.Byte("curve-angle", CurveAngle);
    if (f.Version > 100)
        Clip.Fields(f);
    if (f.Version >= 105) {
        f.Double("start-zoom-y", StartZoomY);
        f.Double("end-zoom-y", EndZoomY);
        f.Byte("curve-zoom-y", CurveZoomY);
    }
}

void TCustomImageFrameList::AfterLoad(int32_t version) {
    TCustomFrameList::AfterLoad(version);
    if (version < 105) {
        StartZoomY = StartZoomX;
        EndZoomY = EndZoomX;
        CurveZoomY = CurveZoomX;
    }
}

void TCustomImageFrameList::Chain(const TCustomFrameList& parent) {
    const auto* p = dynamic_cast<const TCustomImageFrameList*>(&parent);
    if (!p)
        return;
    StartX = p->EndX;
    StartY = p->EndY;
    StartAngle = p->EndAngle;
    StartZoomX = p->EndZoomX;
    StartZoomY = p->EndZoomY;
    StartAlpha = p->EndAlpha;
    Clip.Chain(p->Clip);
}

void TImageFrameList::KindFields(TFrameListFields& f) {
    TCustomImageFrameList::KindFields(f);
    f.Text("file", FileName);
}

void TImageFrameList::AfterLoad(int32_t version) {
    TCustomImageFrameList::AfterLoad(version);
    ResolvedName = resolveFilmFileName(FManager.Folder(), FileName);
}

void TTileFrameList::KindFields(TFrameListFields& f) {
    TImageFrameList::KindFields(f);
    f.Pair("start-size", StartW, StartH);
    f.Pair("end-size", EndW, EndH);
    f.Pair("start-scroll", StartScrollX, StartScrollY);
    f.Pair("end-scroll", EndScrollX, EndScrollY);
    f.Byte("curve-scroll-x", CurveScrollX);
    f.Byte("curve-scroll-y", CurveScrollY);
    f.Pair("distance", DistanceX, DistanceY);
    if (f.Version >= 101) {
        // Writers store the clip block a second time; this copy counts.
        const bool copy = f.Copy;
        f.Copy = true;
        Clip.Fields(f);
        f.Copy = copy;
    }
}

void TTileFrameList::Chain(const TCustomFrameList& parent) {
    TImageFrameList::Chain(parent);
    if (const auto* p = dynamic_cast<const TTileFrameList*>(&parent)) {
        StartW = p->EndW;
        StartH = p->EndH;
        StartScrollX = p->EndScrollX;
        StartScrollY = p->EndScrollY;
    }
}

void TLabelFrameList::KindFields(TFrameListFields& f) {
    TCustomImageFrameList::KindFields(f);
    f.Text("text", Caption);
    f.Byte("anti-alias", AntiAlias);
    f.Text("font-name", FontName);
    f.Int("font-height", FontHeight);
    if (f.Version < 103)
        f.Skip(4);
    else
        f.Int("line-space", LineSpace);
    f.Byte("font-style", FontStyle);
    f.Int("font-color", FontColor);
    if (f.Version > 102)
        f.Byte("h-align", HAlign);
}

void TRectFrameList::chainRect(const TRectFrameList& p) {
    StartX = p.EndX;
    StartY = p.EndY;
    StartAlpha = p.EndAlpha;
    StartW = p.EndW;
    StartH = p.EndH;
    Clip.Chain(p.Clip);
}

void TBoxFrameList::KindFields(TFrameListFields& f) {
    f.Pair("start-pos", StartX, StartY);
    f.Pair("end-pos", EndX, EndY);
    f.Byte("curve-x", CurveX);
    f.Byte("curve-y", CurveY);
    f.Int("start-alpha", StartAlpha);
    f.Int("end-alpha", EndAlpha);
    f.Pair("start-size", StartW, StartH);
    f.Pair("end-size", EndW, EndH);
    f.Int("start-color", StartColor);
    f.Int("end-color", EndColor);
    f.Int("start-border-width", StartBorderWidth);
    f.Int("end-border-width", EndBorderWidth);
    f.Int("start-border-color", StartBorderColor);
    f.Int("end-border-color", EndBorderColor);
    if (f.Version >= 101)
        Clip.Fields(f);
}

void TBoxFrameList::Chain(const TCustomFrameList& parent) {
    const auto* p = dynamic_cast<const TBoxFrameList*>(&parent);
    if (!p)
        return;
    chainRect(*p);
    StartColor = p->EndColor;
    StartBorderWidth = p->EndBorderWidth;
    StartBorderColor = p->EndBorderColor;
}

TParticleFrameList::TParticleFrameList(TFilmManager& manager) : TRectFrameList(manager) {
    StartW = EndW = manager.ScreenWidth;
    StartH = EndH = manager.ScreenHeight;
}

void TParticleFrameList::KindFields(TFrameListFields& f) {
    f.Text("file", FileName);
    f.Byte("part-motion", PartMotion);
    f.Int("index", Index);
    f.Int("start-interval", StartInterval);
    f.Int("end-interval", EndInterval);
    f.Int("start-spread", StartSpread);
    f.Int("end-spread", EndSpread);
    f.Pair("start-emit", StartEmitX, StartEmitY);
    f.Pair("end-emit", EndEmitX, EndEmitY);
    f.Pair("start-area", StartAreaW, StartAreaH);
    f.Pair("end-area", EndAreaW, EndAreaH);
    f.Byte("curve-emit-x", CurveEmitX);
    f.Byte("curve-emit-y", CurveEmitY);
    f.Double("start-param-0", StartParam[0]);
    f.Double("start-param-1", StartParam[1]);
    f.Double("start-param-2", StartParam[2]);
    f.Double("end-param-0", EndParam[0]);
    f.Double("end-param-1", EndParam[1]);
    f.Double("end-param-2", EndParam[2]);
    f.Pair("start-pos", StartX, StartY);
    f.Pair("end-pos", EndX, EndY);
    f.Byte("curve-x", CurveX);
    f.Byte("curve-y", CurveY);
    f.Pair("start-size", StartW, StartH);
    f.Pair("end-size", EndW, EndH);
    Clip.Fields(f);
    f.Int("start-alpha", StartAlpha);
    f.Int("end-alpha", EndAlpha);
}

void TParticleFrameList::AfterLoad(int32_t version) {
    TRectFrameList::AfterLoad(version);
    ResolvedName = resolveFilmFileName(FManager.Folder(), FileName);
}

void TParticleFrameList::Chain(const TCustomFrameList& parent) {
    const auto* p = dynamic_cast<const TParticleFrameList*>(&parent);
    if (!p)
        return;
    chainRect(*p);
    StartInterval = p->EndInterval;
    StartSpread = p->EndSpread;
    StartEmitX = p->EndEmitX;
    StartEmitY = p->EndEmitY;
    StartAreaW = p->EndAreaW;
    StartAreaH = p->EndAreaH;
    for (int i = 0; i < 3; ++i)
        StartParam[i] = p->EndParam[i];
}

TFireFrameList::TFireFrameList(TFilmManager& manager) : TRectFrameList(manager) {
    StartW = EndW = manager.ScreenWidth / 4;
    StartH = EndH = 30;
}

void TFireFrameList::KindFields(TFrameListFields& f) {
    f.Pair("start-pos", StartX, StartY);
    f.Pair("end-pos", EndX, EndY);
    f.Byte("curve-x", CurveX);
    f.Byte("curve-y", CurveY);
    f.Pair("start-size", StartW, StartH);
    f.Pair("end-size", EndW, EndH);
    Clip.Fields(f);
    f.Double("start-zoom-x", StartZoomX);
    f.Double("start-zoom-y", StartZoomY);
    f.Double("end-zoom-x", EndZoomX);
    f.Double("end-zoom-y", EndZoomY);
    f.Byte("curve-zoom-x", CurveZoomX);
    f.Byte("curve-zoom-y", CurveZoomY);
    f.Int("power", Power);
}

void TFireFrameList::Chain(const TCustomFrameList& parent) {
    const auto* p = dynamic_cast<const TFireFrameList*>(&parent);
    if (!p)
        return;
    chainRect(*p);
    StartZoomX = p->EndZoomX;
    StartZoomY = p->EndZoomY;
}

void TWipeFrameList::KindFields(TFrameListFields& f) {
    f.Byte("transition", Transition);
    if (f.Version > 100) {
        f.Text("rule", RuleName);
        f.Int("param-0", Param0);
        f.Int("param-1", Param1);
        f.Byte("reverse", Reverse);
    }
}

void TWipeFrameList::AfterLoad(int32_t version) {
    TCustomFrameList::AfterLoad(version);
    // Rule names are not resolved upwards: absolute names stand, others
    // are appended to the film's folder.
    if (RuleName.empty() || RuleName[0] == '\\' || (RuleName.size() > 1 && RuleName[1] == ':'))
        ResolvedRule = RuleName;
    else
        ResolvedRule = FManager.Folder() + RuleName;
}

void TSoundFrameList::KindFields(TFrameListFields& f) {
    f.Text("file", FileName);
    f.Int("start-volume", StartVolume);
    f.Int("end-volume", EndVolume);
    f.Int("start-balance", StartBalance);
    f.Int("end-balance", EndBalance);
    f.Byte("curve-volume", CurveVolume);
    f.Byte("curve-balance", CurveBalance);
}

void TSoundFrameList::AfterLoad(int32_t version) {
    TCustomFrameList::AfterLoad(version);
    // Older files stored volumes in hundredths of a decibel below full.
    if (version <= 107) {
        StartVolume = StartVolume / 10 + 1000;
        EndVolume = EndVolume / 10 + 1000;
    }
    ResolvedName = resolveFilmFileName(FManager.Folder(), FileName);
}

void TSoundFrameList::Chain(const TCustomFrameList& parent) {
    const auto* p = dynamic_cast<const TSoundFrameList*>(&parent);
    if (!p)
        return;
    StartVolume = p->EndVolume;
    StartBalance = p->EndBalance;
    ResolvedName = chainHead()->ResolvedName;
}

} // namespace zuno
