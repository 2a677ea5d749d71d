#include "objects/TZunoFire.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/StreamFields.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

namespace {

// The palette's telling rows: heat, red, green, blue. The rows between them
// move evenly from one to the next.
struct TFireRow {
    int32_t Heat, R, G, B;
};
constexpr TFireRow kFireRows[] = {
    {0, 0, 0, 0},          {16, 51, 19, 1},      {32, 102, 39, 3},     {64, 146, 62, 4},
    {112, 213, 97, 7},     {128, 223, 117, 9},   {160, 243, 157, 13},  {176, 249, 174, 34},
    {192, 255, 192, 55},   {224, 255, 211, 115}, {255, 255, 230, 175},
};

std::array<uint32_t, 256> makePalette(uint32_t (*pack)(uint32_t r, uint32_t g, uint32_t b)) {
    std::array<uint32_t, 256> pal{};
    for (size_t k = 0; k + 1 < std::size(kFireRows); ++k) {
        const TFireRow& a = kFireRows[k];
        const TFireRow& b = kFireRows[k + 1];
        for (int32_t h = a.Heat; h <= b.Heat; ++h) {
            const double t = double(h - a.Heat) / double(b.Heat - a.Heat);
            auto lerp = [t](int32_t x, int32_t y) { return uint32_t(std::lround(x + (y - x) * t)); };
            pal[size_t(h)] = pack(lerp(a.R, b.R), lerp(a.G, b.G), lerp(a.B, b.B));
        }
    }
    return pal;
}

int32_t clampedInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

double decayOf(int32_t power) { return (128.0 - power) / 128.0 * 1.2825 + 4.2175; }

} // namespace

const std::array<uint32_t, 256>& TZunoFire::Palette32() {
    static const auto pal = makePalette([](uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; });
    return pal;
}

const std::array<uint32_t, 256>& TZunoFire::Palette16() {
    static const auto pal =
        makePalette([](uint32_t r, uint32_t g, uint32_t b) { return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3; });
    return pal;
}

const std::array<uint32_t, 256>& TZunoFire::Palette15() {
    static const auto pal =
        makePalette([](uint32_t r, uint32_t g, uint32_t b) { return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3; });
    return pal;
}

std::array<uint8_t, 1024> TZunoFire::BuildCoolingTable(double decay) {
    std::array<uint8_t, 1024> table{};
    for (int32_t s = 0; s < 1024; ++s) {
        const double e = std::pow((1023.0 - s) / 1023.0, 3.0);
        // nearbyint rounds halves to even in the default rounding mode.
        const double v = std::nearbyint(double(s) / (decay - 0.05 * e));
        table[size_t(s)] = !(v < 255.0) || v < 0 ? uint8_t(254) : static_cast<uint8_t>(v);
    }
    return table;
}

TZunoFire::TZunoFire() : FHeat(std::make_unique<TDIBX>(8, 8, 8)) {
    FHeat->TransparentColor = kColdHeat;
    FCooling = BuildCoolingTable(4.5);
}

TZunoFire::~TZunoFire() = default;

//==============================================================================
// Properties
//==============================================================================

void TZunoFire::SetPower(int32_t p) {
    if (p == FPower)
        return;
    FPower = std::clamp(p, 0, 255);
    FCooling = BuildCoolingTable(decayOf(p));
}

void TZunoFire::recomputeWidth() { SetWidth(clampedInt(int64_t(FFieldWidth) * FZoomX / 256)); }
void TZunoFire::recomputeHeight() { SetHeight(clampedInt(int64_t(FFieldHeight) * FZoomY / 256)); }

void TZunoFire::SetFieldWidth(int32_t w) {
    if (w == FFieldWidth)
        return;
    FFieldWidth = w;
    Invalidate();
    recomputeWidth();
    Invalidate();
    FInitialised = false;
}

void TZunoFire::SetFieldHeight(int32_t h) {
    if (h == FFieldHeight)
        return;
    FFieldHeight = h;
    Invalidate();
    recomputeHeight();
    Invalidate();
    FInitialised = false;
}

void TZunoFire::SetZoomX(int32_t z) {
    if (z == FZoomX)
        return;
    Invalidate();
    FZoomX = std::max(1, z);
    recomputeWidth();
    Invalidate();
}

void TZunoFire::SetZoomY(int32_t z) {
    if (z == FZoomY)
        return;
    Invalidate();
    FZoomY = std::max(1, z);
    recomputeHeight();
    Invalidate();
}

TPropValue TZunoFire::GetProp(int id) {
    switch (id) {
    case PR_POWER:      return TPropValue::ofInt(FPower);
    case PR_ORIGWIDTH:  return TPropValue::ofInt(FFieldWidth);
    case PR_ORIGHEIGHT: return TPropValue::ofInt(FFieldHeight);
    case PR_ZOOMX:      return TPropValue::ofInt(FZoomX);
    case PR_ZOOMY:      return TPropValue::ofInt(FZoomY);
    case PR_ONIDLE:     return TPropValue::ofStr(FOnIdle);
    case PR_PAUSED:     return TPropValue::ofBool(FPaused);
    default:            return TZunoControl::GetProp(id);
    }
}

