#include "objects/TZunoParticle.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "core/StreamFields.h"
#include "core/TExtended.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

namespace {

constexpr long double kTwoPi = 2.0L * std::numbers::pi_v<long double>;

int32_t toInt32(long double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int32_t>(std::clamp(v, (long double)INT32_MIN, (long double)INT32_MAX));
}

// Nearest integer, halves to even (the default rounding mode). Positions
// are far inside the double range, where the 80-bit rounding is slow.
int32_t roundEven(long double v) { return toInt32(std::nearbyint(double(v))); }

// The sine and cosine of the phases, in double precision: the results are
// rounded to whole pixels at once.
long double sinOf(long double a) { return std::sin(double(a)); }
long double cosOf(long double a) { return std::cos(double(a)); }
int32_t truncInt(long double v) { return toInt32(std::trunc(v)); }
int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

} // namespace

TZunoParticle::TEvaluator TZunoParticle::Evaluator;

//==============================================================================
// TZunoParticleImages
//==============================================================================

TZunoParticleImages::~TZunoParticleImages() {
    if (FEmitter)
        FEmitter->leavePool(this);
}

TZunoImageList* TZunoParticleImages::GetFrames() { return FEmitter ? &FEmitter->Frames() : nullptr; }

void TZunoParticleImages::setLeftTop(long double x, long double y) {
    SetLeft(toInt32(x));
    SetTop(toInt32(y));
}

void TZunoParticleImages::Initialise() {
    SetOffsetX(FWidth / 2);
    SetOffsetY(FHeight / 2);
    TZunoBaseList* reg = FOwner;
    auto random = [reg] { return reg ? (long double)reg->RandomReal() : 0.0L; };
    switch (Kind) {
    case PM_SNOW:
        BaseX = FLeft;
        BaseY = FTop;
        Sway = 0;
        Theta = 0;
        Omega = random() * 0.02 + 0.02;
        if (P[0] <= 0)
            P[0] = 0.1;
        if (P[2] > P[1])
            Sway = random() * (P[2] - P[1]);
        break;
    case PM_STAR: {
        BaseX = FLeft;
        BaseY = FTop;
        Theta = random() * kTwoPi;
        Rho = P[0] + 0.1;
        setLeftTop((long double)(roundEven(Rho * cosOf(Theta))) + BaseX, double(roundEven(Rho * sinOf(Theta))) + BaseY);
        const long double pw = FParent ? FParent->Width() : 0, ph = FParent ? FParent->Height() : 0;
        const long double cx = BaseX >= pw / 2 ? 0 : pw, cy = BaseY >= ph / 2 ? 0 : ph;
        Limit = std::hypot(cx - BaseX, cy - BaseY);
        P[2] = random() * 0.3 * P[2] + 0.7 * P[2];
        break;
    }
    case PM_FLUFF:
        P[1] = (P[2] - P[1]) * random() + P[1];
        RealX = FLeft;
        BaseY = FTop;
        break;
    case PM_TWISTER:
        BaseX = FLeft;
        Acc = FTop;
        Sway = random() * (P[1] / 2 * 0.05) + P[1] / 2 * 0.95;
        Omega = random() * (P[2] / 2) + P[2] / 2;
        break;
    default:
        break;
    }
}

