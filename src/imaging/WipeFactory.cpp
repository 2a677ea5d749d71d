#include "imaging/WipeFactory.h"

#include "imaging/TWipeBlind.h"
#include "imaging/TWipeBlock.h"
#include "imaging/TWipeBlur.h"
#include "imaging/TWipeCrack.h"
#include "imaging/TWipeDither.h"
#include "imaging/TWipeFade.h"
#include "imaging/TWipeGrid.h"
#include "imaging/TWipeMosaic.h"
#include "imaging/TWipeOrderMask.h"
#include "imaging/TWipeRipple.h"
#include "imaging/TWipeScroll.h"
#include "imaging/TWipeSector.h"
#include "imaging/TWipeShadow.h"
#include "imaging/TWipeShadowWhite.h"
#include "imaging/TWipeSmall.h"
#include "imaging/TWipeSpot.h"
#include "imaging/TWipeSudare.h"
#include "imaging/TWipeTwist.h"
#include "imaging/TWipeWhite.h"
#include "imaging/TWipeZoomin.h"

namespace zuno {

namespace {

// Labels in Shift-JIS.
const TWipeInfo kCatalogue[] = {
    {"WP_NONE", "\x82\xC8\x82\xB5", 0, 0},  // 0 none
    {"WP_FADE", "\x83t\x83" "F\x81[\x83h", 0, 0},  // 1 TWipeFade
    {"WP_BLINDH", "\x83u\x83\x89\x83" "C\x83\x93\x83h\x89\xA1", 20, 1},  // 2 TWipeBlindH
    {"WP_BLINDV", "\x83u\x83\x89\x83" "C\x83\x93\x83h\x8F" "c", 20, 1},  // 3 TWipeBlindV
    {"WP_CURTAINH", "\x83J\x81[\x83" "e\x83\x93\x89\xA1", 30, 1},  // 4 TWipeCurtainH
    {"WP_CURTAINV", "\x83J\x81[\x83" "e\x83\x93\x8F" "c", 30, 1},  // 5 TWipeCurtainV
    {"WP_SCROLLH", "\x83X\x83N\x83\x8D\x81[\x83\x8B\x89\xA1", 0, 0},  // 6 TWipeScrollH
    {"WP_SCROLLV", "\x83X\x83N\x83\x8D\x81[\x83\x8B\x8F" "c", 0, 0},  // 7 TWipeScrollV
    {"WP_GRID", "\x8Ai\x8Eq", 80, 30},  // 8 TWipeGrid
    {"WP_GRIDH", "\x8Ai\x8Eq(\x89\xA1)", 80, 30},  // 9 TWipeGridH
    {"WP_GRIDV", "\x8Ai\x8Eq(\x8F" "c)", 80, 30},  // 10 TWipeGridV
    {"WP_DITHER", "\x83" "f\x83" "B\x83U", 0, 0},  // 11 TWipeDither
    {"WP_WHITE", "\x83z\x83\x8F\x83" "C\x83g", 0, 0},  // 12 TWipeWhite
    {"WP_BLACK", "\x83u\x83\x89\x83" "b\x83N", 0, 0},  // 13 TWipeBlack
    {"WP_FLASH", "\x83t\x83\x89\x83" "b\x83V\x83\x85", 0, 0},  // 14 TWipeFlash
    {"WP_MOSAIC", "\x83\x82\x83U\x83" "C\x83N", 0, 0},  // 15 TWipeMosaic
    {"WP_SUDAREH", "\x82\xB7\x82\xBE\x82\xEA\x89\xA1", 0, 0},  // 16 TWipeSudareH
    {"WP_SUDAREV", "\x82\xB7\x82\xBE\x82\xEA\x8F" "c", 0, 0},  // 17 TWipeSudareV
    {"WP_SPOT", "\x83X\x83|\x83" "b\x83g\x83\x89\x83" "C\x83g", 0, 0},  // 18 TWipeSpot
    {"WP_MASKFADE", "\x83}\x83X\x83N\x83t\x83" "F\x81[\x83h", 0, 0},  // 19 TWipeShadow
    {"WP_MASKWHITE", "\x83}\x83X\x83N\x83z\x83\x8F\x83" "C\x83g", 0, 0},  // 20 TWipeShadowWhite
    {"WP_MASKBLACK", "\x83}\x83X\x83N\x83u\x83\x89\x83" "b\x83N", 0, 0},  // 21 TWipeShadowBlack
    {"WP_SMALL", "\x95\x89\xE6\x96\xCA\x8Fk\x8F\xAC", 0, 0},  // 22 TWipeSmall
    {"WP_BIG", "\x97\xA0\x89\xE6\x96\xCA\x8Ag\x91\xE5", 0, 0},  // 23 TWipeBig
    {"WP_RIPPLE", "\x94g\x96\xE4", 5, 0},  // 24 TWipeRipple
    {"WP_BLURWHITE", "\x94\x92\x82\xDA\x82\xA9\x82\xB5", 0, 0},  // 25 TWipeBlurWhite
    {"WP_BLURBLACK", "\x8D\x95\x82\xDA\x82\xA9\x82\xB5", 0, 0},  // 26 TWipeBlurBlack
    {"WP_TWISTH", "\x82\xD0\x82\xCB\x82\xE8\x89\xA1", 0, 0},  // 27 TWipeTwistH
    {"WP_TWISTV", "\x82\xD0\x82\xCB\x82\xE8\x8F" "c", 0, 0},  // 28 TWipeTwistV
    {"WP_CRACK", "\x83`\x83" "b\x83v\x97\x8E\x89\xBA", 64, 3},  // 29 TWipeCrack
    {"WP_ZOOMIN", "\x83Y\x81[\x83\x80\x83" "C\x83\x93", 0, 0},  // 30 TWipeZoomin
    {"WP_CLOCKHAND", "\x8E\x9E\x8Cv\x82\xCC\x90j", 0, 0},  // 31 TWipeClockhand
    {"WP_RUBBERH", "\x83S\x83\x80(\x89\xA1)", 0, 0},  // 32 TWipeRubberH
    {"WP_RUBBERV", "\x83S\x83\x80(\x8F" "c)", 0, 0},  // 33 TWipeRubberV
    {"WP_FAN", "\x90\xEE", 0, 0},  // 34 TWipeFan
    {"WP_WFAN", "\x90\xEE(\x97\xBC\x91\xA4)", 0, 0},  // 35 TWipeWFan
    {"WP_CIRCLE", "\x89~", 0, 0},  // 36 TWipeCircle
    {"WP_BLOCKCOIL", "\x83u\x83\x8D\x83" "b\x83N(\x82\xC6\x82\xAE\x82\xEB)", 60, 0},  // 37 TWipeBlockCoil
    {"WP_BLOCKRANDOM", "\x83u\x83\x8D\x83" "b\x83N(\x83\x89\x83\x93\x83_\x83\x80)", 60, 0},  // 38 TWipeBlockRandom
};

std::unique_ptr<TCustomWipe> newWipe(int32_t number, TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to) {
    switch (number) {
    case WP_FADE: return std::make_unique<TWipeFade>(target, from, to);
    case WP_BLINDH: return std::make_unique<TWipeBlindH>(target, from, to);
    case WP_BLINDV: return std::make_unique<TWipeBlindV>(target, from, to);
    case WP_CURTAINH: return std::make_unique<TWipeCurtainH>(target, from, to);
    case WP_CURTAINV: return std::make_unique<TWipeCurtainV>(target, from, to);
    case WP_SCROLLH: return std::make_unique<TWipeScrollH>(target, from, to);
    case WP_SCROLLV: return std::make_unique<TWipeScrollV>(target, from, to);
    case WP_GRID: return std::make_unique<TWipeGrid>(target, from, to);
    case WP_GRIDH: return std::make_unique<TWipeGridH>(target, from, to);
    case WP_GRIDV: return std::make_unique<TWipeGridV>(target, from, to);
    case WP_DITHER: return std::make_unique<TWipeDither>(target, from, to);
    case WP_WHITE: return std::make_unique<TWipeWhite>(target, from, to);
    case WP_BLACK: return std::make_unique<TWipeBlack>(target, from, to);
    case WP_FLASH: return std::make_unique<TWipeFlash>(target, from, to);
    case WP_MOSAIC: return std::make_unique<TWipeMosaic>(target, from, to);
    case WP_SUDAREH: return std::make_unique<TWipeSudareH>(target, from, to);
    case WP_SUDAREV: return std::make_unique<TWipeSudareV>(target, from, to);
    case WP_SPOT: return std::make_unique<TWipeSpot>(target, from, to);
    case WP_MASKFADE: return std::make_unique<TWipeShadow>(target, from, to);
    case WP_MASKWHITE: return std::make_unique<TWipeShadowWhite>(target, from, to);
    case WP_MASKBLACK: return std::make_unique<TWipeShadowBlack>(target, from, to);
    case WP_SMALL: return std::make_unique<TWipeSmall>(target, from, to);
    case WP_BIG: return std::make_unique<TWipeBig>(target, from, to);
    case WP_RIPPLE: return std::make_unique<TWipeRipple>(target, from, to);
    case WP_BLURWHITE: return std::make_unique<TWipeBlurWhite>(target, from, to);
    case WP_BLURBLACK: return std::make_unique<TWipeBlurBlack>(target, from, to);
    case WP_TWISTH: return std::make_unique<TWipeTwistH>(target, from, to);
    case WP_TWISTV: return std::make_unique<TWipeTwistV>(target, from, to);
    case WP_CRACK: return std::make_unique<TWipeCrack>(target, from, to);
    case WP_ZOOMIN: return std::make_unique<TWipeZoomin>(target, from, to);
    case WP_CLOCKHAND: return std::make_unique<TWipeClockhand>(target, from, to);
    case WP_RUBBERH: return std::make_unique<TWipeRubberH>(target, from, to);
    case WP_RUBBERV: return std::make_unique<TWipeRubberV>(target, from, to);
    case WP_FAN: return std::make_unique<TWipeFan>(target, from, to);
    case WP_WFAN: return std::make_unique<TWipeWFan>(target, from, to);
    case WP_CIRCLE: return std::make_unique<TWipeCircle>(target, from, to);
    case WP_BLOCKCOIL: return std::make_unique<TWipeBlockCoil>(target, from, to);
    case WP_BLOCKRANDOM: return std::make_unique<TWipeBlockRandom>(target, from, to);
    default: return nullptr;
    }
}

} // namespace

const TWipeInfo* wipeInfo(int32_t number) {
    if (number < WP_NONE || number > WP_LAST)
        return nullptr;
    return &kCatalogue[number];
}

std::unique_ptr<TCustomWipe> CreateWipe(int32_t number, TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to,
                                        const TWipeServices& services) {
    std::unique_ptr<TCustomWipe> wipe = newWipe(number, target, from, to);
    if (!wipe)
        return nullptr;
    // The services first: some classes draw random numbers when a parameter is set.
    wipe->SetServices(services);
    wipe->SetParam(0, kCatalogue[number].Param0);
    wipe->SetParam(1, kCatalogue[number].Param1);
    return wipe;
}

} // namespace zuno
