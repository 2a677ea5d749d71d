// TZunoParticle: the particle surface (LT_PARTICLE), an emitter. Every 16 ms
// step it moves its particles and, at intervals its delay expression (or a
// cinema track's parameter record) gives, creates new ones at the point its
// appear expressions give. Each particle is a small image control, child of
// the emitter, showing the emitter's frames and moving by the emitter's
// motion kind: snow falls and sways, stars fly outward in a turning spiral,
// fluff drifts sideways and rises, a twister rises circling in depth.
//
// The emitter keeps its own copies of the appear-point and delay
// expressions of the command that created it and evaluates them whenever a
// particle starts, so a random expression gives every particle its own value.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "expr/TZunoParser.h"
#include "objects/TZunoControl.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoImageList.h"

namespace zuno {

enum TParticleMotion : uint8_t { PM_NONE = 0, PM_SNOW = 1, PM_STAR = 2, PM_FLUFF = 3, PM_TWISTER = 4 };

class TZunoParticle;

// What a cinema particle track gives an emitter instead of its expressions.
struct TZunoParticleParam {
    int32_t             EmissionX = 0, EmissionY = 0;
    int32_t             AreaWidth = 1, AreaHeight = 1;
    int32_t             IntervalBase = 100;
    int32_t             Spread = 1;
};

// One particle. It reads its frames from its emitter while the emitter lives.
class TZunoParticleImages : public TZunoCustomImages {
public:
                        ~TZunoParticleImages() override;

    bool                WantsAutoName() const override { return false; }   // the emitter names it
    TZunoImageList*     GetFrames() override;
    TPropValue          GetProp(int id) override;
    bool                Paused() override { return FPaused; }          // PR_PAUSED without the table
    int                 Update() override;
    void                Draw() override;
    // Outside its drawn area a particle draws nothing (children aside).
    bool                MayDrawIn(const TRect& area) override;

    // The kinematics: set up at emission, then k steps of 16 ms at once.
    void                Initialise();
    void                StepBy(int32_t k);

    uint8_t             Kind = PM_SNOW;
    // The reals are 80-bit where the platform has them, as saves hold them.
    std::array<long double, 3> P{};                                  // the parameters
    bool                Finished = false;
    int64_t             Age = 0;                                      // ms
    int32_t             BaseX = 0, BaseY = 0;
    long double         Theta = 0, Omega = 0, Rho = 0, Sway = 0, Acc = 0, RealX = 0, Limit = 0;

private:
    friend class TZunoParticle;
    void                setLeftTop(long double x, long double y);               // cut to 32 bits
    TZunoParticle*      FEmitter = nullptr;
};

class TZunoParticle : public TZunoControl {
public:
    // Frame time step of the emitter and its particles.
    static constexpr int32_t kStepMs = 16;
    // Live particles of one emitter at most: an emission past it is skipped.
    static constexpr int32_t kMaxParticles = 10000;
    // Emissions one advance handles at most; a larger backlog (a huge
    // pre-run with a short interval) is dropped.
    static constexpr int32_t kMaxEmissionsPerAdvance = 2 * kMaxParticles;

    // Evaluates an appear or delay expression; none when it gives no value.
    // Installed by the script layer (the expression needs the variables and
    // the built-in functions); without it no expression gives a value.
    using TEvaluator = std::function<std::optional<int32_t>(TZunoParser& expression)>;
    static TEvaluator   Evaluator;

                        TZunoParticle();
                        ~TZunoParticle() override;

    uint8_t             GetCompoType() const override { return LT_PARTICLE; }
    // The position rules ask the parent of every particle for these each
    // time; the kind has none of them, so they are the table's defaults.
    int32_t             ZoomX() override { return 256; }
    int32_t             ZoomY() override { return 256; }
    bool                FlipH() override { return false; }
    bool                FlipV() override { return false; }
    int32_t             ScrollX() override { return 0; }
    int32_t             ScrollY() override { return 0; }

    void                AssignPropertyExpression(int id, const TZunoParser& expression) override;
    // The copies (none until a creation command gives one).
    TZunoParser*        AppearX() const { return FAppearX.get(); }
    TZunoParser*        AppearY() const { return FAppearY.get(); }
    TZunoParser*        Delay() const { return FDelay.get(); }
    // The cinema track's record (made when missing), or none.
    TZunoParticleParam& ParamRecord();
    void                FreeParamRecord() { FParamRecord.reset(); }

    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);
    uint8_t             MotionKind() const { return FMotionKind; }
    void                SetMotionKind(uint8_t k);
    long double         Param(int i) const { return i >= 0 && i < 3 ? FParams[size_t(i)] : 0.0L; }
    void                SetParam(int i, long double v);
    int32_t             Alpha() const { return FAlpha; }
    void                SetAlpha(int32_t v);
    int32_t             State() const { return FState; }
    int32_t             UntilNext() const { return FUntilNext; }
    int32_t             Remainder() const { return FRemainder; }
    TZunoImageList&     Frames() { return FFrames; }
    const std::vector<TZunoParticleImages*>& Pool() const { return FPool; }

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    bool                IsPlaying() override;
    int                 Update() override;
    void                Draw() override;
    TCustomDIBX*        ChildSurface() override { return FDrawSurface ? FDrawSurface : GetSurface(); }
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

    // n steps of the pool, and the emissions they bring when emitting.
    void                Advance(int32_t n, bool emitting);

private:
    friend class TZunoParticleImages;
    void                emit(int32_t x, int32_t y, int32_t stepsAhead);
    void                clearParticles();
    void                leavePool(TZunoParticleImages* p);
    std::optional<int32_t> evaluate(TZunoParser* expression);

    std::unique_ptr<TZunoParser> FAppearX, FAppearY, FDelay;
    std::unique_ptr<TZunoParticleParam> FParamRecord;
    std::string         FSource;
    TZunoImageList      FFrames;
    std::vector<TZunoParticleImages*> FPool;
    uint8_t             FMotionKind = PM_SNOW;
    std::array<long double, 3> FParams{};
    int32_t             FAlpha = 255;
    int32_t             FUntilNext = 0;
    int32_t             FRemainder = 0;
    int32_t             FPreRun = 0;
    std::string         FOnIdle;
    bool                FPaused = false;
    int32_t             FDuration = 0;
    int32_t             FState = 0;
    int64_t             FNameCounter = 0;
    bool                FResort = false;                               // a twister changed its depth
    TCustomDIBX*        FDrawSurface = nullptr;                        // the surface while drawing
    bool                FCullParticles = true;                         // part of the emitter is repainted
};

} // namespace zuno
