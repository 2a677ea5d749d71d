// TZunoWave: the wave surface (LT_WAVE). It draws nothing itself; while its
// amplitude is not 0 its children draw through a row-offset surface that
// shifts each pixel row sideways by a sine wave travelling over time:
// Amplitude pixels high, WaveLength rows per full wave, Period milliseconds
// per full cycle. Its repaint area is its drawn rectangle widened by the
// size of the amplitude on both sides, whatever its sign.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "imaging/TDIBXWave.h"
#include "objects/TZunoControl.h"

namespace zuno {

class TZunoWave : public TZunoControl {
public:
    // Rows the offset table describes at most (the largest scene side);
    // rows of a taller wave below them are not drawn.
    static constexpr int32_t kMaxRows = 4096;

                        TZunoWave();
                        ~TZunoWave() override;

    uint8_t             GetCompoType() const override { return LT_WAVE; }

    int32_t             Amplitude() const { return FAmplitude; }
    void                SetAmplitude(int32_t v);
    int32_t             WaveLength() const { return FWaveLength; }
    void                SetWaveLength(int32_t v);                     // 0 or less becomes 1
    int32_t             Period() const { return FPeriod; }
    void                SetPeriod(int32_t v);                         // 0 or less becomes 1
    int32_t             Phase() const { return FPhase; }              // 1/256 turns
    int32_t             TimeRemainder() const { return FRemainder; }
    TDIBXWave&          WaveSurface() { return *FSurface; }

    TCustomDIBX*        ChildSurface() override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    bool                IsPlaying() override;
    void                PositionChanged() override;
    void                ExpandDirtyRect(TRect& r) override;
    int                 Update() override;
    void                Draw() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    // The table sized to the control and its first row at the drawn top.
    void                fitSurface();
    // The offsets of the current phase; true when any entry changed.
    bool                computeOffsets();

    std::unique_ptr<TDIBXWave> FSurface;
    int32_t             FAmplitude = 10;
    int32_t             FWaveLength = 200;
    int32_t             FPeriod = 2000;
    int32_t             FPhase = 0;
    int32_t             FRemainder = 0;
    std::string         FOnIdle;
    bool                FPaused = false;
};

} // namespace zuno
