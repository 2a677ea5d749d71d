#include "imaging/TCustomWipe.h"

namespace zuno {

TCustomWipe::TCustomWipe(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to)
    : FTarget(&target), FFrom(&from), FTo(&to), FWidth(target.GetWidth()), FHeight(target.GetHeight()) {}

TCustomWipe::~TCustomWipe() = default;

int32_t TCustomWipe::GetParam(int index) const { return index == 0 || index == 1 ? FParams[index] : 0; }

void TCustomWipe::SetParam(int index, int32_t value) {
    if (index == 0 || index == 1)
        FParams[index] = value;
}

int32_t TCustomWipe::random(int32_t n) {
    if (n <= 1)
        return 0;
    if (FServices.Random) {
        const int32_t r = FServices.Random(n);
        return r < 0 || r >= n ? 0 : r;
    }
    // Without the player's generator the sequence is fixed.
    FFallbackRandom = FFallbackRandom * 134775813u + 1u;
    return int32_t((uint64_t(FFallbackRandom) * uint32_t(n)) >> 32);
}

bool TCustomWipe::Step() {
    ChangedRect = TRect(0, 0, FTarget->GetWidth(), FTarget->GetHeight());
    if (Elapsed >= Duration)
        return true;
    FTarget->ClearClip();
    if (FWidth <= 0 || FHeight <= 0 || FTarget->GetWidth() != FWidth || FTarget->GetHeight() != FHeight)
        return false;
    if (!FPrepared)
        Prepare();
    if (drawsDirectly())
        DrawFrame();
    else
        drawConverted();
    return false;
}

bool TCustomWipe::drawsDirectly() {
    for (TCustomDIBX* s : {FTarget, FFrom, FTo})
        if (s->GetBitCount() != 32 || s->GetWidth() != FWidth || s->GetHeight() != FHeight)
            return false;
    return FTarget != FFrom && FTarget != FTo;
}

void TCustomWipe::drawConverted() {
    auto work = [this](std::unique_ptr<TDIBX>& s) -> TDIBX& {
        if (!s)
            s = std::make_unique<TDIBX>(FWidth, FHeight, 32);
        return *s;
    };
    TDIBX& target = work(FWorkTarget);
    TDIBX& from = work(FWorkFrom);
    TDIBX& to = work(FWorkTo);
    for (auto [copy, source] : {std::pair{&from, FFrom}, std::pair{&to, FTo}}) {
        copy->Fill(0);
        copy->Draw(0, 0, false, false, false, TRect(0, 0, source->GetWidth(), source->GetHeight()), *source);
    }
    TCustomDIBX* const saved[3] = {FTarget, FFrom, FTo};
    FTarget = &target;
    FFrom = &from;
    FTo = &to;
    DrawFrame();
    FTarget = saved[0];
    FFrom = saved[1];
    FTo = saved[2];
    FTarget->Draw(0, 0, false, false, false, TRect(0, 0, FWidth, FHeight), target);
}

} // namespace zuno
