// TZunoFire: the fire surface (LT_FIRE). An 8-bit heat field rises and cools
// every 40 ms: its bottom rows burn at full heat, every cell takes the cooled
// sum of its neighbours below it less a scrolling noise, and the field is
// drawn additively through the fire palette (heat 16 and below draws
// nothing). The size of the field is FieldWidth x FieldHeight cells; the
// control's size is that scaled by the zoom factors (1/256 units).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TDIBX.h"
#include "objects/TZunoControl.h"

namespace zuno {

class TZunoFire : public TZunoControl {
public:
    // Longest side of the heat field actually kept; larger sizes are stored
    // and read back as given but burn in a field cut to this side.
    static constexpr int32_t kMaxFieldSide = 2048;
    static constexpr int32_t kStepMs = 40;
    static constexpr uint8_t kSourceHeat = 254;
    static constexpr uint8_t kColdHeat = 16;

                        TZunoFire();
                        ~TZunoFire() override;

    uint8_t             GetCompoType() const override { return LT_FIRE; }

    int32_t             Power() const { return FPower; }
    void                SetPower(int32_t p);                         // stored 0 .. 255, table from p itself
    int32_t             FieldWidth() const { return FFieldWidth; }
    int32_t             FieldHeight() const { return FFieldHeight; }
    void                SetFieldWidth(int32_t w);
    void                SetFieldHeight(int32_t h);
    int32_t             ZoomX() override { return FZoomX; }
    int32_t             ZoomY() override { return FZoomY; }
    void                SetZoomX(int32_t z);                         // at least 1
    void                SetZoomY(int32_t z);

    // The heat field (8 bits, transparent value 16) and the tables, for
    // inspection.
    TDIBX&              HeatField() { return *FHeat; }
    bool                Initialised() const { return FInitialised; }
    int32_t             TimeBank() const { return FTimeBank; }
    const std::array<uint8_t, 1024>& CoolingTable() const { return FCooling; }
    // Runs one step of the field now (the update runs them every 40 ms).
    void                Step();

    // The palettes: 0x00RRGGBB, 5-6-5 and 5-5-5 pixel values by heat.
    static const std::array<uint32_t, 256>& Palette32();
    static const std::array<uint32_t, 256>& Palette16();
    static const std::array<uint32_t, 256>& Palette15();
    // The cooling table of decay d.
    static std::array<uint8_t, 1024> BuildCoolingTable(double decay);

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    bool                IsPlaying() override;
    int                 Update() override;
    void                Draw() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    void                recomputeWidth();
    void                recomputeHeight();
    void                rebuildField();

    int32_t             FPower = 1;
    int32_t             FFieldWidth = 0, FFieldHeight = 0;
    int32_t             FZoomX = 256, FZoomY = 256;
    std::unique_ptr<TDIBX> FHeat;
    std::vector<uint8_t> FNoise;
    int32_t             FRowOffset = 0, FColumnOffset = 0;
    std::array<uint8_t, 1024> FCooling{};
    std::array<uint8_t, 256> FFloor{};
    std::string         FOnIdle;
    bool                FPaused = false;
    bool                FInitialised = false;
    int32_t             FTimeBank = 0;
};

} // namespace zuno