void TZunoParticleImages::StepBy(int32_t k) {
    if (Finished || k <= 0)
        return;
    Age += int64_t(k) * TZunoParticle::kStepMs;
    const int32_t parentWidth = FParent ? FParent->Width() : 0;
    const int32_t parentHeight = FParent ? FParent->Height() : 0;
    switch (Kind) {
    case PM_SNOW:
        Theta += Omega * k;
        SetLeft(clamp32(int64_t(roundEven(sinOf(Theta) * (P[1] + Sway))) + BaseX));
        Acc += k * P[0];
        if (Acc >= 1) {
            const long double whole = std::trunc(Acc);
            SetTop(clamp32(int64_t(FTop) + truncInt(whole)));
            Acc -= whole;
        }
        Finished = FTop >= parentHeight;
        break;
    case PM_STAR:
        if (k > 1)
            Rho *= std::pow(P[1], (long double)(k - 1));
        if (!(Rho >= -2147483647.0L && Rho <= 2147483647.0L)) {
            Finished = true;
            break;
        }
        setLeftTop((long double)(roundEven(cosOf(Theta) * Rho)) + BaseX, (long double)(roundEven(sinOf(Theta) * Rho)) + BaseY);
        Rho *= P[1];
        Finished = Rho >= Limit;
        Theta += P[2];
        break;
    case PM_FLUFF:
        RealX += k * P[1];
        SetLeft(truncInt(RealX));
        Acc += k;
        SetTop(clamp32(int64_t(BaseY) - truncInt(P[0] * Acc * Acc)));
        if (P[1] >= 0)
            Finished = FLeft >= parentWidth || int64_t(FTop) + FHeight < 0;
        else
            Finished = int64_t(FLeft) + FWidth < 0 || int64_t(FTop) + FHeight < 0;
        break;
    case PM_TWISTER: {
        Theta += k * Omega;
        if (Theta > kTwoPi)
            Theta -= kTwoPi;
        const long double g = std::fabs(cosOf(Theta / 2)) * 0.5 + 0.5;
        SetZoomX(roundEven(g * 256));
        SetZoomY(roundEven(g * 256));
        SetLeft(clamp32(int64_t(truncInt(g * sinOf(Theta) * Sway)) + BaseX));
        Acc -= P[0];
        SetTop(truncInt(Acc));
        // Nearer particles draw in front; the emitter sorts its children
        // once after the step instead of at every particle.
        const int32_t depth = roundEven((g - 0.5) / 0.5 * 2000 - 1000);
        if (depth != FPriority || FPriorityBias != 0) {
            FPriority = depth;
            FPriorityBias = 0;
            if (FEmitter)
                FEmitter->FResort = true;
            Invalidate();
        }
        Finished = int64_t(FTop) + FHeight < 0;
        break;
    }
    default:
        Finished = true;
        break;
    }
}

TPropValue TZunoParticleImages::GetProp(int id) {
    // What the registry asks every object each frame, answered without the
    // table search (a particle implements neither).
    if (id == PR_ONIDLE)
        return TPropValue::ofStr({});
    if (id == PR_AUTOSCRAP || id == PR_REPEAT)
        return TPropValue::ofBool(false);
    return TZunoCustomImages::GetProp(id);
}

void TZunoParticleImages::Draw() {
    // Mostly a particle has no children and no selection frame: then only
    // its picture is drawn, without the walk over the children.
    if (!FChildren.empty() || Highlight) {
        TZunoCustomImages::Draw();
        return;
    }
    TCustomDIBX* picture = GetImage();
    if (picture && FWidth > 0 && FHeight > 0 && !picture->IsEmpty() && GetSurface()) {
        BeforeDraw();
        DrawImage();
        AfterDraw();
    }
}

bool TZunoParticleImages::MayDrawIn(const TRect& area) {
    if (!FChildren.empty() || (FEmitter && !FEmitter->FCullParticles))
        return true;
    const TRect client = GetClientRect();
    if (!intersectRect(client, area).isEmpty())
        return true;
    // A turned picture reaches past the control's rectangle.
    return FAngle != 0 && !intersectRect(DrawnArea(), area).isEmpty();
}

int TZunoParticleImages::Update() {
    if (Finished)
        return 1;
    // A single still frame has nothing to animate; thousands of particles
    // skip the frame bookkeeping of image controls.
    TZunoImageList* frames = GetFrames();
    if (!FMotion && (!frames || frames->Count() <= 1))
        return 0;
    return TZunoCustomImages::Update();
}

//==============================================================================
// TZunoParticle: properties
//==============================================================================

TZunoParticle::TZunoParticle() = default;

TZunoParticle::~TZunoParticle() {
    for (TZunoParticleImages* p : FPool)
        p->FEmitter = nullptr;
}

void TZunoParticle::AssignPropertyExpression(int id, const TZunoParser& expression) {
    std::unique_ptr<TZunoParser>* slot = id == PR_APPEARX ? &FAppearX
                                       : id == PR_APPEARY ? &FAppearY
                                       : id == PR_DELAY   ? &FDelay
                                                          : nullptr;
    if (!slot)
        return;
    *slot = std::make_unique<TZunoParser>();
    (*slot)->CopyFrom(expression);
}

TZunoParticleParam& TZunoParticle::ParamRecord() {
    if (!FParamRecord)
        FParamRecord = std::make_unique<TZunoParticleParam>();
    return *FParamRecord;
}

void TZunoParticle::clearParticles() {
    std::vector<TZunoParticleImages*> pool;
    pool.swap(FPool);
    for (TZunoParticleImages* p : pool) {
        p->FEmitter = nullptr;
        p->Finished = true;
        if (FOwner)
            FOwner->ScheduleDelete(p);
    }
}

void TZunoParticle::leavePool(TZunoParticleImages* p) {
    auto it = std::find(FPool.rbegin(), FPool.rend(), p);
    if (it != FPool.rend())
        FPool.erase(std::next(it).base());
}