void TZunoFire::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_POWER:      SetPower(v.Int); return;
    case PR_ORIGWIDTH:  SetFieldWidth(v.Int); return;
    case PR_ORIGHEIGHT: SetFieldHeight(v.Int); return;
    case PR_ZOOMX:      SetZoomX(v.Int); return;
    case PR_ZOOMY:      SetZoomY(v.Int); return;
    case PR_ONIDLE:     FOnIdle = v.Str; return;
    case PR_PAUSED:     FPaused = v.Bool; return;
    default:            TZunoControl::SetProp(id, v); return;
    }
}

bool TZunoFire::IsPlaying() { return !FPaused && !AniPaused(); }

//==============================================================================
// The heat field
//==============================================================================

void TZunoFire::rebuildField() {
    const int32_t w = std::clamp(FFieldWidth, 0, kMaxFieldSide);
    const int32_t h = std::clamp(FFieldHeight, 0, kMaxFieldSide);
    if (FHeat->GetWidth() != w || FHeat->GetHeight() != h || FHeat->GetBitCount() != 8)
        FHeat->SetSize(w, h, 8);
    FNoise.resize(size_t(w) * size_t(h));
    for (uint8_t& n : FNoise)
        n = static_cast<uint8_t>(FOwner ? FOwner->RandomInt(9) : 0);
    FRowOffset = 0;
    FColumnOffset = 0;
    for (int32_t i = 0; i < 256; ++i)
        FFloor[size_t(i)] = static_cast<uint8_t>(i < kColdHeat ? kColdHeat : i);
    for (int32_t y = 0; y < h; ++y)
        std::fill_n(FHeat->ScanLine(y), w, kColdHeat);
    FInitialised = true;
}

void TZunoFire::Step() {
    const int32_t w = FHeat->GetWidth(), h = FHeat->GetHeight();
    if (w <= 0 || h <= 0 || FNoise.size() != size_t(w) * size_t(h))
        return;
    FRowOffset = (FRowOffset + 1) % h;
    if (FRowOffset % 8 == 0)
        FColumnOffset = (FColumnOffset + 1) % w;
    for (int32_t y = std::max(0, h - 4); y < h; ++y)
        std::fill_n(FHeat->ScanLine(y), w, kSourceHeat);
    for (int32_t y = 0; y <= h - 3; ++y) {
        uint8_t* row = FHeat->ScanLine(y);
        const uint8_t* below = FHeat->ScanLine(y + 1);
        const uint8_t* below2 = FHeat->ScanLine(y + 2);
        const uint8_t* noise = FNoise.data() + size_t((FRowOffset + y + 1) % h) * size_t(w);
        // The noise column starts at (column offset + x) mod w; walk it
        // without a division per cell.
        int32_t col = (FColumnOffset + 1) % w;
        for (int32_t x = 1; x <= w - 2; ++x) {
            const int32_t s = below[x - 1] + below[x + 1] + row[x] + below2[x];
            const int32_t c = FCooling[size_t(s)];
            row[x] = FFloor[size_t(std::max(0, c - noise[col]))];
            if (++col == w)
                col = 0;
        }
    }
}

int TZunoFire::Update() {
    const int answer = TZunoControl::Update();
    if (answer != 0)
        return answer;
    if (!FInitialised) {
        rebuildField();
        return 0;
    }
    if (AniPaused())
        return 0;
    FTimeBank += FOwner ? std::max(0, FOwner->FrameElapsed()) : 0;
    if (FTimeBank >= kStepMs) {
        FTimeBank %= kStepMs;
        Step();
        Invalidate();
    }
    return 0;
}

//==============================================================================
// Drawing
//==============================================================================

void TZunoFire::Draw() {
    if (!Visible())
        return;
    if (TCustomDIBX* s = GetSurface(); s && FInitialised && FHeat->GetWidth() > 0 && FHeat->GetHeight() > 0) {
        const int32_t bits = s->GetBitCount();
        const uint32_t* pal = bits == 32 ? Palette32().data()
                            : bits == 16 ? Palette16().data()
                            : bits == 15 ? Palette15().data()
                                         : nullptr;
        const TRect src(0, 0, FHeat->GetWidth(), FHeat->GetHeight());
        if (pal && FZoomX == 256 && FZoomY == 256)
            s->DrawIndexedAdd(ScreenLeft(), ScreenTop(), pal, 255, kColdHeat, false, false, src, *FHeat);
        else if (pal)
            s->StretchDrawIndexed(GetClientRect(), pal, 255, kColdHeat, false, false, src, *FHeat);
    }
    TZunoControl::Draw();
}

//==============================================================================
// Save record
//==============================================================================

void TZunoFire::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteInt(s, FPower);
    WriteInt(s, FFieldWidth);
    WriteInt(s, FFieldHeight);
    WriteInt(s, FZoomX);
    WriteString(s, FOnIdle);
    WriteBool(s, FPaused);
    WriteInt(s, FZoomY);
}

void TZunoFire::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    SetPower(ReadInt(s));
    FFieldWidth = ReadInt(s);
    FFieldHeight = ReadInt(s);
    SetZoomX(ReadInt(s));
    if (version >= 104) {
        FOnIdle = ReadString(s);
        FPaused = ReadBool(s);
        SetZoomY(ReadInt(s));
    }
    FInitialised = false;
    FTimeBank = 0;
}

} // namespace zuno
