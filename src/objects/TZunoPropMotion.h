// TZunoPropMotion: moves one property of another object towards a value over
// time. Each update computes the value for the elapsed time along its curve and
// writes it through the property dispatch; when the time is up it writes the
// end value and asks to be deleted. The target is named, not held: it is found
// on the first update (and again after a game load), and a motion whose target
// has left the registry ends.
#pragma once

#include <cstdint>
#include <string>

#include "expr/ParamConvert.h"
#include "objects/TZunoObject.h"

namespace zuno {

class TZunoPropMotion : public TZunoComponent {
public:
    // Curves: sine quarter-waves (1 starts slowly and speeds up, 2 starts
    // fast and slows down); anything else is linear.
    static constexpr int32_t kCurveEaseIn = 1;
    static constexpr int32_t kCurveEaseOut = 2;

    uint8_t             GetCompoType() const override { return LT_PROPMOTION; }

    const std::string&  TargetName() const { return FTargetName; }
    void                SetTargetName(const std::string& name) { FTargetName = name; }
    int32_t             Property() const { return FProperty; }
    void                SetProperty(int32_t id) { FProperty = id; }
    TReal               EndValue() const { return FEndValue; }
    void                SetEndValue(TReal v) { FEndValue = v; }
    int32_t             Duration() const { return FDuration; }
    void                SetDuration(int32_t ms) { FDuration = ms; }
    int32_t             Curve() const { return FCurve; }
    void                SetCurve(int32_t c) { FCurve = c; }
    TReal               StartValue() const { return FStartValue; }
    int32_t             Elapsed() const { return FElapsed; }

    // The value at elapsed time e (ms) of a motion from start to end over d ms.
    static TReal        valueAt(int32_t curve, TReal start, TReal end, int32_t e, int32_t d);

    int                 Update() override;
    // After the object record: target name, property, end value, duration,
    // curve, start value, elapsed time, and from save version 126 the paused flag.
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    std::string         FTargetName;
    TZunoObject*        FTarget = nullptr;          // found on the first update; not owned
    bool                FResolved = false;          // the target was looked for
    int32_t             FProperty = -1;             // none until the command gives one
    TReal               FEndValue = 0;
    int32_t             FDuration = 0;
    int32_t             FCurve = 0;
    TReal               FStartValue = 0;
    int32_t             FElapsed = 0;
};

} // namespace zuno