void TZunoParticle::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    FSource = text;
    clearParticles();
    FFrames.Clear();
    if (fileExtensionLower(text) == ".drl")
        FFrames.Load(text);
    FState = 0;
}

void TZunoParticle::SetMotionKind(uint8_t k) {
    if (k == FMotionKind)
        return;
    FMotionKind = k;
    FState = 0;
}

void TZunoParticle::SetParam(int i, long double v) {
    if (i >= 0 && i < 3)
        FParams[size_t(i)] = v;
}

void TZunoParticle::SetAlpha(int32_t v) {
    FAlpha = v;
    Invalidate();
}

TPropValue TZunoParticle::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:     return TPropValue::ofStr(FSource);
    case PR_PARTMOTION: return TPropValue::ofInt(FMotionKind);
    case PR_PARAM1:     return TPropValue::ofFloat(FParams[0]);
    case PR_PARAM2:     return TPropValue::ofFloat(FParams[1]);
    case PR_PARAM3:     return TPropValue::ofFloat(FParams[2]);
    case PR_ALPHA:      return TPropValue::ofInt(FAlpha);
    case PR_INDEX:      return TPropValue::ofInt(FPreRun);
    case PR_DURATION:   return TPropValue::ofInt(FDuration);
    case PR_ONIDLE:     return TPropValue::ofStr(FOnIdle);
    case PR_PAUSED:     return TPropValue::ofBool(FPaused);
    default:            return TZunoControl::GetProp(id);
    }
}

void TZunoParticle::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_SOURCE:     SetSource(v.Str); return;
    case PR_PARTMOTION: SetMotionKind(static_cast<uint8_t>(v.Int)); return;
    case PR_PARAM1:     SetParam(0, v.Float); return;
    case PR_PARAM2:     SetParam(1, v.Float); return;
    case PR_PARAM3:     SetParam(2, v.Float); return;
    case PR_ALPHA:      SetAlpha(v.Int); return;
    case PR_INDEX:      FPreRun = v.Int; return;
    case PR_DURATION:   FDuration = v.Int; return;
    case PR_ONIDLE:     FOnIdle = v.Str; return;
    case PR_PAUSED:     FPaused = v.Bool; return;
    default:            TZunoControl::SetProp(id, v); return;
    }
}

bool TZunoParticle::IsPlaying() { return !FPaused && !AniPaused(); }

//==============================================================================
// Emission
//==============================================================================

std::optional<int32_t> TZunoParticle::evaluate(TZunoParser* expression) {
    if (!expression || !Evaluator)
        return std::nullopt;
    return Evaluator(*expression);
}

void TZunoParticle::emit(int32_t x, int32_t y, int32_t stepsAhead) {
    if (!FOwner || int32_t(FPool.size()) >= kMaxParticles)
        return;
    auto owned = std::make_unique<TZunoParticleImages>();
    TZunoParticleImages* p = owned.get();
    // System names (0x01 ... 0x01 + number) keep particles out of saves.
    const std::string base = "\x01" + FName + "\x01";
    std::string name;
    do
        name = base + std::to_string(FNameCounter++);
    while (FOwner->IndexOfName(name) >= 0);
    FOwner->Register(std::move(owned));
    p->FName = name;
    p->FEmitter = this;
    FPool.push_back(p);
    p->FIgnoreMouse = IM_ALL;
    p->Kind = FMotionKind;
    p->SetParent(this);
    p->SetLeft(x);
    p->SetTop(y);
    p->SetAlpha(FAlpha);
    p->P = FParams;
    if (FFrames.Count() > 0)
        p->SetIndex(0);
    if (fileExtensionLower(FSource) == ".zmt")
        p->LoadMotion(FSource);
    p->Initialise();
    if (stepsAhead > 0)
        p->StepBy(stepsAhead);
}

void TZunoParticle::Advance(int32_t n, bool emitting) {
    n = std::max(0, n);
    if (emitting)
        FUntilNext = clamp32(int64_t(FUntilNext) - int64_t(n) * kStepMs);
    if (n > 0) {
        // From the last to the first; a finished particle leaves at its update.
        // The steps move particles only: the emitter's place holds.
        TPinnedPosition pin(*this);
        for (size_t i = FPool.size(); i-- > 0;)
            FPool[i]->StepBy(n);
    }
    if (!emitting || FMotionKind == PM_NONE)
        return;
    int64_t t = int64_t(n) * kStepMs;
    for (int32_t emitted = 0; FUntilNext <= 0; ++emitted) {
        int32_t x, y, interval;
        if (FParamRecord) {
            const TZunoParticleParam& r = *FParamRecord;
            x = clamp32(int64_t(FOwner ? FOwner->RandomInt(r.AreaWidth) : 0) + r.EmissionX);
            y = clamp32(int64_t(FOwner ? FOwner->RandomInt(r.AreaHeight) : 0) + r.EmissionY);
            interval = clamp32(std::max<int64_t>(2, int64_t(FOwner ? FOwner->RandomInt(r.Spread) : 0) + r.IntervalBase));
        } else {
            const std::optional<int32_t> d = evaluate(FDelay.get());
            interval = d ? std::max(2, *d) : kStepMs;
            x = evaluate(FAppearX.get()).value_or(0);
            y = evaluate(FAppearY.get()).value_or(0);
        }
        FUntilNext = clamp32(int64_t(FUntilNext) + interval);
        t -= interval;
        if (emitted >= kMaxEmissionsPerAdvance) {
            // The backlog is dropped: the next emission comes one interval on.
            FUntilNext = std::max(FUntilNext, interval);
            break;
        }
        emit(x, y, t > 0 ? clamp32(t / kStepMs) : 0);
    }
    if (FResort) {
        FResort = false;
        SortChildren();
    }
}

int TZunoParticle::Update() {
    const int answer = TZunoControl::Update();
    if (answer != 0)
        return answer;
    if (AniPaused())
        return 0;
    const int32_t elapsed = FOwner ? std::max(0, FOwner->FrameElapsed()) : 0;
    auto run = [&](bool emitting) {
        const int64_t total = int64_t(FRemainder) + elapsed;
        FRemainder = static_cast<int32_t>(total % kStepMs);
        Advance(clamp32(total / kStepMs), emitting);
    };
    switch (FState) {
    case 0: {
        FState = 1;
        FUntilNext = 0;
        const int32_t preRun = std::max(0, FPreRun);
        FRemainder = preRun % kStepMs;
        Advance(preRun / kStepMs, true);
        break;
    }
    case 1:
        run(true);
        if (FDuration > 0) {
            FDuration = clamp32(int64_t(FDuration) - elapsed);
            if (FDuration <= 0)
                FState = 2;
        }
        break;
    default:
        if (FPool.empty())
            return 1;
        run(false);
        break;
    }
    if (FResort) {
        FResort = false;
        SortChildren();
    }
    return 0;
}

void TZunoParticle::Draw() {
    // Thousands of particles ask for their parent's place and surface: both
    // hold while they draw.
    TPinnedPosition pin(*this);
    TCustomDIBX* const outer = FDrawSurface;
    const bool outerCull = FCullParticles;
    FDrawSurface = GetSurface();
    if (FDrawSurface) {
        // Particles are cut to the emitter's rectangle: when the repainted
        // area holds all of it, one outside draws nothing anyway and testing
        // each would only cost time.
        const TRect saved = FDrawSurface->ClipRect;
        const TRect k = saved.Right == 0 ? TRect(0, 0, FDrawSurface->GetWidth(), FDrawSurface->GetHeight()) : saved;
        const TRect client = GetClientRect();
        FCullParticles = !(client.Left >= k.Left && client.Top >= k.Top && client.Right <= k.Right &&
                           client.Bottom <= k.Bottom);
    }
    TZunoControl::Draw();
    FDrawSurface = outer;
    FCullParticles = outerCull;
}

//==============================================================================
// Save record
//==============================================================================

void TZunoParticle::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    for (TZunoParser* e : {FAppearX.get(), FAppearY.get(), FDelay.get()}) {
        if (e)
            e->SaveToStream(s);
        else
            TZunoParser().SaveToStream(s);
    }
    WriteString(s, FSource);
    WriteByte(s, FMotionKind);
    for (long double p : FParams)
        WriteExtended(s, TExtended::fromDouble(double(p)));
    WriteInt(s, FAlpha);
    WriteInt(s, FPreRun);
    WriteString(s, FOnIdle);
    WriteBool(s, FPaused);
    WriteInt(s, FDuration);
}

void TZunoParticle::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    for (std::unique_ptr<TZunoParser>* e : {&FAppearX, &FAppearY, &FDelay}) {
        auto parser = std::make_unique<TZunoParser>();
        parser->LoadFromStream(s);
        *e = parser->Empty() ? nullptr : std::move(parser);
    }
    SetSource(ReadString(s));
    FMotionKind = ReadByte(s);
    for (long double& p : FParams)
        p = ReadExtended(s).toDouble();
    FAlpha = ReadInt(s);
    if (version > 103) {
        FPreRun = ReadInt(s);
        FOnIdle = ReadString(s);
        FPaused = ReadBool(s);
        FDuration = ReadInt(s);
    }
    FState = 0;
    FUntilNext = 0;
    FRemainder = 0;
}

} // namespace zuno
